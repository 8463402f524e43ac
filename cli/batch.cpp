#include "batch.h"

#include <array>
#include <string_view>
#include <vector>

#include "date_text.h"
#include "session.h"
#include "shown_texts.h"

namespace quillark {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

void passThrough(const CsvReader& reader, CsvWriter& writer) {
    for (size_t i = 0; i < reader.fieldCount(); ++i) writer.field(reader.field(i));
}

}  // namespace

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
    for (size_t i = 0; i < headerFields; ++i) {
        const std::string_view name = trimBlanks(reader.field(i));
        for (size_t k = 0; k < FieldKeys.size(); ++k) {
            if (column[k] < 0 && equalsIgnoringCase(name, FieldKeys[k])) {
                column[k] = static_cast<int>(i);
                engineField[i] = static_cast<int>(k);
                break;
            }
        }
        writer.field(reader.field(i));
    }
    // A fact whose column is absent would be calculated and then lost
    // without a word; such columns are added after the input's own.
    std::vector<size_t> addedColumns;  // 0..4
    for (size_t k = 0; k < column.size(); ++k) {
        if (column[k] < 0) {
            addedColumns.push_back(k);
            writer.field(FieldKeys[k]);
        }
    }
    writer.field("status");
    writer.endRecord();

    Session session;
    SessionInput input;
    input.abbreviated = options.abbreviated;
    input.weekDay = options.weekDay;
    std::string rowStatus;

    for (;;) {
        status = reader.next();
        if (status == CsvReader::Status::End) break;
        if (status != CsvReader::Status::Record) return inputError(status);
        // Blank lines between rows carry nothing; with a single column a
        // blank line is a row whose one field is empty.
        if (reader.blankLine() && headerFields > 1) continue;

        ++result.rows;
        if (reader.unterminatedQuote()) {
            passThrough(reader, writer);
            rowStatus.assign("Row error: a quoted field is not closed before the end of the input");
            ++result.failedRows;
        } else if (reader.fieldCount() != headerFields) {
            passThrough(reader, writer);
            rowStatus = rowShapeStatus(reader.fieldCount(), headerFields);
            ++result.failedRows;
        } else {
            for (size_t k = 0; k < column.size(); ++k) {
                input.fields[k] = column[k] >= 0 ? reader.field(static_cast<size_t>(column[k]))
                                                 : std::string_view();
            }
            const SessionResult& answer = session.run(input);
            if (answer.outcome == SessionOutcome::Ok) {
                for (size_t i = 0; i < headerFields; ++i) {
                    const int k = engineField[i];
                    writer.field(k >= 0 ? trimBlanks(answer.fields[static_cast<size_t>(k)])
                                        : reader.field(i));
                }
                for (size_t k : addedColumns) writer.field(trimBlanks(answer.fields[k]));
                rowStatus.assign("ok");
            } else {
                // The row stays as it came; the added columns stay empty.
                passThrough(reader, writer);
                for (size_t n = 0; n < addedColumns.size(); ++n) writer.field("");
                rowStatus.assign(answer.caption).append(": ").append(answer.text);
                ++result.failedRows;
            }
        }
        writer.field(rowStatus);
        writer.endRecord();

        if (writer.failed()) break;
        if (options.progress && result.rows % options.progressEvery == 0) options.progress(result.rows);
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
