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

// Writes a date into out (room for 20 bytes) and returns its end.
char* writeGedcomDate(char* out, year_month_day date, DateForm precision, GedcomVersion version) {
    if (precision == DateForm::FullDate) {
        const unsigned day = static_cast<unsigned>(date.day());  // 1..31
        if (day >= 10) *out++ = static_cast<char>('0' + day / 10);
        *out++ = static_cast<char>('0' + day % 10);
        *out++ = ' ';
    }
    if (precision != DateForm::YearOnly) {
        const char* month = GedcomMonths[static_cast<unsigned>(date.month()) - 1];
        *out++ = month[0];
        *out++ = month[1];
        *out++ = month[2];
        *out++ = ' ';
    }
    // 1..9999; 5.5.1 wants a year of three or four digits, 7 any integer.
    const unsigned y = static_cast<unsigned>(static_cast<int>(date.year()));
    const unsigned width = version == GedcomVersion::V551 ? 3 : 1;
    if (y >= 1000) *out++ = static_cast<char>('0' + y / 1000);
    if (y >= 100 || width >= 3) *out++ = static_cast<char>('0' + y / 100 % 10);
    if (y >= 10 || width >= 2) *out++ = static_cast<char>('0' + y / 10 % 10);
    *out++ = static_cast<char>('0' + y % 10);
    return out;
}

char* writeWord(char* out, std::string_view word) {
    for (char c : word) *out++ = c;
    return out;
}

}  // namespace

std::optional<GedcomVersion> gedcomVersion(std::string_view name) {
    if (name == "5.5.1") return GedcomVersion::V551;
    if (name == "7" || name == "7.0") return GedcomVersion::V7;
    return std::nullopt;
}

void appendGedcomDate(std::string& text, year_month_day date, DateForm precision, GedcomVersion version) {
    char out[24];
    text.append(out, static_cast<size_t>(writeGedcomDate(out, date, precision, version) - out));
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
    // Built in one buffer and appended once: a batch writes one a row.
    char out[64];
    char* end = out;
    if (window.earliest && window.latest) {
        char* from = writeWord(out, "BET ");
        char* fromEnd = writeGedcomDate(from, *window.earliest, p, version);
        char* to = writeWord(fromEnd, " AND ");
        end = writeGedcomDate(to, *window.latest, p, version);
        // Bounds that read the same are one calculated date.
        if (std::string_view(from, static_cast<size_t>(fromEnd - from)) ==
            std::string_view(to, static_cast<size_t>(end - to))) {
            writeWord(out, "CAL");
            end = fromEnd;
        }
    } else if (window.latest) {
        const auto bound = inclusive ? window.latest : step(*window.latest, p, +1);
        if (!bound) return false;
        end = writeGedcomDate(writeWord(out, "BEF "), *bound, p, version);
    } else if (window.earliest) {
        const auto bound = inclusive ? window.earliest : step(*window.earliest, p, -1);
        if (!bound) return false;
        end = writeGedcomDate(writeWord(out, "AFT "), *bound, p, version);
    } else {
        return false;
    }
    text.append(out, static_cast<size_t>(end - out));
    return true;
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
