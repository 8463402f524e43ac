// One person across many records: every record that gives a birth window
// narrows the birth date, and the windows of one person must have a day in
// common. When they do not, two of the records cannot both be right.
//
// Windows of a date range on a line meet as soon as every two of them meet,
// so when a person's records leave nothing in common the smallest set that
// does so is always a pair: the record whose window starts latest and the
// record whose window ends earliest. Dropping one of those two is the only
// way a single dropped record can help, so only they are tried.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "date_bounds.h"
#include "gedcom.h"

namespace quillark {

enum class PersonStatus {
    Ok,        // the records have at least one day in common
    Conflict,  // they have none
    NoWindow,  // none of the person's records gave a window
};

struct PersonSummary {
    std::string_view id;
    uint32_t records = 0;      // records that gave a window
    uint32_t unusable = 0;     // records of this person that gave none (errors)
    PersonStatus status = PersonStatus::NoWindow;
    // What all records allow, Ok only, at the precision of the least precise
    // date any record gave.
    DateWindow birth;
    // Conflict only: the two records (their line numbers, the earlier first)
    // whose windows have no day in common.
    uint64_t conflictLines[2] = {0, 0};
    // Conflict only: the record that stands out, when leaving out that one
    // record -- and no other single one -- resolves the conflict, and the
    // window of the others.
    std::optional<uint64_t> outlierLine;
    DateWindow withoutOutlier;
};

// Collects the windows of many people, a record at a time, in any order.
// Memory grows with the number of people, not of records: each person keeps
// only the two latest starts and the two earliest ends seen so far.
class PeopleTable {
public:
    // A record of person id, from line line of the input, with its birth
    // window (its status Ok). Records with an empty id belong to no one and
    // are ignored; a window that ends before it starts counts as no window.
    void add(std::string_view id, uint64_t line, const DateWindow& birth);
    // A record of person id that gave no window (its calculation failed).
    void addUnusable(std::string_view id);

    size_t size() const { return people_.size(); }
    // The index-th person in the order of their first record.
    PersonSummary summary(size_t index) const;

private:
    // A window end as a day number; open ends are the extremes.
    struct Bound {
        int32_t day;
        uint64_t line;
    };
    struct Person {
        std::string id;
        uint32_t records = 0;
        uint32_t unusable = 0;
        Bound latestStart[2];   // [0] the latest start, [1] the runner-up
        Bound earliestEnd[2];   // [0] the earliest end, [1] the runner-up
        DateForm precision = DateForm::FullDate;  // the least precise date seen
    };

    Person& person(std::string_view id);

    std::deque<Person> people_;  // stable addresses: the index keys point into them
    std::unordered_map<std::string_view, uint32_t> index_;
};

// "ok", "conflict", "no window".
std::string_view personStatusName(PersonStatus status);

// A person's records summed up in words, their numbers as the summary gives
// them: "born between 1811-03-31 and 1811-04-07 (GEDCOM: BET ...)" (the
// GEDCOM value only with a version), "records 7 and 10 have no birth date
// in common; without record 10: born between ...", "no record gives a
// birth window".
std::string personAnswerText(const PersonSummary& summary, std::optional<GedcomVersion> gedcom);

}  // namespace quillark
