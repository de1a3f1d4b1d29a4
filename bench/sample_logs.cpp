#include "sample_logs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <random>
#include <vector>

#include "exam/report.h"
#include "exam/start_mark.h"
#include "platform/cp1251.h"

namespace {

const char* const kSurnames[] = {"Иванов",  "Петрова",  "Сидоренко", "Кузнецова",
                                 "Смирнов", "Орлова",   "Ёлкин",     "Васильева",
                                 "Попов",   "Соколова", "Лебедев",   "Новикова"};
const char* const kInitials[] = {"А.А.", "Б.В.", "В.Г.", "Е.И.", "М.С.", "О.П."};
const char* const kGroups[] = {"М-121", "М-122", "Э-211", "Э-212",
                               "ИТ-31", "ИТ-32", "С-41",  "С-42"};
const char* const kTopics[] = {"Электрические цепи постоянного тока",
                               "Электрические цепи однофазного синусоидального тока",
                               "Трехфазные цепи"};
constexpr int kQuestionsPerTopic = 35;

struct Candidate {
  std::string name, code, group;
  double ability;
};

}  // namespace

std::string sampleLog(std::size_t count, bool exam, unsigned seed, bool varied,
                      std::string* journal) {
  std::mt19937 random(seed);
  std::normal_distribution<double> normal(0.0, 1.0);
  auto uniform = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };

  // Question difficulty per topic; every 17th question misleads the strong ones.
  // Varied logs (a whole region's) have many more groups and topics.
  const std::size_t topics = varied ? 40 : std::size(kTopics);
  std::vector<std::vector<double>> difficulty(topics);
  for (auto& topic : difficulty)
    for (int q = 0; q < kQuestionsPerTopic; ++q) topic.push_back(normal(random) - 0.8);
  // Options per question: three to five, the right one somewhere among them,
  // one wrong option that tempts, and in every 7th question one nobody picks.
  struct Options {
    int count, right, tempting, dead;
  };
  // They belong to the course, so they are the same in every log.
  std::mt19937 course(2024);
  auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(course);
  };
  std::vector<std::vector<Options>> options(topics);
  for (auto& topic : options)
    for (int q = 0; q < kQuestionsPerTopic; ++q) {
      Options o{pick(3, 5), 0, 0, 0};
      o.right = pick(1, o.count);
      do o.tempting = pick(1, o.count);
      while (o.tempting == o.right);
      if (q % 7 == 3) do
          o.dead = pick(1, o.count);
        while (o.dead == o.right || o.dead == o.tempting);
      topic.push_back(o);
    }
  auto topicName = [&](std::size_t t) {
    return t < std::size(kTopics) ? cp(kTopics[t]) : cp("Тема ") + std::to_string(t + 1);
  };
  std::vector<Candidate> candidates;
  const int people = varied ? 20000 : 400;
  for (int k = 0; k < people; ++k)
    candidates.push_back(
        {std::string(kSurnames[k % std::size(kSurnames)]) + ' ' +
             kInitials[k / std::size(kSurnames) % std::size(kInitials)],
         std::to_string(k + 1),
         varied ? std::string(kGroups[k / 16 % std::size(kGroups)]) + '/' + std::to_string(k / 16)
                : std::string(kGroups[k % std::size(kGroups)]),
         normal(random)});

  std::string log;
  log.reserve(count * 560);
  for (std::size_t n = 0; n < count; ++n) {
    const Candidate& who = candidates[static_cast<std::size_t>(uniform(0, people - 1))];
    const auto topic = static_cast<std::size_t>(uniform(0, static_cast<int>(topics) - 1));
    std::vector<std::uint16_t> range(kQuestionsPerTopic);
    for (int q = 0; q < kQuestionsPerTopic; ++q)
      range[static_cast<std::size_t>(q)] = static_cast<std::uint16_t>(q + 1);
    std::shuffle(range.begin(), range.end(), random);

    TestResults r;
    r.DrawCount = kQuestionsPerTopic;
    while (r.AnswerCount < kQuestionsPerTest && r.ErrorCount < kErrorLimit) {
      const std::uint16_t q = range[static_cast<std::size_t>(r.AnswerCount)];
      const double b = difficulty[topic][q - 1u];
      const double logit = q % 17 == 0 ? 0.5 - 3.0 * who.ability : 1.7 * (who.ability - b);
      const bool right =
          std::uniform_real_distribution<double>(0, 1)(random) < 1 / (1 + std::exp(-logit));
      r.ElapsedSeconds += uniform(15, 75);
      if (r.ElapsedSeconds >= r.TimeLimitSeconds) {
        r.ElapsedSeconds = r.TimeLimitSeconds;
        break;
      }
      const auto k = static_cast<std::size_t>(r.AnswerCount++);
      r.AskedQuestions[k] = q;
      const Options& o = options[topic][q - 1u];
      int chosen = o.right;
      if (!right) {
        do chosen = uniform(0, 1) ? o.tempting : uniform(1, o.count);
        while (chosen == o.right || chosen == o.dead);
      }
      r.ChosenOptions[k] = static_cast<std::uint16_t>(chosen);
      r.AnswerResults[k] = right;
      if (!right) ++r.ErrorCount;
    }
    const int day = static_cast<int>(n * 300 / std::max<std::size_t>(count, 1));
    char date[48], time[48];
    std::snprintf(date, sizeof date, "%02d.%02d.%04d", 1 + day % 28, 1 + day / 28 % 12,
                  2025 + day / 336);
    const int second = (8 + uniform(0, 9)) * 3600 + uniform(0, 3599);
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", second / 3600, second / 60 % 60,
                  second % 60);
    if (journal) {
      // The mark was written when the first question was drawn, a moment before the clock started.
      auto mark = [&](int at) {
        char clock[48];
        std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", at / 3600, at / 60 % 60, at % 60);
        *journal += formatStartMark({date, clock, exam, topicName(topic),
                                     cp("с 1 по ") + std::to_string(kQuestionsPerTopic), who.code,
                                     cp(who.name), cp(who.group), "seat-" + std::to_string(n % 30),
                                     "id-" + std::to_string(seed) + '-' + std::to_string(n)});
      };
      const int began = second - r.ElapsedSeconds - uniform(0, 3);
      if (n % 200 == 7) mark(began - uniform(30, 120));
      mark(began);
    }
    const ReportInput input{exam,
                            date,
                            time,
                            cp(who.name),
                            who.code,
                            cp(who.group),
                            topicName(topic),
                            1,
                            kQuestionsPerTopic};
    log += makeRecord(makeReportValues(input, r, evaluate(r, exam)));
  }
  return log;
}
