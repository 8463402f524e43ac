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

#include "calculation.h"
#include "main_window.h"
#include "message_box.h"
#include "ui_driver.h"

namespace e2e {

// The main dialog's controls by the names a person knows them by, taken from
// the program's own ids.
inline constexpr int Sink = FocusSinkId;
inline constexpr int Event = EventDateField;
inline constexpr int Years = YearsField;
inline constexpr int Months = MonthsField;
inline constexpr int Days = DaysField;
inline constexpr int Birth = BirthDateField;
inline constexpr int Abbreviate = AbbreviateOptionId;
inline constexpr int WeekDay = WeekDayOptionId;
inline constexpr int Calc = CalcButtonId;
inline constexpr int Reset = ResetButtonId;
inline constexpr int Cancel = CancelButtonId;
inline constexpr int CopyEvent = CopyEventButtonId;
inline constexpr int CopyBirth = CopyBirthButtonId;
inline constexpr int CalendarEvent = CalendarEventButtonId;
inline constexpr int CalendarBirth = CalendarBirthButtonId;
inline constexpr int HelpEvent = HelpEventButtonId;
inline constexpr int HelpAge = HelpAgeButtonId;
inline constexpr int HelpAbbreviate = HelpAbbreviateButtonId;
inline constexpr int HelpWeekDay = HelpWeekDayButtonId;
inline constexpr int HelpBirth = HelpBirthButtonId;

using Clock = std::chrono::steady_clock;
using ui::clipboardReport;
using ui::clipboardText;
using ui::setClipboardText;
using ui::staysTrue;
using ui::waitFor;

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
    // The same with the captions alone (text left empty): half the messages
    // to the program, for a walk that looks at the boxes after every action.
    std::vector<BoxInfo> boxCaptions() const;
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

    // Waits until the program has handled the input sent so far (and
    // whatever it posted to itself meanwhile); false when it stops answering.
    bool catchUp() const { return main_ == nullptr || !IsWindow(main_) || ui::catchUp(main_, 10000); }
    // Waits for the text of a control.
    bool waitText(int id, const std::string& expected, std::chrono::milliseconds timeout = 5000ms) const;
    bool waitFocus(int id, std::chrono::milliseconds timeout = 5000ms) const;
    // Closes a box with its "&Ok" (or OK) button by a real click; false when
    // it is still open once the program has handled the click (the click
    // then went to another window over it).
    bool closeBox(const BoxInfo& box);
    // Closes all boxes; true when none is left.
    bool closeAllBoxes();

private:
    ui::Program program_;
    HWND main_ = nullptr;
    std::chrono::microseconds startup_{0};
};

// Saves the whole screen to a PNG (ImageMagick's import).
bool saveScreenshot(const std::string& unixPath);
// Saves a part of the screen once it has finished painting.
bool saveScreenshot(const std::string& unixPath, RECT area);
// The smallest rectangle around the windows, widened by margin pixels.
RECT unionOfWindows(const std::vector<HWND>& windows, int margin = 8);

}  // namespace e2e
