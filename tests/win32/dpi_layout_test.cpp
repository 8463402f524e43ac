// The windows at the display resolution this process was started with
// (QUILLARK_EXPECT_DPI; run_at_dpi.sh starts it at 120, 144 and 192 dpi, the
// plain test prefix at 96): the main dialog's client size, every control
// inside the client area and every text unclipped, the same for a help box,
// the calendar on the 1280 x 1024 screen with its sheet inside it, and a pick
// with the real mouse.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "calendar_driver.h"
#include "calendar_state.h"
#include "dpi_scale.h"
#include "main_window.h"
#include "month_model.h"
#include "records_window.h"
#include "win32_support.h"
#include "in_process.h"
#include "ui_driver.h"

using namespace win32test;
using namespace ui;

namespace {

int expectedDpi() {
    const char* text = std::getenv("QUILLARK_EXPECT_DPI");
    return text != nullptr && std::atoi(text) > 0 ? std::atoi(text) : StandardDpi;
}

int px(int pixels) { return scaleToDpi(pixels, expectedDpi()); }

std::string where() { return " at " + std::to_string(expectedDpi()) + " dpi"; }

// The width and height of a control's text in the control's own font, with
// the "&" of a mnemonic dropped.
SIZE textExtent(HWND control, std::string text) {
    std::string shown;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

// Every child of a window lies inside its client area, and each text fits
// the room its control gives it: a label up to the next control to its right
// (the event date's label runs under its field by design), a push button
// inside its borders, a check box beside its box. Returns what it checked.
int expectChildrenFit(HWND window, const char* what) {
    RECT client{};
    GetClientRect(window, &client);
    std::vector<HWND> all;
    for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) all.push_back(c);
    int checked = 0;
    for (HWND c : all) {
        const RECT r = rectInParent(c);
        const std::string name = std::string(what) + " control " + std::to_string(GetDlgCtrlID(c)) + " \"" +
                                 ui::text(c) + "\" " + describe(r) + where();
        if (r.right > r.left) {
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
                << name << ": expected inside the client area " << describe(client);
        }
        const std::string text = ui::text(c);
        const LONG style = GetWindowLongA(c, GWL_STYLE);
        const std::string kind = className(c);
        // Texts of several lines are measured line by line by the caller.
        if (text.empty() || text.find('\n') != std::string::npos) continue;
        if (kind == "Button" && (style & BS_TYPEMASK) == BS_GROUPBOX) continue;
        const SIZE extent = textExtent(c, text);
        LONG room = r.right - r.left;
        if (kind == "Static") {
            for (HWND other : all) {
                const RECT o = rectInParent(other);
                if (other != c && o.left > r.left && o.left < r.left + room && o.top < r.bottom && o.bottom > r.top &&
                    (GetWindowLongA(other, GWL_STYLE) & BS_TYPEMASK) != BS_GROUPBOX) {
                    room = o.left - r.left;
                }
            }
        } else if ((style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
            room -= GetSystemMetrics(SM_CXMENUCHECK) + px(4);
        } else {
            room -= 2 * GetSystemMetrics(SM_CXEDGE);
        }
        EXPECT_LE(extent.cx, room) << name << ": text " << extent.cx << " wide, room for " << room;
        EXPECT_LE(extent.cy, r.bottom - r.top) << name << ": text " << extent.cy << " high";
        ++checked;
    }
    return checked;
}

// Runs the program's main window, calls inspect once it is shown, then
// cancels it.
std::function<void(HWND)> Inspect;
void CALLBACK inspectWhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
    static int ticks = 0;
    if ((MainDialogHandle == nullptr || !IsWindowVisible(MainDialogHandle)) && ++ticks < 500) return;
    KillTimer(nullptr, timer);
    if (MainDialogHandle != nullptr && IsWindow(MainDialogHandle)) {
        Inspect(MainDialogHandle);
        PostMessageA(MainDialogHandle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}
void runMainWindowWith(std::function<void(HWND)> inspect) {
    Inspect = std::move(inspect);
    MainDialogHandle = nullptr;
    SetTimer(nullptr, 0, 20, inspectWhenShown);
    char noArguments[] = "";
    runMainWindow(GetModuleHandleA(nullptr), nullptr, noArguments, SW_SHOWNORMAL);
}

TEST(DpiLayout, ProcessIsDpiAwareAtTheDisplayResolution) {
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(screen, LOGPIXELSY), expectedDpi()) << "the prefix's resolution";
    ReleaseDC(nullptr, screen);
    EXPECT_TRUE(IsProcessDPIAware()) << "expected the manifest to declare DPI awareness";
}

TEST(DpiLayout, MainDialogAndHelpBoxFitTheirTexts) {
    runMainWindowWith([](HWND dialog) {
        RECT client{};
        GetClientRect(dialog, &client);
        std::printf("main window client area%s: %ld x %ld\n", where().c_str(), static_cast<long>(client.right),
                    static_cast<long>(client.bottom));
        EXPECT_EQ(client.right, px(MainClientWidth)) << "client width" << where();
        EXPECT_EQ(client.bottom, px(MainClientHeight)) << "client height" << where();
        // Five labels, three action buttons, two check boxes, two "Cp", five "?".
        EXPECT_EQ(expectChildrenFit(dialog, "main dialog"), 17) << "texts measured" << where();

        // The event date's help box: nine lines beside the information icon.
        const std::vector<HWND> before = threadWindows();
        SendMessageA(GetDlgItem(dialog, HelpEventButtonId), BM_CLICK, 0, 0);
        std::vector<HWND> boxes;
        ASSERT_TRUE(waitFor([&] { return !(boxes = newWindows(before)).empty(); })) << "no help box" << where();
        HWND box = boxes.front();
        expectChildrenFit(box, "help box");
        HWND text = GetDlgItem(box, BoxTextId);
        const RECT textRect = rectInParent(text);
        const RECT iconRect = rectInParent(GetDlgItem(box, BoxIconId));
        EXPECT_LE(iconRect.right, textRect.left) << "icon beside the text" << where();
        EXPECT_EQ(iconRect.right - iconRect.left, px(32)) << "icon size" << where();
        // Each line of the text in the text control's font.
        const std::string all = ui::text(text);
        int lines = 0;
        for (size_t from = 0; from <= all.size(); ++lines) {
            size_t end = all.find("\r\n", from);
            if (end == std::string::npos) end = all.size();
            const SIZE line = textExtent(text, all.substr(from, end - from));
            EXPECT_LE(line.cx, textRect.right - textRect.left) << "help line " << lines << where();
            from = end + 2;
        }
        DestroyWindow(box);
    });
}

TEST(DpiLayout, RecordsWindowScalesAndFitsItsTexts) {
    runMainWindowWith([](HWND) {
        HWND records = openRecordsWindow();
        ASSERT_NE(records, nullptr) << "no records window" << where();
        RECT client{};
        GetClientRect(records, &client);
        EXPECT_EQ(client.right, px(640)) << "records window client width" << where();
        EXPECT_EQ(client.bottom, px(452)) << "records window client height" << where();
        // The person's label, the summary and ten buttons.
        EXPECT_EQ(expectChildrenFit(records, "records window"), 12) << "texts measured" << where();
        const RECT work = workArea();
        RECT outer{};
        GetWindowRect(records, &outer);
        EXPECT_TRUE(outer.left >= work.left && outer.top >= work.top && outer.right <= work.right &&
                    outer.bottom <= work.bottom)
            << "records window " << describe(outer) << " in the work area " << describe(work) << where();
        // The list's columns grow with the resolution.
        HWND list = GetDlgItem(records, RecordsListId);
        EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, LabelColumn, 0), px(110)) << "label column" << where();
        closeRecordsWindow();
    });
}

TEST(DpiLayout, CalendarFitsTheScreenAndPicksTheDayClicked) {
    using namespace caltest;
    std::thread mouse;
    RECT window{};
    RECT client{};
    int comboBottom = 0;
    SIZE weekLine{};
    const auto opening = runCalendar(
        18500305,
        [&](HWND w) {
            GetWindowRect(w, &window);
            GetClientRect(w, &client);
            const RECT combo = rectInParent(GetDlgItem(w, YearBoxId));
            comboBottom = combo.bottom;
            GetTextExtentPoint32A(Calendar.calendarDC, WeekdayHeader.data(), static_cast<int>(WeekdayHeader.size()),
                                  &weekLine);
            const PixelPoint at = dayFieldPosition(3, 1850, 18, Calendar.cellWidth, Calendar.sheet);
            const POINT target =
                clientToScreen(w, at.x + Calendar.cellWidth / 3, at.y + Calendar.sheet.weekPitch / 2);
            SetForegroundWindow(w);
            mouse = std::thread([target] {
                movePointer(target.x, target.y);
                pressLeft();
                releaseLeft();
            });
        },
        false);
    mouse.join();
    std::printf("calendar window%s: %s, client %ld x %ld\n", where().c_str(), describe(window).c_str(),
                static_cast<long>(client.right), static_cast<long>(client.bottom));
    // Up to 144 dpi the whole window is on a 1280 x 1024 screen; beyond, it
    // cannot be, but its caption stays reachable.
    EXPECT_TRUE(window.left >= 0 && window.top >= 0 &&
                (expectedDpi() > 144 || (window.right <= 1280 && window.bottom <= 1024)))
        << "calendar window " << describe(window) << where() << ": expected on a 1280 x 1024 screen";
    const SheetMetrics sheet = sheetMetrics(expectedDpi());
    // Below the last row's header come at most six week lines.
    EXPECT_LE(sheet.topMargin + 2 * sheet.rowPitch + sheet.headerTop + 6 * sheet.weekPitch + weekLine.cy,
              client.bottom)
        << "sheet bottom" << where();
    EXPECT_LE(monthOrigin(12, sheet).colX + sheet.textInset + weekLine.cx, client.right)
        << "sheet right edge" << where();
    EXPECT_LE(comboBottom, sheet.topMargin) << "year box above the sheet" << where();
    EXPECT_EQ(opening.result, "03/18/1850") << "the day clicked" << where();
}

}  // namespace
