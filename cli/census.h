// Census presets: the reference day of each census a researcher is likely to
// meet, and how that census wrote ages down. A census's ages are ages on its
// own day, so the day becomes the event date; the age rule turns what the
// enumerator wrote into the ages the person may really have had.
#pragma once

#include <array>
#include <chrono>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
    std::chrono::year_month_day day;
    CensusAgeRule rule;
    std::string_view source;   // where the day comes from, for --census list
};

// Every census the program knows, England and Wales first, each by year.
std::span<const Census> censusTable();

// The census of that name, ignoring case and surrounding blanks; nullptr when
// there is none.
const Census* findCensus(std::string_view name);

// The census day as the window's canonical date text, "mm/dd/yyyy".
std::string censusDateText(const Census& census);

// What a census's age rule makes of the age fields.
struct CensusAge {
    std::string years;    // the years entry to calculate with
    std::string warning;  // empty when the age is as the rule expects
};

// Applies the census's rule to the years entry in the window's forms ("30",
// "20-30", "-5", "60+"). Under the 1841 rule an age of 15 or more stands for
// that age to four years more (a range's upper end and an "or under" bound
// are widened alike; a lower bound "60+" stays as it is). An age given with
// months or days was not rounded by the enumerator and is left exact. Other
// entries, and every other census, keep the years as given.
CensusAge applyCensusRule(const Census& census, std::string_view years, bool monthsOrDaysGiven);

// A request made at a census: the census's day as the event date and its
// age rule applied to the years.
struct CensusRequest {
    std::string error;    // "no census named ..." or a disagreeing event date; empty when fine
    std::string event;    // the census day, "mm/dd/yyyy"
    std::string years;    // as applyCensusRule reads them
    std::string warning;  // from the age rule
};

// The census named name (see findCensus). An event date given as well must
// agree with the census day: the same day, or a month or year holding it.
CensusRequest censusRequest(std::string_view name, std::string_view event, std::string_view years,
                            bool monthsOrDaysGiven);

// A request's five fields (as the researchers' forms leave them) read under
// the census named name: on success the engine's event and years fields are
// pointed at census.event and census.years, and the rule's warning joins
// warnings; otherwise census.error says why and engine is left alone. Months
// or days in their own fields make the age exact.
bool applyCensus(std::string_view name, const std::array<std::string, 5>& fields, CensusRequest& census,
                 std::array<std::string_view, 5>& engine, std::vector<std::string>& warnings);

// The table as --census list prints it, one census a line.
std::string censusListText();

}  // namespace quillark
