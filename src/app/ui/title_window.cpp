#include "app/ui/title_window.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "app/ui/texts.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"

namespace {

const QString kSerif = QStringLiteral("Times New Roman");
const QString kSerifCyr = QStringLiteral("Times New Roman CYR");

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

// A course's own title line wider than the window is set in a smaller size
// that fits, rather than cut off at both edges.
QFont fitted(QFont font, const QString& text, int width) {
  const int wide = QFontMetrics(font).horizontalAdvance(text);
  if (wide <= width) return font;
  int size = std::max(8, font.pixelSize() * width / wide);
  font.setPixelSize(size);
  // Hinting makes the advance grow a little unevenly with the size.
  while (size > 8 && QFontMetrics(font).horizontalAdvance(text) > width) font.setPixelSize(--size);
  return font;
}

}  // namespace

TForm1::TForm1(QWidget* owner, const CourseIdentity& identity) : TFormBase(owner) {
  applyDesign("TForm1",
              identity.title ? fromCp1251(*identity.title) : texts::courseTitleSecondHalf(),
              {592, 436}, design::clInfoBk, design::font(kSerifCyr, 13));
  design::setTextColour(this, design::clRed);

  // The two heading bands span the window and keep their height whatever the text.
  QLabel* label1 = newLabel(this, "Label1", texts::institution(), design::font(kSerif, 20, true),
                            design::clBlue);
  label1->setGeometry(0, 0, width(), 23);
  label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  design::paintBackground(label1, design::clActiveBorder);
  design::setTextColour(label1, design::clBlue);  // the band's own scheme came with its colour
  QLabel* label2 =
      newLabel(this, "Label2", texts::department(), design::font(kSerif, 20, true), design::clBlue);
  label2->setGeometry(0, 23, width(), 23);
  label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

  QLabel* label3 =
      newLabel(this, "Label3", texts::programPurpose(), design::font(kSerif, 13), design::clGreen);
  label3->setGeometry(0, 68, 593, 14);
  label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

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
      const QString text = fromCp1251(lines[i]);
      QLabel* line = newLabel(this, names[i], text,
                              fitted(design::font(kSerif, large ? 25 : 15, true), text, width()),
                              design::clRed);
      line->setGeometry(0, 97 + static_cast<int>(i) * pitch, width(), large ? 36 : pitch);
      line->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
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

  addLabel(this, "Label7", texts::city(), design::font(kSerif, 15), design::clBlue, 245, 386);
  addLabel(this, "Label8", texts::year(), design::font(kSerif, 16), design::clBlue, 332, 384);

  Button1 = placeButton("Button1", texts::okButton(), {275, 406, 70, 23}, &TForm1::Button1Click);
  Button1->setDefault(true);

  FormCreate();
  centreOnScreen();
}

void TForm1::FormCreate() {
  // The caption keeps its CR line breaks; the label needs '\n' to show them.
  QString shown = texts::credits();
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  Label5->setText(shown);
  Label5->adjustSize();
}

void TForm1::Button1Click() { accept(); }
