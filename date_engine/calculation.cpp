#include "calculation.h"

#include <charconv>

#include "date_text.h"
#include "engine_internal.h"

using namespace engine;

namespace engine {

namespace {

// An empty field reads as the year 0 (a text without a number is 0).
constexpr DateParts NoDate{DateForm::YearOnly, 0, 0, 0};

}  // namespace

CalcDate readCalcDate(std::string_view field, std::string& scratch) {
    CalcDate date;
    if (const std::optional<DateParts> canonical = canonicalDate(field)) {
        date.field.kind = FieldKind::Date;
        date.field.date = *canonical;
        return date;
    }
    const std::string_view text = trimBlanks(beforeTag(field));
    if (text.empty()) {
        date.field.date = NoDate;
        return date;
    }
    const std::string_view normal = normaliseView(text, date.code, scratch);
    date.field.date = readDateParts(normal);
    if (isYearText(normal)) {
        date.field.kind = FieldKind::Text;
        date.field.text = normal;
    } else {
        date.field.kind = FieldKind::Date;
    }
    return date;
}


}  // namespace engine

namespace {

// Moves a date by an age, later (+1) or earlier (-1). Years move the year,
// months the month (carrying into the year); the days then count from the
// first of the resulting month, so a full date always comes out as a real
// calendar date. A month/year date has no day of its own: its days carry at
// most one month, as an ordinary age of days would. The year is 64-bit, so
// that any age, however absurd, moves the date without overflow; the parts
// a form lacks stay 0.
CivilDay shiftDate(const DateParts& parts, int64_t years, int64_t months, int64_t days, int32_t direction) {
    const int64_t sign = direction > 0 ? 1 : -1;
    const Calendar calendar = parts.calendar;
    const int64_t year = parts.year + sign * years;
    if (parts.form == DateForm::YearOnly) return {year, 0, 0};
    // The month carried into the year, as the first of that month (no
    // counting for an age without months, as most are).
    const CivilDay first =
        months == 0 && parts.month >= 1 && parts.month <= 12 ? CivilDay{year, parts.month, 1}
                                                              : civilDay(dayNumber(year, parts.month + sign * months, 1));
    const int64_t day = parts.day + sign * days;
    if (parts.form == DateForm::FullDate) {
        // A day already inside its month (any age in whole years and months
        // of a real date that stays real) needs no counting.
        if (day >= 1 && (day <= 28 || day <= monthLength(first.month, first.year, calendar)))
            return {first.year, first.month, static_cast<int32_t>(day)};
        return civilDay(dayNumber(first.year, first.month, day, calendar), calendar);
    }
    int64_t month = first.month;
    if (direction > 0 && day > monthLength(first.month, first.year, calendar))
        ++month;
    else if (direction < 0 && day < 0)
        --month;
    if (month == first.month) return {first.year, first.month, 0};
    const CivilDay moved = civilDay(dayNumber(first.year, month, 1));
    return {moved.year, moved.month, 0};
}

// Appends a month or day (1..31 once normalised) as two digits.
void appendTwoDigits(std::string& text, int64_t value) {
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
}

void appendShifted(std::string& text, DateForm form, const CivilDay& d) {
    if (form != DateForm::YearOnly) {
        appendTwoDigits(text, d.month);
        text += '/';
    }
    if (form == DateForm::FullDate) {
        appendTwoDigits(text, d.day);
        text += '/';
    }
    // A date keeps the four-character year of the canonical form: the year
    // 800 is written 0800 (year words use the plain number).
    char year[24];
    char* end = std::to_chars(year, year + sizeof year, d.year).ptr;
    size_t digits = static_cast<size_t>(end - year);
    if (form != DateForm::YearOnly && d.year >= 0 && digits < 4) text.append(4 - digits, '0');
    text.append(year, digits);
}

// numberText appended: a blank before zero or a positive value.
void appendNumber(std::string& text, int64_t value) {
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    if (value >= 0) text += ' ';
    text.append(digits, end);
}

// A year of 1..9999 written without the blank; returns the end.
char* putYear(char* out, int64_t year) { return writePlainYear(out, static_cast<unsigned>(year)); }

int formRank(DateForm form) {
    return form == DateForm::YearOnly ? 0 : form == DateForm::MonthYear ? 1 : 2;
}

// True when the event lies before the birth at the precision both dates share.
bool eventBeforeBirth(const DateParts& event, const DateParts& birth) {
    int rank = std::min(formRank(event.form), formRank(birth.form));
    if (event.year != birth.year || rank == 0) return event.year < birth.year;
    if (event.month != birth.month || rank == 1) return event.month < birth.month;
    return event.day < birth.day;
}

constexpr uint32_t bit(Field field) { return 1u << fieldIndex(field); }

std::string& fieldOf(std::array<std::string, 5>& fields, Field field) { return fields[fieldIndex(field)]; }

void fail(CalcOutcome& outcome, std::string_view text, std::string_view caption) {
    outcome.caption = caption;
    outcome.text = text;
    outcome.focusEvent = true;
}

void computeAge(std::array<std::string, 5>& fields, const DateParts& e, const DateParts& b, CalcOutcome& outcome) {
    if (eventBeforeBirth(e, b)) return fail(outcome, BeforeBirthText, BeforeBirthCaption);
    int64_t dy = int64_t{e.year} - b.year;
    int64_t dm = int64_t{e.month} - b.month;
    int64_t dd = int64_t{e.day} - b.day;
    std::string& years = fieldOf(fields, Field::Years);
    std::string& months = fieldOf(fields, Field::Months);
    std::string& days = fieldOf(fields, Field::Days);
    years.clear();
    months.clear();
    days.clear();
    outcome.written |= bit(Field::Years) | bit(Field::Months) | bit(Field::Days);

    if (e.form == DateForm::YearOnly || b.form == DateForm::YearOnly) {
        // Born in the year of the event: no "or -1".
        appendNumber(years, dy > 0 ? dy : 0);
        if (dy > 0) {
            years += " or";
            appendNumber(years, dy - 1);
        }
        return;
    }
    // Borrow from the months before the event month until the days are
    // covered (a birth on the 31st and an event on 1 March need two).
    int64_t borrowMonth = e.month, borrowYear = e.year;
    for (int guard = 0; dd < 0 && guard < 24; ++guard) {
        --dm;
        if (--borrowMonth < 1) {
            borrowMonth = 12;
            --borrowYear;
        }
        dd += monthLength(static_cast<int32_t>(borrowMonth), borrowYear, e.calendar);
    }
    while (dm < 0) {
        --dy;
        dm += 12;
    }
    // Two dates that agree at the coarser precision can still borrow below
    // zero years; such an age is simply zero.
    if (dy < 0 || dd < 0) dy = dm = dd = 0;
    bool noDay = e.form == DateForm::MonthYear || b.form == DateForm::MonthYear;
    appendNumber(years, dy);
    appendNumber(months, dm);
    if (!noDay) appendNumber(days, dd);
    // Dates of 0..9999 keep each part well inside 32 bits.
    outcome.computedAge = {static_cast<int32_t>(dy), static_cast<int32_t>(dm), static_cast<int32_t>(dd)};
}

// The missing date from the other date and the age; direction -1 for the
// birth (earlier), +1 for the event (later).
void computeDate(std::array<std::string, 5>& fields, const DateParts& given, Field resultField, int32_t direction,
                 const AgeSpec* read, CalcOutcome& outcome) {
    const AgeSpec age = outcome.age =
        read != nullptr ? *read
                        : parseAge(fieldOf(fields, Field::Years), fieldOf(fields, Field::Months),
                                   fieldOf(fields, Field::Days));
    const bool plain = age.kind == AgeKind::Plain;
    const bool monthsOrDays =
        plain && !(fieldOf(fields, Field::Months).empty() && fieldOf(fields, Field::Days).empty());
    const CivilDay result = shiftDate(given, age.years, age.months, age.days, direction);
    const int64_t y = result.year;

    // A date (months or days given, and a date with a month to move) or
    // year words; every year shown must be one of 1..9999, or the answer
    // is an error and every field keeps what was typed.
    const bool asDate = monthsOrDays && given.form != DateForm::YearOnly;
    const bool range = int64_t{age.rangeLow} + age.rangeHigh != 0;
    const bool atLeast = age.kind == AgeKind::AtLeast && age.atLeast != 0;
    const int64_t span = int64_t{age.rangeHigh} - age.rangeLow;
    int64_t first = y, second = y;  // the years shown, in the order shown
    if (!asDate) {
        if (range)
            direction < 0 ? first = y - span - 1 : second = y + span + 1;
        else if (!atLeast)
            second = direction < 0 ? y - 1 : y + 1;
    }
    if (!inYears(first) || !inYears(second)) return fail(outcome, OutOfRangeText, OutOfRangeCaption);

    if (!plain) {
        fieldOf(fields, Field::Months).clear();
        fieldOf(fields, Field::Days).clear();
        outcome.written |= bit(Field::Months) | bit(Field::Days);
    }
    std::string& text = fieldOf(fields, resultField);
    text.clear();
    outcome.written |= bit(resultField);
    if (asDate) {
        appendShifted(text, given.form, result);
        outcome.computed = DateParts{given.form, result.month, result.day, static_cast<int32_t>(y), given.calendar};
        return;
    }
    // At most "9999 or before" or "9999 to 9999".
    char words[16];
    char* end = putYear(words, first);
    if (range) {
        end = putYear(putText(end, " to "), second);
    } else if (atLeast) {
        end = putText(end, direction < 0 ? " or before" : " or later");
    } else {
        end = putYear(putText(end, " or "), second);
    }
    text.assign(std::string_view(words, static_cast<size_t>(end - words)));
}

}  // namespace

namespace engine {

CalcOutcome calculateFields(std::array<std::string, 5>& fields, const CalcDate& event, const CalcDate& birth,
                            MissingFact remembered, const AgeSpec* age) {
    CalcOutcome outcome;
    outcome.missing = remembered;
    const size_t ageLength = fieldOf(fields, Field::Years).size() + fieldOf(fields, Field::Months).size() +
                             fieldOf(fields, Field::Days).size();
    const bool eventPresent = event.field.kind != FieldKind::Empty;
    const bool birthPresent = birth.field.kind != FieldKind::Empty;

    if (eventPresent && birthPresent && ageLength == 0)
        outcome.missing = MissingFact::Age;
    else if (eventPresent && ageLength > 0 && !birthPresent)
        outcome.missing = MissingFact::BirthDate;
    else if (birthPresent && ageLength > 0 && !eventPresent)
        outcome.missing = MissingFact::EventDate;
    else {
        // All three filled (a recalculation) or too little given. A remembered
        // fact is recomputed only while both of its inputs are there; from an
        // emptied input it would overwrite the user's field with a result
        // computed from zeros.
        const bool inputsThere = (remembered == MissingFact::Age && eventPresent && birthPresent) ||
                                 (remembered == MissingFact::BirthDate && eventPresent && ageLength > 0) ||
                                 (remembered == MissingFact::EventDate && birthPresent && ageLength > 0);
        if (!inputsThere) {
            outcome.entryError = EntryCode::Months;
            fail(outcome, TwoOfThreeText, TwoOfThreeCaption);
            return outcome;
        }
    }
    switch (outcome.missing) {
    case MissingFact::Age:
        if (birth.code != EntryCode::None) outcome.entryError = birth.code;
        if (event.code != EntryCode::None) outcome.entryError = event.code;
        computeAge(fields, event.field.date, birth.field.date, outcome);
        break;
    case MissingFact::BirthDate:
        outcome.entryError = event.code;
        computeDate(fields, event.field.date, Field::Birth, -1, age, outcome);
        break;
    case MissingFact::EventDate:
        outcome.entryError = birth.code;
        computeDate(fields, birth.field.date, Field::Event, +1, age, outcome);
        break;
    case MissingFact::None:
        break;
    }
    return outcome;
}

}  // namespace engine

std::string_view missingFactName(MissingFact fact) {
    switch (fact) {
    case MissingFact::EventDate: return "event";
    case MissingFact::Age: return "age";
    case MissingFact::BirthDate: return "birth";
    case MissingFact::None: break;
    }
    return "";
}

std::string applyAge(std::string_view date, int32_t years, int32_t months, int32_t days, int32_t direction) {
    const DateParts parts = readDateParts(date);
    std::string text;
    appendShifted(text, parts.form, shiftDate(parts, years, months, days, direction));
    return text;
}

std::optional<Date> applyAge(const Date& date, int32_t years, int32_t months, int32_t days, int32_t direction) {
    const CivilDay moved = shiftDate(partsOf(date), years, months, days, direction);
    if (!inYears(moved.year)) return std::nullopt;
    return makeDate(moved.year, moved.month, moved.day);
}

std::optional<Date> applyAge(const DateParts& date, int32_t years, int32_t months, int32_t days, int32_t direction) {
    const CivilDay moved = shiftDate(date, years, months, days, direction);
    // Far enough beyond the years 1 to 9999 that no calendar brings it back.
    if (moved.year < FirstYear - 1 || moved.year > LastYear + 1) return std::nullopt;
    return dayOfParts({DateForm::FullDate, moved.month, moved.day, static_cast<int32_t>(moved.year), date.calendar});
}
