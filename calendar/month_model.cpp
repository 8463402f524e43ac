#include "month_model.h"

#include <algorithm>
#include <climits>

#include "numbers.h"
#include "date_text.h"

namespace {

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

std::string digitsOf(DateNumber n) {
    std::string s = numberText(n);
    if (!s.empty() && s.front() == ' ') {
        s.erase(0, 1);
    }
    return s;
}

// Characters from position `first` (counted from 1), at most `count` of
// them; empty when the text is shorter.
std::string_view piece(std::string_view s, size_t first, size_t count) {
    if (first - 1 >= s.size()) {
        return {};
    }
    return s.substr(first - 1, count);
}

std::string_view lastTwo(std::string_view s) {
    return s.size() <= 2 ? s : s.substr(s.size() - 2);
}

// The day hit in sheet column j, or none. k is the weekday column from 1;
// the leading space of a number belongs to that number.
std::optional<MonthDay> hitInColumn(int64_t x, int64_t y, int32_t year, int32_t cellWidth,
                                    int64_t j, const SheetMetrics& sheet) {
    const int64_t top = y - sheet.topMargin - sheet.headerTop;
    const int64_t i = top / sheet.rowPitch;  // truncates: points above the grid give row 0
    if (j < 0 || j >= SheetColumns) {
        return std::nullopt;
    }
    const int64_t m = SheetColumns * i + j + 1;
    if (m < 1 || m > 12) {
        return std::nullopt;
    }
    const int64_t n = (top - sheet.rowPitch * i) / sheet.weekPitch;  // 0 = the header band
    // x - 7 - 180j + cellWidth/3, brought to the nearest whole number. With
    // thirds the fraction is 0, 1/3 or 2/3, so there is never a half to break.
    const int64_t thirds = 3 * (x - sheet.textInset - sheet.columnPitch * j) + cellWidth;
    int64_t rounded = floorDiv(thirds, 3);
    if (thirds - 3 * rounded == 2) {
        ++rounded;
    }
    // Floor rather than truncation: a point left of the Sunday field must
    // not fold into the Sunday column.
    const int64_t k = floorDiv(rounded, cellWidth) + 1;
    if (k < 1 || k > 7) {
        return std::nullopt;
    }
    const auto month = static_cast<int32_t>(m);
    const int64_t d = 7 * (n - 1) + k - dayOfWeek(month, year, 1);
    if (d < 1 || d > daysInMonth(month, year)) {
        return std::nullopt;
    }
    return MonthDay{month, static_cast<int32_t>(d)};
}

}  // namespace

BlockOrigin monthOrigin(int32_t month, const SheetMetrics& sheet) {
    const int32_t j = (month - 1) % SheetColumns;
    const int32_t i = (month - 1) / SheetColumns;
    return BlockOrigin{sheet.columnPitch * j, sheet.rowPitch * i};
}

std::string dayNumberText(int32_t day) {
    if (day >= 1 && day <= 9) {
        return std::string(" ") + static_cast<char>('0' + day);
    }
    return digitsOf(day);
}

std::vector<WeekLine> buildWeekLines(int32_t month, int32_t year, const SheetMetrics& sheet) {
    const BlockOrigin origin = monthOrigin(month, sheet);
    const int32_t first = dayOfWeek(month, year, 1);  // 0..6
    const int32_t length = daysInMonth(month, year);  // 28..31
    std::vector<WeekLine> lines;
    lines.reserve(6);
    std::string line(static_cast<size_t>(3 * first), ' ');
    int32_t weekday = first;
    int32_t n = 0;
    for (int32_t d = 1; d <= length; ++d) {
        line += ' ';
        line += dayNumberText(d);
        ++weekday;
        if (weekday == 7 || d == length) {
            ++n;
            WeekLine w;
            w.index = n;
            w.drawnText = line.substr(1);
            w.fullText = std::move(line);
            w.x = origin.colX + sheet.textInset;
            w.y = sheet.topMargin + origin.rowY + sheet.headerTop + sheet.weekPitch * n;
            lines.push_back(std::move(w));
            line.clear();
            weekday = 0;
        }
    }
    return lines;
}

PixelPoint dayFieldPosition(int32_t month, int32_t year, int32_t day, int32_t cellWidth,
                            const SheetMetrics& sheet) {
    const BlockOrigin origin = monthOrigin(month, sheet);
    const int32_t cell = dayOfWeek(month, year, 1) + day - 1;
    const int32_t k = cell % 7;
    const int32_t n = cell / 7 + 1;
    return PixelPoint{origin.colX + sheet.textInset + k * cellWidth,
                      sheet.topMargin + origin.rowY + sheet.headerTop + sheet.weekPitch * n};
}

std::optional<MonthDay> dayAtPoint(int32_t x, int32_t y, int32_t year, int32_t cellWidth,
                                   const SheetMetrics& sheet) {
    if (cellWidth <= 0) {
        return std::nullopt;
    }
    const int64_t j = floorDiv(int64_t{x} - sheet.textInset, sheet.columnPitch);
    if (auto hit = hitInColumn(x, y, year, cellWidth, j, sheet)) {
        return hit;
    }
    // The space in front of a Sunday lies left of its block's column line;
    // it still belongs to that Sunday. A number drawn there (a Saturday of
    // the block to the left, with a very wide font) was tried first and wins.
    return hitInColumn(x, y, year, cellWidth, j + 1, sheet);
}

DateNumberParts splitDateNumber(DateNumber n) {
    const std::string s = digitsOf(n);
    DateNumberParts parts;
    parts.year = leadingNumber(piece(s, 1, 4));
    parts.month = leadingNumber(piece(s, 5, 2));
    parts.day = leadingNumber(lastTwo(s));
    return parts;
}

std::string dateNumberToText(DateNumber n) {
    const std::string s = digitsOf(n);
    std::string text;
    text += piece(s, 5, 2);
    text += '/';
    text += lastTwo(s);
    text += '/';
    text += piece(s, 1, 4);
    return text;
}

bool isUsableDateNumber(DateNumber n) {
    if (n == 0) {
        return false;
    }
    const int32_t year = splitDateNumber(n).year;
    return inYears(year);
}

std::string yearText(int32_t year) {
    return digitsOf(year);
}

int32_t fontHeight(int32_t points, int32_t dpi) {
    // 64 bits and a clamp: an absurd point size must not wrap round into a
    // small or positive height.
    const int64_t height = -((int64_t{points} * dpi) / 72);
    return static_cast<int32_t>(std::clamp<int64_t>(height, INT32_MIN + 1, INT32_MAX));
}
