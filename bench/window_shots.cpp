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

#include "app/ui/main_window.h"
#include "app/ui/title_window.h"
#include "platform/ui/design.h"
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

  if (!forEachWindow(services, folder.path(), {{true, 0}, {true, 3}},
                     [](TFormBase& window, const QString& name) { showAndSave(window, name); })) {
    std::fputs("window_shots: the sample course did not load\n", stderr);
    return 1;
  }
  std::printf("%d windows saved in %s\n", saved, qPrintable(outputFolder));
  return 0;
}
