#include "researcher_forms.h"

#include <cstdint>
#include <initializer_list>
#include <optional>

#include "date_bounds.h"
#include "date_text.h"
#include "text_helpers.h"

namespace quillark {

namespace {

// A piece of an entry: a run of digits, a run of letters (a trailing full
// stop dropped: "yrs."), or one other character. Blanks, commas and "&"
// only separate.
struct Token {
    enum Kind { Number, Word, Symbol } kind;
    std::string_view text;
};

std::optional<std::vector<Token>> tokens(std::string_view text) {
    std::vector<Token> out;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ' ' || c == ',' || c == '&' || c == '\t') {
            ++i;
        } else if (isDigit(c)) {
            size_t j = i;
            while (j < text.size() && isDigit(text[j])) ++j;
            out.push_back({Token::Number, text.substr(i, j - i)});
            i = j;
        } else if (isLetter(c)) {
            size_t j = i;
            while (j < text.size() && isLetter(text[j])) ++j;
            out.push_back({Token::Word, text.substr(i, j - i)});
            i = j < text.size() && text[j] == '.' ? j + 1 : j;
        } else {
            out.push_back({Token::Symbol, text.substr(i, 1)});
            ++i;
        }
        if (out.size() > 16) return std::nullopt;  // no age or date is this long
    }
    return out;
}

// Month 1..12 from "Jun", "JUN", "June", "Sept"; 0 for anything else.
int32_t monthNumber(std::string_view word) {
    for (int32_t m = 1; m <= 12; ++m) {
        const std::string_view name = MonthNames[static_cast<size_t>(m)];
        if (equalsIgnoringCase(word, name) || equalsIgnoringCase(word, name.substr(0, 3))) return m;
    }
    return equalsIgnoringCase(word, "sept") ? 9 : 0;
}

// The value of a run of at most four digits.
int32_t digitsValue(std::string_view digits) {
    int32_t value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

enum Unit { Years, Months, Weeks, Days, NoUnit };

Unit unitOf(std::string_view word) {
    static constexpr struct {
        std::string_view name;
        Unit unit;
    } Units[] = {
        {"y", Years},   {"yr", Years},    {"yrs", Years},   {"year", Years},    {"years", Years},
        {"m", Months},  {"mo", Months},   {"mos", Months},  {"mon", Months},    {"mons", Months},
        {"mth", Months}, {"mths", Months}, {"month", Months}, {"months", Months},
        {"w", Weeks},   {"wk", Weeks},    {"wks", Weeks},   {"week", Weeks},    {"weeks", Weeks},
        {"d", Days},    {"dy", Days},     {"dys", Days},    {"day", Days},      {"days", Days},
    };
    for (const auto& u : Units)
        if (equalsIgnoringCase(word, u.name)) return u.unit;
    return NoUnit;
}

// An age read from the years field.
struct ReadAge {
    std::optional<int64_t> parts[4];  // years, months, weeks, days
    char bound = 0;                   // '<', '>' or 0
};

std::optional<int64_t> number(std::string_view digits) {
    if (digits.size() > 9) return std::nullopt;  // leave absurd ages to the calculator's own reading
    int64_t value = 0;
    for (char c : digits) value = value * 10 + (c - '0');
    return value;
}

// The age forms of the years field; empty when the text is none of them.
std::optional<ReadAge> readAge(std::string_view text) {
    const auto list = tokens(text);
    if (!list || list->empty()) return std::nullopt;
    const std::vector<Token>& t = *list;
    ReadAge age;
    size_t i = 0;
    if (t[0].kind == Token::Symbol && (t[0].text == "<" || t[0].text == ">")) age.bound = t[i++].text[0];
    bool aged = false;
    if (i < t.size() && t[i].kind == Token::Word &&
        (equalsIgnoringCase(t[i].text, "aged") || equalsIgnoringCase(t[i].text, "age"))) {
        aged = true;
        ++i;
    }
    bool marked = aged || age.bound != 0;  // something beyond a bare number
    for (; i < t.size(); ++i) {
        const Token& tok = t[i];
        if (tok.kind == Token::Word && equalsIgnoringCase(tok.text, "and")) continue;
        if (tok.kind != Token::Number) return std::nullopt;
        const auto value = number(tok.text);
        if (!value) return std::nullopt;
        // A census fraction of a year: twelfths are months.
        if (i + 2 < t.size() && t[i + 1].text == "/" && t[i + 2].kind == Token::Number) {
            const auto twelfths = number(t[i + 2].text);
            if (!twelfths || *twelfths != 12 || *value >= 12 || age.parts[Months]) return std::nullopt;
            age.parts[Months] = value;
            marked = true;
            i += 2;
            continue;
        }
        Unit unit = NoUnit;
        if (i + 1 < t.size() && t[i + 1].kind == Token::Word) unit = unitOf(t[i + 1].text);
        if (unit == NoUnit) {
            // A bare number: the years, when nothing came before it ("aged
            // 72", "1 3/12", "<5").
            if (age.parts[Years] || age.parts[Months] || age.parts[Weeks] || age.parts[Days]) return std::nullopt;
            age.parts[Years] = value;
            continue;
        }
        if (age.parts[unit]) return std::nullopt;
        age.parts[unit] = value;
        marked = true;
        ++i;
    }
    if (!marked || !(age.parts[Years] || age.parts[Months] || age.parts[Weeks] || age.parts[Days]))
        return std::nullopt;
    return age;
}

// Puts a value into an age field unless the field holds an entry of its
// own, which is then used instead.
void fill(std::string& field, const std::string& value, std::string_view name, std::string_view typed,
          std::vector<std::string>& warnings) {
    if (trimBlanks(field).empty()) {
        field = value;
        return;
    }
    warnings.push_back(cat({"The ", name, " field is used; the ", name, " in '", typed, "' are left out"}));
}

// The characters of the window's own date and age forms: digits, blanks,
// and "/" in a date, "-" and "+" in the years. A field of nothing else is
// no researcher's form, which a batch finds on nearly every row.
struct CharSet {
    bool in[256] = {};
    constexpr CharSet(std::string_view chars) {
        for (char c = '0'; c <= '9'; ++c) in[static_cast<unsigned char>(c)] = true;
        for (char c : chars) in[static_cast<unsigned char>(c)] = true;
    }
};
constexpr CharSet DateChars(" /"), YearsChars(" -+");

bool onlyOf(std::string_view text, const CharSet& chars) {
    for (char c : text)
        if (!chars.in[static_cast<unsigned char>(c)]) return false;
    return true;
}

bool translateAge(std::array<std::string, 5>& fields, std::vector<std::string>& warnings) {
    std::string& yearsField = fields[1];
    if (onlyOf(yearsField, YearsChars)) return false;
    const std::string typed(trimBlanks(yearsField));

    if (equalsIgnoringCase(typed, "INFANT")) {
        yearsField.assign(1, '0');  // under one year: no birthday reached yet
        return true;
    }
    if (equalsIgnoringCase(typed, "CHILD")) {
        yearsField = "-7";  // under eight years
        return true;
    }
    if (equalsIgnoringCase(typed, "STILLBORN")) {
        yearsField.assign(1, '0');
        fill(fields[2], "0", "months", typed, warnings);
        fill(fields[3], "0", "days", typed, warnings);
        return true;
    }

    const std::optional<ReadAge> age = readAge(typed);
    if (!age) return false;
    const int64_t years = age->parts[Years].value_or(0), months = age->parts[Months].value_or(0);
    const int64_t days = age->parts[Weeks].value_or(0) * 7 + age->parts[Days].value_or(0);
    if (age->parts[Weeks]) {
        warnings.push_back(cat({"'", typed, "' is read as ", std::to_string(days), " days"}));
    }

    if (age->bound != 0) {
        // The calculator's bounds are whole years: "-4" is 4 or under, "60+"
        // is 60 or over.
        const int64_t totalMonths = years * 12 + months;
        const bool partial = months % 12 != 0 || days != 0;
        if (age->bound == '<') {
            const int64_t most = days > 0 ? totalMonths / 12 : (totalMonths + 11) / 12 - 1;
            if (most < 0) {
                warnings.push_back("'" + typed + "' allows no age; it is left as typed");
                return false;
            }
            yearsField = cat({"-", std::to_string(most)});
            if (partial) warnings.push_back(cat({"'", typed, "' is read as ", std::to_string(most), " years or under"}));
        } else {
            const int64_t least = totalMonths / 12;
            if (least == 0) {
                // "0+" would read as an age of 0, and the field holds
                // nothing that says "any age".
                warnings.push_back("'" + typed + "' names no whole year; it is left as typed");
                return false;
            }
            yearsField = std::to_string(least) + "+";
            if (partial) warnings.push_back(cat({"'", typed, "' is read as ", std::to_string(least), " years or over"}));
        }
        return true;
    }

    yearsField = std::to_string(years);
    if (age->parts[Months]) fill(fields[2], std::to_string(months), "months", typed, warnings);
    if (age->parts[Weeks] || age->parts[Days]) fill(fields[3], std::to_string(days), "days", typed, warnings);
    return true;
}

}  // namespace

namespace {

// The calendars GEDCOM names: by a 5.5.1 escape or a GEDCOM 7 word.
struct CalendarName {
    std::string_view escape, word, name;
    std::optional<Calendar> calendar;  // empty: one Quillark does not reckon in
};
constexpr CalendarName CalendarNames[] = {
    {"@#DGREGORIAN@", "GREGORIAN", "Gregorian", Calendar::Gregorian},
    {"@#DJULIAN@", "JULIAN", "Julian", Calendar::Julian},
    {"@#DHEBREW@", "HEBREW", "Hebrew", std::nullopt},
    {"@#DFRENCH R@", "FRENCH_R", "French Republican", std::nullopt},
    {"@#DROMAN@", "", "Roman", std::nullopt},
    {"@#DUNKNOWN@", "", "unknown", std::nullopt},
};

bool startsWithWord(std::string_view text, std::string_view word) {
    return !word.empty() && text.size() > word.size() && equalsIgnoringCase(text.substr(0, word.size()), word) &&
           text[word.size()] == ' ';
}

// The two digits of a year's last two, for messages ("1720/21").
std::string twoDigits(int32_t value) {
    return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}


}  // namespace

bool mayBeDualYear(std::string_view text) {
    // Four digits and a slash after any blanks: none of the window's own
    // forms ("06/1841", "02/14/1721") begins so. A batch asks this of nearly
    // every row, so it looks no further.
    size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    return text.size() >= i + 6 && text[i + 4] == '/' && isDigit(text[i]) && isDigit(text[i + 1]) &&
           isDigit(text[i + 2]) && isDigit(text[i + 3]);
}

bool translateDate(std::string& text, DateReading& reading, std::vector<std::string>& warnings) {
    std::optional<DateParts>& date = reading.date;
    date.reset();
    reading.calendarNamed = false;
    reading.problem.clear();
    if (onlyOf(text, DateChars) && !mayBeDualYear(text)) return false;
    const std::string_view typed = trimBlanks(text);
    std::string_view rest = typed;
    bool changed = false;
    // A GEDCOM qualifier: the date it qualifies is what can be calculated.
    for (std::string_view word : {"ABT", "EST", "CAL"}) {
        if (rest.size() > 4 && equalsIgnoringCase(rest.substr(0, 3), word) && rest[3] == ' ') {
            warnings.push_back(
                cat({"'", rest, "' is read as the date ", trimBlanks(rest.substr(4)), ", without its '", word, "'"}));
            rest = trimBlanks(rest.substr(4));
            changed = true;
            break;
        }
    }
    // A calendar named before the date.
    std::optional<Calendar> calendar;
    for (const CalendarName& c : CalendarNames) {
        const std::string_view name = startsWithWord(rest, c.escape) ? c.escape
                                      : startsWithWord(rest, c.word) ? c.word
                                                                     : std::string_view();
        if (name.empty()) continue;
        if (!c.calendar) {
            reading.problem = cat({"'", typed, "' is a date of the ", c.name,
                                   " calendar; Quillark reckons in the Gregorian and Julian calendars only"});
            return false;
        }
        calendar = c.calendar;
        rest = trimBlanks(rest.substr(name.size()));
        break;
    }
    if (!calendar && rest.size() > 3 && rest.substr(0, 3) == "@#D") {
        reading.problem = cat({"'", typed, "' names a calendar Quillark does not know"});
        return false;
    }
    std::optional<int32_t> dual;
    const auto list = tokens(rest);
    if (list) {
        std::vector<Token> t = *list;
        const auto year = [](const Token& tok) { return tok.kind == Token::Number && tok.text.size() == 4; };
        const auto small = [](const Token& tok) { return tok.kind == Token::Number && tok.text.size() <= 2; };
        // A dual year, 1720/21: the year after the slash is the one counted
        // from 1 January, the first the one counted from 25 March. It is
        // taken off and what is left must be a date.
        const size_t n = t.size();
        bool follows = false;
        if (n >= 3 && year(t[n - 3]) && t[n - 2].text == "/" && t[n - 1].kind == Token::Number &&
            t[n - 1].text.size() <= 4 && (n == 3 || t[n - 4].text != "/") && rest.find('-') == std::string_view::npos) {
            const int32_t next = digitsValue(t[n - 3].text) + 1;
            const std::string_view after = t[n - 1].text;
            const int32_t value = digitsValue(after);
            follows = (after.size() == 1 && value == next % 10) || (after.size() == 2 && value == next % 100) ||
                      (after.size() == 4 && value == next);
            dual = next;
            t.resize(n - 2);
        }
        // ISO 8601: 1841-06-06 and 1841-06 (no blanks inside).
        const bool iso = rest.find(' ') == std::string_view::npos && !dual;
        if (iso && t.size() == 5 && year(t[0]) && t[1].text == "-" && small(t[2]) && t[3].text == "-" && small(t[4])) {
            date = DateParts{DateForm::FullDate, digitsValue(t[2].text), digitsValue(t[4].text), digitsValue(t[0].text)};
        } else if (iso && t.size() == 3 && year(t[0]) && t[1].text == "-" && small(t[2])) {
            date = DateParts{DateForm::MonthYear, digitsValue(t[2].text), 0, digitsValue(t[0].text)};
        } else if (t.size() == 3 && small(t[0]) && t[1].kind == Token::Word && monthNumber(t[1].text) != 0 &&
                   year(t[2])) {
            // 6 Jun 1841, 6 JUN 1841, 6 June 1841.
            date = DateParts{DateForm::FullDate, monthNumber(t[1].text), digitsValue(t[0].text),
                             digitsValue(t[2].text)};
        } else if (t.size() == 2 && t[0].kind == Token::Word && monthNumber(t[0].text) != 0 && year(t[1])) {
            date = DateParts{DateForm::MonthYear, monthNumber(t[0].text), 0, digitsValue(t[1].text)};
        } else if (t.size() == 1 && year(t[0]) && (calendar || dual)) {
            // A year alone is the window's own form, unless its calendar
            // is named or it is a dual year.
            date = DateParts{DateForm::YearOnly, 0, 0, digitsValue(t[0].text)};
        }
        if (dual && date && !follows) {
            reading.problem = cat({"'", typed, "' is no dual year: the year after the slash must be the one after ",
                                   std::to_string(*dual - 1), " (", std::to_string(*dual - 1), "/", twoDigits(*dual),
                                   ")"});
            date.reset();
            return false;
        }
        if (!date) dual.reset();  // no date with a dual year: left as it was
        if (dual && date) {
            date->year = *dual;
            const bool early = date->form == DateForm::YearOnly || date->month <= 2 ||
                               (date->month == 3 && (date->form == DateForm::MonthYear || date->day <= 24));
            if (!early) {
                reading.problem = cat({"'", typed, "' is no dual date: a dual year is written only from 1 January to 24 March"});
                date.reset();
                return false;
            }
            if (*dual > 1752) {
                reading.problem = cat({"'", typed, "' is no dual date: the year began on 1 January from 1752, "
                                                   "and dual years end with 1751/52"});
                date.reset();
                return false;
            }
            date->calendar = Calendar::Julian;
            warnings.push_back(cat({"'", typed, "' is read as ", dayText(*date), " of the Julian calendar"}));
        }
    }
    if (date) {
        if (calendar && !dual) date->calendar = *calendar;
        reading.calendarNamed = calendar || dual;
        // The first days of the Julian year 1 lie in the Gregorian year 0.
        if (date->calendar == Calendar::Julian && inYears(date->year) && yearOf(firstDay(*date)) < FirstYear) {
            reading.problem = cat({"'", typed, "' falls before the year 1 of the Gregorian calendar, "
                                               "where Quillark's dates begin"});
            date.reset();
            return false;
        }
        text = canonicalText(*date);
        return true;
    }
    if (calendar || !changed) {
        // A calendar named before something that is no date: the date as
        // the window reads it would lose the calendar.
        if (calendar) reading.problem = cat({"'", typed, "' is no date Quillark reads"});
        return false;
    }
    text = std::string(rest);
    return true;
}

std::string dayText(const DateParts& date) {
    std::string text;
    if (date.form == DateForm::FullDate) text = std::to_string(date.day) + " ";
    if (date.form != DateForm::YearOnly) text.append(MonthNames[static_cast<size_t>(date.month)].substr(0, 3)).push_back(' ');
    return text + std::to_string(date.year);
}

std::string canonicalText(const DateParts& date) {
    // At most "mm/dd/" and a year of 32 bits.
    char out[24];
    char* end = out;
    if (date.form != DateForm::YearOnly) {
        end = writeTwoDigits(end, static_cast<unsigned>(date.month % 100));
        *end++ = '/';
    }
    if (date.form == DateForm::FullDate) {
        end = writeTwoDigits(end, static_cast<unsigned>(date.day % 100));
        *end++ = '/';
    }
    end = writeYear(end, static_cast<unsigned>(date.year % 10000));
    return std::string(out, static_cast<size_t>(end - out));
}

bool mayHoldResearcherForms(const std::array<std::string_view, 5>& fields) {
    return !onlyOf(fields[0], DateChars) || !onlyOf(fields[4], DateChars) || !onlyOf(fields[1], YearsChars) ||
           mayBeDualYear(fields[0]) || mayBeDualYear(fields[4]);
}

void translateResearcherForms(std::array<std::string, 5>& fields, ResearcherDates& dates,
                              std::vector<std::string>& warnings) {
    translateDate(fields[0], dates.event, warnings);
    if (dates.event.problem.empty()) translateDate(fields[4], dates.birth, warnings);
    translateAge(fields, warnings);
}

}  // namespace quillark
