// Small Win32 pieces that the main window, the message box and the calendar
// share: the empty in-memory dialog template they are all built from, the
// text of a window, and the work area windows are placed in.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// An in-memory extended dialog template that holds no items: the given style,
// no extended style, an empty caption and the font "MS Sans Serif", 8 points,
// weight 400, not italic. The size is in dialog units; windows placed and
// sized in pixels afterwards leave it 0. The caller owns the words and keeps
// them alive until the dialog has been created.
std::vector<WORD> emptyDialogTemplate(DWORD style, short widthUnits = 0, short heightUnits = 0);

// The whole text of a window; empty when it has none or there is no window.
std::string readWindowText(HWND window);

// The desktop's work area as `query` (SystemParametersInfoA, or a test's
// stand-in) gives it; the screen's rectangle when it fails or gives an empty
// one, so that windows are still centred on something of real size.
using SystemParametersQuery = BOOL(WINAPI*)(UINT action, UINT number, PVOID value, UINT flags);
RECT workArea(SystemParametersQuery query = SystemParametersInfoA);
