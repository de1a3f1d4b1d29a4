#include "results/tables.h"

#include <charconv>

#include "platform/cp1251.h"

std::string csvField(std::string_view utf8, bool typedText) {
  std::string field;
  // A leading = + - @ would make a spreadsheet run the cell as a formula.
  if (typedText && !utf8.empty() && std::string_view("=+-@").find(utf8[0]) != std::string_view::npos)
    field = "'";
  field += utf8;
  if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string decimal(double value) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2).ptr;
  return std::string(buffer, end);
}

std::string modeName(bool exam) { return exam ? "экзамен" : "зачет"; }

std::string recordsCsv(const std::vector<LogRecord>& records) {
  std::string out = "mode,date,time,name,code,group,topic,range,seconds,answers,errors,result\r\n";
  out.reserve(records.size() * 120);
  for (const LogRecord& r : records) {
    const ReportValues& v = r.values;
    out += modeName(v.exam);
    for (const std::string* text : {&v.date, &v.time, &v.name, &v.code, &v.group, &v.topic})
      out += ',' + csvField(utf8FromCp1251(*text), true);
    out += ',' + csvField(utf8FromCp1251(v.range));
    out += ',' + std::to_string(r.seconds) + ',' + std::to_string(r.answers) + ',' + std::to_string(r.errors);
    out += ',' + csvField(utf8FromCp1251(v.result)) + "\r\n";
  }
  return out;
}

std::string questionsCsv(const std::vector<QuestionStats>& questions) {
  std::string out = "topic,question,asked,right,facility,discrimination\r\n";
  for (const QuestionStats& q : questions) {
    out += csvField(utf8FromCp1251(q.topic), true) + ',' + std::to_string(q.question) + ',' +
           std::to_string(q.asked) + ',' + std::to_string(q.right) + ',' + decimal(q.facility) + ',' +
           (q.discrimination ? decimal(*q.discrimination) : std::string()) + "\r\n";
  }
  return out;
}
