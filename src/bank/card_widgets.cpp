#include "bank/card_widgets.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>

#include "platform/codec.h"
#include "platform/form.h"

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

std::optional<std::size_t> CardState::chosenOption() const {
  std::optional<std::size_t> chosen;
  for (std::size_t i = 0; i < OptionCount && i < OptionButtons.size(); ++i)
    if (OptionButtons[i]->isChecked()) chosen = i;
  return chosen;
}

void showQuestionCard(TFormBase& window, CardState& state, const CardControls& controls,
                      const QuestionBank& bank, std::size_t n, WindowKind kind,
                      SessionState& session) {
  for (QRadioButton* button : state.OptionButtons) delete button;
  state.OptionButtons.clear();
  for (QLabel* label : state.ContinuationLabels) delete label;
  state.ContinuationLabels.clear();
  state.ContinuationOwners.clear();
  state.OptionCount = 0;
  state.ContinuationLabelCount = 0;

  const CardLayout card = layoutCard(bank, n, kind);

  controls.questionLabel->setText(displayText(card.questionCaption));
  controls.questionLabel->adjustSize();
  if (controls.numberBox) controls.numberBox->setText(QString::number(n + 1));

  state.OptionDigits.clear();
  for (const OptionPlace& option : card.options) {
    // A button reads '&' as a shortcut mark; the author's '&' is shown as written.
    QString caption = fromCp1251(option.caption);
    caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto* button = new QRadioButton(caption, &window);
    // The estimate of 6 pixels a character leaves no room for the round
    // indicator, so a short caption such as "Ом" would be cut; it gets what it needs.
    button->setGeometry(kOptionLeft, option.top, std::max(option.width, button->sizeHint().width()),
                        kRadioButtonHeight);
    button->show();
    state.OptionButtons.push_back(button);
    state.OptionDigits.push_back(static_cast<std::int16_t>(option.digit));
    // One label for each further display line, one pitch below the one before.
    int top = option.continuationTop;
    auto addLine = [&](const std::string& line) {
      auto* label = new QLabel(fromCp1251(line), &window);
      label->setTextFormat(Qt::PlainText);
      label->move(kOptionLeft, top);
      label->adjustSize();
      label->show();
      state.ContinuationLabels.push_back(label);
      state.ContinuationOwners.push_back(state.OptionButtons.size() - 1);
      top += kLinePitch;
    };
    if (option.continuation) addLine(*option.continuation);
    for (const std::string& line : option.furtherLines) addLine(line);
  }
  state.OptionCount = static_cast<std::uint16_t>(state.OptionButtons.size());
  state.ContinuationLabelCount = static_cast<std::uint16_t>(state.ContinuationLabels.size());
  state.ExtraLines = static_cast<std::uint16_t>(std::min(card.extraLines, 0xFFFF));
  state.OptionButtons.front()->setChecked(true);

  const int outerWidth = window.nominalOuterSize().width();
  window.setOuterSize(outerWidth, card.outerHeight);
  keepOnScreen(window);
  if (kind == WindowKind::Testing) {
    state.OptionButtons.front()->setFocus();
    if (controls.centredButton)
      controls.centredButton->move((outerWidth - controls.centredButton->width()) / 2,
                                   controls.centredButton->y());
    if (controls.diagramButton) {
      if (card.diagramName) session.DiagramName = *card.diagramName;
      controls.diagramButton->setVisible(card.diagramName.has_value());
    }
    controls.label3->move(controls.label3->x(), card.label3Top);
  } else {
    controls.label3->move(kOptionLeft, card.label3Top);
  }
  for (QPushButton* button : controls.movedButtons) button->move(button->x(), card.buttonTop);
}
