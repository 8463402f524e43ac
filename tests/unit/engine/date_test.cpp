// The one date type's arithmetic: month moves that meet a day the month
// lacks, 29 February, day numbers beyond the years chrono holds, and the
// names each of the engine's enums has for people.
#include <random>

#include "engine_test_support.h"
#include "shown_texts.h"

namespace {

std::string iso(const Date& d) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", yearOf(d), monthOf(d), dayOf(d));
    return text;
}

TEST(Date, MonthMovesAtMonthEnds) {
    const struct {
        const char* name;
        Date from;
        int64_t months;
        MissingDay rule;
        const char* expected;  // "" for none (outside 1..9999)
    } cases[] = {
        {"31 Jan + 1 month, last of month", makeDate(1900, 1, 31), 1, MissingDay::LastOfMonth, "1900-02-28"},
        {"31 Jan + 1 month, first of next", makeDate(1900, 1, 31), 1, MissingDay::FirstOfNext, "1900-03-01"},
        {"31 Jan + 1 month in a leap year", makeDate(2000, 1, 31), 1, MissingDay::LastOfMonth, "2000-02-29"},
        {"29 Feb - 1 year", makeDate(1904, 2, 29), -12, MissingDay::LastOfMonth, "1903-02-28"},
        {"29 Feb + 1 year reached on 1 March", makeDate(1896, 2, 29), 12, MissingDay::FirstOfNext, "1897-03-01"},
        {"29 Feb + 4 years stays", makeDate(1896, 2, 29), 48, MissingDay::FirstOfNext, "1900-03-01"},
        {"29 Feb 2000 + 400 years stays", makeDate(2000, 2, 29), 4800, MissingDay::LastOfMonth, "2400-02-29"},
        {"31 Mar - 1 month", makeDate(1901, 3, 31), -1, MissingDay::LastOfMonth, "1901-02-28"},
        {"30 Apr + 1 month keeps its day", makeDate(1901, 4, 30), 1, MissingDay::LastOfMonth, "1901-05-30"},
        {"back over the year", makeDate(1900, 3, 15), -3, MissingDay::LastOfMonth, "1899-12-15"},
        {"into the year 9999", makeDate(9998, 12, 31), 12, MissingDay::LastOfMonth, "9999-12-31"},
        {"past the year 9999", makeDate(9999, 12, 1), 1, MissingDay::LastOfMonth, ""},
        {"before the year 1", makeDate(1, 1, 1), -1, MissingDay::LastOfMonth, ""},
        {"an absurd age", makeDate(1900, 1, 1), int64_t{1} << 40, MissingDay::LastOfMonth, ""},
    };
    for (const auto& c : cases) {
        const std::optional<Date> moved = addMonths(c.from, c.months);
        EXPECT_EQ(moved ? iso(settleDay(*moved, c.rule)) : std::string(), c.expected) << c.name;
    }
    // The day after the last a date can have is the first of the year 10000,
    // which callers refuse.
    const Date past = std::chrono::year{9999} / std::chrono::December / std::chrono::day{32};
    EXPECT_EQ(iso(settleDay(past, MissingDay::FirstOfNext)), "10000-01-01");
}

// Day numbers and civil days are inverses over every day of the years 1 to
// 9999 and far beyond them, one day apart day after day.
TEST(Date, DayNumbersWalkEveryDay) {
    int64_t n = dayNumber(1, 1, 1);
    EXPECT_EQ(n, -719162);
    for (int64_t y = 1; y <= 9999; ++y)
        for (int32_t m = 1; m <= 12; ++m)
            for (int32_t d = 1; d <= monthLength(m, y); ++d, ++n) {
                const CivilDay back = civilDay(n);
                if (dayNumber(y, m, d) != n || back.year != y || back.month != m || back.day != d) {
                    ADD_FAILURE() << y << "-" << m << "-" << d << ": day " << n << " reads back as " << back.year
                                  << "-" << back.month << "-" << back.day;
                    return;
                }
            }
    EXPECT_EQ(n - 1, dayNumber(9999, 12, 31));
    // Whole 400-year cycles away, the calendar repeats to the day.
    std::mt19937_64 random(1752);
    for (int i = 0; i < 10000; ++i) {
        const int64_t cycles = static_cast<int64_t>(random() % 20000000) - 10000000;
        const int64_t day = dayNumber(2000, 1, 1) + static_cast<int64_t>(random() % 146097);
        const CivilDay near = civilDay(day), far = civilDay(day + cycles * 146097);
        ASSERT_EQ(far.year, near.year + cycles * 400) << cycles;
        ASSERT_EQ(far.month, near.month) << cycles;
        ASSERT_EQ(far.day, near.day) << cycles;
        ASSERT_EQ(dayNumber(far.year, far.month, far.day), day + cycles * 146097) << cycles;
    }
    // A month beyond 12 and a day beyond the month count on.
    EXPECT_EQ(dayNumber(1900, 13, 1), dayNumber(1901, 1, 1));
    EXPECT_EQ(dayNumber(1900, 0, 1), dayNumber(1899, 12, 1));
    EXPECT_EQ(dayNumber(1900, 2, 29), dayNumber(1900, 3, 1));
    EXPECT_EQ(dayNumber(1900, 3, 0), dayNumber(1900, 2, 28));
}

TEST(Date, PartialDatesCoverTheirDays) {
    const struct {
        DateParts parts;
        bool valid;
        const char* first;
        const char* last;
    } cases[] = {
        {{DateForm::YearOnly, 0, 0, 1900}, true, "1900-01-01", "1900-12-31"},
        {{DateForm::MonthYear, 2, 0, 1900}, true, "1900-02-01", "1900-02-28"},
        {{DateForm::MonthYear, 2, 0, 2000}, true, "2000-02-01", "2000-02-29"},
        {{DateForm::FullDate, 2, 29, 2000}, true, "2000-02-29", "2000-02-29"},
        {{DateForm::FullDate, 2, 29, 2100}, false, "", ""},
        {{DateForm::MonthYear, 13, 0, 1900}, false, "", ""},
        {{DateForm::YearOnly, 0, 0, 0}, false, "", ""},
        {{DateForm::YearOnly, 0, 0, 9999}, true, "9999-01-01", "9999-12-31"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(validDate(c.parts), c.valid) << c.first;
        if (!c.valid) continue;
        EXPECT_EQ(iso(firstDay(c.parts)), c.first);
        EXPECT_EQ(iso(lastDay(c.parts)), c.last);
    }
}

// Each enum's words are the ones the window and the command line show.
TEST(Date, EnumsHaveTheirWords) {
    const std::pair<EntryCode, const char*> codes[] = {{EntryCode::None, "Check on "},
                                                       {EntryCode::Months, "Check on months"},
                                                       {EntryCode::Days, "Check on days"},
                                                       {EntryCode::Years, "Check on years"},
                                                       {EntryCode::FourDigitYear, "Check on 4 digit year"}};
    for (const auto& [code, text] : codes) EXPECT_EQ(illegalDateText(code), text);
    const std::pair<MissingFact, const char*> facts[] = {{MissingFact::None, ""},
                                                         {MissingFact::EventDate, "event"},
                                                         {MissingFact::Age, "age"},
                                                         {MissingFact::BirthDate, "birth"}};
    for (const auto& [fact, name] : facts) EXPECT_EQ(missingFactName(fact), name);
    const char* const labels[] = {"Date of event:", "Years:", "Months:", "Days:", "Date of birth:"};
    const char* const keys[] = {"event", "years", "months", "days", "birth"};
    for (Field f : {Field::Event, Field::Years, Field::Months, Field::Days, Field::Birth}) {
        EXPECT_STREQ(FieldLabels[fieldIndex(f)], labels[fieldIndex(f)]);
        EXPECT_EQ(FieldKeys[fieldIndex(f)], keys[fieldIndex(f)]);
    }
    EXPECT_EQ(MonthAbbreviations, "Jan, Feb, Mar, Apr, May, Jun, Jul, Aug, Sep, Oct, Nov, Dec");
}

}  // namespace
