#include "calculation.h"

#include <charconv>

#include "date_text.h"
#include "engine_internal.h"

using namespace engine;

MissingFact MissingPart = MissingFact::None;

namespace engine {

// Howard Hinnant's civil day count, written out on 64 bits: the standard
// library's calendar types do the same sum but hold years of -32767..32767
// only, and an absurd age moves a date far beyond that before the answer is
// judged.
int64_t daysFromCivil(int64_t year, int64_t month, int64_t day) {
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;                                       // 0..399
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;  // 0..365
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;  // 0..146096
    return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(int64_t days, int64_t& year, int64_t& month, int64_t& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t dayOfEra = days - era * 146097;                                                // 0..146096
    const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;  // 0..399
    const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);     // 0..365
    const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;                                      // 0..11
    day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    year = yearOfEra + era * 400 + (month <= 2);
}

CalcDate readCalcDate(std::string_view field, std::string& scratch) {
    CalcDate date;
    const std::string_view text = trimBlanks(beforeTag(field));
    date.present = !text.empty();
    if (date.present) {
        date.parts = readDateParts(normaliseView(text, date.code, scratch));
    } else {
        date.parts = readDateParts({});
    }
    return date;
}

CalcDate calcDateOf(const DateValue& value, std::string_view shown, std::string& scratch) {
    // A date shown by writeDate reads back as the numbers it was written
    // from; only year texts need reading again.
    CalcDate date;
    switch (value.kind) {
    case ValueKind::Empty: break;  // as an empty text reads: a year 0
    case ValueKind::Text: return readCalcDate(shown, scratch);
    case ValueKind::Year: date.parts = {DateForm::YearOnly, 0, 0, value.year}; break;
    case ValueKind::MonthYear: date.parts = {DateForm::MonthYear, value.month, 0, value.year}; break;
    case ValueKind::Full: date.parts = {DateForm::FullDate, value.month, value.day, value.year}; break;
    }
    date.present = value.kind != ValueKind::Empty;
    return date;
}

}  // namespace engine

namespace {

// A date during the arithmetic. 64-bit so that any age, however absurd,
// moves it without overflow.
struct Shifted {
    DateForm form = DateForm::YearOnly;
    int64_t month = 0;
    int64_t day = 0;
    int64_t year = 0;
};

// Brings the month into 1..12, carrying into the year.
void normaliseMonth(Shifted& d) {
    if (d.month >= 1 && d.month <= 12) return;
    int64_t zeroBased = d.month - 1;
    int64_t carry = zeroBased >= 0 ? zeroBased / 12 : -((-zeroBased + 11) / 12);
    d.year += carry;
    d.month = zeroBased - carry * 12 + 1;
}

int64_t lengthOf(const Shifted& d) { return monthLength(static_cast<int32_t>(d.month), d.year); }

// Moves a date by an age, later (+1) or earlier (-1). Years move the year,
// months the month (carrying into the year); the days then count from the
// first of the resulting month, so a full date always comes out as a real
// calendar date. A month/year date has no day of its own: its days carry at
// most one month, as an ordinary age of days would.
Shifted shiftDate(const DateParts& parts, int64_t years, int64_t months, int64_t days, int32_t direction) {
    Shifted d{parts.form, parts.month, parts.day, parts.year};
    const int64_t sign = direction > 0 ? 1 : -1;
    d.year += sign * years;
    if (d.form == DateForm::YearOnly) return d;
    d.month += sign * months;
    normaliseMonth(d);
    d.day += sign * days;
    if (d.form == DateForm::FullDate) {
        // A day already inside its month (any age in whole years and months
        // of a real date that stays real) needs no counting.
        if (d.day < 1 || (d.day > 28 && d.day > lengthOf(d)))
            civilFromDays(daysFromCivil(d.year, d.month, 1) + d.day - 1, d.year, d.month, d.day);
    } else if (direction > 0 && d.day > lengthOf(d)) {
        ++d.month;
        normaliseMonth(d);
    } else if (direction < 0 && d.day < 0) {
        --d.month;
        normaliseMonth(d);
    }
    return d;
}

// Appends a month or day (1..31 once normalised) as two digits.
void appendTwoDigits(std::string& text, int64_t value) {
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
}

void appendShifted(std::string& text, const Shifted& d) {
    if (d.form != DateForm::YearOnly) {
        appendTwoDigits(text, d.month);
        text += '/';
    }
    if (d.form == DateForm::FullDate) {
        appendTwoDigits(text, d.day);
        text += '/';
    }
    // A date keeps the four-character year of the canonical form: the year
    // 800 is written 0800 (year words use the plain number).
    char year[24];
    char* end = std::to_chars(year, year + sizeof year, d.year).ptr;
    size_t digits = static_cast<size_t>(end - year);
    if (d.form != DateForm::YearOnly && d.year >= 0 && digits < 4) text.append(4 - digits, '0');
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
char* putYear(char* out, int64_t year) {
    char reversed[4];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + year % 10);
        year /= 10;
    } while (year > 0 && n < 4);
    while (n > 0) *out++ = reversed[--n];
    return out;
}

char* putText(char* out, std::string_view text) {
    for (char c : text) *out++ = c;
    return out;
}

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

constexpr uint32_t bit(int32_t id) { return 1u << (id - EventDateField); }

std::string& fieldOf(std::array<std::string, 5>& fields, int32_t id) {
    return fields[static_cast<size_t>(id - EventDateField)];
}

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
    std::string& years = fieldOf(fields, YearsField);
    std::string& months = fieldOf(fields, MonthsField);
    std::string& days = fieldOf(fields, DaysField);
    years.clear();
    months.clear();
    days.clear();
    outcome.written |= bit(YearsField) | bit(MonthsField) | bit(DaysField);

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
        dd += monthLength(static_cast<int32_t>(borrowMonth), borrowYear);
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
}

bool inShownYears(int64_t year) { return year >= 1 && year <= 9999; }

// The missing date from the other date and the age; direction -1 for the
// birth (earlier), +1 for the event (later).
void computeDate(std::array<std::string, 5>& fields, const DateParts& given, int32_t resultField, int32_t direction,
                 CalcOutcome& outcome) {
    const AgeSpec age = outcome.age =
        parseAge(fieldOf(fields, YearsField), fieldOf(fields, MonthsField), fieldOf(fields, DaysField));
    const bool plain = age.kind == AgeKind::Plain;
    const bool monthsOrDays = plain && !(fieldOf(fields, MonthsField).empty() && fieldOf(fields, DaysField).empty());
    const Shifted result = shiftDate(given, age.years, age.months, age.days, direction);
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
    if (!inShownYears(first) || !inShownYears(second)) return fail(outcome, OutOfRangeText, OutOfRangeCaption);

    if (!plain) {
        fieldOf(fields, MonthsField).clear();
        fieldOf(fields, DaysField).clear();
        outcome.written |= bit(MonthsField) | bit(DaysField);
    }
    std::string& text = fieldOf(fields, resultField);
    text.clear();
    outcome.written |= bit(resultField);
    if (asDate) {
        appendShifted(text, result);
        outcome.computed.kind = result.form == DateForm::FullDate ? ValueKind::Full : ValueKind::MonthYear;
        outcome.computed.month = static_cast<int32_t>(result.month);
        outcome.computed.day = result.form == DateForm::FullDate ? static_cast<int32_t>(result.day) : 0;
        outcome.computed.year = static_cast<int32_t>(y);
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
    text.assign(words, static_cast<size_t>(end - words));
}

}  // namespace

namespace engine {

CalcOutcome calculateFields(std::array<std::string, 5>& fields, const CalcDate& event, const CalcDate& birth,
                            MissingFact remembered) {
    CalcOutcome outcome;
    outcome.missing = remembered;
    const size_t ageLength = fieldOf(fields, YearsField).size() + fieldOf(fields, MonthsField).size() +
                             fieldOf(fields, DaysField).size();

    if (event.present && birth.present && ageLength == 0)
        outcome.missing = MissingFact::Age;
    else if (event.present && ageLength > 0 && !birth.present)
        outcome.missing = MissingFact::BirthDate;
    else if (birth.present && ageLength > 0 && !event.present)
        outcome.missing = MissingFact::EventDate;
    else {
        // All three filled (a recalculation) or too little given. A remembered
        // fact is recomputed only while both of its inputs are there; from an
        // emptied input it would overwrite the user's field with a result
        // computed from zeros.
        const bool inputsThere = (remembered == MissingFact::Age && event.present && birth.present) ||
                                 (remembered == MissingFact::BirthDate && event.present && ageLength > 0) ||
                                 (remembered == MissingFact::EventDate && birth.present && ageLength > 0);
        if (!inputsThere) {
            outcome.entryError = 1;
            fail(outcome, TwoOfThreeText, TwoOfThreeCaption);
            return outcome;
        }
    }
    switch (outcome.missing) {
    case MissingFact::Age:
        if (birth.code != 0) outcome.entryError = birth.code;
        if (event.code != 0) outcome.entryError = event.code;
        computeAge(fields, event.parts, birth.parts, outcome);
        break;
    case MissingFact::BirthDate:
        outcome.entryError = event.code;
        computeDate(fields, event.parts, BirthDateField, -1, outcome);
        break;
    case MissingFact::EventDate:
        outcome.entryError = birth.code;
        computeDate(fields, birth.parts, EventDateField, +1, outcome);
        break;
    case MissingFact::None:
        break;
    }
    return outcome;
}

}  // namespace engine

std::string applyAge(std::string_view date, int32_t years, int32_t months, int32_t days, int32_t direction) {
    std::string text;
    appendShifted(text, shiftDate(readDateParts(date), years, months, days, direction));
    return text;
}

void calculate(DialogFields& dialog) {
    std::array<std::string, 5> fields;
    for (int32_t id = EventDateField; id <= BirthDateField; ++id) fieldOf(fields, id) = dialog.readField(id);
    std::string eventScratch, birthScratch;
    const CalcDate event = readCalcDate(fieldOf(fields, EventDateField), eventScratch);
    const CalcDate birth = readCalcDate(fieldOf(fields, BirthDateField), birthScratch);
    const CalcOutcome outcome = calculateFields(fields, event, birth, MissingPart);
    MissingPart = outcome.missing;
    EntryError = outcome.entryError;
    for (int32_t id = EventDateField; id <= BirthDateField; ++id)
        if (outcome.written & bit(id)) dialog.writeField(id, fieldOf(fields, id));
    if (!outcome.caption.empty()) dialog.showError(outcome.text, outcome.caption);
    if (outcome.focusEvent) dialog.focusEventField();
}
