#pragma once
// The question bank of one topic (or of all topics), built from vopros.txt,
// otvet.txt and konsult.txt. Texts are code page 1251 bytes.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/data_error.h"

struct QuestionBank {
  std::vector<std::string> QuestionTexts;    // entry i is question i+1, without its 9-character prefix
  std::vector<std::uint16_t> QuestionFlags;  // correct option digit of each question
  std::vector<std::string> AnswerTexts;      // answer lines as written ("_2_text")
  std::vector<std::string> AnswerQuestionSets;  // the set that governs each answer line
  std::vector<std::string> ConsultTexts;     // the set of each consultation block
  std::vector<std::vector<std::string>> ConsultBlocks;  // the content lines of each block
};

struct BankLoad {
  QuestionBank bank;               // what was built up to the first fault
  std::optional<DataError> error;  // the first fault, if any
  // A mode may run on the bank only when it loaded whole and holds a question.
  bool usable() const { return !error && !bank.QuestionTexts.empty(); }
};

// Loads the bank from the three files in folder (a path ending in '/', or empty
// for the current directory). selectedTopic 0 loads topics 1..topicCount-1 one
// after the other, renumbering their sets into positions of the combined list.
// With everyFault the load does not stop at a fault: it notes each one there,
// reads on past the line and leaves BankLoad::error empty (the course checker).
BankLoad loadBank(const std::string& folder, unsigned selectedTopic, unsigned topicCount,
                  std::vector<DataError>* everyFault = nullptr);
