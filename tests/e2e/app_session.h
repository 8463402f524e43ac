// One running quillark.exe seen from outside, the way a person uses it: real
// keystrokes and mouse clicks (SendInput), and what is on the screen (control
// texts, check marks, the focused control, the open boxes). Every wait is a
// condition polled with a timeout.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui_driver.h"

namespace e2e {

// Control ids of the main dialog, as a person knows the controls.
enum Id : int {
    Sink = 100,
    Event = 101,
    Years = 102,
    Months = 103,
    Days = 104,
    Birth = 105,
    Abbreviate = 106,
    WeekDay = 107,
    Calc = 108,
    Reset = 111,
    Cancel = 2,
    CopyEvent = 112,
    CopyBirth = 113,
    CalendarEvent = 114,
    CalendarBirth = 115,
    HelpEvent = 121,
    HelpAge = 122,
    HelpAbbreviate = 123,
    HelpWeekDay = 124,
    HelpBirth = 125,
};

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Polls cond every few milliseconds until it holds or the timeout passes.
bool waitUntil(const std::function<bool()>& cond, std::chrono::milliseconds timeout = 5000ms);
// True when cond holds at once and keeps holding for the whole window: the
// way to see that something does NOT happen (a second box, a calculation).
bool staysTrue(const std::function<bool()>& cond, std::chrono::milliseconds window = 400ms);

// Path of quillark.exe as Wine sees it (Unix paths become Z:\...).
std::string windowsPath(const std::string& path);

// Runs a Unix command line through /bin/sh (Wine starts ELF programs) and
// returns what it printed on standard output; -1 in *exitCode when it could
// not be started. Used for screenshots only: an X client started this way
// that talks to a Wine process (xclip asking for the clipboard) was seen to
// end a Wine process, so the X clipboard is read from a shell outside Wine
// (copy_x_clipboard.sh).
std::string runUnixCommand(const std::string& commandLine, int* exitCode = nullptr);

struct BoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};

class AppSession {
public:
    // Starts the program and waits until its main window shows with the focus
    // in the event-date field. ok() tells whether that happened.
    explicit AppSession(const std::string& exePath, std::chrono::milliseconds startTimeout = 30000ms);
    ~AppSession();
    AppSession(const AppSession&) = delete;
    AppSession& operator=(const AppSession&) = delete;

    bool ok() const { return main_ != nullptr; }
    HWND mainWindow() const { return main_; }
    DWORD processId() const { return program_.id(); }
    // Time from CreateProcess to the window being ready.
    std::chrono::microseconds startupTime() const { return startup_; }

    bool alive() const;
    // Answers a message within the timeout.
    bool responsive(std::chrono::milliseconds timeout = 3000ms) const;
    // Ends the program the way a person would ("C&ancel") and waits for the
    // exit code; kills it when it does not end.
    int close(std::chrono::milliseconds timeout = 10000ms);

    // --- reading ---
    HWND control(int id) const;
    std::string text(int id) const;
    bool checked(int id) const;
    // Id of the control of the main dialog that has the keyboard focus; 0 when
    // the focus is elsewhere (in a box, another window, nowhere).
    int focusedId() const;
    HWND activeWindow() const;
    HWND focusedWindow() const;
    // Visible top-level windows of the program other than the main dialog.
    std::vector<BoxInfo> boxes() const;
    // How many there are, without reading them (cheap enough for every step).
    size_t windowCount() const;
    std::vector<BoxInfo> boxes(const std::string& caption) const;
    HWND findTopLevel(const std::string& caption) const;

    // --- input ---
    void key(WORD vk, bool shift = false, bool ctrl = false, bool alt = false);
    void keyDown(WORD vk);
    void keyUp(WORD vk);
    void type(const std::string& text);
    // Moves the pointer to the point (screen pixels), waits until it is there,
    // then presses and releases the left button.
    bool clickScreen(POINT point);
    bool clickWindow(HWND window, int x = -1, int y = -1);  // client coords; -1 = centre
    bool click(int id) { return clickWindow(control(id)); }
    // Puts text on the clipboard and presses Ctrl+V.
    void paste(const std::string& text);
    // Selects the whole text of the focused field (Ctrl+A does not do it in a
    // plain edit control, so Home and Shift+End).
    void selectAll();
    // Brings the main window to the foreground (as a click on its caption
    // would) and waits until it is active.
    bool activate();

    // Waits for the text of a control.
    bool waitText(int id, const std::string& expected, std::chrono::milliseconds timeout = 5000ms) const;
    bool waitFocus(int id, std::chrono::milliseconds timeout = 5000ms) const;
    // Closes a box with its "&Ok" (or OK) button by a real click.
    bool closeBox(const BoxInfo& box);
    // Closes all boxes; true when none is left.
    bool closeAllBoxes();

private:
    ui::Program program_;
    HWND main_ = nullptr;
    std::chrono::microseconds startup_{0};
};

// Clipboard of the Windows side.
bool setClipboardText(const std::string& text);
std::string clipboardText();

// Saves the whole screen to a PNG (ImageMagick's import).
bool saveScreenshot(const std::string& unixPath);
// Saves a part of the screen once it has finished painting.
bool saveScreenshot(const std::string& unixPath, RECT area);
// The smallest rectangle around the windows, widened by margin pixels.
RECT unionOfWindows(const std::vector<HWND>& windows, int margin = 8);

}  // namespace e2e
