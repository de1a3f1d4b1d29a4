// Reading and summarising a large school's year of protocol records (100,000)
// against merely reading the logs' lines: the results tool should stay within
// three times the plain read.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

#include "platform/text_file.h"
#include "results/analysis.h"
#include "results/log_reader.h"
#include "sample_logs.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kExams = 60000, kPassFail = 40000;

struct Logs {
  fs::path dir = fs::temp_directory_path() / ("vorsanit-results-bench-" + std::to_string(::getpid()));
  std::vector<std::string> paths;
  Logs() {
    fs::create_directories(dir);
    for (bool exam : {true, false}) {
      paths.push_back((dir / logFileName(exam)).string());
      std::ofstream(paths.back(), std::ios::binary) << sampleLog(exam ? kExams : kPassFail, exam, 7);
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
  for (auto _ : state) {
    LogContents contents;
    for (const auto& path : l.paths) {
      std::ifstream in(path, std::ios::binary);
      const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      readLog(text, contents);
    }
    benchmark::DoNotOptimize(summarise(contents.records));
    records = contents.records.size();
  }
  state.counters["records"] = static_cast<double>(records);
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records));
}
BENCHMARK(BM_ReadAndSummarise)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
