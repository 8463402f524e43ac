#include "gedcom.h"

#include <cstdio>

namespace quillark {

namespace {

using namespace std::chrono;

constexpr const char* GedcomMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                        "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// The first day of the day, month or year a date falls in.
year_month_day startOf(year_month_day d, DateForm precision) {
    switch (precision) {
    case DateForm::YearOnly: return d.year() / January / 1;
    case DateForm::MonthYear: return d.year() / d.month() / 1;
    case DateForm::FullDate: break;
    }
    return d;
}

// One step of the precision later (+1) or earlier (-1), as the first day of
// that day, month or year; empty outside the years 1 to 9999.
std::optional<year_month_day> step(year_month_day d, DateForm precision, int direction) {
    year_month_day moved = startOf(d, precision);
    switch (precision) {
    case DateForm::YearOnly: moved = moved + years{direction}; break;
    case DateForm::MonthYear: moved = moved + months{direction}; break;
    case DateForm::FullDate: moved = year_month_day{sys_days{moved} + days{direction}}; break;
    }
    const int y = static_cast<int>(moved.year());
    if (y < 1 || y > 9999) return std::nullopt;
    return moved;
}

}  // namespace

std::optional<GedcomVersion> gedcomVersion(std::string_view name) {
    if (name == "5.5.1") return GedcomVersion::V551;
    if (name == "7" || name == "7.0") return GedcomVersion::V7;
    return std::nullopt;
}

std::string gedcomDate(year_month_day date, DateForm precision, GedcomVersion version) {
    char text[32];
    const int y = static_cast<int>(date.year());
    // 5.5.1 wants a year of three or four digits; 7 any integer.
    const int width = version == GedcomVersion::V551 ? 3 : 1;
    const char* month = GedcomMonths[static_cast<unsigned>(date.month()) - 1];
    switch (precision) {
    case DateForm::YearOnly: std::snprintf(text, sizeof text, "%0*d", width, y); break;
    case DateForm::MonthYear: std::snprintf(text, sizeof text, "%s %0*d", month, width, y); break;
    case DateForm::FullDate:
        std::snprintf(text, sizeof text, "%u %s %0*d", static_cast<unsigned>(date.day()), month, width, y);
        break;
    }
    return text;
}

std::optional<std::string> gedcomDateValue(const DateWindow& window, GedcomVersion version) {
    if (window.status != WindowStatus::Ok) return std::nullopt;
    const DateForm p = window.precision;
    const bool inclusive = version == GedcomVersion::V7;
    if (window.earliest && window.latest) {
        const std::string from = gedcomDate(*window.earliest, p, version);
        const std::string to = gedcomDate(*window.latest, p, version);
        if (from == to) return "CAL " + from;
        return "BET " + from + " AND " + to;
    }
    if (window.latest) {
        if (inclusive) return "BEF " + gedcomDate(*window.latest, p, version);
        const auto after = step(*window.latest, p, +1);
        if (!after) return std::nullopt;
        return "BEF " + gedcomDate(*after, p, version);
    }
    if (window.earliest) {
        if (inclusive) return "AFT " + gedcomDate(*window.earliest, p, version);
        const auto before = step(*window.earliest, p, -1);
        if (!before) return std::nullopt;
        return "AFT " + gedcomDate(*before, p, version);
    }
    return std::nullopt;
}

std::string gedcomAge(const AgeValue& age) {
    return std::to_string(age.years) + "y " + std::to_string(age.months) + "m " + std::to_string(age.days) + "d";
}

std::optional<std::string> gedcomAgeValue(const AgeWindow& window) {
    if (window.status != WindowStatus::Ok || !(window.youngest == window.oldest)) return std::nullopt;
    return gedcomAge(window.youngest);
}

}  // namespace quillark
