// The forms researchers copy from registers, censuses and gravestones.
#include <gtest/gtest.h>

#include <random>
#include <regex>

#include "researcher_forms.h"
#include "research.h"
#include "window_test_support.h"

namespace {

using namespace quillark;

struct FormCase {
    const char* name;
    std::array<const char*, 5> typed;     // event, years, months, days, birth
    std::array<const char*, 5> expected;  // as handed to the calculator (a date read: its canonical text)
    size_t warnings;
};

const FormCase FormCases[] = {
    // Dates.
    {"day month year", {"6 Jun 1841", "30", "", "", ""}, {"06/06/1841", "30", "", "", ""}, 0},
    {"GEDCOM capitals", {"6 JUN 1841", "30", "", "", ""}, {"06/06/1841", "30", "", "", ""}, 0},
    {"full month name", {"30 March 1851", "30", "", "", ""}, {"03/30/1851", "30", "", "", ""}, 0},
    {"month year", {"JUN 1841", "30", "", "", ""}, {"06/1841", "30", "", "", ""}, 0},
    {"ISO date", {"1841-06-06", "30", "", "", ""}, {"06/06/1841", "30", "", "", ""}, 0},
    {"ISO month", {"1841-06", "30", "", "", ""}, {"06/1841", "30", "", "", ""}, 0},
    {"about, with a warning", {"ABT 1841", "30", "", "", ""}, {"1841", "30", "", "", ""}, 1},
    {"estimated birth", {"", "30", "", "", "EST 6 Jun 1811"}, {"", "30", "", "", "06/06/1811"}, 1},
    {"no such day is left to the calculator", {"31 Jun 1841", "30", "", "", ""}, {"06/31/1841", "30", "", "", ""}, 0},
    // Ages of the 1841 census (months as twelfths).
    {"census months", {"", "3/12", "", "", ""}, {"", "0", "3", "", ""}, 0},
    {"census year and months", {"", "1 3/12", "", "", ""}, {"", "1", "3", "", ""}, 0},
    // Burial registers.
    {"weeks become days", {"", "3 weeks", "", "", ""}, {"", "0", "", "21", ""}, 1},
    {"days", {"", "10 days", "", "", ""}, {"", "0", "", "10", ""}, 0},
    {"months abbreviated", {"", "5 mos.", "", "", ""}, {"", "0", "5", "", ""}, 0},
    {"infant", {"", "INFANT", "", "", ""}, {"", "0", "", "", ""}, 0},
    {"child", {"", "child", "", "", ""}, {"", "-7", "", "", ""}, 0},
    {"stillborn", {"", "STILLBORN", "", "", ""}, {"", "0", "0", "0", ""}, 0},
    // Gravestones.
    {"years months days", {"", "72 yrs 3 mos 14 days", "", "", ""}, {"", "72", "3", "14", ""}, 0},
    {"words with and", {"", "72 years, 3 months and 14 days", "", "", ""}, {"", "72", "3", "14", ""}, 0},
    {"aged", {"", "aged 72", "", "", ""}, {"", "72", "", "", ""}, 0},
    // GEDCOM ages.
    {"GEDCOM years and months", {"", "40y 3m", "", "", ""}, {"", "40", "3", "", ""}, 0},
    {"GEDCOM full age", {"", "40y 3m 2d", "", "", ""}, {"", "40", "3", "2", ""}, 0},
    {"under five", {"", "<5y", "", "", ""}, {"", "-4", "", "", ""}, 0},
    {"under five and a half", {"", "<5y 6m", "", "", ""}, {"", "-5", "", "", ""}, 1},
    {"over sixty", {"", ">60y", "", "", ""}, {"", "60+", "", "", ""}, 0},
    {"the months field wins", {"", "40y 3m", "4", "", ""}, {"", "40", "4", "", ""}, 1},
    // Left exactly as typed.
    {"window date forms", {"Dec 7, 1941", "40", "", "", "12/1900"}, {"Dec 7, 1941", "40", "", "", "12/1900"}, 0},
    {"window age forms", {"", "20-30", " 3", "", ""}, {"", "20-30", " 3", "", ""}, 0},
    {"bounds", {"", "-5", "", "", ""}, {"", "-5", "", "", ""}, 0},
    {"junk", {"soon", "forty", "", "", ""}, {"soon", "forty", "", "", ""}, 0},
    {"exponent", {"", "1e2", "", "", ""}, {"", "1e2", "", "", ""}, 0},
    {"over a few months names no year", {"", ">3m", "", "", ""}, {"", ">3m", "", "", ""}, 1},
};

TEST(ResearcherForms, ReadIntoTheWindowsFields) {
    for (const FormCase& c : FormCases) {
        std::array<std::string, 5> fields;
        for (size_t i = 0; i < 5; ++i) fields[i] = c.typed[i];
        std::vector<std::string> warnings;
        ResearcherDates dates;
        translateResearcherForms(fields, dates, warnings);
        // A date read from a form reaches the calculator as numbers, and its
        // field's text is those numbers' canonical text.
        for (const auto& [date, field] : {std::pair{&dates.event.date, &fields[0]}, std::pair{&dates.birth.date, &fields[4]}})
            if (*date) {
                EXPECT_EQ(canonicalText(**date), *field) << c.name;
            }
        for (size_t i = 0; i < 5; ++i) EXPECT_EQ(fields[i], c.expected[i]) << c.name << ", field " << i;
        EXPECT_EQ(warnings.size(), c.warnings) << c.name << ": " << ::testing::PrintToString(warnings);
    }
}

// The years a window's words name: "1901 or 1900", "1869 to 1880", "1840 or
// before", "1910 or later", or the year of a date.
struct WordYears {
    std::optional<int> low, high;
};

WordYears wordYears(const std::string& words) {
    static const std::regex pair(R"((-?\d+) (or|to) ?(-?\d+))"), before(R"((-?\d+) or before)"),
        later(R"((-?\d+) or later)"), date(R"((?:\d\d/)+(\d{4}).*)");
    std::smatch m;
    if (std::regex_match(words, m, before)) return {std::nullopt, std::stoi(m[1])};
    if (std::regex_match(words, m, later)) return {std::stoi(m[1]), std::nullopt};
    if (std::regex_match(words, m, pair)) {
        const int a = std::stoi(m[1]), b = std::stoi(m[3]);
        return {std::min(a, b), std::max(a, b)};
    }
    if (std::regex_match(words, m, date)) return {std::stoi(m[1]), std::stoi(m[1])};
    return {};
}

// The window lies within the years its words name. Whole-year ages, ranges
// and bounds from every date form always agree; so do months with a
// year-only event. An age with months (or days) from a month or full date
// names one month or day in words, and its window of a month can reach back
// into the year before: those are counted, not required to agree.
TEST(ResearcherForms, WindowLiesWithinTheWordsYears) {
    const uint64_t requests = window_test::requestCount(20000);
    std::mt19937_64 random(1851);
    ResearchPipeline pipeline;
    uint64_t agreed = 0, crossing = 0;
    for (uint64_t n = 0; n < requests; ++n) {
        const window_test::Request r = window_test::randomRequest(random, false);
        ResearchRequest request;
        request.fields = {r.event, r.years, r.months, r.days, ""};
        const EntryAnswer& answer = pipeline.answer(request).entry;
        ASSERT_EQ(answer.box, EntryBox::None) << r.describe();
        const AnswerWindow window = answerWindow(answer);
        ASSERT_EQ(window.status, WindowStatus::Ok) << r.describe();
        const WordYears words = wordYears(answer.fields[4]);
        ASSERT_TRUE(words.low || words.high) << r.describe() << " gave '" << answer.fields[4] << "'";
        const auto yearOf = [](const std::optional<Date>& d) { return ::yearOf(*d); };
        const bool within = (!words.low || (window.dates.earliest && yearOf(window.dates.earliest) >= *words.low)) &&
                            (!words.high || yearOf(window.dates.latest) <= *words.high) &&
                            (words.low || !window.dates.earliest) && (words.high || !window.dates.latest);
        const bool mustAgree = r.months.empty() || r.event.size() == 4;
        if (mustAgree) {
            ASSERT_TRUE(within) << r.describe() << ": '" << answer.fields[4] << "' but "
                                << window_test::iso(window.dates.earliest) << " to "
                                << window_test::iso(window.dates.latest);
        }
        // From a year alone the window spans the words' years exactly.
        if (r.event.size() == 4 && r.months.empty()) {
            if (words.low) {
                ASSERT_EQ(yearOf(window.dates.earliest), *words.low) << r.describe();
            }
            ASSERT_EQ(yearOf(window.dates.latest), *words.high) << r.describe();
        }
        within ? ++agreed : ++crossing;
    }
    std::printf("window within the words' years: %llu of %llu; months reaching into another year: %llu\n",
                static_cast<unsigned long long>(agreed), static_cast<unsigned long long>(requests),
                static_cast<unsigned long long>(crossing));
}

}  // namespace
