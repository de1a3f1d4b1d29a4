#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/cp1251.h"
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
      {"a\rb\r\n", {"a\rb"}},  // a lone CR belongs to the line
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

TEST(TextFile_ReadsFiles, RefusesWhatIsNoCourseFileUnderACourseFileName) {
  const auto folder = std::filesystem::temp_directory_path() / "vorsanit-not-a-course-file";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "vopros.txt");
  // Nobody writes into the pipe: a reader that opened it and waited would hang here.
  ASSERT_EQ(::mkfifo((folder / "otvet.txt").c_str(), 0600), 0);
  // Sparse: it takes no disk, but a reader that held it whole would run out of memory.
  std::ofstream(folder / "konsult.txt").close();
  std::filesystem::resize_file(folder / "konsult.txt", kMaxTextFileBytes + 1);
  const struct {
    const char* name;
    const char* what;
  } cases[] = {{"vopros.txt", "это не обычный файл."},
               {"otvet.txt", "это не обычный файл."},
               {"konsult.txt", "файл слишком велик: больше 256 МБ."}};
  for (const auto& c : cases) {
    const auto read = readText((folder / c.name).string());
    ASSERT_FALSE(read.has_value()) << c.name;
    EXPECT_EQ(read.error().code, DataError::Code::CannotRead) << c.name;
    EXPECT_EQ(read.error().what, cp(c.what)) << c.name;
  }
  std::filesystem::remove_all(folder);
}

TEST(TextFile_CourseText, Utf8ConvertedAndCodePage1251KeptAsItIs) {
  const struct {
    const char* name;
    std::string bytes;
    std::string text;  // code page 1251; empty when an error is expected
    unsigned errorLine = 0;
    const char* errorNames = "";  // a piece of the error's text
  } cases[] = {
      // Code page 1251 texts whose bytes might look like UTF-8 lead and continuation bytes.
      {"1251 words", "\xCF\xF0\xE8\xE2\xE5\xF2", "\xCF\xF0\xE8\xE2\xE5\xF2"},
      {"1251 pair that alone is UTF-8, in a text", "\xD0\xB0 \xF2\xE5\xEA\xF1\xF2",
       "\xD0\xB0 \xF2\xE5\xEA\xF1\xF2"},
      // Alone it is taken for UTF-8 ("Р°" reads as "а"): the rule's price, and why the checker
      // notes UTF-8.
      {"1251 pair alone", "\xD0\xB0", "\xE0"},
      {"1251 ends on a lead byte", "ab\xD0", "ab\xD0"},
      {"ASCII only", "_001_1_1_a\r\n", "_001_1_1_a\r\n"},
      {"UTF-8", "\xD0\x9F\xD1\x80\xD0\xB8\r\n", "\xCF\xF0\xE8\r\n"},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBFOne", "One"},
      {"UTF-8 quotes and dash", "\xC2\xAB\xE2\x80\x94\xC2\xBB", "\xAB\x97\xBB"},
      {"a character 1251 lacks", "a\r\n\xD0\x9F \xE2\x98\x83", "", 2, "U+2603"},
      {"U+0098", "\xC2\x98\xD0\x9F", "", 1, "U+0098"},
      {"bytes after a byte-order mark that are not UTF-8",
       "\xEF\xBB\xBF"
       "a\n\xCF",
       "", 2, "UTF-8"},
      {"a NUL byte", std::string("a\n\nb\0", 5), "", 3, ""},
  };
  for (const auto& c : cases) {
    const auto text = courseText(c.bytes, "vopros.txt");
    if (c.errorLine == 0) {
      ASSERT_TRUE(text.has_value()) << c.name;
      EXPECT_EQ(*text, c.text) << c.name;
      continue;
    }
    ASSERT_FALSE(text.has_value()) << c.name;
    EXPECT_EQ(text.error().file, "vopros.txt") << c.name;
    EXPECT_EQ(text.error().line, c.errorLine) << c.name;
    EXPECT_NE(text.error().what.find(c.errorNames), std::string::npos) << c.name;
  }
}
