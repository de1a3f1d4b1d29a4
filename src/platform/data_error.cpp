#include "platform/data_error.h"

#include "platform/cp1251.h"

std::string describe(const DataError& error) {
  std::string text = cp("Ошибка в файле ") + error.file;
  if (error.line > 0) text += cp(", строка ") + std::to_string(error.line);
  text += ": " + error.what;
  return text;
}
