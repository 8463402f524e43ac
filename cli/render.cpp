#include "render.h"

#include <cstdio>

#include <nlohmann/json.hpp>

#include "date_text.h"
#include "shown_texts.h"

namespace quillark {

Json textOrNull(std::string_view text) { return text.empty() ? Json(nullptr) : Json(std::string(text)); }

std::string jsonText(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace) + "\n";
}

void appendAnswerLines(std::string& out, const ResearchAnswer& answer, bool abbreviated, bool weekDay,
                       std::string_view indent) {
    for (size_t i = 0; i < FieldCount; ++i) {
        out.append(indent).append(FieldLabels[i]);
        const std::string_view value = trimBlanks(answer.shown(static_cast<Field>(i)));
        if (!value.empty()) out.append(" ").append(value);
        out.push_back('\n');
    }
    const std::string window = windowLine(answer.citation, abbreviated, weekDay);
    if (!window.empty()) out.append(indent).append(window).push_back('\n');
}

namespace {

void addAnswerKeys(Json& json, const ResearchAnswer& answer, std::optional<GedcomVersion> gedcom,
                   std::string_view census) {
    for (size_t i = 0; i < FieldCount; ++i)
        json[std::string(FieldKeys[i])] = std::string(answer.shown(static_cast<Field>(i)));
    json["missing"] = std::string(missingFactName(answer.entry.missing));
    if (!census.empty()) json["census"] = std::string(census);
    json["earliest"] = textOrNull(citationText(answer.citation, CitationText::Earliest));
    json["latest"] = textOrNull(citationText(answer.citation, CitationText::Latest));
    if (gedcom) json["gedcom"] = textOrNull(citationText(answer.citation, CitationText::Gedcom));
    json["warnings"] = answer.warnings;
}

}  // namespace

std::string censusFailureText(const CensusFailure& failure) {
    std::string text = censusProblemText(failure);
    if (failure.problem == CensusProblem::UnknownName) text.append(" (see --census list)");
    return text;
}

std::string failureText(const ResearchAnswer& answer) {
    if (answer.outcome == ResearchOutcome::CensusError) return "Census error: " + censusFailureText(answer.censusFailure);
    if (!answer.dateProblem.empty()) return std::string(answer.entry.caption) + ": " + answer.dateProblem;
    return std::string(answer.entry.caption) + ": " + std::string(answer.entry.text);
}

std::string personLine(const PersonSummary& s, std::optional<GedcomVersion> gedcom) {
    return "Person: " + personAnswerText(s, gedcom) + "\n";
}

namespace {

Json personJson(const PersonSummary& s, std::optional<GedcomVersion> gedcom) {
    Json person;
    person["records"] = s.records;
    person["birth_earliest"] = textOrNull(isoText(s.birth.earliest));
    person["birth_latest"] = textOrNull(isoText(s.birth.latest));
    if (gedcom) {
        const std::optional<std::string> value =
            s.status == PersonStatus::Ok ? gedcomDateValue(s.birth, *gedcom) : std::nullopt;
        person["birth_gedcom"] = textOrNull(value.value_or(std::string()));
    }
    person["status"] = std::string(personStatusName(s.status));
    if (s.status == PersonStatus::Conflict) {
        person["conflict_records"] = {s.conflictLines[0], s.conflictLines[1]};
        if (s.outlierLine) {
            person["outlier_record"] = *s.outlierLine;
            person["without_outlier_earliest"] = textOrNull(isoText(s.withoutOutlier.earliest));
            person["without_outlier_latest"] = textOrNull(isoText(s.withoutOutlier.latest));
        }
    }
    return person;
}

}  // namespace

std::string answerJsonText(const ResearchAnswer& answer, std::optional<GedcomVersion> gedcom) {
    Json json;
    addAnswerKeys(json, answer, gedcom, {});
    return jsonText(json);
}

std::string failureJsonText(const ResearchAnswer& answer) {
    Json json;
    json["error"]["caption"] = std::string(answer.entry.caption);
    json["error"]["text"] = answer.dateProblem.empty() ? std::string(answer.entry.text) : answer.dateProblem;
    json["warnings"] = answer.warnings;
    return jsonText(json);
}

RecordsJson::RecordsJson() : records_(std::make_unique<Json>(Json::array())) {}
RecordsJson::~RecordsJson() = default;

void RecordsJson::addAnswer(size_t record, const ResearchAnswer& answer, std::optional<GedcomVersion> gedcom,
                            std::string_view census) {
    Json json;
    json["record"] = record;
    addAnswerKeys(json, answer, gedcom, census);
    records_->push_back(std::move(json));
}

void RecordsJson::addFailure(size_t record, const std::string& error, const std::vector<std::string>& warnings) {
    Json json;
    json["record"] = record;
    json["error"] = error;
    json["warnings"] = warnings;
    records_->push_back(std::move(json));
}

std::string RecordsJson::text(const PersonSummary& person, std::optional<GedcomVersion> gedcom) const {
    Json whole;
    whole["records"] = *records_;
    whole["person"] = personJson(person, gedcom);
    return jsonText(whole);
}

std::string censusListText() {
    std::string text = "name    day         age rule          source\n";
    for (const Census& census : censusTable()) {
        char line[64];
        std::snprintf(line, sizeof line, "%-7s %04d-%02d-%02d  %-16s  ", std::string(census.name).c_str(),
                      yearOf(census.day), monthOf(census.day), dayOf(census.day),
                      census.rule == CensusAgeRule::RoundedDownToFive ? "15+ to 4 more" : "last birthday");
        text.append(line).append(census.country).append(", ").append(census.source).push_back('\n');
    }
    return text;
}

}  // namespace quillark
