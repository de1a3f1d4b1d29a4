// Every window of the program, drawn with the sample course and saved as PNG
// files into the folder given on the command line, so that a change to fonts
// or start-up can be checked pixel for pixel against the looks before it:
//   QT_QPA_PLATFORM=offscreen window_shots DIR
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <cstdio>
#include <memory>

#include "app/ui/help_window.h"
#include "app/ui/main_window.h"
#include "app/ui/title_window.h"
#include "bank/question_bank.h"
#include "bank/ui/mode_window.h"
#include "bank/ui/range_window.h"
#include "exam/ui/registration_window.h"
#include "exam/ui/report_window.h"
#include "exam/ui/testing_window.h"
#include "platform/ui/design.h"
#include "study/ui/browser_window.h"
#include "study/ui/consultation_window.h"
#include "study/ui/diagram_window.h"
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

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: window_shots DIR\n", stderr);
    return 2;
  }
  outputFolder = QString::fromLocal8Bit(argv[1]);
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

  SessionState session;
  session.TopicCount = 4;
  session.SelectedTopic = 1;
  session.RangeFirst = 1;
  session.RangeLast = 35;
  session.TopicTitles = {"all", "first"};
  session.CandidateName = "Ivanov";
  session.CandidateCode = "7";
  session.CandidateGroup = "M-121";
  const BankLoad load = loadBank(folder.path(), 1, 4);
  if (load.error) {
    std::fputs("window_shots: the sample course did not load\n", stderr);
    return 1;
  }
  const QuestionBank& bank = load.bank;

  TForm3 help(nullptr);
  showAndSave(help, QStringLiteral("TForm3"));
  TForm4 mode(session, services, nullptr);
  showAndSave(mode, QStringLiteral("TForm4"));
  TForm5 browser(bank, nullptr);
  showAndSave(browser, QStringLiteral("TForm5"));
  TForm6 range(session, services, loadRanges(folder.path(), session.SelectedTopic),
               bank.QuestionTexts.size(), nullptr);
  showAndSave(range, QStringLiteral("TForm6"));
  TForm7 selfControl(session, bank, services, nullptr);
  showAndSave(selfControl, QStringLiteral("TForm7"));
  TForm8 consultation(session, bank, 0, services, nullptr);
  showAndSave(consultation, QStringLiteral("TForm8"));
  TForm9 diagram(session, services, nullptr);
  showAndSave(diagram, QStringLiteral("TForm9"));
  TForm10 registration(session, services, nullptr);
  showAndSave(registration, QStringLiteral("TForm10"));
  TForm11 testing(session, bank, services, nullptr);
  showAndSave(testing, QStringLiteral("TForm11"));
  for (const int errors : {0, 3}) {
    session.SelectedMode = 1;
    TestResults results;
    results.AnswerCount = 10;
    results.ErrorCount = static_cast<std::uint16_t>(errors);
    results.end = TestEnd::TenAnswers;
    TForm12 report(session, results, services, nullptr);
    showAndSave(report, QStringLiteral("TForm12-%1").arg(errors));
  }
  std::printf("%d windows saved in %s\n", saved, qPrintable(outputFolder));
  return 0;
}
