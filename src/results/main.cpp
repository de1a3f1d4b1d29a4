// vorsanit-results: the protocol logs as tables and pages for the teacher.
// The logs are only ever opened for reading, and read one record at a time.
#include <fcntl.h>
#include <langinfo.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <clocale>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exam/protocol_log.h"
#include "exam/records_server.h"
#include "exam/start_mark.h"
#include "platform/cp1251.h"
#include "results/analysis.h"
#include "results/course_index.h"
#include "results/log_reader.h"
#include "results/output_set.h"
#include "results/page.h"
#include "results/protocols.h"
#include "results/server_compare.h"
#include "results/tables.h"

namespace {

constexpr std::size_t kWarningsPerFile = 20;
constexpr std::size_t kPlacesInSummary = 5;

std::string codeset;

// The program's own UTF-8 texts in the terminal's encoding.
std::string term(std::string_view utf8) { return utf8ForTerminal(utf8, codeset); }
// Texts in code page 1251 (from the logs, or the system's reasons) in the terminal's encoding.
std::string termFromCp(const std::string& bytes) { return forTerminal(bytes, codeset); }
// An argument typed in the terminal as the logs have it.
std::string fromTerminal(const std::string& text) { return cp1251FromTerminal(text, codeset); }

constexpr std::string_view kHelp =
    "Использование: vorsanit-results ЖУРНАЛ... [--out ПАПКА] [--course ПАПКА]\n"
    "                                [--from ДАТА] [--to ДАТА] [--group ГРУППА] [--protocols]\n"
    "       vorsanit-results --db СТРОКА [ЖУРНАЛ...] [те же параметры]\n"
    "       vorsanit-results --init-db СТРОКА\n"
    "\n"
    "Читает протоколы экзаменов и зачетов (ekzam.log, zachet.log) или, с --db,\n"
    "с сервера протоколов и пишет в ПАПКУ (по умолчанию текущую):\n"
    "  records.csv     одна строка на запись (с --db ещё компьютер, учётная запись,\n"
    "                  адрес и время сервера)\n"
    "  questions.csv   одна строка на заданный вопрос: доля верных ответов, различение,\n"
    "                  сколько раз выбран каждый вариант ответа\n"
    "  candidates.csv  одна строка на кандидата: тестов, последний результат и его дата\n"
    "  index.html      то же с диаграммами оценок, для браузера и печати\n"
    "  protocols.html  (с --protocols) протокол каждой записи на отдельном листе A4\n"
    "  mismatches.csv  (с --db и журналами) записи журналов, которых нет на сервере,\n"
    "                  и записи сервера, которых нет в журналах\n"
    "  unfinished.csv  (с --db) начатые тесты без записи результата\n"
    "\n"
    "Журналы только читаются. Повреждённая запись пропускается с предупреждением,\n"
    "в котором названы файл и строка. Файлы пишутся все вместе или ни один.\n"
    "\n"
    "Код завершения: 0 — прочитаны все записи, 1 — часть пропущена или журналы\n"
    "расходятся с сервером, 2 — не прочитано ни одной записи или файлы не записаны.\n"
    "\n"
    "  --out ПАПКА      куда писать таблицы и страницы\n"
    "  --course ПАПКА   папка курса: показать тему, номер в теме и начало текста вопроса\n"
    "  --from ДАТА      только записи с этой даты (ДД.ММ.ГГГГ) включительно\n"
    "  --to ДАТА        только записи по эту дату включительно\n"
    "  --group ГРУППА   только записи этой группы (можно повторить)\n"
    "  --protocols      записать и protocols.html\n"
    "  --db СТРОКА      читать записи с сервера протоколов (PostgreSQL; строка\n"
    "                   подключения libpq, например postgresql://учитель@сервер/vorsanit);\n"
    "                   названные журналы сверяются с ним\n"
    "  --init-db СТРОКА создать в базе таблицы протоколов и роль vorsanit_seat,\n"
    "                   которая может только добавлять записи (повторный запуск\n"
    "                   ничего не меняет); запускает владелец базы\n"
    "  --help           эта справка\n";

// "05.03.2024" as "20240305"; nullopt for anything else.
std::optional<std::string> dayKey(std::string_view date) {
  if (date.size() != 10 || date[2] != '.' || date[5] != '.') return std::nullopt;
  for (std::size_t k : {0u, 1u, 3u, 4u, 6u, 7u, 8u, 9u})
    if (date[k] < '0' || date[k] > '9') return std::nullopt;
  return std::string(date.substr(6, 4)) + std::string(date.substr(3, 2)) +
         std::string(date.substr(0, 2));
}

struct Filter {
  std::optional<std::string> from, to;  // day keys
  std::vector<std::string> groups;      // code page 1251
  bool any() const { return from || to || !groups.empty(); }
  bool keeps(const ReportValues& v) const {
    if (from || to) {
      const auto day = dayKey(v.date);
      if (!day || (from && *day < *from) || (to && *day > *to)) return false;
    }
    if (groups.empty()) return true;
    for (const auto& g : groups)
      if (g == v.group) return true;
    return false;
  }
};

struct LogFile {
  std::string name;
  dev_t device = 0;
  ino_t inode = 0;
};

struct Run {
  std::vector<std::string> notes;  // UTF-8, for the page
  std::size_t skipped = 0;
  std::vector<std::string> places;  // the first few skipped records, "file:line"
  bool allFilesRead = true;
  int filtered = 0;
  void problem(const std::string& name, std::string_view what) {
    std::cerr << name << ": " << term(what) << '\n';
    notes.push_back(name + ": " + std::string(what));
    allFilesRead = false;
  }
};

// Opens a log for reading: only a regular file will do. A pipe or a device
// (a link to /dev/zero, say) would hang the run or never end, so the open
// does not wait and the file's kind is checked on the open descriptor.
int openLog(const std::string& name, Run& run, struct stat& info) {
  const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    const int e = errno;
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

// A start mark as the filters see it.
ReportValues startValues(const StartMark& m) {
  ReportValues v;
  v.exam = m.exam;
  v.date = m.date;
  v.time = m.time;
  v.group = m.group;
  return v;
}

// A test still running has no record yet: a start mark is only counted as
// unfinished once the time limit and a minute more have passed on the server.
constexpr long kRunningSeconds = 11 * 60;

}  // namespace

int main(int argc, char** argv) {
  std::setlocale(LC_CTYPE, "");
  codeset = nl_langinfo(CODESET);

  std::vector<std::string> files;
  std::string outDir = ".";
  std::optional<std::string> courseDir, database, initDatabase;
  Filter filter;
  bool protocols = false, options = true;
  // "--name VALUE" or "--name=VALUE".
  auto valueOf = [&](int& k, const std::string& arg,
                     std::string_view option) -> std::optional<std::string> {
    if (arg == option) {
      if (k + 1 == argc) {
        std::cerr << term("После " + std::string(option) + " нужно значение.\n");
        std::exit(2);
      }
      return std::string(argv[++k]);
    }
    if (arg.starts_with(std::string(option) + "=")) return arg.substr(option.size() + 1);
    return std::nullopt;
  };
  for (int k = 1; k < argc; ++k) {
    const std::string arg = argv[k];
    if (options && (arg == "--help" || arg == "-h")) {
      std::cout << term(kHelp);
      return 0;
    }
    if (!options || arg.size() < 2 || arg[0] != '-') {
      files.push_back(arg);
    } else if (arg == "--") {
      options = false;
    } else if (arg == "--protocols") {
      protocols = true;
    } else if (auto out = valueOf(k, arg, "--out")) {
      outDir = *out;
    } else if (auto course = valueOf(k, arg, "--course")) {
      courseDir = *course;
    } else if (auto db = valueOf(k, arg, "--db")) {
      database = *db;
    } else if (auto init = valueOf(k, arg, "--init-db")) {
      initDatabase = *init;
    } else if (auto group = valueOf(k, arg, "--group")) {
      filter.groups.push_back(fromTerminal(*group));
    } else if (auto from = valueOf(k, arg, "--from")) {
      if (!(filter.from = dayKey(*from))) {
        std::cerr << term("Дата после --from пишется как 05.03.2024.\n");
        return 2;
      }
    } else if (auto to = valueOf(k, arg, "--to")) {
      if (!(filter.to = dayKey(*to))) {
        std::cerr << term("Дата после --to пишется как 05.03.2024.\n");
        return 2;
      }
    } else {
      std::cerr << term("Неизвестный параметр ") << arg
                << term(". Справка: vorsanit-results --help\n");
      return 2;
    }
  }

  if (initDatabase) {
    if (argc != 3 && !(argc == 2 && std::string_view(argv[1]).starts_with("--init-db="))) {
      std::cerr << term("--init-db не сочетается с другими параметрами.\n");
      return 2;
    }
    if (const auto problem = initRecordsDatabase(*initDatabase)) {
      std::cerr << term("База протоколов не подготовлена: ") << termFromCp(*problem) << ".\n";
      return 2;
    }
    std::cout << term(
        "База протоколов готова: таблицы в схеме vorsanit; роль vorsanit_seat может только "
        "добавлять записи.\n");
    return 0;
  }
  if (files.empty() && !database) {
    std::cerr << term("Не назван ни один журнал. Справка: vorsanit-results --help\n");
    return 2;
  }

  Run run;
  std::optional<CourseIndex> course;
  if (courseDir) {
    std::vector<std::string> faults;
    course = CourseIndex::load(*courseDir, faults);
    // The course only names the questions: its faults are told, the results stand.
    for (const auto& f : faults) {
      std::cerr << *courseDir << ": " << termFromCp(f) << '\n';
      run.notes.push_back(*courseDir + ": " + utf8FromCp1251(f));
    }
  }

  // Each log once: the same file named twice, or by another path, is read once.
  std::vector<LogFile> logs;
  for (const auto& name : files) {
    struct stat info {};
    const int fd = openLog(name, run, info);
    if (fd < 0) continue;
    ::close(fd);
    bool seen = false;
    for (const auto& l : logs) seen |= l.device == info.st_dev && l.inode == info.st_ino;
    if (seen) {
      std::cerr << name << term(": этот журнал уже назван; он читается один раз.\n");
      run.notes.push_back(name + ": этот журнал уже назван; он читается один раз.");
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
  if (!outputs.open(outDir)) return writeFailed();
  const char* const names[] = {"records.csv",    "questions.csv",  "candidates.csv", "index.html",
                               "protocols.html", "mismatches.csv", "unfinished.csv"};
  // A log named like one of the outputs must not be replaced by it.
  for (const char* name : names) {
    unsigned long device = 0, inode = 0;
    if (!outputs.identity(name, device, inode)) continue;
    for (const auto& l : logs)
      if (l.device == device && l.inode == inode) {
        std::cerr << outDir << '/' << name
                  << term(": это один из журналов; выберите другую папку (--out).\n");
        return 2;
      }
  }
  removeOutputsOnSignals();
  std::vector<std::string_view> described;  // what each output holds, in the order added
  auto add = [&](int name, std::string_view what) {
    described.push_back(what);
    return outputs.add(names[name]);
  };
  const int recordsFile = add(0, "одна строка на запись");
  const int protocolsFile = protocols ? add(4, "протокол каждой записи, для печати") : -1;
  if (recordsFile < 0 || (protocols && protocolsFile < 0)) return writeFailed();
  std::string header(kRecordsCsvHeader);
  if (database) header.insert(header.size() - 2, ",seat,account,address,server_time");
  outputs.write(recordsFile, header);
  if (protocols) outputs.write(protocolsFile, protocolsHead());

  Summariser summariser;
  std::string row;
  // A record for the outputs, from a log or (with its row) from the server.
  auto take = [&](const LogRecord& r, const std::string& source, const ServerRow* server) {
    summariser.add(r);
    row.clear();
    appendRecordRow(row, r);
    if (server) {
      row.resize(row.size() - 2);
      for (const std::string* text :
           {&server->host, &server->account, &server->address, &server->serverTime}) {
        row += ',';
        row += csvField(*text, true);
      }
      row += "\r\n";
    }
    outputs.write(recordsFile, row);
    if (protocols) {
      row.clear();
      appendProtocol(row, r, source);
      outputs.write(protocolsFile, row);
    }
  };
  auto skippedAt = [&](const std::string& where, const std::string& reason, bool tell) {
    if (tell) {
      std::cerr << where << ": " << term("запись пропущена: ") << termFromCp(reason) << '\n';
      run.notes.push_back(where + ": запись пропущена: " + utf8FromCp1251(reason));
    }
    if (run.skipped++ < kPlacesInSummary) run.places.push_back(where);
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
    const int fd = openLog(log.name, run, info);
    if (fd < 0) continue;
    if (info.st_size == 0) {
      ::close(fd);
      std::cerr << log.name << term(": журнал пуст, записей нет.\n");
      run.notes.push_back(log.name + ": журнал пуст, записей нет.");
      continue;
    }
    std::size_t read = 0, skipped = 0;
    // Once a table cannot be written, reading on is of no use.
    const ByteSource source = [&](char* into, std::size_t size) -> long {
      return outputs.failureCode() != 0 ? 0 : ::read(fd, into, size);
    };
    auto onRecord = [&](const LogRecord& r) {
      ++read;
      if (!filter.keeps(r.values)) {
        ++run.filtered;
        return;
      }
      if (database) {
        comparison.coverMode(r.values.exam);
        comparison.addLogRecord(r, log.name);
      } else {
        take(r, log.name + ", строка " + std::to_string(r.line), nullptr);
      }
    };
    auto onSkipped = [&](const SkippedRecord& s) {
      skippedAt(log.name + ':' + std::to_string(s.line), s.reason, skipped++ < kWarningsPerFile);
    };
    const int error = readLog(source, onRecord, onSkipped);
    ::close(fd);
    if (skipped > kWarningsPerFile) {
      const std::string more = "пропущено ещё " + std::to_string(skipped - kWarningsPerFile) + ".";
      std::cerr << log.name << ": " << term(more) << '\n';
      run.notes.push_back(log.name + ": " + more);
    }
    if (error != 0)
      run.problem(log.name, "ошибка чтения после " + std::to_string(read) +
                                " записей: " + utf8FromCp1251(failureReason(error)) + ".");
    else if (read == 0 && skipped == 0)
      run.problem(log.name, "записей нет.");
    else
      run.notes.push_back(log.name + ": записей прочитано " + std::to_string(read) + ".");
  }

  std::optional<std::vector<Mismatch>> mismatches;
  std::size_t unfinished = 0, running = 0, sameTest = 0;
  int unfinishedFile = -1;
  if (database) {
    std::size_t read = 0, skipped = 0;
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
      if (!filter.keeps(record.values)) {
        ++run.filtered;
        return;
      }
      take(record, "сервер, " + r.host + ", " + r.serverTime, &r);
      comparison.addServerRecord(&record, r);
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

    // Start marks without a record: tests begun and never finished.
    unfinishedFile = add(6, "начатые тесты без записи результата");
    outputs.write(unfinishedFile,
                  "mode,date,time,topic,range,code,name,group,seat,account,address,server_time,"
                  "id\r\n");
    const auto startProblem = readServerRows(*database, true, [&](const ServerRow& r) {
      if (r.finished) return;
      const auto mark = parseStartMark(r.payload);
      if (!mark || !filter.keeps(startValues(*mark))) return;
      if (r.ageSeconds < kRunningSeconds) {
        ++running;
        return;
      }
      ++unfinished;
      row = modeName(mark->exam);
      for (const std::string* text : {&mark->date, &mark->time, &mark->topic, &mark->range,
                                      &mark->code, &mark->name, &mark->group}) {
        row += ',';
        row += csvField(utf8FromCp1251(*text), true);
      }
      for (const std::string* text : {&r.host, &r.account, &r.address, &r.serverTime, &r.id}) {
        row += ',';
        row += csvField(*text, true);
      }
      row += "\r\n";
      outputs.write(unfinishedFile, row);
    });
    if (startProblem)
      run.problem("сервер",
                  "отметки начала тестов не прочитаны: " + utf8FromCp1251(*startProblem) + ".");
    else
      run.notes.push_back("Начатых тестов без записи результата: " + std::to_string(unfinished) +
                          (running ? ", идут сейчас: " + std::to_string(running) : "") +
                          " (unfinished.csv).");
    if (!logs.empty()) mismatches = comparison.finish();
    if (sameTest > 0) {
      // Someone who learnt a test's id sent a record of his own for it.
      const std::string what =
          "записей тестов, у которых на сервере больше одной записи: " + std::to_string(sameTest) +
          "; сравните компьютер, адрес и время сервера в records.csv.";
      run.problem("сервер", what);
    }
  }
  if (filter.any())
    run.notes.push_back("Не подходят под --from, --to, --group и не учтены записей: " +
                        std::to_string(run.filtered) + ".");

  Summary summary = summariser.finish(course ? &*course : nullptr);
  if (summary.records() == 0) {
    outputs.abandon();
    std::cerr << term(
        run.filtered > 0
            ? "Ни одна запись не подходит под --from, --to, --group; файлы не записаны.\n"
            : "Не прочитано ни одной записи; файлы не записаны.\n");
    return 2;
  }
  if (protocols)
    outputs.write(protocolsFile, protocolsTail(static_cast<std::size_t>(summary.records())));
  const int questionsFile = add(1, "одна строка на заданный вопрос");
  outputs.write(questionsFile, questionsCsv(summary.questions));
  const int candidatesFile = add(2, "одна строка на кандидата");
  outputs.write(candidatesFile, candidatesCsv(summary));
  if (mismatches) {
    const int mismatchesFile = add(5, "расхождения журналов с сервером");
    outputs.write(mismatchesFile, mismatchesCsv(*mismatches));
    if (!mismatches->empty())
      run.notes.push_back("Расхождений журналов с сервером: " + std::to_string(mismatches->size()) +
                          " (mismatches.csv).");
  }
  const int pageFile = add(3, "то же с диаграммами, для браузера");
  outputs.write(pageFile, resultsPage(summary, run.notes, mismatches ? &*mismatches : nullptr));
  if (!outputs.commit()) return writeFailed();

  const std::vector<std::string> targets = outputs.targets();
  std::size_t width = 0;
  for (const auto& target : targets) width = std::max(width, target.size());
  for (std::size_t k = 0; k < targets.size(); ++k)
    std::cout << targets[k] << std::string(width - targets[k].size() + 5, ' ') << term(described[k])
              << '\n';

  std::string line = "Записей: " + std::to_string(summary.records()) + " (экзамен " +
                     std::to_string(summary.exams) + ", зачет " + std::to_string(summary.passFail) +
                     ")";
  std::cout << term(line);
  if (run.skipped > 0) {
    std::cout << term("; повреждённых записей пропущено: ") << run.skipped << " (";
    for (std::size_t k = 0; k < run.places.size(); ++k)
      std::cout << (k ? ", " : "") << run.places[k];
    if (run.skipped > kPlacesInSummary)
      std::cout << term(" и ещё ") << run.skipped - kPlacesInSummary;
    std::cout << ')';
  }
  std::cout << ".\n";
  if (mismatches && !mismatches->empty())
    std::cout << term("Журналы расходятся с сервером: " + std::to_string(mismatches->size()) +
                      " (mismatches.csv).\n");
  if (database && unfinished > 0)
    std::cout << term("Начатых тестов без записи результата: " + std::to_string(unfinished) +
                      " (unfinished.csv).\n");
  const bool agree = !mismatches || mismatches->empty();
  return run.skipped == 0 && run.allFilesRead && agree ? 0 : 1;
}
