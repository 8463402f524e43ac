// The calendar window opened for real: title, boxes, the highlight read back
// from the window's pixels, the century and year boxes, a second opening
// while one is open, and failing resources.
#include <gtest/gtest.h>

#include <windows.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "calendar_driver.h"
#include "calendar_state.h"
#include "calendar_window.h"
#include "month_model.h"

namespace {

using caltest::Pixels;
using caltest::pump;
using caltest::runCalendar;

HWND centuryBox(HWND calendar) { return GetDlgItem(calendar, CenturyBoxId); }
HWND yearBox(HWND calendar) { return GetDlgItem(calendar, YearBoxId); }

// The edit field inside the year box, where typing goes.
HWND yearEdit(HWND calendar) {
    return FindWindowExA(yearBox(calendar), nullptr, "Edit", nullptr);
}

int currentYear() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return now.wYear;
}

// The sheet as it is on the screen now, after all pending paints.
Pixels sheetPixels(HWND calendar) {
    UpdateWindow(calendar);
    pump();
    return Pixels::ofClient(calendar);
}

// Blue pixels inside the box of a day's number, and in the whole window.
struct Highlight {
    int onDay = 0;
    int total = 0;
};

Highlight highlightOf(HWND calendar, int32_t year, int32_t month, int32_t day) {
    const Pixels px = sheetPixels(calendar);
    Highlight h;
    h.total = px.blueTotal();
    if (month >= 1) {
        const int32_t w = Calendar.cellWidth;
        const PixelPoint at = dayFieldPosition(month, year, day, w);
        h.onDay = px.blueIn(at.x, at.y, at.x + 2 * w / 3, at.y + 20);
    }
    return h;
}

// Types a text into the year box the way a keyboard does: over the whole
// text, one character at a time.
void typeYear(HWND calendar, const char* text) {
    const HWND edit = yearEdit(calendar);
    SetFocus(edit);
    pump();
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (const char* c = text; *c; ++c) {
        SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*c)), 0);
        pump();
    }
}

// Selects a list item of a box and sends the notification the box would.
void chooseItem(HWND calendar, int32_t id, int item, int notification) {
    const HWND box = GetDlgItem(calendar, id);
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageA(calendar, WM_COMMAND, MAKEWPARAM(id, notification), reinterpret_cast<LPARAM>(box));
    pump();
}

// Moves the focus away from the year box and back, as a click elsewhere
// and back into it would.
void refocusYearBox(HWND calendar) {
    SetFocus(centuryBox(calendar));
    pump();
    SetFocus(yearBox(calendar));
    pump();
}

TEST(CalendarWindow, OpensOnTheFifthOfMarch1850) {
    bool checked = false;
    const auto opening = runCalendar(18500305, [&](HWND w) {
        checked = true;
        EXPECT_EQ(ui::text(w), "1850 Calendar");
        EXPECT_EQ(SendMessageA(centuryBox(w), CB_GETCURSEL, 0, 0), 2) << "expected item 2 selected";
        EXPECT_EQ(ui::text(centuryBox(w)), "1800");
        EXPECT_EQ(ui::text(yearBox(w)), "1850");
        EXPECT_EQ(Calendar.selectedCentury, 1800);
        EXPECT_EQ(SendMessageA(centuryBox(w), CB_GETCOUNT, 0, 0), 5);
        const Highlight h = highlightOf(w, 1850, 3, 5);
        EXPECT_GT(h.onDay, 20) << "expected 5 March 1850 white on blue, got " << h.onDay
                               << " blue pixels";
        EXPECT_EQ(h.total, h.onDay) << "expected nothing else blue, got " << h.total - h.onDay
                                    << " more blue pixels";
        // Window styles and the white background of the sheet and labels.
        const LONG style = GetWindowLongA(w, GWL_STYLE);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_TRUE((style & WS_CAPTION) == WS_CAPTION);
        EXPECT_FALSE(style & (WS_POPUP | WS_CHILD | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
        EXPECT_EQ(GetWindow(w, GW_OWNER), nullptr);
        EXPECT_EQ(GetWindowLongA(w, GWL_EXSTYLE) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW), 0);
        // Client area 470 x 370 dialog units, centred in the work area.
        RECT units = {0, 0, 470, 370};
        MapDialogRect(w, &units);
        RECT client, outer, work;
        GetClientRect(w, &client);
        EXPECT_EQ(client.right, units.right) << "client width";
        EXPECT_EQ(client.bottom, units.bottom) << "client height";
        EXPECT_GE(client.bottom, 50 + 340 + 30 + 6 * 20 + 12) << "the sixth line of December fits";
        GetWindowRect(w, &outer);
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_LE(std::abs((outer.left - work.left) - (work.right - outer.right)), 1) << "centred across";
        EXPECT_LE(std::abs((outer.top - work.top) - (work.bottom - outer.bottom)), 1) << "centred down";
        const Pixels px = Pixels::ofClient(w);
        EXPECT_EQ(px.at(5, px.height() - 5), RGB(255, 255, 255)) << "sheet background";
        RECT label;
        GetWindowRect(GetDlgItem(w, CenturyLabelId), &label);
        MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&label), 2);
        EXPECT_EQ(px.at(label.left + 1, label.top + 1), RGB(255, 255, 255)) << "label background";
        EXPECT_EQ(ui::text(GetDlgItem(w, CenturyLabelId)), "Century: ");
        EXPECT_EQ(ui::text(GetDlgItem(w, YearLabelId)), "Year: ");
    });
    EXPECT_TRUE(checked && opening.actionRan) << "the calendar never showed its sheet";
    EXPECT_EQ(opening.result, "") << "closed by the close command: expected no pick";
}

TEST(CalendarWindow, OpeningWithoutADayShowsTheYearOnly) {
    struct Case {
        const char* name;
        int32_t initial;
        int32_t year;  // 0 = the current year
        bool boxesEmpty;
    } const cases[] = {
        {"no date", 0, 0, true},
        {"year alone", 18500000, 1850, false},
        {"month and year", 18500300, 1850, false},
        {"negative number is no date", -18500305, 0, true},
        {"smallest number is no date", INT_MIN, 0, true},
    };
    // An earlier opening on a date leaves its century behind; the openings
    // without a date must still show empty boxes.
    ASSERT_TRUE(runCalendar(18500305, [](HWND) {}).actionRan);
    for (const auto& c : cases) {
        const int32_t year = c.year ? c.year : currentYear();
        const std::string title = std::to_string(year) + " Calendar";
        const auto opening = runCalendar(c.initial, [&](HWND w) {
            EXPECT_EQ(ui::text(w), title) << c.name;
            EXPECT_EQ(Calendar.shownYear, year) << c.name;
            if (c.boxesEmpty) {
                EXPECT_EQ(SendMessageA(centuryBox(w), CB_GETCURSEL, 0, 0), CB_ERR)
                    << c.name << ": expected no century selected";
                EXPECT_EQ(ui::text(yearBox(w)), "") << c.name << ": expected an empty year box";
            } else {
                EXPECT_EQ(ui::text(centuryBox(w)), "1800") << c.name;
                EXPECT_EQ(ui::text(yearBox(w)), "1850") << c.name;
            }
            const Highlight h = highlightOf(w, year, 0, 0);
            EXPECT_EQ(h.total, 0) << c.name << ": expected nothing highlighted, got " << h.total
                                  << " blue pixels";
        });
        EXPECT_TRUE(opening.actionRan) << c.name;
        EXPECT_EQ(opening.result, "") << c.name;
    }
}

TEST(CalendarWindow, YearOutsideTheCenturiesLeavesTheCenturyBoxEmpty) {
    const auto opening = runCalendar(15500704, [&](HWND w) {
        EXPECT_EQ(ui::text(w), "1550 Calendar");
        EXPECT_EQ(SendMessageA(centuryBox(w), CB_GETCURSEL, 0, 0), CB_ERR);
        EXPECT_EQ(ui::text(yearBox(w)), "1550");
        const Highlight h = highlightOf(w, 1550, 7, 4);
        EXPECT_GT(h.onDay, 20) << "expected 4 July 1550 highlighted";
        EXPECT_EQ(h.total, h.onDay);
    });
    EXPECT_TRUE(opening.actionRan);
}

TEST(CalendarWindow, YearListOffersOneCenturyAndChoosingRedraws) {
    const auto opening = runCalendar(18500305, [&](HWND w) {
        refocusYearBox(w);
        const HWND years = yearBox(w);
        ASSERT_EQ(SendMessageA(years, CB_GETCOUNT, 0, 0), 100) << "expected 1800..1899";
        char first[16] = {}, last[16] = {};
        SendMessageA(years, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
        SendMessageA(years, CB_GETLBTEXT, 99, reinterpret_cast<LPARAM>(last));
        EXPECT_STREQ(first, "1800");
        EXPECT_STREQ(last, "1899");
        EXPECT_EQ(SendMessageA(years, CB_GETCURSEL, 0, 0), 50) << "expected 1850 selected";

        // Choosing 1700 in the century box changes neither sheet nor title,
        // and the year list only on the next focus.
        chooseItem(w, CenturyBoxId, 1, CBN_SELCHANGE);
        EXPECT_EQ(Calendar.selectedCentury, 1700);
        EXPECT_EQ(ui::text(w), "1850 Calendar");
        EXPECT_EQ(Calendar.shownYear, 1850);
        SendMessageA(years, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
        EXPECT_STREQ(first, "1800") << "list changed before the year box had the focus";

        // 1900 in the century box, focus into the year box, 1950 from the list.
        chooseItem(w, CenturyBoxId, 3, CBN_SELCHANGE);
        refocusYearBox(w);
        SendMessageA(years, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
        EXPECT_STREQ(first, "1900");
        EXPECT_EQ(SendMessageA(years, CB_GETCURSEL, 0, 0), CB_ERR)
            << "1850 is not in the list: expected no selection";
        chooseItem(w, YearBoxId, 50, CBN_SELENDOK);
        EXPECT_EQ(ui::text(w), "1950 Calendar");
        EXPECT_EQ(Calendar.shownYear, 1950);
        const Highlight h = highlightOf(w, 1950, 3, 5);
        EXPECT_GT(h.onDay, 20) << "expected 5 March 1950 highlighted";
        EXPECT_EQ(h.total, h.onDay) << "expected nothing else blue";

        // A list choice with nothing selected shows the year 0.
        chooseItem(w, YearBoxId, -1, CBN_SELENDOK);
        EXPECT_EQ(ui::text(w), "0 Calendar");
        EXPECT_EQ(Calendar.shownYear, 0);
        UpdateWindow(w);
        // A day of the year 0 has no mm/dd/yyyy text: pressing it picks nothing.
        const PixelPoint five = dayFieldPosition(3, 0, 5, Calendar.cellWidth);
        SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(five.x, five.y));
        EXPECT_EQ(Calendar.pickedDate, 0) << "expected no pick in the year 0, got "
                                          << Calendar.pickedDate;
        SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(five.x, five.y));
        EXPECT_TRUE(IsWindow(w)) << "the release must not close the calendar";
    });
    EXPECT_TRUE(opening.actionRan);
}

TEST(CalendarWindow, TypedYears) {
    const auto opening = runCalendar(18500305, [&](HWND w) {
        typeYear(w, "1950");
        EXPECT_EQ(ui::text(w), "1950 Calendar") << "typed 1950";
        EXPECT_EQ(ui::text(centuryBox(w)), "1900") << "typed 1950";
        EXPECT_EQ(Calendar.selectedCentury, 1900);
        Highlight h = highlightOf(w, 1950, 3, 5);
        EXPECT_GT(h.onDay, 20) << "typed 1950: expected 5 March 1950 highlighted";
        EXPECT_EQ(h.total, h.onDay);

        refocusYearBox(w);
        const HWND years = yearBox(w);
        char first[16] = {};
        SendMessageA(years, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
        EXPECT_STREQ(first, "1900") << "next focus after typing 1950";
        EXPECT_EQ(SendMessageA(years, CB_GETCOUNT, 0, 0), 100);
        EXPECT_EQ(SendMessageA(years, CB_GETCURSEL, 0, 0), 50) << "expected 1950 selected";

        typeYear(w, "2100");
        EXPECT_EQ(ui::text(w), "2100 Calendar") << "typed 2100";
        EXPECT_EQ(ui::text(centuryBox(w)), "1900") << "typed 2100: century box must stay";
        EXPECT_EQ(Calendar.selectedCentury, 1900);

        struct Ignored {
            const char* name;
            const char* text;
        } const ignored[] = {
            {"below the first year", "1599"},
            {"above the last year", "2101"},
            {"no number", "abc"},
            {"just below 1600 before rounding", "1599.6"},
            {"just above 2100 before rounding", "2100.4"},
        };
        for (const auto& c : ignored) {
            typeYear(w, c.text);
            EXPECT_EQ(ui::text(w), "2100 Calendar") << c.name << ": expected nothing to change";
            EXPECT_EQ(Calendar.shownYear, 2100) << c.name;
            EXPECT_EQ(ui::text(centuryBox(w)), "1900") << c.name;
            EXPECT_EQ(ui::text(yearEdit(w)), c.text) << c.name << ": the text stays as typed";
        }
        typeYear(w, "1600");
        EXPECT_EQ(ui::text(w), "1600 Calendar") << "typed 1600";
        EXPECT_EQ(ui::text(centuryBox(w)), "1600") << "typed 1600";
    });
    EXPECT_TRUE(opening.actionRan);
}

TEST(CalendarWindow, SecondOpeningBringsTheOpenOneForward) {
    std::string second = "not called";
    HWND first = nullptr;
    const auto opening = runCalendar(18500305, [&](HWND w) {
        first = w;
        const double before = caltest::nowMs();
        second = openCalendar(19411207);
        EXPECT_LT(caltest::nowMs() - before, 2000.0) << "the second call must return at once";
        EXPECT_TRUE(IsWindow(w));
        EXPECT_EQ(Calendar.calendarHandle, w) << "expected the first window kept";
        EXPECT_EQ(ui::text(w), "1850 Calendar") << "the open calendar must keep its year";
        EXPECT_EQ(Calendar.shownYear, 1850);
        EXPECT_EQ(Calendar.givenDay, 5);
        EXPECT_EQ(GetForegroundWindow(), w) << "expected the open calendar in front";
        EXPECT_EQ(FindWindowA(nullptr, "1941 Calendar"), nullptr) << "a second window opened";
        EXPECT_NE(Calendar.calendarDC, nullptr) << "the open calendar lost its DC";
        EXPECT_NE(Calendar.gridFont, nullptr) << "the open calendar lost its fonts";

        // The caller of the second opening takes the foreground back, as
        // the main window does when a calendar call returns; the open
        // calendar comes forward again once that is done.
        const HWND other = CreateWindowExA(0, "STATIC", "other window", WS_OVERLAPPED | WS_VISIBLE,
                                           10, 10, 200, 100, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(other);
        EXPECT_EQ(GetForegroundWindow(), other);
        pump();
        EXPECT_EQ(GetForegroundWindow(), w) << "expected the open calendar in front again";
        DestroyWindow(other);
    });
    EXPECT_TRUE(opening.actionRan);
    EXPECT_EQ(second, "") << "the second call: expected the empty text";
    EXPECT_FALSE(IsWindow(first));
    // And once it is closed, a new opening works again.
    const auto again = runCalendar(19411207, [&](HWND w) { EXPECT_EQ(ui::text(w), "1941 Calendar"); });
    EXPECT_TRUE(again.actionRan) << "no calendar after the first one closed";
}

// Another window of the thread, standing in for the main window.
bool OtherWindowServed = false;

LRESULT CALLBACK otherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP + 5) {
        OtherWindowServed = true;
        // Answered from the calendar's loop; now let the calendar end.
        PostMessageA(Calendar.calendarHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(CalendarWindow, ItsLoopKeepsTheOtherWindowsAlive) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = otherWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "CalendarTestOther";
    RegisterClassA(&windowClass);
    const HWND other =
        CreateWindowExA(0, "CalendarTestOther", "main stand-in", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                        0, 200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(other, nullptr);
    OtherWindowServed = false;
    bool enabled = false;
    HWND owner = other;
    const auto opening = runCalendar(
        18500305,
        [&](HWND w) {
            enabled = IsWindowEnabled(other) != FALSE;
            owner = GetWindow(w, GW_OWNER);
            // Not pumped here: only the calendar's own loop can deliver it.
            PostMessageA(other, WM_APP + 5, 0, 0);
        },
        false);
    EXPECT_TRUE(opening.actionRan);
    EXPECT_TRUE(OtherWindowServed)
        << "expected the other window's message handled in the calendar's loop";
    EXPECT_TRUE(enabled) << "expected the other window left enabled";
    EXPECT_EQ(owner, nullptr) << "expected a calendar without owner";
    EXPECT_EQ(opening.result, "");
    DestroyWindow(other);
    UnregisterClassA("CalendarTestOther", windowClass.hInstance);
}

// Counting and failing replacements for the platform calls.
int GotDCs = 0;
int ReleasedDCs = 0;
HDC LastGot = nullptr;
HDC LastReleased = nullptr;
HWND LastReleasedFrom = nullptr;

HDC WINAPI countingGetDC(HWND window) {
    const HDC dc = GetDC(window);
    if (dc) {
        ++GotDCs;
        LastGot = dc;
    }
    return dc;
}

HDC WINAPI failingGetDC(HWND) { return nullptr; }

int WINAPI countingReleaseDC(HWND window, HDC dc) {
    const int released = ReleaseDC(window, dc);
    if (released) {
        ++ReleasedDCs;
        LastReleased = dc;
        LastReleasedFrom = window;
    }
    return released;
}

HFONT WINAPI failingCreateFont(int, int, int, int, int, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                               DWORD, DWORD, LPCSTR) {
    return nullptr;
}

// Only the grid font fails; the heading font is made.
HFONT WINAPI gridFontFails(int h, int w, int e, int o, int weight, DWORD i, DWORD u, DWORD s,
                           DWORD cs, DWORD op, DWORD cp, DWORD q, DWORD pf, LPCSTR face) {
    if (std::string(face) == "Courier New") {
        return nullptr;
    }
    return CreateFontA(h, w, e, o, weight, i, u, s, cs, op, cp, q, pf, face);
}

struct PlatformGuard {
    CalendarCalls saved = CalendarPlatform;
    PlatformGuard() {
        GotDCs = ReleasedDCs = 0;
        LastGot = LastReleased = nullptr;
        LastReleasedFrom = nullptr;
        CalendarPlatform.getDC = countingGetDC;
        CalendarPlatform.releaseDC = countingReleaseDC;
    }
    ~PlatformGuard() { CalendarPlatform = saved; }
};

TEST(CalendarWindow, TwoHundredOpeningsLeakNothing) {
    PlatformGuard guard;
    const HANDLE self = GetCurrentProcess();
    const DWORD gdiBefore = GetGuiResources(self, GR_GDIOBJECTS);
    const DWORD userBefore = GetGuiResources(self, GR_USEROBJECTS);
    for (int cycle = 1; cycle <= 200; ++cycle) {
        HFONT grid = nullptr, heading = nullptr;
        HDC dc = nullptr;
        HWND window = nullptr;
        const auto opening = runCalendar(cycle % 2 ? 18500305 : 0, [&](HWND w) {
            window = w;
            grid = Calendar.gridFont;
            heading = Calendar.headingFont;
            dc = Calendar.calendarDC;
        });
        ASSERT_TRUE(opening.actionRan) << "cycle " << cycle << ": the calendar never painted";
        ASSERT_NE(grid, nullptr) << "cycle " << cycle;
        ASSERT_NE(heading, nullptr) << "cycle " << cycle;
        ASSERT_EQ(GetObjectType(grid), 0u) << "cycle " << cycle << ": grid font still exists";
        ASSERT_EQ(GetObjectType(heading), 0u) << "cycle " << cycle << ": heading font still exists";
        ASSERT_EQ(ReleasedDCs, GotDCs) << "cycle " << cycle << ": expected " << GotDCs
                                       << " DCs released, got " << ReleasedDCs;
        ASSERT_EQ(GotDCs, cycle) << "cycle " << cycle;
        ASSERT_EQ(LastReleased, dc) << "cycle " << cycle << ": released another DC";
        ASSERT_EQ(LastReleasedFrom, window) << "cycle " << cycle << ": released from another window";
        ASSERT_EQ(Calendar.calendarDC, nullptr) << "cycle " << cycle << ": stale DC handle kept";
        ASSERT_FALSE(IsWindow(window)) << "cycle " << cycle;
    }
    // Wine only stubs these counters (they read 0); real Windows answers.
    if (gdiBefore != 0) {
        EXPECT_EQ(GetGuiResources(self, GR_GDIOBJECTS), gdiBefore) << "GDI objects";
        EXPECT_EQ(GetGuiResources(self, GR_USEROBJECTS), userBefore) << "USER objects";
    }
}

TEST(CalendarWindow, FailingDeviceContextLeavesTheWindowUsable) {
    PlatformGuard guard;
    CalendarPlatform.getDC = failingGetDC;
    HFONT grid = nullptr, heading = nullptr;
    const auto opening = runCalendar(18500305, [&](HWND w) {
        grid = Calendar.gridFont;
        heading = Calendar.headingFont;
        EXPECT_EQ(ui::text(w), "1850 Calendar");
        EXPECT_EQ(Calendar.cellWidth, 0);
        // The boxes still work and a press on the sheet picks nothing.
        typeYear(w, "1950");
        EXPECT_EQ(ui::text(w), "1950 Calendar");
        SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(409, 120));
        SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(409, 120));
        EXPECT_TRUE(IsWindow(w)) << "a press without a grid must not close the calendar";
        EXPECT_EQ(Calendar.pickedDate, 0);
    });
    EXPECT_TRUE(opening.actionRan) << "the calendar did not open without a DC";
    EXPECT_EQ(opening.result, "");
    EXPECT_EQ(ReleasedDCs, 0) << "released a DC it never had";
    if (grid) {
        EXPECT_EQ(GetObjectType(grid), 0u) << "grid font leaked";
    }
    if (heading) {
        EXPECT_EQ(GetObjectType(heading), 0u) << "heading font leaked";
    }
}

TEST(CalendarWindow, FailingFontsLeaveTheWindowUsable) {
    PlatformGuard guard;
    CalendarPlatform.createFont = failingCreateFont;
    HDC dc = nullptr;
    const auto opening = runCalendar(18500305, [&](HWND w) {
        dc = Calendar.calendarDC;
        EXPECT_EQ(Calendar.gridFont, nullptr);
        EXPECT_EQ(Calendar.headingFont, nullptr);
        EXPECT_EQ(Calendar.savedFont, GetCurrentObject(Calendar.calendarDC, OBJ_FONT))
            << "expected the DC's own font remembered";
        EXPECT_EQ(ui::text(w), "1850 Calendar");
        typeYear(w, "1950");
        EXPECT_EQ(ui::text(w), "1950 Calendar");
        UpdateWindow(w);
    });
    EXPECT_TRUE(opening.actionRan) << "the calendar did not open without fonts";
    EXPECT_NE(dc, nullptr);
    EXPECT_EQ(opening.result, "");
    EXPECT_EQ(GotDCs, 1);
    EXPECT_EQ(ReleasedDCs, 1) << "expected the DC released";
    EXPECT_EQ(LastReleased, dc);
}

TEST(CalendarWindow, FailingGridFontStillDeletesTheHeadingFont) {
    PlatformGuard guard;
    CalendarPlatform.createFont = gridFontFails;
    HFONT heading = nullptr;
    HFONT original = nullptr;
    const auto opening = runCalendar(18500305, [&](HWND w) {
        heading = Calendar.headingFont;
        original = Calendar.savedFont;
        EXPECT_EQ(Calendar.gridFont, nullptr);
        EXPECT_NE(heading, nullptr);
        EXPECT_NE(original, nullptr) << "expected the DC's own font remembered";
        UpdateWindow(w);  // a paint leaves the heading font selected
        EXPECT_EQ(ui::text(w), "1850 Calendar");
    });
    EXPECT_TRUE(opening.actionRan);
    EXPECT_EQ(ReleasedDCs, 1) << "expected the DC released";
    EXPECT_EQ(GetObjectType(heading), 0u) << "heading font leaked";
}

}  // namespace
