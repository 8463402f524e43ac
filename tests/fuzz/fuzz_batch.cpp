// The CSV reader and the batch on arbitrary bytes: the output always reads
// back as CSV with the header's width (or a row error with the extra fields
// after it), its rows and errors are those the result counts, and any record
// written and read again gives back its exact fields.
#include <string>
#include <vector>

#include "batch.h"
#include "csv.h"
#include "fuzz_support.h"

namespace {

using quillark::CsvReader;

std::vector<std::vector<std::string>> readAll(std::string_view text, size_t chunk, bool& complete) {
    quillark::StringSource source(text, chunk);
    CsvReader reader(source);
    std::vector<std::vector<std::string>> records;
    CsvReader::Status status;
    while ((status = reader.next()) == CsvReader::Status::Record) {
        if (reader.blankLine()) continue;
        std::vector<std::string>& fields = records.emplace_back();
        for (size_t i = 0; i < reader.fieldCount(); ++i) fields.emplace_back(reader.field(i));
    }
    complete = status == CsvReader::Status::End;
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the options and how the input arrives in pieces.
    quillark::BatchOptions options;
    options.abbreviated = data[0] & 1;
    options.weekDay = data[0] & 2;
    options.maxRecordBytes = data[0] & 4 ? 64 : CsvReader::DefaultMaxRecordBytes;
    const size_t chunk = data[0] >> 3;  // 0: all at once
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

    quillark::StringSource source(input, chunk);
    quillark::StringSink sink;
    const quillark::BatchResult result = quillark::runBatch(source, sink, options);
    FUZZ_CHECK(result.failedRows <= result.rows, "%llu failed of %llu", (unsigned long long)result.failedRows,
               (unsigned long long)result.rows);

    bool complete = false;
    const auto output = readAll(sink.text, 0, complete);
    FUZZ_CHECK(complete, "the output does not read back as CSV");
    if (result.status == quillark::BatchStatus::AllOk || result.status == quillark::BatchStatus::RowErrors) {
        FUZZ_CHECK(!output.empty(), "no header written");
        const size_t width = output[0].size();
        FUZZ_CHECK(output[0].back() == "status", "last header column [%s]", output[0].back().c_str());
        FUZZ_CHECK(output.size() - 1 == result.rows, "%zu rows written, %llu counted", output.size() - 1,
                   (unsigned long long)result.rows);
        uint64_t failed = 0;
        for (size_t r = 1; r < output.size(); ++r) {
            const std::vector<std::string>& row = output[r];
            FUZZ_CHECK(row.size() >= width, "row %zu has %zu fields for %zu columns", r, row.size(), width);
            const std::string& status = row[width - 1];
            if (status != "ok") ++failed;
            FUZZ_CHECK(row.size() == width || status.rfind("Row error: ", 0) == 0,
                       "row %zu: %zu fields with status [%s]", r, row.size(), status.c_str());
        }
        FUZZ_CHECK(failed == result.failedRows, "%llu rows with errors, %llu counted", (unsigned long long)failed,
                   (unsigned long long)result.failedRows);
        FUZZ_CHECK((failed == 0) == (result.status == quillark::BatchStatus::AllOk), "status and errors disagree");
    }

    // Writing and reading back any record keeps its exact fields.
    bool inputComplete = false;
    const auto records = readAll(input, chunk, inputComplete);
    quillark::StringSink written;
    {
        quillark::CsvWriter writer(written, data[0] & 8 ? "\r\n" : "\n");
        for (const auto& record : records) {
            for (const std::string& field : record) writer.field(field);
            writer.endRecord();
        }
    }
    bool writtenComplete = false;
    const auto again = readAll(written.text, 0, writtenComplete);
    FUZZ_CHECK(writtenComplete && again == records, "%zu records written, %zu read back", records.size(),
               again.size());
    return 0;
}
