#include "results/record_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/cp1251.h"

namespace {

// A record as the program writes it: '+' right, '-' wrong, questions from `first` on.
ReportValues written(bool exam, const std::string& answers, int elapsed, std::uint16_t first = 1,
                     std::uint16_t last = 40) {
  TestResults r;
  r.DrawCount = static_cast<std::uint16_t>(last - first + 1);
  r.ElapsedSeconds = elapsed;
  for (char a : answers) {
    const auto k = static_cast<std::size_t>(r.AnswerCount++);
    r.AnswerResults[k] = a == '+';
    r.AskedQuestions[k] = static_cast<std::uint16_t>(first + k);
    r.ChosenOptions[k] = 2;
    if (a == '-') ++r.ErrorCount;
  }
  const ReportInput input{exam, "05.03.2024", "07:08:09",   cp("Иванов И.И."),
                          "12", cp("М-121"),  cp("Тема 2"), first,
                          last};
  return makeReportValues(input, r, evaluate(r, exam));
}

// The same record with one thing changed, as a hand edit or a forger leaves it.
ReportValues edited(ReportValues v, const std::function<void(ReportValues&)>& change) {
  change(v);
  v.answers = std::to_string(v.listing.size());
  return v;
}

}  // namespace

TEST(RecordCheck, WhatTheProgramCannotHaveWritten) {
  const struct {
    const char* what;
    ReportValues values;
    const char* reason;  // empty: the record is true and counted
  } cases[] = {
      {"ten answers, one wrong", written(true, "++++-+++++", 245), ""},
      {"time-out after six answers", written(true, "+-++++", 600), ""},
      {"stopped at the third wrong answer", written(false, "+--+-", 120), ""},
      {"the third wrong answer as the tenth", written(true, "+-++-++++-", 500), ""},
      // Older logs have the system's date and time formats: another shape than
      // the program's own is left alone.
      {"an older date format",
       edited(written(true, "++++++++++", 300), [](ReportValues& v) { v.date = "5 Mar 2024"; }),
       ""},
      {"an older time format",
       edited(written(true, "++++++++++", 300), [](ReportValues& v) { v.time = "07:08:09 UTC"; }),
       ""},
      {"a range of seven used up", written(true, "+++++++", 90, 3, 9), ""},
      {"time-out without an answer", written(false, "", 600), ""},
      {"a time-out on a range of three, its errors counted of ten as in older logs",
       edited(written(true, "++", 600, 1, 3),
              [](ReportValues& v) {
                v.errors = "8";
                v.result = cp("2 - неуд.");
              }),
       ""},
      {"a grade that does not match the errors",
       edited(written(true, "++-++++-++", 300), [](ReportValues& v) { v.result = cp("5 - отл."); }),
       "оценка «5 - отл.», а ошибок: 2"},
      {"more (-) than errors",
       edited(written(true, "++-++++-++", 300), [](ReportValues& v) { v.errors = "1"; }),
       "неверных ответов «(-)»: 2, а ошибок: 1"},
      {"15 answers",
       edited(written(true, "++++++++++", 300),
              [](ReportValues& v) {
                for (unsigned q = 11; q <= 15; ++q) v.listing.push_back({q, 1, true});
              }),
       "ответов: 15"},
      {"a range of 40 to 1",
       edited(written(true, "++++++++++", 300), [](ReportValues& v) { v.range = cp("с 40 по 1"); }),
       "невозможный диапазон вопросов «с 40 по 1»"},
      {"a question outside its range",
       edited(written(true, "++++++++++", 300),
              [](ReportValues& v) { v.listing[4].question = 41; }),
       "вопрос 41 вне диапазона «с 1 по 40»"},
      {"a question twice",
       edited(written(true, "++++++++++", 300), [](ReportValues& v) { v.listing[4].question = 1; }),
       "вопрос 1 задан дважды"},
      {"option 0",
       edited(written(true, "++++++++++", 300), [](ReportValues& v) { v.listing[2].option = 0; }),
       "у вопроса 3 выбран невозможный вариант 0"},
      {"option 99",
       edited(written(true, "++++++++++", 300), [](ReportValues& v) { v.listing[2].option = 99; }),
       "у вопроса 3 выбран невозможный вариант 99"},
      {"31 February",
       edited(written(true, "++++++++++", 300), [](ReportValues& v) { v.date = "31.02.2024"; }),
       "невозможная дата «31.02.2024»"},
      {"25:61:99",
       edited(written(true, "++++++++++", 300), [](ReportValues& v) { v.time = "25:61:99"; }),
       "невозможное время «25:61:99»"},
      {"незачет with two errors",
       edited(written(false, "++-+++-+++", 300), [](ReportValues& v) { v.result = cp("незачет"); }),
       "результат «незачет», а ошибок: 2"},
      {"more time than the limit",
       edited(written(true, "++++++++++", 300),
              [](ReportValues& v) { v.timeUsed = cp("700 сек"); }),
       "потребовалось времени 700 сек"},
      {"a test that had not ended", written(true, "+-", 245), "так тест не кончается"},
      {"unanswered questions of a time-out not counted",
       edited(written(true, "+-++++", 600),
              [](ReportValues& v) {
                v.errors = "1";
                v.result = cp("4 - хор.");
              }),
       "ошибок: 1, а по ответам и времени их 5"},
      {"a fourth wrong answer",
       edited(written(false, "+---", 100),
              [](ReportValues& v) {
                v.listing.push_back({9, 1, false});
                v.errors = "4";
              }),
       "неверных ответов: 4"},
      {"answers after the third wrong one",
       edited(written(false, "+---", 100),
              [](ReportValues& v) {
                v.listing.push_back({9, 1, true});
              }),
       "тест продолжился после 3-й ошибки"},
  };
  for (const auto& c : cases) {
    // Through the log, as the tool reads it.
    LogContents log;
    readLog(makeRecord(c.values), log);
    ASSERT_EQ(log.records.size(), 1u) << c.what;
    const auto why = contradiction(log.records[0]);
    if (std::string(c.reason).empty()) {
      EXPECT_FALSE(why.has_value()) << c.what << ": " << utf8FromCp1251(why.value_or(""));
    } else {
      EXPECT_NE(utf8FromCp1251(why.value_or("")).find(c.reason), std::string::npos)
          << c.what << ": " << utf8FromCp1251(why.value_or("(counted)"));
    }
  }
  // The same calendar refuses an impossible --from or --to.
  EXPECT_EQ(civilDay("29.02.2024"), civilDay("01.03.2024").value() - 1);
  EXPECT_EQ(civilDay("01.01.1970"), 0);
  EXPECT_FALSE(civilDay("29.02.2023") || civilDay("00.01.2024") || civilDay("32.13.2024"));
}
