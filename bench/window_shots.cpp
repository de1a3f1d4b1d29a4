// Every window of the program, drawn with the sample course and saved as PNG
// files into the folder given on the command line, so that a change to fonts
// or start-up can be checked pixel for pixel against the looks before it:
//   QT_QPA_PLATFORM=offscreen window_shots DIR
// With a course folder as well, every question of that course on both
// answering windows besides (card-self-N.png, card-test-N.png, N from 1 over
// all topics), so that a change to the card can be checked the same way:
//   QT_QPA_PLATFORM=offscreen window_shots DIR COURSE
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <cstdio>
#include <memory>

#include "app/ui/main_window.h"
#include "app/ui/title_window.h"
#include "bank/course_files.h"
#include "bank/question_bank.h"
#include "exam/ui/testing_window.h"
#include "platform/text_file.h"
#include "platform/ui/design.h"
#include "study/ui/self_control_window.h"
#include "support/test_support.h"

namespace {

QString outputFolder;
int saved = 0;

void save(QWidget* window, const QString& name) {
  const QString path = outputFolder + QLatin1Char('/') + name + QStringLiteral(".png");
  if (!window->grab().save(path))
    std::fprintf(stderr, "window_shots: cannot write %s\n", qPrintable(path));
  ++saved;
}

void showAndSave(TFormBase& window, const QString& name) {
  window.show();
  for (int i = 0; i < 200 && window.activations() == 0; ++i) QTest::qWait(10);
  settle();
  save(&window, name);
  window.hide();
}

// Every question of the course in folder, as the self-control window shows it
// after "Ввести" and as the testing window shows it when drawn. What a test
// writes (its start mark) goes to scratch, never into the course.
bool saveCards(FakeServices& fakes, const std::string& folder, const std::string& scratch) {
  const auto mainLines = readLines(folder + "main.txt");
  if (!mainLines) return false;
  const auto topics = static_cast<unsigned>(topicTitles(*mainLines).size());
  const BankLoad load = loadBank(folder, 0, topics + 1);
  if (!load.usable()) return false;
  const QuestionBank& bank = load.bank;
  SessionState session;
  session.SelectedTopic = 0;
  session.RangeFirst = 1;
  session.RangeLast = static_cast<std::uint16_t>(bank.QuestionTexts.size());
  const Services services = fakes.services(scratch);
  TForm7 self(session, bank, services, nullptr);
  self.show();
  for (int i = 0; i < 200 && self.activations() == 0; ++i) QTest::qWait(10);
  auto* number = self.findChild<QLineEdit*>(QStringLiteral("Edit1"));
  auto* enter = self.findChild<QPushButton*>(QStringLiteral("Button6"));
  for (unsigned n = 1; n <= session.RangeLast; ++n) {
    number->setText(QString::number(n));
    enter->click();
    settle();
    save(&self, QStringLiteral("card-self-%1").arg(n));

    fakes.random.script = {n - 1};
    fakes.random.next = 0;
    TForm11 testing(session, bank, services, nullptr);
    showAndSave(testing, QStringLiteral("card-test-%1").arg(n));
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2 && argc != 3) {
    std::fputs("usage: window_shots DIR [COURSE]\n", stderr);
    return 2;
  }
  outputFolder = QString::fromLocal8Bit(argv[1]);
  const std::string cardCourse =
      argc == 3 ? QDir(QString::fromLocal8Bit(argv[2])).absolutePath().toStdString() + '/' : "";
  QDir().mkpath(outputFolder);
  design::installFontSubstitutions();
  design::installStyle();
  TempFolder folder;
  folder.copySampleCourse();
  QDir::setCurrent(QString::fromStdString(folder.path()));  // graph.txt and the pictures
  FakeServices fakes;
  const Services services = fakes.services(folder.path());

  std::unique_ptr<TForm2> mainWindow;
  whileModal([&] { mainWindow = std::make_unique<TForm2>(services); },
             [&](QWidget* modal) {
               if (auto* title = qobject_cast<TForm1*>(modal); title && title->activations() > 0) {
                 settle();
                 save(title, QStringLiteral("TForm1"));
                 title->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
               }
               return true;
             });
  mainWindow->show();
  if (!QTest::qWaitForWindowExposed(mainWindow.get())) return 1;
  settle();
  save(mainWindow.get(), QStringLiteral("TForm2"));

  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Ворсанит"),
                  QStringLiteral("Отсутствует необходимый файл: main.txt"), QMessageBox::Ok);
  box.show();
  if (!QTest::qWaitForWindowExposed(&box)) return 1;
  settle();
  save(&box, QStringLiteral("QMessageBox"));
  box.hide();

  if (!forEachWindow(services, folder.path(), {{true, 0}, {true, 3}},
                     [](TFormBase& window, const QString& name) { showAndSave(window, name); })) {
    std::fputs("window_shots: the sample course did not load\n", stderr);
    return 1;
  }
  if (!cardCourse.empty() && !saveCards(fakes, cardCourse, folder.path())) {
    std::fputs("window_shots: the course did not load\n", stderr);
    return 1;
  }
  std::printf("%d windows saved in %s\n", saved, qPrintable(outputFolder));
  return 0;
}
