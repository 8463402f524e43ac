// The twelve-month calendar window: a dialog built from an empty in-memory
// template, its century and year boxes, the sheet drawn with GDI, and the
// modal run that keeps every window of the program alive.
#include "calendar_window.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "numbers.h"
#include "calendar_state.h"
#include "date_text.h"
#include "drawing.h"
#include "month_model.h"
#include "win32_support.h"

CalendarState Calendar;
CalendarCalls CalendarPlatform;

namespace {

// Window and controls in dialog units of the dialog font.
constexpr short ClientWidthUnits = 470;
constexpr short ClientHeightUnits = 370;

struct ControlLayout {
    int32_t id;
    const char* className;
    const char* text;
    int x, y, width, height;
    DWORD style;
};

const std::array<ControlLayout, 4> CalendarControls = {{
    {CenturyLabelId, "STATIC", "Century: ", 100, 5, 50, 10, SS_RIGHT},
    {YearLabelId, "STATIC", "Year: ", 210, 5, 50, 10, SS_RIGHT},
    {CenturyBoxId, "COMBOBOX", "", 150, 5, 60, 60, CBS_DROPDOWNLIST | WS_VSCROLL},
    {YearBoxId, "COMBOBOX", "", 260, 5, 60, 224, CBS_DROPDOWN | WS_VSCROLL},
}};

constexpr std::array<int32_t, 5> CenturyItems = {1600, 1700, 1800, 1900, 2000};

// Posted to the open calendar by a second opening: brings it forward once
// more after the caller of that opening has finished (the main window moves
// its own focus back when a calendar call returns, which raises it).
constexpr UINT ComeForwardMessage = WM_APP + 1;

void comeForward(HWND window) {
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    BringWindowToTop(window);
}

void setTitle(HWND window) {
    const std::string title = yearText(Calendar.shownYear) + " Calendar";
    SetWindowTextA(window, title.c_str());
}

// Text of the selected item of a combo box; `found` tells whether one is
// selected.
std::string selectedItemText(HWND box, bool& found) {
    found = false;
    const LRESULT index = SendMessageA(box, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        return {};
    }
    const LRESULT length = SendMessageA(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length < 0) {
        return {};
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    if (copied == CB_ERR || copied < 0) {
        return {};
    }
    text.resize(static_cast<size_t>(copied));
    found = true;
    return text;
}

void repaintSheet(HWND window) {
    InvalidateRect(window, nullptr, TRUE);
}

void createControls(HWND window) {
    const HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const ControlLayout& layout : CalendarControls) {
        RECT r = {layout.x, layout.y, layout.x + layout.width, layout.y + layout.height};
        MapDialogRect(window, &r);
        const HWND control = CreateWindowExA(
            0, layout.className, layout.text, WS_CHILD | WS_VISIBLE | layout.style, r.left, r.top,
            r.right - r.left, r.bottom - r.top, window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(layout.id)), instance, nullptr);
        // Without one of its boxes the calendar still shows its sheet, picks
        // a day and closes; the missing box's messages go nowhere.
        if (control == nullptr) continue;
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont), FALSE);
    }
}

// Gives the window a client area of 470 x 370 dialog units, centred in the
// work area. The template cannot say so by itself: its style has no caption
// (the system adds one), so the frame computed from it leaves out the caption
// and the client area comes out short by that much, cutting off the last
// week lines of September to December.
void fitClientArea(HWND window) {
    RECT wanted = {0, 0, ClientWidthUnits, ClientHeightUnits};
    MapDialogRect(window, &wanted);
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    if (client.right == wanted.right && client.bottom == wanted.bottom) {
        return;
    }
    const int width = wanted.right + (outer.right - outer.left) - client.right;
    const int height = wanted.bottom + (outer.bottom - outer.top) - client.bottom;
    const RECT work = workArea();
    const int x = work.left + ((work.right - work.left) - width) / 2;
    const int y = work.top + ((work.bottom - work.top) - height) / 2;
    SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// At another resolution than 96 dpi the dialog units grow with the dialog
// font, which does not grow exactly as the resolution does, while the sheet
// is scaled from its 96-dpi pixels: the window is made large enough for the
// whole sheet (its widest week line and the last line of the last row, with
// a margin). Centred in the work area, but never with its caption above or
// left of it, so that it can still be moved where it does not fit.
void fitSheet(HWND window, int32_t dpi) {
    if (!Calendar.calendarDC || Calendar.cellWidth <= 0) {
        return;
    }
    const SheetMetrics& sheet = Calendar.sheet;
    SIZE line = {0, 0};
    GetTextExtentPoint32A(Calendar.calendarDC, WeekdayHeader.data(), static_cast<int>(WeekdayHeader.size()),
                          &line);
    const int margin = scaleToDpi(10, dpi);
    const int sheetWidth = (SheetColumns - 1) * sheet.columnPitch + sheet.textInset + line.cx + margin;
    const int sheetHeight =
        sheet.topMargin + 2 * sheet.rowPitch + sheet.headerTop + 6 * sheet.weekPitch + line.cy + margin;
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    if (client.right >= sheetWidth && client.bottom >= sheetHeight) {
        return;
    }
    const int width = std::max<int>(client.right, sheetWidth) + (outer.right - outer.left) - client.right;
    const int height = std::max<int>(client.bottom, sheetHeight) + (outer.bottom - outer.top) - client.bottom;
    const RECT work = workArea();
    const int x = std::max<int>(work.left, work.left + ((work.right - work.left) - width) / 2);
    const int y = std::max<int>(work.top, work.top + ((work.bottom - work.top) - height) / 2);
    SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void openingStep(HWND window, DateNumber initial) {
    Calendar.calendarHandle = window;
    Calendar.windowAlive = true;
    Calendar.paintCount = 0;
    // A pick belongs to the opening it was made in; a release that reaches
    // a new calendar without a press in it must not return an old day.
    Calendar.pickedDate = 0;
    fitClientArea(window);
    createControls(window);

    const HWND centuryBox = GetDlgItem(window, CenturyBoxId);
    const HWND yearBox = GetDlgItem(window, YearBoxId);
    for (int32_t century : CenturyItems) {
        const std::string text = yearText(century);
        SendMessageA(centuryBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SetForegroundWindow(window);
    SetFocus(yearBox);

    // Failures here leave the window without fonts or without a DC; drawing
    // through a null DC does nothing and an unmeasured grid hits no day, so
    // the window still opens, shows its boxes and closes cleanly.
    Calendar.calendarDC = CalendarPlatform.getDC(window);
    Calendar.gridFont = makeFont(Calendar.calendarDC, "Courier New", 9, "");
    Calendar.headingFont = makeFont(Calendar.calendarDC, "MS Sans Serif", 10, "b");
    Calendar.savedFont = nullptr;
    if (Calendar.calendarDC) {
        // Without a grid font the DC's own font is still the one to put
        // back: painting selects the heading font too, and a font left
        // selected in a DC cannot be deleted.
        Calendar.savedFont =
            Calendar.gridFont
                ? static_cast<HFONT>(SelectObject(Calendar.calendarDC, Calendar.gridFont))
                : static_cast<HFONT>(GetCurrentObject(Calendar.calendarDC, OBJ_FONT));
    }
    // The sheet is laid out in pixels of a 96-dpi display, scaled to the
    // display's resolution like the fonts, which makeFont sizes from it.
    const int32_t dpi = Calendar.calendarDC ? GetDeviceCaps(Calendar.calendarDC, LOGPIXELSY) : StandardDpi;
    Calendar.sheet = sheetMetrics(dpi);
    Calendar.cellWidth = 0;
    SIZE spaces = {0, 0};
    if (Calendar.calendarDC && GetTextExtentPoint32A(Calendar.calendarDC, "   ", 3, &spaces)) {
        Calendar.cellWidth = spaces.cx;
    }
    if (dpi != StandardDpi) {
        fitSheet(window, dpi);
    }

    if (isUsableDateNumber(initial)) {
        const DateNumberParts parts = splitDateNumber(initial);
        Calendar.shownYear = parts.year;
        Calendar.givenMonth = parts.month;
        Calendar.givenDay = parts.day;
        Calendar.selectedCentury = (parts.year / 100) * 100;
        const int32_t item = parts.year / 100 - 16;
        SendMessageA(centuryBox, CB_SETCURSEL,
                     static_cast<WPARAM>(item >= 0 && item < static_cast<int32_t>(CenturyItems.size())
                                             ? item
                                             : -1),
                     0);
        SetWindowTextA(yearBox, yearText(parts.year).c_str());
    } else {
        SYSTEMTIME now;
        GetLocalTime(&now);
        Calendar.shownYear = now.wYear;
        Calendar.givenMonth = 0;
        Calendar.givenDay = 0;
        // Putting the focus into the year box above refilled its list from
        // the century of an earlier opening and selected that opening's
        // year; without a date the box must not claim a year the sheet
        // does not show.
        SendMessageA(yearBox, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        SetWindowTextA(yearBox, "");
    }
    setTitle(window);
}

void releaseResources() {
    if (Calendar.calendarDC) {
        if (Calendar.savedFont) {
            SelectObject(Calendar.calendarDC, Calendar.savedFont);
        }
    }
    if (Calendar.gridFont) {
        DeleteObject(Calendar.gridFont);
    }
    if (Calendar.headingFont) {
        DeleteObject(Calendar.headingFont);
    }
    if (Calendar.calendarDC) {
        CalendarPlatform.releaseDC(Calendar.calendarHandle, Calendar.calendarDC);
    }
    // The handles are dead now; clearing them keeps a stray draw after the
    // close from reaching a deleted font or a DC handed back to the system.
    Calendar.calendarDC = nullptr;
    Calendar.gridFont = nullptr;
    Calendar.headingFont = nullptr;
    Calendar.savedFont = nullptr;
    Calendar.windowAlive = false;
}

void endCalendar(HWND window, DateNumber result) {
    Calendar.result = result;
    DestroyWindow(window);
}

void onYearFocus(HWND yearBox) {
    if (Calendar.selectedCentury <= 0) {
        return;
    }
    SendMessageA(yearBox, CB_RESETCONTENT, 0, 0);
    for (int32_t year = Calendar.selectedCentury; year <= Calendar.selectedCentury + 99; ++year) {
        const std::string text = yearText(year);
        SendMessageA(yearBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    const int32_t item = Calendar.shownYear - Calendar.selectedCentury;
    SendMessageA(yearBox, CB_SETCURSEL, static_cast<WPARAM>(item >= 0 && item <= 99 ? item : -1), 0);
}

void onYearChosen(HWND window, HWND yearBox) {
    bool found = false;
    const std::string text = selectedItemText(yearBox, found);
    Calendar.shownYear = found ? leadingNumber(text) : 0;
    setTitle(window);
    repaintSheet(window);
}

void onYearTyped(HWND window, HWND yearBox) {
    bool found = false;
    std::string text = selectedItemText(yearBox, found);
    if (!found) {
        text = readWindowText(yearBox);
    }
    const double value = leadingValue(text);
    if (!(value >= FirstEntryYear && value <= LastEntryYear)) {
        return;
    }
    Calendar.shownYear = leadingNumber(text);
    const int32_t century = (Calendar.shownYear / 100) * 100;
    const std::string centuryText = yearText(century);
    const LRESULT selected = SendMessageA(GetDlgItem(window, CenturyBoxId), CB_SELECTSTRING,
                                          static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(centuryText.c_str()));
    if (selected != CB_ERR) {
        Calendar.selectedCentury = century;
    }
    setTitle(window);
    repaintSheet(window);
}

void onCommand(HWND window, int32_t id, int32_t code, HWND control) {
    if (id == CenturyBoxId) {
        bool found = false;
        const std::string text = selectedItemText(control, found);
        Calendar.selectedCentury = found ? leadingNumber(text) : 0;
        return;
    }
    if (id != YearBoxId) {
        return;
    }
    switch (code) {
    case CBN_SETFOCUS:
        onYearFocus(control);
        break;
    case CBN_SELENDOK:
        onYearChosen(window, control);
        break;
    case CBN_EDITCHANGE:
        onYearTyped(window, control);
        break;
    default:
        break;
    }
}

}  // namespace

void drawCalendar(int32_t year, int32_t month, int32_t day) {
    // The last highlight stays where it was when this sheet marks no day: a
    // press then puts that spot back to plain, as it always has.
    if (const std::optional<PixelPoint> marked = drawSheet(Calendar, year, month, day)) {
        Calendar.highlightX = marked->x;
        Calendar.highlightY = marked->y;
    }
}

INT_PTR CALLBACK calendarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        openingStep(window, static_cast<DateNumber>(lParam));
        return 0;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    case WM_CTLCOLORSTATIC: {
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
        if (id != CenturyLabelId && id != YearLabelId) {
            return 0;
        }
        const HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    }
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(window, &paint);
        drawCalendar(Calendar.shownYear, Calendar.givenMonth, Calendar.givenDay);
        EndPaint(window, &paint);
        ++Calendar.paintCount;
        if (CalendarPlatform.painted) {
            CalendarPlatform.painted(window);
        }
        return 0;
    }
    case WM_COMMAND:
        onCommand(window, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_LBUTTONDOWN: {
        const int32_t x = LOWORD(lParam);
        const int32_t y = HIWORD(lParam);
        if (Calendar.highlightX != 0 && Calendar.highlightY != 0) {
            markDay(Calendar.shownYear, Calendar.highlightX, Calendar.highlightY, MarkMode::Plain);
        }
        Calendar.pickedDate = markDay(Calendar.shownYear, x, y, MarkMode::Highlighted);
        // Only a four-digit year gives an eight-digit number whose text is
        // mm/dd/yyyy; a day of the year 0 (shown after an empty list choice)
        // would come back as "/05/305". Such a day is marked but not picked.
        if (Calendar.shownYear < 1000 || Calendar.shownYear > LastYear) {
            Calendar.pickedDate = 0;
        }
        return 0;
    }
    case WM_LBUTTONUP:
        if (Calendar.pickedDate != 0) {
            // Long enough for the picked day to be seen highlighted.
            Sleep(100);
            endCalendar(window, Calendar.pickedDate);
        }
        return 0;
    case WM_SYSCOMMAND:
        // Every system command ends the calendar, even a move by the caption.
        // The window is gone afterwards, so there is nothing left for the
        // default processing to do.
        endCalendar(window, 0);
        return TRUE;
    case ComeForwardMessage:
        comeForward(window);
        return 0;
    case WM_DESTROY:
        releaseResources();
        return 0;
    default:
        return 0;
    }
}

std::string openCalendar(int32_t initial) {
    if (Calendar.windowAlive) {
        // The single state belongs to the open calendar; show it instead.
        const HWND open = Calendar.calendarHandle;
        comeForward(open);
        PostMessageA(open, ComeForwardMessage, 0, 0);
        return {};
    }
    // No items, sizes in dialog units, centred because no position is given.
    // Neither WS_POPUP nor WS_CHILD, so the window gets a caption (with the
    // close box); its title is set once the year is known.
    static const std::vector<WORD> dialogTemplate =
        emptyDialogTemplate(WS_SYSMENU | DS_SETFONT | DS_3DLOOK | DS_NOFAILCREATE | DS_CENTER,
                            ClientWidthUnits, ClientHeightUnits);
    Calendar.result = 0;
    const HWND window = CreateDialogIndirectParamA(
        GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()),
        nullptr, calendarProc, static_cast<LPARAM>(initial));
    if (!window) {
        return {};
    }
    ShowWindow(window, SW_SHOWNORMAL);
    bool quit = false;
    WPARAM quitCode = 0;
    while (Calendar.windowAlive && IsWindow(window)) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            // The queue is empty: sleep until anything arrives for the
            // thread (posted, sent, input, paint, timer), rather than waking
            // every millisecond to look. Should the wait itself fail, a short
            // pause keeps the loop from spinning.
            const DWORD woken = MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT,
                                                            MWMO_INPUTAVAILABLE);
            if (woken == WAIT_FAILED) Sleep(1);
            continue;
        }
        if (msg.message == WM_QUIT) {
            // The program is ending: close the calendar without a pick and
            // leave the quit request for the loop that owns it.
            quit = true;
            quitCode = msg.wParam;
            Calendar.result = 0;
            DestroyWindow(window);
            break;
        }
        if (!IsDialogMessageA(window, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    if (quit) {
        PostQuitMessage(static_cast<int>(quitCode));
    }
    if (Calendar.result == 0) {
        return {};
    }
    return dateNumberToText(Calendar.result);
}
