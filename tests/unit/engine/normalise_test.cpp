#include "engine_test_support.h"

namespace {

struct NormaliseCase {
    const char* name;
    const char* input;
    const char* expected;
    int32_t code;
};

const NormaliseCase NormaliseCases[] = {
    {"slashes pad month and day", "12/7/1941", "12/07/1941", 0},
    {"dashes become slashes", "12-7-1941", "12/07/1941", 0},
    {"month word with comma", "Dec 7, 1941", "12/07/1941", 0},
    {"lower-case month word and glued comma", "dec 07,1941", "12/07/1941", 0},
    {"month word without comma", "Dec 7 1941", "12/07/1941", 0},
    {"upper-case month word", "DEC 7, 1941", "12/07/1941", 0},
    {"month word and year", "Dec 1941", "12/1941", 0},
    {"month word, comma and year", "Dec, 1941", "12/1941", 0},
    {"single-digit month and year", "5/1941", "05/1941", 0},
    {"dash month and year", "5-1941", "05/1941", 0},
    {"year alone stays", "1941", "1941", 0},
    {"own tag kept", "12/07/1941  [Su]", "12/07/1941  [Su]", 0},
    {"tag after month word", "Dec 7, 1941 [Su]", "12/07/1941  [Su]", 0},
    {"two-digit year", "12/7/41", "12/07/41", 4},
    {"five-digit year", "12/7/01941", "12/07/01941", 4},
    {"fourth part dropped", "12/7/1941/3", "12/07/1941", 0},
    {"only the last two characters of a part", "12/123/1941", "12/23/1941", 0},
    {"trailing blank without tag", "12/7/1941 ", "12/07/1941 ", 4},
    {"trailing blank before tag is trimmed", "12/7/1941 [Su]", "12/07/1941  [Su]", 0},
    {"empty text", "", "", 0},
    {"only a tag", "[Su]", "", 0},
    {"blanks before a tag", "   [Mo]", "", 0},
    {"year words with or", "1850 or 1849", "1850 or 1849", 0},
    {"year words with to", "1869 to 1880", "1869 to 1880", 0},
    {"year words or before", "1840 or before", "1840 or before", 0},
    {"upper-case OR is not a year text", "1850 OR 1849", "1850 OR 1849", 4},
    {"not range-checked", "13/45/1941", "13/45/1941", 0},
    {"Ma is March", "Ma 5, 1941", "03/05/1941", 0},
    {"May", "May 5, 1941", "05/05/1941", 0},
    {"Ju is June", "Ju 5, 1941", "06/05/1941", 0},
    {"J is January", "J 5 1941", "01/05/1941", 0},
    {"n is January", "n 5 1941", "01/05/1941", 0},
    {"e is February", "e 5 1941", "02/05/1941", 0},
    {"p is April", "p 5 1941", "04/05/1941", 0},
    {"t is October", "t 5 1941", "10/05/1941", 0},
    {"De is December", "De 5 1941", "12/05/1941", 0},
    {"full month name is not found", "December 7, 1941", "December 7, 1941", 4},
    {"Sept is not found", "Sept 7, 1941", "Sept 7, 1941", 4},
    {"June is not found", "June 7, 1941", "June 7, 1941", 4},
    {"day before month", "7 Dec 1941", "7 Dec 1941", 4},
    {"blanks between numbers", "12 7 1941", "12 7 1941", 4},
    {"runs of blanks shrink", "Dec   7,   1941", "12/07/1941", 0},
    {"year of letters", "19a1", "19a1", 4},
    {"full date with letters in year", "12/07/19a1", "12/07/19a1", 4},
    {"month/year with letters in year", "05/19a1", "05/19a1", 4},
    {"leading comma gives an empty month", ",1941", "00/1941", 0},
    {"empty day", "12//1941", "12/00/1941", 0},
    {"tab is an ordinary character", "12/7/1941\t", "12/07/1941\t", 4},
    {"old year month/year", "05/1066", "05/1066", 0},
};

class Normalise : public EngineTest, public ::testing::WithParamInterface<NormaliseCase> {};

TEST_P(Normalise, CanonicalTextAndCode) {
    const NormaliseCase& c = GetParam();
    Normalised got = normaliseFresh(c.input);
    EXPECT_EQ(got.text, c.expected) << c.name << ": input \"" << c.input << "\"";
    EXPECT_EQ(static_cast<int32_t>(got.code), c.code) << c.name << ": input \"" << c.input << "\"";
}

INSTANTIATE_TEST_SUITE_P(Cases, Normalise, ::testing::ValuesIn(NormaliseCases),
                         casenames::caseNames(NormaliseCases));

TEST_F(EngineTest, NormaliseRaisesButNeverLowersTheCode) {
    EntryCode code = EntryCode::Days;
    EXPECT_EQ(normaliseDateText("12/07/1941", code), "12/07/1941");
    EXPECT_EQ(code, EntryCode::Days) << "a valid date must leave an earlier code alone";
    code = EntryCode::None;
    normaliseDateText("41", code);
    EXPECT_EQ(code, EntryCode::FourDigitYear);
}

struct CheckCase {
    const char* name;
    int32_t month, day, year;
    int32_t code;
};

const CheckCase CheckCases[] = {
    {"29 Feb 1900 (century)", 2, 29, 1900, 2},
    {"29 Feb 1700 (century)", 2, 29, 1700, 2},
    {"29 Feb 2000 (400 years)", 2, 29, 2000, 0},
    {"29 Feb 1600 (400 years)", 2, 29, 1600, 0},
    {"29 Feb 2100 is no date", 2, 29, 2100, 2},
    {"month 0", 0, 10, 1941, 1},
    {"month 13", 13, 10, 1941, 1},
    {"31 April", 4, 31, 1941, 2},
    {"day 0", 12, 0, 1941, 2},
    {"year 1599", 12, 7, 1599, 3},
    {"year 2101", 12, 7, 2101, 3},
    {"year 1600", 12, 7, 1600, 0},
    {"year 2100", 12, 7, 2100, 0},
    {"month decides first", 13, 45, 1500, 1},
    {"day before year", 2, 30, 1500, 2},
};

TEST_F(EngineTest, CheckFullDateRulesInOrder) {
    for (const CheckCase& c : CheckCases) {
        DateParts parts{DateForm::FullDate, c.month, c.day, c.year};
        EXPECT_EQ(static_cast<int32_t>(checkFullDate(parts)), c.code) << c.name;
    }
}

TEST_F(EngineTest, ReadDatePartsByPosition) {
    struct {
        const char* text;
        DateForm form;
        int32_t month, day, year;
    } cases[] = {
        {"12/07/1941", DateForm::FullDate, 12, 7, 1941},
        {"05/1941", DateForm::MonthYear, 5, 0, 1941},
        {"1941", DateForm::YearOnly, 0, 0, 1941},
        {"1850 or 1849", DateForm::YearOnly, 0, 0, 1849},
        {"", DateForm::YearOnly, 0, 0, 0},
        {"00/1941", DateForm::MonthYear, 0, 0, 1941},
    };
    for (const auto& c : cases) {
        DateParts p = readDateParts(c.text);
        EXPECT_EQ(p.form, c.form) << c.text;
        EXPECT_EQ(p.month, c.month) << c.text;
        EXPECT_EQ(p.day, c.day) << c.text;
        EXPECT_EQ(p.year, c.year) << c.text;
    }
}

TEST_F(EngineTest, MonthWordsAreFoundAsPiecesOfTheList) {
    struct {
        const char* word;
        int32_t month;  // 0 = not found
    } cases[] = {{"Jan", 1}, {"feb", 2}, {"MAR", 3}, {"Ma", 3}, {"May", 5}, {"Ju", 6}, {"Jul", 7},
                 {"ug", 8},  {"Sep", 9}, {"Oc", 10}, {"No", 11}, {"Dec", 12}, {"", 1},
                 {"Dece", 0}, {"Sept", 0}, {"x", 0}, {"12", 0}};
    for (const auto& c : cases) {
        int32_t p = monthWordPosition(c.word);
        int32_t month = p == 0 ? 0 : (p - 1) / 5 + 1;
        EXPECT_EQ(month, c.month) << "word \"" << c.word << "\"";
    }
}

}  // namespace
