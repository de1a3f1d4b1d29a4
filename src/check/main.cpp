// vorsanit-check: checks a course folder before it reaches a classroom.
#include <langinfo.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <string_view>

#include "check/course_check.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

std::string codeset;

void print(std::FILE* stream, std::string_view cp1251) {
  const std::string text = forTerminal(cp1251, codeset) + "\n";
  std::fwrite(text.data(), 1, text.size(), stream);
}

constexpr std::string_view kHelp =
    "Использование: vorsanit-check [--strict] ПАПКА_КУРСА\n"
    "\n"
    "Проверяет файлы курса в папке: main.txt, vopros.txt, otvet.txt, konsult.txt,\n"
    "diapazon.txt и kurs.txt, а также карту диаграмм graph.txt и рисунки, которые ищутся\n"
    "в папке курса, а затем в текущей папке, как их ищет программа, запущенная\n"
    "с папкой курса (vorsanit ПАПКА_КУРСА).\n"
    "\n"
    "Каждая находка выводится строкой «файл:строка: вид: сообщение».\n"
    "Ошибка - то, из-за чего программа откажется начать работу с темой или со\n"
    "всеми темами; предупреждение - то, что программа примет, но ученик увидит\n"
    "неверным; замечание - то, что программа сделает как задумано (например,\n"
    "переведет файл из UTF-8 в 1251). В конце выводится итог по курсу.\n"
    "\n"
    "  --strict  считать ошибками и предупреждения (код завершения 1)\n"
    "\n"
    "Код завершения: 0 - ошибок нет, 1 - есть ошибки, 2 - папку не удается прочитать.";

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  codeset = nl_langinfo(CODESET);
  if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
    print(stdout, cp(kHelp));
    return 0;
  }
  // A course that passes --strict deals no blank question and no question without options.
  const bool strict = argc == 3 && std::string_view(argv[1]) == "--strict";
  if (argc != 2 && !strict) {
    print(
        stderr,
        cp("Использование: vorsanit-check [--strict] ПАПКА_КУРСА (подробнее: vorsanit-check --help)"));
    return 2;
  }
  const char* folder = argv[argc - 1];
  const CourseCheck check = checkCourse(asFolder(folder), "");
  if (!check.readable) {
    // The folder name is already in the terminal's encoding.
    const std::string text = forTerminal(cp("vorsanit-check: папку «"), codeset) + folder +
                             forTerminal(cp("» не удается прочитать."), codeset) + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    return 2;
  }
  // In UTF-8 a finding can show the character code page 1251 lacks.
  for (const Finding& finding : check.findings) {
    const std::string text = utf8ForTerminal(formatFindingUtf8(finding), codeset) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
  }
  print(stdout, summaryLine(check));
  return check.errors() > 0 || (strict && check.warnings() > 0) ? 1 : 0;
}
