// Checking a family tree against its own evidence: every age a GEDCOM file
// records (at a census, a burial, a marriage, ...) turned into a birth
// window, the windows of one person intersected, and the result set beside
// the birth the tree records.
//
// What counts as a record of a person's birth:
// - an AGE under one of their events or attributes, or under a family event
//   for the spouse the family's HUSB or WIFE names;
// - the date of any of their own events or of their families' events,
//   which the birth cannot follow (a baptism without an age is such a
//   bound, not a birth date);
// - with text ages on, an age written only in the event's text ("was age 11
//   and the son of the head of the household"), with a warning.
// A census (CENS, or an EVEN or FACT whose TYPE names one) dated on the day
// of a census preset is taken on that day under that census's age rule.
// An event or age that cannot be read is reported with its line and left
// out; it never stops the audit.
//
// Memory grows with the number of individuals (and their records), not with
// the size of the file: the file is read once, a line at a time.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "date_bounds.h"
#include "gedcom.h"
#include "gedcom_reader.h"

namespace quillark {

enum class Verdict {
    NoRecords,        // nothing bounds the birth (rows of every individual only)
    NoBirth,          // no readable birth date is recorded
    Consistent,       // the recorded birth lies wholly inside the window
    Narrower,         // it overlaps the window, which pins down more
    Conflict,         // it lies outside the window
    RecordsDisagree,  // no date fits all the records
};
constexpr size_t VerdictCount = 6;

// "no records", "no birth", "consistent", "narrower", "conflict",
// "records disagree".
std::string_view verdictName(Verdict verdict);

struct AuditOptions {
    GedcomVersion gedcom = GedcomVersion::V7;  // of suggested_birth
    bool textAges = true;  // read an age written only in an event's text
};

// One individual as the report gives it.
struct AuditRow {
    std::string_view xref;           // as written, "@I1@"
    std::string_view name;           // UTF-8, the surname's slashes taken out
    std::string_view recordedBirth;  // the first birth's date as written; empty for none
    uint32_t records = 0;            // the records used
    Verdict verdict = Verdict::NoRecords;
    // The window all records allow; both ends empty when they disagree.
    std::optional<Date> earliest, latest;
    std::string suggested;  // a GEDCOM date value, or empty
    std::string detail;     // one sentence
    std::vector<uint64_t> evidenceLines;  // in the file's order
};

class TreeAudit {
public:
    explicit TreeAudit(AuditOptions options = {});
    ~TreeAudit();  // where the people and records are complete types
    TreeAudit(const TreeAudit&) = delete;
    TreeAudit& operator=(const TreeAudit&) = delete;

    // Reads a whole file. End when it was read (with whatever warnings),
    // NotGedcom or ReadError when it could not be; see error().
    GedcomReader::Status read(GedcomSource& source, const GedcomWarning& warning);
    const std::string& error() const { return error_; }
    uint64_t errorLine() const { return errorLine_; }
    GedcomEncoding encoding() const { return encoding_; }

    // Individuals in the file's order (INDI records).
    size_t individuals() const { return order_.size(); }
    // Lines whose tag is AGE, at any level and in any record.
    uint64_t ageLines() const { return ageLines_; }
    uint64_t bytesRead() const { return bytesRead_; }
    // Whether the index-th individual has a record that bounds the birth.
    bool hasRecords(size_t index) const;
    AuditRow row(size_t index) const;

private:
    struct Person;
    struct Record;
    struct Event;
    struct Reading;

    uint32_t personOf(std::string_view xref);
    void addRecord(uint32_t person, const Record& record);
    // who: 0 for an individual's event or a family's husband, 1 for its wife.
    void finishEvent(Reading& r, Event& event, uint32_t person, int who, const GedcomWarning& warning);
    void finishFamily(Reading& r, const GedcomWarning& warning);
    std::string_view text(uint64_t at, uint32_t size) const { return std::string_view(text_).substr(at, size); }

    AuditOptions options_;
    std::string text_;             // every xref, name and recorded birth, one after the other
    std::vector<Person> people_;   // in the order first named (an INDI, or a family's pointer)
    std::vector<uint32_t> order_;  // people with an INDI record, in the file's order
    std::vector<Record> records_;
    std::vector<uint64_t> slots_;  // xref -> person, open addressing
    uint64_t ageLines_ = 0;
    uint64_t bytesRead_ = 0;
    GedcomEncoding encoding_ = GedcomEncoding::Utf8;
    std::string error_;
    uint64_t errorLine_ = 0;
};

}  // namespace quillark
