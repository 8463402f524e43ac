// What only the in-process Win32 tests need on top of the driver: the
// top-level windows this thread has made, to find the ones a call opened.
// Waiting (ui::waitFor) handles this thread's messages, so the test's own
// windows stay alive while it waits.
#pragma once

#include <windows.h>

#include <set>
#include <vector>

#include "ui_driver.h"

namespace win32test {


// Handles this thread's messages for a while, for checks that something
// does NOT happen: the time is a bound, not a guess at readiness.
inline void pumpFor(std::chrono::milliseconds time, HWND dialog = nullptr) {
    ui::waitFor([] { return false; }, time, dialog);
}

inline std::vector<HWND> threadWindows() {
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Top-level windows of this thread that are not in before.
inline std::vector<HWND> newWindows(const std::vector<HWND>& before) {
    std::set<HWND> old(before.begin(), before.end());
    std::vector<HWND> added;
    for (HWND w : threadWindows()) {
        if (old.count(w) == 0) added.push_back(w);
    }
    return added;
}

}  // namespace win32test
