// How quillark-calc prints what the research pipeline answers: one answer
// as labelled field lines or as JSON, the messages of a request that could
// not be answered, one person's records, and the census table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "gedcom.h"
#include "people.h"
#include "research.h"

namespace quillark {

using Json = nlohmann::ordered_json;

// The JSON on one line and a line end; a byte that is not UTF-8 (the texts
// are bytes of the user's code page) is replaced rather than failing.
std::string jsonText(const Json& value);

// The text as a JSON string; null for an empty text (an open end, or no
// window at all).
Json textOrNull(std::string_view text);

// An answer's field lines ("Years: 40", the label alone for an empty
// field), each after indent, then its window line.
void appendAnswerLines(std::string& out, const ResearchAnswer& answer, bool abbreviated, bool weekDay,
                       std::string_view indent);

// One answer as a JSON line: the five fields, "missing", ["census" (as
// given),] "earliest", "latest", ["gedcom",] and "warnings".
std::string answerJsonText(const ResearchAnswer& answer, std::optional<GedcomVersion> gedcom);
// A request that was not answered as a JSON line: "error" with its
// "caption" and "text", and "warnings".
std::string failureJsonText(const ResearchAnswer& answer);

// The records of one person as one JSON object: "records", each numbered
// and answered or failed, and "person", the birth window they all allow.
class RecordsJson {
public:
    RecordsJson();
    ~RecordsJson();
    RecordsJson(const RecordsJson&) = delete;
    RecordsJson& operator=(const RecordsJson&) = delete;

    void addAnswer(size_t record, const ResearchAnswer& answer, std::optional<GedcomVersion> gedcom,
                   std::string_view census);
    void addFailure(size_t record, const std::string& error, const std::vector<std::string>& warnings);
    std::string text(const PersonSummary& person, std::optional<GedcomVersion> gedcom) const;

private:
    std::unique_ptr<Json> records_;
};

// Why a request was not answered, in one line: "Illegal Date: Check on
// days", "Census error: no census named 'EW1941' (see --census list)".
std::string failureText(const ResearchAnswer& answer);
// The census's part alone, without "Census error: ".
std::string censusFailureText(const CensusFailure& failure);

// One person's records summed up: "Person: born between ...".
std::string personLine(const PersonSummary& person, std::optional<GedcomVersion> gedcom);

// The census table, one census a line.
std::string censusListText();

}  // namespace quillark
