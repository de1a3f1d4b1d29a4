#include "results/tables.h"

#include <charconv>

#include "exam/records_server.h"
#include "platform/cp1251.h"

std::string csvField(std::string_view utf8, bool typedText) {
  std::string field;
  // A leading = + - @ (or a tab or CR, which some spreadsheets skip) would
  // make the cell a formula; blanks before it do not stop that.
  if (typedText) {
    const std::size_t first = utf8.find_first_not_of(' ');
    if (first != std::string_view::npos &&
        std::string_view("=+-@\t\r").find(utf8[first]) != std::string_view::npos)
      field = "'";
  }
  field += utf8;
  if (field.find_first_of(",;\"\r\n") == std::string::npos) return field;
  std::string quoted = "\"";
  for (char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string decimal(double value) {
  char buffer[32];
  const auto end =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2).ptr;
  return std::string(buffer, end);
}

std::string modeName(bool exam) { return exam ? "экзамен" : "зачет"; }

std::string recordsCsvHeader(bool fromServer) {
  std::string header(kRecordsCsvHeader);
  if (fromServer) header.insert(header.size() - 2, ",seat,account,address,server_time");
  return header;
}

void appendRecordRow(std::string& out, const LogRecord& r, const ServerRow* server) {
  const ReportValues& v = r.values;
  out += modeName(v.exam);
  for (const std::string* text : {&v.date, &v.time, &v.name, &v.code, &v.group, &v.topic}) {
    out += ',';
    out += csvField(utf8FromCp1251(*text), true);
  }
  out += ',';
  out += csvField(utf8FromCp1251(v.range));
  for (int figure : {r.seconds, r.answers, r.errors}) {
    out += ',';
    out += std::to_string(figure);
  }
  out += ',';
  out += csvField(utf8FromCp1251(v.result));
  if (server)
    for (const std::string* text :
         {&server->host, &server->account, &server->address, &server->serverTime})
      out += ',' + csvField(*text, true);
  out += "\r\n";
}

void appendUnfinishedRow(std::string& out, const UnfinishedTest& u) {
  const StartMark& m = u.mark;
  out += modeName(m.exam);
  for (const std::string* text : {&m.date, &m.time, &m.topic, &m.range, &m.code, &m.name, &m.group})
    out += ',' + csvField(utf8FromCp1251(*text), true);
  for (const std::string* text : {&u.seat, &u.account, &u.address, &u.serverTime})
    out += ',' + csvField(*text, true);
  out += ',' + csvField(utf8FromCp1251(m.id), true) + ',' + csvField(u.journal, true) + ',' +
         (u.line ? std::to_string(u.line) : std::string()) + "\r\n";
}

void appendImpossibleRow(std::string& out, const ImpossibleRecord& r) {
  const ReportValues& v = r.values;
  out += csvField(r.log, true) + ',' + (r.line ? std::to_string(r.line) : std::string()) + ',' +
         csvField(utf8FromCp1251(r.reason)) + ',' + modeName(v.exam);
  for (const std::string* text : {&v.date, &v.time, &v.name, &v.code, &v.group, &v.topic})
    out += ',' + csvField(utf8FromCp1251(*text), true);
  out += ',' + csvField(utf8FromCp1251(v.result), true) + "\r\n";
}

std::string recordsCsv(const std::vector<LogRecord>& records) {
  std::string out(kRecordsCsvHeader);
  for (const LogRecord& r : records) appendRecordRow(out, r);
  return out;
}

std::string questionsCsv(const std::vector<QuestionStats>& questions) {
  // The first six columns are as they always were; the rest came later.
  std::string out = "topic,question,asked,right,facility,discrimination,right_option";
  for (unsigned option = 1; option <= kOptionDigits; ++option)
    out += ",chosen_" + std::to_string(option);
  out += ",chosen_other,never_chosen,chosen_over_right,course_topic,number_in_topic,text\r\n";
  for (const QuestionStats& q : questions) {
    out += csvField(utf8FromCp1251(q.topic), true) + ',' + std::to_string(q.question) + ',' +
           std::to_string(q.asked) + ',' + std::to_string(q.right) + ',' + decimal(q.facility) +
           ',' + (q.discrimination ? decimal(*q.discrimination) : std::string()) + ',';
    out += digits(q.rightOptions());
    for (unsigned option = 1; option <= kOptionDigits; ++option)
      out += ',' + std::to_string(q.chosen[option]);
    out += ',' + std::to_string(q.chosenOther) + ',' + digits(q.neverChosen()) + ',' +
           digits(q.chosenOverRight());
    if (q.course) {
      out += ',' + csvField(utf8FromCp1251(q.course->topic), true) + ',' +
             std::to_string(q.course->number) + ',' +
             csvField(utf8FromCp1251(q.course->textStart), true);
    } else {
      out += ",,,";
    }
    out += "\r\n";
  }
  return out;
}

std::string candidatesCsv(const Summary& s) {
  // unfinished came later than the other columns: it stands last.
  std::string out =
      "code,name,group,tests,last_date,last_time,last_mode,last_result,passed,unfinished\r\n";
  for (const CandidateStats& c : s.candidates) {
    for (std::uint32_t text : {c.code, c.name, c.group})
      out += csvField(utf8FromCp1251(s.strings.text(text)), true) + ',';
    out += std::to_string(c.tests) + ',';
    if (c.tests > 0) {
      for (std::uint32_t text : {c.lastDate, c.lastTime})
        out += csvField(utf8FromCp1251(s.strings.text(text)), true) + ',';
      out += modeName(c.lastExam) + ',' +
             csvField(utf8FromCp1251(gradeScale(c.lastExam)[c.lastGrade].text)) + ',';
    } else {
      out += ",,,,";  // no record: only unfinished tests
    }
    out += std::string(c.passed() ? "да" : "нет") + ',' + std::to_string(c.unfinished) + "\r\n";
  }
  return out;
}
