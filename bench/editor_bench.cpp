// The course editor on the largest course the file grammar allows (9 topics of
// 999 questions): opening it, selecting a question, typing a character, taking
// the snapshot the live check runs on and saving one change, each against one
// plain load of all its topics by the program's loader (the "load_ratio"
// counter; the goal is each step well under 100 ms after the course is loaded).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "author/course_model.h"
#include "author/course_snapshot.h"
#include "author/folder_save.h"
#include "bank/question_bank.h"
#include "platform/cp1251.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr unsigned kTopics = 9;
constexpr unsigned kQuestions = 999;

std::string threeDigits(unsigned n) {
  std::string s = std::to_string(n);
  return std::string(3 - s.size(), '0') + s;
}

// The course of bank_load_bench: every question with its own set of four options
// and its own consultation block.
class LargestCourse {
 public:
  LargestCourse() {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("vors_editor_bench_" + std::to_string(random()));
    fs::create_directories(dir_);
    std::ofstream main(dir_ / "main.txt", std::ios::binary);
    for (unsigned t = 1; t <= kTopics; ++t) main << cp("Тема ") << t << "\r\n";
    std::ofstream vopros(dir_ / "vopros.txt", std::ios::binary);
    std::ofstream otvet(dir_ / "otvet.txt", std::ios::binary);
    std::ofstream konsult(dir_ / "konsult.txt", std::ios::binary);
    const std::string question =
        cp("Какое из приведенных ниже утверждений о работе станции верно?");
    const std::string option = cp("Вариант ответа средней длины для проверки загрузки");
    const std::string consult =
        cp("Пояснение к вопросу: строка текста консультации средней длины.");
    for (unsigned t = 1; t <= kTopics; ++t) {
      const std::string marker = "+++" + std::to_string(t) + "\r\n";
      vopros << marker;
      otvet << marker;
      konsult << marker;
      for (unsigned q = 1; q <= kQuestions; ++q) {
        vopros << '_' << threeDigits(q) << '_' << (q % 4 + 1) << "_1_" << question << "\r\n";
        const std::string set = "**_" + std::to_string(q) + "_\r\n";
        otvet << set;
        for (unsigned o = 1; o <= 4; ++o) otvet << '_' << o << '_' << option << "\r\n";
        konsult << set << consult << "\r\n";
      }
    }
  }
  ~LargestCourse() {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string folder() const { return dir_.string() + "/"; }

  // One load of all topics by the program's loader, in seconds: the yardstick.
  double plainLoad() {
    if (plainLoad_ == 0) {
      constexpr int kRuns = 10;
      for (int i = 0; i < 2; ++i) benchmark::DoNotOptimize(loadBank(folder(), 0, kTopics + 1));
      const auto start = Clock::now();
      for (int i = 0; i < kRuns; ++i) benchmark::DoNotOptimize(loadBank(folder(), 0, kTopics + 1));
      plainLoad_ = std::chrono::duration<double>(Clock::now() - start).count() / kRuns;
    }
    return plainLoad_;
  }

 private:
  fs::path dir_;
  double plainLoad_ = 0;
};

LargestCourse& course() {
  static LargestCourse largest;
  return largest;
}

// Times body per iteration and reports it against one plain load.
template <typename Body>
void measure(benchmark::State& state, Body body) {
  const double yardstick = course().plainLoad();
  double total = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    body();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    total += seconds;
  }
  state.counters["load_ratio"] = total / static_cast<double>(state.iterations()) / yardstick;
}

CourseModel openedModel() {
  CourseModel model(*openCourseFolder(course().folder(), nullptr));
  (void)model.index();
  return model;
}

void BM_PlainLoad(benchmark::State& state) {
  measure(state, [] { benchmark::DoNotOptimize(loadBank(course().folder(), 0, kTopics + 1)); });
}

void BM_OpenCourse(benchmark::State& state) {
  measure(state, [] {
    CourseModel model = openedModel();
    benchmark::DoNotOptimize(model.questionCount(kTopics));
  });
}

void BM_SelectQuestion(benchmark::State& state) {
  CourseModel model = openedModel();
  std::mt19937 random(7);
  measure(state, [&] {
    const unsigned topic = random() % kTopics + 1;
    benchmark::DoNotOptimize(model.question(topic, random() % kQuestions));
  });
}

// One keystroke in "Текст вопроса": the edit, the index the views read, the fields shown again.
void BM_TypeCharacter(benchmark::State& state) {
  CourseModel model = openedModel();
  std::string text = model.questionText(5, 500);
  measure(state, [&] {
    text += 'x';
    const Change change = model.setQuestionText(5, 500, text);
    benchmark::DoNotOptimize(model.question(5, 500));
  });
}

// What the editor's thread does before the live check runs on a thread of its own.
void BM_CheckSnapshot(benchmark::State& state) {
  CourseModel model = openedModel();
  measure(state, [&] { benchmark::DoNotOptimize(snapshotOf(model.document())); });
}

void BM_SaveOneChange(benchmark::State& state) {
  CourseModel model = openedModel();
  unsigned round = 0;
  measure(state, [&] {
    model.setQuestionText(9, 998, std::to_string(++round));
    if (!saveCourse(model.document(), true).saved) state.SkipWithError("the save failed");
  });
}

// Adding a question in the middle of a topic renumbers the half of it after it
// (in a topic of 998 questions: a topic of 999 takes no more).
void BM_InsertQuestion(benchmark::State& state) {
  CourseModel model = openedModel();
  model.deleteQuestion(5, kQuestions - 1);
  measure(state, [&] {
    const Change change = model.insertQuestion(5, 500, CourseModel::newQuestion());
    benchmark::DoNotOptimize(model.questionCount(5));
    model.undo(change);
  });
}

}  // namespace

BENCHMARK(BM_PlainLoad)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCourse)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SelectQuestion)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TypeCharacter)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CheckSnapshot)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveOneChange)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertQuestion)->UseManualTime()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
