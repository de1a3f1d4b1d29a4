#pragma once
// One question and its answer options laid out on an answering window: fixed
// pixel steps, lines of at most 85 characters, and no line wider than the
// window shows (measured in the window's font).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bank/question_bank.h"
#include "platform/text_width.h"

// The two windows that answer questions.
enum class WindowKind { SelfControl, Testing };

constexpr std::size_t kLongestLine = 85;  // a text of 86 characters or more is broken

// The width of the window's client area, which no line of the card passes.
constexpr int cardClientWidth(WindowKind kind) { return kind == WindowKind::Testing ? 531 : 557; }

// Where a line of the card stands: the question label (left 32; its further
// lines behind four blanks) or an option (its first line the caption of a
// radio button at left 24, its further lines labels at 24 behind thirteen blanks).
enum class CardText { Question, Option };

// The tallest answering window that still fits a 1024 x 768 screen beside a task bar.
constexpr int kTallestFittingCard = 740;

// The digit of an option whose answer line has no digit in its place: no
// question's correct digit equals it, so such an option is never judged right.
constexpr int kUnknownDigit = -1;

// 1-based position of the last blank at or before limit. A text with no blank
// there is broken at limit itself.
std::size_t breakPosition(std::string_view text, std::size_t limit = kLongestLine);

// The display lines of a card text on a window: broken at blanks into lines of
// at most 85 characters, each ending with the blank it was broken at, as many
// as the text needs. A line that would be wider than the window shows it (its
// blanks at the end aside) is broken earlier, at the last blank that fits; a
// word wider than the window is cut where it reaches the edge. Every text, an
// empty one too, takes at least one line.
std::vector<std::string_view> displayLines(std::string_view text, CardText where, WindowKind kind,
                                           Face face = Face::Sans11);
std::size_t displayLineCount(std::string_view text, CardText where, WindowKind kind);

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
  // Whether the option, set in bold (the right option after a wrong answer),
  // still breaks into the same lines, none wider than the window.
  bool boldFits = false;
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

// How a card stands on a window no taller than maxOuterHeight (the screen's
// available height, frame included). A card that fits takes its frame as it
// is. A taller one keeps the window at that height: the result label and the
// buttons move up with the window's bottom, and the question and options
// scroll in the band between the top of the question and the result label.
// Places are in the window's client area.
struct CardFit {
  CardFrame frame;
  bool scrolls = false;
  int bandTop = 0;        // where the scrolled band begins
  int bandBottom = 0;     // where it ends on the window
  int contentBottom = 0;  // where it would end on a window tall enough for the card
};
CardFit fitCard(const CardFrame& frame, int questionTop, int maxOuterHeight);

struct CardLayout {
  // The question's display lines, one pitch apart; each after the first behind four blanks.
  std::vector<std::string> questionLines;
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
