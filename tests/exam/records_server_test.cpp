#include "exam/records_server.h"
#include "exam/server_courier.h"

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "exam/report.h"
#include "exam/start_mark.h"
#include "platform/cp1251.h"
#include "support/test_database.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::string kId = "5f0c1a2e-8d3b-4c6a-9e7f-112233445566";

ReportValues sampleValues() {
  ReportValues v;
  v.exam = true;
  v.date = "05.03.2024";
  v.time = "07:08:09";
  v.name = cp("Иванов И.И.");
  v.code = "007";
  v.group = cp("ЭТ-21");
  v.timeUsed = cp("245 сек");
  v.topic = cp("Цепи постоянного тока");
  v.range = cp("с 1 по 40");
  v.answers = "3";
  v.errors = "8";
  v.result = cp("2 - неуд.");
  v.listing = {{17, 3, true}, {4, 1, false}, {9, 2, false}};
  return v;
}

ServerItem recordItem() {
  return {false, kId, "seat-04", "ivanov", true, makeRecord(sampleValues())};
}

ServerItem startItem() {
  StartMark m{"05.03.2024",
              "06:59:01",
              true,
              cp("Цепи постоянного тока"),
              cp("с 1 по 40"),
              "007",
              cp("Иванов И.И."),
              cp("ЭТ-21"),
              "seat-04",
              kId};
  return {true, kId, "seat-04", "ivanov", true, formatStartMark(m)};
}

Delivery sendOne(const std::string& conninfo, const ServerItem& item) {
  RecordsSender sender(conninfo, std::chrono::steady_clock::now() + kRecordsBound);
  return sender.send(item);
}

class RecordsServer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (TestDatabase::serverConninfo().empty()) GTEST_SKIP() << "needs the server CTest starts";
    ASSERT_TRUE(db.ready()) << db.error();
    // Set up twice: the second run finds everything in place and changes nothing.
    ASSERT_EQ(initRecordsDatabase(db.conninfo()), std::nullopt);
    ASSERT_EQ(initRecordsDatabase(db.conninfo()), std::nullopt);
  }
  static TestDatabase db;
};
TestDatabase RecordsServer::db("records");

}  // namespace

TEST(RecordsSetting, TheVariableWinsElseTheFilesRecordsLine) {
  const fs::path conf = fs::temp_directory_path() / ("records-" + std::to_string(::getpid()));
  const struct {
    const char* variable;
    const char* file;  // nullptr: no file
    std::string conninfo;
    std::string problemStart;  // UTF-8; empty: no problem
  } cases[] = {
      {nullptr, nullptr, "", ""},
      {"", nullptr, "", ""},
      {"host=db1 dbname=vorsanit", "records=host=db2\n", "host=db1 dbname=vorsanit", ""},
      {nullptr, "# the school's server\n\nrecords = postgresql://seat@db2/vorsanit\n",
       "postgresql://seat@db2/vorsanit", ""},
      {nullptr, "records=\n", "", ""},
      {nullptr, "# nothing set\n", "", ""},
      {"host=db1 nonsense", nullptr, "", "VORSANIT_RECORDS: строка подключения не распознана"},
      {nullptr, "records=host=db2\nrecord=host=db3\n", "", ", строка 2: ожидалось records="},
      {nullptr, "records=postgresql://[broken\n", "",
       ", строка 1: строка подключения не распознана"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.variable ? c.variable : "(unset)") + " | " +
                 (c.file ? c.file : "(no file)"));
    fs::remove(conf);
    if (c.file) std::ofstream(conf) << c.file;
    const RecordsSetting s = recordsSetting(c.variable, conf.string());
    EXPECT_EQ(s.conninfo, c.conninfo);
    if (c.problemStart.empty())
      EXPECT_EQ(s.problem, "");
    else
      EXPECT_NE(utf8FromCp1251(s.problem).find(c.problemStart), std::string::npos)
          << utf8FromCp1251(s.problem);
  }
  fs::remove(conf);
}

TEST_F(RecordsServer, StoresARecordAndItsStartMarkFieldForFieldOnce) {
  const std::string seat = db.seatConninfo("fields");
  const ServerItem record = recordItem(), start = startItem();
  EXPECT_EQ(sendOne(seat, start).outcome, Delivery::Outcome::Stored);
  {
    RecordsSender sender(seat, std::chrono::steady_clock::now() + kRecordsBound);
    EXPECT_EQ(sender.send(record).outcome, Delivery::Outcome::Stored);
    // A resend, as after a kill before the outbox file was removed, adds nothing.
    EXPECT_EQ(sender.send(record).outcome, Delivery::Outcome::AlreadyThere);
  }
  EXPECT_EQ(sendOne(seat, start).outcome, Delivery::Outcome::AlreadyThere);

  std::vector<std::vector<std::string>> rows;
  ASSERT_EQ(TestDatabase::query(
                db.conninfo(),
                "SELECT id, exam, seat_date, seat_time, name, code, group_name, topic, range_text, "
                "seconds, answers, errors, grade, listing, host, account, client_addr, "
                "now() - received_at < interval '1 minute' FROM vorsanit.records",
                rows),
            "");
  const std::vector<std::vector<std::string>> expected{
      {kId, "t", "05.03.2024", "07:08:09", "Иванов И.И.", "007", "ЭТ-21", "Цепи постоянного тока",
       "с 1 по 40", "245", "3", "8", "2 - неуд.", "17: 3(+)    4: 1(-)    9: 2(-)", "seat-04",
       "ivanov", "127.0.0.1", "t"}};
  EXPECT_EQ(rows, expected);
  rows.clear();
  ASSERT_EQ(TestDatabase::query(db.conninfo(),
                                "SELECT id, exam, seat_date, seat_time, topic, range_text, code, "
                                "name, group_name, host, account, client_addr FROM vorsanit.starts",
                                rows),
            "");
  const std::vector<std::vector<std::string>> expectedStart{
      {kId, "t", "05.03.2024", "06:59:01", "Цепи постоянного тока", "с 1 по 40", "007",
       "Иванов И.И.", "ЭТ-21", "seat-04", "ivanov", "127.0.0.1"}};
  EXPECT_EQ(rows, expectedStart);

  // The teacher reads back the exact bytes, with what the server added.
  std::vector<ServerRow> read;
  ASSERT_EQ(readServerRows(db.conninfo(), false, [&](const ServerRow& r) { read.push_back(r); }),
            std::nullopt);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].payload, record.payload);
  EXPECT_EQ(read[0].id, kId);
  EXPECT_EQ(read[0].address, "127.0.0.1");
  EXPECT_EQ(read[0].host, "seat-04");
  EXPECT_TRUE(read[0].exam);
  read.clear();
  ASSERT_EQ(readServerRows(db.conninfo(), true, [&](const ServerRow& r) { read.push_back(r); }),
            std::nullopt);
  ASSERT_EQ(read.size(), 1u);
  EXPECT_EQ(read[0].payload, start.payload);
  EXPECT_TRUE(read[0].finished);
}

TEST_F(RecordsServer, TheSeatCanAddButNotReadChangeOrDelete) {
  const std::string seat = db.seatConninfo("rights");
  // Someone who read a test's id in the start journal sends a record of his own
  // first: the real one is still stored, beside it.
  ServerItem item = recordItem(), forged = recordItem();
  item.id = forged.id = "00000000-0000-4000-8000-000000000001";
  forged.payload.replace(forged.payload.find(cp("2 - неуд.")), 9, cp("5 - отл. "));
  ASSERT_EQ(sendOne(seat, forged).outcome, Delivery::Outcome::Stored);
  ASSERT_EQ(sendOne(seat, item).outcome, Delivery::Outcome::Stored);
  std::size_t sharing = 0;
  ASSERT_EQ(readServerRows(db.conninfo(), false,
                           [&](const ServerRow& r) { sharing += r.id == item.id && r.sharedId; }),
            std::nullopt);
  EXPECT_EQ(sharing, 2u);
  for (const char* table : {"vorsanit.records", "vorsanit.starts"}) {
    for (const std::string& sql :
         {std::string("SELECT * FROM ") + table, std::string("UPDATE ") + table + " SET host = 'x'",
          std::string("DELETE FROM ") + table, std::string("TRUNCATE ") + table,
          std::string("INSERT INTO ") + table +
              " (id, exam, host, account) VALUES "
              "(gen_random_uuid(), true, 'x', 'x')"}) {
      SCOPED_TRACE(sql);
      EXPECT_NE(TestDatabase::exec(seat, sql).find("permission denied"), std::string::npos);
    }
  }
  std::vector<std::vector<std::string>> rows;
  ASSERT_EQ(
      TestDatabase::query(db.conninfo(),
                          "SELECT host FROM vorsanit.records WHERE id = '" + item.id + "'", rows),
      "");
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"seat-04"}, {"seat-04"}}));
}

TEST_F(RecordsServer, AnEntrySentButLeftInTheOutboxArrivesOnce) {
  // The program was killed after the server took the record and before its
  // outbox file went: the next delivery finds it there and only removes the file.
  const std::string seat = db.seatConninfo("killed");
  const fs::path outbox =
      fs::temp_directory_path() / ("outbox-" + std::to_string(::getpid()) + "/");
  OutboxEntry entry{"record",
                    "server",
                    "00000000-0000-4000-8000-000000000002",
                    "seat-04",
                    "ivanov",
                    true,
                    0,
                    recordItem().payload};
  ASSERT_TRUE(putInOutbox(outbox.string(), entry));
  ServerItem item = recordItem();
  item.id = entry.id;
  ASSERT_EQ(sendOne(seat, item).outcome, Delivery::Outcome::Stored);

  const DeliverySummary summary = deliverToServer(outbox.string(), seat);
  EXPECT_EQ(summary.delivered, 1);
  EXPECT_TRUE(summary.left.empty());
  EXPECT_TRUE(readOutbox(outbox.string()).empty());
  std::vector<std::vector<std::string>> rows;
  ASSERT_EQ(TestDatabase::query(
                db.conninfo(),
                "SELECT count(*) FROM vorsanit.records WHERE id = '" + entry.id + "'", rows),
            "");
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"1"}}));
  fs::remove_all(outbox);
}

TEST_F(RecordsServer, ARowTheServerRefusesDoesNotHoldUpTheRest) {
  // A start line longer than the server takes (a topic title of a hostile
  // course, say) waits in the outbox; the records after it still go.
  const std::string seat = db.seatConninfo("refused");
  ServerItem tooLong = startItem();
  tooLong.id = "00000000-0000-4000-8000-000000000003";
  tooLong.payload.insert(0, std::string(70000, 'x'));
  ServerItem record = recordItem();
  record.id = "00000000-0000-4000-8000-000000000004";
  RecordsSender sender(seat, std::chrono::steady_clock::now() + kRecordsBound);
  const Delivery refused = sender.send(tooLong);
  EXPECT_EQ(refused.outcome, Delivery::Outcome::NotNow);
  EXPECT_NE(utf8FromCp1251(refused.reason).find("не принял"), std::string::npos);
  EXPECT_EQ(sender.send(record).outcome, Delivery::Outcome::Stored);
}

TEST(RecordsSender, NeverWaitsPastItsDeadline) {
  // A socket that takes connections and never answers, like a server that hangs.
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 4), 0);
  socklen_t length = sizeof address;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);
  const std::string silent =
      "host=127.0.0.1 port=" + std::to_string(ntohs(address.sin_port)) + " dbname=x user=x";

  const auto started = std::chrono::steady_clock::now();
  RecordsSender sender(silent, started + 300ms);
  const Delivery first = sender.send(recordItem());
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(first.outcome, Delivery::Outcome::NotNow);
  EXPECT_NE(utf8FromCp1251(first.reason).find("не ответил"), std::string::npos);
  EXPECT_GE(took, 300ms);
  EXPECT_LT(took, 800ms);
  // The rest of the round fails at once, with the same reason.
  const auto again = std::chrono::steady_clock::now();
  EXPECT_EQ(sender.send(startItem()).reason, first.reason);
  EXPECT_LT(std::chrono::steady_clock::now() - again, 50ms);
  ::close(listener);

  // A port nobody listens on: refused at once, and said so.
  RecordsSender refused(silent, std::chrono::steady_clock::now() + kRecordsBound);
  const Delivery down = refused.send(recordItem());
  EXPECT_EQ(down.outcome, Delivery::Outcome::NotNow);
  EXPECT_NE(utf8FromCp1251(down.reason).find("не удалось подключиться"), std::string::npos);
}
