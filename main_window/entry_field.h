// The window procedure of the five entry fields of the main dialog.
#pragma once

#include <windows.h>

#include <cstdint>

// 1 when the last command came from "&Calc", "&Reset" or a help button:
// those put the focus where it belongs themselves, so the Enter release that
// follows must not move it on. Set by the main dialog after every command.
extern int32_t SuppressEnterAdvance;

// Makes the release of Enter move the focus to the next tab stop of the main
// dialog (unless SuppressEnterAdvance says the last command chose the field
// itself), and passes every message on to the procedure the field had before,
// which the main dialog keeps in the field's GWLP_USERDATA.
LRESULT CALLBACK entryFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam);
