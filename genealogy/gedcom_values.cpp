#include "gedcom_values.h"

#include <array>
#include <initializer_list>

#include "date_bounds.h"
#include "date_text.h"
#include "text_helpers.h"
#include "researcher_forms.h"

namespace quillark {

namespace {

// The text after a leading keyword (any case, an optional full stop) and
// a blank; empty when it does not start with one of the words.
std::optional<std::string_view> afterWord(std::string_view text, std::initializer_list<std::string_view> words) {
    for (std::string_view word : words) {
        if (text.size() <= word.size() || !equalsIgnoringCase(text.substr(0, word.size()), word)) continue;
        size_t i = word.size();
        if (text[i] == '.') ++i;
        if (i < text.size() && (text[i] == ' ' || text[i] == '\t')) return trimmed(text.substr(i + 1));
    }
    return std::nullopt;
}

// Where a keyword stands alone inside a text (blanks on both sides); npos
// when it does not.
size_t findWord(std::string_view text, std::string_view word) {
    for (size_t i = 1; i + word.size() + 1 < text.size(); ++i) {
        if ((text[i - 1] == ' ' || text[i - 1] == '\t') && equalsIgnoringCase(text.substr(i, word.size()), word) &&
            (text[i + word.size()] == ' ' || text[i + word.size()] == '\t'))
            return i;
    }
    return std::string_view::npos;
}

int32_t monthOfAbbreviation(std::string_view word) {
    if (word.size() != 3) return 0;
    const char a = lowerCase(word[0]), b = lowerCase(word[1]), c = lowerCase(word[2]);
    for (int32_t m = 1; m <= 12; ++m) {
        const std::string_view name = MonthNames[static_cast<size_t>(m)];
        if (lowerCase(name[0]) == a && name[1] == b && name[2] == c) return m;
    }
    return 0;
}

// "6 JUN 1841", "JUN 1841" and "1841" as most trees write them, without
// building anything; empty for every other form.
std::optional<DateParts> plainDate(std::string_view t) {
    const auto digits = [&](size_t from, size_t to) {
        int32_t v = 0;
        for (size_t i = from; i < to; ++i) {
            if (!isDigit(t[i])) return -1;
            v = v * 10 + (t[i] - '0');
        }
        return v;
    };
    if (t.size() < 4) return std::nullopt;
    const int32_t year = digits(t.size() - 4, t.size());
    if (year < 0) return std::nullopt;
    if (t.size() == 4) return DateParts{DateForm::YearOnly, 0, 0, year};
    if (t.size() < 9 || t[t.size() - 5] != ' ') return std::nullopt;
    const int32_t month = monthOfAbbreviation(t.substr(t.size() - 8, 3));
    if (month == 0) return std::nullopt;
    if (t.size() == 8) return DateParts{DateForm::MonthYear, month, 0, year};
    if (t[t.size() - 9] != ' ' || t.size() > 11) return std::nullopt;
    const int32_t day = digits(0, t.size() - 9);
    if (day <= 0) return std::nullopt;
    return DateParts{DateForm::FullDate, month, day, year};
}

// One date of a value, its calendar possibly named, a dual year allowed.
bool singleDate(std::string_view text, DateParts& date, std::string& problem, std::vector<std::string>& warnings) {
    text = trimmed(text);
    if (const std::optional<DateParts> plain = plainDate(text)) {
        date = *plain;
    } else {
        std::string rewritten(text);
        DateReading reading;
        translateDate(rewritten, reading, warnings);
        if (!reading.problem.empty()) {
            problem = reading.problem;
            return false;
        }
        // The window's own forms ("06/1841"), which some programs write.
        const bool own = rewritten.find_first_not_of("0123456789/") == std::string::npos;
        const std::optional<DateParts> read = reading.date ? reading.date
                                              : own        ? readDateText(rewritten)
                                                           : std::nullopt;
        if (read) {
            date = *read;
        } else {
            problem = cat({"'", text, "' is no date Quillark reads"});
            return false;
        }
    }
    if (!validDate(date)) {
        problem = cat({"'", text, "' is no date of the years 1 to 9999"});
        return false;
    }
    return true;
}

}  // namespace

bool readGedcomDate(std::string_view text, GedcomDate& date, std::string& problem, std::vector<std::string>& warnings) {
    date = GedcomDate{};
    const std::string_view typed = trimmed(text);
    std::string_view rest = typed;
    if (rest.empty()) {
        problem = "the date is empty";
        return false;
    }
    if (const auto after = afterWord(rest, {"INT"})) {
        // An interpreted date: the date before its phrase.
        const size_t open = after->find('(');
        rest = trimmed(after->substr(0, open));
    }
    if (rest.empty() || rest.front() == '(') {
        problem = cat({"'", typed, "' is a phrase, no date"});
        return false;
    }
    for (std::string_view era : {"BCE", "B.C.", "BC"}) {
        if (rest.size() > era.size() && equalsIgnoringCase(rest.substr(rest.size() - era.size()), era) &&
            rest[rest.size() - era.size() - 1] == ' ') {
            problem = cat({"'", typed, "' lies before the common era, where Quillark's dates begin"});
            return false;
        }
    }
    const auto one = [&](std::string_view part, std::optional<DateParts>& out) {
        DateParts parts;
        if (!singleDate(part, parts, problem, warnings)) return false;
        out = parts;
        return true;
    };
    if (const auto after = afterWord(rest, {"ABT", "ABOUT", "CAL", "EST"})) {
        date.approximate = true;
        warnings.push_back(cat({"'", typed, "' is read as the date ", *after, ", without its qualifier"}));
        if (!one(*after, date.from)) return false;
        date.to = date.from;
        return true;
    }
    if (const auto after = afterWord(rest, {"BET", "BETWEEN"})) {
        const size_t and_ = findWord(cat({" ", *after, " "}), "AND");
        if (and_ == std::string_view::npos) {
            problem = cat({"'", typed, "' has BET without AND"});
            return false;
        }
        date.range = true;
        return one(after->substr(0, and_ - 1), date.from) &&
               one(after->substr(std::min(after->size(), and_ + 3)), date.to);
    }
    if (const auto after = afterWord(rest, {"FROM"})) {
        date.range = true;
        const size_t to = findWord(cat({" ", *after, " "}), "TO");
        if (to == std::string_view::npos) return one(*after, date.from);
        return one(after->substr(0, to - 1), date.from) && one(after->substr(std::min(after->size(), to + 2)), date.to);
    }
    if (const auto after = afterWord(rest, {"TO", "BEF", "BEFORE"})) {
        date.range = true;
        return one(*after, date.to);
    }
    if (const auto after = afterWord(rest, {"AFT", "AFTER"})) {
        date.range = true;
        return one(*after, date.from);
    }
    if (!one(rest, date.from)) return false;
    date.to = date.from;
    return true;
}

namespace {

// The window's own age forms: "30", "20-30", "-5", "60+".
bool ownAgeForm(std::string_view years) {
    years = trimmed(years);
    size_t i = 0;
    const auto number = [&] {
        const size_t start = i;
        while (i < years.size() && isDigit(years[i])) ++i;
        return i > start && i - start <= 4;
    };
    if (i < years.size() && years[i] == '-') ++i;
    if (!number()) return false;
    if (i == years.size()) return true;
    if (years[i] == '+') return i + 1 == years.size() && years[0] != '-';
    while (i < years.size() && years[i] == ' ') ++i;
    if (i == years.size() || years[i] != '-' || years[0] == '-') return false;
    ++i;
    while (i < years.size() && years[i] == ' ') ++i;
    return number() && i == years.size();
}

bool digitsOrEmpty(std::string_view text) {
    text = trimmed(text);
    if (text.size() > 4) return false;
    for (char c : text)
        if (!isDigit(c)) return false;
    return true;
}

}  // namespace

bool readGedcomAge(std::string_view text, GedcomAge& age, std::string& problem, std::vector<std::string>& warnings) {
    age = GedcomAge{};
    const std::string_view typed = trimmed(text);
    // Most ages are a number of years, bare or with its "y".
    std::string_view years = typed;
    if (!years.empty() && (years.back() == 'y' || years.back() == 'Y')) years.remove_suffix(1);
    if (!years.empty() && years.size() <= 3 && digitsOrEmpty(years)) {
        int32_t value = 0;
        for (char c : years) value = value * 10 + (c - '0');
        age.age.years = value;
        return true;
    }
    if (!typed.empty() && typed.front() == '>') {
        // "> 11m", "> 3w 6d": over a part of a year. Weeks and days are
        // left out, so the age read is never more than the one written.
        int64_t parts[4] = {0, 0, 0, 0};  // years, months, weeks, days
        bool read = true;
        size_t i = 1;
        while (read && i < typed.size()) {
            while (i < typed.size() && typed[i] == ' ') ++i;
            if (i == typed.size()) break;
            int64_t n = 0;
            const size_t start = i;
            while (i < typed.size() && isDigit(typed[i]) && i - start < 6) n = n * 10 + (typed[i++] - '0');
            const std::string_view units = "ymwd";
            const size_t unit = i < typed.size() ? units.find(lowerCase(typed[i])) : std::string_view::npos;
            read = i > start && unit != std::string_view::npos;
            if (read) parts[unit] += n;
            ++i;
        }
        const int64_t months = parts[0] * 12 + parts[1];
        if (read && (months % 12 != 0 || months == 0 || parts[2] + parts[3] > 0)) {
            WindowAge over;
            over.lowMonths = months;
            age.over = over;
            const int64_t years = months / 12;
            std::string words =
                months == 0        ? std::string("any age")
                : months % 12 == 0 ? std::to_string(years) + " years or over"
                : years == 0       ? std::to_string(months) + " months or over"
                             : std::to_string(years) + " years " + std::to_string(months % 12) + " months or over";
            warnings.push_back(cat({"'", typed, "' is read as ", words}));
            return true;
        }
    }
    std::array<std::string, 5> fields{std::string(), std::string(typed), std::string(), std::string(), std::string()};
    ResearcherDates dates;
    std::vector<std::string> read;
    translateResearcherForms(fields, dates, read);
    if (typed.empty() || !ownAgeForm(fields[1]) || !digitsOrEmpty(fields[2]) || !digitsOrEmpty(fields[3])) {
        problem = typed.empty() ? std::string("the age is empty") : cat({"'", typed, "' is no age Quillark reads"});
        return false;
    }
    for (std::string& warning : read) warnings.push_back(std::move(warning));
    age.age = parseAge(fields[1], fields[2], fields[3]);
    age.monthsOrDays = !trimmed(fields[2]).empty() || !trimmed(fields[3]).empty();
    return true;
}

std::string_view ageInText(std::string_view text) {
    for (size_t i = 0; i + 4 < text.size(); ++i) {
        if (i > 0 && isLetter(text[i - 1])) continue;
        size_t j;
        if (equalsIgnoringCase(text.substr(i, 4), "aged") && text[i + 4] == ' ') {
            j = i + 5;
        } else if (equalsIgnoringCase(text.substr(i, 3), "age") && text[i + 3] == ' ') {
            j = i + 4;
        } else {
            continue;
        }
        while (j < text.size() && text[j] == ' ') ++j;
        const size_t start = j;
        while (j < text.size() && isDigit(text[j])) ++j;
        if (j == start || j - start > 3) continue;
        size_t end = j;
        // A unit after the number belongs to the age: "3 months".
        size_t k = j;
        while (k < text.size() && text[k] == ' ') ++k;
        size_t w = k;
        while (w < text.size() && isLetter(text[w])) ++w;
        if (w > k) {
            static constexpr std::string_view Units[] = {"y",   "yr",   "yrs",   "year",   "years", "m",
                                                         "mo",  "mos",  "month", "months", "w",     "wk",
                                                         "wks", "week", "weeks", "d",      "day",   "days"};
            for (std::string_view unit : Units)
                if (equalsIgnoringCase(text.substr(k, w - k), unit)) end = w;
        }
        return text.substr(start, end - start);
    }
    return {};
}

std::string dateWords(const DateParts& date) {
    std::string text;
    if (date.form == DateForm::FullDate) text = std::to_string(date.day) + " ";
    if (date.form != DateForm::YearOnly)
        text.append(MonthNames[static_cast<size_t>(date.month)].substr(0, 3)).push_back(' ');
    text += std::to_string(date.year);
    if (date.calendar == Calendar::Julian) text += " (Julian)";
    return text;
}

}  // namespace quillark
