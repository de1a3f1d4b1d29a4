#include "study/ui/consultation_window.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "bank/consultation.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "study/ui/diagram_window.h"

using namespace Qt::StringLiterals;

TForm8::TForm8(SessionState& session, const QuestionBank& bank, std::uint16_t currentQuestion,
               const Services& services, QWidget* owner)
    : TFormBase(owner),
      session_(session),
      bank_(bank),
      currentQuestion_(currentQuestion),
      services_(services) {
  setBorderIcons(true);
  applyDesign("Form8", u"Консультация"_s, {712, 476}, design::clBtnFace,
              design::font(QStringLiteral("MS Sans Serif"), 13));

  Memo1 = placeMemo("Memo1", {24, 8, 681, 425}, design::clInfoBk, u"Текст консультации"_s);

  const QFont buttonFont = design::font(QStringLiteral("Times New Roman Cyr"), 13);
  Button1 = placeButton("Button1", u"Вернуться"_s, {104, 440, 88, 25}, &TForm8::Button1Click);
  Button1->setFont(buttonFont);
  Button1->setDefault(true);
  Button2 = placeButton("Button2", u"Диаграмма"_s, {376, 440, 88, 25}, &TForm8::Button2Click);
  Button2->setFont(buttonFont);
  Button2->hide();
  centreOnScreen();
}

void TForm8::FormActivate() {
  Button1->setFocus();
  const Consultation consultation = consultationOf(bank_, currentQuestion_ + 1u);
  if (consultation.diagramName) session_.DiagramName = *consultation.diagramName;
  QStringList lines;
  for (const std::string& line : consultation.lines) lines << displayText(line);
  Memo1->setPlainText(lines.join(QLatin1Char('\n')));
  Button2->setVisible(consultation.diagramName.has_value());
}

void TForm8::Button1Click() { accept(); }

void TForm8::Button2Click() {
  TForm9 diagram(session_, services_, this);
  diagram.exec();
}
