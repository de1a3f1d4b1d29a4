#include "app/ui/main_window.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "app/mode_flow.h"
#include "app/topic_list.h"
#include "app/ui/help_window.h"
#include "app/ui/title_window.h"
#include "bank/range_file.h"
#include "bank/ui/mode_window.h"
#include "bank/ui/range_window.h"
#include "exam/ui/registration_window.h"
#include "exam/ui/testing_window.h"
#include "platform/text_file.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "platform/ui/fit_texts.h"
#include "platform/ui/form.h"
#include "study/ui/browser_window.h"
#include "study/ui/self_control_window.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kClientWidth = 522;
constexpr int kClientHeight = 378;
constexpr int kTopicButtonHeight = 21;
// The lefts of the design's controls that keep to the middle of a widened window.
constexpr int kLabel1Left = 144;
constexpr int kLabel2Left = 40;
constexpr int kButton1Left = 104;
constexpr int kButton2Left = 256;

}  // namespace

TForm2::TForm2(Services services) : services_(std::move(services)) {
  // A kurs.txt that cannot be read is told about, and the sample's names stay.
  if (auto identity = readCourseIdentity(services_.programFolder))
    identity_ = std::move(*identity);
  else
    services_.messages.message(nullptr, u"Ошибка"_s, fromCp1251(describe(identity.error())));
  // Nothing of this window shows before the title window closes, so the title
  // comes first and the user sees it without waiting for the menu and fonts here.
  showTitleScreen();
  setObjectName(QStringLiteral("Form2"));
  setWindowTitle(identity_.title ? u"Main - "_s + fromCp1251(*identity_.title)
                                 : u"Main - Ворсанит"_s);
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(design::font(QStringLiteral("MS Sans Serif"), 13));

  auto* file = menuBar()->addMenu(u"Файл"_s);
  file->setObjectName(QStringLiteral("N1"));
  N2 = file->addAction(u"Выход"_s, this, &TForm2::N2Click);
  N2->setObjectName(QStringLiteral("N2"));
  auto* help = menuBar()->addMenu(u"Помощь"_s);
  help->setObjectName(QStringLiteral("N3"));
  N4 = help->addAction(u"Справка"_s, this, &TForm2::N4Click);
  N4->setObjectName(QStringLiteral("N4"));
  N5 = help->addAction(u"О программе"_s, this, &TForm2::N5Click);
  N5->setObjectName(QStringLiteral("N5"));

  client_ = new QWidget(this);
  design::paintBackground(client_, design::clInfoBk);
  setCentralWidget(client_);
  client_->setFixedSize(kClientWidth, kClientHeight);

  Label1 = new QLabel(u"Тематика занятий"_s, client_);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(design::font(QStringLiteral("Times New Roman"), 17, true, true));
  design::setTextColour(Label1, design::clBlue);
  Label1->move(kLabel1Left, 8);
  Label1->adjustSize();

  Label2 = new QLabel(u"Выберите одну из тем и нажмите кнопку \"Начать\""_s, client_);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setFont(design::font(QStringLiteral("Times New Roman Cyr"), 13));
  Label2->move(kLabel2Left, 320);
  Label2->adjustSize();

  Button1 = placeButton(client_, "Button1", u"Начать"_s, {kButton1Left, 344, 75, 25}, this,
                        &TForm2::Button1Click);
  Button2 = placeButton(client_, "Button2", u"Выйти из программы"_s, {kButton2Left, 344, 161, 25},
                        this, &TForm2::Button2Click);
  Button2->setAutoDefault(false);
  for (QPushButton* b : {Button1, Button2})
    b->setFont(design::font(QStringLiteral("Times New Roman Cyr"), 13));

  layout()->setSizeConstraint(QLayout::SetFixedSize);  // a single fixed border
  FormCreate();
}

TForm2::~TForm2() = default;

QSize TForm2::nominalOuterSize() const {
  return {client_->width() + design::kFrameWidth,
          client_->height() + design::kFrameHeight + design::kMenuHeight};
}

void TForm2::setOuterHeight(int height) {
  client_->setFixedHeight(height - design::kFrameHeight - design::kMenuHeight);
}

void TForm2::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  // The window's first activation runs the topic-list handler once more.
  if (firstShowSeen_ || event->spontaneous()) return;
  firstShowSeen_ = true;
  QTimer::singleShot(0, this, &TForm2::FormCreate);
}

void TForm2::keyPressEvent(QKeyEvent* event) {
  // "Начать" is the default button: Enter presses it unless another button has the focus.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    (focused ? focused : Button1)->click();
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void TForm2::clearTopicButtons() {
  for (QRadioButton* b : TopicButtons) delete b;
  TopicButtons.clear();
}

void TForm2::showTitleScreen() {
  if (!ShowTitleScreen) return;
  ShowTitleScreen = false;  // once a run, though the constructor and the first showing both ask
  TForm1 title(this, identity_);
  title.exec();
}

void TForm2::FormCreate() {
  showTitleScreen();
  if (auto lines = readLines(services_.path("main.txt")); !lines) {
    reportMissingTopics(lines.error().code == DataError::Code::FileMissing
                            ? missingFileText("main.txt")
                            : u"Не удалось прочитать файл main.txt: "_s +
                                  fromCp1251(lines.error().what));
  } else {
    missingTopicsReported_ = false;
    const TopicListLayout layout = layoutTopicList(*lines, identity_.allTopicsCaption());
    state_.TopicTitles.clear();
    clearTopicButtons();
    const QFont topicFont = design::font(QStringLiteral("Times New Roman"), 17, false, true);
    for (const TopicButtonPlace& place : layout.buttons) {
      auto* button = new QRadioButton(buttonCaption(place.caption), client_);
      button->setObjectName(QStringLiteral("TopicButton%1").arg(TopicButtons.size()));
      button->setFont(topicFont);
      design::setTextColour(button, design::clRed);
      // The width estimate never cuts a title the font needs more room for.
      button->setGeometry(kTopicButtonLeft, place.top,
                          std::max(place.width, button->sizeHint().width()), kTopicButtonHeight);
      button->show();
      TopicButtons.push_back(button);
      state_.TopicTitles.push_back(place.caption);
    }
    state_.TopicCount = static_cast<std::uint16_t>(TopicButtons.size());
    TopicButtons.front()->setChecked(true);

    setOuterHeight(layout.outerHeight);
    Button1->move(Button1->x(), layout.buttonTop);
    Button2->move(Button2->x(), layout.buttonTop);
    Label2->move(Label2->x(), layout.label2Top);
    fitTopics();
  }
  ShowTitleScreen = false;
}

void TForm2::fitTopics() {
  // Long titles widen the window, up to the screen's width, so that a candidate
  // can tell the topics apart; the heading and the buttons stay in the middle.
  QList<QWidget*> texts;
  for (QRadioButton* button : TopicButtons) texts.append(button);
  const int added = widenForTexts(client_, kClientWidth, texts);
  const std::pair<QWidget*, int> centred[] = {{Label1, kLabel1Left},
                                              {Label2, kLabel2Left},
                                              {Button1, kButton1Left},
                                              {Button2, kButton2Left}};
  for (const auto& [control, left] : centred) control->move(left + added / 2, control->y());
}

QString TForm2::missingFileText(const char* name) const {
  return u"Отсутствует необходимый файл: "_s + QString::fromLocal8Bit(services_.path(name).c_str());
}

void TForm2::reportMissingTopics(const QString& message) {
  // Both runs of the topic-list handler at start-up find the same fault: say it once.
  if (missingTopicsReported_) return;
  missingTopicsReported_ = true;
  services_.messages.message(this, u"Ворсанит"_s, message);
}

void TForm2::Button1Click() {
  if (modeRunning_) return;
  // Without a topic list there is nothing to choose from: say so again
  // instead of running a mode on nothing.
  if (TopicButtons.empty()) {
    services_.messages.message(this, u"Ворсанит"_s, missingFileText("main.txt"));
    return;
  }
  state_.SelectedTopic = 1;
  for (std::size_t i = 0; i < TopicButtons.size(); ++i)
    if (TopicButtons[i]->isChecked())  // past 255 it stays a topic without questions, never 0
      state_.SelectedTopic = static_cast<std::uint8_t>(std::min<std::size_t>(i, 255));

  modeRunning_ = true;
  hide();
  {
    auto modeWindow = std::make_unique<TForm4>(state_, services_, this);
    modeWindow->exec();
    modeWindow->hide();
    runMode(*modeWindow);
  }  // the bank goes with the mode window
  modeRunning_ = false;
  show();
}

void TForm2::say(const FlowMessage& message) {
  services_.messages.message(this, QString::fromUtf8(message.title),
                             QString::fromUtf8(message.text));
}

void TForm2::runMode(TForm4& modeWindow) {
  const ModePlan plan = planMode(state_.SelectedMode, state_.SelectedTopic);
  if (plan.needsBank && !modeWindow.load().usable()) {
    say(kBankNotLoaded);
    return;
  }
  if (plan.greeting.title) say(plan.greeting);
  if (plan.needsBank) rangeStep(plan, modeWindow.bank().QuestionTexts.size());
  switch (plan.window) {
    case ModeWindow::Registration:
      registrationStep(modeWindow.bank());
      break;
    case ModeWindow::SelfControl:
      if (filesFound(plan.windowFiles, modeWindow.load().error)) {
        TForm7 selfControl(state_, modeWindow.bank(), services_, this);
        selfControl.exec();
      }
      break;
    case ModeWindow::Browser:
      if (filesFound(plan.windowFiles, modeWindow.load().error)) {
        TForm5 browser(modeWindow.bank(), this);
        browser.exec();
      }
      break;
    case ModeWindow::None:
      break;
  }
}

bool TForm2::filesFound(const NeededFiles& needed, const std::optional<DataError>& readFault) {
  if (readFault && lacksFile(needed, *readFault)) {
    say(needed.missing);
    return false;
  }
  return true;
}

void TForm2::rangeStep(const ModePlan& plan, std::size_t questionCount) {
  if (plan.rangeStep) {
    // Read once, here: a missing file is said with the step's title, any other
    // fault by the range window.
    RangeList ranges = loadRanges(services_.programFolder, state_.SelectedTopic);
    if (filesFound(plan.rangeFiles,
                   ranges ? std::nullopt : std::optional<DataError>(ranges.error()))) {
      TForm6 rangeWindow(state_, services_, std::move(ranges), questionCount, this);
      rangeWindow.exec();
    }
  }
  // A test or a self-control run never works outside the loaded questions: the
  // range is decided here, once, and the windows read it.
  const QuestionRange range =
      workingRange(state_.SelectedTopic, {state_.RangeFirst, state_.RangeLast}, questionCount);
  state_.RangeFirst = range.first;
  state_.RangeLast = range.last;
}

void TForm2::registrationStep(const QuestionBank& bank) {
  state_.RegistrationAccepted = false;
  {
    TForm10 registration(state_, services_, this);
    registration.exec();
  }
  if (!state_.RegistrationAccepted) return;
  TForm11 testing(state_, bank, services_, this);
  testing.exec();
}

void TForm2::Button2Click() {
  if (!modeRunning_) close();
}

void TForm2::N2Click() {
  if (!modeRunning_) close();
}

void TForm2::N4Click() {
  if (modeRunning_) return;
  TForm3 help(this, identity_);
  help.exec();
}

void TForm2::N5Click() {
  if (modeRunning_) return;
  TForm1 title(this, identity_);
  title.exec();
}
