#include <cmath>

#include "numbers.h"
#include "date_text.h"
#include "engine_internal.h"

using namespace engine;

int32_t dayOfWeek(int32_t month, int32_t year, int32_t day) {
    // The day count is the Julian Day Number plus 4 for every Gregorian date of
    // the years 1..9999. The constants are the single-precision values of 2.85
    // and 0.01; for those years every floor lies well clear of an integer, so
    // the precision used does not change the answer. Doubles also keep absurd
    // inputs finite, so nothing overflows.
    const double monthShift = 2.8499999046325684;
    const double centuryScale = 0.009999999776482582;
    double j = year + (month - monthShift) / 12.0;
    double n = 1721119.0 +
               std::floor(std::floor(std::floor(367.0 * j) - 1.75 * std::floor(j) + day) -
                          0.75 * std::floor(j * centuryScale));
    int64_t count = static_cast<int64_t>(n);
    return static_cast<int32_t>(((count - 3) % 7 + 7) % 7);
}

static void appendTag(std::string& text, int32_t month, int32_t year, int32_t day) {
    int32_t w = dayOfWeek(month, year, day);
    text += "  [";
    text.append(WeekdayNames.substr(static_cast<size_t>(w) * 3, 2));
    text += ']';
}

std::string weekdayTag(std::string_view text) {
    int32_t code = 0;
    std::string copy = normalise(text, code);
    if (code != 0 || countChar(copy, '/') < 2) return {};
    DateParts parts = readDateParts(trimBlanks(beforeTag(copy)));
    std::string tag;
    appendTag(tag, parts.month, parts.year, parts.day);
    return tag;
}

static std::string_view abbreviation(int32_t month) {
    return MonthAbbreviations.substr(static_cast<size_t>(month - 1) * 5, 3);
}

// Month of a "/"-part that must be a month: digits only and 1..12, else 0.
static int32_t monthOfPart(std::string_view part) {
    if (!allDigits(part)) return 0;
    int32_t m = leadingNumber(part);
    return m >= 1 && m <= 12 ? m : 0;
}

// The checks behind "Illegal Date" for a full date given as three parts:
// 1 months, 2 days, 3 years, 0 valid. A part that is not all digits fails
// like an out-of-range one ("1a/07/1941" is no January).
static int32_t checkParts(std::string_view month, std::string_view day, std::string_view year) {
    if (!allDigits(month)) return 1;
    DateParts parts{DateForm::FullDate, leadingNumber(month), leadingNumber(day), leadingNumber(year)};
    if (parts.month < 1 || parts.month > 12) return 1;
    if (!allDigits(day)) return 2;
    return checkFullDate(parts);
}

FormattedDate formatDateText(std::string_view input, bool abbreviated, bool weekDay) {
    int32_t code = 0;
    std::string normal = normalise(input, code);
    if (code != 0) return {code, {}};
    std::string_view untrimmed = beforeTag(normal);
    std::string text(trimBlanks(untrimmed));
    size_t parts = countChar(text, '/') + 1;
    // A month part that begins with a blank ("x 7/1941" keeps " 7") is no
    // month; trimming it away would show "7/1941" and quietly accept it.
    if ((parts == 2 || parts == 3) && !untrimmed.empty() && untrimmed.front() == ' ') return {1, {}};

    if (abbreviated) {
        if (parts == 2) {
            int32_t m = monthOfPart(slashPart(text, 0));
            if (m == 0) return {1, {}};
            std::string shown(abbreviation(m));
            shown += ' ';
            shown.append(slashPart(text, 1));
            text.swap(shown);
        } else if (parts == 3) {
            std::string_view month = slashPart(text, 0), day = slashPart(text, 1), year = slashPart(text, 2);
            if (int32_t check = checkParts(month, day, year); check != 0) return {check, {}};
            size_t firstKept = day.find_first_not_of('0');
            std::string shown(abbreviation(leadingNumber(month)));
            shown += ' ';
            shown.append(firstKept == std::string_view::npos ? std::string_view{} : day.substr(firstKept));
            shown += ", ";
            shown.append(year);
            if (weekDay) appendTag(shown, leadingNumber(month), leadingNumber(year), leadingNumber(day));
            text.swap(shown);
        }
    } else {
        // A month word the normalisation left standing because the text holds
        // "to" or "or" ("October 5, 1941") is converted here.
        std::string_view first = std::string_view(text).substr(0, 3);
        int32_t position = monthWordPosition(first);
        if (position != 0) {
            replaceAll(text, ", ", " ");
            replaceAll(text, ",", " ");
            replaceAll(text, " ", "/");
            std::string word(slashPart(text, 0));
            replaceAll(text, word, std::to_string((position - 1) / 5 + 1));
            // Once the word is gone the text must stand as a date entry of its
            // own: "Mayor" would otherwise come out as "5", a text that is no
            // date and that the next formatting rejects.
            if (text.find("to") == std::string::npos && text.find("or") == std::string::npos) {
                int32_t check = 0;
                text = normalise(text, check);
                if (check != 0) return {check, {}};
            }
            parts = countChar(text, '/') + 1;
        }
        if (parts == 3) {
            std::string_view month = slashPart(text, 0), day = slashPart(text, 1), year = slashPart(text, 2);
            if (int32_t check = checkParts(month, day, year); check != 0) return {check, {}};
            std::string shown = padTwo(month) + "/" + padTwo(day) + "/";
            shown.append(year);
            if (weekDay) appendTag(shown, leadingNumber(month), leadingNumber(year), leadingNumber(day));
            text.swap(shown);
        } else if (parts == 2) {
            // Checked as the abbreviated display does, so "13/1941" is no date
            // in either display.
            if (monthOfPart(slashPart(text, 0)) == 0) return {1, {}};
        }
    }
    // Only a full date gets the week day (added above, from the numbers just
    // checked); month/year dates, years and year texts never do.
    return {0, std::move(text)};
}
