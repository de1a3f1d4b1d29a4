#pragma once
// What the main window keeps for the whole run and the other windows read and
// write. Texts are code page 1251.
#include <cstdint>
#include <string>
#include <vector>

// The working modes by the numbers SelectedMode holds: the mode window's
// buttons in order. NotChosen is the value before the first choice.
enum class Mode : std::uint8_t {
  NotChosen = 0,
  Exam = 1,
  PassFail = 2,
  SelfControl = 3,
  Browse = 4,
  Back = 5,
};

// Exam and pass/fail are told apart by exam alone: every other value grades as pass/fail.
constexpr bool isExam(std::uint8_t selectedMode) {
  return selectedMode == static_cast<std::uint8_t>(Mode::Exam);
}

struct SessionState {
  std::uint16_t TopicCount = 0;          // topic-list entries, entry 0 (all topics) included
  std::vector<std::string> TopicTitles;  // caption of each topic button, index = topic number
  std::uint8_t SelectedTopic = 0;        // 0 = all topics, 1..9 = one topic
  std::uint8_t SelectedMode = 0;         // 1 exam, 2 pass/fail, 3 self-control, 4 browse, 5 back
  std::uint16_t RangeFirst = 0;          // question numbers (1-based) of the working range
  std::uint16_t RangeLast = 0;
  std::string CandidateCode;
  std::string CandidateName;
  std::string CandidateGroup;
  std::string DiagramName;  // e.g. "diagram_0007"
  bool RegistrationAccepted = false;
};
