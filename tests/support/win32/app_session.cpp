#include "app_session.h"

#include "records_window.h"
#include "ui_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace e2e {

namespace {

std::string windowText(HWND window) { return ui::text(window); }

std::vector<HWND> topLevelWindows(DWORD pid) { return ui::topLevelWindows(pid); }

}  // namespace

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
    // The whole script is one quoted argument of the Windows command line, so
    // quotes inside it are escaped the Windows way.
    std::string escaped;
    for (char c : commandLine) {
        if (c == '"') escaped += '\\';
        escaped += c;
    }
    std::string shell = "/bin/sh -c \"" + escaped + " > " + outFile + " 2>/dev/null; echo $? > " +
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
        FILE* file = std::fopen(ui::toWindowsPath(unixPath).c_str(), "rb");
        if (file == nullptr) return false;
        into.clear();
        char buffer[4096];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof(buffer), file)) > 0) into.append(buffer, n);
        std::fclose(file);
        return true;
    };
    std::string status;
    if (!waitFor([&] { return readFile(doneFile, status); }, 20000ms)) return {};
    if (exitCode) *exitCode = std::atoi(status.c_str());
    std::string result;
    readFile(outFile, result);
    DeleteFileA(ui::toWindowsPath(outFile).c_str());
    DeleteFileA(ui::toWindowsPath(doneFile).c_str());
    return result;
}

AppSession::AppSession(const std::string& exePath, std::chrono::milliseconds startTimeout) {
    const auto started = Clock::now();
    program_ = ui::Program::launch(exePath, -1, "", false);
    if (!program_.started()) return;
    HWND found = nullptr;
    waitFor(
        [&] {
            for (HWND window : topLevelWindows(program_.id())) {
                if (windowText(window) == "Quillark") {
                    found = window;
                    break;
                }
            }
            // Ready: shown in the foreground (where keystrokes go), with the
            // focus in the event-date field.
            return found != nullptr && GetDlgItem(found, Event) != nullptr &&
                   GetForegroundWindow() == found && ui::focusedWindow(found) == GetDlgItem(found, Event);
        },
        startTimeout);
    if (found != nullptr && GetDlgItem(found, Event) != nullptr) {
        main_ = found;
        startup_ = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started);
    }
}

AppSession::~AppSession() {
    if (alive()) close(5000ms);
}

bool AppSession::alive() const { return program_.started() && program_.running(); }

bool AppSession::responsive(std::chrono::milliseconds timeout) const {
    DWORD_PTR result = 0;
    return main_ != nullptr && IsWindow(main_) &&
           SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()),
                               &result) != 0;
}

int AppSession::close(std::chrono::milliseconds timeout) {
    DWORD code = 0;
    if (!alive()) {
        program_.waitForExit(&code, 0);
        return static_cast<int>(code);
    }
    // The system's own message boxes run a loop of their own; close them so
    // the Cancel command reaches the dialog.
    closeAllBoxes();
    // BM_CLICK is a click on "C&ancel" as the dialog sees it.
    if (HWND cancel = control(Cancel)) PostMessageA(cancel, BM_CLICK, 0, 0);
    if (!program_.waitForExit(&code, static_cast<DWORD>(timeout.count()))) {
        program_.kill();
        return -1;
    }
    return static_cast<int>(code);
}

HWND AppSession::control(int id) const { return main_ ? GetDlgItem(main_, id) : nullptr; }

std::string AppSession::text(int id) const { return windowText(control(id)); }

bool AppSession::checked(int id) const {
    HWND box = control(id);
    return box != nullptr && ui::checkState(box) == BST_CHECKED;
}

HWND AppSession::focusedWindow() const { return main_ ? ui::focusedWindow(main_) : nullptr; }

HWND AppSession::activeWindow() const { return main_ ? ui::activeWindow(main_) : nullptr; }

int AppSession::focusedId() const {
    HWND focus = focusedWindow();
    if (focus == nullptr || main_ == nullptr || GetParent(focus) != main_) return 0;
    return GetDlgCtrlID(focus);
}

namespace {

// The answer's tooltip shows whenever the pointer rests on the computed
// field; it is no window the program opened.
bool isTooltip(HWND window) { return ui::className(window) == "tooltips_class32"; }

}  // namespace

size_t AppSession::windowCount() const {
    size_t count = 0;
    for (HWND window : topLevelWindows(program_.id())) count += window != main_ && !isTooltip(window) ? 1 : 0;
    return count;
}

std::vector<BoxInfo> AppSession::boxCaptions() const {
    std::vector<BoxInfo> result;
    for (HWND window : topLevelWindows(program_.id())) {
        if (window == main_ || isTooltip(window)) continue;
        result.push_back({window, windowText(window), ""});
    }
    return result;
}

std::vector<BoxInfo> AppSession::boxes() const {
    std::vector<BoxInfo> result = boxCaptions();
    for (BoxInfo& box : result) {
        // The program's own box keeps its text in its text control; the system's
        // message box in its static control 0xFFFF.
        HWND textControl = GetDlgItem(box.window, BoxTextId);
        if (textControl == nullptr) textControl = GetDlgItem(box.window, 0xFFFF);
        box.text = windowText(textControl);
    }
    return result;
}

std::vector<BoxInfo> AppSession::boxes(const std::string& caption) const {
    std::vector<BoxInfo> result;
    for (const BoxInfo& box : boxes()) {
        if (box.caption == caption) result.push_back(box);
    }
    return result;
}

HWND AppSession::findTopLevel(const std::string& caption) const {
    for (HWND window : topLevelWindows(program_.id())) {
        if (windowText(window) == caption) return window;
    }
    return nullptr;
}

void AppSession::keyDown(WORD vk) { ui::keyDown(vk); }
void AppSession::keyUp(WORD vk) { ui::keyUp(vk); }

void AppSession::key(WORD vk, bool shift, bool ctrl, bool alt) {
    std::vector<WORD> modifiers;
    if (ctrl) modifiers.push_back(VK_CONTROL);
    if (shift) modifiers.push_back(VK_SHIFT);
    if (alt) modifiers.push_back(VK_MENU);
    ui::pressCombination(modifiers, vk);
}

void AppSession::type(const std::string& text) { ui::typeText(text); }

bool AppSession::clickScreen(POINT point) {
    return ui::clickAt(point.x, point.y);
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

bool AppSession::activate() { return main_ != nullptr && ui::bringToFront(main_, 3000); }

bool AppSession::waitText(int id, const std::string& expected, std::chrono::milliseconds timeout) const {
    return waitFor([&] { return text(id) == expected; }, timeout);
}

bool AppSession::waitFocus(int id, std::chrono::milliseconds timeout) const {
    return waitFor([&] { return focusedId() == id; }, timeout);
}

namespace {

// A box is gone once destroyed (the program's own) or hidden (the system's,
// by EndDialog).
bool boxGone(HWND box) { return !IsWindow(box) || !IsWindowVisible(box); }

}  // namespace

bool AppSession::closeBox(const BoxInfo& box) {
    if (!IsWindow(box.window)) return true;
    HWND button = GetDlgItem(box.window, BoxOkButtonId);
    for (int id : {static_cast<int>(BoxFirstButtonId), IDOK}) {
        if (button == nullptr) button = GetDlgItem(box.window, id);
    }
    if (button == nullptr) return false;
    // An ownerless box (the calculation's) goes behind the dialog when the
    // dialog is clicked; a person brings it back before pressing its button.
    ui::bringToFront(box.window, 2000);
    clickWindow(button);
    // The box goes while the program handles the click: its own boxes are
    // destroyed then, and the system's hidden by EndDialog. Once the program
    // has caught up with the click, a box still open will stay open - the
    // click went to another window over it (the program's boxes all open at
    // one place) - so that is waited for, not a fixed time.
    const auto gone = [&] { return boxGone(box.window); };
    if (gone()) return true;
    catchUp();
    // A file dialog ends inside the click when it ends at all; otherwise it
    // has refused the name or opened a box of its own over itself.
    if (isFileDialog(box.window)) return gone();
    return waitFor(gone, 500ms);
}

bool AppSession::closeAllBoxes() {
    for (int round = 0; round < 10; ++round) {
        std::vector<BoxInfo> open = boxes();
        if (open.empty()) return true;
        for (const BoxInfo& box : open) {
            // A file dialog ("Open", "Save As") is cancelled, once the boxes
            // it has opened over itself are closed: its default button would
            // only try the name again.
            if (isFileDialog(box.window)) {
                if (IsWindowEnabled(box.window)) {
                    PostMessageA(box.window, WM_COMMAND, IDCANCEL, 0);
                    waitFor([&] { return boxGone(box.window); }, 3000ms);
                }
                continue;
            }
            // The question before unsaved records are closed: "No" lets
            // them go, as a person ending the program without them would.
            if (HWND no = GetDlgItem(box.window, IDNO)) {
                PostMessageA(no, BM_CLICK, 0, 0);
                waitFor([&] { return boxGone(box.window); }, 3000ms);
                continue;
            }
            // A calendar has no "&Ok": its close box ends it.
            if (GetDlgItem(box.window, BoxOkButtonId) == nullptr && GetDlgItem(box.window, IDOK) == nullptr &&
                GetDlgItem(box.window, BoxFirstButtonId) == nullptr) {
                PostMessageA(box.window, WM_SYSCOMMAND, SC_CLOSE, 0);
                waitFor([&] { return !IsWindow(box.window); }, 3000ms);
                continue;
            }
            closeBox(box);
        }
    }
    return boxes().empty();
}

bool saveScreenshot(const std::string& unixPath) {
    int code = -1;
    runUnixCommand("import -window root '" + unixPath + "'", &code);
    return code == 0;
}

bool saveScreenshot(const std::string& unixPath, RECT area) {
    // Two captures in a row that agree pixel for pixel: the windows have
    // finished painting. Gives up after about ten tries and keeps the last.
    const std::string geometry = std::to_string(area.right - area.left) + "x" +
                                 std::to_string(area.bottom - area.top) + "+" + std::to_string(area.left) + "+" +
                                 std::to_string(area.top);
    const std::string a = unixPath + ".a.png";
    const std::string b = unixPath + ".b.png";
    const std::string grab = "import -window root -crop " + geometry + " +repage ";
    const std::string script = "for i in 1 2 3 4 5 6 7 8 9 10; do " + grab + "'" + a + "'; sleep 0.2; " + grab +
                               "'" + b + "'; [ \"$(compare -metric AE '" + a + "' '" + b +
                               "' null: 2>&1)\" = 0 ] && break; done; convert '" + b +
                               "' -strip -define png:compression-level=9 '" + unixPath + "' && rm -f '" + a +
                               "' '" + b + "'";
    int code = -1;
    runUnixCommand(script, &code);
    return code == 0;
}

RECT unionOfWindows(const std::vector<HWND>& windows, int margin) {
    RECT area{};
    bool first = true;
    for (HWND window : windows) {
        RECT r{};
        if (window == nullptr || !GetWindowRect(window, &r)) continue;
        if (first) {
            area = r;
            first = false;
        } else {
            UnionRect(&area, &area, &r);
        }
    }
    InflateRect(&area, margin, margin);
    area.left = std::max<LONG>(0, area.left);
    area.top = std::max<LONG>(0, area.top);
    return area;
}

}  // namespace e2e
