#pragma once
// Reading the protocol logs back: the inverse of makeRecord. A record that is
// not exactly what the program writes (cut short by a failed write, edited by
// hand, re-saved in another encoding) is skipped and named by its line, and
// reading goes on with the next record. Texts are code page 1251 bytes.
//
// The logs of a school's shared folder grow for years, so they are read
// through a small buffer, one record at a time: memory stays the same
// whatever their size.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "exam/report.h"

struct LogRecord {
  ReportValues values;
  // The numbers the record's texts carry.
  int seconds = 0;                         // "245 сек"
  unsigned rangeFirst = 0, rangeLast = 0;  // "с 1 по 40"
  int answers = 0, errors = 0;
  int right = 0;         // entries of the listing marked (+)
  int grade = 0;         // index into gradeScale(values.exam)
  std::size_t line = 0;  // 1-based line of its "=====" line in the log
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

// Where the log's bytes come from: fills up to `size` bytes and returns how
// many, 0 at the end, -1 on a read error (errno says which).
using ByteSource = std::function<long(char* into, std::size_t size)>;

// A line longer than this is no line the program writes; it is kept cut and
// its record skipped, so that a file without line ends cannot fill the memory.
constexpr std::size_t kLongestLogLine = 64 * 1024;

// Reads the log record by record. The record handed to onRecord is reused for
// the next one. Returns 0, or the errno of a failed read (what came before it
// has been handed on).
int readLog(const ByteSource& source, const std::function<void(const LogRecord&)>& onRecord,
            const std::function<void(const SkippedRecord&)>& onSkipped);

// The lines of any text read the same careful way (for the start journals):
// each with its 1-based number; a line longer than kLongestLogLine comes cut,
// with `cut` set. Returns 0, or the errno of a failed read.
int readLines(
    const ByteSource& source,
    const std::function<void(std::string_view line, std::size_t number, bool cut)>& onLine);

// The same over bytes in memory; the records are appended to `into`.
void readLog(std::string_view text, LogContents& into);
