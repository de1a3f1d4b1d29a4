#pragma once
// A question bank as the exchange formats and the course folder share it:
// topics of single-answer questions. Texts here are UTF-8; the course folder's
// code page 1251 is met only where its files are read and written.
#include <cstddef>
#include <string>
#include <vector>

struct ExchangeQuestion {
  std::string text;                       // one line
  std::vector<std::string> options;       // in order; the course numbers them 1, 2, ...
  std::size_t right = 0;                  // index into options
  std::vector<std::string> consultation;  // the explanation's lines; may be empty
  unsigned line = 0;                      // where the question starts in its source (for messages)
};

struct ExchangeTopic {
  std::string title;
  std::vector<ExchangeQuestion> questions;
};

struct ExchangeCourse {
  std::vector<ExchangeTopic> topics;
  std::string name;  // the course's own name, "" when the input gives none
  std::size_t questionCount() const {
    std::size_t n = 0;
    for (const ExchangeTopic& t : topics) n += t.questions.size();
    return n;
  }
};

// Something that could not be carried over. leftOut: the question was not
// converted at all; otherwise it was, without what the message names.
struct ConvertNote {
  std::string file;
  unsigned line = 0;    // 0: the whole file
  std::string message;  // UTF-8, Russian
  bool leftOut = false;
};

struct ConvertResult {
  ExchangeCourse course;
  std::vector<ConvertNote> notes;
  bool readable = true;  // false: the input could not be read or parsed at all
  std::size_t leftOut() const {
    std::size_t n = 0;
    for (const ConvertNote& note : notes) n += note.leftOut ? 1 : 0;
    return n;
  }
};
