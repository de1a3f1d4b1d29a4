#include "sample_logs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <random>
#include <vector>

#include "exam/report.h"
#include "platform/cp1251.h"

namespace {

const char* const kSurnames[] = {"Иванов", "Петрова", "Сидоренко", "Кузнецова", "Смирнов", "Орлова",
                                 "Ёлкин", "Васильева", "Попов", "Соколова", "Лебедев", "Новикова"};
const char* const kInitials[] = {"А.А.", "Б.В.", "В.Г.", "Е.И.", "М.С.", "О.П."};
const char* const kGroups[] = {"М-121", "М-122", "Э-211", "Э-212", "ИТ-31", "ИТ-32", "С-41", "С-42"};
const char* const kTopics[] = {"Электрические цепи постоянного тока", "Электрические цепи однофазного синусоидального тока",
                               "Трехфазные цепи"};
constexpr int kQuestionsPerTopic = 35;

struct Candidate {
  std::string name, code, group;
  double ability;
};

}  // namespace

std::string sampleLog(std::size_t count, bool exam, unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> normal(0.0, 1.0);
  auto uniform = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

  // Question difficulty per topic; every 17th question misleads the strong ones.
  std::vector<std::vector<double>> difficulty(std::size(kTopics));
  for (auto& topic : difficulty)
    for (int q = 0; q < kQuestionsPerTopic; ++q) topic.push_back(normal(random) - 0.8);
  std::vector<Candidate> candidates;
  for (int k = 0; k < 400; ++k)
    candidates.push_back({std::string(kSurnames[k % std::size(kSurnames)]) + ' ' +
                              kInitials[k / std::size(kSurnames) % std::size(kInitials)],
                          std::to_string(k + 1), kGroups[k % std::size(kGroups)], normal(random)});

  std::string log;
  log.reserve(count * 560);
  for (std::size_t n = 0; n < count; ++n) {
    const Candidate& who = candidates[static_cast<std::size_t>(uniform(0, 399))];
    const auto topic = static_cast<std::size_t>(uniform(0, static_cast<int>(std::size(kTopics)) - 1));
    std::vector<std::uint16_t> range(kQuestionsPerTopic);
    for (int q = 0; q < kQuestionsPerTopic; ++q) range[static_cast<std::size_t>(q)] = static_cast<std::uint16_t>(q + 1);
    std::shuffle(range.begin(), range.end(), random);

    TestResults r;
    r.DrawCount = kQuestionsPerTopic;
    while (r.AnswerCount < kQuestionsPerTest && r.ErrorCount < kErrorLimit) {
      const std::uint16_t q = range[static_cast<std::size_t>(r.AnswerCount)];
      const double b = difficulty[topic][q - 1u];
      const double logit = q % 17 == 0 ? 0.5 - 3.0 * who.ability : 1.7 * (who.ability - b);
      const bool right = std::uniform_real_distribution<double>(0, 1)(random) < 1 / (1 + std::exp(-logit));
      r.ElapsedSeconds += uniform(15, 75);
      if (r.ElapsedSeconds >= r.TimeLimitSeconds) {
        r.ElapsedSeconds = r.TimeLimitSeconds;
        break;
      }
      const auto k = static_cast<std::size_t>(r.AnswerCount++);
      r.AskedQuestions[k] = q;
      r.ChosenOptions[k] = static_cast<std::uint16_t>(uniform(1, 4));
      r.AnswerResults[k] = right;
      if (!right) ++r.ErrorCount;
    }
    const int day = static_cast<int>(n * 300 / std::max<std::size_t>(count, 1));
    char date[48], time[48];
    std::snprintf(date, sizeof date, "%02d.%02d.%04d", 1 + day % 28, 1 + day / 28 % 12, 2025 + day / 336);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", 8 + uniform(0, 9), uniform(0, 59), uniform(0, 59));
    const ReportInput input{exam, date, time, cp(who.name), who.code, cp(who.group), cp(kTopics[topic]),
                            1, kQuestionsPerTopic};
    log += makeRecord(makeReportValues(input, r, evaluate(r, exam)));
  }
  return log;
}
