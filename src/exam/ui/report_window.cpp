#include "exam/ui/report_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "bank/range_file.h"
#include "exam/protocol_log.h"
#include "exam/ui/clock_texts.h"
#include "platform/cp1251.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "platform/ui/fit_texts.h"

using namespace Qt::StringLiterals;

namespace {

const QColor kPurple{0x80, 0x00, 0x80};
constexpr int kClientWidth = 482;
constexpr int kButton1Left = 200;

void setCaption(QLabel* label, const std::string& bytes) {
  label->setText(displayText(bytes));
  label->adjustSize();
}

}  // namespace

TForm12::TForm12(const SessionState& session, const TestResults& results, const Services& services,
                 const OutboxEntry& entry, const Kept& kept, QWidget* owner)
    : TFormBase(owner),
      session_(session),
      results_(results),
      services_(services),
      exam_(isExam(session.SelectedMode)),
      entry_(entry),
      kept_(kept) {
  setBorderIcons(true);
  applyDesign("Form12", u"Отчет"_s, {kClientWidth, 365}, design::clInfoBk,
              design::font(QStringLiteral("MS Sans Serif"), 13));

  // Each caption of the design with the label that shows its value.
  const struct {
    const char* captionName;
    QString caption;
    int left, top;
    const char* valueName;
    QLabel* TForm12::*value;
    int valueLeft;
  } pairs[] = {
      {"Label1", u"Фамилия И.О.: "_s, 16, 16, "Label2", &TForm12::Label2, 120},
      {"Label3", u"Код:"_s, 16, 40, "Label4", &TForm12::Label4, 120},
      {"Label5", u"Номер группы:"_s, 16, 64, "Label6", &TForm12::Label6, 120},
      {"Label7", u"Потребовалось времени:"_s, 16, 96, "Label8", &TForm12::Label8, 192},
      {"Label17", u"Режим работы:"_s, 16, 120, "Label18", &TForm12::Label18, 192},
      {"Label9", u"Вопросы:"_s, 16, 144, "Label10", &TForm12::Label10, 192},
      {"Label26", u"Тема:"_s, 16, 168, "Label27", &TForm12::Label27, 64},
      {"Label19", u"Получено ответов:"_s, 288, 96, "Label20", &TForm12::Label20, 432},
      {"Label21", u"Правильных ответов:"_s, 288, 120, "Label22", &TForm12::Label22, 432},
      {"Label23", u"Ошибок:"_s, 288, 144, "Label24", &TForm12::Label24, 432},
      {"Label13", u"Дата:"_s, 64, 296, "Label14", &TForm12::Label14, 112},
      {"Label15", u"Время:"_s, 256, 296, "Label16", &TForm12::Label16, 312},
  };
  for (const auto& pair : pairs) {
    placeLabel(pair.captionName, pair.caption, pair.left, pair.top);
    this->*pair.value = placeLabel(pair.valueName, QString(), pair.valueLeft, pair.top);
  }

  const QFont result = design::font(QStringLiteral("Times New Roman"), 21);
  auto* label11 = placeLabel("Label11", u"Результат:"_s, 152, 200);
  label11->setFont(result);
  design::setTextColour(label11, kPurple);
  label11->adjustSize();
  Label12 = placeLabel("Label12", QString(), 256, 200);
  Label12->setFont(result);
  design::setTextColour(Label12, design::clGreen);

  Label25 = placeLabel("Label25", QString(), 16, 247);

  Button1 =
      placeButton("Button1", u"Закрыть"_s, {kButton1Left, 328, 75, 25}, &TForm12::Button1Click);
  Button1->setDefault(true);

  Timer1 = addTimer(
      1000, [this] { Timer1Timer(); }, true);

  centreOnScreen();
}

void TForm12::FormActivate() {
  if (evaluated_) return;
  evaluated_ = true;
  if (parentWidget()) parentWidget()->hide();
  Button1->setFocus();

  evaluation_ = evaluate(results_, exam_);
  values_ = makeReportValues(reportInputOf(session_), results_, evaluation_);
  Timer1Timer();

  setCaption(Label2, values_.name);
  setCaption(Label4, values_.code);
  setCaption(Label6, values_.group);
  setCaption(Label10, values_.range);
  setCaption(Label8, values_.timeUsed);
  setCaption(Label20, values_.answers);
  setCaption(Label24, values_.errors);
  setCaption(Label25, cp1251FromUtf8("Номер вопроса:\rНомер ответа"));
  setCaption(Label27, values_.topic);
  setCaption(Label22, std::to_string(evaluation_.rightAnswers));

  const int left = Label25->x() + Label25->width() + 5;
  for (std::size_t k = 0; k < values_.listing.size(); ++k) {
    QLabel* label =
        placeLabel("ListingLabel", QString(), left + 30 * static_cast<int>(k), Label25->y());
    setCaption(label, listingCaption(values_.listing[k]));
    label->show();
    ListingLabels.push_back(label);
  }
  fitTexts();

  if (evaluation_.timedOut) services_.messages.message(this, u"Внимание"_s, u"Время истекло."_s);
  setCaption(Label18, cp1251FromUtf8(exam_ ? "Экзамен" : "Зачет"));
  setCaption(Label12, evaluation_.grade.text);
  const Rgb c = evaluation_.grade.colour;
  design::setTextColour(Label12, QColor(c.r, c.g, c.b));
  if (evaluation_.earlyStop) {
    if (exam_)
      services_.messages.message(
          this, u"Экзамен."_s,
          u"Вы уже допустили 3 ошибки. Ваша оценка 2. Дальнейший опрос нецелесообразен."_s);
    else
      services_.messages.message(
          this, u"Зачет."_s,
          u"К сожалению вы не ответили уже на 3 вопроса. Дальнейший опрос нецелесообразен."_s);
  }
  tellWhereKept();
}

void TForm12::tellWhereKept() {
  if (kept_.where != Kept::Where::Nowhere) {
    if (const QString notice = keptNotice(kept_, true); !notice.isEmpty())
      services_.messages.message(this, u"Внимание"_s, notice);
  } else {
    services_.messages.message(
        this, u"Ошибка."_s,
        keptNotice(kept_, true) +
            u" Не закрывайте отчет: «Закрыть» попробует записать его снова."_s);
  }
}

void TForm12::fitTexts() {
  // A long name or topic widens the report, up to the screen's width, so that
  // it reads whole; the window keeps its centre and "Закрыть" stays in the middle.
  const QPoint oldPlace = pos();
  const QSize oldSize = nominalOuterSize();
  QList<QWidget*> texts;
  for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) texts.append(label);
  const int added = widenForTexts(this, kClientWidth, texts);
  if (nominalOuterSize() == oldSize) return;
  Button1->move(kButton1Left + added / 2, Button1->y());
  const QSize size = nominalOuterSize();
  const WindowPlace place = recentre(oldPlace.x(), oldPlace.y(), oldSize.width(), oldSize.height(),
                                     size.width(), size.height());
  move(place.left, place.top);
}

void TForm12::Timer1Timer() {
  const QDateTime now = services_.clock.now();
  values_.date = shortDate(now);
  values_.time = longTime(now);
  setCaption(Label14, values_.date);
  setCaption(Label16, values_.time);
}

void TForm12::Button1Click() {
  if (!evaluated_) return;
  if (kept_.where == Kept::Where::Nowhere) {
    kept_ = keepEntry(this, services_, entry_);
    if (kept_.where != Kept::Where::Log || !kept_.serverWaits.empty()) {
      tellWhereKept();
      if (kept_.where == Kept::Where::Nowhere) return;
    }
  }
  accept();
}

void TForm12::closeEvent(QCloseEvent* event) {
  // The close box closes as "Закрыть" does, and makes one more attempt for a
  // record that is nowhere yet; having been told so, nobody is held by a
  // folder that refuses it.
  if (evaluated_ && kept_.where == Kept::Where::Nowhere) {
    kept_ = keepEntry(this, services_, entry_);
    if (kept_.where != Kept::Where::Nowhere) tellWhereKept();
  }
  TFormBase::closeEvent(event);
}
