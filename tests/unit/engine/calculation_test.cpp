#include "engine_test_support.h"

namespace {

struct CalcCase {
    const char* name;
    // Inputs: event, years, months, days, birth.
    const char* in[5];
    // Expected field texts after the calculation, exactly as written.
    const char* out[5];
    MissingFact missing;
    const char* errorText;  // nullptr: no box
};

const CalcCase CalcCases[] = {
    // Year words of the result table.
    {"birth from 50 years", {"05/10/1900", "50", "", "", ""}, {"05/10/1900", "50", "", "", "1850 or 1849"}, MissingFact::BirthDate, nullptr},
    {"birth from 20-30", {"05/10/1900", "20-30", "", "", ""}, {"05/10/1900", "20-30", "", "", "1869 to 1880"}, MissingFact::BirthDate, nullptr},
    {"birth from -5", {"1900", "-5", "", "", ""}, {"1900", "-5", "", "", "1894 to 1900"}, MissingFact::BirthDate, nullptr},
    {"birth from 60+", {"1900", "60+", "", "", ""}, {"1900", "60+", "", "", "1840 or before"}, MissingFact::BirthDate, nullptr},
    {"event from 30", {"", "30", "", "", "06/15/1850"}, {"1880 or 1881", "30", "", "", "06/15/1850"}, MissingFact::EventDate, nullptr},
    {"event from 20-30", {"", "20-30", "", "", "06/15/1850"}, {"1870 to 1881", "20-30", "", "", "06/15/1850"}, MissingFact::EventDate, nullptr},
    {"event from 60+", {"", "60+", "", "", "1850"}, {"1910 or later", "60+", "", "", "1850"}, MissingFact::EventDate, nullptr},
    // The typical request.
    {"typical request", {"12/07/1941", "40", "", "", ""}, {"12/07/1941", "40", "", "", "1901 or 1900"}, MissingFact::BirthDate, nullptr},
    {"typical request with months", {"12/07/1941", "40", "0", "", ""}, {"12/07/1941", "40", "0", "", "12/07/1901"}, MissingFact::BirthDate, nullptr},
    {"reversed range", {"05/10/1900", "30-20", "", "", ""}, {"05/10/1900", "30-20", "", "", "1869 to 1880"}, MissingFact::BirthDate, nullptr},
    // Ages from two dates.
    {"age borrows December", {"01/30/1900", "", "", "", "12/31/1850"}, {"01/30/1900", " 49", " 0", " 30", "12/31/1850"}, MissingFact::Age, nullptr},
    {"age borrows February", {"03/10/1900", "", "", "", "01/15/1850"}, {"03/10/1900", " 50", " 1", " 23", "01/15/1850"}, MissingFact::Age, nullptr},
    {"age from month/year birth", {"05/10/1900", "", "", "", "03/1850"}, {"05/10/1900", " 50", " 2", "", "03/1850"}, MissingFact::Age, nullptr},
    {"age to month/year event", {"05/1900", "", "", "", "03/15/1850"}, {"05/1900", " 50", " 1", "", "03/15/1850"}, MissingFact::Age, nullptr},
    {"age from year-only birth", {"05/10/1900", "", "", "", "1850"}, {"05/10/1900", " 50 or 49", "", "", "1850"}, MissingFact::Age, nullptr},
    {"event before birth", {"05/10/1850", "", "", "", "05/11/1850"}, {"05/10/1850", "", "", "", "05/11/1850"}, MissingFact::Age, "Event date before birth date"},
    {"tag and month name do not disturb", {"Dec 07, 1941 [Su]", "", "", "", "12/07/1901"}, {"Dec 07, 1941 [Su]", " 40", " 0", " 0", "12/07/1901"}, MissingFact::Age, nullptr},
    {"borrow twice from 31 January", {"03/01/1900", "", "", "", "01/31/1900"}, {"03/01/1900", " 0", " 0", " 29", "01/31/1900"}, MissingFact::Age, nullptr},
    {"event in the birth year", {"05/10/1850", "", "", "", "1850"}, {"05/10/1850", " 0", "", "", "1850"}, MissingFact::Age, nullptr},
    {"same year, coarser birth", {"1850", "", "", "", "05/10/1850"}, {"1850", " 0", "", "", "05/10/1850"}, MissingFact::Age, nullptr},
    {"birth day later in the event month", {"05/1900", "", "", "", "05/25/1900"}, {"05/1900", " 0", " 0", "", "05/25/1900"}, MissingFact::Age, nullptr},
    {"month/year event before birth", {"04/1900", "", "", "", "05/25/1900"}, {"04/1900", "", "", "", "05/25/1900"}, MissingFact::Age, "Event date before birth date"},
    // Ranges with months and emptied fields.
    {"range with months", {"05/10/1900", "20-30", "6", "", ""}, {"05/10/1900", "20-30", "", "", "1868 to 1879"}, MissingFact::BirthDate, nullptr},
    {"zero range gives a pair", {"05/10/1900", "0-0", "6", "2", ""}, {"05/10/1900", "0-0", "", "", "1899 or 1898"}, MissingFact::BirthDate, nullptr},
    {"plus in front gives a pair", {"05/10/1900", "+60", "", "", ""}, {"05/10/1900", "+60", "", "", "1840 or 1839"}, MissingFact::BirthDate, nullptr},
    {"event from month/year birth", {"", "30", "", "", "06/1850"}, {"1880 or 1881", "30", "", "", "06/1850"}, MissingFact::EventDate, nullptr},
    {"event with months from month/year", {"", "30", "2", "", "06/1850"}, {"08/1880", "30", "2", "", "06/1850"}, MissingFact::EventDate, nullptr},
    {"year-only birth always gives words", {"", "30", "6", "", "1850"}, {"1880 or 1881", "30", "6", "", "1850"}, MissingFact::EventDate, nullptr},
    {"infant burial", {"05/10/1900", "", "18", "", ""}, {"05/10/1900", "", "18", "", "11/10/1898"}, MissingFact::BirthDate, nullptr},
    {"infant of days", {"03/10/1900", "", "", "45", ""}, {"03/10/1900", "", "", "45", "01/24/1900"}, MissingFact::BirthDate, nullptr},
    {"birth below the year 1000", {"05/10/1000", "200", "", "", ""}, {"05/10/1000", "200", "", "", "800 or 799"}, MissingFact::BirthDate, nullptr},
    {"birth below 1000 with months", {"05/10/1000", "200", "1", "", ""}, {"05/10/1000", "200", "1", "", "04/10/0800"}, MissingFact::BirthDate, nullptr},
    {"nothing given", {"", "", "", "", ""}, {"", "", "", "", ""}, MissingFact::None, "Must specify two of the three data parts"},
    {"only the event", {"12/07/1941", "", "", "", ""}, {"12/07/1941", "", "", "", ""}, MissingFact::None, "Must specify two of the three data parts"},
    {"all three, nothing remembered", {"12/07/1941", "40", "", "", "1901"}, {"12/07/1941", "40", "", "", "1901"}, MissingFact::None, "Must specify two of the three data parts"},
    // Only years 1..9999 are ever shown; beyond them every field keeps what was typed.
    {"huge age stays defined", {"05/10/1900", "99999999999", "99999999999", "99999999999", ""}, {"05/10/1900", "99999999999", "99999999999", "99999999999", ""}, MissingFact::BirthDate, "The age puts the date outside the years 1 to 9999"},
    {"huge upper bound", {"", "-99999999999", "", "", "1850"}, {"", "-99999999999", "", "", "1850"}, MissingFact::EventDate, "The age puts the date outside the years 1 to 9999"},
    {"birth pair ends in the year 1", {"0041", "39", "", "", ""}, {"0041", "39", "", "", "2 or 1"}, MissingFact::BirthDate, nullptr},
    {"birth pair would reach the year 0", {"0041", "40", "", "", ""}, {"0041", "40", "", "", ""}, MissingFact::BirthDate, "The age puts the date outside the years 1 to 9999"},
    {"range reaching below the year 1", {"0041", "20-50", "", "", ""}, {"0041", "20-50", "", "", ""}, MissingFact::BirthDate, "The age puts the date outside the years 1 to 9999"},
    {"event date on the last day shown", {"", "49", "0", "", "12/31/9950"}, {"12/31/9999", "49", "0", "", "12/31/9950"}, MissingFact::EventDate, nullptr},
    {"event date a day too late", {"", "49", "0", "1", "12/31/9950"}, {"", "49", "0", "1", "12/31/9950"}, MissingFact::EventDate, "The age puts the date outside the years 1 to 9999"},
    {"lower bound past 9999 keeps the months typed", {"", "9000+", "3", "", "1850"}, {"", "9000+", "3", "", "1850"}, MissingFact::EventDate, "The age puts the date outside the years 1 to 9999"},
};

class Calculation : public EngineTest, public ::testing::WithParamInterface<CalcCase> {};

TEST_P(Calculation, FieldsAfterCalc) {
    const CalcCase& c = GetParam();
    std::array<std::string, 5> fields;
    for (size_t i = 0; i < 5; ++i) fields[i] = c.in[i];
    const EntryAnswer answer = calculateShown(fields);
    static const char* const names[5] = {"event", "years", "months", "days", "birth"};
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(answer.fields[i], c.out[i]) << c.name << ": field " << names[i];
    EXPECT_EQ(answer.missing, c.missing) << c.name;
    if (c.errorText) {
        // A calculation's box, after which the window puts the focus in the
        // event field.
        ASSERT_EQ(answer.box, EntryBox::Calculation) << c.name;
        EXPECT_EQ(answer.text, c.errorText) << c.name;
    } else {
        EXPECT_EQ(answer.box, EntryBox::None) << c.name << ": unexpected box " << answer.text;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Calculation, ::testing::ValuesIn(CalcCases), casenames::caseNames(CalcCases));

TEST_F(EngineTest, ErrorCaptionsAndCodes) {
    const EntryAnswer none = calculateShown({});
    ASSERT_EQ(none.box, EntryBox::Calculation);
    EXPECT_EQ(none.caption, "Data error");
    EXPECT_EQ(none.calculationError, EntryCode::Months);

    const EntryAnswer order = calculateShown({"05/10/1850", "", "", "", "05/11/1850"});
    ASSERT_EQ(order.box, EntryBox::Calculation);
    EXPECT_EQ(order.caption, "Data Error");
    EXPECT_EQ(order.calculationError, EntryCode::None) << "the order check leaves no entry error";
}

TEST_F(EngineTest, RecalculationUsesTheRememberedFact) {
    EntryAnswer d = calculateShown({"", "30", "", "", "06/15/1850"});
    EXPECT_EQ(d.fields[0], "1880 or 1881");
    d.fields[1] = "40";
    d = calculateShown(d.fields, d.missing);
    EXPECT_EQ(d.missing, MissingFact::EventDate);
    EXPECT_EQ(d.fields[0], "1890 or 1891");
    EXPECT_EQ(d.box, EntryBox::None);
}

TEST_F(EngineTest, FormIsTakenFromTheDateGivenNow) {
    EntryAnswer d = calculateShown({"", "30", "2", "", "03/1850"});
    EXPECT_EQ(d.fields[0], "05/1880");
    d.fields[4] = "03/15/1850";
    d = calculateShown(d.fields, d.missing);
    EXPECT_EQ(d.fields[0], "05/15/1880");
}

TEST_F(EngineTest, RememberedFactWithAnEmptiedInputIsAnError) {
    struct {
        const char* name;
        MissingFact remembered;
        std::array<std::string, 5> in;
    } cases[] = {
        {"event from an emptied birth and age", MissingFact::EventDate, {"1880 or 1881", "", "", "", ""}},
        {"event from an emptied birth", MissingFact::EventDate, {"", "30", "", "", ""}},
        {"birth from an emptied event and age", MissingFact::BirthDate, {"", "", "", "", "1850 or 1849"}},
        {"birth from an emptied event", MissingFact::BirthDate, {"", "50", "", "", ""}},
        {"age from emptied dates", MissingFact::Age, {"", " 50", " 1", " 23", ""}},
        {"age from an emptied event", MissingFact::Age, {"", "", "", "", "01/15/1850"}},
    };
    for (const auto& c : cases) {
        const EntryAnswer d = calculateShown(c.in, c.remembered);
        for (size_t i = 0; i < 5; ++i)
            EXPECT_EQ(d.fields[i], c.in[i]) << c.name << ": field " << i << " must not change";
        ASSERT_EQ(d.box, EntryBox::Calculation) << c.name;
        EXPECT_EQ(d.text, "Must specify two of the three data parts") << c.name;
        EXPECT_EQ(d.calculationError, EntryCode::Months) << c.name;
    }
}

}  // namespace
