#include "app_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace e2e {

namespace {

constexpr auto PollInterval = 5ms;

std::string windowText(HWND window) {
    if (window == nullptr) return {};
    // WM_GETTEXT is marshalled across processes; GetWindowText of another
    // process's control would only give its cached caption.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 3000, &length)) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, 3000, &copied)) {
        return {};
    }
    text.resize(std::min<size_t>(static_cast<size_t>(copied), text.size()));
    return text;
}

struct EnumState {
    DWORD pid;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectWindow(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == state->pid && IsWindowVisible(window)) state->windows.push_back(window);
    return TRUE;
}

std::vector<HWND> topLevelWindows(DWORD pid) {
    EnumState state{pid, {}};
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&state));
    return state.windows;
}

void sendKey(WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN || vk == VK_HOME || vk == VK_END ||
        vk == VK_DELETE || vk == VK_INSERT) {
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    }
    SendInput(1, &input, sizeof(INPUT));
}

void sendUnicodeChar(unsigned char c) {
    INPUT inputs[2]{};
    for (int i = 0; i < 2; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wScan = c;
        inputs[i].ki.dwFlags = KEYEVENTF_UNICODE | (i == 1 ? KEYEVENTF_KEYUP : 0);
    }
    SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace

bool waitUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (true) {
        if (cond()) return true;
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(PollInterval);
    }
}

bool staysTrue(const std::function<bool()>& cond, std::chrono::milliseconds window) {
    const auto deadline = Clock::now() + window;
    while (Clock::now() < deadline) {
        if (!cond()) return false;
        std::this_thread::sleep_for(PollInterval);
    }
    return cond();
}

std::string windowsPath(const std::string& path) {
    if (path.empty() || path[0] != '/') return path;
    std::string result;
    result.reserve(path.size() + 2);
    result.append("Z:").append(path);
    std::replace(result.begin(), result.end(), '/', '\\');
    return result;
}

std::string runUnixCommand(const std::string& commandLine, int* exitCode) {
    // Wine starts a Unix program given by its Unix path. Its output goes to a
    // file, and the end of the command is told by a second file holding the
    // exit status: the process handle Wine gives for a Unix program reports
    // neither the real exit code nor, reliably, the moment it ends.
    static int sequence = 0;
    const std::string base = "/tmp/quillark-e2e-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(++sequence);
    const std::string outFile = base + ".out";
    const std::string doneFile = base + ".done";
    std::string shell = "/bin/sh -c \"" + commandLine + " > " + outFile + " 2>/dev/null; echo $? > " +
                        doneFile + ".tmp; mv " + doneFile + ".tmp " + doneFile + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (exitCode) *exitCode = -1;
    if (!CreateProcessA(nullptr, shell.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return {};
    }
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    auto readFile = [](const std::string& unixPath, std::string& into) {
        FILE* file = std::fopen(windowsPath(unixPath).c_str(), "rb");
        if (file == nullptr) return false;
        into.clear();
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) into.append(buffer, n);
        std::fclose(file);
        return true;
    };
    std::string status;
    if (!waitUntil([&] { return readFile(doneFile, status); }, 20000ms)) return {};
    if (exitCode) *exitCode = std::atoi(status.c_str());
    std::string result;
    readFile(outFile, result);
    DeleteFileA(windowsPath(outFile).c_str());
    DeleteFileA(windowsPath(doneFile).c_str());
    return result;
}

AppSession::AppSession(const std::string& exePath, std::chrono::milliseconds startTimeout) {
    std::string commandLine = windowsPath(exePath);
    commandLine.insert(commandLine.begin(), '"');
    commandLine.push_back('"');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    const auto started = Clock::now();
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
        process_ = {};
        return;
    }
    HWND found = nullptr;
    waitUntil(
        [&] {
            for (HWND window : topLevelWindows(process_.dwProcessId)) {
                if (windowText(window) == "Quillark") {
                    found = window;
                    break;
                }
            }
            if (found == nullptr) return false;
            // Ready: shown, active, with the focus in the event-date field.
            GUITHREADINFO info{};
            info.cbSize = sizeof(info);
            if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return false;
            return info.hwndFocus != nullptr && info.hwndFocus == GetDlgItem(found, 101);
        },
        startTimeout);
    if (found != nullptr && GetDlgItem(found, 101) != nullptr) {
        main_ = found;
        startup_ = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
    }
}

AppSession::~AppSession() {
    if (process_.hProcess == nullptr) return;
    if (alive()) close(5000ms);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
}

bool AppSession::alive() const {
    return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool AppSession::responsive(std::chrono::milliseconds timeout) const {
    DWORD_PTR result = 0;
    return main_ != nullptr && IsWindow(main_) &&
           SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()),
                               &result) != 0;
}

int AppSession::close(std::chrono::milliseconds timeout) {
    if (!alive()) {
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return static_cast<int>(code);
    }
    // The system's own message boxes run a loop of their own; close them so
    // the Cancel command reaches the dialog.
    closeAllBoxes();
    if (HWND cancel = control(IDCANCEL)) {
        // BM_CLICK is a real click on the button as the dialog sees it.
        PostMessageA(cancel, BM_CLICK, 0, 0);
    }
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<int>(code);
}

HWND AppSession::control(int id) const { return main_ ? GetDlgItem(main_, id) : nullptr; }

std::string AppSession::text(int id) const { return windowText(control(id)); }

bool AppSession::checked(int id) const {
    DWORD_PTR state = 0;
    HWND box = control(id);
    return box != nullptr &&
           SendMessageTimeoutA(box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 3000, &state) != 0 &&
           state == BST_CHECKED;
}

HWND AppSession::focusedWindow() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return nullptr;
    return info.hwndFocus;
}

HWND AppSession::activeWindow() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return nullptr;
    return info.hwndActive;
}

int AppSession::focusedId() const {
    HWND focus = focusedWindow();
    if (focus == nullptr || main_ == nullptr || GetParent(focus) != main_) return 0;
    return GetDlgCtrlID(focus);
}

std::vector<BoxInfo> AppSession::boxes() const {
    std::vector<BoxInfo> result;
    for (HWND window : topLevelWindows(process_.dwProcessId)) {
        if (window == main_) continue;
        BoxInfo box;
        box.window = window;
        box.caption = windowText(window);
        // The program's own box keeps its text in control 9990; the system's
        // message box in its static control 0xFFFF.
        HWND textControl = GetDlgItem(window, 9990);
        if (textControl == nullptr) textControl = GetDlgItem(window, 0xFFFF);
        box.text = windowText(textControl);
        result.push_back(box);
    }
    return result;
}

std::vector<BoxInfo> AppSession::boxes(const std::string& caption) const {
    std::vector<BoxInfo> all = boxes();
    std::vector<BoxInfo> result;
    for (const BoxInfo& box : all) {
        if (box.caption == caption) result.push_back(box);
    }
    return result;
}

HWND AppSession::findTopLevel(const std::string& caption) const {
    for (HWND window : topLevelWindows(process_.dwProcessId)) {
        if (windowText(window) == caption) return window;
    }
    return nullptr;
}

void AppSession::keyDown(WORD vk) { sendKey(vk, false); }
void AppSession::keyUp(WORD vk) { sendKey(vk, true); }

void AppSession::key(WORD vk, bool shift, bool ctrl, bool alt) {
    if (ctrl) sendKey(VK_CONTROL, false);
    if (shift) sendKey(VK_SHIFT, false);
    if (alt) sendKey(VK_MENU, false);
    sendKey(vk, false);
    sendKey(vk, true);
    if (alt) sendKey(VK_MENU, true);
    if (shift) sendKey(VK_SHIFT, true);
    if (ctrl) sendKey(VK_CONTROL, true);
}

void AppSession::type(const std::string& text) {
    for (unsigned char c : text) {
        SHORT scan = (c >= 0x20 && c < 0x7F) ? VkKeyScanA(static_cast<char>(c)) : -1;
        if (scan == -1 || (HIBYTE(scan) & ~1) != 0) {
            sendUnicodeChar(c);
            continue;
        }
        key(LOBYTE(scan), (HIBYTE(scan) & 1) != 0);
    }
}

bool AppSession::clickScreen(POINT point) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = static_cast<LONG>((point.x * 65535LL + (width - 1) / 2) / std::max(1, width - 1));
    move.mi.dy = static_cast<LONG>((point.y * 65535LL + (height - 1) / 2) / std::max(1, height - 1));
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    // Under Xvfb the pointer can echo back to an older position for a moment:
    // move until it stays where it was put.
    bool placed = waitUntil(
        [&] {
            SendInput(1, &move, sizeof(INPUT));
            POINT now{};
            GetCursorPos(&now);
            return now.x == point.x && now.y == point.y &&
                   staysTrue(
                       [&] {
                           POINT again{};
                           GetCursorPos(&again);
                           return again.x == point.x && again.y == point.y;
                       },
                       30ms);
        },
        3000ms);
    INPUT buttons[2]{};
    buttons[0].type = buttons[1].type = INPUT_MOUSE;
    buttons[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    buttons[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &buttons[0], sizeof(INPUT));
    SendInput(1, &buttons[1], sizeof(INPUT));
    return placed;
}

bool AppSession::clickWindow(HWND window, int x, int y) {
    if (window == nullptr) return false;
    RECT client{};
    GetClientRect(window, &client);
    POINT point{x < 0 ? (client.right - client.left) / 2 : x, y < 0 ? (client.bottom - client.top) / 2 : y};
    ClientToScreen(window, &point);
    return clickScreen(point);
}

void AppSession::paste(const std::string& text) {
    setClipboardText(text);
    key('V', false, true);
}

void AppSession::selectAll() {
    key(VK_HOME);
    key(VK_END, true);
}

bool AppSession::activate() {
    if (main_ == nullptr) return false;
    SetForegroundWindow(main_);
    return waitUntil([&] { return activeWindow() == main_; }, 3000ms);
}

bool AppSession::waitText(int id, const std::string& expected, std::chrono::milliseconds timeout) const {
    return waitUntil([&] { return text(id) == expected; }, timeout);
}

bool AppSession::waitFocus(int id, std::chrono::milliseconds timeout) const {
    return waitUntil([&] { return focusedId() == id; }, timeout);
}

bool AppSession::closeBox(const BoxInfo& box) {
    if (!IsWindow(box.window)) return true;
    HWND button = GetDlgItem(box.window, 9994);
    for (int id : {9991, IDOK}) {
        if (button == nullptr) button = GetDlgItem(box.window, id);
    }
    if (button == nullptr) return false;
    clickWindow(button);
    return waitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, 3000ms);
}

bool AppSession::closeAllBoxes() {
    for (int round = 0; round < 50; ++round) {
        std::vector<BoxInfo> open = boxes();
        if (open.empty()) return true;
        for (const BoxInfo& box : open) {
            // A calendar has no "&Ok": its close box ends it.
            if (GetDlgItem(box.window, 9994) == nullptr && GetDlgItem(box.window, IDOK) == nullptr &&
                GetDlgItem(box.window, 9991) == nullptr) {
                PostMessageA(box.window, WM_SYSCOMMAND, SC_CLOSE, 0);
                waitUntil([&] { return !IsWindow(box.window); }, 3000ms);
                continue;
            }
            closeBox(box);
        }
    }
    return boxes().empty();
}

bool setClipboardText(const std::string& text) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
            bool placed = false;
            if (block != nullptr) {
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
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

std::string clipboardText() {
    std::string result;
    if (!waitUntil([] { return OpenClipboard(nullptr) != 0; }, 2000ms)) return result;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* text = static_cast<const char*>(GlobalLock(data))) {
            result = text;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return result;
}

std::string xClipboardText() { return runUnixCommand("xclip -o -selection clipboard"); }

bool saveScreenshot(const std::string& unixPath) {
    int code = -1;
    runUnixCommand("import -window root '" + unixPath + "'", &code);
    return code == 0;
}

}  // namespace e2e
