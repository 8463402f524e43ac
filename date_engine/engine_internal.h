// Helpers shared by the engine's own source files; not part of its interface.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "date_text.h"

namespace engine {

inline bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

inline size_t countChar(std::string_view text, char c) {
    size_t n = 0;
    for (char x : text) n += (x == c);
    return n;
}

// Replaces every occurrence of from (non-empty) by to, left to right.
void replaceAll(std::string& text, std::string_view from, std::string_view to);

// The last two characters of "0" followed by part: "7" -> "07", "12" -> "12",
// "123" -> "23", "" -> "00".
std::string padTwo(std::string_view part);

// The i-th "/"-separated piece (from 0); empty past the end.
std::string_view slashPart(std::string_view text, size_t index);

// normaliseDateText with its error reported in code instead of EntryError.
std::string normalise(std::string_view text, int32_t& code);

// The last min(4, size) characters.
std::string_view lastFour(std::string_view text);

// Month length for any 64-bit year; month must be 1..12.
int32_t monthLength(int32_t month, int64_t year);

}  // namespace engine
