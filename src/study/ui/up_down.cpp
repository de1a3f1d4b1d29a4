#include "study/ui/up_down.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include "platform/ui/codec.h"
#include "study/number_box.h"

UpDown::UpDown(QLineEdit* associate, QWidget* parent)
    : QWidget(parent),
      associate_(associate),
      up_(new QToolButton(this)),
      down_(new QToolButton(this)) {
  up_->setArrowType(Qt::UpArrow);
  down_->setArrowType(Qt::DownArrow);
  up_->setAccessibleName(QStringLiteral("Следующий номер"));
  down_->setAccessibleName(QStringLiteral("Предыдущий номер"));
  for (QToolButton* button : {up_, down_}) {
    button->setFocusPolicy(
        Qt::NoFocus);  // the number box keeps the focus, as with a classic spinner
    button->setAutoRepeat(true);
  }
  connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
  connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
  // The arrow keys in the number box step it too.
  associate_->installEventFilter(this);
}

void UpDown::setRange(std::uint16_t min, std::uint16_t max) {
  min_ = min;
  max_ = max;
}

void UpDown::stepBy(int step) {
  const std::string text = toCp1251(associate_->text()).value_or(std::string());
  associate_->setText(QString::number(steppedNumber(text, step, min_, max_)));
}

bool UpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == associate_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      stepBy(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void UpDown::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int half = height() / 2;
  up_->setGeometry(0, 0, width(), half);
  down_->setGeometry(0, half, width(), height() - half);
}
