// Shared fixture: every test starts with the engine's shared codes cleared,
// as a fresh run of the program does.
#pragma once

#include <gtest/gtest.h>

#include "calculation.h"
#include "date_text.h"

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        EntryError = 0;
        MissingPart = MissingFact::None;
    }
    void TearDown() override {
        EntryError = 0;
        MissingPart = MissingFact::None;
    }
};

// Runs normaliseDateText from a cleared code and returns text and code.
struct Normalised {
    std::string text;
    int32_t code;
};
inline Normalised normaliseFresh(std::string_view text) {
    EntryError = 0;
    std::string out = normaliseDateText(text);
    Normalised result{out, EntryError};
    EntryError = 0;
    return result;
}
