// The editor's window on a copy of the sample course: a question, an option and
// the right answer changed through the fields, Ctrl+Z and Ctrl+Y from within a
// field, the save, and the course that results.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include "author/ui/editor_prompts.h"
#include "author/ui/editor_window.h"
#include "author/ui/question_panel.h"
#include "check/course_check.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"
#include "support/test_support.h"

namespace {

class FakePrompts final : public EditorPrompts {
 public:
  Answer askSave(QWidget*, const QString& text) override {
    asked << text;
    return Answer::Cancel;
  }
  bool confirm(QWidget*, const QString&, const QString& text) override {
    asked << text;
    return false;
  }
  QString chooseOpenFile(QWidget*, const QString&, const QString&) override {
    return files.isEmpty() ? QString() : files.takeFirst();
  }
  void inform(QWidget*, const QString&, const QString& text) override { told << text; }
  QString chooseFolder(QWidget*, const QString&) override { return {}; }
  QString chooseSaveFile(QWidget*, const QString&, const QString&, QString*) override {
    return saveAs;
  }
  std::optional<int> askNumber(QWidget*, const QString&, const QString&, int, int, int) override {
    return std::nullopt;
  }
  std::optional<QString> askText(QWidget*, const QString&, const QString&,
                                 const QString&) override {
    return std::nullopt;
  }
  bool startProgram(const QString& program, const QString& folder) override {
    started << program + u8(" ") + folder;
    return true;
  }
  QStringList asked, told, started;
  QStringList files;  // what the file chooser hands out, in turn
  QString saveAs;
};

// Types text key by key, as a keyboard would (QTest::keyClicks takes Latin-1 only).
void type(QWidget* widget, const QString& text) {
  for (const QChar c : text)
    QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), {});
}

void trigger(QWidget& window, const char* text) {
  for (QAction* action : window.findChildren<QAction*>())
    if (action->text() == u8(text)) action->trigger();
}

std::string fileText(const TempFolder& folder, const char* name) {
  return *readText(folder.path() + name);
}

}  // namespace

class EditorWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void editsSaveIntoTheFilesAndTheCourseChecksClean() {
    TempFolder folder;
    folder.copySampleCourse();
    const std::string before[] = {fileText(folder, "main.txt"), fileText(folder, "konsult.txt"),
                                  fileText(folder, "diapazon.txt")};
    FakePrompts prompts;
    QSettings settings(QString::fromStdString(folder.path() + "editor.ini"), QSettings::IniFormat);
    EditorWindow window(prompts, settings);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(window.openFolder(QString::fromStdString(folder.path())));
    window.selectPlace({1, 1});
    QuestionPanel* panel = window.panel();

    panel->questionText()->setFocus();
    panel->questionText()->selectAll();
    type(panel->questionText(), u8("Единица силы тока?"));
    QCOMPARE(window.windowTitle().contains(u8("[*]")), true);
    QVERIFY(window.isWindowModified());
    // The course's undo, not the field's: the whole typing is one step.
    QTest::keyClick(panel->questionText(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(panel->questionText()->toPlainText(),
             u8("В каких единицах измеряется сила электрического тока?"));
    QTest::keyClick(panel->questionText(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(panel->questionText()->toPlainText(), u8("Единица силы тока?"));

    panel->options()->item(0, 1)->setText(u8("Вольт"));
    panel->options()->item(2, 0)->setCheckState(Qt::Checked);
    QCOMPARE(panel->rightAnswer()->currentText(), u8("3 — Ом"));
    QVERIFY(window.save());
    QVERIFY(!window.isWindowModified());

    const std::string questions = fileText(folder, "vopros.txt");
    const std::string answers = fileText(folder, "otvet.txt");
    QVERIFY(questions.find(cp("\r\n_002_3_1_Единица силы тока?\r\n")) != std::string::npos);
    QVERIFY(answers.find(cp("**_1_2_3_4_5_6_\r\n_1_Вольт\r\n_2_Ампер (А)\r\n")) !=
            std::string::npos);
    QCOMPARE(fileText(folder, "main.txt"), before[0]);
    QCOMPARE(fileText(folder, "konsult.txt"), before[1]);
    QCOMPARE(fileText(folder, "diapazon.txt"), before[2]);
    const CourseCheck check = checkCourse(folder.path(), folder.path());
    QCOMPARE(check.errors(), std::size_t(0));
    QVERIFY(prompts.told.isEmpty());

    // The live check saw the edited course; "Курс → Запустить" starts the program there.
    QTRY_VERIFY(window.checker().lastVersion() == window.session().model().document().version());
    QVERIFY(window.findChild<QLabel*>(u8("CheckSummary"))->text().contains(u8("ошибок 0")));
    trigger(window, "&Запустить");
    QCOMPARE(prompts.started.size(), 1);
    QVERIFY(prompts.started.front().endsWith(QString::fromStdString(folder.path()).chopped(1)));
  }

  // The new user's course: the template, a picture, a topic imported from GIFT.
  void aNewCourseWithAPictureAndAnImportedTopicChecksClean() {
    TempFolder work;
    work.write("bank.gift",
               "::a:: Сколько будет 2+2? {=4 ~5 ~3}\n\n::b:: Столица? {~Тверь =Москва}\n");
    FakePrompts prompts;
    QSettings settings(QString::fromStdString(work.path() + "editor.ini"), QSettings::IniFormat);
    EditorWindow window(prompts, settings);
    const QString course = QString::fromStdString(work.path() + "course");
    QVERIFY(window.createCourse(course));
    QVERIFY(window.isWindowModified());
    window.selectPlace({1, 0});
    prompts.files << QStringLiteral(SAMPLE_COURSE_DIR "/diagram2.jpg")
                  << QString::fromStdString(work.path() + "bank.gift");
    window.panel()->choosePicture()->click();
    QCOMPARE(window.panel()->diagram()->value(), 1);
    trigger(window, "&Импорт…");
    QVERIFY(prompts.told.back().startsWith(u8("Перенесено вопросов: 2; пропущено: 0.")));
    QCOMPARE(window.session().model().topicCount(), std::size_t(2));
    // Shuffled as the converter shuffles a bank: "=4" is not left the first option.
    QVERIFY(window.session().model().question(2, 0).rightDigit != 1);
    QVERIFY(window.save());

    const std::string folder = work.path() + "course/";
    QCOMPARE(fileText(work, "course/diagram1.jpg"), *readText(SAMPLE_COURSE_DIR "/diagram2.jpg"));
    QCOMPARE(fileText(work, "course/graph.txt"), std::string("1 diagram1.jpg\r\n"));
    const CourseCheck check = checkCourse(folder, folder);
    QCOMPARE(summaryLine(check), cp("Курс: 2 темы, 4 вопроса; ошибок 0, предупреждений 0."));
    prompts.saveAs = QString::fromStdString(work.path() + "out.gift");
    trigger(window, "&Экспорт…");
    QVERIFY(prompts.told.back().startsWith(u8("Записано вопросов: 4 в «out.gift»")));
    QVERIFY(fileText(work, "out.gift").find("Столица?") != std::string::npos);
    // A name typed without its extension does not replace the file that has it unasked.
    work.write("old.xml", "kept");
    prompts.saveAs = QString::fromStdString(work.path() + "old");
    trigger(window, "&Экспорт…");
    QCOMPARE(fileText(work, "old.xml"), std::string("kept"));
  }

  // A finding leads to its question; a file changed on disk and unsaved changes are asked about.
  void findingsLeadToThePlaceAndNothingIsLostUnasked() {
    TempFolder folder;
    folder.copySampleCourse();
    FakePrompts prompts;
    QSettings settings(QString::fromStdString(folder.path() + "editor.ini"), QSettings::IniFormat);
    EditorWindow window(prompts, settings);
    window.show();
    QVERIFY(window.openFolder(QString::fromStdString(folder.path())));
    window.selectPlace({1, 7});  // question 8, right with option 2 of its own set
    window.panel()->options()->setCurrentCell(1, 1);
    for (QPushButton* button : window.panel()->findChildren<QPushButton*>())
      if (button->text() == u8("&Удалить вариант")) button->click();
    QTRY_VERIFY(window.findings()->topLevelItemCount() == 1);
    QVERIFY(window.findings()->topLevelItem(0)->text(1).contains(u8("правильный ответ вопроса 8")));
    window.selectPlace({2, 0});
    emit window.findings()->itemActivated(window.findings()->topLevelItem(0), 0);
    QCOMPARE(window.panel()->place(), (Place{1, 7}));
    // Ctrl+Z of a move shows the question moved back, not the one now in its place.
    trigger(window, "Вопрос &ниже");
    QCOMPARE(window.panel()->place(), (Place{1, 8}));
    window.session().undoStack().undo();
    QCOMPARE(window.panel()->place(), (Place{1, 7}));

    folder.write("otvet.txt", "+++1\r\n");
    QVERIFY(!window.save());
    QVERIFY(prompts.asked.back().contains(u8("otvet.txt")));
    QCOMPARE(fileText(folder, "otvet.txt"), std::string("+++1\r\n"));

    window.close();
    QVERIFY(window.isVisible());
    QVERIFY(prompts.asked.back().contains(u8("Сохранить изменения?")));
  }

  // The findings on the course open before never stand for the one opened after it.
  void anotherCourseIsNotJudgedByTheCheckOfTheOneBefore() {
    TempFolder broken, clean;
    broken.copySampleCourse();
    broken.write("vopros.txt", "+++1\r\n_001_9_1_Q\r\n");
    clean.copySampleCourse();
    FakePrompts prompts;
    QSettings settings(QString::fromStdString(clean.path() + "editor.ini"), QSettings::IniFormat);
    EditorWindow window(prompts, settings);
    QVERIFY(window.openFolder(QString::fromStdString(broken.path())));
    QTRY_VERIFY(window.checker().lastVersion() == window.session().model().document().version());
    QVERIFY(window.findings()->topLevelItemCount() > 0);
    QVERIFY(window.openFolder(QString::fromStdString(clean.path())));
    QCOMPARE(window.findings()->topLevelItemCount(), 0);
    QVERIFY(window.save());
    QVERIFY(prompts.told.isEmpty());
  }
};

QTEST_MAIN(EditorWindowTest)
#include "editor_window_test.moc"
