#include "exam/outbox.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

class Outbox : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = fs::temp_directory_path() /
          ("vorsanit-outbox-" + std::to_string(::getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
    box = (dir / "state/vorsanit/outbox/").string();
  }
  void TearDown() override { fs::remove_all(dir); }
  OutboxEntry entry(const std::string& payload) const {
    OutboxEntry e;
    e.kind = "record";
    e.target = (dir / "ekzam.log").string();
    e.id = "1b4e28ba-2fa1-41d2-883f-0016d3cca427";
    e.host = "seat-04";
    e.account = "student";
    e.payload = payload;
    return e;
  }
  static std::string read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  fs::path dir;
  std::string box;
};

// Lets everything through, or nothing, and counts what it was given.
struct CountingCourier final : Courier {
  std::optional<AppendFailure> deliver(const OutboxEntry&) override {
    ++calls;
    if (refuse) return AppendFailure{ENOTCONN, "down"};
    return std::nullopt;
  }
  bool refuse = false;
  int calls = 0;
};

}  // namespace

TEST_F(Outbox, AnEntryKeepsEveryByteAndAnythingElseIsLeftAlone) {
  OutboxEntry e = entry(std::string("line\r\n\0%=\n\n", 11) + "\xC0\xFF");
  e.target = "/srv/kurs %41\nx/ekzam.log";
  e.host = "a=b\r\n";
  e.exam = false;
  e.since = 12345;
  ASSERT_EQ(parseEntry(serializeEntry(e)), e);
  const std::string good = serializeEntry(entry("abc"));
  for (const std::string& damaged :
       {good.substr(0, good.size() - 1), good + "x", "X" + good.substr(1),
        std::string("VORSANIT-OUTBOX 1\nkind=record\nsize=0\n\n"),  // no target
        std::string("VORSANIT-OUTBOX 1\nkind=odd\ntarget=/a\nsize=0\n\n"),
        std::string("VORSANIT-OUTBOX 1\nkind=start\ntarget=/a%4\nsize=0\n\n")})
    EXPECT_FALSE(parseEntry(damaged)) << damaged;
}

TEST_F(Outbox, EntriesArePrivateWaitInOrderAndGoOnceDelivered) {
  ASSERT_TRUE(putInOutbox(box, entry("first")));
  ASSERT_TRUE(putInOutbox(box, entry("second")));
  std::ofstream(box + "foreign.txt") << "not an entry";
  std::ofstream(box + "damaged.entry") << "VORSANIT-OUTBOX 1\n";
  fs::create_symlink(dir / "elsewhere", box + "link.entry");
  struct stat folder {};
  ASSERT_EQ(::stat(box.c_str(), &folder), 0);
  EXPECT_EQ(folder.st_mode & 0777, 0700u);

  const auto items = readOutbox(box);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].entry.payload, "first");
  EXPECT_EQ(items[1].entry.payload, "second");
  struct stat file {};
  ASSERT_EQ(::stat(items[0].file.c_str(), &file), 0);
  EXPECT_EQ(file.st_mode & 0777, 0600u);

  // A server entry without a server waits; refused ones wait; delivered ones go.
  OutboxEntry toServer = entry("third");
  toServer.target = "server";
  ASSERT_TRUE(putInOutbox(box, toServer));
  CountingCourier files;
  files.refuse = true;
  auto summary = deliverOutbox(box, files);
  EXPECT_EQ(summary.delivered, 0);
  EXPECT_EQ(summary.left.size(), 3u);
  files.refuse = false;
  summary = deliverOutbox(box, files);
  EXPECT_EQ(summary.delivered, 2);
  ASSERT_EQ(summary.left.size(), 1u);
  EXPECT_EQ(summary.left[0].second.code, ENOTCONN);
  EXPECT_TRUE(fs::exists(box + "foreign.txt"));
  EXPECT_TRUE(fs::exists(box + "damaged.entry"));
}

TEST_F(Outbox, ALogDeliveryInterruptedBeforeTheRemovalIsNotDoubled) {
  const std::string log = (dir / "ekzam.log").string();
  std::ofstream(log, std::ios::binary) << "earlier\r\n";
  OutboxEntry e = entry("the record\r\n");
  e.since = logSize(log);
  ASSERT_TRUE(putInOutbox(box, e));
  LogCourier courier;
  ASSERT_FALSE(courier.deliver(e));  // appended, then the program was killed
  EXPECT_EQ(deliverOutbox(box, courier).delivered, 1);
  EXPECT_EQ(read(log), "earlier\r\nthe record\r\n");
  EXPECT_TRUE(readOutbox(box).empty());
}

TEST_F(Outbox, ARecordLeftWithoutItsCopyForTheServerGetsOne) {
  // The program was ended between putting the log's entry and the server's copy.
  ASSERT_TRUE(putInOutbox(box, entry("alone")));
  OutboxEntry paired = entry("paired"), copy = paired;
  copy.target = "server";
  ASSERT_TRUE(putInOutbox(box, paired));
  ASSERT_TRUE(putInOutbox(box, copy));
  copyForServer(box);
  copyForServer(box);
  std::multiset<std::string> forServer;
  for (const OutboxItem& item : readOutbox(box))
    if (item.entry.target == "server") forServer.insert(item.entry.payload);
  EXPECT_EQ(forServer, (std::multiset<std::string>{"alone", "paired"}));
}

TEST_F(Outbox, AnOutboxThatIsALinkIsRefused) {
  fs::create_directories(dir / "elsewhere");
  fs::create_directories(dir / "state/vorsanit");
  fs::create_directory_symlink(dir / "elsewhere", dir / "state/vorsanit/outbox");
  const auto put = putInOutbox(box, entry("record"));
  ASSERT_FALSE(put);
  EXPECT_EQ(put.error().code, EACCES);
  EXPECT_TRUE(fs::is_empty(dir / "elsewhere"));
}
