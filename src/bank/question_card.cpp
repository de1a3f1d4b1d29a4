#include "bank/question_card.h"

#include <algorithm>

#include "bank/consultation.h"
#include "bank/course_files.h"
#include "platform/cp1251.h"
#include "platform/pixels.h"

namespace {

constexpr int kPitch = 20;
constexpr int kCharWidth = 6;
constexpr int kButtonPadding = 15;
constexpr std::size_t kLinesInMinimumWindow = 8;
constexpr int kMinimumHeight = 360;
constexpr int kQuestionLeft = 32;
constexpr int kOptionLeft = 24;
// On the testing window the result label keeps at least the room it has above
// the buttons at nine lines, so that it never slides into or below them.
constexpr int kResultAboveButtons = 25;
const std::string kQuestionIndent(4, ' ');
const std::string kOptionIndent(13, ' ');

// What stands before a display line on its label and how wide it may be with it.
struct LineRoom {
  std::string_view prefix;
  int pixels = 0;
};

LineRoom roomOf(CardText where, WindowKind kind, bool firstLine) {
  const int width = cardClientWidth(kind);
  if (where == CardText::Question)
    return {firstLine ? std::string_view() : kQuestionIndent, width - kQuestionLeft};
  if (firstLine) return {{}, width - kOptionLeft - kRadioButtonExtra};
  return {kOptionIndent, width - kOptionLeft};
}

// The length of the display line that starts the rest of a text.
std::size_t lineLength(std::string_view rest, const LineRoom& room, Face face) {
  const std::size_t length = rest.size() <= kLongestLine ? rest.size() : breakPosition(rest);
  LineWidth width(face);
  width.add(room.prefix);
  std::size_t lastBlank = 0;
  for (std::size_t i = 0; i < length; ++i) {
    width.add(static_cast<unsigned char>(rest[i]));
    // Blanks at a line's end show nothing, so only a letter can run past the edge.
    if (rest[i] == ' ') {
      lastBlank = i + 1;
    } else if (width.pixels() > room.pixels) {
      return lastBlank > 0 ? lastBlank : std::max<std::size_t>(i, 1);
    }
  }
  return length;
}

}  // namespace

std::size_t breakPosition(std::string_view text, std::size_t limit) {
  const std::size_t end = std::min(limit, text.size());
  for (std::size_t p = end; p >= 1; --p)
    if (text[p - 1] == ' ') return p;
  // Without a blank to break at, the line is cut at its full width.
  return end;
}

std::vector<std::string_view> displayLines(std::string_view text, CardText where, WindowKind kind,
                                           Face face) {
  std::vector<std::string_view> lines;
  do {
    const std::size_t length = lineLength(text, roomOf(where, kind, lines.empty()), face);
    lines.push_back(text.substr(0, length));
    text.remove_prefix(length);
  } while (!text.empty());
  return lines;
}

std::size_t displayLineCount(std::string_view text, CardText where, WindowKind kind) {
  std::size_t count = 0;
  do {
    text.remove_prefix(lineLength(text, roomOf(where, kind, count == 0), Face::Sans11));
    ++count;
  } while (!text.empty());
  return count;
}

std::string_view optionText(std::string_view answerLine) {
  if (answerLine.empty() || answerLine.front() != '_') return answerLine;
  return answerLine.size() >= 3 ? answerLine.substr(3) : std::string_view();
}

bool isRightAnswer(const QuestionBank& bank, std::size_t n, int digit) {
  return n < bank.QuestionFlags.size() && digit == bank.QuestionFlags[n];
}

CardFrame cardFrame(std::size_t questionLines, std::size_t optionLines, WindowKind kind) {
  const std::size_t lines = optionLines + (questionLines > 0 ? questionLines - 1 : 0);
  const std::size_t beyond = lines > kLinesInMinimumWindow ? lines - kLinesInMinimumWindow : 0;
  CardFrame frame;
  if (kind == WindowKind::SelfControl) {
    frame.outerHeight = beyond > 0 ? pixelsFor(lines, kPitch, 200) : kMinimumHeight;
    frame.buttonTop = pixelsFor(beyond, kPitch, 285);
    frame.label3Top = pixelsFor(lines, kPitch, 95);
  } else {
    frame.outerHeight = beyond > 0 ? pixelsFor(lines, kPitch, 210) : kMinimumHeight;
    frame.buttonTop = pixelsFor(beyond, kPitch, 295);
    // The result label moves two pitches per extra line while the buttons move
    // one, until it comes as close to them as it may.
    frame.label3Top =
        std::min(pixelsFor(beyond, 2 * kPitch, 250), frame.buttonTop - kResultAboveButtons);
  }
  return frame;
}

CardFit fitCard(const CardFrame& frame, int questionTop, int maxOuterHeight) {
  // The band keeps a little room above the question and above the result label.
  constexpr int kBandMargin = 4;
  CardFit fit;
  fit.frame = frame;
  const int over = frame.outerHeight - std::max(maxOuterHeight, kMinimumHeight);
  if (over <= 0) return fit;
  fit.scrolls = true;
  fit.frame.outerHeight -= over;
  fit.frame.buttonTop -= over;
  fit.frame.label3Top -= over;
  fit.bandTop = std::max(0, questionTop - kBandMargin);
  fit.contentBottom = frame.label3Top - kBandMargin;
  fit.bandBottom = fit.contentBottom - over;
  return fit;
}

CardLayout layoutCard(const QuestionBank& bank, std::size_t n, WindowKind kind) {
  CardLayout card;
  const auto questionNumber = static_cast<unsigned>(n + 1);

  const std::string_view question =
      n < bank.QuestionTexts.size() ? std::string_view(bank.QuestionTexts[n]) : std::string_view();
  const std::vector<std::string_view> questionLines =
      displayLines(question, CardText::Question, kind);
  for (std::size_t i = 0; i < questionLines.size(); ++i)
    card.questionLines.push_back((i > 0 ? kQuestionIndent : std::string()) +
                                 std::string(questionLines[i]));
  std::size_t extraLines = questionLines.size() - 1;

  // Each answer line with the question's key in its set is an option, in file order.
  struct Option {
    std::string text;
    int digit;
  };
  std::vector<Option> options;
  const std::size_t answers = std::min(bank.AnswerQuestionSets.size(), bank.AnswerTexts.size());
  for (std::size_t i = 0; i < answers; ++i) {
    if (!setContains(bank.AnswerQuestionSets[i], questionNumber)) continue;
    const std::string& line = bank.AnswerTexts[i];
    const auto digit = digitAt(line, 2);
    options.push_back(
        {std::string(optionText(line)), digit ? static_cast<int>(*digit) : kUnknownDigit});
  }
  if (options.empty()) {
    card.noAnswers = true;
    options.push_back({cp("Ответы не найдены."), 1});
  }

  const int firstTop = kind == WindowKind::SelfControl ? 80 : 90;
  std::size_t optionLines = 0;
  for (std::size_t j = 0; j < options.size(); ++j) {
    const std::string& text = options[j].text;
    OptionPlace place;
    place.top = pixelsFor(j + extraLines, kPitch, firstTop);
    place.width = pixelsFor(text.size(), kCharWidth, kButtonPadding);
    place.digit = options[j].digit;
    const std::vector<std::string_view> lines = displayLines(text, CardText::Option, kind);
    place.boldFits = displayLines(text, CardText::Option, kind, Face::Sans11Bold) == lines;
    place.caption = lines.front();
    for (std::size_t i = 1; i < lines.size(); ++i) {
      // A line below the lowest place a window can have would never be seen.
      if (pixelsFor(i, kPitch, place.top) >= kMaxPixels) break;
      std::string line = kOptionIndent + std::string(lines[i]);
      if (i == 1) {
        place.continuation = std::move(line);
        place.continuationTop = pixelsFor(i, kPitch, place.top);
      } else {
        place.furtherLines.push_back(std::move(line));
      }
    }
    optionLines += lines.size();
    extraLines += lines.size() - 1;
    card.options.push_back(std::move(place));
  }
  card.extraLines = static_cast<int>(std::min<std::size_t>(extraLines, kMaxPixels));

  const CardFrame frame = cardFrame(questionLines.size(), optionLines, kind);
  card.outerHeight = frame.outerHeight;
  card.buttonTop = frame.buttonTop;
  card.label3Top = frame.label3Top;
  if (kind == WindowKind::Testing)
    card.diagramName = consultationOf(bank, questionNumber).diagramName;
  return card;
}
