#include "study/number_box.h"

#include <algorithm>

bool isValidNumberText(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::uint16_t enteredNumber(std::string_view text, std::uint16_t first, std::uint16_t last) {
  if (!isValidNumberText(text)) return first;
  // Leading zeros carry no value; more than five digits left is above any 16-bit range.
  const std::size_t significant = std::min(text.find_first_not_of('0'), text.size());
  const std::string_view digits = text.substr(significant);
  if (digits.size() > 5) return last;
  unsigned value = 0;
  for (char c : digits) value = value * 10 + static_cast<unsigned>(c - '0');
  if (value > last) return last;
  if (value < first) return first;
  return static_cast<std::uint16_t>(value);
}

std::uint16_t steppedNumber(std::string_view text, int step, std::uint16_t first,
                            std::uint16_t last) {
  const int from = enteredNumber(text, first, last);
  return static_cast<std::uint16_t>(std::clamp(from + step, int{first}, int{last}));
}

StepButtons stepButtons(unsigned shown, unsigned first, unsigned last) {
  return {shown > first, shown < last};
}
