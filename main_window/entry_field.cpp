#include "entry_field.h"

#include "main_window.h"
#include "researcher_menus.h"

namespace {

// The keys that ask for a context menu: Shift+F10 and the menu key.
bool isMenuKey(UINT message, WPARAM key) {
    const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
    const bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
    if (!down && !up) return false;
    return key == VK_APPS || (key == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000) != 0);
}

// Set when a context menu closed while Enter was down: the key chose an
// item, and its release must not move the focus on as well.
bool MenuTookEnter = false;

void showMenu(HWND field, LPARAM where) {
    showFieldMenu(field, where);
    MenuTookEnter = GetKeyState(VK_RETURN) < 0;
}

}  // namespace

int32_t SuppressEnterAdvance = 0;

LRESULT CALLBACK entryFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    // Read before anything below can run the dialog's handlers: the dialog's
    // WM_DESTROY puts the previous procedure back and clears this slot.
    auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(field, GWLP_USERDATA));

    if ((message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) || message == WM_MOUSELEAVE)
        relayToAnswerTip(field, message, wParam, lParam);
    // The field's own menu, with the researchers' items, in place of the
    // edit control's; keys that ask for it are not passed on, or the edit
    // control would open its own as well.
    if (message == WM_CONTEXTMENU) {
        showMenu(field, lParam);
        return 0;
    }
    if (isMenuKey(message, wParam)) {
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) showMenu(field, -1);
        return 0;
    }
    if (message == WM_KEYUP && wParam == VK_RETURN && MenuTookEnter) {
        MenuTookEnter = false;
        return 0;
    }

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
