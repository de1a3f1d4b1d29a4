// The self-control window: opening on the range, stepping, the number box,
// the verdict, and the way to the consultation.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "platform/cp1251.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "study/ui/consultation_window.h"
#include "study/ui/self_control_window.h"
#include "study/ui/up_down.h"
#include "support/test_support.h"

namespace {

// Twelve questions "Вопрос N?"; question N has options with digits 1 and 2,
// the right one is N % 2 + 1. Question 4 has two options with the right digit,
// question 6 is a filler without options.
QuestionBank makeBank() {
  QuestionBank bank;
  for (int n = 1; n <= 12; ++n) {
    bank.QuestionTexts.push_back(cp("Вопрос ") + std::to_string(n) + "?");
    bank.QuestionFlags.push_back(static_cast<std::uint16_t>(n == 6 ? 1 : n % 2 + 1));
    if (n == 6) continue;
    const std::string set = "_" + std::to_string(n) + "_";
    bank.AnswerTexts.insert(bank.AnswerTexts.end(), {"_1_one", "_2_two"});
    bank.AnswerQuestionSets.push_back(set);
    bank.AnswerQuestionSets.repeatLast();
    if (n == 4) {
      bank.AnswerTexts.push_back("_1_one again");
      bank.AnswerQuestionSets.push_back(set);
    }
  }
  bank.ConsultTexts = {"_1_2_3_", "_5_"};
  bank.ConsultBlocks = {{cp("$diagram_0007$Общее пояснение."), cp("Вторая строка.")},
                        {cp("О пятом вопросе.")}};
  return bank;
}

}  // namespace

class SelfControlWindowTest : public QObject {
  Q_OBJECT

  FakeServices* fakes = nullptr;
  SessionState session;
  QuestionBank bank = makeBank();
  std::optional<Services> services;

  template <typename T>
  static T* child(QWidget& window, const char* name) {
    return window.findChild<T*>(QString::fromLatin1(name));
  }
  static QPushButton* button(QWidget& window, int n) {
    return window.findChild<QPushButton*>(QStringLiteral("Button%1").arg(n));
  }
  static QString box(TForm7& w) { return child<QLineEdit>(w, "Edit1")->text(); }
  static QString verdict(TForm7& w) { return child<QLabel>(w, "Label3")->text(); }
  static QString question(TForm7& w) { return child<QLabel>(w, "Label2")->text(); }
  static std::pair<bool, bool> steps(TForm7& w) {
    return {button(w, 2)->isEnabled(), button(w, 3)->isEnabled()};
  }
  void open(TForm7& window) {
    window.show();
    settle();
    QCOMPARE(window.activations(), 1);
  }
  // Types text into the number box and presses "Ввести".
  static void enter(TForm7& window, const QString& typed) {
    child<QLineEdit>(window, "Edit1")->setText(typed);
    button(window, 6)->click();
  }
  // Checks option i (0-based) and presses "Ответить".
  static void answer(TForm7& window, std::size_t i) {
    window.card().OptionButtons().at(i)->setChecked(true);
    button(window, 1)->click();
  }

 private slots:
  void initTestCase() { design::installFontSubstitutions(); }
  void init() {
    fakes = new FakeServices;
    services.emplace(fakes->services(""));
    session = SessionState{};
    session.RangeFirst = 5;
    session.RangeLast = 9;
  }
  void cleanup() {
    services.reset();
    delete fakes;
  }

  void opensOnTheFirstQuestionOfTheRange() {
    TForm7 window(session, bank, *services, nullptr);
    open(window);
    QCOMPARE(window.windowTitle(), u8("Контроль знаний"));
    QCOMPARE(box(window), QStringLiteral("5"));
    QCOMPARE(question(window), u8("Вопрос 5?"));
    QCOMPARE(steps(window), std::make_pair(false, true));
    QVERIFY(window.card().OptionButtons().at(0)->isChecked());
    QVERIFY(verdict(window).isEmpty());
    QCOMPARE(window.nominalOuterSize(), QSize(563, 360));
    QCOMPARE(button(window, 1)->pos(), QPoint(8, 285));
    QTest::keyClick(&window, Qt::Key_Escape);  // no cancel button: Escape does nothing
    QVERIFY(window.isVisible());
  }

  void stepsWalkTheRangeAndTheirButtonsFollow() {
    TForm7 window(session, bank, *services, nullptr);
    open(window);
    button(window, 3)->click();
    QCOMPARE(box(window), QStringLiteral("6"));
    QCOMPARE(steps(window), std::make_pair(true, true));
    button(window, 2)->click();
    QCOMPARE(box(window), QStringLiteral("5"));
    QCOMPARE(steps(window), std::make_pair(false, true));
    for (int i = 0; i < 4; ++i) button(window, 3)->click();
    QCOMPARE(question(window), u8("Вопрос 9?"));
    QCOMPARE(steps(window), std::make_pair(true, false));
    button(window, 3)->click();  // disabled: stays on the last question
    QCOMPARE(window.currentQuestion(), 8);
  }

  void aRangeOfOneQuestionDisablesBothSteps() {
    session.RangeFirst = session.RangeLast = 7;
    TForm7 window(session, bank, *services, nullptr);
    open(window);
    QCOMPARE(steps(window), std::make_pair(false, false));
    enter(window, QStringLiteral("12"));
    QCOMPARE(question(window), u8("Вопрос 7?"));
    QCOMPARE(steps(window), std::make_pair(false, false));
  }

  void aRangeOutsideTheBankOpensNothing() {
    session.RangeFirst = 0;
    session.RangeLast = 40;
    TForm7 window(session, bank, *services, nullptr);
    open(window);
    QVERIFY(question(window).isEmpty());
  }

  void enterGoesToTheTypedNumber_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("shown");
    QTest::newRow("leading zeros") << QStringLiteral("007") << 7;
    QTest::newRow("letters") << QStringLiteral("abc") << 5;
    QTest::newRow("twenty digits") << QStringLiteral("18446744073709551617") << 9;
    QTest::newRow("not in the code page") << u8("７") << 5;
  }

  void enterGoesToTheTypedNumber() {
    QFETCH(QString, typed);
    QFETCH(int, shown);
    TForm7 window(session, bank, *services, nullptr);
    open(window);
    button(window, 3)->click();  // away from the first, so a reset to it shows
    child<QLineEdit>(window, "Edit1")->setText(typed);
    QCOMPARE(window.currentQuestion(), 5);  // typing alone changes nothing
    button(window, 6)->click();
    QCOMPARE(box(window), QString::number(shown));
    QCOMPARE(window.currentQuestion(), shown - 1);
    QCOMPARE(question(window), u8("Вопрос %1?").arg(shown));
    QCOMPARE(steps(window), std::make_pair(shown > 5, shown < 9));
    QVERIFY(fakes->messages.shown.empty());
  }

  void theSpinnerStepsTheBoxOnlyAndStopsAtTheEnds() {
    TForm7 window(session, bank, *services, nullptr);
    open(window);
    auto* spinner = child<UpDown>(window, "UpDown1");
    spinner->stepBy(-1);
    QCOMPARE(box(window), QStringLiteral("5"));
    for (int i = 0; i < 6; ++i) spinner->stepBy(1);
    QCOMPARE(box(window), QStringLiteral("9"));
    QCOMPARE(window.currentQuestion(), 4);  // stepping alone changes nothing
    button(window, 3)->click();             // "Следующий" steps from the question shown
    QCOMPARE(box(window), QStringLiteral("6"));
    QTest::keyClick(child<QLineEdit>(window, "Edit1"), Qt::Key_Up);
    QCOMPARE(box(window), QStringLiteral("7"));
  }

  void verdictsJudgeDigitsAndLastUntilAStep() {
    TForm7 window(session, bank, *services, nullptr);
    open(window);
    answer(window, 0);  // question 5: right digit is 2
    QCOMPARE(verdict(window), u8("Неправильно"));
    QCOMPARE(child<QLabel>(window, "Label3")->palette().color(QPalette::WindowText),
             design::readableOn(design::clRed, design::clInfoBk));
    answer(window, 1);
    QCOMPARE(verdict(window), u8("Правильно"));
    QCOMPARE(child<QLabel>(window, "Label3")->palette().color(QPalette::WindowText),
             design::clGreen);
    QCOMPARE(child<QLabel>(window, "Label3")->pos(), QPoint(24, 135));

    // "Ввести", even with the same number, lays the question out again and keeps the verdict.
    button(window, 6)->click();
    QVERIFY(window.card().OptionButtons().at(0)->isChecked());
    QCOMPARE(verdict(window), u8("Правильно"));
    button(window, 3)->click();
    QVERIFY(verdict(window).isEmpty());
  }

  void aWrongAnswerMarksTheRightOptionsUntilAnotherQuestion() {
    QuestionBank noRightDigit = bank;
    noRightDigit.QuestionFlags[6] = 3;  // question 7: no option carries digit 3
    session.RangeFirst = 4;
    TForm7 window(session, noRightDigit, *services, nullptr);
    open(window);
    auto marked = [&window] {
      QList<int> result;
      for (std::size_t i = 0; i < window.card().OptionCount(); ++i) {
        const QRadioButton* option = window.card().OptionButtons()[i];
        if (option->font().bold() &&
            option->palette().color(QPalette::WindowText) == design::clGreen)
          result.append(static_cast<int>(i));
      }
      return result;
    };
    answer(window, 1);  // question 4: digit 1 is right, and two options carry it
    QCOMPARE(marked(), QList<int>({0, 2}));
    answer(window, 0);  // a right answer changes nothing
    QCOMPARE(verdict(window), u8("Правильно"));
    QCOMPARE(marked(), QList<int>({0, 2}));
    button(window, 6)->click();  // the same question again keeps its mark
    QCOMPARE(marked(), QList<int>({0, 2}));

    button(window, 3)->click();  // question 5, unmarked; a right answer marks nothing
    QCOMPARE(marked(), QList<int>());
    answer(window, 1);
    QCOMPARE(marked(), QList<int>());
    answer(window, 0);
    QCOMPARE(marked(), QList<int>({1}));
    enter(window, QStringLiteral("7"));  // another question: neither verdict nor mark stays
    QCOMPARE(marked(), QList<int>());
    QVERIFY(verdict(window).isEmpty());
    answer(window, 0);
    QCOMPARE(verdict(window), u8("Неправильно"));
    QCOMPARE(marked(), QList<int>());
  }

  void twoRightOptionsAndTheFillerAreJudgedRight() {
    session.RangeFirst = 1;
    session.RangeLast = 12;
    TForm7 window(session, bank, *services, nullptr);
    open(window);
    enter(window, QStringLiteral("4"));
    QCOMPARE(window.card().OptionCount(), 3);
    answer(window, 0);
    QCOMPARE(verdict(window), u8("Правильно"));
    answer(window, 2);
    QCOMPARE(verdict(window), u8("Правильно"));

    enter(window, QStringLiteral("6"));
    QCOMPARE(window.card().OptionButtons().at(0)->text(), u8("Ответы не найдены."));
    answer(window, 0);
    QCOMPARE(verdict(window), u8("Правильно"));
  }

  void noCheckedOptionIsReportedAndClosesTheWindow() {
    TForm7 window(session, bank, *services, nullptr);
    open(window);
    QRadioButton* first = window.card().OptionButtons().at(0);
    first->setAutoExclusive(false);
    first->setChecked(false);
    button(window, 1)->click();
    QCOMPARE(fakes->messages.titles(), QStringList{u8("Ошибка.")});
    QCOMPARE(fakes->messages.shown[0].text, u8("Ошибка при определении ответа."));
    QVERIFY(!window.isVisible());
  }

  void consultationOpensOnTheQuestionOnShow() {
    session.RangeFirst = 2;
    TForm7 window(session, bank, *services, nullptr);
    open(window);
    QString memo;
    whileModal(
        [&] { button(window, 4)->click(); },
        [&](QWidget* modal) {
          auto* consultation = qobject_cast<TForm8*>(modal);
          if (!consultation || consultation->activations() == 0) return true;
          memo = consultation->findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText();
          button(*consultation, 1)->click();
          return false;
        });
    QCOMPARE(memo, u8("Общее пояснение.\nВторая строка."));
    QCOMPARE(window.currentQuestion(), 1);
  }
};

QTEST_MAIN(SelfControlWindowTest)
#include "self_control_window_test.moc"
