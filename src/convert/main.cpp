// vorsanit-convert: question banks between a course folder and the exchange
// formats of learning platforms (Moodle XML, GIFT, Aiken).
#include <langinfo.h>
#include <sys/stat.h>

#include <cctype>
#include <clocale>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/course_folder.h"
#include "convert/formats.h"
#include "convert/text.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

std::string codeset;

// Messages are UTF-8 here; a code page 1251 terminal gets them in its code page.
void print(std::FILE* stream, const std::string& utf8) {
  const std::string text = utf8ForTerminal(utf8, codeset) + "\n";
  std::fwrite(text.data(), 1, text.size(), stream);
}

constexpr std::string_view kHelp =
    "Использование: vorsanit-convert [--from ФОРМАТ] [--to ФОРМАТ] [--force] ВХОД ВЫХОД\n"
    "\n"
    "Переносит вопросы между папкой курса и форматами систем дистанционного\n"
    "обучения. Формат узнаётся по имени: папка - папка курса, .xml - Moodle XML,\n"
    ".gift - GIFT, .txt - Aiken; --from и --to называют его явно (course, moodle,\n"
    "gift, aiken). Aiken только читается.\n"
    "\n"
    "  vorsanit-convert bank.xml kurs/     вопросы Moodle XML - в новую папку курса\n"
    "  vorsanit-convert kurs/ bank.xml     папка курса - в Moodle XML\n"
    "  vorsanit-convert kurs/ bank.gift    папка курса - в GIFT\n"
    "\n"
    "Переносятся вопросы с выбором одного верного ответа (из 2-9 вариантов) и\n"
    "вопросы «верно/неверно»; последняя часть пути категории становится темой,\n"
    "общий отзыв - пояснением. В новом курсе варианты ответа каждого вопроса\n"
    "перемешаны (одинаково при каждом переносе), а kurs.txt называет курс по\n"
    "общей верхней категории или по имени файла. Что перенести нельзя\n"
    "(другие типы вопросов, несколько верных ответов, рисунки, символы вне\n"
    "кодировки 1251...), называется с файлом и строкой. GIFT и Aiken читаются\n"
    "в UTF-8 или 1251; файл в UTF-16 не читается. Непустая папка курса и\n"
    "существующий файл не перезаписываются без --force.\n"
    "\n"
    "Код завершения: 0 - перенесены все вопросы, 1 - часть вопросов пропущена\n"
    "(они названы), 2 - перенести не удалось ничего.\n"
    "Подробнее: man 5 vorsanit-course.";

enum class Format { Course, Moodle, Gift, Aiken };

std::optional<Format> formatNamed(std::string_view name) {
  if (name == "course" || name == "folder") return Format::Course;
  if (name == "moodle" || name == "xml") return Format::Moodle;
  if (name == "gift") return Format::Gift;
  if (name == "aiken") return Format::Aiken;
  return std::nullopt;
}

bool endsWith(std::string_view s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  std::string lower;
  for (char c : s.substr(s.size() - tail.size()))
    lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == tail;
}

// A file's format by its name; anything else (a folder, a new name without a
// known ending) is a course folder.
Format formatOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return Format::Course;
  if (endsWith(path, ".xml")) return Format::Moodle;
  if (endsWith(path, ".gift")) return Format::Gift;
  if (endsWith(path, ".txt")) return Format::Aiken;
  return Format::Course;
}

// The name of a file without its folder and ending: the topic of questions without a category.
std::string stem(const std::string& path) {
  std::string name = path;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  if (const std::size_t slash = name.rfind('/'); slash != std::string::npos)
    name = name.substr(slash + 1);
  if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0)
    name = name.substr(0, dot);
  return decodeInput(name);
}

int usage() {
  print(stderr,
        "Использование: vorsanit-convert [--from ФОРМАТ] [--to ФОРМАТ] [--force] ВХОД ВЫХОД "
        "(подробнее: vorsanit-convert --help)");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  codeset = nl_langinfo(CODESET);
  std::vector<std::string> paths;
  std::optional<Format> from, to;
  bool force = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      print(stdout, std::string(kHelp));
      return 0;
    }
    if (arg == "--force") {
      force = true;
    } else if ((arg == "--from" || arg == "--to") && i + 1 < argc) {
      const std::optional<Format> f = formatNamed(argv[++i]);
      if (!f) {
        print(stderr, "vorsanit-convert: неизвестный формат «" + decodeInput(argv[i]) +
                          "» (course, moodle, gift или aiken).");
        return 2;
      }
      (arg == "--from" ? from : to) = f;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
      return usage();
    } else {
      paths.emplace_back(arg);
    }
  }
  if (paths.size() != 2) return usage();
  const std::string& input = paths[0];
  const std::string& output = paths[1];
  const Format source = from.value_or(formatOf(input));
  const Format target = to.value_or(formatOf(output));
  if (target == Format::Aiken) {
    print(
        stderr,
        "vorsanit-convert: в формат Aiken вопросы не записываются; выберите Moodle XML (.xml) или GIFT (.gift).");
    return 2;
  }

  const std::string shownInput = decodeInput(input);  // the name as messages and notes show it
  ConvertResult result;
  if (source == Format::Course) {
    result = readCourseFolder(asFolder(input));
  } else {
    const auto bytes = readText(input);
    if (!bytes) {
      // Why: missing, not a regular file, or larger than any bank the tool reads.
      print(stderr, "vorsanit-convert: " + shownInput + ": " + utf8FromCp1251(bytes.error().what));
      return 2;
    }
    result = source == Format::Moodle ? readMoodleXml(*bytes, shownInput, stem(input))
             : source == Format::Gift ? readGift(*bytes, shownInput, stem(input))
                                      : readAiken(*bytes, shownInput, stem(input));
  }

  // An input that cannot be read at all is an error; its last note says why.
  if (!result.readable) {
    for (std::size_t i = 0; i + 1 < result.notes.size(); ++i) {
      const ConvertNote& note = result.notes[i];
      print(stdout, note.file + (note.line ? ":" + std::to_string(note.line) : std::string()) +
                        (note.leftOut ? ": пропущен: " : ": замечание: ") + note.message);
    }
    const ConvertNote why = result.notes.empty()
                                ? ConvertNote{shownInput, 0, "файл не читается.", false}
                                : result.notes.back();
    print(stderr, "vorsanit-convert: " + why.file +
                      (why.line ? ":" + std::to_string(why.line) : std::string()) + ": " +
                      why.message);
    return 2;
  }
  std::size_t converted = result.course.questionCount();
  std::optional<std::string> failure;
  // A bank becomes a course whose right answers are not always first, named after its file
  // when its categories do not name it.
  const bool imported = source != Format::Course && target == Format::Course;
  if (imported) {
    shuffleOptions(result.course);
    if (result.course.name.empty()) result.course.name = stem(input);
  }
  if (result.readable && converted > 0) {
    if (target == Format::Course) {
      const CourseFiles files = renderCourse(
          result.course, source == Format::Course ? "vopros.txt" : shownInput, result.notes);
      converted = files.questionCount;
      if (converted > 0) failure = writeCourseFolder(asFolder(output), files, force);
    } else {
      const std::string bytes =
          target == Format::Moodle ? writeMoodleXml(result.course) : writeGift(result.course);
      failure = writeNewFile(output, bytes, force);
    }
  }

  for (const ConvertNote& note : result.notes)
    print(stdout, note.file + (note.line ? ":" + std::to_string(note.line) : std::string()) +
                      (note.leftOut ? ": пропущен: " : ": замечание: ") + note.message);
  if (failure) {
    print(stderr, "vorsanit-convert: " + *failure);
    return 2;
  }
  const std::size_t leftOut = result.leftOut();
  print(stdout, "Перенесено вопросов: " + std::to_string(converted) +
                    "; пропущено: " + std::to_string(leftOut) + ".");
  if (imported && converted > 0)
    print(stdout,
          "Варианты ответа каждого вопроса перемешаны (порядок задан текстом вопроса и при "
          "новом переносе тот же).");
  if (!result.readable || converted == 0) return 2;
  return leftOut > 0 ? 1 : 0;
}
