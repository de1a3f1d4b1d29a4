#pragma once
// The records and the question analysis as CSV for a spreadsheet: UTF-8,
// comma-separated, RFC 4180 quoting, CR LF line ends, a header line.
#include <string>
#include <string_view>
#include <vector>

#include "results/analysis.h"

// A field quoted when it holds a comma, a double quote or a line break; a
// typed text that a spreadsheet would take for a formula is kept as text.
std::string csvField(std::string_view utf8, bool typedText = false);

// A figure with a point and two decimals, whatever the locale: "0.73", "-0.20".
std::string decimal(double value);

// "экзамен" or "зачет", in UTF-8.
std::string modeName(bool exam);

std::string recordsCsv(const std::vector<LogRecord>& records);
std::string questionsCsv(const std::vector<QuestionStats>& questions);
