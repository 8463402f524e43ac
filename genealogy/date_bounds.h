// The window of possible dates behind an answer.
//
// The calculator answers in the window's words ("1901 or 1900"); a researcher
// citing the answer needs the exact days those words stand for. Given the
// date that is known and the age, these functions give the earliest and the
// latest possible date of the computed fact (either may be open), or, when
// the age is computed, the youngest and the oldest possible age.
//
// The rules, on the calendar of the date given (the Gregorian one, extended
// backwards, unless the date is Julian); the bounds are always Gregorian
// days, so that windows of both calendars compare and intersect:
// - An age of N whole years at an event on day E: the N-th birthday fell on
//   or before E and the (N+1)-th after it, so the birth lies from
//   (E - (N+1) years) + 1 day to E - N years.
// - Moving a date back by whole years or months keeps its day, taken as the
//   month's last where the month is shorter (29 February 1901 - 1 year is
//   28 February 1900). Moving a birth forward rounds the other way (a
//   29 February birthday is reached on 1 March in a common year), so that
//   the birth window and the event window are exact inverses of each other.
// - Years and months together count as one move by 12 * years + months.
// - A years range a-b covers a to b whole years; "-5" is 0 to 5; "60+" is 60
//   or more, with no earliest birth (no latest event).
// - With the days given the age is exact: the date is the one the window
//   shows, and for a partial date the span of those dates.
// - A partial date (month/year or year) spans every day of it.
//
// Everything here is pure and keeps no state; a date outside the years
// 1 to 9999 is reported as such rather than written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "calculation.h"
#include "date.h"
#include "entry.h"

namespace quillark {

// Reads any date text the window accepts (canonical, displayed, with or
// without week-day tag). Empty when the text is no valid date of the years
// 1 to 9999 (a full date must be a real calendar day).
std::optional<DateParts> readDateText(std::string_view text);

// An age as whole units: at least lowMonths completed months and fewer than
// highMonths (open when empty); or, when exact, precisely the engine's
// years, months and days.
struct WindowAge {
    int64_t lowMonths = 0;
    std::optional<int64_t> highMonths;
    bool exact = false;  // the days are given
    int32_t years = 0, months = 0, days = 0;  // the engine's arithmetic, exact only
};

// The age the engine reads from its three fields, as the window uses it.
WindowAge windowAge(const AgeSpec& age);

enum class WindowStatus {
    Ok,
    OutOfRange,  // a bound falls outside the years 1 to 9999
    NoDate,      // the given date is not a valid date
};

struct DateWindow {
    WindowStatus status = WindowStatus::Ok;
    std::optional<Date> earliest;  // empty: open start
    std::optional<Date> latest;    // empty: open end
    DateForm precision = DateForm::FullDate;  // the precision of the date given
    Calendar calendar = Calendar::Gregorian;  // the calendar of the date given, to write the bounds in
};

// The birth window from an event and an age, and the event window from a
// birth and an age; the given date must be valid (validDate).
DateWindow birthWindow(const DateParts& event, const WindowAge& age);
DateWindow eventWindow(const DateParts& birth, const WindowAge& age);

// A birth window straight from texts: the event date in any form the window
// accepts and the three age fields as the engine reads them.
DateWindow birthWindowFrom(std::string_view eventText, std::string_view yearsText,
                           std::string_view monthsText = {}, std::string_view daysText = {});

// An age as completed years, months and days.
struct AgeValue {
    int64_t years = 0;
    int64_t months = 0;  // 0..11
    int64_t days = 0;    // 0..30
    friend bool operator==(const AgeValue&, const AgeValue&) = default;
};

struct AgeWindow {
    WindowStatus status = WindowStatus::Ok;
    AgeValue youngest;
    AgeValue oldest;
    DateForm precision = DateForm::FullDate;  // the coarser of the two dates
};

// Completed years, months and days from birth to event by the rules above
// (the largest month count that moved back from the event still reaches the
// birth, then the days left). Callers make sure event >= birth.
AgeValue completedAge(const Date& birth, const Date& event);
// The same for two full dates of one calendar, counted in it.
AgeValue completedAge(const DateParts& birth, const DateParts& event);

// The youngest and oldest age between two valid dates; for two full dates
// the age is the single one both give.
AgeWindow ageWindow(const DateParts& event, const DateParts& birth);

// The window of a whole answer: the fact the engine computed, from the
// dates and the age it worked from.
struct AnswerWindow {
    MissingFact fact = MissingFact::None;
    DateWindow dates;  // EventDate, BirthDate
    AgeWindow ages;    // Age
    WindowStatus status = WindowStatus::Ok;
};
AnswerWindow answerWindow(const EntryAnswer& answer);
// The same filled in place, as a batch does for every row: of dates and
// ages only the one for the fact is written.
void fillAnswerWindow(const EntryAnswer& answer, AnswerWindow& window);

// The birth window one calculated request allows: the window of the
// computed birth date, or the span of the birth date given when another
// fact was computed. Empty when the answer gives none.
std::optional<DateWindow> recordBirthWindow(const EntryAnswer& answer);

// The window of a date computed from `given` (its birth or event), widened
// where it crosses the change to the Gregorian calendar on the day `change`:
// a person born before it may have kept their birthday's date or moved it
// by the dropped days, so a bound on the other side of the change from the
// given date is also read with the same numbers in the calendar of its own
// side, and the window covers both readings. True when it was widened.
bool widenAcrossChange(DateWindow& window, const DateParts& given, const Date& change);

// "yyyy-mm-dd" (the years 1 to 9999); the second writes its ten bytes at
// out and returns their end.
std::string isoText(const Date& date);
char* writeIso(char* out, const Date& date);
// The same for a window's end; empty for an open one.
std::string isoText(const std::optional<Date>& date);

// The less precise of two forms: YearOnly < MonthYear < FullDate.
inline DateForm coarser(DateForm a, DateForm b) { return static_cast<int>(a) < static_cast<int>(b) ? a : b; }

}  // namespace quillark
