// Shared pieces of the engine's tests.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "calculation.h"
#include "case_names.h"
#include "date_text.h"
#include "entry.h"

// Every engine test starts as a fresh run of the program does; the engine
// keeps no state, so there is nothing to clear.
class EngineTest : public ::testing::Test {};

// Runs normaliseDateText from a cleared code and returns text and code.
struct Normalised {
    std::string text;
    EntryCode code;
};
inline Normalised normaliseFresh(std::string_view text) {
    EntryCode code = EntryCode::None;
    std::string out = normaliseDateText(text, code);
    return {out, code};
}

// "&Calc" on the five fields as the window holds them (both dates already
// validated and shown), with the fact the window remembers.
inline EntryAnswer calculateShown(const std::array<std::string, 5>& fields,
                                  MissingFact remembered = MissingFact::None) {
    EntryRequest request;
    for (size_t i = 0; i < fields.size(); ++i) request.fields[i] = fields[i];
    request.remembered = remembered;
    request.datesShown = true;
    EntryAnswer answer;
    answerRequest(request, answer);
    return answer;
}
