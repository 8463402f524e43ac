// The dialog's handlers in this process, on real windows: the calendar's
// start date from a field text, the help texts, the display rewrite of a
// field, the subclassing of the entry fields and its undoing, and the Enter
// release.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "date_text.h"
#include "dialog_events.h"
#include "entry_field.h"
#include "main_window.h"

namespace {

struct StartCase {
    const char* name;
    const char* text;
    int32_t expected;
};

const StartCase StartCases[] = {
    {"year only", "1941", 19410000},
    {"year before 1600", "1500", 0},
    {"year 1600", "1600", 16000000},
    {"year 2100", "2100", 21000000},
    {"year 2101", "2101", 0},
    {"year rounded up into range", "1599.5", 16000000},
    {"half rounds to even", "1600.5", 16000000},
    {"month and year", "05/1941", 19410500},
    {"full date", "12/07/1941", 19411207},
    {"full date with week-day tag", "12/07/1941  [Su]", 19411207},
    {"tag with blanks around", "  12/07/1941   [Su]", 19411207},
    {"abbreviated display", "Dec 07, 1941", 0},
    {"abbreviated month/year", "Dec 1941", 0},
    {"empty field", "", 0},
    {"four pieces", "1/2/3/1941", 0},
    {"month 13 is no range check", "13/1941", 19411300},
    {"day 45 is no range check", "02/45/1941", 19410245},
    {"leading blanks and tabs", " \t05/ 1941", 19410500},
    {"pieces are not rounded one by one", "2.5/07/1941", 19410257},
    {"exponent with D", "05/1.941D3", 19410500},
    {"year pair of the calculation", "1901 or 1900", 19010000},
    {"year 0 in a full date", "12/07/0000", 0},
    {"negative year", "12/07/-1941", 0},
    {"year beyond 9999", "12/07/10000", 0},
    {"beyond 32 bits", "12/07/999999999999", 0},
    {"huge exponent", "1e400", 0},
    {"text without number", "abc/def", 0},
};

TEST(CalendarStartDate, FromTheFieldText) {
    for (const StartCase& c : StartCases) {
        EXPECT_EQ(c.expected, calendarStartDate(c.text))
            << c.name << ": text \"" << c.text << "\": expected " << c.expected << ", got "
            << calendarStartDate(c.text);
    }
}

TEST(CalendarStartDate, ThirtyThousandCharactersAreNoDate) {
    std::string digits(30000, '9');
    EXPECT_EQ(0, calendarStartDate(digits));
    std::string slashes(30000, '/');
    EXPECT_EQ(0, calendarStartDate(slashes));
}

TEST(HelpTexts, AreTheLinesJoinedByCrLfWithTheirBlanks) {
    EXPECT_EQ(
        " Enter event date as: \r\n    mm/dd/yyyy\r\n    or mm/yyyy\r\n    or yyyy\r\n\r\n"
        " Some possible events include death, marriage, oath signing \r\n"
        " enlistments, census year or census taker's date.\r\n\r\n"
        " The calendar button displays a 12 month calendar and the  \r\n"
        " copy button (Cp) can be used to copy text to the clipboard.",
        helpText(HelpEventButtonId));
    EXPECT_EQ(
        " Any combination of years, months, and days can be specified   \r\n\r\n"
        " You may enter an age range such as 20-30 years,   \r\n"
        " or -5 (for 5 and under), or 60+ (for 60 and over).",
        helpText(HelpAgeButtonId));
    EXPECT_EQ(
        "Changes date format from numerical display to   \r\n"
        "3-character month abbreviation, or visa versa   \r\n"
        "e.g.,  Dec 07, 1941",
        helpText(HelpAbbreviateButtonId));
    EXPECT_EQ("show day of week with event and birth dates in brackets   \r\ne.g.  Dec 07, 1941 [Su]   ",
              helpText(HelpWeekDayButtonId));
    EXPECT_EQ("Ver 1.52", helpCaption());
}

TEST(PartNames, NameEachEntryErrorCode) {
    const char* expected[] = {"", "months", "days", "years", "4 digit year"};
    for (int code = 0; code < 5; ++code) EXPECT_STREQ(expected[code], PartNames[code]) << "code " << code;
}

// A stand-in for the main dialog: a real dialog window with the five entry
// fields, the two options and "&Calc", handled by mainDialogProc.
class DialogEventsTest : public ::testing::Test {
protected:
    void SetUp() override {
        struct {
            DLGTEMPLATE header;
            WORD menu, windowClass, title;
        } empty{};
        empty.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        empty.header.cx = 200;
        empty.header.cy = 200;
        dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &empty.header, nullptr, quietProc, 0);
        ASSERT_NE(nullptr, dialog);
        int y = 0;
        const int edits[] = {FocusSinkId, EventDateField, YearsField, MonthsField, DaysField, BirthDateField};
        for (int id : edits) {
            CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, 10,
                            y += 22, 120, 20, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                            nullptr);
        }
        CreateWindowExA(0, "BUTTON", "&Calc", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY | BS_PUSHBUTTON, 10,
                        y += 22, 60, 20, dialog, reinterpret_cast<HMENU>(CalcButtonId), nullptr, nullptr);
        for (int id : {AbbreviateOptionId, WeekDayOptionId}) {
            CreateWindowExA(0, "BUTTON", "option", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_NOTIFY | BS_AUTOCHECKBOX,
                            10, y += 22, 120, 20, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                            nullptr);
        }
        for (int id = EventDateField; id <= BirthDateField; ++id) {
            originalProc[id - EventDateField] = GetWindowLongPtrA(GetDlgItem(dialog, id), GWLP_WNDPROC);
        }
        previousHandle = MainDialogHandle;
        MainDialogHandle = dialog;
        SetWindowLongPtrA(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(mainDialogProc));
        ShowWindow(dialog, SW_SHOW);
        mainDialogProc(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
    }
    void TearDown() override {
        if (dialog != nullptr && IsWindow(dialog)) DestroyWindow(dialog);
        MainDialogHandle = previousHandle;
        PendingDateField = 0;
        SuppressEnterAdvance = 0;
        EntryError = EntryCode::None;
    }

    static INT_PTR CALLBACK quietProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

    void setText(int id, const char* text) { SetWindowTextA(GetDlgItem(dialog, id), text); }
    std::string text(int id) { return controlText(id); }
    void check(int id, bool on) { SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK, on ? BST_CHECKED : 0, 0); }

    HWND dialog = nullptr;
    HWND previousHandle = nullptr;
    LONG_PTR originalProc[5]{};
};

TEST_F(DialogEventsTest, InitialisationSubclassesTheFiveFieldsOnceAndFocusesTheEventField) {
    for (int id = EventDateField; id <= BirthDateField; ++id) {
        HWND field = GetDlgItem(dialog, id);
        EXPECT_EQ(reinterpret_cast<LONG_PTR>(entryFieldProc), GetWindowLongPtrA(field, GWLP_WNDPROC)) << "field " << id;
        EXPECT_EQ(originalProc[id - EventDateField], GetWindowLongPtrA(field, GWLP_USERDATA)) << "field " << id;
    }
    // A second initialisation must not save our own procedure as the field's.
    mainDialogProc(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
    for (int id = EventDateField; id <= BirthDateField; ++id) {
        EXPECT_EQ(originalProc[id - EventDateField], GetWindowLongPtrA(GetDlgItem(dialog, id), GWLP_USERDATA)) << "field " << id;
    }
    EXPECT_EQ(GetDlgItem(dialog, EventDateField), GetFocus());
}

TEST_F(DialogEventsTest, DestroyGivesTheFieldsTheirOwnProceduresBack) {
    mainDialogProc(dialog, WM_DESTROY, 0, 0);
    for (int id = EventDateField; id <= BirthDateField; ++id) {
        HWND field = GetDlgItem(dialog, id);
        EXPECT_EQ(originalProc[id - EventDateField], GetWindowLongPtrA(field, GWLP_WNDPROC)) << "field " << id;
        EXPECT_EQ(0, GetWindowLongPtrA(field, GWLP_USERDATA)) << "field " << id;
    }
    // The fields still work as plain edit controls.
    setText(EventDateField, "still an edit");
    EXPECT_EQ("still an edit", text(EventDateField));
}

struct FormatCase {
    const char* name;
    const char* typed;
    bool abbreviated;
    bool weekDay;
    int32_t code;
    const char* shown;  // the field afterwards
};

const FormatCase FormatCases[] = {
    {"month word to numeric", "Dec 7, 1941", false, false, 0, "12/07/1941"},
    {"numeric to abbreviated", "12/07/1941", true, false, 0, "Dec 7, 1941"},
    {"week day added", "12/07/1941", false, true, 0, "12/07/1941  [Su]"},
    {"tag made afresh", "12/07/1941  [Mo]", false, true, 0, "12/07/1941  [Su]"},
    {"bad month keeps the text", "13/07/1941", false, false, 1, "13/07/1941"},
    {"bad day keeps the text", "02/29/1900", true, true, 2, "02/29/1900"},
    {"year out of range", "12/07/1599", false, false, 3, "12/07/1599"},
    {"two-digit year", "12/7/41", false, false, 4, "12/7/41"},
    {"year pair left alone", "1901 or 1900", true, true, 0, "1901 or 1900"},
    {"empty stays empty", "", true, true, 0, ""},
};

TEST_F(DialogEventsTest, FormatDateFieldRewritesAValidFieldAndLeavesAnInvalidOne) {
    for (const FormatCase& c : FormatCases) {
        for (int id : {EventDateField, BirthDateField}) {
            setText(id, c.typed);
            check(AbbreviateOptionId, c.abbreviated);
            check(WeekDayOptionId, c.weekDay);
            EntryError = EntryCode::Years;  // any stale value is replaced
            formatDateField(id);
            EXPECT_EQ(c.code, static_cast<int32_t>(EntryError))
                << c.name << " in " << id << ": expected code " << c.code << ", got "
                << static_cast<int32_t>(EntryError);
            EXPECT_EQ(c.shown, text(id)) << c.name << " in " << id;
        }
    }
}

TEST_F(DialogEventsTest, EnterReleaseMovesToTheNextStopUnlessSuppressed) {
    HWND event = GetDlgItem(dialog, EventDateField);
    SetFocus(event);
    ASSERT_EQ(event, GetFocus());
    SuppressEnterAdvance = 1;
    SendMessageA(event, WM_KEYUP, VK_RETURN, 0);
    EXPECT_EQ(event, GetFocus()) << "a suppressed release must leave the focus in 101";
    SuppressEnterAdvance = 0;
    SendMessageA(event, WM_KEYUP, VK_RETURN, 0);
    EXPECT_EQ(GetDlgItem(dialog, YearsField), GetFocus()) << "expected the focus in 102";
    SendMessageA(GetDlgItem(dialog, YearsField), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(GetDlgItem(dialog, YearsField), GetFocus()) << "the press alone moves nothing";
}

TEST_F(DialogEventsTest, ClosingStepDecidesSuppressionByTheOutermostCommand) {
    struct Step {
        int id;
        int32_t suppressed;
    };
    const Step steps[] = {{CalcButtonId, 1},      {1, 0},
                          {ResetButtonId, 1},     {EventDateField, 0},
                          {HelpEventButtonId, 1}, {HelpWeekDayButtonId, 1},
                          {AbbreviateOptionId, 0}, {2000, 0}};
    for (const Step& s : steps) {
        // Code 0x300 (EN_CHANGE) has no effect of its own for the entry ids.
        mainDialogProc(dialog, WM_COMMAND, MAKEWPARAM(s.id, s.id == CalcButtonId ? BN_CLICKED : 0x300), 0);
        EXPECT_EQ(s.suppressed, SuppressEnterAdvance) << "command " << s.id;
    }
}

TEST_F(DialogEventsTest, LeavingADateFieldMakesItPendingAndClearsTheEntryError) {
    PendingDateField = 0;
    EntryError = EntryCode::Years;
    mainDialogProc(dialog, WM_COMMAND, MAKEWPARAM(BirthDateField, EN_KILLFOCUS), 0);
    EXPECT_EQ(BirthDateField, PendingDateField);
    EXPECT_EQ(EntryCode::None, EntryError);
    mainDialogProc(dialog, WM_COMMAND, MAKEWPARAM(EventDateField, EN_KILLFOCUS), 0);
    EXPECT_EQ(BirthDateField, PendingDateField) << "the first pending field stays pending";
    mainDialogProc(dialog, WM_COMMAND, MAKEWPARAM(YearsField, EN_KILLFOCUS), 0);
    EXPECT_EQ(BirthDateField, PendingDateField);
    setText(BirthDateField, "5/1941");
    mainDialogProc(dialog, WM_COMMAND, MAKEWPARAM(BirthDateField, EN_SETFOCUS), 0);
    EXPECT_EQ(BirthDateField, PendingDateField) << "arriving at the pending field itself validates nothing";
    EXPECT_EQ("5/1941", text(BirthDateField));
    mainDialogProc(dialog, WM_COMMAND, MAKEWPARAM(YearsField, EN_SETFOCUS), 0);
    EXPECT_EQ(0, PendingDateField);
    EXPECT_EQ("05/1941", text(BirthDateField));
}

}  // namespace
