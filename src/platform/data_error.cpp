#include "platform/data_error.h"

#include "platform/cp1251.h"

std::string describe(const DataError& error) {
  std::string text = cp("Ошибка в файле ") + error.file;
  if (error.line > 0) text += cp(", строка ") + std::to_string(error.line);
  text += ": " + error.what;
  return visibleControls(text);
}

std::string visibleControls(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  shown.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      shown += c;
      continue;
    }
    shown += "\\x";
    shown += kHex[byte >> 4];
    shown += kHex[byte & 0x0F];
  }
  return shown;
}
