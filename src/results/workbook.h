#pragma once
// results.xlsx: the tables of the CSV files for a spreadsheet, which opens a
// UTF-8 CSV file in one column of garbled text in a Russian locale. One sheet
// per table with the CSV file's columns under Russian headers, figures as
// numbers, dates and times as such, the header row frozen and the columns
// set to a readable width.
//
// Written with libxlsxwriter in its constant-memory mode: each row goes out
// to a temporary file as it comes, so the records can stream in as the logs
// are read and memory stays the same whatever their size. A sheet holds the
// most rows a spreadsheet opens (1,048,576 with the header); more records go
// on to a second sheet of the same columns.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "results/analysis.h"

struct Mismatch;
struct ServerRow;

class Workbook {
 public:
  // path: where the workbook is written; tmpdir: a folder for its temporaries.
  // With the records server as the source, records carry its columns too.
  Workbook(const std::string& path, const std::string& tmpdir, bool fromServer = false);
  ~Workbook();
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  void addRecord(const LogRecord& record, const ServerRow* server = nullptr);
  void addImpossible(const ImpossibleRecord& record);
  void addUnfinished(const UnfinishedTest& test);
  // Once, after the records.
  void addQuestions(const std::vector<QuestionStats>& questions);
  void addCandidates(const Summary& summary);
  // The logs compared with the records server, when they were.
  void addMismatches(const std::vector<Mismatch>& mismatches);
  // Writes the file. Nothing when it is written, else why not (UTF-8).
  std::optional<std::string> close();

 private:
  struct State;
  std::unique_ptr<State> state_;
};
