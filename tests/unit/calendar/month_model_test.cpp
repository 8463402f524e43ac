// Week lines, block origins, day positions and DateNumber conversions of the
// calendar sheet.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

#include "calculation.h"
#include "month_model.h"
#include "reference_calendar.h"

namespace {

std::string field(int32_t day) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%3d", static_cast<int>(day));
    return buffer;
}

TEST(ReferenceCount, KnownWeekDays) {
    const auto& first = reference::firstWeekdays();
    struct Case {
        const char* name;
        int32_t month, year, weekday;
    } const cases[] = {
        {"1 January 1600 is a Saturday", 1, 1600, 6},
        {"1 March 1850 is a Friday", 3, 1850, 5},
        {"1 December 1941 is a Monday (7th a Sunday)", 12, 1941, 1},
        {"1 January 2000 is a Saturday", 1, 2000, 6},
        {"1 February 2015 is a Sunday", 2, 2015, 0},
        {"1 January 2100 is a Friday", 1, 2100, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(first(c.month, c.year), c.weekday)
            << c.name << ": expected " << c.weekday << ", got " << first(c.month, c.year);
    }
}

TEST(MonthOrigin, FourAcrossThreeDown) {
    for (int32_t m = 1; m <= 12; ++m) {
        const BlockOrigin o = monthOrigin(m);
        const int32_t expectedX = 180 * ((m - 1) % 4);
        const int32_t expectedY = 170 * ((m - 1) / 4);
        EXPECT_EQ(o.colX, expectedX) << MonthNames[m] << " colX: expected " << expectedX
                                     << ", got " << o.colX;
        EXPECT_EQ(o.rowY, expectedY) << MonthNames[m] << " rowY: expected " << expectedY
                                     << ", got " << o.rowY;
    }
}

TEST(MonthNamesTable, TwelveNamesFromOne) {
    const char* const expected[] = {"",     "January", "February",  "March",
                                    "April", "May",    "June",      "July",
                                    "August", "September", "October", "November",
                                    "December"};
    for (int32_t m = 0; m <= 12; ++m) {
        EXPECT_EQ(MonthNames[m], expected[m])
            << "month " << m << ": expected " << expected[m] << ", got " << MonthNames[m];
    }
    EXPECT_EQ(WeekdayHeader.size(), 20u);
}

// Every month of 1600..2100: number of lines, the texts of all lines
// against fields built here, and the position of each line.
TEST(WeekLines, EveryMonthOf1600To2100) {
    const auto& first = reference::firstWeekdays();
    for (int32_t year = reference::FirstYear; year <= reference::LastYear; ++year) {
        for (int32_t month = 1; month <= 12; ++month) {
            const int32_t f = first(month, year);
            const int32_t length = reference::monthLength(month, year);
            const auto lines = buildWeekLines(month, year);
            const size_t expectedCount = static_cast<size_t>((f + length + 6) / 7);
            ASSERT_EQ(lines.size(), expectedCount)
                << MonthNames[month] << " " << year << ": expected " << expectedCount
                << " week lines, got " << lines.size();
            ASSERT_GE(lines.size(), 4u);
            ASSERT_LE(lines.size(), 6u);

            std::string expectedAll(static_cast<size_t>(3 * f), ' ');
            for (int32_t d = 1; d <= length; ++d) {
                expectedAll += field(d);
            }
            const size_t firstLength = static_cast<size_t>(21);
            const BlockOrigin o = monthOrigin(month);
            size_t offset = 0;
            for (size_t n = 0; n < lines.size(); ++n) {
                const WeekLine& line = lines[n];
                const std::string expectedFull =
                    expectedAll.substr(offset, std::min(firstLength, expectedAll.size() - offset));
                offset += expectedFull.size();
                ASSERT_EQ(line.fullText, expectedFull)
                    << MonthNames[month] << " " << year << " line " << n + 1 << ": expected '"
                    << expectedFull << "', got '" << line.fullText << "'";
                ASSERT_EQ(line.drawnText, expectedFull.substr(1))
                    << MonthNames[month] << " " << year << " line " << n + 1;
                ASSERT_EQ(line.index, static_cast<int32_t>(n + 1));
                const int32_t expectedY = 50 + o.rowY + 30 + 20 * static_cast<int32_t>(n + 1);
                ASSERT_EQ(line.x, o.colX + 7) << MonthNames[month] << " " << year;
                ASSERT_EQ(line.y, expectedY)
                    << MonthNames[month] << " " << year << " line " << n + 1 << ": expected y "
                    << expectedY << ", got " << line.y;
            }
            ASSERT_EQ(offset, expectedAll.size()) << MonthNames[month] << " " << year;
        }
    }
}

TEST(WeekLines, LabelledMonths) {
    struct Case {
        const char* name;
        int32_t month, year;
        size_t lineCount;
        int32_t line;  // from 1
        const char* full;
        const char* drawn;
    } const cases[] = {
        {"January 2000 begins on a Saturday", 1, 2000, 6, 1,
         "                    1", "                   1"},
        {"February 2015 has exactly four lines", 2, 2015, 4, 4,
         " 22 23 24 25 26 27 28", "22 23 24 25 26 27 28"},
        {"February 2015 first line is Sunday the 1st", 2, 2015, 4, 1,
         "  1  2  3  4  5  6  7", " 1  2  3  4  5  6  7"},
        {"February 1900 ends on the 28th", 2, 1900, 5, 5, " 25 26 27 28", "25 26 27 28"},
        {"February 2000 ends on the 29th", 2, 2000, 5, 5, " 27 28 29", "27 28 29"},
        {"February 1700 ends on the 28th", 2, 1700, 5, 5, " 28", "28"},
        {"March 1850 begins on a Friday", 3, 1850, 6, 1, "                 1  2",
         "                1  2"},
        {"December 1941: the 7th opens line 2", 12, 1941, 5, 2,
         "  7  8  9 10 11 12 13", " 7  8  9 10 11 12 13"},
    };
    for (const auto& c : cases) {
        const auto lines = buildWeekLines(c.month, c.year);
        ASSERT_EQ(lines.size(), c.lineCount)
            << c.name << ": expected " << c.lineCount << " lines, got " << lines.size();
        const WeekLine& line = lines[static_cast<size_t>(c.line - 1)];
        EXPECT_EQ(line.fullText, c.full)
            << c.name << ": expected '" << c.full << "', got '" << line.fullText << "'";
        EXPECT_EQ(line.drawnText, c.drawn)
            << c.name << ": expected '" << c.drawn << "', got '" << line.drawnText << "'";
    }
}

TEST(DayFieldPosition, LabelledDays) {
    struct Case {
        const char* name;
        int32_t month, year, day, cellWidth, x, y;
    } const cases[] = {
        {"5 March 1850, width 21", 3, 1850, 5, 21, 409, 120},
        {"1 March 1850 is Friday of line 1", 3, 1850, 1, 21, 367 + 5 * 21, 100},
        {"1 January 2000 is Saturday of line 1", 1, 2000, 1, 21, 7 + 6 * 21, 100},
        {"31 January 2000 is Monday of line 6", 1, 2000, 31, 21, 7 + 21, 200},
        {"29 February 2000 in block (180, 0)", 2, 2000, 29, 18, 187 + 2 * 18, 180},
        {"7 December 1941 is Sunday of line 2", 12, 1941, 7, 24, 547, 50 + 340 + 70},
        {"31 December 2100 is a Friday", 12, 2100, 31, 15, 547 + 5 * 15, 50 + 340 + 130},
    };
    for (const auto& c : cases) {
        const PixelPoint p = dayFieldPosition(c.month, c.year, c.day, c.cellWidth);
        EXPECT_EQ(p.x, c.x) << c.name << ": expected x " << c.x << ", got " << p.x;
        EXPECT_EQ(p.y, c.y) << c.name << ": expected y " << c.y << ", got " << p.y;
    }
}

TEST(DateNumbers, SplitByCharacterPositions) {
    struct Case {
        const char* name;
        DateNumber n;
        int32_t year, month, day;
    } const cases[] = {
        {"full date", 18500305, 1850, 3, 5},
        {"year alone", 18500000, 1850, 0, 0},
        {"month and year", 18500300, 1850, 3, 0},
        {"six digits read by position", 411207, 4112, 7, 7},
        {"last day of 9999", 99991231, 9999, 12, 31},
        {"no date", 0, 0, 0, 0},
        {"one digit is year and day", 5, 5, 0, 5},
        {"nine digits", 100000000, 1000, 0, 0},
        {"negative keeps its sign in the year", -18500305, -185, 0, 5},
    };
    for (const auto& c : cases) {
        const DateNumberParts p = splitDateNumber(c.n);
        EXPECT_EQ(p.year, c.year) << c.name << ": expected year " << c.year << ", got " << p.year;
        EXPECT_EQ(p.month, c.month)
            << c.name << ": expected month " << c.month << ", got " << p.month;
        EXPECT_EQ(p.day, c.day) << c.name << ": expected day " << c.day << ", got " << p.day;
    }
}

TEST(DateNumbers, TextKeepsLeadingZeros) {
    struct Case {
        const char* name;
        DateNumber n;
        const char* text;
    } const cases[] = {
        {"5 March 1850", 18500305, "03/05/1850"},
        {"31 December 2000", 20001231, "12/31/2000"},
        {"7 December 1941", 19411207, "12/07/1941"},
        {"29 February 2000", 20000229, "02/29/2000"},
        {"1 January 1600", 16000101, "01/01/1600"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dateNumberToText(c.n), c.text)
            << c.name << ": expected " << c.text << ", got " << dateNumberToText(c.n);
    }
}

// Every day the calendar can produce goes to text and back unchanged.
TEST(DateNumbers, EveryDayOf1600To2100RoundTrips) {
    for (int32_t year = reference::FirstYear; year <= reference::LastYear; ++year) {
        for (int32_t month = 1; month <= 12; ++month) {
            for (int32_t day = 1; day <= reference::monthLength(month, year); ++day) {
                const DateNumber n = year * 10000 + month * 100 + day;
                char expected[40];
                std::snprintf(expected, sizeof expected, "%02d/%02d/%04d", static_cast<int>(month),
                              static_cast<int>(day), static_cast<int>(year));
                ASSERT_EQ(dateNumberToText(n), expected)
                    << n << ": expected " << expected << ", got " << dateNumberToText(n);
                const DateNumberParts p = splitDateNumber(n);
                ASSERT_TRUE(p.year == year && p.month == month && p.day == day)
                    << n << ": expected " << year << "/" << month << "/" << day << ", got "
                    << p.year << "/" << p.month << "/" << p.day;
            }
        }
    }
}

TEST(DateNumbers, UsableOnlyWithAYearFrom1To9999) {
    struct Case {
        const char* name;
        DateNumber n;
        bool usable;
    } const cases[] = {
        {"no date", 0, false},
        {"5 March 1850", 18500305, true},
        {"year alone", 18500000, true},
        {"last day of 9999", 99991231, true},
        {"short number read by position", 411207, true},
        {"negative number", -18500305, false},
        {"smallest 32-bit number", INT32_MIN, false},
        {"minus one", -1, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isUsableDateNumber(c.n), c.usable)
            << c.name << " (" << c.n << "): expected " << c.usable << ", got "
            << isUsableDateNumber(c.n);
    }
}

TEST(FontHeight, PointsAtResolutions) {
    struct Case {
        const char* name;
        int32_t points, dpi, height;
    } const cases[] = {
        {"grid font at 96 dpi", 9, 96, -12},
        {"heading font at 96 dpi", 10, 96, -13},
        {"10 points at 120 dpi truncate", 10, 120, -16},
        {"8 points at 96 dpi truncate", 8, 96, -10},
        {"9 points at 144 dpi", 9, 144, -18},
        {"no resolution", 9, 0, 0},
        {"absurd size stays negative", INT32_MAX, 96, INT32_MIN + 1},
    };
    for (const auto& c : cases) {
        const int32_t h = fontHeight(c.points, c.dpi);
        EXPECT_EQ(h, c.height) << c.name << ": expected " << c.height << ", got " << h;
    }
}

TEST(Texts, DayNumbersAndYears) {
    for (int32_t d = 1; d <= 31; ++d) {
        const std::string expected = field(d).substr(1);
        EXPECT_EQ(dayNumberText(d), expected)
            << "day " << d << ": expected '" << expected << "', got '" << dayNumberText(d) << "'";
    }
    EXPECT_EQ(yearText(1850), "1850");
    EXPECT_EQ(yearText(0), "0");
    EXPECT_EQ(yearText(2100), "2100");
}

// The year box compares the number before rounding; rounding it must give
// what leadingNumber gives, so both read the same number from a text.
TEST(LeadingValue, UnroundedNumberAtTheStart) {
    struct Case {
        const char* name;
        const char* text;
        double value;
    } const cases[] = {
        {"plain year", "1950", 1950.0},
        {"blanks and trailing letters", "  1950abc", 1950.0},
        {"tab and line feed skipped", "\t\n1800", 1800.0},
        {"just below a century year", "1599.6", 1599.6},
        {"just above the last year", "2100.4", 2100.4},
        {"exponent with e", "2.1e3", 2100.0},
        {"exponent with D", "2.1D3", 2100.0},
        {"plus sign", "+1700", 1700.0},
        {"minus sign", "-5", -5.0},
        {"exponent without digits is not read", "19e", 19.0},
        {"fraction without integer part", ".5", 0.5},
        {"empty text", "", 0.0},
        {"no number", "abc", 0.0},
        {"sign alone", "-", 0.0},
        {"point alone", ".", 0.0},
        {"second point ends the number", "19.5.3", 19.5},
    };
    for (const auto& c : cases) {
        const double v = leadingValue(c.text);
        EXPECT_DOUBLE_EQ(v, c.value) << c.name << ": expected " << c.value << ", got " << v;
        EXPECT_EQ(static_cast<int32_t>(std::nearbyint(v)), leadingNumber(c.text))
            << c.name << ": rounded value and leadingNumber differ";
    }
    EXPECT_GT(leadingValue("1e99999"), 2100.0) << "huge exponent";
    EXPECT_EQ(leadingValue("1e-99999"), 0.0) << "tiny exponent";
}

}  // namespace
