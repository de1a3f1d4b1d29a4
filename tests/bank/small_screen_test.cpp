// The answering windows on a laptop's 1366 x 768 screen (the offscreen
// platform is given that screen): a card taller than the screen scrolls, and
// "Ответить", the clock and the row of marks stay on the screen.
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QtTest>

#include "exam/ui/testing_window.h"
#include "platform/cp1251.h"
#include "platform/ui/design.h"
#include "study/ui/self_control_window.h"
#include "support/test_support.h"

namespace {

// Ten questions of 45 display lines each: one line of question, 44 options.
QuestionBank tallCards() {
  QuestionBank bank;
  for (int n = 1; n <= 10; ++n) {
    bank.QuestionTexts.push_back(cp("Какой из вариантов верен?"));
    bank.QuestionFlags.push_back(1);
    for (int j = 0; j < 44; ++j) {
      bank.AnswerTexts.push_back("_" + std::to_string(j % 9 + 1) + "_" + cp("Вариант ") +
                                 std::to_string(j + 1));
      bank.AnswerQuestionSets.push_back("_" + std::to_string(n) + "_");
    }
  }
  return bank;
}

QRect onScreen(const QWidget* control) {
  return {control->mapToGlobal(QPoint(0, 0)), control->size()};
}

}  // namespace

class SmallScreenTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { design::installFontSubstitutions(); }

  void answerStaysOnTheScreenWithTheTallestCard() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QCOMPARE(screen.size(), QSize(1366, 768));
    const QuestionBank bank = tallCards();
    FakeServices fakes;
    const TempFolder folder;  // where a test leaves its start mark
    const Services services = fakes.services(folder.path());
    SessionState session;
    session.RangeFirst = 1;
    session.RangeLast = 10;

    TForm11 testing(session, bank, services, nullptr);
    testing.show();
    settle();
    QVERIFY(testing.card().scrolls());
    QVERIFY(screen.contains(QRect(testing.pos(), testing.nominalOuterSize())));
    for (const char* name : {"Button1", "Label3", "TimeLabel2"})
      QVERIFY2(screen.contains(onScreen(testing.findChild<QWidget*>(QLatin1String(name)))), name);
    // The last option comes into view when the keys reach it, above the row of marks.
    QRadioButton* last = testing.card().OptionButtons().back();
    last->setFocus();
    settle();
    const QRect shown(last->mapTo(&testing, QPoint(0, 0)), last->size());
    QVERIFY(shown.bottom() < testing.findChild<QWidget*>(QStringLiteral("Label3"))->y());
    QVERIFY(shown.top() > testing.findChild<QWidget*>(QStringLiteral("TimeLabel2"))->y());
    testing.Button1Click();  // still answers
    QCOMPARE(testing.test()->results().AnswerCount, 1);

    TForm7 self(session, bank, services, nullptr);
    self.show();
    settle();
    QVERIFY(self.card().scrolls());
    QVERIFY(screen.contains(QRect(self.pos(), self.nominalOuterSize())));
    for (const char* name : {"Button1", "Button5", "Label3"})
      QVERIFY2(screen.contains(onScreen(self.findChild<QWidget*>(QLatin1String(name)))), name);
  }
};

QTEST_MAIN(SmallScreenTest)
#include "small_screen_test.moc"
