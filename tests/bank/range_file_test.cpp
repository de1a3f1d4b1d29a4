#include "bank/range_file.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>

#include "platform/cp1251.h"
#include "platform/pixels.h"

namespace {

std::vector<std::string> cpLines(std::initializer_list<const char*> utf8) {
  std::vector<std::string> lines;
  for (const char* line : utf8) lines.push_back(cp(line));
  return lines;
}

std::vector<std::string> captions(const RangeList& list) {
  std::vector<std::string> result;
  for (const auto& entry : *list) result.push_back(entry.caption);
  return result;
}

RangeEntry entryOf(std::string first, std::string last, unsigned line = 7) {
  return RangeEntry{std::move(first), std::move(last), "", line};
}

}  // namespace

TEST(RangeFile_Sections, OffersTheSelectedTopicsLinesInFileOrder) {
  const auto lines = cpLines({
      "Диапазоны курса",  // before any marker: belongs to no section
      "_1_99_ничей",
      "+++1",
      "*_1",
      "_1_10_первая тема",
      "+++2",
      "*_2",
      "_1_20_вторая А",
      "// комментарий",
      "_21_40_вторая Б",
      "+++3",
      "*_2",
      "_1_5_третья А",
      "_6_9_третья Б",
      "+++2",
      "*_1",
      "_1_40_вторая, всё",
  });
  const RangeList third = readRanges(lines, 3);
  ASSERT_TRUE(third);
  EXPECT_EQ(captions(third), cpLines({"третья А", "третья Б"}));
  EXPECT_EQ((*third)[0].line, 13u);
  EXPECT_EQ((*third)[1].line, 14u);

  const RangeList second = readRanges(lines, 2);
  ASSERT_TRUE(second);
  EXPECT_EQ(captions(second), cpLines({"вторая А", "вторая Б", "вторая, всё"}));
  EXPECT_EQ((*second)[2].firstText, "1");
  EXPECT_EQ((*second)[2].lastText, "40");
  EXPECT_EQ((*second)[2].line, 17u);

  const RangeList absent = readRanges(lines, 5);
  EXPECT_TRUE(absent);
  EXPECT_TRUE(absent->empty());
}

TEST(RangeFile_Sections, OffersTheLinesFoundNotTheAnnouncedCount) {
  const auto lines = cpLines({"+++4", "*_3", "_1_5_А", "_6_9_Б"});
  const RangeList list = readRanges(lines, 4);
  ASSERT_TRUE(list);
  EXPECT_EQ(list->size(), 2u);
}

TEST(RangeFile_Sections, AllTopicsHaveNoRangesEvenWithAZeroMarker) {
  const auto lines = cpLines({"+++0", "*_1", "_1_5_А"});
  const RangeList list = readRanges(lines, 0);
  EXPECT_TRUE(list);
  EXPECT_TRUE(list->empty());
}

TEST(RangeFile_Fields, SplitsARangeLineAtItsFirstTwoUnderscores) {
  struct Case {
    const char* line;
    const char* first;
    const char* last;
    const char* caption;
  };
  const Case cases[] = {
      {"_1_20_Вопросы с 1 по 20", "1", "20", "Вопросы с 1 по 20"},
      {"_5_9_", "5", "9", ""},
      {"_1_20_Часть_1 (вопросы_1_20)_", "1", "20", "Часть_1 (вопросы_1_20)_"},
      {"_5_9", "5", "9", ""},
      {"_5", "5", "", ""},
      {"_", "", "", ""},
      {"__3_x", "", "3", "x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const RangeList list = readRanges({"+++1", cp(c.line)}, 1);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->size(), 1u);
    EXPECT_EQ((*list)[0].firstText, c.first);
    EXPECT_EQ((*list)[0].lastText, c.last);
    EXPECT_EQ((*list)[0].caption, cp(c.caption));
  }
}

TEST(RangeFile_Faults, ReportsTheFileAndLineAndOffersNothing) {
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    DataError::Code code;
    unsigned line;
  };
  const Case cases[] = {
      {"empty line before any marker",
       {"", "+++1", "*_1", "_1_5_А"},
       DataError::Code::EmptyLine,
       1},
      {"empty line in another section",
       {"+++1", "*_1", "_1_5_А", "+++2", ""},
       DataError::Code::EmptyLine,
       5},
      {"marker without digit elsewhere",
       {"+++1", "*_1", "_1_5_А", "+++x"},
       DataError::Code::BadTopicDigit,
       4},
      {"marker too short", {"+++1", "_1_5_А", "++"}, DataError::Code::BadTopicDigit, 3},
      {"count without digit", {"+++1", "*_", "_1_5_А"}, DataError::Code::BadStructure, 2},
      {"count with a letter", {"+++1", "*_x", "_1_5_А"}, DataError::Code::BadStructure, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines;
    for (const auto& l : c.lines) lines.push_back(cp(l));
    const RangeList list = readRanges(lines, 1);
    ASSERT_FALSE(list);
    EXPECT_EQ(list.error().code, c.code);
    EXPECT_EQ(list.error().file, "diapazon.txt");
    EXPECT_EQ(list.error().line, c.line);
    EXPECT_FALSE(list.error().what.empty());
  }
}

TEST(RangeFile_Faults, CountLinesOfOtherSectionsAreNotRead) {
  const RangeList list = readRanges(cpLines({"+++2", "*", "+++1", "*_1", "_1_5_А"}), 1);
  EXPECT_TRUE(list);
  EXPECT_EQ(list->size(), 1u);
}

TEST(RangeFile_Load, ReadsTheFileInTheFolderAndReportsAMissingOne) {
  const auto folder =
      std::filesystem::temp_directory_path() / ("range_file_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::string prefix = folder.string() + "/";

  const RangeList missing = loadRanges(prefix, 1);
  ASSERT_FALSE(missing);
  EXPECT_EQ(missing.error().code, DataError::Code::FileMissing);
  EXPECT_EQ(missing.error().file, "diapazon.txt");

  {
    std::ofstream out(prefix + "diapazon.txt", std::ios::binary);
    out << "+++1\r\n*_1\r\n" << cp("_1_30_Все вопросы") << "\r\n";
  }
  const RangeList list = loadRanges(prefix, 1);
  std::filesystem::remove_all(folder);
  ASSERT_TRUE(list);
  ASSERT_EQ(list->size(), 1u);
  EXPECT_EQ((*list)[0].caption, cp("Все вопросы"));
  EXPECT_EQ((*list)[0].lastText, "30");
}

TEST(RangeChoice, AcceptsDecimalNumbersInOrderWithinTheBank) {
  struct Case {
    const char* first;
    const char* last;
    std::uint16_t wantFirst;
    std::uint16_t wantLast;
  };
  const Case cases[] = {
      {"5", "9", 5, 9}, {"1", "30", 1, 30}, {"7", "7", 7, 7}, {"05", "009", 5, 9}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.first) + "-" + c.last);
    const RangeChoice choice = chooseRange(entryOf(c.first, c.last), 30);
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->first, c.wantFirst);
    EXPECT_EQ(choice->last, c.wantLast);
  }
}

TEST(RangeChoice, RejectsWhatIsNotAUsableRangeNamingItsLine) {
  struct Case {
    const char* first;
    const char* last;
    const char* what;  // empty: only that there is an explanation
  };
  const Case cases[] = {
      {"5", "3", "диапазон 5-3 задан в обратном порядке."},
      {"1", "40", "диапазон 1-40 выходит за пределы загруженных вопросов (30)."},
      {"0", "5", ""},
      {"", "5", ""},
      {"1", "", ""},
      {"1a", "5", ""},
      {"1", " 5", ""},
      {"-1", "5", ""},
      {"1", "123456", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.first) + "-" + c.last);
    const RangeChoice choice = chooseRange(entryOf(c.first, c.last, 12), 30);
    ASSERT_FALSE(choice);
    EXPECT_EQ(choice.error().code, DataError::Code::BadRange);
    EXPECT_EQ(choice.error().file, "diapazon.txt");
    EXPECT_EQ(choice.error().line, 12u);
    if (*c.what)
      EXPECT_EQ(choice.error().what, cp(c.what));
    else
      EXPECT_FALSE(choice.error().what.empty());
  }
}

TEST(RangeChoice, ControlBytesOfAFieldShowEscapedInTheMessage) {
  const RangeChoice choice = chooseRange(entryOf(std::string("1\0\r\n\x7f", 5), "5", 3), 30);
  ASSERT_FALSE(choice);
  const std::string message = describe(choice.error());
  EXPECT_NE(message.find(cp("«1\\x00\\x0D\\x0A\\x7F»")), std::string::npos)
      << utf8FromCp1251(message);
  EXPECT_EQ(visibleControls(std::string("a\tb\x1f\x20\xff", 6)), "a\\x09b\\x1F \xff");
}

TEST(RangeChoice, WorkingRangeFallsBackToTheWholeBank) {
  struct Case {
    unsigned topic;
    QuestionRange stored;
    std::size_t count;
    QuestionRange want;
  };
  const Case cases[] = {
      {1, {5, 9}, 30, {5, 9}},        {1, {1, 30}, 30, {1, 30}},  {1, {30, 30}, 30, {30, 30}},
      {1, {0, 0}, 30, {1, 30}},       {1, {0, 9}, 30, {1, 30}},   {1, {9, 5}, 30, {1, 30}},
      {1, {1, 31}, 30, {1, 30}},      {2, {21, 40}, 20, {1, 20}}, {2, {5, 13}, 12, {1, 12}},
      {0, {5, 9}, 30, {1, 30}},        // all topics: always the whole bank
      {0, {0, 0}, 70000, {1, 65535}},  // the whole bank stops at the 16-bit limit
      {1, {1, 1}, 0, {1, 0}},          // an empty bank: a range with nothing in it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.topic) + ": " + std::to_string(c.stored.first) + "-" +
                 std::to_string(c.stored.last) + " of " + std::to_string(c.count));
    const QuestionRange got = workingRange(c.topic, c.stored, c.count);
    EXPECT_EQ(got.first, c.want.first);
    EXPECT_EQ(got.last, c.want.last);
    const bool kept = got.first == c.stored.first && got.last == c.stored.last;
    if (c.topic != 0) {
      EXPECT_EQ(withinBank(c.stored, c.count), kept);
    }
  }
}

TEST(RangeWindow, FourRangesWithALongestCaptionOfThirtyCharacters) {
  const RangeWindowLayout layout = layoutRangeWindow(
      {std::string(12, 'a'), std::string(30, 'b'), std::string(25, 'c'), std::string(7, 'd')});
  EXPECT_EQ(layout.buttonTops, (std::vector<int>{20, 40, 60, 80}));
  EXPECT_EQ(layout.buttonWidths, (std::vector<int>{72, 180, 150, 42}));
  EXPECT_EQ(layout.outerWidth, 220);
  EXPECT_EQ(layout.outerHeight, 185);
  EXPECT_EQ(layout.acceptLeft, 72);
  EXPECT_EQ(layout.acceptTop, 115);
}

TEST(RangeWindow, NarrowCaptionsPutTheButtonLeftOfTheEdgeRoundingTowardZero) {
  struct Case {
    std::size_t chars;
    int width;
    int outerWidth;
    int acceptLeft;
  };
  const Case cases[] = {{0, 0, 40, -17}, {1, 6, 46, -14}, {6, 36, 76, 0}, {7, 42, 82, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.chars);
    const RangeWindowLayout layout = layoutRangeWindow({std::string(c.chars, 'x')});
    EXPECT_EQ(layout.buttonWidths, std::vector<int>{c.width});
    EXPECT_EQ(layout.outerWidth, c.outerWidth);
    EXPECT_EQ(layout.acceptLeft, c.acceptLeft);
    EXPECT_EQ(layout.outerHeight, 125);
    EXPECT_EQ(layout.acceptTop, 55);
  }
}

TEST(RangeWindow, AVeryLongCaptionIsClampedToWhatAWidgetTakes) {
  const RangeWindowLayout layout = layoutRangeWindow({std::string(6000, 'x'), "y"});
  EXPECT_EQ(layout.buttonWidths, (std::vector<int>{kMaxPixels, 6}));
  EXPECT_EQ(layout.outerWidth, kMaxPixels);
  EXPECT_EQ(layout.acceptLeft, (kMaxPixels - 75) / 2);
}

TEST(RangeWindow, EmptyCaptionGivesWidthZeroAndItsRangeIsAccepted) {
  const RangeList list = readRanges({"+++1", "_5_9_"}, 1);
  ASSERT_EQ(list->size(), 1u);
  EXPECT_EQ(layoutRangeWindow({(*list)[0].caption}).buttonWidths, std::vector<int>{0});
  const RangeChoice choice = chooseRange((*list)[0], 30);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->first, 5);
  EXPECT_EQ(choice->last, 9);
}

TEST(RangeWindow, RecentresOnTheOldCentreButNotPastTheOrigin) {
  struct Case {
    int left, top, width, height, newWidth, newHeight;
    WindowPlace want;
  };
  const Case cases[] = {
      {100, 100, 726, 312, 220, 185, {353, 164}},  // centre 463,256
      {0, 0, 100, 100, 301, 401, {0, 0}},
      {10, 20, 101, 51, 41, 11, {40, 40}},  // centre 60,45; halves round down
  };
  for (const Case& c : cases) {
    const WindowPlace got = recentre(c.left, c.top, c.width, c.height, c.newWidth, c.newHeight);
    EXPECT_EQ(got.left, c.want.left);
    EXPECT_EQ(got.top, c.want.top);
  }
}
