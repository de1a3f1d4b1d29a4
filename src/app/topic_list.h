#pragma once
// The main window's topic list: the entries it offers and where they stand.
#include <string>
#include <string_view>
#include <vector>

#include "app/course_identity.h"

struct TopicButtonPlace {
  std::string caption;  // code page 1251
  int top = 0;
  int width = 0;  // 10 per character, plus 30
};

struct TopicListLayout {
  std::vector<TopicButtonPlace> buttons;  // entry 0 is all topics, then main.txt's titles
  int outerHeight = 0;                    // of the main window
  int buttonTop = 0;                      // "Начать" and "Выйти из программы"
  int label2Top = 0;
};

constexpr int kTopicButtonLeft = 24;
constexpr int kMainWindowOuterWidth = 528;  // the client area of 522 in its nominal frame of 6

// The outer width of a main window that shows a topic title whole on one line:
// the design's, or wider by the rule the range window widens by.
int topicOuterWidth(std::string_view title);

// Lays out the topic list for the lines of main.txt, the all-topics entry first.
TopicListLayout layoutTopicList(const std::vector<std::string>& mainLines,
                                const std::string& allTopicsCaption = sampleAllTopicsCaption());
