// The window of possible dates: worked examples, and properties over seeded
// random requests (QUILLARK_WINDOW_REQUESTS sets how many; the default keeps
// the run to a few seconds).
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

#include "date_bounds.h"
#include "request_file.h"
#include "research.h"
#include "window_test_support.h"

namespace {

using namespace quillark;
using window_test::iso;

struct WindowCase {
    const char* name;
    const char* given;  // the known date
    const char* years;
    const char* months;
    const char* days;
    MissingFact fact;     // BirthDate or EventDate
    const char* earliest;  // "" for an open end
    const char* latest;
};

const WindowCase WindowCases[] = {
    {"typical request", "12/07/1941", "40", "", "", MissingFact::BirthDate, "1900-12-08", "1901-12-07"},
    {"year-only event spans both years", "1941", "40", "", "", MissingFact::BirthDate, "1900-01-02", "1901-12-31"},
    {"month event spans its month", "12/1941", "40", "", "", MissingFact::BirthDate, "1900-12-02", "1901-12-31"},
    {"range 20-30", "06/06/1841", "20-30", "", "", MissingFact::BirthDate, "1810-06-07", "1821-06-06"},
    {"five and under", "06/06/1841", "-5", "", "", MissingFact::BirthDate, "1835-06-07", "1841-06-06"},
    {"sixty and over has no earliest", "06/06/1841", "60+", "", "", MissingFact::BirthDate, "", "1781-06-06"},
    {"years and months", "12/07/1941", "40", "3", "", MissingFact::BirthDate, "1901-08-08", "1901-09-07"},
    {"days given: the shown date", "12/07/1941", "40", "0", "0", MissingFact::BirthDate, "1901-12-07", "1901-12-07"},
    {"infant of 3 weeks buried", "03/14/1862", "", "", "21", MissingFact::BirthDate, "1862-02-21", "1862-02-21"},
    {"months of a month event", "06/1841", "0", "1", "", MissingFact::BirthDate, "1841-04-02", "1841-05-30"},
    {"leap-day birthday not yet reached", "02/28/1897", "0", "", "", MissingFact::BirthDate, "1896-02-29", "1897-02-28"},
    {"leap-day event, common year back", "02/29/1904", "1", "", "", MissingFact::BirthDate, "1902-03-01", "1903-02-28"},
    {"a month back from the 31st", "03/31/1901", "0", "1", "", MissingFact::BirthDate, "1901-02-01", "1901-02-28"},
    {"zero bound read as plain", "06/06/1841", "0+", "", "", MissingFact::BirthDate, "1840-06-07", "1841-06-06"},
    {"leap-day birth reaches 1 March", "02/29/1896", "1", "", "", MissingFact::EventDate, "1897-03-01", "1898-02-28"},
    {"event from birth", "12/31/1850", "49", "", "", MissingFact::EventDate, "1899-12-31", "1900-12-30"},
    {"event range from a year", "1850", "20-30", "", "", MissingFact::EventDate, "1870-01-01", "1881-12-30"},
    {"event at least", "1850", "60+", "", "", MissingFact::EventDate, "1910-01-01", ""},
};

TEST(DateWindow, WorkedExamples) {
    for (const WindowCase& c : WindowCases) {
        const auto given = readDateText(c.given);
        ASSERT_TRUE(given) << c.name;
        const WindowAge age = windowAge(parseAge(c.years, c.months, c.days));
        const DateWindow w = c.fact == MissingFact::BirthDate ? birthWindow(*given, age) : eventWindow(*given, age);
        EXPECT_EQ(w.status, WindowStatus::Ok) << c.name;
        EXPECT_EQ(iso(w.earliest), c.earliest) << c.name;
        EXPECT_EQ(iso(w.latest), c.latest) << c.name;
    }
}

struct AgeCase {
    const char* name;
    const char* event;
    const char* birth;
    AgeValue youngest, oldest;
};

const AgeCase AgeCases[] = {
    {"two full dates", "01/30/1900", "12/31/1850", {49, 0, 30}, {49, 0, 30}},
    {"two years", "1900", "1850", {49, 0, 1}, {50, 11, 30}},
    {"month and year", "06/1841", "1811", {29, 5, 1}, {30, 5, 29}},
    {"born in the event's year", "1841", "1841", {0, 0, 0}, {0, 11, 30}},
    {"leap-day birth: days counted from the birth's side", "02/28/1901", "02/29/1896", {4, 11, 28}, {4, 11, 28}},
};

TEST(DateWindow, YoungestAndOldestAges) {
    for (const AgeCase& c : AgeCases) {
        const AgeWindow w = ageWindow(*readDateText(c.event), *readDateText(c.birth));
        EXPECT_EQ(window_test::ageText(w.youngest), window_test::ageText(c.youngest)) << c.name;
        EXPECT_EQ(window_test::ageText(w.oldest), window_test::ageText(c.oldest)) << c.name;
    }
}

TEST(DateWindow, AbsurdAgesAndBadDatesAreReported) {
    EXPECT_EQ(birthWindowFrom("12/07/1941", "99999999999").status, WindowStatus::OutOfRange);
    EXPECT_EQ(birthWindowFrom("12/07/1941", "1941").status, WindowStatus::OutOfRange);
    EXPECT_EQ(birthWindowFrom("12/07/1941", "1939").status, WindowStatus::Ok);
    EXPECT_EQ(birthWindowFrom("12/07/1941", "40", "", "99999999999").status, WindowStatus::OutOfRange);
    EXPECT_EQ(birthWindowFrom("02/30/1941", "40").status, WindowStatus::NoDate);
    EXPECT_EQ(birthWindowFrom("Dec 7, 1941  [Su]", "40").status, WindowStatus::Ok);
}

// Every birth in the window, carried forward by the same age, allows the
// event; a day just outside it does not. Checked at both ends and at random
// days inside, over requests of every date form and age kind. An age with
// its days given is the window's own date arithmetic, which is not
// reversible (7 Aug 1804 less 81y 5m 17d is 18 Feb 1723, and 18 Feb 1723
// plus that age is 4 Aug 1804); those requests are compared with the
// window's shown date instead.
TEST(DateWindow, BirthAndEventWindowsAreInverse) {
    const uint64_t requests = window_test::requestCount(20000);
    std::mt19937_64 random(20261207);
    uint64_t checked = 0;
    for (uint64_t n = 0; n < requests; ++n) {
        const window_test::Request r = window_test::randomRequest(random, false);
        const auto event = readDateText(r.event);
        ASSERT_TRUE(event) << r.event;
        const WindowAge age = windowAge(parseAge(r.years, r.months, r.days));
        const DateWindow births = birthWindow(*event, age);
        ASSERT_EQ(births.status, WindowStatus::Ok) << r.describe();
        if (age.exact) {
            if (event->form == DateForm::FullDate) {
                ResearchRequest request;
                request.fields = {r.event, r.years, r.months, r.days, ""};
                const ResearchAnswer shown = answerResearch(request);
                ASSERT_EQ(births.earliest, births.latest) << r.describe();
                ASSERT_EQ(births.latest, firstDay(*readDateText(shown.entry.fields[4]))) << r.describe();
            }
            ++checked;
            continue;
        }
        const auto allows = [&](std::chrono::year_month_day b) {
            const DateWindow events = eventWindow(partsOf(b), age);
            return (!events.earliest || *events.earliest <= lastDay(*event)) &&
                   (!events.latest || *events.latest >= firstDay(*event));
        };
        using std::chrono::sys_days;
        const sys_days last{*births.latest};
        const sys_days first = births.earliest ? sys_days{*births.earliest} : last - std::chrono::days{40000};
        const int64_t width = (last - first).count();
        ASSERT_GE(width, 0) << r.describe();
        for (sys_days b : {first, last, first + std::chrono::days{static_cast<int64_t>(random() % (width + 1))}})
            ASSERT_TRUE(allows(b)) << r.describe() << " birth " << iso(std::chrono::year_month_day{b});
        ASSERT_FALSE(allows(last + std::chrono::days{1})) << r.describe();
        if (births.earliest) {
            ASSERT_FALSE(allows(first - std::chrono::days{1})) << r.describe();
        }
        ++checked;
    }
    EXPECT_EQ(checked, requests);
    std::printf("windows checked for inverse: %llu\n", static_cast<unsigned long long>(checked));
}

// The window is worked out from the dates and age as the engine read them.
// Read again from the answer's texts, every form the window accepts (junk,
// partial dates, month words, ranges and bounds) must give the same window.
TEST(DateWindow, EnginesReadingMatchesTheAnswersTexts) {
    const uint64_t requests = window_test::requestCount(20000);
    ResearchPipeline pipeline;
    uint64_t compared = 0;
    for (uint64_t n = 0; n < requests; ++n) {
        const golden::RequestLine r =
            golden::generateRequest(1871, n, n % 2 == 0 ? golden::Mix::Everything : golden::Mix::Transcription);
        ResearchRequest request;
        request.fields = {r.fields[0], r.fields[1], r.fields[2], r.fields[3], r.fields[4]};
        request.abbreviated = r.abbreviated;
        request.weekDay = r.weekDay;
        const ResearchAnswer& researched = pipeline.answer(request);
        const EntryAnswer& answer = researched.entry;
        if (researched.outcome != ResearchOutcome::Ok || answer.missing == MissingFact::None) continue;
        const AnswerWindow window = answerWindow(answer);
        const std::optional<DateParts> event = readDateText(answer.fields[0]), birth = readDateText(answer.fields[4]);
        const WindowAge age = windowAge(parseAge(answer.fields[1], answer.fields[2], answer.fields[3]));
        const std::string said = "'" + r.fields[0] + "' '" + r.fields[1] + "' '" + r.fields[2] + "' '" +
                                 r.fields[3] + "' '" + r.fields[4] + "'";
        if (answer.missing == MissingFact::Age) {
            ASSERT_EQ(window.status == WindowStatus::Ok, event && birth) << said;
            if (window.status != WindowStatus::Ok) continue;
            const AgeWindow ages = ageWindow(*event, *birth);
            ASSERT_EQ(window.ages.precision, ages.precision) << said;
            if (event->form != DateForm::FullDate || birth->form != DateForm::FullDate) {
                ASSERT_EQ(window.ages.youngest, ages.youngest) << said;
                ASSERT_EQ(window.ages.oldest, ages.oldest) << said;
            }
        } else {
            const std::optional<DateParts>& given = answer.missing == MissingFact::BirthDate ? event : birth;
            ASSERT_EQ(window.status == WindowStatus::NoDate, !given) << said;
            if (!given) continue;
            const DateWindow dates =
                answer.missing == MissingFact::BirthDate ? birthWindow(*given, age) : eventWindow(*given, age);
            ASSERT_EQ(window.status, dates.status) << said;
            ASSERT_EQ(iso(window.dates.earliest), iso(dates.earliest)) << said;
            ASSERT_EQ(iso(window.dates.latest), iso(dates.latest)) << said;
            ASSERT_EQ(window.dates.precision, dates.precision) << said;
        }
        ++compared;
    }
    EXPECT_GT(compared, requests / 4);
    std::printf("windows compared with the texts' reading: %llu\n", static_cast<unsigned long long>(compared));
}

}  // namespace
