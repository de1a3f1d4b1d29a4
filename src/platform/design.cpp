#include "platform/design.h"

#include <QPalette>
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
