// Properties over whole ranges, checked against an independent day count
// (days from 0001-01-01 by cumulative month tables), not the engine's own
// formulas.
#include <cstdio>
#include <random>

#include "engine_test_support.h"

namespace {

bool isLeap(int64_t y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int64_t civilDays(int64_t y, int64_t m, int64_t d) {
    static const int before[13] = {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int64_t p = y - 1;
    int64_t days = p * 365 + p / 4 - p / 100 + p / 400;
    days += before[m] + (m > 2 && isLeap(y) ? 1 : 0);
    return days + d - 1;  // 0 for 0001-01-01, a Monday
}

struct Ymd {
    int64_t y, m, d;
};

Ymd fromCivilDays(int64_t n) {
    // Walk from a 400-year cycle start; slow but obviously right.
    int64_t cycles = n / 146097;
    int64_t rest = n % 146097;
    int64_t y = 1 + cycles * 400;
    while (rest >= (isLeap(y) ? 366 : 365)) rest -= isLeap(y) ? 366 : 365, ++y;
    int64_t m = 1;
    for (;; ++m) {
        int64_t len = civilDays(m == 12 ? y + 1 : y, m == 12 ? 1 : m + 1, 1) - civilDays(y, m, 1);
        if (rest < len) break;
        rest -= len;
    }
    return {y, m, rest + 1};
}

std::string dateText(int64_t y, int64_t m, int64_t d) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%02lld/%02lld/%04lld", static_cast<long long>(m), static_cast<long long>(d),
                  static_cast<long long>(y));
    return buf;
}

TEST(Properties, DayOfWeekForEveryDateOfTheYears1To9999) {
    int64_t count = 0;
    for (int32_t y = 1; y <= 9999; ++y)
        for (int32_t m = 1; m <= 12; ++m) {
            int32_t len = daysInMonth(m, y);
            for (int32_t d = 1; d <= len; ++d, ++count) {
                int32_t expected = static_cast<int32_t>((count + 1) % 7);  // day 0 is a Monday
                int32_t got = dayOfWeek(m, y, d);
                if (got != expected) {
                    ADD_FAILURE() << dateText(y, m, d) << ": expected week day " << expected << ", got " << got;
                    return;
                }
            }
        }
    EXPECT_EQ(count, civilDays(10000, 1, 1)) << "every day visited once";
}

TEST(Properties, DaysInMonthForEveryMonthOfTheYears1To9999) {
    for (int32_t y = 1; y <= 9999; ++y)
        for (int32_t m = 1; m <= 12; ++m) {
            int64_t expected = civilDays(m == 12 ? y + 1 : y, m == 12 ? 1 : m + 1, 1) - civilDays(y, m, 1);
            ASSERT_EQ(daysInMonth(m, y), expected) << m << "/" << y;
        }
}

TEST(Properties, NumericAndAbbreviatedRoundTripFrom1600To2100) {
    for (int32_t y = 1600; y <= 2100; ++y)
        for (int32_t m = 1; m <= 12; ++m)
            for (int32_t d = 1; d <= daysInMonth(m, y); ++d) {
                std::string numeric = dateText(y, m, d);
                FormattedDate abbreviated = formatDateText(numeric, true, true);
                ASSERT_EQ(abbreviated.code, EntryCode::None) << numeric;
                FormattedDate back = formatDateText(abbreviated.text, false, false);
                ASSERT_EQ(back.code, EntryCode::None) << abbreviated.text;
                ASSERT_EQ(back.text, numeric) << "round trip through \"" << abbreviated.text << "\"";
                FormattedDate again = formatDateText(numeric, false, false);
                ASSERT_EQ(again.text, numeric) << "numeric display is a fixed point";
            }
}

TEST(Properties, EarlierThenLaterGivesBackTheStart) {
    // Whole months and years never cross a month end from a day up to 28.
    for (int32_t y = 1600; y <= 2100; y += 7)
        for (int32_t m = 1; m <= 12; ++m)
            for (int32_t d = 1; d <= 28; d += 9)
                for (int32_t years = 0; years <= 120; years += 17)
                    for (int32_t months = 0; months <= 40; months += 3) {
                        std::string start = dateText(y, m, d);
                        std::string earlier = applyAge(start, years, months, 0, -1);
                        std::string back = applyAge(earlier, years, months, 0, +1);
                        ASSERT_EQ(back, start) << years << "y " << months << "m via " << earlier;
                    }
}

TEST(Properties, DaysOnlyAgesAreExactDayArithmetic) {
    std::mt19937_64 rng(20261207);
    std::uniform_int_distribution<int64_t> startDay(civilDays(1600, 1, 1), civilDays(2100, 12, 31));
    std::uniform_int_distribution<int32_t> ageDays(0, 60000);
    for (int i = 0; i < 20000; ++i) {
        Ymd s = fromCivilDays(startDay(rng));
        int32_t days = ageDays(rng);
        int32_t direction = (i % 2) ? 1 : -1;
        Ymd e = fromCivilDays(civilDays(s.y, s.m, s.d) + direction * days);
        if (e.y < 1) continue;
        std::string got = applyAge(dateText(s.y, s.m, s.d), 0, 0, days, direction);
        ASSERT_EQ(got, dateText(e.y, e.m, e.d)) << dateText(s.y, s.m, s.d) << (direction > 0 ? " + " : " - ") << days
                                                 << " days";
    }
}

TEST(Properties, EveryShiftedDateIsARealDate) {
    std::mt19937_64 rng(1941);
    std::uniform_int_distribution<int32_t> year(1600, 2100), month(1, 12), smallAge(-50, 400),
        bigAge(-100000, 100000), pick(0, 9);
    for (int i = 0; i < 100000; ++i) {
        int32_t y = year(rng), m = month(rng), d = std::uniform_int_distribution<int32_t>(1, daysInMonth(m, y))(rng);
        bool big = pick(rng) == 0;
        int32_t years = big ? bigAge(rng) : smallAge(rng) / 4;
        int32_t months = big ? bigAge(rng) : smallAge(rng);
        int32_t days = big ? bigAge(rng) : smallAge(rng);
        int32_t direction = (i % 2) ? 1 : -1;
        bool monthYear = pick(rng) < 3;
        std::string start = monthYear ? dateText(y, m, d).substr(3) : dateText(y, m, d);
        std::string got = applyAge(start, years, months, days, direction);
        DateParts p = readDateParts(got);
        std::string what = start + " by " + std::to_string(years) + "y " + std::to_string(months) + "m " +
                           std::to_string(days) + "d -> " + got;
        ASSERT_EQ(p.form, monthYear ? DateForm::MonthYear : DateForm::FullDate) << what;
        ASSERT_GE(p.month, 1) << what;
        ASSERT_LE(p.month, 12) << what;
        if (!monthYear) {
            // The year may have fewer than four digits here, so read it whole.
            int64_t fullYear = std::stoll(got.substr(6));
            ASSERT_GE(p.day, 1) << what;
            ASSERT_LE(p.day, daysInMonth(p.month, static_cast<int32_t>(fullYear))) << what;
        }
    }
}

}  // namespace

namespace {

// Junk of every kind: each byte value alone and around a date, long pastes,
// and texts built to make a naive substring search quadratic.
std::vector<std::string> junkInputs() {
    std::vector<std::string> inputs;
    for (int b = 1; b <= 255; ++b) {
        std::string c(1, static_cast<char>(b));
        inputs.push_back(c);
        inputs.push_back(c + "12/07/1941");
        inputs.push_back("12/07/1941" + c);
        inputs.push_back("Dec" + c + "7," + c + "1941");
    }
    inputs.push_back(std::string(100000, '9'));
    inputs.push_back(std::string(100000, ' '));
    inputs.push_back(std::string(100000, '/'));
    inputs.push_back(std::string(100000, '['));
    std::string jan;
    while (jan.size() < 50000) jan += "Jan";
    inputs.push_back(jan + "to/" + jan);
    inputs.push_back("e" + std::string(99999, 'e'));
    std::mt19937 rng(7);
    std::string junk(100000, 'x');
    for (char& c : junk) c = static_cast<char>(1 + rng() % 255);
    inputs.push_back(junk);
    return inputs;
}

TEST(Properties, JunkIsHandledWithoutCrash) {
    for (const std::string& input : junkInputs()) {
        for (int options = 0; options < 4; ++options) {
            FormattedDate f = formatDateText(input, options & 1, options & 2);
            ASSERT_LE(static_cast<int32_t>(f.code), 4);
            ASSERT_GE(static_cast<int32_t>(f.code), 0);
            if (f.code == EntryCode::None) {
                FormattedDate again = formatDateText(f.text, options & 1, options & 2);
                bool yearText = f.text.find("to") != std::string::npos || f.text.find("or") != std::string::npos;
                if (!yearText) {
                    ASSERT_TRUE(again.text == f.text)
                        << "shown text is shown again unchanged: " << f.text.substr(0, 60) << " -> "
                        << again.text.substr(0, 60);
                }
            }
        }
        AgeSpec age = parseAge(input, input, input);
        ASSERT_LE(age.rangeLow, age.rangeHigh);
        const EntryAnswer answer = calculateShown({input, input, "", "", ""});
        const EntryCode code = answer.calculationError;
        EXPECT_TRUE(code == EntryCode::None || code == EntryCode::Months || code == EntryCode::FourDigitYear)
            << "code " << static_cast<int32_t>(code);
        EXPECT_EQ(answer.box == EntryBox::None, answer.caption.empty());
    }
}

}  // namespace
