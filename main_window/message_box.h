// The program's own message box: non-blocking, always on top, closed only by
// its buttons.
#pragma once

#include <windows.h>

#include "numbers.h"        // halfToEven, which centres the box
#include "win32_support.h"  // emptyDialogTemplate, which every box is built from

// Control ids inside a box.
enum MessageBoxControlId : int {
    BoxFirstButtonId = 9991,   // "&Yes" or "&Ok" of a two- or three-button set
    BoxSecondButtonId = 9992,  // "&No" or "&Cancel"
    BoxThirdButtonId = 9993,   // "Cancel" of the Yes/No/Cancel set
    BoxOkButtonId = 9994,      // the single "&Ok"
    BoxTextId = 9990,
    BoxIconId = 9995,
};

// Opens a box with text (lines separated by CR LF), a style in the encoding
// of the standard message box (button set in the low four bits, icon kind
// above) and a caption, and returns 0 at once while the box stays open. The
// box is owned by the calling thread's active window, if any, and is
// destroyed with it. beep != 0 plays the icon kind's sound; x or y != 0 puts
// the box there instead of centring it.
int showMessageBox(const char* text, int style, const char* caption, int beep, int x, int y);

// The box's callback.
INT_PTR CALLBACK messageBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam);

// The platform call through which a box gets the device context it measures
// its text in. Tests replace it to make it fail.
struct MessageBoxCalls {
    HDC(WINAPI* getDC)(HWND) = GetDC;
};

extern MessageBoxCalls MessageBoxPlatform;

