#include "results/start_journal.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/cp1251.h"

namespace {

StartMark mark(const char* date, const char* time, const char* group = "М-121",
               const char* topic = "Тема 2", bool exam = true) {
  return {date,      time,     exam, cp(topic), cp("с 1 по 40"), "12", cp("Иванов И.И."),
          cp(group), "seat-4", "id"};
}

// A record of a test that took `seconds` by its own count.
LogRecord record(const char* date, const char* time, int seconds, const char* group = "М-121",
                 const char* topic = "Тема 2", bool exam = true) {
  LogRecord r;
  r.values.exam = exam;
  r.values.date = date;
  r.values.time = time;
  r.values.code = "12";
  r.values.name = cp("Иванов И.И.");
  r.values.group = cp(group);
  r.values.topic = cp(topic);
  r.seconds = seconds;
  return r;
}

}  // namespace

TEST(StartJournal, AMarkNoRecordAnswersIsAnUnfinishedTest) {
  const struct {
    const char* what;
    std::vector<StartMark> marks;
    std::vector<LogRecord> records;
    std::vector<bool> answered;  // per mark, in journal order
  } cases[] = {
      {"finished",
       {mark("05.03.2024", "10:00:00")},
       {record("05.03.2024", "10:05:00", 300)},
       {true}},
      {"the record at the end of the time limit and the slack",
       {mark("05.03.2024", "10:00:00")},
       {record("05.03.2024", "10:11:00", 600)},
       {true}},
      {"a record a second later is another test's",
       {mark("05.03.2024", "10:00:00")},
       {record("05.03.2024", "10:11:01", 600)},
       {false}},
      {"a record before the mark",
       {mark("05.03.2024", "10:00:00")},
       {record("05.03.2024", "09:59:59", 100)},
       {false}},
      {"across midnight",
       {mark("05.03.2024", "23:58:00")},
       {record("06.03.2024", "00:05:00", 420)},
       {true}},
      {"ended and begun again: the record answers the second start",
       {mark("05.03.2024", "10:00:00"), mark("05.03.2024", "10:01:30")},
       {record("05.03.2024", "10:08:00", 390)},
       {false, true}},
      {"two tests, their records in either order",
       {mark("05.03.2024", "10:00:00"), mark("05.03.2024", "10:03:00")},
       {record("05.03.2024", "10:09:00", 360), record("05.03.2024", "10:02:00", 120)},
       {true, true}},
      {"two tests overlapping: each record answers its own start",
       {mark("05.03.2024", "10:00:00"), mark("05.03.2024", "10:08:20")},
       {record("05.03.2024", "10:10:00", 600), record("05.03.2024", "10:18:20", 600)},
       {true, true}},
      {"records of another topic, mode or group",
       {mark("05.03.2024", "10:00:00")},
       {record("05.03.2024", "10:05:00", 300, "М-121", "Тема 3"),
        record("05.03.2024", "10:05:00", 300, "М-121", "Тема 2", false),
        record("05.03.2024", "10:05:00", 300, "М-122")},
       {false}},
      {"the group typed in another case and with blanks",
       {mark("05.03.2024", "10:00:00", " м-121 ")},
       {record("05.03.2024", "10:05:00", 300)},
       {true}},
  };
  for (const auto& c : cases) {
    StartMarks marks;
    for (const auto& m : c.marks) marks.add(m);
    marks.sort();
    for (const auto& r : c.records) marks.answer(r);
    for (std::size_t k = 0; k < c.marks.size(); ++k)
      EXPECT_EQ(marks.answered(c.marks[k]), c.answered[k]) << c.what << ", mark " << k;
  }
}

TEST(StartJournal, ReadsTheLinesTheProgramWritesAndNamesTheOthers) {
  const std::string journal = formatStartMark(mark("05.03.2024", "10:00:00")) + "\r\n" +
                              "05.03.2024\t10:00\tnot a mark\r\n" +
                              formatStartMark(mark("31.02.2024", "10:00:00")) +
                              formatStartMark(mark("06.03.2024", "08:00:00"));
  std::size_t at = 0;
  std::vector<std::size_t> marks, bad;
  const int error = readJournal(
      [&](char* to, std::size_t size) -> long {
        const std::size_t n = std::min(size, journal.size() - at);
        std::memcpy(to, journal.data() + at, n);
        at += n;
        return static_cast<long>(n);
      },
      [&](const StartMark&, std::size_t line) { marks.push_back(line); },
      [&](std::size_t line) { bad.push_back(line); });
  EXPECT_EQ(error, 0);
  EXPECT_EQ(marks, (std::vector<std::size_t>{1, 5}));
  EXPECT_EQ(bad, (std::vector<std::size_t>{3, 4}));
}
