#include "date_bounds.h"

#include <algorithm>

#include "date_text.h"

namespace quillark {

namespace {

constexpr int64_t floorDiv(int64_t a, int64_t b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// The first or the last day of a date as a full date of its own calendar.
DateParts endOf(const DateParts& given, bool last) {
    DateParts day = given;
    day.form = DateForm::FullDate;
    if (given.form == DateForm::YearOnly) day.month = last ? 12 : 1;
    if (given.form != DateForm::FullDate) day.day = last ? monthLength(day.month, day.year, given.calendar) : 1;
    return day;
}

// A full date `months` months away in its own calendar, a day the month
// lacks settled by the rule, as its day number.
int64_t monthsAway(const DateParts& from, int64_t months, MissingDay missing) {
    const int64_t index = int64_t{from.year} * 12 + from.month - 1 + months;
    const int64_t year = floorDiv(index, 12);
    const int32_t month = static_cast<int32_t>(index - year * 12 + 1);
    const int32_t length = monthLength(month, year, from.calendar);
    int64_t day = from.day;
    if (day > length) day = missing == MissingDay::LastOfMonth ? length : length + 1;
    return dayNumber(year, month, day, from.calendar);
}

// The window of a Julian date: the same rules on the Julian calendar's own
// numbers, each bound then taken to its Gregorian day.
void fillJulianWindow(const DateParts& given, const WindowAge& age, int32_t direction, DateWindow& window) {
    const bool backwards = direction < 0;
    const auto outOfRange = [&] {
        window.status = WindowStatus::OutOfRange;
        window.earliest.reset();
        window.latest.reset();
    };
    const DateParts first = endOf(given, false), last = endOf(given, true);
    if (age.exact) {
        const auto a = applyAge(first, age.years, age.months, age.days, direction);
        const auto b = applyAge(last, age.years, age.months, age.days, direction);
        if (!a || !b) return outOfRange();
        window.earliest = std::min(*a, *b);
        window.latest = std::max(*a, *b);
        return;
    }
    // Ages of more than 10000 years leave the years in any calendar.
    const auto tooFar = [](int64_t months) { return months > 12 * 10000 || months < -12 * 10000; };
    const MissingDay missing = backwards ? MissingDay::LastOfMonth : MissingDay::FirstOfNext;
    if (tooFar(age.lowMonths)) return outOfRange();
    const std::optional<Date> near = dateOfDay(monthsAway(backwards ? last : first, direction * age.lowMonths, missing));
    if (!near) return outOfRange();
    (backwards ? window.latest : window.earliest) = near;
    if (!age.highMonths) return;
    if (tooFar(*age.highMonths)) return outOfRange();
    const std::optional<Date> far =
        dateOfDay(monthsAway(backwards ? first : last, direction * *age.highMonths, missing) - direction);
    if (!far) return outOfRange();
    (backwards ? window.earliest : window.latest) = far;
}

// The window of the date an age away from a given date, filled in place:
// direction -1 for the birth from an event, +1 for the event from a birth.
// (Windows are built where they are kept: a batch builds one a row.)
void fillWindow(const DateParts& given, const WindowAge& age, int32_t direction, DateWindow& window) {
    window.status = WindowStatus::Ok;
    window.earliest.reset();
    window.latest.reset();
    window.precision = given.form;
    window.calendar = given.calendar;
    if (given.calendar != Calendar::Gregorian) return fillJulianWindow(given, age, direction, window);
    const bool backwards = direction < 0;
    const auto outOfRange = [&] {
        window.status = WindowStatus::OutOfRange;
        window.earliest.reset();
        window.latest.reset();
    };
    if (age.exact) {
        // The engine's own move, so that a single date is the one shown.
        const auto a = applyAge(firstDay(given), age.years, age.months, age.days, direction);
        const auto b = applyAge(lastDay(given), age.years, age.months, age.days, direction);
        if (!a || !b) return outOfRange();
        window.earliest = std::min(*a, *b);
        window.latest = std::max(*a, *b);
        return;
    }
    // A day the month lacks: back to the month's last, forward to the first
    // of the next month (a 29 February birthday is reached on 1 March).
    const MissingDay missing = backwards ? MissingDay::LastOfMonth : MissingDay::FirstOfNext;
    // The nearest date: the least age from the given date's near end.
    const std::optional<Date> nearest =
        addMonths(backwards ? lastDay(given) : firstDay(given), direction * age.lowMonths);
    if (!nearest) return outOfRange();
    const Date near = settleDay(*nearest, missing);
    if (!inYears(yearOf(near))) return outOfRange();
    (backwards ? window.latest : window.earliest) = near;
    if (!age.highMonths) return;
    // The farthest: a day short of the first age too many from the far end.
    const std::optional<Date> farthest =
        addMonths(backwards ? firstDay(given) : lastDay(given), direction * *age.highMonths);
    if (!farthest) return outOfRange();
    const Date far = settleDay(*farthest, missing);
    const std::optional<Date> bound = inYears(yearOf(far)) ? addDays(far, -direction) : std::nullopt;
    if (!bound) return outOfRange();
    (backwards ? window.earliest : window.latest) = *bound;
}

}  // namespace

std::optional<DateParts> readDateText(std::string_view text) {
    EntryCode code = EntryCode::None;
    const std::string canonical = normaliseDateText(text, code);
    if (code != EntryCode::None) return std::nullopt;
    const std::string_view bare = trimBlanks(beforeTag(canonical));
    if (bare.empty()) return std::nullopt;
    const DateParts parts = readDateParts(bare);
    if (!validDate(parts)) return std::nullopt;
    return parts;
}

WindowAge windowAge(const AgeSpec& age) {
    WindowAge window;
    const bool range = age.kind == AgeKind::Range && int64_t{age.rangeLow} + age.rangeHigh != 0;
    const bool atLeast = age.kind == AgeKind::AtLeast && age.atLeast != 0;
    if (range) {
        window.lowMonths = int64_t{age.rangeLow} * 12;
        window.highMonths = (int64_t{age.rangeHigh} + 1) * 12;
    } else if (atLeast) {
        window.lowMonths = int64_t{age.atLeast} * 12;
    } else if (age.kind == AgeKind::Plain && age.daysGiven) {
        window.exact = true;
        window.years = age.years;
        window.months = age.months;
        window.days = age.days;
        window.lowMonths = int64_t{age.years} * 12 + age.months;
    } else if (age.kind == AgeKind::Plain && age.monthsGiven) {
        window.lowMonths = int64_t{age.years} * 12 + age.months;
        window.highMonths = window.lowMonths + 1;
    } else {
        // A plain age, or a range or bound of zero, which the calculator
        // reads as a plain age of its years.
        window.lowMonths = int64_t{age.years} * 12;
        window.highMonths = window.lowMonths + 12;
    }
    return window;
}

DateWindow birthWindow(const DateParts& event, const WindowAge& age) {
    DateWindow window;
    fillWindow(event, age, -1, window);
    return window;
}

DateWindow eventWindow(const DateParts& birth, const WindowAge& age) {
    DateWindow window;
    fillWindow(birth, age, +1, window);
    return window;
}

DateWindow birthWindowFrom(std::string_view eventText, std::string_view yearsText, std::string_view monthsText,
                           std::string_view daysText) {
    const std::optional<DateParts> event = readDateText(eventText);
    if (!event) {
        DateWindow window;
        window.status = WindowStatus::NoDate;
        return window;
    }
    return birthWindow(*event, windowAge(parseAge(yearsText, monthsText, daysText)));
}

AgeValue completedAge(const Date& birth, const Date& event) {
    const int64_t spanMonths =
        (int64_t{yearOf(event)} - yearOf(birth)) * 12 + monthOf(event) - monthOf(birth);
    // The month count is the calendar difference or one less; moving the
    // event back by it must not pass the birth.
    const auto back = [&](int64_t months) -> std::optional<Date> {
        const std::optional<Date> moved = addMonths(event, -months);
        if (!moved) return std::nullopt;
        return settleDay(*moved, MissingDay::LastOfMonth);
    };
    int64_t months = std::max<int64_t>(spanMonths, 0);
    std::optional<Date> reached = back(months);
    while (months > 0 && (!reached || *reached < birth)) reached = back(--months);
    AgeValue age;
    age.years = months / 12;
    age.months = months % 12;
    if (reached) age.days = dayNumber(*reached) - dayNumber(birth);
    return age;
}

AgeValue completedAge(const DateParts& birth, const DateParts& event) {
    const Calendar calendar = event.calendar;
    const int64_t born = dayNumber(birth.year, birth.month, birth.day, calendar);
    // The event moved back by whole months, a day the month lacks taken as
    // its last, as the Gregorian count does.
    const auto back = [&](int64_t months) {
        return monthsAway(event, -months, MissingDay::LastOfMonth);
    };
    int64_t months = std::max<int64_t>((int64_t{event.year} - birth.year) * 12 + event.month - birth.month, 0);
    int64_t reached = back(months);
    while (months > 0 && reached < born) reached = back(--months);
    AgeValue age;
    age.years = months / 12;
    age.months = months % 12;
    age.days = reached - born;
    return age;
}

AgeWindow ageWindow(const DateParts& event, const DateParts& birth) {
    AgeWindow window;
    const auto rank = [](DateForm f) { return f == DateForm::YearOnly ? 0 : f == DateForm::MonthYear ? 1 : 2; };
    window.precision = rank(event.form) < rank(birth.form) ? event.form : birth.form;
    // The youngest: born as late and seen as early as the two dates allow; an
    // event that can fall on the day of birth gives no age at all.
    const Date eventFirst = firstDay(event), eventLast = lastDay(event);
    const Date birthFirst = firstDay(birth), birthLast = lastDay(birth);
    if (event.calendar != Calendar::Gregorian) {
        // Birthdays are counted in the event's calendar, which the birth
        // date has been given in.
        const auto in = [&](const Date& d) { return partsOf(d, event.calendar); };
        if (eventFirst > birthLast) window.youngest = completedAge(in(birthLast), in(eventFirst));
        if (eventLast >= birthFirst) window.oldest = completedAge(in(birthFirst), in(eventLast));
        return window;
    }
    if (eventFirst > birthLast) window.youngest = completedAge(birthLast, eventFirst);
    if (eventLast >= birthFirst) window.oldest = completedAge(birthFirst, eventLast);
    return window;
}

AnswerWindow answerWindow(const EntryAnswer& answer) {
    AnswerWindow window;
    fillAnswerWindow(answer, window);
    return window;
}

void fillAnswerWindow(const EntryAnswer& answer, AnswerWindow& window) {
    // Only the part for the fact is filled in (and only where the status is
    // Ok does it mean anything); the whole is not cleared first, which would
    // cost a batch more than the rest of the work.
    const MissingFact fact = answer.missing;
    const EntryInputs& inputs = answer.inputs;
    window.fact = fact;
    window.status = WindowStatus::Ok;
    // The dates as the calculation read them; the computed field holds words.
    const bool event = fact != MissingFact::EventDate && inputs.eventRead && validDate(inputs.event);
    const bool birth = fact != MissingFact::BirthDate && inputs.birthRead && validDate(inputs.birth);
    switch (fact) {
    case MissingFact::BirthDate:
        if (!event) break;
        fillWindow(inputs.event, windowAge(inputs.age), -1, window.dates);
        window.status = window.dates.status;
        return;
    case MissingFact::EventDate:
        if (!birth) break;
        fillWindow(inputs.birth, windowAge(inputs.age), +1, window.dates);
        window.status = window.dates.status;
        return;
    case MissingFact::Age:
        if (!event || !birth) break;
        window.ages = ageWindow(inputs.event, inputs.birth);
        if (inputs.event.form == DateForm::FullDate && inputs.birth.form == DateForm::FullDate) {
            // The age the window shows.
            const AgeValue shown{answer.age.years, answer.age.months, answer.age.days};
            window.ages.youngest = window.ages.oldest = shown;
        }
        window.status = window.ages.status;
        return;
    case MissingFact::None:
        break;
    }
    window.status = WindowStatus::NoDate;
}

std::optional<DateWindow> recordBirthWindow(const EntryAnswer& answer) {
    if (answer.missing == MissingFact::BirthDate) {
        const AnswerWindow window = answerWindow(answer);
        if (window.status != WindowStatus::Ok) return std::nullopt;
        return window.dates;
    }
    // The birth was given: every day it covers.
    if (!answer.inputs.birthRead || !validDate(answer.inputs.birth)) return std::nullopt;
    DateWindow window;
    window.earliest = firstDay(answer.inputs.birth);
    window.latest = lastDay(answer.inputs.birth);
    window.precision = answer.inputs.birth.form;
    window.calendar = answer.inputs.birth.calendar;
    return window;
}

bool widenAcrossChange(DateWindow& window, const DateParts& given, const Date& change) {
    if (window.status != WindowStatus::Ok) return false;
    const bool givenAfter = firstDay(given) >= change;
    // A bound's numbers in the window's calendar, read in the calendar of
    // its side of the change (a 29 February that calendar lacks as the 28th).
    const auto otherReading = [&](const Date& bound) -> std::optional<Date> {
        if ((bound >= change) == givenAfter) return std::nullopt;
        DateParts numbers = partsOf(bound, window.calendar);
        numbers.calendar = givenAfter ? Calendar::Julian : Calendar::Gregorian;
        numbers.day = std::min(numbers.day, monthLength(numbers.month, numbers.year, numbers.calendar));
        return dayOfParts(numbers);
    };
    bool widened = false;
    if (window.earliest) {
        const std::optional<Date> other = otherReading(*window.earliest);
        if (other && *other < *window.earliest) {
            window.earliest = other;
            widened = true;
        }
    }
    if (window.latest) {
        const std::optional<Date> other = otherReading(*window.latest);
        if (other && *other > *window.latest) {
            window.latest = other;
            widened = true;
        }
    }
    return widened;
}

char* writeIso(char* out, const Date& date) {
    out = writeYear(out, static_cast<unsigned>(yearOf(date)));
    *out++ = '-';
    out = writeTwoDigits(out, static_cast<unsigned>(monthOf(date)));
    *out++ = '-';
    return writeTwoDigits(out, static_cast<unsigned>(dayOf(date)));
}

std::string isoText(const Date& date) {
    char out[10];
    return std::string(out, static_cast<size_t>(writeIso(out, date) - out));
}

std::string isoText(const std::optional<Date>& date) { return date ? isoText(*date) : std::string(); }

}  // namespace quillark
