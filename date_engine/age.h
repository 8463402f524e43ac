// Age entries: the three age fields read as one age, which may be a span
// ("20-30", "-5") or a lower bound ("60+").
#pragma once

#include <cstdint>
#include <string_view>

enum class AgeKind { Plain, Range, AtLeast };

struct AgeSpec {
    AgeKind kind = AgeKind::Plain;
    int32_t years = 0;      // the years the date arithmetic uses
    int32_t months = 0;
    int32_t days = 0;
    int32_t rangeLow = 0;   // Range only, never negative, rangeLow <= rangeHigh
    int32_t rangeHigh = 0;  // Range only, never negative
    int32_t atLeast = 0;    // AtLeast only, never negative
    bool monthsGiven = false;
    bool daysGiven = false;
};

AgeSpec parseAge(std::string_view yearsText, std::string_view monthsText,
                 std::string_view daysText);
