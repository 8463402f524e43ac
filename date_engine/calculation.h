// The calculation of the missing fact, and the moving of a date by an age.
// The calculation itself runs through the engine's entry (entry.h); what
// is here is shared by it and by those who carry on from an answer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "age.h"
#include "date.h"
#include "numbers.h"

// The five entry fields, in the order of the dialog's tab walk; requests
// and answers hold their texts in this order.
enum class Field : uint8_t { Event, Years, Months, Days, Birth };
inline constexpr size_t FieldCount = 5;
constexpr size_t fieldIndex(Field field) { return static_cast<size_t>(field); }

// Which fact the calculation computes; None at start and after "&Reset".
enum class MissingFact : int32_t { None = 0, EventDate = 1, Age = 2, BirthDate = 3 };

// "event", "age", "birth", or "" for None.
std::string_view missingFactName(MissingFact fact);

// Moves a canonical date by an age, later (+1) or earlier (-1), and returns a
// canonical text of the same form. Full dates come back as real calendar
// dates; month/year dates with a month of 1..12. A year beyond 9999 (or
// below 1) is written in full.
std::string applyAge(std::string_view date, int32_t years, int32_t months, int32_t days, int32_t direction);

// The same move of a day, as the calculation shows it for an age given to
// the day; empty where it leaves the years 1 to 9999.
std::optional<Date> applyAge(const Date& date, int32_t years, int32_t months, int32_t days, int32_t direction);
// The same for a full date of either calendar, moved in its own calendar;
// the result is the Gregorian day of the date reached.
std::optional<Date> applyAge(const DateParts& date, int32_t years, int32_t months, int32_t days, int32_t direction);

// Text of the calculation's errors.
inline constexpr std::string_view TwoOfThreeText = "Must specify two of the three data parts";
inline constexpr std::string_view TwoOfThreeCaption = "Data error";
inline constexpr std::string_view BeforeBirthText = "Event date before birth date";
inline constexpr std::string_view BeforeBirthCaption = "Data Error";
// A computed date or year outside 1..9999 is never shown.
inline constexpr std::string_view OutOfRangeText = "The age puts the date outside the years 1 to 9999";
inline constexpr std::string_view OutOfRangeCaption = "Data error";
