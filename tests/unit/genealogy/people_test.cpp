// One person across records: the window all records allow, and a conflict's
// smallest set and the record that stands out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "people.h"

namespace {

using quillark::DateWindow;
using quillark::PeopleTable;
using quillark::PersonStatus;

std::optional<std::chrono::year_month_day> isoDate(const char* text) {
    if (*text == '\0') return std::nullopt;
    int y = 0;
    unsigned m = 0, d = 0;
    std::sscanf(text, "%d-%u-%u", &y, &m, &d);
    return std::chrono::year{y} / std::chrono::month{m} / std::chrono::day{d};
}

struct Record {
    const char* id;
    uint64_t line;
    const char* earliest;  // "" open
    const char* latest;    // "" open
};

DateWindow windowOf(const Record& r) {
    DateWindow window;
    window.earliest = isoDate(r.earliest);
    window.latest = isoDate(r.latest);
    return window;
}

// The expected summary as text, so one comparison shows every difference.
struct Expected {
    const char* id;
    const char* summary;
};

std::string summaryText(const quillark::PersonSummary& s) {
    std::string text = std::to_string(s.records) + " records, ";
    switch (s.status) {
    case PersonStatus::Ok:
        text += "ok " + quillark::isoText(s.birth.earliest) + " to " + quillark::isoText(s.birth.latest);
        break;
    case PersonStatus::NoWindow: text += "no window"; break;
    case PersonStatus::Conflict:
        text += "conflict " + std::to_string(s.conflictLines[0]) + " " + std::to_string(s.conflictLines[1]);
        if (s.outlierLine) {
            text += "; without " + std::to_string(*s.outlierLine) + ": " +
                    quillark::isoText(s.withoutOutlier.earliest) + " to " +
                    quillark::isoText(s.withoutOutlier.latest);
        }
        break;
    }
    if (s.unusable > 0) text += ", " + std::to_string(s.unusable) + " unusable";
    return text;
}

struct PeopleCase {
    const char* name;
    std::vector<Record> records;
    std::vector<Expected> people;  // in the order of their first record
};

const PeopleCase PeopleCases[] = {
    {"agreeing records narrow the window (Ann Ward: 30 in 1841, 39 in 1851, 50 in 1861)",
     {{"ann", 2, "1806-06-07", "1811-06-06"},
      {"ann", 3, "1811-03-31", "1812-03-30"},
      {"ann", 4, "1810-04-08", "1811-04-07"}},
     {{"ann", "3 records, ok 1811-03-31 to 1811-04-07"}}},
    {"a single record is its own window",
     {{"john", 7, "1810-06-07", "1821-06-06"}},
     {{"john", "1 records, ok 1810-06-07 to 1821-06-06"}}},
    {"rows of one person need not be adjacent",
     {{"a", 2, "1800-01-01", "1805-12-31"},
      {"b", 3, "1700-01-01", "1701-01-01"},
      {"a", 4, "1803-01-01", "1810-12-31"},
      {"b", 5, "1700-06-01", "1702-01-01"},
      {"a", 6, "1804-05-01", ""}},
     {{"a", "3 records, ok 1804-05-01 to 1805-12-31"}, {"b", "2 records, ok 1700-06-01 to 1701-01-01"}}},
    {"open ends narrow only from the other side",
     {{"p", 2, "", "1840-06-06"}, {"p", 3, "1790-01-01", ""}},
     {{"p", "2 records, ok 1790-01-01 to 1840-06-06"}}},
    {"windows meeting on one day agree",
     {{"p", 2, "1800-01-01", "1800-06-01"}, {"p", 3, "1800-06-01", "1801-01-01"}},
     {{"p", "2 records, ok 1800-06-01 to 1800-06-01"}}},
    {"a conflict names its pair and the record that stands out",
     {{"ann", 2, "1806-06-07", "1811-06-06"},
      {"ann", 3, "1811-03-31", "1812-03-30"},
      {"ann", 4, "1810-04-08", "1811-04-07"},
      {"ann", 5, "1820-01-01", "1821-01-01"}},
     {{"ann", "4 records, conflict 4 5; without 5: 1811-03-31 to 1811-04-07"}}},
    {"an early outlier is found from the other end",
     {{"p", 9, "1790-01-01", "1791-01-01"},
      {"p", 10, "1800-01-01", "1805-01-01"},
      {"p", 11, "1802-01-01", "1806-01-01"}},
     {{"p", "3 records, conflict 9 11; without 9: 1802-01-01 to 1805-01-01"}}},
    {"two records that disagree: neither stands out",
     {{"p", 2, "1800-01-01", "1801-01-01"}, {"p", 3, "1802-01-01", "1803-01-01"}},
     {{"p", "2 records, conflict 2 3"}}},
    {"either of two records could be left out: neither stands out",
     {{"p", 2, "1800-01-01", "1801-01-01"},
      {"p", 3, "1790-01-01", "1810-01-01"},
      {"p", 4, "1802-01-01", "1803-01-01"}},
     {{"p", "3 records, conflict 2 4"}}},
    {"two records far out: no single one resolves it",
     {{"p", 2, "1800-01-01", "1801-01-01"},
      {"p", 3, "1800-06-01", "1801-06-01"},
      {"p", 4, "1850-01-01", "1851-01-01"},
      {"p", 5, "1850-06-01", "1851-06-01"}},
     {{"p", "4 records, conflict 2 5"}}},
    {"equal bounds keep the first record seen",
     {{"p", 2, "1850-01-01", "1851-01-01"},
      {"p", 3, "1850-01-01", "1851-01-01"},
      {"p", 4, "1800-01-01", "1801-01-01"}},
     {{"p", "3 records, conflict 2 4; without 4: 1850-01-01 to 1851-01-01"}}},
    {"records without a window, and windows that allow no day, are counted apart",
     {{"q", 2, "", ""}, {"r", 3, "1801-01-01", "1800-01-01"}},
     {{"q", "1 records, ok  to "}, {"r", "0 records, no window, 1 unusable"}}},
    {"records of no one are left out",
     {{"", 2, "1800-01-01", "1801-01-01"}},
     {}},
};

TEST(People, TableOfPeople) {
    for (const PeopleCase& c : PeopleCases) {
        PeopleTable table;
        for (const Record& r : c.records) table.add(r.id, r.line, windowOf(r));
        ASSERT_EQ(table.size(), c.people.size()) << c.name;
        for (size_t i = 0; i < c.people.size(); ++i) {
            const quillark::PersonSummary s = table.summary(i);
            EXPECT_EQ(s.id, c.people[i].id) << c.name;
            EXPECT_EQ(summaryText(s), c.people[i].summary) << c.name;
        }
    }
}

// Any order of the same records gives the same answer, conflict pair
// included: the bounds kept do not depend on the order they arrive in.
TEST(People, OrderOfRecordsDoesNotMatter) {
    std::vector<Record> records = {{"p", 2, "1806-06-07", "1811-06-06"},
                                   {"p", 3, "1811-03-31", "1812-03-30"},
                                   {"p", 4, "1810-04-08", "1811-04-07"},
                                   {"p", 5, "1820-01-01", "1821-01-01"},
                                   {"p", 6, "", "1830-01-01"}};
    std::sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.line < b.line; });
    std::string first;
    do {
        PeopleTable table;
        for (const Record& r : records) table.add(r.id, r.line, windowOf(r));
        const std::string text = summaryText(table.summary(0));
        if (first.empty()) first = text;
        EXPECT_EQ(text, first);
    } while (std::next_permutation(records.begin(), records.end(),
                                   [](const Record& a, const Record& b) { return a.line < b.line; }));
    EXPECT_EQ(first, "5 records, conflict 4 5; without 5: 1811-03-31 to 1811-04-07");
}

}  // namespace
