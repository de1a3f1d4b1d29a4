// The mode window: loading on activation, the stored mode, and no way out but OK.
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "bank/ui/mode_window.h"
#include "platform/cp1251.h"
#include "platform/ui/design.h"
#include "support/test_support.h"

class ModeWindowTest : public QObject {
  Q_OBJECT

  TempFolder* folder = nullptr;
  FakeServices* fakes = nullptr;
  SessionState session;
  std::unique_ptr<Services> services;

  // Shows a mode window for the topic and lets its activation run.
  std::unique_ptr<TForm4> open(std::uint8_t topic) {
    session.TopicCount = 3;
    session.SelectedTopic = topic;
    services = std::make_unique<Services>(fakes->services(folder->path()));
    auto window = std::make_unique<TForm4>(session, *services, nullptr);
    window->show();
    settle();
    return window;
  }

  void writeCourse() {
    folder->writeLines("vopros.txt",
                       {"+++1", "_002_1_1_Второй?", "_003_2_1_Третий?", "_001_2_1_Первый?", "+++2",
                        "_001_1_1_Один?", "_002_1_1_Два?"});
    folder->writeLines("otvet.txt",
                       {"+++1", "**_1_2_3_", "_1_Да", "_2_Нет", "+++2", "**_1_2_", "_1_А", "_2_Б"});
    folder->writeLines("konsult.txt",
                       {"+++1", "**_1_2_3_", "Пояснение.", "+++2", "**_1_2_", "Ещё пояснение."});
  }

 private slots:
  void initTestCase() { design::installFontSubstitutions(); }
  void init() {
    folder = new TempFolder;
    fakes = new FakeServices;
    session = SessionState{};
    writeCourse();
  }
  void cleanup() {
    delete fakes;
    delete folder;
  }

  void activationLoadsTheBankOfTheSelectedTopic() {
    session.RangeFirst = 7;
    session.RangeLast = 9;
    auto opened = open(1);
    TForm4& window = *opened;
    QCOMPARE(window.nominalOuterSize(), QSize(331, 297));
    QCOMPARE(window.activations(), 1);
    QVERIFY(window.load().usable());
    QCOMPARE(window.bank().QuestionTexts,
             (std::vector<std::string>{cp("Первый?"), cp("Второй?"), cp("Третий?")}));
    QCOMPARE(window.bank().QuestionFlags, (std::vector<std::uint16_t>{2, 1, 2}));
    // One topic: the range is the range window's business.
    QCOMPARE(session.RangeFirst, 7);
    QCOMPARE(session.RangeLast, 9);

    // A second showing rebuilds the same bank from nothing.
    const QuestionBank first = window.bank();
    window.hide();
    window.show();
    settle();
    QCOMPARE(window.activations(), 2);
    QCOMPARE(window.bank().QuestionTexts, first.QuestionTexts);
    QCOMPARE(window.bank().AnswerTexts, first.AnswerTexts);
    QCOMPARE(window.bank().ConsultBlocks, first.ConsultBlocks);
    QVERIFY(fakes->messages.shown.empty());
  }

  void allTopicsSetTheRangeToTheWholeBank() {
    auto opened = open(0);
    TForm4& window = *opened;
    QCOMPARE(window.bank().QuestionTexts.size(), std::size_t(5));
    QCOMPARE(window.bank().AnswerQuestionSets.back(), std::string("_4_5_"));
    QCOMPARE(session.RangeFirst, 1);
    QCOMPARE(session.RangeLast, 5);
  }

  void aLoadFaultIsReportedAndTheWindowStaysOpen() {
    folder->writeLines("otvet.txt", {"+++1", "**_1_x_", "_1_Да"});
    auto opened = open(1);
    TForm4& window = *opened;
    QVERIFY(!window.load().usable());
    QCOMPARE(fakes->messages.titles(), QStringList{u8("Ошибка.")});
    QVERIFY(fakes->messages.shown[0].text.contains(u8("otvet.txt, строка 2")));
    QVERIFY(window.isVisible());
  }

  void okStoresTheCheckedModeAndNothingElseClosesTheWindow() {
    auto opened = open(1);
    TForm4& window = *opened;
    QVERIFY(window.findChild<QRadioButton*>(QStringLiteral("RadioButton1"))->isChecked());
    QTest::keyClick(&window, Qt::Key_Escape);
    window.close();
    settle();
    QVERIFY(window.isVisible());
    window.findChild<QRadioButton*>(QStringLiteral("RadioButton4"))->setChecked(true);
    window.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    QCOMPARE(session.SelectedMode, 4);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.result(), int(QDialog::Accepted));
  }
};

QTEST_MAIN(ModeWindowTest)
#include "mode_window_test.moc"
