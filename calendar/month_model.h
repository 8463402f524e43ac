// The calendar sheet without a window: where each month, week line and day
// number stands in pixels, which day lies under a pixel, and the DateNumber
// through which dates enter and leave the calendar. No platform header here,
// so all of it is built and tested natively.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "date.h"
#include "dpi_scale.h"
#include "numbers.h"

// year * 10000 + month * 100 + day; 0 = no date, a month or day of 0 = absent.
using DateNumber = int32_t;

// Sheet metrics in pixels of the calendar window's client area.
inline constexpr int32_t TopMargin = 50;        // top of the sheet
inline constexpr int32_t ColumnPitch = 180;     // width of a month block
inline constexpr int32_t RowPitch = 170;        // height of a month block
inline constexpr int32_t TextInset = 7;         // x of header, rule and week lines
inline constexpr int32_t NameCentre = 75;       // x of the centre of the month name
inline constexpr int32_t NameTop = 10;          // y of the month name
inline constexpr int32_t HeaderTop = 30;        // y of the weekday header
inline constexpr int32_t RuleTop = 45;          // y of the rule under the header
inline constexpr int32_t RuleEnd = 150;         // x where the rule ends
inline constexpr int32_t WeekPitch = 20;        // week line n has its top at 30 + 20n
inline constexpr int32_t SeparatorX = 170;      // x of the line right of a block
inline constexpr int32_t SeparatorTop = 20;     // the separator runs from here ...
inline constexpr int32_t SeparatorBottom = 180; // ... to here, in columns 0 to 2
inline constexpr int32_t SheetColumns = 4;

// The metrics above are those of a 96-dpi display; sheetMetrics gives the
// whole set for another resolution (see dpi_scale.h).
struct SheetMetrics {
    int32_t topMargin = TopMargin;
    int32_t columnPitch = ColumnPitch;
    int32_t rowPitch = RowPitch;
    int32_t textInset = TextInset;
    int32_t nameCentre = NameCentre;
    int32_t nameTop = NameTop;
    int32_t headerTop = HeaderTop;
    int32_t ruleTop = RuleTop;
    int32_t ruleEnd = RuleEnd;
    int32_t weekPitch = WeekPitch;
    int32_t separatorX = SeparatorX;
    int32_t separatorTop = SeparatorTop;
    int32_t separatorBottom = SeparatorBottom;
};

inline constexpr SheetMetrics StandardSheet{};

constexpr SheetMetrics sheetMetrics(int32_t dpi) {
    SheetMetrics m;
    for (int32_t* value : {&m.topMargin, &m.columnPitch, &m.rowPitch, &m.textInset, &m.nameCentre, &m.nameTop,
                           &m.headerTop, &m.ruleTop, &m.ruleEnd, &m.weekPitch, &m.separatorX, &m.separatorTop,
                           &m.separatorBottom}) {
        *value = scaleToDpi(*value, dpi);
    }
    return m;
}

inline constexpr std::string_view WeekdayHeader = "Su Mo Tu We Th Fr Sa";

// Month names indexed 1 to 12 (index 0 is empty): MonthNames of the engine's
// date.h.

struct BlockOrigin {
    int32_t colX = 0;  // 0, 180, 360, 540 at 96 dpi
    int32_t rowY = 0;  // 0, 170, 340 at 96 dpi
};

struct WeekLine {
    int32_t index = 0;      // 1..6
    std::string fullText;   // the day fields, three characters each
    std::string drawnText;  // fullText without its first character
    int32_t x = 0;          // left of the drawn text
    int32_t y = 0;          // top of the drawn text
};

struct PixelPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct MonthDay {
    int32_t month = 0;  // 1..12
    int32_t day = 0;    // 1..daysInMonth
};

struct DateNumberParts {
    int32_t year = 0;
    int32_t month = 0;
    int32_t day = 0;
};

// The functions below place the sheet with the metrics given, those of a
// 96-dpi display unless told otherwise.
BlockOrigin monthOrigin(int32_t month, const SheetMetrics& sheet = StandardSheet);

// The week lines of a month, 4 to 6 of them, in order.
std::vector<WeekLine> buildWeekLines(int32_t month, int32_t year, const SheetMetrics& sheet = StandardSheet);

// Top-left pixel of the two-character number of a day.
PixelPoint dayFieldPosition(int32_t month, int32_t year, int32_t day, int32_t cellWidth,
                            const SheetMetrics& sheet = StandardSheet);

// The day whose field (the number and the one character in front of it, one
// week pitch high) lies under the point, or none. A cellWidth that is not
// positive (no grid font could be measured) hits nothing.
std::optional<MonthDay> dayAtPoint(int32_t x, int32_t y, int32_t year, int32_t cellWidth,
                                   const SheetMetrics& sheet = StandardSheet);

// Reads a DateNumber by the character positions of its decimal text: year =
// characters 1-4, month = 5-6, day = the last two; a missing piece is 0.
DateNumberParts splitDateNumber(DateNumber n);

// "mm/dd/yyyy" by the same character positions.
std::string dateNumberToText(DateNumber n);

// Whether a number handed to the calendar names a year it can show: not 0
// and a year from 1 to 9999. Anything else opens the calendar as if no date
// had been given.
bool isUsableDateNumber(DateNumber n);

// The two-character number of a day as drawn on the sheet: " 5", "29".
std::string dayNumberText(int32_t day);

// The character height a font of `points` points asks for at `dpi` dots
// per inch: -(points * dpi div 72), truncated, kept within the int range.
int32_t fontHeight(int32_t points, int32_t dpi);

// "1850": numberText without its leading space.
std::string yearText(int32_t year);
