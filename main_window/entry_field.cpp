#include "entry_field.h"

#include "main_window.h"

int32_t SuppressEnterAdvance = 0;

LRESULT CALLBACK entryFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    // Read before anything below can run the dialog's handlers: the dialog's
    // WM_DESTROY puts the previous procedure back and clears this slot.
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(field, GWLP_USERDATA));

    if (message == WM_KEYUP && wParam == VK_RETURN) {
        // "&Calc", "&Reset" or a help button handled the press and put the
        // focus where it belongs; the release must not move it on.
        if (SuppressEnterAdvance != 0) return 0;
        HWND focused = GetFocus();
        if (MainDialogHandle != nullptr && focused != nullptr && IsChild(MainDialogHandle, focused)) {
            HWND next = GetNextDlgTabItem(MainDialogHandle, focused, FALSE);
            if (next != nullptr) SetFocus(next);
        }
        // The focus move ran the dialog's handlers; the field may be gone.
        if (!IsWindow(field)) return 0;
    }

    if (previous == nullptr) return DefWindowProcA(field, message, wParam, lParam);
    return CallWindowProcA(previous, field, message, wParam, lParam);
}
