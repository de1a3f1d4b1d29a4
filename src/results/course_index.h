#pragma once
// The questions of the course the logs were written with, so that the tables
// can say which question "вопрос 17" of a record is: its topic, its number
// within the topic and the start of its text. Read through the program's own
// loader; texts are code page 1251.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "results/analysis.h"

class CourseIndex {
 public:
  // Loads the course folder (main.txt and the question files). Topics that do
  // not load are left out and named in `faults` (code page 1251).
  static CourseIndex load(const std::string& folder, std::vector<std::string>& faults);

  // The question numbered `question` in records of the topic with this caption.
  std::optional<CourseQuestion> find(const std::string& topicCaption, unsigned question) const;

 private:
  // By the caption a record names its topic with: each topic's title, and the
  // all-topics entry, which numbers the questions across the whole course.
  std::map<std::string, std::vector<CourseQuestion>> byCaption_;
};

// Characters of a question's text the tables show.
constexpr std::size_t kTextStart = 60;
