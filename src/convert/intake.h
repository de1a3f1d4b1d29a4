#pragma once
// What every import reader does with a question once it has taken it apart:
// the checks that decide whether it can become a course question.
#include <string>
#include <unordered_map>
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
  bool multipleResponse = false;    // the platform let the student tick several options
  bool penalties = false;           // a wrong option took marks away
};

// Collects the questions of one input file into topics, in order of first use.
class Intake {
 public:
  Intake(ConvertResult& result, std::string file) : result_(result), file_(std::move(file)) {}
  // A question of the topic key (a category path) named title.
  void add(const std::string& topicKey, const std::string& title, const DraftQuestion& draft);
  void leaveOut(unsigned line, std::string message) { note(line, std::move(message), true); }
  void note(unsigned line, std::string message, bool leftOut = false);
  // The first part of the category paths (without "$course$" and "top") when every
  // topic lies below it: the course's own name, or "" when the paths do not give one.
  std::string topCategory() const;

 private:
  ConvertResult& result_;
  std::string file_;
  std::unordered_map<std::string, std::size_t> topics_;  // topic key -> index in result_.course
  std::vector<std::string> keys_;                        // in order of first use
};
