#include "numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isExponentMark(char c) { return c == 'E' || c == 'e' || c == 'D' || c == 'd'; }

// Rounds the non-negative decimal number whose significant digits are
// digits[0..] (no leading zeros, as chars) with the decimal point after
// pointPos of them. Returns a value above 2^31 for anything that does not
// fit, which the caller saturates.
int64_t roundDecimal(const std::string& digits, int64_t pointPos) {
    const int64_t tooBig = int64_t{1} << 40;
    if (digits.empty()) return 0;
    if (pointPos > 11) return tooBig;
    int64_t whole = 0;
    for (int64_t i = 0; i < pointPos; ++i)
        whole = whole * 10 + (i < static_cast<int64_t>(digits.size()) ? digits[static_cast<size_t>(i)] - '0' : 0);
    size_t fracStart = pointPos < 0 ? 0 : static_cast<size_t>(pointPos);
    if (pointPos < 0 || fracStart >= digits.size()) return whole;  // below 0.1, or no fraction
    const char first = digits[fracStart];
    const bool restNonZero = digits.find_first_not_of('0', fracStart + 1) != std::string::npos;
    Fraction fraction = Fraction::BelowHalf;
    if (first > '5' || (first == '5' && restNonZero)) fraction = Fraction::AboveHalf;
    else if (first == '5') fraction = Fraction::Half;
    return roundHalfEven(whole, fraction);
}

// The number at the start of a text as written: leading spaces, tabs and
// line feeds skipped; a sign; digits with at most one decimal point; an
// exponent after E, e, D or d (with its own sign) when digits follow it.
struct NumberText {
    bool found = false;        // at least one digit in the mantissa
    bool negative = false;
    std::string_view mantissa;  // digits and at most one '.'
    std::string_view exponent;  // optional sign and digits; empty when none
};

NumberText scanNumber(std::string_view text) {
    NumberText number;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) number.negative = text[i++] == '-';
    const size_t start = i;
    bool sawPoint = false;
    for (; i < n; ++i) {
        if (isDigit(text[i])) {
            number.found = true;
        } else if (text[i] == '.' && !sawPoint) {
            sawPoint = true;
        } else {
            break;
        }
    }
    number.mantissa = text.substr(start, i - start);
    if (number.found && i < n && isExponentMark(text[i])) {
        size_t j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
        const size_t firstDigit = j;
        while (j < n && isDigit(text[j])) ++j;
        if (j > firstDigit) number.exponent = text.substr(i + 1, j - i - 1);
    }
    return number;
}

}  // namespace

int64_t roundHalfEven(int64_t floorPart, Fraction fraction) {
    const bool odd = floorPart % 2 != 0;
    if (fraction == Fraction::AboveHalf || (fraction == Fraction::Half && odd)) return floorPart + 1;
    return floorPart;
}

double roundHalfEven(double value) {
    // From 2^52 on every double is a whole number already.
    if (!(std::fabs(value) < 4503599627370496.0)) return value;
    const double floorPart = std::floor(value);
    const double rest = value - floorPart;  // exact: both share the value's scale
    const Fraction fraction = rest < 0.5 ? Fraction::BelowHalf : rest == 0.5 ? Fraction::Half : Fraction::AboveHalf;
    return static_cast<double>(roundHalfEven(static_cast<int64_t>(floorPart), fraction));
}

int64_t halfToEven(int64_t twice) {
    // floor(twice / 2); the dropped half, if any, is exactly one half.
    const int64_t floorPart = twice >= 0 ? twice / 2 : -((-(twice + 1)) / 2) - 1;
    return roundHalfEven(floorPart, twice % 2 != 0 ? Fraction::Half : Fraction::BelowHalf);
}

int32_t leadingNumber(std::string_view text) {
    const NumberText number = scanNumber(text);
    if (!number.found) return 0;
    const std::string_view mantissa = number.mantissa;
    const size_t n = mantissa.size();

    // Fast path for the common case: a few plain digits.
    if (number.exponent.empty() && n <= 9 && mantissa.find('.') == std::string_view::npos) {
        int32_t value = 0;
        for (char c : mantissa) value = value * 10 + (c - '0');
        return number.negative ? -value : value;
    }

    // Significant digits only: at most a dozen matter, the rest just move the
    // decimal point, so even a 100,000-digit number costs no memory.
    std::string digits;
    int64_t pointPos = 0;         // digits of the integer part, leading zeros skipped
    bool sawPoint = false;
    bool droppedNonZero = false;  // a non-zero digit beyond the kept ones
    for (size_t i = 0; i < n; ++i) {
        const char c = mantissa[i];
        if (c == '.') {
            sawPoint = true;
            continue;
        }
        if (digits.empty() && c == '0') {
            if (sawPoint) --pointPos;  // 0.00x: the point moves right
            continue;
        }
        if (digits.size() < 24) {
            digits.push_back(c);
            if (!sawPoint) ++pointPos;
            continue;
        }
        // Past two dozen significant digits only the position of the point
        // and whether anything is non-zero still matter.
        size_t end = i;
        for (; end < n && isDigit(mantissa[end]); ++end)
            if (mantissa[end] != '0') droppedNonZero = true;
        if (!sawPoint) pointPos = std::min<int64_t>(pointPos + static_cast<int64_t>(end - i), 1000000);
        i = end - 1;
    }
    if (!number.exponent.empty()) {
        std::string_view e = number.exponent;
        const bool expNegative = e.front() == '-';
        if (e.front() == '+' || e.front() == '-') e.remove_prefix(1);
        int64_t exponent = 0;
        for (char c : e) exponent = std::min<int64_t>(exponent * 10 + (c - '0'), 1000000);
        pointPos += expNegative ? -exponent : exponent;
    }
    // A digit beyond the kept ones only matters for an exact half, where any
    // non-zero digit tips the rounding up.
    if (droppedNonZero) digits.push_back('1');
    const int64_t magnitude = roundDecimal(digits, pointPos);
    if (number.negative)
        return magnitude > 2147483648LL ? std::numeric_limits<int32_t>::min() : static_cast<int32_t>(-magnitude);
    return magnitude > 2147483647LL ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(magnitude);
}

double leadingValue(std::string_view text) {
    const NumberText number = scanNumber(text);
    if (!number.found) return 0.0;
    std::string written;
    if (number.negative) written += '-';
    written += number.mantissa;
    bool negativeExponent = false;
    if (!number.exponent.empty()) {
        std::string_view e = number.exponent;
        negativeExponent = e.front() == '-';
        // from_chars takes a '-' but no '+' in the exponent.
        if (e.front() == '+') e.remove_prefix(1);
        written += 'e';
        written += e;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(written.data(), written.data() + written.size(), value);
    (void)end;
    if (error == std::errc::result_out_of_range) {
        // Far beyond any year either way: a huge exponent, or a tiny one.
        value = negativeExponent ? 0.0 : (number.negative ? -HUGE_VAL : HUGE_VAL);
    } else if (error != std::errc{}) {
        value = 0.0;
    }
    return value;
}

std::string numberText(int64_t value) {
    char buffer[24];
    char* start = buffer + 1;
    char* end = std::to_chars(start, buffer + sizeof buffer, value).ptr;
    if (value >= 0) *--start = ' ';
    return std::string(start, end);
}
