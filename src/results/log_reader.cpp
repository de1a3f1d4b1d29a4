#include "results/log_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
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
  return line.size() >= kSeparator.size() &&
         line.substr(line.size() - kSeparator.size()) == kSeparator;
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

std::string quoted(std::string_view label) {
  return cp("«") + std::string(trimRight(label)) + cp("»");
}

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
    if (colon == std::string_view::npos || paren == std::string_view::npos || paren < colon)
      return false;
    ReportValues::Entry e;
    if (!number(line.substr(0, colon), e.question) ||
        !number(line.substr(colon + 2, paren - colon - 2), e.option))
      return false;
    line.remove_prefix(paren);
    if (line.starts_with("(+)"))
      e.right = true;
    else if (!line.starts_with("(-)"))
      return false;
    line.remove_prefix(3);
    // The last entry's blanks may have been stripped by an editor.
    if (line.starts_with("    "))
      line.remove_prefix(4);
    else if (!trimRight(line).empty())
      return false;
    else
      line = {};
    listing.push_back(e);
  }
  return true;
}

// The record is reused from one to the next; only its listing grows.
void clear(LogRecord& r) { r.values.listing.clear(); }

std::optional<Fault> parseRecord(const std::string_view* lines, std::size_t available,
                                 LogRecord& r) {
  const Labels& L = labels();
  if (available < kRecordLines) return Fault{0, cp("запись оборвана")};
  if (lines[1].starts_with(L.utf8Date)) return Fault{1, cp("запись в кодировке UTF-8, а не 1251")};

  struct Field {
    std::size_t offset;
    const std::string* label;
    std::string* value;
  };
  ReportValues& v = r.values;
  const Field fields[] = {
      {1, &L.date, &v.date},      {2, &L.time, &v.time},   {3, &L.name, &v.name},
      {4, &L.code, &v.code},      {5, &L.group, &v.group}, {6, &L.timeUsed, &v.timeUsed},
      {7, &L.topic, &v.topic},    {8, &L.range, &v.range}, {9, &L.answers, &v.answers},
      {10, &L.errors, &v.errors},
  };
  for (const Field& f : fields) {
    const auto value = valueOf(lines[f.offset], *f.label);
    if (!value) return Fault{f.offset, cp("ожидалась строка ") + quoted(*f.label)};
    if (hasControl(*value))
      return Fault{f.offset, cp("управляющий символ в строке ") + quoted(*f.label)};
    f.value->assign(*value);
  }
  for (std::size_t k : {11u, 13u, 16u, 17u})
    if (!trimRight(lines[k]).empty()) return Fault{k, cp("ожидалась пустая строка")};
  if (trimRight(lines[14]) != L.report)
    return Fault{14, cp("ожидалась строка ") + quoted(L.report)};

  // Numbers: time used, range, answers and errors.
  unsigned seconds = 0, answers = 0, errors = 0;
  std::string_view used = v.timeUsed;
  if (!used.ends_with(L.seconds) ||
      !number(used.substr(0, used.size() - L.seconds.size()), seconds))
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
  if ((grade = valueOf(lines[12], L.grade)))
    v.exam = true;
  else if ((grade = valueOf(lines[12], L.result)))
    v.exam = false;
  else
    return Fault{12, cp("ожидалась строка «Оценка:» или «Результат:»")};
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

// The lines of a log as a sliding window over a buffer that is refilled from
// the source: the lines in the window stay put until they are dropped.
class LineWindow {
 public:
  explicit LineWindow(const ByteSource& source) : source_(source) { buffer_.resize(kChunk); }

  // Makes at least n lines available, fewer only at the end of the log.
  std::size_t ensure(std::size_t n) {
    while (lines_.size() - first_ < n && more()) {
    }
    views_.clear();
    for (std::size_t k = first_; k < lines_.size(); ++k)
      views_.emplace_back(buffer_.data() + lines_[k].offset, lines_[k].length);
    return views_.size();
  }
  // Valid after ensure() until the next ensure() or drop().
  const std::string_view* lines() const { return views_.data(); }
  bool cut(std::size_t k) const { return lines_[first_ + k].cut; }
  std::size_t number(std::size_t k) const { return firstNumber_ + k; }
  void drop(std::size_t n) {
    first_ += n;
    firstNumber_ += n;
    views_.erase(views_.begin(),
                 views_.begin() + static_cast<std::ptrdiff_t>(std::min(n, views_.size())));
  }
  int error() const { return error_; }

 private:
  static constexpr std::size_t kChunk = 256 * 1024;
  struct Line {
    std::size_t offset, length;
    bool cut;
  };

  // Splits off one more line, reading when the buffer holds no whole one;
  // false at the end of the log.
  bool more() {
    for (;;) {
      const char* begin = buffer_.data();
      const void* lf = std::memchr(begin + scan_, '\n', end_ - scan_);
      if (skipping_) {
        // The rest of a line too long to keep.
        if (lf == nullptr) {
          end_ = scan_;
        } else {
          scan_ = static_cast<std::size_t>(static_cast<const char*>(lf) - begin) + 1;
          skipping_ = false;
          continue;
        }
      } else if (lf != nullptr) {
        // Lines end in CR LF (or a bare LF, after an editor); a lone CR stays
        // in its line, where it can only be damage.
        const auto at = static_cast<std::size_t>(static_cast<const char*>(lf) - begin);
        std::size_t length = at - scan_;
        if (length > 0 && begin[at - 1] == '\r') --length;
        lines_.push_back({scan_, std::min(length, kLongestLogLine), length > kLongestLogLine});
        scan_ = at + 1;
        return true;
      } else if (end_ - scan_ > kLongestLogLine) {
        lines_.push_back({scan_, kLongestLogLine, true});
        scan_ += kLongestLogLine;
        skipping_ = true;
        return true;
      } else if (atEnd_) {
        if (scan_ == end_) return false;
        lines_.push_back({scan_, end_ - scan_, false});  // the last line need not end
        scan_ = end_;
        return true;
      }
      if (atEnd_) return false;
      refill();
    }
  }

  void refill() {
    // Whatever lies before the window is done with; the window moves to the front.
    const std::size_t keep = first_ < lines_.size() ? lines_[first_].offset : scan_;
    if (keep > 0) {
      std::memmove(buffer_.data(), buffer_.data() + keep, end_ - keep);
      end_ -= keep;
      scan_ -= keep;
      for (std::size_t k = first_; k < lines_.size(); ++k) lines_[k].offset -= keep;
    }
    lines_.erase(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(first_));
    first_ = 0;
    if (buffer_.size() - end_ < kChunk / 2) buffer_.resize(end_ + kChunk);
    for (;;) {
      const long got = source_(buffer_.data() + end_, buffer_.size() - end_);
      if (got > 0) {
        end_ += static_cast<std::size_t>(got);
        return;
      }
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) error_ = errno ? errno : EIO;
      atEnd_ = true;
      return;
    }
  }

  const ByteSource& source_;
  std::string buffer_;
  std::size_t end_ = 0, scan_ = 0;
  std::vector<Line> lines_;
  std::size_t first_ = 0, firstNumber_ = 1;
  std::vector<std::string_view> views_;
  bool skipping_ = false, atEnd_ = false;
  int error_ = 0;
};

}  // namespace

const std::vector<Grade>& gradeScale(bool exam) {
  static const std::vector<Grade> exams{gradeFor(true, 0), gradeFor(true, 1), gradeFor(true, 2),
                                        gradeFor(true, kErrorLimit)};
  static const std::vector<Grade> passFail{gradeFor(false, 0), gradeFor(false, kErrorLimit)};
  return exam ? exams : passFail;
}

int readLog(const ByteSource& source, const std::function<void(const LogRecord&)>& onRecord,
            const std::function<void(const SkippedRecord&)>& onSkipped) {
  LineWindow window(source);
  LogRecord record;
  bool afterFault = false;  // the tail of a broken record may stick to the next "=====" line
  for (std::size_t n = window.ensure(1); n > 0; n = window.ensure(1)) {
    if (!endsWithSeparator(window.lines()[0])) {
      // Lines outside any record: blank ones are harmless, others are what is
      // left of a record whose "=====" line was damaged.
      std::size_t firstText = 0;
      for (; n > 0 && !endsWithSeparator(window.lines()[0]); n = window.ensure(1)) {
        if (firstText == 0 && !trimRight(window.lines()[0]).empty()) firstText = window.number(0);
        window.drop(1);
      }
      // A read that failed or was stopped cuts what it reads last; that is
      // told as the read's failure, not as damage in the log.
      if (firstText != 0 && (n > 0 || window.error() == 0))
        onSkipped({firstText, cp("строки вне записи")});
      afterFault = firstText != 0;
      continue;
    }
    if (window.lines()[0].size() > kSeparator.size() && !afterFault)
      onSkipped({window.number(0), cp("текст перед строкой «=====»")});

    n = window.ensure(kRecordLines);
    const std::string_view* lines = window.lines();
    std::optional<Fault> fault;
    for (std::size_t k = 1; k < n && k < kRecordLines && !fault; ++k)
      if (window.cut(k))
        fault = Fault{k, cp("строка длиннее ") + std::to_string(kLongestLogLine) + cp(" байт")};
    if (!fault) {
      clear(record);
      fault = parseRecord(lines, n, record);
    }
    if (fault) {
      // Only the exact "=====" line ends a record, so that a name ending in
      // "=" cannot split one; but a broken record with a line that ends in it
      // is most likely cut short by the next record glued on.
      for (std::size_t k = 1; k < n && k < kRecordLines; ++k)
        if (endsWithSeparator(lines[k])) fault = Fault{0, cp("запись оборвана")};
      const std::size_t line = window.number(fault->offset);
      afterFault = true;
      // Read on from the next "=====" line, also one glued to the broken tail.
      window.drop(1);
      for (n = window.ensure(1); n > 0 && !endsWithSeparator(window.lines()[0]);
           n = window.ensure(1))
        window.drop(1);
      if (n > 0 || window.error() == 0) onSkipped({line, fault->reason});
      continue;
    }
    record.line = window.number(0);
    onRecord(record);
    afterFault = false;
    window.drop(kRecordLines);
  }
  return window.error();
}

int readLines(const ByteSource& source,
              const std::function<void(std::string_view, std::size_t, bool)>& onLine) {
  LineWindow window(source);
  while (window.ensure(1) > 0) {
    onLine(window.lines()[0], window.number(0), window.cut(0));
    window.drop(1);
  }
  return window.error();
}

void readLog(std::string_view text, LogContents& into) {
  std::size_t at = 0;
  const ByteSource source = [&](char* to, std::size_t size) -> long {
    const std::size_t n = std::min(size, text.size() - at);
    std::memcpy(to, text.data() + at, n);
    at += n;
    return static_cast<long>(n);
  };
  readLog(
      source, [&](const LogRecord& r) { into.records.push_back(r); },
      [&](const SkippedRecord& s) { into.skipped.push_back(s); });
}
