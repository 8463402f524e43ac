// What the command line adds to an answer so that it can be cited: the
// window of possible dates (or ages) of the computed fact, its GEDCOM form,
// and the warnings gathered on the way.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "date_window.h"
#include "gedcom.h"
#include "session.h"

namespace quillark {

struct Citation {
    MissingFact fact = MissingFact::None;
    bool known = false;  // a window was worked out
    AnswerWindow window;  // the window itself, while known
    // The GEDCOM version to give the window in; empty when not asked for or
    // when the window cannot be written in it (a warning then says why).
    std::optional<GedcomVersion> gedcom;
    std::vector<std::string> warnings;  // the reading's warnings come first

    void clear() {
        fact = MissingFact::None;
        known = false;
        gedcom.reset();
        warnings.clear();
    }
};

// A citation's texts. They are written on demand rather than kept: a batch
// writes them straight into its output, row after row.
enum class CitationText {
    Earliest,  // an ISO date, or a GEDCOM age when the age is computed
    Latest,
    Gedcom,    // the GEDCOM date value or age
};
// The most any of them takes.
constexpr size_t CitationTextBytes = GedcomTextBytes;
// Writes one at out and returns its end; nothing for an open end, for no
// window, or for a GEDCOM form not given.
char* writeCitationText(char* out, const Citation& citation, CitationText which);
std::string citationText(const Citation& citation, CitationText which);

// Fills in the window of a successful answer, and its GEDCOM form when a
// version is given; problems become warnings.
void citeAnswer(const SessionResult& answer, std::optional<GedcomVersion> gedcom, Citation& citation);
// The same for the five texts of an answer, its computed fact, and whether
// it succeeded (the batch holds the engine's answer rather than a session's).
void citeAnswer(const std::array<std::string, 5>& fields, MissingFact missing, bool ok,
                const EntryInputs& inputs, std::optional<GedcomVersion> gedcom, Citation& citation);

// "Born between 12/08/1900 and 12/07/1901" in the display form chosen;
// empty when there is no window to tell.
std::string windowLine(const Citation& citation, bool abbreviated, bool weekDay);

}  // namespace quillark
