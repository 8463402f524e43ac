// Canonical date text: normalisation of what the user typed, the checks behind
// "Illegal Date", the display forms and the week day. Pure functions that
// keep no state: a failed check is reported as a value, an EntryCode.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "date.h"

// Why an entry is no date, as the "Illegal Date" box names it after
// "Check on ". The calculation reports its own "Must specify two of the
// three data parts" with the code 1 as well, which keeps the window from
// validating until a date field is left again.
enum class EntryCode : int32_t {
    None = 0,
    Months = 1,         // "months"
    Days = 2,           // "days"
    Years = 3,          // "years": a full date outside 1600..2100
    FourDigitYear = 4,  // "4 digit year"
};

// The part's name the box shows after "Check on "; empty for None.
std::string_view entryCodeName(EntryCode code);

// "Jan, Feb, ..., Dec", made from MonthNames: month k starts at offset
// 5 * (k - 1).
extern const std::string_view MonthAbbreviations;
// "Su,Mo,Tu,We,Th,Fr,Sa": week day w starts at offset 3 * w.
extern const std::string_view WeekdayNames;

// Gregorian month length for every year (no Julian change-over).
// Callers pass a month from 1 to 12; any other month gives 31.
int32_t daysInMonth(int32_t month, int32_t year);

// Position (from 1) of word inside MonthAbbreviations ignoring case, 1 for the
// empty word, 0 when it is not there. The month is (p - 1) / 5 + 1.
int32_t monthWordPosition(std::string_view word);

// Any date entry to its canonical text ("mm/dd/yyyy", "mm/yyyy", "yyyy"),
// keeping a week-day tag. Raises code to FourDigitYear when the year part is
// not four digits; never lowers it.
std::string normaliseDateText(std::string_view text, EntryCode& code);

// A canonical text without tag to numbers, by the fixed positions of the
// canonical form.
DateParts readDateParts(std::string_view text);

// None for a real calendar date of 1600..2100; else Months, Days or Years,
// the first that fails in that order.
EntryCode checkFullDate(const DateParts& parts);
// The check of any date read as numbers, as the display makes it: a full
// date by checkFullDate, a month/year date's month, a year of four digits.
EntryCode checkDate(const DateParts& parts);

// 0 Sunday .. 6 Saturday, valid for the years 1..9999 (and safe beyond).
int32_t dayOfWeek(int32_t month, int32_t year, int32_t day);

// "  [Su]" for a full date entry, else the empty text.
std::string weekdayTag(std::string_view text);

struct FormattedDate {
    EntryCode code = EntryCode::None;
    std::string text;  // the display text when code is None
};

// A date field read once. A date of one of the three forms is held as its
// numbers; a year text (anything that holds "to" or "or", such as the
// calculation's "1850 or 1849") keeps its display text, as it passes the
// display nearly untouched.
enum class FieldKind { Empty, Date, Text };

struct FieldDate {
    FieldKind kind = FieldKind::Empty;
    DateParts date;         // Date: the date (valid as checkDate has it, where readDate read it)
    std::string_view text;  // Text only: the display text, in the reader's scratch
};

// The reading half of formatDateText: None and the field, or why it is no
// date. scratch holds any text the field refers to; it is reused.
EntryCode readDate(std::string_view input, bool abbreviated, bool weekDay, std::string& scratch,
                   FieldDate& field);

// The writing half: the display text of a field read by readDate (or of a
// date that passes checkDate), written into out, which keeps its buffer.
void writeDate(const FieldDate& field, bool abbreviated, bool weekDay, std::string& out);

// The whole logic of formatting a date field: validate and rewrite in the
// numeric or abbreviated display, optionally with the week-day tag.
FormattedDate formatDateText(std::string_view text, bool abbreviated, bool weekDay);

// Small text helpers shared by the engine and its callers.
std::string_view trimBlanksAround(std::string_view text);  // spaces only
inline std::string_view trimBlanks(std::string_view text) {  // spaces only
    // Most texts have none to trim.
    if (text.empty() || (text.front() != ' ' && text.back() != ' ')) return text;
    return trimBlanksAround(text);
}
std::string_view beforeTag(std::string_view text);        // up to the first "["
// ASCII letters only: texts are single-byte code-page text, and only the
// English words of dates and ages are compared without regard to case.
constexpr char lowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool equalsIgnoringCase(std::string_view a, std::string_view b);
