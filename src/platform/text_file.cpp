#include "platform/text_file.h"

#include <filesystem>
#include <fstream>

#include "platform/cp1251.h"

std::string asFolder(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

bool fileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::string_view nextLine(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  const std::size_t lf = text.find('\n', start);
  if (lf == std::string_view::npos) {
    pos = text.size();
    return text.substr(start);
  }
  pos = lf + 1;
  const std::size_t end = lf > start && text[lf - 1] == '\r' ? lf - 1 : lf;
  return text.substr(start, end - start);
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t pos = 0; pos < text.size();) lines.emplace_back(nextLine(text, pos));
  return lines;
}

Expected<std::string, DataError> readText(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  if (!fileExists(path))
    return Unexpected{DataError{DataError::Code::FileMissing, name, 0, cp("файл не найден.")}};
  const Unexpected cannotRead{
      DataError{DataError::Code::CannotRead, name, 0, cp("файл не удается прочитать.")}};
  std::ifstream in(path, std::ios::binary);
  if (!in) return cannotRead;
  // Read in pieces into a string sized once, so that a large file is held once.
  std::string text;
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec) text.reserve(size);
  char piece[1 << 16];
  while (in.read(piece, sizeof piece) || in.gcount() > 0)
    text.append(piece, static_cast<std::size_t>(in.gcount()));
  if (in.bad()) return cannotRead;
  return text;
}

Expected<std::vector<std::string>, DataError> readLines(const std::string& path) {
  auto text = readText(path);
  if (!text) return Unexpected{text.error()};
  return splitLines(*text);
}
