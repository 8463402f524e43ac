// How long the calendar takes from openCalendar to the end of its first
// full paint, median of 20 openings. A benchmark: it prints, it asserts
// nothing.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "calendar_driver.h"
#include "calendar_state.h"
#include "calendar_window.h"

namespace {

double PaintedAt = 0;

void onPainted(HWND window) {
    if (PaintedAt == 0) {
        PaintedAt = caltest::nowMs();
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    CalendarPlatform.painted = onPainted;
    std::vector<double> times;
    // One opening first so that the fonts and classes are loaded.
    openCalendar(19411207);
    for (int i = 0; i < runs; ++i) {
        PaintedAt = 0;
        const double start = caltest::nowMs();
        openCalendar(19411207);
        times.push_back(PaintedAt - start);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const double median = runs % 2 ? sorted[runs / 2] : (sorted[runs / 2 - 1] + sorted[runs / 2]) / 2;
    std::printf("calendar open + first full paint, %d runs: median %.2f ms, min %.2f ms, max %.2f ms\n",
                runs, median, sorted.front(), sorted.back());

    // The sheet alone: drawCalendar through the open window's DC.
    CalendarPlatform.painted = nullptr;
    std::vector<double> draws;
    caltest::runCalendar(19411207, [&](HWND) {
        for (int i = 0; i < runs; ++i) {
            const double start = caltest::nowMs();
            drawCalendar(Calendar.shownYear, Calendar.givenMonth, Calendar.givenDay);
            GdiFlush();
            draws.push_back(caltest::nowMs() - start);
        }
    });
    std::sort(draws.begin(), draws.end());
    if (!draws.empty()) {
        const double drawMedian = runs % 2 ? draws[runs / 2] : (draws[runs / 2 - 1] + draws[runs / 2]) / 2;
        std::printf("drawCalendar alone, %d runs: median %.2f ms, min %.2f ms, max %.2f ms\n", runs,
                    drawMedian, draws.front(), draws.back());
    }
    return 0;
}
