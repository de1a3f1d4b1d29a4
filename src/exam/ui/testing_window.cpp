#include "exam/ui/testing_window.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "exam/report.h"
#include "exam/start_mark.h"
#include "exam/ui/clock_texts.h"
#include "exam/ui/report_window.h"
#include "exam/ui/trace_keeping.h"
#include "platform/seat.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "study/ui/diagram_window.h"

using namespace Qt::StringLiterals;

namespace {

// A caption of the design in its own font and colour.
QLabel* styled(QLabel* label, const QFont& font, const QColor& colour) {
  label->setFont(font);
  design::setTextColour(label, colour);
  label->adjustSize();
  return label;
}

}  // namespace

TForm11::TForm11(SessionState& session, const QuestionBank& bank, const Services& services,
                 QWidget* owner)
    : TFormBase(owner), session_(session), bank_(bank), services_(services) {
  // Minimise only: the test cannot be left before it ends.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowMinimizeButtonHint);
  setCloseBox(false);
  applyDesign("Form11", u"Тестирование"_s, {cardClientWidth(WindowKind::Testing), 268},
              design::clInfoBk, design::font(QStringLiteral("MS Sans Serif"), 11));

  const QFont times15 = design::font(QStringLiteral("Times New Roman"), 15);
  styled(placeLabel("TimeLabel1", u"Осталось времени:"_s, 16, 8), times15, design::clFuchsia);
  TimeLabel2 = styled(placeLabel("TimeLabel2", QString(), 144, 8),
                      design::font(QStringLiteral("MS Sans Serif"), 15), design::clFuchsia);
  styled(placeLabel("Label4", u"Дано ответов:"_s, 224, 8), times15, design::clFuchsia);
  Label5 = styled(placeLabel("Label5", QString(), 320, 8), times15, design::clFuchsia);
  Label1 = placeLabel("Label1", QString(), 32, 56);
  Label3 = styled(placeLabel("Label3", u"Результаты: "_s, 40, 200),
                  design::font(QStringLiteral("Times New Roman"), 16), design::clBlue);

  Button1 = placeButton("Button1", u"Ответить"_s, {168, 232, 75, 25}, &TForm11::Button1Click);
  Button1->setDefault(true);
  Button2 = placeButton("Button2", u"Диаграмма"_s, {392, 232, 75, 25}, &TForm11::Button2Click);
  setTabOrder(Button1, Button2);

  CardControls controls;
  controls.questionLabel = Label1;
  controls.label3 = Label3;
  controls.movedButtons = {Button1, Button2};
  controls.centredButton = Button1;
  controls.diagramButton = Button2;
  card_ = new QuestionCard(WindowKind::Testing, controls, this);

  Timer1 = addTimer(
      1000, [this] { Timer1Timer(); }, false);
  Timer1->setTimerType(Qt::PreciseTimer);

  centreOnScreen();
}

TForm11::~TForm11() = default;

void TForm11::FormActivate() {
  // The test and its record keep the mode, topic, range and candidate it
  // started with, whatever happens to the shared state meanwhile.
  started_ = session_;
  if (isExam(started_.SelectedMode)) setWindowTitle(u"Экзамен"_s);
  test_ = std::make_unique<TestSession>(bank_, started_.RangeFirst, started_.RangeLast,
                                        services_.random, services_.clock.monotonicMs());
  Label5->setText(QStringLiteral("0"));
  Label5->adjustSize();
  if (!test_->running()) {  // nothing to ask: no test, no report, no record
    services_.messages.message(this, u"Ошибка."_s, u"В диапазоне нет ни одного вопроса."_s);
    reject();
    return;
  }
  if (!markStart()) {
    reject();
    return;
  }
  test_->restartClock(services_.clock.monotonicMs());
  showQuestion();
  Timer1->start();
  ShowRemainingTime();
}

bool TForm11::markStart() {
  const bool exam = isExam(started_.SelectedMode);
  const ReportInput input = reportInputOf(started_);
  const QDateTime now = services_.clock.now();
  testId_ = newUuid();
  StartMark mark;
  mark.date = shortDate(now);
  mark.time = longTime(now);
  mark.exam = exam;
  mark.topic = input.topic;
  mark.range = rangeText(input.rangeFirst, input.rangeLast);
  mark.code = input.code;
  mark.name = input.name;
  mark.group = input.group;
  mark.host = services_.seat.host;
  mark.id = testId_;
  const Kept kept = keepEntry(
      this, services_,
      seatEntry(services_, "start", startJournalName(exam), exam, testId_, formatStartMark(mark)));
  // A mark waiting in the outbox is said nothing of here: a message box now
  // would stand between the mark and the test's clock for as long as it is
  // read. The record's report says what the log refused.
  if (kept.where != Kept::Where::Nowhere) return true;
  // A test that leaves no trace at all does not begin: it could be retaken unseen.
  if (!programEnding())
    services_.messages.message(this, u"Ошибка."_s,
                               keptNotice(kept, false) + u" Тест не может начаться."_s);
  return false;
}

void TForm11::showQuestion() {
  // A question without a diagram leaves the name of the last one that had one.
  if (auto diagram = card_->showQuestion(bank_, test_->CurrentQuestion()))
    session_.DiagramName = std::move(*diagram);
}

void TForm11::ShowRemainingTime() {
  TimeLabel2->setText(fromCp1251(remainingTimeText(test_->remainingSeconds())));
  TimeLabel2->adjustSize();
}

void TForm11::Timer1Timer() {
  if (!test_ || !test_->running()) return;
  if (test_->tick(services_.clock.monotonicMs()))
    endTest();  // the countdown is not refreshed on the last tick
  else
    ShowRemainingTime();
}

void TForm11::Button1Click() {
  // A late or repeated press never reaches a test that is over.
  if (!test_ || !test_->running()) return;
  const std::optional<std::size_t> chosen = card_->chosenOption();
  if (!chosen) {
    // The answer is not thrown away silently: the candidate is told and picks again.
    services_.messages.message(this, u"Ошибка."_s, u"Ошибка при определении ответа."_s);
    return;
  }
  test_->answer(*chosen, card_->OptionDigits()[*chosen]);
  Label3->setText(u"Результаты: "_s + fromCp1251(test_->marks()));
  Label3->adjustSize();
  Label5->setText(QString::number(test_->results().AnswerCount));
  Label5->adjustSize();
  if (!test_->running()) {
    endTest();
    return;
  }
  showQuestion();
}

void TForm11::Button2Click() {
  // The clock goes on meanwhile: the test may end while the diagram is shown.
  TForm9 diagram(session_, services_, this);
  diagram.exec();
}

void TForm11::endTest() {
  if (reportOpen_) return;
  reportOpen_ = true;
  Timer1->stop();
  // The record is kept before the report shows, so that a program ended on
  // the report has stored it already; it carries the moment the test ended.
  const bool exam = isExam(started_.SelectedMode);
  ReportInput input = reportInputOf(started_);
  const QDateTime now = services_.clock.now();
  input.date = shortDate(now);
  input.time = longTime(now);
  const TestResults& results = test_->results();
  const OutboxEntry entry =
      seatEntry(services_, "record", logFileName(exam), exam, testId_,
                makeRecord(makeReportValues(input, results, evaluate(results, exam))));
  const Kept kept = keepEntry(this, services_, entry);
  {
    TForm12 report(started_, results, services_, entry, kept, this);
    report.exec();
  }
  accept();
}
