#pragma once
// What every import reader does with a question once it has taken it apart:
// the checks that decide whether it can become a course question.
#include <string>
#include <vector>

#include "convert/question_set.h"
#include "convert/text.h"

struct DraftQuestion {
  unsigned line = 0;
  PlainText text;
  std::vector<PlainText> options;
  std::vector<bool> right;  // per option
  PlainText consultation;
  bool optionFeedbackLost = false;  // feedback on single options, which the course cannot show
};

// Collects the questions of one input file into topics, in order of first use.
class Intake {
 public:
  Intake(ConvertResult& result, std::string file) : result_(result), file_(std::move(file)) {}
  // A question of the topic key (a category path) named title.
  void add(const std::string& topicKey, const std::string& title, const DraftQuestion& draft);
  void leaveOut(unsigned line, std::string message) { note(line, std::move(message), true); }
  void note(unsigned line, std::string message, bool leftOut = false);

 private:
  ConvertResult& result_;
  std::string file_;
  std::vector<std::string> keys_;  // per topic of result_.course
};
