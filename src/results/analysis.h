#pragma once
// What the teacher reads off the records: how many tests of each mode, the
// grades per mode and group, and how each question fared.
#include <optional>
#include <string>
#include <vector>

#include "results/log_reader.h"

struct GradeChart {
  bool exam = true;
  std::string group;        // code page 1251
  std::vector<int> counts;  // per grade of gradeScale(exam)
  int total = 0;
};

struct QuestionStats {
  std::string topic;  // the topic caption, code page 1251
  unsigned question = 0;
  int asked = 0, right = 0;
  double facility = 0;                  // right / asked
  std::optional<double> discrimination; // upper 27 % minus lower 27 %; none below 10 records
  // A question most fail, or one the weaker candidates answer better.
  bool worthALook() const { return facility < 0.3 || (discrimination && *discrimination < 0); }
};

struct Summary {
  int exams = 0, passFail = 0;
  std::vector<GradeChart> charts;        // exams first, then by group
  std::vector<QuestionStats> questions;  // by topic, then question number
};

// Records asking a question before its discrimination means something.
constexpr int kMinRecordsForDiscrimination = 10;

Summary summarise(const std::vector<LogRecord>& records);
