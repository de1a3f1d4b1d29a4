#include "app/course_identity.h"

#include "platform/cp1251.h"
#include "platform/text_file.h"

std::string sampleAllTopicsCaption() { return cp("Ворсанит и ДРЛ (все темы)"); }

CourseIdentity parseCourseIdentity(const std::vector<std::string>& lines,
                                   std::vector<IdentityRemark>* remarks) {
  CourseIdentity identity;
  auto remark = [&](std::size_t index, std::string what) {
    if (remarks) remarks->push_back({static_cast<unsigned>(index + 1), std::move(what)});
  };
  auto setOnce = [&](std::optional<std::string>& part, const std::string& key, std::string value,
                     std::size_t index) {
    if (part)
      remark(index,
             cp("ключ «") + key + cp("» повторяется; программа возьмет последнее значение."));
    part = std::move(value);
  };
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
    const bool oneLine = key == cp("название") || key == cp("все темы") ||
                         key == cp("организация") || key == cp("кафедра") || key == cp("место") ||
                         key == cp("год");
    if (oneLine && value.empty()) {
      // An empty name would leave a window title, the all-topics entry or a
      // line of the title screen blank.
      remark(i, cp("у ключа «") + key + cp("» пустое значение; программа оставит прежнее."));
    } else if (key == cp("название")) {
      setOnce(identity.title, key, std::move(value), i);
    } else if (key == cp("все темы")) {
      setOnce(identity.allTopics, key, std::move(value), i);
    } else if (key == cp("заставка")) {
      if (identity.titleLines.size() < kMaxTitleScreenLines)
        identity.titleLines.push_back(std::move(value));
      else
        remark(i, cp("на титульном окне не больше 4 строк; программа эту строку пропускает."));
    } else if (key == cp("справка")) {
      identity.helpLines.push_back(std::move(value));
    } else if (key == cp("организация")) {
      setOnce(identity.organisation, key, std::move(value), i);
    } else if (key == cp("кафедра")) {
      setOnce(identity.department, key, std::move(value), i);
    } else if (key == cp("место")) {
      setOnce(identity.place, key, std::move(value), i);
    } else if (key == cp("год")) {
      setOnce(identity.year, key, std::move(value), i);
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
