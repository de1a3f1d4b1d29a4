#include "results/log_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

#include "platform/cp1251.h"

namespace {

// A record as the report writes it: '+' right, '-' wrong, questions from `first` on.
ReportValues written(bool exam, const std::string& answers, int elapsed, const std::string& name,
                     const std::string& code, const std::string& group, const std::string& topic,
                     std::uint16_t first = 1, std::uint16_t last = 40) {
  TestResults r;
  r.DrawCount = static_cast<std::uint16_t>(last - first + 1);
  r.ElapsedSeconds = elapsed;
  for (char a : answers) {
    const auto k = static_cast<std::size_t>(r.AnswerCount++);
    r.AnswerResults[k] = a == '+';
    r.AskedQuestions[k] = static_cast<std::uint16_t>(first + 3 * k % r.DrawCount);
    r.ChosenOptions[k] = static_cast<std::uint16_t>(1 + k % 4);
    if (a == '-') ++r.ErrorCount;
  }
  const ReportInput input{exam,      "05.03.2024", "07:08:09", cp(name), cp(code),
                          cp(group), cp(topic),    first,      last};
  return makeReportValues(input, r, evaluate(r, exam));
}

std::vector<ReportValues> variedRecords() {
  return {
      written(true, "+-", 245, "Иванов И.И.", "12", "М-121", "Тема 2"),
      written(false, "", 600, "Петрова А.Б.", "7", "М-122", "Все темы"),  // time-out, empty listing
      written(true, "++++++++++", 581, "  Анна  Мария  ", "007", "", "Тема 1", 100, 140),
      written(false, "+-+-+++", 12, "", "", "М-1, \"б\"", "Цепи; <b>ток</b>", 3, 9),
      written(true, "+--", 40, "Ёлкина Ё.Ё. = ====", "-1", "группа 5", "Ток\x98", 1, 3),
      written(false, "+++---", 599, "O'Neil J.", "42", "ИТ-21",
              "Тема 3"),                                                // 3rd error as 6th answer
      written(true, "-+++++", 600, "Сидоров", "3", "М-121", "Тема 2"),  // time-out with answers
  };
}

void expectSame(const ReportValues& read, const ReportValues& v) {
  EXPECT_EQ(read.exam, v.exam);
  for (auto field :
       {&ReportValues::date, &ReportValues::time, &ReportValues::name, &ReportValues::code,
        &ReportValues::group, &ReportValues::timeUsed, &ReportValues::topic, &ReportValues::range,
        &ReportValues::answers, &ReportValues::errors, &ReportValues::result})
    EXPECT_EQ(read.*field, v.*field) << utf8FromCp1251(v.name);
  ASSERT_EQ(read.listing.size(), v.listing.size());
  for (std::size_t k = 0; k < v.listing.size(); ++k) {
    EXPECT_EQ(read.listing[k].question, v.listing[k].question);
    EXPECT_EQ(read.listing[k].option, v.listing[k].option);
    EXPECT_EQ(read.listing[k].right, v.listing[k].right);
  }
}

LogContents read(const std::string& text) {
  LogContents c;
  readLog(text, c);
  return c;
}

}  // namespace

TEST(LogReader_InvertsTheWriter, EveryFieldOfVariedRecords) {
  std::string log;
  for (const auto& v : variedRecords()) log += makeRecord(v);
  const LogContents c = read(log);
  EXPECT_TRUE(c.skipped.empty());
  const auto all = variedRecords();
  ASSERT_EQ(c.records.size(), all.size());
  for (std::size_t k = 0; k < all.size(); ++k) {
    const LogRecord& r = c.records[k];
    expectSame(r.values, all[k]);
    EXPECT_EQ(r.line, 18 * k + 1);
    EXPECT_EQ(makeRecord(r.values), makeRecord(all[k]));
    // The numbers agree with their texts.
    EXPECT_EQ(std::to_string(r.seconds) + cp(" сек"), all[k].timeUsed);
    EXPECT_EQ(cp("с ") + std::to_string(r.rangeFirst) + cp(" по ") + std::to_string(r.rangeLast),
              all[k].range);
    EXPECT_EQ(std::to_string(r.answers), all[k].answers);
    EXPECT_EQ(std::to_string(r.errors), all[k].errors);
    EXPECT_EQ(gradeScale(r.values.exam)[static_cast<std::size_t>(r.grade)].text, all[k].result);
    int right = 0;
    for (const auto& e : all[k].listing) right += e.right;
    EXPECT_EQ(r.right, right);
  }
}

TEST(LogReader_InvertsTheWriter, AfterAnEditorSaveWithBareLineFeedsAndNoTrailingBlanks) {
  std::string log, edited;
  for (const auto& v : variedRecords()) log += makeRecord(v);
  std::size_t at = 0;
  for (std::size_t end; (end = log.find("\r\n", at)) != std::string::npos; at = end + 2) {
    std::string line = log.substr(at, end - at);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    edited += line + "\n";
  }
  const LogContents c = read(edited);
  EXPECT_TRUE(c.skipped.empty());
  EXPECT_EQ(c.records.size(), variedRecords().size());
  EXPECT_EQ(c.records[1].values.name, cp("Петрова А.Б."));
  EXPECT_EQ(c.records[3].values.name, "");
  EXPECT_EQ(c.records[0].values.listing.size(), 2u);
}

TEST(LogReader_SkipsDamagedRecords, NamingTheLineAndReadingOn) {
  const std::string a = makeRecord(written(true, "+-", 245, "Первый", "1", "М-1", "Тема 1"));
  const std::string x = makeRecord(written(true, "++-", 100, "Второй", "2", "М-1", "Тема 1"));
  const std::string b = makeRecord(written(false, "+", 50, "Третий", "3", "М-2", "Тема 1"));
  auto edit = [&](const std::string& from, const std::string& to) {
    std::string r = x;
    return r.replace(r.find(cp(from)), cp(from).size(), cp(to));
  };
  const struct {
    const char* what;
    std::string damaged;  // stands between a and b; its first line is line 19
    std::size_t line;
    const char* reason;
  } cases[] = {
      {"partial write, next record glued on", x.substr(0, 200), 19, "запись оборвана"},
      {"partial write inside the name", x.substr(0, 100), 19, "запись оборвана"},
      {"label edited away", edit("Код:          ", "Кот 2"), 23, "ожидалась строка «Код:»"},
      {"number edited", edit("ответов:      3", "ответов:      три"), 28,
       "не число в строке «Получено ответов:»"},
      {"time used edited", edit("100 сек", "100 s"), 25, "не число секунд"},
      {"range edited", edit("с 1 по 40", "1-40"), 27, "не диапазон"},
      {"unknown grade", edit("4 - хор.", "6 - супер"), 31, "неизвестная оценка"},
      {"grade line gone", edit("Оценка:     4 - хор.", ""), 31, "«Оценка:» или «Результат:»"},
      {"listing damaged", edit("(+)", "(?)"), 34, "испорчен список ответов"},
      {"listing shorter than the count", edit("7: 3(-)    ", ""), 34,
       "ответов в списке не столько"},
      {"re-saved in UTF-8", utf8FromCp1251(x), 20, "UTF-8"},
      {"lone CR in a value", edit("Второй", "Вто\rрой"), 22, "управляющий символ"},
      {"a line too many", edit("Отчет:", "Отчет:\r\n"), 35, "ожидалась пустая строка"},
      {"the ===== line damaged", x.substr(1), 19, "строки вне записи"},
  };
  for (const auto& c : cases) {
    const LogContents log = read(a + c.damaged + b);
    ASSERT_EQ(log.records.size(), 2u) << c.what;
    EXPECT_EQ(log.records[0].values.name, cp("Первый")) << c.what;
    EXPECT_EQ(log.records[1].values.name, cp("Третий")) << c.what;
    ASSERT_EQ(log.skipped.size(), 1u) << c.what;
    EXPECT_EQ(log.skipped[0].line, c.line) << c.what;
    EXPECT_NE(utf8FromCp1251(log.skipped[0].reason).find(c.reason), std::string::npos)
        << c.what << ": " << utf8FromCp1251(log.skipped[0].reason);
  }

  // Cut short at the very end of the log, as by a crash while writing.
  const LogContents tail = read(a + b + x.substr(0, 300));
  EXPECT_EQ(tail.records.size(), 2u);
  ASSERT_EQ(tail.skipped.size(), 1u);
  EXPECT_EQ(tail.skipped[0].line, 37u);

  // Nothing at all, or only blank lines: no records and nothing to complain of.
  for (const std::string& empty : {std::string(), std::string("\r\n\r\n"), std::string(" \n")}) {
    const LogContents none = read(empty);
    EXPECT_TRUE(none.records.empty() && none.skipped.empty());
  }
}

TEST(LogReader_Streams, WhateverTheSizeOfEachRead) {
  // Varied and damaged records, an overlong line and a last line without its end.
  std::string log;
  for (const auto& v : variedRecords()) log += makeRecord(v);
  log += makeRecord(variedRecords()[0]).substr(0, 300);
  log += makeRecord(written(true, "+", 5, std::string(kLongestLogLine + 10, 'x'), "1", "M", "T"));
  for (const auto& v : variedRecords()) log += makeRecord(v);
  log += "tail without a line end";
  const LogContents whole = read(log);
  EXPECT_EQ(whole.records.size(), 2 * variedRecords().size());
  ASSERT_EQ(whole.skipped.size(), 3u);
  EXPECT_NE(utf8FromCp1251(whole.skipped[1].reason).find("строка длиннее"), std::string::npos);

  for (std::size_t chunk : {1u, 7u, 4096u}) {
    std::size_t at = 0;
    LogContents c;
    const int error = readLog(
        [&](char* to, std::size_t size) -> long {
          const std::size_t n = std::min({size, chunk, log.size() - at});
          std::copy_n(log.data() + at, n, to);
          at += n;
          return static_cast<long>(n);
        },
        [&](const LogRecord& r) { c.records.push_back(r); },
        [&](const SkippedRecord& s) { c.skipped.push_back(s); });
    EXPECT_EQ(error, 0);
    ASSERT_EQ(c.records.size(), whole.records.size()) << chunk;
    for (std::size_t k = 0; k < c.records.size(); ++k) {
      EXPECT_EQ(c.records[k].line, whole.records[k].line) << chunk;
      expectSame(c.records[k].values, whole.records[k].values);
    }
    ASSERT_EQ(c.skipped.size(), whole.skipped.size()) << chunk;
    for (std::size_t k = 0; k < c.skipped.size(); ++k)
      EXPECT_EQ(c.skipped[k].line, whole.skipped[k].line) << chunk;
  }
}

TEST(LogReader_Streams, StopsAtAReadErrorKeepingWhatCameBefore) {
  // The error comes in the middle of the second record: that record is not
  // damaged, its reading stopped (as when the outputs' disk is full).
  const std::string log =
      makeRecord(variedRecords()[0]) + makeRecord(variedRecords()[2]).substr(0, 200);
  bool first = true;
  std::size_t records = 0, skipped = 0;
  const int error = readLog(
      [&](char* to, std::size_t) -> long {
        if (!first) {
          errno = EIO;
          return -1;
        }
        first = false;
        std::copy(log.begin(), log.end(), to);
        return static_cast<long>(log.size());
      },
      [&](const LogRecord&) { ++records; }, [&](const SkippedRecord&) { ++skipped; });
  EXPECT_EQ(error, EIO);
  EXPECT_EQ(records, 1u);
  EXPECT_EQ(skipped, 0u);
}
