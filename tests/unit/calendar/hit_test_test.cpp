// The day under a pixel: the worked example, labelled misses, and whole
// ranges (every month of 1600..2100, five grid cell widths) against a pixel
// map of the day fields built here from the independent week-day count.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "case_names.h"
#include "month_model.h"
#include "reference_calendar.h"

// Under the sanitizers every call costs a hundred times more; there the
// day-field walk takes every eighth year (still every kind of year, and the
// full-sheet walk below stays whole), the plain build takes them all.
#if defined(__SANITIZE_ADDRESS__)
#define CALENDAR_TESTS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CALENDAR_TESTS_SANITIZED 1
#endif
#endif

namespace {

#ifdef CALENDAR_TESTS_SANITIZED
constexpr int32_t YearStep = 8;
#else
constexpr int32_t YearStep = 1;
#endif

constexpr int32_t CellWidths[] = {15, 18, 21, 24, 27};

std::string describe(const std::optional<MonthDay>& hit) {
    if (!hit) {
        return "no day";
    }
    return std::string(MonthNames[hit->month]) + " " + std::to_string(hit->day);
}

// What a pixel should hit: numbers first, then the one character in front of
// each number. Built from the geometry stated for the sheet, not from the
// model's own position function.
class ExpectedSheet {
public:
    static constexpr int32_t Left = -10, Top = -10, Right = 760, Bottom = 620;

    ExpectedSheet(int32_t year, int32_t cellWidth)
        : cells_(static_cast<size_t>((Right - Left) * (Bottom - Top)), 0) {
        const int32_t c = cellWidth / 3;
        const auto& first = reference::firstWeekdays();
        // Leading characters first, numbers over them: with the widest grid
        // a Saturday's number reaches into the next block's Sunday field.
        for (int pass = 0; pass < 2; ++pass) {
            for (int32_t m = 1; m <= 12; ++m) {
                const int32_t colX = 180 * ((m - 1) % 4);
                const int32_t rowY = 170 * ((m - 1) / 4);
                const int32_t f = first(m, year);
                for (int32_t d = 1; d <= reference::monthLength(m, year); ++d) {
                    const int32_t x = colX + 7 + ((f + d - 1) % 7) * cellWidth;
                    const int32_t y = 50 + rowY + 30 + 20 * ((f + d - 1) / 7 + 1);
                    const int32_t from = pass == 0 ? x - c : x;
                    const int32_t to = pass == 0 ? x : x + 2 * c;
                    fill(from, to, y, y + 20, m * 100 + d);
                }
            }
        }
    }

    // month * 100 + day, or 0.
    int32_t at(int32_t x, int32_t y) const {
        return cells_[static_cast<size_t>((y - Top) * (Right - Left) + (x - Left))];
    }

private:
    void fill(int32_t x0, int32_t x1, int32_t y0, int32_t y1, int32_t value) {
        for (int32_t y = y0; y < y1; ++y) {
            for (int32_t x = x0; x < x1; ++x) {
                cells_[static_cast<size_t>((y - Top) * (Right - Left) + (x - Left))] = value;
            }
        }
    }
    std::vector<int32_t> cells_;
};

int32_t code(const std::optional<MonthDay>& hit) {
    return hit ? hit->month * 100 + hit->day : 0;
}

TEST(DayAtPoint, WorkedExampleFifthOfMarch1850) {
    for (int32_t y = 120; y <= 139; ++y) {
        for (int32_t x = 402; x <= 422; ++x) {
            const auto hit = dayAtPoint(x, y, 1850, 21);
            ASSERT_EQ(code(hit), 305) << "(" << x << ", " << y << "): expected March 5, got "
                                      << describe(hit);
        }
    }
    struct Case {
        const char* name;
        int32_t x, y, expected;
    } const cases[] = {
        {"top-left of the number", 409, 120, 305},
        {"one pixel left of the field is Monday the 4th", 401, 120, 304},
        {"one pixel right of the field is Wednesday the 6th", 423, 139, 306},
        {"one pixel above is Tuesday of line 1, before the 1st", 409, 119, 0},
        {"one pixel below is the 12th", 409, 140, 312},
    };
    for (const auto& c : cases) {
        const auto hit = dayAtPoint(c.x, c.y, 1850, 21);
        EXPECT_EQ(code(hit), c.expected) << c.name << ": expected " << c.expected << ", got "
                                         << describe(hit);
    }
}

TEST(DayAtPoint, LabelledMisses) {
    // 1850 with width 21; March 1850 begins on a Friday, January on a Tuesday.
    struct Case {
        const char* name;
        int32_t x, y;
    } const cases[] = {
        {"month name of January", 60, 65},
        {"weekday header of January", 20, 85},
        {"rule under the header", 60, 95},
        {"above the sheet", 20, 10},
        {"Saturday column 8 in January", 7 + 7 * 21 + 2, 120},
        {"weekday column 9 in March", 367 + 8 * 21, 120},
        {"gap between the January and February blocks", 175, 120},
        {"right of the fourth column", 740, 120},
        {"far right", 5000, 120},
        {"before the 1st of March", 367 + 21, 100},
        {"past the last day of February", 187 + 6 * 21, 200},
        {"below the last line of January", 20, 225},
        {"below the whole sheet", 20, 600},
        {"left of the sheet", -30, 120},
        {"left of a lower-row block", -200, 300},
    };
    for (const auto& c : cases) {
        const auto hit = dayAtPoint(c.x, c.y, 1850, 21);
        EXPECT_FALSE(hit.has_value())
            << c.name << " (" << c.x << ", " << c.y << "): expected no day, got "
            << describe(hit);
    }
}

TEST(DayAtPoint, UnmeasuredGridHitsNothing) {
    for (int32_t width : {0, -21}) {
        const auto hit = dayAtPoint(409, 120, 1850, width);
        EXPECT_FALSE(hit.has_value())
            << "cell width " << width << ": expected no day, got " << describe(hit);
    }
}

TEST(DayAtPoint, SundaysLeadingSpaceInEveryColumn) {
    // 7 December 1941 is a Sunday in the fourth column; its field starts one
    // character left of the number, across the column line at x = 547.
    const PixelPoint p = dayFieldPosition(12, 1941, 7, 21);
    for (int32_t x = p.x - 7; x < p.x + 14; ++x) {
        const auto hit = dayAtPoint(x, p.y, 1941, 21);
        EXPECT_EQ(code(hit), 1207) << "x " << x << ": expected December 7, got " << describe(hit);
    }
    EXPECT_EQ(code(dayAtPoint(p.x - 8, p.y, 1941, 21)), 0) << "x " << p.x - 8;
}

// Every day of every month of 1600..2100 for each width: the number's
// top-left pixel, and every pixel of its field and of the one-pixel ring
// around it, against the expected pixel map.
class EveryDayField : public ::testing::TestWithParam<int32_t> {};

TEST_P(EveryDayField, Of1600To2100) {
    const auto& first = reference::firstWeekdays();
    {
        const int32_t width = GetParam();
        const int32_t c = width / 3;
        for (int32_t year = reference::FirstYear; year <= reference::LastYear; year += YearStep) {
            const ExpectedSheet sheet(year, width);
            for (int32_t m = 1; m <= 12; ++m) {
                const int32_t f = first(m, year);
                const int32_t colX = 180 * ((m - 1) % 4);
                const int32_t rowY = 170 * ((m - 1) / 4);
                for (int32_t d = 1; d <= reference::monthLength(m, year); ++d) {
                    const int32_t x = colX + 7 + ((f + d - 1) % 7) * width;
                    const int32_t y = 50 + rowY + 30 + 20 * ((f + d - 1) / 7 + 1);
                    const auto atNumber = dayAtPoint(x, y, year, width);
                    ASSERT_EQ(code(atNumber), m * 100 + d)
                        << MonthNames[m] << " " << d << ", " << year << ", width " << width
                        << ": top-left (" << x << ", " << y << ") expected the day, got "
                        << describe(atNumber);
                    for (int32_t py = y - 1; py <= y + 20; ++py) {
                        for (int32_t px = x - c - 1; px <= x + 2 * c; ++px) {
                            const auto hit = dayAtPoint(px, py, year, width);
                            // A plain comparison first: hundreds of millions
                            // of pixels, and only a mismatch needs a message.
                            if (code(hit) != sheet.at(px, py)) {
                                FAIL() << MonthNames[m] << " " << d << ", " << year << ", width "
                                       << width << ", pixel (" << px << ", " << py
                                       << "): expected " << sheet.at(px, py) << ", got "
                                       << describe(hit);
                            }
                        }
                    }
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(DayAtPoint, EveryDayField, ::testing::ValuesIn(CellWidths),
                         casenames::caseNames(CellWidths, [](int32_t width) {
                             return "CellWidth" + std::to_string(width);
                         }));

// Every pixel of the sheet, for one year of each of the fourteen kinds of
// year (week day of 1 January, leap or not) found in 1600..2100.
TEST(DayAtPoint, EveryPixelOfEachKindOfYear) {
    const auto& first = reference::firstWeekdays();
    std::map<std::pair<int32_t, bool>, int32_t> kinds;
    for (int32_t year = reference::FirstYear; year <= reference::LastYear; ++year) {
        kinds.emplace(std::make_pair(first(1, year), reference::isLeap(year)), year);
    }
    ASSERT_EQ(kinds.size(), 14u);
    for (int32_t width : CellWidths) {
        for (const auto& kind : kinds) {
            const int32_t year = kind.second;
            const ExpectedSheet sheet(year, width);
            for (int32_t y = ExpectedSheet::Top; y < ExpectedSheet::Bottom; ++y) {
                for (int32_t x = ExpectedSheet::Left; x < ExpectedSheet::Right; ++x) {
                    const auto hit = dayAtPoint(x, y, year, width);
                    if (code(hit) != sheet.at(x, y)) {
                        FAIL() << year << ", width " << width << ", pixel (" << x << ", " << y
                               << "): expected " << sheet.at(x, y) << ", got " << describe(hit);
                    }
                }
            }
        }
    }
}

}  // namespace
