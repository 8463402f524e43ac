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

int32_t weekdayOf(int64_t year, int64_t month, int64_t day) {
    // 1 January 1970 was a Thursday.
    const int64_t n = dayNumber(year, month, day) + 4;
    return static_cast<int32_t>(n - floorDiv(n, 7) * 7);
}

bool validDate(const DateParts& p) {
    if (!inYears(p.year)) return false;
    if (p.form == DateForm::YearOnly) return true;
    if (p.month < 1 || p.month > 12) return false;
    return p.form == DateForm::MonthYear || (p.day >= 1 && p.day <= monthLength(p.month, p.year));
}

Date firstDay(const DateParts& p) {
    switch (p.form) {
    case DateForm::YearOnly: return makeDate(p.year, 1, 1);
    case DateForm::MonthYear: return makeDate(p.year, p.month, 1);
    case DateForm::FullDate: break;
    }
    return makeDate(p.year, p.month, p.day);
}

Date lastDay(const DateParts& p) {
    switch (p.form) {
    case DateForm::YearOnly: return makeDate(p.year, 12, 31);
    case DateForm::MonthYear: return makeDate(p.year, p.month, monthLength(p.month, p.year));
    case DateForm::FullDate: break;
    }
    return makeDate(p.year, p.month, p.day);
}

DateParts partsOf(const Date& d) { return {DateForm::FullDate, monthOf(d), dayOf(d), yearOf(d)}; }
