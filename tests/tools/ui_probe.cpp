// A command-line face of the UI driver for scripts (screenshots, the start
// script's demonstration). Each command waits with a timeout and exits
// non-zero when what it waits for does not happen.
//
//   ui_probe window <caption>             wait for the window; print "x y width height"
//   ui_probe other-window <caption>       wait for another visible dialog box (not <caption>);
//                                         print "x y width height caption"
//   ui_probe click <caption> <id>         click control <id> of the window
//   ui_probe type <caption> <id> <text>   click into control <id> and type <text>
//   ui_probe key <caption> <vk>           bring the window to the front and press a key (decimal vk)
//   ui_probe text <caption> <id>          print the control's text
//   ui_probe close <caption>              close the window as its close box does, wait for it to go
//   ui_probe list -                       print the visible top-level windows, topmost first
//   ui_probe measure <caption> <exe> <n>  start exe n times; print the time from process start
//                                         to its window <caption> being visible, and the median
//   ui_probe raise-other <caption>        like other-window, then hide and show that box again,
//                                         inactive, so it is drawn on top (see screenshots.sh)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <string>
#include <vector>

#include "ui_driver.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: ui_probe window|other-window|raise-other|click|type|key|text|close|list <caption> [id] [text]\n");
    return 2;
}

void printRect(HWND window, const std::string& extra = "") {
    const RECT r = ui::windowRect(window);
    std::printf("%ld %ld %ld %ld%s%s\n", static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top), extra.empty() ? "" : " ",
                extra.c_str());
    std::fflush(stdout);
}

HWND findOtherDialog(const std::string& caption) {
    HWND found = nullptr;
    ui::waitFor([&] {
        for (HWND w : ui::topLevelWindows()) {
            if (ui::className(w) == "#32770" && ui::text(w) != caption) {
                found = w;
                return true;
            }
        }
        return false;
    });
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    const std::string command = argv[1];
    const std::string caption = argv[2];
    if (command == "measure" && argc == 5) {
        const int runs = std::atoi(argv[4]);
        std::vector<double> times;
        for (int i = 0; i < runs; ++i) {
            LARGE_INTEGER frequency, start, now;
            QueryPerformanceFrequency(&frequency);
            QueryPerformanceCounter(&start);
            ui::Program program = ui::Program::launch(argv[3], -1, "", false);
            if (!program.started()) return 1;
            HWND window = nullptr;
            // Polled every millisecond so the figure is not rounded up.
            const DWORD until = GetTickCount() + ui::DefaultTimeoutMs;
            while (window == nullptr && GetTickCount() < until) {
                for (HWND w : ui::topLevelWindows(program.id())) {
                    if (ui::text(w) == caption) window = w;
                }
                if (window == nullptr) Sleep(1);
            }
            QueryPerformanceCounter(&now);
            if (window == nullptr) return 1;
            const double ms = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                              static_cast<double>(frequency.QuadPart);
            times.push_back(ms);
            std::printf("run %d: %.1f ms\n", i + 1, ms);
            PostMessageA(window, WM_CLOSE, 0, 0);
            program.waitForExit(nullptr);
        }
        std::sort(times.begin(), times.end());
        const size_t n = times.size();
        const double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2.0;
        std::printf("median of %zu: %.1f ms\n", n, median);
        return 0;
    }
    if (command == "list") {
        for (HWND w : ui::topLevelWindows()) {
            char extra[512];
            std::snprintf(extra, sizeof extra, "%s ex=0x%lx owner=%p hwnd=%p \"%s\"", ui::className(w).c_str(),
                          static_cast<unsigned long>(ui::exStyle(w)), static_cast<void*>(GetWindow(w, GW_OWNER)),
                          static_cast<void*>(w), ui::text(w).c_str());
            printRect(w, extra);
        }
        return 0;
    }
    if (command == "other-window" || command == "raise-other") {
        HWND other = findOtherDialog(caption);
        if (other == nullptr) return 1;
        if (command == "raise-other") {
            // Hiding and showing it again, inactive, restacks it on top.
            SetWindowPos(other, nullptr, 0, 0, 0, 0,
                         SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        printRect(other, ui::text(other));
        return 0;
    }
    HWND window = ui::waitForWindow(caption);
    if (window == nullptr) {
        std::fprintf(stderr, "ui_probe: no window \"%s\"\n", caption.c_str());
        return 1;
    }
    if (command == "window") {
        printRect(window);
        return 0;
    }
    if (command == "close") {
        // The close box's own command: a box lying over the dialog's buttons
        // cannot get in the way.
        PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
        return ui::waitFor([&] { return !IsWindow(window); }) ? 0 : 1;
    }
    if (command == "key" && argc == 4) {
        ui::bringToFront(window);
        ui::pressKey(static_cast<WORD>(std::atoi(argv[3])));
        return 0;
    }
    if (argc < 4) return usage();
    HWND control = ui::control(window, std::atoi(argv[3]));
    if (control == nullptr) {
        std::fprintf(stderr, "ui_probe: no control %s\n", argv[3]);
        return 1;
    }
    if (command == "text") {
        std::printf("%s\n", ui::text(control).c_str());
        return 0;
    }
    ui::bringToFront(window);
    if (command == "click") {
        ui::click(control);
        return 0;
    }
    if (command == "type" && argc == 5) {
        ui::click(control);
        ui::waitFor([&] { return ui::focusedWindow(window) == control; }, 5000ms);
        // What the click set off (focus notifications, selecting the field's
        // text) is done before the first key arrives.
        ui::waitForIdle(window);
        ui::typeText(argv[4]);
        return 0;
    }
    return usage();
}
