#pragma once
// The question bank of one topic (or of all topics), built from vopros.txt,
// otvet.txt and konsult.txt. Texts are code page 1251 bytes.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/data_error.h"

// The set of each answer line. All answer lines after one set line share its
// set, so it is kept once with the first line it governs: the bank grows with
// the file, not with the file times the length of a set.
class AnswerSetList {
 public:
  AnswerSetList() = default;
  AnswerSetList(std::initializer_list<std::string> sets);
  AnswerSetList(const std::vector<std::string>& sets);  // NOLINT: a list of sets is one

  // Appends an answer line governed by set.
  void push_back(std::string set);
  // Appends an answer line governed by the same set as the line before it.
  void repeatLast();

  const std::string& operator[](std::size_t i) const;  // i < size()
  const std::string& back() const { return runs_.back().set; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  friend bool operator==(const AnswerSetList& a, const AnswerSetList& b);
  friend bool operator==(const AnswerSetList& a, const std::vector<std::string>& b);

 private:
  struct Run {
    std::size_t first;  // the first answer line the set governs
    std::string set;
  };
  std::vector<Run> runs_;
  std::size_t size_ = 0;
};

struct QuestionBank {
  std::vector<std::string>
      QuestionTexts;  // entry i is question i+1, without its 9-character prefix
  std::vector<std::uint16_t> QuestionFlags;             // correct option digit of each question
  std::vector<std::string> AnswerTexts;                 // answer lines as written ("_2_text")
  AnswerSetList AnswerQuestionSets;                     // the set that governs each answer line
  std::vector<std::string> ConsultTexts;                // the set of each consultation block
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
BankLoad loadBank(const std::string& folder, unsigned selectedTopic, unsigned topicCount);

// Every fault loadBank of all topics would stop at, for the course checker: the
// same rules, reading on past each fault, and the bank read that way.
struct BankFaults {
  QuestionBank bank;
  std::vector<DataError> faults;  // in the order they were met
};
BankFaults collectBankFaults(const std::string& folder, unsigned topicCount);
// The same, each fault handed to onFault as it is met rather than kept, so that a
// file of millions of faulty lines is checked in little room; returns the number
// of questions of all topics.
std::size_t collectBankFaults(const std::string& folder, unsigned topicCount,
                              const std::function<void(DataError)>& onFault);

// The three files' bytes, for loading without a folder; nullopt is a missing file.
struct CourseTexts {
  std::optional<std::string> questions;      // vopros.txt
  std::optional<std::string> answers;        // otvet.txt
  std::optional<std::string> consultations;  // konsult.txt
};
BankLoad loadBankFromTexts(CourseTexts texts, unsigned selectedTopic, unsigned topicCount);
