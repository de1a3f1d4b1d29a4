#pragma once
// The evaluation of a finished test and its protocol record. Texts are code
// page 1251 bytes; the record is exactly what is appended to the log.
#include <cstdint>
#include <string>
#include <vector>

#include "bank/session_state.h"
#include "exam/test_session.h"

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

struct Grade {
  std::string text;  // "5 - отл." ... "2 - неуд.", or "зачет" / "незачет"
  Rgb colour;
};

// The grading table of the exam and the pass/fail rule, by the error count.
Grade gradeFor(bool exam, int errorCount);

struct Evaluation {
  int rightAnswers = 0;
  int errorCount = 0;  // with the unanswered questions of a time-out added
  bool timedOut = false;
  bool earlyStop = false;  // stopped by the error limit before the last question
  Grade grade;
};

Evaluation evaluate(const TestResults& results, bool exam);

// Everything the report shows and the record repeats, as display texts.
struct ReportValues {
  bool exam = true;
  std::string date, time;  // "05.03.2024", "07:08:09"
  std::string name, code, group;
  std::string timeUsed;  // "245 сек"
  std::string topic;
  std::string range;    // "с 1 по 40"
  std::string answers;  // answers given
  std::string errors;   // errors after the time-out adjustment
  std::string result;   // the grade text
  struct Entry {
    unsigned question = 0;
    unsigned option = 0;
    bool right = false;
  };
  std::vector<Entry> listing;  // one per answer, in the order given
};

struct ReportInput {
  bool exam = true;
  std::string date, time, name, code, group, topic;
  std::uint16_t rangeFirst = 0, rangeLast = 0;
};

// The candidate, topic and range of a test as it started; date and time are the caller's.
ReportInput reportInputOf(const SessionState& started);

ReportValues makeReportValues(const ReportInput& input, const TestResults& results,
                              const Evaluation& evaluation);

// A range as the report and the record show it: "с 1 по 40".
std::string rangeText(unsigned first, unsigned last);

// A listing column: the question number over the chosen option, "17\r3(+)".
std::string listingCaption(const ReportValues::Entry& entry);

// A value never breaks a record's lines: whatever a line end or another control
// character does in a title or a typed field, it becomes a blank.
std::string oneLine(std::string value);

// The 18-line protocol record, every line ending in CR LF.
std::string makeRecord(const ReportValues& values);

// The log a mode writes to.
inline const char* logFileName(bool exam) { return exam ? "ekzam.log" : "zachet.log"; }
