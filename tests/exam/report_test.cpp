#include "exam/report.h"
#include "exam/start_mark.h"

#include <gtest/gtest.h>

#include "platform/cp1251.h"

namespace {

// Results of a test: '+' right, '-' wrong, asked questions 1, 2, 3 ... with option 1.
TestResults resultsOf(const std::string& answers, int elapsed = 245, std::uint16_t drawCount = 40) {
  TestResults r;
  r.DrawCount = drawCount;
  r.ElapsedSeconds = elapsed;
  for (char a : answers) {
    const auto k = static_cast<std::size_t>(r.AnswerCount++);
    r.AnswerResults[k] = a == '+';
    r.AskedQuestions[k] = static_cast<std::uint16_t>(k + 1);
    r.ChosenOptions[k] = 1;
    if (a == '-') ++r.ErrorCount;
  }
  return r;
}

std::string utf8(const std::string& bytes) { return utf8FromCp1251(bytes); }

}  // namespace

TEST(Report, GradingTable) {
  struct Case {
    bool exam;
    int errors;
    const char* text;
    Rgb colour;
  };
  const Case cases[] = {
      {true, 0, "5 - отл.", {0, 128, 0}},      {true, 1, "4 - хор.", {0, 0, 128}},
      {true, 2, "3 - удовл.", {184, 134, 11}}, {true, 3, "2 - неуд.", {255, 0, 0}},
      {true, 10, "2 - неуд.", {255, 0, 0}},    {false, 2, "зачет", {0, 128, 0}},
      {false, 3, "незачет", {255, 0, 0}},
  };
  for (const Case& c : cases) {
    const Grade g = gradeFor(c.exam, c.errors);
    EXPECT_EQ(utf8(g.text), c.text);
    EXPECT_EQ(g.colour, c.colour) << c.text;
  }
}

TEST(Report, Evaluation) {
  struct Case {
    const char* answers;
    int elapsed;
    std::uint16_t drawCount;
    int right, errors;
    bool timedOut, earlyStop;
    const char* grade;
  };
  const Case cases[] = {
      {"++++++++++", 245, 40, 10, 0, false, false, "5 - отл."},
      {"+++++-++++", 245, 40, 9, 1, false, false, "4 - хор."},
      {"-++++++++-", 245, 40, 8, 2, false, false, "3 - удовл."},
      {"+-+--", 245, 40, 2, 3, false, true, "2 - неуд."},
      {"+++++++---", 245, 40, 7, 3, false, false, "2 - неуд."},  // 3rd wrong as the 10th answer
      {"+++-++", 600, 40, 5, 5, true, false, "2 - неуд."},       // time-out: 4 unanswered added
      {"", 600, 40, 0, 10, true, false, "2 - неуд."},
      {"++++++++", 245, 8, 8, 0, false, false, "5 - отл."},  // a range of 8, all asked
      {"+++++", 600, 8, 5, 3, true, false, "2 - неуд."},
      {"+-+--", 245, 5, 2, 3, false, false, "2 - неуд."},  // the last question of the range
  };
  for (const Case& c : cases) {
    const Evaluation e = evaluate(resultsOf(c.answers, c.elapsed, c.drawCount), true);
    EXPECT_EQ(e.rightAnswers, c.right) << c.answers;
    EXPECT_EQ(e.errorCount, c.errors) << c.answers;
    EXPECT_EQ(e.timedOut, c.timedOut) << c.answers;
    EXPECT_EQ(e.earlyStop, c.earlyStop) << c.answers;
    EXPECT_EQ(utf8(e.grade.text), c.grade) << c.answers;
  }
}

TEST(Report, RecordIsByteExact) {
  TestResults r = resultsOf("+-", 245);
  r.AskedQuestions = {17, 4};
  r.ChosenOptions = {3, 1};
  ReportInput input{
      true, "05.03.2024", "07:08:09", cp("Иванов И.И."), "12", cp("М-121"), cp("Тема 2"), 1, 40};
  const ReportValues values = makeReportValues(input, r, evaluate(r, true));
  const std::string expected =
      "=========================================================\r\n"
      "Дата:  05.03.2024\r\n"
      "Время: 07:08:09\r\n"
      "Фамилия И.О.: Иванов И.И.\r\n"
      "Код:          12\r\n"
      "Группа:       М-121\r\n"
      "Потребовалось времени: 245 сек\r\n"
      "Тема:         Тема 2\r\n"
      "Вопросы:      с 1 по 40\r\n"
      "Получено ответов:      2\r\n"
      "Количество ошибок:     1\r\n"
      "\r\n"
      "Оценка:     4 - хор.\r\n"
      "\r\n"
      "Отчет:\r\n"
      "17: 3(+)    4: 1(-)    \r\n"
      "\r\n"
      "\r\n";
  EXPECT_EQ(utf8(makeRecord(values)), expected);
  EXPECT_EQ(utf8(listingCaption(values.listing[0])), "17\r3(+)");

  // Pass/fail after a time-out without answers: its own result line, an empty listing.
  const TestResults none = resultsOf("", 600);
  input.exam = false;
  const std::string record = utf8(makeRecord(makeReportValues(input, none, evaluate(none, false))));
  EXPECT_NE(record.find("Потребовалось времени: 600 сек\r\n"), std::string::npos);
  EXPECT_NE(record.find("Количество ошибок:     10\r\n\r\nРезультат:  незачет\r\n"),
            std::string::npos);
  EXPECT_NE(record.find("Отчет:\r\n\r\n\r\n\r\n"), std::string::npos);
}

TEST(Report, NoValueBreaksTheRecordsLines) {
  const TestResults r = resultsOf("+");
  // A topic title with a lone CR (main.txt allows it) and typed control characters.
  const ReportInput input{true, "d", "t", "a\nb", "c\r\nd", "e\tf", "x\ry", 1, 5};
  const std::string record = makeRecord(makeReportValues(input, r, evaluate(r, true)));
  std::size_t lineEnds = 0;
  for (std::size_t i = 0; i + 1 < record.size(); ++i) lineEnds += record.compare(i, 2, "\r\n") == 0;
  EXPECT_EQ(lineEnds, 18u);
  EXPECT_EQ(record.find_first_of("\t\n\r"), record.find("\r\n"));
  EXPECT_NE(record.find("x y"), std::string::npos);
}

TEST(StartMark, OneLineThatReadsBackAndNothingElseReads) {
  StartMark mark{"05.03.2024",
                 "07:08:09",
                 false,
                 cp("Тема\t2"),
                 cp("с 1 по 40"),
                 "07",
                 cp("Иванов\r\nИ."),
                 "",
                 "seat-04",
                 "1b4e28ba-2fa1-41d2-883f-0016d3cca427"};
  const std::string line = formatStartMark(mark);
  EXPECT_EQ(line, cp("05.03.2024\t07:08:09\tЗачет\tТема 2\tс 1 по 40\t07\tИванов  И.\t\tseat-04\t"
                     "1b4e28ba-2fa1-41d2-883f-0016d3cca427\r\n"));
  mark.topic = cp("Тема 2");
  mark.name = cp("Иванов  И.");
  EXPECT_EQ(parseStartMark(line), mark);
  EXPECT_FALSE(parseStartMark(line.substr(0, line.rfind('\t'))));
  EXPECT_FALSE(parseStartMark(cp("05.03.2024\t07:08:09\tТест\ta\tb\tc\td\te\tf\tg")));
}
