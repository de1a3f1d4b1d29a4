// Importing Moodle XML banks as vorsanit-convert does (read the file, read the
// questions, shuffle, render the course files):
// - BM_ImportCategories: 80,000 questions in 5 categories and in 80,000; the
//   goal is time linear in the questions whatever the categories (the "questions"
//   counter, questions a second, stays about the same on both rows);
// - BM_PeakMemoryOfAnImport: a bank of about 20 MB; every allocation, libxml2's
//   included, is counted. Goal: peak ≤ 3 × the file's size (the "ratio" counter).
#include <benchmark/benchmark.h>
#include <libxml/xmlmemory.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "convert/course_folder.h"
#include "convert/formats.h"
#include "counted_heap.h"
#include "platform/text_file.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kQuestions = 80'000;
constexpr double kMemoryGoal = 3.0;

// A bank of questions, the question q in category q % categories, written as the
// platform exports it (HTML texts in CDATA, feedback, every element it writes).
std::string bank(std::size_t questions, std::size_t categories, bool long_texts) {
  const std::string filler =
      long_texts ? " Дополнительный текст, каким вопрос обрастает в настоящем банке: "
                   "условие, единицы, оговорки о допущениях и округлении результата."
                 : "";
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n";
  for (std::size_t q = 0; q < questions; ++q) {
    const std::size_t category = q % categories;
    if (categories > 1 || q == 0)
      xml += "  <question type=\"category\">\n    <category>\n      <text>$course$/top/Курс/Тема " +
             std::to_string(category) + "</text>\n    </category>\n  </question>\n";
    xml += "  <question type=\"multichoice\">\n    <name><text>Вопрос " + std::to_string(q) +
           "</text></name>\n    <questiontext format=\"html\">\n      <text><![CDATA[<p>Какое "
           "сопротивление у цепи номер " +
           std::to_string(q) + "?" + filler +
           "</p>]]></text>\n    </questiontext>\n    <generalfeedback format=\"html\">\n      "
           "<text><![CDATA[<p>По закону Ома R = U / I." +
           filler + "</p>]]></text>\n    </generalfeedback>\n";
    xml +=
        "    <defaultgrade>1</defaultgrade>\n    <penalty>0.3333333</penalty>\n    "
        "<hidden>0</hidden>\n    <single>true</single>\n    "
        "<shuffleanswers>true</shuffleanswers>\n    <answernumbering>abc</answernumbering>\n";
    for (int a = 0; a < 4; ++a)
      xml += std::string("    <answer fraction=\"") + (a == 0 ? "100" : "0") +
             "\" format=\"html\">\n      <text><![CDATA[<p>" + std::to_string(q * 4 + a) + " Ом" +
             (long_texts ? ", если считать по номинальным значениям" : "") +
             "</p>]]></text>\n      <feedback format=\"html\">\n        <text></text>\n      "
             "</feedback>\n    </answer>\n";
    xml += "  </question>\n";
  }
  return xml + "</quiz>\n";
}

std::string writeBank(const std::string& xml) {
  std::random_device random;
  const fs::path path =
      fs::temp_directory_path() / ("vors_convert_bench_" + std::to_string(random()) + ".xml");
  std::ofstream(path, std::ios::binary) << xml;
  return path.string();
}

// What vorsanit-convert does with a bank it imports, short of writing the files.
std::size_t import(const std::string& path) {
  const auto bytes = readText(path);
  if (!bytes) return 0;
  ConvertResult result = readMoodleXml(*bytes, "bank.xml", "bank");
  shuffleOptions(result.course);
  CourseFiles files = renderCourse(result.course, "bank.xml", result.notes);
  benchmark::DoNotOptimize(files);
  return result.course.questionCount();
}

void BM_ImportCategories(benchmark::State& state) {
  const auto categories = static_cast<std::size_t>(state.range(0));
  const std::string path = writeBank(bank(kQuestions, categories, false));
  for (auto _ : state) {
    if (import(path) != kQuestions) {
      state.SkipWithError("the generated bank did not convert");
      break;
    }
  }
  state.counters["questions"] = benchmark::Counter(static_cast<double>(kQuestions),
                                                   benchmark::Counter::kIsIterationInvariantRate);
  fs::remove(path);
}
BENCHMARK(BM_ImportCategories)->Arg(5)->Arg(kQuestions)->Unit(benchmark::kMillisecond);

void BM_PeakMemoryOfAnImport(benchmark::State& state) {
  xmlMemSetup(counted_heap::uncounted, counted_heap::countedMalloc, counted_heap::countedRealloc,
              counted_heap::countedStrdup);
  const std::string path = writeBank(bank(20'000, 20, true));
  const double fileBytes = static_cast<double>(fs::file_size(path));
  double ratio = 0;
  for (auto _ : state) {
    const counted_heap::PeakSince start;
    if (import(path) != 20'000) {
      state.SkipWithError("the generated bank did not convert");
      break;
    }
    const double peak = start.bytes();
    ratio = peak / fileBytes;
    state.counters["file_MB"] = fileBytes / 1e6;
    state.counters["peak_MB"] = peak / 1e6;
    state.counters["ratio"] = ratio;
  }
  fs::remove(path);
  if (ratio > kMemoryGoal) state.SkipWithError("peak memory above 3 x the file's size");
}
BENCHMARK(BM_PeakMemoryOfAnImport)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
