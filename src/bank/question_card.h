#pragma once
// One question and its answer options laid out on an answering window,
// computed from character counts and fixed pixel steps only.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bank/question_bank.h"

// The two windows that answer questions.
enum class WindowKind { SelfControl, Testing };

constexpr std::size_t kLongestLine = 85;  // a text of 86 characters or more is broken

// The digit of an option whose answer line has no digit in its place: no
// question's correct digit equals it, so such an option is never judged right.
constexpr int kUnknownDigit = -1;

// 1-based position of the last blank at or before limit. A text with no blank
// there is broken at limit itself.
std::size_t breakPosition(std::string_view text, std::size_t limit = kLongestLine);

struct OptionPlace {
  std::string caption;              // the button's text (first display line when broken)
  int top = 0;
  int width = 0;                    // 6 per character of the whole text, plus 15
  int digit = 1;                    // option digit, compared with QuestionFlags
  std::optional<std::string> continuation;  // thirteen blanks + the rest, when broken
  int continuationTop = 0;
};

struct CardLayout {
  std::string questionCaption;      // broken with CR + four blanks when long
  std::vector<OptionPlace> options; // at least one
  bool noAnswers = false;           // the single option "Ответы не найдены."
  int extraLines = 0;               // second display lines on the card
  int outerHeight = 0;              // window height
  int buttonTop = 0;                // Button1..Button6 (self-control) or Button1, Button2 (testing)
  int label3Top = 0;
  // Testing window only: the diagram named by the first line of the question's
  // consultation block, when it carries a marker.
  std::optional<std::string> diagramName;
};

// Whether an option with this digit answers question n (0-based) right: the
// digits are compared, wherever the option stands among those shown.
bool isRightAnswer(const QuestionBank& bank, std::size_t n, int digit);

// n is the 0-based question position; it must be < bank.QuestionTexts.size().
CardLayout layoutCard(const QuestionBank& bank, std::size_t n, WindowKind kind);
