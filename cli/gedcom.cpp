#include "gedcom.h"


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

void appendGedcomDate(std::string& text, year_month_day date, DateForm precision, GedcomVersion version) {
    // Built in a small buffer and appended once: a batch writes two a row.
    char out[24];
    char* end = out;
    const auto number = [&end](unsigned value, unsigned width) {
        char digits[12];
        unsigned n = 0;
        do {
            digits[n++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0 || n < width);
        while (n > 0) *end++ = digits[--n];
    };
    if (precision == DateForm::FullDate) {
        number(static_cast<unsigned>(date.day()), 1);
        *end++ = ' ';
    }
    if (precision != DateForm::YearOnly) {
        const char* month = GedcomMonths[static_cast<unsigned>(date.month()) - 1];
        *end++ = month[0];
        *end++ = month[1];
        *end++ = month[2];
        *end++ = ' ';
    }
    // 5.5.1 wants a year of three or four digits; 7 any integer.
    number(static_cast<unsigned>(static_cast<int>(date.year())), version == GedcomVersion::V551 ? 3 : 1);
    text.append(out, static_cast<size_t>(end - out));
}

std::string gedcomDate(year_month_day date, DateForm precision, GedcomVersion version) {
    std::string text;
    appendGedcomDate(text, date, precision, version);
    return text;
}

bool appendGedcomDateValue(std::string& text, const DateWindow& window, GedcomVersion version) {
    if (window.status != WindowStatus::Ok) return false;
    const DateForm p = window.precision;
    const bool inclusive = version == GedcomVersion::V7;
    const size_t start = text.size();
    if (window.earliest && window.latest) {
        text.append("BET ");
        appendGedcomDate(text, *window.earliest, p, version);
        const size_t from = start + 4, fromEnd = text.size();
        text.append(" AND ");
        const size_t to = text.size();
        appendGedcomDate(text, *window.latest, p, version);
        // Bounds that read the same are one calculated date.
        if (std::string_view(text).substr(from, fromEnd - from) == std::string_view(text).substr(to)) {
            text.resize(fromEnd);
            text.replace(start, 3, "CAL");
        }
        return true;
    }
    if (window.latest) {
        const auto bound = inclusive ? window.latest : step(*window.latest, p, +1);
        if (!bound) return false;
        text.append("BEF ");
        appendGedcomDate(text, *bound, p, version);
        return true;
    }
    if (window.earliest) {
        const auto bound = inclusive ? window.earliest : step(*window.earliest, p, -1);
        if (!bound) return false;
        text.append("AFT ");
        appendGedcomDate(text, *bound, p, version);
        return true;
    }
    return false;
}

std::optional<std::string> gedcomDateValue(const DateWindow& window, GedcomVersion version) {
    std::string text;
    if (!appendGedcomDateValue(text, window, version)) return std::nullopt;
    return text;
}

std::string gedcomAge(const AgeValue& age) {
    return std::to_string(age.years) + "y " + std::to_string(age.months) + "m " + std::to_string(age.days) + "d";
}

std::optional<std::string> gedcomAgeValue(const AgeWindow& window) {
    if (window.status != WindowStatus::Ok || !(window.youngest == window.oldest)) return std::nullopt;
    return gedcomAge(window.youngest);
}

}  // namespace quillark
