// Real mouse input, sent from a second thread while the calendar's modal
// loop runs: a pick, presses that pick nothing, the close box and a drag of
// the caption.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "calendar_driver.h"
#include "calendar_state.h"
#include "month_model.h"

namespace {

using namespace caltest;

// Reads a field the calendar's thread writes; the mouse thread only polls it.
DateNumber pickedNow() {
    return *static_cast<volatile DateNumber*>(&Calendar.pickedDate);
}

TEST(CalendarMouse, PickTheTwentyNinthOfFebruary2000) {
    std::thread mouse;
    std::atomic<double> releasedAt{0};
    std::atomic<bool> picked{false};
    std::atomic<int> blueOnDay{0};
    const auto opening = runCalendar(
        20000000,
        [&](HWND w) {
            const PixelPoint at = dayFieldPosition(2, 2000, 29, Calendar.cellWidth);
            const POINT target = clientToScreen(w, at.x + 3, at.y + 6);
            const int boxWidth = 2 * Calendar.cellWidth / 3;
            SetForegroundWindow(w);
            mouse = std::thread([&, w, at, target, boxWidth] {
                ui::movePointer(target.x, target.y);
                ui::pressLeft();
                picked = waitFor([] { return pickedNow() == 20000229; }, 5000ms);
                // The day shows white on blue while the button is down.
                waitFor(
                    [&] {
                        const Pixels px = Pixels::ofClient(w);
                        blueOnDay = px.blueIn(at.x, at.y, at.x + boxWidth, at.y + 20);
                        return blueOnDay > 20;
                    },
                    3000ms);
                releasedAt = nowMs();
                ui::releaseLeft();
            });
        },
        false);
    mouse.join();
    EXPECT_TRUE(opening.actionRan);
    EXPECT_TRUE(picked) << "expected pickedDate 20000229 after the press, got " << pickedNow();
    EXPECT_GT(blueOnDay.load(), 20) << "expected 29 February highlighted while pressed";
    EXPECT_EQ(opening.result, "02/29/2000");
    const double delay = opening.returnedAtMs - releasedAt.load();
    std::printf("release to return: %.1f ms\n", delay);
    EXPECT_GE(delay, 95.0) << "expected the calendar to stay 100 ms after the release, got "
                           << delay << " ms";
    EXPECT_LT(delay, 1000.0) << "expected the calendar gone about 100 ms after the release, got "
                             << delay << " ms";
}

TEST(CalendarMouse, PressesOnNoDayPickNothing) {
    RetrievedMessages releases(WM_LBUTTONUP);
    std::thread mouse;
    struct Target {
        const char* name;
        int x, y;
    };
    // Year 2000 shown, no day given.
    const std::vector<Target> targets = {
        {"weekday header of January", 20, 85},
        {"gap between January and February", 175, 120},
        {"month name of March", 400, 65},
        {"past the last day of February", 187 + 4 * 21, 200},
        {"\"Century: \" label", 0, 0},
    };
    std::vector<int> openAfter(targets.size(), -1);
    std::vector<DateNumber> pickedAfter(targets.size(), -1);
    const auto opening = runCalendar(
        20000000,
        [&](HWND w) {
            std::vector<POINT> points;
            for (const Target& t : targets) {
                if (t.x == 0 && t.y == 0) {
                    RECT label;
                    GetWindowRect(GetDlgItem(w, CenturyLabelId), &label);
                    points.push_back({label.left + 3, (label.top + label.bottom) / 2});
                } else {
                    points.push_back(clientToScreen(w, t.x, t.y));
                }
            }
            SetForegroundWindow(w);
            mouse = std::thread([&, w, points] {
                for (size_t i = 0; i < points.size(); ++i) {
                    const int before = releases.count();
                    ui::movePointer(points[i].x, points[i].y);
                    ui::pressLeft();
                    ui::releaseLeft();
                    waitFor([&] { return releases.count() > before; }, 5000ms);
                    // A sent message is handled only after the release that
                    // was taken out of the queue before it has been handled.
                    DWORD_PTR ignored = 0;
                    SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
                    openAfter[i] = IsWindow(w) ? 1 : 0;
                    pickedAfter[i] = pickedNow();
                }
                PostMessageA(w, WM_SYSCOMMAND, SC_CLOSE, 0);
            });
        },
        false);
    mouse.join();
    EXPECT_TRUE(opening.actionRan);
    for (size_t i = 0; i < targets.size(); ++i) {
        EXPECT_EQ(openAfter[i], 1) << targets[i].name << ": expected the calendar still open";
        EXPECT_EQ(pickedAfter[i], 0) << targets[i].name << ": expected no pick, got "
                                     << pickedAfter[i];
    }
    EXPECT_EQ(releases.count(), static_cast<int>(targets.size()))
        << "expected every release to reach the calendar";
    EXPECT_EQ(opening.result, "");
}

TEST(CalendarMouse, CloseBoxAndCaptionDragReturnNothing) {
    struct Case {
        const char* name;
        LRESULT hit;
        int dragBy;
    } const cases[] = {
        {"close box", HTCLOSE, 0},
        {"caption drag", HTCAPTION, 40},
    };
    for (const auto& c : cases) {
        std::thread mouse;
        bool found = false;
        HWND window = nullptr;
        const auto opening = runCalendar(
            18500305,
            [&](HWND w) {
                window = w;
                POINT p{-1, -1};
                found = ui::findNonClientPart(w, static_cast<int>(c.hit), &p);
                if (!found) {
                    return;
                }
                SetForegroundWindow(w);
                mouse = std::thread([p, &c, w] {
                    ui::movePointer(p.x, p.y);
                    ui::pressLeft();
                    if (c.dragBy) {
                        ui::movePointer(p.x + c.dragBy, p.y + c.dragBy);
                    }
                    ui::releaseLeft();
                    waitFor([w] { return !IsWindow(w); }, 5000ms);
                });
            },
            false);
        if (mouse.joinable()) {
            mouse.join();
        }
        EXPECT_TRUE(found) << c.name << ": no such point on the frame";
        EXPECT_TRUE(opening.actionRan) << c.name;
        EXPECT_EQ(opening.result, "") << c.name << ": expected the empty text";
        EXPECT_FALSE(IsWindow(window)) << c.name;
        EXPECT_LT(opening.returnedAtMs, nowMs()) << c.name;
    }
}

// A click into the year box and real keys: the typed year redraws the sheet
// at once, a year out of range changes nothing, and Alt+F4 closes with
// nothing picked.
TEST(CalendarKeyboard, TypedYearsAndAltF4) {
    std::thread input;
    std::atomic<bool> shows1950{false}, ignores2101{false}, closed{false};
    std::atomic<int> century{-1};
    const auto opening = runCalendar(
        18500305,
        [&](HWND w) {
            RECT box;
            GetWindowRect(GetDlgItem(w, YearBoxId), &box);
            const POINT inBox = {box.left + 8, box.top + 6};
            SetForegroundWindow(w);
            input = std::thread([&, w, inBox] {
                ui::movePointer(inBox.x, inBox.y);
                ui::pressLeft();
                ui::releaseLeft();
                // Over whatever the box shows: End, then Backspace a few times.
                ui::pressKey(VK_END);
                for (int i = 0; i < 6; ++i) {
                    ui::pressKey(VK_BACK);
                }
                for (WORD key : {'1', '9', '5', '0'}) {
                    ui::pressKey(key);
                }
                shows1950 = waitFor([&] { return ui::text(w) == "1950 Calendar"; }, 5000ms);
                century = static_cast<int>(
                    SendMessageA(GetDlgItem(w, CenturyBoxId), CB_GETCURSEL, 0, 0));
                ui::pressKey(VK_END);
                for (int i = 0; i < 6; ++i) {
                    ui::pressKey(VK_BACK);
                }
                for (WORD key : {'2', '1', '0', '1'}) {
                    ui::pressKey(key);
                }
                // Wait until the box holds the whole text, then check nothing moved.
                const HWND edit = FindWindowExA(GetDlgItem(w, YearBoxId), nullptr, "Edit", nullptr);
                waitFor([&] { return ui::text(edit) == "2101"; }, 5000ms);
                DWORD_PTR ignored = 0;
                SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
                ignores2101 = ui::text(edit) == "2101" && ui::text(w) == "1950 Calendar";
                ui::pressCombination({VK_MENU}, VK_F4);
                closed = waitFor([w] { return !IsWindow(w); }, 5000ms);
            });
        },
        false);
    input.join();
    EXPECT_TRUE(opening.actionRan);
    EXPECT_TRUE(shows1950) << "typed 1950: expected the title 1950 Calendar";
    EXPECT_EQ(century.load(), 3) << "typed 1950: expected the century box on 1900";
    EXPECT_TRUE(ignores2101) << "typed 2101: expected the title to stay 1950 Calendar";
    EXPECT_TRUE(closed) << "Alt+F4: expected the calendar closed";
    EXPECT_EQ(opening.result, "") << "Alt+F4: expected the empty text";
}

}  // namespace
