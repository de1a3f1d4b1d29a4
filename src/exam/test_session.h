#pragma once
// One timed test of the exam or pass/fail mode as a state machine: it draws
// questions of the range without repetition, judges answers by option digit,
// counts the time from a monotonic clock and knows when the test is over.
#include <array>
#include <cstdint>
#include <string>

#include "bank/question_bank.h"
#include "platform/random.h"

constexpr int kQuestionsPerTest = 10;
constexpr int kErrorLimit = 3;
constexpr int kTimeLimitSeconds = 600;

// Why a test is over, or that it is not.
enum class TestEnd { Running, TenAnswers, ErrorLimit, TimeOut, RangeUsedUp };

// What the report reads of a test.
struct TestResults {
  std::array<std::uint8_t, kQuestionsPerTest> AnswerResults{};    // 1 right, 0 wrong
  std::array<std::uint16_t, kQuestionsPerTest> AskedQuestions{};  // 1-based question numbers
  std::array<std::uint16_t, kQuestionsPerTest>
      ChosenOptions{};  // 1-based position among those shown
  std::int32_t ElapsedSeconds = 0;
  std::int32_t TimeLimitSeconds = kTimeLimitSeconds;
  std::int32_t AnswerCount = 0;
  std::uint16_t ErrorCount = 0;
  std::uint16_t DrawCount = 0;  // questions in the draw range
  TestEnd end = TestEnd::Running;

  // The questions this test can ask: ten, or fewer when the range is smaller.
  int questionsInTest() const;
};

class TestSession {
 public:
  // Starts a test on questions first..last (1-based), the working range, and
  // draws the first one. A range outside the bank asks nothing, so no draw ever leaves it.
  TestSession(const QuestionBank& bank, std::uint16_t first, std::uint16_t last, Random& random,
              std::int64_t startMs);

  bool running() const { return results_.end == TestEnd::Running; }
  // Starts the clock anew, before the first tick: the time spent keeping the
  // test's start mark is not the candidate's.
  void restartClock(std::int64_t nowMs) { startMs_ = nowMs; }
  const TestResults& results() const { return results_; }
  // 0-based position of the question on show.
  std::uint16_t CurrentQuestion() const { return current_; }
  // The row of marks, "+ " for a right answer and "- " for a wrong one.
  const std::string& marks() const { return marks_; }
  // Seconds left, for the countdown.
  int remainingSeconds() const { return results_.TimeLimitSeconds - results_.ElapsedSeconds; }

  // An answer: chosen is the 0-based position of the picked option among those
  // shown, digit its option digit. Ignored (false) once the test is over.
  bool answer(std::size_t chosen, int digit);
  // A clock tick with the monotonic time in milliseconds. The elapsed time is
  // measured, not counted, so late or dropped ticks buy no time. Returns true
  // when this tick ended the test.
  bool tick(std::int64_t nowMs);

 private:
  void drawNext();

  const QuestionBank& bank_;
  Random& random_;
  std::int64_t startMs_;
  std::uint16_t drawFirst_ = 1;
  std::uint16_t current_ = 0;
  std::string marks_;
  TestResults results_;
};

// The countdown as the window shows it: "10:00", "09:59", "00:01".
std::string remainingTimeText(int seconds);
