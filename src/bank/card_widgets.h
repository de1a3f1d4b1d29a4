#pragma once
// The widget side of the question card: puts a computed CardLayout onto an
// answering window. Both answering windows lay out every question through here.
#include <cstdint>
#include <optional>
#include <vector>

#include "bank/question_card.h"
#include "bank/session_state.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TFormBase;

// What an answering window carries of the question on show.
struct CardState {
  std::vector<QRadioButton*> OptionButtons;
  std::vector<std::int16_t> OptionDigits;
  std::uint16_t OptionCount = 0;
  std::vector<QLabel*> ContinuationLabels;
  std::vector<std::size_t> ContinuationOwners;  // the option each continuation label goes on
  std::uint16_t ContinuationLabelCount = 0;
  std::uint16_t ExtraLines = 0;

  // The position of the checked option among those shown (the last, should
  // several read checked); nullopt when none is.
  std::optional<std::size_t> chosenOption() const;
};

// The window's controls the card sets.
struct CardControls {
  QLabel* questionLabel = nullptr;
  QLineEdit* numberBox = nullptr;          // self-control window only
  QLabel* label3 = nullptr;
  std::vector<QPushButton*> movedButtons;  // moved with the window's height
  QPushButton* centredButton = nullptr;    // testing window: Button1, centred
  QPushButton* diagramButton = nullptr;    // testing window: Button2 ("Диаграмма")
};

// Lays out question n (0-based) of the bank on the window. Everything of the
// question shown before goes first, so nothing of it stays on screen. On the
// testing window the question's diagram, if any, becomes session.DiagramName.
void showQuestionCard(TFormBase& window, CardState& state, const CardControls& controls,
                      const QuestionBank& bank, std::size_t n, WindowKind kind,
                      SessionState& session);
