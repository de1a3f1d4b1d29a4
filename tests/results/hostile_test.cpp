// The results tool against what anybody who can write the course folder may
// plant there, run as the teacher would run it.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>

#include "exam/report.h"
#include "platform/cp1251.h"

namespace {

namespace fs = std::filesystem;

std::string record(const std::string& name) {
  TestResults r;
  r.DrawCount = 40;
  r.AnswerCount = 1;
  r.AskedQuestions[0] = 3;
  r.ChosenOptions[0] = 2;
  r.AnswerResults[0] = 1;
  const ReportInput input{true,      "05.03.2024", "07:08:09", cp(name), "1",
                          cp("М-1"), cp("Тема 1"), 1,          40};
  return makeRecord(makeReportValues(input, r, evaluate(r, true)));
}

std::string slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Outcome {
  int exit;
  std::string output;
};

Outcome run(const fs::path& dir, const std::string& args) {
  const std::string command =
      "cd '" + dir.string() + "' && LC_ALL=C.UTF-8 timeout 20 " RESULTS_TOOL " " + args + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string output;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    output.append(buffer, n);
  const int status = ::pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

}  // namespace

TEST(ResultsTool, HostileFolderAndLogs) {
  const std::string log = record("Первый") + record("Второй");
  const struct {
    const char* what;
    std::function<void(const fs::path&)> plant;
    std::string args;
    int exit;
    const char* says;  // in the output
    int records;       // in records.csv; -1: none written
  } cases[] = {
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
