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
    citation.fact = answer.missing;
    citation.known = false;
    citation.earliest.clear();
    citation.latest.clear();
    citation.gedcom.clear();
    if (answer.outcome != SessionOutcome::Ok || answer.missing == MissingFact::None) return;

    const AnswerWindow window = answerWindow(answer.fields, answer.missing);
    if (window.status == WindowStatus::OutOfRange) {
        citation.warnings.emplace_back("The window of possible dates falls outside the years 1 to 9999");
        return;
    }
    if (window.status != WindowStatus::Ok) return;
    citation.known = true;
    if (answer.missing == MissingFact::Age) {
        citation.earliest = gedcomAge(window.ages.youngest);
        citation.latest = gedcomAge(window.ages.oldest);
        if (gedcom) {
            if (const auto value = gedcomAgeValue(window.ages)) {
                citation.gedcom = *value;
            } else {
                citation.warnings.push_back("A GEDCOM age holds no range: the age is between " + citation.earliest +
                                            " and " + citation.latest);
            }
        }
        return;
    }
    if (window.dates.earliest) appendIso(citation.earliest, *window.dates.earliest);
    if (window.dates.latest) appendIso(citation.latest, *window.dates.latest);
    if (gedcom) {
        if (!appendGedcomDateValue(citation.gedcom, window.dates, *gedcom)) {
            citation.warnings.emplace_back("The window cannot be written as a GEDCOM date of the years 1 to 9999");
        }
    }
}

std::string windowLine(const Citation& citation, bool abbreviated, bool weekDay) {
    if (!citation.known) return {};
    if (citation.fact == MissingFact::Age) {
        if (citation.earliest == citation.latest) return "Aged " + citation.earliest;
        return "Aged between " + citation.earliest + " and " + citation.latest;
    }
    const std::string who = citation.fact == MissingFact::BirthDate ? "Born" : "Event";
    const std::string from = displayed(citation.earliest, abbreviated, weekDay);
    const std::string to = displayed(citation.latest, abbreviated, weekDay);
    if (citation.earliest.empty()) return who + " on or before " + to;
    if (citation.latest.empty()) return who + " on or after " + from;
    if (citation.earliest == citation.latest) return who + " on " + from;
    return who + " between " + from + " and " + to;
}

}  // namespace quillark
