#include "study/ui/browser_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "study/number_box.h"
#include "study/tickets.h"

using namespace Qt::StringLiterals;

TForm5::TForm5(const QuestionBank& bank, QWidget* owner) : TFormBase(owner), bank_(bank) {
  setBorderIcons(true);
  applyDesign("Form5", u"Просмотр вопросов"_s, {774, 528}, design::clActiveBorder,
              design::font(QStringLiteral("Times New Roman Cyr"), 16));

  const QFont headingFont = design::font(QStringLiteral("Times New Roman"), 15, true, true);
  Label1 = new QLabel(u"Билет N"_s, this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label2 = new QLabel(QStringLiteral("1"), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label1->move(288, 0);
  Label2->move(383, 0);
  for (QLabel* label : {Label1, Label2}) {
    label->setTextFormat(Qt::PlainText);
    label->setFont(headingFont);
    design::setTextColour(label, design::clRed);
    label->adjustSize();
  }

  Memo1 = placeMemo("Memo1", {16, 24, 745, 465}, design::clCream, u"Вопросы билета"_s);

  const QFont buttonFont = design::font(QStringLiteral("Times New Roman Cyr"), 13);
  Button1 = placeButton("Button1", u"Предыдущий"_s, {72, 496, 89, 25}, &TForm5::Button1Click);
  Button1->setEnabled(false);
  Button2 = placeButton("Button2", u"Следующий"_s, {336, 496, 81, 25}, &TForm5::Button2Click);
  Button2->setDefault(true);
  Button3 = placeButton("Button3", u"Отмена"_s, {536, 496, 75, 25}, &TForm5::Button3Click);
  for (QPushButton* button : {Button1, Button2, Button3}) button->setFont(buttonFont);
  centreOnScreen();
}

void TForm5::FormActivate() {
  TicketCount = ::ticketCount(bank_.QuestionTexts.size());
  if (TicketCount == 0) {
    // Nothing to deal: say so on the page and offer only the way out.
    TicketNumber = 0;
    Label2->clear();
    Memo1->setPlainText(fromCp1251(ticketPage(bank_.QuestionTexts, 0).front()));
    Button1->setEnabled(false);
    Button2->setEnabled(false);
    Button3->setFocus();
    return;
  }
  showTicket(1);
  if (Button2->isEnabled()) Button2->setFocus();
}

void TForm5::showTicket(std::uint16_t ticket) {
  TicketNumber = ticket;
  const StepButtons enabled = stepButtons(TicketNumber, 1, TicketCount);
  // A button that goes grey under the focus would pass it on to "Отмена", and
  // the next Enter would close the window; the page takes it instead.
  if ((!enabled.previous && Button1->hasFocus()) || (!enabled.next && Button2->hasFocus()))
    Memo1->setFocus();
  Button1->setEnabled(enabled.previous);
  Button2->setEnabled(enabled.next);
  Label2->setText(QString::number(TicketNumber));
  Label2->adjustSize();
  QStringList lines;
  for (const std::string& line : ticketPage(bank_.QuestionTexts, TicketNumber))
    lines << displayText(line);
  Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TForm5::Button2Click() {
  if (TicketNumber < TicketCount) showTicket(static_cast<std::uint16_t>(TicketNumber + 1));
}

void TForm5::Button1Click() {
  if (TicketNumber > 1) showTicket(static_cast<std::uint16_t>(TicketNumber - 1));
}

void TForm5::Button3Click() { reject(); }
