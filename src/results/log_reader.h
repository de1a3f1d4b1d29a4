#pragma once
// Reading the protocol logs back: the inverse of makeRecord. A record that is
// not exactly what the program writes (cut short by a failed write, edited by
// hand, re-saved in another encoding) is skipped and named by its line, and
// reading goes on with the next record. Texts are code page 1251 bytes.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "exam/report.h"

struct LogRecord {
  ReportValues values;
  // The numbers the record's texts carry.
  int seconds = 0;                       // "245 сек"
  unsigned rangeFirst = 0, rangeLast = 0; // "с 1 по 40"
  int answers = 0, errors = 0;
  int right = 0;                         // entries of the listing marked (+)
  int grade = 0;                         // index into gradeScale(values.exam)
  std::size_t line = 0;                  // 1-based line of its "=====" line in the log
};

struct SkippedRecord {
  std::size_t line = 0;  // 1-based line where the fault was found
  std::string reason;    // code page 1251, a short Russian phrase
};

struct LogContents {
  std::vector<LogRecord> records;
  std::vector<SkippedRecord> skipped;
};

// The grades a mode can give, best first: "5 - отл." ... "2 - неуд.", or "зачет", "незачет".
const std::vector<Grade>& gradeScale(bool exam);

// Reads every record of a log's bytes; the records are appended to `into`.
void readLog(std::string_view text, LogContents& into);
