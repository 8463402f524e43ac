// The researchers' additions to the main dialog in this process, on real
// windows handled by mainDialogProc: the answer's tooltip and the entry
// fields' context menu after a calculation (labels, greyed items, what each
// item copies), the edit items, the census days and their age rule, and the
// system menu's items.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "dialog_events.h"
#include "in_process.h"
#include "main_window.h"
#include "research.h"
#include "researcher_menus.h"

namespace {

using win32test::newWindows;
using win32test::threadWindows;

std::string menuLabel(HMENU menu, UINT item) {
    char text[512] = {};
    GetMenuStringA(menu, item, text, sizeof text, MF_BYCOMMAND);
    return text;
}

bool menuEnabled(HMENU menu, UINT item) {
    const UINT state = GetMenuState(menu, item, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) == 0;
}

std::string clipboardOr(const char* none) { return ui::clipboardHasFormat(CF_TEXT) ? ui::clipboardText() : none; }

// A stand-in for the main dialog: a real dialog with the five entry fields,
// the two options and "&Calc", handled by mainDialogProc.
class ResearcherTest : public ::testing::Test {
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
        for (int id : {FocusSinkId, EventDateField, YearsField, MonthsField, DaysField, BirthDateField}) {
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
        previousHandle = MainDialogHandle;
        MainDialogHandle = dialog;
        SetWindowLongPtrA(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(mainDialogProc));
        ShowWindow(dialog, SW_SHOW);
        SetForegroundWindow(dialog);
        mainDialogProc(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
    }
    void TearDown() override {
        if (dialog != nullptr && IsWindow(dialog)) DestroyWindow(dialog);
        MainDialogHandle = previousHandle;
        PendingDateField = 0;
        SuppressEnterAdvance = 0;
        EntryError = EntryCode::None;
        MissingPart = MissingFact::None;
    }

    static INT_PTR CALLBACK quietProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

    HWND field(int id) { return GetDlgItem(dialog, id); }
    void setText(int id, const char* text) { SetWindowTextA(field(id), text); }
    std::string text(int id) { return controlText(id); }
    void reset() { SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(ResetButtonId, BN_CLICKED), 0); }
    // "&Calc" receiving the focus calculates.
    void calculate() {
        SetFocus(field(EventDateField));
        SetFocus(field(CalcButtonId));
    }
    void check(int id, bool on) { SendMessageA(field(id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

    // The tooltip the dialog owns, once there is one.
    HWND tooltip() {
        for (HWND w : threadWindows()) {
            char name[64] = {};
            GetClassNameA(w, name, sizeof name);
            if (std::string(name) == TOOLTIPS_CLASSA && GetWindow(w, GW_OWNER) == dialog) return w;
        }
        return nullptr;
    }
    // Whether the tooltip has a tool for a field (its text is the one of
    // answerTipText; what shows is read from outside, in the ui tests).
    bool hasTip(int id) {
        HWND tip = tooltip();
        TTTOOLINFOA tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = dialog;
        tool.uId = reinterpret_cast<UINT_PTR>(field(id));
        return tip != nullptr && SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
    }

    HWND dialog = nullptr;
    HWND previousHandle = nullptr;
};

struct CitedCase {
    const char* name;
    const char* event;
    const char* years;
    const char* months;
    const char* birth;
    const char* census;  // chosen from the event field's menu; "" for none
    int computedField;
    const char* shown;   // the computed field afterwards
    const char* tip;     // the tooltip, lines joined by CR LF
    const char* gedcom7;  // "" when the item is greyed
    const char* gedcom551;
    const char* ends;     // what "Copy window as ISO dates" (or the age window) copies
};

const CitedCase CitedCases[] = {
    {"the typical request", "12/07/1941", "40", "", "", "", BirthDateField, "1901 or 1900",
     "Born between 12/08/1900 and 12/07/1901\r\nGEDCOM 7: BET 8 DEC 1900 AND 7 DEC 1901",
     "BET 8 DEC 1900 AND 7 DEC 1901", "BET 8 DEC 1900 AND 7 DEC 1901", "1900-12-08 to 1901-12-07"},
    {"an open window", "06/1841", "60+", "", "", "", BirthDateField, "1781 or before",
     "Born on or before 06/30/1781\r\nGEDCOM 7: BEF JUN 1781", "BEF JUN 1781", "BEF JUL 1781",
     "on or before 1781-06-30"},
    {"an age between two partial dates", "04/07/1861", "", "", "1811", "", YearsField, " 50 or 49",
     "Aged between 49y 3m 7d and 50y 3m 6d\r\n"
     "A GEDCOM age holds no range: the age is between 49y 3m 7d and 50y 3m 6d",
     "", "", "49y 3m 7d to 50y 3m 6d"},
    {"the 1841 census", "", "30", "", "", "EW1841", BirthDateField, "1806 to 1811",
     "Born between 06/07/1806 and 06/06/1811\r\nGEDCOM 7: BET 7 JUN 1806 AND 6 JUN 1811",
     "BET 7 JUN 1806 AND 6 JUN 1811", "BET 7 JUN 1806 AND 6 JUN 1811", "1806-06-07 to 1811-06-06"},
    {"an 1841 age that is no multiple of five", "", "33", "", "", "EW1841", BirthDateField, "1803 to 1808",
     "Born between 06/07/1803 and 06/06/1808\r\nGEDCOM 7: BET 7 JUN 1803 AND 6 JUN 1808\r\n"
     "EW1841 wrote ages of 15 and over rounded down to a multiple of 5; 33 is not one and is read as 33 to 37",
     "BET 7 JUN 1803 AND 6 JUN 1808", "BET 7 JUN 1803 AND 6 JUN 1808", "1803-06-07 to 1808-06-06"},
};

TEST_F(ResearcherTest, TooltipAndMenuCarryTheAnswerAndItsItemsCopyIt) {
    for (const CitedCase& c : CitedCases) {
        reset();
        setText(EventDateField, c.event);
        if (*c.census != '\0') chooseEventCensus(quillark::findCensus(c.census));
        setText(YearsField, c.years);
        setText(MonthsField, c.months);
        setText(BirthDateField, c.birth);
        calculate();
        ASSERT_EQ(text(c.computedField), c.shown) << c.name;
        EXPECT_EQ(answerTipText(), c.tip) << c.name;
        EXPECT_TRUE(hasTip(c.computedField)) << c.name << ": the computed field's tooltip";
        EXPECT_FALSE(hasTip(c.computedField == BirthDateField ? YearsField : BirthDateField))
            << c.name << ": only the computed field has the tooltip";

        HMENU menu = buildFieldMenu(field(YearsField));
        ASSERT_NE(menu, nullptr);
        struct Item {
            UINT id;
            const char* label;
            const char* value;
        };
        const std::string ends = c.ends;
        const std::string isoLabel = c.computedField == YearsField ? "Copy age &window" : "Copy window as &ISO dates";
        const Item items[] = {{MenuCopyGedcom7, "Copy GEDCOM &7", c.gedcom7},
                              {MenuCopyGedcom551, "Copy GEDCOM &5.5.1", c.gedcom551}};
        for (const Item& item : items) {
            const std::string value = item.value;
            EXPECT_EQ(menuLabel(menu, item.id), value.empty() ? item.label : item.label + (": " + value))
                << c.name << ": item " << item.id;
            EXPECT_EQ(menuEnabled(menu, item.id), !value.empty()) << c.name << ": item " << item.id;
            copyTextToClipboard("before");
            runFieldMenuItem(field(YearsField), item.id);
            EXPECT_EQ(clipboardOr("<none>"), value.empty() ? "before" : value) << c.name << ": item " << item.id;
        }
        EXPECT_EQ(menuLabel(menu, MenuCopyIsoWindow), isoLabel + ": " + ends) << c.name;
        runFieldMenuItem(field(YearsField), MenuCopyIsoWindow);
        EXPECT_EQ(clipboardOr("<none>"), ends) << c.name;
        // The window line, for keyboard users who never see the tooltip.
        const std::string tip = c.tip;
        const std::string line = tip.substr(0, tip.find("\r\n"));
        EXPECT_EQ(menuLabel(menu, MenuCopyWindowLine), "Copy answer in w&ords: " + line) << c.name;
        runFieldMenuItem(field(YearsField), MenuCopyWindowLine);
        EXPECT_EQ(clipboardOr("<none>"), line) << c.name;
        DestroyMenu(menu);
    }
}

TEST_F(ResearcherTest, BeforeAnyAnswerTheAnswerItemsAreGreyAndNoTooltipExists) {
    HMENU menu = buildFieldMenu(field(BirthDateField));
    ASSERT_NE(menu, nullptr);
    const std::pair<UINT, const char*> items[] = {{MenuCopyGedcom7, "Copy GEDCOM &7"},
                                                  {MenuCopyGedcom551, "Copy GEDCOM &5.5.1"},
                                                  {MenuCopyIsoWindow, "Copy window as &ISO dates"}};
    for (const auto& [id, label] : items) {
        EXPECT_EQ(menuLabel(menu, id), label);
        EXPECT_FALSE(menuEnabled(menu, id)) << label;
    }
    EXPECT_EQ(GetMenuState(menu, MenuCopyWindowLine, MF_BYCOMMAND), static_cast<UINT>(-1)) << "no words yet";
    DestroyMenu(menu);
    EXPECT_EQ(tooltip(), nullptr) << "the dialog at rest owns no tooltip";
}

TEST_F(ResearcherTest, TypingIntoAFieldOrResetForgetsTheAnswer) {
    for (int typed : {EventDateField, YearsField, MonthsField, DaysField, BirthDateField, ResetButtonId}) {
        reset();
        setText(EventDateField, "12/07/1941");
        setText(YearsField, "40");
        calculate();
        ASSERT_FALSE(answerTipText().empty()) << "field " << typed;
        if (typed == ResetButtonId) {
            reset();
        } else {
            setText(typed, "1");
        }
        EXPECT_EQ(answerTipText(), "") << "after typing into " << typed;
        EXPECT_FALSE(hasTip(BirthDateField)) << "after typing into " << typed;
    }
}

TEST_F(ResearcherTest, EditItemsDoWhatTheEditControlDoes) {
    HWND event = field(EventDateField);
    setText(EventDateField, "12/07/1941");
    runFieldMenuItem(event, MenuSelectAll);
    runFieldMenuItem(event, MenuCopy);
    EXPECT_EQ(clipboardOr("<none>"), "12/07/1941");
    runFieldMenuItem(event, MenuDelete);
    EXPECT_EQ(text(EventDateField), "");
    runFieldMenuItem(event, MenuUndo);
    EXPECT_EQ(text(EventDateField), "12/07/1941");
    runFieldMenuItem(event, MenuSelectAll);
    runFieldMenuItem(event, MenuCut);
    EXPECT_EQ(text(EventDateField), "");
    EXPECT_EQ(clipboardOr("<none>"), "12/07/1941");
    copyTextToClipboard("Dec 7, 1941");
    runFieldMenuItem(event, MenuPaste);
    EXPECT_EQ(text(EventDateField), "Dec 7, 1941");
}

// Where the census submenu is: the last item of the event field's menu.
HMENU censusSubmenu(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    char label[64] = {};
    GetMenuStringA(menu, count - 1, label, sizeof label, MF_BYPOSITION);
    return std::string(label) == "Ce&nsus day" ? GetSubMenu(menu, count - 1) : nullptr;
}

TEST_F(ResearcherTest, CensusDaySubmenuListsEveryCensusByCountryThenYear) {
    HMENU menu = buildFieldMenu(field(EventDateField));
    HMENU census = censusSubmenu(menu);
    ASSERT_NE(census, nullptr) << "the event field's menu ends in \"Census day\"";
    std::vector<std::string> listed;
    for (int c = 0; c < GetMenuItemCount(census); ++c) {
        char country[128] = {};
        GetMenuStringA(census, c, country, sizeof country, MF_BYPOSITION);
        HMENU years = GetSubMenu(census, c);
        ASSERT_NE(years, nullptr) << country;
        for (int y = 0; y < GetMenuItemCount(years); ++y) {
            char year[16] = {};
            GetMenuStringA(years, y, year, sizeof year, MF_BYPOSITION);
            listed.push_back(std::string(country) + " " + year + " #" + std::to_string(GetMenuItemID(years, y)));
        }
    }
    std::vector<std::string> expected;
    const auto table = quillark::censusTable();
    for (size_t i = 0; i < table.size(); ++i)
        expected.push_back(std::string(table[i].country) + " " + std::to_string(yearOf(table[i].day)) + " #" +
                           std::to_string(MenuCensus + i));
    EXPECT_EQ(listed, expected);
    DestroyMenu(menu);
    for (int id : {YearsField, MonthsField, DaysField, BirthDateField}) {
        HMENU other = buildFieldMenu(field(id));
        EXPECT_EQ(censusSubmenu(other), nullptr) << "field " << id << " has no census days";
        DestroyMenu(other);
    }
}

// Every census of the table: its day fills the event field in the display
// chosen, its rule gives the command line's answer, its item is checked.
TEST_F(ResearcherTest, EachCensusDayFillsTheEventDateAndItsRuleGivesTheCommandLinesAnswer) {
    const auto table = quillark::censusTable();
    for (const bool abbreviated : {false, true}) {
        check(AbbreviateOptionId, abbreviated);
        for (size_t i = 0; i < table.size(); ++i) {
            const quillark::Census& census = table[i];
            reset();
            check(AbbreviateOptionId, abbreviated);
            runFieldMenuItem(field(EventDateField), MenuCensus + static_cast<UINT>(i));
            char day[16];
            std::snprintf(day, sizeof day, "%02d/%02d/%04d", monthOf(census.day), dayOf(census.day), yearOf(census.day));
            const std::string shown = formatDateText(day, abbreviated, false).text;
            ASSERT_EQ(text(EventDateField), shown) << census.name;
            EXPECT_EQ(EventCensus, &census) << census.name;
            HMENU menu = buildFieldMenu(field(EventDateField));
            EXPECT_TRUE(GetMenuState(menu, MenuCensus + static_cast<UINT>(i), MF_BYCOMMAND) & MF_CHECKED) << census.name;
            DestroyMenu(menu);

            setText(YearsField, "37");
            calculate();
            quillark::ResearchRequest request;
            request.fields = {"", "37", "", "", ""};
            request.census = census.name;
            request.abbreviated = abbreviated;
            request.cite = true;
            const quillark::ResearchAnswer cli = quillark::answerResearch(request);
            EXPECT_EQ(text(BirthDateField), std::string(trimBlanks(cli.shown(Field::Birth)))) << census.name;
            EXPECT_EQ(answerTipText().substr(0, answerTipText().find("\r\n")),
                      quillark::windowLine(cli.citation, abbreviated, false))
                << census.name;
            EXPECT_EQ(text(YearsField), "37") << census.name << ": the years stay as written";
        }
    }
    check(AbbreviateOptionId, false);
}

TEST_F(ResearcherTest, TypingAnotherEventDateClearsTheCensus) {
    chooseEventCensus(quillark::findCensus("EW1841"));
    ASSERT_NE(EventCensus, nullptr);
    setText(YearsField, "30");
    EXPECT_NE(EventCensus, nullptr) << "typing an age keeps the census";
    setText(EventDateField, "06/06/1841");
    EXPECT_EQ(EventCensus, nullptr) << "a typed date is no census's day";
    calculate();
    EXPECT_EQ(text(BirthDateField), "1811 or 1810") << "the age at the last birthday";
    chooseEventCensus(quillark::findCensus("EW1841"));
    reset();
    EXPECT_EQ(EventCensus, nullptr) << "Reset forgets the census";
}

TEST_F(ResearcherTest, SystemMenuOffersRecordsAndAbout) {
    HMENU system = GetSystemMenu(dialog, FALSE);
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(menuLabel(system, RecordsCommandId), "&Person's records\x85\tCtrl+R");
    EXPECT_EQ(menuLabel(system, AboutCommandId), "About &Quillark\x85");

    EXPECT_EQ(aboutText(),
              "Quillark 1.52\r\nA small, fast date calculator for family-history research.\r\nLicence: MIT");
    const std::vector<HWND> before = threadWindows();
    SendMessageA(dialog, WM_SYSCOMMAND, AboutCommandId, 0);
    std::vector<HWND> opened;
    ASSERT_TRUE(ui::waitFor([&] { return !(opened = newWindows(before)).empty(); })) << "no About box";
    EXPECT_EQ(ui::text(opened.front()), "About Quillark");
    EXPECT_EQ(ui::text(GetDlgItem(opened.front(), BoxTextId)), aboutText());
    for (HWND w : opened) DestroyWindow(w);
}

}  // namespace
