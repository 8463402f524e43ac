// The calculation of the missing fact, and the moving of a date by an age.
// calculate reaches the dialog only through DialogFields, so the whole
// calculation runs without a window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "age.h"
#include "numbers.h"

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
