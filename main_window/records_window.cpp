// The records window. One dialog, three pieces: its state (Records), its
// callback (recordsProc) and the public functions that open and drive it.
// It is a dialog of its own, modeless and owned by the main dialog, so the
// dialog manager gives it Tab, mnemonics, Enter and Esc; the main loop hands
// its messages to recordsDialogMessage.
#include "records_window.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "dialog_events.h"
#include "dpi_scale.h"
#include "main_window.h"
#include "person_records.h"
#include "records_file.h"
#include "records_timeline.h"
#include "researcher_menus.h"
#include "win32_support.h"

HWND RecordsWindowHandle = nullptr;

namespace {

bool chooseFile(HWND owner, std::string& path, bool save);
bool chooseOpenFile(HWND owner, std::string& path) { return chooseFile(owner, path, false); }
bool chooseSaveFile(HWND owner, std::string& path) { return chooseFile(owner, path, true); }

}  // namespace

RecordsWindowCalls RecordsPlatform{MessageBoxA, chooseOpenFile, chooseSaveFile};

bool isFileDialog(HWND window) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    return std::strcmp(className, "#32770") == 0 && (GetDlgItem(window, cmb13) || GetDlgItem(window, edt1));
}

namespace {

// How an in-place edit ends.
enum class EditEnd {
    Commit,     // Enter or Tab: the entry is checked, and refused with a box
    Cancel,     // Esc: the cell keeps its text
    FocusLost,  // the focus went elsewhere: what was typed is kept whatever it is
};

struct RecordsState {
    std::string person;
    std::vector<quillark::PersonRecord> records;
    quillark::PersonRecordsAnswer answer;
    TimelineInput timeline;
    std::string file;          // the file last opened or saved; empty for none
    bool changed = false;      // since the last save or open
    bool settingPerson = false;  // the program fills the person field
    int dpi = StandardDpi;
    // The in-place editor, while a cell is being typed into.
    HWND editor = nullptr;
    size_t editRow = 0;
    int editColumn = 0;
    WPARAM editGeneration = 0;  // tells a late focus-loss notice from a current one
    bool editorChecking = false;
};
RecordsState Records;

constexpr UINT FinishEditMessage = WM_APP + 1;
constexpr const char* TimelineClass = "QuillarkTimeline";
// Larger files are no one person's records.
constexpr size_t MaxFileBytes = size_t{16} << 20;

struct RecordsControl {
    int id;
    const char* className;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    const char* text;
    int x, y, width, height;  // pixels at 96 dpi
};

const DWORD RecordsPushStyle = WS_TABSTOP | BS_PUSHBUTTON;
// Creation order is the tab order.
const RecordsControl RecordsControls[] = {
    {RecordsPersonLabelId, "STATIC", SS_LEFT, 0, "&Person:", 10, 13, 50, 16},
    {RecordsPersonId, "EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, "", 62, 10, 220, 20},
    {RecordsListId, WC_LISTVIEWA, WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL, WS_EX_CLIENTEDGE, "",
     10, 38, 620, 160},
    {RecordsAddId, "BUTTON", RecordsPushStyle, 0, "&Add from calculator", 10, 204, 130, 24},
    {RecordsEditId, "BUTTON", RecordsPushStyle, 0, "&Edit", 145, 204, 70, 24},
    {RecordsRemoveId, "BUTTON", RecordsPushStyle, 0, "Re&move", 220, 204, 70, 24},
    {RecordsUpId, "BUTTON", RecordsPushStyle, 0, "Move &up", 295, 204, 75, 24},
    {RecordsDownId, "BUTTON", RecordsPushStyle, 0, "Move &down", 375, 204, 80, 24},
    {RecordsTimelineId, TimelineClass, 0, WS_EX_CLIENTEDGE, "", 10, 236, 620, 120},
    {RecordsSummaryId, "STATIC", SS_LEFT | SS_NOPREFIX, 0, "", 10, 364, 620, 48},
    {RecordsCopy7Id, "BUTTON", RecordsPushStyle, 0, "Copy GEDCOM &7", 10, 418, 130, 24},
    {RecordsCopy551Id, "BUTTON", RecordsPushStyle, 0, "Copy GEDCOM &5.5.1", 145, 418, 140, 24},
    {RecordsOpenId, "BUTTON", RecordsPushStyle, 0, "&Open\x85", 400, 418, 70, 24},
    {RecordsSaveId, "BUTTON", RecordsPushStyle, 0, "&Save\x85", 475, 418, 70, 24},
    {RecordsCloseId, "BUTTON", RecordsPushStyle, 0, "Close", 550, 418, 80, 24},
};
constexpr int RecordsClientWidth = 640;
constexpr int RecordsClientHeight = 452;

struct ColumnHeading {
    const char* text;
    int width;  // pixels at 96 dpi
};
const ColumnHeading ColumnHeadings[RecordColumnCount] = {
    {"#", 28},      {"Label", 110}, {"Event date", 80}, {"Census", 60},        {"Years", 45},
    {"Months", 50}, {"Days", 40},   {"Birth", 85},      {"Birth window", 160}, {"Note", 260},
};

const DWORD RecordsStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK;

HWND item(int id) { return RecordsWindowHandle != nullptr ? GetDlgItem(RecordsWindowHandle, id) : nullptr; }

// The record's field shown in an editable column.
template <class Record>
auto fieldOf(Record& record, int column) -> decltype(&record.label) {
    switch (column) {
    case LabelColumn: return &record.label;
    case EventColumn: return &record.event;
    case CensusColumn: return &record.census;
    case YearsColumn: return &record.years;
    case MonthsColumn: return &record.months;
    case DaysColumn: return &record.days;
    default: return nullptr;
    }
}

void showError(const std::string& text, const char* caption) {
    showMessageBox(text.c_str(), MB_ICONHAND, caption, 0, 0, 0);
}

// The box a refused record gets: the dialog's "Illegal Date" box for a date,
// the census's own reason for a census.
void showRefusal(const quillark::RecordAnswer& answer) {
    if (answer.outcome == quillark::ResearchOutcome::IllegalDate) {
        showError(std::string(illegalDateText(answer.entryError)), IllegalDateCaption);
        return;
    }
    constexpr std::string_view Prefix = "Census error: ";
    std::string_view text = answer.problem;
    if (text.substr(0, Prefix.size()) == Prefix) text.remove_prefix(Prefix.size());
    showError(std::string(text), "Census error");
}

bool refused(const quillark::RecordAnswer& answer) {
    return answer.outcome == quillark::ResearchOutcome::IllegalDate ||
           answer.outcome == quillark::ResearchOutcome::CensusError;
}

int selectedRow() {
    HWND list = item(RecordsListId);
    return list != nullptr ? static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED))
                           : -1;
}

void selectRow(int row) {
    HWND list = item(RecordsListId);
    if (list == nullptr || row < 0) return;
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

void updateButtons() {
    const int row = selectedRow();
    const int count = static_cast<int>(Records.records.size());
    const auto enable = [](int id, bool on) {
        if (HWND button = item(id)) EnableWindow(button, on ? TRUE : FALSE);
    };
    enable(RecordsEditId, row >= 0);
    enable(RecordsRemoveId, row >= 0);
    enable(RecordsUpId, row > 0);
    enable(RecordsDownId, row >= 0 && row + 1 < count);
    enable(RecordsCopy7Id, !Records.answer.gedcom7.empty());
    enable(RecordsCopy551Id, !Records.answer.gedcom551.empty());
}

// Works everything out again and shows it: the list, the summary, the
// timeline, the buttons.
void refresh() {
    Records.answer = quillark::answerPersonRecords(Records.records);
    Records.timeline = timelineInput(Records.answer);
    if (RecordsWindowHandle == nullptr) return;
    HWND list = item(RecordsListId);
    const int selected = selectedRow();
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t row = 0; row < Records.records.size(); ++row) {
        for (int column = 0; column < RecordColumnCount; ++column) {
            const std::string text = recordCellText(row, column);
            LVITEMA cell{};
            cell.mask = LVIF_TEXT;
            cell.iItem = static_cast<int>(row);
            cell.iSubItem = column;
            cell.pszText = const_cast<char*>(text.c_str());
            SendMessageA(list, column == 0 ? LVM_INSERTITEMA : LVM_SETITEMTEXTA, row,
                         reinterpret_cast<LPARAM>(&cell));
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    selectRow(std::min(selected, static_cast<int>(Records.records.size()) - 1));
    SetWindowTextA(item(RecordsSummaryId), recordsSummaryText().c_str());
    InvalidateRect(item(RecordsTimelineId), nullptr, FALSE);
    updateButtons();
}

// Ends a pending in-place edit as a focus loss would: nothing typed is lost.
void finishEdit(EditEnd end, int move);
void finishPendingEdit() {
    if (Records.editor != nullptr) finishEdit(EditEnd::FocusLost, 0);
}

LRESULT CALLBACK editorProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    // The edit control's own procedure is kept with the editor, not in the
    // window's state, which is gone before its children's last messages.
    const auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_USERDATA));
    if (previous == nullptr) return DefWindowProcA(edit, message, wParam, lParam);
    switch (message) {
    case WM_GETDLGCODE:
        // Enter, Esc and Tab are the editor's, not the dialog's.
        return DLGC_WANTALLKEYS | CallWindowProcA(previous, edit, message, wParam, lParam);
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_TAB || wParam == VK_ESCAPE) {
            const bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
            if (wParam == VK_ESCAPE) {
                finishEdit(EditEnd::Cancel, 0);
            } else {
                finishEdit(EditEnd::Commit, wParam == VK_TAB ? (shift ? -1 : 1) : 0);
            }
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r' || wParam == '\t' || wParam == 0x1B) return 0;  // no beep
        break;
    case WM_KILLFOCUS:
        // Finished once the focus has settled, not inside its move.
        if (!Records.editorChecking && RecordsWindowHandle != nullptr)
            PostMessageA(RecordsWindowHandle, FinishEditMessage, Records.editGeneration, 0);
        break;
    default: break;
    }
    return CallWindowProcA(previous, edit, message, wParam, lParam);
}

void finishEdit(EditEnd end, int move) {
    HWND edit = Records.editor;
    if (edit == nullptr) return;
    const size_t row = Records.editRow;
    const int column = Records.editColumn;
    std::optional<quillark::RecordAnswer> refusal;
    if (end != EditEnd::Cancel && row < Records.records.size()) {
        const std::string text = readWindowText(edit);
        if (end == EditEnd::Commit) {
            Records.editorChecking = true;
            const bool accepted = editRecordField(row, column, text, true);
            if (!accepted) {
                // The box stays open, the text as typed stays for correcting.
                SetFocus(edit);
                Records.editorChecking = false;
                return;
            }
            Records.editorChecking = false;
        } else if (!editRecordField(row, column, text, false)) {
            // Kept as typed all the same; its note says what is wrong.
            quillark::PersonRecord candidate = Records.records[row];
            *fieldOf(candidate, column) = text;
            refusal = quillark::answerPersonRecord(candidate);
            Records.records[row] = candidate;
            Records.changed = true;
        }
    }
    Records.editor = nullptr;
    ++Records.editGeneration;
    // The focus goes back to the list, unless it has already gone elsewhere.
    if (end != EditEnd::FocusLost || GetFocus() == edit) SetFocus(item(RecordsListId));
    DestroyWindow(edit);
    refresh();
    if (refusal) showRefusal(*refusal);
    const int next = column + move;
    if (move != 0 && isEditableColumn(next)) startRecordEdit(row, next);
}

std::string noteText(size_t row) {
    const quillark::RecordAnswer& answer = Records.answer.records[row];
    const quillark::PersonSummary& s = Records.answer.summary;
    std::vector<std::string> parts;
    if (!answer.problem.empty()) parts.push_back(answer.problem);
    const uint64_t number = row + 1;
    if (s.status == quillark::PersonStatus::Conflict) {
        if (s.conflictLines[0] == number || s.conflictLines[1] == number) {
            const uint64_t other = s.conflictLines[0] == number ? s.conflictLines[1] : s.conflictLines[0];
            parts.push_back("conflict: no birth date in common with record " + std::to_string(other));
        }
        if (s.outlierLine && *s.outlierLine == number) parts.push_back("stands out");
    }
    for (const std::string& warning : answer.warnings) parts.push_back(warning);
    std::string text;
    for (const std::string& part : parts) text.append(text.empty() ? "" : "; ").append(part);
    return text;
}

// --- files ----------------------------------------------------------------

// Wine's file dialog overruns its own buffers when a typed name, with the
// folder it is relative to, reaches MAX_PATH, and the program's thread dies
// with it; a name that long could not be opened through these calls anyway.
// So the dialog is watched from the moment it is shown: OK with such a name
// gets a box, and the dialog stays open with the name as typed.
HHOOK FileDialogWatch = nullptr;
HWND FileDialog = nullptr;
WNDPROC FileDialogOwnProc = nullptr;

// What a file dialog answers to CDM_GETSPEC or CDM_GETFOLDERPATH.
std::string dialogText(HWND dialog, UINT message) {
    const LRESULT size = SendMessageA(dialog, message, 0, 0);
    if (size <= 1) return {};
    std::string text(static_cast<size_t>(size), '\0');
    SendMessageA(dialog, message, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::strlen(text.c_str()));
    return text;
}

bool fileNameTooLong(HWND dialog) {
    const std::string name = dialogText(dialog, CDM_GETSPEC);
    const bool absolute = name.size() >= 2 && (name[0] == '\\' || name[0] == '/' || name[1] == ':');
    const size_t length = absolute ? name.size() : dialogText(dialog, CDM_GETFOLDERPATH).size() + 1 + name.size();
    return length >= MAX_PATH;
}

LRESULT CALLBACK watchedFileDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK && fileNameTooLong(dialog)) {
        char caption[128] = {};
        GetWindowTextA(dialog, caption, sizeof caption);
        MessageBoxA(dialog,
                    "This file name is too long: a folder and a file name together may have at most 259 characters.",
                    caption, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    return CallWindowProcA(FileDialogOwnProc, dialog, message, wParam, lParam);
}

LRESULT CALLBACK watchFileDialog(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && FileDialog == nullptr) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (isFileDialog(window)) {
            FileDialog = window;
            FileDialogOwnProc = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(watchedFileDialogProc)));
        }
    }
    return CallNextHookEx(FileDialogWatch, code, wParam, lParam);
}

bool chooseFile(HWND owner, std::string& path, bool save) {
    char name[MAX_PATH * 4] = {};
    std::snprintf(name, sizeof name, "%s", path.c_str());
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = "Records (*.csv)\0*.csv\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = name;
    dialog.nMaxFile = sizeof name;
    dialog.lpstrDefExt = "csv";
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                   (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
    FileDialog = nullptr;
    FileDialogWatch = SetWindowsHookExA(WH_CBT, watchFileDialog, nullptr, GetCurrentThreadId());
    const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (FileDialogWatch != nullptr) UnhookWindowsHookEx(FileDialogWatch);
    FileDialogWatch = nullptr;
    FileDialog = nullptr;
    if (!chosen) return false;
    path = name;
    return true;
}

std::string systemReason(DWORD code) {
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                   sizeof text, nullptr);
    std::string reason(text, n);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' ' || reason.back() == '.'))
        reason.pop_back();
    return reason.empty() ? "error " + std::to_string(code) : reason;
}

bool readWholeFile(const std::string& path, std::string& text, std::string& why) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        why = std::strerror(errno);
        return false;
    }
    char buffer[1 << 16];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, n);
        if (text.size() > MaxFileBytes) {
            std::fclose(file);
            why = "it is larger than 16 MiB, more than one person's records";
            return false;
        }
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) why = "reading it failed";
    return !failed;
}

// Written beside the file first and then put in its place, so that a save
// that fails half way leaves the old file as it was.
bool writeWholeFile(const std::string& path, const std::string& text, std::string& why) {
    const std::string temporary = path + ".saving";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        why = std::strerror(errno);
        return false;
    }
    bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        why = "writing it failed (is the disk full?)";
        std::remove(temporary.c_str());
        return false;
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        why = systemReason(GetLastError());
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

// Save… with the file dialog; false when cancelled or failed.
bool saveThroughDialog() {
    finishPendingEdit();
    std::string path = Records.file;
    if (!RecordsPlatform.chooseSavePath || !RecordsPlatform.chooseSavePath(RecordsWindowHandle, path)) return false;
    return saveRecordsTo(path);
}

// Before the records are replaced or closed: true when they may go.
bool mayLeaveRecords(const char* action) {
    finishPendingEdit();
    if (!Records.changed) return true;
    const std::string who = Records.person.empty() ? std::string() : " of " + Records.person;
    const std::string question =
        "The records" + who + " have changed since they were last saved.\r\nSave them before " + action + "?";
    const int choice =
        RecordsPlatform.ask(RecordsWindowHandle, question.c_str(), RecordsCaption, MB_YESNOCANCEL | MB_ICONQUESTION);
    if (choice == IDYES) return saveThroughDialog();
    return choice == IDNO;  // Cancel, or no answer at all: stay
}

void openThroughDialog() {
    if (!mayLeaveRecords("opening another file")) return;
    std::string path;
    if (!RecordsPlatform.chooseOpenPath || !RecordsPlatform.chooseOpenPath(RecordsWindowHandle, path)) return;
    openRecordsFrom(path);
}

void copyText(const std::string& text) {
    if (!text.empty()) copyTextToClipboard(text.c_str());
}

// --- the window -----------------------------------------------------------

LRESULT CALLBACK timelineProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: return 1;  // drawTimeline fills the whole area
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT area{};
        GetClientRect(window, &area);
        HGDIOBJ oldFont = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(GetParent(window), WM_GETFONT, 0, 0)));
        drawTimeline(dc, area, Records.timeline, Records.dpi);
        SelectObject(dc, oldFont);
        EndPaint(window, &paint);
        return 0;
    }
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool registerTimelineClass(HINSTANCE module) {
    WNDCLASSA existing{};
    if (GetClassInfoA(module, TimelineClass, &existing)) return true;
    WNDCLASSA timeline{};
    timeline.lpfnWndProc = timelineProc;
    timeline.hInstance = module;
    timeline.hCursor = LoadCursor(nullptr, IDC_ARROW);
    timeline.lpszClassName = TimelineClass;
    return RegisterClassA(&timeline) != 0;
}

int windowDpi(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = dc != nullptr ? GetDeviceCaps(dc, LOGPIXELSY) : StandardDpi;
    if (dc != nullptr) ReleaseDC(window, dc);
    return dpi > 0 ? dpi : StandardDpi;
}

// Beside the main dialog, on the side with room; inside the work area.
void placeRecordsWindow(HWND window, int dpi) {
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    const int width = scaleToDpi(RecordsClientWidth, dpi) + (outer.right - outer.left) - (client.right - client.left);
    const int height =
        scaleToDpi(RecordsClientHeight, dpi) + (outer.bottom - outer.top) - (client.bottom - client.top);
    const RECT work = workArea();
    int x = (work.left + work.right - width) / 2;
    int y = (work.top + work.bottom - height) / 2;
    RECT main{};
    if (MainDialogHandle != nullptr && GetWindowRect(MainDialogHandle, &main)) {
        const int gap = scaleToDpi(8, dpi);
        x = main.right + gap;
        if (x + width > work.right) x = main.left - gap - width;
        y = main.top;
    }
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

bool createRecordsControls(HWND window, int dpi) {
    HINSTANCE module = GetModuleHandleA(nullptr);
    const WPARAM font = static_cast<WPARAM>(SendMessageA(window, WM_GETFONT, 0, 0));
    for (const RecordsControl& c : RecordsControls) {
        const ScaledRect r = scaleRectToDpi(c.x, c.y, c.width, c.height, dpi);
        HWND control = CreateWindowExA(c.exStyle, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, r.x, r.y,
                                       r.width, r.height, window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), module, nullptr);
        if (control == nullptr) return false;
        SendMessageA(control, WM_SETFONT, font, TRUE);
    }
    HWND list = GetDlgItem(window, RecordsListId);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    for (int column = 0; column < RecordColumnCount; ++column) {
        LVCOLUMNA heading{};
        heading.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        heading.pszText = const_cast<char*>(ColumnHeadings[column].text);
        heading.cx = scaleToDpi(ColumnHeadings[column].width, dpi);
        heading.iSubItem = column;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&heading));
    }
    return true;
}

// The list's notices: double-click and F2 edit a cell, Delete removes a
// record, conflicting records are drawn in red.
INT_PTR onListNotify(HWND window, NMHDR* header) {
    switch (header->code) {
    case NM_DBLCLK: {
        auto* activate = reinterpret_cast<NMITEMACTIVATE*>(header);
        LVHITTESTINFO hit{};
        hit.pt = activate->ptAction;
        SendMessageA(header->hwndFrom, LVM_SUBITEMHITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (hit.iItem >= 0)
            startRecordEdit(static_cast<size_t>(hit.iItem), isEditableColumn(hit.iSubItem) ? hit.iSubItem : LabelColumn);
        return FALSE;
    }
    case LVN_KEYDOWN: {
        const auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
        const int row = selectedRow();
        if (key->wVKey == VK_F2 && row >= 0) startRecordEdit(static_cast<size_t>(row), LabelColumn);
        if (key->wVKey == VK_DELETE && row >= 0) removeRecord(static_cast<size_t>(row));
        return FALSE;
    }
    case LVN_ITEMCHANGED: updateButtons(); return FALSE;
    case NM_CUSTOMDRAW: {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        LRESULT result = CDRF_DODEFAULT;
        if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
            result = CDRF_NOTIFYITEMDRAW;
        } else if (draw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
            const quillark::PersonSummary& s = Records.answer.summary;
            const uint64_t number = draw->nmcd.dwItemSpec + 1;
            if (s.status == quillark::PersonStatus::Conflict &&
                (s.conflictLines[0] == number || s.conflictLines[1] == number))
                draw->clrText = TimelineConflictColour;
        }
        SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
    default: return FALSE;
    }
}

void onRecordsCommand(int id, int code) {
    const int row = selectedRow();
    switch (id) {
    case RecordsPersonId:
        if (code == EN_CHANGE && !Records.settingPerson) {
            Records.person = readWindowText(item(RecordsPersonId));
            Records.changed = true;
            SetWindowTextA(item(RecordsSummaryId), recordsSummaryText().c_str());
        }
        return;
    case RecordsAddId:
        if (addRecordFromCalculator()) startRecordEdit(Records.records.size() - 1, LabelColumn);
        return;
    case IDOK:  // Enter: edit the selected record when the list has the focus
        if (GetFocus() != item(RecordsListId) || row < 0) return;
        [[fallthrough]];
    case RecordsEditId:
        if (row >= 0) startRecordEdit(static_cast<size_t>(row), LabelColumn);
        return;
    case RecordsRemoveId:
        if (row >= 0) removeRecord(static_cast<size_t>(row));
        return;
    case RecordsUpId:
    case RecordsDownId:
        if (row >= 0) moveRecord(static_cast<size_t>(row), id == RecordsUpId ? -1 : 1);
        return;
    case RecordsCopy7Id: copyText(Records.answer.gedcom7); return;
    case RecordsCopy551Id: copyText(Records.answer.gedcom551); return;
    case RecordsOpenId: openThroughDialog(); return;
    case RecordsSaveId: saveThroughDialog(); return;
    case RecordsCloseId: closeRecordsWindow(); return;  // also Esc and the close box
    default: return;
    }
}

INT_PTR CALLBACK recordsProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        RecordsWindowHandle = window;
        Records.dpi = windowDpi(window);
        SetWindowTextA(window, RecordsCaption);
        placeRecordsWindow(window, Records.dpi);
        if (!createRecordsControls(window, Records.dpi)) return FALSE;
        Records.settingPerson = true;
        SetWindowTextA(GetDlgItem(window, RecordsPersonId), Records.person.c_str());
        Records.settingPerson = false;
        refresh();
        SetFocus(GetDlgItem(window, RecordsListId));
        return FALSE;  // the focus is set
    }
    case WM_COMMAND: onRecordsCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->idFrom == static_cast<UINT_PTR>(RecordsListId)) return onListNotify(window, header);
        return FALSE;
    }
    case FinishEditMessage:
        if (Records.editor != nullptr && wParam == Records.editGeneration && GetFocus() != Records.editor)
            finishEdit(EditEnd::FocusLost, 0);
        return TRUE;
    case WM_DESTROY:
        if (RecordsWindowHandle == window) {
            RecordsWindowHandle = nullptr;
            Records = {};
        }
        return FALSE;
    default: return FALSE;
    }
}

}  // namespace

HWND openRecordsWindow() {
    if (RecordsWindowHandle != nullptr && IsWindow(RecordsWindowHandle)) {
        if (IsIconic(RecordsWindowHandle)) ShowWindow(RecordsWindowHandle, SW_RESTORE);
        SetForegroundWindow(RecordsWindowHandle);
        return RecordsWindowHandle;
    }
    HINSTANCE module = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    if (!registerTimelineClass(module)) return nullptr;
    const std::vector<WORD> tmpl = emptyDialogTemplate(RecordsStyle);
    HWND window = CreateDialogIndirectParamA(module, reinterpret_cast<LPCDLGTEMPLATEA>(tmpl.data()), MainDialogHandle,
                                             recordsProc, 0);
    if (window == nullptr || GetDlgItem(window, RecordsCloseId) == nullptr) {
        if (window != nullptr) DestroyWindow(window);
        showError("The records window could not be created.", RecordsCaption);
        return nullptr;
    }
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(GetDlgItem(window, RecordsListId));
    return window;
}

bool closeRecordsWindow() {
    if (RecordsWindowHandle == nullptr) return true;
    if (!mayLeaveRecords("closing")) return false;
    destroyRecordsWindow();
    return true;
}

void destroyRecordsWindow() {
    if (RecordsWindowHandle != nullptr && IsWindow(RecordsWindowHandle)) DestroyWindow(RecordsWindowHandle);
    RecordsWindowHandle = nullptr;
    Records = {};
}

bool recordsDialogMessage(MSG* message) {
    HWND window = RecordsWindowHandle;
    if (window == nullptr || (message->hwnd != window && !IsChild(window, message->hwnd))) return false;
    return IsDialogMessageA(window, message) != 0;
}

const std::string& recordsPerson() { return Records.person; }
const std::vector<quillark::PersonRecord>& shownRecords() { return Records.records; }
const quillark::PersonRecordsAnswer& recordsAnswer() { return Records.answer; }
bool recordsChanged() { return Records.changed; }

std::string recordsSummaryText() {
    const quillark::PersonRecordsAnswer& answer = Records.answer;
    if (Records.records.empty()) return "No records yet: \"Add from calculator\" takes the calculator's event date and age.";
    const quillark::PersonSummary& s = answer.summary;
    std::string text = (Records.person.empty() ? std::string("Person") : Records.person) + ": " +
                       quillark::personAnswerText(s, std::nullopt);
    if (s.status == quillark::PersonStatus::Ok) {
        text.append("\r\nGEDCOM 7: ").append(answer.gedcom7.empty() ? "(none)" : answer.gedcom7);
        text.append("\r\nGEDCOM 5.5.1: ").append(answer.gedcom551.empty() ? "(none)" : answer.gedcom551);
    }
    if (s.unusable > 0)
        text.append("\r\n").append(std::to_string(s.unusable)).append(s.unusable == 1 ? " record gives" : " records give")
            .append(" no birth window (see the notes)");
    return text;
}

std::string recordCellText(size_t row, int column) {
    if (row >= Records.records.size()) return {};
    const quillark::PersonRecord& record = Records.records[row];
    if (const std::string* field = fieldOf(record, column)) return *field;
    if (row >= Records.answer.records.size()) return {};
    const quillark::RecordAnswer& answer = Records.answer.records[row];
    switch (column) {
    case NumberColumn: return std::to_string(row + 1);
    case BirthColumn: return answer.birthShown;
    case WindowColumn: return answer.birth ? quillark::isoWindowText(answer.birth->earliest, answer.birth->latest) : std::string();
    case NoteColumn: return noteText(row);
    default: return {};
    }
}

bool addRecordFromCalculator() {
    finishPendingEdit();
    if (MainDialogHandle == nullptr) return false;
    quillark::PersonRecord record;
    record.years = std::string(trimBlanks(controlText(YearsField)));
    record.months = std::string(trimBlanks(controlText(MonthsField)));
    record.days = std::string(trimBlanks(controlText(DaysField)));
    if (EventCensus != nullptr) {
        record.census = std::string(EventCensus->name);
    } else {
        const std::string event = controlText(EventDateField);
        if (!trimBlanks(event).empty()) {
            // Kept in the numeric form, which every reader of the file takes.
            const FormattedDate date = formatDateText(event, false, false);
            if (date.code != EntryCode::None) {
                showError(std::string(illegalDateText(date.code)), IllegalDateCaption);
                return false;
            }
            record.event = date.text;
        }
    }
    Records.records.push_back(std::move(record));
    Records.changed = true;
    refresh();
    selectRow(static_cast<int>(Records.records.size()) - 1);
    updateButtons();
    return true;
}

bool editRecordField(size_t row, int column, const std::string& text, bool showBox) {
    if (row >= Records.records.size() || !isEditableColumn(column)) return false;
    quillark::PersonRecord candidate = Records.records[row];
    *fieldOf(candidate, column) = text;
    if (column != LabelColumn) {
        const quillark::RecordAnswer answer = quillark::answerPersonRecord(candidate);
        // A record already wrong in its date or census may still have its
        // other fields typed; the date and census themselves are checked.
        const bool wasWrong = row < Records.answer.records.size() && refused(Records.answer.records[row]);
        if (refused(answer) && (!wasWrong || column == EventColumn || column == CensusColumn)) {
            if (showBox) showRefusal(answer);
            return false;
        }
    }
    if (candidate == Records.records[row]) return true;
    Records.records[row] = std::move(candidate);
    Records.changed = true;
    refresh();
    return true;
}

void removeRecord(size_t row) {
    finishPendingEdit();
    if (row >= Records.records.size()) return;
    Records.records.erase(Records.records.begin() + static_cast<std::ptrdiff_t>(row));
    Records.changed = true;
    refresh();
    if (!Records.records.empty()) selectRow(static_cast<int>(std::min(row, Records.records.size() - 1)));
    updateButtons();
}

void moveRecord(size_t row, int by) {
    finishPendingEdit();
    const auto to = static_cast<std::ptrdiff_t>(row) + by;
    if (row >= Records.records.size() || to < 0 || to >= static_cast<std::ptrdiff_t>(Records.records.size())) return;
    std::swap(Records.records[row], Records.records[static_cast<size_t>(to)]);
    Records.changed = true;
    selectRow(static_cast<int>(to));
    refresh();
    selectRow(static_cast<int>(to));
    updateButtons();
}

void setRecordsPerson(const std::string& person) {
    if (HWND field = item(RecordsPersonId)) {
        SetWindowTextA(field, person.c_str());  // its EN_CHANGE records the change
    } else {
        Records.person = person;
        Records.changed = true;
    }
}

bool saveRecordsTo(const std::string& path) {
    finishPendingEdit();
    if (trimBlanks(Records.person).empty()) {
        showError("Cannot save " + path +
                      ":\r\nthe file names the person each record is about; type the person's name first.",
                  RecordsCaption);
        if (HWND field = item(RecordsPersonId)) SetFocus(field);
        return false;
    }
    quillark::RecordsFile file;
    file.person = std::string(trimBlanks(Records.person));
    file.records = Records.records;
    std::string why;
    if (!writeWholeFile(path, quillark::recordsFileText(file), why)) {
        showError("Cannot save " + path + ":\r\n" + why, RecordsCaption);
        return false;
    }
    Records.file = path;
    Records.changed = false;
    return true;
}

bool openRecordsFrom(const std::string& path) {
    finishPendingEdit();
    std::string text, why;
    if (!readWholeFile(path, text, why)) {
        showError("Cannot open " + path + ":\r\n" + why, RecordsCaption);
        return false;
    }
    quillark::RecordsFile file;
    if (const auto problem = quillark::readRecordsFile(text, file)) {
        showError("Cannot open " + path + ":\r\n" + quillark::recordsFileProblemText(*problem), RecordsCaption);
        return false;
    }
    Records.records = std::move(file.records);
    Records.person = file.person;
    if (HWND field = item(RecordsPersonId)) {
        Records.settingPerson = true;
        SetWindowTextA(field, Records.person.c_str());
        Records.settingPerson = false;
    }
    Records.file = path;
    refresh();
    Records.changed = false;
    if (!Records.records.empty()) selectRow(0);
    return true;
}

HWND startRecordEdit(size_t row, int column) {
    finishPendingEdit();
    HWND list = item(RecordsListId);
    if (list == nullptr || row >= Records.records.size() || !isEditableColumn(column)) return nullptr;
    selectRow(static_cast<int>(row));
    RECT cell{};
    cell.top = column;
    cell.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    // Scroll the column into view when it lies beyond the list's edges.
    RECT client{};
    GetClientRect(list, &client);
    if (cell.left < client.left || cell.right > client.right) {
        SendMessageA(list, LVM_SCROLL, cell.left - client.left, 0);
        cell.top = column;
        cell.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell));
    }
    HWND edit = CreateWindowExA(0, "EDIT", fieldOf(Records.records[row], column)->c_str(),
                                WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, cell.left, cell.top,
                                cell.right - cell.left, cell.bottom - cell.top, list,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(RecordsEditorId)),
                                GetModuleHandleA(nullptr), nullptr);
    if (edit == nullptr) return nullptr;
    SendMessageA(edit, WM_SETFONT, SendMessageA(list, WM_GETFONT, 0, 0), TRUE);
    SetWindowLongPtrA(edit, GWLP_USERDATA, GetWindowLongPtrA(edit, GWLP_WNDPROC));
    SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editorProc));
    Records.editor = edit;
    Records.editRow = row;
    Records.editColumn = column;
    ++Records.editGeneration;
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
    return edit;
}
