// Small helpers shared by the in-process Win32 tests: pumping messages until
// a condition holds, reading geometry relative to a parent, and sending real
// input. Header-only so each test program stays a single source file.
#pragma once

#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace win32test {

// Dispatches this thread's messages until done() is true or timeoutMs has
// passed; returns whether done() became true. If dialog is given, its
// messages go through IsDialogMessageA first, as in the program's loop.
template <class Condition>
bool pumpUntil(Condition done, DWORD timeoutMs = 5000, HWND dialog = nullptr) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (dialog != nullptr && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Pumps for a while, for checks that something does NOT happen: the time is
// a bound, not a guess at readiness.
inline void pumpFor(DWORD ms, HWND dialog = nullptr) {
    pumpUntil([] { return false; }, ms, dialog);
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

inline std::string windowText(HWND w) {
    char buffer[1024] = {};
    GetWindowTextA(w, buffer, sizeof buffer);
    return buffer;
}

inline std::string className(HWND w) {
    char buffer[256] = {};
    GetClassNameA(w, buffer, sizeof buffer);
    return buffer;
}

// A child's rectangle in its parent's client coordinates.
inline RECT childRect(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline std::string rectText(const RECT& r) {
    char text[96];
    snprintf(text, sizeof text, "(%ld, %ld, %ld x %ld)", static_cast<long>(r.left), static_cast<long>(r.top),
             static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
    return text;
}

inline void sendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

inline void pressKey(WORD vk) {
    sendKey(vk, false);
    sendKey(vk, true);
}

// Moves the pointer to a screen point; returns once the cursor is there
// (under Xvfb the pointer can echo back to an older position for a moment).
inline bool movePointerOnce(int x, int y) {
    const int cx = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int cy = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (x * 65535 + cx / 2) / cx;
    in.mi.dy = (y * 65535 + cy / 2) / cy;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    for (int attempt = 0; attempt < 5; ++attempt) {
        SendInput(1, &in, sizeof in);
        if (pumpUntil(
                [&] {
                    POINT p{};
                    GetCursorPos(&p);
                    return p.x == x && p.y == y;
                },
                1000)) {
            return true;
        }
    }
    return false;
}

// A move to where the pointer already is produces no event, and a window
// that appeared under a resting pointer may not be the one the next click
// goes to; stepping one pixel aside first makes the final move a real one.
inline bool movePointer(int x, int y) {
    movePointerOnce(x > 0 ? x - 1 : x + 1, y);
    return movePointerOnce(x, y);
}

// The button events carry the position too, so a late echo of an earlier
// pointer position cannot move the click elsewhere.
inline void clickAt(int x, int y) {
    movePointer(x, y);
    const int cx = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int cy = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT in[2] = {};
    for (int i = 0; i < 2; ++i) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dx = (x * 65535 + cx / 2) / cx;
        in[i].mi.dy = (y * 65535 + cy / 2) / cy;
        in[i].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | (i == 0 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    }
    SendInput(2, in, sizeof in[0]);
}

inline void clickWindow(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    clickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

}  // namespace win32test
