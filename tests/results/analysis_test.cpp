#include "results/analysis.h"

#include <gtest/gtest.h>

#include "platform/cp1251.h"

namespace {

// A record of topic "T" asking question 5 (right or not) and questions 10, 11, ...
// answered right, `extra` of them; its score is their sum.
LogRecord record(bool exam, const char* group, int grade, bool fiveRight, unsigned extra) {
  LogRecord r;
  r.values.exam = exam;
  r.values.group = cp(group);
  r.values.topic = "T";
  r.grade = grade;
  r.values.listing.push_back({5, 1, fiveRight});
  for (unsigned k = 0; k < extra; ++k) r.values.listing.push_back({10 + k, 2, true});
  r.right = fiveRight + static_cast<int>(extra);
  return r;
}

const QuestionStats& question(const Summary& s, unsigned number) {
  for (const auto& q : s.questions)
    if (q.question == number) return q;
  throw std::runtime_error("question not found");
}

}  // namespace

TEST(ResultsAnalysis, FacilityDiscriminationAndCharts) {
  // Twelve records; by score: 0 1 2 3 4 5 6 7 8 9 9 10. The 27 % groups hold
  // round(0.27 * 12) = 3 records: the lower ones answered question 5 as - - +,
  // the upper ones (the two 9s in log order, then the 10) as + - +.
  const std::vector<LogRecord> records = {
      record(true, "Б", 3, false, 0),  record(true, "Б", 3, false, 1),
      record(true, "Б", 2, true, 1),   record(true, "Б", 1, false, 3),
      record(true, "Б", 0, true, 3),   record(true, "Б", 0, true, 4),
      record(false, "А", 1, false, 6), record(false, "А", 0, true, 6),
      record(false, "А", 0, true, 7),  record(false, "А", 0, true, 8),
      record(false, "А", 1, false, 9), record(false, "А", 0, true, 9),
  };
  const Summary s = summarise(records);
  EXPECT_EQ(s.exams, 6);
  EXPECT_EQ(s.passFail, 6);

  ASSERT_EQ(s.charts.size(), 2u);  // exams before pass/fail, whatever the group names
  EXPECT_TRUE(s.charts[0].exam);
  EXPECT_EQ(s.charts[0].group, cp("Б"));
  EXPECT_EQ(s.charts[0].counts, (std::vector<int>{2, 1, 1, 2}));
  EXPECT_FALSE(s.charts[1].exam);
  EXPECT_EQ(s.charts[1].counts, (std::vector<int>{4, 2}));
  EXPECT_EQ(s.charts[1].total, 6);

  const QuestionStats& five = question(s, 5);
  EXPECT_EQ(five.asked, 12);
  EXPECT_EQ(five.right, 7);
  EXPECT_DOUBLE_EQ(five.facility, 7.0 / 12);
  ASSERT_TRUE(five.discrimination.has_value());
  EXPECT_DOUBLE_EQ(*five.discrimination, 1.0 / 3);

  // Question 10 is asked by the 11 records with extra answers, all right: no
  // spread between the groups. Question 18 by two records only: no figure.
  EXPECT_EQ(question(s, 10).asked, 11);
  EXPECT_DOUBLE_EQ(*question(s, 10).discrimination, 0.0);
  EXPECT_EQ(question(s, 18).asked, 2);
  EXPECT_FALSE(question(s, 18).discrimination.has_value());

  // By topic, then number.
  for (std::size_t k = 1; k < s.questions.size(); ++k)
    EXPECT_LT(s.questions[k - 1].question, s.questions[k].question);
}

TEST(ResultsAnalysis, WorthALook) {
  const struct {
    double facility;
    std::optional<double> discrimination;
    bool look;
    int asked = 12;
  } cases[] = {
      {0.29, std::nullopt, true},
      {0.3, std::nullopt, false},
      {0.3, -0.01, true},
      {0.9, 0.0, false},
      {0.1, 0.5, true},
      {0.0, std::nullopt, false, 4},
      {0.0, std::nullopt, true, 5},
  };
  for (const auto& c : cases) {
    QuestionStats q;
    q.asked = c.asked;
    q.facility = c.facility;
    q.discrimination = c.discrimination;
    EXPECT_EQ(q.worthALook(), c.look) << c.facility;
  }
}

TEST(ResultsAnalysis, OptionCountsAndFlags) {
  // Answers to one question as "option+" (marked right) or "option-".
  auto stats = [](const std::vector<std::string>& answers, unsigned courseOptions = 0) {
    std::vector<LogRecord> records;
    for (const auto& a : answers) {
      LogRecord r;
      r.values.topic = "T";
      r.values.listing.push_back({5, static_cast<unsigned>(std::stoul(a)), a.back() == '+'});
      records.push_back(r);
    }
    QuestionStats q = summarise(records).questions.at(0);
    if (courseOptions) q.course = CourseQuestion{"T", 5, "", courseOptions, 2};
    return q;
  };
  auto times = [](int n, const std::string& a) {
    return std::vector<std::string>(static_cast<std::size_t>(n), a);
  };
  auto join = [](std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  };
  const struct {
    const char* what;
    QuestionStats q;
    std::string right, never, over;
  } cases[] = {
      {"healthy", stats(join({times(12, "2+"), times(5, "1-"), times(3, "3-")})), "2", "", ""},
      {"a wrong option ahead", stats(join({times(4, "2+"), times(9, "3-"), times(4, "1-")})), "2",
       "", "3"},
      {"an option no one chose, from the course", stats(join({times(15, "2+"), times(5, "1-")}), 4),
       "2", "3 4", ""},
      {"too few answers to say", stats(join({times(10, "2+"), times(3, "1-")}), 4), "2", "", ""},
      {"no one right: the course names it", stats(times(5, "1-"), 3), "2", "", "1"},
      {"too few answers to judge a wrong option", stats(times(4, "1-"), 3), "2", "", ""},
      {"no one right, no course", stats(times(3, "1-")), "", "", ""},
      {"digits beyond nine counted apart", stats(join({times(2, "12-"), times(1, "2+")})), "2", "",
       ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(digits(c.q.rightOptions()), c.right) << c.what;
    EXPECT_EQ(digits(c.q.neverChosen()), c.never) << c.what;
    EXPECT_EQ(digits(c.q.chosenOverRight()), c.over) << c.what;
  }
  EXPECT_EQ(cases[1].q.chosen[3], 9);
  EXPECT_EQ(cases[7].q.chosenOther, 2);
}

TEST(ResultsAnalysis, CandidatesByTheirLatestTest) {
  auto taken = [](const char* code, const char* date, int grade) {
    LogRecord r = record(true, "Б", grade, true, 0);
    r.values.code = code;
    r.values.name = cp("Иванов");
    r.values.date = date;
    r.values.time = "10:00:00";
    return r;
  };
  // The log is not in date order: a later failure was appended after an earlier pass.
  // The same name typed in capitals with a blank after it is the same candidate.
  LogRecord again = taken("1", "02.03.2024", 3);
  again.values.name = cp("ИВАНОВ ");
  const Summary s = summarise({taken("1", "05.03.2024", 0), taken("1", "01.03.2024", 3),
                               taken("2", "01.03.2024", 3), again});
  ASSERT_EQ(s.candidates.size(), 2u);
  EXPECT_EQ(s.strings.text(s.candidates[0].code), "1");
  EXPECT_EQ(s.strings.text(s.candidates[0].name), cp("Иванов"));  // as first written
  EXPECT_EQ(s.candidates[0].tests, 3);
  EXPECT_EQ(s.strings.text(s.candidates[0].lastDate), "05.03.2024");
  EXPECT_TRUE(s.candidates[0].passed());
  EXPECT_FALSE(s.candidates[1].passed());
}
