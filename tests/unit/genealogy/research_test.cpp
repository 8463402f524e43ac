// The shared case table through the research pipeline, and the pipeline's
// own seams: the forms researchers copy, a census, the citation.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "date_text.h"
#include "research.h"
#include "session_cases.h"

namespace {

using quillark::ResearchOutcome;
using quillark_cases::SessionCase;
using quillark_cases::SessionCases;

// A case of the window's table as the window asks it: its fields take only
// the window's own forms.
quillark::ResearchRequest requestOf(const SessionCase& c) {
    quillark::ResearchRequest request;
    request.researcherForms = false;
    request.fields = c.input;
    request.abbreviated = c.abbreviated;
    request.weekDay = c.weekDay;
    return request;
}

constexpr const char* FieldNames[] = {"event", "years", "months", "days", "birth"};

std::string show(std::string_view text) { return "\"" + std::string(text) + "\""; }

TEST(SessionCases, TableIsLargeAndNamesAreUnique) {
    std::set<std::string_view> names;
    for (const SessionCase& c : SessionCases) {
        EXPECT_TRUE(names.insert(c.name).second) << "duplicate case name " << show(c.name);
        EXPECT_EQ(c.missing.empty(), !c.errorCaption.empty())
            << c.name << ": a case names either the missing fact or an error";
    }
    EXPECT_GE(names.size(), 30u);
}

TEST(SessionCases, EachCaseGivesTheWindowsAnswer) {
    for (const SessionCase& c : SessionCases) {
        const quillark::ResearchAnswer answer = quillark::answerResearch(requestOf(c));
        const EntryAnswer& result = answer.entry;

        const ResearchOutcome expectedOutcome =
            c.errorCaption.empty()                  ? ResearchOutcome::Ok
            : c.errorCaption == "Illegal Date"      ? ResearchOutcome::IllegalDate
                                                    : ResearchOutcome::CalculationError;
        EXPECT_EQ(static_cast<int>(answer.outcome), static_cast<int>(expectedOutcome))
            << c.name << ": expected outcome " << static_cast<int>(expectedOutcome) << ", got "
            << static_cast<int>(answer.outcome) << " (" << result.caption << ": " << result.text << ")";
        EXPECT_EQ(result.caption, c.errorCaption)
            << c.name << ": expected caption " << show(c.errorCaption) << ", got " << show(result.caption);
        EXPECT_EQ(result.text, c.errorText)
            << c.name << ": expected text " << show(c.errorText) << ", got " << show(result.text);
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(result.fields[i], c.expected[i])
                << c.name << ": expected " << FieldNames[i] << " " << show(c.expected[i]) << ", got "
                << show(result.fields[i]);
        }
        if (expectedOutcome == ResearchOutcome::Ok) {
            EXPECT_EQ(missingFactName(result.missing), c.missing)
                << c.name << ": expected missing " << show(c.missing) << ", got "
                << show(missingFactName(result.missing));
        }
    }
}

// One pipeline reused for many requests (as batch mode does) must give the
// same answers as fresh ones: nothing may leak from one request to the next,
// in any order.
TEST(SessionCases, ReusedPipelineForgetsEarlierRequests) {
    quillark::ResearchPipeline pipeline;
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t n = 0; n < std::size(SessionCases); ++n) {
            const SessionCase& c = SessionCases[pass == 0 ? n : std::size(SessionCases) - 1 - n];
            const quillark::ResearchAnswer fresh = quillark::answerResearch(requestOf(c));
            const quillark::ResearchAnswer& reused = pipeline.answer(requestOf(c));
            EXPECT_EQ(reused.entry.fields, fresh.entry.fields) << c.name << " (pass " << pass << ")";
            EXPECT_EQ(reused.entry.caption, fresh.entry.caption) << c.name;
            EXPECT_EQ(reused.entry.text, fresh.entry.text) << c.name;
            EXPECT_EQ(reused.entry.missing, fresh.entry.missing) << c.name;
        }
    }
}

// The answer carries what the window's two codes are left as.
TEST(Research, AnswerCarriesTheWindowsEngineState) {
    struct StateCase {
        const char* name;
        std::array<std::string_view, 5> input;
        EntryCode entryError;
        MissingFact missing;
    };
    const StateCase cases[] = {
        {"birth calculated", {"Dec 7, 1941", "40", "", "", ""}, EntryCode::None, MissingFact::BirthDate},
        {"two of three sets the code to 1", {"12/07/1941", "", "", "", ""}, EntryCode::Months, MissingFact::None},
        {"order check leaves the code at 0", {"05/10/1850", "", "", "", "05/11/1850"}, EntryCode::None,
         MissingFact::Age},
        {"illegal day leaves its code", {"", "30", "", "", "02/29/1900"}, EntryCode::Days, MissingFact::None},
        {"computed date failing the display check leaves code 3", {"01/01/1601", "10", "0", "", ""},
         EntryCode::Years, MissingFact::BirthDate},
    };
    quillark::ResearchPipeline pipeline;
    for (const StateCase& c : cases) {
        quillark::ResearchRequest request;
        request.fields = c.input;
        const quillark::ResearchAnswer& answer = pipeline.answer(request);
        EXPECT_EQ(answer.entry.entryError, c.entryError)
            << c.name << ": expected EntryError " << static_cast<int>(c.entryError) << ", got "
            << static_cast<int>(answer.entry.entryError);
        EXPECT_EQ(answer.entry.missing, c.missing)
            << c.name << ": expected MissingPart " << static_cast<int>(c.missing) << ", got "
            << static_cast<int>(answer.entry.missing);
    }
}

// Where the pipeline joins its steps: a date in a researcher's form reaches
// the engine as numbers, a census replaces the event and reads the age by
// its rule, and each failure is told apart.
TEST(Research, StepsMeetAsTheyShould) {
    struct SeamCase {
        const char* name;
        std::array<std::string_view, 5> input;
        const char* census;
        bool abbreviated;
        ResearchOutcome outcome;
        std::array<const char*, 5> shown;  // the fields as shown, when Ok
        const char* failure;               // caption or census problem, when not Ok
    };
    const SeamCase cases[] = {
        {"a form's date is shown in the display chosen", {"6 Jun 1841", "30", "", "", ""}, "", true,
         ResearchOutcome::Ok, {"Jun 6, 1841", "30", "", "", "1811 or 1810"}, ""},
        {"a form's date that is no day is refused as typed dates are", {"31 Jun 1841", "30", "", "", ""}, "", false,
         ResearchOutcome::IllegalDate, {}, "Illegal Date"},
        {"a form's birth outside 1600..2100 is refused", {"", "30", "", "", "1599-06-06"}, "", false,
         ResearchOutcome::IllegalDate, {}, "Illegal Date"},
        {"the census day is the event, the years as written", {"", "30", "", "", ""}, "EW1841", true,
         ResearchOutcome::Ok, {"Jun 6, 1841", "30", "", "", "1806 to 1811"}, ""},
        {"months make an 1841 age exact", {"", "30", "2", "", ""}, "EW1841", false, ResearchOutcome::Ok,
         {"06/06/1841", "30", "2", "", "04/06/1811"}, ""},
        {"an age computed under a census is shown", {"", "", "", "", "1811"}, "EW1851", false, ResearchOutcome::Ok,
         {"03/30/1851", "40 or 39", "", "", "1811"}, ""},
        {"a form's event agrees with the census day", {"6 Jun 1841", "30", "", "", ""}, "ew1841", false,
         ResearchOutcome::Ok, {"06/06/1841", "30", "", "", "1806 to 1811"}, ""},
        {"a year holding the census day agrees", {"1841", "7", "", "", ""}, "EW1841", false, ResearchOutcome::Ok,
         {"06/06/1841", "7", "", "", "1834 or 1833"}, ""},
        {"another day is not the census day", {"7 Jun 1841", "30", "", "", ""}, "EW1841", false,
         ResearchOutcome::CensusError, {}, "not the census day"},
        {"an event that is no date is not the census day", {"13/1841", "30", "", "", ""}, "EW1841", false,
         ResearchOutcome::CensusError, {}, "not the census day"},
        {"an unknown census", {"", "30", "", "", ""}, " EW1941 ", false, ResearchOutcome::CensusError, {},
         "unknown"},
    };
    quillark::ResearchPipeline pipeline;
    for (const SeamCase& c : cases) {
        quillark::ResearchRequest request;
        request.fields = c.input;
        request.census = c.census;
        request.abbreviated = c.abbreviated;
        const quillark::ResearchAnswer& answer = pipeline.answer(request);
        ASSERT_EQ(static_cast<int>(answer.outcome), static_cast<int>(c.outcome))
            << c.name << ": " << answer.entry.caption << " " << answer.entry.text;
        if (c.outcome == ResearchOutcome::Ok) {
            for (size_t i = 0; i < 5; ++i)
                EXPECT_EQ(std::string(trimBlanks(answer.shown(static_cast<Field>(i)))), c.shown[i])
                    << c.name << ": field " << FieldNames[i];
        } else if (c.outcome == ResearchOutcome::CensusError) {
            const bool unknown = answer.censusFailure.problem == quillark::CensusProblem::UnknownName;
            EXPECT_EQ(unknown ? "unknown" : "not the census day", std::string(c.failure)) << c.name;
            EXPECT_EQ(answer.censusFailure.name, trimBlanks(c.census)) << c.name;
        } else {
            EXPECT_EQ(answer.entry.caption, c.failure) << c.name;
        }
    }
}

// The window's fields take only its own forms; the command line's take the
// researchers' too.
TEST(Research, ResearchersFormsOnlyWhenAsked) {
    quillark::ResearchRequest request;
    request.fields = {"7 Dec 1941", "40y", "", "", ""};
    const quillark::ResearchAnswer read = quillark::answerResearch(request);
    EXPECT_EQ(read.outcome, ResearchOutcome::Ok);
    EXPECT_EQ(read.entry.fields[4], "1901 or 1900");
    request.researcherForms = false;
    const quillark::ResearchAnswer typed = quillark::answerResearch(request);
    EXPECT_EQ(typed.outcome, ResearchOutcome::IllegalDate);
    EXPECT_TRUE(typed.warnings.empty());
}

// Only what is asked for is worked out: the window with cite, the record's
// birth window with birthWindow, and neither for an answer with a box.
TEST(Research, CitesAndBoundsOnlyWhenAsked) {
    quillark::ResearchRequest request;
    request.fields = {"Dec 7, 1941", "40", "", "", ""};
    quillark::ResearchPipeline pipeline;
    EXPECT_FALSE(pipeline.answer(request).citation.known);
    EXPECT_FALSE(pipeline.answer(request).birthWindow);
    request.cite = true;
    request.gedcom = quillark::GedcomVersion::V7;
    request.birthWindow = true;
    const quillark::ResearchAnswer& answer = pipeline.answer(request);
    ASSERT_TRUE(answer.citation.known);
    EXPECT_EQ(citationText(answer.citation, quillark::CitationText::Gedcom), "BET 8 DEC 1900 AND 7 DEC 1901");
    ASSERT_TRUE(answer.birthWindow);
    EXPECT_EQ(quillark::isoText(answer.birthWindow->earliest), "1900-12-08");
    request.fields = {"Dec 7, 1941", "40", "", "", "1950"};  // all three: nothing remembered
    const quillark::ResearchAnswer& failed = pipeline.answer(request);
    EXPECT_EQ(failed.outcome, ResearchOutcome::CalculationError);
    EXPECT_FALSE(failed.citation.known);
    EXPECT_FALSE(failed.birthWindow);
}

}  // namespace
