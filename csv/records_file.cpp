#include "records_file.h"

#include <array>

#include "csv.h"
#include "date_text.h"

namespace quillark {

namespace {

enum Column : size_t { PersonColumn, CensusColumn, EventColumn, YearsColumn, MonthsColumn, DaysColumn, LabelColumn };
constexpr size_t ColumnCount = 7;
constexpr std::array<std::string_view, ColumnCount> ColumnNames = {"person", "census", "event", "years",
                                                                   "months", "days",   "label"};

// The column a header name stands for; ColumnCount for none.
size_t columnOf(std::string_view name) {
    for (size_t k = 0; k < ColumnCount; ++k)
        if (equalsIgnoringCase(name, ColumnNames[k])) return k;
    if (equalsIgnoringCase(name, "name")) return PersonColumn;
    if (equalsIgnoringCase(name, "source")) return LabelColumn;
    return ColumnCount;
}

// The record's field under a column other than person; null for person.
template <class Record>
auto fieldOf(Record& record, size_t column) -> decltype(&record.census) {
    switch (column) {
    case CensusColumn: return &record.census;
    case EventColumn: return &record.event;
    case YearsColumn: return &record.years;
    case MonthsColumn: return &record.months;
    case DaysColumn: return &record.days;
    case LabelColumn: return &record.label;
    default: return nullptr;
    }
}

RecordsFileProblem problem(uint64_t line, std::string reason) { return {line, std::move(reason)}; }

}  // namespace

std::optional<RecordsFileProblem> readRecordsFile(std::string_view text, RecordsFile& file) {
    file = {};
    StringSource source(text);
    CsvReader reader(source);
    CsvReader::Status status = reader.next();
    if (status == CsvReader::Status::End) return problem(1, "the file is empty; a header row naming the columns is required");
    if (status != CsvReader::Status::Record) return problem(reader.line(), "the record is too long (is a quote left open?)");

    const size_t headerFields = reader.fieldCount();
    std::vector<size_t> columns(headerFields);
    std::array<bool, ColumnCount> seen{};
    for (size_t i = 0; i < headerFields; ++i) {
        const std::string_view name = trimBlanks(reader.field(i));
        const size_t column = columnOf(name);
        if (column == ColumnCount) {
            if (name.empty()) return problem(1, "column " + std::to_string(i + 1) + " has no name");
            return problem(1, "the column '" + std::string(name) +
                                  "' is not one of person, census, event, years, months, days, label");
        }
        if (seen[column]) return problem(1, "two columns stand for " + std::string(ColumnNames[column]));
        seen[column] = true;
        columns[i] = column;
    }
    if (!seen[EventColumn] && !seen[CensusColumn])
        return problem(1, "the header names neither an event nor a census column");
    if (!seen[YearsColumn] && !seen[MonthsColumn] && !seen[DaysColumn])
        return problem(1, "the header names no age column (years, months or days)");

    for (;;) {
        status = reader.next();
        if (status == CsvReader::Status::End) break;
        if (status != CsvReader::Status::Record)
            return problem(reader.line(), "the record is too long (is a quote left open?)");
        const uint64_t line = reader.line();
        if (reader.blankLine() && headerFields > 1) continue;
        if (reader.unterminatedQuote()) return problem(line, "a quoted field is not closed before the end of the file");
        if (reader.fieldCount() != headerFields)
            return problem(line, std::to_string(reader.fieldCount()) +
                                     (reader.fieldCount() == 1 ? " field" : " fields") + " where the header has " +
                                     std::to_string(headerFields));
        if (file.records.size() == MaxRecordsInFile)
            return problem(line, "more than " + std::to_string(MaxRecordsInFile) + " records");
        PersonRecord record;
        for (size_t i = 0; i < headerFields; ++i) {
            const std::string_view value = trimBlanks(reader.field(i));
            if (columns[i] != PersonColumn) {
                fieldOf(record, columns[i])->assign(value);
                continue;
            }
            // Rows of nobody, or of someone else, would be left out of the
            // people file's answer: the window would answer differently.
            if (value.empty()) return problem(line, "the record names no person");
            if (file.records.empty()) {
                file.person.assign(value);
            } else if (value != file.person) {
                return problem(line, "a record of '" + std::string(value) + "' in a file of '" + file.person +
                                         "'; the records window holds one person's records");
            }
        }
        file.records.push_back(std::move(record));
    }
    return std::nullopt;
}

std::string recordsFileText(const RecordsFile& file) {
    StringSink sink;
    {
        CsvWriter writer(sink, "\r\n");
        for (std::string_view name : ColumnNames) writer.field(name);
        writer.endRecord();
        for (const PersonRecord& record : file.records) {
            writer.field(file.person);
            for (size_t k = CensusColumn; k < ColumnCount; ++k) writer.field(*fieldOf(record, k));
            writer.endRecord();
        }
        writer.flush();
    }
    return sink.text;
}

std::string recordsFileProblemText(const RecordsFileProblem& p) { return "line " + std::to_string(p.line) + ": " + p.reason; }

}  // namespace quillark
