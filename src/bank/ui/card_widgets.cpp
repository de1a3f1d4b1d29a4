#include "bank/ui/card_widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>

#include "platform/ui/codec.h"
#include "platform/ui/form.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kOptionLeft = 24;
constexpr int kRadioButtonHeight = 17;
constexpr int kLinePitch = 20;

// A window grown by a tall card moves up as far as it must to keep its bottom,
// and the buttons there, on the screen; one that fits stays where it is.
void keepOnScreen(TFormBase& window) {
  const QScreen* screen = window.screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const int bottom = window.y() + window.nominalOuterSize().height();
  if (bottom <= area.bottom() + 1) return;
  const int top = std::max(area.top(), area.bottom() + 1 - window.nominalOuterSize().height());
  if (top < window.y()) window.move(window.x(), top);
}
}  // namespace

QuestionCard::QuestionCard(WindowKind kind, const CardControls& controls, TFormBase* window)
    : QWidget(window), window_(*window), kind_(kind), controls_(controls) {
  setObjectName(u"QuestionCard"_s);
  setGeometry(window->rect());
  // Beneath the window's own controls, so that it takes none of their clicks.
  lower();
}

std::optional<std::size_t> QuestionCard::chosenOption() const {
  std::optional<std::size_t> chosen;
  for (std::size_t i = 0; i < optionButtons_.size(); ++i)
    if (optionButtons_[i]->isChecked()) chosen = i;
  return chosen;
}

std::optional<std::string> QuestionCard::showQuestion(const QuestionBank& bank, std::size_t n) {
  // The page of the question shown before takes its buttons and labels with it.
  delete page_;
  page_ = new QWidget(this);
  optionButtons_.clear();
  optionDigits_.clear();
  continuationLabels_.clear();
  continuationOwners_.clear();

  const CardLayout card = layoutCard(bank, n, kind_);

  controls_.questionLabel->setText(displayText(card.questionCaption));
  controls_.questionLabel->adjustSize();
  if (controls_.numberBox) controls_.numberBox->setText(QString::number(n + 1));

  for (const OptionPlace& option : card.options) {
    // A button reads '&' as a shortcut mark; the author's '&' is shown as written.
    QString caption = fromCp1251(option.caption);
    caption.replace(QLatin1Char('&'), u"&&"_s);
    auto* button = new QRadioButton(caption, page_);
    // The estimate of 6 pixels a character leaves no room for the round
    // indicator, so a short caption such as "Ом" would be cut; it gets what it needs.
    button->setGeometry(kOptionLeft, option.top, std::max(option.width, button->sizeHint().width()),
                        kRadioButtonHeight);
    optionButtons_.push_back(button);
    optionDigits_.push_back(static_cast<std::int16_t>(option.digit));
    // One label for each further display line, one pitch below the one before.
    int top = option.continuationTop;
    auto addLine = [&](const std::string& line) {
      auto* label = new QLabel(fromCp1251(line), page_);
      label->setTextFormat(Qt::PlainText);
      label->move(kOptionLeft, top);
      label->adjustSize();
      continuationLabels_.push_back(label);
      continuationOwners_.push_back(optionButtons_.size() - 1);
      top += kLinePitch;
    };
    if (option.continuation) addLine(*option.continuation);
    for (const std::string& line : option.furtherLines) addLine(line);
  }
  extraLines_ = static_cast<std::uint16_t>(std::min(card.extraLines, 0xFFFF));
  optionButtons_.front()->setChecked(true);

  const int outerWidth = window_.nominalOuterSize().width();
  window_.setOuterSize(outerWidth, card.outerHeight);
  setGeometry(window_.rect());
  page_->setGeometry(rect());
  page_->show();
  keepOnScreen(window_);
  if (kind_ == WindowKind::Testing) {
    optionButtons_.front()->setFocus();
    if (controls_.centredButton)
      controls_.centredButton->move((outerWidth - controls_.centredButton->width()) / 2,
                                    controls_.centredButton->y());
    if (controls_.diagramButton) controls_.diagramButton->setVisible(card.diagramName.has_value());
    controls_.label3->move(controls_.label3->x(), card.label3Top);
  } else {
    controls_.label3->move(kOptionLeft, card.label3Top);
  }
  for (QPushButton* button : controls_.movedButtons) button->move(button->x(), card.buttonTop);
  return card.diagramName;
}
