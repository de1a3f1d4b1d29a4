// The results tool against what anybody who can write the course folder may
// plant there, run as the teacher would run it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>

#include "exam/report.h"
#include "exam/start_mark.h"
#include "platform/cp1251.h"
#include "results/run_tool.h"

namespace {

namespace fs = std::filesystem;

std::string record(const std::string& name) {
  TestResults r;
  r.DrawCount = 40;
  r.ElapsedSeconds = 600;  // one answer, then the time ran out
  r.AnswerCount = 1;
  r.AskedQuestions[0] = 3;
  r.ChosenOptions[0] = 2;
  r.AnswerResults[0] = 1;
  const ReportInput input{true,      "05.03.2024", "07:08:09", cp(name), "1",
                          cp("М-1"), cp("Тема 1"), 1,          40};
  return makeRecord(makeReportValues(input, r, evaluate(r, true)));
}

}  // namespace

TEST(ResultsTool, HostileFolderAndLogs) {
  const std::string log = record("Первый") + record("Второй");
  // Another account's folder: one made and given away when running as root, else the root folder.
  const bool root = ::geteuid() == 0;
  const struct {
    const char* what;
    std::function<void(const fs::path&)> plant;
    std::string args;
    int exit;
    const char* says;  // in the output
    int records;       // in records.csv; -1: none written
  } cases[] = {
      {"a link planted as the output folder",
       [](const fs::path& d) {
         fs::create_directory(d / "elsewhere");
         fs::create_directory_symlink("elsewhere", d / "results");
       },
       "ekzam.log --out results/", 2,
       "results/: результаты сюда не пишутся: это символическая ссылка", -1},
      {"an output folder others can write to",
       [](const fs::path& d) {
         fs::create_directory(d / "results");
         fs::permissions(d / "results", fs::perms::all);
       },
       "ekzam.log --out results", 2, "в папку могут писать и другие (права 0777)", -1},
      {"another account's output folder",
       [root](const fs::path& d) {
         if (!root) return;
         fs::create_directory(d / "theirs");
         ASSERT_EQ(::chown((d / "theirs").c_str(), 65534, 65534), 0);
       },
       root ? "ekzam.log --out theirs" : "ekzam.log --out /", 2, "папка принадлежит не вам", -1},
      {"outputs readable by all when asked", [](const fs::path&) {}, "ekzam.log --readable", 0,
       "Записей: 2", 2},
      {"a day no calendar has", [](const fs::path&) {}, "ekzam.log --from 32.13.2024", 2,
       "Дата после --from 32.13.2024 не бывает", -1},
      {"the database set up and a log read in one run", [](const fs::path&) {},
       "--init-db=host=/nonexistent ekzam.log", 2, "--init-db не сочетается с другими", -1},
      {"a group typed in another case and with blanks", [](const fs::path&) {},
       "ekzam.log --group ' м-1 '", 0, "Записей: 2", 2},
      {"old temporaries linked to the log and a start-up file",
       [](const fs::path& d) {
         fs::create_symlink("ekzam.log", d / "records.csv.tmp");
         fs::create_symlink(".bashrc", d / "questions.csv.tmp");
         fs::create_symlink(".bashrc", d / "index.html.tmp");
       },
       "ekzam.log", 0, "Записей: 2", 2},
      {"a table's name linked to the start-up file",
       [](const fs::path& d) { fs::create_symlink(".bashrc", d / "records.csv"); }, "ekzam.log", 0,
       "Записей: 2", 2},
      {"a pipe as a log", [](const fs::path& d) { ::mkfifo((d / "fifo.log").c_str(), 0600); },
       "fifo.log ekzam.log", 1, "fifo.log: это не обычный файл", 2},
      {"a link to a device",
       [](const fs::path& d) { fs::create_symlink("/dev/zero", d / "zero.log"); },
       "zero.log ekzam.log", 1, "zero.log: это не обычный файл", 2},
      {"a link loop",
       [](const fs::path& d) {
         fs::create_symlink("b.log", d / "a.log");
         fs::create_symlink("a.log", d / "b.log");
       },
       "a.log ekzam.log", 1, "a.log: символические ссылки замкнуты в петлю", 2},
      {"one log named twice", [](const fs::path& d) { fs::create_directory(d / "x"); },
       "ekzam.log ./x/../ekzam.log", 0,
       "./x/../ekzam.log: этот журнал уже назван; он читается один раз", 2},
      {"a name ending in the separator",
       [](const fs::path& d) {
         std::ofstream(d / "more.log", std::ios::binary) << record("Вася" + std::string(57, '='));
       },
       "ekzam.log more.log", 0, "Записей: 3", 3},
      {"a table's name taken by a folder",
       [](const fs::path& d) { fs::create_directory(d / "records.csv"); }, "ekzam.log", 2,
       "records.csv: не удаётся записать файл: под этим именем находится папка", -1},
      {"only a pipe", [](const fs::path& d) { ::mkfifo((d / "fifo.log").c_str(), 0600); },
       "fifo.log", 2, "Не прочитано ни одной записи", -1},
  };
  for (const auto& c : cases) {
    const fs::path dir =
        fs::temp_directory_path() / ("vorsanit-hostile-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                             fs::perms::others_read | fs::perms::others_exec);
    std::ofstream(dir / "ekzam.log", std::ios::binary) << log;
    std::ofstream(dir / ".bashrc") << "# mine\n";
    std::ofstream(dir / "questions.csv") << "before\n";
    c.plant(dir);

    const Outcome o = run(dir, c.args);
    EXPECT_EQ(o.exit, c.exit) << c.what << "\n" << o.output;
    EXPECT_NE(o.output.find(c.says), std::string::npos) << c.what << "\n" << o.output;
    // Nothing planted was followed, and no temporary is left behind.
    EXPECT_EQ(slurp(dir / "ekzam.log"), log) << c.what;
    EXPECT_EQ(slurp(dir / ".bashrc"), "# mine\n") << c.what;
    for (const auto& entry : fs::directory_iterator(dir))
      EXPECT_FALSE(entry.path().filename().string().starts_with(".records")) << c.what;
    if (c.records < 0) {
      EXPECT_EQ(slurp(dir / "questions.csv"), "before\n") << c.what;  // all or nothing
    } else {
      EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir / "records.csv"))) << c.what;
      const std::string csv = slurp(dir / "records.csv");
      EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), c.records + 1) << c.what;
      // The teacher's alone unless asked otherwise.
      const bool readable = c.args.find("--readable") != std::string::npos;
      for (const char* output : {"records.csv", "results.xlsx", "index.html"})
        EXPECT_EQ(fs::status(dir / output).permissions() & fs::perms::all,
                  readable ? fs::perms::owner_read | fs::perms::owner_write |
                                 fs::perms::group_read | fs::perms::others_read
                           : fs::perms::owner_read | fs::perms::owner_write)
            << c.what << ": " << output;
    }
    fs::remove_all(dir);
  }
}

TEST(ResultsTool, RemovesTheStaleTemporariesOfAKilledRunOnly) {
  const fs::path dir = fs::temp_directory_path() / ("vorsanit-stale-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "ekzam.log", std::ios::binary) << record("Первый");
  const auto plant = [&](const char* name, bool old) {
    std::ofstream(dir / name) << "partial";
    if (old)
      fs::last_write_time(dir / name, fs::last_write_time(dir / name) - std::chrono::hours(25));
  };
  plant(".records.csv.k1ll3drun0", true);  // a run killed yesterday
  plant(".index.html.0123456789", false);  // another run may be writing it now
  plant(".records.csv.mine", true);        // not a name the tool gives
  fs::create_symlink("ekzam.log", dir / ".questions.csv.aaaaaaaaaa");  // old, but not a file
  const timespec dayOld[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 25 * 3600, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, (dir / ".questions.csv.aaaaaaaaaa").c_str(), dayOld,
                        AT_SYMLINK_NOFOLLOW),
            0);

  const Outcome o = run(dir, "ekzam.log");
  EXPECT_EQ(o.exit, 0) << o.output;
  EXPECT_FALSE(fs::exists(dir / ".records.csv.k1ll3drun0"));
  EXPECT_TRUE(fs::exists(dir / ".index.html.0123456789"));
  EXPECT_TRUE(fs::exists(dir / ".records.csv.mine"));
  EXPECT_TRUE(fs::is_symlink(dir / ".questions.csv.aaaaaaaaaa"));
  fs::remove_all(dir);
}

TEST(ResultsTool, ListsUnfinishedTestsAndImpossibleRecords) {
  const fs::path dir =
      fs::temp_directory_path() / ("vorsanit-unfinished-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::permissions(dir, fs::perms::owner_all);
  // A finished test, a record whose grade was raised by hand, a test ended in
  // its middle and one begun a moment ago, which may still be running.
  std::string raised = record("Второй");
  raised.replace(raised.find(cp("2 - неуд.")), cp("2 - неуд.").size(), cp("5 - отл."));
  std::ofstream(dir / "ekzam.log", std::ios::binary) << record("Первый") + raised;
  auto mark = [](const char* name, const std::string& date, const std::string& time) {
    return formatStartMark({date, time, true, cp("Тема 1"), cp("с 1 по 40"), "1", cp(name),
                            cp("М-1"), "seat-4", "id"});
  };
  char today[16], now[16];
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&t, &local);
  std::strftime(today, sizeof today, "%d.%m.%Y", &local);
  std::strftime(now, sizeof now, "%H:%M:%S", &local);
  std::ofstream(dir / "ekzam.start", std::ios::binary)
      << mark("Первый", "05.03.2024", "06:59:00") + mark("Третий", "05.03.2024", "09:00:00") +
             mark("Четвёртый", today, now);

  // No pass/fail test was ever finished: there is a journal, but no log.
  std::ofstream(dir / "zachet.start", std::ios::binary) << [] {
    StartMark m{"05.03.2024", "10:00:00",   false,     cp("Тема 1"), cp("с 1 по 40"),
                "1",          cp("Третий"), cp("М-1"), "seat-4",     "id"};
    return formatStartMark(m);
  }();

  const Outcome o = run(dir, "ekzam.log zachet.log --out out");
  EXPECT_EQ(o.exit, 1) << o.output;
  EXPECT_NE(o.output.find("ekzam.log:19: запись не учтена: оценка «5 - отл.», а ошибок: 9"),
            std::string::npos)
      << o.output;
  EXPECT_NE(o.output.find("незаконченных тестов: 2 (ekzam.start:2, zachet.start:1)"),
            std::string::npos)
      << o.output;
  const std::string unfinished = slurp(dir / "out/unfinished.csv");
  EXPECT_EQ(std::count(unfinished.begin(), unfinished.end(), '\n'), 3);
  EXPECT_NE(unfinished.find("экзамен,05.03.2024,09:00:00,Тема 1,с 1 по 40,1,Третий,М-1,seat-4,,,,"
                            "id,ekzam.start,2\r\n"),
            std::string::npos)
      << unfinished;
  EXPECT_NE(slurp(dir / "out/impossible.csv").find("ekzam.log,19,"), std::string::npos);
  // The candidate who never finished a test is among the candidates.
  EXPECT_NE(slurp(dir / "out/candidates.csv").find("1,Третий,М-1,0,,,,,нет,2\r\n"),
            std::string::npos);
  const std::string page = slurp(dir / "out/index.html");
  EXPECT_NE(page.find("Незаконченные тесты"), std::string::npos);
  EXPECT_NE(page.find("Записи, которые не могут быть правдой"), std::string::npos);
  EXPECT_NE(page.find("они могут ещё идти): 1"), std::string::npos);
  EXPECT_EQ(slurp(dir / "out/results.xlsx").substr(0, 2), "PK");
  fs::remove_all(dir);
}
