#include "dialog_events.h"

int32_t PendingDateField = 0;
int32_t SuppressEnterAdvance = 0;

INT_PTR CALLBACK mainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        // The modal loop ends as soon as the dialog window is gone.
        DestroyWindow(dialog);
    }
    return 0;
}
