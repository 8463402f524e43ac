// One person's records as the records window holds them: each record's
// fields as typed, answered one by one through the research pipeline exactly
// as a batch row with a person column is, and the birth window they all
// allow, as quillark-calc's people file gives it (record numbers from 1 in
// place of line numbers).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "people.h"
#include "research.h"

namespace quillark {

struct PersonRecord {
    std::string label;   // what the user calls it: "1851 census", "burial"
    std::string census;  // a census's name; empty for none
    std::string event;   // the event date as typed
    std::string years;
    std::string months;
    std::string days;

    bool operator==(const PersonRecord&) const = default;
};

struct RecordAnswer {
    ResearchOutcome outcome = ResearchOutcome::Ok;
    // Why the record was not answered, as a batch's status says it:
    // "Illegal Date: Check on days", "Census error: no census named 'X'".
    std::string problem;
    EntryCode entryError = EntryCode::None;  // IllegalDate: the faulty part
    std::string birthShown;                  // the birth field as the answer shows it: "1806 to 1811"
    std::optional<DateWindow> birth;         // the birth window the record allows
    std::vector<std::string> warnings;
};

struct PersonRecordsAnswer {
    std::vector<RecordAnswer> records;
    // Its record numbers count from 1; its id is empty.
    PersonSummary summary;
    // The window all records allow as GEDCOM dates; empty unless Ok.
    std::string gedcom7;
    std::string gedcom551;
};

// One record answered on its own.
RecordAnswer answerPersonRecord(const PersonRecord& record);
// All of them, and what they allow together.
PersonRecordsAnswer answerPersonRecords(std::span<const PersonRecord> records);

// The ends of a window as "1810-06-07 to 1811-06-06", "on or before
// 1781-06-30", "on or after 1910-01-01"; the texts of the ends as given
// (ISO dates, or ages), empty for an open end.
std::string windowEndsText(std::string_view earliest, std::string_view latest);
std::string isoWindowText(const std::optional<Date>& earliest, const std::optional<Date>& latest);

}  // namespace quillark
