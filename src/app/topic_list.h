#pragma once
// The main window's topic list: the entries it offers and where they stand.
#include <string>
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

// Lays out the topic list for the lines of main.txt, the all-topics entry first.
TopicListLayout layoutTopicList(const std::vector<std::string>& mainLines,
                                const std::string& allTopicsCaption = sampleAllTopicsCaption());
