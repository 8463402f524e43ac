#include "tree_audit.h"

#include <algorithm>
#include <array>
#include <limits>

#include "census.h"
#include "date_text.h"
#include "gedcom_values.h"

namespace quillark {

namespace {

// An open start lies before every day and an open end after every day.
constexpr int32_t OpenStart = std::numeric_limits<int32_t>::min();
constexpr int32_t OpenEnd = std::numeric_limits<int32_t>::max();
constexpr uint32_t NoRecord = std::numeric_limits<uint32_t>::max();
constexpr uint32_t NoPerson = std::numeric_limits<uint32_t>::max();

// The events and attributes whose dates and ages bound a birth, with the
// words a sentence names them by.
struct EventKind {
    std::string_view tag, noun;
    bool individual, family;
};
constexpr EventKind Kinds[] = {
    {"CENS", "census", true, true},
    {"RESI", "residence", true, true},
    {"EVEN", "event", true, true},
    {"FACT", "fact", true, true},
    {"NCHI", "count of children", true, true},
    {"OCCU", "occupation", true, false},
    {"BAPM", "baptism", true, false},
    {"CHR", "christening", true, false},
    {"CHRA", "adult christening", true, false},
    {"CONF", "confirmation", true, false},
    {"FCOM", "first communion", true, false},
    {"BARM", "bar mitzvah", true, false},
    {"BASM", "bat mitzvah", true, false},
    {"BLES", "blessing", true, false},
    {"ADOP", "adoption", true, false},
    {"ORDN", "ordination", true, false},
    {"DEAT", "death", true, false},
    {"BURI", "burial", true, false},
    {"CREM", "cremation", true, false},
    {"PROB", "probate", true, false},
    {"WILL", "will", true, false},
    {"EMIG", "emigration", true, false},
    {"IMMI", "immigration", true, false},
    {"NATU", "naturalisation", true, false},
    {"GRAD", "graduation", true, false},
    {"RETI", "retirement", true, false},
    {"EDUC", "education", true, false},
    {"NATI", "nationality", true, false},
    {"NMR", "count of marriages", true, false},
    {"PROP", "property", true, false},
    {"RELI", "religion", true, false},
    {"TITL", "title", true, false},
    {"DSCR", "description", true, false},
    {"CAST", "caste", true, false},
    {"IDNO", "identity number", true, false},
    {"SSN", "social security number", true, false},
    {"MARR", "marriage", false, true},
    {"MARB", "marriage banns", false, true},
    {"MARC", "marriage contract", false, true},
    {"MARL", "marriage licence", false, true},
    {"MARS", "marriage settlement", false, true},
    {"ENGA", "engagement", false, true},
    {"DIV", "divorce", false, true},
    {"DIVF", "divorce filing", false, true},
    {"ANUL", "annulment", false, true},
};
constexpr uint8_t NoKind = 0xFF;
constexpr uint8_t CensusByType = 0xFE;  // an EVEN or FACT whose TYPE names a census
constexpr uint8_t CensusKind = 0;

// A tag of up to four characters as one number, so that a line's tag is
// compared with the table's without a loop over its characters.
constexpr uint32_t tagCode(std::string_view tag) {
    if (tag.empty() || tag.size() > 4) return 0;
    uint32_t code = 0;
    for (char c : tag) code = code << 8 | static_cast<unsigned char>(c);
    return code;
}

constexpr std::array<uint32_t, std::size(Kinds)> KindCodes = [] {
    std::array<uint32_t, std::size(Kinds)> codes{};
    for (size_t i = 0; i < std::size(Kinds); ++i) codes[i] = tagCode(Kinds[i].tag);
    return codes;
}();

uint8_t kindOf(uint32_t code, bool family) {
    if (code == 0) return NoKind;
    for (size_t i = 0; i < KindCodes.size(); ++i)
        if (KindCodes[i] == code && (family ? Kinds[i].family : Kinds[i].individual)) return static_cast<uint8_t>(i);
    return NoKind;
}

std::string_view nounOf(uint8_t kind) { return kind == CensusByType ? "census" : Kinds[kind].noun; }

constexpr uint32_t Indi = tagCode("INDI"), Fam = tagCode("FAM"), Name = tagCode("NAME"), Birt = tagCode("BIRT"),
                   DateTag = tagCode("DATE"), Age = tagCode("AGE"), Type = tagCode("TYPE"), Husb = tagCode("HUSB"),
                   Wife = tagCode("WIFE");

// A date in 32 bits, for the sentences that name a record: 0 for none.
uint32_t packDate(const DateParts& d) {
    return static_cast<uint32_t>(d.year) << 12 | static_cast<uint32_t>(d.month) << 8 |
           static_cast<uint32_t>(d.day) << 3 | static_cast<uint32_t>(d.form) << 1 |
           (d.calendar == Calendar::Julian ? 1u : 0u);
}
DateParts unpackDate(uint32_t v) {
    return DateParts{static_cast<DateForm>(v >> 1 & 3), static_cast<int32_t>(v >> 8 & 15),
                     static_cast<int32_t>(v >> 3 & 31), static_cast<int32_t>(v >> 12),
                     v & 1 ? Calendar::Julian : Calendar::Gregorian};
}

int32_t dayOf(const Date& d) { return static_cast<int32_t>(dayNumber(d)); }

std::optional<Date> dateOrOpen(int32_t day) {
    if (day == OpenStart || day == OpenEnd) return std::nullopt;
    return dateOfDay(day);
}

bool containsIgnoringCase(std::string_view text, std::string_view word) {
    for (size_t i = 0; i + word.size() <= text.size(); ++i)
        if (equalsIgnoringCase(text.substr(i, word.size()), word)) return true;
    return false;
}

uint64_t hashOf(std::string_view text) {
    uint64_t h = 1469598103934665603ull;
    for (char c : text) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return h;
}

// "7 Jun 1810", "28 Feb 1680 (Julian)": a window of Julian records is told
// in their calendar, as its GEDCOM value is written.
std::string dayWords(int32_t day, Calendar calendar) {
    const std::optional<Date> d = dateOfDay(day);
    if (!d) return std::string();
    return dateWords(calendar == Calendar::Julian ? partsOf(*d, calendar) : partsOf(*d));
}

// "between 7 Jun 1810 and 6 Jun 1811", "on or before 6 Jun 1811".
std::string spanWords(int32_t start, int32_t end, Calendar calendar) {
    if (start == OpenStart && end == OpenEnd) return "at any time";
    if (start == OpenStart) return "on or before " + dayWords(end, calendar);
    if (end == OpenEnd) return "on or after " + dayWords(start, calendar);
    if (start == end) return "on " + dayWords(start, calendar);
    return "between " + dayWords(start, calendar) + " and " + dayWords(end, calendar);
}

// "4 years 2 months 3 days", zero parts left out.
std::string amountWords(int32_t from, int32_t to) {
    const std::optional<Date> a = dateOfDay(from), b = dateOfDay(to);
    if (!a || !b) return "some time";
    const AgeValue age = completedAge(*a, *b);
    std::string text;
    const auto part = [&](int64_t n, std::string_view unit) {
        if (n == 0) return;
        if (!text.empty()) text.push_back(' ');
        text += std::to_string(n) + " " + std::string(unit) + (n == 1 ? "" : "s");
    };
    part(age.years, "year");
    part(age.months, "month");
    part(age.days, "day");
    return text.empty() ? "0 days" : text;
}

}  // namespace

std::string_view verdictName(Verdict verdict) {
    switch (verdict) {
    case Verdict::NoRecords: return "no records";
    case Verdict::NoBirth: return "no birth";
    case Verdict::Consistent: return "consistent";
    case Verdict::Narrower: return "narrower";
    case Verdict::Conflict: return "conflict";
    case Verdict::RecordsDisagree: break;
    }
    return "records disagree";
}

struct TreeAudit::Person {
    uint64_t xrefAt = 0, nameAt = 0, birthAt = 0;
    uint32_t xrefSize = 0, nameSize = 0, birthSize = 0;
    uint32_t lastRecord = NoRecord;  // the newest record; each names the one before
    bool defined = false;            // an INDI record was read
    bool named = false;
    bool birthSeen = false;
};

struct TreeAudit::Record {
    int32_t start, end;  // the birth window as day numbers; open ends are the extremes
    uint32_t event;      // the event's date for sentences (packDate), 0 for a range
    uint32_t next;       // the person's record before this one
    uint64_t line : 48;
    uint64_t kind : 8;
    uint64_t form : 2;  // the precision of the event's date
    uint64_t julian : 1;
};

// An event as its lines are read: the parts the audit uses.
struct TreeAudit::Event {
    uint8_t kind = NoKind;
    uint64_t line = 0;
    std::string text;  // the event's own value (a note may explain what an age means, and is not read)
    std::string date, type;
    uint64_t dateLine = 0;
    bool hasDate = false;
    // [0] the individual's own age, or the husband's; [1] the wife's.
    std::string age[2];
    uint64_t ageLine[2] = {0, 0};
    bool hasAge[2] = {false, false};

    void start(uint8_t k, uint64_t l, std::string_view value) {
        kind = k;
        line = l;
        text.assign(value);
        date.clear();
        type.clear();
        hasDate = hasAge[0] = hasAge[1] = false;
    }
};

// Where the reading stands in the file.
struct TreeAudit::Reading {
    enum class In { Other, Individual, Family } in = In::Other;
    uint32_t person = NoPerson;
    bool inBirth = false;
    bool inEvent = false;
    int spouse = -1;  // inside a family event's HUSB (0) or WIFE (1)
    uint32_t husband = NoPerson, wife = NoPerson;
    std::vector<Event> familyEvents;
    size_t familyEventCount = 0;
    Event event;
    std::vector<std::string> warnings;
    std::string problem;
};

TreeAudit::TreeAudit(AuditOptions options) : options_(options) { slots_.assign(1024, 0); }
TreeAudit::~TreeAudit() = default;

// A slot holds the person's index + 1 in its low half and the high half of
// the xref's hash in its high half, so that a probe rarely reads the text.
uint32_t TreeAudit::personOf(std::string_view xref) {
    constexpr uint64_t High = 0xFFFFFFFF00000000ull;
    const uint64_t hash = hashOf(xref);
    size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i] != 0) {
        if ((slots_[i] & High) == (hash & High)) {
            const auto index = static_cast<uint32_t>(slots_[i] - 1);
            const Person& p = people_[index];
            if (text(p.xrefAt, p.xrefSize) == xref) return index;
        }
        i = (i + 1) & mask;
    }
    Person& added = people_.emplace_back();
    added.xrefAt = text_.size();
    added.xrefSize = static_cast<uint32_t>(xref.size());
    text_.append(xref);
    const auto index = static_cast<uint32_t>(people_.size() - 1);
    slots_[i] = (hash & High) | (uint64_t{index} + 1);
    if (people_.size() * 2 > slots_.size()) {
        // Half full: twice the room, every person placed again.
        std::vector<uint64_t> grown(slots_.size() * 2, 0);
        mask = grown.size() - 1;
        for (uint64_t slot : slots_) {
            if (slot == 0) continue;
            const Person& p = people_[(slot & ~High) - 1];
            size_t k = hashOf(text(p.xrefAt, p.xrefSize)) & mask;
            while (grown[k] != 0) k = (k + 1) & mask;
            grown[k] = slot;
        }
        slots_.swap(grown);
    }
    return index;
}

void TreeAudit::addRecord(uint32_t person, const Record& record) {
    Record& added = records_.emplace_back(record);
    added.next = people_[person].lastRecord;
    people_[person].lastRecord = static_cast<uint32_t>(records_.size() - 1);
}

void TreeAudit::finishEvent(Reading& r, Event& e, uint32_t person, int who, const GedcomWarning& warning) {
    // A family event is read once for each spouse; what its date says is
    // said once.
    const bool sayDate = who == 0 || r.husband == NoPerson;
    const auto warn = [&](uint64_t line, std::string_view message) {
        if (warning) warning(line, message);
    };
    const auto warnDate = [&](uint64_t line, std::string_view message) {
        if (sayDate) warn(line, message);
    };
    const auto passOn = [&](uint64_t line, bool dateLine) {
        for (const std::string& w : r.warnings) dateLine ? warnDate(line, w) : warn(line, w);
        r.warnings.clear();
    };
    if (!e.hasDate) {
        if (e.hasAge[who]) warn(e.ageLine[who], "an age at an event with no date; it is left out");
        return;
    }
    GedcomDate date;
    r.warnings.clear();
    if (!readGedcomDate(e.date, date, r.problem, r.warnings)) {
        passOn(e.dateLine, true);
        warnDate(e.dateLine, r.problem + "; the record is left out");
        return;
    }
    passOn(e.dateLine, true);

    // The age: its own line, or else words in the event's text.
    std::string_view ageText;
    uint64_t ageLine = 0;
    if (e.hasAge[who]) {
        ageText = e.age[who];
        ageLine = e.ageLine[who];
    } else if (options_.textAges && r.in == Reading::In::Individual) {
        ageText = ageInText(e.text);
        ageLine = e.line;
        if (!ageText.empty()) {
            std::string_view shown = e.text;
            if (shown.size() > 60) shown = shown.substr(0, 60);
            warn(e.line, "the age " + std::string(ageText) + " is read from the event's text '" + std::string(shown) +
                             (shown.size() < e.text.size() ? "...'" : "'"));
        }
    }
    std::optional<GedcomAge> age;
    if (!ageText.empty()) {
        GedcomAge read;
        if (readGedcomAge(ageText, read, r.problem, r.warnings)) {
            age = read;
            passOn(ageLine, false);
        } else {
            r.warnings.clear();
            warn(ageLine, r.problem + "; only the event's date bounds the birth");
        }
    }

    const bool census = e.kind == CensusKind || ((Kinds[e.kind].tag == "EVEN" || Kinds[e.kind].tag == "FACT") &&
                                                 containsIgnoringCase(e.type, "census"));
    Record record{};
    record.line = e.line;
    record.kind = census && e.kind != CensusKind ? CensusByType : e.kind;
    const DateParts& known = date.from ? *date.from : *date.to;
    record.form = static_cast<uint64_t>(known.form);
    record.julian = known.calendar == Calendar::Julian;
    record.event = date.range ? 0 : packDate(known);
    std::optional<DateParts> from = date.from, to = date.to;

    if (age) {
        AgeSpec years = age->age;
        if (census && !date.range && !age->over) {
            for (const Census& c : censusTable()) {
                if (!isCensusDay(c, known)) continue;
                const CensusAge rule = applyCensusRule(c, years, age->monthsOrDays);
                std::string how;
                if (!rule.warning.empty()) {
                    how = ": " + rule.warning;
                } else if (rule.age && rule.age->kind == AgeKind::Range) {
                    how = ": its ages of 15 and over stand for that age to four more; " + std::string(ageText) +
                          " is read as " + std::to_string(rule.age->rangeLow) + " to " +
                          std::to_string(rule.age->rangeHigh);
                }
                if (rule.age) years = *rule.age;
                from = to = partsOf(c.day);
                record.event = packDate(*from);
                record.form = static_cast<uint64_t>(DateForm::FullDate);
                record.julian = false;
                warnDate(e.line, "read as the census of " + std::string(c.country) + " on " + dateWords(*from) + " (" +
                                 std::string(c.name) + ")" + how);
                break;
            }
        }
        const WindowAge window = age->over ? *age->over : windowAge(years);
        const DateWindow earliest = from ? birthWindow(*from, window) : DateWindow{};
        const DateWindow latest = !to ? DateWindow{} : date.range ? birthWindow(*to, window) : earliest;
        if (earliest.status != WindowStatus::Ok || latest.status != WindowStatus::Ok) {
            warn(ageLine,
                 "the age '" + std::string(ageText) + "' puts the birth outside the years 1 to 9999; it is left out");
            return;
        }
        record.start = from && earliest.earliest ? dayOf(*earliest.earliest) : OpenStart;
        record.end = to && latest.latest ? dayOf(*latest.latest) : OpenEnd;
    } else {
        // No one is baptised, married or buried before being born.
        if (!to) return;
        record.start = OpenStart;
        record.end = dayOf(lastDay(*to));
    }
    if (record.start == OpenStart && record.end == OpenEnd) return;
    addRecord(person, record);
}

void TreeAudit::finishFamily(Reading& r, const GedcomWarning& warning) {
    for (size_t i = 0; i < r.familyEventCount; ++i) {
        Event& e = r.familyEvents[i];
        for (int who = 0; who < 2; ++who) {
            const uint32_t spouse = who == 0 ? r.husband : r.wife;
            if (spouse == NoPerson) {
                if (e.hasAge[who] && warning)
                    warning(e.ageLine[who], std::string("an age of the ") + (who == 0 ? "husband" : "wife") +
                                                " in a family that names none; it is left out");
                continue;
            }
            finishEvent(r, e, spouse, who, warning);
        }
    }
    r.familyEventCount = 0;
    r.husband = r.wife = NoPerson;
}

GedcomReader::Status TreeAudit::read(GedcomSource& source, const GedcomWarning& warning) {
    GedcomReader reader(source, warning);
    Reading r;
    GedcomLine line;
    GedcomReader::Status status;
    const auto closeEvent = [&] {
        if (r.inEvent && r.in == Reading::In::Individual) finishEvent(r, r.event, r.person, 0, warning);
        r.inEvent = false;
        r.spouse = -1;
    };
    const auto closeRecord = [&] {
        closeEvent();
        if (r.in == Reading::In::Family) finishFamily(r, warning);
        r.in = Reading::In::Other;
        r.inBirth = false;
    };
    while ((status = reader.next(line)) == GedcomReader::Status::Line) {
        const uint32_t tag = tagCode(line.tag);
        if (tag == Age) ++ageLines_;
        if (line.level == 0) {
            closeRecord();
            if (tag == Indi && !line.xref.empty()) {
                r.in = Reading::In::Individual;
                r.person = personOf(line.xref);
                Person& p = people_[r.person];
                if (p.defined && warning)
                    warning(line.number, "a second individual " + std::string(line.xref) +
                                             "; its records are taken as the first one's");
                if (!p.defined) order_.push_back(r.person);
                p.defined = true;
            } else if (tag == Fam) {
                r.in = Reading::In::Family;
                r.familyEventCount = 0;
                r.husband = r.wife = NoPerson;
            }
            continue;
        }
        if (r.in == Reading::In::Individual) {
            if (line.level == 1) {
                closeEvent();
                r.inBirth = false;
                Person& p = people_[r.person];
                if (tag == Name && !p.named) {
                    // "John /Smith/" is John Smith.
                    p.named = true;
                    p.nameAt = text_.size();
                    bool blank = true;
                    for (char c : line.value) {
                        if (c == '/') continue;
                        if (c == ' ' && blank) continue;
                        blank = c == ' ';
                        text_.push_back(c);
                    }
                    while (text_.size() > p.nameAt && text_.back() == ' ') text_.pop_back();
                    p.nameSize = static_cast<uint32_t>(text_.size() - p.nameAt);
                } else if (tag == Birt) {
                    r.inBirth = !p.birthSeen;
                } else if (const uint8_t kind = kindOf(tag, false); kind != NoKind) {
                    r.inEvent = true;
                    r.event.start(kind, line.number, line.value);
                }
            } else if (line.level == 2) {
                if (r.inBirth && tag == DateTag) {
                    Person& p = people_[r.person];
                    p.birthSeen = true;
                    r.inBirth = false;
                    p.birthAt = text_.size();
                    const std::string_view value = line.value;
                    text_.append(value);
                    p.birthSize = static_cast<uint32_t>(value.size());
                } else if (r.inEvent) {
                    Event& e = r.event;
                    if (tag == DateTag && !e.hasDate) {
                        e.hasDate = true;
                        e.date.assign(line.value);
                        e.dateLine = line.number;
                    } else if (tag == Age && !e.hasAge[0]) {
                        e.hasAge[0] = true;
                        e.age[0].assign(line.value);
                        e.ageLine[0] = line.number;
                    } else if (tag == Type) {
                        e.type.assign(line.value);
                    }
                }
            }
            continue;
        }
        if (r.in != Reading::In::Family) continue;
        if (line.level == 1) {
            closeEvent();
            if (tag == Husb || tag == Wife) {
                const std::string_view value = line.value;
                if (value.size() > 2 && value.front() == '@' && value.back() == '@') {
                    (tag == Husb ? r.husband : r.wife) = personOf(value);
                }
            } else if (const uint8_t kind = kindOf(tag, true); kind != NoKind) {
                if (r.familyEventCount == r.familyEvents.size()) r.familyEvents.emplace_back();
                r.familyEvents[r.familyEventCount++].start(kind, line.number, line.value);
                r.inEvent = true;
            }
        } else if (r.inEvent && line.level == 2) {
            Event& e = r.familyEvents[r.familyEventCount - 1];
            r.spouse = tag == Husb ? 0 : tag == Wife ? 1 : -1;
            if (tag == DateTag && !e.hasDate) {
                e.hasDate = true;
                e.date.assign(line.value);
                e.dateLine = line.number;
            } else if (tag == Type) {
                e.type.assign(line.value);
            }
        } else if (r.inEvent && line.level == 3 && r.spouse >= 0 && tag == Age) {
            Event& e = r.familyEvents[r.familyEventCount - 1];
            if (!e.hasAge[r.spouse]) {
                e.hasAge[r.spouse] = true;
                e.age[r.spouse].assign(line.value);
                e.ageLine[r.spouse] = line.number;
            }
        }
    }
    closeRecord();
    encoding_ = reader.encoding();
    bytesRead_ = reader.bytesRead();
    if (status != GedcomReader::Status::End) {
        error_ = status == GedcomReader::Status::ReadError ? "the file could not be read to its end" : reader.error();
        errorLine_ = reader.errorLine();
    }
    return status;
}

bool TreeAudit::hasRecords(size_t index) const { return people_[order_[index]].lastRecord != NoRecord; }

AuditRow TreeAudit::row(size_t index) const {
    const Person& p = people_[order_[index]];
    AuditRow row;
    row.xref = text(p.xrefAt, p.xrefSize);
    row.name = text(p.nameAt, p.nameSize);
    row.recordedBirth = text(p.birthAt, p.birthSize);

    std::vector<const Record*> list;
    for (uint32_t i = p.lastRecord; i != NoRecord; i = records_[i].next) list.push_back(&records_[i]);
    std::stable_sort(list.begin(), list.end(), [](const Record* a, const Record* b) { return a->line < b->line; });
    row.records = static_cast<uint32_t>(list.size());
    for (const Record* rec : list)
        if (row.evidenceLines.empty() || row.evidenceLines.back() != rec->line) row.evidenceLines.push_back(rec->line);
    if (list.empty()) {
        row.verdict = Verdict::NoRecords;
        row.detail = "No record bounds the birth.";
        return row;
    }
    const auto label = [](const Record* rec) {
        std::string text = "the " + std::string(nounOf(static_cast<uint8_t>(rec->kind)));
        if (rec->event != 0) text += " of " + dateWords(unpackDate(rec->event));
        return text + " (line " + std::to_string(rec->line) + ")";
    };

    // The latest start and the earliest end: of equal ones the first in the file.
    const Record* latestStart = list[0];
    const Record* earliestEnd = list[0];
    bool julian = true;
    for (const Record* rec : list) {
        if (rec->start > latestStart->start) latestStart = rec;
        if (rec->end < earliestEnd->end) earliestEnd = rec;
        julian = julian && rec->julian;
    }
    const Calendar calendar = julian ? Calendar::Julian : Calendar::Gregorian;
    const auto calendarOf = [](const Record* rec) { return rec->julian ? Calendar::Julian : Calendar::Gregorian; };
    // A value is written at the precision of the dates of the records that
    // bound it (a year of death does not make census days years), and in
    // the Julian calendar when every record is dated in it.
    const auto gedcomOf = [&](const Record* from, const Record* to, int32_t start, int32_t end) {
        DateWindow w;
        w.earliest = dateOrOpen(start);
        w.latest = dateOrOpen(end);
        w.precision = coarser(static_cast<DateForm>(from->form), static_cast<DateForm>(to->form));
        w.calendar = calendar;
        return gedcomDateValue(w, options_.gedcom).value_or(std::string());
    };

    if (latestStart->start > earliestEnd->end) {
        row.verdict = Verdict::RecordsDisagree;
        const Record* first = latestStart->line < earliestEnd->line ? latestStart : earliestEnd;
        const Record* second = first == latestStart ? earliestEnd : latestStart;
        row.detail = "No birth date fits all records: " + label(first) + " and " + label(second) +
                     " cannot both be right, one putting the birth " +
                     spanWords(first->start, first->end, calendarOf(first)) + " and the other " +
                     spanWords(second->start, second->end, calendarOf(second));
        // Leaving out one of the two is the only way one record can help.
        const Record* runnerStart = nullptr;
        const Record* runnerEnd = nullptr;
        for (const Record* rec : list) {
            if (rec != latestStart && (!runnerStart || rec->start > runnerStart->start)) runnerStart = rec;
            if (rec != earliestEnd && (!runnerEnd || rec->end < runnerEnd->end)) runnerEnd = rec;
        }
        const bool withoutStart = list.size() >= 3 && runnerStart->start <= earliestEnd->end;
        const bool withoutEnd = list.size() >= 3 && latestStart->start <= runnerEnd->end;
        if (withoutStart != withoutEnd) {
            const Record* outlier = withoutStart ? latestStart : earliestEnd;
            const Record* from = withoutStart ? runnerStart : latestStart;
            const Record* to = withoutStart ? earliestEnd : runnerEnd;
            row.detail += "; " + label(outlier) + " stands out: without it the birth lies " +
                          spanWords(from->start, to->end, calendar) + ".";
            row.suggested = gedcomOf(from, to, from->start, to->end);
        } else {
            row.detail += "; no single record stands out.";
        }
        return row;
    }

    const int32_t ws = latestStart->start, we = earliestEnd->end;
    row.earliest = dateOrOpen(ws);
    row.latest = dateOrOpen(we);
    const std::string window =
        (list.size() == 1 ? std::string("the record puts") : "the " + std::to_string(list.size()) + " records put") +
        " the birth " + spanWords(ws, we, calendar);

    GedcomDate birth;
    std::string problem;
    std::vector<std::string> ignored;
    if (row.recordedBirth.empty() || !readGedcomDate(row.recordedBirth, birth, problem, ignored)) {
        row.verdict = Verdict::NoBirth;
        row.suggested = gedcomOf(latestStart, earliestEnd, ws, we);
        row.detail = row.recordedBirth.empty() ? "No birth date is recorded; " + window + "."
                                               : "The recorded birth cannot be read (" + problem + "); " + window + ".";
        return row;
    }
    const int32_t rs = birth.from ? dayOf(firstDay(*birth.from)) : OpenStart;
    const int32_t re = birth.to ? dayOf(lastDay(*birth.to)) : OpenEnd;
    if (ws <= rs && re <= we) {
        row.verdict = Verdict::Consistent;
        row.detail = "The recorded birth fits: " + window + ".";
        return row;
    }
    if (re < ws) {
        row.verdict = Verdict::Conflict;
        row.suggested = gedcomOf(latestStart, earliestEnd, ws, we);
        row.detail = "The recorded birth is " + amountWords(re, ws) + " before the earliest day " + label(latestStart) +
                     " allows (" + dayWords(ws, calendar) + ").";
        return row;
    }
    if (rs > we) {
        row.verdict = Verdict::Conflict;
        row.suggested = gedcomOf(latestStart, earliestEnd, ws, we);
        row.detail = "The recorded birth is " + amountWords(we, rs) + " after the latest day " + label(earliestEnd) +
                     " allows (" + dayWords(we, calendar) + ").";
        return row;
    }
    row.verdict = Verdict::Narrower;
    if (!birth.approximate) {
        // A plain date: the window within it.
        const int32_t start = std::max(ws, rs), end = std::min(we, re);
        row.suggested = gedcomOf(latestStart, earliestEnd, start, end);
        row.detail =
            "The recorded birth is wider than the records allow: " + window +
            (start == ws && end == we ? "." : ", within the recorded date " + spanWords(start, end, calendar) + ".");
    } else {
        row.suggested = gedcomOf(latestStart, earliestEnd, ws, we);
        row.detail = "The recorded birth is approximate and reaches beyond the records: " + window + ".";
    }
    return row;
}

}  // namespace quillark
