// How quillark-calc prints what the research pipeline answers: one answer
// as labelled field lines or as JSON, the messages of a request that could
// not be answered, one person's records, and the census table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "gedcom.h"
#include "people.h"
#include "research.h"

namespace quillark {

using Json = nlohmann::ordered_json;

// The JSON on one line and a line end; a byte that is not UTF-8 (the texts
// are bytes of the user's code page) is replaced rather than failing.
std::string jsonText(const Json& value);

// An answer's field lines ("Years: 40", the label alone for an empty
// field), each after indent, then its window line.
void appendAnswerLines(std::string& out, const ResearchAnswer& answer, bool abbreviated, bool weekDay,
                       std::string_view indent);

// An answer's keys: the five fields, "missing", ["census" (as given),]
// "earliest", "latest", ["gedcom",] and "warnings".
void addAnswerKeys(Json& json, const ResearchAnswer& answer, std::optional<GedcomVersion> gedcom,
                   std::string_view census = {});

// Why a request was not answered, in one line: "Illegal Date: Check on
// days", "Census error: no census named 'EW1941' (see --census list)".
std::string failureText(const ResearchAnswer& answer);
// The census's part alone, without "Census error: ".
std::string censusFailureText(const CensusFailure& failure);

// One person's records summed up: "Person: born between ..." and the JSON
// object of the same.
std::string personLine(const PersonSummary& person, std::optional<GedcomVersion> gedcom);
Json personJson(const PersonSummary& person, std::optional<GedcomVersion> gedcom);

// The census table, one census a line.
std::string censusListText();

}  // namespace quillark
