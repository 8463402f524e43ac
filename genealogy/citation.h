// What the pipeline adds to an answer so that it can be cited: the
// window of possible dates (or ages) of the computed fact, its GEDCOM form,
// and the warnings gathered on the way.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "date_bounds.h"
#include "entry.h"
#include "gedcom.h"

namespace quillark {

struct Citation {
    MissingFact fact = MissingFact::None;
    bool known = false;   // a window was worked out
    AnswerWindow window;  // the window itself, while known
    // The GEDCOM version to give the window in; empty when not asked for or
    // when the window cannot be written in it (a warning then says why).
    std::optional<GedcomVersion> gedcom;

    void clear() {
        fact = MissingFact::None;
        known = false;
        gedcom.reset();
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

// Fills in the window of an answer that calculated without a box, and its
// GEDCOM form when a version is given; problems are added to warnings.
void citeAnswer(const EntryAnswer& answer, std::optional<GedcomVersion> gedcom, Citation& citation,
                std::vector<std::string>& warnings);

// "Born between 12/08/1900 and 12/07/1901" in the display form chosen;
// empty when there is no window to tell.
std::string windowLine(const Citation& citation, bool abbreviated, bool weekDay);

}  // namespace quillark
