// Performs the typical request on a freshly started quillark.exe with real
// keystrokes: "Dec 7, 1941", Enter, "40", Enter until "&Calc". Prints the
// five field texts, saves a picture of the main window, closes the program
// and exits 0 when the window gave the expected answer.
//
//   typical_request [--exe PATH] [--screenshot UNIX_PATH.png] [--measure N]
//                   [--shots UNIX_DIR] [--copy weekday|empty]
//                   [--menu-copy gedcom7|gedcom551|iso] [--researcher-shots UNIX_DIR]
//
// --copy weekday: "Show week day" on, 12/7/1941 typed and left, "Cp" of the
// event date; --copy empty: "Cp" of the empty birth field. Either ends the
// program afterwards, so that a shell can read the X clipboard (xclip) from
// outside Wine.
//
// --menu-copy ITEM: the typical request, then the item of the birth field's
// context menu (Shift+F10) chosen by its key, and the program closed, for
// the X clipboard test of the menu.
//
// --researcher-shots DIR saves the README's pictures of the answer's
// tooltip, the context menu, and the records window with Ann Ward's four
// records and their timeline.
//
// --shots DIR saves the pictures of the README: a calculation in the numeric
// display, one in the abbreviated display with week days, and an "Illegal
// Date" box over the window.
// --measure N starts the program N times and reports the median time from
// process start to the window being ready, and N times the median time from
// the Enter that reaches "&Calc" to the answer standing in the birth field.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app_session.h"
#include "records_window.h"

using namespace e2e;

namespace {

struct Options {
    std::string exe = QUILLARK_EXE;
    std::string screenshot;
    int measure = 0;
    std::string shots;
    std::string copy;
    std::string menuCopy;
    std::string researcherShots;
};

double medianMs(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

bool step(AppSession& app, WORD vk, int expectFocus) {
    app.key(vk);
    return app.waitFocus(expectFocus, 10000ms);
}

// The request itself; returns the time from the last Enter to the answer.
bool fail(const char* what, const AppSession& app) {
    std::fprintf(stderr, "typical request: %s (focus on %d, event \"%s\")\n", what, app.focusedId(),
                 app.text(Event).c_str());
    return false;
}

bool typicalRequest(AppSession& app, double* calcMs) {
    app.type("Dec 7, 1941");
    if (!app.waitText(Event, "Dec 7, 1941")) return fail("typing into the event field", app);
    if (!step(app, VK_RETURN, Years)) return fail("Enter to the years field", app);
    app.type("40");
    if (!app.waitText(Years, "40")) return fail("typing into the years field", app);
    if (!step(app, VK_RETURN, Months) || !step(app, VK_RETURN, Days) || !step(app, VK_RETURN, Birth)) {
        return fail("Enter to the birth field", app);
    }
    // Press and release without the driver's wait for the window, so the
    // time is the program's and Wine's, not the driver's.
    const auto pressed = Clock::now();
    ui::sendKeyUnwaited(VK_RETURN);
    // Polled every millisecond (each poll is a WM_GETTEXT round trip).
    bool answered = false;
    auto done = pressed;
    while (Clock::now() - pressed < 10000ms) {
        if (!app.text(Birth).empty()) {
            answered = true;
            break;
        }
        Sleep(1);
    }
    done = Clock::now();
    if (calcMs) *calcMs = std::chrono::duration<double, std::milli>(done - pressed).count();
    return answered && app.waitFocus(Calc);
}

// "Dec 7, 1941", 40 years and 0 months: the birth date as a date.
bool requestWithMonths(AppSession& app) {
    if (!app.click(Event) || !app.waitFocus(Event)) return false;
    app.type("Dec 7, 1941");
    if (!step(app, VK_RETURN, Years)) return false;
    app.type("40");
    if (!step(app, VK_RETURN, Months)) return false;
    app.type("0");
    return app.waitText(Months, "0") && step(app, VK_RETURN, Days) && step(app, VK_RETURN, Birth) &&
           step(app, VK_RETURN, Calc) && waitFor([&] { return !app.text(Birth).empty(); });
}

bool saveReadmeShots(const Options& options) {
    AppSession app(options.exe);
    if (!app.ok()) return false;
    bool ok = true;
    const std::string dir = options.shots + "/";
    ok = requestWithMonths(app) && app.waitText(Birth, "12/07/1901") &&
         saveScreenshot(dir + "main-window-calculation.png", unionOfWindows({app.mainWindow()}, 0));
    ok = ok && app.click(Reset) && app.waitFocus(Event) && app.click(Abbreviate) && app.click(WeekDay) &&
         waitFor([&] { return app.checked(Abbreviate) && app.checked(WeekDay); }) && requestWithMonths(app) &&
         app.waitText(Birth, "Dec 7, 1901  [Sa]") &&
         saveScreenshot(dir + "main-window-abbreviated.png", unionOfWindows({app.mainWindow()}, 0));
    ok = ok && app.click(Reset) && app.waitFocus(Event);
    if (ok) {
        app.type("13/07/1941");
        ok = app.waitText(Event, "13/07/1941");
        app.key(VK_TAB);
        ok = ok && waitFor([&] { return app.boxes("Illegal Date").size() == 1; }) && app.waitFocus(Event);
        std::vector<BoxInfo> box = app.boxes("Illegal Date");
        if (!box.empty()) {
            // The Wine virtual desktop draws the re-activated dialog over the
            // topmost box although the window order is right; showing the box
            // again, without activating it, draws it on top as it stands.
            SetWindowPos(box[0].window, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            SetWindowPos(box[0].window, HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        ok = ok && !box.empty() &&
             saveScreenshot(dir + "illegal-date.png", unionOfWindows({app.mainWindow(), box[0].window}, 0));
    }
    std::printf("%s: %s\n", ok ? "saved" : "failed to save", (dir + "{main-window-calculation,main-window-abbreviated,"
                                                                     "illegal-date}.png").c_str());
    app.closeAllBoxes();
    return app.close() == 0 && ok;
}

bool copyField(const Options& options) {
    AppSession app(options.exe);
    if (!app.ok()) return false;
    bool ok = false;
    if (options.copy == "weekday") {
        ok = app.click(WeekDay) && waitFor([&] { return app.checked(WeekDay); }) && app.click(Event) &&
             app.waitFocus(Event);
        app.type("12/7/1941");
        ok = ok && step(app, VK_TAB, Years) && app.waitText(Event, "12/07/1941  [Su]") && app.click(CopyEvent) &&
             app.waitFocus(Event) && waitFor([] { return clipboardText() == "12/07/1941  [Su]"; });
    } else if (options.copy == "empty") {
        ok = app.click(CopyBirth) && app.waitFocus(Birth) && app.text(Birth).empty();
    }
    if (!ok)
        std::fprintf(stderr, "copy %s: the window did not do what was expected (clipboard \"%s\"; %s)\n",
                     options.copy.c_str(), clipboardText().c_str(), clipboardReport().c_str());
    return app.close() == 0 && ok;
}

// Waits for the program's popup menu to open or to close.
bool popupMenu(const AppSession& app, bool open) {
    return waitFor([&] {
        for (HWND w : ui::topLevelWindows(app.processId()))
            if (ui::className(w) == "#32768") return open;
        return !open;
    });
}

bool menuCopy(const Options& options) {
    const struct {
        const char* item;
        WORD key;
    } Items[] = {{"gedcom7", '7'}, {"gedcom551", '5'}, {"iso", 'I'}};
    WORD key = 0;
    for (const auto& item : Items)
        if (options.menuCopy == item.item) key = item.key;
    if (key == 0) return false;
    AppSession app(options.exe);
    if (!app.ok() || !typicalRequest(app, nullptr)) return false;
    // A text the item cannot copy, so that its copy is seen even when the
    // clipboard held the same value before.
    const std::string before = "menu copy pending";
    bool ok = setClipboardText(before) && app.click(Birth) && app.waitFocus(Birth);
    app.key(VK_F10, true);
    ok = ok && popupMenu(app, true);
    app.key(key);
    ok = ok && popupMenu(app, false) && waitFor([&] { return clipboardText() != before; });
    if (!ok) std::fprintf(stderr, "menu copy %s: the window did not do what was expected\n", options.menuCopy.c_str());
    return app.close() == 0 && ok;
}

// One of Ann Ward's records through the calculator into the records window:
// a census day from the event field's menu (its place in the country's
// list) or a typed date, the age, "Add from calculator" and the label.
bool addRecord(AppSession& app, int census, const char* event, const char* years, const char* label) {
    if (!app.activate() || !app.click(Event) || !app.waitFocus(Event)) return false;
    app.selectAll();
    if (census >= 0) {
        app.key(VK_F10, true);
        if (!popupMenu(app, true)) return false;
        app.key('N');
        app.key(VK_RETURN);
        for (int i = 0; i < census; ++i) app.key(VK_DOWN);
        app.key(VK_RETURN);
        if (!popupMenu(app, false)) return false;
    } else {
        app.type(event);
    }
    if (!app.click(Years) || !app.waitFocus(Years)) return false;
    app.selectAll();
    app.type(years);
    if (!app.waitText(Years, years)) return false;
    app.key('R', false, true);
    HWND records = ui::waitForWindow(RecordsCaption, app.processId());
    if (records == nullptr || !ui::bringToFront(records)) return false;
    app.key('A', false, false, true);
    if (!waitFor([&] { return GetDlgCtrlID(app.focusedWindow()) == RecordsEditorId; })) return false;
    app.type(label);
    app.key(VK_RETURN);
    return app.catchUp();
}

bool saveResearcherShots(const Options& options) {
    AppSession app(options.exe);
    if (!app.ok()) return false;
    const std::string dir = options.researcherShots + "/";
    bool ok = typicalRequest(app, nullptr);
    // The tooltip over the answer.
    const RECT birth = ui::windowRect(app.control(Birth));
    ok = ok && ui::movePointer((birth.left + birth.right) / 2, (birth.top + birth.bottom) / 2);
    HWND tip = nullptr;
    ok = ok && waitFor([&] {
        for (HWND w : ui::topLevelWindows(app.processId()))
            if (ui::className(w) == "tooltips_class32") tip = w;
        return tip != nullptr;
    });
    ok = ok && saveScreenshot(dir + "answer-tooltip.png", unionOfWindows({app.mainWindow(), tip}, 0));
    // The context menu of the answer.
    ok = ok && ui::rightClickAt((birth.left + birth.right) / 2, (birth.top + birth.bottom) / 2) && popupMenu(app, true);
    HWND menu = nullptr;
    for (HWND w : ui::topLevelWindows(app.processId()))
        if (ui::className(w) == "#32768") menu = w;
    ok = ok && menu != nullptr && saveScreenshot(dir + "context-menu.png", unionOfWindows({app.mainWindow(), menu}, 0));
    app.key(VK_ESCAPE);
    ok = ok && popupMenu(app, false);
    // Ann Ward's records: three censuses and her burial.
    ok = ok && addRecord(app, 0, "", "30", "1841 census") && addRecord(app, 1, "", "39", "1851 census") &&
         addRecord(app, 2, "", "50", "1861 census") && addRecord(app, -1, "03/14/1870", "58", "burial");
    HWND records = ui::waitForWindow(RecordsCaption, app.processId());
    if (ok && records != nullptr) {
        ui::bringToFront(records);
        app.key('P', false, false, true);
        app.type("Ann Ward");
        app.catchUp();
        ok = saveScreenshot(dir + "records-window.png", unionOfWindows({records}, 0));
    }
    std::printf("%s: %s\n", ok ? "saved" : "failed to save",
                (dir + "{answer-tooltip,context-menu,records-window}.png").c_str());
    if (records != nullptr && IsWindow(records)) {
        // Closing asks about the unsaved records: No.
        ui::bringToFront(records);
        app.key(VK_ESCAPE);
        waitFor([&] { return app.boxes(RecordsCaption).size() >= 2; });
        app.key('N');
        waitFor([&] { return !IsWindow(records); });
    }
    app.closeAllBoxes();
    return app.close() == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--exe" && i + 1 < argc) {
            options.exe = argv[++i];
        } else if (arg == "--screenshot" && i + 1 < argc) {
            options.screenshot = argv[++i];
        } else if (arg == "--copy" && i + 1 < argc) {
            options.copy = argv[++i];
        } else if (arg == "--menu-copy" && i + 1 < argc) {
            options.menuCopy = argv[++i];
        } else if (arg == "--researcher-shots" && i + 1 < argc) {
            options.researcherShots = argv[++i];
        } else if (arg == "--shots" && i + 1 < argc) {
            options.shots = argv[++i];
        } else if (arg == "--measure" && i + 1 < argc) {
            options.measure = std::max(1, std::atoi(argv[++i]));
        } else {
            std::fprintf(stderr,
                         "usage: typical_request [--exe PATH] [--screenshot FILE.png] [--measure N] [--shots DIR] "
                         "[--copy weekday|empty] [--menu-copy gedcom7|gedcom551|iso] [--researcher-shots DIR]\n");
            return 64;
        }
    }

    if (!options.shots.empty()) return saveReadmeShots(options) ? 0 : 1;
    if (!options.copy.empty()) return copyField(options) ? 0 : 1;
    if (!options.menuCopy.empty()) return menuCopy(options) ? 0 : 1;
    if (!options.researcherShots.empty()) return saveResearcherShots(options) ? 0 : 1;

    if (options.measure > 0) {
        std::vector<double> startups;
        std::vector<double> calcs;
        for (int run = 0; run < options.measure; ++run) {
            AppSession app(options.exe);
            if (!app.ok()) {
                std::fprintf(stderr, "run %d: the window did not come up\n", run + 1);
                return 1;
            }
            startups.push_back(std::chrono::duration<double, std::milli>(app.startupTime()).count());
            double calcMs = 0;
            if (!typicalRequest(app, &calcMs)) {
                std::fprintf(stderr, "run %d: the typical request did not complete\n", run + 1);
                return 1;
            }
            calcs.push_back(calcMs);
            app.close();
        }
        std::printf("start to window ready: median %.1f ms over %zu runs (min %.1f, max %.1f)\n",
                    medianMs(startups), startups.size(), *std::min_element(startups.begin(), startups.end()),
                    *std::max_element(startups.begin(), startups.end()));
        std::printf("Enter reaching Calc to answer in the field: median %.1f ms over %zu runs (min %.1f, max %.1f)\n",
                    medianMs(calcs), calcs.size(), *std::min_element(calcs.begin(), calcs.end()),
                    *std::max_element(calcs.begin(), calcs.end()));
        return 0;
    }

    AppSession app(options.exe);
    if (!app.ok()) {
        std::fprintf(stderr, "quillark.exe did not come up (%s)\n", options.exe.c_str());
        return 1;
    }
    double calcMs = 0;
    const bool done = typicalRequest(app, &calcMs);
    const char* labels[] = {"Date of event:", "Years:", "Months:", "Days:", "Date of birth:"};
    const int ids[] = {Event, Years, Months, Days, Birth};
    for (int i = 0; i < 5; ++i) std::printf("%-15s %s\n", labels[i], app.text(ids[i]).c_str());
    std::fflush(stdout);
    bool shot = true;
    if (!options.screenshot.empty()) {
        // The main window with its frame, as in the README's pictures, not
        // the whole screen with the Wine desktop around it.
        shot = saveScreenshot(options.screenshot, unionOfWindows({app.mainWindow()}, 0));
        std::printf("screenshot: %s%s\n", options.screenshot.c_str(), shot ? "" : " (could not be saved)");
    }
    const bool expected = app.text(Event) == "12/07/1941" && app.text(Birth) == "1901 or 1900";
    const int exitCode = app.close();
    if (!done || !expected) {
        std::fprintf(stderr, "the typical request did not give 12/07/1941 and 1901 or 1900\n");
        return 1;
    }
    if (exitCode != 0) {
        std::fprintf(stderr, "quillark.exe ended with %d\n", exitCode);
        return 1;
    }
    return shot ? 0 : 1;
}
