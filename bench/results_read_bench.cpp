// Reading and summarising a large school's year of protocol records (100,000),
// with their records.csv rows made, against merely reading the logs' lines: the
// results tool should stay within three times the plain read. Memory, and the
// comparison with a streaming Python parse, are in results_scale.sh.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "platform/text_file.h"
#include "results/analysis.h"
#include "results/log_reader.h"
#include "results/tables.h"
#include "sample_logs.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kExams = 60000, kPassFail = 40000;

struct Logs {
  fs::path dir =
      fs::temp_directory_path() / ("vorsanit-results-bench-" + std::to_string(::getpid()));
  std::vector<std::string> paths;
  Logs() {
    fs::create_directories(dir);
    for (bool exam : {true, false}) {
      paths.push_back((dir / logFileName(exam)).string());
      std::ofstream(paths.back(), std::ios::binary)
          << sampleLog(exam ? kExams : kPassFail, exam, 7);
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

void BM_ReadAndSummarise(benchmark::State& state) {
  const Logs& l = logs();
  std::size_t records = 0;
  std::string row;
  for (auto _ : state) {
    Summariser summariser;
    records = 0;
    for (const auto& path : l.paths) {
      const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      readLog([fd](char* into, std::size_t size) -> long { return ::read(fd, into, size); },
              [&](const LogRecord& r) {
                summariser.add(r);
                row.clear();
                appendRecordRow(row, r);
                ++records;
              },
              [](const SkippedRecord&) {});
      ::close(fd);
    }
    benchmark::DoNotOptimize(summariser.finish());
  }
  state.counters["records"] = static_cast<double>(records);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records));
}
BENCHMARK(BM_ReadAndSummarise)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
