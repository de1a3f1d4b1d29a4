#include "platform/ui/design.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QRadioButton>
#include <QScreen>
#include <QStyleFactory>
#include <QStyleOption>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cmath>

namespace design {

namespace {

// The installed family a layout's font name stands for. Naming it directly
// spares the font database a fallback search for a family no Linux desktop
// has, once for every family name and style, which cost most of the start-up.
QString installedFamily(const QString& family) {
  if (family.compare(QLatin1StringView("MS Sans Serif"), Qt::CaseInsensitive) == 0)
    return QStringLiteral("Liberation Sans");
  if (family.startsWith(QLatin1StringView("Times New Roman"), Qt::CaseInsensitive))
    return QStringLiteral("Liberation Serif");
  return family;
}

}  // namespace

QFont font(const QString& family, int pixelSize, bool bold, bool italic) {
  QFont f(installedFamily(family));
  f.setPixelSize(pixelSize);
  f.setBold(bold);
  f.setItalic(italic);
  return f;
}

void installFontSubstitutions() {
  for (const char* name :
       {"Times New Roman", "Times New Roman Cyr", "Times New Roman CYR", "MS Sans Serif"}) {
    const QString family = QString::fromLatin1(name);
    QFont::insertSubstitution(family, installedFamily(family));
  }
}

void centreOnScreen(QWidget* window, const QSize& outerSize) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  window->move(area.x() + (area.width() - outerSize.width()) / 2,
               area.y() + (area.height() - outerSize.height()) / 2);
}

QPlainTextEdit* readOnlyMemo(QWidget* parent, const QColor& background, const QString& name) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setReadOnly(true);
  memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo->setAccessibleName(name);
  QPalette palette = memo->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, QPalette::Base, background);
    palette.setColor(group, QPalette::Text,
                     readableOn(palette.color(group, QPalette::Text), background));
  }
  palette.setColor(QPalette::Disabled, QPalette::Base, background);
  memo->setPalette(palette);
  return memo;
}

void paintBackground(QWidget* widget, const QColor& colour) {
  widget->setPalette(QPalette(clBtnFace, colour));
  widget->setAutoFillBackground(true);
}

void setTextColour(QWidget* widget, const QColor& colour) {
  QPalette p = widget->palette();
  // Disabled text keeps the scheme's grey, so a disabled control still looks disabled.
  for (const auto group : {QPalette::Active, QPalette::Inactive}) {
    p.setColor(group, QPalette::WindowText, readableOn(colour, p.color(group, QPalette::Window)));
    p.setColor(group, QPalette::Text, readableOn(colour, p.color(group, QPalette::Base)));
    p.setColor(group, QPalette::ButtonText, readableOn(colour, p.color(group, QPalette::Button)));
  }
  widget->setPalette(p);
}

namespace {

// Each channel value's linear light, worked out once: a window's text colours
// are tried shade by shade against their backgrounds, and the powers were the
// bulk of building the title window's palettes.
double linear(int channel) {
  static const std::array<double, 256> table = [] {
    std::array<double, 256> values{};
    for (int i = 0; i < 256; ++i) {
      const double c = i / 255.0;
      values[static_cast<std::size_t>(i)] =
          c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    return values;
  }();
  return table[static_cast<std::size_t>(channel)];
}

double luminance(const QColor& colour) {
  const QColor c = colour.toRgb();
  return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

// The classic desktop the layouts were drawn for: radio buttons get a dotted
// frame in their text colour around the caption whenever they have the focus,
// and a message box's buttons carry their caption alone.
class ClassicStyle final : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;

  // Besides, looking the button's icon up in the desktop's icon theme took
  // most of the time the first message box of a run needed to appear.
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_DialogButtonBox_ButtonsHaveIcons) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element != PE_FrameFocusRect || !qobject_cast<const QRadioButton*>(widget)) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(option->palette.color(QPalette::WindowText), 1, Qt::DotLine));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(option->rect.adjusted(0, 0, -1, -1));
    painter->restore();
  }
};

}  // namespace

double contrastRatio(const QColor& a, const QColor& b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& text, const QColor& background) {
  const QColor rgb = text.toRgb();
  const int top = std::max({rgb.red(), rgb.green(), rgb.blue()});
  // Scaling all three channels alike keeps the hue; the first step that reads is the nearest.
  for (int value = top; value > 0; --value) {
    const auto scaled = [&](int channel) {
      return static_cast<int>(std::lround(channel * static_cast<double>(value) / top));
    };
    const QColor shade(scaled(rgb.red()), scaled(rgb.green()), scaled(rgb.blue()), rgb.alpha());
    if (contrastRatio(shade, background) >= kMinimumContrast) return shade;
  }
  return QColor(0, 0, 0, rgb.alpha());
}

void installStyle() {
  if (dynamic_cast<ClassicStyle*>(QApplication::style())) return;
  // A fresh instance of the style in use: the application deletes the one it replaces.
  QApplication::setStyle(new ClassicStyle(QStyleFactory::create(QApplication::style()->name())));
}

}  // namespace design
