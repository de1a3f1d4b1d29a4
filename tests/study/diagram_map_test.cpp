#include "study/diagram_map.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/cp1251.h"

TEST(DiagramMap, ReadsNumberAndNameAndSkipsWhatItCannotRead) {
  const std::vector<std::string> lines = {
      "7 diagram7.jpg",
      "",
      cp("12 схема двенадцать.jpg"),
      "0007 leading zeros.jpg",
      "3  two blanks.jpg ",
      "nonumber.jpg",    // no blank
      "x7 letters.jpg",  // not decimal
      "-7 minus.jpg",
      " 7 leading blank.jpg",
      "65535 largest.jpg",
      "65543 wraps to 7.jpg",  // above 65535: would wrap onto diagram 7
      "99999999999 huge.jpg",
      "8 ",
  };
  const std::vector<DiagramEntry> map = readDiagramMap(lines);
  const std::vector<std::pair<std::uint16_t, std::string>> want = {
      {7, "diagram7.jpg"},     {12, cp("схема двенадцать.jpg")}, {7, "leading zeros.jpg"},
      {3, " two blanks.jpg "}, {65535, "largest.jpg"},           {8, ""},
  };
  ASSERT_EQ(map.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(map[i].number, want[i].first);
    EXPECT_EQ(map[i].file, want[i].second);
  }
}

TEST(DiagramMap, TheLastEntryOfTheNumberGivesThePicture) {
  const std::vector<DiagramEntry> map =
      readDiagramMap({"7 first.jpg", "12 twelve.jpg", "7 second.jpg", "65535 top.jpg"});
  struct Case {
    const char* diagramName;
    const char* want;
  };
  const Case cases[] = {
      {"diagram_0007", "second.jpg"},
      {"diagram_0012", "twelve.jpg"},
      {"diagram_0099", "$.jpg"},  // no entry
      {"diagram_007", "$.jpg"},   // shorter than 12
      {"", "$.jpg"},
      {"diagram_00x7", "$.jpg"},  // characters 9-12 not digits
      {"diagram_ 007", "$.jpg"},
      {"diagram_00071", "second.jpg"},  // only characters 9-12 count
      {"diagram_-007", "$.jpg"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.diagramName);
    EXPECT_EQ(pictureName(map, c.diagramName), c.want);
  }
  EXPECT_EQ(pictureName({}, "diagram_0007"), "$.jpg");
}

TEST(DiagramMap, PictureKindByExtension) {
  EXPECT_EQ(pictureKind("$.jpg"), PictureKind::Jpeg);
  EXPECT_EQ(pictureKind("a.JPEG"), PictureKind::Jpeg);
  EXPECT_EQ(pictureKind("a.Ico"), PictureKind::Icon);
  EXPECT_EQ(pictureKind("a.png"), PictureKind::Png);
  EXPECT_EQ(pictureKind("a.emf"), PictureKind::Metafile);
  EXPECT_EQ(pictureKind("dir.jpg/a"), PictureKind::Unknown);
}

TEST(DiagramMap, WindowIsFittedAroundTheImageAndRecentred) {
  struct Case {
    const char* name;
    int pictureWidth, pictureHeight;
    ScreenArea screen;
    DiagramWindowPlace want;
  };
  // The design size 427 x 273 client is 433 x 298 outer, centred on a 1280 x 1024
  // screen at (423, 363): centre (639, 512).
  const ScreenArea screen{0, 0, 1280, 1024};
  const Case cases[] = {
      {"no picture", 321, 193, screen, {321, 193, 340, 273, 132, 213, 469, 376}},
      {"sample picture", 440, 280, screen, {440, 280, 459, 360, 192, 300, 410, 332}},
      {"just fits", 1261, 944, screen, {1261, 944, 1280, 1024, 602, 964, 0, 0}},
      {"larger than the screen", 7000, 7000, screen, {944, 944, 963, 1024, 444, 964, 158, 0}},
      {"wide only", 4000, 1000, screen, {1261, 315, 1280, 395, 602, 335, 0, 315}},
      {"beside a panel", 600, 2000, {0, 30, 1280, 994}, {274, 914, 293, 994, 109, 934, 493, 30}},
      {"screen not known", 2000, 100, {}, {2000, 100, 2019, 180, 972, 120, 0, 422}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const DiagramWindowPlace place =
        placeDiagramWindow(c.pictureWidth, c.pictureHeight, 423, 363, 433, 298, 75, c.screen);
    EXPECT_EQ(place.imageWidth, c.want.imageWidth);
    EXPECT_EQ(place.imageHeight, c.want.imageHeight);
    EXPECT_EQ(place.outerWidth, c.want.outerWidth);
    EXPECT_EQ(place.outerHeight, c.want.outerHeight);
    EXPECT_EQ(place.buttonLeft, c.want.buttonLeft);
    EXPECT_EQ(place.buttonTop, c.want.buttonTop);
    EXPECT_EQ(place.left, c.want.left);
    EXPECT_EQ(place.top, c.want.top);
  }
}

// Random lines, many of them near the edges of the grammar, never break the reader.
TEST(DiagramMap, RandomLinesNeverBreakTheReader) {
  std::mt19937 engine(20240305);
  const std::string alphabet = std::string("0123456789 $._-\r\x98") + cp("Яя");
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> lines(engine() % 6);
    for (auto& line : lines) {
      line.resize(engine() % 24);
      for (char& c : line) c = alphabet[engine() % alphabet.size()];
    }
    const std::vector<DiagramEntry> map = readDiagramMap(lines);
    ASSERT_LE(map.size(), lines.size());
    std::string name(engine() % 16, 'x');
    for (char& c : name) c = alphabet[engine() % alphabet.size()];
    const std::string picture = pictureName(map, name);
    ASSERT_FALSE(picture.empty() && map.empty());
  }
}
