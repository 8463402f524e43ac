#include "gedcom.h"

#include <array>
#include <charconv>
#include <cstring>

namespace quillark {

namespace {

// Each month's name as GEDCOM writes it, its first three letters in capitals,
// with the blank after it: four bytes apiece.
constexpr std::array<char, 48> GedcomMonths = [] {
    std::array<char, 48> months{};
    for (size_t m = 0; m < 12; ++m) {
        for (size_t i = 0; i < 3; ++i) {
            const char c = MonthNames[m + 1][i];
            months[4 * m + i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
        months[4 * m + 3] = ' ';
    }
    return months;
}();

// A day's numbers in the calendar a window is written in.
DateParts numbersOf(const Date& d, Calendar calendar) {
    return calendar == Calendar::Gregorian ? partsOf(d) : partsOf(d, calendar);
}

// Whether two days fall in the same day, month or year of the calendar.
bool samePeriod(const Date& a, const Date& b, DateForm precision, Calendar calendar) {
    if (calendar == Calendar::Gregorian)
        return a.year() == b.year() && (precision == DateForm::YearOnly || a.month() == b.month()) &&
               (precision != DateForm::FullDate || a.day() == b.day());
    const DateParts x = numbersOf(a, calendar), y = numbersOf(b, calendar);
    return x.year == y.year && (precision == DateForm::YearOnly || x.month == y.month) &&
           (precision != DateForm::FullDate || x.day == y.day);
}

// One step of the precision later (+1) or earlier (-1), as the first day of
// that day, month or year; empty outside the years 1 to 9999.
std::optional<Date> step(const Date& d, DateForm precision, int direction, Calendar calendar) {
    if (calendar != Calendar::Gregorian) {
        const DateParts n = numbersOf(d, calendar);
        switch (precision) {
        case DateForm::YearOnly: return dateOfDay(dayNumber(n.year + direction, 1, 1, calendar));
        case DateForm::MonthYear: return dateOfDay(dayNumber(n.year, n.month + direction, 1, calendar));
        case DateForm::FullDate: break;
        }
        return addDays(d, direction);
    }
    const Date start = firstDay({precision, precision == DateForm::YearOnly ? 0 : monthOf(d),
                                 precision == DateForm::FullDate ? dayOf(d) : 0, yearOf(d)});
    switch (precision) {
    case DateForm::YearOnly: return addMonths(start, 12 * direction);
    case DateForm::MonthYear: return addMonths(start, direction);
    case DateForm::FullDate: break;
    }
    return addDays(start, direction);
}

// Writes a date into out (room for 32 bytes) and returns its end; a Julian
// date is preceded by its calendar as the version names it.
char* writeGedcomDate(char* out, const Date& gregorian, DateForm precision, GedcomVersion version,
                      Calendar calendar) {
    unsigned year, month, day;
    if (calendar == Calendar::Gregorian) {
        year = static_cast<unsigned>(yearOf(gregorian));
        month = static_cast<unsigned>(monthOf(gregorian));
        day = static_cast<unsigned>(dayOf(gregorian));
    } else {
        const DateParts n = numbersOf(gregorian, calendar);
        year = static_cast<unsigned>(n.year);
        month = static_cast<unsigned>(n.month);
        day = static_cast<unsigned>(n.day);
        const std::string_view name = version == GedcomVersion::V7 ? "JULIAN " : "@#DJULIAN@ ";
        std::memcpy(out, name.data(), name.size());
        out += name.size();
    }
    if (precision == DateForm::FullDate) {
        // 1..31 without a leading zero: both digits are written and the
        // pointer steps back over the zero (the blank then overwrites the
        // second digit), which spares a branch that random days mispredict.
        const unsigned one = day < 10 ? 1 : 0;
        writeTwoDigits(out, day);
        out[0] = out[one];
        out += 2 - one;
        *out++ = ' ';
    }
    if (precision != DateForm::YearOnly) {
        std::memcpy(out, GedcomMonths.data() + 4 * (month - 1), 4);
        out += 4;
    }
    // 1..9999; 5.5.1 wants a year of three or four digits, 7 any integer.
    const unsigned y = year;
    if (y >= 1000) return writeYear(out, y);
    const unsigned width = version == GedcomVersion::V551 ? 3 : 1;
    if (y >= 100 || width >= 3) *out++ = static_cast<char>('0' + y / 100 % 10);
    if (y >= 10 || width >= 2) *out++ = static_cast<char>('0' + y / 10 % 10);
    *out++ = static_cast<char>('0' + y % 10);
    return out;
}

// A word of N - 1 letters (a literal) at out; returns its end.
template <size_t N>
char* writeWord(char* out, const char (&word)[N]) {
    std::memcpy(out, word, N - 1);
    return out + N - 1;
}

}  // namespace

std::optional<GedcomVersion> gedcomVersion(std::string_view name) {
    if (name == "5.5.1") return GedcomVersion::V551;
    if (name == "7" || name == "7.0") return GedcomVersion::V7;
    return std::nullopt;
}

char* writeGedcomDateValue(char* out, const DateWindow& window, GedcomVersion version) {
    if (window.status != WindowStatus::Ok) return nullptr;
    const DateForm p = window.precision;
    const Calendar c = window.calendar;
    const bool inclusive = version == GedcomVersion::V7;
    if (window.earliest && window.latest) {
        // Bounds that read the same are one calculated date.
        if (samePeriod(*window.earliest, *window.latest, p, c))
            return writeGedcomDate(writeWord(out, "CAL "), *window.earliest, p, version, c);
        out = writeGedcomDate(writeWord(out, "BET "), *window.earliest, p, version, c);
        return writeGedcomDate(writeWord(out, " AND "), *window.latest, p, version, c);
    }
    if (window.latest) {
        const auto bound = inclusive ? window.latest : step(*window.latest, p, +1, c);
        return bound ? writeGedcomDate(writeWord(out, "BEF "), *bound, p, version, c) : nullptr;
    }
    if (window.earliest) {
        const auto bound = inclusive ? window.earliest : step(*window.earliest, p, -1, c);
        return bound ? writeGedcomDate(writeWord(out, "AFT "), *bound, p, version, c) : nullptr;
    }
    return nullptr;
}

std::optional<std::string> gedcomDateValue(const DateWindow& window, GedcomVersion version) {
    char out[GedcomTextBytes];
    const char* end = writeGedcomDateValue(out, window, version);
    if (end == nullptr) return std::nullopt;
    return std::string(out, static_cast<size_t>(end - out));
}

char* writeGedcomAge(char* out, const AgeValue& age) {
    // Each part at most 20 characters: the three with their units fit.
    out = std::to_chars(out, out + 20, age.years).ptr;
    out = writeWord(out, "y ");
    out = std::to_chars(out, out + 20, age.months).ptr;
    out = writeWord(out, "m ");
    out = std::to_chars(out, out + 20, age.days).ptr;
    *out++ = 'd';
    return out;
}

std::string gedcomAge(const AgeValue& age) {
    char out[GedcomTextBytes];
    return std::string(out, static_cast<size_t>(writeGedcomAge(out, age) - out));
}

std::optional<std::string> gedcomAgeValue(const AgeWindow& window) {
    if (window.status != WindowStatus::Ok || !(window.youngest == window.oldest)) return std::nullopt;
    return gedcomAge(window.youngest);
}

}  // namespace quillark
