// Answers as GEDCOM dates and ages, for pasting into a family tree.
//
// A window of possible dates becomes "BET 8 DEC 1900 AND 7 DEC 1901", each
// bound written at the precision of the date given (a year-only event gives
// years, a month/year event months), rounded outwards so the text never
// claims less than the window; a single date or a window whose bounds read
// the same becomes "CAL ..." (calculated from an event and an age). An open
// window uses BEF/AFT with each version's meaning: GEDCOM 5.5.1 reads them
// as excluding the date named, GEDCOM 7 as including it, so the same latest
// day 6 June 1781 is "BEF 7 JUN 1781" in 5.5.1 and "BEF 6 JUN 1781" in 7.
// A window of a Julian date is written in the Julian calendar, each date
// named as such: "JULIAN 15 FEB 1680" in 7, "@#DJULIAN@ 15 FEB 1680" in 5.5.1.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "date_bounds.h"

namespace quillark {

enum class GedcomVersion { V551, V7 };

// "5.5.1" and "7" (also "7.0"); empty for anything else.
std::optional<GedcomVersion> gedcomVersion(std::string_view name);

// The most a GEDCOM date value or age below writes.
constexpr size_t GedcomTextBytes = 72;

// A window as a GEDCOM date value; empty when the window has no bound or a
// bound moved by one step for 5.5.1's exclusive BEF/AFT leaves the years
// 1 to 9999.
std::optional<std::string> gedcomDateValue(const DateWindow& window, GedcomVersion version);
// The same written at out (room for GedcomTextBytes); returns its end, or
// nullptr when there is none.
char* writeGedcomDateValue(char* out, const DateWindow& window, GedcomVersion version);

// An age payload: "49y 0m 30d".
std::string gedcomAge(const AgeValue& age);
char* writeGedcomAge(char* out, const AgeValue& age);

// A computed age as a GEDCOM age: the one age when youngest and oldest
// agree; empty when they differ, as a GEDCOM age holds no range.
std::optional<std::string> gedcomAgeValue(const AgeWindow& window);

}  // namespace quillark
