#include "app/course_identity.h"

#include <algorithm>
#include <iterator>

#include "platform/cp1251.h"
#include "platform/text_file.h"

std::string sampleAllTopicsCaption() { return cp("Ворсанит и ДРЛ (все темы)"); }

CourseIdentity parseCourseIdentity(const std::vector<std::string>& lines,
                                   std::vector<IdentityRemark>* remarks) {
  CourseIdentity identity;
  auto remark = [&](std::size_t index, std::string what) {
    if (remarks) remarks->push_back({static_cast<unsigned>(index + 1), std::move(what)});
  };
  // The keys of one value each.
  const std::pair<std::string, std::optional<std::string> CourseIdentity::*> oneLineKeys[] = {
      {cp("название"), &CourseIdentity::title},
      {cp("все темы"), &CourseIdentity::allTopics},
      {cp("организация"), &CourseIdentity::organisation},
      {cp("кафедра"), &CourseIdentity::department},
      {cp("место"), &CourseIdentity::place},
      {cp("год"), &CourseIdentity::year}};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.empty()) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) {
      remark(i, cp("строка не имеет вида «ключ=значение»; программа ее пропускает."));
      continue;
    }
    const std::string key = line.substr(0, equals);
    std::string value = line.substr(equals + 1);
    const auto oneLine = std::find_if(std::begin(oneLineKeys), std::end(oneLineKeys),
                                      [&key](const auto& known) { return known.first == key; });
    if (oneLine != std::end(oneLineKeys)) {
      std::optional<std::string>& part = identity.*(oneLine->second);
      if (value.empty()) {
        // An empty name would leave a window title, the all-topics entry or a
        // line of the title screen blank.
        remark(i, cp("у ключа «") + key + cp("» пустое значение; программа оставит прежнее."));
        continue;
      }
      if (part)
        remark(i, cp("ключ «") + key + cp("» повторяется; программа возьмет последнее значение."));
      part = std::move(value);
    } else if (key == cp("заставка")) {
      if (identity.titleLines.size() < kMaxTitleScreenLines)
        identity.titleLines.push_back(std::move(value));
      else
        remark(i, cp("на титульном окне не больше 4 строк; программа эту строку пропускает."));
    } else if (key == cp("справка")) {
      identity.helpLines.push_back(std::move(value));
    } else if (key == cp("авторы")) {
      if (identity.authorLines.size() < kMaxAuthorLines)
        identity.authorLines.push_back(std::move(value));
      else
        remark(i, cp("строк об авторах не больше 8; программа эту строку пропускает."));
    } else {
      remark(i, cp("неизвестный ключ «") + key + cp("»; программа строку пропускает."));
    }
  }
  return identity;
}

Expected<CourseIdentity, DataError> readCourseIdentity(const std::string& folder) {
  const std::string path = folder + kCourseIdentityFile;
  if (!fileExists(path)) return CourseIdentity{};
  auto lines = readLines(path);
  if (!lines) return Unexpected{lines.error()};
  return parseCourseIdentity(*lines);
}
