#pragma once
// The question browser's tickets: the questions are dealt out to the tickets in
// turn, like cards, ten to a ticket.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr std::size_t kQuestionsPerTicket = 10;

// Number of whole tickets; the questions above 10 * count belong to none.
std::uint16_t ticketCount(std::size_t questionCount);

// The 1-based question numbers on ticket p: p, p + T, ..., p + 9T with T the
// ticket count. Empty for a ticket that does not exist.
std::vector<std::size_t> ticketQuestions(std::size_t questionCount, unsigned ticket);

// The page of ticket p: three blanks and the question's text, then a line of
// one blank, for each of its ten questions. A bank without tickets gets one
// line that says so.
std::vector<std::string> ticketPage(const std::vector<std::string>& questionTexts, unsigned ticket);
