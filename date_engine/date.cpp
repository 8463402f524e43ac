#include "date.h"

namespace {

using namespace std::chrono;

constexpr int64_t floorDiv(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

constexpr int64_t DaysPerEra = 146097;  // 400 Gregorian years
// The day number of 1 January of the year 0, where eras are counted from.
constexpr int64_t EraStart = -719528;

}  // namespace

int64_t dayNumber(int64_t year, int64_t month, int64_t day) {
    const int64_t carry = floorDiv(month - 1, 12);
    year += carry;
    month -= carry * 12;  // 1..12
    const int64_t eras = floorDiv(year, 400);
    const Date first = makeDate(year - eras * 400, month, 1);  // a year of 0..399
    return ::dayNumber(first) + eras * DaysPerEra + day - 1;
}

// Julian day numbers (days from 1 January 4713 BC, Julian) are counted as
// in the astronomers' formula for the Julian calendar; 1970-01-01 is JD
// 2440588. The Julian calendar repeats every 4 years (1461 days).
int64_t dayNumber(int64_t year, int64_t month, int64_t day, Calendar calendar) {
    if (calendar == Calendar::Gregorian) return dayNumber(year, month, day);
    const int64_t carry = floorDiv(month - 1, 12);
    year += carry;
    month -= carry * 12;
    const int64_t a = (14 - month) / 12;  // 1 for January and February
    const int64_t y = year + 4800 - a;
    const int64_t m = month + 12 * a - 3;
    return day + (153 * m + 2) / 5 + 365 * y + floorDiv(y, 4) - 32083 - 2440588;
}

CivilDay civilDay(int64_t n, Calendar calendar) {
    if (calendar == Calendar::Gregorian) return civilDay(n);
    const int64_t c = n + 2440588 + 32082;
    const int64_t d = floorDiv(4 * c + 3, 1461);
    const int64_t e = c - floorDiv(1461 * d, 4);
    const int64_t m = (5 * e + 2) / 153;
    return {d - 4800 + m / 10, static_cast<int32_t>(m + 3 - 12 * (m / 10)),
            static_cast<int32_t>(e - (153 * m + 2) / 5 + 1)};
}

CivilDay civilDay(int64_t n) {
    const int64_t eras = floorDiv(n - EraStart, DaysPerEra);
    const Date d{sys_days{days{n - eras * DaysPerEra}}};  // a year of 0..399
    return {yearOf(d) + eras * 400, monthOf(d), dayOf(d)};
}

std::optional<Date> dateOfDay(int64_t n) {
    // 0001-01-01 and 9999-12-31.
    if (n < -719162 || n > 2932896) return std::nullopt;
    return Date{sys_days{days{n}}};
}

std::optional<Date> addDays(const Date& d, int64_t n) {
    // A step within the month, as nearly every window bound takes.
    const int64_t day = dayOf(d) + n;
    if (day >= 1 && day <= 28) return d.year() / d.month() / std::chrono::day{static_cast<unsigned>(day)};
    return dateOfDay(::dayNumber(d) + n);
}

std::optional<Date> addMonths(const Date& d, int64_t months) {
    int64_t year = yearOf(d);
    int64_t month = monthOf(d);
    if (months % 12 == 0) {
        year += months / 12;  // whole years, as nearly every age is
    } else {
        const int64_t index = year * 12 + month - 1 + months;
        year = floorDiv(index, 12);
        month = index - year * 12 + 1;
    }
    if (!inYears(year)) return std::nullopt;
    return std::chrono::year{static_cast<int>(year)} / std::chrono::month{static_cast<unsigned>(month)} / d.day();
}

Date settleDay(const Date& d, MissingDay rule) {
    if (d.ok()) return d;
    const Date last = d.year() / d.month() / std::chrono::last;
    return rule == MissingDay::LastOfMonth ? last : Date{sys_days{last} + days{1}};
}

int32_t weekdayOf(int64_t year, int64_t month, int64_t day, Calendar calendar) {
    // 1 January 1970 was a Thursday.
    const int64_t n = dayNumber(year, month, day, calendar) + 4;
    return static_cast<int32_t>(n - floorDiv(n, 7) * 7);
}

bool validDate(const DateParts& p) {
    if (!inYears(p.year)) return false;
    if (p.form != DateForm::YearOnly) {
        if (p.month < 1 || p.month > 12) return false;
        if (p.form == DateForm::FullDate && (p.day < 1 || p.day > monthLength(p.month, p.year, p.calendar)))
            return false;
    }
    // The first days of the Julian year 1 are Gregorian days of the year 0.
    return p.calendar == Calendar::Gregorian || inYears(yearOf(firstDay(p)));
}

namespace {

// The first or last day of a Julian date (Gregorian days of the years 0
// to 10000).
Date julianDay(const DateParts& p, bool last) {
    int64_t month = 1, day = 1;
    if (p.form == DateForm::FullDate) {
        month = p.month;
        day = p.day;
    } else if (p.form == DateForm::MonthYear) {
        month = p.month;
        day = last ? monthLength(p.month, p.year, Calendar::Julian) : 1;
    } else if (last) {
        month = 12;
        day = 31;
    }
    return Date{sys_days{days{dayNumber(p.year, month, day, Calendar::Julian)}}};
}

}  // namespace

Date firstDay(const DateParts& p) {
    if (p.calendar == Calendar::Julian) return julianDay(p, false);
    switch (p.form) {
    case DateForm::YearOnly: return makeDate(p.year, 1, 1);
    case DateForm::MonthYear: return makeDate(p.year, p.month, 1);
    case DateForm::FullDate: break;
    }
    return makeDate(p.year, p.month, p.day);
}

Date lastDay(const DateParts& p) {
    if (p.calendar == Calendar::Julian) return julianDay(p, true);
    switch (p.form) {
    case DateForm::YearOnly: return makeDate(p.year, 12, 31);
    case DateForm::MonthYear: return makeDate(p.year, p.month, monthLength(p.month, p.year));
    case DateForm::FullDate: break;
    }
    return makeDate(p.year, p.month, p.day);
}

DateParts partsOf(const Date& d) { return {DateForm::FullDate, monthOf(d), dayOf(d), yearOf(d)}; }

DateParts partsOf(const Date& d, Calendar calendar) {
    if (calendar == Calendar::Gregorian) return partsOf(d);
    const CivilDay c = civilDay(::dayNumber(d), calendar);
    return {DateForm::FullDate, c.month, c.day, static_cast<int32_t>(c.year), calendar};
}

std::optional<Date> dayOfParts(const DateParts& p) {
    if (p.calendar == Calendar::Gregorian) {
        if (!inYears(p.year)) return std::nullopt;
        return makeDate(p.year, p.month, p.day);
    }
    return dateOfDay(dayNumber(p.year, p.month, p.day, p.calendar));
}
