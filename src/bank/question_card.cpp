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
const std::string kQuestionIndent = "\r    ";      // CR, then four blanks
const std::string kOptionIndent(13, ' ');

struct Split {
  std::string head;
  std::string tail;
};

Split splitAt(const std::string& text) {
  const std::size_t p = breakPosition(text);
  return {text.substr(0, p), text.substr(p)};
}

// "_2_Вариант" shows as "Вариант"; a line too short for its prefix shows nothing.
std::string optionText(const std::string& answerLine) {
  if (answerLine.empty() || answerLine.front() != '_') return answerLine;
  return answerLine.size() >= 3 ? answerLine.substr(3) : std::string();
}

}  // namespace

std::size_t breakPosition(std::string_view text, std::size_t limit) {
  const std::size_t end = std::min(limit, text.size());
  for (std::size_t p = end; p >= 1; --p)
    if (text[p - 1] == ' ') return p;
  // Without a blank to break at, the line is cut at its full width.
  return end;
}

bool isRightAnswer(const QuestionBank& bank, std::size_t n, int digit) {
  return n < bank.QuestionFlags.size() && digit == bank.QuestionFlags[n];
}

CardLayout layoutCard(const QuestionBank& bank, std::size_t n, WindowKind kind) {
  CardLayout card;
  const auto questionNumber = static_cast<unsigned>(n + 1);

  const std::string question = n < bank.QuestionTexts.size() ? bank.QuestionTexts[n] : std::string();
  if (question.size() <= kLongestLine) {
    card.questionCaption = question;
  } else {
    const Split split = splitAt(question);
    card.questionCaption = split.head + kQuestionIndent + split.tail;
    ++card.extraLines;
  }

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
    options.push_back({optionText(line), digit ? static_cast<int>(*digit) : kUnknownDigit});
  }
  if (options.empty()) {
    card.noAnswers = true;
    options.push_back({cp("Ответы не найдены."), 1});
  }

  const int firstTop = kind == WindowKind::SelfControl ? 80 : 90;
  for (std::size_t j = 0; j < options.size(); ++j) {
    const std::string& text = options[j].text;
    OptionPlace place;
    place.top = pixelsFor(j + static_cast<std::size_t>(card.extraLines), kPitch, firstTop);
    place.width = pixelsFor(text.size(), kCharWidth, kButtonPadding);
    place.digit = options[j].digit;
    if (text.size() <= kLongestLine) {
      place.caption = text;
    } else {
      const Split split = splitAt(text);
      place.caption = split.head;
      place.continuation = kOptionIndent + split.tail;
      place.continuationTop = clampPixels(std::int64_t{place.top} + kPitch);
      ++card.extraLines;
    }
    card.options.push_back(std::move(place));
  }

  const std::size_t lines = options.size() + static_cast<std::size_t>(card.extraLines);
  const std::size_t beyond = lines > kLinesInMinimumWindow ? lines - kLinesInMinimumWindow : 0;
  if (kind == WindowKind::SelfControl) {
    card.outerHeight = beyond > 0 ? pixelsFor(lines, kPitch, 200) : kMinimumHeight;
    card.buttonTop = pixelsFor(beyond, kPitch, 285);
    card.label3Top = pixelsFor(lines, kPitch, 95);
  } else {
    card.outerHeight = beyond > 0 ? pixelsFor(lines, kPitch, 210) : kMinimumHeight;
    card.buttonTop = pixelsFor(beyond, kPitch, 295);
    // The result label moves two pitches per extra line while the buttons move one.
    card.label3Top = pixelsFor(beyond, 2 * kPitch, 250);
    card.diagramName = consultationOf(bank, questionNumber).diagramName;
  }
  return card;
}
