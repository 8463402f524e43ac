// An independent count of week days for the calendar tests: it walks the
// days from 1 January 1600 (a Saturday) with its own leap-year rule, so the
// tests do not judge the sheet by the engine's own week-day formula.
#pragma once

#include <array>
#include <cstdint>

namespace reference {

inline constexpr int32_t FirstYear = 1600;
inline constexpr int32_t LastYear = 2100;

inline bool isLeap(int32_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

inline int32_t monthLength(int32_t month, int32_t year) {
    static constexpr std::array<int32_t, 12> lengths = {31, 28, 31, 30, 31, 30,
                                                        31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : lengths[static_cast<size_t>(month - 1)];
}

// Week day (0 Sunday .. 6 Saturday) of the 1st of every month of 1600..2100,
// counted day by day from a known Saturday.
class FirstWeekdays {
public:
    FirstWeekdays() {
        int32_t weekday = 6;  // 1 January 1600
        for (int32_t year = FirstYear; year <= LastYear; ++year) {
            for (int32_t month = 1; month <= 12; ++month) {
                table_[index(month, year)] = weekday;
                weekday = (weekday + monthLength(month, year)) % 7;
            }
        }
    }
    int32_t operator()(int32_t month, int32_t year) const { return table_[index(month, year)]; }

private:
    static size_t index(int32_t month, int32_t year) {
        return static_cast<size_t>((year - FirstYear) * 12 + month - 1);
    }
    std::array<int32_t, (LastYear - FirstYear + 1) * 12> table_{};
};

inline const FirstWeekdays& firstWeekdays() {
    static const FirstWeekdays table;
    return table;
}

}  // namespace reference
