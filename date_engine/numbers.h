// Numbers read from and written to text, and the one rounding every part of
// the program uses: to the nearest integer, an exact half to the even
// neighbour. The engine, the calendar and the message box all round this
// way, so a value shown in one place never disagrees with another.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// How the part of a number above its floor compares with one half.
enum class Fraction { BelowHalf, Half, AboveHalf };

// The nearest integer to floorPart + a fraction in [0, 1); an exact half
// goes to the even neighbour.
int64_t roundHalfEven(int64_t floorPart, Fraction fraction);

// The same for a double; infinities and NaN come back as they are.
double roundHalfEven(double value);

// Half of `twice`, rounded: halfToEven(275) is 138 (137.5), halfToEven(277)
// is 138 (138.5). Positions centred in pixels are computed this way, from
// twice the position so that no fraction is ever stored.
int64_t halfToEven(int64_t twice);

// The number at the start of a text, rounded to the nearest integer with
// halves to even; values beyond the 32-bit range saturate; 0 when there is
// none.
int32_t leadingNumber(std::string_view text);

// The same number before it is rounded; 0 when there is none, plus or minus
// HUGE_VAL when it is too large for a double, 0 when too small. The
// calendar's year box needs it: 1599.6 rounds to 1600 but is not a year it
// accepts.
double leadingValue(std::string_view text);

// Decimal digits with "-" before a negative value and one space before zero
// or a positive one. Takes 64 bits so that intermediate results of absurd
// ages (which saturate to the 32-bit range) can still be written exactly.
std::string numberText(int64_t value);

// Two decimal digits of 0..99 at out; returns their end. Dates and ages are
// written through here, two digits at a time from one table.
inline char* writeTwoDigits(char* out, unsigned value) {
    static constexpr char Pairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    out[0] = Pairs[2 * value];
    out[1] = Pairs[2 * value + 1];
    return out + 2;
}

// A year of 0..9999 as four digits ("0800"), or without leading zeros.
inline char* writeYear(char* out, unsigned year) { return writeTwoDigits(writeTwoDigits(out, year / 100), year % 100); }
inline char* writePlainYear(char* out, unsigned year) {
    if (year >= 1000) return writeYear(out, year);
    if (year >= 100) {
        *out++ = static_cast<char>('0' + year / 100);
        return writeTwoDigits(out, year % 100);
    }
    if (year >= 10) return writeTwoDigits(out, year);
    *out++ = static_cast<char>('0' + year);
    return out;
}
