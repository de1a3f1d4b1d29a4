#pragma once
// The records, the question analysis and the candidates as CSV for a
// spreadsheet: UTF-8, comma-separated, RFC 4180 quoting, CR LF line ends, a
// header line. records.csv is written row by row as the logs are read.
#include <string>
#include <string_view>
#include <vector>

#include "results/analysis.h"

// A field quoted when it holds a comma, a semicolon (the separator of a
// spreadsheet in a Russian locale), a double quote or a line break; a typed
// text that a spreadsheet would take for a formula is kept as text.
std::string csvField(std::string_view utf8, bool typedText = false);

// A figure with a point and two decimals, whatever the locale: "0.73", "-0.20".
std::string decimal(double value);

// "экзамен" or "зачет", in UTF-8.
std::string modeName(bool exam);

inline constexpr std::string_view kRecordsCsvHeader =
    "mode,date,time,name,code,group,topic,range,seconds,answers,errors,result\r\n";
// Appends the record's row of records.csv.
void appendRecordRow(std::string& out, const LogRecord& record);

std::string recordsCsv(const std::vector<LogRecord>& records);
std::string questionsCsv(const std::vector<QuestionStats>& questions);
std::string candidatesCsv(const Summary& summary);
