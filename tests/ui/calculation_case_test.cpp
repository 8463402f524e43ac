// The shared request table typed into the real window, compared field by
// field (leading spaces of computed ages included) with what the window
// then holds, and the error box, if any, by caption and text.
#include <array>
#include <ostream>
#include <memory>
#include <string>

#include "case_names.h"
#include "main_window_fixture.h"
#include "session_cases.h"

namespace quillark_cases {
// GoogleTest names a failing case by this instead of its bytes.
inline void PrintTo(const SessionCase& c, std::ostream* os) { *os << '"' << c.name << '"'; }
}  // namespace quillark_cases

namespace e2e {
namespace {

using quillark_cases::SessionCase;
using quillark_cases::SessionCases;

constexpr std::array<int, 5> Fields{Event, Years, Months, Days, Birth};

class CalculationCaseTest : public ::testing::TestWithParam<SessionCase> {
protected:
    // One program for all cases; "&Reset" between them brings back the
    // state of a fresh start (nothing remembered, both options off).
    static void SetUpTestSuite() { app_ = std::make_unique<AppSession>(quillarkExe()); }
    static void TearDownTestSuite() {
        if (app_ && app_->alive()) {
            app_->closeAllBoxes();
            EXPECT_EQ(0, app_->close());
        }
        app_.reset();
    }

    // A case that went wrong can leave boxes or a calendar behind; start the
    // next one from a new program then.
    static AppSession& freshApp() {
        if (!app_ || !app_->alive() || !app_->ok() || !app_->closeAllBoxes()) {
            app_.reset();
            app_ = std::make_unique<AppSession>(quillarkExe());
        }
        return *app_;
    }

    static std::unique_ptr<AppSession> app_;
};

std::unique_ptr<AppSession> CalculationCaseTest::app_;

TEST_P(CalculationCaseTest, WindowHoldsTheExpectedFields) {
    const SessionCase& c = GetParam();
    AppSession& app = freshApp();
    ASSERT_TRUE(app.ok()) << "quillark.exe did not start";
    ASSERT_TRUE(app.click(Reset));
    ASSERT_TRUE(app.waitFocus(Event));
    for (int id : Fields) ASSERT_TRUE(app.waitText(id, "")) << c.name << ": Reset left text in " << id;
    if (c.abbreviated) {
        ASSERT_TRUE(app.click(Abbreviate));
        ASSERT_TRUE(waitFor([&] { return app.checked(Abbreviate); }));
    }
    if (c.weekDay) {
        ASSERT_TRUE(app.click(WeekDay));
        ASSERT_TRUE(waitFor([&] { return app.checked(WeekDay); }));
    }
    ASSERT_TRUE(app.click(Event));
    ASSERT_TRUE(app.waitFocus(Event));

    // Type each field as the focus reaches it and Tab on; the last Tab lands
    // on "&Calc". An "Illegal Date" box ends the walk: the focus is back in
    // the faulty field and the fields after it were never reached.
    size_t reached = Fields.size();
    for (size_t i = 0; i < Fields.size(); ++i) {
        const int id = Fields[i];
        ASSERT_TRUE(app.waitFocus(id)) << c.name << ": expected focus in " << id << ", got " << app.focusedId();
        const std::string typed(c.input[i]);
        if (!typed.empty()) {
            app.type(typed);
            ASSERT_TRUE(app.waitText(id, typed))
                << c.name << ": field " << id << " expected \"" << typed << "\", got \"" << app.text(id) << "\"";
        }
        app.key(VK_TAB);
        const int next = i + 1 < Fields.size() ? Fields[i + 1] : int(Calc);
        // The focus touches the next control even when the validation there
        // fails and sends it back, so "moved" means: there, and staying there.
        bool boxed = false;
        ASSERT_TRUE(waitFor([&] {
            boxed = !app.boxes("Illegal Date").empty();
            // The calculation's own box takes the focus from "&Calc" at once.
            const bool calculationBox = next == Calc && !app.boxes().empty() && !boxed;
            return boxed || calculationBox || staysTrue([&] { return app.focusedId() == next && app.boxes("Illegal Date").empty(); },
                                      150ms);
        })) << c.name << ": after field " << id << " neither the next control nor a box";
        if (boxed || !app.boxes("Illegal Date").empty()) {
            reached = i + 1;
            break;
        }
    }

    if (!c.errorCaption.empty()) {
        ASSERT_TRUE(waitFor([&] { return !app.boxes(std::string(c.errorCaption)).empty(); }))
            << c.name << ": expected a box \"" << c.errorCaption << "\", got " << app.boxes().size() << " boxes";
        std::vector<BoxInfo> shown = app.boxes();
        EXPECT_EQ(1u, shown.size()) << c.name << ": expected exactly one box";
        EXPECT_EQ(std::string(c.errorText), app.boxes(std::string(c.errorCaption)).at(0).text) << c.name;
    } else {
        // The calculation is done once the computed field shows its answer.
        waitFor([&] {
            for (size_t i = 0; i < Fields.size(); ++i) {
                if (app.text(Fields[i]) != c.expected[i]) return false;
            }
            return true;
        });
        EXPECT_TRUE(app.boxes().empty()) << c.name << ": expected no box, got \""
                                         << (app.boxes().empty() ? "" : app.boxes()[0].caption) << "\"";
    }
    for (size_t i = 0; i < Fields.size(); ++i) {
        const std::string expected = i < reached ? std::string(c.expected[i]) : std::string();
        EXPECT_EQ(expected, app.text(Fields[i]))
            << c.name << ": field " << Fields[i] << " expected \"" << expected << "\", got \""
            << app.text(Fields[i]) << "\"";
    }
    app.closeAllBoxes();
}

INSTANTIATE_TEST_SUITE_P(SharedTable, CalculationCaseTest, ::testing::ValuesIn(SessionCases),
                         casenames::caseNames(SessionCases));

TEST(SharedTable, HoldsAtLeastThirtyCalculations) {
    size_t calculations = 0;
    for (const SessionCase& c : SessionCases) calculations += c.errorCaption.empty() ? 1 : 0;
    EXPECT_GE(calculations, 30u) << "expected at least 30 calculation cases, got " << calculations;
}

}  // namespace
}  // namespace e2e
