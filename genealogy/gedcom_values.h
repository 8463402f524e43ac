// GEDCOM date and age values as family trees hold them, read into the
// dates and ages the windows are worked out from.
//
// Dates: a single date ("6 JUN 1841", "JUN 1841", "1841", mixed case), a
// calendar named as 5.5.1 or 7 names it, a dual year; ABT, CAL and EST
// (read as the date they qualify, with a warning); BEF, AFT, BET ... AND,
// FROM ... TO, FROM and TO (ranges, either end possibly open); INT date
// (phrase). A date of a calendar not reckoned in, a date before the common
// era, a bare phrase or anything else is refused with the reason.
// Ages: the GEDCOM 5.5.1 and 7 forms ("42y 6m 9d", "<5y", ">60y", CHILD,
// INFANT, STILLBORN, weeks), a bare number ("76") and the words registers
// use ("3 months", "42 yrs").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "age.h"
#include "date.h"
#include "date_bounds.h"

namespace quillark {

struct GedcomDate {
    // The earliest and the latest date the value allows; empty for an open
    // end. A single date is both.
    std::optional<DateParts> from, to;
    bool approximate = false;  // ABT, CAL or EST
    bool range = false;        // BEF, AFT, BET, FROM or TO
};

// Reads a date value; false with problem set when it cannot be read.
// Readings worth knowing about are appended to warnings.
bool readGedcomDate(std::string_view text, GedcomDate& date, std::string& problem,
                    std::vector<std::string>& warnings);

// An age as the calculator takes it: the age and whether months or days
// were given (which makes a census's rounding rule not apply).
struct GedcomAge {
    AgeSpec age;
    bool monthsOrDays = false;
    // An age over less than whole years ("> 11m", "> 0y"), which the
    // calculator's "60+" cannot say: at least so many whole months.
    std::optional<WindowAge> over;
};

// Reads an age value; false with problem set when it cannot be read.
bool readGedcomAge(std::string_view text, GedcomAge& age, std::string& problem, std::vector<std::string>& warnings);

// The age a free text gives after "age" or "aged" ("was age 11 and the son
// of the head of the household" gives "11", "aged 3 months" "3 months");
// empty when it gives none.
std::string_view ageInText(std::string_view text);

// A date for sentences: "6 Jun 1841", "Jun 1841", "1841", a Julian date
// followed by " (Julian)".
std::string dateWords(const DateParts& date);

}  // namespace quillark
