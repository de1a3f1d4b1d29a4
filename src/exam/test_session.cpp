#include "exam/test_session.h"

#include <algorithm>

#include "bank/question_card.h"
#include "bank/range_file.h"

int TestResults::questionsInTest() const { return std::min<int>(kQuestionsPerTest, DrawCount); }

TestSession::TestSession(const QuestionBank& bank, std::uint16_t first, std::uint16_t last,
                         Random& random, std::int64_t startMs)
    : bank_(bank), random_(random), startMs_(startMs) {
  // The working range is decided before the test (workingRange); one the bank
  // cannot serve is refused here, never read past.
  drawFirst_ = first;
  if (withinBank({first, last}, bank.QuestionTexts.size()))
    results_.DrawCount = static_cast<std::uint16_t>(last - first + 1);
  if (results_.DrawCount == 0) {
    results_.end = TestEnd::RangeUsedUp;
    return;
  }
  drawNext();
}

void TestSession::drawNext() {
  // Uniform among the questions not asked yet: the same chance as drawing from
  // the whole range until a new one comes up, without ever looping.
  const auto asked = static_cast<unsigned>(results_.AnswerCount);
  unsigned r = random_.below(results_.DrawCount - asked);
  for (unsigned number = drawFirst_;; ++number) {
    const auto* begin = results_.AskedQuestions.begin();
    if (std::find(begin, begin + asked, number) != begin + asked) continue;
    if (r-- == 0) {
      current_ = static_cast<std::uint16_t>(number - 1);
      return;
    }
  }
}

bool TestSession::answer(std::size_t chosen, int digit) {
  if (!running()) return false;
  const int k = results_.AnswerCount;
  const bool right = isRightAnswer(bank_, current_, digit);
  results_.AnswerResults[static_cast<std::size_t>(k)] = right ? 1 : 0;
  if (!right) ++results_.ErrorCount;
  marks_ += right ? "+ " : "- ";
  results_.ChosenOptions[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(chosen + 1);
  results_.AskedQuestions[static_cast<std::size_t>(k)] = static_cast<std::uint16_t>(current_ + 1);
  ++results_.AnswerCount;

  if (results_.AnswerCount >= kQuestionsPerTest)
    results_.end = TestEnd::TenAnswers;
  else if (results_.ErrorCount >= kErrorLimit)
    results_.end = TestEnd::ErrorLimit;
  else if (results_.AnswerCount >= results_.DrawCount)
    results_.end = TestEnd::RangeUsedUp;
  else
    drawNext();
  return true;
}

bool TestSession::tick(std::int64_t nowMs) {
  if (!running()) return false;
  const std::int64_t seconds = std::max<std::int64_t>(0, (nowMs - startMs_) / 1000);
  results_.ElapsedSeconds =
      static_cast<std::int32_t>(std::min<std::int64_t>(seconds, results_.TimeLimitSeconds));
  if (results_.ElapsedSeconds < results_.TimeLimitSeconds) return false;
  results_.end = TestEnd::TimeOut;
  return true;
}

std::string remainingTimeText(int seconds) {
  seconds = std::max(seconds, 0);
  const int minutes = seconds / 60;
  const int rest = seconds - 60 * minutes;
  auto two = [](int v) { return (v < 10 ? "0" : "") + std::to_string(v); };
  return two(minutes) + ":" + two(rest);
}
