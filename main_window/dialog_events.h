// Event handling of the main dialog: the validation cycle of the two date
// fields, the buttons, the options and the calculation trigger. The state
// below belongs to the main window and lives for the whole run.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

// Id of the date field (101 or 105) whose text awaits validation; 0 = none.
extern int32_t PendingDateField;
// 1 when the last command came from "&Calc", "&Reset" or a help button; read
// by the entry fields to swallow the Enter release that follows.
extern int32_t SuppressEnterAdvance;

INT_PTR CALLBACK mainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
