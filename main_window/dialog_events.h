// Event handling of the main dialog: the validation cycle of the two date
// fields, the buttons, the options and the calculation trigger. The state
// below belongs to the main window and lives for the whole run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "calculation.h"
#include "date_text.h"
#include "entry_field.h"
#include "main_window.h"
#include "shown_texts.h"

// Id of the date field (101 or 105) whose text awaits validation; 0 = none.
extern int32_t PendingDateField;

// Why the last date field checked is no date; while it is not None the
// dialog neither validates, reformats nor calculates. Cleared when a date
// field loses the focus.
extern EntryCode EntryError;

// Which fact "&Calc" computes; None at start and after "&Reset".
extern MissingFact MissingPart;

// Help text of a "?" button (121 to 125), lines joined by CR LF; empty for
// any other id. The two date fields' buttons share one text.
const std::string& helpText(int32_t helpButtonId);
// "Ver 1.52", the caption of every help box.
const std::string& helpCaption();

// Validates date field 101 or 105 and rewrites it in the display form chosen
// by the check boxes 106 and 107. Leaves the answer's code in EntryError;
// on a nonzero code the field keeps what the user typed.
void formatDateField(int32_t fieldId);

// The DateNumber a calendar button starts the calendar on, from the text of
// its date field: 1941 -> 19410000, 05/1941 -> 19410500, 12/07/1941 (with or
// without a week-day tag) -> 19411207, anything that does not read as a
// date with a year of 1..9999 -> 0.
int32_t calendarStartDate(std::string_view fieldText);

// Writes an entry field's text as the program's own doing: unlike typing,
// it leaves the answer's notes and the event field's census standing.
void writeFieldText(int32_t fieldId, const std::string& text);

// Text of a control of the main dialog; empty when there is no such control.
std::string controlText(int32_t id);
