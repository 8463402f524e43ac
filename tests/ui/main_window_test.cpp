// quillark.exe driven from outside, as a person would: the main dialog's
// controls and geometry, its tab order, its frame, how it starts and how it
// ends.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "calculation.h"
#include "main_window.h"
#include "ui_driver.h"

namespace {

std::string programPath() { return QUILLARK_EXE; }

struct ExpectedControl {
    int id;
    const char* className;
    LONG style;  // besides WS_CHILD | WS_VISIBLE
    LONG exStyle;
    const char* text;
    int x, y, width, height;
};

// The dialog's controls in creation order, written out from the layout.
const ExpectedControl Expected[] = {
    {FocusSinkId, "Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, "", 0, 0, 0, 0},
    {-1, "Static", SS_LEFT, 0, "Date of event:", 10, 20, 90, 16},
    {EventDateField, "Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, "", 80, 20, 120, 20},
    {-1, "Button", BS_GROUPBOX, 0, "Age", 40, 60, 160, 140},
    {-1, "Static", SS_LEFT, 0, "Years:", 60, 90, 40, 16},
    {YearsField, "Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, "", 105, 90, 70, 20},
    {-1, "Static", SS_LEFT, 0, "Months:", 60, 120, 40, 16},
    {MonthsField, "Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, "", 105, 120, 70, 20},
    {-1, "Static", SS_LEFT, 0, "Days:", 60, 150, 40, 16},
    {DaysField, "Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, "", 105, 150, 70, 20},
    {-1, "Static", SS_LEFT, 0, "Date of birth:", 10, 230, 70, 16},
    {BirthDateField, "Edit", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, "", 80, 230, 120, 20},
    {CalcButtonId, "Button", WS_TABSTOP | BS_NOTIFY | BS_PUSHBUTTON, 0, "&Calc", 56, 280, 60, 30},
    {ResetButtonId, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, "&Reset", 118, 280, 60, 30},
    {CancelButtonId, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, "C&ancel", 180, 280, 60, 30},
    {AbbreviateOptionId, "Button", WS_TABSTOP | BS_NOTIFY | BS_AUTOCHECKBOX, 0, "Show month abbreviated", 56, 330, 150, 20},
    {WeekDayOptionId, "Button", WS_TABSTOP | BS_NOTIFY | BS_AUTOCHECKBOX, 0, "Show week day", 56, 355, 150, 20},
    {CalendarEventButtonId, "Button", WS_TABSTOP | BS_BITMAP, 0, "", 215, 20, 20, 20},
    {CopyEventButtonId, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, "Cp", 240, 20, 20, 20},
    {HelpEventButtonId, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, "?", 265, 20, 20, 20},
    {CalendarBirthButtonId, "Button", WS_TABSTOP | BS_BITMAP, 0, "", 215, 230, 20, 20},
    {CopyBirthButtonId, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, "Cp", 240, 230, 20, 20},
    {HelpBirthButtonId, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, "?", 265, 230, 20, 20},
    {HelpAgeButtonId, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, "?", 220, 120, 20, 20},
    {HelpAbbreviateButtonId, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, "?", 220, 330, 20, 20},
    {HelpWeekDayButtonId, "Button", WS_TABSTOP | BS_PUSHBUTTON, 0, "?", 220, 355, 20, 20},
};

const int TabOrder[] = {FocusSinkId, EventDateField, YearsField, MonthsField, DaysField,
                         BirthDateField, CalcButtonId, ResetButtonId, CancelButtonId, AbbreviateOptionId,
                         WeekDayOptionId, CalendarEventButtonId, CopyEventButtonId, HelpEventButtonId, CalendarBirthButtonId,
                         CopyBirthButtonId, HelpBirthButtonId, HelpAgeButtonId, HelpAbbreviateButtonId, HelpWeekDayButtonId};

// The program started the way each test asks (a start-up show command, or
// again for every case), with its main dialog found.
class StartedProgramTest : public ::testing::Test {
protected:
    void start(int showCommand = -1, const char* label = "started normally") {
        program_ = ui::Program::launch(programPath(), showCommand);
        ASSERT_TRUE(program_.started()) << label << ": expected quillark.exe to start from " << programPath();
        dialog_ = ui::waitForWindow("Quillark", program_.id());
        if (dialog_ == nullptr) {
            for (HWND w : ui::topLevelWindows(program_.id(), false)) {
                ADD_FAILURE() << label << ": window \"" << ui::text(w) << "\" class " << ui::className(w)
                              << " visible " << IsWindowVisible(w) << " iconic " << IsIconic(w);
            }
        }
        ASSERT_NE(dialog_, nullptr) << label << ": expected a visible window \"Quillark\"";
        // Input sent while the program is still starting up could reach
        // another window; begin once it waits for input.
        ASSERT_TRUE(ui::waitForIdle(dialog_)) << "expected the program to become idle";
    }
    void expectExitCodeZero(const char* how) {
        DWORD code = 12345;
        ASSERT_TRUE(program_.waitForExit(&code)) << how << ": expected the program to end";
        EXPECT_EQ(code, 0u) << how << ": expected exit code 0, got " << code;
    }
    ui::Program program_;
    HWND dialog_ = nullptr;
};

TEST_F(StartedProgramTest, ControlsMatchTheTable) {
    start();
    const std::vector<HWND> controls = ui::children(dialog_);
    ASSERT_EQ(controls.size(), std::size(Expected)) << "expected 26 controls, got " << controls.size();
    for (size_t i = 0; i < controls.size(); ++i) {
        const ExpectedControl& e = Expected[i];
        HWND c = controls[i];
        const std::string row = "row " + std::to_string(i + 1) + " (id " + std::to_string(e.id) + ")";
        EXPECT_EQ(ui::controlId(c), e.id) << row << ": expected id " << e.id << ", got " << ui::controlId(c);
        EXPECT_EQ(ui::className(c), e.className) << row;
        EXPECT_EQ(ui::text(c), e.text) << row;
        const LONG wantStyle = WS_CHILD | WS_VISIBLE | e.style;
        EXPECT_EQ(ui::style(c), wantStyle) << row << ": expected style 0x" << std::hex << wantStyle << ", got 0x"
                                           << ui::style(c);
        EXPECT_EQ(ui::exStyle(c), e.exStyle) << row << ": expected extended style 0x" << std::hex << e.exStyle
                                             << ", got 0x" << ui::exStyle(c);
        const RECT r = ui::rectInParent(c);
        const RECT want = {e.x, e.y, e.x + e.width, e.y + e.height};
        EXPECT_TRUE(EqualRect(&r, &want)) << row << ": expected " << ui::describe(want) << ", got "
                                          << ui::describe(r);
    }
    // The calendar buttons carry a picture.
    for (int id : {CalendarEventButtonId, CalendarBirthButtonId}) {
        DWORD_PTR image = 0;
        SendMessageTimeoutA(ui::control(dialog_, id), BM_GETIMAGE, IMAGE_BITMAP, 0, SMTO_ABORTIFHUNG, 5000, &image);
        EXPECT_NE(image, 0u) << "calendar button " << id << ": expected a bitmap";
    }
}

TEST_F(StartedProgramTest, TabStopsInCreationOrder) {
    start();
    std::vector<int> stops;
    for (HWND c : ui::children(dialog_)) {
        if ((ui::style(c) & WS_TABSTOP) != 0) stops.push_back(ui::controlId(c));
    }
    ASSERT_EQ(stops.size(), std::size(TabOrder)) << "expected 20 tab stops, got " << stops.size();
    for (size_t i = 0; i < stops.size(); ++i) {
        EXPECT_EQ(stops[i], TabOrder[i]) << "tab stop " << i + 1 << ": expected " << TabOrder[i] << ", got "
                                         << stops[i];
    }
    // The dialog manager's own walk agrees, wrapping from the last to the first.
    for (size_t i = 0; i < std::size(TabOrder); ++i) {
        const int from = TabOrder[i];
        const int to = TabOrder[(i + 1) % std::size(TabOrder)];
        HWND next = GetNextDlgTabItem(dialog_, ui::control(dialog_, from), FALSE);
        EXPECT_EQ(ui::controlId(next), to) << "Tab from " << from << ": expected " << to << ", got "
                                           << ui::controlId(next);
        HWND previous = GetNextDlgTabItem(dialog_, ui::control(dialog_, to), TRUE);
        EXPECT_EQ(ui::controlId(previous), from) << "Shift+Tab from " << to << ": expected " << from << ", got "
                                                 << ui::controlId(previous);
    }
}

TEST_F(StartedProgramTest, TabKeyWalksTheEntryFields) {
    start();
    ASSERT_TRUE(ui::bringToFront(dialog_));
    ui::click(ui::control(dialog_, EventDateField));
    ASSERT_TRUE(ui::waitFor([&] { return ui::focusedControlId(dialog_) == EventDateField; }))
        << "expected the focus in the event field, got " << ui::focusedControlId(dialog_);
    for (int want : {YearsField, MonthsField, DaysField, BirthDateField}) {
        ui::pressKey(VK_TAB);
        EXPECT_TRUE(ui::waitFor([&] { return ui::focusedControlId(dialog_) == want; }))
            << "Tab: expected the focus on " << want << ", got " << ui::focusedControlId(dialog_);
    }
    for (int want : {DaysField, MonthsField, YearsField, EventDateField}) {
        ui::pressCombination({VK_SHIFT}, VK_TAB);
        EXPECT_TRUE(ui::waitFor([&] { return ui::focusedControlId(dialog_) == want; }))
            << "Shift+Tab: expected the focus on " << want << ", got " << ui::focusedControlId(dialog_);
    }
}

TEST_F(StartedProgramTest, ClientAreaAndCentring) {
    start();
    const RECT client = ui::clientRect(dialog_);
    EXPECT_EQ(client.right, 295) << "expected client width 295, got " << client.right;
    EXPECT_EQ(client.bottom, 385) << "expected client height 385, got " << client.bottom;
    for (int id : {WeekDayOptionId, HelpWeekDayButtonId}) {
        const RECT r = ui::rectInParent(ui::control(dialog_, id));
        EXPECT_LE(r.bottom, client.bottom) << id << ": expected inside the client area, got " << ui::describe(r);
        EXPECT_LE(r.right, client.right) << id;
    }
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const RECT outer = ui::windowRect(dialog_);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    const int x = (work.left + work.right - width) / 2;
    const int y = (work.top + work.bottom - height) / 2;
    EXPECT_EQ(outer.left, x) << "expected centred x " << x << " in work area " << ui::describe(work) << ", got "
                             << outer.left;
    EXPECT_EQ(outer.top, y) << "expected centred y " << y << ", got " << outer.top;
}

TEST_F(StartedProgramTest, FrameHasNoMaximiseAndDoesNotResize) {
    start();
    const LONG s = ui::style(dialog_);
    EXPECT_NE(s & WS_MINIMIZEBOX, 0) << "expected a minimise box";
    EXPECT_NE(s & WS_SYSMENU, 0) << "expected a system menu and close box";
    EXPECT_EQ(s & WS_MAXIMIZEBOX, 0) << "expected no maximise box";
    EXPECT_EQ(s & WS_THICKFRAME, 0) << "expected a fixed frame";
    EXPECT_EQ(ui::exStyle(dialog_) & (WS_EX_TOPMOST | WS_EX_TOOLWINDOW), 0);
    EXPECT_EQ(GetWindow(dialog_, GW_OWNER), nullptr) << "expected no owner";

    ASSERT_TRUE(ui::bringToFront(dialog_));
    const RECT before = ui::windowRect(dialog_);
    // Dragging the lower right corner outwards leaves the size alone.
    ui::drag(before.right - 2, before.bottom - 2, before.right + 60, before.bottom + 60);
    // Double-clicking the caption does not maximise.
    POINT caption{};
    ASSERT_TRUE(ui::findNonClientPart(dialog_, HTCAPTION, &caption)) << "expected a caption";
    ui::clickAt(caption.x, caption.y, true);
    // Give the program the chance to react, then require nothing changed:
    // a message round trip through its queue proves the input was handled.
    ui::waitFor([&] { return ui::text(dialog_) == "Quillark"; });
    const RECT after = ui::windowRect(dialog_);
    EXPECT_FALSE(IsZoomed(dialog_)) << "expected not maximised";
    EXPECT_EQ(after.right - after.left, before.right - before.left) << "expected the width unchanged";
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top) << "expected the height unchanged";
    EXPECT_EQ(ui::clientRect(dialog_).right, 295);
    EXPECT_EQ(ui::clientRect(dialog_).bottom, 385);
}

struct ShowCase {
    const char* name;
    int showCommand;
};

const ShowCase ShowCases[] = {
    {"started minimised", SW_SHOWMINIMIZED},
    {"started maximised", SW_SHOWMAXIMIZED},
    {"started minimised without activation", SW_SHOWMINNOACTIVE},
    {"started hidden", SW_HIDE},
    {"started normally", SW_SHOWNORMAL},
};

TEST_F(StartedProgramTest, AnyStartUpShowCommandShowsTheDialogNormally) {
    for (const ShowCase& c : ShowCases) {
        start(c.showCommand, c.name);
        if (dialog_ == nullptr) return;
        EXPECT_TRUE(IsWindowVisible(dialog_)) << c.name << ": expected visible";
        EXPECT_FALSE(IsIconic(dialog_)) << c.name << ": expected not minimised";
        EXPECT_FALSE(IsZoomed(dialog_)) << c.name << ": expected not maximised";
        const RECT client = ui::clientRect(dialog_);
        EXPECT_EQ(client.right, 295) << c.name;
        EXPECT_EQ(client.bottom, 385) << c.name;
        program_.kill();
    }
}

struct ExitCase {
    const char* name;
    int how;  // 0 click "C&ancel", 1 Escape, 2 Alt+F4, 3 close box
};

const ExitCase ExitCases[] = {
    {"C&ancel clicked", 0},
    {"Escape", 1},
    {"Alt+F4", 2},
    {"close box", 3},
};

TEST_F(StartedProgramTest, EndsWithExitCodeZero) {
    for (const ExitCase& c : ExitCases) {
        start();
        if (dialog_ == nullptr) return;
        ASSERT_TRUE(ui::bringToFront(dialog_)) << c.name;
        ui::waitForIdle(dialog_);
        switch (c.how) {
        case 0:
            ui::click(ui::control(dialog_, CancelButtonId));
            break;
        case 1:
            ui::click(ui::control(dialog_, EventDateField));
            ui::waitFor([&] { return ui::focusedControlId(dialog_) == EventDateField; });
            ui::pressKey(VK_ESCAPE);
            break;
        case 2:
            ui::pressCombination({VK_MENU}, VK_F4);
            break;
        default: {
            POINT close{};
            ASSERT_TRUE(ui::findNonClientPart(dialog_, HTCLOSE, &close)) << c.name << ": expected a close box";
            ui::clickAt(close.x, close.y);
            break;
        }
        }
        expectExitCodeZero(c.name);
        EXPECT_FALSE(IsWindow(dialog_)) << c.name << ": expected the dialog gone";
    }
}

}  // namespace

namespace {

struct TypingCase {
    const char* name;
    const char* text;
};

// What the driver types must arrive as typed: capitals need Shift to stay
// with their letter, and characters beyond the keyboard arrive as Unicode
// key events and land as their ANSI bytes.
const TypingCase TypingCases[] = {
    {"month word with capital", "Dec 7, 1941"},
    {"punctuation and brackets", "12/07/1941  [Su]"},
    {"all capitals", "MAR 15 1850"},
    {"bytes above 127", "D\xe9" "c \xa3\xfc"},
};

TEST_F(StartedProgramTest, DriverTypesWhatItIsGiven) {
    start();
    ASSERT_TRUE(ui::bringToFront(dialog_));
    HWND field = ui::control(dialog_, EventDateField);
    for (const TypingCase& c : TypingCases) {
        ui::click(field);
        ASSERT_TRUE(ui::waitFor([&] { return ui::focusedWindow(dialog_) == field; })) << c.name;
        ui::waitForIdle(dialog_);
        SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        ui::typeText(c.text);
        EXPECT_TRUE(ui::waitFor([&] { return ui::text(field) == c.text; }, 5000ms))
            << c.name << ": expected \"" << c.text << "\", got \"" << ui::text(field) << "\"";
    }
}

}  // namespace
