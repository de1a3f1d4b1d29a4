#include "author/ui/card_preview.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <cstdio>

#include "bank/question_card.h"
#include "bank/ui/card_widgets.h"
#include "platform/ui/design.h"

using namespace Qt::StringLiterals;

PreviewForm::PreviewForm(QWidget* parent) : TFormBase(parent) {
  // A part of the editor's window, not a window of its own.
  setWindowFlags(Qt::Widget);
  applyDesign("PreviewForm", u"Тестирование"_s, {cardClientWidth(WindowKind::Testing), 268},
              design::clInfoBk, design::font(QStringLiteral("MS Sans Serif"), 11));
  const QFont times15 = design::font(QStringLiteral("Times New Roman"), 15);
  auto styled = [&](QLabel* label, const QFont& font, const QColor& colour) {
    label->setFont(font);
    design::setTextColour(label, colour);
    label->adjustSize();
    return label;
  };
  styled(placeLabel("TimeLabel1", u"Осталось времени:"_s, 16, 8), times15, design::clFuchsia);
  styled(placeLabel("TimeLabel2", u"10:00"_s, 144, 8),
         design::font(QStringLiteral("MS Sans Serif"), 15), design::clFuchsia);
  styled(placeLabel("Label4", u"Дано ответов:"_s, 224, 8), times15, design::clFuchsia);
  styled(placeLabel("Label5", u"0"_s, 320, 8), times15, design::clFuchsia);
  Label1 = placeLabel("Label1", QString(), 32, 56);
  Label3 = styled(placeLabel("Label3", u"Результаты: "_s, 40, 200),
                  design::font(QStringLiteral("Times New Roman"), 16), design::clBlue);
  Button1 = placeButton("Button1", u"Ответить"_s, {168, 232, 75, 25}, &PreviewForm::ignoreClick);
  Button2 = placeButton("Button2", u"Диаграмма"_s, {392, 232, 75, 25}, &PreviewForm::ignoreClick);
  CardControls controls;
  controls.questionLabel = Label1;
  controls.label3 = Label3;
  controls.movedButtons = {Button1, Button2};
  controls.centredButton = Button1;
  controls.diagramButton = Button2;
  card_ = new QuestionCard(WindowKind::Testing, controls, this);
  setAccessibleName(u"Просмотр вопроса"_s);
}

int PreviewForm::showQuestion(const QuestionBank& bank) {
  // The testing window gives its first option the focus; here the author goes on
  // typing where they were. Guarded: laying the card out deletes the last card's widgets.
  QPointer<QWidget> typing = QApplication::focusWidget();
  if (typing && isAncestorOf(typing)) typing = nullptr;
  card_->showQuestion(bank, 0);
  // A picture of the card: the editor's keys never stop in it.
  for (QWidget* child : findChildren<QWidget*>()) child->setFocusPolicy(Qt::NoFocus);
  if (typing) {
    typing->setFocus();
  } else if (QWidget* focused = QApplication::focusWidget(); focused && isAncestorOf(focused)) {
    focused->clearFocus();
  }
  return nominalOuterSize().height();
}

CardPreview::CardPreview(QWidget* parent) : QWidget(parent) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  mark_ = new QLabel(this);
  mark_->setObjectName(u"HeightMark"_s);
  mark_->setAccessibleName(u"Высота окна вопроса"_s);
  mark_->setWordWrap(true);
  mark_->setTextFormat(Qt::PlainText);
  layout->addWidget(mark_);
  scroll_ = new QScrollArea(this);
  scroll_->setAccessibleName(u"Просмотр вопроса"_s);
  scroll_->setFocusPolicy(Qt::NoFocus);
  form_ = new PreviewForm(scroll_);
  scroll_->setWidget(form_);
  // As wide as the window it shows, so that only a tall card scrolls.
  scroll_->setMinimumWidth(form_->width() + scroll_->verticalScrollBar()->sizeHint().width() +
                           2 * scroll_->frameWidth());
  layout->addWidget(scroll_, 1);
  showQuestion(nullptr);
}

QuestionBank CardPreview::bankOf(const QuestionView& q) {
  QuestionBank bank;
  bank.QuestionTexts.push_back(q.text);
  bank.QuestionFlags.push_back(static_cast<std::uint16_t>(q.rightDigit < 0 ? 0 : q.rightDigit));
  for (const OptionView& o : q.options) {
    const char digit = o.digit < 0 ? '?' : static_cast<char>('0' + o.digit);
    bank.AnswerTexts.push_back(std::string("_") + digit + "_" + o.text);
    bank.AnswerQuestionSets.push_back("_1_");
  }
  if (q.hasConsultation) {
    std::vector<std::string> lines = q.consultation;
    if (lines.empty()) lines.emplace_back();
    if (q.diagram) {
      char marker[24];
      std::snprintf(marker, sizeof marker, "$diagram_%04u$", *q.diagram);
      lines.front().insert(0, marker);
    }
    bank.ConsultTexts.push_back("_1_");
    bank.ConsultBlocks.push_back(lines);
  }
  return bank;
}

QString CardPreview::heightText() const {
  if (height_ == 0) return {};
  if (height_ > kTallestFittingCard)
    return u"Окно вопроса высотой %1 пикселей выше %2: на экране 1024×768 его кнопки окажутся "
           u"за краем. Сократите вопрос или варианты ответа."_s.arg(height_)
               .arg(kTallestFittingCard);
  return u"Окно вопроса: %1 пикселей в высоту (помещается на экране 1024×768)."_s.arg(height_);
}

void CardPreview::showQuestion(const QuestionView* question) {
  form_->setVisible(question != nullptr);
  if (!question) {
    height_ = 0;
    mark_->setText(u"Выберите вопрос, чтобы увидеть его так, как его увидит студент."_s);
    return;
  }
  height_ = form_->showQuestion(bankOf(*question));
  form_->move(0, 0);
  scroll_->verticalScrollBar()->setValue(0);
  const bool tall = height_ > kTallestFittingCard;
  mark_->setText((tall ? u"⚠ "_s : QString()) + heightText());
  QFont font = mark_->font();
  font.setBold(tall);
  mark_->setFont(font);
}
