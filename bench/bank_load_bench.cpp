// Loading the question bank of the largest course the file grammar allows
// (9 topics of 999 questions), compared with merely reading the files' lines
// as often as a loader that rereads every file once per topic would, and with
// checking the same course for every fault the course checker looks for.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "bank/question_bank.h"
#include "check/course_check.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

namespace fs = std::filesystem;

constexpr unsigned kTopics = 9;
constexpr unsigned kLargestTopic = 999;
constexpr unsigned kOptions = 4;
const char* const kFiles[] = {"vopros.txt", "otvet.txt", "konsult.txt"};

std::string threeDigits(unsigned n) {
  std::string s = std::to_string(n);
  return std::string(3 - s.size(), '0') + s;
}

// Writes a course of kTopics topics with questionsPerTopic questions each: every
// question has its own set line with four options and its own consultation block.
void writeCourse(const fs::path& dir, unsigned questionsPerTopic) {
  fs::create_directories(dir);
  std::ofstream main(dir / "main.txt", std::ios::binary);
  for (unsigned t = 1; t <= kTopics; ++t) main << cp("Тема ") << t << "\r\n";
  std::ofstream vopros(dir / "vopros.txt", std::ios::binary);
  std::ofstream otvet(dir / "otvet.txt", std::ios::binary);
  std::ofstream konsult(dir / "konsult.txt", std::ios::binary);
  const std::string question = cp("Какое из приведенных ниже утверждений о работе станции верно?");
  const std::string option = cp("Вариант ответа средней длины для проверки загрузки");
  const std::string consult = cp("Пояснение к вопросу: строка текста консультации средней длины.");
  for (unsigned t = 1; t <= kTopics; ++t) {
    const std::string marker = "+++" + std::to_string(t) + "\r\n";
    vopros << marker;
    otvet << marker;
    konsult << marker;
    // Reverse file order makes the loader place every question by its number.
    for (unsigned q = questionsPerTopic; q >= 1; --q)
      vopros << '_' << threeDigits(q) << '_' << (q % kOptions + 1) << "_1_" << question << "\r\n";
    for (unsigned q = 1; q <= questionsPerTopic; ++q) {
      const std::string set = "**_" + std::to_string(q) + "_\r\n";
      otvet << set;
      for (unsigned o = 1; o <= kOptions; ++o) otvet << '_' << o << '_' << option << "\r\n";
      konsult << set << consult << "\r\n";
    }
  }
}

// One course folder per size, written once and removed when the program ends.
class Courses {
 public:
  ~Courses() {
    std::error_code ec;
    if (!root_.empty()) fs::remove_all(root_, ec);
  }
  std::string folder(unsigned questionsPerTopic) {
    if (root_.empty()) {
      std::random_device random;
      root_ = fs::temp_directory_path() / ("vors_bank_bench_" + std::to_string(random()));
    }
    auto& folder = folders_[questionsPerTopic];
    if (folder.empty()) {
      const fs::path dir = root_ / std::to_string(questionsPerTopic);
      writeCourse(dir, questionsPerTopic);
      folder = dir.string() + "/";
    }
    return folder;
  }

 private:
  fs::path root_;
  std::map<unsigned, std::string> folders_;
};

Courses courses;

void loadOrFail(benchmark::State& state, const std::string& folder, unsigned topic,
                std::size_t expectedQuestions) {
  for (auto _ : state) {
    BankLoad load = loadBank(folder, topic, kTopics + 1);
    if (load.error || load.bank.QuestionTexts.size() != expectedQuestions) {
      state.SkipWithError("the generated course did not load");
      return;
    }
    benchmark::DoNotOptimize(load);
  }
}

void readFiles(benchmark::State& state, const std::string& folder, unsigned passes) {
  for (auto _ : state) {
    std::size_t lines = 0;
    for (const char* name : kFiles)
      for (unsigned pass = 0; pass < passes; ++pass) lines += readLines(folder + name)->size();
    benchmark::DoNotOptimize(lines);
  }
}

void BM_LoadOneTopic(benchmark::State& state) {
  loadOrFail(state, courses.folder(kLargestTopic), 5, kLargestTopic);
}
void BM_ReadFilesOnce(benchmark::State& state) {
  readFiles(state, courses.folder(kLargestTopic), 1);
}
void BM_LoadAllTopics(benchmark::State& state) {
  const auto perTopic = static_cast<unsigned>(state.range(0));
  loadOrFail(state, courses.folder(perTopic), 0, std::size_t{kTopics} * perTopic);
  state.SetComplexityN(state.range(0));
}
void BM_ReadFilesOncePerTopic(benchmark::State& state) {
  readFiles(state, courses.folder(static_cast<unsigned>(state.range(0))), kTopics);
}

// Checking the largest course against one load of all its topics (BM_LoadAllTopics/999).
void BM_CheckLargestCourse(benchmark::State& state) {
  const std::string folder = courses.folder(kLargestTopic);
  for (auto _ : state) {
    CourseCheck check = checkCourse(folder, folder);
    if (!check.findings.empty() || check.questions != std::size_t{kTopics} * kLargestTopic) {
      state.SkipWithError("the generated course did not check clean");
      return;
    }
    benchmark::DoNotOptimize(check);
  }
}

}  // namespace

BENCHMARK(BM_CheckLargestCourse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadOneTopic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFilesOnce)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAllTopics)
    ->Arg(100)
    ->Arg(250)
    ->Arg(500)
    ->Arg(999)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFilesOncePerTopic)->Arg(999)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
