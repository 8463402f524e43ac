// The answer's tooltip, the entry fields' context menu with its census days,
// and the system menu's additions. The dialog itself is left exactly as it
// is: the tooltip is made only once there is an answer to show, and the
// menus exist only while they are open.
#include "researcher_menus.h"

#include <commctrl.h>
#include <windowsx.h>

#include <array>
#include <cstdio>
#include <span>
#include <vector>

#include "dialog_events.h"
#include "dpi_scale.h"
#include "main_window.h"
#include "person_records.h"

const quillark::Census* EventCensus = nullptr;

namespace {

// The last answer, while it stands.
struct CitedAnswer {
    quillark::AnswerNotes notes;
    MissingFact fact = MissingFact::None;
};
CitedAnswer Cited;
HWND AnswerTip = nullptr;

constexpr std::array<int32_t, 5> EntryFieldIds{EventDateField, YearsField, MonthsField, DaysField, BirthDateField};

// The fields that show the computed fact: the tooltip is theirs.
std::span<const int32_t> computedFields(MissingFact fact) {
    static constexpr int32_t Event[] = {EventDateField};
    static constexpr int32_t Age[] = {YearsField, MonthsField, DaysField};
    static constexpr int32_t Birth[] = {BirthDateField};
    switch (fact) {
    case MissingFact::EventDate: return Event;
    case MissingFact::Age: return Age;
    case MissingFact::BirthDate: return Birth;
    case MissingFact::None: break;
    }
    return {};
}

bool optionChecked(int32_t id) {
    return MainDialogHandle != nullptr && IsDlgButtonChecked(MainDialogHandle, id) == BST_CHECKED;
}

int dialogDpi() {
    HDC dc = GetDC(MainDialogHandle);
    const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : StandardDpi;
    if (dc != nullptr) ReleaseDC(MainDialogHandle, dc);
    return dpi > 0 ? dpi : StandardDpi;
}

TTTOOLINFOA toolOf(HWND field) {
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = MainDialogHandle;
    tool.uId = reinterpret_cast<UINT_PTR>(field);
    return tool;
}

// Made on the first answer, not before: the dialog at rest owns no window
// it did not always have.
HWND answerTip() {
    if (AnswerTip != nullptr && IsWindow(AnswerTip)) return AnswerTip;
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    AnswerTip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, MainDialogHandle, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    if (AnswerTip == nullptr) return nullptr;
    // Several lines, and long enough to be read.
    SendMessageA(AnswerTip, TTM_SETMAXTIPWIDTH, 0, scaleToDpi(480, dialogDpi()));
    SendMessageA(AnswerTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, 30000);
    return AnswerTip;
}

void updateAnswerTip() {
    if (MainDialogHandle == nullptr) return;
    const std::string text = answerTipText();
    if (text.empty() && AnswerTip == nullptr) return;
    HWND tip = answerTip();
    if (tip == nullptr) return;
    for (int32_t id : EntryFieldIds) {
        TTTOOLINFOA tool = toolOf(GetDlgItem(MainDialogHandle, id));
        SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (text.empty()) return;
    for (int32_t id : computedFields(Cited.fact)) {
        TTTOOLINFOA tool = toolOf(GetDlgItem(MainDialogHandle, id));
        // Clicks on the tooltip reach the dialog beneath it.
        tool.uFlags |= TTF_TRANSPARENT;
        tool.lpszText = const_cast<char*>(text.c_str());  // copied by the tooltip
        SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// A value in a menu item: an ampersand is a letter, not a mnemonic.
std::string menuSafe(std::string_view text) {
    std::string safe;
    for (char c : text) {
        if (c == '&') safe.push_back('&');
        safe.push_back(c);
    }
    return safe;
}

void appendItem(HMENU menu, UINT item, const std::string& label, bool enabled) {
    AppendMenuA(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), item, label.c_str());
}

// "Census day" > country > year, in the census table's order.
HMENU buildCensusMenu() {
    HMENU censusMenu = CreatePopupMenu();
    const std::span<const quillark::Census> table = quillark::censusTable();
    HMENU country = nullptr;
    std::string_view countryName;
    for (size_t i = 0; i < table.size(); ++i) {
        const quillark::Census& census = table[i];
        if (country == nullptr || census.country != countryName) {
            country = CreatePopupMenu();
            countryName = census.country;
            AppendMenuA(censusMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(country), menuSafe(countryName).c_str());
        }
        char year[8];
        std::snprintf(year, sizeof year, "%d", static_cast<int>(yearOf(census.day)));
        AppendMenuA(country, MF_STRING | (EventCensus == &census ? MF_CHECKED : MF_UNCHECKED),
                    MenuCensus + static_cast<UINT>(i), year);
    }
    return censusMenu;
}

void appendAnswerItems(HMENU menu) {
    const quillark::AnswerNotes& notes = Cited.notes;
    const bool known = notes.known();
    const auto valued = [](const char* label, const std::string& value) {
        return value.empty() ? std::string(label) : std::string(label) + ": " + menuSafe(value);
    };
    appendItem(menu, MenuCopyGedcom7, valued("Copy GEDCOM &7", notes.gedcom7), known && !notes.gedcom7.empty());
    appendItem(menu, MenuCopyGedcom551, valued("Copy GEDCOM &5.5.1", notes.gedcom551),
               known && !notes.gedcom551.empty());
    const std::string ends = known ? quillark::windowEndsText(notes.earliest, notes.latest) : std::string();
    appendItem(menu, MenuCopyIsoWindow,
               valued(Cited.fact == MissingFact::Age ? "Copy age &window" : "Copy window as &ISO dates", ends),
               known);
    if (!known) return;
    appendItem(menu, MenuCopyWindowLine, valued("Copy answer in w&ords", notes.windowLine), true);
    for (size_t i = 0; i < notes.warnings.size(); ++i)
        appendItem(menu, MenuCopyWarning + static_cast<UINT>(i), valued("Copy warning", notes.warnings[i]), true);
}

void copyIfAny(const std::string& text) {
    if (!text.empty()) copyTextToClipboard(text.c_str());
}

}  // namespace

void noteAnswer(const quillark::AnswerNotes& notes, MissingFact fact) {
    Cited.notes = notes;
    Cited.fact = notes.known() ? fact : MissingFact::None;
    updateAnswerTip();
}

void forgetAnswer() {
    if (!Cited.notes.known()) return;
    Cited = {};
    updateAnswerTip();
}

std::string answerTipText() {
    const quillark::AnswerNotes& notes = Cited.notes;
    if (!notes.known()) return {};
    std::string text = notes.windowLine;
    if (!notes.gedcom7.empty()) text.append("\r\nGEDCOM 7: ").append(notes.gedcom7);
    for (const std::string& warning : notes.warnings) text.append("\r\n").append(warning);
    return text;
}

void relayToAnswerTip(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    if (AnswerTip == nullptr) return;
    MSG msg{field, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
    const DWORD pos = GetMessagePos();
    msg.pt = {GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
    SendMessageA(AnswerTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

void destroyAnswerTip() {
    if (AnswerTip != nullptr && IsWindow(AnswerTip)) DestroyWindow(AnswerTip);
    AnswerTip = nullptr;
    Cited = {};
    EventCensus = nullptr;
}

HMENU buildFieldMenu(HWND field) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return nullptr;
    // The edit control's own items, enabled as it enables them.
    DWORD start = 0, end = 0;
    SendMessageA(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool selection = start != end;
    const bool writable = (GetWindowLongA(field, GWL_STYLE) & ES_READONLY) == 0;
    const auto length = static_cast<DWORD>(GetWindowTextLengthA(field));
    appendItem(menu, MenuUndo, "&Undo", SendMessageA(field, EM_CANUNDO, 0, 0) != 0);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    appendItem(menu, MenuCut, "Cu&t", selection && writable);
    appendItem(menu, MenuCopy, "&Copy", selection);
    appendItem(menu, MenuPaste, "&Paste", writable && IsClipboardFormatAvailable(CF_TEXT));
    appendItem(menu, MenuDelete, "&Delete", selection && writable);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    appendItem(menu, MenuSelectAll, "Select &All", start != 0 || end != length);
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    appendAnswerItems(menu);
    if (GetDlgCtrlID(field) == EventDateField) {
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(buildCensusMenu()), "Ce&nsus day");
    }
    return menu;
}

void runFieldMenuItem(HWND field, UINT item) {
    const quillark::AnswerNotes& notes = Cited.notes;
    switch (item) {
    case MenuUndo: SendMessageA(field, WM_UNDO, 0, 0); return;
    case MenuCut: SendMessageA(field, WM_CUT, 0, 0); return;
    case MenuCopy: SendMessageA(field, WM_COPY, 0, 0); return;
    case MenuPaste: SendMessageA(field, WM_PASTE, 0, 0); return;
    case MenuDelete: SendMessageA(field, WM_CLEAR, 0, 0); return;
    case MenuSelectAll: SendMessageA(field, EM_SETSEL, 0, -1); return;
    case MenuCopyGedcom7: copyIfAny(notes.gedcom7); return;
    case MenuCopyGedcom551: copyIfAny(notes.gedcom551); return;
    case MenuCopyIsoWindow:
        if (notes.known()) copyIfAny(quillark::windowEndsText(notes.earliest, notes.latest));
        return;
    case MenuCopyWindowLine: copyIfAny(notes.windowLine); return;
    default: break;
    }
    if (item >= MenuCensus) {
        const std::span<const quillark::Census> table = quillark::censusTable();
        if (item - MenuCensus < table.size()) chooseEventCensus(&table[item - MenuCensus]);
        return;
    }
    if (item >= MenuCopyWarning && item - MenuCopyWarning < notes.warnings.size())
        copyIfAny(notes.warnings[item - MenuCopyWarning]);
}

void showFieldMenu(HWND field, LPARAM where) {
    // As the edit control's own menu does, the field takes the focus first;
    // when the focus does not stay (a pending date failed its check), the
    // menu is not for now.
    if (GetFocus() != field) SetFocus(field);
    if (GetFocus() != field) return;
    POINT at{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
    if (where == -1) {
        RECT r{};
        GetWindowRect(field, &r);
        at = {r.left, r.bottom};
    }
    HMENU menu = buildFieldMenu(field);
    if (menu == nullptr) return;
    const UINT item = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN |
                                                                  TPM_TOPALIGN, at.x, at.y, 0, GetParent(field),
                                                        nullptr));
    DestroyMenu(menu);
    if (item != 0 && IsWindow(field)) runFieldMenuItem(field, item);
}

void chooseEventCensus(const quillark::Census* census) {
    if (census == nullptr) return;
    char day[16];
    std::snprintf(day, sizeof day, "%02d/%02d/%04d", static_cast<int>(monthOf(census->day)),
                  static_cast<int>(dayOf(census->day)), static_cast<int>(yearOf(census->day)));
    const FormattedDate shown =
        formatDateText(day, optionChecked(AbbreviateOptionId), optionChecked(WeekDayOptionId));
    // The census day is a date like any typed one: the answer it leads to
    // is the next calculation's.
    forgetAnswer();
    writeFieldText(EventDateField, shown.code == EntryCode::None ? shown.text : std::string(day));
    EventCensus = census;
    if (HWND field = GetDlgItem(MainDialogHandle, EventDateField)) SendMessageA(field, EM_SETSEL, 0, -1);
}

void addResearcherSystemItems(HWND dialog) {
    HMENU system = GetSystemMenu(dialog, FALSE);
    if (system == nullptr) return;
    AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(system, MF_STRING, RecordsCommandId, "&Person's records\x85\tCtrl+R");
    AppendMenuA(system, MF_STRING, AboutCommandId, "About &Quillark\x85");
}

std::string aboutText() {
    return "Quillark " QUILLARK_VERSION "\r\n"
           "A small, fast date calculator for family-history research.\r\n"
           "Licence: MIT";
}

void showAbout() { showMessageBox(aboutText().c_str(), MB_ICONINFORMATION, "About Quillark", 0, 0, 0); }

HACCEL createMainAccelerators() {
    ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'R', RecordsCommandId}};
    return CreateAcceleratorTableA(keys, 1);
}
