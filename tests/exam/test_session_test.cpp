#include "exam/test_session.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace {

constexpr std::int64_t kStart = 5'000'000;
constexpr int kRight = 1;  // every question's correct digit is 1
constexpr int kWrong = 2;

QuestionBank bankOf(std::size_t questions) {
  QuestionBank bank;
  bank.QuestionTexts.assign(questions, "?");
  bank.QuestionFlags.assign(questions, 1);
  return bank;
}

// Hands out the numbers it was given, in turn, then zeros.
struct ScriptedRandom final : Random {
  std::vector<unsigned> script;
  std::size_t next = 0;
  unsigned below(unsigned n) override {
    const unsigned v = next < script.size() ? script[next++] : 0;
    return n ? v % n : 0;
  }
};

}  // namespace

TEST(TestSession, CountdownText) {
  const std::pair<int, const char*> cases[] = {
      {600, "10:00"}, {599, "09:59"}, {65, "01:05"}, {60, "01:00"}, {1, "00:01"}};
  for (const auto& [seconds, text] : cases) EXPECT_EQ(remainingTimeText(seconds), text) << seconds;
}

TEST(TestSession, ElapsedTimeIsMeasuredNotCounted) {
  const QuestionBank bank = bankOf(20);
  EngineRandom random(1);
  TestSession test(bank, 1, 20, random, kStart);
  EXPECT_EQ(test.remainingSeconds(), 600);
  EXPECT_FALSE(test.tick(kStart + 999));  // an early tick shows no second yet
  EXPECT_EQ(test.remainingSeconds(), 600);
  EXPECT_FALSE(test.tick(kStart + 1000));
  EXPECT_EQ(test.remainingSeconds(), 599);
  // A stalled event loop: the ticks in between never came.
  EXPECT_FALSE(test.tick(kStart + 599'999));
  EXPECT_EQ(test.remainingSeconds(), 1);
  EXPECT_TRUE(test.tick(kStart + 3'600'000));
  EXPECT_EQ(test.results().ElapsedSeconds, 600);
  EXPECT_EQ(test.results().end, TestEnd::TimeOut);
  // Nothing reaches an ended test.
  EXPECT_FALSE(test.tick(kStart + 3'601'000));
  EXPECT_FALSE(test.answer(0, kRight));
  EXPECT_EQ(test.results().AnswerCount, 0);
}

TEST(TestSession, StopRules) {
  struct Case {
    const char* answers;  // '+' right, '-' wrong
    std::uint16_t first, last;
    TestEnd end;
    const char* marks;
  };
  const Case cases[] = {
      {"---", 1, 40, TestEnd::ErrorLimit, "- - - "},
      {"+-+--", 1, 40, TestEnd::ErrorLimit, "+ - + - - "},
      {"++++++++++", 1, 40, TestEnd::TenAnswers, "+ + + + + + + + + + "},
      {"+++++++---", 1, 40, TestEnd::TenAnswers, "+ + + + + + + - - - "},  // both rules at once
      {"++++++++", 3, 10, TestEnd::RangeUsedUp, "+ + + + + + + + "},       // 8 questions only
      {"-", 7, 7, TestEnd::RangeUsedUp, "- "},
  };
  for (const Case& c : cases) {
    const QuestionBank bank = bankOf(40);
    EngineRandom random(7);
    TestSession test(bank, c.first, c.last, random, kStart);
    for (const char* a = c.answers; *a; ++a) {
      ASSERT_TRUE(test.running()) << c.answers;
      EXPECT_TRUE(test.answer(0, *a == '+' ? kRight : kWrong));
    }
    EXPECT_EQ(test.results().end, c.end) << c.answers;
    EXPECT_EQ(test.marks(), c.marks);
    EXPECT_EQ(test.results().AnswerCount, static_cast<int>(std::strlen(c.answers)));
    EXPECT_FALSE(test.answer(0, kRight)) << "an answer after the end is ignored";
  }
}

TEST(TestSession, DrawsStayInTheRangeAndNeverRepeat) {
  struct Case {
    std::uint16_t first, last;
  };
  for (const Case c : {Case{5, 14}, Case{1, 40}, Case{30, 36}, Case{1, 999}}) {
    for (std::uint64_t seed = 0; seed < 200; ++seed) {
      const QuestionBank bank = bankOf(999);
      EngineRandom random(seed);
      TestSession test(bank, c.first, c.last, random, kStart);
      while (test.running()) test.answer(1, kRight);
      const TestResults& r = test.results();
      const std::set<std::uint16_t> asked(r.AskedQuestions.begin(),
                                          r.AskedQuestions.begin() + r.AnswerCount);
      EXPECT_EQ(asked.size(), static_cast<std::size_t>(r.AnswerCount));
      EXPECT_GE(*asked.begin(), c.first);
      EXPECT_LE(*asked.rbegin(), c.last);
      EXPECT_EQ(r.AnswerCount, std::min(10, c.last - c.first + 1));
    }
  }
}

TEST(TestSession, RecordsEachAnswer) {
  const QuestionBank bank = bankOf(20);
  ScriptedRandom random;
  random.script = {4, 0, 17};  // question 5, then the first and the 18th of those left
  TestSession test(bank, 1, 20, random, kStart);
  EXPECT_EQ(test.CurrentQuestion(), 4);
  test.answer(2, kRight);
  EXPECT_EQ(test.CurrentQuestion(), 0);
  test.answer(0, kWrong);
  EXPECT_EQ(test.CurrentQuestion(), 19);  // 18th of 2..4, 6..20
  const TestResults& r = test.results();
  EXPECT_EQ(r.AskedQuestions[0], 5);
  EXPECT_EQ(r.ChosenOptions[0], 3);
  EXPECT_EQ(r.AnswerResults[0], 1);
  EXPECT_EQ(r.AskedQuestions[1], 1);
  EXPECT_EQ(r.AnswerResults[1], 0);
  EXPECT_EQ(r.ErrorCount, 1);
}

TEST(TestSession, RangeOutsideTheBankAsksNothing) {
  const QuestionBank bank = bankOf(12);
  for (auto [first, last] : {std::pair<std::uint16_t, std::uint16_t>{0, 5}, {5, 13}, {9, 3}}) {
    EngineRandom random(3);
    TestSession test(bank, first, last, random, kStart);
    EXPECT_EQ(test.results().DrawCount, 0);
    EXPECT_FALSE(test.running());
  }
  const QuestionBank empty;
  EngineRandom random(3);
  TestSession test(empty, 1, 1, random, kStart);
  EXPECT_FALSE(test.running());
}
