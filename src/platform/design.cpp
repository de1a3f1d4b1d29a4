#include "platform/design.h"

#include <QGuiApplication>
#include <QPalette>
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
