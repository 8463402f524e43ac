// Batch mode: CSV in, one calculation per row, CSV out.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "batch.h"
#include "csv.h"
#include "date_text.h"
#include "render.h"
#include "research.h"

namespace {

using quillark::BatchOptions;
using quillark::BatchResult;
using quillark::BatchStatus;

struct BatchRun {
    BatchResult result;
    std::string output;
};

BatchRun runText(std::string_view input, const BatchOptions& options = {}, size_t chunk = 0) {
    quillark::StringSource source(input, chunk);
    quillark::StringSink sink;
    BatchRun run;
    run.result = quillark::runBatch(source, sink, options);
    run.output = sink.text;
    return run;
}

std::string visible(std::string_view text) {
    std::string shown;
    for (char c : text) {
        if (c == '\n') shown += "\\n";
        else if (c == '\r') shown += "\\r";
        else shown += c;
    }
    return "\"" + shown + "\"";
}

struct BatchCase {
    const char* name;
    std::string_view input;
    std::string_view expected;
    BatchStatus status;
    uint64_t rows;
    uint64_t failedRows;
    bool abbreviated = false;
    bool weekDay = false;
};

const BatchCase BatchCases[] = {
    {"typical request",
     "event,years,months,days,birth\n\"Dec 7, 1941\",40,,,\n",
     "event,years,months,days,birth,status\n12/07/1941,40,,,1901 or 1900,ok\n",
     BatchStatus::AllOk, 1, 0},
    {"quoted fields with commas and doubled quotes",
     "name,event,years,months,days,birth\n\"Smith, \"\"Jack\"\"\",\"Dec 7, 1941\",40,0,,\n",
     "name,event,years,months,days,birth,status\n\"Smith, \"\"Jack\"\"\",12/07/1941,40,0,,12/07/1901,ok\n",
     BatchStatus::AllOk, 1, 0},
    {"embedded line breaks in a passed-through column",
     "note,event,years,months,days,birth\n\"line one\nline two\",05/10/1900,50,,,\n",
     "note,event,years,months,days,birth,status\n\"line one\nline two\",05/10/1900,50,,,1850 or 1849,ok\n",
     BatchStatus::AllOk, 1, 0},
    {"computed age keeps no leading blank",
     "event,years,months,days,birth\n01/30/1900,,,,12/31/1850\n",
     "event,years,months,days,birth,status\n01/30/1900,49,0,30,12/31/1850,ok\n",
     BatchStatus::AllOk, 1, 0},
    {"missing columns read as empty and are added for the answer",
     "event,years\n05/10/1900,20-30\n",
     "event,years,months,days,birth,status\n05/10/1900,20-30,,,1869 to 1880,ok\n",
     BatchStatus::AllOk, 1, 0},
    {"extra columns pass through in place",
     "id,event,parish,years,months,days,birth,notes\n7,\"Dec 7, 1941\",St Mary,40,6,,,ok?\n",
     "id,event,parish,years,months,days,birth,notes,status\n7,12/07/1941,St Mary,40,6,,06/07/1901,ok?,ok\n",
     BatchStatus::AllOk, 1, 0},
    {"column names ignore case and surrounding blanks",
     " EVENT ,Years,Birth\n1900,60+,\n",
     " EVENT ,Years,Birth,months,days,status\n1900,60+,1840 or before,,,ok\n",
     BatchStatus::AllOk, 1, 0},
    {"short row is reported with its status in the status column",
     "event,years,months,days,birth\n05/10/1900,50\n1900,60+,,,\n",
     "event,years,months,days,birth,status\n05/10/1900,50,,,,Row error: 2 fields where the header has 5\n"
     "1900,60+,,,1840 or before,ok\n",
     BatchStatus::RowErrors, 2, 1},
    {"long row keeps its extra fields after the status",
     "event,years\n05/10/1900,50,x,\"y,z\"\n",
     "event,years,months,days,birth,status\n05/10/1900,50,,,,Row error: 4 fields where the header has 2,x,\"y,z\"\n",
     BatchStatus::RowErrors, 1, 1},
    {"short row with an open quote keeps the status column",
     "id,event,years,months,days,birth,note\n1,1900,\"60+\n",
     "id,event,years,months,days,birth,note,status\n1,1900,\"60+\n\",,,,,"
     "Row error: a quoted field is not closed before the end of the input\n",
     BatchStatus::RowErrors, 1, 1},
    {"an age beyond the years shown is a row error",
     "event,years\n12/07/1941,99999999999\n",
     "event,years,months,days,birth,status\n12/07/1941,99999999999,,,,"
     "Data error: The age puts the date outside the years 1 to 9999\n",
     BatchStatus::RowErrors, 1, 1},
    {"header only",
     "event,years,months,days,birth\n",
     "event,years,months,days,birth,status\n",
     BatchStatus::AllOk, 0, 0},
    {"header without line end",
     "event,years,months,days,birth",
     "event,years,months,days,birth,status\n",
     BatchStatus::AllOk, 0, 0},
    {"byte-order mark dropped and header still found",
     "\xEF\xBB\xBF" "event,years,months,days,birth\n1900,-5,,,\n",
     "event,years,months,days,birth,status\n1900,-5,,,1894 to 1900,ok\n",
     BatchStatus::AllOk, 1, 0},
    {"CRLF input gives CRLF output",
     "event,years,months,days,birth\r\n05/10/1900,50,,,\r\n,30,,,06/15/1850\r\n",
     "event,years,months,days,birth,status\r\n05/10/1900,50,,,1850 or 1849,ok\r\n"
     "1880 or 1881,30,,,06/15/1850,ok\r\n",
     BatchStatus::AllOk, 2, 0},
    {"illegal date row stays as it came, the next row goes on",
     "event,years,months,days,birth\n13/07/1941,40,,,\n\"Dec 7, 1941\",40,,,\n",
     "event,years,months,days,birth,status\n13/07/1941,40,,,,Illegal Date: Check on months\n"
     "12/07/1941,40,,,1901 or 1900,ok\n",
     BatchStatus::RowErrors, 2, 1},
    {"a failing birth leaves the row as typed, event included",
     "event,years,months,days,birth\n\"Dec 7, 1941\",,,,12/7/41\n",
     "event,years,months,days,birth,status\n\"Dec 7, 1941\",,,,12/7/41,Illegal Date: Check on 4 digit year\n",
     BatchStatus::RowErrors, 1, 1},
    {"calculation errors in the status",
     "event,years,months,days,birth\n05/10/1850,,,,05/11/1850\n12/07/1941,,,,\n",
     "event,years,months,days,birth,status\n05/10/1850,,,,05/11/1850,Data Error: Event date before birth date\n"
     "12/07/1941,,,,,Data error: Must specify two of the three data parts\n",
     BatchStatus::RowErrors, 2, 2},
    {"error row with an added column keeps the status last",
     "event,years\n13/07/1941,40\n",
     "event,years,months,days,birth,status\n13/07/1941,40,,,,Illegal Date: Check on months\n",
     BatchStatus::RowErrors, 1, 1},
    {"header naming none of the columns",
     "a,b\n1,2\n",
     "a,b,event,years,months,days,birth,status\n1,2,,,,,,Data error: Must specify two of the three data parts\n",
     BatchStatus::RowErrors, 1, 1},
    {"first of two same-named columns is used",
     "event,years,event,months,days,birth\n1900,60+,keep me,,,\n",
     "event,years,event,months,days,birth,status\n1900,60+,keep me,,,1840 or before,ok\n",
     BatchStatus::AllOk, 1, 0},
    {"blank lines between rows are skipped",
     "event,years,months,days,birth\n\n1900,60+,,,\n\n",
     "event,years,months,days,birth,status\n1900,60+,,,1840 or before,ok\n",
     BatchStatus::AllOk, 1, 0},
    {"single column: a blank line is a row",
     "event\n\n",
     "event,years,months,days,birth,status\n,,,,,Data error: Must specify two of the three data parts\n",
     BatchStatus::RowErrors, 1, 1},
    {"quote left open to the end of the input",
     "event,years,months,days,birth\n1900,60+,,,\"open\n",
     "event,years,months,days,birth,status\n1900,60+,,,\"open\n\","
     "Row error: a quoted field is not closed before the end of the input\n",
     BatchStatus::RowErrors, 1, 1},
    {"display options apply to every row",
     "event,years,months,days,birth\n12/07/1941,40,0,,\n",
     "event,years,months,days,birth,status\n\"Dec 7, 1941  [Su]\",40,0,,\"Dec 7, 1901  [Sa]\",ok\n",
     BatchStatus::AllOk, 1, 0, true, true},
};

TEST(Batch, LabelledCases) {
    for (const BatchCase& c : BatchCases) {
        BatchOptions options;
        options.abbreviated = c.abbreviated;
        options.weekDay = c.weekDay;
        for (size_t chunk : {size_t{0}, size_t{1}, size_t{3}}) {
            const BatchRun run = runText(c.input, options, chunk);
            EXPECT_EQ(run.output, c.expected) << c.name << " (chunk " << chunk << "): expected "
                                              << visible(c.expected) << ", got " << visible(run.output);
            EXPECT_EQ(static_cast<int>(run.result.status), static_cast<int>(c.status))
                << c.name << ": expected status " << static_cast<int>(c.status) << ", got "
                << static_cast<int>(run.result.status) << " " << run.result.message;
            EXPECT_EQ(run.result.rows, c.rows) << c.name;
            EXPECT_EQ(run.result.failedRows, c.failedRows) << c.name;
        }
    }
}

TEST(Batch, EmptyInputNeedsAHeader) {
    for (std::string_view input : {std::string_view(""), std::string_view("\xEF\xBB\xBF")}) {
        const BatchRun run = runText(input);
        EXPECT_EQ(run.result.status, BatchStatus::InputError) << visible(input);
        EXPECT_NE(run.result.message.find("header row"), std::string::npos) << run.result.message;
        EXPECT_EQ(run.output, "");
    }
}

TEST(Batch, OverlongRecordStopsWithItsLine) {
    std::string input = "event,years,months,days,birth\n1900,60+,,,\n\"";
    input.append(3000, 'x');
    BatchOptions options;
    options.maxRecordBytes = 1000;
    const BatchRun run = runText(input, options);
    EXPECT_EQ(run.result.status, BatchStatus::InputError);
    EXPECT_NE(run.result.message.find("line 3"), std::string::npos)
        << "expected the message to name line 3, got " << run.result.message;
    // What was done before the bad record is not lost.
    EXPECT_EQ(run.output.substr(0, run.output.find('\n', run.output.find('\n') + 1) + 1),
              "event,years,months,days,birth,status\n1900,60+,,,1840 or before,ok\n");
}

TEST(Batch, ReadFailureIsAnInputError) {
    struct BrokenPipe final : quillark::ByteSource {
        int calls = 0;
        size_t read(char* buffer, size_t size) override {
            if (calls++ > 0 || size < 6) return 0;
            std::memcpy(buffer, "event\n", 6);
            return 6;
        }
        bool failed() const override { return calls > 1; }
    } source;
    quillark::StringSink sink;
    const BatchResult result = quillark::runBatch(source, sink, {});
    EXPECT_EQ(result.status, BatchStatus::InputError);
}

TEST(Batch, WriteFailureIsAnOutputError) {
    struct FullDisk final : quillark::ByteSink {
        bool write(const char*, size_t) override { return false; }
    } sink;
    quillark::StringSource source("event,years,months,days,birth\n1900,60+,,,\n");
    const BatchResult result = quillark::runBatch(source, sink, {});
    EXPECT_EQ(result.status, BatchStatus::OutputError);
}

// A generated transcription: every row's output must be the single mode's
// answer for that row (trimmed), or the row as it came with the single mode's
// error as its status.
struct GeneratedRow {
    std::string id, note;
    std::array<std::string, 5> fields;
};

std::vector<GeneratedRow> generateRows(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    auto pick = [&](std::initializer_list<const char*> options) {
        return std::string(*(options.begin() + random() % options.size()));
    };
    auto number = [&](int low, int high) { return std::to_string(low + static_cast<int>(random() % (high - low + 1))); };
    auto date = [&]() -> std::string {
        const std::string year = number(1600, 2100);
        switch (random() % 8) {
        case 0: return year;
        case 1: return number(1, 12) + "/" + year;
        case 2: return pick({"Jan", "Feb", "Mar", "Dec", "ma", "JU"}) + " " + number(1, 28) + ", " + year;
        case 3: return number(1, 13) + "/" + number(0, 31) + "/" + year;  // some illegal
        case 4: return number(1, 12) + "-" + number(1, 28) + "-" + year.substr(2);  // two-digit year
        default: return number(1, 12) + "/" + number(1, 28) + "/" + year;
        }
    };
    std::vector<GeneratedRow> rows(count);
    for (size_t i = 0; i < count; ++i) {
        GeneratedRow& row = rows[i];
        row.id = std::to_string(i + 1);
        row.note = pick({"", "buried", "aged \"about\" 40", "St Mary, Oxford", "line\nbreak"});
        const unsigned shape = random() % 10;
        const bool hasEvent = shape != 0 && shape != 1;
        const bool hasBirth = shape <= 2 || shape == 9;
        const bool hasAge = shape != 2;
        if (hasEvent) row.fields[0] = date();
        if (hasBirth) row.fields[4] = date();
        if (hasAge) {
            row.fields[1] = pick({"30", "20-30", "-5", "60+", "0-0", "2.5", "", "45"});
            if (random() % 3 == 0) row.fields[2] = number(0, 14);
            if (random() % 4 == 0) row.fields[3] = number(0, 40);
        }
    }
    return rows;
}

TEST(Batch, FiftyThousandGeneratedRowsMatchTheSingleMode) {
    const std::vector<GeneratedRow> rows = generateRows(50000, 4711);
    quillark::StringSink inputSink;
    {
        quillark::CsvWriter writer(inputSink);
        for (const char* name : {"id", "event", "years", "months", "days", "birth", "note"}) writer.field(name);
        writer.endRecord();
        for (const GeneratedRow& row : rows) {
            writer.field(row.id);
            for (const std::string& f : row.fields) writer.field(f);
            writer.field(row.note);
            writer.endRecord();
        }
    }

    std::vector<uint64_t> progressCalls;
    BatchOptions options;
    options.progressEvery = 10000;
    options.progress = [&](uint64_t done) { progressCalls.push_back(done); };
    const BatchRun run = runText(inputSink.text, options);
    EXPECT_EQ(run.result.rows, rows.size());
    EXPECT_EQ(progressCalls, (std::vector<uint64_t>{10000, 20000, 30000, 40000, 50000}));

    quillark::StringSource outputSource(run.output);
    quillark::CsvReader reader(outputSource);
    ASSERT_EQ(reader.next(), quillark::CsvReader::Status::Record);
    ASSERT_EQ(reader.fieldCount(), 8u);

    quillark::ResearchPipeline pipeline;
    uint64_t failed = 0, ok = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const GeneratedRow& row = rows[i];
        ASSERT_EQ(reader.next(), quillark::CsvReader::Status::Record) << "row " << row.id;
        ASSERT_EQ(reader.fieldCount(), 8u) << "row " << row.id;
        quillark::ResearchRequest request;
        for (size_t k = 0; k < 5; ++k) request.fields[k] = row.fields[k];
        const quillark::ResearchAnswer& answer = pipeline.answer(request);
        const bool good = answer.outcome == quillark::ResearchOutcome::Ok;
        good ? ++ok : ++failed;
        EXPECT_EQ(reader.field(0), row.id);
        for (size_t k = 0; k < 5; ++k) {
            const std::string expected(good ? trimBlanks(answer.shown(static_cast<Field>(k)))
                                            : std::string_view(row.fields[k]));
            EXPECT_EQ(reader.field(k + 1), expected)
                << "row " << row.id << " column " << k + 1 << ": expected " << visible(expected) << ", got "
                << visible(reader.field(k + 1));
        }
        EXPECT_EQ(reader.field(6), row.note) << "row " << row.id;
        const std::string status = good ? std::string("ok") : quillark::failureText(answer);
        EXPECT_EQ(reader.field(7), status) << "row " << row.id << ": expected " << status << ", got "
                                           << reader.field(7);
        if (::testing::Test::HasFailure()) break;  // one broken row is enough to read
    }
    EXPECT_EQ(reader.next(), quillark::CsvReader::Status::End);
    EXPECT_EQ(run.result.failedRows, failed);
    // The generator must exercise both sides.
    EXPECT_GT(ok, rows.size() / 4);
    EXPECT_GT(failed, rows.size() / 20);
}

}  // namespace

namespace {

// Through the batch: rows of one person anywhere in the file, line numbers
// as the file counts them, and the main output unchanged.
TEST(PeopleBatch, PeopleFileFromRows) {
    const std::string input =
        "id,note,census,event,years\n"
        "ann,,EW1841,,30\n"                            // line 2
        "tom,\"two\nlines\",EW1841,,35\n"              // lines 3-4
        "ann,,EW1851,,39\n"                            // line 5
        "tom,,EW1851,,20\n"                            // line 6: tom is 47 in 1851 in truth
        "ann,,EW1861,,50\n"                            // line 7
        "tom,,EW1861,,57\n"                            // line 8
        "tom,,EW1871,,67\n"                            // line 9
        "kit,,EW1861,,0\n"                             // line 10: a single record
        "ann,,,31/31/1870,58\n"                        // line 11: no such date
        ",,EW1861,,5\n";                               // line 12: no one
    quillark::PeopleTable people;
    quillark::BatchOptions options;
    options.personColumn = " ID ";
    options.people = &people;
    quillark::StringSource source(input);
    quillark::StringSink out;
    const quillark::BatchResult result = quillark::runBatch(source, out, options);
    EXPECT_EQ(result.rows, 10u);
    EXPECT_EQ(result.failedRows, 1u);
    quillark::StringSink peopleOut;
    ASSERT_TRUE(quillark::writePeople(people, peopleOut, "id"));
    EXPECT_EQ(peopleOut.text,
              "id,records,birth_earliest,birth_latest,status,conflict_lines,outlier_line,without_outlier_earliest,"
              "without_outlier_latest\n"
              "ann,3,1811-03-31,1811-04-07,ok,,,,\n"
              "tom,4,,,conflict,6 9,6,1803-04-08,1804-04-02\n"
              "kit,1,1860-04-08,1861-04-07,ok,,,,\n");
    // The main output is row for row what it is without people.
    quillark::StringSource again(input);
    quillark::StringSink plain;
    quillark::runBatch(again, plain, {});
    EXPECT_EQ(out.text, plain.text);
}

TEST(PeopleBatch, MissingPersonColumnStopsBeforeAnyRow) {
    quillark::PeopleTable people;
    quillark::BatchOptions options;
    options.personColumn = "name";
    options.people = &people;
    quillark::StringSource source("id,event,years\nann,1841,30\n");
    quillark::StringSink out;
    const quillark::BatchResult result = quillark::runBatch(source, out, options);
    EXPECT_EQ(result.status, quillark::BatchStatus::InputError);
    EXPECT_EQ(result.message, "the header has no column 'name' to tell the people apart");
    EXPECT_EQ(people.size(), 0u);
}

}  // namespace

namespace {

// The census column of the batch: the day becomes the event date, the years
// stay as written, and what goes wrong says so in the row's status.
TEST(CensusBatch, CensusColumn) {
    const struct {
        const char* name;
        const char* row;       // census,event,years,months
        const char* expected;  // census,event,years,months,days,birth,warnings,status
    } cases[] = {
        {"the day becomes the event date", "EW1851,,39,", "EW1851,03/30/1851,39,,,1812 or 1811,,ok"},
        {"1841 ages stand for five years", "ew1841,,30,", "ew1841,06/06/1841,30,,,1806 to 1811,,ok"},
        {"an unrounded 1841 age warns", "EW1841,,33,",
         "EW1841,06/06/1841,33,,,1803 to 1808,EW1841 wrote ages of 15 and over rounded down to a multiple of 5; "
         "33 is not one and is read as 33 to 37,ok"},
        {"1841 children are exact", "EW1841,,7,", "EW1841,06/06/1841,7,,,1834 or 1833,,ok"},
        {"a month of the census year agrees", "US1890,06/1890,40,", "US1890,06/02/1890,40,,,1850 or 1849,,ok"},
        {"an infant's age in twelfths is months", "EW1841,,3/12,", "EW1841,06/06/1841,0,3,,03/06/1841,,ok"},
        {"years and twelfths", "US1880,,1 3/12,", "US1880,06/01/1880,1,3,,03/01/1879,,ok"},
        {"a GEDCOM age is read before the rule", "EW1841,,40y,", "EW1841,06/06/1841,40,,,1796 to 1801,,ok"},
        {"no census keeps the row as it was", ",12/07/1941,40,", ",12/07/1941,40,,,1901 or 1900,,ok"},
        {"another day is an error", "US1900,06/02/1900,40,",
         "US1900,06/02/1900,40,,,,,Census error: the event date 06/02/1900 is not the census day of US1900 "
         "(06/01/1900)"},
        {"an unknown census is an error", "EW1941,,40,",
         "EW1941,,40,,,,,Census error: no census named 'EW1941' (see --census list)"},
    };
    for (const auto& c : cases) {
        const std::string input = std::string("census,event,years,months\n") + c.row + "\n";
        quillark::StringSource source(input);
        quillark::StringSink sink;
        quillark::runBatch(source, sink, {});
        EXPECT_EQ(sink.text, std::string("census,event,years,months,days,birth,warnings,status\n") + c.expected +
                                 "\n")
            << c.name;
    }
}

}  // namespace
