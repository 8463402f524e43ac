// Helpers shared by the engine's own source files; not part of its interface.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "age.h"
#include "calculation.h"
#include "date_text.h"

namespace engine {

inline bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

// Copies text to out; returns the end.
inline char* putText(char* out, std::string_view text) {
    for (char c : text) *out++ = c;
    return out;
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

// normaliseDateText for the engine's own callers.
std::string normalise(std::string_view text, EntryCode& code);

// normalise without a copy for a text that is already canonical: the view
// is the input itself or the text left in scratch.
std::string_view normaliseView(std::string_view text, EntryCode& code, std::string& scratch);

// True when the text holds "to" or "or": a year text of the calculation,
// which the normalisation passes untouched.
inline bool isYearText(std::string_view text) {
    return text.find("to") != std::string_view::npos || text.find("or") != std::string_view::npos;
}

// A text in canonical form with digit parts ("12/07/1941", "05/1941",
// "1941"), as nearly every field holds once shown, read at once; empty for
// any other text. The numbers are as written, not yet checked.
std::optional<DateParts> canonicalDate(std::string_view text);

// The last min(4, size) characters.
std::string_view lastFour(std::string_view text);

// A date field as the calculation reads it: the text before any tag,
// trimmed, normalised and read by position (a year text too: "1850 or
// 1849" reads as the year 1849). code is what the normalisation reports
// (FourDigitYear for a year that is not four digits), whether or not
// anything is left once tag and blanks are gone.
struct CalcDate {
    FieldDate field;  // Empty, or the date as read (Text keeps its text)
    EntryCode code = EntryCode::None;
};
CalcDate readCalcDate(std::string_view field, std::string& scratch);

// What the calculation did with the five fields.
struct CalcOutcome {
    MissingFact missing = MissingFact::None;
    EntryCode entryError = EntryCode::None;  // Months for too little given, FourDigitYear from a date read
    std::string_view caption;                // the error box, empty when none
    std::string_view text;
    bool focusEvent = false;                 // the error moves the focus to the event field
    uint32_t written = 0;                    // bit i: field i (0..4) was written
    std::optional<DateParts> computed;       // a computed date (FullDate or MonthYear)
    AgeSpec age;                             // the age a date was computed from
    std::array<int32_t, 3> computedAge{};    // Age: the years, months and days written
};

// The calculation on the five field texts, which it rewrites in place; the
// two dates come already read, and the age too when the caller read it
// (else it is read from the three age fields). Reads and writes no shared
// state.
CalcOutcome calculateFields(std::array<std::string, 5>& fields, const CalcDate& event, const CalcDate& birth,
                            MissingFact remembered, const AgeSpec* age = nullptr);

}  // namespace engine
