// Shared pieces of the window, GEDCOM and researcher-form tests: printing
// windows and ages, and seeded random requests for the properties.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>

#include "date_bounds.h"

namespace window_test {

inline std::string iso(const std::optional<Date>& date) { return quillark::isoText(date); }

inline std::string ageText(const quillark::AgeValue& age) {
    return std::to_string(age.years) + "y " + std::to_string(age.months) + "m " + std::to_string(age.days) + "d";
}

// How many random requests a property runs: QUILLARK_WINDOW_REQUESTS when
// set (a million for a thorough run), else the given default.
inline uint64_t requestCount(uint64_t fallback) {
    const char* value = std::getenv("QUILLARK_WINDOW_REQUESTS");
    if (value == nullptr || *value == '\0') return fallback;
    const unsigned long long n = std::strtoull(value, nullptr, 10);
    return n > 0 ? n : fallback;
}

// One request with the event date known: its field texts.
struct Request {
    std::string event, years, months, days;
    std::string describe() const {
        return "event '" + event + "' years '" + years + "' months '" + months + "' days '" + days + "'";
    }
};

inline int64_t pick(std::mt19937_64& random, int64_t low, int64_t high) {
    return low + static_cast<int64_t>(random() % static_cast<uint64_t>(high - low + 1));
}

// Event dates of 1700..2100 in all three forms; ages plain, with months, with
// months and days, as ranges and as bounds. wholeYearsOnly leaves out the
// months and days.
inline Request randomRequest(std::mt19937_64& random, bool wholeYearsOnly) {
    Request r;
    const int64_t y = pick(random, 1700, 2100), m = pick(random, 1, 12);
    const int64_t length = std::chrono::year_month_day_last{std::chrono::year{static_cast<int>(y)} /
                                                           std::chrono::month{static_cast<unsigned>(m)} /
                                                           std::chrono::last}
                               .day()
                               .operator unsigned();
    char text[32];
    switch (pick(random, 0, 2)) {
    case 0: std::snprintf(text, sizeof text, "%04lld", static_cast<long long>(y)); break;
    case 1: std::snprintf(text, sizeof text, "%02lld/%04lld", static_cast<long long>(m), static_cast<long long>(y)); break;
    default:
        std::snprintf(text, sizeof text, "%02lld/%02lld/%04lld", static_cast<long long>(m),
                      static_cast<long long>(pick(random, 1, length)), static_cast<long long>(y));
    }
    r.event = text;
    const int64_t a = pick(random, 0, 100), b = pick(random, 0, 100);
    switch (pick(random, 0, wholeYearsOnly ? 2 : 4)) {
    case 0: r.years = std::to_string(a); break;
    case 1: r.years = a == b ? std::to_string(a) : std::to_string(a) + "-" + std::to_string(b); break;
    case 2: r.years = pick(random, 0, 1) ? "-" + std::to_string(b) : std::to_string(a) + "+"; break;
    case 3:
        r.years = std::to_string(a);
        r.months = std::to_string(pick(random, 0, 11));
        break;
    default:
        r.years = std::to_string(pick(random, 0, 1) ? a : 0);
        r.months = std::to_string(pick(random, 0, 11));
        r.days = std::to_string(pick(random, 0, 30));
    }
    return r;
}

}  // namespace window_test
