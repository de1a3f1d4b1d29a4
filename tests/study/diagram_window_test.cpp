// The consultation and diagram windows: the block of the question, its diagram
// button, and the picture graph.txt names, looked up in the current directory
// and then in the course folder.
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>
#include <fstream>

#include "platform/cp1251.h"
#include "platform/ui/design.h"
#include "study/ui/consultation_window.h"
#include "study/ui/diagram_window.h"
#include "support/test_support.h"

namespace {

std::string sampleJpeg() {
  std::ifstream in(std::string(SAMPLE_COURSE_DIR) + "/diagram1.jpg", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

constexpr QSize kSamplePicture(440, 280);

}  // namespace

class DiagramWindowTest : public QObject {
  Q_OBJECT

  TempFolder* folder = nullptr;
  FakeServices* fakes = nullptr;
  SessionState session;
  QString startDirectory;

  // Opens the diagram window at a known place and returns its centre before activation.
  QPoint open(TForm9& window) {
    window.move(300, 200);
    const QSize before = window.nominalOuterSize();
    window.show();
    settle();
    return {300 + before.width() / 2, 200 + before.height() / 2};
  }
  static QPushButton* button(QWidget& window, int n) {
    return window.findChild<QPushButton*>(QStringLiteral("Button%1").arg(n));
  }
  static bool imageEmpty(const TForm9& window) {
    return window.image()->pixmap().isNull() && window.image()->size() == QSize(321, 193);
  }

 private slots:
  void initTestCase() {
    design::installFontSubstitutions();
    startDirectory = QDir::currentPath();
  }
  void init() {
    folder = new TempFolder;
    fakes = new FakeServices;
    session = SessionState{};
    session.DiagramName = "diagram_0007";
    // graph.txt and its pictures come from the current directory first.
    QVERIFY(QDir::setCurrent(QString::fromStdString(folder->path())));
  }
  void cleanup() {
    QDir::setCurrent(startDirectory);
    delete fakes;
    delete folder;
  }

  // Block lookup and markers are the consultation rule's; here: what reaches the window.
  void consultationShowsTheBlockAndOffersItsDiagram() {
    QuestionBank bank;
    bank.ConsultTexts = {"_1_", "_2_"};
    bank.ConsultBlocks = {{cp("$diagram_0012$Текст пояснения"), cp("Вторая строка")},
                          {cp("Пояснение без диаграммы.")}};
    for (std::uint16_t question : {0, 1}) {
      session.DiagramName = "earlier";
      Services s = fakes->services("");
      TForm8 window(session, bank, question, s, nullptr);
      window.show();
      settle();
      const QString memo =
          window.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText();
      QCOMPARE(memo, question == 0 ? u8("Текст пояснения\nВторая строка")
                                   : u8("Пояснение без диаграммы."));
      QCOMPARE(button(window, 2)->isVisible(), question == 0);
      QCOMPARE(session.DiagramName, std::string(question == 0 ? "diagram_0012" : "earlier"));
      QVERIFY(button(window, 1)->hasFocus());
      QTest::keyClick(&window, Qt::Key_Escape);
      QVERIFY(window.isVisible());
    }
  }

  void consultationWithoutBlocksIsEmpty() {
    Services s = fakes->services("");
    const QuestionBank bank;
    TForm8 window(session, bank, 0, s, nullptr);
    window.show();
    settle();
    QVERIFY(window.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText().isEmpty());
    QVERIFY(!button(window, 2)->isVisible());
  }

  void diagramButtonOpensThePicture() {
    folder->write("diagram7.jpg", sampleJpeg());
    folder->writeLines("graph.txt", {"7 diagram7.jpg"});
    QuestionBank bank;
    bank.ConsultTexts = {"_1_"};
    bank.ConsultBlocks = {{"$diagram_0007$x"}};
    Services s = fakes->services("");
    TForm8 window(session, bank, 0, s, nullptr);
    window.show();
    settle();
    QSize picture;
    whileModal([&] { button(window, 2)->click(); },
               [&](QWidget* modal) {
                 auto* diagram = qobject_cast<TForm9*>(modal);
                 if (!diagram || diagram->activations() == 0) return true;
                 picture = diagram->image()->size();
                 button(*diagram, 1)->click();
                 return false;
               });
    QCOMPARE(picture, kSamplePicture);
    QVERIFY(window.isVisible());
  }

  void windowFitsAroundThePictureAndKeepsItsCentre() {
    folder->write("second.jpg", sampleJpeg());
    folder->writeLines("graph.txt", {"7 first.jpg", "", "7 second.jpg"});  // the last entry wins
    Services s = fakes->services("");
    TForm9 window(session, s, nullptr);
    const QPoint centre = open(window);
    QVERIFY(fakes->messages.shown.empty());
    QCOMPARE(window.image()->size(), kSamplePicture);
    QCOMPARE(window.image()->pos(), QPoint(8, 8));
    QCOMPARE(window.nominalOuterSize(), QSize(459, 360));
    QCOMPARE(button(window, 1)->pos(), QPoint(192, 300));
    QCOMPARE(window.pos(), QPoint(centre.x() - 229, centre.y() - 180));
    QTest::keyClick(&window, Qt::Key_Escape);
    QVERIFY(window.isVisible());
  }

  void aCyrillicNameWithABlankIsFoundOnDisk() {
    // The map is code page 1251; the file system spells the name in UTF-8.
    folder->write("схема двенадцать.jpg", sampleJpeg());
    folder->writeLines("graph.txt", {"12 схема двенадцать.jpg"});
    session.DiagramName = "diagram_0012";
    Services s = fakes->services("");
    TForm9 window(session, s, nullptr);
    open(window);
    QVERIFY(fakes->messages.shown.empty());
    QCOMPARE(window.image()->size(), kSamplePicture);
  }

  void withoutGraphTxtTheEmptyAreaIsShownSilently() {
    Services s = fakes->services("");
    TForm9 window(session, s, nullptr);
    const QPoint centre = open(window);
    QVERIFY(fakes->messages.shown.empty());
    QVERIFY(imageEmpty(window));
    QCOMPARE(window.nominalOuterSize(), QSize(340, 273));
    QCOMPARE(button(window, 1)->pos(), QPoint(132, 213));
    QCOMPARE(window.pos(), QPoint(centre.x() - 170, centre.y() - 136));
  }

  void aPictureThatCannotBeShownIsReported_data() {
    QTest::addColumn<QString>("diagramName");
    QTest::addColumn<QString>("mapLine");
    QTest::addColumn<QString>("file");  // written with the bytes below, when not empty
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray jpeg = QByteArray::fromStdString(sampleJpeg());
    const QString missing = u8("Отсутствует файл '%1'");
    const QString damaged = u8("Файл '%1' повреждён");
    const QString unsupported =
        u8("Формат рисунка '%1' не поддерживается: нужен JPEG, PNG, BMP или ICO.");
    QTest::newRow("no entry") << u8("diagram_0008") << u8("7 a.jpg") << QString() << QByteArray()
                              << missing.arg(u8("$.jpg"));
    QTest::newRow("file missing") << u8("diagram_0007") << u8("7 нет.jpg") << QString()
                                  << QByteArray() << missing.arg(u8("нет.jpg"));
    QTest::newRow("jpeg cut in its header")
        << u8("diagram_0007") << u8("7 cut.jpg") << u8("cut.jpg") << jpeg.left(100)
        << damaged.arg(u8("cut.jpg"));
    QTest::newRow("not a jpeg") << u8("diagram_0007") << u8("7 text.jpg") << u8("text.jpg")
                                << QByteArray("hello") << damaged.arg(u8("text.jpg"));
    QTest::newRow("metafile") << u8("diagram_0007") << u8("7 d.wmf") << u8("d.wmf")
                              << QByteArray("\xd7\xcd\xc6\x9a", 4) << unsupported.arg(u8("d.wmf"));
    QTest::newRow("unknown format") << u8("diagram_0007") << u8("7 d.gif") << u8("d.gif")
                                    << QByteArray("GIF89a", 6) << unsupported.arg(u8("d.gif"));
    QTest::newRow("not what the name says") << u8("diagram_0007") << u8("7 d.png") << u8("d.png")
                                            << QByteArray("BM\x10", 3) << damaged.arg(u8("d.png"));
    QTest::newRow("damaged bitmap") << u8("diagram_0007") << u8("7 d.bmp") << u8("d.bmp")
                                    << QByteArray("BM\x10", 3) << damaged.arg(u8("d.bmp"));
  }

  void aPictureThatCannotBeShownIsReported() {
    QFETCH(QString, diagramName);
    QFETCH(QString, mapLine);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    folder->writeLines("graph.txt", {mapLine.toStdString()});
    if (!file.isEmpty()) folder->write(file.toStdString(), bytes.toStdString());
    session.DiagramName = diagramName.toStdString();
    Services s = fakes->services("");
    TForm9 window(session, s, nullptr);
    open(window);
    QCOMPARE(fakes->messages.titles(), QStringList{u8("Диаграмма.")});
    QVERIFY2(fakes->messages.shown[0].text.startsWith(message),
             qPrintable(fakes->messages.shown[0].text));
    QVERIFY(imageEmpty(window));
    QCOMPARE(window.nominalOuterSize(), QSize(340, 273));
  }

  void aBitmapIsShownThroughQtsReader() {
    QImage picture(50, 30, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QVERIFY(picture.save(QStringLiteral("d.bmp")));
    folder->writeLines("graph.txt", {"7 d.bmp"});
    Services s = fakes->services("");
    TForm9 window(session, s, nullptr);
    open(window);
    QVERIFY(fakes->messages.shown.empty());
    QCOMPARE(window.image()->size(), QSize(50, 30));
    QCOMPARE(window.nominalOuterSize(), QSize(69, 110));
  }

  void aPictureLargerThanTheScreenIsScaledDownToFit() {
    QImage picture(3000, 1500, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    QVERIFY(picture.save(QStringLiteral("big.png")));
    folder->writeLines("graph.txt", {"7 big.png"});
    Services s = fakes->services("");
    TForm9 window(session, s, nullptr);
    open(window);
    QVERIFY(fakes->messages.shown.empty());
    const QRect screen = window.screen()->availableGeometry();
    const QSize shown = window.image()->pixmap().size();
    QCOMPARE(window.image()->size(), shown);
    QCOMPARE(shown.width(), screen.width() - 19);  // the wide side takes the room
    QCOMPARE(shown.height(), shown.width() / 2);
    QVERIFY(screen.contains(QRect(window.pos(), window.nominalOuterSize())));
  }

  void startedElsewhereTheCourseFolderIsLookedIn() {
    TempFolder course;
    course.write("diagram7.jpg", sampleJpeg());
    course.writeLines("graph.txt", {"7 diagram7.jpg", "8 gone.jpg"});
    Services s = fakes->services(course.path());
    {
      TForm9 window(session, s, nullptr);
      open(window);
      QVERIFY(fakes->messages.shown.empty());
      QCOMPARE(window.image()->size(), kSamplePicture);
    }
    session.DiagramName = "diagram_0008";
    TForm9 window(session, s, nullptr);
    open(window);
    QCOMPARE(fakes->messages.shown.size(), std::size_t{1});
    QCOMPARE(fakes->messages.shown[0].text, u8("Отсутствует файл 'gone.jpg'"));
  }

  // Started in another course's folder, a course named at the start shows its own diagram.
  void aNamedCourseFolderIsLookedInFirst() {
    folder->writeLines("graph.txt", {"7 other.jpg"});
    TempFolder course;
    course.write("diagram7.jpg", sampleJpeg());
    course.writeLines("graph.txt", {"7 diagram7.jpg"});
    Services s = fakes->services(course.path());
    s.courseNamed = true;
    {
      TForm9 window(session, s, nullptr);
      open(window);
      QVERIFY(fakes->messages.shown.empty());
      QCOMPARE(window.image()->size(), kSamplePicture);
    }
    s.courseNamed = false;  // the course beside the program: the current folder first
    TForm9 window(session, s, nullptr);
    open(window);
    QCOMPARE(fakes->messages.shown.size(), std::size_t{1});
    QCOMPARE(fakes->messages.shown[0].text, u8("Отсутствует файл 'other.jpg'"));
  }
};

QTEST_MAIN(DiagramWindowTest)
#include "diagram_window_test.moc"
