#pragma once
// The logs against the records server. Every seat sends the server the same
// record it appends to its log, and the server lets no one change or delete
// one; so a log record the server lacks was edited or planted in the log, and
// a server record that no named log holds was deleted from it (or its log was
// not named). Records are matched by their text, as the program writes it.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "exam/records_server.h"
#include "results/log_reader.h"

struct Mismatch {
  enum class Kind {
    ChangedInLog,  // a log record and a server record of the same test, different texts
    NotOnServer,   // a log record the server lacks
    NotInLogs,     // a server record no named log holds
    SameTest,      // a server record no log holds, and another record has the same test's id
  };
  Kind kind = Kind::NotOnServer;
  bool exam = true;
  std::string date, time, name, code, group;  // code page 1251
  std::string serverResult, logResult;        // code page 1251; empty on the side that has none
  std::string log;                            // the log's name as given, UTF-8 (or as typed)
  std::size_t line = 0;                       // the record's line in it
  std::string host, address, serverTime, id;  // of the server's record, UTF-8
};

// "изменена в журнале", "нет на сервере", "нет в журналах",
// "вторая запись того же теста" (UTF-8).
std::string_view mismatchKindText(Mismatch::Kind kind);

class LogServerComparison {
 public:
  // The mode's server records are compared: a log of that mode is named.
  void coverMode(bool exam) { (exam ? exams_ : passFail_) = true; }
  // First every log record compared, then every server record.
  void addLogRecord(const LogRecord& record, const std::string& log);
  // parsed: the record read from the row's payload, or nullptr when it could not be.
  void addServerRecord(const LogRecord* parsed, const ServerRow& row);
  // What did not match, server records first in the order they came, then the logs'.
  std::vector<Mismatch> finish();

 private:
  struct Entry {
    Mismatch seen;
    bool matched = false;
  };
  bool exams_ = false, passFail_ = false;
  std::vector<Entry> logRecords_;
  std::unordered_map<std::string, std::vector<std::size_t>> byText_;  // unmatched log records
  std::vector<Mismatch> serverOnly_;
};

// mismatches.csv: UTF-8, a header line, one row per mismatch.
std::string mismatchesCsv(const std::vector<Mismatch>& mismatches);
