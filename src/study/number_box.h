#pragma once
// The self-control window's question number box and its step buttons.
#include <cstdint>
#include <string_view>

// Valid when not empty and made of the digits 0..9 only; leading zeros allowed.
bool isValidNumberText(std::string_view text);

// The question number "Ввести" goes to for the text in the box: RangeFirst
// for an invalid text, else the number pulled into first..last. A digit
// string of any length is compared by value, without overflowing.
std::uint16_t enteredNumber(std::string_view text, std::uint16_t first, std::uint16_t last);

// The number the spinner shows after one step up (+1) or down (-1) from the
// text in the box; it stops at the ends of the range instead of wrapping.
std::uint16_t steppedNumber(std::string_view text, int step, std::uint16_t first,
                            std::uint16_t last);

// "Предыдущий" is enabled exactly when the number shown is above first,
// "Следующий" exactly when it is below last.
struct StepButtons {
  bool previous = false;
  bool next = false;
};
StepButtons stepButtons(unsigned shown, unsigned first, unsigned last);
