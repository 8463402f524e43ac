// Census presets: each day against what its sources say about it, and the
// 1841 age rule over every age.
#include <gtest/gtest.h>

#include <string>

#include "research.h"
#include "researcher_forms.h"
#include "census.h"
#include "date_text.h"

namespace {

using quillark::applyCensusRule;
using quillark::Census;
using quillark::findCensus;

constexpr int32_t Sunday = 0, Monday = 1;

// What the sources say of each day beyond the date itself: the England and
// Wales censuses counted a Sunday night, the first four United States
// censuses were taken as of the first Monday in August.
struct CensusDayCase {
    const char* name;
    const char* date;     // mm/dd/yyyy
    int32_t weekDay;      // -1 when the sources name none
    bool firstInMonth;    // the first such week day of its month
};

const CensusDayCase CensusDays[] = {
    {"EW1841", "06/06/1841", Sunday, false}, {"EW1851", "03/30/1851", Sunday, false},
    {"EW1861", "04/07/1861", Sunday, false}, {"EW1871", "04/02/1871", Sunday, false},
    {"EW1881", "04/03/1881", Sunday, false}, {"EW1891", "04/05/1891", Sunday, false},
    {"EW1901", "03/31/1901", Sunday, false}, {"EW1911", "04/02/1911", Sunday, false},
    {"EW1921", "06/19/1921", Sunday, false},
    {"US1790", "08/02/1790", Monday, true},  {"US1800", "08/04/1800", Monday, true},
    {"US1810", "08/06/1810", Monday, true},  {"US1820", "08/07/1820", Monday, true},
    {"US1830", "06/01/1830", -1, false},     {"US1840", "06/01/1840", -1, false},
    {"US1850", "06/01/1850", -1, false},     {"US1860", "06/01/1860", -1, false},
    {"US1870", "06/01/1870", -1, false},     {"US1880", "06/01/1880", -1, false},
    // 1 June 1890 was a Sunday, so the count began on Monday 2 June.
    {"US1890", "06/02/1890", Monday, true},  {"US1900", "06/01/1900", -1, false},
    {"US1910", "04/15/1910", -1, false},     {"US1920", "01/01/1920", -1, false},
    {"US1930", "04/01/1930", -1, false},     {"US1940", "04/01/1940", -1, false},
    {"US1950", "04/01/1950", -1, false},
};

TEST(CensusTable, EachDayAgreesWithItsSources) {
    ASSERT_EQ(quillark::censusTable().size(), std::size(CensusDays));
    for (const CensusDayCase& c : CensusDays) {
        const Census* census = findCensus(c.name);
        ASSERT_NE(census, nullptr) << c.name;
        EXPECT_EQ(quillark::canonicalText(partsOf(census->day)), c.date) << c.name;
        EXPECT_EQ(census->rule == quillark::CensusAgeRule::RoundedDownToFive, std::string(c.name) == "EW1841")
            << c.name;
        EXPECT_FALSE(census->source.empty()) << c.name;
        const int32_t day = dayOf(census->day), month = monthOf(census->day), year = yearOf(census->day);
        if (c.weekDay >= 0) {
            EXPECT_EQ(dayOfWeek(month, year, day), c.weekDay) << c.name;
        }
        if (c.firstInMonth) {
            EXPECT_LE(day, 7) << c.name;
        }
    }
    // The day before the 1890 census day was the Sunday that moved it.
    EXPECT_EQ(dayOfWeek(6, 1890, 1), Sunday);
}

TEST(CensusTable, NamesAreFoundIgnoringCaseAndBlanks) {
    const std::pair<const char*, const char*> cases[] = {  // text, census found ("" none)
        {"EW1841", "EW1841"}, {"ew1841", "EW1841"}, {" us1900 ", "US1900"}, {"EW1931", ""},
        {"US", ""},           {"", ""},             {"US19000", ""},
    };
    for (const auto& [text, found] : cases) {
        const Census* census = findCensus(text);
        EXPECT_EQ(census == nullptr ? "" : census->name, std::string_view(found)) << text;
    }
}

// What a census's rule read from a years entry, in the entry's own form:
// the years unchanged, or the range the rule widened them to.
std::string ruleReading(const Census& census, const char* years, bool monthsOrDays, std::string& warning) {
    const quillark::CensusAge read = applyCensusRule(census, parseAge(years, "", ""), monthsOrDays);
    warning = read.warning;
    if (!read.age) return years;
    EXPECT_EQ(read.age->kind, AgeKind::Range) << years;
    EXPECT_FALSE(read.age->monthsGiven || read.age->daysGiven) << years << ": a range has no months or days";
    EXPECT_EQ(read.age->years, read.age->rangeLow) << years;
    return std::to_string(read.age->rangeLow) + "-" + std::to_string(read.age->rangeHigh);
}

TEST(CensusAgeRule, England1841WidensEveryAgeFromFifteen) {
    const Census& ew1841 = *findCensus("EW1841");
    std::string warning;
    for (int age = 0; age <= 150; ++age) {
        const std::string read = ruleReading(ew1841, std::to_string(age).c_str(), false, warning);
        if (age < 15) {
            EXPECT_EQ(read, std::to_string(age)) << age;
            EXPECT_EQ(warning, "") << age;
        } else {
            EXPECT_EQ(read, std::to_string(age) + "-" + std::to_string(age + 4)) << age;
            EXPECT_EQ(warning.empty(), age % 5 == 0) << age << ": " << warning;
        }
    }
    // The top of the years a number can say stays there.
    EXPECT_EQ(ruleReading(ew1841, "99999999999", false, warning), "2147483647-2147483647");
}

TEST(CensusAgeRule, England1841OtherForms) {
    const struct {
        const char* name;
        const char* years;
        bool monthsOrDays;
        const char* expected;
        bool warning;
    } cases[] = {
        {"range ends are rounded ages", "20-30", false, "20-34", false},
        {"range below fifteen is exact", "5-10", false, "5-10", false},
        {"range reaching fifteen widens its top", "10-15", false, "10-19", false},
        {"or under widens its bound", "-20", false, "0-24", false},
        {"small or under stays", "-5", false, "-5", false},
        {"at least stays", "60+", false, "60+", false},
        {"unrounded at least warns", "62+", false, "62+", true},
        {"unrounded range end warns", "20-33", false, "20-37", true},
        {"with months the age is exact", "30", true, "30", false},
        {"empty years stays empty", "", false, "", false},
    };
    const Census& ew1841 = *findCensus("EW1841");
    for (const auto& c : cases) {
        std::string warning;
        EXPECT_EQ(ruleReading(ew1841, c.years, c.monthsOrDays, warning), c.expected) << c.name;
        EXPECT_EQ(!warning.empty(), c.warning) << c.name << ": " << warning;
    }
}

TEST(CensusAgeRule, LaterCensusesKeepTheAgeAsWritten) {
    for (const Census& census : quillark::censusTable()) {
        if (census.rule != quillark::CensusAgeRule::LastBirthday) continue;
        for (const char* years : {"30", "33", "20-30", "-5", "60+"}) {
            std::string warning;
            EXPECT_EQ(ruleReading(census, years, false, warning), years) << census.name;
            EXPECT_EQ(warning, "") << census.name;
        }
    }
}

}  // namespace
