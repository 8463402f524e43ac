// Census presets: the reference day of each census a researcher is likely to
// meet, and how that census wrote ages down. A census's ages are ages on its
// own day, so the day becomes the event date; the age rule turns what the
// enumerator wrote into the ages the person may really have had.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "age.h"
#include "date.h"

namespace quillark {

enum class CensusAgeRule {
    // The age at the last birthday, as written.
    LastBirthday,
    // England and Wales 1841: an age of 15 or more was written as the lowest
    // multiple of 5 not above it, so "30" stands for 30 to 34. Younger ages
    // were written as stated.
    RoundedDownToFive,
};

struct Census {
    std::string_view name;     // "EW1841", "US1900"
    std::string_view country;  // "England and Wales", "United States"
    Date day;
    CensusAgeRule rule;
    std::string_view source;   // where the day comes from
};

// Every census the program knows, England and Wales first, each by year.
std::span<const Census> censusTable();

// The census of that name, ignoring case and surrounding blanks; nullptr when
// there is none.
const Census* findCensus(std::string_view name);

// What a census's age rule makes of an age as the calculator read it.
struct CensusAge {
    // The age to calculate with; empty when the rule leaves it as it is.
    std::optional<AgeSpec> age;
    std::string warning;  // empty when the age is as the rule expects
};

// Applies the census's rule to the age read from the fields (see parseAge).
// Under the 1841 rule an age of 15 or more stands for that age to four years
// more (a range's upper end and an "or under" bound are widened alike; a
// lower bound "60+" stays as it is). An age given with months or days was
// not rounded by the enumerator and is left exact. Every other census keeps
// the age as given.
CensusAge applyCensusRule(const Census& census, const AgeSpec& age, bool monthsOrDaysGiven);

// Whether a date given with a census names its day: the same day, or a
// month or year holding it.
bool isCensusDay(const Census& census, const DateParts& date);

}  // namespace quillark
