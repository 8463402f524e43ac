// The streaming CSV reader and writer.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "csv.h"

namespace {

using quillark::CsvReader;
using quillark::CsvWriter;
using quillark::StringSink;
using quillark::StringSource;
using Records = std::vector<std::vector<std::string>>;
using namespace std::literals;

std::string show(const Records& records) {
    std::string text = "[";
    for (const auto& record : records) {
        text += "[";
        for (size_t i = 0; i < record.size(); ++i) {
            if (i > 0) text += ", ";
            text += "\"";
            for (char c : record[i]) {
                if (c == '\n') text += "\\n";
                else if (c == '\r') text += "\\r";
                else text += c;
            }
            text += "\"";
        }
        text += "]";
    }
    return text + "]";
}

struct ReadResult {
    Records records;
    std::vector<bool> crlf;
    std::vector<bool> blank;
    std::vector<bool> unterminated;
    std::vector<uint64_t> lines;
    CsvReader::Status last = CsvReader::Status::End;
};

ReadResult readAll(std::string_view text, size_t chunk, size_t maxRecord = CsvReader::DefaultMaxRecordBytes) {
    StringSource source(text, chunk);
    CsvReader reader(source, maxRecord);
    ReadResult result;
    for (;;) {
        result.last = reader.next();
        if (result.last != CsvReader::Status::Record) break;
        std::vector<std::string> record;
        for (size_t i = 0; i < reader.fieldCount(); ++i) record.emplace_back(reader.field(i));
        result.records.push_back(record);
        result.crlf.push_back(reader.endedWithCrLf());
        result.blank.push_back(reader.blankLine());
        result.unterminated.push_back(reader.unterminatedQuote());
        result.lines.push_back(reader.line());
    }
    return result;
}

struct ReaderCase {
    const char* name;
    std::string_view input;
    Records expected;
};

const ReaderCase ReaderCases[] = {
    {"plain fields, LF", "a,b,c\n1,2,3\n", {{"a", "b", "c"}, {"1", "2", "3"}}},
    {"CRLF line ends", "a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}},
    {"lone CR line ends", "a,b\r1,2\r", {{"a", "b"}, {"1", "2"}}},
    {"no line end after the last record", "a,b\n1,2", {{"a", "b"}, {"1", "2"}}},
    {"empty fields", ",a,,\n", {{"", "a", "", ""}}},
    {"quoted comma", "\"Smith, John\",2\n", {{"Smith, John", "2"}}},
    {"doubled quotes", "\"say \"\"hi\"\"\",x\n", {{"say \"hi\"", "x"}}},
    {"quoted LF", "\"two\nlines\",x\n", {{"two\nlines", "x"}}},
    {"quoted CRLF kept as it is", "\"two\r\nlines\",x\r\n", {{"two\r\nlines", "x"}}},
    {"quoted empty field", "\"\",x\n", {{"", "x"}}},
    {"quote inside an unquoted field is text", "ab\"c,d\n", {{"ab\"c", "d"}}},
    {"text after a closing quote is kept", "\"ab\"cd,e\n", {{"abcd", "e"}}},
    {"byte-order mark ignored", "\xEF\xBB\xBF" "event,years\n1900,5\n", {{"event", "years"}, {"1900", "5"}}},
    {"byte-order mark only at the start", "a\n\xEF\xBB\xBF" "b\n", {{"a"}, {"\xEF\xBB\xBF" "b"}}},
    {"blank line is a record of one empty field", "a,b\n\n1,2\n", {{"a", "b"}, {""}, {"1", "2"}}},
    {"blank CRLF line", "a\r\n\r\nb\r\n", {{"a"}, {""}, {"b"}}},
    {"empty input", "", {}},
    {"only a byte-order mark", "\xEF\xBB\xBF", {}},
    {"spaces are data", " a , b \n", {{" a ", " b "}}},
    {"bytes above 127 pass", "\xE9t\xE9,\xFF\n", {{"\xE9t\xE9", "\xFF"}}},
    {"trailing comma gives an empty last field", "a,\n", {{"a", ""}}},
    {"quoted fields among plain ones", "\"a,b\",c,\"\",\"d\"\r\ne\n", {{"a,b", "c", "", "d"}, {"e"}}},
    {"quoted field last, no line end", "a,\"b,c\"", {{"a", "b,c"}}},
    {"quoted lone CR is text", "\"a\rb\",c\r", {{"a\rb", "c"}}},
    {"doubled quote after a quoted comma", "\"a,\"\"b\",c\n", {{"a,\"b", "c"}}},
    {"tab and NUL are text", "a\tb,c\0d\n"sv, {{"a\tb", "c\0d"s}}},
};

TEST(CsvReader, LabelledCasesAtEveryChunking) {
    for (const ReaderCase& c : ReaderCases) {
        for (size_t chunk : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{5}}) {
            const ReadResult result = readAll(c.input, chunk);
            EXPECT_EQ(result.last, CsvReader::Status::End) << c.name << " chunk " << chunk;
            EXPECT_EQ(result.records, c.expected)
                << c.name << " (chunk " << chunk << "): expected " << show(c.expected) << ", got "
                << show(result.records);
        }
    }
}

TEST(CsvReader, ReportsLineEndsBlankLinesAndLineNumbers) {
    for (size_t chunk : {size_t{0}, size_t{1}}) {
        const ReadResult result = readAll("a,b\r\n\"x\ny\",2\n\n3,4\r5,6", chunk);
        ASSERT_EQ(result.records.size(), 5u) << show(result.records);
        EXPECT_EQ(result.crlf, (std::vector<bool>{true, false, false, false, false})) << "chunk " << chunk;
        EXPECT_EQ(result.blank, (std::vector<bool>{false, false, true, false, false})) << "chunk " << chunk;
        EXPECT_EQ(result.lines, (std::vector<uint64_t>{1, 2, 4, 5, 6})) << "chunk " << chunk;
    }
}

TEST(CsvReader, QuotedEmptyFieldIsNotABlankLine) {
    const ReadResult result = readAll("\"\"\n", 1);
    ASSERT_EQ(result.records.size(), 1u);
    EXPECT_FALSE(result.blank[0]);
}

TEST(CsvReader, UnterminatedQuoteAtTheEndIsFlagged) {
    const ReadResult result = readAll("a,b\n1,\"open\n2,3\n", 0);
    ASSERT_EQ(result.records.size(), 2u) << show(result.records);
    EXPECT_FALSE(result.unterminated[0]);
    EXPECT_TRUE(result.unterminated[1]);
    EXPECT_EQ(result.records[1], (std::vector<std::string>{"1", "open\n2,3\n"}));
}

TEST(CsvReader, RecordBeyondTheCapStopsTheReader) {
    // A stray quote would otherwise pull the rest of a huge file into memory.
    std::string text = "a,b\n\"";
    text.append(5000, 'x');
    for (size_t chunk : {size_t{0}, size_t{7}}) {
        const ReadResult result = readAll(text, chunk, 1000);
        EXPECT_EQ(result.last, CsvReader::Status::RecordTooLong) << "chunk " << chunk;
        EXPECT_EQ(result.records.size(), 1u);
    }
    // Many empty fields count too, not only field bytes.
    const ReadResult commas = readAll(std::string(5000, ','), 0, 1000);
    EXPECT_EQ(commas.last, CsvReader::Status::RecordTooLong);
    // Just under the cap is fine.
    const ReadResult fits = readAll(std::string(999, 'y') + "\n", 0, 1000);
    EXPECT_EQ(fits.last, CsvReader::Status::End);
    EXPECT_EQ(fits.records.size(), 1u);
}

// The cap counts field bytes and commas, whether the record arrives in one
// read or in many.
TEST(CsvReader, CapIsTheSameAtEveryChunking) {
    const std::string over = std::string(1001, 'z') + "\n";
    const std::string full = std::string(1000, 'z') + "\n";
    const std::string quoted = "\"" + std::string(998, 'q') + "\",\n";   // 998 bytes, a comma, an empty field
    for (size_t chunk : {size_t{0}, size_t{1}, size_t{7}, size_t{64}}) {
        EXPECT_EQ(readAll(over, chunk, 1000).last, CsvReader::Status::RecordTooLong) << "chunk " << chunk;
        const ReadResult fits = readAll(full, chunk, 1000);
        EXPECT_EQ(fits.last, CsvReader::Status::End) << "chunk " << chunk;
        EXPECT_EQ(fits.records, (Records{{std::string(1000, 'z')}})) << "chunk " << chunk;
        const ReadResult unquoted = readAll(quoted, chunk, 999);
        EXPECT_EQ(unquoted.last, CsvReader::Status::End) << "chunk " << chunk;
        EXPECT_EQ(unquoted.records, (Records{{std::string(998, 'q'), ""}})) << "chunk " << chunk;
        EXPECT_EQ(readAll(quoted, chunk, 998).last, CsvReader::Status::RecordTooLong) << "chunk " << chunk;
    }
}

// Records are handed out as views of the read buffer until one runs past its
// end, which is copied. Every record here is put across that end at every
// byte, as it comes from a file read in large pieces, or from a pipe in
// smaller ones, the last shorter than those before.
TEST(CsvReader, RecordsAcrossTheEndOfARead) {
    const Records tricky = {{"a,b", "c"}, {"x", "y\"z"}, {"q\nr", "s"}, {"", "", ""}, {"t", "u"}, {"v"}};
    const std::string trickyText = "\"a,b\",c\r\nx,\"y\"\"z\"\r\"q\nr\",s\n,,\r\nt,u\r\nv";
    const std::string filler = "0123456,abcdefg,hij\n";   // 20 bytes
    for (size_t shift = 0; shift < 48; ++shift) {
        std::string text(shift, 'p');
        text += "\n";
        Records expected = {{std::string(shift, 'p')}};
        while (text.size() < (size_t{64} << 10) - 24) {
            text += filler;
            expected.push_back({"0123456", "abcdefg", "hij"});
        }
        text += trickyText;
        expected.insert(expected.end(), tricky.begin(), tricky.end());
        for (size_t chunk : {size_t{0}, size_t{1000}}) {
            const ReadResult result = readAll(text, chunk);
            EXPECT_EQ(result.last, CsvReader::Status::End) << "shift " << shift << " chunk " << chunk;
            ASSERT_EQ(result.records, expected) << "shift " << shift << " chunk " << chunk;
            const size_t n = expected.size();
            EXPECT_EQ(result.crlf[n - 6], true) << "shift " << shift << " chunk " << chunk;
            EXPECT_EQ(result.crlf[n - 5], false) << "shift " << shift << " chunk " << chunk;
            EXPECT_EQ(result.crlf[n - 3], true) << "shift " << shift << " chunk " << chunk;
            EXPECT_EQ(result.lines[n - 1], result.lines[n - 6] + 6) << "shift " << shift << " chunk " << chunk;
        }
    }
}

// A record with more fields than the reader has made room for is copied;
// the next one like it fits.
TEST(CsvReader, WideRecords) {
    std::string line;
    std::vector<std::string> fields;
    for (int i = 0; i < 300; ++i) {
        fields.push_back(std::to_string(i));
        line += (i > 0 ? "," : "") + fields.back();
    }
    const ReadResult result = readAll(line + "\n" + line + "\n" + line, 0);
    EXPECT_EQ(result.records, (Records{fields, fields, fields}));
}

struct WriterCase {
    const char* name;
    std::vector<std::string> fields;
    std::string_view expected;
};

const WriterCase WriterCases[] = {
    {"plain", {"a", "b"}, "a,b\n"},
    {"comma quoted", {"Smith, John", "x"}, "\"Smith, John\",x\n"},
    {"quote doubled", {"say \"hi\""}, "\"say \"\"hi\"\"\"\n"},
    {"LF quoted", {"a\nb", ""}, "\"a\nb\",\n"},
    {"CR quoted", {"a\rb"}, "\"a\rb\"\n"},
    {"spaces unquoted", {" a ", "b "}, " a ,b \n"},
    {"lone empty field quoted so it is not a blank line", {""}, "\"\"\n"},
    {"two empty fields", {"", ""}, ",\n"},
    {"byte-order mark first is quoted so a reader keeps it", {"\xEF\xBB\xBFid", "\xEF\xBB\xBF"},
     "\"\xEF\xBB\xBFid\",\xEF\xBB\xBF\n"},
};

TEST(CsvWriter, LabelledCases) {
    for (const WriterCase& c : WriterCases) {
        StringSink sink;
        {
            CsvWriter writer(sink);
            for (const std::string& f : c.fields) writer.field(f);
            writer.endRecord();
        }
        EXPECT_EQ(sink.text, c.expected) << c.name;
    }
}

// A run of empty fields is written as the same number of field("") calls
// would write it, at the start of a record, after a field, and as a whole one.
TEST(CsvWriter, RunsOfEmptyFieldsMatchSingleEmptyFields) {
    for (size_t before = 0; before <= 2; ++before) {
        for (size_t count = 1; count <= 70000; count = count * 7 + 1) {
            StringSink one, run;
            {
                CsvWriter single(one), batch(run);
                for (size_t i = 0; i < before; ++i) single.field("x"), batch.field("x");
                for (size_t i = 0; i < count; ++i) single.field("");
                batch.emptyFields(count);
                single.field("end"), batch.field("end");
                single.endRecord(), batch.endRecord();
            }
            ASSERT_EQ(run.text, one.text) << before << " fields, then " << count << " empty ones";
        }
    }
}

TEST(CsvWriter, CrLfLineEnd) {
    StringSink sink;
    CsvWriter writer(sink, "\r\n");
    writer.field("a");
    writer.endRecord();
    writer.field("b");
    writer.endRecord();
    ASSERT_TRUE(writer.flush());
    EXPECT_EQ(sink.text, "a\r\nb\r\n");
}

TEST(CsvWriter, FailedSinkIsReported) {
    struct FullDisk final : quillark::ByteSink {
        bool write(const char*, size_t) override { return false; }
    } sink;
    CsvWriter writer(sink);
    writer.field("a");
    writer.endRecord();
    EXPECT_FALSE(writer.flush());
    EXPECT_TRUE(writer.failed());
}

// Short fields are copied and looked over in overlapping pieces: a byte that
// needs quotes is found wherever it lies, and a space or a tab does not quote.
TEST(CsvWriter, EveryBytePositionOfShortFields) {
    for (size_t length = 1; length <= 40; ++length) {
        for (size_t at = 0; at < length; ++at) {
            for (const char c : {',', '"', '\r', '\n', ' ', '\t', '\xE9'}) {
                std::string text(length, 'x');
                text[at] = c;
                StringSink sink;
                {
                    CsvWriter writer(sink);
                    writer.field("id");   // not the first field of the output
                    writer.field(text);
                    writer.endRecord();
                }
                std::string expected = text;
                if (c == ',' || c == '"' || c == '\r' || c == '\n') {
                    expected = "\"" + text + "\"";
                    if (c == '"') expected.insert(at + 1, "\"");
                }
                ASSERT_EQ(sink.text, "id," + expected + "\n") << "length " << length << " byte " << at;
            }
        }
    }
}

TEST(CsvWriter, FlushPartWayThroughARecord) {
    StringSink sink;
    CsvWriter writer(sink);
    writer.field("a");
    ASSERT_TRUE(writer.flush());
    writer.endRecord();   // one field, but not an empty one
    writer.field("");
    ASSERT_TRUE(writer.flush());
    writer.endRecord();   // one empty field
    ASSERT_TRUE(writer.flush());
    EXPECT_EQ(sink.text, "a\n\"\"\n");
}

TEST(CsvWriter, LongLineEndAndLongFields) {
    StringSink sink;
    const std::string longField(100000, 'y');
    {
        CsvWriter writer(sink, "<end of record>\n");
        writer.field(longField);
        writer.field("a,b");
        writer.endRecord();
        writer.field("");
        writer.endRecord();
    }
    EXPECT_EQ(sink.text, longField + ",\"a,b\"<end of record>\n\"\"<end of record>\n");
}

// Whatever the writer writes, the reader reads back unchanged: random fields
// drawn from the characters that matter, random record widths, many chunkings.
TEST(CsvRoundTrip, RandomRecordsSurvive) {
    std::mt19937 random(20261207);
    const std::string alphabet = "ab ,\"\r\n\xE9";
    for (int trial = 0; trial < 300; ++trial) {
        Records records;
        const int count = 1 + static_cast<int>(random() % 6);
        const size_t width = 1 + random() % 4;
        for (int r = 0; r < count; ++r) {
            std::vector<std::string> record;
            for (size_t f = 0; f < width; ++f) {
                std::string field;
                const size_t length = random() % 6;
                for (size_t i = 0; i < length; ++i) field += alphabet[random() % alphabet.size()];
                record.push_back(field);
            }
            records.push_back(record);
        }
        StringSink sink;
        {
            CsvWriter writer(sink, trial % 2 ? "\r\n" : "\n");
            for (const auto& record : records) {
                for (const auto& field : record) writer.field(field);
                writer.endRecord();
            }
        }
        const size_t chunk = random() % 4;
        const ReadResult back = readAll(sink.text, chunk);
        EXPECT_EQ(back.records, records) << "trial " << trial << " chunk " << chunk << ": wrote "
                                         << show(records) << ", read " << show(back.records);
    }
}

// However a pipe splits the bytes, the reader sees the same records: random
// inputs built from the bytes that matter, read whole and in small chunks.
TEST(CsvReader, ChunkingNeverChangesTheRecords) {
    std::mt19937 random(7);
    const std::string alphabet = "a,\"\r\n \xEF\xBB\xBF";
    for (int trial = 0; trial < 2000; ++trial) {
        std::string text;
        const size_t length = random() % 24;
        for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        const ReadResult whole = readAll(text, 0);
        for (size_t chunk = 1; chunk <= 4; ++chunk) {
            const ReadResult pieces = readAll(text, chunk);
            ASSERT_EQ(pieces.records, whole.records)
                << "trial " << trial << " chunk " << chunk << ": expected " << show(whole.records) << ", got "
                << show(pieces.records);
            ASSERT_EQ(pieces.crlf, whole.crlf) << "trial " << trial << " chunk " << chunk;
            ASSERT_EQ(pieces.blank, whole.blank) << "trial " << trial << " chunk " << chunk;
            ASSERT_EQ(pieces.unterminated, whole.unterminated) << "trial " << trial << " chunk " << chunk;
            ASSERT_EQ(pieces.lines, whole.lines) << "trial " << trial << " chunk " << chunk;
        }
    }
}

}  // namespace
