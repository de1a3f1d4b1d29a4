#include "study/tickets.h"

#include <gtest/gtest.h>

#include "platform/cp1251.h"

namespace {
std::vector<std::size_t> numbers(std::size_t from, std::size_t step, std::size_t count) {
  std::vector<std::size_t> result;
  for (std::size_t i = 0; i < count; ++i) result.push_back(from + i * step);
  return result;
}

std::vector<std::string> questions(std::size_t count) {
  std::vector<std::string> texts;
  for (std::size_t i = 1; i <= count; ++i) texts.push_back("Q" + std::to_string(i));
  return texts;
}
}  // namespace

TEST(Tickets, QuestionsAreDealtOutLikeCards) {
  struct Case {
    std::size_t questions;
    unsigned ticket;
    std::vector<std::size_t> want;
  };
  const Case cases[] = {
      {30, 1, numbers(1, 3, 10)},
      {30, 2, numbers(2, 3, 10)},
      {30, 3, numbers(3, 3, 10)},
      {25, 1, numbers(1, 2, 10)},
      {25, 2, numbers(2, 2, 10)},
      {10, 1, numbers(1, 1, 10)},
      {19, 1, numbers(1, 1, 10)},
      {19, 2, {}},
      {30, 0, {}},
      {30, 4, {}},
      {9, 1, {}},
      {0, 1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.questions) + " questions, ticket " + std::to_string(c.ticket));
    EXPECT_EQ(ticketQuestions(c.questions, c.ticket), c.want);
  }
  for (std::size_t n = 10; n <= 19; ++n) EXPECT_EQ(ticketCount(n), 1) << n;
  EXPECT_EQ(ticketCount(9), 0);
  EXPECT_EQ(ticketCount(25), 2);
}

TEST(Tickets, APageIsTwentyLinesOfQuestionAndSpacer) {
  std::vector<std::string> texts = questions(25);
  texts[1] = "   ";  // a filler question
  const std::vector<std::string> page = ticketPage(texts, 2);
  ASSERT_EQ(page.size(), 20u);
  EXPECT_EQ(page[0], "      ");
  EXPECT_EQ(page[1], " ");
  EXPECT_EQ(page[2], "   Q4");
  EXPECT_EQ(page[18], "   Q20");
  EXPECT_EQ(page[19], " ");
}

TEST(Tickets, FewerThanTenQuestionsGiveOneLineThatSaysSo) {
  for (std::size_t n : {0u, 1u, 9u}) {
    const std::vector<std::string> page = ticketPage(questions(n), 1);
    EXPECT_EQ(page, std::vector<std::string>{cp("Вопросов меньше десяти: билетов нет.")}) << n;
  }
}
