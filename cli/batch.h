// Batch mode: one calculation per CSV row, exactly as the single mode does
// it, streamed so memory stays the same whatever the file's size.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "csv.h"
#include "gedcom.h"
#include "people.h"

namespace quillark {

struct BatchOptions {
    bool abbreviated = false;
    bool weekDay = false;
    // Columns before "status": with window, <fact>_earliest and <fact>_latest
    // for each fact (event, age, birth), the row's computed fact filled in;
    // with gedcom, <fact>_gedcom; with either, "warnings".
    bool window = false;
    std::optional<GedcomVersion> gedcom;
    // Dates before this day whose calendar is not named are Julian.
    std::optional<Date> gregorianFrom;
    size_t maxRecordBytes = CsvReader::DefaultMaxRecordBytes;
    // Called now and then with the number of rows done so far, for a
    // progress display; may be empty.
    std::function<void(uint64_t rowsDone)> progress;
    uint64_t progressEvery = 4096;  // rows between progress calls
    // The column naming the person each row is about (found by name like the
    // engine's columns); empty for none. Needs people.
    std::string personColumn;
    // Collects each row's birth window under its person; may be null.
    PeopleTable* people = nullptr;
};

enum class BatchStatus {
    AllOk,        // every row calculated without error
    RowErrors,    // the run finished; at least one row reports an error
    InputError,   // the input could not be read (message says why)
    OutputError,  // the output could not be written
};

struct BatchResult {
    BatchStatus status = BatchStatus::AllOk;
    uint64_t rows = 0;        // data rows written, header not counted
    uint64_t failedRows = 0;  // rows whose status is not "ok"
    std::string message;      // for InputError and OutputError
};

// The status column's text for a row whose field count differs from the header's.
std::string rowShapeStatus(size_t fields, size_t headerFields);

// Reads a header row and then data rows from in, writes them to out with the
// five engine columns (found by name, ignoring case and surrounding blanks)
// filled in as the single mode fills them, values trimmed of blanks, and a
// last column "status": "ok" or "Caption: text". Engine columns the header
// lacks are read as empty and added after the input's columns, so no answer
// is dropped. A row that fails (its calculation, its quotes or its number of
// fields) is written as it came, with the status in the status column: a
// short row's missing fields are written empty, a long row's extra fields
// follow the status. The output keeps the line end of the input's header row.
//
// A column "census" names a census per row (empty for none): its day becomes
// the event date and its age rule applies; the years column keeps the age as
// written, and the column "warnings" before status (there whenever a census
// column is) carries what the rule noticed. An unknown census, or an event
// date that is not the census day, fails the row with "Census error: ...".
BatchResult runBatch(ByteSource& in, ByteSink& out, const BatchOptions& options);

// Writes one row per person, in the order of their first record: the person
// (under the header idHeader), the number of records that gave a window,
// birth_earliest and birth_latest, status ("ok", "conflict" or "no window"),
// and for a conflict conflict_lines (the two line numbers), outlier_line and
// the window without it. With a GEDCOM version, a column birth_gedcom after
// birth_latest holds the window as a GEDCOM date. False when writing failed.
bool writePeople(const PeopleTable& people, ByteSink& out, std::string_view idHeader,
                 std::optional<GedcomVersion> gedcom = std::nullopt, std::string_view lineEnd = "\n");

}  // namespace quillark
