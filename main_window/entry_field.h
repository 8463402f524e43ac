// The window procedure of the five entry fields of the main dialog.
#pragma once

#include <windows.h>

// Makes the release of Enter move the focus to the next tab stop of the main
// dialog (unless SuppressEnterAdvance says the last command chose the field
// itself), and passes every message on to the procedure the field had before,
// which the main dialog keeps in the field's GWLP_USERDATA.
LRESULT CALLBACK entryFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam);
