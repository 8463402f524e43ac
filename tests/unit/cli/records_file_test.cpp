// The records window's file: written and read back unchanged, refused with
// its line and reason when it is not one, and answered by quillark-calc's
// batch with --person person --people exactly as the window answers it.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "batch.h"
#include "census.h"
#include "csv.h"
#include "records_file.h"

namespace {

using quillark::PersonRecord;
using quillark::RecordsFile;

TEST(RecordsFile, ReadsBackWhatItWrote) {
    RecordsFile file{"Ward, \"Nan\" Ann",
                     {{"a label, with a comma", "EW1851", "", "39", "", ""},
                      {"two\r\nlines", "", "Dec 7, 1941", "40", "3", "2"},
                      {"", "", "", "", "", ""},
                      {"quote \" inside", "US1900", "06/1900", "1 3/12", "", ""}}};
    RecordsFile read;
    const auto problem = quillark::readRecordsFile(quillark::recordsFileText(file), read);
    ASSERT_FALSE(problem.has_value()) << quillark::recordsFileProblemText(*problem);
    EXPECT_EQ(read.person, file.person);
    ASSERT_EQ(read.records.size(), file.records.size());
    for (size_t i = 0; i < file.records.size(); ++i) EXPECT_TRUE(read.records[i] == file.records[i]) << "record " << i + 1;
}

TEST(RecordsFile, TakesColumnsInAnyOrderAndResearchersNames) {
    RecordsFile read;
    const auto problem =
        quillark::readRecordsFile("\xEF\xBB\xBF Source ,YEARS,Name,census\n1841 census,30,Ann Ward,EW1841\n\n", read);
    ASSERT_FALSE(problem.has_value()) << quillark::recordsFileProblemText(*problem);
    EXPECT_EQ(read.person, "Ann Ward");
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_TRUE(read.records[0] == (PersonRecord{"1841 census", "EW1841", "", "30", "", ""}));
}

struct ProblemCase {
    const char* name;
    const char* text;
    const char* problem;
};

const ProblemCase ProblemCases[] = {
    {"empty file", "", "line 1: the file is empty; a header row naming the columns is required"},
    {"a column the window does not keep", "person,event,years,birth\n",
     "line 1: the column 'birth' is not one of person, census, event, years, months, days, label"},
    {"a column without a name", "person,,years,event\n", "line 1: column 2 has no name"},
    {"two person columns", "name,person,event,years\n", "line 1: two columns stand for person"},
    {"no event or census", "person,years\n", "line 1: the header names neither an event nor a census column"},
    {"no age", "person,event\n", "line 1: the header names no age column (years, months or days)"},
    {"a short row", "person,event,years\nann,1841,30\nann,1851\n", "line 3: 2 fields where the header has 3"},
    {"a long row", "person,event,years\nann,1841,30,x\n", "line 2: 4 fields where the header has 3"},
    {"an open quote", "person,event,years\nann,\"1841,30\n", "line 2: a quoted field is not closed before the end of the file"},
    {"a second person", "person,event,years\nann,1841,30\nann,1851,40\ntom,1851,40\n",
     "line 4: a record of 'tom' in a file of 'ann'; the records window holds one person's records"},
    {"a record of no one", "person,event,years\nann,1841,30\n ,1851,40\n", "line 3: the record names no person"},
};

TEST(RecordsFile, RefusesWhatIsNotARecordsFileWithTheLineAndTheReason) {
    for (const ProblemCase& c : ProblemCases) {
        RecordsFile read;
        const auto problem = quillark::readRecordsFile(c.text, read);
        ASSERT_TRUE(problem.has_value()) << c.name << ": expected a problem, got none";
        EXPECT_EQ(quillark::recordsFileProblemText(*problem), c.problem) << c.name;
    }
}

TEST(RecordsFile, RefusesMoreRecordsThanAWindowHolds) {
    std::string text = "person,event,years\n";
    for (size_t i = 0; i <= quillark::MaxRecordsInFile; ++i) text += "ann,1841,30\n";
    RecordsFile read;
    const auto problem = quillark::readRecordsFile(text, read);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(problem->line, quillark::MaxRecordsInFile + 2);
}

// The batch's people answer for a records file.
quillark::PersonSummary batchSummary(const std::string& text, quillark::PeopleTable& people, std::string& peopleCsv) {
    quillark::BatchOptions options;
    options.personColumn = "person";
    options.people = &people;
    quillark::StringSource source(text);
    quillark::StringSink out;
    quillark::runBatch(source, out, options);
    quillark::StringSink peopleOut;
    quillark::writePeople(people, peopleOut, "person", quillark::GedcomVersion::V7);
    peopleCsv = peopleOut.text;
    return people.size() > 0 ? people.summary(0) : quillark::PersonSummary{};
}

std::string isoOf(const std::optional<Date>& date) { return quillark::isoText(date); }

// Every answer of the records window against quillark-calc --csv FILE
// --person person --people on the file the window saves: the same status,
// window, conflicting records and outlier (the file's line numbers are the
// window's record numbers plus the header's line).
void expectSameAsPeople(const RecordsFile& file, const std::string& name) {
    const quillark::PersonRecordsAnswer window = quillark::answerPersonRecords(file.records);
    quillark::PeopleTable people;
    std::string peopleCsv;
    const quillark::PersonSummary batch = batchSummary(quillark::recordsFileText(file), people, peopleCsv);
    const quillark::PersonSummary& mine = window.summary;
    EXPECT_EQ(mine.status, batch.status) << name;
    EXPECT_EQ(mine.records, batch.records) << name;
    EXPECT_EQ(mine.unusable, batch.unusable) << name;
    EXPECT_EQ(isoOf(mine.birth.earliest), isoOf(batch.birth.earliest)) << name;
    EXPECT_EQ(isoOf(mine.birth.latest), isoOf(batch.birth.latest)) << name;
    if (mine.status == quillark::PersonStatus::Conflict) {
        EXPECT_EQ(mine.conflictLines[0] + 1, batch.conflictLines[0]) << name;
        EXPECT_EQ(mine.conflictLines[1] + 1, batch.conflictLines[1]) << name;
        EXPECT_EQ(mine.outlierLine.has_value(), batch.outlierLine.has_value()) << name;
        if (mine.outlierLine && batch.outlierLine) {
            EXPECT_EQ(*mine.outlierLine + 1, *batch.outlierLine) << name;
        }
        EXPECT_EQ(isoOf(mine.withoutOutlier.earliest), isoOf(batch.withoutOutlier.earliest)) << name;
        EXPECT_EQ(isoOf(mine.withoutOutlier.latest), isoOf(batch.withoutOutlier.latest)) << name;
    }
    if (!window.gedcom7.empty()) {
        EXPECT_NE(peopleCsv.find("," + window.gedcom7 + ","), std::string::npos) << name << ": " << peopleCsv;
    }
}

TEST(RecordsFile, TheWindowAnswersAsThePeopleFile) {
    RecordsFile ann{"Ann Ward",
                    {{"1841 census", "EW1841", "", "30", "", ""},
                     {"1851 census", "EW1851", "", "39", "", ""},
                     {"1861 census", "EW1861", "", "50", "", ""},
                     {"burial", "", "14 Mar 1870", "58", "", ""}}};
    expectSameAsPeople(ann, "Ann Ward");
    RecordsFile mary{"Mary Ward",
                     {{"1841 census", "EW1841", "", "5", "", ""},
                      {"1851 census", "EW1851", "", "14", "", ""},
                      {"1861 census", "EW1861", "", "30", "", ""}}};
    expectSameAsPeople(mary, "Mary Ward");
}

// Many people of two to six records drawn from every census and from typed
// dates, with ages as researchers write them, errors and conflicts among them.
TEST(RecordsFile, TheWindowAnswersAsThePeopleFileForManyPeople) {
    const std::span<const quillark::Census> censuses = quillark::censusTable();
    const char* const ages[] = {"0", "5", "14", "30", "33", "47", "60+", "20-30", "-5", "1 3/12", "40y 3m", "3 weeks", "x"};
    const char* const events[] = {"Dec 7, 1941", "1851", "06/1861", "14 MAR 1870", "1841-06-06", "02/30/1900", ""};
    uint32_t seed = 12345;
    const auto next = [&seed](uint32_t n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    for (int person = 0; person < 400; ++person) {
        RecordsFile file;
        file.person = "person " + std::to_string(person);
        const uint32_t count = 2 + next(5);
        for (uint32_t r = 0; r < count; ++r) {
            PersonRecord record;
            if (next(2) == 0) {
                record.census = std::string(censuses[next(static_cast<uint32_t>(censuses.size()))].name);
            } else {
                record.event = events[next(std::size(events))];
            }
            record.years = ages[next(std::size(ages))];
            if (next(6) == 0) record.months = std::to_string(next(12));
            file.records.push_back(record);
        }
        expectSameAsPeople(file, file.person);
    }
}

}  // namespace
