#include "study/browser_window.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/codec.h"
#include "platform/design.h"
#include "study/number_box.h"
#include "study/tickets.h"

namespace {
QString text(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

TForm5::TForm5(const QuestionBank& bank, QWidget* owner) : TFormBase(owner), bank_(bank) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(text("Просмотр вопросов"));
  setBorderIcons(true);
  setClientSize(774, 528);
  design::paintBackground(this, design::clActiveBorder);
  setFont(design::font(QStringLiteral("Times New Roman Cyr"), 16));

  const QFont headingFont = design::font(QStringLiteral("Times New Roman"), 15, true, true);
  Label1 = new QLabel(text("Билет N"), this);
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

  Memo1 = design::readOnlyMemo(this, design::clCream, text("Вопросы билета"));
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setGeometry(16, 24, 745, 465);

  const QFont buttonFont = design::font(QStringLiteral("Times New Roman Cyr"), 13);
  Button1 = new QPushButton(text("Предыдущий"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(72, 496, 89, 25);
  Button1->setEnabled(false);
  Button2 = new QPushButton(text("Следующий"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(336, 496, 81, 25);
  Button2->setDefault(true);
  Button3 = new QPushButton(text("Отмена"), this);
  Button3->setObjectName(QStringLiteral("Button3"));
  Button3->setGeometry(536, 496, 75, 25);
  for (QPushButton* button : {Button1, Button2, Button3}) button->setFont(buttonFont);
  connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm5::Button3Click);
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
