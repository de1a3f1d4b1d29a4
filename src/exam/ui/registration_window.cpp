#include "exam/ui/registration_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "exam/ui/clock_texts.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "platform/ui/text_entry.h"

using namespace Qt::StringLiterals;

namespace {

QLineEdit* addEdit(QWidget* parent, const char* name, int left, int top, int width) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(left, top, width, 24);
  acceptOnlyCp1251(edit);
  return edit;
}

}  // namespace

TForm10::TForm10(SessionState& session, const Services& services, QWidget* owner)
    : TFormBase(owner), session_(session), services_(services) {
  setBorderIcons(true);
  applyDesign("Form10", u"Ввод данных"_s, {427, 273}, design::clInfoBk,
              design::font(QStringLiteral("MS Sans Serif"), 13));

  auto* label1 = placeLabel(
      "Label1", u"Код (номер по списку или 2 последние \nцифры зачетной книжки):"_s, 0, 32);
  label1->setAlignment(Qt::AlignRight | Qt::AlignTop);
  label1->move(261 - label1->width(), 32);  // right-aligned at x = 261
  auto* label3 = placeLabel("Label3", u"Фамилия И.О."_s, 32, 88);
  auto* label4 = placeLabel("Label4", u"Номер группы (по образцу: М-121):"_s, 32, 128);
  placeLabel("Label5", u"Дата:"_s, 40, 184);
  Label6 = placeLabel("Label6", QString(), 80, 184);
  placeLabel("Label7", u"Время:"_s, 208, 184);
  Label8 = placeLabel("Label8", QString(), 256, 184);

  Edit1 = addEdit(this, "Edit1", 264, 37, 145);
  Edit2 = addEdit(this, "Edit2", 160, 84, 249);
  Edit3 = addEdit(this, "Edit3", 264, 124, 145);
  // Each caption names its edit for a screen reader, which otherwise hears three nameless fields.
  label1->setBuddy(Edit1);
  label3->setBuddy(Edit2);
  label4->setBuddy(Edit3);

  Button1 = placeButton("Button1", u"Принять"_s, {88, 232, 75, 25}, &TForm10::Button1Click);
  Button1->setDefault(true);
  Button2 = placeButton("Button2", u"Отмена"_s, {256, 232, 75, 25}, &TForm10::Button2Click);
  for (QPushButton* b : {Button1, Button2})
    b->setFont(design::font(QStringLiteral("Times New Roman Cyr"), 13));

  // The tab order of the design: the buttons first, then name, group and code.
  setTabOrder(Button1, Button2);
  setTabOrder(Button2, Edit2);
  setTabOrder(Edit2, Edit3);
  setTabOrder(Edit3, Edit1);

  Timer1 = addTimer(
      1000, [this] { Timer1Timer(); }, true);

  centreOnScreen();
}

void TForm10::FormActivate() {
  Timer1Timer();
  Edit1->setFocus();
}

void TForm10::Timer1Timer() {
  const QDateTime now = services_.clock.now();
  Label6->setText(fromCp1251(shortDate(now)));
  Label6->adjustSize();
  Label8->setText(fromCp1251(longTime(now)));
  Label8->adjustSize();
}

void TForm10::Button1Click() {
  const auto code = toCp1251(Edit1->text());
  const auto name = toCp1251(Edit2->text());
  const auto group = toCp1251(Edit3->text());
  // The boxes only take code page 1251, so a failed conversion is an empty field too.
  if (!code || code->empty() || !name || name->empty() || !group || group->empty()) {
    services_.messages.message(this, u"Ввод данных"_s, u"Введены не все данные."_s);
    return;
  }
  session_.CandidateCode = *code;
  session_.CandidateName = *name;
  session_.CandidateGroup = *group;
  session_.RegistrationAccepted = true;
  accept();
}

void TForm10::Button2Click() {
  session_.RegistrationAccepted = false;
  reject();
}
