// Ages, the two number conversions, and the calculation of the missing fact.
// calculate reaches the dialog only through DialogFields, so the whole
// calculation runs without a window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Control ids of the five entry fields of the main dialog.
enum FieldId : int32_t {
    EventDateField = 101,
    YearsField = 102,
    MonthsField = 103,
    DaysField = 104,
    BirthDateField = 105,
};

enum class MissingFact : int32_t { None = 0, EventDate = 1, Age = 2, BirthDate = 3 };

// Which fact the calculation computes; None at start and after "&Reset".
extern MissingFact MissingPart;

enum class AgeKind { Plain, Range, AtLeast };

struct AgeSpec {
    AgeKind kind = AgeKind::Plain;
    int32_t years = 0;      // the years the date arithmetic uses
    int32_t months = 0;
    int32_t days = 0;
    int32_t rangeLow = 0;   // Range only, never negative, rangeLow <= rangeHigh
    int32_t rangeHigh = 0;  // Range only, never negative
    int32_t atLeast = 0;    // AtLeast only, never negative
    bool monthsGiven = false;
    bool daysGiven = false;
};

// The number at the start of a text, rounded to the nearest integer with
// halves to even; values beyond the 32-bit range saturate.
int32_t leadingNumber(std::string_view text);

// Decimal digits with "-" before a negative value and one space before zero
// or a positive one. Takes 64 bits so that intermediate results of absurd
// ages (which saturate to the 32-bit range) can still be written exactly.
std::string numberText(int64_t value);

AgeSpec parseAge(std::string_view yearsText, std::string_view monthsText,
                 std::string_view daysText);

// Moves a canonical date by an age, later (+1) or earlier (-1), and returns a
// canonical text of the same form. Full dates come back as real calendar
// dates; month/year dates with a month of 1..12.
std::string applyAge(std::string_view date, int32_t years, int32_t months, int32_t days,
                     int32_t direction);

// The four operations of the dialog the calculation uses.
class DialogFields {
public:
    virtual std::string readField(int32_t id) = 0;
    virtual void writeField(int32_t id, std::string_view text) = 0;
    // An error box with one OK button and the stop icon.
    virtual void showError(std::string_view text, std::string_view caption) = 0;
    // Brings the dialog to the front and puts the focus in the event field.
    virtual void focusEventField() = 0;

protected:
    ~DialogFields() = default;
};

// Finds the missing fact from the five fields, computes it and writes it back.
// Sets MissingPart and EntryError; reports at most one error through dialog.
void calculate(DialogFields& dialog);

// Text of the calculation's two errors.
inline constexpr std::string_view TwoOfThreeText = "Must specify two of the three data parts";
inline constexpr std::string_view TwoOfThreeCaption = "Data error";
inline constexpr std::string_view BeforeBirthText = "Event date before birth date";
inline constexpr std::string_view BeforeBirthCaption = "Data Error";
// A computed date or year outside 1..9999 is never shown.
inline constexpr std::string_view OutOfRangeText = "The age puts the date outside the years 1 to 9999";
inline constexpr std::string_view OutOfRangeCaption = "Data error";
