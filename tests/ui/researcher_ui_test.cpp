// The researchers' additions driven from outside with real input, as a
// person uses them: the answer's tooltip under the resting pointer, the
// context menu by right-click, Shift+F10 and the menu key with what each
// item puts on the clipboard, the census days changing the answer, Ctrl+R
// and the records window, and the About box from the system menu.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "main_window_fixture.h"
#include "records_window.h"
#include "researcher_menus.h"

namespace e2e {
namespace {

// Visible windows of the program of one window class.
std::vector<HWND> windowsOfClass(const AppSession& app, const char* className) {
    std::vector<HWND> found;
    for (HWND w : ui::topLevelWindows(app.processId()))
        if (ui::className(w) == className) found.push_back(w);
    return found;
}

std::string withoutCr(std::string text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out.push_back(c);
    return out;
}

POINT centreOf(HWND window) {
    const RECT r = ui::windowRect(window);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

class ResearcherUiTest : public MainWindowTest {
protected:
    // "Dec 7, 1941" and 40 years, Enter up to "&Calc".
    void typicalRequest() {
        typeHere(Event, "Dec 7, 1941");
        pressAndExpectFocus(VK_RETURN, Years);
        typeHere(Years, "40");
        pressAndExpectFocus(VK_RETURN, Months);
        pressAndExpectFocus(VK_RETURN, Days);
        pressAndExpectFocus(VK_RETURN, Birth);
        pressAndExpectFocus(VK_RETURN, Calc);
        expectText(Birth, "1901 or 1900");
    }
    // Waits for an open popup menu of the program.
    bool menuOpen() {
        return waitFor([&] { return !windowsOfClass(*app, "#32768").empty(); }, 5000ms);
    }
    bool menuClosed() {
        return waitFor([&] { return windowsOfClass(*app, "#32768").empty(); }, 5000ms);
    }
};

TEST_F(ResearcherUiTest, TooltipOverTheAnswerTellsItsWindowAndGedcom) {
    typicalRequest();
    const POINT birth = centreOf(app->control(Birth));
    ASSERT_TRUE(ui::movePointer(birth.x, birth.y));
    HWND tip = nullptr;
    ASSERT_TRUE(waitFor(
        [&] {
            for (HWND w : windowsOfClass(*app, "tooltips_class32"))
                if (IsWindowVisible(w)) tip = w;
            return tip != nullptr;
        },
        10000ms))
        << "no tooltip over the computed field";
    EXPECT_EQ(withoutCr(ui::text(tip)), "Born between 12/08/1900 and 12/07/1901\nGEDCOM 7: BET 8 DEC 1900 AND 7 DEC 1901");
    EXPECT_TRUE(app->boxes().empty()) << "the tooltip is no box";
    ui::movePointer(birth.x, ui::windowRect(app->mainWindow()).bottom + 40);
}

struct MenuCase {
    const char* name;
    int field;
    int how;  // 0 right-click, 1 Shift+F10, 2 the menu key
    WORD key;
    const char* copied;
};

const MenuCase MenuCases[] = {
    {"GEDCOM 7 by right-click on the answer", Birth, 0, '7', "BET 8 DEC 1900 AND 7 DEC 1901"},
    {"GEDCOM 5.5.1 by Shift+F10 in the years", Years, 1, '5', "BET 8 DEC 1900 AND 7 DEC 1901"},
    {"ISO window by the menu key in the event date", Event, 2, 'I', "1900-12-08 to 1901-12-07"},
    {"the answer in words by right-click on the days", Days, 0, 'O', "Born between 12/08/1900 and 12/07/1901"},
};

TEST_F(ResearcherUiTest, EachMenuItemPutsItsValueOnTheClipboard) {
    typicalRequest();
    for (const MenuCase& c : MenuCases) {
        ASSERT_TRUE(setClipboardText("before")) << c.name;
        if (c.how == 0) {
            const POINT at = centreOf(app->control(c.field));
            ui::rightClickAt(at.x, at.y);
        } else {
            ASSERT_TRUE(app->click(c.field)) << c.name;
            ASSERT_TRUE(app->waitFocus(c.field)) << c.name;
            if (c.how == 1) {
                app->key(VK_F10, true);
            } else {
                app->key(VK_APPS);
            }
        }
        ASSERT_TRUE(menuOpen()) << c.name << ": no context menu";
        app->key(c.key);
        ASSERT_TRUE(menuClosed()) << c.name;
        EXPECT_TRUE(waitFor([&] { return clipboardText() == c.copied; }))
            << c.name << ": expected \"" << c.copied << "\", got \"" << clipboardText() << "\"";
        EXPECT_EQ(app->text(Birth), "1901 or 1900") << c.name << ": the answer stays";
    }
}

TEST_F(ResearcherUiTest, CensusDayFillsTheEventDateAndItsRuleChangesTheAnswer) {
    app->key(VK_F10, true);
    ASSERT_TRUE(menuOpen());
    app->key('N');        // "Census day"
    app->key(VK_RETURN);  // "England and Wales"
    app->key(VK_RETURN);  // "1841"
    ASSERT_TRUE(menuClosed());
    ASSERT_TRUE(app->waitText(Event, "06/06/1841")) << "got \"" << app->text(Event) << "\"";
    pressAndExpectFocus(VK_RETURN, Years);
    typeHere(Years, "30");
    pressAndExpectFocus(VK_RETURN, Months);
    pressAndExpectFocus(VK_RETURN, Days);
    pressAndExpectFocus(VK_RETURN, Birth);
    pressAndExpectFocus(VK_RETURN, Calc);
    expectText(Birth, "1806 to 1811");
    expectText(Years, "30");

    // The same date typed by hand is no census day: the age is as written.
    typeInto(Event, "06/06/1841");
    pressAndExpectFocus(VK_RETURN, Years);
    ASSERT_TRUE(app->click(Calc));
    ASSERT_TRUE(app->waitFocus(Calc));
    EXPECT_TRUE(app->waitText(Birth, "1811 or 1810")) << "got \"" << app->text(Birth) << "\"";
}

TEST_F(ResearcherUiTest, CtrlROpensTheRecordsWindowWhichTakesTheAnswerAndAsksBeforeClosing) {
    typicalRequest();
    app->key('R', false, true);
    HWND records = ui::waitForWindow(RecordsCaption, app->processId());
    ASSERT_NE(records, nullptr) << "Ctrl+R opened no records window";
    ASSERT_TRUE(waitFor([&] { return app->activeWindow() == records; }));
    app->key('A', false, false, true);  // Alt+A: "Add from calculator", then its label is typed
    HWND list = GetDlgItem(records, RecordsListId);
    ASSERT_TRUE(waitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
    app->type("1941 record");
    app->key(VK_RETURN);
    EXPECT_TRUE(waitFor([&] {
        return ui::text(GetDlgItem(records, RecordsSummaryId)).rfind("Person: born between 1900-12-08 and 1901-12-07", 0) == 0;
    })) << "got \"" << ui::text(GetDlgItem(records, RecordsSummaryId)) << "\"";
    // Esc closes, but the record is not saved: the question comes first.
    app->key(VK_ESCAPE);
    std::vector<BoxInfo> asked;
    ASSERT_TRUE(waitFor([&] { return !(asked = app->boxes(RecordsCaption)).empty() && asked.size() >= 2; }))
        << "no question before closing";
    app->key('N');
    EXPECT_TRUE(waitFor([&] { return !IsWindow(records); })) << "No closes the window";
    EXPECT_EQ(app->text(Birth), "1901 or 1900") << "the dialog is as it was";
}

TEST_F(ResearcherUiTest, AboutFromTheSystemMenu) {
    app->key(VK_SPACE, false, false, true);
    ASSERT_TRUE(menuOpen()) << "no system menu";
    app->key('Q');  // "About &Quillark"; Wine's own "About Wine" holds A
    std::vector<BoxInfo> about;
    ASSERT_TRUE(waitFor([&] { return !(about = app->boxes("About Quillark")).empty(); })) << "no About box";
    EXPECT_EQ(withoutCr(about[0].text),
              "Quillark 1.52\nA small, fast date calculator for family-history research.\nLicence: MIT");
}

}  // namespace
}  // namespace e2e
