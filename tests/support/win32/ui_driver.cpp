#include "ui_driver.h"

#include <cstdio>
#include <cstring>
#include <iterator>
#include <utility>

namespace ui {

void pumpMessages(HWND dialog) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (dialog != nullptr && IsWindow(dialog) && IsDialogMessageA(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

namespace {

// Polls come quickly at first, when most conditions come true, and then
// less often: every poll asks the program (through the Wine server) again.
constexpr DWORD PollMs = 5, SlowPollMs = 20;
constexpr auto QuickPolls = std::chrono::milliseconds(100);

DWORD pollMs(std::chrono::steady_clock::time_point since) {
    return std::chrono::steady_clock::now() - since < QuickPolls ? PollMs : SlowPollMs;
}

}  // namespace

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout, HWND dialog) {
    const auto start = std::chrono::steady_clock::now(), deadline = start + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return condition();
        pumpMessages(dialog);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs(start), QS_ALLINPUT);
    }
}

bool staysTrue(const std::function<bool()>& condition, std::chrono::milliseconds window, HWND dialog) {
    const auto start = std::chrono::steady_clock::now(), deadline = start + window;
    while (std::chrono::steady_clock::now() < deadline) {
        if (!condition()) return false;
        pumpMessages(dialog);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, pollMs(start), QS_ALLINPUT);
    }
    return condition();
}

std::string toWindowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string out = "Z:" + path;
    for (char& c : out) {
        if (c == '/') c = '\\';
    }
    return out;
}

Program::~Program() { kill(); }

Program::Program(Program&& other) noexcept
    : process_(std::exchange(other.process_, nullptr)),
      job_(std::exchange(other.job_, nullptr)),
      processId_(std::exchange(other.processId_, 0)) {}

Program& Program::operator=(Program&& other) noexcept {
    if (this != &other) {
        kill();
        process_ = std::exchange(other.process_, nullptr);
        job_ = std::exchange(other.job_, nullptr);
        processId_ = std::exchange(other.processId_, 0);
    }
    return *this;
}

namespace {

// Wine closes a desktop (and its X window) a moment after the last program
// with windows on it has gone; a program started in that moment was seen to
// be handed the closing desktop's window and to end on an X error. A window
// of the driver's own process keeps the desktop for as long as it runs. It
// only receives messages sent to it alone, which waitFor handles.
void keepDesktop() {
    static const HWND keeper = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                               GetModuleHandleA(nullptr), nullptr);
    (void)keeper;
}

}  // namespace

Program Program::launch(const std::string& exe, int showCommand, const std::string& arguments, bool waitIdle) {
    keepDesktop();
    Program program;
    const std::string path = toWindowsPath(exe);
    std::string commandLine = "\"" + path + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (showCommand >= 0) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = static_cast<WORD>(showCommand);
    }
    PROCESS_INFORMATION info{};
    if (CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                       nullptr, &startup, &info)) {
        // The program lives in a job that ends it when the driver's process
        // ends, however that happens (a test killed on timeout must not leave
        // a window behind for the next test to find).
        HANDLE job = CreateJobObjectA(nullptr, nullptr);
        if (job != nullptr) {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
            limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
            SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
            if (AssignProcessToJobObject(job, info.hProcess)) {
                program.job_ = job;
            } else {
                CloseHandle(job);
            }
        }
        ResumeThread(info.hThread);
        CloseHandle(info.hThread);
        program.process_ = info.hProcess;
        program.processId_ = info.dwProcessId;
        // Ready for input once its start-up is done (or after the timeout).
        if (waitIdle) WaitForInputIdle(info.hProcess, DefaultTimeoutMs);
    }
    return program;
}

bool Program::running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Program::waitForExit(DWORD* exitCode, DWORD timeoutMs) const {
    if (process_ == nullptr) return false;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    if (exitCode != nullptr) *exitCode = code;
    return true;
}

void Program::kill() {
    if (job_ != nullptr) {
        // Closing the last handle ends the program if it still runs.
        CloseHandle(job_);
        job_ = nullptr;
    }
    if (process_ == nullptr) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 255);
        WaitForSingleObject(process_, DefaultTimeoutMs);
    }
    CloseHandle(process_);
    process_ = nullptr;
    processId_ = 0;
}

namespace {

struct EnumState {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND>* found;
};

BOOL CALLBACK collectTopLevel(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (state->processId != 0 && owner != state->processId) return TRUE;
    if (state->visibleOnly && !IsWindowVisible(window)) return TRUE;
    state->found->push_back(window);
    return TRUE;
}

}  // namespace

std::vector<HWND> topLevelWindows(DWORD processId, bool visibleOnly) {
    std::vector<HWND> found;
    EnumState state{processId, visibleOnly, &found};
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&state));
    return found;
}

HWND waitForWindow(const std::string& caption, DWORD processId, DWORD timeoutMs) {
    HWND result = nullptr;
    waitFor(
        [&] {
            for (HWND w : topLevelWindows(processId)) {
                if (text(w) == caption) {
                    result = w;
                    return true;
                }
            }
            return false;
        },
        std::chrono::milliseconds(timeoutMs));
    return result;
}

HWND control(HWND dialog, int id) { return GetDlgItem(dialog, id); }

std::string text(HWND window) {
    if (window == nullptr) return "";
    DWORD_PTR length = 0;
    // A hung target must not hang the test.
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return "";
    std::string buffer(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                             SMTO_ABORTIFHUNG, 5000, &copied)) {
        return "";
    }
    buffer.resize(copied);
    return buffer;
}

std::string className(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

int checkState(HWND button) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return static_cast<int>(state);
}

LONG style(HWND window) { return GetWindowLongA(window, GWL_STYLE); }
LONG exStyle(HWND window) { return GetWindowLongA(window, GWL_EXSTYLE); }
int controlId(HWND window) { return GetDlgCtrlID(window); }

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

RECT clientRect(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

RECT rectInParent(HWND child) {
    RECT r = windowRect(child);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> list;
    for (HWND c = GetWindow(parent, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) list.push_back(c);
    return list;
}

namespace {

bool threadInfo(HWND window, GUITHREADINFO* info) {
    info->cbSize = sizeof *info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return thread != 0 && GetGUIThreadInfo(thread, info);
}

}  // namespace

HWND focusedWindow(HWND anyWindowOfThread) {
    GUITHREADINFO info{};
    return threadInfo(anyWindowOfThread, &info) ? info.hwndFocus : nullptr;
}

HWND activeWindow(HWND anyWindowOfThread) {
    GUITHREADINFO info{};
    return threadInfo(anyWindowOfThread, &info) ? info.hwndActive : nullptr;
}

int focusedControlId(HWND dialog) {
    HWND focus = focusedWindow(dialog);
    if (focus == nullptr || !IsChild(dialog, focus)) return -1;
    // An edit control's own child (none here) would still count as its field.
    while (GetParent(focus) != dialog) focus = GetParent(focus);
    return GetDlgCtrlID(focus);
}

std::string describe(const RECT& r) {
    char buffer[96];
    snprintf(buffer, sizeof buffer, "(%ld, %ld, %ld x %ld)", static_cast<long>(r.left), static_cast<long>(r.top),
             static_cast<long>(r.right - r.left), static_cast<long>(r.bottom - r.top));
    return buffer;
}

namespace {

INPUT keyEvent(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    switch (vk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_HOME: case VK_END:
    case VK_INSERT: case VK_DELETE: case VK_PRIOR: case VK_NEXT:
        in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        break;
    default:
        break;
    }
    return in;
}

void sendKeyEvent(WORD vk, bool up) {
    INPUT in = keyEvent(vk, up);
    SendInput(1, &in, sizeof in);
}

// Modifiers down, the key down and up, modifiers up, in one SendInput call:
// the events enter the input stream together, so a change of foreground
// window in between cannot split the Shift from its letter.
void sendChord(const std::vector<WORD>& modifiers, WORD vk) {
    std::vector<INPUT> events;
    for (WORD m : modifiers) events.push_back(keyEvent(m, false));
    events.push_back(keyEvent(vk, false));
    events.push_back(keyEvent(vk, true));
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) events.push_back(keyEvent(*it, true));
    SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

void sendUnicode(wchar_t c) {
    INPUT in[2] = {};
    for (int i = 0; i < 2; ++i) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wScan = c;
        in[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, in, sizeof in[0]);
}

// Input is delivered asynchronously; waiting until the window that takes it
// has caught up after each stroke keeps a slow target from seeing strokes
// merged or reordered with its own posts, at the target's own pace.
void settle() { catchUp(GetForegroundWindow()); }

}  // namespace

bool catchUp(HWND window, DWORD timeoutMs) {
    if (window == nullptr) return true;
    // A sent message is handled only when its thread asks for its next
    // message, i.e. once the message in hand has been handled: the first
    // answer means what the thread was doing is done, the second that the
    // key or click queued before it has been handled, the third that what
    // that handler posted (WM_CHAR from TranslateMessage, a deferred
    // command) has been handled too.
    for (int trip = 0; trip < 3; ++trip) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result)) return false;
    }
    return true;
}

void keyDown(WORD vk) {
    sendKeyEvent(vk, false);
    settle();
}

void keyUp(WORD vk) {
    sendKeyEvent(vk, true);
    settle();
}

void pressKey(WORD vk) {
    sendChord({}, vk);
    settle();
}

void sendKeyUnwaited(WORD vk) { sendChord({}, vk); }

void pressCombination(const std::vector<WORD>& modifiers, WORD vk) {
    sendChord(modifiers, vk);
    settle();
}

void typeText(const std::string& text) {
    for (unsigned char c : text) {
        const SHORT scan = c < 128 ? VkKeyScanA(static_cast<char>(c)) : -1;
        if (scan == -1 || (HIBYTE(scan) & ~1) != 0) {
            wchar_t wide = 0;
            const char narrow = static_cast<char>(c);
            MultiByteToWideChar(CP_ACP, 0, &narrow, 1, &wide, 1);
            sendUnicode(wide);
        } else if ((HIBYTE(scan) & 1) != 0) {
            sendChord({VK_SHIFT}, LOBYTE(scan));
        } else {
            sendChord({}, LOBYTE(scan));
        }
        settle();
    }
}

namespace {

INPUT absoluteMouse(int x, int y, DWORD buttons) {
    const int cx = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int cy = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = (x * 65535 + cx / 2) / cx;
    in.mi.dy = (y * 65535 + cy / 2) / cy;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    return in;
}

bool cursorAt(int x, int y) {
    POINT p{};
    GetCursorPos(&p);
    return p.x == x && p.y == y;
}

// Moves and waits until the cursor has stayed on the point for a few polls.
bool moveOnce(int x, int y) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        INPUT in = absoluteMouse(x, y, 0);
        SendInput(1, &in, sizeof in);
        int steady = 0;
        if (waitFor(
                [&] {
                    steady = cursorAt(x, y) ? steady + 1 : 0;
                    return steady >= 3;
                },
                1000ms)) {
            // The window under the pointer has seen the move too.
            POINT p{x, y};
            catchUp(WindowFromPoint(p));
            return true;
        }
    }
    return false;
}

// Where movePointer last put the pointer.
POINT PointerTarget{0, 0};

// A button event that carries its own position, so that a late echo of an
// earlier pointer position cannot move the click elsewhere.
void mouseButtonAt(int x, int y, DWORD buttons) {
    INPUT in = absoluteMouse(x, y, buttons);
    SendInput(1, &in, sizeof in);
    settle();
}

}  // namespace

// Under Xvfb the pointer can echo back to an older position for a moment,
// and a move to where the pointer already rests produces no event (and a
// window that appeared under the resting pointer may not be the one the next
// click goes to); stepping one pixel aside first then makes the final move a
// real one. Each move is waited for.
bool movePointer(int x, int y) {
    if (cursorAt(x, y)) moveOnce(x > 0 ? x - 1 : x + 1, y);
    PointerTarget = {x, y};
    return moveOnce(x, y);
}

bool clickAt(int x, int y, bool doubleClick) {
    const bool there = movePointer(x, y);
    // Press and release enter the input stream together (the target still
    // sees them one after the other), then the target is waited for.
    for (int i = 0; i < (doubleClick ? 2 : 1); ++i) {
        INPUT in[2] = {absoluteMouse(x, y, MOUSEEVENTF_LEFTDOWN), absoluteMouse(x, y, MOUSEEVENTF_LEFTUP)};
        SendInput(2, in, sizeof in[0]);
        settle();
    }
    return there;
}

bool rightClickAt(int x, int y) {
    const bool there = movePointer(x, y);
    INPUT in[2] = {absoluteMouse(x, y, MOUSEEVENTF_RIGHTDOWN), absoluteMouse(x, y, MOUSEEVENTF_RIGHTUP)};
    SendInput(2, in, sizeof in[0]);
    settle();
    return there;
}

void click(HWND window) {
    const RECT r = windowRect(window);
    clickAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void drag(int fromX, int fromY, int toX, int toY) {
    movePointer(fromX, fromY);
    mouseButtonAt(fromX, fromY, MOUSEEVENTF_LEFTDOWN);
    const int steps = 8;
    int x = fromX;
    int y = fromY;
    for (int i = 1; i <= steps; ++i) {
        x = fromX + (toX - fromX) * i / steps;
        y = fromY + (toY - fromY) * i / steps;
        moveOnce(x, y);
    }
    mouseButtonAt(x, y, MOUSEEVENTF_LEFTUP);
}

bool waitForIdle(HWND window, DWORD timeoutMs) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (process == nullptr) return false;
    const bool idle = WaitForInputIdle(process, timeoutMs) == 0;
    CloseHandle(process);
    return idle;
}

bool bringToFront(HWND window, DWORD timeoutMs) {
    return waitFor(
        [&] {
            if (GetForegroundWindow() == window) return true;
            SetForegroundWindow(window);
            return GetForegroundWindow() == window;
        },
        std::chrono::milliseconds(timeoutMs));
}

namespace {

LRESULT hitTest(HWND window, LONG x, LONG y) {
    DWORD_PTR hit = HTNOWHERE;
    SendMessageTimeoutA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 5000, &hit);
    return static_cast<LRESULT>(hit);
}

}  // namespace

bool findNonClientPart(HWND window, int hitCode, POINT* where) {
    const RECT r = windowRect(window);
    POINT client{0, 0};
    ClientToScreen(window, &client);
    // The frame's parts above the client area, scanned row by row from the
    // top: the caption's middle, or the middle of a caption button (found by
    // its top-right pixel, then widened to its left and bottom edges).
    for (LONG y = r.top; y < client.y; ++y) {
        if (hitCode == HTCAPTION) {
            const LONG x = (r.left + r.right) / 2;
            if (hitTest(window, x, y) == hitCode) {
                *where = {x, y + 2 < client.y ? y + 2 : y};
                return true;
            }
            continue;
        }
        for (LONG x = r.right - 1; x > r.left; --x) {
            if (hitTest(window, x, y) != hitCode) continue;
            LONG left = x;
            LONG bottom = y;
            while (left > r.left && hitTest(window, left - 1, y) == hitCode) --left;
            while (bottom + 1 < r.bottom && hitTest(window, x, bottom + 1) == hitCode) ++bottom;
            *where = {(left + x) / 2, (y + bottom) / 2};
            return true;
        }
    }
    return false;
}

void pressLeft() { mouseButtonAt(PointerTarget.x, PointerTarget.y, MOUSEEVENTF_LEFTDOWN); }
void releaseLeft() { mouseButtonAt(PointerTarget.x, PointerTarget.y, MOUSEEVENTF_LEFTUP); }

namespace {

bool openClipboardPatiently() {
    return waitFor([] { return OpenClipboard(nullptr) != FALSE; }, 5000ms);
}

}  // namespace

std::string clipboardText() {
    if (!openClipboardPatiently()) return "";
    std::string result;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            result = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return result;
}

std::vector<UINT> clipboardFormats() {
    std::vector<UINT> formats;
    if (!openClipboardPatiently()) return formats;
    for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f)) formats.push_back(f);
    CloseClipboard();
    return formats;
}

bool setClipboardText(const std::string& text) {
    if (!openClipboardPatiently()) return false;
    EmptyClipboard();
    bool placed = false;
    // The block belongs to the clipboard once SetClipboardData succeeds.
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
        if (void* data = GlobalLock(block)) {
            std::memcpy(data, text.c_str(), text.size() + 1);
            GlobalUnlock(block);
            placed = SetClipboardData(CF_TEXT, block) != nullptr;
        }
        if (!placed) GlobalFree(block);
    }
    CloseClipboard();
    return placed;
}

bool clipboardHasFormat(UINT format) { return IsClipboardFormatAvailable(format) != FALSE; }

std::string clipboardReport() {
    auto windowText = [](HWND window) -> std::string {
        if (window == nullptr) return "none";
        char name[128] = "";
        GetClassNameA(window, name, sizeof name);
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        return "'" + std::string(name) + "' of process " + std::to_string(process);
    };
    std::string report = "clipboard " + std::to_string(GetClipboardSequenceNumber()) + ", owner " +
                         windowText(GetClipboardOwner()) + " (this is " + std::to_string(GetCurrentProcessId()) +
                         "), open by " + windowText(GetOpenClipboardWindow()) + ", formats";
    for (UINT format : clipboardFormats()) report += " " + std::to_string(format);
    return report;
}

}  // namespace ui
