// The records window in this process: records added from the calculator,
// the list, the summary and its copy buttons, the in-place editor with the
// dialog's checks, moving and removing, saving and opening (and the boxes
// when a file cannot be read or written), the question before unsaved
// records are closed, and the timeline drawn into a memory bitmap.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "dialog_events.h"
#include "dpi_scale.h"
#include "in_process.h"
#include "main_window.h"
#include "records_file.h"
#include "records_timeline.h"
#include "records_window.h"
#include "researcher_menus.h"

namespace {

using win32test::newWindows;
using win32test::threadWindows;

std::string tempPath(const char* name) {
    char dir[MAX_PATH] = {};
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + name;
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const char* const AnnFile =
    "person,census,event,years,months,days,label\r\n"
    "Ann Ward,EW1841,,30,,,1841 census\r\n"
    "Ann Ward,EW1851,,39,,,1851 census\r\n"
    "Ann Ward,EW1861,,50,,,1861 census\r\n"
    "Ann Ward,,14 Mar 1870,58,,,burial\r\n";
const char* const MaryFile =
    "name,source,census,event,years\n"
    "Mary Ward,1841 census,EW1841,,5\n"
    "Mary Ward,1851 census,EW1851,,14\n"
    "Mary Ward,1861 census,EW1861,,30\n";

// The question before closing, answered as a test says.
int Answer = IDCANCEL;
int Asked = 0;
std::string SavePath;
int WINAPI answerQuestion(HWND, LPCSTR, LPCSTR, UINT) {
    ++Asked;
    return Answer;
}
bool chooseSave(HWND, std::string& path) {
    path = SavePath;
    return !path.empty();
}
bool chooseNothing(HWND, std::string&) { return false; }

class RecordsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        struct {
            DLGTEMPLATE header;
            WORD menu, windowClass, title;
        } empty{};
        empty.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &empty.header, nullptr, quietProc, 0);
        ASSERT_NE(nullptr, dialog);
        int y = 0;
        for (int id : {EventDateField, YearsField, MonthsField, DaysField, BirthDateField}) {
            CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, y += 22, 120, 20,
                            dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        }
        previousHandle = MainDialogHandle;
        MainDialogHandle = dialog;
        EventCensus = nullptr;
        saved = RecordsPlatform;
        RecordsPlatform.ask = answerQuestion;
        RecordsPlatform.chooseSavePath = chooseSave;
        RecordsPlatform.chooseOpenPath = chooseNothing;
        Asked = 0;
        Answer = IDCANCEL;
        SavePath.clear();
        before = threadWindows();
        ASSERT_NE(openRecordsWindow(), nullptr);
    }
    void TearDown() override {
        destroyRecordsWindow();
        for (HWND w : newWindows(before))
            if (IsWindow(w)) DestroyWindow(w);
        if (dialog != nullptr && IsWindow(dialog)) DestroyWindow(dialog);
        MainDialogHandle = previousHandle;
        RecordsPlatform = saved;
        EventCensus = nullptr;
    }
    static INT_PTR CALLBACK quietProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

    void setField(int id, const char* text) { SetWindowTextA(GetDlgItem(dialog, id), text); }
    HWND item(int id) { return GetDlgItem(RecordsWindowHandle, id); }
    // Boxes opened since the test began, by caption, with their texts.
    std::vector<std::string> boxTexts(const std::string& caption) {
        std::vector<std::string> texts;
        for (HWND w : newWindows(before))
            if (IsWindow(w) && w != RecordsWindowHandle && ui::text(w) == caption)
                texts.push_back(ui::text(GetDlgItem(w, BoxTextId)));
        return texts;
    }
    void closeBoxes() {
        for (HWND w : newWindows(before))
            if (IsWindow(w) && w != RecordsWindowHandle && GetDlgItem(w, BoxTextId) != nullptr) DestroyWindow(w);
    }
    std::string listText(int row, int column) {
        char buffer[512] = {};
        LVITEMA cell{};
        cell.iSubItem = column;
        cell.pszText = buffer;
        cell.cchTextMax = sizeof buffer;
        SendMessageA(item(RecordsListId), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
        return buffer;
    }

    HWND dialog = nullptr;
    HWND previousHandle = nullptr;
    RecordsWindowCalls saved;
    std::vector<HWND> before;
};

TEST_F(RecordsWindowTest, AddFromCalculatorTakesTheEventDateOrCensusAndTheAge) {
    setField(EventDateField, "Dec 7, 1941  [Su]");
    setField(YearsField, " 40");
    setField(MonthsField, "3");
    ASSERT_TRUE(addRecordFromCalculator());
    chooseEventCensus(quillark::findCensus("EW1851"));
    setField(YearsField, "39");
    setField(MonthsField, "");
    ASSERT_TRUE(addRecordFromCalculator());
    ASSERT_EQ(shownRecords().size(), 2u);
    EXPECT_TRUE(shownRecords()[0] == (quillark::PersonRecord{"", "", "12/07/1941", "40", "3", ""}));
    EXPECT_TRUE(shownRecords()[1] == (quillark::PersonRecord{"", "EW1851", "", "39", "", ""}));
    EXPECT_TRUE(recordsChanged());
    EXPECT_EQ(listText(0, EventColumn), "12/07/1941");
    EXPECT_EQ(listText(1, CensusColumn), "EW1851");
    EXPECT_EQ(listText(1, BirthColumn), "1812 or 1811");
    EXPECT_EQ(listText(1, WindowColumn), "1811-03-31 to 1812-03-30");

    EventCensus = nullptr;
    setField(EventDateField, "13/07/1941");
    EXPECT_FALSE(addRecordFromCalculator());
    EXPECT_EQ(shownRecords().size(), 2u) << "an illegal event date adds nothing";
    EXPECT_EQ(boxTexts("Illegal Date"), std::vector<std::string>{"Check on months"});
}

TEST_F(RecordsWindowTest, ListAndSummaryShowEachWindowAndAConflict) {
    const std::string path = tempPath("quillark-mary.csv");
    writeFile(path, MaryFile);
    ASSERT_TRUE(openRecordsFrom(path));
    EXPECT_EQ(recordsPerson(), "Mary Ward");
    EXPECT_EQ(ui::text(item(RecordsPersonId)), "Mary Ward");
    EXPECT_FALSE(recordsChanged()) << "just opened";
    ASSERT_EQ(SendMessageA(item(RecordsListId), LVM_GETITEMCOUNT, 0, 0), 3);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < RecordColumnCount; ++column)
            EXPECT_EQ(listText(row, column), recordCellText(row, column)) << "row " << row << ", column " << column;
    EXPECT_EQ(listText(0, LabelColumn), "1841 census");
    EXPECT_EQ(listText(2, WindowColumn), "1830-04-08 to 1831-04-07");
    // 5 in 1841 and 14 in 1851 agree; 30 in 1861 cannot be right with 14 in 1851.
    EXPECT_EQ(listText(0, NoteColumn), "");
    EXPECT_EQ(listText(1, NoteColumn), "conflict: no birth date in common with record 3");
    EXPECT_EQ(listText(2, NoteColumn), "conflict: no birth date in common with record 2; stands out");
    EXPECT_EQ(ui::text(item(RecordsSummaryId)),
              "Mary Ward: records 2 and 3 have no birth date in common; without record 3: born between 1836-03-31 "
              "and 1836-06-06");
    EXPECT_FALSE(IsWindowEnabled(item(RecordsCopy7Id)));
    EXPECT_FALSE(IsWindowEnabled(item(RecordsCopy551Id)));
    std::remove(path.c_str());
}

TEST_F(RecordsWindowTest, TheWindowAllRecordsAllowIsCopiedInBothVersions) {
    const std::string path = tempPath("quillark-ann.csv");
    writeFile(path, AnnFile);
    ASSERT_TRUE(openRecordsFrom(path));
    EXPECT_EQ(ui::text(item(RecordsSummaryId)),
              "Ann Ward: born between 1811-03-31 and 1811-04-07\r\n"
              "GEDCOM 7: BET 31 MAR 1811 AND 7 APR 1811\r\nGEDCOM 5.5.1: BET 31 MAR 1811 AND 7 APR 1811");
    for (int id : {RecordsCopy7Id, RecordsCopy551Id}) {
        ASSERT_TRUE(IsWindowEnabled(item(id))) << id;
        copyTextToClipboard("before");
        SendMessageA(item(id), BM_CLICK, 0, 0);
        EXPECT_EQ(ui::clipboardText(), "BET 31 MAR 1811 AND 7 APR 1811") << id;
    }
    std::remove(path.c_str());
}

TEST_F(RecordsWindowTest, SaveThenOpenGivesTheSameRecords) {
    setRecordsPerson("Ward, \"Nan\" Ann");
    setField(EventDateField, "06/06/1841");
    setField(YearsField, "30");
    ASSERT_TRUE(addRecordFromCalculator());
    ASSERT_TRUE(editRecordField(0, LabelColumn, "1841 census, Devon"));
    ASSERT_TRUE(addRecordFromCalculator());
    ASSERT_TRUE(editRecordField(1, EventColumn, "14 Mar 1870"));
    ASSERT_TRUE(editRecordField(1, YearsColumn, "58"));
    const std::vector<quillark::PersonRecord> records = shownRecords();
    const std::string path = tempPath("quillark-roundtrip.csv");
    ASSERT_TRUE(saveRecordsTo(path));
    EXPECT_FALSE(recordsChanged());
    EXPECT_EQ(readFile(path), quillark::recordsFileText({"Ward, \"Nan\" Ann", records}));
    removeRecord(0);
    ASSERT_TRUE(openRecordsFrom(path));
    EXPECT_EQ(recordsPerson(), "Ward, \"Nan\" Ann");
    ASSERT_EQ(shownRecords().size(), records.size());
    for (size_t i = 0; i < records.size(); ++i) EXPECT_TRUE(shownRecords()[i] == records[i]) << "record " << i + 1;
    std::remove(path.c_str());
}

TEST_F(RecordsWindowTest, FilesThatCannotBeReadOrWrittenGetABoxAndChangeNothing) {
    setRecordsPerson("Ann Ward");
    setField(EventDateField, "06/06/1841");
    setField(YearsField, "30");
    ASSERT_TRUE(addRecordFromCalculator());
    const std::vector<quillark::PersonRecord> records = shownRecords();
    const std::string missing = tempPath("no-such-folder\\records.csv");
    const std::string bad = tempPath("quillark-bad.csv");
    writeFile(bad, "person,event,years,birth\nann,1841,30,\n");
    struct Case {
        const char* name;
        bool (*run)(const std::string&);
        std::string path;
        std::string textStart;
        bool whole;  // the text is all of it; otherwise a reason follows
    };
    const Case cases[] = {
        {"open a file that is not there", openRecordsFrom, missing, "Cannot open " + missing + ":\r\n", false},
        {"open a file that is no records file", openRecordsFrom, bad,
         "Cannot open " + bad +
             ":\r\nline 1: the column 'birth' is not one of person, census, event, years, months, days, label",
         true},
        {"save into a folder that is not there", saveRecordsTo, missing, "Cannot save " + missing + ":\r\n", false},
    };
    for (const Case& c : cases) {
        closeBoxes();
        EXPECT_FALSE(c.run(c.path)) << c.name;
        const std::vector<std::string> boxes = boxTexts(RecordsCaption);
        ASSERT_EQ(boxes.size(), 1u) << c.name;
        EXPECT_EQ(boxes[0].substr(0, c.textStart.size()), c.textStart) << c.name << ": got " << boxes[0];
        if (c.whole) {
            EXPECT_EQ(boxes[0], c.textStart) << c.name;
        } else {
            EXPECT_GT(boxes[0].size(), c.textStart.size()) << c.name << ": a reason is given";
        }
        ASSERT_EQ(shownRecords().size(), records.size()) << c.name;
        EXPECT_TRUE(shownRecords()[0] == records[0]) << c.name;
        EXPECT_TRUE(recordsChanged()) << c.name << ": still unsaved";
    }
    closeBoxes();
    setRecordsPerson("  ");
    EXPECT_FALSE(saveRecordsTo(bad)) << "a file without a person's name";
    EXPECT_EQ(boxTexts(RecordsCaption).size(), 1u);
    std::remove(bad.c_str());
}

TEST_F(RecordsWindowTest, UnsavedChangesAskBeforeClosing) {
    EXPECT_TRUE(closeRecordsWindow()) << "nothing to lose";
    EXPECT_EQ(Asked, 0);
    const std::string path = tempPath("quillark-asked.csv");
    struct Case {
        const char* name;
        int answer;
        const char* savePath;
        bool closes;
        bool savedFile;
    };
    const Case cases[] = {
        {"Cancel stays", IDCANCEL, "", false, false},
        {"no answer stays", 0, "", false, false},
        {"Yes, then the save dialog cancelled, stays", IDYES, "", false, false},
        {"Yes saves and closes", IDYES, path.c_str(), true, true},
        {"No closes without saving", IDNO, "", true, false},
    };
    for (const Case& c : cases) {
        std::remove(path.c_str());
        if (RecordsWindowHandle == nullptr) {
            ASSERT_NE(openRecordsWindow(), nullptr);
        }
        setRecordsPerson("Ann Ward");
        setField(EventDateField, "06/06/1841");
        setField(YearsField, "30");
        ASSERT_TRUE(addRecordFromCalculator());
        Asked = 0;
        Answer = c.answer;
        SavePath = c.savePath;
        EXPECT_EQ(closeRecordsWindow(), c.closes) << c.name;
        EXPECT_EQ(Asked, 1) << c.name;
        EXPECT_EQ(RecordsWindowHandle == nullptr, c.closes) << c.name;
        EXPECT_EQ(!readFile(path).empty(), c.savedFile) << c.name;
        if (!c.closes) {
            EXPECT_EQ(shownRecords().size(), 1u) << c.name << ": nothing lost";
        }
        if (RecordsWindowHandle != nullptr) {
            Answer = IDNO;
            closeRecordsWindow();
        }
    }
    std::remove(path.c_str());
}

TEST_F(RecordsWindowTest, InPlaceEditorChecksLikeTheDialog) {
    setField(EventDateField, "06/06/1841");
    setField(YearsField, "30");
    ASSERT_TRUE(addRecordFromCalculator());
    HWND editor = startRecordEdit(0, EventColumn);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(GetFocus(), editor);
    EXPECT_EQ(ui::text(editor), "06/06/1841");
    // An illegal date: the dialog's box, the text kept for correcting.
    SetWindowTextA(editor, "06/31/1841");
    SendMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_TRUE(IsWindow(editor)) << "the editor stays";
    EXPECT_EQ(ui::text(editor), "06/31/1841");
    EXPECT_EQ(boxTexts("Illegal Date"), std::vector<std::string>{"Check on days"});
    EXPECT_EQ(shownRecords()[0].event, "06/06/1841") << "nothing stored";
    // Esc leaves the cell as it was.
    SendMessageA(editor, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_EQ(shownRecords()[0].event, "06/06/1841");
    // Tab stores and moves to the next column.
    editor = startRecordEdit(0, EventColumn);
    SetWindowTextA(editor, "1851");
    SendMessageA(editor, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(shownRecords()[0].event, "1851");
    HWND next = GetFocus();
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(GetDlgCtrlID(next), RecordsEditorId);
    EXPECT_EQ(ui::text(next), "") << "the census cell";
    SetWindowTextA(next, "EW1941");
    SendMessageA(next, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(boxTexts("Census error"), std::vector<std::string>{"no census named 'EW1941'"});
    SendMessageA(next, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(shownRecords()[0].census, "");
    EXPECT_EQ(listText(0, BirthColumn), "1821 or 1820");
    // A focus loss keeps what was typed, even when it is wrong, and says so.
    editor = startRecordEdit(0, EventColumn);
    SetWindowTextA(editor, "02/30/1851");
    SetFocus(item(RecordsListId));
    ui::waitFor([&] { return !IsWindow(editor); }, 3000ms);
    EXPECT_EQ(shownRecords()[0].event, "02/30/1851");
    EXPECT_EQ(listText(0, NoteColumn).substr(0, 12), "Illegal Date");
}

TEST_F(RecordsWindowTest, RecordsMoveAndGo) {
    const std::string path = tempPath("quillark-ann2.csv");
    writeFile(path, AnnFile);
    ASSERT_TRUE(openRecordsFrom(path));
    moveRecord(3, -1);
    EXPECT_EQ(shownRecords()[2].label, "burial");
    EXPECT_EQ(shownRecords()[3].label, "1861 census");
    EXPECT_TRUE(recordsChanged());
    moveRecord(0, -1);  // already first: nothing
    EXPECT_EQ(shownRecords()[0].label, "1841 census");
    removeRecord(2);
    ASSERT_EQ(shownRecords().size(), 3u);
    EXPECT_EQ(listText(2, NumberColumn), "3");
    EXPECT_EQ(listText(2, LabelColumn), "1861 census");
    removeRecord(7);  // no such record
    EXPECT_EQ(shownRecords().size(), 3u);
    std::remove(path.c_str());
}

// --- the timeline ---------------------------------------------------------

struct Bitmap {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    Bitmap(int width, int height) {
        dc = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old = SelectObject(dc, bitmap);
    }
    ~Bitmap() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

// Draws the records of a file and checks each bar against its record's
// window, found from the dates alone: one year axis from 1 January of the
// first year to the end of the last, the width shared out by days.
void expectBarsOverTheWindows(const char* fileText, int dpi) {
    quillark::RecordsFile file;
    ASSERT_FALSE(quillark::readRecordsFile(fileText, file).has_value());
    const quillark::PersonRecordsAnswer answer = quillark::answerPersonRecords(file.records);
    const TimelineInput input = timelineInput(answer);
    const int width = scaleToDpi(620, dpi), height = scaleToDpi(120, dpi);
    Bitmap picture(width, height);
    const RECT area{0, 0, width, height};
    drawTimeline(picture.dc, area, input, dpi);

    int64_t first = INT64_MAX, last = INT64_MIN;
    for (const auto& record : answer.records) {
        first = std::min(first, dayNumber(*record.birth->earliest));
        last = std::max(last, dayNumber(*record.birth->latest));
    }
    const int64_t axisStart = dayNumber(civilDay(first).year, 1, 1);
    const int64_t axisEnd = dayNumber(civilDay(last).year + 1, 1, 1);
    const int left = scaleToDpi(8, dpi), right = width - scaleToDpi(8, dpi);
    const auto x = [&](int64_t day) { return left + static_cast<int>((day - axisStart) * (right - left) / (axisEnd - axisStart)); };
    const TimelineLayout layout = timelineLayout(area, answer.records.size(), dpi);
    for (size_t i = 0; i < answer.records.size(); ++i) {
        const quillark::DateWindow& w = *answer.records[i].birth;
        const int from = x(dayNumber(*w.earliest));
        // The last day has its pixel even when a day is narrower than one.
        const int to = std::max(x(dayNumber(*w.latest) + 1), x(dayNumber(*w.latest)) + 1);
        const int y = layout.barTop(i) + layout.barHeight / 2;
        const COLORREF bar = input.bars[i].conflict ? TimelineConflictColour : TimelineBarColour;
        const std::string name = "record " + std::to_string(i + 1) + " at " + std::to_string(dpi) + " dpi";
        // The bar's own pixels, clear of the shared window's edge lines.
        for (int px = from; px < to; ++px) {
            const COLORREF got = GetPixel(picture.dc, px, y);
            if (got == TimelineSharedEdgeColour) continue;
            ASSERT_EQ(got, bar) << name << ": pixel " << px << " of " << from << ".." << to - 1;
        }
        EXPECT_NE(GetPixel(picture.dc, from - 1, y), bar) << name << ": the bar starts at " << from;
        EXPECT_NE(GetPixel(picture.dc, to, y), bar) << name << ": the bar ends before " << to;
    }
    if (answer.summary.status == quillark::PersonStatus::Ok) {
        const int from = x(dayNumber(*answer.summary.birth.earliest));
        const int last = x(dayNumber(*answer.summary.birth.latest));
        const int to = std::max(x(dayNumber(*answer.summary.birth.latest) + 1), last + 1);
        // Above the first bar, the shared window is shaded between its edges.
        const int y = layout.plotTop + 1;
        EXPECT_EQ(GetPixel(picture.dc, from, y), TimelineSharedEdgeColour) << "shared window's left edge";
        EXPECT_EQ(GetPixel(picture.dc, to - 1, y), TimelineSharedEdgeColour) << "shared window's right edge";
        EXPECT_EQ(GetPixel(picture.dc, from - 1, y), TimelineBackground) << "left of the shared window";
    }
}

// The real Open dialog, driven from another thread: a name that, with the
// folder it is typed in, reaches MAX_PATH gets the program's box and the
// dialog keeps it; a name one shorter goes on to the dialog's own checks
// (here: no such file). Without the watch, Wine's dialog falls over on the
// long names and takes the test with it.
TEST(RecordsFileDialog, ANameTooLongForItsFolderGetsABoxAndTheDialogKeepsIt) {
    const std::string tooLong =
        "This file name is too long: a folder and a file name together may have at most 259 characters.";
    const DWORD self = GetCurrentProcessId();
    auto openDialog = [self]() -> HWND {
        for (HWND w : ui::topLevelWindows(self))
            if (isFileDialog(w)) return w;
        return nullptr;
    };
    auto boxOf = [self](HWND dialog) -> HWND {
        for (HWND w : ui::topLevelWindows(self))
            if (w != dialog && GetWindow(w, GW_OWNER) == dialog) return w;
        return nullptr;
    };
    auto boxText = [](HWND box) {
        std::string all;
        for (HWND child : ui::children(box))
            if (ui::className(child) == "Static") all += ui::text(child);
        return all;
    };
    std::vector<std::string> failures;
    std::thread person([&] {
        HWND dialog = nullptr;
        if (!ui::waitFor([&] { return (dialog = openDialog()) != nullptr; })) {
            failures.push_back("no Open dialog");
            return;
        }
        char folder[4 * MAX_PATH] = {};
        SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder));
        const size_t fits = MAX_PATH - 2 - std::strlen(folder);  // folder, backslash, name: 259
        const struct {
            std::string name;
            bool refused;
        } rows[] = {
            {std::string(fits, 'n'), false},
            {std::string(fits + 1, 'n'), true},
            {std::string(1500, 'n') + "/x\t.csv", true},
            {"C:\\" + std::string(MAX_PATH - 4, 'a'), false},
            {"C:\\" + std::string(MAX_PATH - 3, 'a'), true},
        };
        HWND edit = GetDlgItem(dialog, edt1);
        for (HWND child : ui::children(GetDlgItem(dialog, cmb13)))
            for (HWND inner : ui::children(child))
                if (ui::className(inner) == "Edit") edit = inner;
        for (const auto& row : rows) {
            const std::string label = std::to_string(row.name.size()) + " characters in " + folder;
            SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(row.name.c_str()));
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            HWND box = nullptr;
            if (!ui::waitFor([&] { return (box = boxOf(dialog)) != nullptr; })) {
                failures.push_back(label + ": no box");
                return;
            }
            ui::waitFor([&] { return !boxText(box).empty(); });
            if ((boxText(box) == tooLong) != row.refused) failures.push_back(label + ": the box says " + boxText(box));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            ui::waitFor([&] { return !IsWindow(box); });
            if (!IsWindow(dialog) || ui::text(edit) != row.name) failures.push_back(label + ": the name is gone");
        }
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    std::string path = "kept.csv";
    EXPECT_FALSE(RecordsPlatform.chooseOpenPath(nullptr, path));
    person.join();
    EXPECT_EQ("kept.csv", path);
    std::string all;
    for (const std::string& failure : failures) all += failure + "\n";
    EXPECT_EQ("", all);
}

TEST(RecordsTimeline, BarsLieOverEachRecordsWindowAtEveryResolution) {
    for (int dpi : {96, 120, 144, 192}) {
        expectBarsOverTheWindows(AnnFile, dpi);
        expectBarsOverTheWindows(MaryFile, dpi);
    }
}

TEST(RecordsTimeline, NothingButTheBackgroundWithoutWindows) {
    Bitmap picture(200, 80);
    const RECT area{0, 0, 200, 80};
    TimelineInput input;
    input.bars.resize(2);  // two records that gave no window
    drawTimeline(picture.dc, area, input, 96);
    for (int y = 0; y < 80; y += 7)
        for (int x = 0; x < 200; x += 7) ASSERT_EQ(GetPixel(picture.dc, x, y), TimelineBackground) << x << "," << y;
}

}  // namespace
