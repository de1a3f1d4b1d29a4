#include "platform/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>

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

int writeWhole(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::size_t pos = 0; pos < text.size();) lines.emplace_back(nextLine(text, pos));
  return lines;
}

Expected<std::string, DataError> readText(const std::string& path) {
  const std::string name = std::filesystem::path(path).filename().string();
  const auto fault = [&](DataError::Code code, std::string_view utf8What) {
    return Unexpected{DataError{code, name, 0, cp(utf8What)}};
  };
  // Opened without waiting, so that a FIFO or a device planted under a course
  // file's name is refused rather than waited on or read forever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0)
    return errno == ENOENT || errno == ENOTDIR
               ? fault(DataError::Code::FileMissing, "файл не найден.")
               : fault(DataError::Code::CannotRead, "файл не удается прочитать.");
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat info {};
  if (::fstat(fd, &info) != 0)
    return fault(DataError::Code::CannotRead, "файл не удается прочитать.");
  if (!S_ISREG(info.st_mode)) return fault(DataError::Code::CannotRead, "это не обычный файл.");
  const auto tooLarge = [&] {
    return fault(DataError::Code::CannotRead, "файл слишком велик: больше 256 МБ.");
  };
  if (static_cast<std::uint64_t>(info.st_size) > kMaxTextFileBytes) return tooLarge();
  // Read in pieces into a string sized once, so that a large file is held once.
  std::string text;
  text.reserve(static_cast<std::size_t>(info.st_size));
  char piece[1 << 16];
  for (;;) {
    const ssize_t got = ::read(fd, piece, sizeof piece);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      return fault(DataError::Code::CannotRead, "файл не удается прочитать.");
    }
    text.append(piece, static_cast<std::size_t>(got));
    if (text.size() > kMaxTextFileBytes) return tooLarge();  // grown while being read
  }
  return text;
}

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

unsigned lineAt(std::string_view text, std::size_t pos) {
  return static_cast<unsigned>(
             std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(pos), '\n')) +
         1;
}

}  // namespace

bool isUtf8CourseText(std::string_view bytes) {
  if (bytes.substr(0, kByteOrderMark.size()) == kByteOrderMark) return true;
  bool multiByte = false;
  for (std::size_t i = 0; i < bytes.size();) {
    const Utf8Char next = utf8CharAt(bytes, i);
    if (next.length == 0) return false;
    multiByte = multiByte || next.length > 1;
    i += next.length;
  }
  return multiByte;
}

Expected<std::string, DataError> courseText(std::string bytes, const std::string& name) {
  auto fault = [&](std::string_view text, std::size_t pos, std::string what) {
    return Unexpected{
        DataError{DataError::Code::BadText, name, lineAt(text, pos), std::move(what)}};
  };
  if (const std::size_t nul = bytes.find('\0'); nul != std::string::npos)
    return fault(bytes, nul, cp("файл не является текстом: в нем есть нулевой байт."));
  if (!isUtf8CourseText(bytes)) return bytes;
  std::string_view utf8 = bytes;
  if (utf8.substr(0, kByteOrderMark.size()) == kByteOrderMark)
    utf8.remove_prefix(kByteOrderMark.size());
  std::string text;
  text.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Char next = utf8CharAt(utf8, i);
    // Only a file that starts with a byte-order mark can be ill-formed here.
    if (next.length == 0)
      return fault(utf8, i,
                   cp("файл начинается с метки UTF-8, но не является правильным текстом UTF-8."));
    const int byte = cp1251ByteOf(next.c);
    if (byte < 0) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(next.c));
      return fault(utf8, i, cp("символа ") + code + cp(" нет в кодировке 1251; замените его."));
    }
    text += static_cast<char>(byte);
    i += next.length;
  }
  return text;
}

Expected<std::string, DataError> readCourseText(const std::string& path) {
  auto bytes = readText(path);
  if (!bytes) return Unexpected{bytes.error()};
  return courseText(std::move(*bytes), std::filesystem::path(path).filename().string());
}

Expected<std::vector<std::string>, DataError> readLines(const std::string& path) {
  auto text = readCourseText(path);
  if (!text) return Unexpected{text.error()};
  return splitLines(*text);
}
