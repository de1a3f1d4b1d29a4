#include "platform/ui/fit_texts.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QStringList>
#include <QWidget>
#include <algorithm>

#include "bank/range_file.h"
#include "platform/ui/design.h"

namespace {

// Greedy lines of at most room pixels, each line of the text on its own:
// whole words where they fit, a word wider than a line cut where it is full.
QString wrappedLines(const QFontMetrics& metrics, const QString& text, int room) {
  auto fits = [&](const QString& candidate) {
    return metrics.horizontalAdvance(candidate) <= room;
  };
  QStringList lines;
  for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
    QString line;
    bool empty = true;
    for (const QString& word : paragraph.split(QLatin1Char(' '))) {
      const QString joined = empty ? word : line + QLatin1Char(' ') + word;
      if (fits(joined)) {
        line = joined;
        empty = false;
        continue;
      }
      if (!empty) lines.append(line);
      line.clear();
      empty = true;
      for (const QChar c : word) {
        if (!empty && !fits(line + c)) {
          lines.append(line);
          line.clear();
        }
        line += c;
        empty = false;
      }
    }
    lines.append(line);
  }
  return lines.join(QLatin1Char('\n'));
}

}  // namespace

void wrapText(QWidget* client, QWidget* text, int width) {
  auto* label = qobject_cast<QLabel*>(text);
  auto* button = qobject_cast<QAbstractButton*>(text);
  if (!label && !button) return;
  const QString shown = label ? label->text() : button->text();
  const QFontMetrics metrics(text->font());
  // What a button draws besides its caption: the indicator and the focus frame.
  const int beside =
      button ? std::max(0, text->sizeHint().width() - metrics.horizontalAdvance(shown)) : 0;
  const QString wrapped = wrappedLines(metrics, shown, std::max(1, width - beside));
  if (wrapped == shown) return;
  if (label)
    label->setText(wrapped);
  else
    button->setText(wrapped);

  const int oldBottom = text->y() + text->height();
  const int height = std::max(text->height(), text->sizeHint().height());
  text->resize(std::min(std::max(text->width(), text->sizeHint().width()), width), height);
  const int gained = text->y() + height - oldBottom;
  if (gained <= 0) return;
  for (QWidget* other : client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (other != text && other->y() >= oldBottom) other->move(other->x(), other->y() + gained);
  client->setFixedHeight(client->height() + gained);
}

int widenForTexts(QWidget* client, int designedClientWidth, const QList<QWidget*>& texts) {
  const int designedOuter = designedClientWidth + design::kFrameWidth;
  int outer = designedOuter;
  for (const QWidget* text : texts)
    outer = std::max(outer, widenedOuterWidth(designedOuter, design::kFrameWidth, text->x(),
                                              text->sizeHint().width()));
  if (const QScreen* screen = client->screen())
    outer = std::min(outer, std::max(designedOuter, screen->availableGeometry().width()));
  const int clientWidth = outer - design::kFrameWidth;
  client->setFixedWidth(clientWidth);
  // Beyond the screen's width a text takes more lines, keeping the rule's margin.
  constexpr int kMarginInside = 10;
  for (QWidget* text : texts)
    if (text->x() + text->sizeHint().width() > clientWidth)
      wrapText(client, text, clientWidth - kMarginInside - text->x());
  return clientWidth - designedClientWidth;
}
