// Peak heap of loading an otvet.txt built to amplify: one set line of 10 KB
// followed by 100,000 answer lines "_1" (410 KB in all). Every allocation of the
// program is counted, so the figure is the loader's own peak, not the process's.
// Goal: peak ≤ 10 × the file's size (the "ratio" counter).
//
// And the peak heap of checking a course of 10 MB whose faults would each make a
// finding: blank lines in vopros.txt, lines the program skips in otvet.txt, and
// characters code page 1251 lacks in a UTF-8 konsult.txt. Goal: peak ≤ 4 × the
// course's size (the "ratio" counter).
#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "bank/question_bank.h"
#include "check/course_check.h"
#include "counted_heap.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSetBytes = 10'000;
constexpr std::size_t kAnswerLines = 100'000;
constexpr double kGoal = 10.0;

// The set names questions 1..n, so it is a valid set of the one-question topic too.
std::string longSet() {
  std::string set = "_";
  for (unsigned n = 1; set.size() < kSetBytes; ++n) set += std::to_string(n) + "_";
  return set;
}

void BM_PeakMemoryOfAnAmplifyingAnswerFile(benchmark::State& state) {
  std::random_device random;
  const fs::path dir =
      fs::temp_directory_path() / ("vors_memory_bench_" + std::to_string(random()));
  fs::create_directories(dir);
  {
    std::ofstream(dir / "vopros.txt", std::ios::binary) << "+++1\r\n_001_1_1_?\r\n";
    std::ofstream(dir / "konsult.txt", std::ios::binary) << "+++1\r\n**_1_\r\n-\r\n";
    std::ofstream otvet(dir / "otvet.txt", std::ios::binary);
    otvet << "+++1\r\n**" << longSet() << "\r\n";
    for (std::size_t i = 0; i < kAnswerLines; ++i) otvet << "_1\r\n";
  }
  const double fileBytes = static_cast<double>(fs::file_size(dir / "otvet.txt"));
  const std::string folder = dir.string() + "/";
  double ratio = 0;
  for (auto _ : state) {
    const counted_heap::PeakSince start;
    BankLoad load = loadBank(folder, 1, 2);
    const double peak = start.bytes();
    if (load.error || load.bank.AnswerTexts.size() != kAnswerLines) {
      state.SkipWithError("the generated course did not load");
      break;
    }
    ratio = peak / fileBytes;
    state.counters["file_KB"] = fileBytes / 1000;
    state.counters["peak_KB"] = peak / 1000;
    state.counters["ratio"] = ratio;
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  if (ratio > kGoal) state.SkipWithError("peak memory above 10 x the file's size");
}
BENCHMARK(BM_PeakMemoryOfAnAmplifyingAnswerFile)->Unit(benchmark::kMillisecond);

constexpr std::size_t kFaultyBytes = 10'000'000;
constexpr double kCheckGoal = 4.0;

// A two-topic course, one of its files padded with kFaultyBytes of one fault.
void writeFaultyCourse(const fs::path& dir, int fault) {
  fs::create_directories(dir);
  std::ofstream(dir / "main.txt", std::ios::binary) << "A\r\nB\r\n";
  std::ofstream vopros(dir / "vopros.txt", std::ios::binary);
  std::ofstream otvet(dir / "otvet.txt", std::ios::binary);
  std::ofstream konsult(dir / "konsult.txt", std::ios::binary);
  vopros << "+++1\r\n_001_1_1_?\r\n+++2\r\n_001_1_1_?\r\n";
  otvet << "+++1\r\n**_1_\r\n_1_a\r\n_2_b\r\n+++2\r\n**_1_\r\n_1_a\r\n_2_b\r\n";
  konsult << "+++1\r\n**_1_\r\n\xE2\x84\x96 1\r\n+++2\r\n**_1_\r\n-\r\n";
  const char* const lines[] = {"\r\n", "x\r\n", "\xE2\x98\x83\r\n"};
  std::ofstream& padded = fault == 0 ? vopros : fault == 1 ? otvet : konsult;
  for (std::size_t n = 0; n < kFaultyBytes; n += std::strlen(lines[fault])) padded << lines[fault];
}

void BM_PeakMemoryOfCheckingAFaultyCourse(benchmark::State& state) {
  std::random_device random;
  const fs::path dir =
      fs::temp_directory_path() / ("vors_check_memory_bench_" + std::to_string(random()));
  writeFaultyCourse(dir, static_cast<int>(state.range(0)));
  double courseBytes = 0;
  for (const auto& entry : fs::directory_iterator(dir))
    courseBytes += static_cast<double>(entry.file_size());
  const std::string folder = dir.string() + "/";
  double ratio = 0;
  for (auto _ : state) {
    const counted_heap::PeakSince start;
    CourseCheck check = checkCourse(folder, folder);
    const double peak = start.bytes();
    if (check.errors() + check.warnings() < 1000) {
      state.SkipWithError("the faults were not found");
      break;
    }
    ratio = peak / courseBytes;
    state.counters["course_KB"] = courseBytes / 1000;
    state.counters["peak_KB"] = peak / 1000;
    state.counters["ratio"] = ratio;
    state.counters["findings"] = static_cast<double>(check.errors() + check.warnings());
  }
  std::error_code ec;
  fs::remove_all(dir, ec);
  if (ratio > kCheckGoal) {
    static std::string message;  // the benchmark library keeps the pointer
    message = "peak memory " + std::to_string(ratio) + " x the course's size, above 4";
    state.SkipWithError(message.c_str());
  }
}
BENCHMARK(BM_PeakMemoryOfCheckingAFaultyCourse)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
