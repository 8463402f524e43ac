#include "research.h"

#include "date_text.h"

namespace quillark {

namespace {

// Whether the text of a field holds anything but blanks.
bool given(std::string_view text) { return !trimBlanks(text).empty(); }

}  // namespace

std::string_view ResearchAnswer::shown(Field field) const {
    // A computed age is the engine's, census or not.
    if (field == Field::Years && census != nullptr && entry.missing != MissingFact::Age)
        return fields[fieldIndex(Field::Years)];
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

    // The forms researchers copy become the calculator's own.
    for (size_t i = 0; i < FieldCount; ++i) a.fields[i].assign(request.fields[i]);
    if (request.researcherForms) {
        translateResearcherForms(a.fields, dates_, a.warnings);
    } else {
        dates_ = {};
    }

    EntryRequest entry;
    for (size_t i = 0; i < FieldCount; ++i) entry.fields[i] = a.fields[i];
    entry.eventDate = dates_.event;
    entry.birthDate = dates_.birth;
    entry.abbreviated = request.abbreviated;
    entry.weekDay = request.weekDay;

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
        const std::string& event = a.fields[fieldIndex(Field::Event)];
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
        entry.eventDate = partsOf(census->day);
        // Months or days in their own fields make the age exact.
        const bool monthsOrDays = given(a.fields[fieldIndex(Field::Months)]) || given(a.fields[fieldIndex(Field::Days)]);
        CensusAge age = applyCensusRule(
            *census,
            parseAge(a.fields[fieldIndex(Field::Years)], a.fields[fieldIndex(Field::Months)],
                     a.fields[fieldIndex(Field::Days)]),
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

}  // namespace quillark
