#include "bank/mode_window.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "bank/range_file.h"
#include "platform/codec.h"
#include "platform/design.h"

namespace {

struct ModeChoice {
  Mode mode;
  int top;
  const char* caption;
};
constexpr ModeChoice kModes[5] = {
    {Mode::Exam, 46, "Контроль с оценкой (экзамен)"},
    {Mode::PassFail, 76, "Контроль с зачетом (зачет)"},
    {Mode::SelfControl, 106, "Самоконтроль знаний"},
    {Mode::Browse, 137, "Просмотр вопросов"},
    {Mode::Back, 167, "Возврат в главное меню"},
};

}  // namespace

TForm4::TForm4(SessionState& session, const Services& services, QWidget* owner)
    : TFormBase(owner), session_(session), services_(services) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QString::fromUtf8("Режим работы"));
  // Minimize and maximize only: the window is left through OK.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinMaxButtonsHint);
  setCloseBox(false);
  setOuterSize(331, 297);
  design::paintBackground(this, design::clInfoBk);
  setFont(design::font(QStringLiteral("Times New Roman Cyr"), 16));

  Label1 = new QLabel(QString::fromUtf8("Выберите необходимый режим работы"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(design::font(QStringLiteral("Times New Roman"), 15, false, true));
  design::setTextColour(Label1, design::clFuchsia);
  Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  Label1->setGeometry(0, 0, width(), 19);

  const QFont modeFont = design::font(QStringLiteral("Times New Roman"), 15);
  for (int i = 0; i < 5; ++i) {
    auto* button = new QRadioButton(QString::fromUtf8(kModes[i].caption), this);
    button->setObjectName(QStringLiteral("RadioButton%1").arg(i + 1));
    button->setFont(modeFont);
    design::setTextColour(button, design::clBlue);
    button->move(46, kModes[i].top);
    button->adjustSize();
    RadioButtons[static_cast<std::size_t>(i)] = button;
  }
  RadioButtons[0]->setChecked(true);

  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(114, 205, 71, 24);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TForm4::Button1Click);
  centreOnScreen();
}

void TForm4::FormActivate() {
  load_ = loadBank(services_.programFolder, session_.SelectedTopic, session_.TopicCount);
  if (load_.error) {
    services_.messages.message(this, QString::fromUtf8("Ошибка."),
                               fromCp1251(describe(*load_.error)));
    return;
  }
  // With all topics there is no range step: the range is the whole bank from here on.
  if (session_.SelectedTopic == 0) {
    const QuestionRange range = workingRange(0, {}, load_.bank.QuestionTexts.size());
    session_.RangeFirst = range.first;
    session_.RangeLast = range.last;
  }
}

void TForm4::Button1Click() {
  for (std::size_t i = 0; i < RadioButtons.size(); ++i)
    if (RadioButtons[i]->isChecked())
      session_.SelectedMode = static_cast<std::uint8_t>(kModes[i].mode);
  accept();
}
