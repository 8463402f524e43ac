// Seeded random requests and the engine's answers to them.
//   golden_requests record SEED COUNT [transcription]   request and answer lines
//   golden_requests check FILE                          answers again, counts differences
//   golden_requests csv SEED COUNT                      requests as a batch CSV file
//   golden_requests research-csv SEED COUNT             a researcher's transcription: census
//                                                       and person columns, researchers' forms
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "answer.h"
#include "calculation.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: golden_requests record SEED COUNT [transcription]\n"
                 "       golden_requests check FILE\n"
                 "       golden_requests csv SEED COUNT\n"
                 "       golden_requests research-csv SEED COUNT\n");
    return 64;
}

uint64_t number(const char* text) { return std::strtoull(text, nullptr, 10); }

int record(uint64_t seed, uint64_t count, golden::Mix mix) {
    std::string line;
    for (uint64_t i = 0; i < count; ++i) {
        const golden::RequestLine request = golden::generateRequest(seed, i, mix);
        line = golden::formatLine(request, golden::answer(request));
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}

// True when an answer showed a year outside 1..9999 in the computed field:
// the answers that now give the out-of-range box instead.
bool showedYearOutOfRange(const golden::AnswerLine& answer) {
    if (answer.missing != 1 && answer.missing != 3) return false;
    const std::string& text = answer.fields[answer.missing == 1 ? 0 : 4];
    for (size_t i = 0; i < text.size();) {
        if (text[i] < '0' || text[i] > '9') {
            ++i;
            continue;
        }
        const bool negative = i > 0 && text[i - 1] == '-';
        size_t end = i;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9') ++end;
        const std::string digits = text.substr(i, end - i);
        if (negative || digits.size() > 4 || std::stoi(digits) == 0) return true;
        i = end;
    }
    return false;
}

int check(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "golden_requests: cannot read %s\n", path);
        return 2;
    }
    uint64_t lines = 0, differences = 0, outOfRange = 0;
    std::string line;
    golden::RequestLine request;
    golden::AnswerLine expected;
    while (std::getline(in, line)) {
        ++lines;
        if (!golden::parseLine(line, request, expected)) {
            std::fprintf(stderr, "line %llu: not a request line\n", static_cast<unsigned long long>(lines));
            return 2;
        }
        const golden::AnswerLine answer = golden::answer(request);
        const std::string got = golden::formatLine(request, answer);
        if (got != line && answer.text == OutOfRangeText && showedYearOutOfRange(expected)) {
            ++outOfRange;
        } else if (got != line) {
            if (++differences <= 10)
                std::fprintf(stderr, "line %llu:\n  expected %s\n  got      %s\n",
                             static_cast<unsigned long long>(lines), line.c_str(), got.c_str());
        }
    }
    std::printf("%llu requests, %llu differences, %llu answers that showed a year outside 1..9999 now "
                "refused\n",
                static_cast<unsigned long long>(lines), static_cast<unsigned long long>(differences),
                static_cast<unsigned long long>(outOfRange));
    return differences == 0 && lines > 0 ? 0 : 1;
}

// A field for the CSV: quoted when it must be.
void csvField(std::string& out, const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

int csv(uint64_t seed, uint64_t count) {
    std::string out = "id,event,years,months,days,birth,note\n";
    for (uint64_t i = 0; i < count; ++i) {
        const golden::RequestLine request = golden::generateRequest(seed, i, golden::Mix::Transcription);
        out += std::to_string(i + 1);
        for (const std::string& field : request.fields) {
            out += ',';
            csvField(out, field);
        }
        out += i % 3 == 0 ? ",\"St John, Holborn\"\n" : ",\n";
        if (out.size() > (1u << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

// A transcription as a researcher keeps it, for running whole programs over
// everything the batch reads: the transcription requests above with a
// census column, a person column and the forms copied from sources mixed in.
//
// About a third of the rows are records of made-up people, each with a true
// birth day: a census (the day's age, EW1841 mostly rounded down to five),
// a burial (the age at death) or a baptism (the birth date given), with the
// dates and ages written in the researchers' forms. People have several
// records scattered through the file; a few records are years out, so some
// people conflict. The other rows are transcription requests, now and then
// with a researcher's form, a census or a person of their own.
namespace research {

using std::chrono::sys_days;
using std::chrono::year_month_day;

struct CensusDay {
    std::string_view name;
    int year;
    unsigned month, day;
};

constexpr std::array<CensusDay, 26> Censuses = {{
    {"EW1841", 1841, 6, 6},  {"EW1851", 1851, 3, 30}, {"EW1861", 1861, 4, 7},  {"EW1871", 1871, 4, 2},
    {"EW1881", 1881, 4, 3},  {"EW1891", 1891, 4, 5},  {"EW1901", 1901, 3, 31}, {"EW1911", 1911, 4, 2},
    {"EW1921", 1921, 6, 19}, {"US1790", 1790, 8, 2},  {"US1800", 1800, 8, 4},  {"US1810", 1810, 8, 6},
    {"US1820", 1820, 8, 7},  {"US1830", 1830, 6, 1},  {"US1840", 1840, 6, 1},  {"US1850", 1850, 6, 1},
    {"US1860", 1860, 6, 1},  {"US1870", 1870, 6, 1},  {"US1880", 1880, 6, 1},  {"US1890", 1890, 6, 2},
    {"US1900", 1900, 6, 1},  {"US1910", 1910, 4, 15}, {"US1920", 1920, 1, 1},  {"US1930", 1930, 4, 1},
    {"US1940", 1940, 4, 1},  {"US1950", 1950, 4, 1},
}};

constexpr std::array<std::string_view, 8> UnknownCensuses = {"EW1842", "US1895", "UK1851", "EW 1841",
                                                             "census", "1841",   "US-1900", "EW18411"};

constexpr std::array<std::string_view, 12> MonthNames = {"January", "February", "March",     "April",
                                                         "May",     "June",     "July",      "August",
                                                         "September", "October", "November", "December"};

// Forms the readers of researchers' forms must take apart, refuse or leave
// alone: the good ones, their near misses and their absurd ends.
constexpr std::array<std::string_view, 44> EdgeAges = {
    "40y 3m 2d", "3m", "2w", "<5y", ">60y", "INFANT", "CHILD", "STILLBORN", "3/12", "1 3/12",
    "72 yrs 3 mos 14 days", "aged 72", "3 weeks", "<0y", ">0y", "<3m", ">6m", "13/12", "1 3/12 y",
    "aged", "72 yrs and 3 mos", "1 year & 2 months", "infant", "Child", "2 wks 3 dys", "40Y", "5y 5y",
    "0y", "999999999y", "1234567890 days", "age 3", "3 mths.", "<1y 2m", ">1y 6m", "4/12 3/12", "11/12",
    "12/12", "3 weeks 2 days", "1 yr. 2 mo.", ">100y", "<1d", "aged 4 & 6 mos", "2 2 2", "y"};

constexpr std::array<std::string_view, 34> EdgeDates = {
    "6 Jun 1841", "JUN 1841", "1841-06-06", "ABT 1850", "EST 1850", "CAL 1850", "abt 6 jun 1841", "ABT",
    "EST ", "ABT  1850", "6 Jun 18410", "32 Jun 1841", "Jun 1841 extra", "1841-6-6", "1841-13-01",
    "1841-02-30", "29 Feb 1900", "29 Feb 1904", "31 Sept 1841", "Sept 1841", "June 1841", "6 June, 1841",
    "1841-06-06T00", "0001-01-01", "9999-12-31", "ABT ABT 1850", "BEF 1850", "AFT 1850",
    "BET 1840 AND 1850", "1841 - 06 - 06", "6  Jun  1841", "est 1 jan 1600", "CAL 1841-06", "1841-06"};

std::string twoDigits(unsigned value) { return golden::detail::twoDigits(value); }

int yearOf(const year_month_day& date) { return static_cast<int>(date.year()); }
unsigned monthOf(const year_month_day& date) { return static_cast<unsigned>(date.month()); }
unsigned dayOf(const year_month_day& date) { return static_cast<unsigned>(date.day()); }

std::string upper(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

// A date as it might be copied from a source, at the precision it keeps.
std::string writtenDate(golden::Random& rnd, const year_month_day& date) {
    const std::string year = std::to_string(yearOf(date));
    const std::string_view month = MonthNames[monthOf(date) - 1];
    const std::string day = std::to_string(dayOf(date));
    const std::string window = twoDigits(monthOf(date)) + "/" + twoDigits(dayOf(date)) + "/" + year;
    switch (rnd.below(20)) {
    case 0: return day + " " + std::string(month.substr(0, 3)) + " " + year;
    case 1: return day + " " + upper(month.substr(0, 3)) + " " + year;
    case 2: return day + " " + std::string(month) + " " + year;
    case 3: return upper(month.substr(0, 3)) + " " + year;
    case 4: return year + "-" + twoDigits(monthOf(date)) + "-" + twoDigits(dayOf(date));
    case 5: return year + "-" + twoDigits(monthOf(date));
    case 6: return (rnd.chance(50) ? "ABT " : "abt ") + year;
    case 7: return "EST " + day + " " + upper(month.substr(0, 3)) + " " + year;
    case 8: return "CAL " + year + "-" + twoDigits(monthOf(date));
    case 9: return year;
    case 10: return std::string(month.substr(0, 3)) + " " + day + ", " + year;
    case 11: return twoDigits(monthOf(date)) + "/" + year;
    default: return window;
    }
}

struct Age {
    std::string years, months, days;
};

// The age from birth to event in whole years, months and days (a day the
// month lacks counts as its last).
void exactAge(const year_month_day& birth, const year_month_day& event, int64_t& years, int64_t& months,
              int64_t& days) {
    int64_t total = (yearOf(event) - yearOf(birth)) * 12 + monthOf(event) - monthOf(birth);
    if (dayOf(event) < dayOf(birth)) --total;
    if (total < 0) total = 0;
    year_month_day anniversary = birth + std::chrono::months(total);
    if (!anniversary.ok()) anniversary = anniversary.year() / anniversary.month() / std::chrono::last;
    years = total / 12;
    months = total % 12;
    days = std::max<int64_t>(0, (sys_days(event) - sys_days(anniversary)).count());
}

// An age in one of the forms a register, a gravestone or an enumerator
// used. rounded: the 1841 enumerators' rule (ages of 15 and over written
// as the multiple of five below), mostly but not always followed.
Age writtenAge(golden::Random& rnd, int64_t y, int64_t m, int64_t d, bool rounded) {
    const std::string ys = std::to_string(y), ms = std::to_string(m), ds = std::to_string(d);
    if (rounded && y >= 15) return {std::to_string(rnd.chance(90) ? y - y % 5 : y), {}, {}};
    switch (rnd.below(22)) {
    case 0: return {ys + "y " + ms + "m " + ds + "d", {}, {}};
    case 1: return {ys + " yrs " + ms + " mos " + ds + " days", {}, {}};
    case 2: return {"aged " + ys, {}, {}};
    case 3: return {y < 3 ? (y > 0 ? ys + " " : std::string()) + ms + "/12" : ys, {}, {}};
    case 4: return {"<" + std::to_string(y + 1 + rnd.below(3)) + "y", {}, {}};
    case 5: return {y > 0 ? ">" + std::to_string(y - rnd.below(static_cast<uint32_t>(std::min<int64_t>(y, 3)))) + "y"
                          : "INFANT",
                    {}, {}};
    case 6: return {y == 0 ? "INFANT" : y < 8 ? "CHILD" : ys + " years", {}, {}};
    case 7:
        if (y == 0 && m == 0) return {rnd.chance(50) ? std::to_string(d / 7) + " weeks" : std::to_string(d / 7) + "w", {}, {}};
        return {y == 0 ? ms + "m" : ys + " year " + ms + " months", {}, {}};
    case 8: return {ys, ms, ds};
    case 9: return {ys + "y " + ms + "m", rnd.chance(50) ? ms : std::to_string(m + 1), {}};
    case 10: return {ys, ms, {}};
    default: return {ys, {}, {}};
    }
}

// The made-up person number `person`'s birth day.
year_month_day birthOf(uint64_t seed, uint64_t person) {
    golden::Random rnd((seed ^ 0x706572736F6E73ULL) * 0xD6E8FEB86659FD93ULL + person * 0x9E3779B97F4A7C15ULL);
    rnd.next();
    const sys_days first = sys_days(std::chrono::year{1770} / 1 / 1);
    return year_month_day(first + std::chrono::days(rnd.between(0, 365 * 130)));
}

struct Row {
    std::string person, census;
    std::array<std::string, 5> fields;  // event, years, months, days, birth
};

// A record of a made-up person: a census, a burial or a baptism.
void personRecord(golden::Random& rnd, uint64_t seed, uint64_t people, Row& row) {
    const uint64_t person = rnd.next() % people;
    row.person = "P" + std::to_string(person);
    if (rnd.chance(3)) row.person = " " + row.person + " ";
    const year_month_day birth = birthOf(seed, person);
    // A few records are years out: a misread age, or another person's.
    const int64_t error = rnd.chance(3) ? rnd.between(6, 15) : 0;

    const uint32_t kind = rnd.below(100);
    if (kind < 55) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            const CensusDay& census = Censuses[rnd.below(static_cast<uint32_t>(Censuses.size()))];
            const year_month_day day = std::chrono::year{census.year} / census.month / census.day;
            if (sys_days(day) < sys_days(birth) || census.year - yearOf(birth) > 100) continue;
            int64_t y, m, d;
            exactAge(birth, day, y, m, d);
            const Age age = writtenAge(rnd, y + error, m, d, census.name == "EW1841");
            row.fields[1] = age.years;
            row.fields[2] = age.months;
            row.fields[3] = age.days;
            const uint32_t name = rnd.below(100);
            row.census = std::string(census.name);
            if (name < 3) row.census = std::string(rnd.pick(UnknownCensuses));
            else if (name < 18) for (char& c : row.census) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
            else if (name < 28) row.census = " " + row.census + " ";
            // The event column of a census row: mostly empty, often the
            // census day in some form, now and then a day that is not it.
            const uint32_t event = rnd.below(100);
            if (event >= 55 && event < 90) row.fields[0] = writtenDate(rnd, day);
            else if (event >= 90) row.fields[0] = writtenDate(rnd, year_month_day(sys_days(day) + std::chrono::days(rnd.between(1, 400))));
            return;
        }
    }
    if (kind < 85) {
        // A burial: the age at death, a stillbirth now and then.
        const int64_t lived = rnd.chance(3) ? 0 : rnd.between(0, 365 * 95);
        const year_month_day death(sys_days(birth) + std::chrono::days(lived));
        row.fields[0] = writtenDate(rnd, death);
        if (lived == 0 && rnd.chance(50)) {
            row.fields[1] = "STILLBORN";
            return;
        }
        int64_t y, m, d;
        exactAge(birth, death, y, m, d);
        const Age age = writtenAge(rnd, y + error, m, d, false);
        row.fields[1] = age.years;
        row.fields[2] = age.months;
        row.fields[3] = age.days;
        return;
    }
    // A baptism or a marriage: the birth date given, the age to work out.
    const year_month_day event(sys_days(birth) + std::chrono::days(rnd.between(0, 365 * 60)));
    row.fields[0] = writtenDate(rnd, event);
    row.fields[4] = writtenDate(rnd, year_month_day(sys_days(birth) - std::chrono::days(error * 365)));
}

// A transcription request from the generator, sometimes with one field in a
// researcher's form, a census or a person.
void transcriptionRecord(golden::Random& rnd, uint64_t seed, uint64_t index, uint64_t people, Row& row) {
    row.fields = golden::generateRequest(seed, index, golden::Mix::Transcription).fields;
    if (rnd.chance(10)) {
        switch (rnd.below(3)) {
        case 0: row.fields[1] = std::string(rnd.pick(EdgeAges)); break;
        case 1: row.fields[0] = std::string(rnd.pick(EdgeDates)); break;
        default: row.fields[4] = std::string(rnd.pick(EdgeDates)); break;
        }
    }
    if (rnd.chance(5)) {
        row.census = rnd.chance(85) ? std::string(Censuses[rnd.below(static_cast<uint32_t>(Censuses.size()))].name)
                                    : std::string(rnd.pick(UnknownCensuses));
        if (rnd.chance(50)) row.fields[0].clear();
    }
    const uint32_t who = rnd.below(100);
    if (who < 40) row.person = "Q" + std::to_string(rnd.next() % people);
    else if (who < 41) row.person = "P" + std::to_string(rnd.next() % people);
}

}  // namespace research

int researchCsv(uint64_t seed, uint64_t count) {
    // About four records for each made-up person.
    const uint64_t people = count / 12 + 1;
    std::string out = "id,person,census,event,years,months,days,birth,note\n";
    research::Row row;
    for (uint64_t i = 0; i < count; ++i) {
        golden::Random rnd((seed ^ 0x7265736561726368ULL) * 0x9E3779B97F4A7C15ULL + i * 0xD6E8FEB86659FD93ULL);
        rnd.next();
        row = research::Row{};
        if (rnd.chance(35)) research::personRecord(rnd, seed, people, row);
        else research::transcriptionRecord(rnd, seed, i, people, row);

        // Blank lines are skipped, and shift the line numbers the people file names.
        if (rnd.below(5000) == 0) out += '\n';
        out += std::to_string(i + 1);
        out += ',';
        csvField(out, row.person);
        out += ',';
        csvField(out, row.census);
        const uint32_t shape = rnd.below(4000);
        const size_t fields = shape == 0 ? 3 : 5;  // a short row now and then
        for (size_t k = 0; k < fields; ++k) {
            out += ',';
            csvField(out, row.fields[k]);
        }
        if (fields == 5) {
            const uint32_t note = rnd.below(1000);
            out += note < 333 ? ",\"St John, Holborn\"" : note < 336 ? ",\"said \"\"about 40\"\"\nsee over\"" : ",";
        }
        out += shape == 1 ? ",a field too many\n" : "\n";
        if (out.size() > (1u << 16)) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "record") == 0) {
        golden::Mix mix = golden::Mix::Everything;
        if (argc == 5 && std::strcmp(argv[4], "transcription") == 0) mix = golden::Mix::Transcription;
        else if (argc != 4) return usage();
        return record(number(argv[2]), number(argv[3]), mix);
    }
    if (argc == 3 && std::strcmp(argv[1], "check") == 0) return check(argv[2]);
    if (argc == 4 && std::strcmp(argv[1], "csv") == 0) return csv(number(argv[2]), number(argv[3]));
    if (argc == 4 && std::strcmp(argv[1], "research-csv") == 0)
        return researchCsv(number(argv[2]), number(argv[3]));
    return usage();
}
