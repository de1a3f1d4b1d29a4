// The main window: topic list, dispatch into the modes, and the way back.
#include <QAccessible>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <set>

#include "app/topic_list.h"
#include "app/ui/main_window.h"
#include "app/ui/title_window.h"
#include "bank/ui/mode_window.h"
#include "bank/ui/range_window.h"
#include "exam/ui/registration_window.h"
#include "platform/cp1251.h"
#include "platform/ui/design.h"
#include "study/ui/browser_window.h"
#include "study/ui/self_control_window.h"
#include "support/test_support.h"

namespace {

// Closes the title window whenever it appears; counts how often it did.
bool closeTitle(QWidget* modal, int& titles) {
  if (auto* title = qobject_cast<TForm1*>(modal)) {
    ++titles;
    title->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
  }
  return true;
}

struct Pass {
  bool modeWindowShown = false;
  bool rangeWindowShown = false;
  QString modeWindow;  // the window the mode ran in, if any
};

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<TempFolder> folder;
  std::unique_ptr<FakeServices> fakes;
  int titles = 0;

  std::unique_ptr<TForm2> makeWindow() {
    std::unique_ptr<TForm2> window;
    whileModal([&] { window = std::make_unique<TForm2>(fakes->services(folder->path())); },
               [&](QWidget* modal) { return closeTitle(modal, titles); });
    return window;
  }

  // Checks the topic, presses "Начать" and picks the mode; accepts the first range.
  Pass runPass(TForm2& window, int topic, int mode) {
    Pass pass;
    window.topicButtons().at(static_cast<std::size_t>(topic))->setChecked(true);
    whileModal([&] { window.Button1Click(); },
               [&](QWidget* modal) {
                 if (auto* form4 = qobject_cast<TForm4*>(modal);
                     form4 && form4->activations() > 0) {
                   pass.modeWindowShown = true;
                   form4->findChild<QRadioButton*>(QStringLiteral("RadioButton%1").arg(mode))
                       ->setChecked(true);
                   form4->Button1Click();
                 } else if (auto* form6 = qobject_cast<TForm6*>(modal);
                            form6 && form6->activations() > 0) {
                   pass.rangeWindowShown = true;
                   form6->Button1Click();
                 } else if (auto* form10 = qobject_cast<TForm10*>(modal);
                            form10 && form10->activations() > 0) {
                   pass.modeWindow = form10->windowTitle();
                   form10->Button2Click();
                 } else if (auto* form7 = qobject_cast<TForm7*>(modal);
                            form7 && form7->activations() > 0) {
                   pass.modeWindow = form7->windowTitle();
                   form7->Button5Click();
                 } else if (auto* form5 = qobject_cast<TForm5*>(modal);
                            form5 && form5->activations() > 0) {
                   pass.modeWindow = form5->windowTitle();
                   form5->Button3Click();
                 }
                 return true;
               });
    return pass;
  }

 private slots:
  void initTestCase() { design::installFontSubstitutions(); }

  void init() {
    folder = std::make_unique<TempFolder>();
    fakes = std::make_unique<FakeServices>();
    titles = 0;
  }

  void kursTxtNamesTheAllTopicsEntryAndTheTitleScreen() {
    folder->writeLines("main.txt", {"Первая тема"});
    folder->writeLines("kurs.txt",
                       {"все темы=Электротехника (все темы)", "заставка=Основы электротехники"});
    QString titleLine;
    std::unique_ptr<TForm2> window;
    whileModal([&] { window = std::make_unique<TForm2>(fakes->services(folder->path())); },
               [&](QWidget* modal) {
                 if (auto* title = qobject_cast<TForm1*>(modal))
                   titleLine = title->findChild<QLabel*>(QStringLiteral("Label9"))->text();
                 return closeTitle(modal, titles);
               });
    QCOMPARE(titleLine, u8("Основы электротехники"));
    QCOMPARE(window->topicButtons()[0]->text(), u8("Электротехника (все темы)"));
    // The report and the log record take the caption from here.
    QCOMPARE(window->session().TopicTitles[0], cp("Электротехника (все темы)"));
  }

  void topicListIsLaidOutFromMainTxt() {
    folder->writeLines("main.txt", {"Первая тема", "", "Тема двадцать знаков", "Третья тема"});
    auto window = makeWindow();
    QCOMPARE(titles, 1);
    const auto& buttons = window->topicButtons();
    QCOMPARE(buttons.size(), std::size_t(4));
    QCOMPARE(window->session().TopicCount, 4);
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(buttons[static_cast<std::size_t>(i)]->x(), 24);
      QCOMPARE(buttons[static_cast<std::size_t>(i)]->y(), 40 + 30 * i);
    }
    QCOMPARE(buttons[0]->text(), u8("Ворсанит и ДРЛ (все темы)"));
    QVERIFY(buttons[0]->isChecked());
    QCOMPARE(buttons[2]->text(), u8("Тема двадцать знаков"));
    QCOMPARE(buttons[2]->width(), 230);
    QCOMPARE(window->nominalOuterSize(), QSize(528, 295));
    QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("Button1"))->y(), 210);
    QCOMPARE(window->findChild<QPushButton*>(QStringLiteral("Button2"))->y(), 210);
    QCOMPARE(window->findChild<QWidget*>(QStringLiteral("Label2"))->y(), 170);
    // The first showing runs the handler again, but the title window stays a one-off.
    window->show();
    settle();
    QCOMPARE(titles, 1);
    QCOMPARE(window->topicButtons().size(), std::size_t(4));
    QVERIFY(fakes->messages.shown.empty());
  }

  // The offscreen screen is 800 pixels wide.
  void longTitlesWidenTheWindowUpToTheScreenThenWrap() {
    const char* const wide =
        "Переходные процессы в линейных электрических цепях с сосредоточенными параметрами";
    const char* const wider =
        "Переходные процессы в линейных электрических цепях с сосредоточенными параметрами "
        "при включении источников постоянного и синусоидального напряжения";
    folder->writeLines("main.txt", {"R&D", wide});
    auto window = makeWindow();
    const int client = window->nominalOuterSize().width() - 6;
    QRadioButton* topic = window->topicButtons()[2];
    QCOMPARE(client, 24 + topic->sizeHint().width() + 10);  // the range window's rule
    // The course checker, without Qt, finds the same width.
    QCOMPARE(window->nominalOuterSize().width(), topicOuterWidth(cp(wide)));
    QVERIFY(client < 800);
    auto* heading = window->findChild<QLabel*>(QStringLiteral("Label1"));
    QCOMPARE(heading->x(), 144 + (client - 522) / 2);
    // An author's '&' is no shortcut mark.
    QCOMPARE(window->topicButtons()[1]->text(), QStringLiteral("R&&D"));
    QVERIFY(window->topicButtons()[1]->shortcut().isEmpty());

    folder->writeLines("main.txt", {wider, "Вторая"});
    window = makeWindow();
    QCOMPARE(window->nominalOuterSize().width(), 800);
    topic = window->topicButtons()[1];
    QVERIFY(topic->text().contains(QLatin1Char('\n')));
    QVERIFY(topic->x() + topic->width() <= 800 - 6);
    const int gained = topic->height() - 21;
    QVERIFY(gained > 0);
    QCOMPARE(window->topicButtons()[2]->y(), 100 + gained);
    QCOMPARE(window->nominalOuterSize().height(), 3 * 30 + 175 + gained);
  }

  void missingMainTxtIsReportedOnceAndStartDoesNothingElse() {
    auto window = makeWindow();
    window->show();
    settle();
    const QString missing = u8("Отсутствует необходимый файл: ") +
                            QString::fromLocal8Bit((folder->path() + "main.txt").c_str());
    QCOMPARE(fakes->messages.titles(), QStringList({u8("Ворсанит")}));
    QCOMPARE(fakes->messages.shown[0].text, missing);
    QCOMPARE(window->nominalOuterSize(), QSize(528, 422));
    const Pass pass = [&] {
      Pass p;
      whileModal([&] { window->Button1Click(); },
                 [&](QWidget* modal) {
                   p.modeWindowShown |= qobject_cast<TForm4*>(modal) != nullptr;
                   return true;
                 });
      return p;
    }();
    QVERIFY(!pass.modeWindowShown);
    QCOMPARE(fakes->messages.shown.size(), std::size_t(2));
    QCOMPARE(fakes->messages.shown[1].text, missing);
    QVERIFY(window->isVisible());
  }

  void mainTxtThatIsNoFileIsReportedWithTheReason() {
    std::filesystem::create_directory(folder->path() + "main.txt");
    auto window = makeWindow();
    window->show();
    settle();
    QCOMPARE(fakes->messages.shown.at(0).text,
             u8("Не удалось прочитать файл main.txt: это не обычный файл."));
  }

  void whileAModeRunsTheWindowStartsNothing() {
    // Modality blocks input, not an accessibility client: the handlers must refuse too.
    folder->copySampleCourse();
    auto window = makeWindow();
    window->show();
    settle();
    std::set<QWidget*> opened;
    bool tried = false;
    QElapsedTimer pressed;
    whileModal(
        [&] { window->Button1Click(); },
        [&](QWidget* modal) {
          opened.insert(modal);
          if (auto* form4 = qobject_cast<TForm4*>(modal)) {
            if (form4->activations() == 0) return true;
            if (!tried) {
              tried = true;
              auto* start = window->findChild<QPushButton*>(QStringLiteral("Button1"));
              QAccessible::queryAccessibleInterface(start)->actionInterface()->doAction(
                  QAccessibleActionInterface::pressAction());
              window->N4Click();
              window->N5Click();
              window->N2Click();
              pressed.start();
            }
            if (pressed.elapsed() < 300)
              return true;  // the press is an animated click: let it arrive
            form4->findChild<QRadioButton*>(QStringLiteral("RadioButton5"))->setChecked(true);
            form4->Button1Click();
          } else {
            modal->close();
          }
          return true;
        });
    QVERIFY(tried);
    QCOMPARE(opened.size(), std::size_t(1));  // the pass's own mode window, nothing else
    QVERIFY(window->isVisible());
  }

  void eachModeGreetsAndReturnsToTheSameTopicList_data() {
    QTest::addColumn<int>("topic");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<bool>("rangeWindow");
    QTest::addColumn<QString>("modeWindow");
    QTest::newRow("exam, one topic")
        << 1 << 1 << QStringList{u8("Экзамен")} << true << u8("Ввод данных");
    QTest::newRow("pass/fail, one topic")
        << 2 << 2 << QStringList{u8("Зачет")} << true << u8("Ввод данных");
    QTest::newRow("self-control, one topic")
        << 3 << 3 << QStringList{u8("Проверка знаний")} << true << u8("Контроль знаний");
    QTest::newRow("exam, all topics")
        << 0 << 1 << QStringList{u8("Экзамен")} << false << u8("Ввод данных");
    QTest::newRow("self-control, all topics")
        << 0 << 3 << QStringList{u8("Проверка знаний")} << false << u8("Контроль знаний");
    QTest::newRow("browse") << 1 << 4 << QStringList{u8("Просмотр вопросов")} << false
                            << u8("Просмотр вопросов");
    QTest::newRow("back") << 2 << 5 << QStringList{} << false << QString();
  }

  void eachModeGreetsAndReturnsToTheSameTopicList() {
    QFETCH(int, topic);
    QFETCH(int, mode);
    QFETCH(QStringList, titles);
    QFETCH(bool, rangeWindow);
    QFETCH(QString, modeWindow);
    folder->copySampleCourse();
    auto window = makeWindow();
    window->show();
    settle();
    const auto buttonsBefore = window->topicButtons();

    const Pass pass = runPass(*window, topic, mode);
    QVERIFY(pass.modeWindowShown);
    QCOMPARE(pass.rangeWindowShown, rangeWindow);
    QCOMPARE(pass.modeWindow, modeWindow);
    QCOMPARE(fakes->messages.titles(), titles);
    QCOMPARE(window->session().SelectedTopic, topic);
    QCOMPARE(window->session().SelectedMode, mode);
    QVERIFY(window->isVisible());
    QCOMPARE(window->topicButtons(), buttonsBefore);
    QVERIFY(window->topicButtons().at(static_cast<std::size_t>(topic))->isChecked());
    if (mode <= 3) {
      QVERIFY(window->session().RangeFirst >= 1);
      QVERIFY(window->session().RangeFirst <= window->session().RangeLast);
    }
  }

  void enterPressesStartUnlessAnotherButtonHasTheFocus() {
    folder->copySampleCourse();
    auto window = makeWindow();
    window->show();
    settle();
    window->topicButtons()[2]->setChecked(true);
    window->topicButtons()[2]->setFocus();
    int modeWindows = 0;
    whileModal(
        [&] { QTest::keyClick(window->topicButtons()[2], Qt::Key_Return); },
        [&](QWidget* modal) {
          if (auto* form4 = qobject_cast<TForm4*>(modal); form4 && form4->activations() > 0) {
            ++modeWindows;
            form4->findChild<QRadioButton*>(QStringLiteral("RadioButton5"))->setChecked(true);
            form4->Button1Click();
          }
          return true;
        });
    QCOMPARE(modeWindows, 1);
    QCOMPARE(window->session().SelectedTopic, 2);
  }

  void missingFilesAreReportedWithTheModesTitle() {
    folder->copySampleCourse();
    std::filesystem::remove(folder->path() + "diapazon.txt");
    auto window = makeWindow();
    runPass(*window, 1, 3);
    QCOMPARE(fakes->messages.titles(),
             QStringList({u8("Проверка знаний"), u8("Диапазон вопросов")}));
    QCOMPARE(fakes->messages.shown[1].text, u8("Отсутствует один из файлов."));
    // Without a range file the whole topic is the range.
    QCOMPARE(window->session().RangeFirst, 1);
    QVERIFY(window->session().RangeLast >= 30);
  }

  void aLeftoverRangeThatDoesNotFitFallsBackToTheWholeBank() {
    folder->copySampleCourse();
    std::filesystem::remove(folder->path() + "diapazon.txt");
    auto window = makeWindow();
    window->session().RangeFirst = 900;
    window->session().RangeLast = 950;
    runPass(*window, 2, 1);
    QCOMPARE(window->session().RangeFirst, 1);
    QVERIFY(window->session().RangeLast < 900);
  }

  void noModeStartsOnABankThatFailedToLoad_data() {
    QTest::addColumn<int>("mode");
    QTest::newRow("exam") << 1;
    QTest::newRow("pass/fail") << 2;
    QTest::newRow("self-control") << 3;
  }

  void noModeStartsOnABankThatFailedToLoad() {
    QFETCH(int, mode);
    folder->copySampleCourse();
    folder->writeLines("vopros.txt", {"+++1", "_001_1_1_Вопрос?", "_0x2_1_1_Вопрос?"});
    auto window = makeWindow();
    const Pass pass = runPass(*window, 1, mode);
    QVERIFY(!pass.rangeWindowShown);
    QCOMPARE(fakes->messages.titles(), QStringList({u8("Ошибка."), u8("Ошибка.")}));
    QVERIFY(fakes->messages.shown[0].text.contains(u8("vopros.txt")));
    QVERIFY(fakes->messages.shown[0].text.contains(u8("строка 3")));
    QVERIFY(window->isVisible());
  }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
