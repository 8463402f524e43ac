// A small checker for the GEDCOM date and age grammars, written from the two
// standards' productions rather than from the writer: GEDCOM 5.5.1
// DATE_VALUE and AGE_AT_EVENT, GEDCOM 7 DateValue and Age (Gregorian dates;
// other calendars are not produced and are rejected here).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace gedcom_grammar {

inline std::vector<std::string_view> words(std::string_view text, bool& clean) {
    std::vector<std::string_view> out;
    clean = !text.empty() && text.front() != ' ' && text.back() != ' ' &&
            text.find("  ") == std::string_view::npos;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(' ', start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

inline bool digits(std::string_view w, size_t low, size_t high) {
    if (w.size() < low || w.size() > high) return false;
    for (char c : w)
        if (c < '0' || c > '9') return false;
    return true;
}

inline bool month(std::string_view w) {
    static constexpr std::string_view Months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                  "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    for (std::string_view m : Months)
        if (w == m) return true;
    return false;
}

// 5.5.1 DATE_GREG: YEAR_GREG [B.C.] | MONTH YEAR_GREG | DAY MONTH YEAR_GREG,
// with YEAR_GREG a 3- or 4-digit number, optionally "/dd" (dual dating).
inline bool year551(std::string_view w) {
    const size_t slash = w.find('/');
    if (slash == std::string_view::npos) return digits(w, 3, 4);
    return digits(w.substr(0, slash), 3, 4) && digits(w.substr(slash + 1), 2, 2);
}

inline bool date551(const std::vector<std::string_view>& w, size_t from, size_t to) {
    const size_t n = to - from;
    if (n == 1) return year551(w[from]);
    if (n == 2) return (month(w[from]) && year551(w[from + 1])) || (year551(w[from]) && w[from + 1] == "B.C.");
    if (n == 3) return digits(w[from], 1, 2) && month(w[from + 1]) && year551(w[from + 2]);
    return false;
}

// 7 date: [[day D] month D] year [D epoch]; day and year are Integers.
inline bool date7(const std::vector<std::string_view>& w, size_t from, size_t to) {
    if (to > from && w[to - 1] == "BCE") --to;
    const size_t n = to - from;
    if (n == 1) return digits(w[from], 1, 9);
    if (n == 2) return month(w[from]) && digits(w[from + 1], 1, 9);
    if (n == 3) return digits(w[from], 1, 9) && month(w[from + 1]) && digits(w[from + 2], 1, 9);
    return false;
}

// The productions both versions share: a date, BEF/AFT/ABT/CAL/EST date,
// BET date AND date, FROM date [TO date], TO date.
template <typename Date>
bool dateValue(std::string_view text, Date date) {
    bool clean = false;
    const std::vector<std::string_view> w = words(text, clean);
    if (!clean) return false;
    const size_t n = w.size();
    if (date(w, 0, n)) return true;
    const std::string_view head = w[0];
    if (head == "BEF" || head == "AFT" || head == "ABT" || head == "CAL" || head == "EST" || head == "TO")
        return date(w, 1, n);
    for (size_t i = 2; i + 1 < n; ++i) {
        if (head == "BET" && w[i] == "AND") return date(w, 1, i) && date(w, i + 1, n);
        if (head == "FROM" && w[i] == "TO") return date(w, 1, i) && date(w, i + 1, n);
    }
    return head == "FROM" && date(w, 1, n);
}

inline bool dateValue551(std::string_view text) { return text.size() <= 35 && dateValue(text, date551); }
inline bool dateValue7(std::string_view text) { return dateValue(text, date7); }

// 5.5.1 AGE_AT_EVENT (at most 12 characters): CHILD | INFANT | STILLBORN, or
// an optional < or > directly before YYy MMm DDDd, any of them left out but
// in that order.
inline bool age551(std::string_view text) {
    if (text.empty() || text.size() > 12) return false;
    if (text == "CHILD" || text == "INFANT" || text == "STILLBORN") return true;
    if (text[0] == '<' || text[0] == '>') text.remove_prefix(1);
    bool clean = false;
    const std::vector<std::string_view> w = words(text, clean);
    if (!clean || w.empty()) return false;
    static constexpr char Units[] = {'y', 'm', 'd'};
    static constexpr size_t Widths[] = {3, 2, 3};
    size_t unit = 0;
    for (std::string_view part : w) {
        while (unit < 3 && part.back() != Units[unit]) ++unit;
        if (unit == 3 || !digits(part.substr(0, part.size() - 1), 1, Widths[unit])) return false;
        ++unit;
    }
    return true;
}

// 7 Age: [[ageBound D] ageDuration], the duration years, months, weeks and
// days in that order, any of them left out but at least one given.
inline bool age7(std::string_view text) {
    bool clean = false;
    const std::vector<std::string_view> w = words(text, clean);
    if (!clean || w.empty()) return false;
    size_t i = 0;
    if (w[0] == "<" || w[0] == ">") ++i;
    if (i == w.size()) return false;
    static constexpr char Units[] = {'y', 'm', 'w', 'd'};
    size_t unit = 0;
    for (; i < w.size(); ++i) {
        const std::string_view part = w[i];
        while (unit < 4 && part.back() != Units[unit]) ++unit;
        if (unit == 4 || !digits(part.substr(0, part.size() - 1), 1, 9)) return false;
        ++unit;
    }
    return true;
}

}  // namespace gedcom_grammar
