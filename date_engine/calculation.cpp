#include "calculation.h"

#include <charconv>

#include "date_text.h"
#include "engine_internal.h"

using namespace engine;

MissingFact MissingPart = MissingFact::None;

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

// Keeps carrying or borrowing whole months until the day lies inside its
// month. Whole 400-year cycles (always 146097 days) go first, so even a day
// count of two billion takes a few thousand steps.
void normaliseDay(Shifted& d) {
    const int64_t cycleDays = 146097;
    if (d.day > cycleDays) {
        int64_t cycles = (d.day - 1) / cycleDays;
        d.day -= cycles * cycleDays;
        d.year += cycles * 400;
    } else if (d.day < -cycleDays) {
        int64_t cycles = -d.day / cycleDays;
        d.day += cycles * cycleDays;
        d.year -= cycles * 400;
    }
    while (d.day > lengthOf(d)) {
        d.day -= lengthOf(d);
        ++d.month;
        normaliseMonth(d);
    }
    while (d.day < 1) {
        --d.month;
        normaliseMonth(d);
        d.day += lengthOf(d);
    }
}

Shifted readShifted(std::string_view date) {
    DateParts parts = readDateParts(date);
    return {parts.form, parts.month, parts.day, parts.year};
}

// The arithmetic of applyAge, returning numbers so that callers build year
// words from the computed year rather than from the text.
Shifted shiftDate(std::string_view date, int64_t years, int64_t months, int64_t days, int32_t direction) {
    Shifted d = readShifted(date);
    if (d.form == DateForm::YearOnly) {
        d.year = leadingNumber(lastFour(date)) + (direction > 0 ? years : -years);
        return d;
    }
    if (direction > 0) {
        d.year += years;
        d.month += months;
        d.day += days;
        if (d.month > 12) {
            d.month -= 12;
            ++d.year;
        }
        normaliseMonth(d);
        if (d.day > lengthOf(d)) {
            d.day -= lengthOf(d);
            ++d.month;
            normaliseMonth(d);
        }
    } else {
        d.year -= years;
        d.month -= months;
        d.day -= days;
        if (d.month < 1) {
            d.month += 12;
            --d.year;
        }
        normaliseMonth(d);
        if (d.day < (d.form == DateForm::FullDate ? 1 : 0)) {
            --d.month;
            normaliseMonth(d);
            d.day += lengthOf(d);
        }
    }
    // The single carry or borrow above settles every ordinary age; infant
    // ages of many months or days need more, and a full date must always
    // come out as a real calendar date.
    if (d.form == DateForm::FullDate) normaliseDay(d);
    return d;
}

// Appends a month or day (1..31 once normalised) as two digits.
void appendTwoDigits(std::string& text, int64_t value) {
    text += static_cast<char>('0' + value / 10 % 10);
    text += static_cast<char>('0' + value % 10);
}

std::string shiftedText(const Shifted& d) {
    std::string text;
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
    return text;
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

void computeAge(DialogFields& dialog, std::string_view eventText, std::string_view birthText) {
    std::string birth = normaliseDateText(birthText);
    std::string event = normaliseDateText(eventText);
    DateParts b = readDateParts(birth), e = readDateParts(event);
    if (eventBeforeBirth(e, b)) {
        dialog.showError(BeforeBirthText, BeforeBirthCaption);
        dialog.focusEventField();
        return;
    }
    int64_t dy = int64_t{e.year} - b.year;
    int64_t dm = int64_t{e.month} - b.month;
    int64_t dd = int64_t{e.day} - b.day;

    if (e.form == DateForm::YearOnly || b.form == DateForm::YearOnly) {
        // Born in the year of the event: no "or -1".
        std::string years = dy > 0 ? numberText(dy) + " or" + numberText(dy - 1) : numberText(0);
        dialog.writeField(YearsField, years);
        dialog.writeField(MonthsField, "");
        dialog.writeField(DaysField, "");
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
    dialog.writeField(YearsField, numberText(dy));
    dialog.writeField(MonthsField, numberText(dm));
    dialog.writeField(DaysField, noDay ? std::string() : numberText(dd));
}

// The missing date from the other date and the age; direction -1 for the
// birth (earlier), +1 for the event (later).
void computeDate(DialogFields& dialog, std::string_view givenText, int32_t resultField, int32_t direction,
                 std::string monthsText, std::string daysText, std::string_view yearsText) {
    std::string given = givenText.empty() ? std::string() : normaliseDateText(givenText);
    AgeSpec age = parseAge(yearsText, monthsText, daysText);
    if (age.kind != AgeKind::Plain) {
        dialog.writeField(MonthsField, "");
        dialog.writeField(DaysField, "");
        monthsText.clear();
        daysText.clear();
    }
    Shifted result = shiftDate(given, age.years, age.months, age.days, direction);
    std::string text;
    bool yearOnly = countChar(given, '/') == 0;
    if (!(monthsText.empty() && daysText.empty()) && !yearOnly) {
        text = shiftedText(result);
    } else {
        int64_t y = result.year;
        bool range = int64_t{age.rangeLow} + age.rangeHigh != 0;
        int64_t span = int64_t{age.rangeHigh} - age.rangeLow;
        if (direction < 0) {
            if (range)
                text = numberText(y - span - 1) + " to" + numberText(y);
            else if (age.kind == AgeKind::AtLeast && age.atLeast != 0)
                text = numberText(y) + " or before";
            else
                text = numberText(y) + " or" + numberText(y - 1);
        } else {
            if (range)
                text = numberText(y) + " to" + numberText(y + span + 1);
            else if (age.kind == AgeKind::AtLeast && age.atLeast != 0)
                text = numberText(y) + " or later";
            else
                text = numberText(y) + " or" + numberText(y + 1);
        }
    }
    dialog.writeField(resultField, "");
    dialog.writeField(resultField, trimBlanks(text));
}

}  // namespace

std::string applyAge(std::string_view date, int32_t years, int32_t months, int32_t days, int32_t direction) {
    return shiftedText(shiftDate(date, years, months, days, direction));
}

void calculate(DialogFields& dialog) {
    EntryError = 0;
    std::string eventField = dialog.readField(EventDateField);
    std::string yearsText = dialog.readField(YearsField);
    std::string monthsText = dialog.readField(MonthsField);
    std::string daysText = dialog.readField(DaysField);
    std::string birthField = dialog.readField(BirthDateField);
    std::string_view event = trimBlanks(beforeTag(eventField));
    std::string_view birth = trimBlanks(beforeTag(birthField));
    size_t ageLength = yearsText.size() + monthsText.size() + daysText.size();

    if (!event.empty() && !birth.empty() && ageLength == 0)
        MissingPart = MissingFact::Age;
    else if (!event.empty() && ageLength > 0 && birth.empty())
        MissingPart = MissingFact::BirthDate;
    else if (!birth.empty() && ageLength > 0 && event.empty())
        MissingPart = MissingFact::EventDate;
    else {
        // All three filled (a recalculation) or too little given. A remembered
        // fact is recomputed only while both of its inputs are there; from an
        // emptied input it would overwrite the user's field with a result
        // computed from zeros.
        bool inputsThere = (MissingPart == MissingFact::Age && !event.empty() && !birth.empty()) ||
                           (MissingPart == MissingFact::BirthDate && !event.empty() && ageLength > 0) ||
                           (MissingPart == MissingFact::EventDate && !birth.empty() && ageLength > 0);
        if (!inputsThere) {
            EntryError = 1;
            dialog.showError(TwoOfThreeText, TwoOfThreeCaption);
            dialog.focusEventField();
            return;
        }
    }
    switch (MissingPart) {
        case MissingFact::Age:
            computeAge(dialog, event, birth);
            break;
        case MissingFact::BirthDate:
            computeDate(dialog, event, BirthDateField, -1, monthsText, daysText, yearsText);
            break;
        case MissingFact::EventDate:
            computeDate(dialog, birth, EventDateField, +1, monthsText, daysText, yearsText);
            break;
        case MissingFact::None:
            break;
    }
}
