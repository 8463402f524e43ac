// The shared case table through the window-equivalent pipeline.
#include <gtest/gtest.h>

#include <set>
#include <string>

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

}  // namespace
