#include "study/ui/self_control_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "bank/range_file.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "study/number_box.h"
#include "study/ui/consultation_window.h"
#include "study/ui/up_down.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kClientWidth = cardClientWidth(WindowKind::SelfControl);
constexpr int kClientHeight = 413;

}  // namespace

TForm7::TForm7(SessionState& session, const QuestionBank& bank, const Services& services,
               QWidget* owner)
    : TFormBase(owner), session_(session), bank_(bank), services_(services) {
  setBorderIcons(false);
  applyDesign("Form7", u"Контроль знаний"_s, {kClientWidth, kClientHeight}, design::clInfoBk,
              design::font(QStringLiteral("MS Sans Serif"), 11));

  Label1 = placeLabel("Label1", u"Вопрос N"_s, 32, 24);

  // Any text may be typed: "Ввести" is what judges it.
  Edit1 = new QLineEdit(QStringLiteral("0"), this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(88, 22, 25, 21);
  Edit1->setAccessibleName(u"Номер вопроса"_s);
  UpDown1 = new UpDown(Edit1, this);
  UpDown1->setObjectName(QStringLiteral("UpDown1"));
  UpDown1->setGeometry(113, 22, 15, 21);

  Label2 = placeLabel("Label2", QString(), 32, 48);
  Label3 = placeLabel("Label3", QString(), 40, 88);
  Label3->setFont(design::font(QStringLiteral("Times New Roman"), 15, true));
  design::setTextColour(Label3, design::clRed);

  // Button6 "Ввести" applies the number typed into Edit1, so its handler
  // bears the edit's name.
  const struct {
    QPushButton** button;
    const char* name;
    QString caption;
    int left;
    int width;
    void (TForm7::*handler)();
  } buttons[] = {
      {&Button1, "Button1", u"Ответить"_s, 8, 75, &TForm7::Button1Click},
      {&Button6, "Button6", u"Ввести"_s, 96, 75, &TForm7::Edit1Change},
      {&Button2, "Button2", u"Предыдущий"_s, 184, 81, &TForm7::Button2Click},
      {&Button3, "Button3", u"Следующий"_s, 280, 75, &TForm7::Button3Click},
      {&Button4, "Button4", u"Консультация"_s, 368, 83, &TForm7::Button4Click},
      {&Button5, "Button5", u"Отмена"_s, 464, 81, &TForm7::Button5Click},
  };
  CardControls controls;
  for (const auto& b : buttons) {
    *b.button = placeButton(b.name, b.caption, {b.left, 352, b.width, 25}, b.handler);
    controls.movedButtons.push_back(*b.button);
  }
  Button1->setDefault(true);

  controls.questionLabel = Label2;
  controls.numberBox = Edit1;
  controls.label3 = Label3;
  card_ = new QuestionCard(WindowKind::SelfControl, controls, this);
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
  card_->showQuestion(bank_, CurrentQuestion);  // the self-control card names no diagram
  // The options are new buttons: the question shown again keeps its mark, another has none.
  if (markedQuestion_ == CurrentQuestion)
    markRightOptions();
  else
    markedQuestion_.reset();
}

void TForm7::markRightOptions() {
  markedQuestion_ = CurrentQuestion;
  // Green, and bold where the option still fits the window so: bold letters are wider.
  const auto mark = [](QWidget* shown, bool bold) {
    if (bold) {
      QFont font = shown->font();
      font.setBold(true);
      shown->setFont(font);
      // A short caption must not lose its end.
      shown->resize(std::max(shown->width(), shown->sizeHint().width()), shown->height());
    }
    design::setTextColour(shown, design::clGreen);
  };
  for (std::size_t i = 0; i < card_->OptionCount(); ++i) {
    if (!isRightAnswer(bank_, CurrentQuestion, card_->OptionDigits()[i])) continue;
    mark(card_->OptionButtons()[i], card_->boldFits()[i]);
    card_->OptionButtons()[i]->setAccessibleDescription(u"Правильный ответ"_s);
  }
  // The further lines of a right option go with its first.
  for (std::size_t i = 0; i < card_->ContinuationLabelCount(); ++i) {
    const std::size_t owner = card_->continuationOwners()[i];
    if (isRightAnswer(bank_, CurrentQuestion, card_->OptionDigits()[owner]))
      mark(card_->ContinuationLabels()[i], card_->boldFits()[owner]);
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
  // A verdict belongs to the question it was given on: it stays when that
  // question is laid out again, and goes when another is shown.
  if (number - 1 != CurrentQuestion) Label3->clear();
  CurrentQuestion = static_cast<std::uint16_t>(number - 1);
  showQuestion();
}

void TForm7::Button1Click() {
  const std::optional<std::size_t> chosen = card_->chosenOption();
  if (!chosen) {
    services_.messages.message(this, u"Ошибка."_s, u"Ошибка при определении ответа."_s);
    reject();
    return;
  }
  const bool right = isRightAnswer(bank_, CurrentQuestion, card_->OptionDigits()[*chosen]);
  design::setTextColour(Label3, right ? design::clGreen : design::clRed);
  Label3->setText(right ? u"Правильно"_s : u"Неправильно"_s);
  Label3->adjustSize();
  // A wrong answer shows which option was right.
  if (!right) markRightOptions();
}

void TForm7::Button4Click() {
  TForm8 consultation(session_, bank_, CurrentQuestion, services_, this);
  consultation.exec();
}

void TForm7::Button5Click() { reject(); }
