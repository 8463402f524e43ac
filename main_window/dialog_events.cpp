// The main dialog's callback and the state of its validation cycle.
//
// Everything here runs on the one user-interface thread, and most of it runs
// nested inside itself: setting a field's text or moving the focus sends the
// change and focus notifications synchronously, so a WM_COMMAND handler is
// re-entered before it returns. The order of the steps below is what makes
// the outcome right; keep it when changing anything.
#include "dialog_events.h"

#include <array>
#include <iterator>
#include <span>
#include <string>

#include "calendar_window.h"
#include "date_text.h"
#include "entry.h"
#include "entry_field.h"
#include "numbers.h"
#include "research.h"
#include "shown_texts.h"
#include "win32_support.h"

int32_t PendingDateField = 0;
EntryCode EntryError = EntryCode::None;
MissingFact MissingPart = MissingFact::None;

namespace {

// The dialog's private guards against its own re-entry.
struct MainDialogState {
    // A box opened from a focus notification comes back: showing it takes
    // the focus from the control where it had just arrived, and the dialog's
    // reactivation by the focus return gives it back to that control before
    // it moves on. That renewed notification (and, for the other date field,
    // its kill-focus, which would clear EntryError) must not start the cycle
    // again, or every failure would open one box after another.
    bool focusReturnInProgress = false;
    // The calculation's error boxes are the system's modal ones, opened from
    // the BN_SETFOCUS of "&Calc"; when such a box closes "&Calc" gets the
    // focus back inside the call that opened it. One calculation at a time.
    bool calculationInProgress = false;
    // Set while a calendar button's press runs the calendar's own loop.
    bool calendarOpen = false;
};
MainDialogState DialogState;

constexpr int32_t StyleError = MB_ICONHAND;              // 16: stop icon, "&Ok"
constexpr int32_t StyleInformation = MB_ICONINFORMATION;  // 64: information icon, "&Ok"

constexpr const char* Version = QUILLARK_VERSION;  // from project() in CMakeLists.txt

// Help texts, one line per entry; blanks at either end belong to the text.
const char* const DateHelpLines[] = {
    " Enter event date as: ",
    "    mm/dd/yyyy",
    "    or mm/yyyy",
    "    or yyyy",
    "",
    " Some possible events include death, marriage, oath signing ",
    " enlistments, census year or census taker's date.",
    "",
    " The calendar button displays a 12 month calendar and the  ",
    " copy button (Cp) can be used to copy text to the clipboard.",
};
const char* const AgeHelpLines[] = {
    " Any combination of years, months, and days can be specified   ",
    "",
    " You may enter an age range such as 20-30 years,   ",
    " or -5 (for 5 and under), or 60+ (for 60 and over).",
};
const char* const AbbreviationHelpLines[] = {
    "Changes date format from numerical display to   ",
    "3-character month abbreviation, or visa versa   ",
    "e.g.,  Dec 07, 1941",
};
const char* const WeekDayHelpLines[] = {
    "show day of week with event and birth dates in brackets   ",
    "e.g.  Dec 07, 1941 [Su]   ",
};

// The text each "?" button shows.
struct HelpEntry {
    int32_t buttonId;
    std::span<const char* const> lines;
};
const HelpEntry HelpEntries[] = {
    {HelpEventButtonId, DateHelpLines},          {HelpAgeButtonId, AgeHelpLines},
    {HelpAbbreviateButtonId, AbbreviationHelpLines}, {HelpWeekDayButtonId, WeekDayHelpLines},
    {HelpBirthButtonId, DateHelpLines},
};

std::string joinLines(std::span<const char* const> lines) {
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

// What each per-field button serves.
struct FieldButtons {
    int32_t field;
    int32_t calendarButton;
    int32_t copyButton;
    int32_t helpButton;
};
constexpr std::array<FieldButtons, 2> DateFieldButtons{{
    {EventDateField, CalendarEventButtonId, CopyEventButtonId, HelpEventButtonId},
    {BirthDateField, CalendarBirthButtonId, CopyBirthButtonId, HelpBirthButtonId},
}};

constexpr std::array<int32_t, 5> EntryFields{EventDateField, YearsField, MonthsField, DaysField,
                                             BirthDateField};

HWND control(int32_t id) {
    if (MainDialogHandle == nullptr) return nullptr;
    return GetDlgItem(MainDialogHandle, id);
}

// "Focus to" a control: the dialog comes to the foreground and the control
// gets the keyboard focus. Id 0, or an id without a control, does nothing.
void focusTo(int32_t id) {
    if (id == 0) return;
    HWND target = control(id);
    if (target == nullptr) return;
    SetForegroundWindow(MainDialogHandle);
    SetFocus(target);
}

bool isDateField(int32_t id) { return id == EventDateField || id == BirthDateField; }

// The date field whose calendar, copy or help button `id` is; null for any
// other control.
const FieldButtons* buttonsOf(int32_t id) {
    for (const FieldButtons& buttons : DateFieldButtons) {
        if (id == buttons.calendarButton || id == buttons.copyButton || id == buttons.helpButton)
            return &buttons;
    }
    return nullptr;
}

bool isChecked(int32_t id) {
    HWND box = control(id);
    return box != nullptr && SendMessageA(box, BM_GETCHECK, 0, 0) != 0;
}

// "&Calc": the five fields as they stand (both dates already validated as
// the focus left them) through the research pipeline, in the window's own
// forms, the answer written back.
void calculateShownFields() {
    std::array<std::string, 5> texts;
    quillark::ResearchRequest request;
    for (size_t i = 0; i < EntryFields.size(); ++i) {
        texts[i] = controlText(EntryFields[i]);
        request.fields[i] = texts[i];
    }
    request.researcherForms = false;
    request.abbreviated = isChecked(AbbreviateOptionId);
    request.weekDay = isChecked(WeekDayOptionId);
    request.remembered = MissingPart;
    request.datesShown = true;
    // Its buffers are kept for the run; one calculation runs at a time.
    static quillark::ResearchPipeline pipeline;
    const EntryAnswer& answer = pipeline.answer(request).entry;
    MissingPart = answer.missing;
    EntryError = answer.calculationError;
    if (answer.box == EntryBox::None) {
        for (size_t i = 0; i < EntryFields.size(); ++i) {
            if ((answer.written & (1u << i)) == 0) continue;
            if (HWND field = control(EntryFields[i])) SetWindowTextA(field, answer.fields[i].c_str());
        }
        EntryError = answer.entryError;
        return;
    }
    // The system's own box, without owner: it is modal but leaves the dialog
    // usable, so the field of the remembered fact is shown again from what it
    // holds once the box has gone, not from what it held before.
    MessageBoxA(nullptr, std::string(answer.text).c_str(), std::string(answer.caption).c_str(), MB_OK | MB_ICONHAND);
    focusTo(EventDateField);
    if (MissingPart == MissingFact::EventDate) {
        formatDateField(EventDateField);
    } else if (MissingPart == MissingFact::BirthDate) {
        formatDateField(BirthDateField);
    }
}

void showIllegalDate(EntryCode code) {
    showMessageBox(std::string(illegalDateText(code)).c_str(), StyleError, IllegalDateCaption, 0, 0, 0);
}

// The "Illegal Date" box for a field that failed its check, then the focus
// back into that field; the focus coming back must not start the cycle again.
void returnToFailedField(int32_t field) {
    DialogState.focusReturnInProgress = true;
    showIllegalDate(EntryError);
    focusTo(field);
    DialogState.focusReturnInProgress = false;
}

// --- the groups of commands ---------------------------------------------

void onEntryGroup(HWND, int32_t id, int32_t code) {
    // 1. Leaving a date field.
    if (code == EN_KILLFOCUS && isDateField(id) && !DialogState.focusReturnInProgress) {
        EntryError = EntryCode::None;
        if (PendingDateField == 0) PendingDateField = id;
    }
    // 2. Validation on arrival.
    if ((code == EN_SETFOCUS || code == BN_SETFOCUS) && EntryError == EntryCode::None && PendingDateField != 0 &&
        PendingDateField != id && !DialogState.focusReturnInProgress) {
        formatDateField(PendingDateField);
        if (EntryError != EntryCode::None) {
            returnToFailedField(PendingDateField);
        } else {
            PendingDateField = 0;
        }
    }
    // 3. Option change: the check mark has already toggled.
    if ((id == AbbreviateOptionId || id == WeekDayOptionId) && code == BN_CLICKED && EntryError == EntryCode::None) {
        formatDateField(EventDateField);
        formatDateField(BirthDateField);
    }
    // 4. Calc acts when it receives the focus, after any validation above.
    if (id == CalcButtonId && code == BN_SETFOCUS && EntryError == EntryCode::None && !DialogState.calculationInProgress) {
        DialogState.calculationInProgress = true;
        calculateShownFields();
        DialogState.calculationInProgress = false;
    }
}

void onCalendarButton(HWND, int32_t id, int32_t) {
    const FieldButtons& buttons = *buttonsOf(id);
    int32_t start = calendarStartDate(controlText(buttons.field));
    if (DialogState.calendarOpen) {
        // The calendar runs its loop inside an earlier press; this press only
        // brings it to the front. Handing the focus back to the dialog now
        // would bury the calendar again behind the dialog.
        openCalendar(start);
        return;
    }
    DialogState.calendarOpen = true;
    std::string picked = openCalendar(start);
    DialogState.calendarOpen = false;
    // The calendar ran its own message loop; the dialog may be gone.
    if (MainDialogHandle == nullptr || !IsWindow(MainDialogHandle)) return;
    if (!picked.empty()) {
        if (HWND field = control(buttons.field)) SetWindowTextA(field, picked.c_str());
        focusTo(buttons.field);
    }
    focusTo(PendingDateField);
}

void onCopyButton(HWND, int32_t id, int32_t) {
    const FieldButtons& buttons = *buttonsOf(id);
    focusTo(buttons.field);
    std::string text = controlText(buttons.field);
    if (text.empty()) return;  // nothing copied, the clipboard stays as it was
    if (HWND field = control(buttons.field)) SendMessageA(field, EM_SETSEL, 0, -1);
    copyTextToClipboard(text.c_str());
}

void onHelpButton(HWND, int32_t id, int32_t) {
    showMessageBox(helpText(id).c_str(), StyleInformation, helpCaption().c_str(), 0, 0, 0);
    // The help box first, then the pending field, then the focus: the nested
    // EN_SETFOCUS then meets its own field pending and validates nothing.
    if (const FieldButtons* field = buttonsOf(id)) {
        const FieldButtons& buttons = *field;
        // The button makes its own field the pending one. The other date field,
        // if it was waiting, is validated first rather than forgotten: a
        // forgotten field would reach the calculation unchecked.
        const int32_t waiting = PendingDateField;
        if (waiting != 0 && waiting != buttons.field && EntryError == EntryCode::None) {
            formatDateField(waiting);
            if (EntryError != EntryCode::None) {
                returnToFailedField(waiting);
                return;
            }
        }
        PendingDateField = buttons.field;
        focusTo(buttons.field);
        return;
    }
    focusTo(PendingDateField);
}

void onReset(HWND, int32_t, int32_t) {
    for (int32_t id : EntryFields) {
        if (HWND field = control(id)) SetWindowTextA(field, "");
    }
    MissingPart = MissingFact::None;
    focusTo(EventDateField);
    for (int32_t id : {AbbreviateOptionId, WeekDayOptionId}) {
        if (HWND box = control(id)) SendMessageA(box, BM_SETCHECK, BST_UNCHECKED, 0);
    }
}

// The hidden focus sink passes the focus straight on to the event field.
void onFocusSink(HWND, int32_t, int32_t code) {
    if (code == EN_SETFOCUS) focusTo(EventDateField);
}

void onCancel(HWND dialog, int32_t, int32_t) {
    // The modal loop ends as soon as the dialog window is gone.
    DestroyWindow(dialog);
}

// Which handler serves which controls: ids firstId..lastId.
struct CommandRoute {
    int32_t firstId;
    int32_t lastId;
    void (*handle)(HWND dialog, int32_t id, int32_t code);
};
const CommandRoute CommandRoutes[] = {
    {FocusSinkId, FocusSinkId, onFocusSink},
    {EventDateField, CalcButtonId, onEntryGroup},  // the fields, the options and "&Calc"
    {CopyEventButtonId, CopyBirthButtonId, onCopyButton},
    {CalendarEventButtonId, CalendarBirthButtonId, onCalendarButton},
    {HelpEventButtonId, HelpBirthButtonId, onHelpButton},
    {ResetButtonId, ResetButtonId, onReset},
    {CancelButtonId, CancelButtonId, onCancel},
};

void onCommand(HWND dialog, int32_t id, int32_t code) {
    for (const CommandRoute& route : CommandRoutes) {
        if (id >= route.firstId && id <= route.lastId) {
            route.handle(dialog, id, code);
            return;
        }
    }
}

// Runs after every command, nested ones included, so that the outermost
// command decides.
void closingStep(int32_t id) {
    if (id == CalcButtonId || id == ResetButtonId) {
        SuppressEnterAdvance = 1;
        // A focused push button gets the default-button frame from the dialog
        // manager; these two must not look like the default.
        if (HWND button = control(id)) SendMessageA(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    } else if (id >= HelpEventButtonId && id <= HelpBirthButtonId) {
        SuppressEnterAdvance = 1;
    } else {
        SuppressEnterAdvance = 0;
    }
}

void onInitDialog(HWND dialog) {
    if (MainDialogHandle == nullptr) MainDialogHandle = dialog;
    for (int32_t id : EntryFields) {
        HWND field = GetDlgItem(dialog, id);
        if (field == nullptr) continue;
        // Never subclass twice: the saved procedure would then be our own.
        auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(field, GWLP_WNDPROC));
        if (current == entryFieldProc) continue;
        auto previous = SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entryFieldProc));
        SetWindowLongPtrA(field, GWLP_USERDATA, previous);
    }
    focusTo(EventDateField);
}

void onDestroy(HWND dialog) {
    // The fields are destroyed after their parent's WM_DESTROY, so they get
    // their own procedures back before their last messages.
    for (int32_t id : EntryFields) {
        HWND field = GetDlgItem(dialog, id);
        if (field == nullptr) continue;
        LONG_PTR previous = GetWindowLongPtrA(field, GWLP_USERDATA);
        if (previous == 0) continue;
        SetWindowLongPtrA(field, GWLP_WNDPROC, previous);
        SetWindowLongPtrA(field, GWLP_USERDATA, 0);
    }
    DialogState.focusReturnInProgress = false;
    DialogState.calculationInProgress = false;
}

}  // namespace

const std::string& helpText(int32_t helpButtonId) {
    // Joined once, on first use; the table does not change.
    static const auto texts = [] {
        std::array<std::string, std::size(HelpEntries)> joined;
        for (size_t i = 0; i < joined.size(); ++i) joined[i] = joinLines(HelpEntries[i].lines);
        return joined;
    }();
    static const std::string none;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (HelpEntries[i].buttonId == helpButtonId) return texts[i];
    }
    return none;
}
const std::string& helpCaption() {
    static const std::string text = std::string("Ver ") + Version;
    return text;
}

std::string controlText(int32_t id) { return readWindowText(control(id)); }

void formatDateField(int32_t fieldId) {
    EntryError = EntryCode::None;
    HWND field = control(fieldId);
    if (field == nullptr) return;
    FormattedDate result =
        formatDateText(controlText(fieldId), isChecked(AbbreviateOptionId), isChecked(WeekDayOptionId));
    EntryError = result.code;
    if (result.code == EntryCode::None) SetWindowTextA(field, result.text.c_str());
}

int32_t calendarStartDate(std::string_view fieldText) {
    std::string text(fieldText);
    size_t bracket = text.find('[');
    if (bracket != std::string::npos) text = std::string(trimBlanks(std::string_view(text).substr(0, bracket)));

    std::array<double, 3> pieces{};
    size_t count = 0;
    size_t start = 0;
    while (true) {
        size_t slash = text.find('/', start);
        std::string_view piece =
            std::string_view(text).substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (count < pieces.size()) pieces[count] = leadingValue(piece);
        ++count;
        if (slash == std::string::npos) break;
        start = slash + 1;
    }

    double value = 0.0;
    if (count == 1) {
        double year = roundHalfEven(pieces[0]);
        if (!(year >= FirstEntryYear && year <= LastEntryYear)) return 0;
        value = year * 10000.0;
    } else if (count == 2) {
        value = roundHalfEven(pieces[1] * 10000.0 + pieces[0] * 100.0);
    } else if (count == 3) {
        value = roundHalfEven(pieces[2] * 10000.0 + pieces[0] * 100.0 + pieces[1]);
    } else {
        return 0;
    }
    // A year outside 1..9999 (or a number beyond 32 bits) is no date at all.
    if (!(value >= 10000.0 && value <= 99999999.0)) return 0;
    return static_cast<int32_t>(value);
}

INT_PTR CALLBACK mainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    (void)lParam;
    switch (message) {
    case WM_INITDIALOG:
        onInitDialog(dialog);
        break;
    case WM_COMMAND: {
        const auto id = static_cast<int32_t>(LOWORD(wParam));
        const auto code = static_cast<int32_t>(HIWORD(wParam));
        onCommand(dialog, id, code);
        closingStep(id);
        break;
    }
    case WM_DESTROY:
        onDestroy(dialog);
        break;
    default:
        break;
    }
    return 0;
}
