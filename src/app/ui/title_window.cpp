#include "app/ui/title_window.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app/ui/texts.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "platform/ui/fit_texts.h"

namespace {

const QString kSerif = QStringLiteral("Times New Roman");
const QString kSerifCyr = QStringLiteral("Times New Roman CYR");
constexpr int kOwnLineMargin = 8;

// A label with its font and colour; bands that span the window get their
// place as it is, without measuring the text first.
QLabel* newLabel(QWidget* owner, const char* name, const QString& text, const QFont& font,
                 const QColor& colour) {
  auto* label = new QLabel(owner);
  label->setObjectName(QString::fromLatin1(name));
  label->setTextFormat(Qt::PlainText);
  label->setFont(font);
  design::setTextColour(label, colour);
  label->setText(text);
  return label;
}

// Labels without a given size take the size of their text, as the designer's
// auto-sized labels did.
QLabel* addLabel(QWidget* owner, const char* name, const QString& text, const QFont& font,
                 const QColor& colour, int left, int top) {
  QLabel* label = newLabel(owner, name, text, font, colour);
  label->move(left, top);
  label->adjustSize();
  return label;
}

// The course's own text for a part of the title screen, or the sample's.
QString own(const std::optional<std::string>& text, const QString& sample) {
  return text && !text->empty() ? fromCp1251(*text) : sample;
}

// The widest line of a text in a font.
int widest(const QFont& font, const QString& text) {
  const QFontMetrics metrics(font);
  int wide = 0;
  for (const QString& line : text.split(QLatin1Char('\n')))
    wide = std::max(wide, metrics.horizontalAdvance(line));
  return wide;
}

// A course's own text wider than room is set in a smaller size that fits,
// but no smaller than 11 pixels, which still reads.
QFont fitted(QFont font, const QString& text, int room) {
  constexpr int kSmallestReadable = 11;
  const int wide = widest(font, text);
  if (wide <= room || font.pixelSize() <= kSmallestReadable) return font;
  int size = std::max(kSmallestReadable, font.pixelSize() * room / wide);
  font.setPixelSize(size);
  // Hinting makes the advance grow a little unevenly with the size.
  while (size > kSmallestReadable && widest(font, text) > room) font.setPixelSize(--size);
  return font;
}

// The same for a label on the window, which takes more lines where even that
// size is too wide; what stands below it moves down.
void fitLabel(QWidget* window, QLabel* label, int room) {
  label->setFont(fitted(label->font(), label->text(), room));
  if (widest(label->font(), label->text()) <= room) return;
  const QRect band = label->geometry();
  wrapText(window, label, room);
  // A band across the window stays across it, its lines in the middle.
  if (band.width() >= window->width())
    label->setGeometry(band.x(), label->y(), band.width(), label->height());
}

}  // namespace

TForm1::TForm1(QWidget* owner, const CourseIdentity& identity)
    : TFormBase(owner), identity_(identity) {
  applyDesign("TForm1",
              identity.title ? fromCp1251(*identity.title) : texts::courseTitleSecondHalf(),
              {592, 436}, design::clInfoBk, design::font(kSerifCyr, 13));
  design::setTextColour(this, design::clRed);
  // A course's own line keeps this far from the window's edges.
  const int room = width() - 2 * kOwnLineMargin;

  // The two heading bands span the window and keep their height whatever the text.
  QLabel* label1 = newLabel(this, "Label1", own(identity.organisation, texts::institution()),
                            design::font(kSerif, 20, true), design::clBlue);
  label1->setGeometry(0, 0, width(), 23);
  label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  design::paintBackground(label1, design::clActiveBorder);
  design::setTextColour(label1, design::clBlue);  // the band's own scheme came with its colour
  QLabel* label2 = newLabel(this, "Label2", own(identity.department, texts::department()),
                            design::font(kSerif, 20, true), design::clBlue);
  label2->setGeometry(0, 23, width(), 23);
  label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  QLabel* label3 =
      newLabel(this, "Label3", texts::programPurpose(), design::font(kSerif, 13), design::clGreen);
  label3->setGeometry(0, 68, 593, 14);
  label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  std::vector<QLabel*> ownLines;
  if (identity.titleLines.empty()) {
    addLabel(this, "Label9", texts::courseTitleFirstHalf(), design::font(kSerif, 25, true),
             design::clRed, 164, 97);
    addLabel(this, "Label4", texts::courseTitleSecondHalf(), design::font(kSerifCyr, 27, true),
             design::clRed, 24, 128);
  } else {
    // The course's own lines fill the band of the sample's title, above the
    // authors' heading: two in its large type, up to four in a smaller one.
    const auto& lines = identity.titleLines;
    const bool large = lines.size() <= 2;
    const int pitch = large ? 31 : 19;
    const char* const names[kMaxTitleScreenLines] = {"Label9", "Label4", "Label11", "Label12"};
    for (std::size_t i = 0; i < lines.size() && i < kMaxTitleScreenLines; ++i) {
      QLabel* line = newLabel(this, names[i], fromCp1251(lines[i]),
                              design::font(kSerif, large ? 25 : 15, true), design::clRed);
      line->setGeometry(0, 97 + static_cast<int>(i) * pitch, width(), pitch);
      line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
      ownLines.push_back(line);
    }
  }
  addLabel(this, "Label6", texts::authorsHeading(),
           design::font(QStringLiteral("Times New Roman Cyr"), 12), design::clActiveCaption, 248,
           173);
  Label5 =
      addLabel(this, "Label5", QString(), design::font(kSerifCyr, 13), design::clGreen, 143, 203);

  // The notice keeps the window's own font and colour.
  auto* label10 = new QLabel(texts::officialNotice(), this);
  label10->setObjectName(QStringLiteral("Label10"));
  label10->setTextFormat(Qt::PlainText);
  label10->setGeometry(8, 360, 577, label10->sizeHint().height());

  QLabel* label7 = addLabel(this, "Label7", own(identity.place, texts::city()),
                            design::font(kSerif, 15), design::clBlue, 245, 386);
  QLabel* label8 = addLabel(this, "Label8", own(identity.year, texts::year()),
                            design::font(kSerif, 16), design::clBlue, 332, 384);

  Button1 = placeButton("Button1", texts::okButton(), {275, 406, 70, 23}, &TForm1::Button1Click);
  Button1->setDefault(true);

  FormCreate();

  // The course's own lines, from the top down, so that one that takes more
  // lines moves the rest down with it.
  if (identity.organisation) fitLabel(this, label1, room);
  if (identity.department) fitLabel(this, label2, room);
  for (QLabel* line : ownLines) fitLabel(this, line, room);
  if (!identity.authorLines.empty()) {
    fitLabel(this, Label5, room);
    Label5->adjustSize();
    // The course's own block stands in the middle, as the sample's does.
    Label5->move(std::max(kOwnLineMargin, (width() - Label5->width()) / 2), Label5->y());
  }
  if (identity.place || identity.year) {
    // The place and the year share a line in the middle of the window.
    constexpr int kGap = 12;
    fitLabel(this, label7, room - label8->width() - kGap);
    label7->adjustSize();
    const int left =
        std::max(kOwnLineMargin, (width() - label7->width() - kGap - label8->width()) / 2);
    label7->move(left, label7->y());
    label8->move(left + label7->width() + kGap, label8->y());
  }
  centreOnScreen();
}

void TForm1::FormCreate() {
  // The caption keeps its CR line breaks; the label needs '\n' to show them.
  QString shown = texts::credits();
  if (!identity_.authorLines.empty()) {
    QStringList lines;
    for (const std::string& line : identity_.authorLines) lines.append(fromCp1251(line));
    shown = lines.join(QLatin1Char('\r'));
  }
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  Label5->setText(shown);
  Label5->adjustSize();
}

void TForm1::Button1Click() { accept(); }
