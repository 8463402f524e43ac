// The program's own message box. It is built like the main dialog (an empty
// template, then child windows at pixel positions), sized from the text as
// measured in the box's own device context, placed over its owner, made
// topmost and shown without waiting: the call returns while the box stays.
#include "message_box.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "dpi_scale.h"

namespace {

struct BoxButton {
    int id;
    const char* text;
    int x;
    int width;
};

struct ButtonSet {
    int style;  // style modulo 16
    int count;
    BoxButton buttons[3];
    int defaultId;
    bool focusFirst;  // the keyboard focus starts on the first button
};

// Chosen by style modulo 16; the last row serves every other value, MB_OK
// included.
const ButtonSet ButtonSets[] = {
    {MB_YESNOCANCEL, 3, {{9991, "&Yes", 10, 60}, {9992, "&No", 75, 60}, {9993, "Cancel", 140, 60}}, 9991, true},
    {MB_YESNO, 2, {{9991, "&Yes", 10, 60}, {9992, "&No", 75, 60}, {}}, 9991, false},
    {MB_OKCANCEL, 2, {{9991, "&Ok", 10, 60}, {9992, "&Cancel", 75, 60}, {}}, 9991, false},
    {MB_OK, 1, {{9994, "&Ok", 30, 80}, {}, {}}, 9994, false},
};

struct IconKind {
    int style;         // style minus (style modulo 16)
    WORD systemIcon;   // the platform's standard icon of that kind
    UINT beep;
};

// The box asks for the system's standard icons by their OIC_* ids: Wine
// answers the numeric 103/102/101/104 ids with no module handle with nothing,
// the OIC_* ids give the same pictures on Windows and Wine.
const IconKind IconKinds[] = {
    {MB_ICONHAND, OIC_HAND, MB_ICONHAND},
    {MB_ICONQUESTION, OIC_QUES, MB_ICONQUESTION},
    {MB_ICONEXCLAMATION, OIC_BANG, MB_ICONEXCLAMATION},
    {MB_ICONINFORMATION, OIC_NOTE, MB_ICONINFORMATION},
};

const DWORD BoxStyle = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK;

const ButtonSet& buttonSetFor(int style) {
    const int set = style % 16;
    for (const ButtonSet& s : ButtonSets) {
        if (s.style == set) return s;
    }
    return ButtonSets[sizeof ButtonSets / sizeof ButtonSets[0] - 1];
}

const IconKind* iconKindFor(int style) {
    const int kind = style - style % 16;
    for (const IconKind& k : IconKinds) {
        if (k.style == kind) return &k;
    }
    return nullptr;
}

HWND createChild(HWND box, const char* className, const char* text, DWORD style, int x, int y,
                 int width, int height, int id) {
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                                 box, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    if (child != nullptr) SendMessageA(child, WM_SETFONT, SendMessageA(box, WM_GETFONT, 0, 0), TRUE);
    return child;
}

// The widest line of the text in pixels, and the number of lines. Measured
// in the device context's default font on purpose (not the dialog font): the
// box's size follows from that measure. That font does not grow with the
// resolution as the dialog font the text is shown in does, so away from
// 96 dpi each line is measured in both and the wider one counts: no line is
// cut off. Without a device context the lines are measured by the same
// font's average character width, so the box still shows its whole text.
// Yields the device context's resolution (96 without one).
int measureText(HWND box, const char* text, int& width, int& lines) {
    HDC dc = MessageBoxPlatform.getDC(box);
    const int averageWidth = LOWORD(GetDialogBaseUnits());
    const int dcDpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    const int dpi = dcDpi > 0 ? dcDpi : StandardDpi;
    HGDIOBJ shownFont = nullptr;
    if (dc != nullptr && dpi != StandardDpi) {
        shownFont = reinterpret_cast<HGDIOBJ>(SendMessageA(box, WM_GETFONT, 0, 0));
    }
    lines = 1;
    width = 0;
    for (const char* line = text;;) {
        const char* end = std::strstr(line, "\r\n");
        const size_t length = end != nullptr ? static_cast<size_t>(end - line) : std::strlen(line);
        SIZE extent{};
        if (dc != nullptr) {
            GetTextExtentPoint32A(dc, line, static_cast<int>(length), &extent);
        } else {
            extent.cx = static_cast<LONG>(std::min<size_t>(length, 1u << 20)) * averageWidth;
        }
        if (extent.cx > width) width = extent.cx;
        if (shownFont != nullptr) {
            HGDIOBJ defaultFont = SelectObject(dc, shownFont);
            GetTextExtentPoint32A(dc, line, static_cast<int>(length), &extent);
            SelectObject(dc, defaultFont);
            if (extent.cx > width) width = extent.cx;
        }
        if (end == nullptr) break;
        ++lines;
        line = end + 2;
    }
    if (dc != nullptr) ReleaseDC(box, dc);
    return dpi;
}

}  // namespace

MessageBoxCalls MessageBoxPlatform;

int showMessageBox(const char* text, int style, const char* caption, int beep, int x, int y) {
    if (text == nullptr) text = "";
    if (caption == nullptr) caption = "";
    HWND owner = GetActiveWindow();

    const std::vector<WORD> tmpl = emptyDialogTemplate(BoxStyle);
    // Created without a callback: messageBoxProc is attached once the box is
    // complete, so that its WM_INITDIALOG finds the buttons in place.
    HWND box = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                          reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), owner,
                                          nullptr, 0);
    if (box == nullptr) return 0;
    SetWindowTextA(box, caption);

    // Everything but the text is laid out in pixels of a 96-dpi display and
    // scaled to the display's resolution.
    int lines = 1;
    int textWidth = 0;
    const int dpi = measureText(box, text, textWidth, lines);
    auto px = [dpi](int pixels) { return scaleToDpi(pixels, dpi); };

    const int leftMargin = px(style > 6 ? 50 : 10);
    // A box without its text or a button to close it says nothing; should
    // one not be made, the system's own box says it instead.
    bool complete =
        createChild(box, "STATIC", text, SS_LEFT, leftMargin, px(5), textWidth, px(15 * lines), BoxTextId) != nullptr;

    const int boxWidth = std::max(px(220), leftMargin + textWidth + px(10));
    const int boxHeight = std::max(px(120), px(20 * lines + 55));
    const int buttonTop = boxHeight - px(70);
    const ButtonSet& set = buttonSetFor(style);
    for (int i = 0; i < set.count; ++i) {
        const BoxButton& b = set.buttons[i];
        const DWORD buttonStyle = b.id == set.defaultId ? BS_DEFPUSHBUTTON : (BS_PUSHBUTTON | WS_TABSTOP);
        const ScaledRect r = scaleRectToDpi(b.x, 0, b.width, 30, dpi);
        complete = createChild(box, "BUTTON", b.text, buttonStyle, r.x, buttonTop, r.width, r.height, b.id) != nullptr &&
                   complete;
    }
    if (!complete) {
        DestroyWindow(box);
        MessageBoxA(owner, text, caption, static_cast<UINT>(style));
        return 0;
    }
    SendMessageA(box, DM_SETDEFID, set.defaultId, 0);
    if (set.focusFirst) SetFocus(GetDlgItem(box, set.buttons[0].id));

    RECT reference{};
    if (owner != nullptr) {
        GetWindowRect(owner, &reference);
    } else {
        const RECT work = workArea();
        // Only the work area's size counts; it is taken as starting at the
        // screen's top-left corner.
        reference = {0, 0, work.right - work.left, work.bottom - work.top};
    }
    int boxX;
    int boxY;
    if (x != 0 || y != 0) {
        boxX = std::max(x, 0);
        boxY = std::max(y, 0);
    } else {
        const long long referenceWidth = reference.right - reference.left;
        const long long referenceHeight = reference.bottom - reference.top;
        boxX = static_cast<int>(halfToEven(2LL * reference.left + referenceWidth - boxWidth));
        boxY = static_cast<int>(halfToEven(2LL * reference.top + referenceHeight - boxHeight));
    }
    MoveWindow(box, boxX, boxY, boxWidth, boxHeight, TRUE);

    HWND icon = createChild(box, "STATIC", "", SS_ICON, px(10), px(5), 0, 0, BoxIconId);
    const IconKind* kind = iconKindFor(style);
    if (kind != nullptr) {
        // Shared system icons: never destroyed by the program.
        HANDLE image =
            LoadImageA(nullptr, MAKEINTRESOURCEA(kind->systemIcon), IMAGE_ICON, px(32), px(32), LR_SHARED);
        SendMessageA(icon, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(image));
    }
    if (beep != 0) MessageBeep(kind != nullptr ? kind->beep : 0);

    SetWindowLongPtrA(box, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(messageBoxProc));
    SendMessageA(box, WM_INITDIALOG, reinterpret_cast<WPARAM>(box), 0);
    ShowWindow(box, SW_SHOW);
    UpdateWindow(box);
    return 0;
}

INT_PTR CALLBACK messageBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        if (HWND first = GetDlgItem(box, BoxFirstButtonId)) {
            SendMessageA(first, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        }
        SetWindowPos(box, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        break;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC: {
        // The box and its text and icon are black on white. These two
        // messages are the only ones whose answer is not 0: a dialog
        // callback paints a background by returning the brush (a stock
        // object, so nothing to release).
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        (void)lParam;
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case BoxFirstButtonId:
        case BoxSecondButtonId:
        case BoxThirdButtonId:
        case BoxOkButtonId:
        case IDOK:
        case IDCANCEL:
            DestroyWindow(box);
            break;
        default:
            break;
        }
        break;
    default:
        break;
    }
    return 0;
}
