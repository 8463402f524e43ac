// Plain-text copy, read back through the clipboard API of the same process:
// the exact bytes, the previous contents gone in every format, and nothing
// changed when another thread holds the clipboard.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "clipboard.h"
#include "in_process.h"

namespace {

// The CF_TEXT bytes on the clipboard, or "<none>" when there are none (an
// empty text is not the same as no text).
std::string clipboardText() { return ui::clipboardHasFormat(CF_TEXT) ? ui::clipboardText() : "<none>"; }

HGLOBAL globalBytes(const void* data, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* p = GlobalLock(block);
    memcpy(p, data, size);
    GlobalUnlock(block);
    return block;
}

struct CopyCase {
    const char* name;
    std::string text;
};

const CopyCase CopyCases[] = {
    {"numeric date", "12/07/1941"},
    {"date with week-day tag", "12/07/1941  [Su]"},
    {"abbreviated date with tag", "Dec 7, 1941  [Su]"},
    {"year pair", "1901 or 1900"},
    {"bytes above 127", "D\xe9""c 7, 1941 \xa3\xfc\xff"},
    {"one character", "x"},
    {"line ends kept as they are", "a\r\nb\nc\r"},
    {"leading and trailing blanks", "  1941  "},
    {"long text", std::string(5000, '7')},
};

TEST(Clipboard, CopiesTheExactBytes) {
    for (const CopyCase& c : CopyCases) {
        copyTextToClipboard(c.text.c_str());
        const std::string got = clipboardText();
        EXPECT_EQ(got, c.text) << c.name << ": expected \"" << c.text.substr(0, 40) << "\", got \""
                               << got.substr(0, 40) << "\"";
    }
}

TEST(Clipboard, EmptyTextGivesAnEmptyEntry) {
    copyTextToClipboard("before");
    copyTextToClipboard("");
    EXPECT_EQ(clipboardText(), "") << "expected an empty text on the clipboard";
}

TEST(Clipboard, PreviousContentsInEveryFormatAreGone) {
    const UINT custom = RegisterClipboardFormatA("Quillark test private format");
    ASSERT_NE(custom, 0u);
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    const wchar_t wide[] = L"old unicode";
    SetClipboardData(CF_UNICODETEXT, globalBytes(wide, sizeof wide));
    const char blob[] = "private bytes";
    SetClipboardData(custom, globalBytes(blob, sizeof blob));
    HDC screen = GetDC(nullptr);
    SetClipboardData(CF_BITMAP, CreateCompatibleBitmap(screen, 4, 4));
    ReleaseDC(nullptr, screen);
    CloseClipboard();
    ASSERT_TRUE(IsClipboardFormatAvailable(custom)) << "setup: expected the private format present";
    ASSERT_TRUE(IsClipboardFormatAvailable(CF_BITMAP)) << "setup: expected a bitmap present";

    copyTextToClipboard("12/07/1941  [Su]");

    EXPECT_FALSE(IsClipboardFormatAvailable(custom)) << "expected the private format gone";
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP)) << "expected the bitmap gone";
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB)) << "expected no picture in any form";
    // Only CF_TEXT and the text forms the system derives from it remain.
    for (UINT f : ui::clipboardFormats()) {
        EXPECT_TRUE(f == CF_TEXT || f == CF_UNICODETEXT || f == CF_OEMTEXT || f == CF_LOCALE)
            << "expected only text formats, got format " << f;
    }
    EXPECT_EQ(clipboardText(), "12/07/1941  [Su]");
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE unicode = GetClipboardData(CF_UNICODETEXT);
    std::wstring derived = unicode != nullptr ? static_cast<const wchar_t*>(GlobalLock(unicode)) : L"";
    if (unicode != nullptr) GlobalUnlock(unicode);
    CloseClipboard();
    EXPECT_TRUE(derived == L"12/07/1941  [Su]") << "expected the unicode form to be the new text, not \"old unicode\"";
}

// Copies "copied" while another thread, with a window of its own as another
// program would, holds the clipboard: for holdMs, or until the copy is done.
std::string copyWhileHeld(DWORD holdMs) {
    HANDLE opened = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    bool holderOpened = false;
    std::thread holder([&] {
        HWND window = CreateWindowExA(0, "STATIC", "holder", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleA(nullptr), nullptr);
        holderOpened = OpenClipboard(window) != FALSE;
        SetEvent(opened);
        WaitForSingleObject(release, holdMs);
        if (holderOpened) CloseClipboard();
        DestroyWindow(window);
    });
    const bool ready = WaitForSingleObject(opened, 10000) == WAIT_OBJECT_0 && holderOpened;
    if (ready) copyTextToClipboard("copied");
    SetEvent(release);
    holder.join();
    CloseHandle(opened);
    CloseHandle(release);
    return ready ? clipboardText() : "setup: the other thread could not open the clipboard";
}

TEST(Clipboard, HeldByAnotherThreadForAMomentTheCopyWaits) {
    copyTextToClipboard("kept");
    EXPECT_EQ(copyWhileHeld(50), "copied") << "a clipboard held for 50 ms must not lose the copy";
}

TEST(Clipboard, HeldByAnotherThreadNothingChanges) {
    copyTextToClipboard("kept");
    const std::string got = copyWhileHeld(INFINITE);
    EXPECT_EQ(got, "kept") << "expected the clipboard untouched while held elsewhere, got \"" << got << "\"";

    // Once released, copying works again.
    copyTextToClipboard("after");
    EXPECT_EQ(clipboardText(), "after");
}

// The clipboard's owner, told that the copy is emptying the clipboard, opens
// it with no window itself, as a clipboard reader in another thread may:
// Wine lets it, and the copy's own calls then fail. The copy must still land.
TEST(Clipboard, OpenedByAnotherThreadWhileBeingEmptiedTheCopyStillLands) {
    static bool tookIt = false;
    tookIt = false;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD ownerThread = 0;
    std::thread owner([&] {
        ownerThread = GetCurrentThreadId();
        const WNDPROC proc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
            if (m == WM_DESTROYCLIPBOARD && !tookIt && OpenClipboard(nullptr)) {
                tookIt = true;
                CloseClipboard();
            }
            return DefWindowProcA(w, m, wp, lp);
        };
        WNDCLASSA type{};
        type.lpfnWndProc = proc;
        type.hInstance = GetModuleHandleA(nullptr);
        type.lpszClassName = "QuillarkClipboardOwner";
        RegisterClassA(&type);
        HWND window = CreateWindowExA(0, type.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                      type.hInstance, nullptr);
        if (OpenClipboard(window)) {
            EmptyClipboard();
            CloseClipboard();
        }
        SetEvent(ready);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        DestroyWindow(window);
    });
    ASSERT_EQ(WaitForSingleObject(ready, 10000), WAIT_OBJECT_0);
    copyTextToClipboard("copied");
    PostThreadMessageA(ownerThread, WM_QUIT, 0, 0);
    owner.join();
    CloseHandle(ready);
    EXPECT_EQ(clipboardText(), "copied") << (tookIt ? "the owner took the clipboard in between" : "");
}

TEST(Clipboard, ClipboardIsClosedAfterACopy) {
    copyTextToClipboard("closed");
    // Another thread can open it at once: the copy did not keep it open.
    bool otherOpened = false;
    std::thread other([&] {
        otherOpened = OpenClipboard(nullptr) != FALSE;
        if (otherOpened) CloseClipboard();
    });
    other.join();
    EXPECT_TRUE(otherOpened) << "expected the clipboard free after the copy";
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
}

}  // namespace
