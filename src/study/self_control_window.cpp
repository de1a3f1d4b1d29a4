#include "study/self_control_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "bank/range_file.h"
#include "platform/codec.h"
#include "platform/design.h"
#include "study/consultation_window.h"
#include "study/number_box.h"
#include "study/up_down.h"

namespace {
constexpr int kClientWidth = 557;
constexpr int kClientHeight = 413;

QString text(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

TForm7::TForm7(SessionState& session, const Services& services, const QuestionBank& bank,
               QWidget* owner)
    : TFormBase(owner), session_(session), services_(services), bank_(bank) {
  setObjectName(QStringLiteral("Form7"));
  setWindowTitle(text("Контроль знаний"));
  setBorderIcons(false);
  setClientSize(kClientWidth, kClientHeight);
  design::paintBackground(this, design::clInfoBk);
  setFont(design::font(QStringLiteral("MS Sans Serif"), 11));

  Label1 = placeLabel("Label1", text("Вопрос N"), 32, 24);

  // Any text may be typed: "Ввести" is what judges it.
  Edit1 = new QLineEdit(QStringLiteral("0"), this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(88, 22, 25, 21);
  Edit1->setAccessibleName(text("Номер вопроса"));
  UpDown1 = new UpDown(Edit1, this);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  UpDown1->setGeometry(113, 22, 15, 21);

  Label2 = placeLabel("Label2", QString(), 32, 48);
  Label3 = placeLabel("Label3", QString(), 40, 88);
  Label3->setFont(design::font(QStringLiteral("Times New Roman"), 15, true));
  design::setTextColour(Label3, design::clRed);

  const struct {
    QPushButton** button;
    const char* name;
    const char* caption;
    int left;
    int width;
  } buttons[] = {
      {&Button1, "Button1", "Ответить", 8, 75},      {&Button6, "Button6", "Ввести", 96, 75},
      {&Button2, "Button2", "Предыдущий", 184, 81},  {&Button3, "Button3", "Следующий", 280, 75},
      {&Button4, "Button4", "Консультация", 368, 83}, {&Button5, "Button5", "Отмена", 464, 81},
  };
  for (const auto& b : buttons) {
    *b.button = new QPushButton(text(b.caption), this);
    (*b.button)->setObjectName(QString::fromLatin1(b.name));
    (*b.button)->setGeometry(b.left, 352, b.width, 25);
    controls_.movedButtons.push_back(*b.button);
  }
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TForm7::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm7::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm7::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TForm7::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TForm7::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &TForm7::Edit1Change);

  controls_.questionLabel = Label2;
  controls_.numberBox = Edit1;
  controls_.label3 = Label3;
  centreOnScreen();
}

void TForm7::FormActivate() {
  // The window works in the working range the pass decided and never shows a
  // question outside the bank: a range that does not fit it opens nothing.
  const QuestionRange range{session_.RangeFirst, session_.RangeLast};
  if (!withinBank(range, bank_.QuestionTexts.size())) {
    reject();
    return;
  }
  first_ = range.first;
  last_ = range.last;
  CurrentQuestion = static_cast<std::uint16_t>(first_ - 1);
  UpDown1->setRange(first_, last_);
  applyStepButtons(first_);
  showQuestion();
}

void TForm7::showQuestion() {
  showQuestionCard(*this, card_, controls_, bank_, CurrentQuestion, WindowKind::SelfControl,
                   session_);
  // The options are new buttons: the question shown again keeps its mark, another has none.
  if (markedQuestion_ == CurrentQuestion)
    markRightOptions();
  else
    markedQuestion_.reset();
}

void TForm7::markRightOptions() {
  markedQuestion_ = CurrentQuestion;
  for (std::size_t i = 0; i < card_.OptionCount; ++i) {
    if (!isRightAnswer(bank_, CurrentQuestion, card_.OptionDigits[i])) continue;
    QRadioButton* option = card_.OptionButtons[i];
    QFont bold = option->font();
    bold.setBold(true);
    option->setFont(bold);
    design::setTextColour(option, design::clGreen);
    option->setAccessibleDescription(text("Правильный ответ"));
    // Bold letters are wider: a short caption must not lose its end.
    option->resize(std::max(option->width(), option->sizeHint().width()), option->height());
  }
  // The further lines of a right option turn green too; in bold a line of 85
  // characters would run past the window's edge.
  for (std::size_t i = 0; i < card_.ContinuationLabels.size(); ++i) {
    const std::size_t owner = card_.ContinuationOwners[i];
    if (isRightAnswer(bank_, CurrentQuestion, card_.OptionDigits[owner]))
      design::setTextColour(card_.ContinuationLabels[i], design::clGreen);
  }
}

void TForm7::applyStepButtons(unsigned shown) {
  const StepButtons enabled = stepButtons(shown, first_, last_);
  // A step button that goes grey under the focus would pass it on to the next
  // button, and the next Enter would press that one; the number box takes it.
  if ((!enabled.previous && Button2->hasFocus()) || (!enabled.next && Button3->hasFocus()))
    Edit1->setFocus();
  Button2->setEnabled(enabled.previous);
  Button3->setEnabled(enabled.next);
}

void TForm7::Button2Click() {
  if (CurrentQuestion + 1u <= first_) return;
  --CurrentQuestion;
  applyStepButtons(CurrentQuestion + 1u);
  Label3->clear();
  showQuestion();
}

void TForm7::Button3Click() {
  if (CurrentQuestion + 1u >= last_) return;
  ++CurrentQuestion;
  applyStepButtons(CurrentQuestion + 1u);
  Label3->clear();
  showQuestion();
}

void TForm7::Edit1Change() {
  // Text the code page cannot hold is no number either.
  const std::string typed = toCp1251(Edit1->text()).value_or(std::string("?"));
  const std::uint16_t number = enteredNumber(typed, first_, last_);
  Edit1->setText(QString::number(number));
  applyStepButtons(number);
  // The verdict stays: it is cleared only by the next answer or step.
  CurrentQuestion = static_cast<std::uint16_t>(number - 1);
  showQuestion();
}

void TForm7::Button1Click() {
  const std::optional<std::size_t> chosen = card_.chosenOption();
  if (!chosen) {
    services_.messages.message(this, text("Ошибка."), text("Ошибка при определении ответа."));
    reject();
    return;
  }
  const bool right = isRightAnswer(bank_, CurrentQuestion, card_.OptionDigits[*chosen]);
  design::setTextColour(Label3, right ? design::clGreen : design::clRed);
  Label3->setText(right ? text("Правильно") : text("Неправильно"));
  Label3->adjustSize();
  // A wrong answer shows which option was right.
  if (!right) markRightOptions();
}

void TForm7::Button4Click() {
  TForm8 consultation(session_, services_, bank_, CurrentQuestion, this);
  consultation.exec();
}

void TForm7::Button5Click() { reject(); }
