#include "citation.h"

#include <cstdio>

namespace quillark {

namespace {

// An ISO date in the window's display form; the ISO text itself where the
// display cannot show it (full dates outside 1600..2100).
std::string displayed(const std::string& iso, bool abbreviated, bool weekDay) {
    if (iso.size() != 10) return iso;
    const std::string canonical = iso.substr(5, 2) + "/" + iso.substr(8, 2) + "/" + iso.substr(0, 4);
    const FormattedDate shown = formatDateText(canonical, abbreviated, weekDay);
    return shown.code == 0 ? shown.text : iso;
}

}  // namespace

void citeAnswer(const SessionResult& answer, std::optional<GedcomVersion> gedcom, Citation& citation) {
    citeAnswer(answer.fields, answer.missing, answer.outcome == SessionOutcome::Ok, answer.inputs, gedcom,
               citation);
}

void citeAnswer(const std::array<std::string, 5>& fields, MissingFact missing, bool ok,
                const EntryInputs& inputs, std::optional<GedcomVersion> gedcom, Citation& citation) {
    citation.fact = missing;
    citation.known = false;
    citation.gedcom.reset();
    if (!ok || missing == MissingFact::None) return;

    AnswerWindow& window = citation.window;
    fillAnswerWindow(fields, missing, inputs, window);
    if (window.status == WindowStatus::OutOfRange) {
        citation.warnings.emplace_back("The window of possible dates falls outside the years 1 to 9999");
        return;
    }
    if (window.status != WindowStatus::Ok) return;
    citation.known = true;
    if (!gedcom) return;
    citation.gedcom = gedcom;
    if (missing == MissingFact::Age) {
        if (gedcomAgeValue(window.ages)) return;
        citation.gedcom.reset();
        citation.warnings.push_back("A GEDCOM age holds no range: the age is between " +
                                    citationText(citation, CitationText::Earliest) + " and " +
                                    citationText(citation, CitationText::Latest));
        return;
    }
    // A window with both ends is always written (BET or CAL); an open one
    // may need a bound moved outside the years 1 to 9999.
    char trial[GedcomTextBytes];
    if ((window.dates.earliest && window.dates.latest) ||
        writeGedcomDateValue(trial, window.dates, *gedcom) != nullptr)
        return;
    citation.gedcom.reset();
    citation.warnings.emplace_back("The window cannot be written as a GEDCOM date of the years 1 to 9999");
}

char* writeCitationText(char* out, const Citation& citation, CitationText which) {
    if (!citation.known) return out;
    const AnswerWindow& window = citation.window;
    if (citation.fact == MissingFact::Age) {
        switch (which) {
        case CitationText::Earliest: return writeGedcomAge(out, window.ages.youngest);
        case CitationText::Latest: return writeGedcomAge(out, window.ages.oldest);
        case CitationText::Gedcom: break;
        }
        return citation.gedcom ? writeGedcomAge(out, window.ages.youngest) : out;
    }
    switch (which) {
    case CitationText::Earliest: return window.dates.earliest ? writeIso(out, *window.dates.earliest) : out;
    case CitationText::Latest: return window.dates.latest ? writeIso(out, *window.dates.latest) : out;
    case CitationText::Gedcom: break;
    }
    if (!citation.gedcom) return out;
    char* const end = writeGedcomDateValue(out, window.dates, *citation.gedcom);
    return end != nullptr ? end : out;
}

std::string citationText(const Citation& citation, CitationText which) {
    char text[CitationTextBytes];
    return std::string(text, static_cast<size_t>(writeCitationText(text, citation, which) - text));
}

std::string windowLine(const Citation& citation, bool abbreviated, bool weekDay) {
    if (!citation.known) return {};
    const std::string earliest = citationText(citation, CitationText::Earliest);
    const std::string latest = citationText(citation, CitationText::Latest);
    if (citation.fact == MissingFact::Age) {
        if (earliest == latest) return "Aged " + earliest;
        return "Aged between " + earliest + " and " + latest;
    }
    const std::string who = citation.fact == MissingFact::BirthDate ? "Born" : "Event";
    const std::string from = displayed(earliest, abbreviated, weekDay);
    const std::string to = displayed(latest, abbreviated, weekDay);
    if (earliest.empty()) return who + " on or before " + to;
    if (latest.empty()) return who + " on or after " + from;
    if (earliest == latest) return who + " on " + from;
    return who + " between " + from + " and " + to;
}

}  // namespace quillark
