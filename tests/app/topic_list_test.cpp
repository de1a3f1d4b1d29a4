#include <gtest/gtest.h>

#include "app/topic_list.h"
#include "platform/cp1251.h"
#include "platform/pixels.h"

TEST(TopicList, AllTopicsFirstThenTheTitlesOfMainTxt) {
  const TopicListLayout layout =
      layoutTopicList({cp("Первая"), "", cp("Тема двадцать знаков"), "   "});
  ASSERT_EQ(layout.buttons.size(), 4u);
  EXPECT_EQ(layout.buttons[0].caption, cp("Ворсанит и ДРЛ (все темы)"));
  EXPECT_EQ(layout.buttons[2].caption, cp("Тема двадцать знаков"));
  EXPECT_EQ(layout.buttons[3].caption, "   ");  // blanks are a title, only empty lines are not
  const int tops[] = {40, 70, 100, 130};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(layout.buttons[i].top, tops[i]);
  EXPECT_EQ(layout.buttons[2].width, 230);
  EXPECT_EQ(layout.buttons[3].width, 60);
  EXPECT_EQ(layout.outerHeight, 295);
  EXPECT_EQ(layout.buttonTop, 210);
  EXPECT_EQ(layout.label2Top, 170);
}

TEST(TopicList, AnEmptyMainTxtStillOffersAllTopics) {
  const TopicListLayout layout = layoutTopicList({});
  ASSERT_EQ(layout.buttons.size(), 1u);
  EXPECT_EQ(layout.outerHeight, 205);
}

TEST(Pixels, FiguredInSixtyFourBitsAndClampedToWhatAWidgetTakes) {
  struct Case {
    std::size_t count;
    int step, offset, want;
  };
  const Case cases[] = {
      {3, 10, 30, 60},
      {3276, 10, 30, 32767},
      {std::size_t{200} << 20, 10, 30, kMaxPixels},  // a 200 MB title, which overflowed an int
      {SIZE_MAX, 20, 35, kMaxPixels},
      {0, 20, -40, -40},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.count);
    EXPECT_EQ(pixelsFor(c.count, c.step, c.offset), c.want);
  }
  EXPECT_EQ(clampPixels(std::int64_t{1} << 40), kMaxPixels);
  EXPECT_EQ(clampPixels(-(std::int64_t{1} << 40)), -kMaxPixels);
}

TEST(TopicList, AVeryLongTitleGivesTheWidestButtonAWidgetTakes) {
  const TopicListLayout layout = layoutTopicList({std::string(5000, 'x')});
  EXPECT_EQ(layout.buttons[1].width, kMaxPixels);
}
