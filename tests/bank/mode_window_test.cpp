// The mode window: loading on activation, the stored mode, and no way out but OK.
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "bank/mode_window.h"
#include "platform/cp1251.h"
#include "platform/design.h"
#include "support/test_support.h"

class ModeWindowTest : public QObject {
  Q_OBJECT

  TempFolder* folder = nullptr;
  FakeServices* fakes = nullptr;

  void writeCourse() {
    folder->writeLines("vopros.txt", {"+++1", "_002_1_1_Второй?", "_003_2_1_Третий?",
                                      "_001_2_1_Первый?", "+++2", "_001_1_1_Один?",
                                      "_002_1_1_Два?"});
    folder->writeLines("otvet.txt", {"+++1", "**_1_2_3_", "_1_Да", "_2_Нет", "+++2", "**_1_2_",
                                     "_1_А", "_2_Б"});
    folder->writeLines("konsult.txt", {"+++1", "**_1_2_3_", "Пояснение.", "+++2", "**_1_2_",
                                       "Ещё пояснение."});
  }

 private slots:
  void initTestCase() { design::installFontSubstitutions(); }
  void init() {
    folder = new TempFolder;
    fakes = new FakeServices;
  }
  void cleanup() {
    delete fakes;
    delete folder;
  }

  void activationLoadsTheBankOfTheSelectedTopic() {
    writeCourse();
    SessionState session;
    session.TopicCount = 3;
    session.SelectedTopic = 1;
    session.RangeFirst = 7;
    session.RangeLast = 9;
    Services services = fakes->services(folder->path());
    TForm4 window(session, services, nullptr);
    QCOMPARE(window.nominalOuterSize(), QSize(331, 297));
    window.show();
    settle();
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
    writeCourse();
    SessionState session;
    session.TopicCount = 3;
    session.SelectedTopic = 0;
    Services services = fakes->services(folder->path());
    TForm4 window(session, services, nullptr);
    window.show();
    settle();
    QCOMPARE(window.bank().QuestionTexts.size(), std::size_t(5));
    QCOMPARE(window.bank().AnswerQuestionSets.back(), std::string("_4_5_"));
    QCOMPARE(session.RangeFirst, 1);
    QCOMPARE(session.RangeLast, 5);
  }

  void aLoadFaultIsReportedAndTheWindowStaysOpen() {
    writeCourse();
    folder->writeLines("otvet.txt", {"+++1", "**_1_x_", "_1_Да"});
    SessionState session;
    session.TopicCount = 3;
    session.SelectedTopic = 1;
    Services services = fakes->services(folder->path());
    TForm4 window(session, services, nullptr);
    window.show();
    settle();
    QVERIFY(!window.load().usable());
    QCOMPARE(fakes->messages.titles(), QStringList{u8("Ошибка.")});
    QVERIFY(fakes->messages.shown[0].text.contains(u8("otvet.txt, строка 2")));
    QVERIFY(window.isVisible());
  }

  void okStoresTheCheckedModeAndNothingElseClosesTheWindow() {
    writeCourse();
    SessionState session;
    session.TopicCount = 3;
    session.SelectedTopic = 1;
    Services services = fakes->services(folder->path());
    TForm4 window(session, services, nullptr);
    window.show();
    settle();
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
