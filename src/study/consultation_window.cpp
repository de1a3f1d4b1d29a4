#include "study/consultation_window.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include "bank/consultation.h"
#include "platform/codec.h"
#include "platform/design.h"
#include "study/diagram_window.h"

namespace {
QString text(const char* utf8) { return QString::fromUtf8(utf8); }
}  // namespace

TForm8::TForm8(SessionState& session, const Services& services, const QuestionBank& bank,
               std::uint16_t currentQuestion, QWidget* owner)
    : TFormBase(owner), session_(session), services_(services), bank_(bank),
      currentQuestion_(currentQuestion) {
  setObjectName(QStringLiteral("Form8"));
  setWindowTitle(text("Консультация"));
  setBorderIcons(true);
  setClientSize(712, 476);
  design::paintBackground(this, design::clBtnFace);
  setFont(design::font(QStringLiteral("MS Sans Serif"), 13));

  Memo1 = design::readOnlyMemo(this, design::clInfoBk, text("Текст консультации"));
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setGeometry(24, 8, 681, 425);

  const QFont buttonFont = design::font(QStringLiteral("Times New Roman Cyr"), 13);
  Button1 = new QPushButton(text("Вернуться"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(104, 440, 88, 25);
  Button1->setFont(buttonFont);
  Button1->setDefault(true);
  Button2 = new QPushButton(text("Диаграмма"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  Button2->setGeometry(376, 440, 88, 25);
  Button2->setFont(buttonFont);
  Button2->hide();
  connect(Button1, &QPushButton::clicked, this, &TForm8::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm8::Button2Click);
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
