#pragma once
// One pass through a mode as a plan: which steps run and which course files
// each needs. The main window carries the plan out; nothing here shows a window.
// Texts are UTF-8, as the message boxes show them.
#include <cstdint>
#include <vector>

#include "bank/session_state.h"
#include "platform/data_error.h"

struct FlowMessage {
  const char* title = nullptr;  // nullptr: no message
  const char* text = nullptr;
};

// The course files a step needs, and the message when reading them found one missing.
struct NeededFiles {
  std::vector<const char*> files;
  FlowMessage missing;
};

// True when a read of the step's files failed because one of them is not there:
// the step then says needed.missing instead of running.
bool lacksFile(const NeededFiles& needed, const DataError& readFault);

// The window a mode ends in.
enum class ModeWindow { None, Registration, SelfControl, Browser };

struct ModePlan {
  // The mode answers questions, so it stops with bankNotLoaded unless the bank
  // loaded whole and holds a question.
  bool needsBank = false;
  FlowMessage greeting;
  // The range window runs on one topic only; with all topics the range is the whole bank.
  bool rangeStep = false;
  NeededFiles rangeFiles;
  // Registration leads on to the test; the self-control window and the browser
  // open only when the bank's load found their files there.
  ModeWindow window = ModeWindow::None;
  NeededFiles windowFiles;
};

// The plan for a value of SelectedMode and a value of SelectedTopic. A mode not
// yet chosen (0) runs as the exam; a value past the modes runs nothing.
ModePlan planMode(std::uint8_t selectedMode, unsigned selectedTopic);

// Said instead of starting an answering mode on a bank that is not usable.
extern const FlowMessage kBankNotLoaded;
