#include "batch.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "date_text.h"
#include "research.h"
#include "render.h"
#include "shown_texts.h"

namespace quillark {

std::string rowShapeStatus(size_t fields, size_t headerFields) {
    return "Row error: " + std::to_string(fields) + (fields == 1 ? " field" : " fields") +
           " where the header has " + std::to_string(headerFields);
}

BatchResult runBatch(ByteSource& in, ByteSink& out, const BatchOptions& options) {
    BatchResult result;
    CsvReader reader(in, options.maxRecordBytes);
    CsvWriter writer(out);

    auto inputError = [&](CsvReader::Status status) {
        result.status = BatchStatus::InputError;
        if (status == CsvReader::Status::RecordTooLong) {
            result.message = "the record starting on line " + std::to_string(reader.line()) +
                             " is longer than " + std::to_string(options.maxRecordBytes) +
                             " bytes (is a quote left open?)";
        } else if (status == CsvReader::Status::End) {
            result.message = "the input is empty; a header row naming the columns is required";
        } else {
            result.message = "reading failed after line " + std::to_string(reader.line());
        }
        writer.flush();
        return result;
    };

    CsvReader::Status status = reader.next();
    if (status != CsvReader::Status::Record) return inputError(status);

    // The header: find the engine's columns; every other column passes through.
    writer.setLineEnd(reader.endedWithCrLf() ? "\r\n" : "\n");
    const size_t headerFields = reader.fieldCount();
    std::vector<int> engineField(headerFields, -1);  // column -> 0..4, or -1
    std::array<int, 5> column{-1, -1, -1, -1, -1};    // 0..4 -> column, or -1
    int censusColumn = -1, personColumn = -1;
    const std::string_view personName = trimBlanks(options.personColumn);
    for (size_t i = 0; i < headerFields; ++i) {
        const std::string_view name = trimBlanks(reader.field(i));
        for (size_t k = 0; k < FieldKeys.size(); ++k) {
            if (column[k] < 0 && equalsIgnoringCase(name, FieldKeys[k])) {
                column[k] = static_cast<int>(i);
                engineField[i] = static_cast<int>(k);
                break;
            }
        }
        if (censusColumn < 0 && equalsIgnoringCase(name, "census")) censusColumn = static_cast<int>(i);
        if (personColumn < 0 && !personName.empty() && equalsIgnoringCase(name, personName))
            personColumn = static_cast<int>(i);
    }
    if (!personName.empty() && personColumn < 0) {
        result.status = BatchStatus::InputError;
        result.message = "the header has no column '" + std::string(personName) + "' to tell the people apart";
        return result;
    }
    for (size_t i = 0; i < headerFields; ++i) writer.field(reader.field(i));
    // A fact whose column is absent would be calculated and then lost
    // without a word; such columns are added after the input's own.
    std::vector<size_t> addedColumns;  // 0..4
    for (size_t k = 0; k < column.size(); ++k) {
        if (column[k] < 0) {
            addedColumns.push_back(k);
            writer.field(FieldKeys[k]);
        }
    }
    // The citation columns, one group per fact in field order.
    static constexpr std::array<MissingFact, 3> CitedFacts = {MissingFact::EventDate, MissingFact::Age,
                                                              MissingFact::BirthDate};
    const bool citing = options.window || options.gedcom.has_value();
    // A census's age rule has warnings of its own to give.
    const bool census = censusColumn >= 0;
    if (citing) {
        for (MissingFact fact : CitedFacts) {
            const std::string name(missingFactName(fact));
            if (options.window) {
                writer.field(name + "_earliest");
                writer.field(name + "_latest");
            }
            if (options.gedcom) writer.field(name + "_gedcom");
        }
    }
    if (citing || census) writer.field("warnings");
    writer.field("status");
    writer.endRecord();

    ResearchPipeline pipeline;
    ResearchRequest request;
    request.abbreviated = options.abbreviated;
    request.weekDay = options.weekDay;
    request.cite = citing;
    request.gedcom = options.gedcom;
    request.gregorianFrom = options.gregorianFrom;
    PeopleTable* const people = personColumn >= 0 ? options.people : nullptr;
    request.birthWindow = people != nullptr;
    const ResearchAnswer* answer = nullptr;  // the row's, once calculated
    std::string rowStatus;
    std::string warnings;
    // Writes the citation columns of a row: the computed fact's group among
    // the empty groups of the other facts, all empty for a row that was not
    // calculated.
    std::vector<CitationText> texts;  // a fact's columns
    if (options.window) texts = {CitationText::Earliest, CitationText::Latest};
    if (options.gedcom) texts.push_back(CitationText::Gedcom);
    const size_t perFact = texts.size();
    const size_t citationColumns = perFact * CitedFacts.size();
    const auto writeCitation = [&](bool calculated) {
        const Citation* citation = calculated && answer->citation.known ? &answer->citation : nullptr;
        const size_t group =
            citation != nullptr
                ? static_cast<size_t>(std::find(CitedFacts.begin(), CitedFacts.end(), citation->fact) -
                                      CitedFacts.begin())
                : CitedFacts.size();
        if (group == CitedFacts.size() || citationColumns == 0) {
            writer.emptyFields(citationColumns);
        } else {
            // The empty groups before, the fact's texts, the empty groups after.
            const size_t before = perFact * group, after = citationColumns - before - perFact;
            writer.writtenFields(citationColumns, perFact * CitationTextBytes, [&](char* out) {
                out = CsvWriter::commas(out, before);
                for (size_t k = 0; k < perFact; ++k) {
                    if (k > 0) *out++ = ',';
                    out = writeCitationText(out, *citation, texts[k]);
                }
                return CsvWriter::commas(out, after);
            });
        }
        if (answer == nullptr || answer->warnings.empty()) {
            writer.emptyFields(1);
            return;
        }
        warnings.clear();
        for (const std::string& warning : answer->warnings) {
            if (!warnings.empty()) warnings.append("; ");
            warnings.append(warning);
        }
        writer.field(warnings);
    };

    // A row that is not calculated: its fields as they came in the input's
    // columns (a short row's missing ones empty), the added columns empty,
    // the status in its own column, and any fields beyond the header's
    // after it, so that nothing is lost and every column keeps its meaning.
    auto writeUncalculated = [&](std::string_view why) {
        const size_t fields = reader.fieldCount();
        for (size_t i = 0; i < headerFields; ++i) writer.field(i < fields ? reader.field(i) : std::string_view());
        for (size_t n = 0; n < addedColumns.size(); ++n) writer.field({});
        if (citing || census) writeCitation(false);
        writer.field(why);
        for (size_t i = headerFields; i < fields; ++i) writer.field(reader.field(i));
        ++result.failedRows;
    };

    uint64_t untilProgress = options.progressEvery;  // rows left before the next progress call
    for (;;) {
        status = reader.next();
        if (status == CsvReader::Status::End) break;
        if (status != CsvReader::Status::Record) return inputError(status);
        // Blank lines between rows carry nothing; with a single column a
        // blank line is a row whose one field is empty.
        if (reader.blankLine() && headerFields > 1) continue;

        ++result.rows;
        answer = nullptr;
        const bool wellFormed = !reader.unterminatedQuote() && reader.fieldCount() == headerFields;
        const std::string_view person =
            wellFormed && personColumn >= 0 ? trimBlanks(reader.field(static_cast<size_t>(personColumn)))
                                            : std::string_view();
        bool rowFailed = true;
        if (reader.unterminatedQuote()) {
            writeUncalculated("Row error: a quoted field is not closed before the end of the input");
        } else if (reader.fieldCount() != headerFields) {
            rowStatus = rowShapeStatus(reader.fieldCount(), headerFields);
            writeUncalculated(rowStatus);
        } else {
            for (size_t k = 0; k < column.size(); ++k)
                request.fields[k] = column[k] >= 0 ? reader.field(static_cast<size_t>(column[k])) : std::string_view();
            request.census = census ? reader.field(static_cast<size_t>(censusColumn)) : std::string_view();
            answer = &pipeline.answer(request);
            if (answer->outcome == ResearchOutcome::Ok) {
                for (size_t i = 0; i < headerFields; ++i) {
                    const int k = engineField[i];
                    writer.field(k >= 0 ? trimBlanks(answer->shown(static_cast<Field>(k))) : reader.field(i));
                }
                for (size_t k : addedColumns) writer.field(trimBlanks(answer->shown(static_cast<Field>(k))));
                if (citing || census) writeCitation(true);
                writer.field("ok");
                rowFailed = false;
                if (people != nullptr) {
                    if (answer->birthWindow) {
                        people->add(person, reader.line(), *answer->birthWindow);
                    } else {
                        people->addUnusable(person);
                    }
                }
            } else {
                // The row stays as it came.
                rowStatus = failureText(*answer);
                writeUncalculated(rowStatus);
            }
        }
        if (rowFailed && people != nullptr) people->addUnusable(person);
        writer.endRecord();

        if (writer.failed()) break;
        if (options.progress && --untilProgress == 0) {
            untilProgress = options.progressEvery;
            options.progress(result.rows);
        }
    }

    if (!writer.flush()) {
        result.status = BatchStatus::OutputError;
        result.message = "writing the output failed";
        return result;
    }
    result.status = result.failedRows == 0 ? BatchStatus::AllOk : BatchStatus::RowErrors;
    return result;
}

}  // namespace quillark

namespace quillark {

bool writePeople(const PeopleTable& people, ByteSink& out, std::string_view idHeader,
                 std::optional<GedcomVersion> gedcom, std::string_view lineEnd) {
    CsvWriter writer(out, lineEnd);
    writer.field(idHeader);
    for (std::string_view name : {"records", "birth_earliest", "birth_latest"}) writer.field(name);
    if (gedcom) writer.field("birth_gedcom");
    for (std::string_view name : {"status", "conflict_lines", "outlier_line", "without_outlier_earliest",
                                  "without_outlier_latest"})
        writer.field(name);
    writer.endRecord();
    for (size_t i = 0; i < people.size() && !writer.failed(); ++i) {
        const PersonSummary s = people.summary(i);
        writer.field(s.id);
        writer.field(std::to_string(s.records));
        writer.field(isoText(s.birth.earliest));
        writer.field(isoText(s.birth.latest));
        if (gedcom) {
            const std::optional<std::string> value =
                s.status == PersonStatus::Ok ? gedcomDateValue(s.birth, *gedcom) : std::nullopt;
            writer.field(value ? std::string_view(*value) : std::string_view());
        }
        writer.field(personStatusName(s.status));
        const bool conflict = s.status == PersonStatus::Conflict;
        writer.field(conflict ? std::to_string(s.conflictLines[0]) + " " + std::to_string(s.conflictLines[1])
                              : std::string());
        writer.field(s.outlierLine ? std::to_string(*s.outlierLine) : std::string());
        writer.field(isoText(s.withoutOutlier.earliest));
        writer.field(isoText(s.withoutOutlier.latest));
        writer.endRecord();
    }
    return writer.flush();
}

}  // namespace quillark
