// Exams on a seat with and without a records server: the record goes to the
// log and the server, a server away is told once and caught up with later,
// and a seat with no server set up never tries one.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <set>

#include "exam/outbox.h"
#include "exam/records_server.h"
#include "exam/server_courier.h"
#include "exam/ui/report_window.h"
#include "exam/ui/testing_window.h"
#include "platform/cp1251.h"
#include "support/test_database.h"
#include "support/test_support.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A loopback port nobody listens on: a server that is down.
std::string downServer() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(s);
  return "host=127.0.0.1 port=" + std::to_string(ntohs(address.sin_port)) + " dbname=x user=x";
}

std::size_t serverEntries(const std::string& outbox) {
  std::size_t n = 0;
  for (const OutboxItem& item : readOutbox(outbox)) n += item.entry.target == "server";
  return n;
}

}  // namespace

class RecordsWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TempFolder> folder;
  FakeServices fakes;
  QuestionBank bank;

  // One exam to its end, every answer right, the report closed by "Закрыть".
  void runExam() {
    const Services services = fakes.services(folder->path());
    SessionState session;
    session.SelectedMode = 1;
    session.TopicTitles = {cp("Тема 1")};
    session.RangeFirst = 1;
    session.RangeLast = 10;
    session.CandidateName = cp("Иванов");
    TForm11 window(session, bank, services, nullptr);
    bool busy = false;
    // Actions that may open a window run from the event loop, not from the watcher.
    auto post = [&](std::function<void()> action) {
      busy = true;
      QTimer::singleShot(0, &window, [&busy, action] {
        action();
        busy = false;
      });
    };
    whileModal([&] { window.exec(); },
               [&](QWidget* modal) {
                 // The report opens inside the last answer's action, so it comes first.
                 if (auto* report = qobject_cast<TForm12*>(modal)) {
                   if (report->activations() > 0) report->Button1Click();
                 } else if (!busy && modal == &window && window.activations() > 0 &&
                            window.test() && window.test()->running()) {
                   post([&window] {
                     window.card().OptionButtons()[0]->setChecked(true);
                     window.Button1Click();
                   });
                 }
                 return true;
               });
  }

 private slots:
  void init() {
    folder = std::make_unique<TempFolder>();
    fakes.messages.shown.clear();
    bank = rightFirstBank(10);
  }

  void withNoServerSetUpNoneIsTried() {
    fakes.records.clear();
    runExam();
    QVERIFY(readFile(folder->path() + "ekzam.log").find(cp("Оценка:     5 - отл.")) !=
            std::string::npos);
    QVERIFY(fakes.messages.shown.empty());
    QVERIFY(readOutbox(folder->path() + "outbox/").empty());
    QCOMPARE(recordsConnectionAttempts(), std::size_t(0));
  }

  void aRecordThatCannotWaitForTheServerIsNotPromisedToIt() {
    // The server is down and the outbox cannot be written: the log has the
    // record, and the message does not say it will reach the server later.
    fakes.records = downServer();
    folder->write("outbox", "");
    runExam();
    QVERIFY(readFile(folder->path() + "ekzam.log").find(cp("Оценка:     5 - отл.")) !=
            std::string::npos);
    QCOMPARE(fakes.messages.shown.size(), std::size_t(1));
    QVERIFY2(fakes.messages.shown[0].text.startsWith(
                 u8("Протокол записан в журнал, но не отправлен на сервер протоколов: не удалось "
                    "подключиться")),
             qPrintable(fakes.messages.shown[0].text));
  }

  void aServerAwayIsToldOnceAndCaughtUpWithOnce() {
    TestDatabase db("window");
    if (TestDatabase::serverConninfo().empty()) QSKIP("needs the server CTest starts");
    QVERIFY2(db.ready(), db.error().c_str());
    QVERIFY(!initRecordsDatabase(db.conninfo()));
    const std::string outbox = folder->path() + "outbox/";

    // The server is down: the exam ends normally, with one message.
    fakes.records = downServer();
    runExam();
    QCOMPARE(fakes.messages.shown.size(), std::size_t(1));
    QCOMPARE(fakes.messages.shown[0].title, u8("Внимание"));
    QVERIFY2(fakes.messages.shown[0].text.startsWith(
                 u8("Протокол записан в журнал и будет отправлен на сервер позже: не удалось "
                    "подключиться к серверу протоколов")),
             qPrintable(fakes.messages.shown[0].text));
    QCOMPARE(serverEntries(outbox), std::size_t(2));  // the start mark and the record

    // It is up again: the next exam takes the waiting ones along, and a later
    // delivery (the next start of the program) finds nothing more to send.
    fakes.records = db.seatConninfo();
    runExam();
    QCOMPARE(fakes.messages.shown.size(), std::size_t(1));
    QVERIFY(readOutbox(outbox).empty());
    QCOMPARE(deliverToServer(outbox, fakes.records).delivered, 0);

    // Each record is on the server once, byte for byte as in the log.
    std::multiset<std::string> onServer;
    QVERIFY(!readServerRows(db.conninfo(), false,
                            [&](const ServerRow& r) { onServer.insert(r.payload); }));
    const std::string log = readFile(folder->path() + "ekzam.log");
    const std::string::size_type second = log.find(std::string(57, '='), 1);
    QCOMPARE(onServer, (std::multiset<std::string>{log.substr(0, second), log.substr(second)}));
    std::size_t starts = 0;
    QVERIFY(!readServerRows(db.conninfo(), true, [&](const ServerRow& r) {
      ++starts;
      QVERIFY(r.finished);
    }));
    QCOMPARE(starts, std::size_t(2));
  }
};

QTEST_MAIN(RecordsWindowTest)
#include "records_window_test.moc"
