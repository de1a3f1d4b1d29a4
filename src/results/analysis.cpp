#include "results/analysis.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <map>
#include <queue>

#include "results/course_index.h"

std::uint32_t StringPool::id(std::string_view text) {
  if (const auto at = ids_.find(text); at != ids_.end()) return at->second;
  const auto id = static_cast<std::uint32_t>(texts_.size());
  texts_.emplace_back(text);
  ids_.emplace(texts_.back(), id);
  return id;
}

namespace {

// Code page 1251 in lower case: Latin, Cyrillic from А to Я, Ё and the other
// capitals the code page holds.
struct LowerCase {
  unsigned char of[256];
  LowerCase() {
    for (int c = 0; c < 256; ++c) of[c] = static_cast<unsigned char>(c);
    for (int c = 'A'; c <= 'Z'; ++c) of[c] = static_cast<unsigned char>(c + 32);
    for (int c = 0xC0; c <= 0xDF; ++c) of[c] = static_cast<unsigned char>(c + 32);
    const unsigned char pairs[][2] = {{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C},
                                      {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
                                      {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
                                      {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
    for (const auto& p : pairs) of[p[0]] = p[1];
  }
};

}  // namespace

void appendMatchKey(std::string& into, std::string_view text) {
  static const LowerCase lower;
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return;
  text = text.substr(first, text.find_last_not_of(' ') - first + 1);
  const std::size_t at = into.size();
  into.append(text);
  for (std::size_t k = at; k < into.size(); ++k)
    into[k] = static_cast<char>(lower.of[static_cast<unsigned char>(into[k])]);
}

std::string matchKey(std::string_view text) {
  std::string key;
  appendMatchKey(key, text);
  return key;
}

std::string dateKey(std::string_view date, std::string_view time) {
  std::string key;
  const bool dotted = date.size() == 10 && date[2] == '.' && date[5] == '.';
  if (dotted) {
    key.append(date.substr(6, 4)).append(date.substr(3, 2)).append(date.substr(0, 2));
  } else {
    key.append(date);
  }
  return key.append(1, ' ').append(time);
}

std::string digits(const std::vector<unsigned>& options) {
  std::string out;
  for (unsigned o : options) out += (out.empty() ? "" : " ") + std::to_string(o);
  return out;
}

std::vector<unsigned> QuestionStats::rightOptions() const {
  std::vector<unsigned> out;
  for (unsigned o = 1; o <= kOptionDigits; ++o)
    if (chosenRight[o] > 0) out.push_back(o);
  if (out.empty() && course && course->rightOption > 0) out.push_back(course->rightOption);
  return out;
}

std::vector<unsigned> QuestionStats::neverChosen() const {
  std::vector<unsigned> out;
  if (asked < kMinAnswersForUnusedOption) return out;
  unsigned shown = course ? course->options : 0;
  if (shown == 0)
    for (unsigned o = 1; o <= kOptionDigits; ++o)
      if (chosen[o] > 0) shown = o;
  for (unsigned o = 1; o <= std::min(shown, kOptionDigits); ++o)
    if (chosen[o] == 0) out.push_back(o);
  return out;
}

std::vector<unsigned> QuestionStats::chosenOverRight() const {
  const std::vector<unsigned> rights = rightOptions();
  std::vector<unsigned> out;
  if (rights.empty() || asked < kMinAnswersToJudge) return out;
  int best = 0;
  for (unsigned o : rights) best = std::max(best, o <= kOptionDigits ? chosen[o] : 0);
  for (unsigned o = 1; o <= kOptionDigits; ++o)
    if (chosen[o] > best && std::find(rights.begin(), rights.end(), o) == rights.end())
      out.push_back(o);
  return out;
}

namespace {

// The answers to one question by records of one score, one bit each (right
// or not) in log order: all that the discrimination needs of them.
struct ScoreLevel {
  int score = 0;
  std::size_t count = 0;
  std::vector<std::uint64_t> bits;
  void add(bool right) {
    if (count % 64 == 0) bits.push_back(0);
    if (right) bits.back() |= std::uint64_t{1} << (count % 64);
    ++count;
  }
  // Right answers among [from, to).
  int rightIn(std::size_t from, std::size_t to) const {
    int n = 0;
    for (std::size_t k = from; k < to;) {
      const std::size_t word = k / 64, bit = k % 64;
      const std::size_t take = std::min<std::size_t>(64 - bit, to - k);
      std::uint64_t w = bits[word] >> bit;
      if (take < 64) w &= (std::uint64_t{1} << take) - 1;
      n += std::popcount(w);
      k += take;
    }
    return n;
  }
};

struct QuestionState {
  std::uint32_t topic;
  unsigned question;
  QuestionStats stats;
  std::vector<ScoreLevel> levels;  // few: a record's score is 0 to 10
};

// Facility in the upper 27 % of the records by score minus that in the lower
// 27 %. Records of equal score keep their log order, so the figure does not
// depend on anything but the logs.
double discrimination(std::vector<ScoreLevel>& levels, std::size_t n) {
  const auto g = std::max<std::size_t>(
      1, static_cast<std::size_t>(std::lround(0.27 * static_cast<double>(n))));
  std::sort(levels.begin(), levels.end(),
            [](const ScoreLevel& a, const ScoreLevel& b) { return a.score < b.score; });
  int lower = 0, upper = 0;
  std::size_t need = g;
  for (auto it = levels.begin(); need > 0 && it != levels.end(); ++it) {
    const std::size_t take = std::min(need, it->count);
    lower += it->rightIn(0, take);
    need -= take;
  }
  need = g;
  for (auto it = levels.rbegin(); need > 0 && it != levels.rend(); ++it) {
    const std::size_t take = std::min(need, it->count);
    upper += it->rightIn(it->count - take, it->count);
    need -= take;
  }
  return static_cast<double>(upper - lower) / static_cast<double>(g);
}

struct KeptRow {
  std::string key;
  RecordRow row;
};
// The better row to keep on top of the other: later by date, or earlier in the log.
struct KeepFirst {
  bool operator()(const KeptRow& a, const KeptRow& b) const {
    return a.key != b.key ? a.key > b.key : a.row.order < b.row.order;
  }
};

struct CandidateState {
  CandidateStats stats;
  std::string lastKey;
};

}  // namespace

struct Summariser::State {
  Summary summary;
  std::map<std::pair<bool, std::uint32_t>, GradeChart>
      charts;  // exams under !exam: false sorts first
  std::unordered_map<std::uint64_t, std::size_t> questionIndex;
  std::vector<QuestionState> questions;
  std::unordered_map<std::string, std::size_t> candidateIndex;
  std::vector<CandidateState> candidates;
  // A candidate is the same code, name and group, matched as matchKey has them.
  CandidateState& candidate(const std::string& code, const std::string& name,
                            const std::string& group) {
    candidateKey.clear();
    for (const std::string* part : {&code, &name, &group}) {
      appendMatchKey(candidateKey, *part);
      candidateKey += '\0';
    }
    const auto [at, added] = candidateIndex.try_emplace(candidateKey, candidates.size());
    if (added) {
      StringPool& pool = summary.strings;
      candidates.push_back({{pool.id(code), pool.id(name), pool.id(group)}, {}});
    }
    return candidates[at->second];
  }
  std::priority_queue<KeptRow, std::vector<KeptRow>, KeepFirst> latest;
  std::size_t order = 0;
  std::string key, candidateKey;
};

Summariser::Summariser() : state_(std::make_unique<State>()) {}
Summariser::~Summariser() = default;

void Summariser::add(const LogRecord& r) {
  State& st = *state_;
  Summary& s = st.summary;
  StringPool& pool = s.strings;
  const ReportValues& v = r.values;
  (v.exam ? s.exams : s.passFail) += 1;
  const std::uint32_t group = pool.id(v.group), topic = pool.id(v.topic), name = pool.id(v.name),
                      code = pool.id(v.code), date = pool.id(v.date), time = pool.id(v.time);

  GradeChart& chart = st.charts[{!v.exam, group}];
  if (chart.counts.empty()) {
    chart.exam = v.exam;
    chart.counts.assign(gradeScale(v.exam).size(), 0);
  }
  ++chart.counts[static_cast<std::size_t>(r.grade)];
  ++chart.total;

  for (const auto& e : v.listing) {
    const std::uint64_t key = (std::uint64_t{topic} << 32) | e.question;
    const auto [at, added] = st.questionIndex.try_emplace(key, st.questions.size());
    if (added) st.questions.push_back({topic, e.question, {}, {}});
    QuestionState& q = st.questions[at->second];
    ++q.stats.asked;
    q.stats.right += e.right;
    if (e.option >= 1 && e.option <= kOptionDigits) {
      ++q.stats.chosen[e.option];
      q.stats.chosenRight[e.option] += e.right;
    } else {
      ++q.stats.chosenOther;
    }
    auto level = std::find_if(q.levels.begin(), q.levels.end(),
                              [&](const ScoreLevel& l) { return l.score == r.right; });
    if (level == q.levels.end())
      level = q.levels.insert(q.levels.end(), ScoreLevel{r.right, 0, {}});
    level->add(e.right);
  }

  st.key = dateKey(v.date, v.time);
  const RecordRow row{date,      time,     name,    code,         group,       topic,  r.seconds,
                      r.answers, r.errors, r.grade, r.rangeFirst, r.rangeLast, v.exam, st.order++};
  if (st.latest.size() < kLatestRecordsKept) {
    st.latest.push({st.key, row});
  } else if (st.key > st.latest.top().key) {
    st.latest.pop();
    st.latest.push({st.key, row});
  }

  CandidateState& c = st.candidate(v.code, v.name, v.group);
  ++c.stats.tests;
  if (st.key >= c.lastKey) {  // the first test beats the empty key
    c.lastKey = st.key;
    c.stats.lastDate = date;
    c.stats.lastTime = time;
    c.stats.lastExam = v.exam;
    c.stats.lastGrade = r.grade;
  }
}

void Summariser::addUnfinished(const StartMark& mark) {
  CandidateState& c = state_->candidate(mark.code, mark.name, mark.group);
  if (c.stats.tests == 0) {
    c.stats.lastDate = c.stats.lastTime = state_->summary.strings.id("");
    c.stats.lastExam = mark.exam;
  }
  ++c.stats.unfinished;
}

Summary Summariser::finish(const CourseIndex* course) {
  State& st = *state_;
  Summary s = std::move(st.summary);
  for (auto& [key, chart] : st.charts) {
    chart.group = s.strings.text(key.second);
    s.charts.push_back(std::move(chart));
  }
  std::stable_sort(s.charts.begin(), s.charts.end(), [](const GradeChart& a, const GradeChart& b) {
    return a.exam != b.exam ? a.exam : a.group < b.group;
  });

  s.questions.reserve(st.questions.size());
  for (QuestionState& q : st.questions) {
    QuestionStats stats = std::move(q.stats);
    stats.topic = s.strings.text(q.topic);
    stats.question = q.question;
    stats.facility = static_cast<double>(stats.right) / stats.asked;
    if (stats.asked >= kMinRecordsForDiscrimination)
      stats.discrimination = discrimination(q.levels, static_cast<std::size_t>(stats.asked));
    if (course) stats.course = course->find(stats.topic, stats.question);
    s.questions.push_back(std::move(stats));
  }
  std::sort(s.questions.begin(), s.questions.end(),
            [](const QuestionStats& a, const QuestionStats& b) {
              return a.topic != b.topic ? a.topic < b.topic : a.question < b.question;
            });

  for (const CandidateState& c : st.candidates) s.candidates.push_back(c.stats);
  const StringPool& pool = s.strings;
  std::sort(
      s.candidates.begin(), s.candidates.end(),
      [&](const CandidateStats& a, const CandidateStats& b) {
        for (auto field : {&CandidateStats::group, &CandidateStats::name, &CandidateStats::code})
          if (a.*field != b.*field) return pool.text(a.*field) < pool.text(b.*field);
        return false;
      });

  while (!st.latest.empty()) {
    s.latest.push_back(st.latest.top().row);
    st.latest.pop();
  }
  std::sort(s.latest.begin(), s.latest.end(),
            [](const RecordRow& a, const RecordRow& b) { return a.order < b.order; });
  return s;
}

Summary summarise(const std::vector<LogRecord>& records) {
  Summariser s;
  for (const LogRecord& r : records) s.add(r);
  return s.finish();
}
