#include "date_text.h"

#include "numbers.h"
#include "engine_internal.h"
#include "shown_texts.h"

#include <array>
#include <iterator>
#include <vector>

namespace {

// "Jan, Feb, Mar, Apr, May, Jun, Jul, Aug, Sep, Oct, Nov, Dec": the first
// three letters of each name, a comma and a blank between two.
constexpr size_t MonthListSize = 12 * 5 - 2;
constexpr std::array<char, MonthListSize> MonthList = [] {
    std::array<char, MonthListSize> list{};
    for (size_t m = 0; m < 12; ++m) {
        for (size_t i = 0; i < 3; ++i) list[5 * m + i] = MonthNames[m + 1][i];
        if (m < 11) {
            list[5 * m + 3] = ',';
            list[5 * m + 4] = ' ';
        }
    }
    return list;
}();

// The list in lower case, for finding a word in it regardless of case.
constexpr std::array<char, MonthListSize> LowerMonthList = [] {
    std::array<char, MonthListSize> lower{};
    for (size_t i = 0; i < MonthListSize; ++i) lower[i] = lowerCase(MonthList[i]);
    return lower;
}();

}  // namespace

const std::string_view MonthAbbreviations(MonthList.data(), MonthList.size());
const std::string_view WeekdayNames = "Su,Mo,Tu,We,Th,Fr,Sa";

namespace engine {

// Start of the first occurrence of pattern in text at or after pos. Long
// patterns (a whole pasted field can be one) go through Knuth-Morris-Pratt
// so that a repetitive text never costs length times length.
static size_t findFrom(std::string_view text, std::string_view pattern, size_t pos,
                       const std::vector<size_t>& border) {
    if (border.empty()) return text.find(pattern, pos);
    size_t matched = 0;
    for (size_t i = pos; i < text.size(); ++i) {
        while (matched > 0 && text[i] != pattern[matched]) matched = border[matched - 1];
        if (text[i] == pattern[matched] && ++matched == pattern.size()) return i + 1 - pattern.size();
    }
    return std::string_view::npos;
}

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    if (from.empty() || from.size() > text.size()) return;
    std::vector<size_t> border;
    if (from.size() > 16) {
        border.assign(from.size(), 0);
        for (size_t i = 1, k = 0; i < from.size(); ++i) {
            while (k > 0 && from[i] != from[k]) k = border[k - 1];
            if (from[i] == from[k]) ++k;
            border[i] = k;
        }
    }
    size_t hit = findFrom(text, from, 0, border);
    if (hit == std::string_view::npos) return;
    std::string out;
    out.reserve(text.size());
    size_t pos = 0;
    for (; hit != std::string_view::npos; hit = findFrom(text, from, pos, border)) {
        out.append(text, pos, hit - pos);
        out.append(to);
        pos = hit + from.size();
    }
    out.append(text, pos, std::string::npos);
    text.swap(out);
}

std::string padTwo(std::string_view part) {
    // An empty part ("/1941", "12//1941") gets two zeros, so that every
    // canonical month and day part is two characters and the positional
    // reading never takes a "/" for a digit.
    std::string padded = part.empty() ? "00" : "0";
    padded.append(part);
    return padded.size() <= 2 ? padded : padded.substr(padded.size() - 2);
}

std::string_view slashPart(std::string_view text, size_t index) {
    size_t start = 0;
    for (size_t i = 0; i < index; ++i) {
        size_t slash = text.find('/', start);
        if (slash == std::string_view::npos) return {};
        start = slash + 1;
    }
    size_t end = text.find('/', start);
    return text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

std::string_view lastFour(std::string_view text) {
    return text.size() <= 4 ? text : text.substr(text.size() - 4);
}

// Collapses every run of blanks to a single blank.
static void shrinkBlanks(std::string& text) {
    if (text.find("  ") == std::string::npos) return;
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ' || out.empty() || out.back() != ' ') out.push_back(c);
    text.swap(out);
}

// A text already in canonical form with digit parts ("12/07/1941",
// "05/1941", "1941") normalises to itself; most field texts are such.
static bool alreadyCanonical(std::string_view t) {
    auto digits = [&](size_t from, size_t count) { return allDigits(t.substr(from, count)); };
    switch (t.size()) {
        case 4: return digits(0, 4);
        case 7: return t[2] == '/' && digits(0, 2) && digits(3, 4);
        case 10: return t[2] == '/' && t[5] == '/' && digits(0, 2) && digits(3, 2) && digits(6, 4);
        default: return false;
    }
}

std::optional<DateParts> canonicalDate(std::string_view t) {
    const size_t size = t.size();
    if (size != 4 && size != 7 && size != 10) return std::nullopt;
    // Each digit's value; any byte that is no digit marks the text as none.
    bool other = false;
    const auto digit = [&](size_t i) {
        const unsigned value = static_cast<unsigned>(static_cast<unsigned char>(t[i])) - '0';
        other |= value > 9;
        return value;
    };
    const size_t yearAt = size - 4;
    DateParts parts{DateForm::YearOnly, 0, 0,
                    static_cast<int32_t>(digit(yearAt) * 1000 + digit(yearAt + 1) * 100 + digit(yearAt + 2) * 10 +
                                         digit(yearAt + 3))};
    if (size >= 7) {
        if (t[2] != '/' || t[yearAt - 1] != '/') return std::nullopt;
        parts.form = DateForm::MonthYear;
        parts.month = static_cast<int32_t>(digit(0) * 10 + digit(1));
        if (size == 10) {
            parts.form = DateForm::FullDate;
            parts.day = static_cast<int32_t>(digit(3) * 10 + digit(4));
        }
    }
    if (other) return std::nullopt;
    return parts;
}

std::string_view normaliseView(std::string_view input, EntryCode& code, std::string& scratch) {
    if (input.empty() || alreadyCanonical(input)) return input;
    scratch = normalise(input, code);
    return scratch;
}

std::string normalise(std::string_view input, EntryCode& code) {
    if (alreadyCanonical(input)) return std::string(input);
    std::string text;
    std::string_view tag;
    size_t bracket = input.find('[');
    if (bracket != std::string_view::npos) {
        tag = input.substr(bracket);
        text.assign(trimBlanks(input.substr(0, bracket)));
    } else {
        text.assign(input);
    }
    if (text.empty()) return {};

    shrinkBlanks(text);

    // A month word in front ("Dec 7, 1941", "dec 1941") becomes its number and
    // the blanks and commas after it become "/".
    std::string_view view = text;
    size_t wordEnd = 0;
    while (wordEnd < view.size() && view[wordEnd] != ' ' && view[wordEnd] != ',') ++wordEnd;
    std::string_view firstWord = view.substr(0, wordEnd);
    int32_t position = monthWordPosition(firstWord);
    if (position != 0) {
        std::string word(firstWord);  // at most three letters when found
        replaceAll(text, word, std::to_string((position - 1) / 5 + 1));
        // Every ", " becomes one "/", and so does every other comma or blank
        // (", " taken first, left to right).
        size_t kept = 0;
        for (size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == ',' && i + 1 < text.size() && text[i + 1] == ' ') ++i;
            text[kept++] = c == ',' || c == ' ' ? '/' : c;
        }
        text.resize(kept);
    }
    for (char& c : text)
        if (c == '-') c = '/';

    // Year texts written by the calculation ("1850 or 1849", "1869 to 1880")
    // pass untouched.
    if (text.find("to") == std::string::npos && text.find("or") == std::string::npos) {
        std::string_view year;
        size_t slashes = countChar(text, '/');
        if (slashes == 0) {
            year = text;
        } else {
            std::string_view whole = text;
            std::string built = padTwo(slashPart(whole, 0));
            if (slashes >= 2) {
                built += '/';
                built += padTwo(slashPart(whole, 1));
            }
            std::string_view yearPart = slashPart(whole, slashes >= 2 ? 2 : 1);
            built += '/';
            built.append(yearPart);
            text.swap(built);
            year = std::string_view(text).substr(text.size() - yearPart.size());
        }
        // A year is exactly four digits: "41", "01941" and "19a1" all fail.
        if (year.size() != 4 || !allDigits(year)) {
            code = EntryCode::FourDigitYear;
            return text;
        }
    }
    if (!tag.empty()) {
        text += "  ";
        text.append(tag);
    }
    return text;
}

}  // namespace engine

using namespace engine;

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (lowerCase(a[i]) != lowerCase(b[i])) return false;
    return true;
}

std::string_view trimBlanksAround(std::string_view text) {
    size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

std::string_view beforeTag(std::string_view text) {
    return text.substr(0, text.find('['));
}

int32_t daysInMonth(int32_t month, int32_t year) {
    if (month < 1 || month > 12) return 31;
    return monthLength(month, year);
}

int32_t monthWordPosition(std::string_view word) {
    if (word.empty()) return 1;
    if (word.size() > MonthAbbreviations.size()) return 0;
    // The list holds letters, commas and blanks only; a digit (the usual
    // first character of a date) rules a word out at once.
    for (char c : word)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == ',' || c == ' ')) return 0;
    char lowered[MonthListSize];
    for (size_t i = 0; i < word.size(); ++i) lowered[i] = lowerCase(word[i]);
    const size_t found = std::string_view(LowerMonthList.data(), LowerMonthList.size())
                             .find(std::string_view(lowered, word.size()));
    return found == std::string_view::npos ? 0 : static_cast<int32_t>(found + 1);
}

std::string normaliseDateText(std::string_view text, EntryCode& code) { return normalise(text, code); }

std::string_view entryCodeName(EntryCode code) {
    const auto index = static_cast<size_t>(code);
    return index < std::size(PartNames) ? PartNames[index] : "";
}

DateParts readDateParts(std::string_view text) {
    DateParts parts;
    size_t slashes = countChar(text, '/');
    parts.form = slashes == 0 ? DateForm::YearOnly
                 : slashes == 1 ? DateForm::MonthYear
                                : DateForm::FullDate;
    if (parts.form != DateForm::YearOnly) parts.month = leadingNumber(text.substr(0, 2));
    if (parts.form == DateForm::FullDate && text.size() > 3) parts.day = leadingNumber(text.substr(3, 2));
    parts.year = leadingNumber(lastFour(text));
    return parts;
}

EntryCode checkFullDate(const DateParts& parts) {
    if (parts.month < 1 || parts.month > 12) return EntryCode::Months;
    if (parts.day < 1 || parts.day > monthLength(parts.month, parts.year, parts.calendar)) return EntryCode::Days;
    if (parts.year < FirstEntryYear || parts.year > LastEntryYear) return EntryCode::Years;
    return EntryCode::None;
}

EntryCode checkDate(const DateParts& parts) {
    switch (parts.form) {
    case DateForm::FullDate: return checkFullDate(parts);
    case DateForm::MonthYear:
        if (parts.month < 1 || parts.month > 12) return EntryCode::Months;
        break;
    case DateForm::YearOnly: break;
    }
    return parts.year >= 0 && parts.year <= LastYear ? EntryCode::None : EntryCode::FourDigitYear;
}
