// The file of one person's records: the CSV the records window saves and
// opens, and that quillark-calc's batch reads with --person person --people.
// Columns: person, census, event, years, months, days, label.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "person_records.h"

namespace quillark {

struct RecordsFile {
    std::string person;  // the person all records are about
    std::vector<PersonRecord> records;
};

// Why a text is not a records file, and on which line (the header is line 1).
struct RecordsFileProblem {
    uint64_t line = 0;
    std::string reason;
};

// The most records a file may hold; a larger one is refused rather than
// read into a list nobody could work with.
inline constexpr size_t MaxRecordsInFile = 10000;

// Reads a records file. Columns are found by name, ignoring case and blanks
// around them ("name" is taken for person and "source" for label, as
// researchers name them); any other column, a row of another person, a row
// whose fields do not match the header, and an open quote are refused, since
// saving the records again would lose what the window does not keep.
std::optional<RecordsFileProblem> readRecordsFile(std::string_view text, RecordsFile& file);

// The file's text, CR LF after every line.
std::string recordsFileText(const RecordsFile& file);

// "line 4: 3 fields where the header has 7".
std::string recordsFileProblemText(const RecordsFileProblem& problem);

}  // namespace quillark
