// The main window's public face: the dialog handle, the start-up entry, the
// dialog callback, and the two services the dialog offers its handlers (the
// program's own message box and the clipboard copy).
#pragma once

#include <windows.h>

#include <cstdint>

#include "calculation.h"
#include "clipboard.h"
#include "message_box.h"

// The main dialog; valid from the moment the dialog exists until the end of
// the run. Everything that reaches the controls goes through it.
extern HWND MainDialogHandle;

// Control ids of the main dialog. Labels and the "Age" frame are -1.
enum MainControlId : int32_t {
    FocusSinkId = 100,
    // The five entry fields, in the engine's field order.
    EventDateField = 101,
    YearsField = 102,
    MonthsField = 103,
    DaysField = 104,
    BirthDateField = 105,
    AbbreviateOptionId = 106,
    WeekDayOptionId = 107,
    CalcButtonId = 108,
    ResetButtonId = 111,
    CancelButtonId = IDCANCEL,
    CopyEventButtonId = 112,
    CopyBirthButtonId = 113,
    CalendarEventButtonId = 114,
    CalendarBirthButtonId = 115,
    HelpEventButtonId = 121,
    HelpAgeButtonId = 122,
    HelpAbbreviateButtonId = 123,
    HelpWeekDayButtonId = 124,
    HelpBirthButtonId = 125,
};

// Client area of the main dialog, in pixels of a 96-dpi display (scaled to
// the display's resolution like every control, see dpi_scale.h).
inline constexpr int MainClientWidth = 295;
inline constexpr int MainClientHeight = 385;

// The entry field of each of the engine's fields, and back.
constexpr int32_t fieldControlId(Field field) { return EventDateField + static_cast<int32_t>(fieldIndex(field)); }

// Builds the main dialog, runs it modally and returns 0 once it has ended.
// All four arguments are ignored; in particular the start-up show command is
// not used, the dialog always shows normally. When the dialog or one of its
// controls cannot be made, the user is told so in a box and the result is
// 1, the process's exit code.
int runMainWindow(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand);

// The main dialog's callback (dialog_events.cpp).
INT_PTR CALLBACK mainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
