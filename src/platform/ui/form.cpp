#include "platform/ui/form.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

#include "platform/ui/design.h"

TFormBase::TFormBase(QWidget* owner) : QDialog(owner) {
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  setSizeGripEnabled(false);
}

QSize TFormBase::nominalOuterSize() const {
  return {width() + design::kFrameWidth, height() + design::kFrameHeight};
}

void TFormBase::setClientSize(int width, int height) { setFixedSize(width, height); }

void TFormBase::setOuterSize(int width, int height) {
  setClientSize(width - design::kFrameWidth, height - design::kFrameHeight);
}

void TFormBase::centreOnScreen() { design::centreOnScreen(this, nominalOuterSize()); }

void TFormBase::applyDesign(const char* name, const QString& caption, const QSize& clientSize,
                            const QColor& background, const QFont& font) {
  setObjectName(QString::fromLatin1(name));
  setWindowTitle(caption);
  setClientSize(clientSize.width(), clientSize.height());
  design::paintBackground(this, background);
  setFont(font);
}

QPlainTextEdit* TFormBase::placeMemo(const char* name, const QRect& place, const QColor& background,
                                     const QString& spokenName) {
  QPlainTextEdit* memo = design::readOnlyMemo(this, background, spokenName);
  memo->setObjectName(QString::fromLatin1(name));
  memo->setGeometry(place);
  return memo;
}

QLabel* TFormBase::placeLabel(const char* name, const QString& caption, int left, int top) {
  auto* label = new QLabel(caption, this);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->move(left, top);
  label->adjustSize();
  return label;
}

QTimer* TFormBase::addTimer(int intervalMs, const std::function<void()>& handler, bool enabled) {
  auto* timer = new QTimer(this);
  timer->setInterval(intervalMs);
  connect(timer, &QTimer::timeout, this, handler);
  if (enabled) timer->start();
  return timer;
}

void TFormBase::setCloseBox(bool on) {
  closeBox_ = on;
  setWindowFlag(Qt::WindowCloseButtonHint, on);
  if (!on) setWindowFlag(Qt::CustomizeWindowHint, true);
}

void TFormBase::setBorderIcons(bool minimiseBox) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 (minimiseBox ? Qt::WindowMinimizeButtonHint : Qt::WindowType(0)));
}

void TFormBase::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;  // the window manager re-showing it is no new activation
  const int showing = ++showing_;
  QTimer::singleShot(0, this, [this, showing] {
    if (showing != showing_ || !isVisible()) return;
    FormActivate();
    ++activations_;
  });
}

void TFormBase::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && !escapeCloses_) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TFormBase::closeEvent(QCloseEvent* event) {
  if (!closeBox_) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}
