#include "app/help_window.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "app/texts.h"
#include "platform/design.h"

TForm3::TForm3(QWidget* owner) : TFormBase(owner) {
  setObjectName(QStringLiteral("TForm3"));
  setWindowTitle(texts::helpCaption());
  setClientSize(728, 517);
  design::paintBackground(this, design::clSilver);
  setFont(design::font(QStringLiteral("MS Sans Serif"), 13));

  Memo1 = design::readOnlyMemo(this, design::clInfoBk, texts::helpCaption());
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setGeometry(16, 16, 697, 465);
  Memo1->setFont(design::font(QStringLiteral("Times New Roman CYR"), 16));
  design::setTextColour(Memo1, design::clBlue);
  Memo1->setPlainText((texts::helpLines() + texts::literatureLines()).join(QLatin1Char('\n')));

  // The only button is default and cancel at once: Enter and Escape both close.
  Button1 = new QPushButton(texts::okButton(), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(320, 488, 75, 25);
  Button1->setDefault(true);
  setEscapeCloses(true);
  connect(Button1, &QPushButton::clicked, this, &TForm3::Button1Click);

  centreOnScreen();
}

void TForm3::FormActivate() { Button1->setFocus(); }

void TForm3::Button1Click() { accept(); }
