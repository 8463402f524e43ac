// What the command line adds to an answer so that it can be cited: the
// window of possible dates (or ages) of the computed fact, its GEDCOM form,
// and the warnings gathered on the way.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "date_window.h"
#include "gedcom.h"
#include "session.h"

namespace quillark {

struct Citation {
    MissingFact fact = MissingFact::None;
    bool known = false;          // a window was worked out
    std::string earliest;        // ISO date or GEDCOM age; empty: open or unknown
    std::string latest;
    std::string gedcom;          // empty: not asked for or not expressible
    std::vector<std::string> warnings;  // the reading's warnings come first

    void clear() {
        fact = MissingFact::None;
        known = false;
        earliest.clear();
        latest.clear();
        gedcom.clear();
        warnings.clear();
    }
};

// Fills in the window of a successful answer, and its GEDCOM form when a
// version is given; problems become warnings.
void citeAnswer(const SessionResult& answer, std::optional<GedcomVersion> gedcom, Citation& citation);

// "Born between 12/08/1900 and 12/07/1901" in the display form chosen;
// empty when there is no window to tell.
std::string windowLine(const Citation& citation, bool abbreviated, bool weekDay);

}  // namespace quillark
