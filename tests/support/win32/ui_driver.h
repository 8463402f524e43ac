// The base of the Win32 test-support library, shared by the in-process and
// the out-of-process tests: starts a program, finds windows by caption and
// controls by id, sends real keyboard and mouse input (SendInput) and waits
// until the window that takes it has handled it, and reads what a person
// would see - texts, check marks, styles, geometry, the focused control, the
// clipboard. Every wait is a condition with a timeout (waitFor).
//
// From outside it runs in its own Win32 process under the same Wine server as
// the program; inside, waiting handles the test thread's own messages.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Timeouts are written as 5000ms everywhere in the tests.
using namespace std::chrono_literals;

namespace ui {

// Generous by default: a shared, slow machine can take seconds to start Wine
// processes.
inline constexpr DWORD DefaultTimeoutMs = 15000;

// The one way the tests wait: polls condition until it holds or the timeout
// has passed (waking every few milliseconds or on a message), and meanwhile
// handles this thread's messages the way the program's loop does, so an
// in-process test's windows stay alive while it waits. Messages of dialog
// (when given) and its children go through the dialog manager first, as the
// main dialog's do in the program.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 15000ms,
             HWND dialog = nullptr);
// True when condition holds at once and keeps holding for the whole window:
// the way to see that something does NOT happen (a second box, a calculation).
bool staysTrue(const std::function<bool()>& condition, std::chrono::milliseconds window = 400ms,
               HWND dialog = nullptr);
// Handles this thread's waiting messages as waitFor does, once.
void pumpMessages(HWND dialog = nullptr);

// "/unix/path" -> "Z:\unix\path"; any other path is returned unchanged.
std::string toWindowsPath(const std::string& path);

// A started program. Ending the object ends the program if it still runs,
// and so does the end of the driver's own process.
class Program {
public:
    Program() = default;
    ~Program();
    Program(Program&& other) noexcept;
    Program& operator=(Program&& other) noexcept;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts exe (a Windows or Unix path). showCommand >= 0 is passed in the
    // start-up information (STARTF_USESHOWWINDOW), as a shell shortcut set to
    // "minimised" would. Unless waitIdle is false, returns once the program
    // waits for input (WaitForInputIdle) or after the default timeout.
    static Program launch(const std::string& exe, int showCommand = -1, const std::string& arguments = "",
                          bool waitIdle = true);

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return processId_; }
    bool running() const;
    // Waits for the process to end; false on timeout. exitCode receives the code.
    bool waitForExit(DWORD* exitCode, DWORD timeoutMs = DefaultTimeoutMs) const;
    // Ends the process at once (cleanup after a failed test).
    void kill();

private:
    HANDLE process_ = nullptr;
    HANDLE job_ = nullptr;
    DWORD processId_ = 0;
};

// Visible top-level windows of a process (all processes when processId is 0).
std::vector<HWND> topLevelWindows(DWORD processId = 0, bool visibleOnly = true);
// Waits for a visible top-level window of the process with this exact caption.
HWND waitForWindow(const std::string& caption, DWORD processId = 0, DWORD timeoutMs = DefaultTimeoutMs);

// Reading a window of another process.
HWND control(HWND dialog, int id);
std::string text(HWND window);          // WM_GETTEXT
std::string className(HWND window);
int checkState(HWND button);           // BM_GETCHECK: BST_UNCHECKED/CHECKED/INDETERMINATE
LONG style(HWND window);
LONG exStyle(HWND window);
int controlId(HWND window);
RECT windowRect(HWND window);          // screen coordinates
RECT clientRect(HWND window);          // (0, 0, width, height)
RECT rectInParent(HWND child);         // in the parent's client coordinates
std::vector<HWND> children(HWND parent);  // direct children in Z order (creation order)
// The keyboard focus and active window of the thread that owns window,
// read with GetGUIThreadInfo.
HWND focusedWindow(HWND anyWindowOfThread);
HWND activeWindow(HWND anyWindowOfThread);
// Id of the focused control, -1 when the focus is on no child of dialog.
int focusedControlId(HWND dialog);
std::string describe(const RECT& r);   // "(x, y, w x h)"

// Input, as a person gives it. Keys go to whichever window has the focus.
void keyDown(WORD vk);
void keyUp(WORD vk);
void pressKey(WORD vk);
// The same key press and release, sent without waiting for the window that
// takes it: for measuring how long the target itself takes to answer.
void sendKeyUnwaited(WORD vk);
// Holds the modifiers (VK_SHIFT, VK_CONTROL, VK_MENU) around one key.
void pressCombination(const std::vector<WORD>& modifiers, WORD vk);
// Types text as key strokes (ASCII through the keyboard layout, any other
// character as a Unicode key event).
void typeText(const std::string& text);
// Moves the pointer and waits until it is really there.
bool movePointer(int x, int y);
// Moves there (as movePointer) and clicks; false when the pointer did not
// get there (the click is sent all the same, with its own position).
bool clickAt(int x, int y, bool doubleClick = false);
void click(HWND window);               // the centre of its rectangle
// Moves there and clicks the right button (a context menu's click).
bool rightClickAt(int x, int y);
// Drags with the left button held from one screen point to another.
void drag(int fromX, int fromY, int toX, int toY);
// Waits until the process that owns window has handled its pending input
// and waits for more (WaitForInputIdle); false on timeout.
bool waitForIdle(HWND window, DWORD timeoutMs = DefaultTimeoutMs);
// Waits until the thread that owns window has handled the input sent so far
// and what it posted to itself while doing so; false when it does not answer
// within the timeout. Used after every stroke and click instead of a pause.
bool catchUp(HWND window, DWORD timeoutMs = DefaultTimeoutMs);
// Activates a top-level window and waits until it is the foreground window.
bool bringToFront(HWND window, DWORD timeoutMs = DefaultTimeoutMs);
// The middle of a part of a window's frame above its client area (HTCLOSE,
// HTCAPTION, ...), found with WM_NCHITTEST; false when the window has none.
bool findNonClientPart(HWND window, int hitCode, POINT* where);
// The left button alone, where movePointer last put the pointer (the event
// carries that position, so a late echo of an older one cannot move it).
void pressLeft();
void releaseLeft();

// Clipboard.
std::string clipboardText();           // CF_TEXT bytes, or "" when there is none
bool setClipboardText(const std::string& text);
std::vector<UINT> clipboardFormats();
bool clipboardHasFormat(UINT format);
// Who last changed the clipboard and what it holds, for a failure message:
// "clipboard 14, owner 'Class' of process 32 (this is 40), open by none,
// formats 1 7 13 16".
std::string clipboardReport();

}  // namespace ui
