// The results tool with the records server: setting up the database, reading
// the records from it and comparing the logs with it, run as the teacher would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "exam/records_server.h"
#include "exam/report.h"
#include "exam/start_mark.h"
#include "platform/cp1251.h"
#include "results/run_tool.h"
#include "support/test_database.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::size_t from = 0;
  for (std::size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
    out.push_back(text.substr(from, end - from));
  return out;
}

// An exam record of a candidate: the last `wrong` of ten answers wrong (a test
// goes on after a wrong answer only while there are fewer than three).
std::string record(const std::string& name, const std::string& time, int wrong) {
  TestResults r;
  r.DrawCount = 40;
  r.AnswerCount = 10;
  for (std::size_t k = 0; k < 10; ++k) {
    r.AskedQuestions[k] = static_cast<std::uint16_t>(k + 1);
    r.ChosenOptions[k] = 1;
    r.AnswerResults[k] = k + static_cast<std::size_t>(wrong) < 10 ? 1 : 0;
  }
  r.ErrorCount = wrong;
  const ReportInput input{true, "05.03.2024", time, cp(name), "1", cp("М-1"), cp("Тема 1"), 1, 40};
  return makeRecord(makeReportValues(input, r, evaluate(r, true)));
}

std::string uuid(int n) {
  std::string tail = std::to_string(n);
  return "00000000-0000-4000-8000-" + std::string(12 - tail.size(), '0') + tail;
}

}  // namespace

TEST(ResultsServer, ReadsTheServerAndFindsWhatTheLogsChanged) {
  TestDatabase db("results");
  if (TestDatabase::serverConninfo().empty()) GTEST_SKIP() << "needs the server CTest starts";
  ASSERT_TRUE(db.ready()) << db.error();
  const fs::path dir = fs::temp_directory_path() / ("results-server-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const std::string owner = "'" + db.conninfo() + "'";
  for (int k = 0; k < 2; ++k) {
    const Outcome init = run(dir, "--init-db " + owner);
    ASSERT_EQ(init.exit, 0) << init.output;
  }

  // Three tests reach the server, and a fourth begun an hour ago never ended.
  const std::string a = record("Алексеев", "09:00:00", 0), b = record("Борисов", "09:01:00", 2),
                    c = record("Власов", "09:02:00", 3);
  const std::string seat = db.seatConninfo();
  RecordsSender sender(seat, std::chrono::steady_clock::now() + kRecordsBound);
  int n = 0;
  for (const std::string* text : {&a, &b, &c}) {
    ++n;
    ASSERT_TRUE(sender.send({false, uuid(n), "seat-0" + std::to_string(n), "pupil", true, *text})
                    .delivered());
  }
  const StartMark lost{"05.03.2024", "08:50:00",   true,      cp("Тема 1"), cp("с 1 по 40"),
                       "9",          cp("Петров"), cp("М-1"), "seat-09",    uuid(9)};
  ASSERT_TRUE(
      sender.send({true, uuid(9), "seat-09", "pupil", true, formatStartMark(lost)}).delivered());
  ASSERT_EQ(TestDatabase::exec(db.conninfo(),
                               "UPDATE vorsanit.starts SET received_at = now() - "
                               "interval '1 hour'"),
            "");

  // The shared log: Борисов made his 3 a 5, Власов's 2 is gone, and a record
  // that never reached the server was planted.
  const std::string forged = record("Борисов", "09:01:00", 0);
  const std::string planted = record("Дмитриев", "09:03:00", 0);
  std::ofstream(dir / "ekzam.log", std::ios::binary) << a << forged << planted;

  const Outcome compared = run(dir, "--db " + owner + " ekzam.log --out out");
  EXPECT_EQ(compared.exit, 1) << compared.output;
  EXPECT_NE(compared.output.find("Журналы расходятся с сервером: 3"), std::string::npos)
      << compared.output;
  const auto mismatches = lines(slurp(dir / "out" / "mismatches.csv"));
  ASSERT_EQ(mismatches.size(), 4u) << slurp(dir / "out" / "mismatches.csv");
  EXPECT_TRUE(
      mismatches[1].starts_with("изменена в журнале,экзамен,05.03.2024,09:01:00,Борисов,1,"
                                "М-1,3 - удовл.,5 - отл.,ekzam.log,19,seat-02,127.0.0.1,"))
      << mismatches[1];
  EXPECT_TRUE(
      mismatches[2].starts_with("нет в журналах,экзамен,05.03.2024,09:02:00,Власов,1,М-1,"
                                "2 - неуд.,,,,seat-03,127.0.0.1,"))
      << mismatches[2];
  EXPECT_EQ(mismatches[3],
            "нет на сервере,экзамен,05.03.2024,09:03:00,Дмитриев,1,М-1,,5 - отл.,"
            "ekzam.log,37,,,,");
  EXPECT_NE(slurp(dir / "out" / "index.html").find("Сверка журналов с сервером"),
            std::string::npos);

  // The records are the server's, with the seat and the server's time appended.
  const auto records = lines(slurp(dir / "out" / "records.csv"));
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[0],
            "mode,date,time,name,code,group,topic,range,seconds,answers,errors,result,seat,"
            "account,address,server_time");
  EXPECT_TRUE(
      records[2].starts_with("экзамен,05.03.2024,09:01:00,Борисов,1,М-1,Тема 1,с 1 по 40,"
                             "0,10,2,3 - удовл.,seat-02,pupil,127.0.0.1,20"))
      << records[2];
  const auto unfinished = lines(slurp(dir / "out" / "unfinished.csv"));
  ASSERT_EQ(unfinished.size(), 2u);
  EXPECT_TRUE(unfinished[1].starts_with("экзамен,05.03.2024,08:50:00,Тема 1,с 1 по 40,9,Петров,"))
      << unfinished[1];

  // A log that agrees with the server: nothing to report.
  std::ofstream(dir / "ekzam.log", std::ios::binary) << a << b << c;
  const Outcome agreed = run(dir, "--db " + owner + " ekzam.log --out out");
  EXPECT_EQ(agreed.exit, 0) << agreed.output;
  EXPECT_EQ(lines(slurp(dir / "out" / "mismatches.csv")).size(), 1u);

  // A record made up under Алексеев's test id stands out, however the logs agree.
  ASSERT_TRUE(sender.send({false, uuid(1), "seat-07", "pupil", true, forged}).delivered());
  const Outcome twice = run(dir, "--db " + owner + " ekzam.log --out out");
  EXPECT_EQ(twice.exit, 1) << twice.output;
  EXPECT_NE(twice.output.find("больше одной записи: 2"), std::string::npos) << twice.output;
  const auto same = lines(slurp(dir / "out" / "mismatches.csv"));
  ASSERT_EQ(same.size(), 2u);
  EXPECT_TRUE(
      same[1].starts_with("вторая запись того же теста,экзамен,05.03.2024,09:01:00,"
                          "Борисов,1,М-1,5 - отл.,,,,seat-07,"))
      << same[1];
  fs::remove_all(dir);
}
