// The question card put onto a window: what a user sees of one question, and
// that nothing of the previous question stays on screen.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "bank/ui/card_widgets.h"
#include "exam/ui/testing_window.h"
#include "platform/cp1251.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "platform/ui/form.h"
#include "study/ui/self_control_window.h"
#include "support/test_support.h"

namespace {

// A bare answering window with the controls the card moves.
class AnswerWindow final : public TFormBase {
 public:
  explicit AnswerWindow(WindowKind kind) : TFormBase(nullptr) {
    setOuterSize(kind == WindowKind::Testing ? 612 : 604, 360);
    controls.questionLabel = new QLabel(this);
    controls.questionLabel->move(32, kind == WindowKind::Testing ? 56 : 48);
    controls.label3 = new QLabel(QStringLiteral("verdict"), this);
    controls.label3->move(200, 250);
    const int buttons = kind == WindowKind::Testing ? 2 : 6;
    for (int i = 0; i < buttons; ++i) {
      auto* button = new QPushButton(this);
      button->setGeometry(20 + 90 * i, 285, 75, 25);
      controls.movedButtons.push_back(button);
    }
    if (kind == WindowKind::Testing) {
      controls.centredButton = controls.movedButtons[0];
      controls.diagramButton = controls.movedButtons[1];
    } else {
      controls.numberBox = new QLineEdit(this);
    }
    card = new QuestionCard(kind, controls, this);
  }
  CardControls controls;
  QuestionCard* card = nullptr;
};

std::string repeat(const char* word, std::size_t length) {
  std::string text;
  while (text.size() < length) text += word;
  return text.substr(0, length);
}

// Question 5 is long with one long option; question 6 is short with one short option.
QuestionBank bankWithLongAndShortQuestions() {
  QuestionBank bank;
  for (int i = 0; i < 6; ++i) {
    bank.QuestionTexts.push_back(i == 4 ? repeat("long text ", 120) : "short?");
    bank.QuestionFlags.push_back(1);
  }
  bank.AnswerTexts = {"_1_" + repeat("option ", 100), "_2_short", "_1_yes"};
  bank.AnswerQuestionSets = {"_5_", "_5_", "_6_"};
  bank.ConsultTexts = {"_5_", "_6_"};
  bank.ConsultBlocks = {{"$diagram_0042$text"}, {"plain"}};
  return bank;
}

// One question whose options are one or two characters long.
QuestionBank shortOptions() {
  QuestionBank bank;
  bank.QuestionTexts = {"?"};
  bank.QuestionFlags = {1};
  bank.AnswerTexts = {cp("_1_Ом"), "_2_W", cp("_3_Вт")};
  bank.AnswerQuestionSets = {"_1_", "_1_", "_1_"};
  return bank;
}

int visibleLabels(QWidget& window) {
  int count = 0;
  for (QLabel* label : window.findChildren<QLabel*>())
    if (label->isVisible()) ++count;
  return count;
}

// Russian words, in turn, as many as fit the given number of display lines.
std::string russianLines(std::size_t lines) {
  static const char* const words[] = {
      "Определите", "сопротивление", "участка", "цепи,", "если", "напряжение", "на", "нем",
      "равно",      "220",           "В,",      "а",     "ток",  "5",          "А."};
  std::string text = cp(words[0]);
  for (std::size_t i = 1;; ++i) {
    const std::string longer = text + " " + cp(words[i % std::size(words)]);
    if (displayLineCount(longer, CardText::Option, WindowKind::Testing) > lines) return text;
    text = longer;
  }
}

// Ten questions of the tallest card the course checker lets through: a question
// of eight lines and five options of 19 lines in all, 26 display lines.
QuestionBank longestCards() {
  QuestionBank bank;
  for (int n = 1; n <= 10; ++n) {
    bank.QuestionTexts.push_back(russianLines(8));
    bank.QuestionFlags.push_back(1);
    const std::size_t optionLines[] = {5, 5, 3, 5, 1};
    for (std::size_t j = 0; j < std::size(optionLines); ++j) {
      bank.AnswerTexts.push_back("_" + std::to_string(j + 1) + "_" + russianLines(optionLines[j]));
      bank.AnswerQuestionSets.push_back("_" + std::to_string(n) + "_");
    }
  }
  return bank;
}

// Every visible control lies inside the window and clear of every other; an
// option button counts as wide as what it draws, its indicator and caption.
void checkNothingOverlaps(QWidget& window) {
  std::vector<std::pair<QWidget*, QRect>> placed;
  QList<QWidget*> controls = window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  auto* card = window.findChild<QuestionCard*>();
  controls.removeOne(card);
  // What the card shows: the question label beside the page of its lines and options.
  QWidget* page = card->OptionButtons().front()->parentWidget();
  for (QWidget* shown : page->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    controls += shown == page ? page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)
                              : QList<QWidget*>{shown};
  for (QWidget* control : controls) {
    if (!control->isVisible()) continue;
    QRect drawn(control->mapTo(&window, QPoint(0, 0)), control->size());
    if (qobject_cast<QRadioButton*>(control)) drawn.setWidth(control->sizeHint().width());
    const QString name =
        control->objectName() + QLatin1Char(' ') + control->property("text").toString().left(20);
    QVERIFY2(window.rect().contains(drawn), qPrintable(name));
    for (const auto& [other, rect] : placed)
      QVERIFY2(!drawn.intersects(rect),
               qPrintable(name + QStringLiteral(" / ") + other->objectName() + QLatin1Char(' ') +
                          other->property("text").toString().left(20)));
    placed.emplace_back(control, drawn);
  }
}

}  // namespace

class CardWidgetsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { design::installFontSubstitutions(); }

  void selfControlCardShowsTheLayoutAndFreesTheLastQuestion() {
    const QuestionBank bank = bankWithLongAndShortQuestions();
    AnswerWindow window(WindowKind::SelfControl);
    window.show();
    window.card->showQuestion(bank, 4);
    QCOMPARE(window.controls.numberBox->text(), QStringLiteral("5"));
    QCOMPARE(window.card->OptionCount(), 2);
    QCOMPARE(window.card->ContinuationLabelCount(), 1);
    QCOMPARE(window.card->ExtraLines(), 2);
    // The question's further lines stand one pitch apart, as the card counts them.
    QCOMPARE(window.controls.questionLabel->pos(), QPoint(32, 48));
    QVERIFY(!window.controls.questionLabel->text().contains(QLatin1Char('\n')));
    QCOMPARE(window.card->questionLines().size(), 1u);
    QCOMPARE(window.card->questionLines()[0]->pos(), QPoint(32, 68));
    QVERIFY(window.card->questionLines()[0]->text().startsWith(QStringLiteral("    text long")));
    QCOMPARE(window.card->OptionButtons()[0]->pos(), QPoint(24, 100));
    QCOMPARE(window.card->OptionButtons()[0]->width(), 100 * 6 + 15);
    QCOMPARE(window.card->ContinuationLabels()[0]->pos(), QPoint(24, 120));
    QVERIFY(window.card->ContinuationLabels()[0]->text().startsWith(QString(13, QLatin1Char(' '))));
    QCOMPARE(window.card->OptionButtons()[1]->pos(), QPoint(24, 140));
    QVERIFY(window.card->OptionButtons()[0]->isChecked());
    QCOMPARE(window.nominalOuterSize(), QSize(604, 360));
    QCOMPARE(window.controls.label3->pos(), QPoint(24, 4 * 20 + 95));
    for (QPushButton* button : window.controls.movedButtons) QCOMPARE(button->y(), 285);
    QCOMPARE(visibleLabels(window), 4);
    // A short caption is never cut by the width estimate.
    window.card->showQuestion(shortOptions(), 0);
    for (QRadioButton* option : window.card->OptionButtons()) {
      QVERIFY2(option->width() >= option->sizeHint().width(), qPrintable(option->text()));
    }
    window.card->showQuestion(bank, 4);

    // Question 6 replaces everything of question 5.
    window.card->OptionButtons()[1]->setChecked(true);
    window.card->showQuestion(bank, 5);
    QCOMPARE(window.controls.numberBox->text(), QStringLiteral("6"));
    QCOMPARE(window.card->OptionCount(), 1);
    QCOMPARE(window.card->ContinuationLabelCount(), 0);
    QCOMPARE(window.findChildren<QRadioButton*>().size(), 1);
    QCOMPARE(visibleLabels(window), 2);
    QCOMPARE(window.card->OptionButtons()[0]->text(), QStringLiteral("yes"));
    QVERIFY(window.card->OptionButtons()[0]->isChecked());
    QCOMPARE(window.card->OptionDigits()[window.card->chosenOption().value()], 1);
  }

  void testingCardCentresItsButtonAndOffersTheDiagram() {
    const QuestionBank bank = bankWithLongAndShortQuestions();
    AnswerWindow window(WindowKind::Testing);
    window.show();
    QCOMPARE(window.card->showQuestion(bank, 4), std::optional<std::string>("diagram_0042"));
    QCOMPARE(window.card->OptionButtons()[0]->pos(), QPoint(24, 110));
    QCOMPARE(window.controls.centredButton->x(), (612 - 75) / 2);
    QVERIFY(window.controls.diagramButton->isVisible());
    QCOMPARE(window.controls.label3->y(), 250);
    QCOMPARE(window.controls.label3->x(), 200);
    for (QPushButton* button : window.controls.movedButtons) QCOMPARE(button->y(), 295);

    // A block without a marker hides the button and names no diagram.
    QCOMPARE(window.card->showQuestion(bank, 5), std::nullopt);
    QVERIFY(!window.controls.diagramButton->isVisible());
  }

  void aTallCardGrowsTheWindowAndNoAnswersGetsItsOption() {
    QuestionBank bank;
    bank.QuestionTexts = {"q?", "lonely?"};
    bank.QuestionFlags = {1, 1};
    for (int i = 0; i < 10; ++i) {
      bank.AnswerTexts.push_back("_" + std::to_string(i % 10) + "_o");
      bank.AnswerQuestionSets.push_back("_1_");
    }
    AnswerWindow window(WindowKind::Testing);
    window.show();
    window.card->showQuestion(bank, 0);
    QCOMPARE(window.nominalOuterSize().height(), 410);
    QCOMPARE(window.controls.label3->y(), 310);  // 25 above the buttons, not into them
    QCOMPARE(window.controls.movedButtons[0]->y(), 335);
    QVERIFY(!window.controls.diagramButton->isVisible());

    window.card->showQuestion(bank, 1);
    QCOMPARE(window.card->OptionCount(), 1);
    QCOMPARE(window.card->OptionButtons()[0]->text(), u8("Ответы не найдены."));
    QCOMPARE(window.card->OptionDigits()[window.card->chosenOption().value()], 1);
    QCOMPARE(window.nominalOuterSize().height(), 360);
  }

  // Lines of 85 characters or fewer that used to run past the edge: capitals,
  // wide letters, the indent of an option's further lines, and bold.
  void wideLinesStayInsideBothWindows() {
    QuestionBank bank;
    bank.QuestionTexts = {
        cp("ОПРЕДЕЛИТЕ ЭКВИВАЛЕНТНОЕ СОПРОТИВЛЕНИЕ ЦЕПИ, ИЗОБРАЖЕННОЙ НА СХЕМЕ, "
           "ЕСЛИ ВСЕ ШЕСТЬ РЕЗИСТОРОВ ОДИНАКОВЫ И РАВНЫ 10 ОМ.")};
    bank.QuestionFlags = {2};
    bank.AnswerTexts = {
        cp("_1_Какую мощность потребляет из сети трехфазный двигатель, если на щитке машины "
           "указана"),
        cp("_2_Фазное напряжение меньше линейного в корень из трех раз, поэтому при соединении "
           "звездой и линейном напряжении 380 вольт фазное напряжение трехфазной сети составляет "
           "220 вольт."),
        cp("_3_ШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШ")};
    bank.AnswerQuestionSets = {"_1_", "_1_", "_1_"};
    FakeServices fakes;
    const TempFolder folder;  // where a test leaves its start mark
    const Services services = fakes.services(folder.path());
    SessionState session;
    session.RangeFirst = 1;
    session.RangeLast = 1;

    TForm7 self(session, bank, services, nullptr);
    self.show();
    settle();
    self.Button1Click();  // wrong: the right option in bold, where it fits
    checkNothingOverlaps(self);
    self.close();
    TForm11 testing(session, bank, services, nullptr);
    testing.show();
    settle();
    checkNothingOverlaps(testing);
  }

  void theLongestCardOverlapsNothingOnEitherWindow() {
    const QuestionBank bank = longestCards();
    FakeServices fakes;
    const TempFolder folder;  // where a test leaves its start mark
    const Services services = fakes.services(folder.path());
    SessionState session;
    session.RangeFirst = 1;
    session.RangeLast = 10;

    TForm7 self(session, bank, services, nullptr);
    self.show();
    settle();
    QCOMPARE(self.card().OptionCount() + self.card().ExtraLines(), 26);
    QCOMPARE(self.nominalOuterSize().height(), 720);
    // The card's rule knows what a button needs beside its caption in the window's font.
    for (QRadioButton* option : self.card().OptionButtons())
      QCOMPARE(option->sizeHint().width(),
               textWidth(*toCp1251(option->text()), Face::Sans11) + kRadioButtonExtra);
    self.card().OptionButtons()[1]->setChecked(true);
    self.Button1Click();  // "Неправильно" under the options, the right one marked
    checkNothingOverlaps(self);
    for (std::size_t i = 0; i < self.card().ContinuationLabels().size(); ++i)
      QCOMPARE(self.card().ContinuationLabels()[i]->palette().color(QPalette::WindowText) ==
                   design::clGreen,
               self.card().continuationOwners()[i] == 0);
    self.close();

    // Nine answers, so that the row of marks is as long as it gets.
    fakes.random.script = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    TForm11 testing(session, bank, services, nullptr);
    testing.show();
    settle();
    for (int i = 0; i < 9; ++i) testing.Button1Click();
    QVERIFY(testing.test()->running());
    QCOMPARE(testing.nominalOuterSize().height(), 730);
    checkNothingOverlaps(testing);
    // Tab goes through the options and buttons only.
    for (QWidget* w = testing.nextInFocusChain(); w != &testing; w = w->nextInFocusChain())
      if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus))
        QVERIFY2(qobject_cast<QAbstractButton*>(w), w->metaObject()->className());
  }
};

QTEST_MAIN(CardWidgetsTest)
#include "card_widgets_test.moc"
