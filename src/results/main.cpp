// vorsanit-results: the protocol logs as tables and a page for the teacher.
// The logs are only ever opened for reading.
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <langinfo.h>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "platform/cp1251.h"
#include "results/analysis.h"
#include "results/log_reader.h"
#include "results/page.h"
#include "results/tables.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kWarningsPerFile = 20;
constexpr std::size_t kPlacesInSummary = 5;

std::string codeset;

// The program's own UTF-8 texts in the terminal's encoding.
std::string term(std::string_view utf8) { return forTerminal(cp1251FromUtf8(utf8), codeset); }
// Texts taken from the logs (code page 1251) in the terminal's encoding.
std::string termFromLog(const std::string& bytes) { return forTerminal(bytes, codeset); }

constexpr std::string_view kHelp =
    "Использование: vorsanit-results ЖУРНАЛ... [--out ПАПКА]\n"
    "\n"
    "Читает протоколы экзаменов и зачетов (ekzam.log, zachet.log) и пишет в ПАПКУ\n"
    "(по умолчанию текущую):\n"
    "  records.csv    одна строка на запись\n"
    "  questions.csv  одна строка на заданный вопрос: доля верных ответов и различение\n"
    "  index.html     то же с диаграммами оценок, для браузера и печати\n"
    "\n"
    "Журналы только читаются. Повреждённая запись пропускается с предупреждением,\n"
    "в котором названы файл и строка.\n"
    "\n"
    "Код завершения: 0 — прочитаны все записи, 1 — часть пропущена,\n"
    "2 — не прочитано ни одной записи.\n"
    "\n"
    "  --out ПАПКА  куда писать таблицы и страницу\n"
    "  --help       эта справка\n";

struct Place {
  std::string file;
  std::size_t line;
};

// Reads one log into `all`; false when the file itself could not be read.
bool readOne(const std::string& name, std::vector<LogRecord>& all, std::vector<Place>& skipped,
             std::vector<std::string>& notes) {
  auto problem = [&](std::string_view what) {
    std::cerr << name << ": " << term(what) << '\n';
    notes.push_back(name + ": " + std::string(what));
    return false;
  };
  std::error_code ec;
  const auto status = fs::status(name, ec);
  if (!fs::exists(status)) return problem("файл не найден.");
  if (fs::is_directory(status)) return problem("это папка, а не журнал.");
  std::ifstream in(name, std::ios::binary);  // read-only: the log is never written
  if (!in) return problem("файл не удаётся открыть для чтения.");
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return problem("ошибка чтения файла.");
  if (text.empty()) {
    problem("журнал пуст, записей нет.");
    return true;
  }

  LogContents contents;
  readLog(text, contents);
  for (std::size_t k = 0; k < contents.skipped.size(); ++k) {
    const SkippedRecord& s = contents.skipped[k];
    const std::string where = name + ':' + std::to_string(s.line);
    if (k < kWarningsPerFile)
      std::cerr << where << ": " << term("запись пропущена: ") << termFromLog(s.reason) << '\n';
    if (k < kWarningsPerFile) notes.push_back(where + ": запись пропущена: " + utf8FromCp1251(s.reason));
    skipped.push_back({name, s.line});
  }
  if (contents.skipped.size() > kWarningsPerFile) {
    const std::string more = "пропущено ещё " + std::to_string(contents.skipped.size() - kWarningsPerFile) + ".";
    std::cerr << name << ": " << term(more) << '\n';
    notes.push_back(name + ": " + more);
  }
  if (contents.records.empty() && contents.skipped.empty()) problem("записей нет.");
  else notes.push_back(name + ": записей прочитано " + std::to_string(contents.records.size()) + ".");
  all.insert(all.end(), std::make_move_iterator(contents.records.begin()),
             std::make_move_iterator(contents.records.end()));
  return true;
}

// Written beside the target and renamed over it, so a failed run leaves no half table.
bool writeFile(const fs::path& path, const std::string& content) {
  fs::path temporary = path;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) return false;
  }
  std::error_code ec;
  fs::rename(temporary, path, ec);
  if (ec) fs::remove(temporary, ec);
  return !ec;
}

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "");
  codeset = nl_langinfo(CODESET);

  std::vector<std::string> files;
  fs::path outDir = ".";
  bool options = true;
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    if (options && (arg == "--help" || arg == "-h")) {
      std::cout << term(kHelp);
      return 0;
    }
    if (options && arg == "--") {
      options = false;
    } else if (options && arg == "--out") {
      if (k + 1 == argc) {
        std::cerr << term("После --out нужна папка.\n");
        return 2;
      }
      outDir = argv[++k];
    } else if (options && arg.starts_with("--out=")) {
      outDir = arg.substr(6);
    } else if (options && arg.size() > 1 && arg[0] == '-') {
      std::cerr << term("Неизвестный параметр ") << arg << term(". Справка: vorsanit-results --help\n");
      return 2;
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) {
    std::cerr << term("Не назван ни один журнал. Справка: vorsanit-results --help\n");
    return 2;
  }

  std::vector<LogRecord> records;
  std::vector<Place> skipped;
  std::vector<std::string> notes;
  bool allFilesRead = true;
  for (const auto& file : files) allFilesRead &= readOne(file, records, skipped, notes);
  if (records.empty()) {
    std::cerr << term("Не прочитано ни одной записи; таблицы не записаны.\n");
    return 2;
  }

  const fs::path targets[] = {outDir / "records.csv", outDir / "questions.csv", outDir / "index.html"};
  std::error_code ec;
  fs::create_directories(outDir, ec);
  // A log named like one of the tables must not be overwritten by it.
  for (const auto& target : targets)
    for (const auto& file : files)
      if (fs::equivalent(target, file, ec)) {
        std::cerr << target.string() << term(": это один из журналов; выберите другую папку (--out).\n");
        return 2;
      }

  const Summary summary = summarise(records);
  const std::string contents[] = {recordsCsv(records), questionsCsv(summary.questions),
                                  resultsPage(records, summary, notes)};
  const std::string_view what[] = {"одна строка на запись", "одна строка на заданный вопрос",
                                   "то же с диаграммами, для браузера"};
  std::size_t width = 0;
  for (const auto& target : targets) width = std::max(width, target.string().size());
  for (std::size_t k = 0; k < 3; ++k) {
    if (!writeFile(targets[k], contents[k])) {
      std::cerr << targets[k].string() << term(": не удаётся записать файл.\n");
      return 2;
    }
    std::cout << targets[k].string() << std::string(width - targets[k].string().size() + 5, ' ') << term(what[k])
              << '\n';
  }

  std::string line = "Записей: " + std::to_string(records.size()) + " (экзамен " + std::to_string(summary.exams) +
                     ", зачет " + std::to_string(summary.passFail) + ")";
  std::cout << term(line);
  if (!skipped.empty()) {
    std::cout << term("; повреждённых записей пропущено: ") << skipped.size() << " (";
    for (std::size_t k = 0; k < skipped.size() && k < kPlacesInSummary; ++k)
      std::cout << (k ? ", " : "") << skipped[k].file << ':' << skipped[k].line;
    if (skipped.size() > kPlacesInSummary)
      std::cout << term(" и ещё ") << skipped.size() - kPlacesInSummary;
    std::cout << ')';
  }
  std::cout << ".\n";
  return skipped.empty() && allFilesRead ? 0 : 1;
}
