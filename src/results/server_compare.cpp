#include "results/server_compare.h"

#include <map>
#include <tuple>

#include "exam/report.h"
#include "platform/cp1251.h"
#include "results/tables.h"

namespace {

Mismatch fieldsOf(const ReportValues& v) {
  Mismatch m;
  m.exam = v.exam;
  m.date = v.date;
  m.time = v.time;
  m.name = v.name;
  m.code = v.code;
  m.group = v.group;
  return m;
}

// The same test on both sides: its mode, when it ended and who took it.
using TestKey = std::tuple<bool, std::string, std::string, std::string, std::string>;
TestKey keyOf(const Mismatch& m) { return {m.exam, m.date, m.time, m.code, m.name}; }

}  // namespace

std::string_view mismatchKindText(Mismatch::Kind kind) {
  switch (kind) {
    case Mismatch::Kind::ChangedInLog:
      return "изменена в журнале";
    case Mismatch::Kind::NotOnServer:
      return "нет на сервере";
    case Mismatch::Kind::NotInLogs:
      return "нет в журналах";
    case Mismatch::Kind::SameTest:
      return "вторая запись того же теста";
  }
  return {};
}

void LogServerComparison::addLogRecord(const LogRecord& record, const std::string& log) {
  Entry e{fieldsOf(record.values)};
  e.seen.logResult = record.values.result;
  e.seen.log = log;
  e.seen.line = record.line;
  // The record as the program writes it: a log re-saved with other line ends
  // or without trailing blanks still matches, any changed character does not.
  byText_[makeRecord(record.values)].push_back(logRecords_.size());
  logRecords_.push_back(std::move(e));
}

void LogServerComparison::addServerRecord(const LogRecord* parsed, const ServerRow& row) {
  if (!(row.exam ? exams_ : passFail_)) return;
  if (parsed) {
    const auto found = byText_.find(makeRecord(parsed->values));
    if (found != byText_.end() && !found->second.empty()) {
      logRecords_[found->second.back()].matched = true;
      found->second.pop_back();
      return;
    }
  }
  Mismatch m = parsed ? fieldsOf(parsed->values) : Mismatch{};
  m.kind = row.sharedId ? Mismatch::Kind::SameTest : Mismatch::Kind::NotInLogs;
  m.exam = row.exam;
  if (parsed) m.serverResult = parsed->values.result;
  m.host = row.host;
  m.address = row.address;
  m.serverTime = row.serverTime;
  m.id = row.id;
  serverOnly_.push_back(std::move(m));
}

std::vector<Mismatch> LogServerComparison::finish() {
  // A server record and a log record of the same test that differ: the log was edited.
  std::map<TestKey, std::vector<std::size_t>> serverByTest;
  for (std::size_t k = serverOnly_.size(); k-- > 0;)
    serverByTest[keyOf(serverOnly_[k])].push_back(k);
  std::vector<bool> paired(serverOnly_.size(), false);
  std::vector<Mismatch> logOnly;
  for (Entry& e : logRecords_) {
    if (e.matched) continue;
    Mismatch m = std::move(e.seen);
    const auto found = serverByTest.find(keyOf(m));
    if (found != serverByTest.end() && !found->second.empty()) {
      const std::size_t k = found->second.back();
      found->second.pop_back();
      paired[k] = true;
      Mismatch& server = serverOnly_[k];
      if (server.kind == Mismatch::Kind::NotInLogs) server.kind = Mismatch::Kind::ChangedInLog;
      server.logResult = m.logResult;
      server.log = m.log;
      server.line = m.line;
      continue;
    }
    m.kind = Mismatch::Kind::NotOnServer;
    logOnly.push_back(std::move(m));
  }
  std::vector<Mismatch> all = std::move(serverOnly_);
  for (Mismatch& m : logOnly) all.push_back(std::move(m));
  logRecords_.clear();
  byText_.clear();
  serverOnly_.clear();
  return all;
}

std::string mismatchesCsv(const std::vector<Mismatch>& mismatches) {
  std::string out =
      "kind,mode,date,time,name,code,group,server_result,log_result,log,line,seat,address,"
      "server_time,id\r\n";
  for (const Mismatch& m : mismatches) {
    out += csvField(mismatchKindText(m.kind)) + ',' + modeName(m.exam);
    for (const std::string* text : {&m.date, &m.time, &m.name, &m.code, &m.group})
      out += ',' + csvField(utf8FromCp1251(*text), true);
    out += ',' + csvField(utf8FromCp1251(m.serverResult)) + ',' +
           csvField(utf8FromCp1251(m.logResult)) + ',' + csvField(m.log, true) + ',' +
           (m.line ? std::to_string(m.line) : std::string()) + ',' + csvField(m.host, true) + ',' +
           csvField(m.address) + ',' + csvField(m.serverTime) + ',' + csvField(m.id) + "\r\n";
  }
  return out;
}
