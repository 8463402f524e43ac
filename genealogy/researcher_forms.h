// The date and age forms researchers copy from their sources, read into the
// field texts the calculator understands, so the answer stays the window's.
//
// Dates: "6 Jun 1841", "6 JUN 1841", "JUN 1841", "1841-06-06", "1841-06"; a
// GEDCOM ABT, EST or CAL before a date is read as the date it qualifies,
// with a warning. The calendar may be named before the date, as GEDCOM
// 5.5.1 ("@#DJULIAN@ 14 FEB 1721") or 7 ("JULIAN 14 FEB 1721") does; a
// dual year ("14 FEB 1720/21", "1720/1", "1699/00") gives the year counted
// from 1 January and makes the date Julian. A date of a calendar Quillark
// does not reckon in is refused, never read as Gregorian.
// Ages, in the years field: GEDCOM ages ("40y 3m 2d", "3m", "2w", "<5y",
// ">60y", INFANT, CHILD, STILLBORN), census fractions of a year ("3/12" is
// 3 months, "1 3/12" a year and 3 months) and the words of registers and
// gravestones ("72 yrs 3 mos 14 days", "aged 72", "3 weeks").
// Anything else is left exactly as typed, for the calculator to read as the
// window does.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "date.h"

namespace quillark {

// A date field as a researcher's form read it.
struct DateReading {
    std::optional<DateParts> date;  // read in one of the forms here
    bool calendarNamed = false;     // its calendar was named, or given by a dual year
    std::string problem;            // why the text is refused; empty when it is not
};

// The dates of a request that were read from a researcher's form: the
// calculator takes them as they are, without reading their fields' texts.
struct ResearcherDates {
    DateReading event, birth;
};

// Rewrites the five field texts (event, years, months, days, birth) in place
// and appends a sentence to warnings for every reading a researcher should
// know about. A date in one of the forms read here is given in dates, its
// field then holding its canonical text ("06/06/1841") for messages; a date
// qualifier (ABT, EST, CAL) is taken off, leaving the date for the
// calculator to read.
void translateResearcherForms(std::array<std::string, 5>& fields, ResearcherDates& dates,
                              std::vector<std::string>& warnings);

// False when the fields hold only the window's own forms, which
// translateResearcherForms would leave as they are (digits and blanks, "/"
// in the dates, "-" and "+" in the years).
bool mayHoldResearcherForms(const std::array<std::string_view, 5>& fields);

// The date alone: true when the text was rewritten; the reading's date is
// set when it was read as well, its problem when the text is refused.
bool translateDate(std::string& text, DateReading& reading, std::vector<std::string>& warnings);

// Whether a date field may hold a dual year ("1720/21"), which is written in
// the characters of the window's own forms.
bool mayBeDualYear(std::string_view text);

// A date for messages, as far as it is known: "14 Feb 1721", "Feb 1721",
// "1721".
std::string dayText(const DateParts& date);

// A date's canonical text: "mm/dd/yyyy", "mm/yyyy" or "yyyy".
std::string canonicalText(const DateParts& date);

}  // namespace quillark
