// The timeline of the records window: each record's birth window as a bar
// on one year axis, the window all records allow shaded across the bars,
// the bars of two records that cannot both be right in red. Drawing is
// separate from painting, like the calendar's sheet: drawTimeline takes a
// device context, so it can be drawn into a memory bitmap.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "person_records.h"

struct TimelineBar {
    bool present = false;          // the record gave a window
    std::optional<int64_t> from;   // day numbers, both inclusive; empty = open end
    std::optional<int64_t> to;
    bool conflict = false;         // one of the pair that cannot both be right
};

struct TimelineInput {
    std::vector<TimelineBar> bars;  // one per record, in the list's order
    std::optional<int64_t> sharedFrom;  // the window all records allow; both
    std::optional<int64_t> sharedTo;    // ends set when there is one
};

// The bars and the shared window of a people answer.
TimelineInput timelineInput(const quillark::PersonRecordsAnswer& answer);

// The years the axis spans: from 1 January of firstYear to the end of
// lastYear, covering every bounded end; no axis when no record has one.
struct TimelineAxis {
    int32_t firstYear = 0;
    int32_t lastYear = 0;
    int64_t startDay = 0;  // day number of 1 January firstYear
    int64_t endDay = 0;    // day number of 1 January lastYear + 1
};
std::optional<TimelineAxis> timelineAxis(const TimelineInput& input);

// Where the parts lie in an area of the given size at a resolution.
struct TimelineLayout {
    int32_t left = 0;   // the axis from left (its first day) to right (the day after its last)
    int32_t right = 0;
    int32_t plotTop = 0;
    int32_t axisY = 0;  // the axis line; year labels below it
    int32_t rowHeight = 0;
    int32_t barHeight = 0;

    // Top of record i's bar.
    int32_t barTop(size_t i) const { return plotTop + static_cast<int32_t>(i) * rowHeight + (rowHeight - barHeight) / 2; }
};
TimelineLayout timelineLayout(const RECT& area, size_t bars, int32_t dpi);

// The x of the start of a day on the axis.
int32_t timelineX(int64_t day, const TimelineAxis& axis, const TimelineLayout& layout);

// The colours, for the drawing and for tests that read its pixels.
inline constexpr COLORREF TimelineBackground = RGB(255, 255, 255);
inline constexpr COLORREF TimelineBarColour = RGB(60, 100, 170);
inline constexpr COLORREF TimelineConflictColour = RGB(200, 30, 30);
inline constexpr COLORREF TimelineSharedColour = RGB(255, 222, 130);
inline constexpr COLORREF TimelineSharedEdgeColour = RGB(215, 130, 0);
inline constexpr COLORREF TimelineAxisColour = RGB(0, 0, 0);

// Draws the whole timeline into area of dc: background, shared window,
// bars, the shared window's edges over them, the axis with its years.
void drawTimeline(HDC dc, const RECT& area, const TimelineInput& input, int32_t dpi);
