// Start-up and layout of the main dialog: the dialog window from an empty
// template, its 26 controls from one table, the exact client size, centring
// on the work area, and the modal loop.
#include <windows.h>

#include <vector>

#include "dpi_scale.h"
#include "main_window.h"
#include "records_window.h"
#include "researcher_menus.h"
#include "win32_support.h"
#include "shown_texts.h"

HWND MainDialogHandle = nullptr;

namespace {

struct MainControl {
    int id;  // -1 for labels and the frame, which are never addressed
    const char* className;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    const char* text;
    int x;
    int y;
    int width;
    int height;
};

const DWORD FieldStyle = WS_TABSTOP | ES_AUTOHSCROLL;
const DWORD PushStyle = WS_TABSTOP | BS_PUSHBUTTON;
const DWORD OptionStyle = WS_TABSTOP | BS_NOTIFY | BS_AUTOCHECKBOX;
const DWORD CalendarStyle = WS_TABSTOP | BS_BITMAP;

// Creation order, which is also the tab order of the WS_TABSTOP controls.
// The age controls sit on a grid from the frame's corner (40, 60); the
// "Date of event:" label deliberately reaches 20 pixels into its field.
const MainControl MainControls[] = {
    {FocusSinkId, "EDIT", FieldStyle, WS_EX_CLIENTEDGE, "", 0, 0, 0, 0},
    {-1, "STATIC", SS_LEFT, 0, FieldLabels[0], 10, 20, 90, 16},
    {EventDateField, "EDIT", FieldStyle, WS_EX_CLIENTEDGE, "", 80, 20, 120, 20},
    {-1, "BUTTON", BS_GROUPBOX, 0, "Age", 40, 60, 160, 140},
    {-1, "STATIC", SS_LEFT, 0, FieldLabels[1], 60, 90, 40, 16},
    {YearsField, "EDIT", FieldStyle, WS_EX_CLIENTEDGE, "", 105, 90, 70, 20},
    {-1, "STATIC", SS_LEFT, 0, FieldLabels[2], 60, 120, 40, 16},
    {MonthsField, "EDIT", FieldStyle, WS_EX_CLIENTEDGE, "", 105, 120, 70, 20},
    {-1, "STATIC", SS_LEFT, 0, FieldLabels[3], 60, 150, 40, 16},
    {DaysField, "EDIT", FieldStyle, WS_EX_CLIENTEDGE, "", 105, 150, 70, 20},
    {-1, "STATIC", SS_LEFT, 0, FieldLabels[4], 10, 230, 70, 16},
    {BirthDateField, "EDIT", FieldStyle, WS_EX_CLIENTEDGE, "", 80, 230, 120, 20},
    {CalcButtonId, "BUTTON", WS_TABSTOP | BS_NOTIFY | BS_PUSHBUTTON, 0, "&Calc", 56, 280, 60, 30},
    {ResetButtonId, "BUTTON", PushStyle, 0, "&Reset", 118, 280, 60, 30},
    {CancelButtonId, "BUTTON", PushStyle, 0, "C&ancel", 180, 280, 60, 30},
    {AbbreviateOptionId, "BUTTON", OptionStyle, 0, "Show month abbreviated", 56, 330, 150, 20},
    {WeekDayOptionId, "BUTTON", OptionStyle, 0, "Show week day", 56, 355, 150, 20},
    {CalendarEventButtonId, "BUTTON", CalendarStyle, 0, "", 215, 20, 20, 20},
    {CopyEventButtonId, "BUTTON", PushStyle, 0, "Cp", 240, 20, 20, 20},
    {HelpEventButtonId, "BUTTON", PushStyle, 0, "?", 265, 20, 20, 20},
    {CalendarBirthButtonId, "BUTTON", CalendarStyle, 0, "", 215, 230, 20, 20},
    {CopyBirthButtonId, "BUTTON", PushStyle, 0, "Cp", 240, 230, 20, 20},
    {HelpBirthButtonId, "BUTTON", PushStyle, 0, "?", 265, 230, 20, 20},
    {HelpAgeButtonId, "BUTTON", PushStyle, 0, "?", 220, 120, 20, 20},
    {HelpAbbreviateButtonId, "BUTTON", PushStyle, 0, "?", 220, 330, 20, 20},
    {HelpWeekDayButtonId, "BUTTON", PushStyle, 0, "?", 220, 355, 20, 20},
};
static_assert(sizeof MainControls / sizeof MainControls[0] == 26, "the main dialog has 26 controls");

// No WS_THICKFRAME and no WS_MAXIMIZEBOX: the dialog can be neither resized
// nor maximised.
const DWORD MainDialogStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT |
                              DS_NOFAILCREATE | DS_3DLOOK | DS_CENTER;

// The display's resolution as the dialog sees it: the system's, the program
// being DPI aware (its manifest says so); 96 when it cannot be read.
int displayDpi(HWND dialog) {
    HDC dc = GetDC(dialog);
    const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : StandardDpi;
    if (dc != nullptr) ReleaseDC(dialog, dc);
    return dpi > 0 ? dpi : StandardDpi;
}

// Outer size that gives the exact client area, measured on the window itself
// so that any caption height and border width works; then centred on the
// work area (not the screen), halves dropped.
void placeMainDialog(HWND dialog, int dpi) {
    RECT window{};
    RECT client{};
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const int width =
        scaleToDpi(MainClientWidth, dpi) + (window.right - window.left) - (client.right - client.left);
    const int height =
        scaleToDpi(MainClientHeight, dpi) + (window.bottom - window.top) - (client.bottom - client.top);
    const RECT work = workArea();
    const int x = (work.left + work.right - width) / 2;
    const int y = (work.top + work.bottom - height) / 2;
    SetWindowPos(dialog, nullptr, x, y, width, height, SWP_NOACTIVATE | SWP_NOZORDER);
}

// Creates the controls of the table, at the display's resolution, and keeps
// the calendar pictures it loaded in pictures; the buttons only borrow them,
// so they are deleted once the dialog is gone. False when a control cannot
// be made: a dialog without one of its fields or buttons is of no use.
bool createMainControls(HWND dialog, HINSTANCE module, int dpi, std::vector<HBITMAP>& pictures) {
    const WPARAM font = static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    for (const MainControl& c : MainControls) {
        const ScaledRect r = scaleRectToDpi(c.x, c.y, c.width, c.height, dpi);
        HWND control = CreateWindowExA(c.exStyle, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, r.x, r.y,
                                       r.width, r.height, dialog,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), module, nullptr);
        if (control == nullptr) return false;
        SendMessageA(control, WM_SETFONT, font, TRUE);
        if ((c.style & BS_BITMAP) != 0) {
            // 16 x 16 picture stretched to the button (20 x 20 at 96 dpi).
            HANDLE picture =
                LoadImageA(module, "calendar", IMAGE_BITMAP, r.width, r.height, LR_LOADMAP3DCOLORS);
            if (picture != nullptr) {
                pictures.push_back(static_cast<HBITMAP>(picture));
                SendMessageA(control, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture));
            }
        }
    }
    return true;
}

// Says, in the system's own box, that the program cannot start, and gives
// the exit code that says so too.
int cannotStart() {
    MessageBoxA(nullptr, "The Quillark window could not be created.", "Quillark", MB_OK | MB_ICONHAND);
    return 1;
}

// The first ShowWindow of a process may take the start-up show command
// (minimised, maximised, hidden) from the process's start-up information
// instead of its own argument. The dialog must always come up normally, so
// whatever that first call did is corrected at once.
void showMainDialog(HWND dialog) {
    ShowWindow(dialog, SW_SHOW);
    if (!IsWindowVisible(dialog) || IsIconic(dialog) || IsZoomed(dialog)) {
        ShowWindow(dialog, SW_SHOWNORMAL);
    }
}

}  // namespace

int runMainWindow(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showCommand) {
    (void)instance;
    (void)previous;
    (void)commandLine;
    (void)showCommand;
    HINSTANCE module = GetModuleHandleA(nullptr);

    const std::vector<WORD> tmpl = emptyDialogTemplate(MainDialogStyle);
    // Created without a callback: mainDialogProc first hears of the dialog
    // with WM_INITDIALOG, once every control exists.
    HWND dialog = CreateDialogIndirectParamA(module, reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), nullptr,
                                             nullptr, 0);
    if (dialog == nullptr) return cannotStart();
    MainDialogHandle = dialog;
    SetWindowTextA(dialog, "Quillark");
    const int dpi = displayDpi(dialog);
    placeMainDialog(dialog, dpi);
    std::vector<HBITMAP> pictures;
    if (!createMainControls(dialog, module, dpi, pictures)) {
        DestroyWindow(dialog);
        MainDialogHandle = nullptr;
        for (HBITMAP picture : pictures) DeleteObject(picture);
        return cannotStart();
    }

    SetWindowLongPtrA(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(mainDialogProc));
    SendMessageA(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
    RECT client{};
    GetClientRect(dialog, &client);
    SendMessageA(dialog, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    showMainDialog(dialog);

    // Modal loop. It blocks on GetMessageA rather than polling; the dialog
    // can only be destroyed by a message this loop dispatches, so checking
    // after each message is enough. Only the main dialog's messages go
    // through IsDialogMessageA: keys in a message box stay plain keys. The
    // records window, a dialog of its own, gets its keys the same way, and
    // Ctrl+R in the main dialog opens it.
    HACCEL accelerators = createMainAccelerators();
    MSG msg;
    while (IsWindow(dialog)) {
        const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        const bool inDialog = msg.hwnd == dialog || IsChild(dialog, msg.hwnd);
        if (inDialog && accelerators != nullptr && TranslateAcceleratorA(dialog, accelerators, &msg)) continue;
        if (recordsDialogMessage(&msg)) continue;
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (IsWindow(dialog)) DestroyWindow(dialog);
    if (accelerators != nullptr) DestroyAcceleratorTable(accelerators);
    for (HBITMAP picture : pictures) DeleteObject(picture);
    return 0;
}
