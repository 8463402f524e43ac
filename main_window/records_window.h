// The records window: one person's records side by side, each with the
// birth window it allows, the window they all allow (or the two records
// that cannot both be right, and the one that stands out), a timeline of
// the windows, and the CSV file quillark-calc reads with --person --people.
// Modeless, owned by the main dialog, opened from its system menu or with
// Ctrl+R; the state below lives while the window is open.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The records and their answer (person_records.h); declared here only, so
// that windows and tests using this header need not see the genealogy layer.
namespace quillark {
struct PersonRecord;
struct PersonRecordsAnswer;
}  // namespace quillark

enum RecordsControlId : int {
    RecordsPersonLabelId = 301,
    RecordsPersonId = 302,
    RecordsListId = 303,
    RecordsAddId = 304,
    RecordsEditId = 305,
    RecordsRemoveId = 306,
    RecordsUpId = 307,
    RecordsDownId = 308,
    RecordsTimelineId = 309,
    RecordsSummaryId = 310,
    RecordsCopy7Id = 311,
    RecordsCopy551Id = 312,
    RecordsOpenId = 313,
    RecordsSaveId = 314,
    RecordsCloseId = IDCANCEL,
    RecordsEditorId = 320,  // the in-place editor over a cell
};

// The list's columns, in order.
enum RecordColumn : int {
    NumberColumn,
    LabelColumn,
    EventColumn,
    CensusColumn,
    YearsColumn,
    MonthsColumn,
    DaysColumn,
    BirthColumn,   // the birth as the answer shows it: "1806 to 1811"
    WindowColumn,  // the birth window: "1806-06-07 to 1811-06-06"
    NoteColumn,    // the record's error, conflict and warnings
    RecordColumnCount,
};
// The columns typed in place: label to days.
constexpr bool isEditableColumn(int column) { return column >= LabelColumn && column <= DaysColumn; }

inline constexpr const char* RecordsCaption = "Person's records";

// The records window; null while it is closed.
extern HWND RecordsWindowHandle;

// Opens the window beside the main dialog, or brings it to the front.
// The window belongs to the main dialog and is destroyed with it.
HWND openRecordsWindow();
// Closes it, asking first when the records have changed since they were
// last saved or opened; false when the user chose to stay.
bool closeRecordsWindow();
// Destroys it without asking (the main dialog is going).
void destroyRecordsWindow();
// The window's keyboard handling for the message loop; true when the
// message was the window's and has been handled.
bool recordsDialogMessage(MSG* message);

// What the window holds and answers.
const std::string& recordsPerson();
const std::vector<quillark::PersonRecord>& shownRecords();
const quillark::PersonRecordsAnswer& recordsAnswer();
bool recordsChanged();
// The text under the list: the window all records allow, or the conflict.
std::string recordsSummaryText();
// A cell's text as the list shows it.
std::string recordCellText(size_t row, int column);

// The actions of the window's buttons, also for tests.
// A record from the main dialog's event date (or census) and age; false,
// with the "Illegal Date" box, when its event date is no date.
bool addRecordFromCalculator();
// Sets one typed field of a record as the in-place editor does. A record
// that the change makes fail the date checks or its census is refused with
// the dialog's box (when showBox) and false, and nothing changes.
bool editRecordField(size_t row, int column, const std::string& text, bool showBox = true);
void removeRecord(size_t row);
void moveRecord(size_t row, int by);
void setRecordsPerson(const std::string& person);
// Saves to, or opens from, a file; on failure a box names the file and the
// reason, and nothing in the window changes.
bool saveRecordsTo(const std::string& path);
bool openRecordsFrom(const std::string& path);
// Starts the in-place editor on a cell; its window, or null.
HWND startRecordEdit(size_t row, int column);

// True for the common "Open" and "Save As" dialogs (by their file name box).
bool isFileDialog(HWND window);

// The platform calls the window asks the user through. Tests replace them.
struct RecordsWindowCalls {
    int(WINAPI* ask)(HWND, LPCSTR, LPCSTR, UINT) = MessageBoxA;
    // The common file dialogs; false when the user cancelled.
    bool (*chooseOpenPath)(HWND owner, std::string& path) = nullptr;
    bool (*chooseSavePath)(HWND owner, std::string& path) = nullptr;
};
extern RecordsWindowCalls RecordsPlatform;
