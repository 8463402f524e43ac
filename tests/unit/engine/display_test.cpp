#include "engine_test_support.h"

namespace {

struct DisplayCase {
    const char* name;
    const char* input;
    bool abbreviated;
    bool weekDay;
    int32_t code;
    const char* expected;  // when code is 0
};

const DisplayCase DisplayCases[] = {
    {"numeric from slashes", "12/7/1941", false, false, 0, "12/07/1941"},
    {"numeric from month word", "Dec 7, 1941", false, false, 0, "12/07/1941"},
    {"numeric from dashes", "12-7-1941", false, false, 0, "12/07/1941"},
    {"numeric month/year", "5/1941", false, false, 0, "05/1941"},
    {"numeric from month word and year", "May 1941", false, false, 0, "05/1941"},
    {"numeric year", "1941", false, false, 0, "1941"},
    {"abbreviated drops the day's zero", "12/07/1941", true, false, 0, "Dec 7, 1941"},
    {"abbreviated keeps 10", "12/10/1941", true, false, 0, "Dec 10, 1941"},
    {"abbreviated month/year", "05/1941", true, false, 0, "May 1941"},
    {"abbreviated year", "1941", true, false, 0, "1941"},
    {"week day numeric", "12/07/1941", false, true, 0, "12/07/1941  [Su]"},
    {"week day abbreviated", "12/07/1941", true, true, 0, "Dec 7, 1941  [Su]"},
    {"no tag on month/year", "05/1941", false, true, 0, "05/1941"},
    {"no tag on year", "1941", true, true, 0, "1941"},
    {"tag made afresh", "12/07/1941  [Xx]", false, true, 0, "12/07/1941  [Su]"},
    {"tag removed when off", "Dec 7, 1941  [Su]", false, false, 0, "12/07/1941"},
    {"29 Feb 1900 numeric", "02/29/1900", false, false, 2, ""},
    {"29 Feb 1900 abbreviated", "02/29/1900", true, false, 2, ""},
    {"29 Feb 2000 with week day", "02/29/2000", false, true, 0, "02/29/2000  [Tu]"},
    {"month 13 numeric", "13/10/1941", false, false, 1, ""},
    {"month 13 abbreviated", "13/10/1941", true, false, 1, ""},
    {"month/year 13 abbreviated", "13/1941", true, false, 1, ""},
    {"month/year 13 numeric is rejected too", "13/1941", false, false, 1, ""},
    {"month/year 00 numeric", "0/1941", false, false, 1, ""},
    {"year 1599 full date", "12/07/1599", false, false, 3, ""},
    {"year 1599 month/year", "05/1599", false, false, 0, "05/1599"},
    {"year 1599 alone", "1599", true, false, 0, "1599"},
    {"empty numeric", "", false, true, 0, ""},
    {"empty abbreviated", "", true, true, 0, ""},
    {"year pair unchanged", "1850 or 1849", true, true, 0, "1850 or 1849"},
    {"year span unchanged", "1869 to 1880", false, true, 0, "1869 to 1880"},
    {"or before unchanged", "1840 or before", true, false, 0, "1840 or before"},
    {"or later unchanged", "1910 or later", false, false, 0, "1910 or later"},
    {"two-digit year", "12/7/41", false, false, 4, ""},
    {"letters in month", "1a/07/1941", false, false, 1, ""},
    {"letters in month abbreviated", "1a/07/1941", true, false, 1, ""},
    {"letters in day", "12/0x/1941", false, false, 2, ""},
    {"letters in month/year month", "x/1941", true, false, 1, ""},
    {"long month name kept by year-text rule", "October 5, 1941", false, false, 0, "10/05/1941"},
    {"month word that becomes a lone number", "Mayor", false, false, 4, ""},
    {"same word abbreviated stays a year text", "Mayor", true, false, 0, "Mayor"},
    {"long month name with month and year", "October 1941", false, false, 0, "10/1941"},
    {"long month name with a short year", "October 5, 41", false, false, 4, ""},
    {"blank left in a month part", "x 7/1941", false, false, 1, ""},
    {"blank left in a full date's month", "x 7/07/1941", true, false, 1, ""},
    {"first of four failures decides", "13/45/1500", false, false, 1, ""},
    {"week days: 4 July 1776", "07/04/1776", false, true, 0, "07/04/1776  [Th]"},
    {"week days: 1 Jan 1600", "01/01/1600", false, true, 0, "01/01/1600  [Sa]"},
    {"week days: 1 Jan 2000", "01/01/2000", true, true, 0, "Jan 1, 2000  [Sa]"},
    {"week days: 31 Dec 2100", "12/31/2100", false, true, 0, "12/31/2100  [Fr]"},
};

class Display : public EngineTest, public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(Display, CodeAndText) {
    const DisplayCase& c = GetParam();
    FormattedDate got = formatDateText(c.input, c.abbreviated, c.weekDay);
    EXPECT_EQ(static_cast<int32_t>(got.code), c.code) << c.name << ": \"" << c.input << "\"";
    if (c.code == 0) {
        EXPECT_EQ(got.text, c.expected) << c.name << ": \"" << c.input << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Display, ::testing::ValuesIn(DisplayCases), casenames::caseNames(DisplayCases));

TEST_F(EngineTest, WeekdayTagOfEntries) {
    EXPECT_EQ(weekdayTag("07/04/1776"), "  [Th]");
    EXPECT_EQ(weekdayTag("Dec 7, 1941"), "  [Su]");
    EXPECT_EQ(weekdayTag("05/1941"), "");
    EXPECT_EQ(weekdayTag("12/7/41"), "");
}

TEST_F(EngineTest, DayOfWeekAnchors) {
    struct {
        int32_t m, y, d, w;
    } cases[] = {{12, 1941, 7, 0}, {7, 1776, 4, 4}, {1, 1600, 1, 6}, {1, 2000, 1, 6},
                 {2, 2000, 29, 2}, {12, 2100, 31, 5}, {1, 1, 1, 1}, {12, 9999, 31, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(dayOfWeek(c.m, c.y, c.d), c.w) << c.m << "/" << c.d << "/" << c.y;
}

}  // namespace
