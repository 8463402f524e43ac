#include "numbers.h"
#include "date_text.h"
#include "engine_internal.h"

using namespace engine;

int32_t dayOfWeek(int32_t month, int32_t year, int32_t day) {
    // Any numbers (tests and fuzzing pass month 0 or day 40): the month
    // carries into the year and the day counts from the month's first, as
    // the day-count formula this replaces read them.
    return weekdayOf(year, month, day);
}

static void appendTag(std::string& text, int32_t month, int32_t year, int32_t day) {
    int32_t w = dayOfWeek(month, year, day);
    text += "  [";
    text.append(WeekdayNames.substr(static_cast<size_t>(w) * 3, 2));
    text += ']';
}

std::string weekdayTag(std::string_view text) {
    EntryCode code = EntryCode::None;
    std::string copy = normalise(text, code);
    if (code != EntryCode::None || countChar(copy, '/') < 2) return {};
    DateParts parts = readDateParts(trimBlanks(beforeTag(copy)));
    std::string tag;
    appendTag(tag, parts.month, parts.year, parts.day);
    return tag;
}

static std::string_view abbreviation(int32_t month) {
    return MonthAbbreviations.substr(static_cast<size_t>(month - 1) * 5, 3);
}

// Month of a "/"-part that must be a month: digits only and 1..12, else 0.
// The value of a part: its digits as they stand when it is only a few
// digits, else the leading number rules.
static int32_t partValue(std::string_view part) {
    if (!allDigits(part) || part.size() > 9) return leadingNumber(part);
    int32_t value = 0;
    for (char c : part) value = value * 10 + (c - '0');
    return value;
}

static int32_t monthOfPart(std::string_view part) {
    if (!allDigits(part)) return 0;
    int32_t m = partValue(part);
    return m >= 1 && m <= 12 ? m : 0;
}

// The checks behind "Illegal Date" for a full date given as three parts. A
// part that is not all digits fails like an out-of-range one ("1a/07/1941"
// is no January).
static EntryCode checkParts(std::string_view month, std::string_view day, std::string_view year) {
    // Each part is looked at once: its value when it is a few digits, -1
    // when it holds anything else.
    auto digitsOnly = [](std::string_view part) {
        if (part.empty() || part.size() > 9) return allDigits(part) ? leadingNumber(part) : -1;
        int32_t value = 0;
        for (char c : part) {
            if (c < '0' || c > '9') return -1;
            value = value * 10 + (c - '0');
        }
        return value;
    };
    const int32_t m = digitsOnly(month);
    if (m < 1 || m > 12) return EntryCode::Months;
    const int32_t d = digitsOnly(day);
    if (d < 0) return EntryCode::Days;
    return checkFullDate({DateForm::FullDate, m, d, partValue(year)});
}

namespace {

// Four digits of a year of 0..9999, two of a month or day (one for a day
// below 10 in the abbreviated display); returns the end.
char* putDigits(char* out, int32_t value, int width) {
    for (int i = width - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
    return out + width;
}

int32_t digitsValue(std::string_view digits) {
    int32_t value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

// A text that still holds "to" or "or" once normalised: a year text, or
// anything a person typed with those letters in it. The display rewrites
// such texts by the same rules as dates, but on the text itself, since
// they need not be dates at all.
EntryCode readYearText(std::string text, size_t parts, bool abbreviated, bool weekDay, std::string& scratch,
                       FieldDate& value) {
    if (abbreviated) {
        if (parts == 2) {
            int32_t m = monthOfPart(slashPart(text, 0));
            if (m == 0) return EntryCode::Months;
            std::string shown(abbreviation(m));
            shown += ' ';
            shown.append(slashPart(text, 1));
            text.swap(shown);
        } else if (parts == 3) {
            std::string_view month = slashPart(text, 0), day = slashPart(text, 1), year = slashPart(text, 2);
            if (EntryCode check = checkParts(month, day, year); check != EntryCode::None) return check;
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
            if (!isYearText(text)) {
                EntryCode check = EntryCode::None;
                text = normalise(text, check);
                if (check != EntryCode::None) return check;
            }
            parts = countChar(text, '/') + 1;
        }
        if (parts == 3) {
            std::string_view month = slashPart(text, 0), day = slashPart(text, 1), year = slashPart(text, 2);
            if (EntryCode check = checkParts(month, day, year); check != EntryCode::None) return check;
            std::string shown = padTwo(month) + "/" + padTwo(day) + "/";
            shown.append(year);
            if (weekDay) appendTag(shown, leadingNumber(month), leadingNumber(year), leadingNumber(day));
            text.swap(shown);
        } else if (parts == 2) {
            // Checked as the abbreviated display does, so "13/1941" is no date
            // in either display.
            if (monthOfPart(slashPart(text, 0)) == 0) return EntryCode::Months;
        }
    }
    scratch.swap(text);
    value.kind = FieldKind::Text;
    value.text = scratch;
    return EntryCode::None;
}

}  // namespace

EntryCode readDate(std::string_view input, bool abbreviated, bool weekDay, std::string& scratch, FieldDate& value) {
    value = FieldDate{};
    if (input.empty()) return EntryCode::None;
    // A canonical date as the display writes it: nothing to normalise.
    if (const std::optional<DateParts> canonical = canonicalDate(input)) {
        const EntryCode check = checkDate(*canonical);
        if (check == EntryCode::None) {
            value.kind = FieldKind::Date;
            value.date = *canonical;
        }
        return check;
    }
    EntryCode code = EntryCode::None;
    const std::string_view normal = normaliseView(input, code, scratch);
    if (code != EntryCode::None) return code;
    const std::string_view untrimmed = beforeTag(normal);
    const std::string_view text = trimBlanks(untrimmed);
    const size_t parts = countChar(text, '/') + 1;
    // A month part that begins with a blank ("x 7/1941" keeps " 7") is no
    // month; trimming it away would show "7/1941" and quietly accept it.
    if ((parts == 2 || parts == 3) && !untrimmed.empty() && untrimmed.front() == ' ') return EntryCode::Months;
    if (text.empty()) return EntryCode::None;
    if (isYearText(text)) return readYearText(std::string(text), parts, abbreviated, weekDay, scratch, value);

    // Otherwise the normalisation has left a canonical date: two-character
    // month and day parts and a year of exactly four digits.
    value.kind = FieldKind::Date;
    DateParts& date = value.date;
    if (parts == 1) {
        date = {DateForm::YearOnly, 0, 0, digitsValue(text)};
        return EntryCode::None;
    }
    const std::string_view month = text.substr(0, 2);
    if (parts == 2) {
        date = {DateForm::MonthYear, monthOfPart(month), 0, digitsValue(text.substr(3))};
        if (date.month == 0) {
            value = FieldDate{};
            return EntryCode::Months;
        }
        return EntryCode::None;
    }
    const std::string_view day = text.substr(3, 2), year = text.substr(6);
    if (EntryCode check = checkParts(month, day, year); check != EntryCode::None) {
        value = FieldDate{};
        return check;
    }
    date = {DateForm::FullDate, digitsValue(month), digitsValue(day), digitsValue(year)};
    return EntryCode::None;
}

void writeDate(const FieldDate& field, bool abbreviated, bool weekDay, std::string& out) {
    if (field.kind == FieldKind::Text) {
        out.assign(field.text);
        return;
    }
    // Written into a local buffer first: at most "Mon dd, yyyy  [Su]".
    char buffer[24];
    char* end = buffer;
    const DateParts& value = field.date;
    if (field.kind == FieldKind::Empty) {
        out.clear();
        return;
    }
    const auto month = static_cast<unsigned>(value.month), day = static_cast<unsigned>(value.day);
    const auto year = static_cast<unsigned>(value.year);
    switch (value.form) {
    case DateForm::YearOnly:
        end = writeYear(end, year);
        break;
    case DateForm::MonthYear:
        if (abbreviated) {
            end = putText(end, abbreviation(value.month));
            *end++ = ' ';
        } else {
            end = writeTwoDigits(end, month);
            *end++ = '/';
        }
        end = writeYear(end, year);
        break;
    case DateForm::FullDate:
        if (abbreviated) {
            end = putText(end, abbreviation(value.month));
            *end++ = ' ';
            end = day < 10 ? putDigits(end, value.day, 1) : writeTwoDigits(end, day);
            end = putText(end, ", ");
        } else {
            end = writeTwoDigits(end, month);
            *end++ = '/';
            end = writeTwoDigits(end, day);
            *end++ = '/';
        }
        end = writeYear(end, year);
        // Only a full date gets the week day; month/year dates, years and
        // year texts never do.
        if (weekDay) {
            const int32_t w = weekdayOf(value.year, value.month, value.day, value.calendar);
            end = putText(end, "  [");
            end = putText(end, WeekdayNames.substr(static_cast<size_t>(w) * 3, 2));
            *end++ = ']';
        }
        break;
    }
    out.assign(std::string_view(buffer, static_cast<size_t>(end - buffer)));
}

FormattedDate formatDateText(std::string_view input, bool abbreviated, bool weekDay) {
    std::string scratch;
    FieldDate value;
    FormattedDate result;
    result.code = readDate(input, abbreviated, weekDay, scratch, value);
    if (result.code == EntryCode::None) writeDate(value, abbreviated, weekDay, result.text);
    return result;
}
