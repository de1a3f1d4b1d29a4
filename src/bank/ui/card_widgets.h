#pragma once
// The widget side of the question card: puts a computed CardLayout onto an
// answering window. Both answering windows lay out every question through here.
#include <QWidget>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bank/question_card.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollArea;
class TFormBase;

// The window's own controls that the card places.
struct CardControls {
  QLabel* questionLabel = nullptr;
  QLineEdit* numberBox = nullptr;  // self-control window only
  QLabel* label3 = nullptr;
  std::vector<QPushButton*> movedButtons;  // moved with the window's height
  QPushButton* centredButton = nullptr;    // testing window: Button1, centred
  QPushButton* diagramButton = nullptr;    // testing window: Button2 ("Диаграмма")
};

// The question card of an answering window: a child widget that covers the
// window beneath its other controls and owns the question label, the option
// buttons and the further lines of the question on show. A card taller than
// the screen scrolls between the window's top row and its result label.
class QuestionCard final : public QWidget {
  Q_OBJECT

 public:
  QuestionCard(WindowKind kind, const CardControls& controls, TFormBase* window);

  // Lays out question n (0-based) of the bank and sizes the window to it.
  // Everything of the question shown before goes first, so nothing of it stays
  // on screen. Returns the diagram the question's consultation block names (the
  // testing window offers it), nullopt when it names none.
  std::optional<std::string> showQuestion(const QuestionBank& bank, std::size_t n);

  // The options shown, in option order; the first is checked after every layout.
  const std::vector<QRadioButton*>& OptionButtons() const { return optionButtons_; }
  // The option digit of each option, parallel to OptionButtons.
  const std::vector<std::int16_t>& OptionDigits() const { return optionDigits_; }
  std::uint16_t OptionCount() const { return static_cast<std::uint16_t>(optionButtons_.size()); }
  // One label for each further display line of an option, in creation order.
  const std::vector<QLabel*>& ContinuationLabels() const { return continuationLabels_; }
  std::uint16_t ContinuationLabelCount() const {
    return static_cast<std::uint16_t>(continuationLabels_.size());
  }
  // The option each continuation label goes on, parallel to ContinuationLabels.
  const std::vector<std::size_t>& continuationOwners() const { return continuationOwners_; }
  // Second display lines on the card, of the question text and the options.
  std::uint16_t ExtraLines() const { return extraLines_; }
  // The question's display lines after the first, one pitch apart under the question label.
  const std::vector<QLabel*>& questionLines() const { return questionLines_; }
  // Whether each option, set in bold, still fits the window as it is broken.
  const std::vector<bool>& boldFits() const { return boldFits_; }
  // Whether the question and its options scroll, the card being taller than the screen.
  bool scrolls() const { return scrolls_; }

  // The position of the checked option among those shown (the last, should
  // several read checked); nullopt when none is.
  std::optional<std::size_t> chosenOption() const;

 private:
  // The window's height: the card's own, or as tall as the screen lets it be.
  void fitWindow(const CardLayout& card);

  TFormBase& window_;
  WindowKind kind_;
  CardControls controls_;
  int designOuterWidth_ = 0;
  QPoint questionPlace_;  // the question label's place on the window
  QScrollArea* scroll_ = nullptr;
  QWidget* content_ = nullptr;  // what scrolls: the question label and the page
  QWidget* page_ = nullptr;     // the question on show: parent of its buttons and labels
  std::vector<QLabel*> questionLines_;
  std::vector<bool> boldFits_;
  bool scrolls_ = false;
  std::vector<QRadioButton*> optionButtons_;
  std::vector<std::int16_t> optionDigits_;
  std::vector<QLabel*> continuationLabels_;
  std::vector<std::size_t> continuationOwners_;
  std::uint16_t extraLines_ = 0;
};
