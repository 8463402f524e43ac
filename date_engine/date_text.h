// Canonical date text: normalisation of what the user typed, the checks behind
// "Illegal Date", the display forms and the week day. Pure functions; the one
// piece of shared state is EntryError, which the main window owns.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The shared entry-error code: 0 none, 1 months, 2 days, 3 years,
// 4 "4 digit year". The calculation also sets 1 for its own error.
extern int32_t EntryError;

enum class DateForm { YearOnly, MonthYear, FullDate };

// A canonical date text read as numbers; a part the form lacks is 0.
struct DateParts {
    DateForm form = DateForm::YearOnly;
    int32_t month = 0;  // 1..12 in a valid date
    int32_t day = 0;    // 1..daysInMonth in a valid full date
    int32_t year = 0;   // 1600..2100 in a valid full date
};

// "Jan, Feb, ..., Dec": month k starts at offset 5 * (k - 1).
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
// keeping a week-day tag. Raises EntryError to 4 when the year part is not
// four digits; never lowers it.
std::string normaliseDateText(std::string_view text);

// A canonical text without tag to numbers, by the fixed positions of the
// canonical form.
DateParts readDateParts(std::string_view text);

// 0 for a real calendar date of 1600..2100; else 1 (month), 2 (day), 3 (year).
int32_t checkFullDate(const DateParts& parts);

// 0 Sunday .. 6 Saturday, valid for the years 1..9999 (and safe beyond).
int32_t dayOfWeek(int32_t month, int32_t year, int32_t day);

// "  [Su]" for a full date entry, else the empty text.
std::string weekdayTag(std::string_view text);

struct FormattedDate {
    int32_t code = 0;  // EntryError code 0..4
    std::string text;  // the display text when code is 0
};

// A date field read once: what formatting shows, held as numbers wherever
// the text is a date of one of the three forms. Year texts (anything that
// holds "to" or "or", such as the calculation's "1850 or 1849") keep their
// display text, as they pass the display nearly untouched.
enum class ValueKind { Empty, Year, MonthYear, Full, Text };

struct DateValue {
    ValueKind kind = ValueKind::Empty;
    int32_t month = 0;       // 1..12 for MonthYear and Full
    int32_t day = 0;         // 1..daysInMonth for Full
    int32_t year = 0;        // 0..9999 (Full: 1600..2100)
    std::string_view text;   // Text only: the display text, in the reader's scratch
};

// The reading half of formatDateText: 0 and the value, or the EntryError
// code 1..4. scratch holds any text the value refers to; it is reused.
int32_t readDate(std::string_view input, bool abbreviated, bool weekDay, std::string& scratch,
                 DateValue& value);

// The writing half: the display text of a value read by readDate (or made
// from numbers of a real date), written into out, which keeps its buffer.
void writeDate(const DateValue& value, bool abbreviated, bool weekDay, std::string& out);

// The whole logic of formatting a date field: validate and rewrite in the
// numeric or abbreviated display, optionally with the week-day tag.
// Leaves EntryError as it found it.
FormattedDate formatDateText(std::string_view text, bool abbreviated, bool weekDay);

// Small text helpers shared by the engine and its callers.
std::string_view trimBlanks(std::string_view text);       // spaces only
std::string_view beforeTag(std::string_view text);        // up to the first "["
// ASCII letters only: texts are single-byte code-page text, and only the
// English words of dates and ages are compared without regard to case.
constexpr char lowerCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool equalsIgnoringCase(std::string_view a, std::string_view b);
