// What the window says beside an answer (its notes: the window in words,
// GEDCOM 7 and 5.5.1, the ends, the warnings), and one person's records
// answered together as the records window answers them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "person_records.h"
#include "research.h"

namespace {

using quillark::AnswerNotes;
using quillark::PersonRecord;
using quillark::PersonStatus;

struct NotesCase {
    const char* name;
    const char* event;
    const char* years;
    const char* months;
    const char* birth;
    const char* census;
    // Expected notes; warnings joined by " | ".
    const char* windowLine;
    const char* gedcom7;
    const char* gedcom551;
    const char* earliest;
    const char* latest;
    const char* warnings;
};

// The window's own forms (numeric display, no week day), as "&Calc" asks.
const NotesCase NotesCases[] = {
    {"the typical request", "12/07/1941", "40", "", "", "", "Born between 12/08/1900 and 12/07/1901",
     "BET 8 DEC 1900 AND 7 DEC 1901", "BET 8 DEC 1900 AND 7 DEC 1901", "1900-12-08", "1901-12-07", ""},
    {"months make the window one month", "12/07/1941", "40", "0", "", "",
     "Born between 11/08/1901 and 12/07/1901", "BET 8 NOV 1901 AND 7 DEC 1901", "BET 8 NOV 1901 AND 7 DEC 1901",
     "1901-11-08", "1901-12-07", ""},
    {"an open window", "06/1841", "60+", "", "", "", "Born on or before 06/30/1781", "BEF JUN 1781", "BEF JUL 1781",
     "", "1781-06-30", ""},
    {"an age between two dates", "01/30/1900", "", "", "12/31/1850", "", "Aged 49y 0m 30d", "49y 0m 30d",
     "49y 0m 30d", "49y 0m 30d", "49y 0m 30d", ""},
    {"an age range has no GEDCOM age", "04/07/1861", "", "", "1811", "",
     "Aged between 49y 3m 7d and 50y 3m 6d", "", "", "49y 3m 7d", "50y 3m 6d",
     "A GEDCOM age holds no range: the age is between 49y 3m 7d and 50y 3m 6d"},
    {"the 1841 census reads 30 as 30 to 34", "06/06/1841", "30", "", "", "EW1841",
     "Born between 06/07/1806 and 06/06/1811", "BET 7 JUN 1806 AND 6 JUN 1811", "BET 7 JUN 1806 AND 6 JUN 1811",
     "1806-06-07", "1811-06-06", ""},
    {"an 1841 age not a multiple of five", "06/06/1841", "33", "", "", "EW1841",
     "Born between 06/07/1803 and 06/06/1808", "BET 7 JUN 1803 AND 6 JUN 1808", "BET 7 JUN 1803 AND 6 JUN 1808",
     "1803-06-07", "1808-06-06",
     "EW1841 wrote ages of 15 and over rounded down to a multiple of 5; 33 is not one and is read as 33 to 37"},
};

std::string joined(const std::vector<std::string>& parts) {
    std::string text;
    for (const std::string& part : parts) text.append(text.empty() ? "" : " | ").append(part);
    return text;
}

TEST(AnswerNotes, GiveTheWindowItsGedcomValuesAndWarnings) {
    for (const NotesCase& c : NotesCases) {
        quillark::ResearchRequest request;
        request.fields = {c.event, c.years, c.months, "", c.birth};
        request.census = c.census;
        request.researcherForms = false;
        request.cite = true;
        const quillark::ResearchAnswer answer = quillark::answerResearch(request);
        ASSERT_EQ(answer.outcome, quillark::ResearchOutcome::Ok) << c.name;
        const AnswerNotes notes = quillark::answerNotes(answer, false, false);
        EXPECT_TRUE(notes.known()) << c.name;
        EXPECT_EQ(notes.windowLine, c.windowLine) << c.name;
        EXPECT_EQ(notes.gedcom7, c.gedcom7) << c.name;
        EXPECT_EQ(notes.gedcom551, c.gedcom551) << c.name;
        EXPECT_EQ(notes.earliest, c.earliest) << c.name;
        EXPECT_EQ(notes.latest, c.latest) << c.name;
        EXPECT_EQ(joined(notes.warnings), c.warnings) << c.name;
    }
}

TEST(AnswerNotes, AreEmptyForAnAnswerThatFailedOrWasNotCited) {
    quillark::ResearchRequest request;
    request.fields = {"13/07/1941", "40", "", "", ""};
    request.cite = true;
    EXPECT_FALSE(quillark::answerNotes(quillark::answerResearch(request), false, false).known()) << "illegal date";
    request.fields = {"12/07/1941", "40", "", "", ""};
    request.cite = false;
    EXPECT_FALSE(quillark::answerNotes(quillark::answerResearch(request), false, false).known()) << "not cited";
}

struct ProblemCase {
    const char* name;
    PersonRecord record;
    quillark::ResearchOutcome outcome;
    const char* problem;
};

const ProblemCase ProblemCases[] = {
    {"a day the month lacks", {"", "", "06/31/1841", "5", "", ""}, quillark::ResearchOutcome::IllegalDate,
     "Illegal Date: Check on days"},
    {"an unknown census", {"", "EW1941", "", "5", "", ""}, quillark::ResearchOutcome::CensusError,
     "Census error: no census named 'EW1941'"},
    {"a date that is not the census day", {"", "EW1841", "06/07/1841", "5", "", ""},
     quillark::ResearchOutcome::CensusError,
     "Census error: the event date 06/07/1841 is not the census day of EW1841 (06/06/1841)"},
    {"an age alone", {"", "", "", "5", "", ""}, quillark::ResearchOutcome::CalculationError,
     "Data error: Must specify two of the three data parts"},
};

TEST(PersonRecords, ARecordThatFailsSaysWhyAndGivesNoWindow) {
    for (const ProblemCase& c : ProblemCases) {
        const quillark::RecordAnswer answer = quillark::answerPersonRecord(c.record);
        EXPECT_EQ(answer.outcome, c.outcome) << c.name;
        EXPECT_EQ(answer.problem, c.problem) << c.name;
        EXPECT_FALSE(answer.birth.has_value()) << c.name;
    }
    const std::vector<PersonRecord> records = {ProblemCases[0].record, {"1841 census", "EW1841", "", "30", "", ""}};
    const quillark::PersonRecordsAnswer both = quillark::answerPersonRecords(records);
    EXPECT_EQ(both.summary.status, PersonStatus::Ok) << "the good record still counts";
    EXPECT_EQ(both.summary.records, 1u);
    EXPECT_EQ(both.summary.unusable, 1u);
}

}  // namespace
