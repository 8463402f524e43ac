// The clipboard seen from another Win32 process: a helper copies with the
// program's routine and ends; this process then reads exactly those bytes,
// and nothing of what was there before, in any format.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>

#include "clipboard_cases.h"
#include "ui_driver.h"

namespace {

std::string helperPath() {
    const char* path = std::getenv("QUILLARK_CLIPBOARD_HELPER");
    return path != nullptr ? path : "clipboard_copy.exe";
}

void runHelper(int index) {
    ui::Program helper = ui::Program::launch(helperPath(), -1, std::to_string(index));
    ASSERT_TRUE(helper.started()) << "expected the helper to start from " << helperPath();
    DWORD code = 99;
    ASSERT_TRUE(helper.waitForExit(&code)) << "expected the helper to end";
    ASSERT_EQ(code, 0u) << "helper exit code";
}

// Puts text, a private format and a bitmap on the clipboard from this process.
void fillClipboard(UINT privateFormat) {
    ASSERT_TRUE(ui::waitFor([] { return OpenClipboard(nullptr) != FALSE; }, 5000ms));
    EmptyClipboard();
    const char old[] = "previous text";
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, sizeof old);
    memcpy(GlobalLock(text), old, sizeof old);
    GlobalUnlock(text);
    SetClipboardData(CF_TEXT, text);
    HGLOBAL blob = GlobalAlloc(GMEM_MOVEABLE, 8);
    memset(GlobalLock(blob), 0x5a, 8);
    GlobalUnlock(blob);
    SetClipboardData(privateFormat, blob);
    HDC screen = GetDC(nullptr);
    SetClipboardData(CF_BITMAP, CreateCompatibleBitmap(screen, 2, 2));
    ReleaseDC(nullptr, screen);
    CloseClipboard();
}

TEST(ClipboardAcrossProcesses, ReadsExactlyTheCopiedBytesAndNothingOlder) {
    const UINT privateFormat = RegisterClipboardFormatA("Quillark test leftover");
    for (int i = 0; i < static_cast<int>(std::size(ClipboardCases)); ++i) {
        const ClipboardCase& c = ClipboardCases[i];
        fillClipboard(privateFormat);
        ASSERT_TRUE(ui::clipboardHasFormat(privateFormat)) << c.name << ": setup";
        runHelper(i);
        const std::string got = ui::clipboardText();
        EXPECT_EQ(got, c.text) << c.name << ": expected \"" << c.text << "\", got \"" << got << "\"";
        EXPECT_FALSE(ui::clipboardHasFormat(privateFormat)) << c.name << ": expected the private format gone";
        EXPECT_FALSE(ui::clipboardHasFormat(CF_BITMAP)) << c.name << ": expected the bitmap gone";
        for (UINT f : ui::clipboardFormats()) {
            EXPECT_TRUE(f == CF_TEXT || f == CF_UNICODETEXT || f == CF_OEMTEXT || f == CF_LOCALE)
                << c.name << ": expected only text formats, got " << f;
        }
    }
}

}  // namespace
