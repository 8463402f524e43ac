// GEDCOM dates and ages: worked examples, the grammar checker itself, and
// over seeded random requests that every value parses in both versions and
// reads back as a span holding the whole window.
#include <gtest/gtest.h>

#include <random>

#include "gedcom.h"
#include "gedcom_grammar.h"
#include "window_test_support.h"

namespace {

using namespace quillark;
using namespace std::chrono;

struct GedcomCase {
    const char* name;
    const char* event;
    const char* years;
    const char* months;
    const char* days;
    const char* v551;
    const char* v7;
};

const GedcomCase GedcomCases[] = {
    {"typical request", "12/07/1941", "40", "", "", "BET 8 DEC 1900 AND 7 DEC 1901", "BET 8 DEC 1900 AND 7 DEC 1901"},
    {"year-only event gives years", "1941", "40", "", "", "BET 1900 AND 1901", "BET 1900 AND 1901"},
    {"month event gives months", "12/1941", "40", "", "", "BET DEC 1900 AND DEC 1901", "BET DEC 1900 AND DEC 1901"},
    {"single date", "12/07/1941", "40", "0", "0", "CAL 7 DEC 1901", "CAL 7 DEC 1901"},
    {"open start, versions differ", "06/06/1841", "60+", "", "", "BEF 7 JUN 1781", "BEF 6 JUN 1781"},
    {"open start by months", "06/1841", "60+", "", "", "BEF JUL 1781", "BEF JUN 1781"},
    {"open start by years", "1841", "60+", "", "", "BEF 1782", "BEF 1781"},
    {"bounds reading the same", "06/1841", "0", "1", "0", "CAL MAY 1841", "CAL MAY 1841"},
    {"an early year", "1100", "1050", "", "", "BET 049 AND 050", "BET 49 AND 50"},
};

TEST(Gedcom, WorkedExamples) {
    for (const GedcomCase& c : GedcomCases) {
        const DateWindow w = birthWindowFrom(c.event, c.years, c.months, c.days);
        EXPECT_EQ(gedcomDateValue(w, GedcomVersion::V551).value_or("(none)"), c.v551) << c.name;
        EXPECT_EQ(gedcomDateValue(w, GedcomVersion::V7).value_or("(none)"), c.v7) << c.name;
    }
}

TEST(Gedcom, OpenEndAndAges) {
    const DateWindow after = eventWindow(*readDateText("1850"), windowAge(parseAge("60+", "", "")));
    EXPECT_EQ(gedcomDateValue(after, GedcomVersion::V551).value_or("(none)"), "AFT 1909");
    EXPECT_EQ(gedcomDateValue(after, GedcomVersion::V7).value_or("(none)"), "AFT 1910");
    // 5.5.1's exclusive bound would need the year 10000.
    const DateWindow late{WindowStatus::Ok, std::nullopt, year{9999} / December / 31, DateForm::YearOnly};
    EXPECT_EQ(gedcomDateValue(late, GedcomVersion::V551), std::nullopt);
    EXPECT_EQ(gedcomDateValue(late, GedcomVersion::V7).value_or("(none)"), "BEF 9999");
    EXPECT_EQ(gedcomAgeValue(ageWindow(*readDateText("01/30/1900"), *readDateText("12/31/1850"))).value_or("(none)"),
              "49y 0m 30d");
    EXPECT_EQ(gedcomAgeValue(ageWindow(*readDateText("1900"), *readDateText("1850"))), std::nullopt);
}

struct GrammarCase {
    const char* text;
    bool date551, date7, age551, age7;
};

// The checker must tell the versions apart, or the properties prove nothing.
const GrammarCase GrammarCases[] = {
    {"BET 8 DEC 1900 AND 7 DEC 1901", true, true, false, false},
    {"BEF 1781", true, true, false, false},
    {"BET 49 AND 50", false, true, false, false},
    {"8 Dec 1900", false, false, false, false},
    {"BET 8 DEC 1900", false, false, false, false},
    {"BET  1900 AND 1901", false, false, false, false},
    {"ABT 1850 ", false, false, false, false},
    {"FROM 1850 TO 1860", true, true, false, false},
    {"1850 B.C.", true, false, false, false},
    {"49y 0m 30d", false, false, true, true},
    {"<5y", false, false, true, false},
    {"< 5y", false, false, false, true},
    {"INFANT", false, false, true, false},
    {"40y 2w", false, false, false, true},
    {"3m 40y", false, false, false, false},
    {"<100y 11m 30d", false, false, false, false},
    {"< 100y 11m 30d", false, false, false, true},
    {"y", false, false, false, false},
};

TEST(Gedcom, GrammarCheckerTellsTheVersionsApart) {
    for (const GrammarCase& c : GrammarCases) {
        EXPECT_EQ(gedcom_grammar::dateValue551(c.text), c.date551) << c.text;
        EXPECT_EQ(gedcom_grammar::dateValue7(c.text), c.date7) << c.text;
        EXPECT_EQ(gedcom_grammar::age551(c.text), c.age551) << c.text;
        EXPECT_EQ(gedcom_grammar::age7(c.text), c.age7) << c.text;
    }
}

// The days a GEDCOM date covers: a day, a whole month or a whole year.
struct Span {
    sys_days first, last;
};

Span spanOf(std::string_view text) {
    bool clean = false;
    const auto w = gedcom_grammar::words(text, clean);
    const int y = std::stoi(std::string(w.back()));
    if (w.size() == 1) return {sys_days{year{y} / January / 1}, sys_days{year{y} / December / 31}};
    static constexpr std::string_view Months = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
    const month m{static_cast<unsigned>(Months.find(w[w.size() - 2]) / 3 + 1)};
    if (w.size() == 2) return {sys_days{year{y} / m / 1}, sys_days{year{y} / m / last}};
    const sys_days d{year{y} / m / static_cast<unsigned>(std::stoi(std::string(w[0])))};
    return {d, d};
}

// The days a date value allows, by the version's reading of BEF and AFT; an
// open end is far outside any window.
Span allowed(const std::string& value, GedcomVersion version) {
    const sys_days open_start{year{1} / 1 / 1}, open_end{year{9999} / 12 / 31};
    const bool inclusive = version == GedcomVersion::V7;
    const std::string_view rest = std::string_view(value).substr(4);
    if (value.starts_with("CAL ")) return spanOf(rest);
    if (value.starts_with("BET ")) {
        const size_t and_ = rest.find(" AND ");
        return {spanOf(rest.substr(0, and_)).first, spanOf(rest.substr(and_ + 5)).last};
    }
    const Span bound = spanOf(rest);
    if (value.starts_with("BEF ")) return {open_start, inclusive ? bound.last : bound.first - days{1}};
    return {inclusive ? bound.first : bound.last + days{1}, open_end};
}

TEST(Gedcom, EveryWindowParsesInBothVersionsAndHoldsTheWindow) {
    const uint64_t requests = window_test::requestCount(20000);
    std::mt19937_64 random(1841);
    uint64_t values = 0;
    for (uint64_t n = 0; n < requests; ++n) {
        const window_test::Request r = window_test::randomRequest(random, false);
        // The random date serves as the event for a birth window or as the
        // birth for an event window.
        const WindowAge age = windowAge(parseAge(r.years, r.months, r.days));
        const DateWindow w = n % 2 == 0 ? birthWindow(*readDateText(r.event), age) : eventWindow(*readDateText(r.event), age);
        ASSERT_EQ(w.status, WindowStatus::Ok) << r.describe();
        for (GedcomVersion version : {GedcomVersion::V551, GedcomVersion::V7}) {
            const std::optional<std::string> value = gedcomDateValue(w, version);
            ASSERT_TRUE(value) << r.describe();
            ASSERT_TRUE(version == GedcomVersion::V551 ? gedcom_grammar::dateValue551(*value)
                                                       : gedcom_grammar::dateValue7(*value))
                << *value << " from " << r.describe();
            const Span span = allowed(*value, version);
            // Never narrower than the window, and no wider than the
            // precision forces: each end within a year of the window's.
            if (w.latest) {
                ASSERT_GE(span.last, sys_days{*w.latest}) << *value << " from " << r.describe();
                ASSERT_LE(span.last - sys_days{*w.latest}, days{365}) << *value << " from " << r.describe();
            }
            if (w.earliest) {
                ASSERT_LE(span.first, sys_days{*w.earliest}) << *value << " from " << r.describe();
                ASSERT_LE(sys_days{*w.earliest} - span.first, days{365}) << *value << " from " << r.describe();
            }
            ++values;
        }
    }
    EXPECT_EQ(values, 2 * requests);
    std::printf("GEDCOM values checked: %llu\n", static_cast<unsigned long long>(values));
}

// A computed age between two full dates of the calculator's years is a
// GEDCOM age in both versions.
TEST(Gedcom, EveryComputedAgeParsesInBothVersions) {
    const uint64_t requests = window_test::requestCount(20000);
    std::mt19937_64 random(1861);
    const sys_days first{year{1600} / 1 / 1}, last{year{2100} / 12 / 31};
    const int64_t span = (last - first).count();
    for (uint64_t n = 0; n < requests; ++n) {
        sys_days a = first + days{window_test::pick(random, 0, span)};
        sys_days b = first + days{window_test::pick(random, 0, span)};
        if (b < a) std::swap(a, b);
        const AgeWindow w = ageWindow(partsOf(year_month_day{b}), partsOf(year_month_day{a}));
        const std::optional<std::string> value = gedcomAgeValue(w);
        ASSERT_TRUE(value) << window_test::ageText(w.youngest) << " / " << window_test::ageText(w.oldest);
        ASSERT_TRUE(gedcom_grammar::age551(*value) && gedcom_grammar::age7(*value)) << *value;
        // The years and months put the earlier date in their birth window,
        // and the days are how far before that window's latest day it lies.
        WindowAge months;
        months.lowMonths = w.youngest.years * 12 + w.youngest.months;
        months.highMonths = months.lowMonths + 1;
        const DateWindow births = birthWindow(partsOf(year_month_day{b}), months);
        ASSERT_TRUE(sys_days{*births.earliest} <= a && a <= sys_days{*births.latest}) << *value;
        ASSERT_EQ((sys_days{*births.latest} - a).count(), w.youngest.days) << *value;
    }
}

}  // namespace
