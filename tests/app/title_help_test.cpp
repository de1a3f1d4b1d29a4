// The title and help windows: fixed texts, layout numbers and how they close.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "app/course_identity.h"
#include "app/ui/help_window.h"
#include "app/ui/title_window.h"
#include "platform/ui/codec.h"
#include "platform/ui/design.h"
#include "support/test_support.h"

namespace {

// Written out here rather than taken from the program, so a changed space shows.
const char* const kHelpLines[] = {
    "               Программа контроля знаний по дисциплине работает в 4 режимах:",
    "       Режим 1. Контроль знаний с выдачей оценки - числа, зависящего от количества ",
    "правильных ответов на десять предложенных вопросов.",
    "       Режим 2. Контроль знаний с зачетом, когда вопросы выдаются до получения ",
    "восьми правильных (зачет) или трех неправильных (незачет) ответов из десяти.",
    "             Вопросы во всех двух режимах выбираются случайным образом так, чтобы ",
    "одному курсанту или студенту дважды не был задан один и тот же вопрос.",
    "       Режим 3. Самоконтроль знаний курсанта или студента. В этом режиме можно ",
    "выбрать любой номер интересующего вопроса. ЭВМ сначала выдает соответствующую ",
    "консультацию, затем вопрос с вариантами ответов.  Надо выбрать ответ, после чего ",
    "ЭВМ выдает правильный ответ.  Этот режим включается в спорных случаях или ",
    "для повторения программы при самоподготовке курсантов или студентов.",
    "       Режим 4. Блок вывода вопросов. В этом режиме на экран дисплея выводится ",
    "полный список вопросов по данной теме программы.",
    "     На сдачу зачета или экзамена выделено контрольное время - 10 мин, по окончании ",
    "которого ЭВМ автоматически сообщает результат.",
    "     В режимах 1 и 2 по окончании опроса каждого курсанта или студента на экран ",
    "дисплея выдается протокол контроля знаний с соответствующей дифференцированной ",
    "оценкой или зачетом (незачетом).",
    "     Программа работает в диалоговом режиме.",
    " Рекомендуемая литература:",
};

template <typename T>
T* child(QWidget& window, const char* name) {
  auto* widget = window.findChild<T*>(QString::fromLatin1(name));
  if (!widget) qFatal("no child %s", name);
  return widget;
}

// Shows the window modally, lets it activate, then hands it to act; returns
// whether the window was still open after act and what exec() returned.
struct ModalRun {
  bool stillOpen = false;
  int result = -1;
};

ModalRun runModal(TFormBase& window, const std::function<void(QWidget*)>& act) {
  ModalRun run;
  whileModal([&] { run.result = window.exec(); },
             [&](QWidget* modal) {
               if (modal != &window || window.activations() == 0) return true;
               act(window.focusWidget() ? window.focusWidget() : &window);
               settle();
               run.stillOpen = window.isVisible();
               if (run.stillOpen) window.reject();  // never leave the test hanging
               return false;
             });
  return run;
}

}  // namespace

class TitleHelpTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { design::installFontSubstitutions(); }

  void helpTextStartsWithTheModeDescriptionVerbatim() {
    TForm3 help(nullptr);
    const QStringList lines = child<QPlainTextEdit>(help, "Memo1")->toPlainText().split(u'\n');
    QCOMPARE(lines.size(), 21 + 9);
    for (int i = 0; i < 21; ++i) QCOMPARE(lines[i], u8(kHelpLines[i]));
    for (int entry = 0; entry < 3; ++entry)
      QVERIFY(lines[21 + 3 * entry].startsWith(QStringLiteral("    %1.").arg(entry + 1)));
  }

  void helpClosesOnEnterAndOnEscapeFromItsButton() {
    for (const auto key : {Qt::Key_Return, Qt::Key_Escape}) {
      TForm3 help(nullptr);
      QWidget* focused = nullptr;
      const ModalRun run = runModal(help, [&](QWidget* target) {
        focused = target;
        QTest::keyClick(target, key);
      });
      QCOMPARE(focused, child<QPushButton>(help, "Button1"));
      QVERIFY2(!run.stillOpen, key == Qt::Key_Return ? "Enter" : "Escape");
    }
  }

  void titleIgnoresEscapeButClosesOnOk() {
    TForm1 title(nullptr);
    QVERIFY(runModal(title, [](QWidget* target) {
              QTest::keyClick(target, Qt::Key_Escape);
            }).stillOpen);
    auto* ok = child<QPushButton>(title, "Button1");
    const ModalRun run = runModal(title, [&](QWidget*) { QTest::mouseClick(ok, Qt::LeftButton); });
    QVERIFY(!run.stillOpen);
    QCOMPARE(run.result, int(QDialog::Accepted));
  }

  void creditsHaveSevenLinesUnderThreeHeadings() {
    TForm1 title(nullptr);
    const QStringList lines = child<QLabel>(title, "Label5")->text().split(u'\n');
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[0], u8("Методические принципы:"));
    QCOMPARE(lines[2], u8("Программная реализация:"));
    QCOMPARE(lines[4], u8("Информационное наполнение:"));
    for (int i : {1, 3, 5, 6})
      QVERIFY(lines[i].startsWith(QString(9, u' ')) && !lines[i].at(9).isSpace());
  }

  void titleShownTwiceLooksTheSame() {
    auto snapshot = [] {
      TForm1 title(nullptr);
      QStringList seen{title.windowTitle()};
      for (QLabel* label : title.findChildren<QLabel*>()) {
        const QRect g = label->geometry();
        seen << label->objectName() + u'|' + label->text() +
                    QStringLiteral("|%1,%2,%3,%4")
                        .arg(g.x())
                        .arg(g.y())
                        .arg(g.width())
                        .arg(g.height());
      }
      return seen;
    };
    const QStringList first = snapshot();
    QCOMPARE(first.size(), 1 + 10);
    QCOMPARE(snapshot(), first);
  }

  void layoutStandsWhereDesigned() {
    TForm1 title(nullptr);
    QCOMPARE(title.size(), QSize(592, 436));
    QCOMPARE(title.windowTitle(), u8("ДРЛ"));
    QCOMPARE(child<QLabel>(title, "Label9")->pos(), QPoint(164, 97));
    QCOMPARE(child<QLabel>(title, "Label9")->text(), u8("  Ворсанит и  "));
    QCOMPARE(child<QLabel>(title, "Label1")->geometry(), QRect(0, 0, 592, 23));
    QCOMPARE(child<QLabel>(title, "Label2")->geometry(), QRect(0, 23, 592, 23));
    QCOMPARE(child<QPushButton>(title, "Button1")->geometry(), QRect(275, 406, 70, 23));

    TForm3 help(nullptr);
    QCOMPARE(help.size(), QSize(728, 517));
    QCOMPARE(help.windowTitle(), u8("Справка"));
    QCOMPARE(child<QPlainTextEdit>(help, "Memo1")->geometry(), QRect(16, 16, 697, 465));
    QCOMPARE(child<QPushButton>(help, "Button1")->geometry(), QRect(320, 488, 75, 25));
  }

  void titleTextsFitTheirLabels_data() {
    QTest::addColumn<QStringList>("kursLines");
    const QString tooWide =
        u8("заставка=Основы теории электрических цепей и электромагнитного поля");
    QTest::newRow("the sample's title") << QStringList();
    QTest::newRow("two lines, one too wide") << QStringList{u8("заставка=Курс"), tooWide};
    QTest::newRow("four lines, one too wide") << QStringList{
        u8("заставка=Курс"), tooWide + tooWide.mid(9), u8("заставка=и"), u8("заставка=практикум")};
    QTest::newRow("every key of the title screen")
        << QStringList{u8("организация=Томский политехнический университет"),
                       u8("кафедра=Кафедра теоретической и общей электротехники"),
                       u8("заставка=Основы электротехники"),
                       u8("авторы=Составители:"),
                       u8("авторы=         доц. Иванов И. И., ст. преп. Петрова А. С."),
                       u8("авторы=         e-mail: toe@example.ru"),
                       u8("место=Томск"),
                       u8("год=2025")};
    // Too wide even in 11 pixels: two lines, and the rest moves down.
    QTest::newRow("an organisation's full name")
        << QStringList{u8("организация=Федеральное государственное автономное образовательное "
                          "учреждение высшего образования «Национальный исследовательский "
                          "Томский политехнический университет»"),
                       u8("место=Санкт-Петербург")};
  }

  void titleTextsFitTheirLabels() {
    QFETCH(QStringList, kursLines);
    std::vector<std::string> lines;
    for (const QString& line : kursLines) lines.push_back(*toCp1251(line));
    TForm1 title(nullptr, parseCourseIdentity(lines));
    const QList<QLabel*> labels = title.findChildren<QLabel*>();
    for (QLabel* label : labels) {
      const QString name = label->objectName();
      QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(name));
      QVERIFY2(label->geometry().right() <= title.width(), qPrintable(name));  // Label3 is 593 wide
      QVERIFY2(label->geometry().bottom() < title.height(), qPrintable(name));
      QVERIFY2(label->font().pixelSize() >= 11, qPrintable(name));
      for (QLabel* other : labels)
        if (other != label && !label->text().isEmpty() && !other->text().isEmpty())
          QVERIFY2(!QRect(label->pos(), label->sizeHint())
                        .intersects(QRect(other->pos(), other->sizeHint())),
                   qPrintable(name + QLatin1Char('/') + other->objectName()));
    }
    const auto button = child<QPushButton>(title, "Button1")->geometry();
    QVERIFY(button.bottom() < title.height());
    if (!kursLines.isEmpty() && kursLines.front().startsWith(u8("организация=Фед"))) {
      QVERIFY(child<QLabel>(title, "Label1")->text().contains(QLatin1Char('\n')));
      QVERIFY(title.height() > 436);
    }
  }
};

QTEST_MAIN(TitleHelpTest)
#include "title_help_test.moc"
