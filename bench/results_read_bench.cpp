// Reading and summarising a large school's year of protocol records (100,000),
// with their records.csv rows made, each record checked for contradictions and
// matched with its start mark (the start journals read twice, as the tool reads
// them), against merely reading the logs' lines: the results tool should stay
// within three times the plain read. The workbook's rows are timed apart: they
// cost more than all the rest. Memory, and the comparison with a streaming
// Python parse, are in results_scale.sh.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/text_file.h"
#include "results/analysis.h"
#include "results/log_reader.h"
#include "results/record_check.h"
#include "results/start_journal.h"
#include "results/tables.h"
#include "results/workbook.h"
#include "sample_logs.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kExams = 60000, kPassFail = 40000;

struct Logs {
  fs::path dir =
      fs::temp_directory_path() / ("vorsanit-results-bench-" + std::to_string(::getpid()));
  std::vector<std::string> paths, journals;
  Logs() {
    fs::create_directories(dir);
    for (bool exam : {true, false}) {
      std::string journal;
      paths.push_back((dir / logFileName(exam)).string());
      std::ofstream(paths.back(), std::ios::binary)
          << sampleLog(exam ? kExams : kPassFail, exam, 7, false, &journal);
      journals.push_back((dir / startJournalName(exam)).string());
      std::ofstream(journals.back(), std::ios::binary) << journal;
    }
  }
  ~Logs() { fs::remove_all(dir); }
};

const Logs& logs() {
  static const Logs l;
  return l;
}

void BM_ReadLines(benchmark::State& state) {
  const Logs& l = logs();  // written before the clock starts
  for (auto _ : state)
    for (const auto& path : l.paths) benchmark::DoNotOptimize(readLines(path));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * (kExams + kPassFail)));
}
BENCHMARK(BM_ReadLines)->Unit(benchmark::kMillisecond);

ByteSource fromFile(int fd) {
  return [fd](char* into, std::size_t size) -> long { return ::read(fd, into, size); };
}

// Each journal read with `onMark` for every mark.
void readJournals(const Logs& l, const std::function<void(const StartMark&)>& onMark) {
  for (const auto& path : l.journals) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    readJournal(
        fromFile(fd), [&](const StartMark& m, std::size_t) { onMark(m); }, [](std::size_t) {});
    ::close(fd);
  }
}

// Argument 1: with the start journals, 0: the logs alone.
void BM_ReadAndSummarise(benchmark::State& state) {
  const Logs& l = logs();
  const bool journals = state.range(0) != 0;
  std::size_t records = 0, unfinished = 0;
  std::string row;
  for (auto _ : state) {
    Summariser summariser;
    StartMarks marks;
    records = unfinished = 0;
    if (journals) readJournals(l, [&](const StartMark& m) { marks.add(m); });
    marks.sort();
    for (const auto& path : l.paths) {
      const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      readLog(
          fromFile(fd),
          [&](const LogRecord& r) {
            if (contradiction(r)) return;
            marks.answer(r);
            summariser.add(r);
            row.clear();
            appendRecordRow(row, r);
            ++records;
          },
          [](const SkippedRecord&) {});
      ::close(fd);
    }
    if (journals)
      readJournals(l, [&](const StartMark& m) {
        if (!marks.answered(m)) {
          summariser.addUnfinished(m);
          ++unfinished;
        }
      });
    benchmark::DoNotOptimize(summariser.finish());
  }
  state.counters["records"] = static_cast<double>(records);
  state.counters["unfinished"] = static_cast<double>(unfinished);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records));
}
BENCHMARK(BM_ReadAndSummarise)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The records sheet of results.xlsx for the same records, read beforehand.
void BM_WorkbookRecords(benchmark::State& state) {
  const Logs& l = logs();
  LogContents contents;
  for (const auto& path : l.paths) {
    std::ifstream in(path, std::ios::binary);
    readLog(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()),
            contents);
  }
  const std::string file = (l.dir / "results.xlsx").string();
  for (auto _ : state) {
    Workbook workbook(file, l.dir.string());
    for (const LogRecord& r : contents.records) workbook.addRecord(r);
    benchmark::DoNotOptimize(workbook.close());
  }
  state.counters["bytes"] = static_cast<double>(fs::file_size(file));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * contents.records.size()));
}
BENCHMARK(BM_WorkbookRecords)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
