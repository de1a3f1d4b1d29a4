#include "results/log_reader.h"

#include <optional>

#include "platform/cp1251.h"

namespace {

constexpr std::size_t kRecordLines = 18;
constexpr std::string_view kSeparator = "=========================================================";
static_assert(kSeparator.size() == 57);

// The labels of the record's lines, as makeRecord writes them.
struct Labels {
  std::string date = cp("Дата:  "), time = cp("Время: "), name = cp("Фамилия И.О.: "),
              code = cp("Код:          "), group = cp("Группа:       "),
              timeUsed = cp("Потребовалось времени: "), topic = cp("Тема:         "),
              range = cp("Вопросы:      "), answers = cp("Получено ответов:      "),
              errors = cp("Количество ошибок:     "), grade = cp("Оценка:     "),
              result = cp("Результат:  "), report = cp("Отчет:"), seconds = cp(" сек"),
              from = cp("с "), to = cp(" по ");
  std::string utf8Date{"Дата:"};  // the same label after a re-save in UTF-8
};

const Labels& labels() {
  static const Labels l;
  return l;
}

struct Fault {
  std::size_t offset;  // line within the record, 0 for its "=====" line
  std::string reason;
};

std::string_view trimRight(std::string_view s) {
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

bool endsWithSeparator(std::string_view line) {
  return line.size() >= kSeparator.size() && line.substr(line.size() - kSeparator.size()) == kSeparator;
}

bool hasControl(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return true;
  return false;
}

// A decimal number as std::to_string writes it: digits only, no leading zero.
bool number(std::string_view s, unsigned& out) {
  if (s.empty() || s.size() > 9 || (s.size() > 1 && s[0] == '0')) return false;
  unsigned v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  out = v;
  return true;
}

std::string quoted(std::string_view label) { return cp("«") + std::string(trimRight(label)) + cp("»"); }

// The value after a line's label. An editor that strips trailing blanks
// turns an empty value's line into the bare label, which still means empty.
std::optional<std::string_view> valueOf(std::string_view line, const std::string& label) {
  if (line.starts_with(label)) return line.substr(label.size());
  if (line == trimRight(label)) return std::string_view{};
  return std::nullopt;
}

// The answer line: "17: 3(+)    4: 1(-)    ", empty when nothing was answered.
bool parseListing(std::string_view line, std::vector<ReportValues::Entry>& listing) {
  while (!line.empty()) {
    const std::size_t colon = line.find(": ");
    const std::size_t paren = line.find('(');
    if (colon == std::string_view::npos || paren == std::string_view::npos || paren < colon) return false;
    ReportValues::Entry e;
    if (!number(line.substr(0, colon), e.question) ||
        !number(line.substr(colon + 2, paren - colon - 2), e.option))
      return false;
    line.remove_prefix(paren);
    if (line.starts_with("(+)")) e.right = true;
    else if (!line.starts_with("(-)")) return false;
    line.remove_prefix(3);
    // The last entry's blanks may have been stripped by an editor.
    if (line.starts_with("    ")) line.remove_prefix(4);
    else if (!trimRight(line).empty()) return false;
    else line = {};
    listing.push_back(e);
  }
  return true;
}

std::optional<Fault> parseRecord(const std::string_view* lines, std::size_t available, LogRecord& r) {
  const Labels& L = labels();
  if (available < kRecordLines) return Fault{0, cp("запись оборвана")};
  for (std::size_t k = 1; k < kRecordLines; ++k)
    if (endsWithSeparator(lines[k])) return Fault{0, cp("запись оборвана")};
  if (lines[1].starts_with(L.utf8Date)) return Fault{1, cp("запись в кодировке UTF-8, а не 1251")};

  struct Field {
    std::size_t offset;
    const std::string* label;
    std::string* value;
  };
  ReportValues& v = r.values;
  const Field fields[] = {
      {1, &L.date, &v.date},         {2, &L.time, &v.time},       {3, &L.name, &v.name},
      {4, &L.code, &v.code},         {5, &L.group, &v.group},     {6, &L.timeUsed, &v.timeUsed},
      {7, &L.topic, &v.topic},       {8, &L.range, &v.range},     {9, &L.answers, &v.answers},
      {10, &L.errors, &v.errors},
  };
  for (const Field& f : fields) {
    const auto value = valueOf(lines[f.offset], *f.label);
    if (!value) return Fault{f.offset, cp("ожидалась строка ") + quoted(*f.label)};
    if (hasControl(*value)) return Fault{f.offset, cp("управляющий символ в строке ") + quoted(*f.label)};
    f.value->assign(*value);
  }
  for (std::size_t k : {11u, 13u, 16u, 17u})
    if (!trimRight(lines[k]).empty()) return Fault{k, cp("ожидалась пустая строка")};
  if (trimRight(lines[14]) != L.report) return Fault{14, cp("ожидалась строка ") + quoted(L.report)};

  // Numbers: time used, range, answers and errors.
  unsigned seconds = 0, answers = 0, errors = 0;
  std::string_view used = v.timeUsed;
  if (!used.ends_with(L.seconds) || !number(used.substr(0, used.size() - L.seconds.size()), seconds))
    return Fault{6, cp("не число секунд в строке ") + quoted(L.timeUsed)};
  std::string_view range = v.range;
  const std::size_t to = range.find(L.to);
  if (!range.starts_with(L.from) || to == std::string_view::npos ||
      !number(range.substr(L.from.size(), to - L.from.size()), r.rangeFirst) ||
      !number(range.substr(to + L.to.size()), r.rangeLast))
    return Fault{8, cp("не диапазон в строке ") + quoted(L.range)};
  if (!number(v.answers, answers)) return Fault{9, cp("не число в строке ") + quoted(L.answers)};
  if (!number(v.errors, errors)) return Fault{10, cp("не число в строке ") + quoted(L.errors)};
  r.seconds = static_cast<int>(seconds);
  r.answers = static_cast<int>(answers);
  r.errors = static_cast<int>(errors);

  // The mode is told by the label of the grade line.
  std::optional<std::string_view> grade;
  if ((grade = valueOf(lines[12], L.grade))) v.exam = true;
  else if ((grade = valueOf(lines[12], L.result))) v.exam = false;
  else return Fault{12, cp("ожидалась строка «Оценка:» или «Результат:»")};
  const auto& scale = gradeScale(v.exam);
  r.grade = -1;
  for (std::size_t g = 0; g < scale.size(); ++g)
    if (scale[g].text == *grade) r.grade = static_cast<int>(g);
  if (r.grade < 0) return Fault{12, cp("неизвестная оценка")};
  v.result.assign(*grade);

  if (!parseListing(lines[15], v.listing)) return Fault{15, cp("испорчен список ответов")};
  if (v.listing.size() != answers)
    return Fault{15, cp("ответов в списке не столько, сколько в строке ") + quoted(L.answers)};
  r.right = 0;
  for (const auto& e : v.listing) r.right += e.right;
  return std::nullopt;
}

}  // namespace

const std::vector<Grade>& gradeScale(bool exam) {
  static const std::vector<Grade> exams{gradeFor(true, 0), gradeFor(true, 1), gradeFor(true, 2),
                                        gradeFor(true, kErrorLimit)};
  static const std::vector<Grade> passFail{gradeFor(false, 0), gradeFor(false, kErrorLimit)};
  return exam ? exams : passFail;
}

void readLog(std::string_view text, LogContents& into) {
  // Lines end in CR LF (or a bare LF, after an editor); a lone CR stays in
  // its line, where it can only be damage.
  std::vector<std::string_view> lines;
  lines.reserve(text.size() / 24);
  for (std::size_t start = 0; start < text.size();) {
    std::size_t lf = text.find('\n', start);
    if (lf == std::string_view::npos) lf = text.size();
    std::size_t end = lf;
    if (end > start && end < text.size() && text[end - 1] == '\r') --end;
    lines.push_back(text.substr(start, end - start));
    start = lf + 1;
  }

  const std::size_t n = lines.size();
  bool afterFault = false;  // the tail of a broken record may stick to the next "=====" line
  for (std::size_t i = 0; i < n;) {
    if (!endsWithSeparator(lines[i])) {
      // Lines outside any record: blank ones are harmless, others are what is
      // left of a record whose "=====" line was damaged.
      std::size_t j = i, firstText = n;
      for (; j < n && !endsWithSeparator(lines[j]); ++j)
        if (firstText == n && !trimRight(lines[j]).empty()) firstText = j;
      if (firstText < n) into.skipped.push_back({firstText + 1, cp("строки вне записи")});
      i = j;
      afterFault = firstText < n;
      continue;
    }
    if (lines[i].size() > kSeparator.size() && !afterFault)
      into.skipped.push_back({i + 1, cp("текст перед строкой «=====»")});

    LogRecord record;
    record.line = i + 1;
    if (const auto fault = parseRecord(&lines[i], n - i, record)) {
      into.skipped.push_back({i + fault->offset + 1, fault->reason});
      afterFault = true;
      // Read on from the next "=====" line, also one glued to the broken tail.
      for (++i; i < n && !endsWithSeparator(lines[i]);) ++i;
      continue;
    }
    into.records.push_back(std::move(record));
    afterFault = false;
    i += kRecordLines;
  }
}
