#include "bank/course_files.h"

#include <charconv>

namespace {

// Set numbers are stored and compared as 16-bit question numbers downstream.
constexpr unsigned kMaxSetNumber = 65535;
constexpr std::size_t kMaxSetDigits = 5;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Parses one set element: decimal digits, no leading zero, not 0.
std::optional<unsigned> parseSetNumber(std::string_view text) {
  if (text.empty() || text.size() > kMaxSetDigits || text.front() == '0') return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    if (!isDigit(c)) return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value;
}

void appendNumber(std::string& out, unsigned n) {
  char buffer[12];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, n);
  out.append(buffer, result.ptr);
}

}  // namespace

LineKind classify(std::string_view line) {
  if (line.empty()) return LineKind::Other;
  switch (line.front()) {
    case '+':
      return LineKind::TopicMarker;
    case '*':
      return LineKind::Set;
    case '_':
      return LineKind::Record;
    default:
      return LineKind::Other;
  }
}

std::optional<unsigned> digitAt(std::string_view line, std::size_t pos) {
  if (pos == 0 || pos > line.size()) return std::nullopt;
  const char c = line[pos - 1];
  if (!isDigit(c)) return std::nullopt;
  return static_cast<unsigned>(c - '0');
}

std::string setKey(unsigned n) {
  std::string key = "_";
  appendNumber(key, n);
  key += '_';
  return key;
}

bool setContains(std::string_view set, unsigned n) {
  // Built on the stack: consumers call this for every answer line of every question.
  char key[16];
  key[0] = '_';
  const auto result = std::to_chars(key + 1, key + sizeof key - 1, n);
  *result.ptr = '_';
  return set.find(std::string_view(key, static_cast<std::size_t>(result.ptr + 1 - key))) !=
         std::string_view::npos;
}

std::optional<std::string> renumberSet(std::string_view setText, unsigned offset, unsigned limit) {
  if (setText.empty() || setText.front() != '_') return std::nullopt;
  std::string result = "_";
  result.reserve(setText.size() + 8);
  std::size_t pos = 1;
  while (pos < setText.size()) {
    const std::size_t end = setText.find('_', pos);
    // Text after the last underscore would be read differently by the two ways of loading.
    if (end == std::string_view::npos) return std::nullopt;
    if (end == pos && end + 1 == setText.size()) break;  // the tolerated doubled final underscore
    const auto number = parseSetNumber(setText.substr(pos, end - pos));
    if (!number) return std::nullopt;
    pos = end + 1;
    if (*number > limit) continue;
    if (offset > kMaxSetNumber || *number > kMaxSetNumber - offset) return std::nullopt;
    appendNumber(result, *number + offset);
    result += '_';
  }
  return result;
}

std::optional<std::vector<unsigned>> setNumbers(std::string_view setText) {
  const auto canonical = renumberSet(setText, 0);
  if (!canonical) return std::nullopt;
  std::vector<unsigned> numbers;
  unsigned value = 0;
  for (std::size_t i = 1; i < canonical->size(); ++i) {
    const char c = (*canonical)[i];
    if (c == '_') {
      numbers.push_back(value);
      value = 0;
    } else {
      value = value * 10 + static_cast<unsigned>(c - '0');
    }
  }
  return numbers;
}

std::vector<std::string> topicTitles(const std::vector<std::string>& mainLines) {
  std::vector<std::string> titles;
  for (const std::string& line : mainLines)
    if (!line.empty()) titles.push_back(line);
  return titles;
}
