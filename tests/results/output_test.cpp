#include <gtest/gtest.h>

#include "platform/cp1251.h"
#include "results/course_index.h"
#include "results/page.h"
#include "results/tables.h"

namespace {

LogRecord oneRecord(const std::string& name) {
  LogRecord r;
  r.values = {true,
              "05.03.2024",
              "07:08:09",
              cp(name),
              "12",
              cp("М-121"),
              cp("245 сек"),
              cp("Тема 2"),
              cp("с 1 по 40"),
              "2",
              "1",
              cp("4 - хор."),
              {{17, 3, true}, {4, 1, false}}};
  r.seconds = 245;
  r.rangeFirst = 1;
  r.rangeLast = 40;
  r.answers = 2;
  r.errors = 1;
  r.right = 1;
  r.grade = 1;
  return r;
}

}  // namespace

TEST(ResultsCsv, QuotesFieldsAsRfc4180AndDisarmsFormulas) {
  const struct {
    const char* text;
    bool typed;
    const char* field;
  } cases[] = {
      {"Иванов И.И.", true, "Иванов И.И."},
      {"", true, ""},
      {"Цепи, ток", false, "\"Цепи, ток\""},
      {"Тема \"2\"", false, "\"Тема \"\"2\"\"\""},
      {"a\r\nb", false, "\"a\r\nb\""},
      {"=1+2", true, "'=1+2"},
      {"-1", true, "'-1"},
      {"@x", true, "'@x"},
      {"+7,1", true, "\"'+7,1\""},
      {"-1", false, "-1"},                 // figures the tool writes itself stay numbers
      {"x;=2*3;y", true, "\"x;=2*3;y\""},  // one cell, not three, with ';' as the separator
      {"  =1+2", true, "'  =1+2"},
      {" \t1", true, "' \t1"},
      {"  1-2", true, "  1-2"},
      {"\t=1", true, "'\t=1"},
      {"\r1", true, "\"'\r1\""},
  };
  for (const auto& c : cases) EXPECT_EQ(csvField(c.text, c.typed), c.field) << c.text;
}

TEST(ResultsCsv, HeaderAndRows) {
  EXPECT_EQ(
      recordsCsv({oneRecord("Иванов, И.И.")}),
      "mode,date,time,name,code,group,topic,range,seconds,answers,errors,result\r\n"
      "экзамен,05.03.2024,07:08:09,\"Иванов, И.И.\",12,М-121,Тема 2,с 1 по 40,245,2,1,4 - хор.\r\n");
  QuestionStats few, many;
  few.topic = many.topic = cp("Тема 2");
  few.question = 17, few.asked = 3, few.right = 1, few.facility = 1.0 / 3;
  many.question = 4, many.asked = 12, many.right = 9, many.facility = 0.75,
  many.discrimination = -0.25;
  EXPECT_EQ(
      questionsCsv({few, many}),
      "topic,question,asked,right,facility,discrimination,right_option,chosen_1,chosen_2,chosen_3,"
      "chosen_4,chosen_5,chosen_6,chosen_7,chosen_8,chosen_9,chosen_other,never_chosen,chosen_over_right,"
      "course_topic,number_in_topic,text\r\n"
      "Тема 2,17,3,1,0.33,,,0,0,0,0,0,0,0,0,0,0,,,,,\r\n"
      "Тема 2,4,12,9,0.75,-0.25,,0,0,0,0,0,0,0,0,0,0,,,,,\r\n");
}

TEST(ResultsPage, EscapesEveryValueFromTheLog) {
  const std::vector<LogRecord> records{oneRecord("<script>alert('x')</script> & \"Ко\"")};
  const std::string page = resultsPage(summarise(records), {"a<b.log: записей прочитано 1."});
  EXPECT_EQ(page.find("<script>alert"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;Ко&quot;"),
            std::string::npos);
  EXPECT_NE(page.find("a&lt;b.log"), std::string::npos);
  // A long note is cut at a character's start, never inside one.
  const std::string cut = resultsPage(summarise(records), {std::string(299, 'a') + "жжж"});
  EXPECT_NE(cut.find(std::string(299, 'a') + "…</li>"), std::string::npos);
  EXPECT_NE(page.find("Записей: 1 (экзамен 1, зачет 0)."), std::string::npos);
}

TEST(ResultsPage, WritesDecimalsWithACommaAndSortsThemByValue) {
  std::vector<LogRecord> records{oneRecord("Иванов"), oneRecord("Петров")};
  records[1].values.listing[0].right = false;  // question 17: right once in two
  const std::string page = resultsPage(summarise(records), {});
  EXPECT_NE(
      page.find(
          "data-v=\"0.50\"><span class=\"bar\"><span style=\"width:50%\"></span></span>0,50<"),
      std::string::npos);
  EXPECT_EQ(page.find(">0.50<"), std::string::npos);
}

TEST(ResultsPage, KeepsTheLatestRecordsOfAYearOnThePage) {
  std::vector<LogRecord> records(5003, oneRecord("Новый"));
  for (std::size_t k : {0u, 2500u, 5002u}) {
    records[k].values.name = cp("Старый");
    records[k].values.date = "04.03.2024";  // a day before the others
  }
  const std::string page = resultsPage(summarise(records), {});
  std::size_t rows = 0;
  for (std::size_t at = 0; (at = page.find("<tr><td>экзамен<", at)) != std::string::npos; ++at)
    ++rows;
  EXPECT_EQ(rows, 5000u);
  EXPECT_EQ(page.find("Старый"), std::string::npos);
  EXPECT_NE(page.find("последние по дате 5000 записей из 5003"), std::string::npos);
}

TEST(ResultsPage, StaysUnderFiveMegabytesWhateverTheLogs) {
  // Every record of its own group and topic, with the longest texts a field takes.
  std::vector<LogRecord> records;
  const std::string longText(2000, '\xC6');
  for (int k = 0; k < 10000; ++k) {
    LogRecord r = oneRecord("Имя");
    r.values.name = longText + std::to_string(k);
    r.values.group = longText + std::to_string(k);
    r.values.topic = longText + std::to_string(k);
    records.push_back(std::move(r));
  }
  const Summary summary = summarise(records);
  const std::string page = resultsPage(summary, std::vector<std::string>(5000, longText));
  EXPECT_LT(page.size(), 5u * 1000 * 1000);
  EXPECT_NE(page.find("самых больших групп из 10000"), std::string::npos);
  EXPECT_NE(page.find("вопросов из 20000"), std::string::npos);
  EXPECT_NE(page.find("записей из 10000"), std::string::npos);
  EXPECT_NE(page.find("не поместились"), std::string::npos);
}

TEST(ResultsCourse, NamesEachQuestionByItsTopic) {
  std::vector<std::string> faults;
  const CourseIndex course = CourseIndex::load(SAMPLE_COURSE_DIR, faults);
  EXPECT_TRUE(faults.empty());
  const std::string second = cp("Электрические цепи однофазного синусоидального тока");
  const auto own = course.find(second, 1);
  ASSERT_TRUE(own.has_value());
  EXPECT_EQ(own->number, 1u);
  EXPECT_GT(own->options, 1u);
  EXPECT_GT(own->rightOption, 0u);
  // Across all topics, the second topic's first question follows the whole first topic.
  const auto first = course.find(cp("Электрические цепи постоянного тока"), 1);
  std::unsigned_integral auto n = 1u;
  while (course.find(cp("Электрические цепи постоянного тока"), n + 1)) ++n;
  const auto across = course.find(cp("Ворсанит и ДРЛ (все темы)"), n + 1);
  ASSERT_TRUE(across.has_value() && first.has_value());
  EXPECT_EQ(across->topic, second);
  EXPECT_EQ(across->number, 1u);
  EXPECT_EQ(across->textStart, own->textStart);
  EXPECT_FALSE(course.find(second, 999).has_value());
}
