// Julian and dual dates: the calendar conversion, the forms that name a
// Julian date, windows reckoned in it, the union across the change, and
// what is refused.
#include <gtest/gtest.h>

#include <string>

#include "research.h"
#include "researcher_forms.h"

namespace {

using namespace quillark;

Date gregorian(int y, int m, int d) { return makeDate(y, m, d); }

// Every Julian day of the years 1 to 9999 counted one by one from 1 January
// of the year 1, which was Gregorian 30 December of the year 0: each must
// have the next day number, come back from it, and fall on the next week day.
TEST(Julian, EveryDayAgainstACountOfDays) {
    int64_t expected = dayNumber(0, 12, 30);
    int32_t weekday = weekdayOf(0, 12, 30);
    for (int64_t y = 1; y <= 9999; ++y) {
        for (int32_t m = 1; m <= 12; ++m) {
            const int32_t length = m == 2 ? (y % 4 == 0 ? 29 : 28) : (m == 4 || m == 6 || m == 9 || m == 11) ? 30 : 31;
            ASSERT_EQ(monthLength(m, y, Calendar::Julian), length) << y << "-" << m;
            for (int32_t d = 1; d <= length; ++d, ++expected) {
                ASSERT_EQ(dayNumber(y, m, d, Calendar::Julian), expected) << y << "-" << m << "-" << d;
                const CivilDay back = civilDay(expected, Calendar::Julian);
                ASSERT_TRUE(back.year == y && back.month == m && back.day == d) << y << "-" << m << "-" << d;
                ASSERT_EQ(weekdayOf(y, m, d, Calendar::Julian), weekday);
                weekday = (weekday + 1) % 7;
            }
        }
    }
}

TEST(Julian, ConversionAtItsEdges) {
    struct Edge {
        DateParts julian;
        Date gregorian;
        int weekday;  // 0 Sunday
    };
    const Edge edges[] = {
        {{DateForm::FullDate, 10, 4, 1582, Calendar::Julian}, gregorian(1582, 10, 14), 4},
        {{DateForm::FullDate, 10, 5, 1582, Calendar::Julian}, gregorian(1582, 10, 15), 5},
        {{DateForm::FullDate, 2, 28, 1700, Calendar::Julian}, gregorian(1700, 3, 10), 3},
        {{DateForm::FullDate, 2, 29, 1700, Calendar::Julian}, gregorian(1700, 3, 11), 4},
        {{DateForm::FullDate, 3, 1, 1700, Calendar::Julian}, gregorian(1700, 3, 12), 5},
        {{DateForm::FullDate, 9, 2, 1752, Calendar::Julian}, gregorian(1752, 9, 13), 3},
        {{DateForm::FullDate, 9, 3, 1752, Calendar::Julian}, gregorian(1752, 9, 14), 4},
        {{DateForm::FullDate, 1, 3, 1, Calendar::Julian}, gregorian(1, 1, 1), 1},
    };
    for (const Edge& e : edges) {
        const DateParts& j = e.julian;
        EXPECT_TRUE(validDate(j)) << j.year << "-" << j.month << "-" << j.day;
        EXPECT_EQ(firstDay(j), e.gregorian) << j.year << "-" << j.month << "-" << j.day;
        EXPECT_EQ(weekdayOf(j.year, j.month, j.day, Calendar::Julian), e.weekday) << j.year << "-" << j.month;
        const DateParts back = partsOf(e.gregorian, Calendar::Julian);
        EXPECT_TRUE(back.year == j.year && back.month == j.month && back.day == j.day) << j.year;
    }
    // The first two days of the Julian year 1 are days of the Gregorian year 0.
    EXPECT_FALSE(validDate({DateForm::FullDate, 1, 2, 1, Calendar::Julian}));
    EXPECT_FALSE(validDate({DateForm::FullDate, 2, 29, 1700, Calendar::Gregorian}));
}

// A date field in a researcher's form: how it is read, or why it is refused.
struct JulianFormCase {
    const char* typed;
    DateParts read;       // form 0 with year 0: not read
    const char* problem;  // part of the refusal; empty when read
};

const JulianFormCase JulianFormCases[] = {
    {"14 FEB 1720/21", {DateForm::FullDate, 2, 14, 1721, Calendar::Julian}, ""},
    {"14 Feb 1720/1", {DateForm::FullDate, 2, 14, 1721, Calendar::Julian}, ""},
    {"FEB 1720/21", {DateForm::MonthYear, 2, 0, 1721, Calendar::Julian}, ""},
    {"1699/00", {DateForm::YearOnly, 0, 0, 1700, Calendar::Julian}, ""},
    {"1720/1721", {DateForm::YearOnly, 0, 0, 1721, Calendar::Julian}, ""},
    {"24 MAR 1720/21", {DateForm::FullDate, 3, 24, 1721, Calendar::Julian}, ""},
    {"@#DJULIAN@ 14 FEB 1721", {DateForm::FullDate, 2, 14, 1721, Calendar::Julian}, ""},
    {"JULIAN 29 FEB 1700", {DateForm::FullDate, 2, 29, 1700, Calendar::Julian}, ""},
    {"ABT @#DJULIAN@ 1721", {DateForm::YearOnly, 0, 0, 1721, Calendar::Julian}, ""},
    {"@#DGREGORIAN@ 14 FEB 1721", {DateForm::FullDate, 2, 14, 1721, Calendar::Gregorian}, ""},
    {"GREGORIAN 1721", {DateForm::YearOnly, 0, 0, 1721, Calendar::Gregorian}, ""},
    {"25 MAR 1720/21", {}, "only from 1 January to 24 March"},
    {"JUN 1720/21", {}, "only from 1 January to 24 March"},
    {"1720/23", {}, "the year after the slash must be the one after 1720 (1720/21)"},
    {"1850/1860", {}, "is no dual year"},
    {"14 FEB 1760/61", {}, "dual years end with 1751/52"},
    {"@#DHEBREW@ 1 TSH 5700", {}, "a date of the Hebrew calendar"},
    {"FRENCH_R 1 VEND 12", {}, "a date of the French Republican calendar"},
    {"@#DMAYAN@ 1 JAN 1700", {}, "names a calendar Quillark does not know"},
    {"@#DJULIAN@ 1 JAN 0001", {}, "falls before the year 1"},
    {"JULIAN soon", {}, "is no date Quillark reads"},
};

TEST(Julian, DateFormsReadOrRefused) {
    for (const JulianFormCase& c : JulianFormCases) {
        std::string text = c.typed;
        DateReading reading;
        std::vector<std::string> warnings;
        translateDate(text, reading, warnings);
        if (*c.problem != '\0') {
            EXPECT_FALSE(reading.date) << c.typed;
            EXPECT_NE(reading.problem.find(c.problem), std::string::npos) << c.typed << ": " << reading.problem;
            continue;
        }
        EXPECT_EQ(reading.problem, "") << c.typed;
        ASSERT_TRUE(reading.date) << c.typed;
        const DateParts& d = *reading.date;
        EXPECT_TRUE(d.form == c.read.form && d.month == c.read.month && d.day == c.read.day &&
                    d.year == c.read.year && d.calendar == c.read.calendar)
            << c.typed << " read as " << d.month << "/" << d.day << "/" << d.year;
        EXPECT_TRUE(reading.calendarNamed) << c.typed;
    }
}

// A request as the single mode makes it.
struct Request {
    const char* event;
    const char* years;
    const char* days;
    const char* birth;
    const char* gregorianFrom;  // yyyy-mm-dd or empty
};

ResearchAnswer answer(const Request& r, GedcomVersion version) {
    ResearchRequest request;
    request.fields = {r.event, r.years, "", r.days, r.birth};
    request.cite = true;
    request.gedcom = version;
    request.birthWindow = true;
    request.abbreviated = true;
    const std::string from = r.gregorianFrom;
    if (!from.empty()) request.gregorianFrom = gregorian(std::stoi(from.substr(0, 4)), std::stoi(from.substr(5, 2)),
                                                         std::stoi(from.substr(8, 2)));
    return answerResearch(request);
}

struct JulianWindowCase {
    const char* name;
    Request request;
    const char* earliest;  // ISO, Gregorian
    const char* latest;
    const char* line;      // the window in words
    const char* gedcom7;
    const char* gedcom551;
    bool widened;          // the window crosses the change
};

const JulianWindowCase JulianWindowCases[] = {
    {"dual-year burial", {"14 FEB 1720/21", "40", "", "", ""}, "1680-02-25", "1681-02-24",
     "Born between Feb 15, 1680 and Feb 14, 1681 (Julian)", "BET JULIAN 15 FEB 1680 AND JULIAN 14 FEB 1681",
     "BET @#DJULIAN@ 15 FEB 1680 AND @#DJULIAN@ 14 FEB 1681", false},
    {"last Julian day in England", {"2 SEP 1752", "40", "", "", "1752-09-14"}, "1711-09-14", "1712-09-13",
     "Born between Sep 3, 1711 and Sep 2, 1712 (Julian)", "BET JULIAN 3 SEP 1711 AND JULIAN 2 SEP 1712",
     "BET @#DJULIAN@ 3 SEP 1711 AND @#DJULIAN@ 2 SEP 1712", false},
    {"29 February 1700 is a Julian birthday", {"JULIAN 29 FEB 1740", "40", "", "", ""}, "1699-03-11", "1700-03-11",
     "Born between Mar 1, 1699 and Feb 29, 1700 (Julian)", "BET JULIAN 1 MAR 1699 AND JULIAN 29 FEB 1700",
     "BET @#DJULIAN@ 1 MAR 1699 AND @#DJULIAN@ 29 FEB 1700", false},
    {"a day back in a Julian leap year", {"JULIAN 1 MAR 1700", "0", "1", "", ""}, "1700-03-11", "1700-03-11",
     "Born on Feb 29, 1700 (Julian)", "CAL JULIAN 29 FEB 1700", "CAL @#DJULIAN@ 29 FEB 1700", false},
    {"a Julian month", {"FEB 1720/21", "40", "", "", ""}, "1680-02-12", "1681-03-10",
     "Born between Feb 2, 1680 and Feb 28, 1681 (Julian)", "BET JULIAN FEB 1680 AND JULIAN FEB 1681",
     "BET @#DJULIAN@ FEB 1680 AND @#DJULIAN@ FEB 1681", false},
    {"event after the change, birth before it", {"1760-03-05", "15", "", "", "1752-09-14"}, "1744-03-06",
     "1745-03-16", "Born between Mar 6, 1744 and Mar 16, 1745", "BET 6 MAR 1744 AND 16 MAR 1745",
     "BET 6 MAR 1744 AND 16 MAR 1745", true},
    {"birth before the change, event after it", {"", "15", "", "1745-03-01", "1752-09-14"}, "1760-03-01",
     "1761-03-11", "Event between Feb 19, 1760 and Feb 28, 1761 (Julian)", "BET JULIAN 19 FEB 1760 AND JULIAN 28 FEB 1761",
     "BET @#DJULIAN@ 19 FEB 1760 AND @#DJULIAN@ 28 FEB 1761", true},
    {"a window on one side of the change", {"1790-06-01", "10", "", "", "1752-09-14"}, "1779-06-02", "1780-06-01",
     "Born between Jun 2, 1779 and Jun 1, 1780", "BET 2 JUN 1779 AND 1 JUN 1780", "BET 2 JUN 1779 AND 1 JUN 1780",
     false},
};

TEST(Julian, WindowsInTheEventsCalendar) {
    const std::string widenedWarning = "crosses the change to the Gregorian calendar";
    for (const JulianWindowCase& c : JulianWindowCases) {
        for (const GedcomVersion version : {GedcomVersion::V7, GedcomVersion::V551}) {
            const ResearchAnswer a = answer(c.request, version);
            ASSERT_EQ(a.outcome, ResearchOutcome::Ok) << c.name << ": " << a.dateProblem << a.entry.text;
            EXPECT_EQ(citationText(a.citation, CitationText::Earliest), c.earliest) << c.name;
            EXPECT_EQ(citationText(a.citation, CitationText::Latest), c.latest) << c.name;
            EXPECT_EQ(windowLine(a.citation, true, false), c.line) << c.name;
            EXPECT_EQ(citationText(a.citation, CitationText::Gedcom),
                      version == GedcomVersion::V7 ? c.gedcom7 : c.gedcom551)
                << c.name;
            bool warned = false;
            for (const std::string& w : a.warnings) warned |= w.find(widenedWarning) != std::string::npos;
            EXPECT_EQ(warned, c.widened) << c.name;
            // One person's records meet on the same Gregorian days.
            if (a.entry.missing == MissingFact::BirthDate) {
                ASSERT_TRUE(a.birthWindow) << c.name;
                EXPECT_EQ(isoText(a.birthWindow->earliest), c.earliest) << c.name;
                EXPECT_EQ(isoText(a.birthWindow->latest), c.latest) << c.name;
            }
        }
    }
}

TEST(Julian, FieldsShowTheJulianDayAndItsWeekDay) {
    ResearchRequest request;
    request.fields = {"@#DJULIAN@ 2 SEP 1752", "", "", "", "JULIAN 29 FEB 1700"};
    request.weekDay = true;
    const ResearchAnswer a = answerResearch(request);
    ASSERT_EQ(a.outcome, ResearchOutcome::Ok);
    EXPECT_EQ(a.entry.fields[0], "09/02/1752  [We]");
    EXPECT_EQ(a.entry.fields[4], "02/29/1700  [Th]");
    // Birthdays counted in the Julian calendar, as the engine shows an age.
    EXPECT_EQ(a.entry.fields[1], " 52");
    EXPECT_EQ(a.entry.fields[2], " 6");
}

TEST(Julian, BadDatesAreRefusedWithTheirReason) {
    const struct {
        Request request;
        const char* text;  // the refusal's text, or part of it
    } cases[] = {
        {{"30 FEB 1720/21", "40", "", "", ""}, "Check on days"},
        {{"1720/23", "40", "", "", ""}, "is no dual year"},
        {{"14 FEB 1760/61", "40", "", "", ""}, "dual years end with 1751/52"},
        {{"@#DJULIAN@ 1 JAN 0001", "40", "", "", ""}, "falls before the year 1"},
        {{"1850/1860", "40", "", "", ""}, "is no dual year"},
        {{"", "40", "", "@#DHEBREW@ 1 TSH 5500", ""}, "Hebrew calendar"},
        {{"7 SEP 1752", "40", "", "", "1752-09-14"}, "3 Sep 1752 to 13 Sep 1752 were left out"},
    };
    for (const auto& c : cases) {
        const ResearchAnswer a = answer(c.request, GedcomVersion::V7);
        EXPECT_EQ(a.outcome, ResearchOutcome::IllegalDate) << c.request.event << c.request.birth;
        const std::string text = a.dateProblem.empty() ? std::string(a.entry.text) : a.dateProblem;
        EXPECT_NE(text.find(c.text), std::string::npos) << c.request.event << c.request.birth << ": " << text;
    }
}

}  // namespace
