// The main dialog built in this process by runMainWindow: the order of its
// start-up messages, its font on every control, the calendar picture on the
// two calendar buttons, centring on a work area that is not the whole
// screen, and the release of what it loaded once it has ended.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "main_window.h"
#include "in_process.h"

using namespace win32test;

namespace {

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool visible;
};

std::vector<Seen> SeenMessages;
HHOOK Hook = nullptr;

LRESULT CALLBACK recordMessages(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (MainDialogHandle != nullptr && m->hwnd == MainDialogHandle &&
            (m->message == WM_INITDIALOG || m->message == WM_SIZE || m->message == WM_SHOWWINDOW)) {
            SeenMessages.push_back({m->message, m->wParam, m->lParam, IsWindowVisible(m->hwnd) != FALSE});
        }
    }
    return CallNextHookEx(Hook, code, wParam, lParam);
}

// What the test does while the dialog runs; the dialog is then cancelled.
std::function<void(HWND)> WhileRunning;
int Ticks = 0;

void CALLBACK onTimer(HWND, UINT, UINT_PTR timer, DWORD) {
    // Wait until the dialog is up and shown, then inspect it once.
    if (MainDialogHandle == nullptr || !IsWindowVisible(MainDialogHandle)) {
        if (++Ticks < 500) return;
    }
    KillTimer(nullptr, timer);
    if (MainDialogHandle != nullptr && IsWindow(MainDialogHandle)) {
        if (WhileRunning) WhileRunning(MainDialogHandle);
        PostMessageA(MainDialogHandle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

// Runs the program's main window with inspect called while it is shown;
// returns runMainWindow's result.
int runWith(std::function<void(HWND)> inspect) {
    WhileRunning = std::move(inspect);
    Ticks = 0;
    MainDialogHandle = nullptr;
    SetTimer(nullptr, 0, 20, onTimer);
    char noArguments[] = "";
    return runMainWindow(GetModuleHandleA(nullptr), nullptr, noArguments, SW_SHOWMINIMIZED);
}

TEST(MainDialog, InitialisedThenSizedThenShownAndEndsWithZero) {
    SeenMessages.clear();
    Hook = SetWindowsHookExA(WH_CALLWNDPROC, recordMessages, nullptr, GetCurrentThreadId());
    ASSERT_NE(Hook, nullptr);
    HWND dialog = nullptr;
    const int result = runWith([&](HWND d) { dialog = d; });
    UnhookWindowsHookEx(Hook);
    EXPECT_EQ(result, 0) << "expected runMainWindow to return 0";
    ASSERT_NE(dialog, nullptr) << "expected the dialog to have run";
    EXPECT_FALSE(IsWindow(dialog)) << "expected the dialog gone after Cancel";

    // From WM_INITDIALOG on: WM_INITDIALOG (hidden, wParam = the dialog),
    // then WM_SIZE 295 x 385 with wParam 0 (hidden), then shown.
    size_t init = SeenMessages.size();
    for (size_t i = 0; i < SeenMessages.size(); ++i) {
        if (SeenMessages[i].message == WM_INITDIALOG) {
            init = i;
            break;
        }
    }
    ASSERT_LT(init + 2, SeenMessages.size()) << "expected WM_INITDIALOG, WM_SIZE and WM_SHOWWINDOW";
    const Seen& first = SeenMessages[init];
    EXPECT_EQ(first.wParam, reinterpret_cast<WPARAM>(dialog)) << "WM_INITDIALOG: expected wParam = the dialog";
    EXPECT_EQ(first.lParam, 0) << "WM_INITDIALOG: expected lParam 0";
    EXPECT_FALSE(first.visible) << "WM_INITDIALOG: expected the dialog still hidden";
    const Seen& size = SeenMessages[init + 1];
    EXPECT_EQ(size.message, static_cast<UINT>(WM_SIZE)) << "expected WM_SIZE right after WM_INITDIALOG, got "
                                                         << size.message;
    EXPECT_EQ(size.wParam, 0u);
    EXPECT_EQ(LOWORD(size.lParam), 295) << "WM_SIZE: expected width 295, got " << LOWORD(size.lParam);
    EXPECT_EQ(HIWORD(size.lParam), 385) << "WM_SIZE: expected height 385, got " << HIWORD(size.lParam);
    EXPECT_FALSE(size.visible) << "WM_SIZE: expected the dialog still hidden";
    const Seen& show = SeenMessages[init + 2];
    EXPECT_EQ(show.message, static_cast<UINT>(WM_SHOWWINDOW)) << "expected the dialog shown next, got "
                                                              << show.message;
    EXPECT_EQ(show.wParam, static_cast<WPARAM>(TRUE));
}

TEST(MainDialog, DialogFontOnEveryControl) {
    runWith([](HWND dialog) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        LOGFONTA lf{};
        ASSERT_NE(GetObjectA(font, sizeof lf, &lf), 0) << "expected a dialog font";
        EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
        HDC screen = GetDC(nullptr);
        const int height = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
        ReleaseDC(nullptr, screen);
        EXPECT_EQ(lf.lfHeight, height) << "expected 8 points (" << height << "), got " << lf.lfHeight;
        EXPECT_EQ(lf.lfWeight, FW_NORMAL);
        EXPECT_EQ(lf.lfItalic, 0);
        int controls = 0;
        for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            ++controls;
            EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(c, WM_GETFONT, 0, 0)), font)
                << "control " << controls << " (id " << GetDlgCtrlID(c) << "): expected the dialog font";
        }
        EXPECT_EQ(controls, 26);
        EXPECT_EQ(ui::text(dialog), "Quillark");
    });
}

// The picture as 32-bit pixels, read from the bitmap itself.
std::vector<COLORREF> pixelsOf(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    std::vector<DWORD> raw(static_cast<size_t>(width * height));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, raw.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    std::vector<COLORREF> pixels;
    for (DWORD p : raw) pixels.push_back(RGB((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff));
    return pixels;
}

TEST(MainDialog, CalendarButtonsShowTheStretchedPictureAndReleaseIt) {
    std::vector<HBITMAP> pictures;
    runWith([&](HWND dialog) {
        for (int id : {CalendarEventButtonId, CalendarBirthButtonId}) {
            HWND button = GetDlgItem(dialog, id);
            EXPECT_EQ(ui::text(button), "") << id << ": expected no text";
            HBITMAP picture = reinterpret_cast<HBITMAP>(SendMessageA(button, BM_GETIMAGE, IMAGE_BITMAP, 0));
            ASSERT_NE(picture, nullptr) << id << ": expected a bitmap";
            pictures.push_back(picture);
            BITMAP b{};
            ASSERT_NE(GetObjectA(picture, sizeof b, &b), 0) << id;
            EXPECT_EQ(b.bmWidth, 20) << id << ": expected the picture stretched to 20, got " << b.bmWidth;
            EXPECT_EQ(b.bmHeight, 20) << id << ": expected the picture stretched to 20, got " << b.bmHeight;
            const std::vector<COLORREF> px = pixelsOf(picture, 20, 20);
            auto at = [&](int x, int y) { return px[static_cast<size_t>(y * 20 + x)]; };
            // Frame in the 3-D shadow colour (mapped on load), orange header
            // band, white day cells, one blue one. The platform may smooth
            // the stretch, so only cell centres keep their exact colours.
            EXPECT_EQ(at(0, 10), GetSysColor(COLOR_3DSHADOW)) << id << ": frame";
            EXPECT_EQ(at(10, 3), RGB(255, 140, 0)) << id << ": header band";
            int white = 0;
            int blue = 0;
            for (COLORREF c : px) {
                white += c == RGB(255, 255, 255);
                blue += c == RGB(0, 64, 255);
            }
            EXPECT_GE(white, 20) << id << ": expected white day cells, got " << white << " white pixels";
            EXPECT_GE(blue, 4) << id << ": expected one blue cell, got " << blue << " blue pixels";
        }
    });
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_NE(pictures[0], pictures[1]) << "expected one picture per button";
    for (HBITMAP p : pictures) {
        EXPECT_EQ(GetObjectType(p), 0u) << "expected the picture deleted once the dialog has ended";
    }
}

struct WorkAreaCase {
    const char* name;
    RECT work;
};

const WorkAreaCase WorkAreaCases[] = {
    {"task bar at the top", {0, 40, 1024, 768}},
    {"task bar at the left", {60, 0, 1024, 768}},
    {"odd-sized area away from both edges", {101, 51, 900, 700}},
    {"small area the dialog overhangs", {300, 300, 500, 500}},
};

TEST(MainDialog, CentredOnTheWorkAreaNotTheScreen) {
    RECT saved{};
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &saved, 0));
    for (const WorkAreaCase& c : WorkAreaCases) {
        RECT area = c.work;
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &area, 0)) << c.name;
        RECT outer{};
        RECT client{};
        runWith([&](HWND dialog) {
            GetWindowRect(dialog, &outer);
            GetClientRect(dialog, &client);
        });
        const int width = outer.right - outer.left;
        const int height = outer.bottom - outer.top;
        const int x = (c.work.left + c.work.right - width) / 2;
        const int y = (c.work.top + c.work.bottom - height) / 2;
        EXPECT_EQ(outer.left, x) << c.name << ": expected x " << x << ", got " << outer.left;
        EXPECT_EQ(outer.top, y) << c.name << ": expected y " << y << ", got " << outer.top;
        EXPECT_EQ(client.right, 295) << c.name;
        EXPECT_EQ(client.bottom, 385) << c.name;
    }
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &saved, 0);
}

}  // namespace
