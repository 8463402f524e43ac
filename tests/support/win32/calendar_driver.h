// Helpers for the in-process calendar tests: run openCalendar with an action
// that runs inside its modal loop once the sheet has been painted, read the
// window's pixels, and see when input sent from a second thread (with the
// driver's movePointer, pressLeft, releaseLeft) has reached the calendar.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "calendar_state.h"
#include "ui_driver.h"

namespace caltest {

// Milliseconds since an arbitrary start, with sub-millisecond resolution.
double nowMs();

using ui::waitFor;

struct Opening {
    std::string result;        // what openCalendar returned
    bool actionRan = false;    // the sheet was painted and the action ran
    double returnedAtMs = 0;   // nowMs() when openCalendar returned
};

// Opens the calendar on `initial`; once the window is visible and painted,
// runs `action` on the calendar's thread, inside its modal loop. If the
// calendar is still open after the action and `closeAfter` is set, closes
// it with the close-box command. Gives up (and closes) after 20 s.
Opening runCalendar(int32_t initial, const std::function<void(HWND)>& action,
                    bool closeAfter = true);

// Lets the calendar's loop run (dispatching paints and notifications) for
// the current action: processes every waiting message of this thread.
void pump();

// 32-bit pixels of a DC area, top-down, as COLORREF-ordered RGB triples.
class Pixels {
public:
    Pixels() = default;
    static Pixels ofClient(HWND window);
    static Pixels ofDC(HDC dc, int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF at(int x, int y) const;
    bool isBlue(int x, int y) const { return at(x, y) == RGB(0, 0, 255); }
    // Pixels inside [x0, x1) x [y0, y1) that are pure blue.
    int blueIn(int x0, int y0, int x1, int y1) const;
    int blueTotal() const { return blueIn(0, 0, width_, height_); }
    int colourIn(COLORREF colour, int x0, int y0, int x1, int y1) const;
    int darkIn(int x0, int y0, int x1, int y1) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> bits_;
};

// Where a client point of the calendar is on the screen.
POINT clientToScreen(HWND window, int x, int y);

// Counts the messages of a kind that this thread's loop has taken out of
// its queue for a window (a WH_GETMESSAGE hook), so a second thread can
// wait until its input has reached the calendar.
class RetrievedMessages {
public:
    explicit RetrievedMessages(UINT message);
    ~RetrievedMessages();
    RetrievedMessages(const RetrievedMessages&) = delete;
    RetrievedMessages& operator=(const RetrievedMessages&) = delete;
    int count() const;
};

}  // namespace caltest
