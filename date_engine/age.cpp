#include <algorithm>
#include <charconv>
#include <limits>

#include "calculation.h"

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Rounds the non-negative decimal number whose significant digits are
// digits[0..] (no leading zeros, as chars) with the decimal point after
// pointPos of them, to the nearest integer with halves to even. Returns a
// value above 2^31 for anything that does not fit, which the caller
// saturates.
int64_t roundDecimal(const std::string& digits, int64_t pointPos) {
    const int64_t tooBig = int64_t{1} << 40;
    if (digits.empty()) return 0;
    if (pointPos > 11) return tooBig;
    int64_t whole = 0;
    for (int64_t i = 0; i < pointPos; ++i)
        whole = whole * 10 + (i < static_cast<int64_t>(digits.size()) ? digits[static_cast<size_t>(i)] - '0' : 0);
    size_t fracStart = pointPos < 0 ? 0 : static_cast<size_t>(pointPos);
    if (pointPos < 0 || fracStart >= digits.size()) return whole;  // below 0.1, or no fraction
    char first = digits[fracStart];
    bool restNonZero = digits.find_first_not_of('0', fracStart + 1) != std::string::npos;
    if (first > '5' || (first == '5' && (restNonZero || whole % 2 == 1))) ++whole;
    return whole;
}

}  // namespace

int32_t leadingNumber(std::string_view text) {
    size_t i = 0, n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    // Fast path for the common case: a few plain digits not followed by a
    // point or an exponent.
    {
        size_t j = i;
        int64_t value = 0;
        while (j < n && j - i < 9 && isDigit(text[j])) value = value * 10 + (text[j++] - '0');
        if (j > i && (j == n || !(isDigit(text[j]) || text[j] == '.' || text[j] == 'E' || text[j] == 'e' ||
                                 text[j] == 'D' || text[j] == 'd')))
            return static_cast<int32_t>(negative ? -value : value);
    }

    // Significant digits only: at most a dozen matter, the rest just move the
    // decimal point, so even a 100,000-digit number costs no memory.
    std::string digits;
    int64_t pointPos = 0;      // digits of the integer part, leading zeros skipped
    bool sawDigit = false, sawPoint = false;
    bool droppedNonZero = false;  // a non-zero digit beyond the kept ones
    for (; i < n; ++i) {
        char c = text[i];
        if (isDigit(c)) {
            sawDigit = true;
            if (digits.empty() && c == '0') {
                if (sawPoint) --pointPos;  // 0.00x: the point moves right
                continue;
            }
            if (digits.size() < 24) {
                digits.push_back(c);
                if (!sawPoint) ++pointPos;
                continue;
            }
            // Past two dozen significant digits only the position of the
            // point and whether anything is non-zero still matter.
            size_t end = i;
            for (; end < n && isDigit(text[end]); ++end)
                if (text[end] != '0') droppedNonZero = true;
            if (!sawPoint) pointPos = std::min<int64_t>(pointPos + static_cast<int64_t>(end - i), 1000000);
            i = end - 1;
        } else if (c == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
    }
    if (!sawDigit) return 0;
    // Exponent: E, e, D or d, an optional sign and at least one digit.
    if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        size_t j = i + 1;
        bool expNegative = false;
        if (j < n && (text[j] == '+' || text[j] == '-')) expNegative = text[j++] == '-';
        if (j < n && isDigit(text[j])) {
            int64_t exponent = 0;
            for (; j < n && isDigit(text[j]); ++j) exponent = std::min<int64_t>(exponent * 10 + (text[j] - '0'), 1000000);
            pointPos += expNegative ? -exponent : exponent;
        }
    }
    // A digit beyond the kept ones only matters for an exact half, where any
    // non-zero digit tips the rounding up.
    if (droppedNonZero) digits.push_back('1');
    int64_t magnitude = roundDecimal(digits, pointPos);
    if (negative) return magnitude > 2147483648LL ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(-magnitude);
    return magnitude > 2147483647LL ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(magnitude);
}

std::string numberText(int64_t value) {
    char buffer[24];
    char* start = buffer + 1;
    char* end = std::to_chars(start, buffer + sizeof buffer, value).ptr;
    if (value >= 0) *--start = ' ';
    return std::string(start, end);
}

AgeSpec parseAge(std::string_view yearsText, std::string_view monthsText, std::string_view daysText) {
    AgeSpec age;
    age.years = leadingNumber(yearsText);
    age.months = leadingNumber(monthsText);
    age.days = leadingNumber(daysText);

    size_t dash = yearsText.find('-');
    if (dash != std::string_view::npos) {
        age.kind = AgeKind::Range;
        std::string_view rest = yearsText.substr(dash + 1);
        age.rangeLow = leadingNumber(yearsText.substr(0, dash));
        age.rangeHigh = leadingNumber(rest.substr(0, rest.find('-')));
        // "30-20" and "5-" mean the same span as "20-30" and "-5".
        if (age.rangeLow > age.rangeHigh) std::swap(age.rangeLow, age.rangeHigh);
    } else if (size_t plus = yearsText.find('+'); plus != std::string_view::npos) {
        age.kind = AgeKind::AtLeast;
        age.atLeast = leadingNumber(yearsText.substr(0, plus));
    }
    if (int64_t{age.rangeLow} + age.rangeHigh != 0) age.years = age.rangeLow;
    if (age.atLeast != 0) age.years = age.atLeast;

    age.monthsGiven = !monthsText.empty() && age.kind == AgeKind::Plain;
    age.daysGiven = !daysText.empty() && age.kind == AgeKind::Plain;
    return age;
}
