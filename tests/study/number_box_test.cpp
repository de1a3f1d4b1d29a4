#include "study/number_box.h"

#include <gtest/gtest.h>

#include <string>

TEST(NumberBox, EnterGoesToTheTypedNumberPulledIntoTheRange) {
  struct Case {
    const char* typed;
    std::uint16_t first, last, want;
  };
  const Case cases[] = {
      {"7", 5, 20, 7},
      {"007", 5, 20, 7},
      {"", 5, 20, 5},
      {"abc", 5, 20, 5},
      {"-3", 5, 20, 5},
      {"+7", 5, 20, 5},
      {"1 2", 5, 20, 5},
      {" 7", 5, 20, 5},
      {"7.", 5, 20, 5},
      {"0", 5, 20, 5},
      {"000", 5, 20, 5},
      {"21", 5, 20, 20},
      {"65536", 1, 65535, 65535},
      {"4294967297", 1, 30, 30},            // wraps to 1 in 32 bits
      {"18446744073709551617", 1, 30, 30},  // twenty digits, wraps to 1 in 64 bits
      {"00000000000000000012", 1, 30, 12},
      {"99999999999999999999999999999999999999", 1, 30, 30},
      {"9", 9, 9, 9},
      {"10", 9, 9, 9},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("typed \"") + c.typed + "\"");
    EXPECT_EQ(enteredNumber(c.typed, c.first, c.last), c.want);
  }
}

TEST(NumberBox, SpinnerStepsFromTheBoxAndStopsAtTheEnds) {
  struct Case {
    const char* shown;
    int step;
    std::uint16_t want;
  };
  const Case cases[] = {
      {"7", 1, 8},   {"7", -1, 6},   {"20", 1, 20}, {"5", -1, 5},
      {"abc", 1, 6}, {"99", -1, 19}, {"0", -1, 5},  {"", -1, 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.shown) + " step " + std::to_string(c.step));
    EXPECT_EQ(steppedNumber(c.shown, c.step, 5, 20), c.want);
  }
}

TEST(NumberBox, StepButtonsFollowTheNumberShown) {
  struct Case {
    unsigned shown, first, last;
    bool previous, next;
  };
  const Case cases[] = {
      {5, 5, 20, false, true},  {6, 5, 20, true, true},  {19, 5, 20, true, true},
      {20, 5, 20, true, false}, {9, 9, 9, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shown);
    const StepButtons buttons = stepButtons(c.shown, c.first, c.last);
    EXPECT_EQ(buttons.previous, c.previous);
    EXPECT_EQ(buttons.next, c.next);
  }
}
