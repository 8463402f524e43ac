// A seeded random walk over the main window and its boxes: keystrokes,
// pastes (short, control characters, up to 30,000 characters) and clicks on
// every control but "C&ancel". Whatever happens, the program must stay
// alive and answering, and boxes must never multiply on their own (a
// validation that re-opens its box over and over shows up here at once).
//
// QUILLARK_MONKEY_SEED and QUILLARK_MONKEY_STEPS override the seed and the
// number of actions; the test prints both so that a failure can be replayed.
// QUILLARK_MONKEY_STATES=1 also counts the distinct states the walk reached
// (focus, field texts, options, open boxes), to compare two versions of the
// driver: it reads the whole window after every action, which takes time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "main_window_fixture.h"

namespace e2e {
namespace {

constexpr uint32_t DefaultSeed = 20261207;
constexpr int DefaultSteps = 5000;
// More boxes than this at once can only mean boxes opening on their own: the
// walk itself closes them when there are more than OpenBoxLimit.
constexpr size_t OpenBoxLimit = 6;
constexpr size_t RunawayBoxLimit = 12;

uint32_t envNumber(const char* name, uint32_t fallback) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return fallback;
    return static_cast<uint32_t>(std::strtoul(value, nullptr, 10));
}

// What a person sees of the program, as one text.
std::string stateOf(const AppSession& app) {
    std::string state = std::to_string(app.focusedId());
    for (int id : {Event, Years, Months, Days, Birth}) state += "|" + app.text(id);
    state += app.checked(Abbreviate) ? "|A" : "|-";
    state += app.checked(WeekDay) ? "W" : "-";
    std::vector<std::string> captions;
    for (const BoxInfo& box : app.boxCaptions()) captions.push_back(box.caption);
    std::sort(captions.begin(), captions.end());
    for (const std::string& caption : captions) state += "|" + caption;
    return state;
}

bool isCalendar(const BoxInfo& box) {
    const std::string suffix = " Calendar";
    return box.caption.size() > suffix.size() &&
           box.caption.compare(box.caption.size() - suffix.size(), suffix.size(), suffix) == 0;
}

class Monkey {
public:
    Monkey(AppSession& app, uint32_t seed) : app_(&app), random_(seed) {}
    void use(AppSession& app) { app_ = &app; }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

    std::string randomText() {
        static const std::string alphabet = "0123456789/-+ .,[]DecJanFebMaySuorto\t";
        const int kind = pick(20);
        std::string text;
        if (kind == 0) {
            text.assign(static_cast<size_t>(1000 + pick(29001)), '9');
            for (char& c : text) c = alphabet[static_cast<size_t>(pick(static_cast<int>(alphabet.size())))];
        } else if (kind == 1) {
            for (int i = 0; i < 12; ++i) text += static_cast<char>(1 + pick(31));
        } else if (kind == 2) {
            for (int i = 0; i < 8; ++i) text += static_cast<char>(128 + pick(128));
        } else {
            const int length = 1 + pick(14);
            for (int i = 0; i < length; ++i) {
                text += alphabet[static_cast<size_t>(pick(static_cast<int>(alphabet.size())))];
            }
        }
        return text;
    }

    // One action, its time added to what it was (printed at the end).
    void act() {
        what_ = "other";
        const auto looked = Clock::now();
        const std::vector<BoxInfo> open = app_->boxCaptions();
        const auto started = Clock::now();
        seconds_["(looking at the boxes)"] += std::chrono::duration<double>(started - looked).count();
        actOnce(open);
        seconds_[what_] += std::chrono::duration<double>(Clock::now() - started).count();
        ++actions_[what_];
    }

    void actOnce(const std::vector<BoxInfo>& open) {
        // A calendar or a system message box runs its own loop; deal with it
        // first most of the time, as a person would.
        for (const BoxInfo& box : open) {
            if (isCalendar(box) && pick(3) != 0) {
                RECT client{};
                GetClientRect(box.window, &client);
                if (pick(4) == 0 || client.right <= 0) {
                    what_ = "calendar close";
                    PostMessageA(box.window, WM_SYSCOMMAND, SC_CLOSE, 0);
                    ++counts_[ActionCount::CalendarClose];
                } else {
                    what_ = "calendar click";
                    app_->clickWindow(box.window, pick(client.right), 50 + pick(std::max<LONG>(1, client.bottom - 50)));
                    ++counts_[ActionCount::Click];
                }
                // Picking a day closes the calendar, a click elsewhere
                // leaves it open: either way the click or the close has been
                // handled once the program has caught up.
                app_->catchUp();
                return;
            }
        }
        if (open.size() > OpenBoxLimit) {
            // Clicks on the boxes' buttons, one per box.
            what_ = "closing all boxes";
            app_->closeAllBoxes();
            ++counts_[ActionCount::Click];
            return;
        }
        const int choice = pick(100);
        if (choice < 40) {
            what_ = "typed character";
            app_->type(std::string(1, "0123456789/-+ ,.DecJanMayorto[]"[pick(31)]));
            ++counts_[ActionCount::Key];
        } else if (choice < 58) {
            static const WORD keys[] = {VK_TAB, VK_RETURN, VK_BACK, VK_DELETE, VK_HOME, VK_END, VK_LEFT, VK_SPACE};
            const WORD vk = keys[pick(8)];
            what_ = "control key";
            app_->key(vk, pick(4) == 0);
            ++counts_[ActionCount::Key];
        } else if (choice < 63) {
            what_ = "paste";
            app_->paste(randomText());
            ++counts_[ActionCount::Paste];
        } else if (choice < 90) {
            static const int targets[] = {Event,   Years,      Months,        Days,        Birth,     Abbreviate,
                                          WeekDay, Calc,       Reset,         CopyEvent,   CopyBirth, CalendarEvent,
                                          CalendarBirth, HelpEvent, HelpAge, HelpAbbreviate, HelpWeekDay, HelpBirth};
            const int target = targets[pick(static_cast<int>(sizeof(targets) / sizeof(targets[0])))];
            what_ = "control click";
            app_->click(target);
            ++counts_[ActionCount::Click];
        } else if (!open.empty()) {
            const BoxInfo& box = open[static_cast<size_t>(pick(static_cast<int>(open.size())))];
            what_ = "box close";
            if (!isCalendar(box)) app_->closeBox(box);
            ++counts_[ActionCount::Click];
        } else {
            what_ = "Ctrl+letter";
            app_->key(static_cast<WORD>('A' + pick(26)), false, true);  // Ctrl+letter
            ++counts_[ActionCount::Key];
        }
    }

    enum ActionCount { Key, Paste, Click, CalendarClose, ActionKinds };
    int counts_[ActionKinds]{};
    // Time and number of the actions by what they were.
    std::map<std::string, double> seconds_;
    std::map<std::string, int> actions_;

private:
    AppSession* app_;
    std::mt19937 random_;
    const char* what_ = "other";
};

TEST_F(MainWindowTest, SeededRandomWalkLeavesTheProgramAliveAndAnswering) {
    const bool countStates = envNumber("QUILLARK_MONKEY_STATES", 0) != 0;
    std::set<size_t> states;
    const uint32_t seed = envNumber("QUILLARK_MONKEY_SEED", DefaultSeed);
    const int steps = static_cast<int>(envNumber("QUILLARK_MONKEY_STEPS", DefaultSteps));
    std::printf("monkey: seed %u, %d actions\n", seed, steps);
    Monkey monkey(*app, seed);
    size_t mostBoxes = 0;
    int restarts = 0;
    // Where the walk's time goes, printed at the end: the actions by kind,
    // the restarts after a clean end, and the checks between actions.
    double restartSeconds = 0;
    double checkSeconds = 0;
    const auto walkStarted = Clock::now();
    for (int i = 0; i < steps; ++i) {
        // Every action waits until the program has handled it (the driver
        // does after each stroke and click), so the checks below look at
        // what the action left behind.
        monkey.act();
        if (!app->alive()) {
            // Typing "a" while a button has the focus is the dialog's own
            // mnemonic for "C&ancel", and Enter or the space bar on that button
            // end the program too: a clean end (exit code 0) is a legal outcome
            // of random input. Anything else is a crash.
            const int code = app->close();
            ASSERT_EQ(0, code) << "seed " << seed << ": the program ended at action " << i + 1
                               << " with exit code " << code;
            ++restarts;
            const auto restartStarted = Clock::now();
            app = std::make_unique<AppSession>(quillarkExe());
            restartSeconds += std::chrono::duration<double>(Clock::now() - restartStarted).count();
            ASSERT_TRUE(app->ok()) << "restart after action " << i + 1;
            monkey.use(*app);
            continue;
        }
        const auto checkStarted = Clock::now();
        if (i % 25 == 24 || i + 1 == steps) {
            ASSERT_TRUE(app->responsive(10000ms)) << "seed " << seed << ": no answer after action " << i + 1;
        }
        if (i % 500 == 499) {
            std::printf("monkey: %d actions done\n", i + 1);
            std::fflush(stdout);
        }
        const size_t open = app->windowCount();
        mostBoxes = std::max(mostBoxes, open);
        ASSERT_LE(open, RunawayBoxLimit) << "seed " << seed << ": boxes multiplying at action " << i + 1
                                         << ", expected at most " << RunawayBoxLimit << ", got " << open;
        checkSeconds += std::chrono::duration<double>(Clock::now() - checkStarted).count();
        if (countStates) states.insert(std::hash<std::string>{}(stateOf(*app)));
    }
    if (countStates) std::printf("monkey: %zu distinct states\n", states.size());
    std::printf("monkey: %.1f s in all; restarts %.1f s, checks between actions %.1f s\n",
                std::chrono::duration<double>(Clock::now() - walkStarted).count(), restartSeconds, checkSeconds);
    for (const auto& [what, seconds] : monkey.seconds_) {
        std::printf("monkey: %-18s %5d in %6.1f s\n", what.c_str(), monkey.actions_[what], seconds);
    }
    std::printf("monkey: %d keystrokes, %d pastes, %d clicks, %d calendar closes; at most %zu windows open; "
                "%d clean ends by Cancel (program restarted)\n",
                monkey.counts_[Monkey::Key], monkey.counts_[Monkey::Paste], monkey.counts_[Monkey::Click],
                monkey.counts_[Monkey::CalendarClose], mostBoxes, restarts);
    EXPECT_GE(monkey.counts_[Monkey::Key] + monkey.counts_[Monkey::Paste] + monkey.counts_[Monkey::Click] +
                  monkey.counts_[Monkey::CalendarClose],
              steps)
        << "seed " << seed;
    EXPECT_TRUE(app->alive());
    EXPECT_TRUE(app->responsive(10000ms));
    EXPECT_LE(app->boxes().size(), OpenBoxLimit + 2) << "seed " << seed;
    // Still a working calculator afterwards.
    ASSERT_TRUE(app->closeAllBoxes());
    ASSERT_TRUE(app->click(Reset));
    ASSERT_TRUE(app->waitFocus(Event));
    app->type("1941");
    ASSERT_TRUE(app->waitText(Event, "1941"));
    app->key(VK_TAB);
    ASSERT_TRUE(app->waitFocus(Years));
    app->type("40");
    ASSERT_TRUE(app->click(Birth));
    ASSERT_TRUE(app->click(Calc));
    EXPECT_TRUE(app->waitText(Birth, "1901 or 1900")) << "seed " << seed << ": got \"" << app->text(Birth) << "\"";
}

}  // namespace
}  // namespace e2e
