// The question browser: tickets of ten, one a page, and its two step buttons.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "platform/cp1251.h"
#include "platform/ui/design.h"
#include "study/ui/browser_window.h"
#include "support/test_support.h"

namespace {
QuestionBank bankOf(int questions) {
  QuestionBank bank;
  for (int n = 1; n <= questions; ++n)
    bank.QuestionTexts.push_back(cp("Вопрос ") + std::to_string(n));
  return bank;
}
}  // namespace

class BrowserWindowTest : public QObject {
  Q_OBJECT

  static QPushButton* button(QWidget& window, int n) {
    return window.findChild<QPushButton*>(QStringLiteral("Button%1").arg(n));
  }
  static QString ticket(TForm5& w) {
    return w.findChild<QLabel*>(QStringLiteral("Label2"))->text();
  }
  static QStringList page(TForm5& w) {
    return w.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))
        ->toPlainText()
        .split(QLatin1Char('\n'));
  }
  static std::pair<bool, bool> steps(TForm5& w) {
    return {button(w, 1)->isEnabled(), button(w, 2)->isEnabled()};
  }
  static void open(TForm5& window) {
    window.show();
    settle();
    QCOMPARE(window.activations(), 1);
  }

 private slots:
  void initTestCase() { design::installFontSubstitutions(); }

  void thirtyQuestionsGiveThreeTicketsDealtInTurn() {
    const QuestionBank bank = bankOf(30);
    TForm5 window(bank, nullptr);
    open(window);
    QCOMPARE(window.windowTitle(), u8("Просмотр вопросов"));
    QCOMPARE(ticket(window), QStringLiteral("1"));
    QCOMPARE(steps(window), std::make_pair(false, true));
    QVERIFY(button(window, 2)->hasFocus());
    QStringList lines = page(window);
    QCOMPARE(lines.size(), 20);
    QCOMPARE(lines[0], u8("   Вопрос 1"));
    QCOMPARE(lines[1], QStringLiteral(" "));
    QCOMPARE(lines[18], u8("   Вопрос 28"));

    QTest::keyClick(&window, Qt::Key_Return);  // "Следующий" is the default button
    QCOMPARE(ticket(window), QStringLiteral("2"));
    QCOMPARE(page(window)[2], u8("   Вопрос 5"));
    QCOMPARE(steps(window), std::make_pair(true, true));
    QTest::keyClick(&window, Qt::Key_Return);
    QCOMPARE(ticket(window), QStringLiteral("3"));
    QCOMPARE(page(window)[18], u8("   Вопрос 30"));
    QCOMPARE(steps(window), std::make_pair(true, false));
    // The focus does not pass to "Отмена": one Enter too many leaves the window open.
    QTest::keyClick(&window, Qt::Key_Return);
    QVERIFY(window.isVisible());
    QCOMPARE(ticket(window), QStringLiteral("3"));

    button(window, 1)->click();
    button(window, 1)->click();
    QCOMPARE(ticket(window), QStringLiteral("1"));
    QCOMPARE(steps(window), std::make_pair(false, true));
    QCOMPARE(page(window).size(), 20);
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(window.isVisible());
    button(window, 3)->click();
    QVERIFY(!window.isVisible());
  }

  void oneTicketDisablesBothButtons_data() {
    QTest::addColumn<int>("questions");
    QTest::newRow("10") << 10;
    QTest::newRow("19") << 19;
  }

  void oneTicketDisablesBothButtons() {
    QFETCH(int, questions);
    const QuestionBank bank = bankOf(questions);
    TForm5 window(bank, nullptr);
    open(window);
    QCOMPARE(ticket(window), QStringLiteral("1"));
    QCOMPARE(steps(window), std::make_pair(false, false));
    QCOMPARE(page(window)[18], u8("   Вопрос 10"));
  }

  void fewerThanTenQuestionsSaySoWithoutATicket() {
    for (int questions : {0, 9}) {
      const QuestionBank bank = bankOf(questions);
      TForm5 window(bank, nullptr);
      open(window);
      QVERIFY(ticket(window).isEmpty());
      QCOMPARE(page(window), QStringList{u8("Вопросов меньше десяти: билетов нет.")});
      QCOMPARE(steps(window), std::make_pair(false, false));
      window.Button2Click();
      window.Button1Click();
      QCOMPARE(page(window).size(), 1);
    }
  }
};

QTEST_MAIN(BrowserWindowTest)
#include "browser_window_test.moc"
