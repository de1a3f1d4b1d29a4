// The range window on a real diapazon.txt: its computed size, its choice, its faults.
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "bank/ui/range_window.h"
#include "platform/ui/design.h"
#include "support/test_support.h"

class RangeWindowTest : public QObject {
  Q_OBJECT

  TempFolder* folder = nullptr;
  FakeServices* fakes = nullptr;
  SessionState session;

  // Shows the window for topic 2 and lets it activate; the window stays open
  // unless its activation closed it.
  void open(TForm6& window) {
    window.show();
    settle();
  }

 private slots:
  void initTestCase() { design::installFontSubstitutions(); }
  void init() {
    folder = new TempFolder;
    fakes = new FakeServices;
    session = SessionState{};
    session.SelectedTopic = 2;
    session.RangeFirst = 3;
    session.RangeLast = 4;
  }
  void cleanup() {
    delete fakes;
    delete folder;
  }

  void fourRangesGiveTheWorkedSizeAndTheFirstRangeByDefault() {
    folder->writeLines("diapazon.txt",
                       {"+++1", "**1", "_1_5_Чужая тема", "+++2", "**4", "_1_10_Вопросы 1-10",
                        "_11_20_Вопросы 11-20", "_1_20_Тридцать знаков в этой строке!", "_5_9_"});
    Services services = fakes->services(folder->path());
    TForm6 window(session, services, loadRanges(folder->path(), session.SelectedTopic), 20,
                  nullptr);
    window.move(300, 200);
    const QSize before = window.nominalOuterSize();
    const QPoint centre(300 + before.width() / 2, 200 + before.height() / 2);
    open(window);
    const auto& buttons = window.rangeButtons();
    QCOMPARE(buttons.size(), std::size_t(4));
    for (int i = 0; i < 4; ++i) {
      QCOMPARE(buttons[static_cast<std::size_t>(i)]->pos(), QPoint(24, 20 + 20 * i));
    }
    // Captions are never cut short by the width estimate.
    for (QRadioButton* button : buttons) {
      QVERIFY(button->width() >= button->sizeHint().width());
      QVERIFY(button->geometry().right() < window.width());
    }
    QCOMPARE(buttons[2]->text(), u8("Тридцать знаков в этой строке!"));
    QCOMPARE(window.nominalOuterSize(), QSize(220, 185));
    QCOMPARE(window.findChild<QPushButton*>(QStringLiteral("Button1"))->pos(), QPoint(72, 115));
    QCOMPARE(window.pos(), QPoint(centre.x() - 110, centre.y() - 92));
    QVERIFY(buttons[0]->isChecked());

    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(window.isVisible());
    window.findChild<QPushButton*>(QStringLiteral("Button1"))->click();
    QCOMPARE(session.RangeFirst, 1);
    QCOMPARE(session.RangeLast, 10);
    QVERIFY(!window.isVisible());
  }

  void theCheckedRangeIsStored() {
    folder->writeLines("diapazon.txt", {"+++2", "**2", "_1_10_А", "_5_9_"});
    Services services = fakes->services(folder->path());
    TForm6 window(session, services, loadRanges(folder->path(), session.SelectedTopic), 20,
                  nullptr);
    open(window);
    // A caption shorter than its indicator widens the window rather than being cut.
    QVERIFY(window.rangeButtons()[0]->geometry().right() < window.width());
    window.rangeButtons()[1]->setChecked(true);
    window.Button1Click();
    QCOMPARE(session.RangeFirst, 5);
    QCOMPARE(session.RangeLast, 9);
    QVERIFY(fakes->messages.shown.empty());
  }

  void faultsAreReportedAndLeaveTheRangeAlone_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("message");
    QTest::newRow("no range for the topic")
        << QStringList{u8("+++1"), u8("**1"), u8("_1_5_А")} << u8("Не найдено ни одного элемента.");
    QTest::newRow("empty line") << QStringList{u8("+++2"), u8(""), u8("_1_5_А")}
                                << u8("diapazon.txt, строка 2");
    QTest::newRow("reversed") << QStringList{u8("+++2"), u8("**1"), u8("_9_5_А")}
                              << u8("diapazon.txt, строка 3");
    QTest::newRow("beyond the bank")
        << QStringList{u8("+++2"), u8("**1"), u8("_1_40_А")} << u8("diapazon.txt, строка 3");
    QTest::newRow("not decimal") << QStringList{u8("+++2"), u8("**1"), u8("_1_2x_А")}
                                 << u8("diapazon.txt, строка 3");
  }

  void faultsAreReportedAndLeaveTheRangeAlone() {
    QFETCH(QStringList, lines);
    QFETCH(QString, message);
    std::vector<std::string> utf8;
    for (const QString& line : lines) utf8.push_back(line.toStdString());
    folder->writeLines("diapazon.txt", utf8);
    Services services = fakes->services(folder->path());
    TForm6 window(session, services, loadRanges(folder->path(), session.SelectedTopic), 20,
                  nullptr);
    open(window);
    if (window.isVisible()) window.Button1Click();
    QVERIFY(!window.isVisible());
    QCOMPARE(fakes->messages.titles(), QStringList{u8("Ошибка.")});
    QVERIFY2(fakes->messages.shown[0].text.contains(message),
             qPrintable(fakes->messages.shown[0].text));
    QCOMPARE(session.RangeFirst, 3);
    QCOMPARE(session.RangeLast, 4);
  }
};

QTEST_MAIN(RangeWindowTest)
#include "range_window_test.moc"
