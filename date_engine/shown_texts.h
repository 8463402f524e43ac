// The words both front ends show: the window and quillark-calc must agree
// on them letter for letter, so each is written once, here.
#pragma once

#include <array>
#include <string_view>

// Name of the faulty part for each nonzero EntryError, index 1..4; index 0
// is the empty text so that the table can be indexed by any code the engine
// gives.
inline constexpr const char* PartNames[5] = {"", "months", "days", "years", "4 digit year"};

// The "Illegal Date" box: its caption, and its text before the part name.
inline constexpr const char* IllegalDateCaption = "Illegal Date";
inline constexpr const char* CheckOnText = "Check on ";

// The labels beside the five entry fields, in control-id order (101..105).
inline constexpr const char* FieldLabels[5] = {"Date of event:", "Years:", "Months:", "Days:",
                                               "Date of birth:"};

// The five entry fields as named in a CSV header or a JSON answer, in
// control-id order.
inline constexpr std::array<std::string_view, 5> FieldKeys = {"event", "years", "months", "days", "birth"};
