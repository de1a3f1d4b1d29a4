// vorsanit-editor: a course folder opened for editing, or the editor waiting
// for one to be opened or created.
#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "author/ui/editor_prompts.h"
#include "author/ui/editor_window.h"
#include "platform/ui/design.h"

namespace {

constexpr const char* kHelp =
    "Использование: vorsanit-editor [ПАПКА]\n"
    "Редактор курса Ворсанит: темы, вопросы, варианты ответа, консультации,\n"
    "рисунки и диапазоны курса без знания формата его файлов.\n"
    "\n"
    "  ПАПКА      папка курса (main.txt, vopros.txt, otvet.txt, konsult.txt...);\n"
    "             без нее редактор предложит открыть или создать курс.\n"
    "  --help     эта справка.\n"
    "  --version  версия редактора.\n"
    "Подробнее: man vorsanit-editor, man 5 vorsanit-course.\n";

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

int main(int argc, char* argv[]) {
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("vorsanit-editor %s\n", VORS_VERSION);
      return 0;
    }
  }
  if (!displayAvailable(environment("DISPLAY"), environment("WAYLAND_DISPLAY"),
                        environment("QT_QPA_PLATFORM"),
                        std::vector<std::string>(argv + 1, argv + argc))) {
    std::fputs(noDisplayText(environment("DISPLAY"), environment("WAYLAND_DISPLAY")).c_str(),
               stderr);
    return 1;
  }
  QApplication app(argc, argv);  // takes Qt's own options off the command line
  QApplication::setApplicationName(QStringLiteral("vorsanit-editor"));
  QApplication::setOrganizationName(QStringLiteral("vorsanit"));
  QApplication::setDesktopFileName(QStringLiteral("vorsanit-editor"));
  const QStringList args = QCoreApplication::arguments();
  if (args.size() > 2) {
    std::fputs("vorsanit-editor: можно указать только одну папку курса\n", stderr);
    std::fputs(kHelp, stderr);
    return 2;
  }
  for (qsizetype i = 1; i < args.size(); ++i)
    if (args[i].startsWith(QLatin1Char('-'))) {
      std::fprintf(stderr, "vorsanit-editor: неизвестный параметр %s\n%s", qPrintable(args[i]),
                   kHelp);
      return 2;
    }
  design::installFontSubstitutions();

  QtEditorPrompts prompts;
  QSettings settings;
  EditorWindow window(prompts, settings);
  window.show();
  if (args.size() == 2) {
    const QString chosen = args[1];
    QTimer::singleShot(0, &window, [&window, chosen] { window.openFolder(chosen); });
  }
  return app.exec();
}
