#include "people.h"

#include <limits>

namespace quillark {

namespace {

// An open start lies before every day and an open end after every day.
constexpr int32_t OpenStart = std::numeric_limits<int32_t>::min();
constexpr int32_t OpenEnd = std::numeric_limits<int32_t>::max();

// Days of the years 1..9999 lie well inside 32 bits.
int32_t dayOrOpen(const std::optional<Date>& date, int32_t open) {
    return date ? static_cast<int32_t>(dayNumber(*date)) : open;
}

std::optional<Date> dateOf(int32_t day) {
    if (day == OpenStart || day == OpenEnd) return std::nullopt;
    return dateOfDay(day);
}

DateWindow windowOf(int32_t start, int32_t end, DateForm precision) {
    DateWindow window;
    window.earliest = dateOf(start);
    window.latest = dateOf(end);
    window.precision = precision;
    return window;
}

// Both ends of a window in words: "1810-06-07 and 1811-06-06".
std::string between(const DateWindow& w) {
    return (w.earliest ? isoText(*w.earliest) : std::string("any day")) + " and " +
           (w.latest ? isoText(*w.latest) : std::string("any day"));
}

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

void PeopleTable::add(std::string_view id, uint64_t line, const DateWindow& birth) {
    if (id.empty()) return;
    const Bound start{dayOrOpen(birth.earliest, OpenStart), line};
    const Bound end{dayOrOpen(birth.latest, OpenEnd), line};
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
    p.precision = coarser(p.precision, birth.precision);
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
        s.birth = windowOf(start.day, end.day, p.precision);
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
        s.withoutOutlier = windowOf(p.latestStart[1].day, end.day, p.precision);
    } else if (withoutEnd && !withoutStart) {
        s.outlierLine = end.line;
        s.withoutOutlier = windowOf(start.day, p.earliestEnd[1].day, p.precision);
    }
    return s;
}

std::string personAnswerText(const PersonSummary& s, std::optional<GedcomVersion> gedcom) {
    std::string line;
    switch (s.status) {
    case PersonStatus::Ok: {
        line.append("born between ").append(between(s.birth));
        if (gedcom) {
            if (const auto value = gedcomDateValue(s.birth, *gedcom)) line.append(" (GEDCOM: ").append(*value).append(")");
        }
        break;
    }
    case PersonStatus::NoWindow: line.append("no record gives a birth window"); break;
    case PersonStatus::Conflict:
        line.append("records ").append(std::to_string(s.conflictLines[0])).append(" and ")
            .append(std::to_string(s.conflictLines[1])).append(" have no birth date in common");
        if (s.outlierLine) {
            line.append("; without record ").append(std::to_string(*s.outlierLine))
                .append(": born between ").append(between(s.withoutOutlier));
        }
        break;
    }
    return line;
}

std::string_view personStatusName(PersonStatus status) {
    switch (status) {
    case PersonStatus::Ok: return "ok";
    case PersonStatus::Conflict: return "conflict";
    case PersonStatus::NoWindow: break;
    }
    return "no window";
}

}  // namespace quillark
