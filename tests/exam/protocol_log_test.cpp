#include "exam/protocol_log.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/cp1251.h"

namespace fs = std::filesystem;

namespace {

class ProtocolLog : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("vorsanit-log-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, ec);
    fs::remove_all(dir, ec);
  }
  std::string path(const char* name) const { return (dir / name).string(); }
  static std::string read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  fs::path dir;
};

// A record of 18 lines that names its writer and its number.
std::string record(int writer, int number) {
  std::string r(57, '=');
  r += "\r\n";
  for (int line = 2; line <= 18; ++line)
    r += "writer " + std::to_string(writer) + " record " + std::to_string(number) + "\r\n";
  return r;
}

}  // namespace

TEST_F(ProtocolLog, FirstRecordCreatesTheFileLaterOnesAppend) {
  const std::string log = path("ekzam.log");
  ASSERT_FALSE(appendRecord(log, record(1, 1)));
  EXPECT_EQ(read(log), record(1, 1));
  ASSERT_FALSE(appendRecord(log, record(1, 2)));
  EXPECT_EQ(read(log), record(1, 1) + record(1, 2));
}

TEST_F(ProtocolLog, AFailureLeavesTheFileAsItWas) {
  // A folder where the log should be, a missing folder: nothing is created.
  fs::create_directory(dir / "zachet.log");
  auto failure = appendRecord(path("zachet.log"), record(1, 1));
  ASSERT_TRUE(failure);
  EXPECT_EQ(utf8FromCp1251(failure->reason), "под этим именем находится папка");
  failure = appendRecord(path("missing/ekzam.log"), record(1, 1));
  ASSERT_TRUE(failure);
  EXPECT_EQ(utf8FromCp1251(failure->reason), "папка не найдена");

  // A write that fails half-way (the file may not grow past its limit) is taken back.
  const std::string log = path("ekzam.log");
  ASSERT_FALSE(appendRecord(log, record(1, 1)));
  const std::string before = read(log);
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  ::getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = before.size() + 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  failure = appendRecord(log, record(1, 2));
  ::setrlimit(RLIMIT_FSIZE, &old);
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->code, EFBIG);
  EXPECT_EQ(read(log), before);

  // A read-only file (only an ordinary user is refused; root writes anyway).
  if (::geteuid() != 0) {
    fs::permissions(log, fs::perms::owner_read);
    failure = appendRecord(log, record(1, 3));
    ASSERT_TRUE(failure);
    EXPECT_EQ(utf8FromCp1251(failure->reason), "нет права на запись");
    EXPECT_EQ(read(log), before);
  }
}

TEST_F(ProtocolLog, ALinkIsFollowedOnlyToAnExistingLog) {
  // A dangling link planted under the log's name creates nothing where it points.
  fs::create_symlink(dir / "elsewhere", dir / "ekzam.log");
  const auto failure = appendRecord(path("ekzam.log"), record(1, 1));
  ASSERT_TRUE(failure);
  EXPECT_EQ(utf8FromCp1251(failure->reason), "это ссылка, которая никуда не ведёт");
  EXPECT_FALSE(fs::exists(dir / "elsewhere"));

  // A link to a log that exists is appended to, as the log itself would be.
  std::ofstream(dir / "real.log", std::ios::binary) << record(1, 1);
  fs::create_symlink(dir / "real.log", dir / "zachet.log");
  ASSERT_FALSE(appendRecord(path("zachet.log"), record(1, 2)));
  EXPECT_EQ(read(path("real.log")), record(1, 1) + record(1, 2));
}

TEST_F(ProtocolLog, ConcurrentWritersLoseAndInterleaveNothing) {
  constexpr int kWriters = 8;
  constexpr int kRecords = 60;
  const std::string log = path("zachet.log");
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      int failures = 0;
      for (int n = 0; n < kRecords; ++n) failures += appendRecord(log, record(w, n)).has_value();
      ::_exit(failures == 0 ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }

  // Cut the file into records at their first lines; each must be one whole record.
  const std::string text = read(log);
  const std::string head = std::string(57, '=') + "\r\n";
  std::map<int, int> nextOf;
  std::size_t at = 0, count = 0;
  while (at < text.size()) {
    const std::size_t end = text.find(head, at + 1);
    const std::string one =
        text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    const int w = std::stoi(one.substr(head.size() + 7));
    ASSERT_EQ(one, record(w, nextOf[w])) << "record " << count;
    ++nextOf[w];
    ++count;
    at = end == std::string::npos ? text.size() : end;
  }
  EXPECT_EQ(count, static_cast<std::size_t>(kWriters * kRecords));
}

TEST_F(ProtocolLog, ABusyLogIsToldAtOnceAndADeliveredRecordIsNotDoubled) {
  const std::string log = path("ekzam.log");
  ASSERT_FALSE(appendRecord(log, record(1, 1)));
  const int holder = ::open(log.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  const auto busy = appendRecord(log, record(1, 2), {LockWait::Try, std::nullopt});
  ::close(holder);
  ASSERT_TRUE(busy);
  EXPECT_EQ(utf8FromCp1251(busy->reason), "файл занят другой программой");

  // A record already there after the given offset is not appended again; one
  // before it, or not there at all, is.
  const std::uint64_t since = logSize(log);
  ASSERT_FALSE(appendRecord(log, record(1, 2), {LockWait::Try, since}));
  ASSERT_FALSE(appendRecord(log, record(1, 2), {LockWait::Try, since}));
  ASSERT_FALSE(appendRecord(log, record(1, 1), {LockWait::Try, since}));
  EXPECT_EQ(read(log), record(1, 1) + record(1, 2) + record(1, 1));
}

TEST_F(ProtocolLog, ANewLogTakesTheFoldersGroupAndItsWriteAccess) {
  const mode_t old = ::umask(077);
  fs::permissions(dir, fs::perms::owner_all | fs::perms::group_all);
  ASSERT_FALSE(appendRecord(path("ekzam.log"), record(1, 1)));
  fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
  ASSERT_FALSE(appendRecord(path("zachet.log"), record(1, 1)));
  ::umask(old);
  struct stat folder {
  }, shared{}, closed{};
  ASSERT_EQ(::stat(dir.c_str(), &folder), 0);
  ASSERT_EQ(::stat(path("ekzam.log").c_str(), &shared), 0);
  ASSERT_EQ(::stat(path("zachet.log").c_str(), &closed), 0);
  EXPECT_EQ(shared.st_mode & 0777, 0664u);
  EXPECT_EQ(closed.st_mode & 0777, 0644u);
  EXPECT_EQ(shared.st_gid, folder.st_gid);
}
