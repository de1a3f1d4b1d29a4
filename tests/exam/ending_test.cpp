// Ending the program by a signal, as a task manager, kill or logging out does:
// during a test only its start mark stands, on the report its record is in
// the log already, and the program ends normally either way. The test runs
// itself as a child program and signals it.
#include <QProcess>
#include <QtTest>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "exam/ui/testing_window.h"
#include "platform/cp1251.h"
#include "support/test_support.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The child: a test in the testing window, answered right away up to the
// report when asked to, and left waiting there for the signal.
int runChild(const std::string& folder, bool toReport) {
  FakeServices fakes;
  const Services services = fakes.services(folder);
  endCleanlyOnSignals();
  const QuestionBank bank = rightFirstBank(10);
  SessionState session;
  session.SelectedMode = 1;
  session.TopicTitles = {cp("Все темы")};
  session.RangeFirst = 1;
  session.RangeLast = 10;
  session.CandidateName = cp("Петров");
  TForm11 window(session, bank, services, nullptr);
  QTimer answer;
  QObject::connect(&answer, &QTimer::timeout, [&] {
    if (!toReport || !window.test() || !window.test()->running()) return;
    window.card().OptionButtons()[0]->setChecked(true);
    window.Button1Click();
  });
  answer.start(1);
  window.exec();
  return programEnding() ? 0 : 3;
}

// The signals a process has handlers for, from its status file.
unsigned long long caughtSignals(const QString& status) {
  QFile file(status);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : file.readAll().split('\n'))
    if (line.startsWith("SigCgt:")) return line.mid(7).trimmed().toULongLong(nullptr, 16);
  return 0;
}

}  // namespace

class EndingTest : public QObject {
  Q_OBJECT

  // Starts the child, waits for the file to appear, then sends the signal.
  void endChildWhen(const std::string& folder, const char* stage, const std::string& file,
                    int signal) {
    QProcess child;
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral("--child"), QString::fromStdString(folder), QString::fromLatin1(stage)});
    QVERIFY(child.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(!readFile(folder + file).empty(), 20000);
    ::kill(static_cast<pid_t>(child.processId()), signal);
    QVERIFY(child.waitForFinished(20000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
  }

 private slots:
  void aTestEndedMidwayLeavesItsStartMarkOnly() {
    const TempFolder folder;
    endChildWhen(folder.path(), "during", "ekzam.start", SIGTERM);
    QVERIFY(!std::filesystem::exists(folder.path() + "ekzam.log"));
    QCOMPARE(readFile(folder.path() + "ekzam.start").find(cp("Петров")) != std::string::npos, true);
  }

  void theProgramEndsOnItsTitleWindowToo() {
    // The title window shows before the message loop runs, which must not forget the signal.
    TempFolder folder;
    folder.copySampleCourse();
    QProcess program;
    program.start(QStringLiteral(PROGRAM), {QString::fromStdString(folder.path())});
    QVERIFY(program.waitForStarted());
    const QString status = QStringLiteral("/proc/%1/status").arg(program.processId());
    QTRY_VERIFY_WITH_TIMEOUT(caughtSignals(status) & (1ull << (SIGTERM - 1)), 20000);
    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
  }

  void aTestEndedOnItsReportIsInTheLog() {
    const TempFolder folder;
    endChildWhen(folder.path(), "report", "ekzam.log", SIGHUP);
    const std::string log = readFile(folder.path() + "ekzam.log");
    QVERIFY(log.find(cp("Оценка:     5 - отл.\r\n")) != std::string::npos);
    QCOMPARE(log.rfind(std::string(57, '=')), std::size_t(0));  // one record
  }
};

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc == 4 && std::string(argv[1]) == "--child")
    return runChild(argv[2], std::string(argv[3]) == "report");
  EndingTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "ending_test.moc"
