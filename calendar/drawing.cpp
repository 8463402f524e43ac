#include "drawing.h"

#include <algorithm>
#include <climits>
#include <string>

#include "calendar_state.h"
#include "date_text.h"

namespace {

// Position from 1 of the first `letter` in `style`, 0 when there is none.
int32_t letterPosition(std::string_view style, char letter) {
    const size_t at = style.find(letter);
    return at == std::string_view::npos ? 0 : static_cast<int32_t>(at + 1);
}

}  // namespace

HFONT makeFont(HDC dc, const char* face, int32_t points, std::string_view style) {
    int32_t b = 0;
    int32_t u = 0;
    int32_t i = 0;
    if (!style.empty()) {
        b = 300 + letterPosition(style, 'b');
        u = letterPosition(style, 'u');
        i = letterPosition(style, 'i');
    }
    const int32_t height = fontHeight(points, GetDeviceCaps(dc, LOGPIXELSY));
    const int weight = static_cast<int>(std::min<int64_t>(400 + int64_t{b}, INT_MAX));
    // The attribute bytes of a font take 0 or 1; a letter position of 256
    // would otherwise truncate to "off".
    return CalendarPlatform.createFont(height, 0, 0, 0, weight, i != 0 ? 1 : 0,
                                       u != 0 ? 1 : 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, 0, 0, 0,
                                       face);
}

void textAt(HDC dc, int32_t x, int32_t y, std::string_view text) {
    TextOutA(dc, x, y, text.data(), static_cast<int>(text.size()));
}

DateNumber markDayOn(const CalendarState& state, int32_t year, int32_t x, int32_t y,
                     MarkMode mode) {
    const auto hit = dayAtPoint(x, y, year, state.cellWidth);
    if (!hit) {
        return 0;
    }
    const PixelPoint at = dayFieldPosition(hit->month, year, hit->day, state.cellWidth);
    if (mode == MarkMode::Highlighted) {
        SetTextColor(state.calendarDC, RGB(255, 255, 255));
        SetBkColor(state.calendarDC, RGB(0, 0, 255));
    } else {
        SetTextColor(state.calendarDC, RGB(0, 0, 0));
        SetBkColor(state.calendarDC, RGB(255, 255, 255));
    }
    textAt(state.calendarDC, at.x, at.y, dayNumberText(hit->day));
    return year * 10000 + hit->month * 100 + hit->day;
}

DateNumber markDay(int32_t year, int32_t x, int32_t y, MarkMode mode) {
    return markDayOn(Calendar, year, x, y, mode);
}

std::optional<PixelPoint> drawSheet(const CalendarState& state, int32_t year, int32_t month, int32_t day) {
    std::optional<PixelPoint> highlight;
    const HDC dc = state.calendarDC;
    for (int32_t m = 1; m <= 12; ++m) {
        const BlockOrigin origin = monthOrigin(m);
        const int32_t column = (m - 1) % SheetColumns;
        const int32_t top = TopMargin + origin.rowY;

        SelectObject(dc, state.headingFont);
        const std::string_view name = MonthNames[static_cast<size_t>(m)];
        SIZE size = {0, 0};
        GetTextExtentPoint32A(dc, name.data(), static_cast<int>(name.size()), &size);
        // colX + 75 - w/2 to the nearest whole number, halves to the even one.
        const auto nameX = static_cast<int32_t>(halfToEven(2 * (origin.colX + NameCentre) - int64_t{size.cx}));
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        textAt(dc, nameX, top + NameTop, name);

        SelectObject(dc, state.gridFont);
        textAt(dc, origin.colX + TextInset, top + HeaderTop, WeekdayHeader);
        MoveToEx(dc, origin.colX + TextInset, top + RuleTop, nullptr);
        LineTo(dc, origin.colX + RuleEnd, top + RuleTop);
        if (column < SheetColumns - 1) {
            MoveToEx(dc, origin.colX + SeparatorX, top + SeparatorTop, nullptr);
            LineTo(dc, origin.colX + SeparatorX, top + SeparatorBottom);
        }

        const bool marked = m == month && day >= 1 && day <= daysInMonth(m, year);
        const int32_t markedLine = marked ? (dayOfWeek(m, year, 1) + day - 1) / 7 + 1 : 0;
        for (const WeekLine& line : buildWeekLines(m, year)) {
            SetTextColor(dc, RGB(0, 0, 0));
            SetBkColor(dc, RGB(255, 255, 255));
            textAt(dc, line.x, line.y, line.drawnText);
            if (line.index == markedLine) {
                const PixelPoint at = dayFieldPosition(m, year, day, state.cellWidth);
                highlight = at;
                markDayOn(state, year, at.x, at.y, MarkMode::Highlighted);
            }
        }
    }
    return highlight;
}
