// The three GDI helpers the calendar draws its sheet with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string_view>

#include "month_model.h"

struct CalendarState;

enum class MarkMode { Plain, Highlighted };

// A font of `points` points for the resolution of `dc`; `style` may hold
// "b" (bold), "u" (underline) and "i" (italic). The caller owns the font and
// deletes it with DeleteObject. Null when the font cannot be created.
HFONT makeFont(HDC dc, const char* face, int32_t points, std::string_view style);

// Draws text with its top-left corner at (x, y) in the DC's current font,
// colours and background mode.
void textAt(HDC dc, int32_t x, int32_t y, std::string_view text);

// Finds the day under (x, y) on the sheet of `year` and draws its number at
// the number's own position, black on white or white on blue, through the
// state's DC; yields the day's DateNumber, or 0 (and draws nothing, changes
// no colour) when the point is on no day. The colours stay set afterwards.
DateNumber markDayOn(const CalendarState& state, int32_t year, int32_t x, int32_t y,
                     MarkMode mode);

// markDayOn with the calendar window's own state.
DateNumber markDay(int32_t year, int32_t x, int32_t y, MarkMode mode);

// Draws the whole sheet of `year` through the state's DC: the month names,
// weekday headers, rules, separators and week lines, and `day` of `month`
// white on blue when both are given and the day exists. Yields where that
// day was marked, or nothing; the state itself is left alone.
std::optional<PixelPoint> drawSheet(const CalendarState& state, int32_t year, int32_t month, int32_t day);
