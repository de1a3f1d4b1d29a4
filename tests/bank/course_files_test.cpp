#include "bank/course_files.h"

#include <gtest/gtest.h>

#include "platform/cp1251.h"

namespace {

TEST(CourseFiles, ClassifiesLinesByFirstCharacter) {
  const struct {
    std::string line;
    LineKind kind;
  } cases[] = {
      {"+++1", LineKind::TopicMarker},     {"+", LineKind::TopicMarker},
      {"**_1_2_", LineKind::Set},          {"*", LineKind::Set},
      {"_001_2_1_text", LineKind::Record}, {"_", LineKind::Record},
      {" +++1", LineKind::Other},          {"", LineKind::Other},
      {cp("Пояснение"), LineKind::Other},  {"$diagram_0007$", LineKind::Other},
  };
  for (const auto& c : cases) EXPECT_EQ(classify(c.line), c.kind) << c.line;
}

TEST(CourseFiles, ReadsDigitAtOneBasedPosition) {
  EXPECT_EQ(digitAt("+++7", 4), 7u);
  EXPECT_EQ(digitAt("_001_2_1_", 6), 2u);
  EXPECT_EQ(digitAt("0", 1), 0u);
  EXPECT_EQ(digitAt("+++", 4), std::nullopt);       // too short
  EXPECT_EQ(digitAt("+++a", 4), std::nullopt);      // not a digit
  EXPECT_EQ(digitAt("+++1", 0), std::nullopt);      // positions count from 1
  EXPECT_EQ(digitAt(cp("+++Ж"), 4), std::nullopt);  // a high byte is no digit
}

TEST(CourseFiles, SetMembershipNeedsWholeNumberBetweenUnderscores) {
  EXPECT_EQ(setKey(12), "_12_");
  const struct {
    std::string set;
    unsigned n;
    bool contains;
  } cases[] = {
      {"_1_12_", 1, true},    {"_1_12_", 12, true},     {"_1_12_", 2, false}, {"_3_7_12_", 7, true},
      {"_3_7_12_", 1, false}, {"_12_", 12, true},       {"_4__", 4, true},    {"_", 1, false},
      {"", 1, false},         {"_65535_", 65535, true},
  };
  for (const auto& c : cases) EXPECT_EQ(setContains(c.set, c.n), c.contains) << c.set << " " << c.n;
}

TEST(CourseFiles, RenumbersSetsByOffset) {
  const struct {
    std::string text;
    unsigned offset;
    std::string result;
  } cases[] = {
      {"_1_2_", 3, "_4_5_"}, {"_1_2_", 0, "_1_2_"},
      {"_7_", 10, "_17_"},   {"_4__", 0, "_4_"},         // doubled final underscore is dropped
      {"_4__", 5, "_9_"},    {"_", 4, "_"},              // a set naming no question
      {"__", 0, "_"},        {"_65530_", 5, "_65535_"},  // the largest number a set may reach
  };
  for (const auto& c : cases)
    EXPECT_EQ(renumberSet(c.text, c.offset), c.result) << c.text << " +" << c.offset;
}

TEST(CourseFiles, RejectsSetsThatAreNotNumbersBetweenUnderscores) {
  const struct {
    std::string text;
    unsigned offset;
  } cases[] = {
      {"", 0},        {"1_2_", 0},    {"_1_2", 0},    {"_1_2_x", 0},  {"_01_", 0},     {"_0_", 0},
      {"_1__2_", 0},  {"_a_", 0},     {"_1 _", 0},    {"_-1_", 0},    {"_123456_", 0}, {"_4___", 0},
      {"_65535_", 1}, {"_65536_", 0}, {"_99999_", 0}, {"_1_", 70000},
  };
  for (const auto& c : cases)
    EXPECT_EQ(renumberSet(c.text, c.offset), std::nullopt) << c.text << " +" << c.offset;
}

TEST(CourseFiles, TopicTitlesAreTheNonEmptyLines) {
  const std::vector<std::string> lines = {cp("Тема первая"), "", cp("Тема вторая"), "   ", ""};
  EXPECT_EQ(topicTitles(lines),
            (std::vector<std::string>{cp("Тема первая"), cp("Тема вторая"), "   "}));
  EXPECT_TRUE(topicTitles({}).empty());
}

}  // namespace
