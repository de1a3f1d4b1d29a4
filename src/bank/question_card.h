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

// The tallest answering window that still fits a 1024 x 768 screen beside a task bar.
constexpr int kTallestFittingCard = 740;

// The digit of an option whose answer line has no digit in its place: no
// question's correct digit equals it, so such an option is never judged right.
constexpr int kUnknownDigit = -1;

// 1-based position of the last blank at or before limit. A text with no blank
// there is broken at limit itself.
std::size_t breakPosition(std::string_view text, std::size_t limit = kLongestLine);

// The display lines of a card text: broken at blanks into lines of at most 85
// characters, each ending with the blank it was broken at, as many as the text
// needs. Every text, an empty one too, takes at least one line.
std::vector<std::string_view> displayLines(std::string_view text);
std::size_t displayLineCount(std::string_view text);

// The text an answer line shows: "_2_Вариант" shows as "Вариант".
std::string_view optionText(std::string_view answerLine);

struct OptionPlace {
  std::string caption;  // the button's text (first display line when broken)
  int top = 0;
  int width = 0;  // 6 per character of the whole text, plus 15
  int digit = 1;  // option digit, compared with QuestionFlags
  // The display lines after the first, each thirteen blanks + its part, one
  // pitch apart: the second line at continuationTop, then the further ones.
  std::optional<std::string> continuation;
  int continuationTop = 0;
  std::vector<std::string> furtherLines;
};

// Where the window's bottom edge, Label3 and the buttons stand for a card.
struct CardFrame {
  int outerHeight = 0;  // window height
  int buttonTop = 0;    // Button1..Button6 (self-control) or Button1, Button2 (testing)
  int label3Top = 0;
};

// The frame of a card whose question takes questionLines display lines and whose
// options take optionLines in all: every line but the question's first is one
// pitch of the card.
CardFrame cardFrame(std::size_t questionLines, std::size_t optionLines, WindowKind kind);

struct CardLayout {
  std::string questionCaption;       // its display lines joined by CR + four blanks
  std::vector<OptionPlace> options;  // at least one
  bool noAnswers = false;            // the single option "Ответы не найдены."
  int extraLines = 0;                // second display lines on the card
  int outerHeight = 0;               // window height
  int buttonTop = 0;  // Button1..Button6 (self-control) or Button1, Button2 (testing)
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
