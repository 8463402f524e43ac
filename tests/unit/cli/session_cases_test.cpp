// The shared case table through the window-equivalent pipeline.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "date_text.h"
#include "session.h"
#include "session_cases.h"

namespace {

using quillark::SessionOutcome;
using quillark_cases::SessionCase;
using quillark_cases::SessionCases;

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
        quillark::SessionInput input;
        input.fields = c.input;
        input.abbreviated = c.abbreviated;
        input.weekDay = c.weekDay;
        const quillark::SessionResult result = quillark::runSession(input);

        const SessionOutcome expectedOutcome =
            c.errorCaption.empty()                  ? SessionOutcome::Ok
            : c.errorCaption == "Illegal Date"      ? SessionOutcome::IllegalDate
                                                    : SessionOutcome::CalculationError;
        EXPECT_EQ(static_cast<int>(result.outcome), static_cast<int>(expectedOutcome))
            << c.name << ": expected outcome " << static_cast<int>(expectedOutcome) << ", got "
            << static_cast<int>(result.outcome) << " (" << result.caption << ": " << result.text << ")";
        EXPECT_EQ(result.caption, c.errorCaption)
            << c.name << ": expected caption " << show(c.errorCaption) << ", got " << show(result.caption);
        EXPECT_EQ(result.text, c.errorText)
            << c.name << ": expected text " << show(c.errorText) << ", got " << show(result.text);
        for (size_t i = 0; i < 5; ++i) {
            EXPECT_EQ(result.fields[i], c.expected[i])
                << c.name << ": expected " << FieldNames[i] << " " << show(c.expected[i]) << ", got "
                << show(result.fields[i]);
        }
        if (expectedOutcome == SessionOutcome::Ok) {
            EXPECT_EQ(quillark::missingFactName(result.missing), c.missing)
                << c.name << ": expected missing " << show(c.missing) << ", got "
                << show(quillark::missingFactName(result.missing));
        }
    }
}

// One Session object reused for many requests (as batch mode does) must give
// the same answers as fresh ones: nothing may leak from one request to the
// next, in any order.
TEST(SessionCases, ReusedSessionForgetsEarlierRequests) {
    quillark::Session session;
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t n = 0; n < std::size(SessionCases); ++n) {
            const SessionCase& c = SessionCases[pass == 0 ? n : std::size(SessionCases) - 1 - n];
            quillark::SessionInput input;
            input.fields = c.input;
            input.abbreviated = c.abbreviated;
            input.weekDay = c.weekDay;
            const quillark::SessionResult fresh = quillark::runSession(input);
            const quillark::SessionResult& reused = session.run(input);
            EXPECT_EQ(reused.fields, fresh.fields) << c.name << " (pass " << pass << ")";
            EXPECT_EQ(reused.caption, fresh.caption) << c.name;
            EXPECT_EQ(reused.text, fresh.text) << c.name;
            EXPECT_EQ(reused.missing, fresh.missing) << c.name;
        }
    }
}

// The engine's shared state after a run is what the window is left with.
TEST(Session, LeavesTheWindowsEngineState) {
    struct StateCase {
        const char* name;
        std::array<std::string_view, 5> input;
        int32_t entryError;
        MissingFact missing;
    };
    const StateCase cases[] = {
        {"birth calculated", {"Dec 7, 1941", "40", "", "", ""}, 0, MissingFact::BirthDate},
        {"two of three sets the code to 1", {"12/07/1941", "", "", "", ""}, 1, MissingFact::None},
        {"order check leaves the code at 0", {"05/10/1850", "", "", "", "05/11/1850"}, 0, MissingFact::Age},
        {"illegal day leaves its code", {"", "30", "", "", "02/29/1900"}, 2, MissingFact::None},
        {"computed date failing the display check leaves code 3", {"01/01/1601", "10", "0", "", ""}, 3,
         MissingFact::BirthDate},
    };
    quillark::Session session;
    for (const StateCase& c : cases) {
        // Dirty state from an earlier request must not matter.
        EntryError = 4;
        MissingPart = MissingFact::EventDate;
        quillark::SessionInput input;
        input.fields = c.input;
        session.run(input);
        EXPECT_EQ(EntryError, c.entryError) << c.name << ": expected EntryError " << c.entryError << ", got "
                                            << EntryError;
        EXPECT_EQ(MissingPart, c.missing) << c.name << ": expected MissingPart "
                                          << static_cast<int>(c.missing) << ", got "
                                          << static_cast<int>(MissingPart);
    }
}

}  // namespace
