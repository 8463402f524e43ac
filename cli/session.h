// What the main window does with its five fields when both date fields have
// been left and "&Calc" receives the focus, starting from a fresh run: each
// non-empty date field is validated and rewritten in the display form (event
// first, then birth), the missing fact is calculated, and a computed date is
// rewritten in the display form. The command-line front end and the shared
// case table both go through here, so they give the window's answers.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "calculation.h"
#include "memory_dialog.h"
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
};

// "event", "age", "birth", or "" for None.
std::string_view missingFactName(MissingFact fact);

// Runs one request. The object keeps its buffers between runs so a batch of
// millions of rows does not allocate per row; the returned reference is valid
// until the next run. The engine's shared state (EntryError, MissingPart) is
// reset at the start of every run, as in a freshly started window, and left as
// the window would leave it.
class Session {
public:
    const SessionResult& run(const SessionInput& input);

private:
    MemoryDialog dialog_;
    SessionResult result_;
};

// Convenience for one-off callers (tests, the single mode).
SessionResult runSession(const SessionInput& input);

}  // namespace quillark
