#include "app/command_line.h"

#include <filesystem>

namespace fs = std::filesystem;

#ifndef VORS_VERSION
#define VORS_VERSION "0"
#endif

CommandLine parseCommandLine(const std::vector<std::string>& args) {
  CommandLine line;
  bool folderGiven = false;
  for (const std::string& arg : args) {
    if (arg == "--help" || arg == "-h") return {CommandLine::Action::Help, {}, {}};
    if (arg == "--version") return {CommandLine::Action::Version, {}, {}};
  }
  for (const std::string& arg : args) {
    if (arg == "--sample") {
      line.action = CommandLine::Action::RunSample;
    } else if (!arg.empty() && arg[0] == '-') {
      return {CommandLine::Action::Error, {}, "неизвестный параметр " + arg};
    } else if (folderGiven) {
      return {CommandLine::Action::Error, {}, "можно указать только одну папку курса"};
    } else {
      folderGiven = true;
      line.folder = arg;
    }
  }
  if (line.action == CommandLine::Action::RunSample && folderGiven)
    return {CommandLine::Action::Error, {}, "--sample не сочетается с папкой курса"};
  return line;
}

std::string helpText() {
  return "Использование: vorsanit [ПАПКА | --sample]\n"
         "Ворсанит — самостоятельное изучение и проверка знаний по курсу.\n"
         "\n"
         "  ПАПКА      папка курса: main.txt, vopros.txt, otvet.txt, konsult.txt,\n"
         "             diapazon.txt читаются из нее, туда же пишутся протоколы\n"
         "             ekzam.log и zachet.log; graph.txt и рисунки ищутся\n"
         "             сначала в ней, затем в текущей папке. Без папки\n"
         "             используется папка программы (рисунки: сначала\n"
         "             текущая папка, затем она).\n"
         "  --sample   пример курса: при первом запуске копируется в\n"
         "             ~/.local/share/vorsanit/course и запускается оттуда.\n"
         "  --help     эта справка.\n"
         "  --version  версия программы.\n";
}

std::string noDisplayText(const std::string& display, const std::string& wayland) {
  std::string where;
  if (!display.empty()) where = "дисплей " + display + " недоступен";
  if (!wayland.empty())
    where += (where.empty() ? "" : ", ") + ("дисплей Wayland " + wayland + " недоступен");
  if (where.empty()) where = "переменные DISPLAY и WAYLAND_DISPLAY не заданы";
  return "vorsanit: нет графического дисплея (" + where +
         ").\n"
         "Программе нужен графический сеанс. Без него её можно запустить\n"
         "на виртуальном дисплее (пакет xvfb):\n"
         "  xvfb-run -a vorsanit [ПАПКА | --sample]\n";
}

bool displayAvailable(const std::string& display, const std::string& wayland,
                      const std::string& qpaPlatform, const std::vector<std::string>& args) {
  if (!display.empty() || !wayland.empty() || !qpaPlatform.empty()) return true;
  for (const std::string& arg : args)
    if (arg == "-platform" || arg == "--platform") return true;
  return false;
}

std::string versionText() { return std::string("vorsanit ") + VORS_VERSION + "\n"; }

std::string prepareSampleCourse(const std::string& sampleSource, const std::string& dataFolder) {
  std::error_code ec;
  const fs::path target(dataFolder);
  if (fs::is_regular_file(target / "main.txt", ec)) return {};
  if (!fs::is_regular_file(fs::path(sampleSource) / "main.txt", ec))
    return "пример курса не найден в " + sampleSource;
  fs::create_directories(target, ec);
  if (ec) return "не удалось создать папку " + dataFolder + ": " + ec.message();
  // main.txt goes last, so that its presence means a whole copy.
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(sampleSource, ec)) {
    const std::string name = entry.path().filename().string();
    // The sample's files only: a program or an old log beside them stays where it is.
    if (!entry.is_regular_file() || name.ends_with(".log") || name.starts_with("vorsanit"))
      continue;
    if (name != "main.txt") files.push_back(entry.path());
  }
  if (ec) return "не удалось прочитать папку " + sampleSource + ": " + ec.message();
  files.push_back(fs::path(sampleSource) / "main.txt");
  for (const fs::path& file : files) {
    fs::copy_file(file, target / file.filename(), fs::copy_options::skip_existing, ec);
    if (ec) return "не удалось скопировать " + file.filename().string() + ": " + ec.message();
  }
  return {};
}
