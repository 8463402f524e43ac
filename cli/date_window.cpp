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
    return static_cast<unsigned>(
        (year{static_cast<int>(y)} / month{m} / std::chrono::last).day());
}

// A day count keeps a date safe to step by one: the years stay in 1..9999.
std::optional<year_month_day> addDays(year_month_day d, int64_t n) {
    const int64_t count = sys_days{d}.time_since_epoch().count() + n;
    // 0001-01-01 and 9999-12-31 as day counts from 1970-01-01.
    if (count < -719162 || count > 2932896) return std::nullopt;
    return year_month_day{sys_days{days{count}}};
}

// Moves a date by a number of months. A day the target month lacks becomes
// the month's last (floor) or the first of the next month (ceiling).
std::optional<year_month_day> shiftMonths(year_month_day d, int64_t months, bool ceiling) {
    // 64-bit month index; ages saturate at about 2^31 years, far inside it.
    const int64_t index = int64_t{static_cast<int>(d.year())} * 12 +
                          static_cast<unsigned>(d.month()) - 1 + months;
    const int64_t y = index >= 0 ? index / 12 : -((-index + 11) / 12);
    const unsigned m = static_cast<unsigned>(index - y * 12) + 1;
    if (!inRange(y)) return std::nullopt;
    const unsigned day = static_cast<unsigned>(d.day());
    const unsigned length = lastDay(y, m);
    const year_month_day moved{year{static_cast<int>(y)}, month{m}, std::chrono::day{std::min(day, length)}};
    if (day > length && ceiling) return addDays(year_month_day{year{static_cast<int>(y)}, month{m}, std::chrono::day{length}}, 1);
    return moved;
}

std::optional<year_month_day> back(year_month_day d, int64_t months) { return shiftMonths(d, -months, false); }
std::optional<year_month_day> forward(year_month_day d, int64_t months) { return shiftMonths(d, months, true); }

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

DateWindow outOfRange(DateForm precision) {
    DateWindow window;
    window.status = WindowStatus::OutOfRange;
    window.precision = precision;
    return window;
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

std::optional<DateSpan> spanOf(const DateParts& parts) {
    if (!inRange(parts.year)) return std::nullopt;
    const year y{parts.year};
    DateSpan span;
    span.form = parts.form;
    switch (parts.form) {
    case DateForm::YearOnly:
        span.first = y / January / 1;
        span.last = y / December / 31;
        break;
    case DateForm::MonthYear:
        if (parts.month < 1 || parts.month > 12) return std::nullopt;
        span.first = y / month{static_cast<unsigned>(parts.month)} / 1;
        span.last = year_month_day{y / month{static_cast<unsigned>(parts.month)} / std::chrono::last};
        break;
    case DateForm::FullDate:
        if (parts.month < 1 || parts.month > 12 || parts.day < 1) return std::nullopt;
        span.first = y / month{static_cast<unsigned>(parts.month)} / static_cast<unsigned>(parts.day);
        if (!span.first.ok()) return std::nullopt;
        span.last = span.first;
        break;
    }
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
    window.precision = event.form;
    if (age.exact) {
        auto a = engineShift(event.first, age, -1), b = engineShift(event.last, age, -1);
        if (!a || !b) return outOfRange(event.form);
        window.earliest = std::min(*a, *b);
        window.latest = std::max(*a, *b);
        return window;
    }
    const auto latest = back(event.last, age.lowMonths);
    if (!latest) return outOfRange(event.form);
    window.latest = latest;
    if (age.highMonths) {
        const auto before = back(event.first, *age.highMonths);
        const auto earliest = before ? addDays(*before, 1) : std::nullopt;
        if (!earliest) return outOfRange(event.form);
        window.earliest = earliest;
    }
    return window;
}

DateWindow eventWindow(const DateSpan& birth, const WindowAge& age) {
    DateWindow window;
    window.precision = birth.form;
    if (age.exact) {
        auto a = engineShift(birth.first, age, +1), b = engineShift(birth.last, age, +1);
        if (!a || !b) return outOfRange(birth.form);
        window.earliest = std::min(*a, *b);
        window.latest = std::max(*a, *b);
        return window;
    }
    const auto earliest = forward(birth.first, age.lowMonths);
    if (!earliest) return outOfRange(birth.form);
    window.earliest = earliest;
    if (age.highMonths) {
        const auto after = forward(birth.last, *age.highMonths);
        const auto latest = after ? addDays(*after, -1) : std::nullopt;
        if (!latest) return outOfRange(birth.form);
        window.latest = latest;
    }
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

namespace {

// The age as the window uses it. A plain count of years, by far the most
// common entry in a transcription, is read directly.
WindowAge plainYears(std::string_view years, std::string_view months, std::string_view days) {
    if (months.empty() && days.empty() && !years.empty() && years.size() <= 9) {
        int64_t value = 0;
        bool digits = true;
        for (char c : years) {
            digits = digits && c >= '0' && c <= '9';
            value = value * 10 + (c - '0');
        }
        if (digits) {
            WindowAge age;
            age.lowMonths = value * 12;
            age.highMonths = age.lowMonths + 12;
            return age;
        }
    }
    return windowAge(parseAge(years, months, days));
}

}  // namespace

AnswerWindow answerWindow(const std::array<std::string, 5>& fields, MissingFact fact) {
    AnswerWindow answer;
    answer.fact = fact;
    // Only the dates the fact is worked out from; the computed field holds words.
    const std::optional<DateSpan> event =
        fact == MissingFact::EventDate ? std::nullopt : dateSpan(fields[0]);
    const std::optional<DateSpan> birth =
        fact == MissingFact::BirthDate ? std::nullopt : dateSpan(fields[4]);
    const WindowAge age = plainYears(fields[1], fields[2], fields[3]);
    switch (fact) {
    case MissingFact::BirthDate:
        if (!event) break;
        answer.dates = birthWindow(*event, age);
        answer.status = answer.dates.status;
        return answer;
    case MissingFact::EventDate:
        if (!birth) break;
        answer.dates = eventWindow(*birth, age);
        answer.status = answer.dates.status;
        return answer;
    case MissingFact::Age:
        if (!event || !birth) break;
        answer.ages = ageWindow(*event, *birth);
        if (event->form == DateForm::FullDate && birth->form == DateForm::FullDate) {
            // The age the window shows.
            AgeValue shown{leadingNumber(fields[1]), leadingNumber(fields[2]), leadingNumber(fields[3])};
            answer.ages.youngest = answer.ages.oldest = shown;
        }
        answer.status = answer.ages.status;
        return answer;
    case MissingFact::None:
        break;
    }
    answer.status = WindowStatus::NoDate;
    return answer;
}

void appendIso(std::string& text, year_month_day date) {
    const int y = static_cast<int>(date.year());
    const unsigned m = static_cast<unsigned>(date.month()), d = static_cast<unsigned>(date.day());
    const char digits[10] = {static_cast<char>('0' + y / 1000 % 10), static_cast<char>('0' + y / 100 % 10),
                             static_cast<char>('0' + y / 10 % 10),   static_cast<char>('0' + y % 10),
                             '-', static_cast<char>('0' + m / 10), static_cast<char>('0' + m % 10),
                             '-', static_cast<char>('0' + d / 10), static_cast<char>('0' + d % 10)};
    text.append(digits, sizeof digits);
}

std::string isoText(year_month_day date) {
    std::string text;
    appendIso(text, date);
    return text;
}

}  // namespace quillark
