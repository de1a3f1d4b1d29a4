#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/text_file.h"

using Lines = std::vector<std::string>;

TEST(TextFile_SplitsLines, AtCrLfAndBareLfOnly) {
  const struct {
    std::string text;
    Lines lines;
  } cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\rb\r\n", {"a\rb"}},   // a lone CR belongs to the line
      {"a\r", {"a\r"}},
      {"a\r\r\n", {"a\r"}},
      {std::string("\x98\xff\0z", 4) + "\r\n", {std::string("\x98\xff\0z", 4)}},
  };
  for (const auto& c : cases) EXPECT_EQ(splitLines(c.text), c.lines) << "text: " << c.text;
}

TEST(TextFile_ReadsFiles, WholeFileOfAnyLineLength) {
  const auto path = std::filesystem::temp_directory_path() / "vorsanit-text-file-test.txt";
  const std::string longLine(200000, '\xe0');
  {
    std::ofstream out(path, std::ios::binary);
    out << "+++1\r\n" << longLine << "\nlast";
  }
  const auto lines = readLines(path.string());
  ASSERT_TRUE(lines.has_value());
  EXPECT_EQ(*lines, (Lines{"+++1", longLine, "last"}));
  EXPECT_TRUE(fileExists(path.string()));
  std::filesystem::remove(path);
  EXPECT_FALSE(fileExists(path.string()));
  EXPECT_EQ(readLines(path.string()).error().code, DataError::Code::FileMissing);
  EXPECT_EQ(readLines(path.string()).error().file, "vorsanit-text-file-test.txt");
  EXPECT_FALSE(readLines(std::filesystem::temp_directory_path().string()).has_value());
  EXPECT_FALSE(fileExists(""));
}
