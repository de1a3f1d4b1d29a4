#include "results/workbook.h"

#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>
#include <algorithm>
#include <cerrno>

#include "exam/protocol_log.h"
#include "exam/records_server.h"
#include "platform/cp1251.h"
#include "results/record_check.h"
#include "results/server_compare.h"
#include "results/tables.h"

namespace {

struct Column {
  const char* header;
  double width;  // in characters
};

// The columns of records.csv, questions.csv, candidates.csv, unfinished.csv
// and impossible.csv, in their order.
const std::vector<Column> kRecordColumns{{"Режим", 9},         {"Дата", 11},    {"Время", 9},
                                         {"Фамилия И.О.", 24}, {"Код", 8},      {"Группа", 10},
                                         {"Тема", 50},         {"Вопросы", 12}, {"Секунд", 8},
                                         {"Ответов", 9},       {"Ошибок", 8},   {"Результат", 11}};
const std::vector<Column> kQuestionColumns = [] {
  std::vector<Column> c{{"Тема", 50},       {"Вопрос", 8},      {"Задан", 7},         {"Верно", 7},
                        {"Доля верных", 8}, {"Различение", 11}, {"Верный вариант", 9}};
  static const char* const chosen[] = {"Выбран 1", "Выбран 2", "Выбран 3", "Выбран 4", "Выбран 5",
                                       "Выбран 6", "Выбран 7", "Выбран 8", "Выбран 9"};
  for (const char* header : chosen) c.push_back({header, 9});
  for (Column more : std::vector<Column>{{"Выбраны другие", 9},
                                         {"Не выбран никем", 10},
                                         {"Выбран чаще верного", 10},
                                         {"Тема в курсе", 40},
                                         {"Номер в теме", 8},
                                         {"Текст", 60}})
    c.push_back(more);
  return c;
}();
const std::vector<Column> kCandidateColumns{{"Код", 8},
                                            {"Фамилия И.О.", 24},
                                            {"Группа", 10},
                                            {"Тестов", 8},
                                            {"Последний: дата", 12},
                                            {"Последний: время", 11},
                                            {"Последний: режим", 11},
                                            {"Последний: результат", 12},
                                            {"Сдал", 6},
                                            {"Не закончено", 11}};
const std::vector<Column> kServerColumns{
    {"Компьютер", 14}, {"Учётная запись", 14}, {"Адрес", 14}, {"Время сервера", 22}};
const std::vector<Column> kUnfinishedColumns{{"Режим", 9},
                                             {"Дата", 11},
                                             {"Время", 9},
                                             {"Тема", 50},
                                             {"Вопросы", 12},
                                             {"Код", 8},
                                             {"Фамилия И.О.", 24},
                                             {"Группа", 10},
                                             {"Компьютер", 14},
                                             {"Учётная запись", 14},
                                             {"Адрес", 14},
                                             {"Время сервера", 22},
                                             {"Идентификатор теста", 38},
                                             {"Журнал", 24},
                                             {"Строка", 8}};
const std::vector<Column> kMismatchColumns{
    {"Что", 24},    {"Режим", 9},          {"Дата", 11},
    {"Время", 9},   {"Фамилия И.О.", 24},  {"Код", 8},
    {"Группа", 10}, {"На сервере", 11},    {"В журнале", 11},
    {"Журнал", 24}, {"Строка", 8},         {"Компьютер", 14},
    {"Адрес", 14},  {"Время сервера", 22}, {"Идентификатор теста", 38}};
const std::vector<Column> kImpossibleColumns{
    {"Журнал", 24}, {"Строка", 8}, {"Причина", 50},      {"Режим", 9},
    {"Дата", 11},   {"Время", 9},  {"Фамилия И.О.", 24}, {"Код", 8},
    {"Группа", 10}, {"Тема", 50},  {"Результат", 11}};

// Lines a header takes in its column, broken at blanks.
int headerLines(const Column& c) {
  int lines = 1;
  std::size_t used = 0;
  std::string_view text = c.header;
  while (!text.empty()) {
    const std::size_t blank = text.find(' ');
    const std::string_view word = text.substr(0, blank);
    std::size_t length = 0;  // in characters
    for (char b : word) length += (static_cast<unsigned char>(b) & 0xC0) != 0x80;
    if (used > 0 && static_cast<double>(used + 1 + length) > c.width) {
      ++lines;
      used = 0;
    }
    used += (used > 0 ? 1 : 0) + length;
    text = blank == std::string_view::npos ? std::string_view() : text.substr(blank + 1);
  }
  return lines;
}

// The longest text a cell holds.
constexpr std::size_t kLongestCell = 32767;

// A file name as given may be in any encoding; a cell takes valid UTF-8 only.
std::string validUtf8(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const Utf8Char c = utf8CharAt(s, i);
    if (c.length == 0) {
      out += '?';
      ++i;
    } else {
      out.append(s.substr(i, c.length));
      i += c.length;
    }
  }
  return out;
}

std::string cut(std::string utf8) {
  if (utf8.size() <= kLongestCell) return utf8;
  std::size_t at = kLongestCell;
  while (at > 0 && (static_cast<unsigned char>(utf8[at]) & 0xC0) == 0x80) --at;
  utf8.resize(at);
  return utf8;
}

}  // namespace

struct Workbook::State {
  struct Sheet {
    std::string name;
    const std::vector<Column>* columns;
    lxw_worksheet* sheet = nullptr;
    lxw_row_t row = 0;  // the last row written
    int part = 1;
  };

  lxw_workbook* book = nullptr;
  std::string tmpdir;
  std::vector<Column> recordColumns = kRecordColumns;
  lxw_format *header = nullptr, *date = nullptr, *time = nullptr, *decimal = nullptr;
  Sheet records{"Записи", &recordColumns}, questions{"Вопросы", &kQuestionColumns},
      candidates{"Кандидаты", &kCandidateColumns},
      unfinished{"Незаконченные тесты", &kUnfinishedColumns},
      impossible{"Невозможные записи", &kImpossibleColumns},
      mismatches{"Сверка с сервером", nullptr};  // begun only when the logs are compared
  lxw_error error = LXW_NO_ERROR;
  int errorCode = 0;  // errno at the first error

  void note(lxw_error e) {
    if (e != LXW_NO_ERROR && error == LXW_NO_ERROR) {
      error = e;
      errorCode = errno;
    }
  }

  void begin(Sheet& s) {
    const std::string name = s.part == 1 ? s.name : s.name + " (" + std::to_string(s.part) + ")";
    s.sheet = workbook_add_worksheet(book, name.c_str());
    s.row = 0;
    if (s.sheet == nullptr) {
      note(LXW_ERROR_CREATING_TMPFILE);
      return;
    }
    const auto& columns = *s.columns;
    // The header's height is set, not left to the spreadsheet, which keeps a
    // row one line high whatever its wrapped text.
    int lines = 1;
    for (const Column& c : columns) lines = std::max(lines, headerLines(c));
    worksheet_set_row(s.sheet, 0, 15.0 * lines, nullptr);
    for (std::size_t c = 0; c < columns.size(); ++c) {
      const auto col = static_cast<lxw_col_t>(c);
      worksheet_set_column(s.sheet, col, col, columns[c].width, nullptr);
      note(worksheet_write_string(s.sheet, 0, col, columns[c].header, header));
    }
    worksheet_freeze_panes(s.sheet, 1, 0);
    // Printed, a sheet is as wide as an A4 page across, its header on every page.
    worksheet_set_paper(s.sheet, 9);
    worksheet_set_landscape(s.sheet);
    worksheet_fit_to_pages(s.sheet, 1, 0);
    worksheet_repeat_rows(s.sheet, 0, 0);
  }

  // The next row of a sheet, on a further sheet when this one is full.
  lxw_row_t next(Sheet& s) {
    if (s.row + 1 >= LXW_ROW_MAX) {
      finishSheet(s);
      ++s.part;
      begin(s);
    }
    return ++s.row;
  }

  void finishSheet(Sheet& s) {
    if (s.sheet)
      worksheet_autofilter(s.sheet, 0, 0, s.row, static_cast<lxw_col_t>(s.columns->size() - 1));
  }

  void utf8(const Sheet& s, lxw_row_t row, int col, const std::string& text) {
    if (s.sheet == nullptr || text.empty()) return;
    note(worksheet_write_string(s.sheet, row, static_cast<lxw_col_t>(col), cut(text).c_str(),
                                nullptr));
  }
  void text(const Sheet& s, lxw_row_t row, int col, const std::string& cp1251) {
    utf8(s, row, col, utf8FromCp1251(cp1251));
  }
  void number(const Sheet& s, lxw_row_t row, int col, double value, lxw_format* format = nullptr) {
    if (s.sheet == nullptr) return;
    note(worksheet_write_number(s.sheet, row, static_cast<lxw_col_t>(col), value, format));
  }
  // A date or time as such when it has the program's shape, else as its text.
  void day(const Sheet& s, lxw_row_t row, int col, const std::string& value) {
    if (s.sheet == nullptr) return;
    if (civilDay(value)) {
      lxw_datetime d{std::stoi(value.substr(6, 4)),
                     std::stoi(value.substr(3, 2)),
                     std::stoi(value.substr(0, 2)),
                     0,
                     0,
                     0};
      if (d.year >= 1900) {
        note(worksheet_write_datetime(s.sheet, row, static_cast<lxw_col_t>(col), &d, date));
        return;
      }
    }
    text(s, row, col, value);
  }
  void clock(const Sheet& s, lxw_row_t row, int col, const std::string& value) {
    if (s.sheet == nullptr) return;
    if (const auto second = secondOfDay(value)) {
      lxw_datetime t{0, 0, 0, *second / 3600, *second / 60 % 60, static_cast<double>(*second % 60)};
      note(worksheet_write_datetime(s.sheet, row, static_cast<lxw_col_t>(col), &t, time));
      return;
    }
    text(s, row, col, value);
  }
};

Workbook::Workbook(const std::string& path, const std::string& tmpdir, bool fromServer)
    : state_(std::make_unique<State>()) {
  State& st = *state_;
  if (fromServer)
    st.recordColumns.insert(st.recordColumns.end(), kServerColumns.begin(), kServerColumns.end());
  st.tmpdir = tmpdir;  // the library keeps the pointer
  lxw_workbook_options options{LXW_TRUE, st.tmpdir.data(), LXW_FALSE};
  st.book = workbook_new_opt(path.c_str(), &options);
  if (st.book == nullptr) {
    st.note(LXW_ERROR_MEMORY_MALLOC_FAILED);
    return;
  }
  st.header = workbook_add_format(st.book);
  format_set_bold(st.header);
  format_set_bg_color(st.header, 0xE8E8E8);
  format_set_bottom(st.header, LXW_BORDER_THIN);
  format_set_text_wrap(st.header);
  format_set_align(st.header, LXW_ALIGN_VERTICAL_TOP);
  st.date = workbook_add_format(st.book);
  format_set_num_format(st.date, "dd.mm.yyyy");
  st.time = workbook_add_format(st.book);
  format_set_num_format(st.time, "hh:mm:ss");
  st.decimal = workbook_add_format(st.book);
  format_set_num_format(st.decimal, "0.00");
  for (State::Sheet* s :
       {&st.records, &st.questions, &st.candidates, &st.unfinished, &st.impossible})
    st.begin(*s);
}

Workbook::~Workbook() {
  if (state_->book) lxw_workbook_free(state_->book);
}

void Workbook::addRecord(const LogRecord& r, const ServerRow* server) {
  State& st = *state_;
  if (!st.book) return;
  const ReportValues& v = r.values;
  auto& s = st.records;
  const lxw_row_t row = st.next(s);
  st.utf8(s, row, 0, modeName(v.exam));
  st.day(s, row, 1, v.date);
  st.clock(s, row, 2, v.time);
  int col = 3;
  for (const std::string* t : {&v.name, &v.code, &v.group, &v.topic, &v.range})
    st.text(s, row, col++, *t);
  for (int figure : {r.seconds, r.answers, r.errors}) st.number(s, row, col++, figure);
  st.text(s, row, col++, v.result);
  if (server)
    for (const std::string* t :
         {&server->host, &server->account, &server->address, &server->serverTime})
      st.utf8(s, row, col++, validUtf8(*t));
}

void Workbook::addImpossible(const ImpossibleRecord& r) {
  State& st = *state_;
  if (!st.book) return;
  const ReportValues& v = r.values;
  auto& s = st.impossible;
  const lxw_row_t row = st.next(s);
  st.utf8(s, row, 0, validUtf8(r.log));
  if (r.line) st.number(s, row, 1, static_cast<double>(r.line));
  st.text(s, row, 2, r.reason);
  st.utf8(s, row, 3, modeName(v.exam));
  st.day(s, row, 4, v.date);
  st.clock(s, row, 5, v.time);
  int col = 6;
  for (const std::string* t : {&v.name, &v.code, &v.group, &v.topic, &v.result})
    st.text(s, row, col++, *t);
}

void Workbook::addUnfinished(const UnfinishedTest& u) {
  State& st = *state_;
  if (!st.book) return;
  const StartMark& m = u.mark;
  auto& s = st.unfinished;
  const lxw_row_t row = st.next(s);
  st.utf8(s, row, 0, modeName(m.exam));
  st.day(s, row, 1, m.date);
  st.clock(s, row, 2, m.time);
  int col = 3;
  for (const std::string* t : {&m.topic, &m.range, &m.code, &m.name, &m.group})
    st.text(s, row, col++, *t);
  for (const std::string* t : {&u.seat, &u.account, &u.address, &u.serverTime})
    st.utf8(s, row, col++, validUtf8(*t));
  st.text(s, row, col++, m.id);
  st.utf8(s, row, col++, validUtf8(u.journal));
  if (u.line) st.number(s, row, col, static_cast<double>(u.line));
}

void Workbook::addQuestions(const std::vector<QuestionStats>& questions) {
  State& st = *state_;
  if (!st.book) return;
  auto& s = st.questions;
  for (const QuestionStats& q : questions) {
    const lxw_row_t row = st.next(s);
    st.text(s, row, 0, q.topic);
    int col = 1;
    for (int figure : {static_cast<int>(q.question), q.asked, q.right})
      st.number(s, row, col++, figure);
    st.number(s, row, col++, q.facility, st.decimal);
    if (q.discrimination) st.number(s, row, col, *q.discrimination, st.decimal);
    ++col;
    // One right option is a number; several are a list.
    const std::vector<unsigned> rights = q.rightOptions();
    if (rights.size() == 1)
      st.number(s, row, col, rights[0]);
    else
      st.utf8(s, row, col, digits(rights));
    ++col;
    for (unsigned option = 1; option <= kOptionDigits; ++option)
      st.number(s, row, col++, q.chosen[option]);
    st.number(s, row, col++, q.chosenOther);
    st.utf8(s, row, col++, digits(q.neverChosen()));
    st.utf8(s, row, col++, digits(q.chosenOverRight()));
    if (q.course) {
      st.text(s, row, col++, q.course->topic);
      st.number(s, row, col++, q.course->number);
      st.text(s, row, col, q.course->textStart);
    }
  }
}

void Workbook::addCandidates(const Summary& summary) {
  State& st = *state_;
  if (!st.book) return;
  auto& s = st.candidates;
  const StringPool& pool = summary.strings;
  for (const CandidateStats& c : summary.candidates) {
    const lxw_row_t row = st.next(s);
    int col = 0;
    for (std::uint32_t t : {c.code, c.name, c.group}) st.text(s, row, col++, pool.text(t));
    st.number(s, row, col++, c.tests);
    if (c.tests > 0) {
      st.day(s, row, col, pool.text(c.lastDate));
      st.clock(s, row, col + 1, pool.text(c.lastTime));
      st.utf8(s, row, col + 2, modeName(c.lastExam));
      st.text(s, row, col + 3, gradeScale(c.lastExam)[static_cast<std::size_t>(c.lastGrade)].text);
    }
    col += 4;
    st.utf8(s, row, col++, c.passed() ? "да" : "нет");
    st.number(s, row, col, c.unfinished);
  }
}

void Workbook::addMismatches(const std::vector<Mismatch>& mismatches) {
  State& st = *state_;
  if (!st.book) return;
  auto& s = st.mismatches;
  s.columns = &kMismatchColumns;
  st.begin(s);
  for (const Mismatch& m : mismatches) {
    const lxw_row_t row = st.next(s);
    st.utf8(s, row, 0, std::string(mismatchKindText(m.kind)));
    st.utf8(s, row, 1, modeName(m.exam));
    st.day(s, row, 2, m.date);
    st.clock(s, row, 3, m.time);
    int col = 4;
    for (const std::string* t : {&m.name, &m.code, &m.group, &m.serverResult, &m.logResult})
      st.text(s, row, col++, *t);
    st.utf8(s, row, col++, validUtf8(m.log));
    if (m.line) st.number(s, row, col, static_cast<double>(m.line));
    ++col;
    for (const std::string* t : {&m.host, &m.address, &m.serverTime, &m.id})
      st.utf8(s, row, col++, validUtf8(*t));
  }
}

std::optional<std::string> Workbook::close() {
  State& st = *state_;
  if (!st.book) return std::string("не хватило памяти");
  for (State::Sheet* s :
       {&st.records, &st.questions, &st.candidates, &st.unfinished, &st.impossible, &st.mismatches})
    st.finishSheet(*s);
  // The library tells its own failures on the standard error, in English; the
  // tool says them in its words instead.
  const int savedError = ::dup(STDERR_FILENO);
  const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (savedError >= 0 && null >= 0) ::dup2(null, STDERR_FILENO);
  errno = 0;
  const lxw_error closed = workbook_close(st.book);
  const int closeCode = errno;
  if (savedError >= 0) {
    ::dup2(savedError, STDERR_FILENO);
    ::close(savedError);
  }
  if (null >= 0) ::close(null);
  st.book = nullptr;  // freed by workbook_close
  if (closed != LXW_NO_ERROR && st.error == LXW_NO_ERROR) {
    st.error = closed;
    st.errorCode = closeCode;
  }
  if (st.error == LXW_NO_ERROR) return std::nullopt;
  std::string what;
  switch (st.error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
      return std::string("не хватило памяти");
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
      what = "не удаётся записать временный файл";
      break;
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
      what = "не удаётся записать файл";
      break;
    default:
      return "ошибка библиотеки libxlsxwriter (код " + std::to_string(st.error) + ")";
  }
  if (st.errorCode != 0) what += ": " + utf8FromCp1251(failureReason(st.errorCode));
  return what;
}
