// The names parameterised tests are shown by: made from the case tables' own
// row names, legal for GoogleTest, and never two alike.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "case_names.h"

namespace {

using casenames::identifierFrom;
using casenames::uniqueIdentifiers;

struct NameCase {
    const char* name;
    const char* input;
    const char* expected;
};

const NameCase IdentifierCases[] = {
    {"letters and digits kept", "Dec7x1941", "Dec7x1941"},
    {"blanks become one underscore", "month word  with comma", "month_word_with_comma"},
    {"punctuation runs become one underscore", "Dec 7, 1941", "Dec_7_1941"},
    {"slashes and dashes", "12/7-1941", "12_7_1941"},
    {"no underscore at either end", "  (leading and trailing)  ", "leading_and_trailing"},
    {"an underscore of the name counts as a gap", "a__b_", "a_b"},
    {"bytes above 127 are gaps", "D\xc3\xa9" "c 7", "D_c_7"},
    {"control characters are gaps", "tab\there\nnew", "tab_here_new"},
    {"nothing usable left", " ,;- ", "case"},
    {"empty name", "", "case"},
};

TEST(CaseNames, IdentifierKeepsLettersAndDigitsAndJoinsTheRest) {
    for (const NameCase& c : IdentifierCases) {
        EXPECT_EQ(identifierFrom(c.input), c.expected) << c.name << ": input \"" << c.input << "\"";
    }
}

// GoogleTest's own rule for a parameter's name: letters, digits and '_' only,
// and not empty.
bool legalForGoogleTest(const std::string& id) {
    if (id.empty()) return false;
    for (char ch : id) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (!(c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    return true;
}

TEST(CaseNames, EveryByteGivesALegalName) {
    for (int c = 0; c < 256; ++c) {
        const std::string name(3, static_cast<char>(c));
        const std::string id = identifierFrom(name);
        EXPECT_TRUE(legalForGoogleTest(id)) << "byte " << c << ": got \"" << id << "\"";
    }
}

TEST(CaseNames, NamesMetAgainGetTheFirstFreeNumber) {
    const std::vector<std::string> got = uniqueIdentifiers({"12/7/1941", "12-7-1941", "12 7 1941", "other"});
    const std::vector<std::string> expected = {"12_7_1941", "12_7_1941_2", "12_7_1941_3", "other"};
    EXPECT_EQ(got, expected);
}

TEST(CaseNames, ANameThatLooksLikeANumberedDuplicateKeepsItsOwnForm) {
    // "a 2" is a row of its own; the second "a" must not take its name.
    const std::vector<std::string> got = uniqueIdentifiers({"a", "a", "a 2"});
    const std::vector<std::string> expected = {"a", "a_3", "a_2"};
    EXPECT_EQ(got, expected);
}

TEST(CaseNames, ManyDuplicatesAndEmptyNamesStayUnique) {
    std::vector<std::string> names;
    for (int i = 0; i < 50; ++i) names.push_back(i % 2 ? "" : "same, name");
    names.push_back("case 2");
    const std::vector<std::string> got = uniqueIdentifiers(names);
    ASSERT_EQ(got.size(), names.size());
    EXPECT_EQ(std::set<std::string>(got.begin(), got.end()).size(), got.size()) << "expected no two names alike";
    EXPECT_EQ(got[0], "same_name");
    EXPECT_EQ(got[1], "case");
    EXPECT_EQ(got[3], "case_3") << "\"case 2\" is a row's own name";
    EXPECT_EQ(got.back(), "case_2");
    for (const std::string& id : got) EXPECT_TRUE(legalForGoogleTest(id)) << id;
}

// The generator as INSTANTIATE_TEST_SUITE_P uses it: asked by index.
struct Row {
    const char* name;
    int value;
};
const Row Rows[] = {{"first row", 1}, {"first-row", 2}, {"Ma is March", 3}};

TEST(CaseNames, GeneratorAnswersByIndexFromTheRowNames) {
    const auto generator = casenames::caseNames(Rows);
    const char* expected[] = {"first_row", "first_row_2", "Ma_is_March"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(generator(::testing::TestParamInfo<Row>(Rows[i], i)), expected[i]) << "row " << i;
    }
}

TEST(CaseNames, GeneratorTakesANameFunctionForRowsWithoutAName) {
    const int widths[] = {15, 18, 15};
    const auto generator = casenames::caseNames(widths, [](int w) { return "CellWidth" + std::to_string(w); });
    EXPECT_EQ(generator(::testing::TestParamInfo<int>(widths[0], 0)), "CellWidth15");
    EXPECT_EQ(generator(::testing::TestParamInfo<int>(widths[1], 1)), "CellWidth18");
    EXPECT_EQ(generator(::testing::TestParamInfo<int>(widths[2], 2)), "CellWidth15_2");
}

// Rows of a parameterised test named by the helper, seen from GoogleTest's
// own registry: the shown names are the rows' names.
class NamedRows : public ::testing::TestWithParam<Row> {};
TEST_P(NamedRows, CarryTheirValue) { EXPECT_GT(GetParam().value, 0) << GetParam().name; }
INSTANTIATE_TEST_SUITE_P(Table, NamedRows, ::testing::ValuesIn(Rows), casenames::caseNames(Rows));

TEST(CaseNames, RegisteredInstancesShowTheRowNames) {
    std::set<std::string> shown;
    const ::testing::UnitTest& all = *::testing::UnitTest::GetInstance();
    for (int s = 0; s < all.total_test_suite_count(); ++s) {
        const ::testing::TestSuite& suite = *all.GetTestSuite(s);
        if (std::string(suite.name()) != "Table/NamedRows") continue;
        for (int t = 0; t < suite.total_test_count(); ++t) shown.insert(suite.GetTestInfo(t)->name());
    }
    const std::set<std::string> expected = {"CarryTheirValue/first_row", "CarryTheirValue/first_row_2",
                                            "CarryTheirValue/Ma_is_March"};
    EXPECT_EQ(shown, expected);
}

}  // namespace
