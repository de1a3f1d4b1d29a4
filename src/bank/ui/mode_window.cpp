#include "bank/ui/mode_window.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "bank/range_file.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"

using namespace Qt::StringLiterals;

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
  // Minimize and maximize only: the window is left through OK.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinMaxButtonsHint);
  setCloseBox(false);
  // The design gives the outer size, 331 x 297.
  applyDesign("Form4", u"Режим работы"_s, {331 - design::kFrameWidth, 297 - design::kFrameHeight},
              design::clInfoBk, design::font(QStringLiteral("Times New Roman Cyr"), 16));

  Label1 = new QLabel(u"Выберите необходимый режим работы"_s, this);
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
    radioButtons_[static_cast<std::size_t>(i)] = button;
  }
  radioButtons_[0]->setChecked(true);

  Button1 = placeButton("Button1", u"OK"_s, {114, 205, 71, 24}, &TForm4::Button1Click);
  Button1->setDefault(true);
  centreOnScreen();
}

void TForm4::FormActivate() {
  load_ = loadBank(services_.programFolder, session_.SelectedTopic, session_.TopicCount);
  if (load_.error) {
    services_.messages.message(this, u"Ошибка."_s, fromCp1251(describe(*load_.error)));
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
  for (std::size_t i = 0; i < radioButtons_.size(); ++i)
    if (radioButtons_[i]->isChecked())
      session_.SelectedMode = static_cast<std::uint8_t>(kModes[i].mode);
  accept();
}
