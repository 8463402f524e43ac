// The engine's one entry: a whole request in (the five field texts, the two
// display options, the remembered missing fact), a whole answer out (the
// five texts as the window shows them after "&Calc", the computed fact, the
// entry error code and the one box the window shows). The window, the
// command line and the batch all go through here; nothing in it reads or
// writes shared state: the window keeps its own EntryError and MissingPart
// and sets them from the answer.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "age.h"
#include "calculation.h"
#include "date_text.h"

struct EntryRequest {
    std::array<std::string_view, FieldCount> fields{};  // in Field order
    // Dates and an age the caller has already read (a census day, a date
    // in a form researchers copy, a census's reading of the age). A date
    // given here stands for its field's text, which is not read: it is
    // checked as a typed date would be and shown in the display chosen.
    // The age is calculated with instead of the three age fields' reading;
    // the fields keep their texts.
    std::optional<DateParts> eventDate, birthDate;
    std::optional<AgeSpec> age;
    bool abbreviated = false;                 // "Show month abbreviated"
    bool weekDay = false;                     // "Show week day"
    MissingFact remembered = MissingFact::None;
    // True when the two date fields have already been validated and shown
    // (the window validates each as the focus leaves it): the calculation
    // then reads the fields as they stand. False for texts as typed, which
    // are first validated and shown as the window does when both fields
    // have been left, the event field first.
    bool datesShown = false;
};

enum class EntryBox {
    None,
    IllegalDate,   // a date field failed validation; nothing was calculated
    Calculation,   // one of the calculation's error boxes
};

// What a calculation worked from, read once: the two dates as numbers and
// the age, so that callers carrying on from an answer (the command line's
// window of possible dates) need not read its texts again.
struct EntryInputs {
    DateParts event, birth;
    bool eventRead = false;  // the field held a date that read without error
    bool birthRead = false;
    AgeSpec age;             // as read for a computed date; default otherwise
};

// A computed age as numbers: what the three age fields show.
struct ComputedAge {
    int32_t years = 0, months = 0, days = 0;
};

struct EntryAnswer {
    // The five texts afterwards. On an error, what the window shows then: a
    // date field validated before the failing one has been rewritten.
    std::array<std::string, FieldCount> fields{};
    MissingFact missing = MissingFact::None;   // MissingPart afterwards
    EntryCode entryError = EntryCode::None;    // EntryError afterwards
    // EntryError as the calculation leaves it, before the computed field is
    // passed through the display (what the window holds while a box shows).
    EntryCode calculationError = EntryCode::None;
    // Bit i (0..4): the calculation or the display after it wrote field i,
    // which the window then sets even where the text has not changed.
    uint32_t written = 0;
    EntryBox box = EntryBox::None;
    std::string_view caption;  // static texts; empty when there is no box
    std::string_view text;
    EntryInputs inputs;
    ComputedAge age;  // Age only: the age written into the three fields

    // Working space of answerRequest, kept with the answer so that unusual
    // inputs do not allocate every time either.
    struct Scratch {
        std::string event, birth, display;
    } scratch;
};

// Answers one request. The answer's strings keep their buffers from one call
// to the next, so a caller that reuses one answer does not allocate per
// request once the buffers have grown.
void answerRequest(const EntryRequest& request, EntryAnswer& answer);

// The "Illegal Date" box's text for an entry error code: "Check on " and the
// part's name.
std::string_view illegalDateText(EntryCode code);
