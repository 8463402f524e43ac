// The twelve-month calendar window, as the main window sees it.
#pragma once

#include <cstdint>
#include <string>

// Opens the "NNNN Calendar" window on the year of `initial` (a DateNumber,
// year * 10000 + month * 100 + day; 0 or a number without a year from 1 to
// 9999 opens on the current year) and runs it modally, dispatching the
// messages of every window of the thread, until it is gone. Returns the
// picked day as "mm/dd/yyyy", or the empty text when the window was closed
// without a pick. The caller owns the returned text.
//
// Only one calendar exists at a time: called while one is open (the main
// window stays enabled, so its other calendar button can be pressed), it
// brings the open calendar to the front and returns the empty text at once.
std::string openCalendar(int32_t initial);
