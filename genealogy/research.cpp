#include "research.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "date_text.h"

namespace quillark {

namespace {

// Whether the text of a field holds anything but blanks.
bool given(std::string_view text) { return !trimBlanks(text).empty(); }

}  // namespace

std::string_view ResearchAnswer::shown(Field field) const {
    // A computed age is the engine's, census or not.
    if (field == Field::Years && census != nullptr && entry.missing != MissingFact::Age) return yearsAsWritten;
    return entry.fields[fieldIndex(field)];
}

const ResearchAnswer& ResearchPipeline::answer(const ResearchRequest& request) {
    ResearchAnswer& a = answer_;
    a.outcome = ResearchOutcome::Ok;
    a.census = nullptr;
    a.entry.missing = MissingFact::None;
    a.warnings.clear();
    a.citation.clear();
    a.birthWindow.reset();

    // The forms researchers copy become the calculator's own; fields in the
    // window's own forms go to the engine as they are.
    EntryRequest entry;
    entry.fields = request.fields;
    dates_ = {};
    if (request.researcherForms && mayHoldResearcherForms(request.fields)) {
        for (size_t i = 0; i < FieldCount; ++i) rewritten_[i].assign(request.fields[i]);
        translateResearcherForms(rewritten_, dates_, a.warnings);
        for (size_t i = 0; i < FieldCount; ++i) entry.fields[i] = rewritten_[i];
    }
    const std::array<std::string_view, FieldCount>& fields = entry.fields;
    entry.eventDate = dates_.event;
    entry.birthDate = dates_.birth;
    entry.abbreviated = request.abbreviated;
    entry.weekDay = request.weekDay;
    entry.remembered = request.remembered;
    entry.datesShown = request.datesShown;

    const std::string_view censusName = trimBlanks(request.census);
    if (!censusName.empty()) {
        const Census* census = findCensus(censusName);
        if (census == nullptr) {
            a.outcome = ResearchOutcome::CensusError;
            a.censusFailure = {CensusProblem::UnknownName, std::string(censusName), {}, nullptr};
            return a;
        }
        // An event date given as well must be the census day, or a month or
        // year holding it, as the display reads it.
        const std::string_view event = fields[fieldIndex(Field::Event)];
        if (given(event)) {
            EntryCode code;
            DateParts date;
            if (dates_.event) {
                code = checkDate(*dates_.event);
                date = *dates_.event;
            } else {
                FieldDate read;
                code = readDate(event, false, false, scratch_, read);
                date = read.kind == FieldKind::Text ? readDateParts(beforeTag(read.text)) : read.date;
            }
            if (code != EntryCode::None || !isCensusDay(*census, date)) {
                a.outcome = ResearchOutcome::CensusError;
                a.censusFailure = {CensusProblem::NotCensusDay, std::string(censusName),
                                   std::string(trimBlanks(event)), census};
                return a;
            }
        }
        a.census = census;
        a.yearsAsWritten.assign(fields[fieldIndex(Field::Years)]);
        entry.eventDate = partsOf(census->day);
        // Months or days in their own fields make the age exact.
        const bool monthsOrDays = given(fields[fieldIndex(Field::Months)]) || given(fields[fieldIndex(Field::Days)]);
        CensusAge age = applyCensusRule(
            *census,
            parseAge(fields[fieldIndex(Field::Years)], fields[fieldIndex(Field::Months)],
                     fields[fieldIndex(Field::Days)]),
            monthsOrDays);
        entry.age = age.age;
        if (!age.warning.empty()) a.warnings.push_back(std::move(age.warning));
    }

    answerRequest(entry, a.entry);
    switch (a.entry.box) {
    case EntryBox::None: break;
    case EntryBox::IllegalDate: a.outcome = ResearchOutcome::IllegalDate; return a;
    case EntryBox::Calculation: a.outcome = ResearchOutcome::CalculationError; return a;
    }
    if (request.cite) citeAnswer(a.entry, request.gedcom, a.citation, a.warnings);
    if (request.birthWindow) a.birthWindow = recordBirthWindow(a.entry);
    return a;
}

ResearchAnswer answerResearch(const ResearchRequest& request) {
    ResearchPipeline pipeline;
    return pipeline.answer(request);
}

std::string censusProblemText(const CensusFailure& failure) {
    if (failure.problem == CensusProblem::UnknownName) return "no census named '" + failure.name + "'";
    const Census& census = *failure.census;
    char day[16];
    std::snprintf(day, sizeof day, "%02d/%02d/%04d", monthOf(census.day), dayOf(census.day), yearOf(census.day));
    return "the event date " + failure.event + " is not the census day of " + std::string(census.name) + " (" + day +
           ")";
}

AnswerNotes answerNotes(const ResearchAnswer& answer, bool abbreviated, bool weekDay) {
    AnswerNotes notes;
    if (answer.outcome != ResearchOutcome::Ok || !answer.citation.known) return notes;
    notes.windowLine = windowLine(answer.citation, abbreviated, weekDay);
    notes.earliest = citationText(answer.citation, CitationText::Earliest);
    notes.latest = citationText(answer.citation, CitationText::Latest);
    notes.warnings = answer.warnings;
    // Each version cited on its own; a reason a version cannot hold the
    // window is said once, whichever version found it.
    const std::pair<GedcomVersion, std::string*> versions[] = {{GedcomVersion::V7, &notes.gedcom7},
                                                               {GedcomVersion::V551, &notes.gedcom551}};
    for (const auto& [version, text] : versions) {
        Citation citation;
        std::vector<std::string> found;
        citeAnswer(answer.entry, version, citation, found);
        *text = citationText(citation, CitationText::Gedcom);
        for (std::string& warning : found) {
            if (std::find(notes.warnings.begin(), notes.warnings.end(), warning) == notes.warnings.end())
                notes.warnings.push_back(std::move(warning));
        }
    }
    return notes;
}

}  // namespace quillark
