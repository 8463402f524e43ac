// Shared pieces of the fuzz targets: invariants the engine must keep for any
// input, checked by aborting so libFuzzer records the input.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "calculation.h"
#include "date_text.h"

#define FUZZ_CHECK(cond, ...)                                 \
    do {                                                      \
        if (!(cond)) {                                        \
            std::fprintf(stderr, "invariant failed: %s\n", #cond); \
            std::fprintf(stderr, __VA_ARGS__);                \
            std::fputc('\n', stderr);                         \
            std::abort();                                     \
        }                                                     \
    } while (0)

inline bool isDigitText(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// A canonical date text: "mm/dd/yyyy", "mm/yyyy" or "yyyy" with two-character
// month and day parts and a four-digit year, optionally "  [" tag; or a year
// text holding "to" or "or"; or empty.
inline bool isCanonical(std::string_view text) {
    if (text.empty()) return true;
    if (text.find("to") != std::string_view::npos || text.find("or") != std::string_view::npos) return true;
    size_t bracket = text.find('[');
    std::string_view date = text;
    if (bracket != std::string_view::npos) {
        if (bracket < 2 || text.substr(bracket - 2, 2) != "  ") return false;
        date = text.substr(0, bracket - 2);
    }
    size_t slashes = 0;
    for (char c : date) slashes += c == '/';
    if (slashes == 0) return date.size() == 4 && isDigitText(date);
    if (slashes == 1) return date.size() == 7 && date[2] == '/' && isDigitText(date.substr(3));
    if (slashes == 2)
        return date.size() == 10 && date[2] == '/' && date[5] == '/' && isDigitText(date.substr(6));
    return false;
}
