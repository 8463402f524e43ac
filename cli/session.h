// One request of the command line: the five fields as typed, answered by the
// engine's entry as the window answers them when both date fields have been
// left and "&Calc" receives the focus, starting from a fresh run. The
// command-line front end and the shared case table both go through here.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "calculation.h"
#include "entry.h"
#include "shown_texts.h"

namespace quillark {

// The five entry fields in control-id order (101..105) and the two options.
struct SessionInput {
    std::array<std::string_view, 5> fields{};
    bool abbreviated = false;  // "Show month abbreviated"
    bool weekDay = false;      // "Show week day"
};

enum class SessionOutcome {
    Ok,                // fields hold the answer
    IllegalDate,       // a date field failed validation; nothing was calculated
    CalculationError,  // the calculation showed one of its two error boxes
};

struct SessionResult {
    SessionOutcome outcome = SessionOutcome::Ok;
    // The field texts exactly as the window holds them afterwards; on an
    // error, what the window shows then (a date field validated before the
    // failing one has already been rewritten).
    std::array<std::string, 5> fields{};
    MissingFact missing = MissingFact::None;
    std::string caption;  // error box caption, empty when Ok
    std::string text;     // error box text, empty when Ok
    EntryInputs inputs;   // what the calculation worked from
};

// "event", "age", "birth", or "" for None.
std::string_view missingFactName(MissingFact fact);

// Runs one request through the engine's entry, as a freshly started window
// answers it: nothing remembered from an earlier request. The object keeps
// its buffers between runs so a batch of millions of rows does not allocate
// per row; the returned reference is valid until the next run.
class Session {
public:
    const SessionResult& run(const SessionInput& input);

private:
    EntryAnswer answer_;
    SessionResult result_;
};

// Convenience for one-off callers (tests, the single mode).
SessionResult runSession(const SessionInput& input);

}  // namespace quillark
