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
      record(true, "Б", 3, false, 0), record(true, "Б", 3, false, 1), record(true, "Б", 2, true, 1),
      record(true, "Б", 1, false, 3), record(true, "Б", 0, true, 3),  record(true, "Б", 0, true, 4),
      record(false, "А", 1, false, 6), record(false, "А", 0, true, 6), record(false, "А", 0, true, 7),
      record(false, "А", 0, true, 8), record(false, "А", 1, false, 9), record(false, "А", 0, true, 9),
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
  } cases[] = {
      {0.29, std::nullopt, true}, {0.3, std::nullopt, false}, {0.3, -0.01, true},
      {0.9, 0.0, false},          {0.1, 0.5, true},
  };
  for (const auto& c : cases) {
    QuestionStats q;
    q.facility = c.facility;
    q.discrimination = c.discrimination;
    EXPECT_EQ(q.worthALook(), c.look) << c.facility;
  }
}
