#include "citation.h"

#include "date_text.h"

namespace quillark {

namespace {

// A day in the window's display form, in the calendar of the window; the
// ISO text where the display cannot show it (full dates outside 1600..2100).
std::string displayed(const std::optional<Date>& day, Calendar calendar, bool abbreviated, bool weekDay) {
    if (!day) return {};
    const DateParts numbers = calendar == Calendar::Gregorian ? partsOf(*day) : partsOf(*day, calendar);
    if (numbers.year < FirstEntryYear || numbers.year > LastEntryYear) return isoText(*day);
    FieldDate field;
    field.kind = FieldKind::Date;
    field.date = numbers;
    std::string shown;
    writeDate(field, abbreviated, weekDay, shown);
    return shown;
}

}  // namespace

void citeAnswer(const EntryAnswer& answer, std::optional<GedcomVersion> gedcom, Citation& citation,
                std::vector<std::string>& warnings) {
    const MissingFact missing = answer.missing;
    citation.fact = missing;
    citation.known = false;
    citation.gedcom.reset();
    if (answer.box != EntryBox::None || missing == MissingFact::None) return;

    AnswerWindow& window = citation.window;
    fillAnswerWindow(answer, window);
    if (window.status == WindowStatus::OutOfRange) {
        warnings.emplace_back("The window of possible dates falls outside the years 1 to 9999");
        return;
    }
    if (window.status != WindowStatus::Ok) return;
    citation.known = true;
    if (!gedcom) return;
    citation.gedcom = gedcom;
    if (missing == MissingFact::Age) {
        if (gedcomAgeValue(window.ages)) return;
        citation.gedcom.reset();
        warnings.push_back("A GEDCOM age holds no range: the age is between " +
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
    warnings.emplace_back("The window cannot be written as a GEDCOM date of the years 1 to 9999");
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
    const DateWindow& dates = citation.window.dates;
    const std::string from = displayed(dates.earliest, dates.calendar, abbreviated, weekDay);
    const std::string to = displayed(dates.latest, dates.calendar, abbreviated, weekDay);
    const std::string_view calendar = dates.calendar == Calendar::Julian ? " (Julian)" : "";
    if (earliest.empty()) return who + " on or before " + to + std::string(calendar);
    if (latest.empty()) return who + " on or after " + from + std::string(calendar);
    if (earliest == latest) return who + " on " + from + std::string(calendar);
    return who + " between " + from + " and " + to + std::string(calendar);
}

}  // namespace quillark
