// The course editor's window drawn as PNG files into the folder given on the
// command line: on the sample course with a light and with a dark desktop
// palette, and on the largest course (9 topics of 999 questions), so that its
// looks can be compared before and after a change:
//   QT_QPA_PLATFORM=offscreen editor_shots DIR
#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>
#include <cstdio>
#include <fstream>

#include "author/ui/check_runner.h"
#include "author/ui/editor_prompts.h"
#include "author/ui/editor_window.h"
#include "platform/cp1251.h"
#include "platform/ui/design.h"
#include "support/test_support.h"

namespace {

// Answers nothing: the shots open no dialog.
class SilentPrompts final : public EditorPrompts {
 public:
  Answer askSave(QWidget*, const QString&) override { return Answer::Discard; }
  bool confirm(QWidget*, const QString&, const QString&) override { return false; }
  void inform(QWidget*, const QString&, const QString&) override {}
  QString chooseFolder(QWidget*, const QString&) override { return {}; }
  QString chooseOpenFile(QWidget*, const QString&, const QString&) override { return {}; }
  QString chooseSaveFile(QWidget*, const QString&, const QString&, QString*) override { return {}; }
  std::optional<int> askNumber(QWidget*, const QString&, const QString&, int, int, int) override {
    return std::nullopt;
  }
  std::optional<QString> askText(QWidget*, const QString&, const QString&,
                                 const QString&) override {
    return std::nullopt;
  }
  bool startProgram(const QString&, const QString&) override { return false; }
};

// A dark desktop scheme: light text on near-black windows and edits.
QPalette darkPalette() {
  QPalette p;
  const QColor window(0x2B, 0x2B, 0x2B), base(0x1E, 0x1E, 0x1E), text(0xE6, 0xE6, 0xE6);
  p.setColor(QPalette::Window, window);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, window);
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, QColor(0x3A, 0x3A, 0x3A));
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::Highlight, QColor(0x2F, 0x65, 0xCA));
  p.setColor(QPalette::HighlightedText, Qt::white);
  p.setColor(QPalette::ToolTipBase, window);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
  p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
  p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
  return p;
}

void writeLargestCourse(const std::string& folder) {
  const std::string question = cp("Какое из приведенных ниже утверждений о работе станции верно?");
  const std::string option = cp("Вариант ответа средней длины для проверки загрузки");
  const std::string consult = cp("Пояснение к вопросу: строка текста консультации средней длины.");
  std::ofstream main(folder + "main.txt", std::ios::binary);
  std::ofstream vopros(folder + "vopros.txt", std::ios::binary);
  std::ofstream otvet(folder + "otvet.txt", std::ios::binary);
  std::ofstream konsult(folder + "konsult.txt", std::ios::binary);
  for (unsigned t = 1; t <= 9; ++t) {
    main << cp("Тема ") << t << "\r\n";
    const std::string marker = "+++" + std::to_string(t) + "\r\n";
    vopros << marker;
    otvet << marker;
    konsult << marker;
    for (unsigned q = 1; q <= 999; ++q) {
      char prefix[16];
      std::snprintf(prefix, sizeof prefix, "_%03u_%u_1_", q, q % 4 + 1);
      vopros << prefix << question << ' ' << q << "\r\n";
      otvet << "**_" << q << "_\r\n";
      for (unsigned o = 1; o <= 4; ++o) otvet << '_' << o << '_' << option << "\r\n";
      konsult << "**_" << q << "_\r\n" << consult << "\r\n";
    }
  }
}

bool shoot(const QString& folder, const Place& place, const QString& file) {
  TempFolder settingsFolder;
  QSettings settings(QString::fromStdString(settingsFolder.path() + "editor.ini"),
                     QSettings::IniFormat);
  SilentPrompts prompts;
  EditorWindow window(prompts, settings);
  window.resize(1380, 900);
  window.show();
  if (!QTest::qWaitForWindowExposed(&window) || !window.openFolder(folder)) return false;
  window.selectPlace(place);
  // The live check has found what it finds.
  for (int i = 0;
       i < 500 && window.checker().lastVersion() != window.session().model().document().version();
       ++i)
    QTest::qWait(10);
  settle();
  return window.grab().save(file);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fputs("usage: editor_shots DIR\n", stderr);
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(out);
  design::installFontSubstitutions();
  TempFolder sample;
  sample.copySampleCourse();
  const QString samplePath = QString::fromStdString(sample.path());
  bool ok = shoot(samplePath, {1, 17}, out + QStringLiteral("/e-sample.png"));
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setPalette(darkPalette());
  ok = shoot(samplePath, {2, 14}, out + QStringLiteral("/e-dark.png")) && ok;
  QApplication::setPalette(QApplication::style()->standardPalette());
  TempFolder largest;
  writeLargestCourse(largest.path());
  ok = shoot(QString::fromStdString(largest.path()), {5, 499},
             out + QStringLiteral("/e-largest.png")) &&
       ok;
  std::printf("%s\n", ok ? "3 shots saved" : "a shot failed");
  return ok ? 0 : 1;
}
