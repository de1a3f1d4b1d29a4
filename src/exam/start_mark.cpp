#include "exam/start_mark.h"

#include <vector>

#include "exam/report.h"
#include "platform/cp1251.h"

namespace {

constexpr std::size_t kFields = 10;

}  // namespace

std::string formatStartMark(const StartMark& m) {
  const std::string fields[kFields] = {
      m.date, m.time, cp(m.exam ? "Экзамен" : "Зачет"), m.topic, m.range, m.code, m.name, m.group,
      m.host, m.id};
  std::string line;
  for (const std::string& field : fields) {
    if (!line.empty()) line += '\t';
    line += oneLine(field);
  }
  return line + "\r\n";
}

std::optional<StartMark> parseStartMark(std::string_view line) {
  if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<std::string> fields;
  std::size_t from = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', from);
    fields.emplace_back(line.substr(from, tab - from));
    if (tab == std::string_view::npos) break;
    from = tab + 1;
  }
  if (fields.size() != kFields) return std::nullopt;
  StartMark m;
  if (fields[2] == cp("Экзамен"))
    m.exam = true;
  else if (fields[2] == cp("Зачет"))
    m.exam = false;
  else
    return std::nullopt;
  m.date = fields[0];
  m.time = fields[1];
  m.topic = fields[3];
  m.range = fields[4];
  m.code = fields[5];
  m.name = fields[6];
  m.group = fields[7];
  m.host = fields[8];
  m.id = fields[9];
  return m;
}
