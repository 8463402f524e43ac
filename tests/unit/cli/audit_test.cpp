// quillark-calc --audit as a user runs it: the report on the planted tree
// in CSV and JSON, the exit status, and files it cannot read.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "audit_tree.h"
#include "cli_test_support.h"

namespace {

using cli_test::countLines;
using cli_test::readFile;
using cli_test::runCalc;
using cli_test::scratchDir;
using cli_test::writeFile;

std::string treeFile(const std::string& name, const std::string& text) {
    const std::string path = scratchDir() + "/" + name;
    writeFile(path, text);
    return path;
}

const char* const Header =
    "xref,name,records,birth_earliest,birth_latest,suggested_birth,recorded_birth,verdict,detail,evidence_lines\n";

TEST(Audit, CsvReportOfThePlantedTree) {
    const std::string tree = treeFile("tree.ged", audit_tree::Tree);
    const cli_test::ProgramRun run = runCalc({"--audit", tree});
    EXPECT_EQ(run.exitCode, 1) << "a conflict and records that disagree: " << run.err;
    ASSERT_EQ(run.out.rfind(Header, 0), 0u) << run.out;
    EXPECT_EQ(countLines(run.out), 11u) << "the header and ten people with records: " << run.out;
    const char* const rows[] = {
        "@I1@,Ann Ward,3,1811-03-31,1811-06-06,BET 31 MAR 1811 AND 6 JUN 1811,,no birth,No birth date is recorded; "
        "the 3 records put the birth between 31 Mar 1811 and 6 Jun 1811.,7 10 13\n",
        "@I4@,William Ward,1,1862-02-21,1862-02-21,,21 FEB 1862,consistent,The recorded birth fits: the record puts "
        "the birth on 21 Feb 1862.,34\n",
        "@I9@,George Ray,1,,1843-06-12,BEF 12 JUN 1843,1845,conflict,The recorded birth is 1 year 6 months 19 days "
        "after the latest day the christening of 12 Jun 1843 (line 71) allows (12 Jun 1843).,71\n",
    };
    for (const char* row : rows) EXPECT_NE(run.out.find(row), std::string::npos) << row << "\nin\n" << run.out;
    EXPECT_EQ(run.out.find("@I11@"), std::string::npos) << "Jane Doe has no record";
    EXPECT_NE(run.err.find("11 individuals, 13 AGE lines, UTF-8; 10 rows: 2 no birth, 2 consistent, 3 narrower, "
                           "2 conflict, 1 records disagree"),
              std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("warning: line 83: '(No idea of the date)' is a phrase, no date"), std::string::npos)
        << run.err;
    EXPECT_EQ(readFile(tree), audit_tree::Tree) << "the tree must not be touched";
}

TEST(Audit, EveryEncodingGivesTheSameReport) {
    const cli_test::ProgramRun utf8 = runCalc({"--audit", treeFile("tree.ged", audit_tree::Tree), "--all"});
    const struct {
        const char* name;
        std::string text;
    } copies[] = {
        {"ansel.ged", audit_tree::ansel()},
        {"utf16le.ged", audit_tree::utf16(true)},
        {"utf16be.ged", audit_tree::utf16(false)},
    };
    for (const auto& copy : copies) {
        const cli_test::ProgramRun run = runCalc({"--audit", treeFile(copy.name, copy.text), "--all"});
        EXPECT_EQ(run.exitCode, 1) << copy.name;
        EXPECT_EQ(run.out, utf8.out) << copy.name;
    }
    EXPECT_EQ(countLines(utf8.out), 12u) << "--all: every individual";
    EXPECT_NE(utf8.out.find("@I11@,Jane Doe,0,,,,,no records,No record bounds the birth.,\n"), std::string::npos)
        << utf8.out;
}

TEST(Audit, JsonAndOutputFile) {
    const std::string tree = treeFile("tree.ged", audit_tree::Tree);
    const std::string output = scratchDir() + "/report.json";
    const cli_test::ProgramRun run = runCalc({"--audit", tree, "--json", "--gedcom", "5.5.1", "--output", output});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, "");
    const nlohmann::ordered_json report = nlohmann::ordered_json::parse(readFile(output));
    EXPECT_EQ(report["file"], tree);
    EXPECT_EQ(report["individuals"], 11);
    ASSERT_EQ(report["people"].size(), 10u);
    const nlohmann::ordered_json& robert = report["people"][6];
    EXPECT_EQ(robert["xref"], "@I7@");
    EXPECT_EQ(robert["suggested_birth"], "BET @#DJULIAN@ 15 FEB 1680 AND @#DJULIAN@ 14 FEB 1681");
    EXPECT_EQ(robert["recorded_birth"], nullptr);
    EXPECT_EQ(robert["evidence_lines"], nlohmann::ordered_json::array({58}));
    const nlohmann::ordered_json& thomas = report["people"][4];
    EXPECT_EQ(thomas["verdict"], "records disagree");
    EXPECT_EQ(thomas["birth_earliest"], nullptr);
    EXPECT_EQ(thomas["records"], 4);
    const std::vector<std::string> keys = {
        "xref",           "name",    "records", "birth_earliest", "birth_latest", "suggested_birth",
        "recorded_birth", "verdict", "detail",  "evidence_lines"};
    std::vector<std::string> got;
    for (const auto& item : thomas.items()) got.push_back(item.key());
    EXPECT_EQ(got, keys);
}

TEST(Audit, TextAgesAndExitStatus) {
    // Henry's only age is in his census event's text.
    std::string henry = "0 HEAD\n1 CHAR UTF-8\n";
    henry += audit_tree::Tree.substr(audit_tree::Tree.find("0 @I10@"));
    henry = henry.substr(0, henry.find("0 @I11@")) + "0 TRLR\n";
    const std::string tree = treeFile("henry.ged", henry);
    const cli_test::ProgramRun withText = runCalc({"--audit", tree});
    EXPECT_EQ(withText.exitCode, 0) << withText.err;
    EXPECT_NE(withText.out.find(",1870,narrower,"), std::string::npos) << withText.out;
    EXPECT_NE(withText.err.find("the age 11 is read from the event's text"), std::string::npos) << withText.err;
    const cli_test::ProgramRun without = runCalc({"--audit", tree, "--no-text-ages"});
    EXPECT_EQ(without.exitCode, 0) << without.err;
    EXPECT_NE(without.out.find(",1870,consistent,"), std::string::npos) << without.out;
    EXPECT_EQ(without.err.find("event's text"), std::string::npos) << without.err;
}

TEST(Audit, StandardInput) {
    const cli_test::ProgramRun run = runCalc({"--audit", "-", "--all"}, audit_tree::utf16(true));
    const cli_test::ProgramRun file = runCalc({"--audit", treeFile("tree.ged", audit_tree::Tree), "--all"});
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(run.out, file.out);
}

TEST(Audit, FilesItCannotRead) {
    const struct {
        const char* name;
        std::string path;
        const char* message;
    } cases[] = {
        {"missing", scratchDir() + "/no-such.ged", "cannot read '"},
        {"directory", scratchDir(), "it is a directory"},
        {"CSV", treeFile("people.csv", "name,event\nAnn,1841\n"),
         "line 1: it is no GEDCOM file: the line does not start with a level number"},
        {"empty", treeFile("empty.ged", ""), "the file is empty"},
        {"no header", treeFile("nohead.ged", "0 @I1@ INDI\n"), "line 1: it is no GEDCOM file: it does not begin with"},
    };
    for (const auto& c : cases) {
        const cli_test::ProgramRun run = runCalc({"--audit", c.path});
        EXPECT_EQ(run.exitCode, 2) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.name << ": " << run.err;
    }
}

TEST(Audit, UsageErrors) {
    const std::string tree = treeFile("tree.ged", audit_tree::Tree);
    const std::vector<std::vector<std::string>> cases = {
        {"--all"},
        {"--no-text-ages"},
        {"--audit", tree, "--csv", "-"},
        {"--audit", tree, "--event", "1841"},
        {"--audit", tree, "--census", "EW1841"},
        {"--audit", tree, "--output", tree},
        {"--audit", tree, "--gedcom", "6"},
        {"--audit", tree, "--gregorian-from", "1752-09-14"},
        {"--audit"},
    };
    for (const auto& args : cases) {
        const cli_test::ProgramRun run = runCalc(args);
        EXPECT_EQ(run.exitCode, 64) << args.back() << ": " << run.err;
        EXPECT_EQ(countLines(run.err), 1u) << run.err;
    }
    EXPECT_EQ(readFile(tree), audit_tree::Tree);
}

// The real export from a genealogy site, read where it lies.
TEST(Audit, SharedExport) {
    const std::string file = QUILLARK_SHARED_GEDCOM "/findmypast-alex-clark-deceased-only.ged";
    if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " is absent; not checked";
    const cli_test::ProgramRun run = runCalc({"--audit", file, "--json"});
    EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << run.err;
    const nlohmann::json report = nlohmann::json::parse(run.out);
    EXPECT_EQ(report["individuals"], 521);
    EXPECT_GT(report["people"].size(), 0u);
    EXPECT_NE(run.err.find("is read from the event's text"), std::string::npos);
}

}  // namespace
