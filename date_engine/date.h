// The one date type and the one calendar arithmetic of the program.
//
// A day is a std::chrono::year_month_day (`Date`), counted through sys_days.
// Month arithmetic is done the way Howard Hinnant's date library does it:
// move the month and keep the day, which the month may lack (the result is
// then !ok()), and let the caller decide what such a day becomes
// (`settleDay`). A date that is not known to the day is a `DateParts`: its
// form says how much of it is known, and firstDay/lastDay give the days it
// covers.
//
// A `Date` is always a day of the Gregorian calendar, extended backwards
// before its introduction (as ISO 8601 counts). The numbers of a
// `DateParts` may be those of the Julian calendar, which records from
// before the change are dated in: they are reckoned with the Julian month
// lengths and taken to their Gregorian day through the day number, never by
// a fixed offset. Nothing here keeps state or reports errors other than as
// values.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

// The years any date of the program lies in: every answer, window and day
// shown is of one of them.
inline constexpr int32_t FirstYear = 1;
inline constexpr int32_t LastYear = 9999;
// The years a full date typed into a date field may have ("Check on years").
inline constexpr int32_t FirstEntryYear = 1600;
inline constexpr int32_t LastEntryYear = 2100;

using Date = std::chrono::year_month_day;

enum class DateForm { YearOnly, MonthYear, FullDate };

// The calendar a date's numbers are counted in.
enum class Calendar : uint8_t { Gregorian, Julian };

// A date as numbers, known to the year, the month or the day; a part the
// form lacks is 0. The numbers are what was read: nothing says they make a
// real date (see validDate).
struct DateParts {
    DateForm form = DateForm::YearOnly;
    int32_t month = 0;  // 1..12 in a valid date
    int32_t day = 0;    // 1..daysInMonth in a valid full date
    int32_t year = 0;   // the year; 1600..2100 in a valid full date
    Calendar calendar = Calendar::Gregorian;
};

// Month names, index 1..12 (index 0 is empty): the one table from which
// every month word is read and written, in the fields, the calendar and
// GEDCOM.
inline constexpr std::array<std::string_view, 13> MonthNames = {
    "",     "January", "February", "March",     "April",   "May",      "June",
    "July", "August",  "September", "October", "November", "December",
};

constexpr bool inYears(int64_t year) { return year >= FirstYear && year <= LastYear; }

constexpr bool isLeapYear(int64_t year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }
// Every fourth year is a leap year in the Julian calendar, 1700 among them.
constexpr bool isLeapYear(int64_t year, Calendar calendar) {
    return calendar == Calendar::Julian ? year % 4 == 0 : isLeapYear(year);
}

// Days of a month (1..12) in any year.
constexpr int32_t monthLength(int32_t month, int64_t year, Calendar calendar = Calendar::Gregorian) {
    if (month == 2) return isLeapYear(year, calendar) ? 29 : 28;
    return month <= 7 ? 30 + month % 2 : 30 + (month + 1) % 2;
}

// The date of numbers known to make one (year, month and day in range).
inline Date makeDate(int64_t year, int64_t month, int64_t day) {
    return Date{std::chrono::year{static_cast<int>(year)}, std::chrono::month{static_cast<unsigned>(month)},
                std::chrono::day{static_cast<unsigned>(day)}};
}

inline int32_t yearOf(const Date& d) { return static_cast<int>(d.year()); }
inline int32_t monthOf(const Date& d) { return static_cast<int32_t>(static_cast<unsigned>(d.month())); }
inline int32_t dayOf(const Date& d) { return static_cast<int32_t>(static_cast<unsigned>(d.day())); }

// The day number of a date: days from 1970-01-01, as sys_days counts them.
inline int64_t dayNumber(const Date& d) { return std::chrono::sys_days{d}.time_since_epoch().count(); }

// The same for numbers that need not make a date: the day-th day counted
// from the first of the month (0 is the day before it, 40 lies in the next
// month), the month carried into the year, and a year of any size. An
// absurd age moves a date far beyond the years chrono holds before the
// answer is judged, so whole 400-year cycles (146097 days each) are taken
// off first.
int64_t dayNumber(int64_t year, int64_t month, int64_t day);
// The same for numbers of either calendar.
int64_t dayNumber(int64_t year, int64_t month, int64_t day, Calendar calendar);

// The civil date of a day number, its year in 64 bits.
struct CivilDay {
    int64_t year;
    int32_t month;  // 1..12
    int32_t day;    // 1..31
};
CivilDay civilDay(int64_t dayNumber);
// The date of a day number in either calendar.
CivilDay civilDay(int64_t dayNumber, Calendar calendar);

// The date of a day number; empty outside the years 1 to 9999.
std::optional<Date> dateOfDay(int64_t dayNumber);

// n days later (earlier when negative); empty outside the years 1 to 9999.
std::optional<Date> addDays(const Date& d, int64_t n);

// `months` months later (earlier when negative), the day kept: where the
// month lacks it the result is !ok() and the caller settles it. Empty when
// the year leaves 1 to 9999.
std::optional<Date> addMonths(const Date& d, int64_t months);

// What a day the month lacks (30 February) becomes: the month's last day,
// or the first day of the next month.
enum class MissingDay { LastOfMonth, FirstOfNext };
// A date as it is when ok(); else settled by the rule. FirstOfNext may move
// into the year 10000, which the caller checks with inYears.
Date settleDay(const Date& d, MissingDay rule);

// 0 Sunday .. 6 Saturday, for any numbers (the month carried into the year,
// the day counted from the first of the month).
int32_t weekdayOf(int64_t year, int64_t month, int64_t day, Calendar calendar = Calendar::Gregorian);

// Whether the parts make a date of the years 1 to 9999 (a month of 1..12,
// a full date's day in its month); a Julian date's days must fall in those
// years too.
bool validDate(const DateParts& parts);
// The first and the last day a valid date covers: the day itself, the
// month's first and last, or the year's, each as its Gregorian day.
Date firstDay(const DateParts& parts);
Date lastDay(const DateParts& parts);
// A day as a full date, of the calendar asked for.
DateParts partsOf(const Date& d);
DateParts partsOf(const Date& d, Calendar calendar);
// A full date's day; empty outside the years 1 to 9999.
std::optional<Date> dayOfParts(const DateParts& fullDate);
