#include "study/tickets.h"

#include <algorithm>

#include "platform/cp1251.h"

std::uint16_t ticketCount(std::size_t questionCount) {
  return static_cast<std::uint16_t>(
      std::min<std::size_t>(questionCount / kQuestionsPerTicket, UINT16_MAX));
}

std::vector<std::size_t> ticketQuestions(std::size_t questionCount, unsigned ticket) {
  const std::size_t count = ticketCount(questionCount);
  std::vector<std::size_t> numbers;
  if (ticket < 1 || ticket > count) return numbers;
  for (std::size_t i = 0; i < kQuestionsPerTicket; ++i) numbers.push_back(ticket + i * count);
  return numbers;
}

std::vector<std::string> ticketPage(const std::vector<std::string>& questionTexts,
                                    unsigned ticket) {
  if (ticketCount(questionTexts.size()) == 0) return {cp("Вопросов меньше десяти: билетов нет.")};
  std::vector<std::string> page;
  for (std::size_t number : ticketQuestions(questionTexts.size(), ticket)) {
    page.push_back("   " + questionTexts[number - 1]);
    page.push_back(" ");
  }
  return page;
}
