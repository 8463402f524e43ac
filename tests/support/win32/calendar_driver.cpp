#include "calendar_driver.h"

#include "calendar_window.h"

namespace caltest {

namespace {

std::function<void(HWND)> PendingAction;
bool CloseAfter = true;
bool ActionRan = false;
double Deadline = 0;

void closeIfOpen() {
    if (Calendar.windowAlive) {
        SendMessageA(Calendar.calendarHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
    }
}

// Runs inside the calendar's modal loop: first waits for the painted sheet
// and runs the action, then keeps watching so that a test whose input never
// arrives still ends.
void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD) {
    if (!ActionRan) {
        const HWND window = Calendar.calendarHandle;
        if (Calendar.windowAlive && IsWindowVisible(window) && Calendar.paintCount > 0) {
            ActionRan = true;
            auto action = std::move(PendingAction);
            PendingAction = nullptr;
            action(window);
            if (CloseAfter) {
                closeIfOpen();
            }
            return;
        }
    }
    if (nowMs() > Deadline) {
        KillTimer(nullptr, id);
        closeIfOpen();
    }
}

std::atomic<int> RetrievedCount{0};
UINT WatchedMessage = 0;
HHOOK RetrievalHook = nullptr;

LRESULT CALLBACK onGetMessage(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        if (msg->message == WatchedMessage && msg->hwnd == Calendar.calendarHandle) {
            ++RetrievedCount;
        }
    }
    return CallNextHookEx(RetrievalHook, code, wParam, lParam);
}

}  // namespace

double nowMs() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

Opening runCalendar(int32_t initial, const std::function<void(HWND)>& action, bool closeAfter) {
    PendingAction = action;
    CloseAfter = closeAfter;
    ActionRan = false;
    Deadline = nowMs() + 20000;
    const UINT_PTR timer = SetTimer(nullptr, 0, 5, onTimer);
    Opening opening;
    opening.result = openCalendar(initial);
    opening.returnedAtMs = nowMs();
    KillTimer(nullptr, timer);
    opening.actionRan = ActionRan;
    PendingAction = nullptr;
    // Drop what the closed window left behind (a stray timer tick).
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) {
    }
    return opening;
}

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
            continue;  // the driver's own tick must not re-enter the action
        }
        if (!Calendar.windowAlive || !IsDialogMessageA(Calendar.calendarHandle, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

Pixels Pixels::ofClient(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    const HDC dc = GetDC(window);
    Pixels pixels = ofDC(dc, client.right, client.bottom);
    ReleaseDC(window, dc);
    return pixels;
}

Pixels Pixels::ofDC(HDC dc, int width, int height) {
    Pixels pixels;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC memory = CreateCompatibleDC(dc);
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (memory && bitmap && bits) {
        const HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, dc, 0, 0, SRCCOPY);
        GdiFlush();
        pixels.width_ = width;
        pixels.height_ = height;
        const auto* words = static_cast<const uint32_t*>(bits);
        pixels.bits_.assign(words, words + static_cast<size_t>(width) * static_cast<size_t>(height));
        SelectObject(memory, old);
    }
    if (bitmap) {
        DeleteObject(bitmap);
    }
    if (memory) {
        DeleteDC(memory);
    }
    return pixels;
}

COLORREF Pixels::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return CLR_INVALID;
    }
    const uint32_t v = bits_[static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

int Pixels::colourIn(COLORREF colour, int x0, int y0, int x1, int y1) const {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            count += at(x, y) == colour ? 1 : 0;
        }
    }
    return count;
}

int Pixels::blueIn(int x0, int y0, int x1, int y1) const {
    return colourIn(RGB(0, 0, 255), x0, y0, x1, y1);
}

int Pixels::darkIn(int x0, int y0, int x1, int y1) const {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const COLORREF c = at(x, y);
            if (c != CLR_INVALID && GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128) {
                ++count;
            }
        }
    }
    return count;
}

POINT clientToScreen(HWND window, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(window, &p);
    return p;
}

RetrievedMessages::RetrievedMessages(UINT message) {
    WatchedMessage = message;
    RetrievedCount = 0;
    RetrievalHook = SetWindowsHookExA(WH_GETMESSAGE, onGetMessage, nullptr, GetCurrentThreadId());
}

RetrievedMessages::~RetrievedMessages() {
    if (RetrievalHook) {
        UnhookWindowsHookEx(RetrievalHook);
    }
    RetrievalHook = nullptr;
}

int RetrievedMessages::count() const {
    return RetrievedCount.load();
}

}  // namespace caltest
