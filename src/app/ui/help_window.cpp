#include "app/ui/help_window.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "app/ui/texts.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"

TForm3::TForm3(QWidget* owner, const CourseIdentity& identity) : TFormBase(owner) {
  applyDesign("TForm3", texts::helpCaption(), {728, 517}, design::clSilver,
              design::font(QStringLiteral("MS Sans Serif"), 13));

  Memo1 = placeMemo("Memo1", {16, 16, 697, 465}, design::clInfoBk, texts::helpCaption());
  Memo1->setFont(design::font(QStringLiteral("Times New Roman CYR"), 16));
  design::setTextColour(Memo1, design::clBlue);
  QStringList literature = texts::literatureLines();
  if (!identity.helpLines.empty()) {
    literature.clear();
    for (const std::string& line : identity.helpLines) literature << fromCp1251(line);
  }
  Memo1->setPlainText((texts::helpLines() + literature).join(QLatin1Char('\n')));

  // The only button is default and cancel at once: Enter and Escape both close.
  Button1 = placeButton("Button1", texts::okButton(), {320, 488, 75, 25}, &TForm3::Button1Click);
  Button1->setDefault(true);
  setEscapeCloses(true);

  centreOnScreen();
}

void TForm3::FormActivate() { Button1->setFocus(); }

void TForm3::Button1Click() { accept(); }
