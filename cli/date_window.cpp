#include "date_window.h"

#include <algorithm>
#include <cstdio>

namespace quillark {

namespace {

using namespace std::chrono;

constexpr int64_t FirstYear = 1;
constexpr int64_t LastYear = 9999;

bool inRange(int64_t y) { return y >= FirstYear && y <= LastYear; }

unsigned lastDay(int64_t y, unsigned m) {
    return static_cast<unsigned>(daysInMonth(static_cast<int32_t>(m), static_cast<int32_t>(y)));
}

// A date during the window's arithmetic, in whole ints: a batch works out a
// window a row, and the packed year_month_day would be taken apart and put
// together again at every step.
struct Civil {
    int64_t year;
    unsigned month, day;
};

Civil civilOf(const year_month_day& d) {
    return {static_cast<int>(d.year()), static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day())};
}

year_month_day dateOf(const Civil& c) {
    return year_month_day{year{static_cast<int>(c.year)}, month{c.month}, std::chrono::day{c.day}};
}

// Steps a date by n days; false, leaving it as it was, where that leaves the
// years 1 to 9999.
bool addDays(Civil& d, int64_t n) {
    // A step of one day within the month, as nearly every window bound takes.
    if ((n == 1 && d.day < 28) || (n == -1 && d.day > 1)) {
        d.day = static_cast<unsigned>(d.day + n);
        return true;
    }
    const int64_t count = sys_days{dateOf(d)}.time_since_epoch().count() + n;
    // 0001-01-01 and 9999-12-31 as day counts from 1970-01-01.
    if (count < -719162 || count > 2932896) return false;
    d = civilOf(year_month_day{sys_days{days{count}}});
    return true;
}

// Moves a date by a number of months. A day the target month lacks becomes
// the month's last (floor) or the first of the next month (ceiling). False
// where the move leaves the years 1 to 9999 (the date is then of no use).
bool shiftMonths(Civil& d, int64_t months, bool ceiling) {
    int64_t y;
    unsigned m;
    if (months % 12 == 0) {
        // Whole years, as nearly every age is: the month stays.
        y = d.year + months / 12;
        m = d.month;
    } else {
        // 64-bit month index; ages saturate at about 2^31 years, far inside it.
        const int64_t index = d.year * 12 + d.month - 1 + months;
        y = index >= 0 ? index / 12 : -((-index + 11) / 12);
        m = static_cast<unsigned>(index - y * 12) + 1;
    }
    if (!inRange(y)) return false;
    d.year = y;
    d.month = m;
    if (d.day <= 28) return true;
    const unsigned length = lastDay(y, m);
    if (d.day <= length) return true;
    d.day = length;
    return !ceiling || addDays(d, 1);
}

std::optional<year_month_day> back(year_month_day d, int64_t months) {
    Civil c = civilOf(d);
    if (!shiftMonths(c, -months, false)) return std::nullopt;
    return dateOf(c);
}

// The engine's own arithmetic for an exact age, so that a single date is
// the one the window shows.
std::optional<year_month_day> engineShift(year_month_day d, const WindowAge& age, int32_t direction) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u/%02u/%04d", static_cast<unsigned>(d.month()),
                  static_cast<unsigned>(d.day()), static_cast<int>(d.year()));
    const std::string moved = applyAge(text, age.years, age.months, age.days, direction);
    const DateParts parts = readDateParts(moved);
    // applyAge writes years beyond four digits in full; those are out of range.
    if (moved.size() != 10 || !inRange(parts.year)) return std::nullopt;
    const year_month_day result{year{parts.year}, month{static_cast<unsigned>(parts.month)},
                                std::chrono::day{static_cast<unsigned>(parts.day)}};
    if (!result.ok()) return std::nullopt;
    return result;
}

// The window of the date an age away from a given date, filled in place:
// direction -1 for the birth from an event, +1 for the event from a birth.
// (Windows are built where they are kept: a batch builds one a row.)
void fillWindow(const DateSpan& given, const WindowAge& age, int32_t direction, DateWindow& window) {
    window = DateWindow{};
    window.precision = given.form;
    const bool backwards = direction < 0;
    const auto outOfRange = [&] {
        window.status = WindowStatus::OutOfRange;
        window.earliest.reset();
        window.latest.reset();
    };
    if (age.exact) {
        const auto a = engineShift(given.first, age, direction), b = engineShift(given.last, age, direction);
        if (!a || !b) return outOfRange();
        window.earliest = std::min(*a, *b);
        window.latest = std::max(*a, *b);
        return;
    }
    // The nearest date: the least age from the given date's near end.
    Civil nearest = civilOf(backwards ? given.last : given.first);
    if (!shiftMonths(nearest, direction * age.lowMonths, !backwards)) return outOfRange();
    (backwards ? window.latest : window.earliest) = dateOf(nearest);
    if (!age.highMonths) return;
    // The farthest: a day short of the first age too many from the far end.
    Civil farthest = civilOf(backwards ? given.first : given.last);
    if (!shiftMonths(farthest, direction * *age.highMonths, !backwards) || !addDays(farthest, -direction))
        return outOfRange();
    (backwards ? window.earliest : window.latest) = dateOf(farthest);
}

}  // namespace

namespace {

// The canonical numeric forms ("12/07/1941", "12/1941", "1941", each maybe
// with its week-day tag), which a batch meets on nearly every row, read
// without a round trip through the normaliser. Empty for anything else.
std::optional<DateParts> canonicalParts(std::string_view text) {
    text = trimBlanks(beforeTag(text));
    const auto digitsAt = [&](size_t from, size_t count) {
        int32_t value = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9') return -1;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    DateParts parts;
    if (text.size() == 10 && text[2] == '/' && text[5] == '/') {
        parts = {DateForm::FullDate, digitsAt(0, 2), digitsAt(3, 2), digitsAt(6, 4)};
    } else if (text.size() == 7 && text[2] == '/') {
        parts = {DateForm::MonthYear, digitsAt(0, 2), 0, digitsAt(3, 4)};
    } else if (text.size() == 4) {
        parts = {DateForm::YearOnly, 0, 0, digitsAt(0, 4)};
    } else {
        return std::nullopt;
    }
    if (parts.month < 0 || parts.day < 0 || parts.year < 0) return std::nullopt;
    return parts;
}

}  // namespace

std::optional<DateSpan> dateSpan(std::string_view text) {
    std::optional<DateParts> quick = canonicalParts(text);
    if (quick) return spanOf(*quick);
    // normaliseDateText reports through the shared EntryError, which belongs
    // to the caller's request: keep it as it was.
    const int32_t savedError = EntryError;
    EntryError = 0;
    const std::string canonical = normaliseDateText(text);
    const int32_t code = EntryError;
    EntryError = savedError;
    if (code != 0) return std::nullopt;
    const std::string_view bare = trimBlanks(beforeTag(canonical));
    if (bare.empty()) return std::nullopt;
    return spanOf(readDateParts(bare));
}

namespace {

// spanOf's work, filling a span in place; false for no valid date.
bool fillSpan(const DateParts& parts, DateSpan& span) {
    if (!inRange(parts.year)) return false;
    span.form = parts.form;
    if (parts.form == DateForm::YearOnly) {
        span.first = dateOf({parts.year, 1, 1});
        span.last = dateOf({parts.year, 12, 31});
        return true;
    }
    if (parts.month < 1 || parts.month > 12) return false;
    const unsigned m = static_cast<unsigned>(parts.month);
    if (parts.form == DateForm::MonthYear) {
        span.first = dateOf({parts.year, m, 1});
        span.last = dateOf({parts.year, m, lastDay(parts.year, m)});
        return true;
    }
    if (parts.day < 1 || static_cast<unsigned>(parts.day) > lastDay(parts.year, m)) return false;
    // Each written in full: copying one to the other would read back the
    // parts just stored as one word, which stalls.
    span.first = dateOf({parts.year, m, static_cast<unsigned>(parts.day)});
    span.last = dateOf({parts.year, m, static_cast<unsigned>(parts.day)});
    return true;
}

}  // namespace

std::optional<DateSpan> spanOf(const DateParts& parts) {
    DateSpan span;
    if (!fillSpan(parts, span)) return std::nullopt;
    return span;
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

DateWindow birthWindow(const DateSpan& event, const WindowAge& age) {
    DateWindow window;
    fillWindow(event, age, -1, window);
    return window;
}

DateWindow eventWindow(const DateSpan& birth, const WindowAge& age) {
    DateWindow window;
    fillWindow(birth, age, +1, window);
    return window;
}

DateWindow birthWindowFrom(std::string_view eventText, std::string_view yearsText,
                           std::string_view monthsText, std::string_view daysText) {
    const std::optional<DateSpan> event = dateSpan(eventText);
    if (!event) {
        DateWindow window;
        window.status = WindowStatus::NoDate;
        return window;
    }
    return birthWindow(*event, windowAge(parseAge(yearsText, monthsText, daysText)));
}

AgeValue completedAge(year_month_day birth, year_month_day event) {
    const int64_t spanMonths =
        (int64_t{static_cast<int>(event.year())} - static_cast<int>(birth.year())) * 12 +
        static_cast<int64_t>(static_cast<unsigned>(event.month())) -
        static_cast<unsigned>(birth.month());
    // The month count is the calendar difference or one less; moving the
    // event back by it must not pass the birth.
    int64_t months = std::max<int64_t>(spanMonths, 0);
    std::optional<year_month_day> reached = back(event, months);
    while (months > 0 && (!reached || *reached < birth)) reached = back(event, --months);
    AgeValue age;
    age.years = months / 12;
    age.months = months % 12;
    if (reached) age.days = (sys_days{*reached} - sys_days{birth}).count();
    return age;
}

AgeWindow ageWindow(const DateSpan& event, const DateSpan& birth) {
    AgeWindow window;
    const auto rank = [](DateForm f) { return f == DateForm::YearOnly ? 0 : f == DateForm::MonthYear ? 1 : 2; };
    window.precision = rank(event.form) < rank(birth.form) ? event.form : birth.form;
    // The youngest: born as late and seen as early as the two dates allow; an
    // event that can fall on the day of birth gives no age at all.
    if (event.first > birth.last) window.youngest = completedAge(birth.last, event.first);
    if (event.last >= birth.first) window.oldest = completedAge(birth.first, event.last);
    return window;
}

AnswerWindow answerWindow(const std::array<std::string, 5>& fields, MissingFact fact, const EntryInputs& inputs) {
    AnswerWindow answer;
    fillAnswerWindow(fields, fact, inputs, answer);
    return answer;
}

void fillAnswerWindow(const std::array<std::string, 5>& fields, MissingFact fact, const EntryInputs& inputs,
                      AnswerWindow& answer) {
    // Only the part for the fact is filled in (and only where the status is
    // Ok does it mean anything); the whole is not cleared first, which would
    // cost a batch more than the rest of the work.
    answer.fact = fact;
    answer.status = WindowStatus::Ok;
    // The dates as the calculation read them; the computed field holds words.
    DateSpan eventSpan, birthSpan;
    const DateSpan* const event =
        fact != MissingFact::EventDate && inputs.eventRead && fillSpan(inputs.event, eventSpan) ? &eventSpan : nullptr;
    const DateSpan* const birth =
        fact != MissingFact::BirthDate && inputs.birthRead && fillSpan(inputs.birth, birthSpan) ? &birthSpan : nullptr;
    switch (fact) {
    case MissingFact::BirthDate:
        if (!event) break;
        fillWindow(*event, windowAge(inputs.age), -1, answer.dates);
        answer.status = answer.dates.status;
        return;
    case MissingFact::EventDate:
        if (!birth) break;
        fillWindow(*birth, windowAge(inputs.age), +1, answer.dates);
        answer.status = answer.dates.status;
        return;
    case MissingFact::Age:
        if (!event || !birth) break;
        answer.ages = ageWindow(*event, *birth);
        if (event->form == DateForm::FullDate && birth->form == DateForm::FullDate) {
            // The age the window shows.
            AgeValue shown{leadingNumber(fields[1]), leadingNumber(fields[2]), leadingNumber(fields[3])};
            answer.ages.youngest = answer.ages.oldest = shown;
        }
        answer.status = answer.ages.status;
        return;
    case MissingFact::None:
        break;
    }
    answer.status = WindowStatus::NoDate;
}

char* writeIso(char* out, const year_month_day& date) {
    const unsigned y = static_cast<unsigned>(static_cast<int>(date.year()));
    out = writeTwoDigits(writeTwoDigits(out, y / 100), y % 100);
    *out++ = '-';
    out = writeTwoDigits(out, static_cast<unsigned>(date.month()));
    *out++ = '-';
    return writeTwoDigits(out, static_cast<unsigned>(date.day()));
}

std::string isoText(year_month_day date) {
    char out[10];
    return std::string(out, static_cast<size_t>(writeIso(out, date) - out));
}

}  // namespace quillark
