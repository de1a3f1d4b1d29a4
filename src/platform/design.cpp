#include "platform/design.h"

#include <QGuiApplication>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScreen>
#include <QWidget>

namespace design {

QFont font(const QString& family, int pixelSize, bool bold, bool italic) {
  QFont f(family);
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

void installFontSubstitutions() {
  const QString serif = QStringLiteral("Liberation Serif");
  const QString sans = QStringLiteral("Liberation Sans");
  for (const char* name : {"Times New Roman", "Times New Roman Cyr", "Times New Roman CYR"})
    QFont::insertSubstitution(QString::fromLatin1(name), serif);
  QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), sans);
}

void centreOnScreen(QWidget* window, const QSize& outerSize) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  window->move(area.x() + (area.width() - outerSize.width()) / 2,
               area.y() + (area.height() - outerSize.height()) / 2);
}

QPlainTextEdit* readOnlyMemo(QWidget* parent, const QColor& background) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setReadOnly(true);
  memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QPalette palette = memo->palette();
  palette.setColor(QPalette::Base, background);
  memo->setPalette(palette);
  return memo;
}

void paintBackground(QWidget* widget, const QColor& colour) {
  QPalette p = widget->palette();
  p.setColor(QPalette::Window, colour);
  widget->setPalette(p);
  widget->setAutoFillBackground(true);
}

void setTextColour(QWidget* widget, const QColor& colour) {
  QPalette p = widget->palette();
  p.setColor(QPalette::WindowText, colour);
  p.setColor(QPalette::Text, colour);
  p.setColor(QPalette::ButtonText, colour);
  widget->setPalette(p);
}

}  // namespace design
