#include <limits>

#include "engine_test_support.h"

namespace {

const int32_t Max = std::numeric_limits<int32_t>::max();
const int32_t Min = std::numeric_limits<int32_t>::min();

TEST_F(EngineTest, LeadingNumberReadsAndRounds) {
    struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"20-30", 20}, {"60+", 60}, {"-5", -5}, {"12/05", 12}, {" 30 or 29", 30}, {"\t\n 7", 7},
        {"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {"-3.5", -4}, {"2.5000001", 3}, {"0.5", 0}, {"1.5", 2},
        {".5", 0}, {".51", 1}, {"+7", 7}, {"1e2", 100}, {"1E2", 100}, {"1d2", 100}, {"1D+2", 100},
        {"25e-1", 2}, {"35e-1", 4}, {"1e", 1}, {"1e+", 1}, {"1ex", 1}, {"", 0}, {"abc", 0},
        {"-", 0}, {"+", 0}, {".", 0}, {"1.2.3", 1}, {"007", 7}, {"0.0049e3", 5},
        {"2147483647", Max}, {"2147483647.4", Max}, {"2147483648", Max}, {"99999999999999999999", Max},
        {"-2147483648", Min}, {"-2147483649", Min}, {"-1e300", Min}, {"1e999999999999", Max},
        {"1e-999999999999", 0}, {"2147483646.5", 2147483646}, {"2147483645.5", 2147483646},
        {"0.50000000000000000000000000001", 1}, {"0.50000000000000000000000000000", 0},
        {"\r5", 0}, {"  -0", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(leadingNumber(c.text), c.value) << "text \"" << c.text << "\"";
}

TEST_F(EngineTest, LeadingNumberOfAHundredThousandDigits) {
    std::string digits(100000, '9');
    EXPECT_EQ(leadingNumber(digits), Max);
    EXPECT_EQ(leadingNumber("-" + digits), Min);
    EXPECT_EQ(leadingNumber("0." + digits), 1);
    EXPECT_EQ(leadingNumber("0." + std::string(99990, '0') + "9"), 0);
}

TEST_F(EngineTest, NumberTextSpacesNonNegatives) {
    EXPECT_EQ(numberText(50), " 50");
    EXPECT_EQ(numberText(0), " 0");
    EXPECT_EQ(numberText(-1), "-1");
    EXPECT_EQ(numberText(Min), "-2147483648");
    EXPECT_EQ(numberText(Max), " 2147483647");
}

// Every quarter step from -500 to 500 is rounded by each of the three entry
// points (whole and fraction, a double, twice the value) and by reading its
// decimal text; all must give the nearest integer with halves to even.
TEST_F(EngineTest, RoundingAgreesInEveryForm) {
    for (int64_t quarters = -2000; quarters <= 2000; ++quarters) {
        const double value = static_cast<double>(quarters) / 4.0;
        const int64_t floorPart = quarters >= 0 ? quarters / 4 : -((-quarters + 3) / 4);
        const int64_t rest = quarters - 4 * floorPart;  // 0..3 quarters
        const int64_t expected = rest < 2 ? floorPart : rest > 2 ? floorPart + 1 : floorPart + (floorPart & 1);
        const Fraction fraction = rest < 2 ? Fraction::BelowHalf : rest > 2 ? Fraction::AboveHalf : Fraction::Half;
        EXPECT_EQ(roundHalfEven(floorPart, fraction), expected) << value;
        EXPECT_EQ(roundHalfEven(value), static_cast<double>(expected)) << value;
        if (rest % 2 == 0) {
            EXPECT_EQ(halfToEven(quarters / 2), expected) << value;
        }
        EXPECT_EQ(leadingNumber(std::to_string(value)), expected) << value;
    }
    EXPECT_EQ(halfToEven(std::numeric_limits<int64_t>::min()), std::numeric_limits<int64_t>::min() / 2);
    EXPECT_EQ(halfToEven(std::numeric_limits<int64_t>::max()), std::numeric_limits<int64_t>::max() / 2 + 1);
    EXPECT_EQ(roundHalfEven(1e300), 1e300);
}

struct AgeCase {
    const char* name;
    const char* years;
    const char* months;
    const char* days;
    AgeKind kind;
    int32_t rangeLow, rangeHigh, atLeast, yearsValue, monthsValue, daysValue;
    bool monthsGiven, daysGiven;
};

const AgeCase AgeCases[] = {
    {"plain", "30", "", "", AgeKind::Plain, 0, 0, 0, 30, 0, 0, false, false},
    {"range", "20-30", "6", "", AgeKind::Range, 20, 30, 0, 20, 6, 0, false, false},
    {"upper bound", "-5", "", "", AgeKind::Range, 0, 5, 0, 0, 0, 0, false, false},
    {"lower bound", "60+", "", "", AgeKind::AtLeast, 0, 0, 60, 60, 0, 0, false, false},
    {"zero range", "0-0", "3", "4", AgeKind::Range, 0, 0, 0, 0, 3, 4, false, false},
    {"plus in front", "+60", "", "", AgeKind::AtLeast, 0, 0, 0, 60, 0, 0, false, false},
    {"third bound ignored", "20-30-40", "", "", AgeKind::Range, 20, 30, 0, 20, 0, 0, false, false},
    {"half rounds to even", "2.5", "", "", AgeKind::Plain, 0, 0, 0, 2, 0, 0, false, false},
    {"3.5 rounds up", "3.5", "", "", AgeKind::Plain, 0, 0, 0, 4, 0, 0, false, false},
    {"empty", "", "", "", AgeKind::Plain, 0, 0, 0, 0, 0, 0, false, false},
    {"one-space months given", "30", " ", "", AgeKind::Plain, 0, 0, 0, 30, 0, 0, true, false},
    {"computed text typed back", " 30 or 29", "", "", AgeKind::Plain, 0, 0, 0, 30, 0, 0, false, false},
    {"negative months are months", "30", "-3", "2", AgeKind::Plain, 0, 0, 0, 30, -3, 2, true, true},
    {"reversed range reordered", "30-20", "", "", AgeKind::Range, 20, 30, 0, 20, 0, 0, false, false},
    {"missing upper bound reordered", "5-", "", "", AgeKind::Range, 0, 5, 0, 0, 0, 0, false, false},
    {"huge years saturate", "99999999999", "", "", AgeKind::Plain, 0, 0, 0, Max, 0, 0, false, false},
    {"huge range", "1-99999999999", "", "", AgeKind::Range, 1, Max, 0, 1, 0, 0, false, false},
};

class Age : public EngineTest, public ::testing::WithParamInterface<AgeCase> {};

TEST_P(Age, Fields) {
    const AgeCase& c = GetParam();
    AgeSpec a = parseAge(c.years, c.months, c.days);
    EXPECT_EQ(a.kind, c.kind) << c.name;
    EXPECT_EQ(a.rangeLow, c.rangeLow) << c.name;
    EXPECT_EQ(a.rangeHigh, c.rangeHigh) << c.name;
    EXPECT_EQ(a.atLeast, c.atLeast) << c.name;
    EXPECT_EQ(a.years, c.yearsValue) << c.name;
    EXPECT_EQ(a.months, c.monthsValue) << c.name;
    EXPECT_EQ(a.days, c.daysValue) << c.name;
    EXPECT_EQ(a.monthsGiven, c.monthsGiven) << c.name;
    EXPECT_EQ(a.daysGiven, c.daysGiven) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Age, ::testing::ValuesIn(AgeCases), casenames::caseNames(AgeCases));

struct ShiftCase {
    const char* name;
    const char* date;
    int32_t years, months, days, direction;
    const char* expected;
};

const ShiftCase ShiftCases[] = {
    {"11 days back over February", "03/10/1900", 0, 0, 11, -1, "02/27/1900"},
    {"one month on from 31 January keeps the overflow", "01/31/1900", 0, 1, 0, +1, "03/03/1900"},
    {"3 months back over the year", "03/15/1900", 0, 3, 0, -1, "12/15/1899"},
    {"month/year back by days", "03/1900", 0, 0, 5, -1, "02/1900"},
    {"year on", "1850", 30, 0, 0, +1, "1880"},
    {"year ignores months", "1850", 30, 6, 0, +1, "1880"},
    {"infant of 18 months", "05/10/1900", 0, 18, 0, -1, "11/10/1898"},
    {"infant of 45 days", "03/10/1900", 0, 0, 45, -1, "01/24/1900"},
    {"400 days on", "01/01/1900", 0, 0, 400, +1, "02/05/1901"},
    {"month/year on by 40 months", "03/1900", 0, 40, 0, +1, "07/1903"},
    {"negative months move on", "03/15/1900", 0, -3, 0, -1, "06/15/1900"},
    {"negative days move back", "03/01/1900", 0, 0, -1, +1, "02/28/1900"},
    {"40 years back", "12/07/1941", 40, 0, 0, -1, "12/07/1901"},
    {"29 Feb to a common year", "02/29/2000", 1, 0, 0, +1, "03/01/2001"},
    {"small year keeps its digits", "05/10/0900", 100, 0, 0, -1, "05/10/0800"},
    {"huge days", "01/01/1900", 0, 0, Max, +1, "07/12/5881510"},
    {"huge years back", "01/01/1900", Max, 0, 0, -1, "01/01/-2147481747"},
    {"most negative everything", "12/31/2100", Min, Min, Min, -1, "03/11/2332322330"},
};

TEST_F(EngineTest, ApplyAgeExamples) {
    for (const ShiftCase& c : ShiftCases)
        EXPECT_EQ(applyAge(c.date, c.years, c.months, c.days, c.direction), c.expected) << c.name;
}

}  // namespace
