#include "app/command_line.h"
#include "platform/text_file.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using Action = CommandLine::Action;

TEST(CommandLine, Parsing) {
  struct Case {
    std::vector<std::string> args;
    Action action;
    std::string folder;
  };
  const Case cases[] = {
      {{}, Action::Run, ""},
      {{"/srv/course"}, Action::Run, "/srv/course"},
      {{"--sample"}, Action::RunSample, ""},
      {{"--help"}, Action::Help, ""},
      {{"x", "--version"}, Action::Version, ""},
      {{"--bogus"}, Action::Error, ""},
      {{"a", "b"}, Action::Error, ""},
      {{"--sample", "a"}, Action::Error, ""},
  };
  for (const Case& c : cases) {
    const CommandLine line = parseCommandLine(c.args);
    EXPECT_EQ(line.action, c.action) << ::testing::PrintToString(c.args);
    EXPECT_EQ(line.folder, c.folder);
    EXPECT_EQ(line.error.empty(), c.action != Action::Error);
  }
  EXPECT_EQ(asFolder("/srv/course"), "/srv/course/");
  EXPECT_EQ(asFolder("/srv/course/"), "/srv/course/");
}

TEST(CommandLine, TheSampleIsCopiedOnceAndItsLogsAreKept) {
  const fs::path dir =
      fs::temp_directory_path() / ("vorsanit-sample-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  const fs::path from = dir / "share", to = dir / "data" / "course";
  fs::create_directories(from);
  for (const char* name : {"main.txt", "vopros.txt", "ekzam.log", "vorsanit"})
    std::ofstream(from / name) << name;

  EXPECT_EQ(prepareSampleCourse(from.string(), to.string()), "");
  EXPECT_TRUE(fs::exists(to / "main.txt"));
  EXPECT_TRUE(fs::exists(to / "vopros.txt"));
  EXPECT_FALSE(fs::exists(to / "ekzam.log"));  // neither a log nor the program travels
  EXPECT_FALSE(fs::exists(to / "vorsanit"));

  // A later run keeps the copy, the teacher's changes and the logs written since.
  std::ofstream(to / "vopros.txt") << "changed";
  std::ofstream(to / "ekzam.log") << "record";
  EXPECT_EQ(prepareSampleCourse(from.string(), to.string()), "");
  std::ifstream in(to / "vopros.txt");
  std::string text;
  in >> text;
  EXPECT_EQ(text, "changed");
  EXPECT_TRUE(fs::exists(to / "ekzam.log"));

  EXPECT_NE(prepareSampleCourse((dir / "none").string(), (dir / "other").string()), "");
  fs::remove_all(dir);
}

TEST(CommandLine, WithoutADisplayTheProgramSaysSoPlainly) {
  const std::vector<std::string> none;
  EXPECT_FALSE(displayAvailable("", "", "", none));
  EXPECT_TRUE(displayAvailable(":0", "", "", none));
  EXPECT_TRUE(displayAvailable("", "wayland-0", "", none));
  EXPECT_TRUE(displayAvailable("", "", "offscreen", none));
  EXPECT_TRUE(displayAvailable("", "", "", {"-platform", "offscreen"}));

  const std::string unset = noDisplayText("", "");
  EXPECT_NE(unset.find("DISPLAY и WAYLAND_DISPLAY не заданы"), std::string::npos);
  EXPECT_NE(unset.find("xvfb-run -a vorsanit"), std::string::npos);
  EXPECT_NE(noDisplayText(":99", "").find("дисплей :99 недоступен"), std::string::npos);
}
