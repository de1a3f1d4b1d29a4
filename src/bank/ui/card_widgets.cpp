#include "bank/ui/card_widgets.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QWindow>
#include <algorithm>

#include "platform/pixels.h"
#include "platform/ui/codec.h"
#include "platform/ui/form.h"

using namespace Qt::StringLiterals;

namespace {
constexpr int kOptionLeft = 24;
constexpr int kRadioButtonHeight = 17;
constexpr int kLinePitch = 20;

// The outer height a window may take on its screen: the available height, less
// what the window manager's frame takes beyond the nominal one.
int availableOuterHeight(const TFormBase& window) {
  const QScreen* screen = window.screen();
  if (!screen) return kMaxPixels;
  const int realFrame = window.frameGeometry().height() - window.height();
  const int nominalFrame = window.nominalOuterSize().height() - window.height();
  return screen->availableGeometry().height() - std::max(0, realFrame - nominalFrame);
}

// A window grown by a tall card moves up as far as it must to keep its bottom,
// and the buttons there, on the screen, its title bar never above the screen's
// top; one that fits stays where it is.
void keepOnScreen(TFormBase& window) {
  const QScreen* screen = window.screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QRect frame = window.frameGeometry();
  const int height = std::max(window.nominalOuterSize().height(), frame.height());
  if (frame.top() + height <= area.bottom() + 1) return;
  const int top = std::max(area.top(), area.bottom() + 1 - height);
  if (top >= frame.top()) return;
  // The window manager may not have framed the window yet, so Qt cannot turn a
  // frame position into a client one; asking for the frame's place lets the
  // window manager put it there, title bar included.
  if (QWindow* handle = window.windowHandle())
    handle->setFramePosition(QPoint(frame.left(), top));
  else
    window.move(frame.left(), top);
}
}  // namespace

QuestionCard::QuestionCard(WindowKind kind, const CardControls& controls, TFormBase* window)
    : QWidget(window), window_(*window), kind_(kind), controls_(controls) {
  setObjectName(u"QuestionCard"_s);
  setGeometry(window->rect());
  // Beneath the window's own controls, so that it takes none of their clicks.
  lower();
  scroll_ = new QScrollArea(this);
  scroll_->setFrameShape(QFrame::NoFrame);
  // No stop of its own for Tab: the keys go from option to option, which it follows.
  scroll_->setFocusPolicy(Qt::NoFocus);
  scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll_->setGeometry(rect());
  content_ = new QWidget;
  scroll_->setWidget(content_);
  // The window's own background shows through, as it did beneath the card.
  scroll_->viewport()->setAutoFillBackground(false);
  content_->setAutoFillBackground(false);
  designOuterWidth_ = window->nominalOuterSize().width();
  questionPlace_ = controls_.questionLabel->pos();
  controls_.questionLabel->setParent(content_);
  controls_.questionLabel->move(questionPlace_);
  // An option reached by the arrow keys is brought into view, as Tab does.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (scrolls_ && now && content_->isAncestorOf(now)) scroll_->ensureWidgetVisible(now);
  });
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
  page_ = new QWidget(content_);
  optionButtons_.clear();
  optionDigits_.clear();
  continuationLabels_.clear();
  continuationOwners_.clear();
  questionLines_.clear();
  boldFits_.clear();

  const CardLayout card = layoutCard(bank, n, kind_);

  // The question's lines stand one pitch apart, as the card counts them.
  controls_.questionLabel->setText(displayText(card.questionLines.front()));
  controls_.questionLabel->adjustSize();
  for (std::size_t i = 1; i < card.questionLines.size(); ++i) {
    auto* line = new QLabel(displayText(card.questionLines[i]), page_);
    line->setTextFormat(Qt::PlainText);
    line->move(questionPlace_.x(), pixelsFor(i, kLinePitch, questionPlace_.y()));
    line->adjustSize();
    questionLines_.push_back(line);
  }
  if (controls_.numberBox) controls_.numberBox->setText(QString::number(n + 1));

  for (const OptionPlace& option : card.options) {
    auto* button = new QRadioButton(buttonCaption(option.caption), page_);
    // The estimate of 6 pixels a character leaves no room for the round
    // indicator, so a short caption such as "Ом" would be cut; it gets what it needs.
    button->setGeometry(kOptionLeft, option.top, std::max(option.width, button->sizeHint().width()),
                        kRadioButtonHeight);
    optionButtons_.push_back(button);
    optionDigits_.push_back(static_cast<std::int16_t>(option.digit));
    boldFits_.push_back(option.boldFits);
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

  fitWindow(card);
  if (kind_ == WindowKind::Testing) {
    optionButtons_.front()->setFocus();
    if (controls_.centredButton)
      controls_.centredButton->move(
          (window_.nominalOuterSize().width() - controls_.centredButton->width()) / 2,
          controls_.centredButton->y());
    if (controls_.diagramButton) controls_.diagramButton->setVisible(card.diagramName.has_value());
  }
  return card.diagramName;
}

void QuestionCard::fitWindow(const CardLayout& card) {
  const CardFit fit = fitCard({card.outerHeight, card.buttonTop, card.label3Top},
                              questionPlace_.y(), availableOuterHeight(window_));
  scrolls_ = fit.scrolls;
  // The scroll bar stands beside the lines, which keep the room they were broken for.
  const int scrollBar = scrolls_ ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
  window_.setOuterSize(designOuterWidth_ + scrollBar, fit.frame.outerHeight);
  setGeometry(window_.rect());
  const int bandBottom = scrolls_ ? fit.bandBottom : height();
  const int contentBottom = scrolls_ ? fit.contentBottom : height();
  scroll_->setGeometry(0, fit.bandTop, width(), bandBottom - fit.bandTop);
  content_->resize(width() - scrollBar, contentBottom - fit.bandTop);
  // The page keeps the window's places: it starts where the window does.
  page_->setGeometry(0, -fit.bandTop, content_->width(), contentBottom);
  controls_.questionLabel->move(questionPlace_.x(), questionPlace_.y() - fit.bandTop);
  page_->show();
  scroll_->ensureVisible(0, 0);
  keepOnScreen(window_);

  const int label3Left = kind_ == WindowKind::Testing ? controls_.label3->x() : kOptionLeft;
  controls_.label3->move(label3Left, fit.frame.label3Top);
  for (QPushButton* button : controls_.movedButtons) button->move(button->x(), fit.frame.buttonTop);
}
