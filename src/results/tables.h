#pragma once
// The records, the question analysis, the candidates, the unfinished tests
// and the records that cannot be true as CSV for a spreadsheet or a script: UTF-8, comma-separated,
// RFC 4180 quoting, CR LF line ends, a header line. records.csv is written row by row as the logs
// are read.
#include <string>
#include <string_view>
#include <vector>

#include "results/analysis.h"

struct ServerRow;

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
// Read from the records server, a record has the server's columns after these.
std::string recordsCsvHeader(bool fromServer);
// Appends the record's row of records.csv, with the server's columns when it came from there.
void appendRecordRow(std::string& out, const LogRecord& record, const ServerRow* server = nullptr);

// unfinished.csv: one row per test begun and never finished, as its start mark
// has it (the mark's own order), with where the mark was read: the records
// server (account, address, server time) or a start journal (journal, line).
inline constexpr std::string_view kUnfinishedCsvHeader =
    "mode,date,time,topic,range,code,name,group,seat,account,address,server_time,id,journal,"
    "line\r\n";
void appendUnfinishedRow(std::string& out, const UnfinishedTest& test);

// impossible.csv: one row per record that cannot be true, with where it stands and why.
inline constexpr std::string_view kImpossibleCsvHeader =
    "log,line,reason,mode,date,time,name,code,group,topic,result\r\n";
void appendImpossibleRow(std::string& out, const ImpossibleRecord& record);

std::string recordsCsv(const std::vector<LogRecord>& records);
std::string questionsCsv(const std::vector<QuestionStats>& questions);
std::string candidatesCsv(const Summary& summary);
