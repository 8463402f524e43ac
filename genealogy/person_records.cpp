#include "person_records.h"

namespace quillark {

namespace {

RecordAnswer recordAnswer(ResearchPipeline& pipeline, const PersonRecord& record) {
    // The request a batch row makes: the forms researchers copy read, the
    // numeric display, the birth window asked for.
    ResearchRequest request;
    request.fields[fieldIndex(Field::Event)] = record.event;
    request.fields[fieldIndex(Field::Years)] = record.years;
    request.fields[fieldIndex(Field::Months)] = record.months;
    request.fields[fieldIndex(Field::Days)] = record.days;
    request.census = record.census;
    request.birthWindow = true;
    const ResearchAnswer& answer = pipeline.answer(request);

    RecordAnswer result;
    result.outcome = answer.outcome;
    result.warnings = answer.warnings;
    switch (answer.outcome) {
    case ResearchOutcome::Ok:
        result.birthShown = std::string(trimBlanks(answer.shown(Field::Birth)));
        result.birth = answer.birthWindow;
        break;
    case ResearchOutcome::CensusError: result.problem = "Census error: " + censusProblemText(answer.censusFailure); break;
    case ResearchOutcome::IllegalDate:
        result.entryError = answer.entry.entryError;
        [[fallthrough]];
    case ResearchOutcome::CalculationError:
        result.problem = std::string(answer.entry.caption) + ": " + std::string(answer.entry.text);
        break;
    }
    return result;
}

}  // namespace

RecordAnswer answerPersonRecord(const PersonRecord& record) {
    ResearchPipeline pipeline;
    return recordAnswer(pipeline, record);
}

PersonRecordsAnswer answerPersonRecords(std::span<const PersonRecord> records) {
    PersonRecordsAnswer result;
    ResearchPipeline pipeline;
    PeopleTable people;
    // Every record belongs to the one person; the table is kept by id.
    constexpr std::string_view Person = "person";
    for (size_t i = 0; i < records.size(); ++i) {
        RecordAnswer answer = recordAnswer(pipeline, records[i]);
        if (answer.birth) {
            people.add(Person, i + 1, *answer.birth);
        } else {
            people.addUnusable(Person);
        }
        result.records.push_back(std::move(answer));
    }
    if (people.size() > 0) result.summary = people.summary(0);
    result.summary.id = {};  // it pointed into the table
    if (result.summary.status == PersonStatus::Ok) {
        result.gedcom7 = gedcomDateValue(result.summary.birth, GedcomVersion::V7).value_or(std::string());
        result.gedcom551 = gedcomDateValue(result.summary.birth, GedcomVersion::V551).value_or(std::string());
    }
    return result;
}

std::string windowEndsText(std::string_view earliest, std::string_view latest) {
    if (earliest.empty() && latest.empty()) return "any day";
    if (earliest.empty()) return "on or before " + std::string(latest);
    if (latest.empty()) return "on or after " + std::string(earliest);
    return std::string(earliest) + " to " + std::string(latest);
}

std::string isoWindowText(const std::optional<Date>& earliest, const std::optional<Date>& latest) {
    return windowEndsText(isoText(earliest), isoText(latest));
}

}  // namespace quillark
