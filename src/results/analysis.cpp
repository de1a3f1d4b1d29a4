#include "results/analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <unordered_map>

namespace {

struct Answer {
  int score;  // right answers of the whole record
  bool right; // this question answered right
};

// Facility in the upper 27 % of the records by score minus that in the lower
// 27 %. Records of equal score keep their log order, so the figure does not
// depend on anything but the logs.
double discrimination(std::vector<Answer>& answers) {
  const auto n = answers.size();
  const auto g = std::max<std::size_t>(1, static_cast<std::size_t>(std::lround(0.27 * static_cast<double>(n))));
  std::stable_sort(answers.begin(), answers.end(), [](const Answer& a, const Answer& b) { return a.score < b.score; });
  int lower = 0, upper = 0;
  for (std::size_t k = 0; k < g; ++k) {
    lower += answers[k].right;
    upper += answers[n - 1 - k].right;
  }
  return static_cast<double>(upper - lower) / static_cast<double>(g);
}

}  // namespace

Summary summarise(const std::vector<LogRecord>& records) {
  Summary s;
  std::map<std::pair<bool, std::string>, GradeChart> charts;  // false sorts first: exams under !exam
  std::map<std::string, std::uint32_t> topicIds;
  std::vector<const std::string*> topicNames;
  std::unordered_map<std::uint64_t, std::size_t> questionIndex;
  std::vector<std::vector<Answer>> answers;
  std::vector<std::pair<std::uint32_t, unsigned>> keys;

  const std::string* lastTopic = nullptr;
  std::uint32_t lastTopicId = 0;
  for (const LogRecord& r : records) {
    const ReportValues& v = r.values;
    (v.exam ? s.exams : s.passFail) += 1;
    GradeChart& chart = charts[{!v.exam, v.group}];
    if (chart.counts.empty()) {
      chart.exam = v.exam;
      chart.group = v.group;
      chart.counts.assign(gradeScale(v.exam).size(), 0);
    }
    ++chart.counts[static_cast<std::size_t>(r.grade)];
    ++chart.total;

    // Records of one topic tend to come in runs; the last one is checked first.
    if (lastTopic == nullptr || *lastTopic != v.topic) {
      const auto [at, added] = topicIds.try_emplace(v.topic, static_cast<std::uint32_t>(topicNames.size()));
      if (added) topicNames.push_back(&at->first);
      lastTopic = &at->first;
      lastTopicId = at->second;
    }
    for (const auto& e : v.listing) {
      const std::uint64_t key = (std::uint64_t{lastTopicId} << 32) | e.question;
      const auto [at, added] = questionIndex.try_emplace(key, answers.size());
      if (added) {
        answers.emplace_back();
        keys.emplace_back(lastTopicId, e.question);
      }
      answers[at->second].push_back({r.right, e.right});
    }
  }

  for (auto& [key, chart] : charts) s.charts.push_back(std::move(chart));

  s.questions.reserve(answers.size());
  for (std::size_t q = 0; q < answers.size(); ++q) {
    QuestionStats st;
    st.topic = *topicNames[keys[q].first];
    st.question = keys[q].second;
    st.asked = static_cast<int>(answers[q].size());
    for (const Answer& a : answers[q]) st.right += a.right;
    st.facility = static_cast<double>(st.right) / st.asked;
    if (st.asked >= kMinRecordsForDiscrimination) st.discrimination = discrimination(answers[q]);
    s.questions.push_back(std::move(st));
  }
  std::sort(s.questions.begin(), s.questions.end(), [](const QuestionStats& a, const QuestionStats& b) {
    return a.topic != b.topic ? a.topic < b.topic : a.question < b.question;
  });
  return s;
}
