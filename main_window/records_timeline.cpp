#include "records_timeline.h"

#include <algorithm>
#include <string>

#include "dpi_scale.h"

namespace {

std::optional<int64_t> dayOrOpen(const std::optional<Date>& date) {
    if (!date) return std::nullopt;
    return dayNumber(*date);
}

void fill(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, COLORREF colour) {
    if (right <= left || bottom <= top) return;
    // The DC's own brush: no brush to make and free for every part.
    SetDCBrushColor(dc, colour);
    const RECT r{left, top, right, bottom};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

// Years between labels: the smallest of 1, 2, 5, 10, 20, 50, ... that keeps
// labels at least minGap pixels apart.
int32_t labelStep(const TimelineAxis& axis, int32_t width, int32_t minGap) {
    const int32_t years = axis.lastYear - axis.firstYear + 1;
    for (int32_t step = 1;; step *= 10) {
        for (int32_t k : {1, 2, 5}) {
            const int64_t labels = years / (step * k) + 1;
            if (labels <= 1 || width / labels >= minGap || step * k >= 10000) return step * k;
        }
    }
}

}  // namespace

TimelineInput timelineInput(const quillark::PersonRecordsAnswer& answer) {
    TimelineInput input;
    const quillark::PersonSummary& s = answer.summary;
    for (size_t i = 0; i < answer.records.size(); ++i) {
        TimelineBar bar;
        if (const auto& birth = answer.records[i].birth) {
            bar.present = true;
            bar.from = dayOrOpen(birth->earliest);
            bar.to = dayOrOpen(birth->latest);
        }
        const uint64_t number = i + 1;
        bar.conflict = s.status == quillark::PersonStatus::Conflict &&
                       (s.conflictLines[0] == number || s.conflictLines[1] == number);
        input.bars.push_back(bar);
    }
    if (s.status == quillark::PersonStatus::Ok && s.birth.earliest && s.birth.latest) {
        input.sharedFrom = dayNumber(*s.birth.earliest);
        input.sharedTo = dayNumber(*s.birth.latest);
    }
    return input;
}

std::optional<TimelineAxis> timelineAxis(const TimelineInput& input) {
    std::optional<int64_t> first, last;
    for (const TimelineBar& bar : input.bars) {
        if (!bar.present) continue;
        for (const std::optional<int64_t>& end : {bar.from, bar.to}) {
            if (!end) continue;
            first = first ? std::min(*first, *end) : *end;
            last = last ? std::max(*last, *end) : *end;
        }
    }
    if (!first) return std::nullopt;
    TimelineAxis axis;
    axis.firstYear = static_cast<int32_t>(civilDay(*first).year);
    axis.lastYear = static_cast<int32_t>(civilDay(*last).year);
    axis.startDay = dayNumber(axis.firstYear, 1, 1);
    axis.endDay = dayNumber(int64_t{axis.lastYear} + 1, 1, 1);
    return axis;
}

TimelineLayout timelineLayout(const RECT& area, size_t bars, int32_t dpi) {
    TimelineLayout layout;
    const int32_t margin = scaleToDpi(8, dpi);
    layout.left = area.left + margin;
    layout.right = std::max<int32_t>(layout.left + 1, area.right - margin);
    layout.plotTop = area.top + scaleToDpi(6, dpi);
    layout.axisY = std::max<int32_t>(layout.plotTop, area.bottom - scaleToDpi(20, dpi));
    const int32_t plot = layout.axisY - layout.plotTop;
    const int32_t wanted = scaleToDpi(16, dpi);
    layout.rowHeight = bars == 0 ? wanted : std::max<int32_t>(1, std::min<int32_t>(wanted, plot / static_cast<int32_t>(bars)));
    layout.barHeight = std::max<int32_t>(1, layout.rowHeight * 2 / 3);
    return layout;
}

int32_t timelineX(int64_t day, const TimelineAxis& axis, const TimelineLayout& layout) {
    const int64_t span = axis.endDay - axis.startDay;
    const int64_t width = layout.right - layout.left;
    const int64_t offset = std::clamp<int64_t>(day - axis.startDay, 0, span);
    return layout.left + static_cast<int32_t>(offset * width / span);
}

void drawTimeline(HDC dc, const RECT& area, const TimelineInput& input, int32_t dpi) {
    fill(dc, area.left, area.top, area.right, area.bottom, TimelineBackground);
    const std::optional<TimelineAxis> axis = timelineAxis(input);
    if (!axis) return;
    const TimelineLayout layout = timelineLayout(area, input.bars.size(), dpi);
    const int32_t plotBottom = layout.axisY;
    // The end of a day is the start of the next; an open end runs to the edge.
    const auto startX = [&](const std::optional<int64_t>& day) { return day ? timelineX(*day, *axis, layout) : layout.left; };
    const auto endX = [&](const std::optional<int64_t>& day) {
        return day ? std::max(timelineX(*day + 1, *axis, layout), timelineX(*day, *axis, layout) + 1) : layout.right;
    };

    if (input.sharedFrom && input.sharedTo)
        fill(dc, startX(input.sharedFrom), layout.plotTop, endX(input.sharedTo), plotBottom, TimelineSharedColour);
    for (size_t i = 0; i < input.bars.size(); ++i) {
        const TimelineBar& bar = input.bars[i];
        if (!bar.present) continue;
        const int32_t top = layout.barTop(i);
        fill(dc, startX(bar.from), top, endX(bar.to), top + layout.barHeight,
             bar.conflict ? TimelineConflictColour : TimelineBarColour);
    }
    // The shared window's edges over the bars, so that it reads across them.
    const int32_t edge = std::max<int32_t>(1, scaleToDpi(1, dpi));
    if (input.sharedFrom && input.sharedTo) {
        const int32_t from = startX(input.sharedFrom);
        const int32_t to = endX(input.sharedTo);
        fill(dc, from, layout.plotTop, from + edge, plotBottom, TimelineSharedEdgeColour);
        fill(dc, to - edge, layout.plotTop, to, plotBottom, TimelineSharedEdgeColour);
    }

    // The axis and its years.
    fill(dc, layout.left, layout.axisY, layout.right, layout.axisY + edge, TimelineAxisColour);
    const int32_t step = labelStep(*axis, layout.right - layout.left, scaleToDpi(44, dpi));
    SetTextColor(dc, TimelineAxisColour);
    SetBkMode(dc, TRANSPARENT);
    const int32_t firstLabel = (axis->firstYear + step - 1) / step * step;
    for (int32_t year = firstLabel; year <= axis->lastYear + 1; year += step) {
        const int32_t x = timelineX(dayNumber(year, 1, 1), *axis, layout);
        fill(dc, x, layout.axisY, x + edge, layout.axisY + scaleToDpi(4, dpi), TimelineAxisColour);
        const std::string text = std::to_string(year);
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        const int32_t textX = std::clamp<int32_t>(x - size.cx / 2, area.left, std::max<int32_t>(area.left, area.right - size.cx));
        TextOutA(dc, textX, layout.axisY + scaleToDpi(5, dpi), text.c_str(), static_cast<int>(text.size()));
    }
    SetBkMode(dc, OPAQUE);
}
