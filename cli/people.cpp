#include "people.h"

#include <cstdio>
#include <limits>

#include "date_text.h"

namespace quillark {

namespace {

using std::chrono::sys_days;
using std::chrono::year_month_day;

// An open start lies before every day and an open end after every day.
constexpr int32_t OpenStart = std::numeric_limits<int32_t>::min();
constexpr int32_t OpenEnd = std::numeric_limits<int32_t>::max();

int32_t dayNumber(const std::optional<year_month_day>& date, int32_t open) {
    if (!date) return open;
    return static_cast<int32_t>(sys_days(*date).time_since_epoch().count());
}

std::optional<year_month_day> dateOf(int32_t dayNumber) {
    if (dayNumber == OpenStart || dayNumber == OpenEnd) return std::nullopt;
    return year_month_day(sys_days(std::chrono::days(dayNumber)));
}

WindowBounds windowOf(int32_t start, int32_t end) { return {dateOf(start), dateOf(end)}; }

}  // namespace

PeopleTable::Person& PeopleTable::person(std::string_view id) {
    if (auto found = index_.find(id); found != index_.end()) return people_[found->second];
    Person& added = people_.emplace_back();
    added.id.assign(id);
    added.latestStart[0] = added.latestStart[1] = {OpenStart, 0};
    added.earliestEnd[0] = added.earliestEnd[1] = {OpenEnd, 0};
    index_.emplace(added.id, static_cast<uint32_t>(people_.size() - 1));
    return added;
}

void PeopleTable::add(std::string_view id, uint64_t line, const WindowBounds& birth) {
    if (id.empty()) return;
    const Bound start{dayNumber(birth.earliest, OpenStart), line};
    const Bound end{dayNumber(birth.latest, OpenEnd), line};
    // A window that ends before it starts allows no day at all; it would
    // otherwise be reported as in conflict with itself.
    if (start.day > end.day) {
        addUnusable(id);
        return;
    }
    Person& p = person(id);
    // Strict comparisons: of equal bounds the first record seen stays first.
    // A bound equal to the extreme it is compared with (an open end) still
    // takes an empty place, so the runner-up always names a record once two
    // records have been seen.
    const bool firstRecord = p.records == 0;
    if (firstRecord || start.day > p.latestStart[0].day) {
        p.latestStart[1] = p.latestStart[0];
        p.latestStart[0] = start;
    } else if (p.records == 1 || start.day > p.latestStart[1].day) {
        p.latestStart[1] = start;
    }
    if (firstRecord || end.day < p.earliestEnd[0].day) {
        p.earliestEnd[1] = p.earliestEnd[0];
        p.earliestEnd[0] = end;
    } else if (p.records == 1 || end.day < p.earliestEnd[1].day) {
        p.earliestEnd[1] = end;
    }
    ++p.records;
}

void PeopleTable::addUnusable(std::string_view id) {
    if (id.empty()) return;
    ++person(id).unusable;
}

PersonSummary PeopleTable::summary(size_t index) const {
    const Person& p = people_[index];
    PersonSummary s;
    s.id = p.id;
    s.records = p.records;
    s.unusable = p.unusable;
    if (p.records == 0) return s;

    const Bound& start = p.latestStart[0];
    const Bound& end = p.earliestEnd[0];
    if (start.day <= end.day) {
        s.status = PersonStatus::Ok;
        s.birth = windowOf(start.day, end.day);
        return s;
    }

    s.status = PersonStatus::Conflict;
    s.conflictLines[0] = std::min(start.line, end.line);
    s.conflictLines[1] = std::max(start.line, end.line);
    // With two records left out in turn, each leaves the other alone, and
    // neither stands out; the runner-up bounds are only meaningful from
    // three records on.
    if (p.records < 3) return s;
    const bool withoutStart = p.latestStart[1].day <= end.day;
    const bool withoutEnd = start.day <= p.earliestEnd[1].day;
    if (withoutStart && !withoutEnd) {
        s.outlierLine = start.line;
        s.withoutOutlier = windowOf(p.latestStart[1].day, end.day);
    } else if (withoutEnd && !withoutStart) {
        s.outlierLine = end.line;
        s.withoutOutlier = windowOf(start.day, p.earliestEnd[1].day);
    }
    return s;
}

namespace {

struct Span {
    year_month_day first{}, last{};
};

// Any date text the window shows, as the days it covers.
std::optional<Span> dateSpanOf(std::string_view text) {
    const int32_t savedError = EntryError;
    const std::string canonical = normaliseDateText(trimBlanks(beforeTag(text)));
    EntryError = savedError;
    const DateParts parts = readDateParts(canonical);
    const std::chrono::year y{parts.year};
    Span span{};
    switch (parts.form) {
    case DateForm::YearOnly: span = {y / 1 / 1, y / 12 / 31}; break;
    case DateForm::MonthYear: {
        const std::chrono::month m(static_cast<unsigned>(parts.month));
        span = {y / m / 1, year_month_day(y / m / std::chrono::last)};
        break;
    }
    case DateForm::FullDate: {
        const year_month_day d = y / std::chrono::month(static_cast<unsigned>(parts.month)) /
                                 std::chrono::day(static_cast<unsigned>(parts.day));
        span = {d, d};
        break;
    }
    }
    if (!span.first.ok() || !span.last.ok()) return std::nullopt;
    return span;
}

// Whole years earlier, 29 February becoming 28 February in a common year.
year_month_day yearsBefore(year_month_day date, int32_t years) {
    year_month_day moved = date - std::chrono::years(years);
    if (!moved.ok()) moved = moved.year() / moved.month() / std::chrono::last;
    return moved;
}

}  // namespace

std::optional<WindowBounds> recordBirthWindow(const std::array<std::string, 5>& fields, MissingFact missing) {
    if (missing != MissingFact::BirthDate) {
        const std::optional<Span> birth = dateSpanOf(fields[4]);
        if (!birth) return std::nullopt;
        return WindowBounds{birth->first, birth->last};
    }
    const std::optional<Span> event = dateSpanOf(fields[0]);
    if (!event) return std::nullopt;
    if (!trimBlanks(fields[2]).empty() || !trimBlanks(fields[3]).empty()) return std::nullopt;
    const AgeSpec age = parseAge(fields[1], {}, {});
    const auto dayAfter = [](year_month_day d) { return year_month_day(sys_days(d) + std::chrono::days(1)); };
    switch (age.kind) {
    case AgeKind::Plain:
        return WindowBounds{dayAfter(yearsBefore(event->first, age.years + 1)), yearsBefore(event->last, age.years)};
    case AgeKind::Range:
        return WindowBounds{dayAfter(yearsBefore(event->first, age.rangeHigh + 1)),
                            yearsBefore(event->last, age.rangeLow)};
    case AgeKind::AtLeast:
        return WindowBounds{std::nullopt, yearsBefore(event->last, age.atLeast)};
    }
    return std::nullopt;
}

std::string_view personStatusName(PersonStatus status) {
    switch (status) {
    case PersonStatus::Ok: return "ok";
    case PersonStatus::Conflict: return "conflict";
    case PersonStatus::NoWindow: break;
    }
    return "no window";
}

bool writePeople(const PeopleTable& people, ByteSink& out, std::string_view idHeader, std::string_view lineEnd) {
    CsvWriter writer(out, lineEnd);
    for (std::string_view name : {idHeader, std::string_view("records"), std::string_view("birth_earliest"),
                                  std::string_view("birth_latest"), std::string_view("status"),
                                  std::string_view("conflict_lines"), std::string_view("outlier_line"),
                                  std::string_view("without_outlier_earliest"),
                                  std::string_view("without_outlier_latest")})
        writer.field(name);
    writer.endRecord();
    for (size_t i = 0; i < people.size() && !writer.failed(); ++i) {
        const PersonSummary s = people.summary(i);
        writer.field(s.id);
        writer.field(std::to_string(s.records));
        writer.field(isoDateText(s.birth.earliest));
        writer.field(isoDateText(s.birth.latest));
        writer.field(personStatusName(s.status));
        const bool conflict = s.status == PersonStatus::Conflict;
        writer.field(conflict ? std::to_string(s.conflictLines[0]) + " " + std::to_string(s.conflictLines[1])
                              : std::string());
        writer.field(s.outlierLine ? std::to_string(*s.outlierLine) : std::string());
        writer.field(isoDateText(s.withoutOutlier.earliest));
        writer.field(isoDateText(s.withoutOutlier.latest));
        writer.endRecord();
    }
    return writer.flush();
}

std::string isoDateText(const std::optional<std::chrono::year_month_day>& date) {
    if (!date) return {};
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date->year()),
                  static_cast<unsigned>(date->month()), static_cast<unsigned>(date->day()));
    return text;
}

}  // namespace quillark
