// The quillark-calc program as a user runs it: options, output, exit codes.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <random>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "csv.h"
#include "researcher_forms.h"
#include "session_cases.h"

namespace {

using cli_test::countLines;
using cli_test::runCalc;
using cli_test::scratchDir;
using cli_test::writeFile;
using quillark_cases::SessionCase;
using quillark_cases::SessionCases;

constexpr const char* Options[] = {"--event", "--years", "--months", "--days", "--birth"};
constexpr const char* Keys[] = {"event", "years", "months", "days", "birth"};
constexpr const char* Labels[] = {"Date of event:", "Years:", "Months:", "Days:", "Date of birth:"};

std::vector<std::string> argumentsFor(const SessionCase& c) {
    std::vector<std::string> args;
    for (size_t i = 0; i < 5; ++i) {
        // "--years=-5" keeps a value that starts with "-" a value.
        if (!c.input[i].empty()) args.push_back(std::string(Options[i]) + "=" + std::string(c.input[i]));
    }
    if (c.abbreviated) args.emplace_back("--abbreviated");
    if (c.weekDay) args.emplace_back("--weekday");
    return args;
}

// The command line also reads the forms researchers copy from their sources
// ("7 Dec 1941"), which the window rejects; such cases of the window's table
// are checked with the researchers' forms instead.
bool readDifferently(const SessionCase& c) {
    std::array<std::string, 5> fields;
    for (size_t i = 0; i < 5; ++i) fields[i] = c.input[i];
    const std::array<std::string, 5> typed = fields;
    std::vector<std::string> warnings;
    quillark::ResearcherDates dates;
    quillark::translateResearcherForms(fields, dates, warnings);
    return fields != typed || !warnings.empty();
}

int expectedExit(const SessionCase& c) {
    if (c.errorCaption.empty()) return 0;
    return c.errorCaption == "Illegal Date" ? 2 : 3;
}

std::string trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

TEST(Program, JsonAnswersMatchTheCaseTable) {
    for (const SessionCase& c : SessionCases) {
        if (readDifferently(c)) continue;
        std::vector<std::string> args = argumentsFor(c);
        args.emplace_back("--json");
        const cli_test::ProgramRun run = runCalc(args);
        EXPECT_EQ(run.exitCode, expectedExit(c)) << c.name << ": expected exit " << expectedExit(c)
                                                 << ", got " << run.exitCode << " " << run.err;
        EXPECT_EQ(run.err, "") << c.name;
        EXPECT_EQ(countLines(run.out), 1u) << c.name << ": one JSON line, got " << run.out;
        const nlohmann::json answer = nlohmann::json::parse(run.out, nullptr, false);
        ASSERT_FALSE(answer.is_discarded()) << c.name << ": not JSON: " << run.out;
        if (c.errorCaption.empty()) {
            // The five fields and the fact, then the window and its warnings.
            ASSERT_EQ(answer.size(), 9u) << c.name << ": " << run.out;
            EXPECT_TRUE(answer.contains("earliest") && answer.contains("latest")) << c.name << ": " << run.out;
            EXPECT_TRUE(answer["warnings"].is_array()) << c.name << ": " << run.out;
            for (size_t i = 0; i < 5; ++i) {
                EXPECT_EQ(answer.value(Keys[i], "<absent>"), c.expected[i])
                    << c.name << ": expected " << Keys[i] << " \"" << c.expected[i] << "\", got " << run.out;
            }
            EXPECT_EQ(answer.value("missing", "<absent>"), c.missing) << c.name << ": " << run.out;
        } else {
            const nlohmann::json expected = {{"error", {{"caption", c.errorCaption}, {"text", c.errorText}}},
                                             {"warnings", nlohmann::json::array()}};
            EXPECT_EQ(answer, expected) << c.name << ": expected " << expected.dump() << ", got " << run.out;
        }
    }
}

TEST(Program, LabelledAnswersMatchTheCaseTable) {
    for (const SessionCase& c : SessionCases) {
        if (readDifferently(c)) continue;
        const cli_test::ProgramRun run = runCalc(argumentsFor(c));
        EXPECT_EQ(run.exitCode, expectedExit(c)) << c.name;
        if (c.errorCaption.empty()) {
            std::string expected;
            for (size_t i = 0; i < 5; ++i) {
                const std::string value = trimmed(c.expected[i]);
                expected += std::string(Labels[i]) + (value.empty() ? "" : " " + value) + "\n";
            }
            // The five labelled fields, then at most the line telling the
            // window ("Born between ...").
            EXPECT_EQ(run.out.substr(0, expected.size()), expected)
                << c.name << ": expected\n" << expected << "got\n" << run.out;
            const std::string window = run.out.substr(std::min(expected.size(), run.out.size()));
            EXPECT_LE(countLines(window), 1u) << c.name << ": " << run.out;
            if (!window.empty()) {
                EXPECT_TRUE(window.starts_with("Born ") || window.starts_with("Event ") || window.starts_with("Aged "))
                    << c.name << ": " << run.out;
            }
        } else {
            const std::string expected = std::string(c.errorCaption) + ": " + std::string(c.errorText) + "\n";
            EXPECT_EQ(run.err, expected) << c.name << ": expected " << expected << "got " << run.err;
            EXPECT_EQ(run.out, "") << c.name;
        }
    }
}

TEST(Program, ValueStartingWithADashAfterABlank) {
    const cli_test::ProgramRun run = runCalc({"--event", "1900", "--years", "-5"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("Date of birth: 1894 to 1900\n"), std::string::npos) << run.out;
}

TEST(Program, JsonKeepsBytesThatAreNotUtf8Readable) {
    // A Windows-1252 "é" in a passed-back field must not abort the answer.
    const cli_test::ProgramRun run = runCalc({"--event=1900", "--years=60+\xE9", "--json"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json answer = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_FALSE(answer.is_discarded()) << run.out;
    EXPECT_EQ(answer.value("birth", ""), "1840 or before");
    EXPECT_EQ(answer.value("years", ""), "60+\xEF\xBF\xBD");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
};

TEST(Program, UsageErrorsExit64WithAOneLineHint) {
    const std::string csv = scratchDir() + "/usage.csv";
    writeFile(csv, "event,years\n1900,60+\n");
    const UsageCase cases[] = {
        {"unknown option", {"--bogus"}},
        {"missing value", {"--event"}},
        {"missing value of --csv", {"--csv"}},
        {"stray argument", {"12/07/1941"}},
        {"--output without --csv", {"--output", scratchDir() + "/o.csv"}},
        {"--csv with a field", {"--csv", csv, "--event", "1900"}},
        {"--csv with --json", {"--csv", csv, "--json"}},
        {"output is the input", {"--csv", csv, "--output", csv}},
    };
    for (const UsageCase& c : cases) {
        const cli_test::ProgramRun run = runCalc(c.args);
        EXPECT_EQ(run.exitCode, 64) << c.name << ": expected exit 64, got " << run.exitCode;
        EXPECT_EQ(countLines(run.err), 1u) << c.name << ": expected one line, got " << run.err;
        EXPECT_NE(run.err.find("--help"), std::string::npos) << c.name << ": " << run.err;
        EXPECT_EQ(run.out, "") << c.name;
    }
    EXPECT_EQ(cli_test::readFile(csv), "event,years\n1900,60+\n") << "the input must not be touched";
}

TEST(Program, HelpAndVersion) {
    const cli_test::ProgramRun help = runCalc({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* option : {"--event", "--years", "--months", "--days", "--birth", "--abbreviated",
                               "--weekday", "--json", "--csv", "--output", "--version"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << "help lacks " << option;
    }
    const cli_test::ProgramRun version = runCalc({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "quillark-calc 1.52\n");
}

TEST(Program, UnreadableInputExits2AndUnwritableOutput74NamingTheFile) {
    const std::string missing = scratchDir() + "/no-such-file.csv";
    const std::string empty = scratchDir() + "/empty.csv";
    writeFile(empty, "");
    const UsageCase cases[] = {
        {"no such file", {"--csv", missing}},
        {"a directory", {"--csv", scratchDir()}},
        {"an empty file", {"--csv", empty}},
    };
    for (const UsageCase& c : cases) {
        const cli_test::ProgramRun run = runCalc(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.name << ": expected exit 2, got " << run.exitCode;
        EXPECT_EQ(countLines(run.err), 1u) << c.name << ": " << run.err;
        EXPECT_NE(run.err.find(c.args[1]), std::string::npos) << c.name << ": the message must name the file: "
                                                              << run.err;
    }
    // A failed write is no "Illegal Date": it has a code of its own.
    for (const std::string& output : {missing + "/out.csv", std::string("/dev/full")}) {
        const cli_test::ProgramRun unwritable = runCalc({"--csv", "-", "--output", output}, "event,years\n1900,60+\n");
        EXPECT_EQ(unwritable.exitCode, 74) << output;
        EXPECT_NE(unwritable.err.find(output), std::string::npos) << unwritable.err;
    }
}

TEST(Program, BatchFromStandardInputAndIntoAFile) {
    const std::string input = "id,event,years,birth\n1,\"Dec 7, 1941\",40,\n";
    const std::string expected =
        "id,event,years,birth,months,days,status\n1,12/07/1941,40,1901 or 1900,,,ok\n";
    const cli_test::ProgramRun toStdout = runCalc({"--csv", "-"}, input);
    EXPECT_EQ(toStdout.exitCode, 0) << toStdout.err;
    EXPECT_EQ(toStdout.out, expected);
    EXPECT_EQ(toStdout.err, "");

    const std::string inPath = scratchDir() + "/in.csv";
    const std::string outPath = scratchDir() + "/out.csv";
    writeFile(inPath, input + "2,13/07/1941,40,\n");
    const cli_test::ProgramRun toFile = runCalc({"--csv", inPath, "--output", outPath, "--abbreviated"});
    EXPECT_EQ(toFile.exitCode, 1) << "a row with an error gives exit 1";
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(countLines(toFile.err), 1u) << toFile.err;
    EXPECT_EQ(cli_test::readFile(outPath),
              "id,event,years,birth,months,days,status\n1,\"Dec 7, 1941\",40,1901 or 1900,,,ok\n"
              "2,13/07/1941,40,,,,Illegal Date: Check on months\n");
}

// Rows of a generated file through the program's batch mode, each compared
// with the program's own single mode for the same fields.
TEST(Program, BatchRowsEqualSingleModeAnswers) {
    std::mt19937 random(1941);
    const char* events[] = {"", "Dec 7, 1941", "05/10/1900", "1900", "6/1850", "13/07/1941", "12/7/41"};
    const char* ages[] = {"", "40", "20-30", "-5", "60+", "0-0", "3.5"};
    const char* smalls[] = {"", "0", "6", "11"};
    const char* births[] = {"", "12/31/1850", "1850", "03/1850", "02/29/1900"};
    std::string csv = "event,years,months,days,birth\n";
    std::vector<std::array<std::string, 5>> rows;
    for (int i = 0; i < 300; ++i) {
        std::array<std::string, 5> row = {events[random() % 7], ages[random() % 7], smalls[random() % 4],
                                          smalls[random() % 4], births[random() % 5]};
        rows.push_back(row);
        for (size_t k = 0; k < 5; ++k) csv += (k ? ",\"" : "\"") + row[k] + "\"";
        csv += "\n";
    }
    const cli_test::ProgramRun batch = runCalc({"--csv", "-"}, csv);
    ASSERT_TRUE(batch.exitCode == 0 || batch.exitCode == 1) << batch.err;

    quillark::StringSource source(batch.out);
    quillark::CsvReader reader(source);
    ASSERT_EQ(reader.next(), quillark::CsvReader::Status::Record);  // header
    for (const auto& row : rows) {
        ASSERT_EQ(reader.next(), quillark::CsvReader::Status::Record);
        ASSERT_EQ(reader.fieldCount(), 6u);
        std::vector<std::string> args;
        for (size_t k = 0; k < 5; ++k) {
            if (!row[k].empty()) args.push_back(std::string(Options[k]) + "=" + row[k]);
        }
        args.emplace_back("--json");
        // The batch run above went through the same rows with the leak check.
        const cli_test::ProgramRun single = runCalc(args, {}, false, false);
        const nlohmann::json answer = nlohmann::json::parse(single.out, nullptr, false);
        ASSERT_FALSE(answer.is_discarded()) << single.out;
        std::vector<std::string> expected;
        if (answer.contains("error")) {
            expected.assign(row.begin(), row.end());
            expected.push_back(answer["error"]["caption"].get<std::string>() + ": " +
                               answer["error"]["text"].get<std::string>());
        } else {
            for (size_t k = 0; k < 5; ++k) expected.push_back(trimmed(answer[Keys[k]].get<std::string>()));
            expected.emplace_back("ok");
        }
        for (size_t k = 0; k < 6; ++k) {
            EXPECT_EQ(reader.field(k), expected[k])
                << "fields " << row[0] << "|" << row[1] << "|" << row[2] << "|" << row[3] << "|" << row[4]
                << " column " << k << ": expected " << expected[k] << ", got " << reader.field(k);
        }
    }
    EXPECT_EQ(reader.next(), quillark::CsvReader::Status::End);
}

TEST(Program, ProgressLineOnlyOnATerminalAndRateLimited) {
    std::string csv = "event,years,months,days,birth\n";
    const size_t rows = 400000;
    for (size_t i = 0; i < rows; ++i) csv += "05/10/1900,50,,,\n";

    const cli_test::ProgramRun quiet = runCalc({"--csv", "-", "--output", scratchDir() + "/p.csv"}, csv);
    EXPECT_EQ(quiet.exitCode, 0);
    EXPECT_EQ(quiet.err, "") << "no progress when standard error is not a terminal";

    const auto start = std::chrono::steady_clock::now();
    const cli_test::ProgramRun shown =
        runCalc({"--csv", "-", "--output", scratchDir() + "/p.csv"}, csv, /*onTerminal=*/true);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.err.find("quillark-calc: 400000 rows"), std::string::npos)
        << "the last progress line gives the row count: " << shown.err;
    size_t updates = 0;
    for (char c : shown.err) updates += c == '\r';
    EXPECT_GE(updates, 1u);
    EXPECT_LE(static_cast<double>(updates), seconds * 4 + 2)
        << updates << " progress updates in " << seconds << " s";
}

}  // namespace

namespace {

TEST(Program, CensusOptions) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        const char* out;  // nullptr: not checked
        const char* err;
    } cases[] = {
        {"census day and 1841 rule", {"--census", "EW1841", "--years", "30"}, 0,
         "Date of event: 06/06/1841\nYears: 30\nMonths:\nDays:\nDate of birth: 1806 to 1811\n"
         "Born between 06/07/1806 and 06/06/1811\n",
         ""},
        {"unrounded 1841 age warns on standard error", {"--census", "EW1841", "--years", "33"}, 0, nullptr,
         "quillark-calc: warning: EW1841 wrote ages of 15 and over rounded down to a multiple of 5; 33 is not one "
         "and is read as 33 to 37\n"},
        {"json carries the warnings", {"--census", "us1890", "--years", "40", "--json"}, 0,
         "{\"event\":\"06/02/1890\",\"years\":\"40\",\"months\":\"\",\"days\":\"\",\"birth\":\"1850 or 1849\","
         "\"missing\":\"birth\",\"earliest\":\"1849-06-03\",\"latest\":\"1850-06-02\",\"warnings\":[]}\n",
         ""},
        {"event date disagreeing with the census", {"--census", "EW1851", "--event", "1850", "--years", "3"}, 2, "",
         "quillark-calc: census: the event date 1850 is not the census day of EW1851 (03/30/1851)\n"},
        {"unknown census", {"--census", "EW1941", "--years", "3"}, 64, "",
         "quillark-calc: census: no census named 'EW1941' (see --census list)\n"},
        {"a record part that is not one", {"--record", "year=30"}, 64, "",
         "quillark-calc: --record 1: 'year=30' is not one of event=, years=, months=, days=, birth=, census=; "
         "see quillark-calc --help\n"},
    };
    for (const auto& c : cases) {
        const cli_test::ProgramRun run = runCalc(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.name << ": " << run.err;
        if (c.out != nullptr) {
            EXPECT_EQ(run.out, c.out) << c.name;
        }
        EXPECT_EQ(run.err, c.err) << c.name;
    }
    const cli_test::ProgramRun list = runCalc({"--census", "list"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(countLines(list.out), 1u + 26u) << list.out;
    EXPECT_NE(list.out.find("US1890  1890-06-02  last birthday"), std::string::npos) << list.out;
}

// Several records of one person in single mode give what the people file
// gives for the same rows.
TEST(Program, RecordsOfOnePersonAgreeWithThePeopleFile) {
    const std::vector<std::string> records = {"census=EW1841;years=30", "census=EW1851;years=39",
                                              "event=1871;years=50+", "census=EW1861;years=50",
                                              "event=03/14/1870;years=78"};
    std::vector<std::string> args = {"--json"};
    std::string csv = "person,census,event,years\n";
    for (const std::string& record : records) {
        args.push_back("--record=" + record);
        std::string census, event, years;
        for (std::string part : {record.substr(0, record.find(';')), record.substr(record.find(';') + 1)}) {
            const std::string value = part.substr(part.find('=') + 1);
            (part.starts_with("census") ? census : part.starts_with("event") ? event : years) = value;
        }
        csv += "ann," + census + "," + event + "," + years + "\n";
    }
    const cli_test::ProgramRun run = runCalc(args);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json answer = nlohmann::json::parse(run.out, nullptr, false);
    ASSERT_FALSE(answer.is_discarded()) << run.out;
    EXPECT_EQ(answer["records"].size(), records.size());
    EXPECT_EQ(answer["records"][0]["earliest"], "1806-06-07");
    EXPECT_EQ(answer["records"][2]["earliest"], nullptr);
    EXPECT_EQ(answer["person"].dump(),
              "{\"birth_earliest\":null,\"birth_latest\":null,\"conflict_records\":[2,5],\"outlier_record\":5,"
              "\"records\":5,\"status\":\"conflict\",\"without_outlier_earliest\":\"1811-03-31\","
              "\"without_outlier_latest\":\"1811-04-07\"}");

    const std::string in = scratchDir() + "/records.csv", people = scratchDir() + "/people.csv";
    writeFile(in, csv);
    const cli_test::ProgramRun batch = runCalc({"--csv", in, "--person", "person", "--people", people});
    EXPECT_EQ(batch.exitCode, 0) << batch.err;
    // Lines count the header, records do not: record n is on line n + 1.
    EXPECT_EQ(cli_test::readFile(people),
              "person,records,birth_earliest,birth_latest,status,conflict_lines,outlier_line,"
              "without_outlier_earliest,without_outlier_latest\n"
              "ann,5,,,conflict,3 6,6,1811-03-31,1811-04-07\n");

    const cli_test::ProgramRun alone = runCalc({"--csv", in, "--people", people});
    EXPECT_EQ(alone.exitCode, 64) << alone.err;
    const cli_test::ProgramRun toStdout = runCalc({"--csv", in, "--person", "person", "--people", "-"});
    EXPECT_EQ(toStdout.exitCode, 64) << toStdout.err;
    EXPECT_EQ(toStdout.out, "");
}

}  // namespace
