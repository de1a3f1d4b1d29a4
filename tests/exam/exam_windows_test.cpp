// Registration, testing and report windows: the wiring between the widgets,
// the test rules and the log, driven as a candidate would drive them.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "exam/outbox.h"
#include "exam/start_mark.h"
#include "exam/ui/registration_window.h"
#include "exam/ui/report_window.h"
#include "exam/ui/testing_window.h"
#include "platform/cp1251.h"
#include "platform/ui/design.h"
#include "study/ui/diagram_window.h"
#include "support/test_support.h"

namespace {

// Twenty questions, the right option first; question 3's consultation names diagram 42.
QuestionBank twentyQuestions() {
  QuestionBank bank = rightFirstBank(20);
  bank.ConsultTexts = {"_1_2_", "_3_"};
  bank.ConsultBlocks = {{"plain"}, {"$diagram_0042$see it"}};
  return bank;
}

QString labelText(QWidget* window, const char* name) {
  return window->findChild<QLabel*>(QString::fromLatin1(name))->text();
}

// Types text as key presses, whatever its letters (QTest's own typing takes Latin-1 only).
void typeText(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, c == QLatin1Char('\t') ? Qt::Key_Tab : 0, Qt::NoModifier,
                    QString(c));
    QApplication::sendEvent(widget, &press);
  }
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace

class ExamWindowsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TempFolder> folder;
  std::unique_ptr<FakeServices> fakes;
  std::unique_ptr<Services> services;
  SessionState session;
  QuestionBank bank = twentyQuestions();

  // Runs a test in the testing window: gives the answers ('+' right, '-' wrong)
  // by the keyboard, then lets the time run out if the test still runs; the
  // report is closed by closeReport, or by "Закрыть".
  struct Run {
    QStringList reportMessages;
    Evaluation evaluation;
    int result = -1;
  };
  Run runTest(const std::string& answers, const std::function<void(TForm11&)>& whileRunning = {},
              const std::function<void(TForm12&)>& closeReport = {}) {
    Run run;
    TForm11 window(session, bank, *services, nullptr);
    std::size_t next = 0;
    bool started = false;
    bool busy = false;  // an action posted and not yet run
    // Actions that may open the report run from the event loop, not from the
    // watcher, which cannot fire again while it is still running.
    auto post = [&](std::function<void()> action) {
      busy = true;
      QTimer::singleShot(0, &window, [&busy, action] {
        action();
        busy = false;
      });
    };
    whileModal(
        [&] { run.result = window.exec(); },
        [&](QWidget* modal) {
          if (auto* report = qobject_cast<TForm12*>(modal); report && report->activations() > 0) {
            run.evaluation = report->evaluation();
            run.reportMessages = fakes->messages.titles();
            if (closeReport)
              closeReport(*report);
            else
              report->Button1Click();
            return true;
          }
          if (busy || modal != &window || window.activations() == 0) return true;
          if (!started) {
            started = true;
            if (whileRunning) post([&] { whileRunning(window); });
          } else if (next < answers.size() && window.test()->running()) {
            const bool right = answers[next++] == '+';
            post([&window, right] {
              window.card().OptionButtons()[right ? 0 : 1]->setChecked(true);
              QTest::keyClick(&window, Qt::Key_Return);
            });
          } else if (window.test()->running()) {  // no answers left to give: the time runs out
            post([&] {
              fakes->clock.monotonic += 600'000;
              window.Timer1Timer();
            });
          }
          return true;
        });
    return run;
  }

 private slots:
  void initTestCase() { design::installFontSubstitutions(); }
  void init() {
    folder = std::make_unique<TempFolder>();
    fakes = std::make_unique<FakeServices>();
    services = std::make_unique<Services>(fakes->services(folder->path()));
    session = SessionState{};
    session.SelectedMode = 1;
    session.SelectedTopic = 1;
    session.TopicTitles = {cp("Все темы"), cp("Тема <b>1</b>")};
    session.RangeFirst = 1;
    session.RangeLast = 20;
    session.CandidateName = cp("Иванов <i>И.</i>");
    session.CandidateCode = "12";
    session.CandidateGroup = cp("М-121");
    fakes->random.script = {2};  // the first question is question 3
  }

  void registrationStoresWhatWasTypedOnlyWhenComplete_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("group");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("all filled") << u8("07") << u8("Петров П.П.") << u8("М-121") << true;
    QTest::newRow("blanks count") << u8(" ") << u8("  ") << u8(" ") << true;
    QTest::newRow("no code") << u8("") << u8("Петров") << u8("М-121") << false;
    QTest::newRow("no name") << u8("7") << u8("") << u8("М-121") << false;
    QTest::newRow("no group") << u8("7") << u8("Петров") << u8("") << false;
  }
  void registrationStoresWhatWasTypedOnlyWhenComplete() {
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, group);
    QFETCH(bool, accepted);
    TForm10 window(session, *services, nullptr);
    window.show();
    settle();
    QCOMPARE(labelText(&window, "Label6"), u8("05.03.2024"));
    QCOMPARE(labelText(&window, "Label8"), u8("07:08:09"));
    QCOMPARE(window.focusWidget()->objectName(), QStringLiteral("Edit1"));
    const std::array edits{window.findChild<QLineEdit*>(QStringLiteral("Edit1")),
                           window.findChild<QLineEdit*>(QStringLiteral("Edit2")),
                           window.findChild<QLineEdit*>(QStringLiteral("Edit3"))};
    edits[0]->setText(code);
    edits[1]->setText(name);
    edits[2]->setText(group);
    QTest::keyClick(edits[1], Qt::Key_Return);  // Enter anywhere presses "Принять"
    QCOMPARE(window.isVisible(), !accepted);
    QCOMPARE(session.RegistrationAccepted, accepted);
    if (accepted) {
      QCOMPARE(utf8FromCp1251(session.CandidateName), name.toStdString());
      QVERIFY(fakes->messages.shown.empty());
    } else {
      QCOMPARE(fakes->messages.titles(), QStringList{u8("Ввод данных")});
      QCOMPARE(fakes->messages.shown[0].text, u8("Введены не все данные."));
      QCOMPARE(edits[1]->text(), name);  // nothing typed is lost
      QCOMPARE(session.CandidateName, cp("Иванов <i>И.</i>"));
    }
  }

  void registrationClockAndTextBoxes() {
    TForm10 window(session, *services, nullptr);
    window.show();
    settle();
    fakes->clock.time = QDateTime(QDate(2025, 12, 31), QTime(23, 59, 58));
    window.Timer1Timer();
    QCOMPARE(labelText(&window, "Label6"), u8("31.12.2025"));
    QCOMPARE(labelText(&window, "Label8"), u8("23:59:58"));
    // Only what code page 1251 holds, and no control characters, can be typed.
    auto* edit = window.findChild<QLineEdit*>(QStringLiteral("Edit2"));
    typeText(edit, u8("Ёж №5 日\x01"));
    QCOMPARE(edit->text(), u8("Ёж №5 "));
    edit->clear();
    edit->insert(u8("a\nb"));
    QCOMPARE(edit->text(), QString());
    window.Button2Click();
    QVERIFY(!window.isVisible());
    QVERIFY(!session.RegistrationAccepted);
  }

  void testingWindowCountsDownAndCannotBeLeft() {
    const Run run = runTest("", [&](TForm11& window) {
      QCOMPARE(window.windowTitle(), u8("Экзамен"));
      QCOMPARE(labelText(&window, "TimeLabel2"), u8("10:00"));
      QCOMPARE(labelText(&window, "Label5"), u8("0"));
      QCOMPARE(labelText(&window, "Label1"), u8("Q3"));
      // Question 3 names diagram 42: its button is offered.
      QCOMPARE(session.DiagramName, std::string("diagram_0042"));
      QVERIFY(window.findChild<QPushButton*>(QStringLiteral("Button2"))->isVisible());
      QTest::keyClick(&window, Qt::Key_Escape);
      window.close();
      QVERIFY(window.isVisible());
      fakes->clock.monotonic += 1000;
      window.Timer1Timer();
      QCOMPARE(labelText(&window, "TimeLabel2"), u8("09:59"));
      fakes->clock.monotonic += 598'500;
      window.Timer1Timer();
      QCOMPARE(labelText(&window, "TimeLabel2"), u8("00:01"));
      fakes->clock.monotonic += 500;
      window.Timer1Timer();  // the 600th second ends the test
    });
    QCOMPARE(run.result, int(QDialog::Accepted));
    QCOMPARE(run.reportMessages, QStringList{u8("Внимание")});
    QCOMPARE(run.evaluation.errorCount, 10);
    QCOMPARE(fakes->messages.shown[0].text, u8("Время истекло."));
  }

  void aQuestionWithoutADiagramKeepsTheLastName() {
    runTest("", [&](TForm11& window) {
      window.Button1Click();  // from question 3, which names diagram 42, to question 1
      QCOMPARE(labelText(&window, "Label1"), u8("Q1"));
      QVERIFY(!window.findChild<QPushButton*>(QStringLiteral("Button2"))->isVisible());
      QCOMPARE(session.DiagramName, std::string("diagram_0042"));
    });
  }

  void theTimeRunsOutWhileTheDiagramIsShown() {
    // Question 3 has a diagram. Its window is open when the time runs out: the
    // report comes on top, and the diagram stays until the candidate closes it.
    TForm11 window(session, bank, *services, nullptr);
    TForm9* diagram = nullptr;
    bool requested = false, reportOverDiagram = false, diagramLeftOver = false;
    whileModal([&] { window.exec(); },
               [&](QWidget* modal) {
                 if (modal == &window && window.activations() > 0 && !requested) {
                   requested = true;
                   QTimer::singleShot(0, &window, [&] { window.Button2Click(); });
                 } else if (auto* shown = qobject_cast<TForm9*>(modal); shown && !diagram) {
                   diagram = shown;
                   QTimer::singleShot(0, &window, [&] {
                     fakes->clock.monotonic += 600'000;
                     window.Timer1Timer();
                   });
                 } else if (auto* report = qobject_cast<TForm12*>(modal);
                            report && report->activations() > 0) {
                   reportOverDiagram = diagram->isVisible();
                   report->Button1Click();
                 } else if (modal == diagram && reportOverDiagram) {
                   diagramLeftOver = !window.isVisible();
                   diagram->Button1Click();
                 }
                 return true;
               });
    QVERIFY(reportOverDiagram);
    QVERIFY(diagramLeftOver);
    QCOMPARE(window.test()->results().end, TestEnd::TimeOut);
    QVERIFY(std::filesystem::exists(folder->path() + "ekzam.log"));
  }

  void stopsAtTheThirdWrongAnswerInBothModes_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::newRow("exam")
        << 1 << u8("Экзамен.")
        << u8("Вы уже допустили 3 ошибки. Ваша оценка 2. Дальнейший опрос нецелесообразен.");
    QTest::newRow("pass/fail")
        << 2 << u8("Зачет.")
        << u8("К сожалению вы не ответили уже на 3 вопроса. Дальнейший опрос нецелесообразен.");
  }
  void stopsAtTheThirdWrongAnswerInBothModes() {
    QFETCH(int, mode);
    QFETCH(QString, title);
    QFETCH(QString, text);
    session.SelectedMode = static_cast<std::uint8_t>(mode);
    const Run run = runTest("+--+-");
    QCOMPARE(run.reportMessages, QStringList{title});
    QCOMPARE(fakes->messages.shown[0].text, text);
    QCOMPARE(run.evaluation.grade.text, cp(mode == 1 ? "2 - неуд." : "незачет"));
    const std::string log = readFile(folder->path() + (mode == 1 ? "ekzam.log" : "zachet.log"));
    QVERIFY(log.find(cp("Получено ответов:      5\r\n")) != std::string::npos);
    QVERIFY(!std::filesystem::exists(folder->path() + (mode == 1 ? "zachet.log" : "ekzam.log")));
  }

  void theRecordKeepsWhatTheTestStartedWith() {
    // Whatever changes the shared state while the test runs, the record is the test's own.
    runTest("++++++++++", [&](TForm11&) {
      session.SelectedMode = 2;
      session.SelectedTopic = 0;
      session.RangeFirst = 3;
      session.RangeLast = 4;
      session.CandidateName = cp("Другой");
    });
    QVERIFY(!std::filesystem::exists(folder->path() + "zachet.log"));
    const std::string log = readFile(folder->path() + "ekzam.log");
    for (const char* line :
         {"Фамилия И.О.: Иванов <i>И.</i>\r\n", "Тема:         Тема <b>1</b>\r\n",
          "Вопросы:      с 1 по 20\r\n", "Оценка:     5 - отл.\r\n"})
      QVERIFY2(log.find(cp(line)) != std::string::npos, line);
  }

  void anEndedTestTakesNoMoreAnswers() {
    session.RangeFirst = 5;
    session.RangeLast = 12;  // eight questions: the test ends when they are used up
    const Run run = runTest("++++++++++++", {}, [&](TForm12& report) {
      auto* testing = qobject_cast<TForm11*>(report.parentWidget());
      QVERIFY(!testing->isVisible());
      testing->Button1Click();
      testing->Timer1Timer();
      QCOMPARE(testing->test()->results().AnswerCount, 8);
      QCOMPARE(testing->test()->results().ElapsedSeconds, 0);
      report.Button1Click();
    });
    QVERIFY(run.reportMessages.isEmpty());
    QCOMPARE(run.evaluation.grade.text, cp("5 - отл."));
  }

  void noCheckedOptionIsReportedAndTheTestGoesOn() {
    runTest("+++++++++", [&](TForm11& window) {
      window.card().OptionButtons()[0]->setAutoExclusive(false);
      window.card().OptionButtons()[0]->setChecked(false);
      window.Button1Click();
      QCOMPARE(fakes->messages.titles(), QStringList{u8("Ошибка.")});
      QCOMPARE(fakes->messages.shown[0].text, u8("Ошибка при определении ответа."));
      QVERIFY(window.test()->running());
      QCOMPARE(window.test()->results().AnswerCount, 0);
      window.card().OptionButtons()[1]->setChecked(true);  // the 10th answer will be wrong
      window.Button1Click();
    });
    const std::string log = readFile(folder->path() + "ekzam.log");
    QVERIFY(log.find(cp("Оценка:     4 - хор.\r\n")) != std::string::npos);
    QVERIFY(log.find(cp("3: 2(-)    ")) != std::string::npos);
  }

  void reportShowsTheTestAsPlainText() {
    runTest("+-", {}, [&](TForm12& report) {
      QCOMPARE(labelText(&report, "Label2"), u8("Иванов <i>И.</i>"));
      QCOMPARE(report.findChild<QLabel*>(QStringLiteral("Label2"))->textFormat(), Qt::PlainText);
      QCOMPARE(labelText(&report, "Label27"), u8("Тема <b>1</b>"));
      QCOMPARE(labelText(&report, "Label10"), u8("с 1 по 20"));
      QCOMPARE(labelText(&report, "Label8"), u8("600 сек"));
      QCOMPARE(labelText(&report, "Label25"), u8("Номер вопроса:\nНомер ответа"));
      const auto& listing = report.listingLabels();
      QCOMPARE(listing.size(), std::size_t(2));
      QCOMPARE(listing[0]->text(), u8("3\n1(+)"));
      auto* label25 = report.findChild<QLabel*>(QStringLiteral("Label25"));
      QCOMPARE(listing[1]->pos(), QPoint(label25->x() + label25->width() + 35, label25->y()));
      QCOMPARE(report.nominalOuterSize(), QSize(488, 390));
      report.Button1Click();
    });
  }

  // The report of a candidate with a long name on a long topic reads whole.
  void aLongNameAndTopicWidenTheReport() {
    session.CandidateName = cp("Константинопольская-Преображенская Анастасия-Виктория В.");
    session.TopicTitles[1] =
        cp("Переходные процессы в линейных электрических цепях с сосредоточенными параметрами и их "
           "расчет");
    TestResults results;
    results.AnswerCount = 10;
    results.end = TestEnd::TenAnswers;
    const OutboxEntry record;
    Kept kept;
    kept.where = Kept::Where::Log;
    TForm12 report(session, results, *services, record, kept, nullptr);
    report.show();
    settle();
    const int client = report.nominalOuterSize().width() - 6;
    QVERIFY(client > 482);
    for (QLabel* label : report.findChildren<QLabel*>())
      QVERIFY2(label->x() + label->width() <= client, qPrintable(label->text()));
    auto* topic = report.findChild<QLabel*>(QStringLiteral("Label27"));
    QCOMPARE(client,
             topic->x() + topic->width() + 10);  // the widest text, by the range window's rule
    auto* close = report.findChild<QPushButton*>(QStringLiteral("Button1"));
    QCOMPARE(close->x(), 200 + (client - 482) / 2);
  }

  void theTestLeavesItsTraceAndARefusedRecordWaitsInTheOutbox() {
    // The start mark at the first question, the record before the report shows.
    session.SelectedMode = 2;
    std::string atReport;
    runTest("---", {}, [&](TForm12& report) {
      atReport = readFile(folder->path() + "zachet.log");
      report.close();
    });
    QVERIFY(atReport.find(cp("Результат:  незачет\r\n")) != std::string::npos);
    QCOMPARE(readFile(folder->path() + "zachet.log"), atReport);  // closing adds nothing
    const auto mark = parseStartMark(readFile(folder->path() + "zachet.start"));
    QVERIFY(mark);
    QCOMPARE(mark->name, session.CandidateName);
    QCOMPARE(mark->range, cp("с 1 по 20"));
    QCOMPARE(mark->host, std::string("seat-01"));
    QVERIFY(!mark->exam);

    // A log that cannot be written: the record waits in the outbox, and the report says so.
    const std::string log = folder->path() + "ekzam.log";
    const std::string outbox = folder->path() + "outbox/";
    std::filesystem::create_directory(log);
    session.SelectedMode = 1;
    fakes->messages.shown.clear();
    runTest("---", {}, [&](TForm12& report) {
      QCOMPARE(report.kept(), Kept::Where::Outbox);
      report.Button1Click();
    });
    QCOMPARE(fakes->messages.shown.back().title, u8("Внимание"));
    QVERIFY(fakes->messages.shown.back().text.contains(
        u8("ekzam.log: под этим именем находится папка. Он сохранён в папке")));
    QCOMPARE(readOutbox(outbox).size(), std::size_t(1));

    // Once the log can be written, the next record takes the waiting one along, once.
    std::filesystem::remove(log);
    runTest("++++++++++");
    const std::string written = readFile(log);
    QVERIFY(written.find(cp("Оценка:     2 - неуд.")) < written.find(cp("Оценка:     5 - отл.")));
    const std::string separator = std::string(57, '=') + "\r\n";
    QCOMPARE(written.find(separator, written.find(separator, 1) + 1), std::string::npos);  // two
    QVERIFY(readOutbox(outbox).empty());

    // Neither the log nor the outbox: told so, and "Закрыть" tries again.
    std::filesystem::rename(log, folder->path() + "old.log");
    std::filesystem::create_directory(log);
    std::filesystem::remove_all(outbox);
    folder->write("outbox", "");
    runTest("+", {}, [&](TForm12& report) {
      QCOMPARE(fakes->messages.shown.back().title, u8("Ошибка."));
      report.Button1Click();
      QVERIFY(report.isVisible());
      std::filesystem::remove(log);
      report.Button1Click();
      QVERIFY(!report.isVisible());
    });
    QVERIFY(readFile(log).find(cp("Получено ответов:      1")) != std::string::npos);
  }

  void aStartMarkWaitsSilentlyAndWithoutAnyTraceNoTestBegins() {
    // A start journal that refuses the mark: it waits in the outbox, nothing is said, the test
    // runs.
    std::filesystem::create_directory(folder->path() + "ekzam.start");
    const Run run = runTest("++++++++++");
    QCOMPARE(run.result, int(QDialog::Accepted));
    QVERIFY(fakes->messages.shown.empty());
    QCOMPARE(readOutbox(folder->path() + "outbox/").size(), std::size_t(1));

    // Neither the journal nor the outbox: the test does not begin, and says why.
    std::filesystem::remove_all(folder->path() + "outbox/");
    folder->write("outbox", "");
    TForm11 window(session, bank, *services, nullptr);
    whileModal([&] { QCOMPARE(window.exec(), int(QDialog::Rejected)); },
               [](QWidget*) { return true; });
    QCOMPARE(fakes->messages.titles(), QStringList{u8("Ошибка.")});
    QVERIFY(fakes->messages.shown[0].text.endsWith(u8("Тест не может начаться.")));
    QCOMPARE(window.test()->results().AnswerCount, 0);
  }

  void aBusyLogLeavesTheWindowAnsweringThenTheRecordWaits() {
    // Another program holds the log's lock all along.
    folder->write("ekzam.log", "");
    const int holder = ::open((folder->path() + "ekzam.log").c_str(), O_RDONLY | O_CLOEXEC);
    QVERIFY(holder >= 0 && ::flock(holder, LOCK_EX) == 0);
    qint64 answeredMs = -1;
    bool noteShown = false;
    Kept::Where kept = Kept::Where::Log;
    runTest(
        "",
        [&](TForm11& window) {
          for (int i = 0; i < 9; ++i) {
            window.card().OptionButtons()[0]->setChecked(true);
            window.Button1Click();
          }
          QElapsedTimer posted;
          QTimer::singleShot(0, &window, [&] {
            answeredMs = posted.elapsed();
            noteShown = window.findChild<QLabel*>(QStringLiteral("BusyNote")) != nullptr;
            fakes->clock.monotonic += kLockPatienceMs;  // the wait's bound passes
          });
          posted.start();
          window.card().OptionButtons()[0]->setChecked(true);
          window.Button1Click();  // the tenth answer ends the test
        },
        [&](TForm12& report) {
          kept = report.kept();
          report.Button1Click();
        });
    ::close(holder);
    QVERIFY(noteShown);
    QVERIFY2(answeredMs >= 0 && answeredMs < 100, qPrintable(QString::number(answeredMs)));
    QCOMPARE(kept, Kept::Where::Outbox);
    QCOMPARE(readFile(folder->path() + "ekzam.log"), std::string());
    QCOMPARE(readOutbox(folder->path() + "outbox/").size(), std::size_t(1));
  }
};

QTEST_MAIN(ExamWindowsTest)
#include "exam_windows_test.moc"
