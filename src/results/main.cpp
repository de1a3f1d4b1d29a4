// vorsanit-results: the protocol logs as tables and pages for the teacher.
// The logs and the start journals beside them are only ever opened for
// reading, and read one record (or line) at a time.
#include <fcntl.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <ctime>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exam/protocol_log.h"
#include "exam/records_server.h"
#include "exam/test_session.h"
#include "platform/cp1251.h"
#include "results/analysis.h"
#include "results/course_index.h"
#include "results/log_reader.h"
#include "results/output_set.h"
#include "results/page.h"
#include "results/protocols.h"
#include "results/record_check.h"
#include "results/server_compare.h"
#include "results/start_journal.h"
#include "results/tables.h"
#include "results/workbook.h"

namespace {

constexpr std::size_t kWarningsPerFile = 20;
constexpr std::size_t kPlacesInSummary = 5;
// What the page keeps of the unfinished tests (the latest) and of the records
// that cannot be true (the first); the CSV files and the workbook hold them all.
constexpr std::size_t kUnfinishedKept = 2000, kImpossibleKept = 1000;
// A field kept for the page is cut to this many bytes; the page shows fewer.
constexpr std::size_t kKeptFieldBytes = 200;
// protocols.html past this size is no file a browser prints (a sheet takes
// about 2.5 kB): the teacher is asked to choose the records instead.
constexpr std::size_t kProtocolsBytes = 32 * 1024 * 1024;

std::string codeset;

// The program's own UTF-8 texts in the terminal's encoding.
std::string term(std::string_view utf8) { return utf8ForTerminal(utf8, codeset); }
// Texts in code page 1251 (from the logs, or the system's reasons) in the terminal's encoding.
std::string termFromCp(const std::string& bytes) { return forTerminal(bytes, codeset); }
// An argument typed in the terminal as the logs have it.
std::string fromTerminal(const std::string& text) { return cp1251FromTerminal(text, codeset); }

constexpr std::string_view kHelp =
    "Использование: vorsanit-results ЖУРНАЛ... [--out ПАПКА] [--course ПАПКА]\n"
    "                                [--from ДАТА] [--to ДАТА] [--group ГРУППА]\n"
    "                                [--protocols] [--readable]\n"
    "       vorsanit-results --db СТРОКА [ЖУРНАЛ...] [те же параметры]\n"
    "       vorsanit-results --init-db СТРОКА\n"
    "\n"
    "Читает протоколы экзаменов и зачетов (ekzam.log, zachet.log) и журналы начала\n"
    "тестов рядом с ними (ekzam.start, zachet.start) или, с --db, протоколы и отметки\n"
    "начала с сервера протоколов и пишет в ПАПКУ (по умолчанию текущую):\n"
    "  records.csv     одна строка на запись (с --db ещё компьютер, учётная запись,\n"
    "                  адрес и время сервера)\n"
    "  questions.csv   одна строка на заданный вопрос: доля верных ответов, различение,\n"
    "                  сколько раз выбран каждый вариант ответа\n"
    "  candidates.csv  одна строка на кандидата: тестов, последний результат и его дата,\n"
    "                  незаконченных тестов\n"
    "  unfinished.csv  одна строка на тест, начатый и не законченный\n"
    "  impossible.csv  одна строка на запись, которая не может быть правдой\n"
    "  mismatches.csv  (с --db и журналами) записи журналов, которых нет на сервере,\n"
    "                  и записи сервера, которых нет в журналах\n"
    "  results.xlsx    те же таблицы для Excel и LibreOffice\n"
    "  index.html      то же с диаграммами оценок, для браузера и печати\n"
    "  protocols.html  (с --protocols) протокол каждой записи на отдельном листе A4\n"
    "\n"
    "Журналы только читаются. Повреждённая запись пропускается с предупреждением,\n"
    "в котором названы файл и строка; запись, поля которой противоречат друг другу,\n"
    "не учитывается и названа с причиной. Файлы пишутся все вместе или ни один,\n"
    "и только в вашу папку, в которую не могут писать другие; читать их можете\n"
    "только вы (с --readable — все).\n"
    "\n"
    "Код завершения: 0 — прочитаны и учтены все записи, 1 — часть пропущена\n"
    "или не учтена (или журналы расходятся с сервером), 2 — не прочитано ни одной\n"
    "записи или файлы не записаны.\n"
    "\n"
    "  --out ПАПКА      куда писать таблицы и страницы\n"
    "  --course ПАПКА   папка курса: показать тему, номер в теме и начало текста вопроса\n"
    "  --from ДАТА      только записи с этой даты (ДД.ММ.ГГГГ) включительно\n"
    "  --to ДАТА        только записи по эту дату включительно\n"
    "  --group ГРУППА   только записи этой группы (можно повторить; пробелы по краям\n"
    "                   и заглавные буквы не важны)\n"
    "  --protocols      записать и protocols.html\n"
    "  --readable       файлы доступны для чтения всем (права 0644), а не только вам\n"
    "  --db СТРОКА      читать записи с сервера протоколов (PostgreSQL; строка\n"
    "                   подключения libpq, например postgresql://учитель@сервер/vorsanit);\n"
    "                   названные журналы сверяются с ним\n"
    "  --init-db СТРОКА создать в базе таблицы протоколов и роль vorsanit_seat,\n"
    "                   которая может только добавлять записи (повторный запуск\n"
    "                   ничего не меняет); запускает владелец базы\n"
    "  --help           эта справка\n";

struct Filter {
  std::optional<long> from, to;     // days, as civilDay counts them
  std::vector<std::string> groups;  // as matchKey has them
  bool any() const { return from || to || !groups.empty(); }
  bool keeps(const std::string& date, const std::string& group) const {
    if (from || to) {
      const auto day = civilDay(date);
      if (!day || (from && *day < *from) || (to && *day > *to)) return false;
    }
    if (groups.empty()) return true;
    return std::find(groups.begin(), groups.end(), matchKey(group)) != groups.end();
  }
};

struct Options {
  std::vector<std::string> logs;
  std::string outDir = ".";
  std::optional<std::string> courseDir;
  std::optional<std::string> database, initDatabase;  // libpq connection strings
  Filter filter;
  bool protocols = false;
  bool readableByAll = false;
};

// An option: its name, whether a value follows it, and what it does; the
// returned text (UTF-8) is why the value is refused.
struct OptionRule {
  std::string_view name;
  bool takesValue;
  std::function<std::optional<std::string>(Options&, const std::string& value)> apply;
};

std::optional<std::string> dayOption(std::optional<long>& into, std::string_view option,
                                     const std::string& value) {
  if ((into = civilDay(value))) return std::nullopt;
  return datedLikeTheProgram(value)
             ? "Дата после " + std::string(option) + " " + value + " не бывает."
             : "Дата после " + std::string(option) + " пишется как 05.03.2024.";
}

const std::vector<OptionRule>& optionRules() {
  static const std::vector<OptionRule> rules{
      {"--out", true,
       [](Options& o, const std::string& v) -> std::optional<std::string> {
         o.outDir = v;
         return std::nullopt;
       }},
      {"--course", true,
       [](Options& o, const std::string& v) -> std::optional<std::string> {
         o.courseDir = v;
         return std::nullopt;
       }},
      {"--group", true,
       [](Options& o, const std::string& v) -> std::optional<std::string> {
         o.filter.groups.push_back(matchKey(fromTerminal(v)));
         return std::nullopt;
       }},
      {"--from", true,
       [](Options& o, const std::string& v) { return dayOption(o.filter.from, "--from", v); }},
      {"--to", true,
       [](Options& o, const std::string& v) { return dayOption(o.filter.to, "--to", v); }},
      {"--db", true,
       [](Options& o, const std::string& v) -> std::optional<std::string> {
         o.database = v;
         return std::nullopt;
       }},
      {"--init-db", true,
       [](Options& o, const std::string& v) -> std::optional<std::string> {
         o.initDatabase = v;
         return std::nullopt;
       }},
      {"--protocols", false,
       [](Options& o, const std::string&) -> std::optional<std::string> {
         o.protocols = true;
         return std::nullopt;
       }},
      {"--readable", false,
       [](Options& o, const std::string&) -> std::optional<std::string> {
         o.readableByAll = true;
         return std::nullopt;
       }},
  };
  return rules;
}

// The options, or the exit status when the run ends here (help, or a fault).
std::optional<Options> parseOptions(int argc, char** argv, int& exit) {
  Options o;
  bool options = true;
  int initArguments = 0;  // what --init-db and its value took of the command line
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    if (options && (arg == "--help" || arg == "-h")) {
      std::cout << term(kHelp);
      exit = 0;
      return std::nullopt;
    }
    if (!options || arg.size() < 2 || arg[0] != '-') {
      o.logs.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options = false;
      continue;
    }
    // "--name VALUE" or "--name=VALUE".
    const int first = k;
    const OptionRule* rule = nullptr;
    std::string value;
    for (const OptionRule& r : optionRules()) {
      if (arg == r.name) {
        rule = &r;
        if (r.takesValue) {
          if (k + 1 == argc) {
            std::cerr << term("После " + std::string(r.name) + " нужно значение.\n");
            exit = 2;
            return std::nullopt;
          }
          value = argv[++k];
        }
      } else if (r.takesValue && arg.starts_with(std::string(r.name) + "=")) {
        rule = &r;
        value = arg.substr(r.name.size() + 1);
      }
      if (rule) break;
    }
    if (!rule) {
      std::cerr << term("Неизвестный параметр ") << arg
                << term(". Справка: vorsanit-results --help\n");
      exit = 2;
      return std::nullopt;
    }
    if (const auto refused = rule->apply(o, value)) {
      std::cerr << term(*refused + "\n");
      exit = 2;
      return std::nullopt;
    }
    if (rule->name == "--init-db") initArguments += k - first + 1;
  }
  if (o.initDatabase && initArguments != argc - 1) {
    std::cerr << term("--init-db не сочетается с другими параметрами.\n");
    exit = 2;
    return std::nullopt;
  }
  if (o.logs.empty() && !o.database && !o.initDatabase) {
    std::cerr << term("Не назван ни один журнал. Справка: vorsanit-results --help\n");
    exit = 2;
    return std::nullopt;
  }
  return o;
}

struct LogFile {
  std::string name;
  dev_t device = 0;
  ino_t inode = 0;
};

// Whether the file is one of these already, under whatever name.
bool listed(const std::vector<LogFile>& files, const struct stat& info) {
  return std::any_of(files.begin(), files.end(), [&](const LogFile& f) {
    return f.device == info.st_dev && f.inode == info.st_ino;
  });
}

// A start journal beside a log, open from the first reading to the second so
// that both read the same file.
struct Journal {
  std::string name;
  int fd = -1;
  std::size_t bytes = 0;  // read the first time; the second reading stops there
};

struct Run {
  std::vector<std::string> notes;  // UTF-8, for the page
  std::size_t skipped = 0, impossible = 0, unfinished = 0;
  // The first few of each, "file:line".
  std::vector<std::string> skippedPlaces, impossiblePlaces, unfinishedPlaces;
  bool allFilesRead = true;
  int filtered = 0;
  void note(const std::string& name, std::string_view what) {
    std::cerr << name << ": " << term(what) << '\n';
    notes.push_back(name + ": " + std::string(what));
  }
  void problem(const std::string& name, std::string_view what) {
    note(name, what);
    allFilesRead = false;
  }
};

// Opens a log or journal for reading: only a regular file will do. A pipe or
// a device (a link to /dev/zero, say) would hang the run or never end, so the
// open does not wait and the file's kind is checked on the open descriptor.
int openForReading(const std::string& name, Run& run, struct stat& info, bool missingIsFine) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    const int e = errno;
    if (e == ENOENT && missingIsFine) return -1;
    if (e == ENOENT)
      run.problem(name, "файл не найден.");
    else if (e == ELOOP)
      run.problem(name, "символические ссылки замкнуты в петлю.");
    else if (e == EACCES || e == EPERM)
      run.problem(name, "нет права на чтение.");
    else if (e == ENOTDIR)
      run.problem(name, "путь проходит через то, что не является папкой.");
    else if (e == ENXIO)
      run.problem(name, "это не обычный файл.");
    else
      run.problem(name, "файл не удаётся открыть: " + utf8FromCp1251(failureReason(e)) + ".");
    return -1;
  }
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    run.problem(name, S_ISDIR(info.st_mode) ? "это папка, а не журнал." : "это не обычный файл.");
    return -1;
  }
  return fd;
}

// The start journal beside a log: "ekzam.start" for "ekzam.log".
std::optional<std::string> journalOf(const std::string& log) {
  if (!log.ends_with(".log")) return std::nullopt;
  return log.substr(0, log.size() - 4) + ".start";
}

// Now, as a seat's clock would write it, in the terms of momentOf.
long long now() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&t, &local);
  char date[16], time[16];
  std::strftime(date, sizeof date, "%d.%m.%Y", &local);
  std::strftime(time, sizeof time, "%H:%M:%S", &local);
  return momentOf(date, time).value_or(0);
}

std::string kept(const std::string& field) { return field.substr(0, kKeptFieldBytes); }

void place(std::vector<std::string>& places, std::size_t& count, const std::string& where) {
  if (count++ < kPlacesInSummary) places.push_back(where);
}

void printPlaces(const char* what, std::size_t count, const std::vector<std::string>& places) {
  if (count == 0) return;
  std::cout << term(what) << count << " (";
  for (std::size_t k = 0; k < places.size(); ++k) std::cout << (k ? ", " : "") << places[k];
  if (count > kPlacesInSummary) std::cout << term(" и ещё ") << count - kPlacesInSummary;
  std::cout << ')';
}

// The outputs in the order they are listed, with what each holds.
struct OutputName {
  const char* name;
  const char* what;
};
constexpr OutputName kOutputs[] = {
    {"records.csv", "одна строка на запись"},
    {"questions.csv", "одна строка на заданный вопрос"},
    {"candidates.csv", "одна строка на кандидата"},
    {"unfinished.csv", "одна строка на незаконченный тест"},
    {"impossible.csv", "записи, которые не могут быть правдой"},
    {"mismatches.csv", "расхождения журналов с сервером"},
    {"results.xlsx", "те же таблицы для Excel и LibreOffice"},
    {"index.html", "то же с диаграммами, для браузера"},
    {"protocols.html", "протокол каждой записи, для печати"},
};

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "");
  codeset = nl_langinfo(CODESET);

  int exit = 0;
  const std::optional<Options> parsed = parseOptions(argc, argv, exit);
  if (!parsed) return exit;
  const Options& options = *parsed;
  const Filter& filter = options.filter;
  const std::optional<std::string>& database = options.database;

  if (options.initDatabase) {
    if (const auto problem = initRecordsDatabase(*options.initDatabase)) {
      std::cerr << term("База протоколов не подготовлена: ") << termFromCp(*problem) << ".\n";
      return 2;
    }
    std::cout << term(
        "База протоколов готова: таблицы в схеме vorsanit; роль vorsanit_seat может только "
        "добавлять записи.\n");
    return 0;
  }

  Run run;
  std::optional<CourseIndex> course;
  if (options.courseDir) {
    std::vector<std::string> faults;
    course = CourseIndex::load(*options.courseDir, faults);
    // The course only names the questions: its faults are told, the results stand.
    for (const auto& f : faults) {
      std::cerr << *options.courseDir << ": " << termFromCp(f) << '\n';
      run.notes.push_back(*options.courseDir + ": " + utf8FromCp1251(f));
    }
  }

  // Each log once: the same file named twice, or by another path, is read once.
  std::vector<LogFile> logs;
  for (const auto& name : options.logs) {
    if (name.ends_with(".start")) {
      run.problem(name, "это журнал начала тестов; он читается сам, рядом с журналом .log.");
      continue;
    }
    struct stat info {};
    const int fd = openForReading(name, run, info, false);
    if (fd < 0) continue;
    ::close(fd);
    if (listed(logs, info)) {
      run.note(name, "этот журнал уже назван; он читается один раз.");
      continue;
    }
    logs.push_back({name, info.st_dev, info.st_ino});
  }

  OutputSet outputs;
  auto writeFailed = [&]() {
    std::cerr << outputs.failurePath() << term(": не удаётся записать файл: ")
              << termFromCp(failureReason(outputs.failureCode()))
              << term(". Прежние файлы не тронуты.\n");
    return 2;
  };
  if (!outputs.open(options.outDir, options.readableByAll)) {
    if (outputs.refusal().empty()) return writeFailed();
    std::cerr << options.outDir
              << term(": результаты сюда не пишутся: " + outputs.refusal() +
                      " Выберите свою папку, например --out ~/результаты.\n");
    return 2;
  }
  // A log named like one of the outputs must not be replaced by it.
  for (const OutputName& output : kOutputs) {
    unsigned long device = 0, inode = 0;
    if (!outputs.identity(output.name, device, inode)) continue;
    for (const auto& l : logs)
      if (l.device == device && l.inode == inode) {
        std::cerr << options.outDir << '/' << output.name
                  << term(": это один из журналов; выберите другую папку (--out).\n");
        return 2;
      }
  }
  removeOutputsOnSignals();
  const int recordsFile = outputs.add("records.csv");
  const int impossibleFile = outputs.add("impossible.csv");
  const int unfinishedFile = outputs.add("unfinished.csv");
  const int workbookFile = outputs.add("results.xlsx");
  const int protocolsFile = options.protocols ? outputs.add("protocols.html") : -1;
  if (recordsFile < 0 || impossibleFile < 0 || unfinishedFile < 0 || workbookFile < 0 ||
      (options.protocols && protocolsFile < 0))
    return writeFailed();
  outputs.write(recordsFile, recordsCsvHeader(database.has_value()));
  outputs.write(impossibleFile, kImpossibleCsvHeader);
  outputs.write(unfinishedFile, kUnfinishedCsvHeader);
  std::size_t protocolsBytes = 0;
  if (options.protocols) outputs.write(protocolsFile, protocolsHead());
  Workbook workbook(outputs.pathForLibrary(workbookFile), outputs.folderForLibrary(),
                    database.has_value());

  // Reading stops once an output cannot be written, or protocols.html is too large.
  bool tooManyProtocols = false;
  auto sourceOf = [&](int fd, std::size_t limit, std::size_t* count) -> ByteSource {
    return [&outputs, &tooManyProtocols, fd, limit, count](char* into, std::size_t size) -> long {
      if (outputs.failureCode() != 0 || tooManyProtocols) {
        errno = ECANCELED;
        return -1;
      }
      const long got = ::read(fd, into, std::min(size, limit - *count));
      if (got > 0) *count += static_cast<std::size_t>(got);
      return got;
    };
  };

  // The start journals, first reading: every mark's key. A journal is read
  // also when its log is missing: a class whose every test was ended in its
  // middle has marks and no log.
  StartMarks marks;
  std::vector<Journal> journals;
  std::vector<LogFile> journalFiles;
  // With the records server the start marks are its own.
  for (const std::string& log : database ? std::vector<std::string>() : options.logs) {
    const auto name = journalOf(log);
    struct stat info {};
    const int fd = name ? openForReading(*name, run, info, true) : -1;
    if (fd < 0) continue;
    if (listed(journalFiles, info)) {
      ::close(fd);
      continue;
    }
    journalFiles.push_back({*name, info.st_dev, info.st_ino});
    Journal journal{*name, fd, 0};
    std::size_t bad = 0, firstBad = 0;
    const int error = readJournal(
        sourceOf(fd, static_cast<std::size_t>(-1), &journal.bytes),
        [&](const StartMark& m, std::size_t) { marks.add(m); },
        [&](std::size_t line) {
          if (bad++ == 0) firstBad = line;
        });
    if (error != 0) {
      run.problem(*name, "ошибка чтения: " + utf8FromCp1251(failureReason(error)) + ".");
      ::close(fd);
      continue;
    }
    if (bad > 0) {
      run.problem(*name + ':' + std::to_string(firstBad),
                  "строк, которые не являются отметками начала теста: " + std::to_string(bad) +
                      "; они пропущены.");
    }
    journals.push_back(journal);
  }
  marks.sort();

  Summariser summariser;
  std::string row;
  std::vector<ImpossibleRecord> impossibleKept;
  // A record counted: from a log, or (with its row) from the server.
  auto take = [&](const LogRecord& r, const std::string& source, const ServerRow* server) {
    summariser.add(r);
    row.clear();
    appendRecordRow(row, r, server);
    outputs.write(recordsFile, row);
    workbook.addRecord(r, server);
    if (options.protocols) {
      row.clear();
      appendProtocol(row, r, source);
      protocolsBytes += row.size();
      tooManyProtocols = protocolsBytes > kProtocolsBytes;
      outputs.write(protocolsFile, row);
    }
  };
  // A record that cannot be true: named, listed, not counted.
  auto notCounted = [&](const LogRecord& r, const ImpossibleRecord& where, bool tell) {
    const std::string at = where.line ? where.log + ':' + std::to_string(where.line) : where.log;
    if (tell)
      std::cerr << at << ": " << term("запись не учтена: ") << termFromCp(where.reason) << '\n';
    place(run.impossiblePlaces, run.impossible, at);
    ImpossibleRecord bad = where;
    bad.values = r.values;
    bad.values.listing.clear();
    row.clear();
    appendImpossibleRow(row, bad);
    outputs.write(impossibleFile, row);
    workbook.addImpossible(bad);
    if (impossibleKept.size() < kImpossibleKept) {
      for (std::string* field : {&bad.values.name, &bad.values.code, &bad.values.group,
                                 &bad.values.topic, &bad.values.date, &bad.values.time})
        *field = kept(*field);
      impossibleKept.push_back(std::move(bad));
    }
  };
  auto skippedAt = [&](const std::string& where, const std::string& reason, bool tell) {
    if (tell) run.note(where, "запись пропущена: " + utf8FromCp1251(reason));
    place(run.skippedPlaces, run.skipped, where);
  };
  // A test begun and never finished: listed, and the page keeps the latest by
  // date (a heap with the earliest on top).
  std::vector<std::pair<std::string, UnfinishedTest>> unfinishedKept;
  const auto laterFirst = [](const auto& a, const auto& b) { return a.first > b.first; };
  std::size_t running = 0;  // marks of tests that may still be running
  auto listUnfinished = [&](UnfinishedTest test, const std::string& where) {
    place(run.unfinishedPlaces, run.unfinished, where);
    row.clear();
    appendUnfinishedRow(row, test);
    outputs.write(unfinishedFile, row);
    workbook.addUnfinished(test);
    summariser.addUnfinished(test.mark);
    StartMark& m = test.mark;
    for (std::string* field : {&m.name, &m.code, &m.group, &m.topic, &m.range, &m.host, &m.id,
                               &test.seat, &test.account})
      *field = kept(*field);
    std::string key = dateKey(m.date, m.time);
    if (unfinishedKept.size() == kUnfinishedKept) {
      if (key <= unfinishedKept.front().first) return;
      std::pop_heap(unfinishedKept.begin(), unfinishedKept.end(), laterFirst);
      unfinishedKept.pop_back();
    }
    unfinishedKept.emplace_back(std::move(key), std::move(test));
    std::push_heap(unfinishedKept.begin(), unfinishedKept.end(), laterFirst);
  };

  // With the server as the source, the logs are only compared with it.
  LogServerComparison comparison;
  for (const LogFile& log : logs) {
    if (database) {
      const std::string base = log.name.substr(log.name.find_last_of('/') + 1);
      if (base == logFileName(true)) comparison.coverMode(true);
      if (base == logFileName(false)) comparison.coverMode(false);
    }
    struct stat info {};
    const int fd = openForReading(log.name, run, info, false);
    if (fd < 0) continue;
    if (info.st_size == 0) {
      ::close(fd);
      run.note(log.name, "журнал пуст, записей нет.");
      continue;
    }
    std::size_t read = 0, skipped = 0, impossible = 0, bytes = 0;
    auto onRecord = [&](const LogRecord& r) {
      ++read;
      const auto why = database ? std::nullopt : contradiction(r);
      if (!why) marks.answer(r);
      if (!filter.keeps(r.values.date, r.values.group)) {
        ++run.filtered;
        return;
      }
      if (database) {
        comparison.coverMode(r.values.exam);
        comparison.addLogRecord(r, log.name);
      } else if (why) {
        notCounted(r, {log.name, r.line, *why, {}}, impossible++ < kWarningsPerFile);
      } else {
        take(r, log.name + ", строка " + std::to_string(r.line), nullptr);
      }
    };
    auto onSkipped = [&](const SkippedRecord& s) {
      skippedAt(log.name + ':' + std::to_string(s.line), s.reason, skipped++ < kWarningsPerFile);
    };
    const int error =
        readLog(sourceOf(fd, static_cast<std::size_t>(-1), &bytes), onRecord, onSkipped);
    ::close(fd);
    if (error == ECANCELED) break;  // told below
    if (skipped > kWarningsPerFile)
      run.note(log.name, "пропущено ещё " + std::to_string(skipped - kWarningsPerFile) + ".");
    if (impossible > kWarningsPerFile)
      std::cerr << log.name << ": "
                << term("не учтено ещё " + std::to_string(impossible - kWarningsPerFile) + ".\n");
    if (error != 0)
      run.problem(log.name, "ошибка чтения после " + std::to_string(read) +
                                " записей: " + utf8FromCp1251(failureReason(error)) + ".");
    else if (read == 0 && skipped == 0)
      run.problem(log.name, "записей нет.");
    else
      run.notes.push_back(log.name + ": записей прочитано " + std::to_string(read) + ".");
  }

  // The records server: its records are the results, its start marks show
  // the unfinished tests (a mark without a record of the same test's id).
  std::optional<std::vector<Mismatch>> mismatches;
  std::size_t serverMarks = 0, sameTest = 0;
  if (database) {
    std::size_t read = 0, skipped = 0, impossible = 0;
    LogContents contents;
    const auto problem = readServerRows(*database, false, [&](const ServerRow& r) {
      ++read;
      contents.records.clear();
      contents.skipped.clear();
      readLog(r.payload, contents);
      const std::string where = "сервер, запись " + r.id;
      if (contents.records.size() != 1 || !contents.skipped.empty()) {
        skippedAt(where,
                  contents.skipped.empty() ? cp("не одна запись") : contents.skipped[0].reason,
                  skipped++ < kWarningsPerFile);
        comparison.addServerRecord(nullptr, r);
        return;
      }
      const LogRecord& record = contents.records[0];
      sameTest += r.sharedId;
      if (!filter.keeps(record.values.date, record.values.group)) {
        ++run.filtered;
        return;
      }
      comparison.addServerRecord(&record, r);
      if (const auto why = contradiction(record))
        notCounted(record, {where, 0, *why, {}}, impossible++ < kWarningsPerFile);
      else
        take(record, "сервер, " + r.host + ", " + r.serverTime, &r);
    });
    if (problem && read == 0) {
      outputs.abandon();
      std::cerr << term("Протоколы с сервера не прочитаны: ") << termFromCp(*problem) << ".\n";
      return 2;
    }
    if (problem)
      run.problem("сервер", "чтение оборвалось после " + std::to_string(read) +
                                " записей: " + utf8FromCp1251(*problem) + ".");
    else
      run.notes.push_back("сервер: записей прочитано " + std::to_string(read) + ".");

    const auto startProblem = readServerRows(*database, true, [&](const ServerRow& r) {
      ++serverMarks;
      if (r.finished) return;
      auto mark = parseStartMark(r.payload);
      if (!mark || !filter.keeps(mark->date, mark->group)) return;
      // A test still running has no record yet: the server's own clock says how long ago.
      if (r.ageSeconds < kTimeLimitSeconds + kMarkSlackSeconds) {
        ++running;
        return;
      }
      mark->id = r.id;
      listUnfinished({*mark, r.host, {}, 0, r.account, r.address, r.serverTime},
                     "сервер, " + r.serverTime);
    });
    if (startProblem)
      run.problem("сервер",
                  "отметки начала тестов не прочитаны: " + utf8FromCp1251(*startProblem) + ".");
    if (!logs.empty()) mismatches = comparison.finish();
    if (sameTest > 0) {
      // Someone who learnt a test's id sent a record of his own for it.
      run.problem("сервер", "записей тестов, у которых на сервере больше одной записи: " +
                                std::to_string(sameTest) +
                                "; сравните компьютер, адрес и время сервера в records.csv.");
    }
  }
  if (tooManyProtocols) {
    outputs.abandon();
    std::cerr << term("Протоколов больше, чем помещается в protocols.html (" +
                      std::to_string(kProtocolsBytes / 1024 / 1024) +
                      " МБ, около 12 000 листов): выберите записи с --from, --to или --group. "
                      "Файлы не записаны.\n");
    return 2;
  }

  // The start journals, second reading: the marks no record answered. Tests
  // begun within the time limit (and the slack) before now may still be running.
  const long long due = now() - kTimeLimitSeconds - kMarkSlackSeconds;
  for (Journal& journal : journals) {
    if (::lseek(journal.fd, 0, SEEK_SET) != 0) continue;
    std::size_t count = 0;
    readJournal(
        sourceOf(journal.fd, journal.bytes, &count),
        [&](const StartMark& m, std::size_t line) {
          if (marks.answered(m) || !filter.keeps(m.date, m.group)) return;
          if (momentOf(m.date, m.time).value_or(0) > due)
            ++running;
          else
            listUnfinished({m, utf8FromCp1251(m.host), journal.name, line, {}, {}, {}},
                           journal.name + ':' + std::to_string(line));
        },
        [](std::size_t) {});
    ::close(journal.fd);
  }
  if (!database && !logs.empty() && journals.empty())
    run.notes.push_back(
        "Рядом с журналами нет журналов начала тестов (ekzam.start, zachet.start): "
        "незаконченные тесты не видны.");
  if (running > 0)
    run.notes.push_back("Тестов, начатых меньше " +
                        std::to_string((kTimeLimitSeconds + kMarkSlackSeconds) / 60) +
                        " минут назад (они могут ещё идти): " + std::to_string(running) +
                        "; к незаконченным они не отнесены.");
  if (filter.any())
    run.notes.push_back("Не подходят под --from, --to, --group и не учтены записей: " +
                        std::to_string(run.filtered) + ".");
  if (outputs.failureCode() != 0) return writeFailed();

  Summary summary = summariser.finish(course ? &*course : nullptr);
  summary.startMarks = database ? serverMarks : marks.size();
  summary.unfinishedCount = run.unfinished;
  std::sort_heap(unfinishedKept.begin(), unfinishedKept.end(), laterFirst);  // newest first
  for (auto& kept : unfinishedKept) summary.unfinished.push_back(std::move(kept.second));
  summary.impossibleCount = run.impossible;
  summary.impossible = std::move(impossibleKept);
  const bool disagree = mismatches && !mismatches->empty();
  if (summary.records() == 0 && run.unfinished == 0 && run.impossible == 0 && !disagree) {
    outputs.abandon();
    std::cerr << term(
        run.filtered > 0
            ? "Ни одна запись не подходит под --from, --to, --group; файлы не записаны.\n"
            : "Не прочитано ни одной записи; файлы не записаны.\n");
    return 2;
  }
  if (options.protocols)
    outputs.write(protocolsFile, protocolsTail(static_cast<std::size_t>(summary.records())));
  const int questionsFile = outputs.add("questions.csv");
  outputs.write(questionsFile, questionsCsv(summary.questions));
  const int candidatesFile = outputs.add("candidates.csv");
  outputs.write(candidatesFile, candidatesCsv(summary));
  if (mismatches) {
    const int mismatchesFile = outputs.add("mismatches.csv");
    outputs.write(mismatchesFile, mismatchesCsv(*mismatches));
    if (disagree)
      run.notes.push_back("Расхождений журналов с сервером: " + std::to_string(mismatches->size()) +
                          " (mismatches.csv).");
  }
  const int pageFile = outputs.add("index.html");
  outputs.write(pageFile, resultsPage(summary, run.notes, mismatches ? &*mismatches : nullptr));
  workbook.addQuestions(summary.questions);
  workbook.addCandidates(summary);
  if (mismatches) workbook.addMismatches(*mismatches);
  if (const auto failed = workbook.close()) {
    outputs.abandon();
    std::cerr << options.outDir
              << term("/results.xlsx: " + *failed + ". Прежние файлы не тронуты.\n");
    return 2;
  }
  if (!outputs.commit()) return writeFailed();

  const std::vector<std::string> targets = outputs.targets();
  std::size_t width = 0;
  for (const auto& target : targets) width = std::max(width, target.size());
  for (const OutputName& output : kOutputs)
    for (const auto& target : targets)
      if (target.ends_with(std::string("/") + output.name))
        std::cout << target << std::string(width - target.size() + 5, ' ') << term(output.what)
                  << '\n';

  std::cout << term("Записей: " + std::to_string(summary.records()) + " (экзамен " +
                    std::to_string(summary.exams) + ", зачет " + std::to_string(summary.passFail) +
                    ")");
  printPlaces("; повреждённых записей пропущено: ", run.skipped, run.skippedPlaces);
  printPlaces("; не учтено записей, которые не могут быть правдой: ", run.impossible,
              run.impossiblePlaces);
  printPlaces("; незаконченных тестов: ", run.unfinished, run.unfinishedPlaces);
  std::cout << ".\n";
  if (disagree)
    std::cout << term("Журналы расходятся с сервером: " + std::to_string(mismatches->size()) +
                      " (mismatches.csv).\n");
  return run.skipped == 0 && run.impossible == 0 && run.allFilesRead && !disagree ? 0 : 1;
}
