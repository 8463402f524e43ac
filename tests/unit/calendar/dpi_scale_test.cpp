// The sheet and the windows at other display resolutions: the rounding rule,
// nothing moved at 96 dpi, and every day of every seventh year of 1600..2100
// found again under its own number at 120, 144 and 192 dpi, with grid cells
// around the font's size there.
#include <gtest/gtest.h>

#include <string>

#include "dpi_scale.h"
#include "month_model.h"
#include "reference_calendar.h"

namespace {

TEST(DpiScale, NearestPixelWithHalvesUp) {
    struct Case {
        const char* name;
        int32_t pixels, dpi, expected;
    } const cases[] = {
        {"main client width at 120 dpi (368.75)", 295, 120, 369},
        {"main client height at 120 dpi (481.25)", 385, 120, 481},
        {"main client width at 144 dpi (442.5, a half)", 295, 144, 443},
        {"main client height at 144 dpi (577.5, a half)", 385, 144, 578},
        {"main client width at 192 dpi", 295, 192, 590},
        {"a text line of the box at 120 dpi (18.75)", 15, 120, 19},
        {"one pixel at 144 dpi (1.5, a half)", 1, 144, 2},
        {"an unknown resolution counts as 96 dpi", 295, 0, 295},
        {"a negative offset rounds its half up too (-1.5)", -1, 144, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scaleToDpi(c.pixels, c.dpi), c.expected) << c.name;
    }
}

TEST(DpiScale, NothingMovesAt96) {
    for (int32_t x = -50; x <= 2000; ++x) {
        ASSERT_EQ(scaleToDpi(x, StandardDpi), x);
    }
    const SheetMetrics standard = sheetMetrics(StandardDpi);
    EXPECT_TRUE(standard.topMargin == TopMargin && standard.columnPitch == ColumnPitch &&
                standard.weekPitch == WeekPitch && standard.separatorBottom == SeparatorBottom);
}

// The grid font's three-space cell as Wine's Liberation Mono gives it for
// 9 points at each resolution, and around it.
struct Resolution {
    int32_t dpi;
    int32_t cellWidths[3];
};
const Resolution Resolutions[] = {
    {120, {24, 27, 30}},
    {144, {30, 33, 36}},
    {192, {39, 42, 45}},
};

TEST(DpiScale, EveryDayIsFoundUnderItsNumberAtHigherResolutions) {
    const auto& first = reference::firstWeekdays();
    for (const Resolution& r : Resolutions) {
        const SheetMetrics sheet = sheetMetrics(r.dpi);
        for (int32_t cell : r.cellWidths) {
            for (int32_t year = reference::FirstYear; year <= reference::LastYear; year += 7) {
                for (int32_t m = 1; m <= 12; ++m) {
                    // The month's week lines stay left of its separator.
                    const BlockOrigin origin = monthOrigin(m, sheet);
                    for (const WeekLine& line : buildWeekLines(m, year, sheet)) {
                        const int32_t right = line.x + static_cast<int32_t>(line.drawnText.size()) * cell / 3;
                        ASSERT_LE(right, origin.colX + sheet.separatorX)
                            << "month " << m << " of " << year << " at " << r.dpi << " dpi, cell " << cell;
                    }
                    const int32_t f = first(m, year);
                    for (int32_t d = 1; d <= reference::monthLength(m, year); ++d) {
                        const PixelPoint at = dayFieldPosition(m, year, d, cell, sheet);
                        const int32_t expectedX = origin.colX + sheet.textInset + (f + d - 1) % 7 * cell;
                        ASSERT_EQ(at.x, expectedX) << m << "/" << d << "/" << year << " at " << r.dpi;
                        // The number's first and last pixel both hit the day.
                        const PixelPoint last{at.x + 2 * cell / 3 - 1, at.y + sheet.weekPitch - 1};
                        for (const PixelPoint p : {at, last}) {
                            const auto hit = dayAtPoint(p.x, p.y, year, cell, sheet);
                            ASSERT_TRUE(hit && hit->month == m && hit->day == d)
                                << m << "/" << d << "/" << year << " at " << r.dpi << " dpi, cell " << cell
                                << ", point (" << p.x << ", " << p.y << "): expected that day, got "
                                << (hit ? std::to_string(hit->month) + "/" + std::to_string(hit->day) : "none");
                        }
                    }
                }
            }
        }
    }
}

}  // namespace
