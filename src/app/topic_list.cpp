#include "app/topic_list.h"

#include "bank/course_files.h"
#include "bank/range_file.h"
#include "platform/pixels.h"
#include "platform/text_width.h"

int topicOuterWidth(std::string_view title) {
  constexpr int kFrameWidth = kMainWindowOuterWidth - 522;
  return widenedOuterWidth(kMainWindowOuterWidth, kFrameWidth, kTopicButtonLeft,
                           textWidth(title, Face::SerifItalic17) + kRadioButtonExtra);
}

TopicListLayout layoutTopicList(const std::vector<std::string>& mainLines,
                                const std::string& allTopicsCaption) {
  constexpr int kPitch = 30;
  constexpr int kFirstTop = 40;
  std::vector<std::string> entries{allTopicsCaption};
  for (auto& title : topicTitles(mainLines)) entries.push_back(std::move(title));

  TopicListLayout layout;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int width = pixelsFor(entries[i].size(), 10, 30);
    layout.buttons.push_back({std::move(entries[i]), pixelsFor(i, kPitch, kFirstTop), width});
  }
  layout.outerHeight = pixelsFor(layout.buttons.size(), kPitch, 175);
  layout.buttonTop = layout.outerHeight - 85;
  layout.label2Top = layout.outerHeight - 125;
  return layout;
}
