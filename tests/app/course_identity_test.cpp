#include "app/course_identity.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/cp1251.h"

namespace {

using Lines = std::vector<std::string>;

Lines cpLines(std::initializer_list<const char*> utf8) {
  Lines lines;
  for (const char* line : utf8) lines.push_back(cp(line));
  return lines;
}

}  // namespace

TEST(CourseIdentity, ReadsKeysAndRemarksOnWhatItSkips) {
  const struct {
    const char* name;
    Lines lines;
    CourseIdentity identity;
    std::vector<unsigned> remarkLines;
  } cases[] = {
      {"nothing", {}, {}, {}},
      {"every key",
       cpLines({"название=Основы", "все темы=Всё = сразу", "заставка=Основы", "",
                "заставка=для 1-го курса", "справка=Учебник.", "справка=", "организация=Вуз",
                "кафедра=Кафедра ТОЭ", "авторы=Составитель:", "авторы=   Иванов И. И.",
                "место=Томск", "год=2025"}),
       {cp("Основы"), cp("Всё = сразу"), cpLines({"Основы", "для 1-го курса"}),
        cpLines({"Учебник.", ""}), cp("Вуз"), cp("Кафедра ТОЭ"),
        cpLines({"Составитель:", "   Иванов И. И."}), cp("Томск"), "2025"},
       {}},
      {"a line without '=' and an unknown key",
       cpLines({"название", "цвет=синий", " название=А"}),
       {},
       {1, 2, 3}},
      {"a repeated title: the last wins",
       cpLines({"название=А", "название=Б"}),
       {cp("Б"), {}, {}, {}, {}, {}, {}, {}, {}},
       {2}},
      {"an empty title, caption or title screen line keeps the default",
       cpLines({"название=", "все темы=Курс", "все темы=", "место="}),
       {{}, cp("Курс"), {}, {}, {}, {}, {}, {}, {}},
       {1, 3, 4}},
      {"a fifth title screen line",
       cpLines({"заставка=1", "заставка=2", "заставка=3", "заставка=4", "заставка=5"}),
       {{}, {}, cpLines({"1", "2", "3", "4"}), {}, {}, {}, {}, {}, {}},
       {5}},
      {"a ninth authors' line and a repeated year",
       cpLines({"авторы=1", "авторы=2", "авторы=3", "авторы=4", "авторы=5", "авторы=6", "авторы=7",
                "авторы=8", "авторы=9", "год=1", "год=2"}),
       {{}, {}, {}, {}, {}, {}, cpLines({"1", "2", "3", "4", "5", "6", "7", "8"}), {}, "2"},
       {9, 11}},
  };
  for (const auto& c : cases) {
    std::vector<IdentityRemark> remarks;
    const CourseIdentity identity = parseCourseIdentity(c.lines, &remarks);
    EXPECT_EQ(identity.title, c.identity.title) << c.name;
    EXPECT_EQ(identity.allTopics, c.identity.allTopics) << c.name;
    EXPECT_EQ(identity.titleLines, c.identity.titleLines) << c.name;
    EXPECT_EQ(identity.helpLines, c.identity.helpLines) << c.name;
    EXPECT_EQ(identity.organisation, c.identity.organisation) << c.name;
    EXPECT_EQ(identity.department, c.identity.department) << c.name;
    EXPECT_EQ(identity.authorLines, c.identity.authorLines) << c.name;
    EXPECT_EQ(identity.place, c.identity.place) << c.name;
    EXPECT_EQ(identity.year, c.identity.year) << c.name;
    std::vector<unsigned> lines;
    for (const IdentityRemark& remark : remarks) lines.push_back(remark.line);
    EXPECT_EQ(lines, c.remarkLines) << c.name;
  }
}

TEST(CourseIdentity, WithoutKursTxtTheSampleCaptionAndFromUtf8Converted) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("vors_kurs_" + std::to_string(std::random_device{}()));
  fs::create_directories(dir);
  const std::string folder = dir.string() + "/";
  const auto none = readCourseIdentity(folder);
  ASSERT_TRUE(none.has_value());
  EXPECT_EQ(none->allTopicsCaption(), cp("Ворсанит и ДРЛ (все темы)"));

  std::ofstream(dir / "kurs.txt", std::ios::binary) << "\xEF\xBB\xBFвсе темы=Электротехника\r\n";
  const auto utf8 = readCourseIdentity(folder);
  ASSERT_TRUE(utf8.has_value());
  EXPECT_EQ(utf8->allTopicsCaption(), cp("Электротехника"));
  fs::remove_all(dir);
}
