#include "bank/range_file.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "bank/course_files.h"
#include "platform/cp1251.h"
#include "platform/pixels.h"
#include "platform/text_file.h"

namespace {

const char* const kRangeFile = "diapazon.txt";

DataError rangeFault(DataError::Code code, unsigned line, std::string_view utf8What) {
  return DataError{code, kRangeFile, line, cp(utf8What)};
}

// Cuts the next field off rest: everything up to the next '_', which is
// consumed; without one the field runs to the end and nothing is left.
std::string takeField(std::string_view& rest) {
  const std::size_t bar = rest.find('_');
  if (bar == std::string_view::npos) {
    std::string field(rest);
    rest = {};
    return field;
  }
  std::string field(rest.substr(0, bar));
  rest.remove_prefix(bar + 1);
  return field;
}

RangeEntry splitRangeLine(std::string_view line, unsigned lineNumber) {
  std::string_view rest = line.substr(1);  // past the leading '_'
  RangeEntry entry;
  entry.firstText = takeField(rest);
  entry.lastText = takeField(rest);
  entry.caption = std::string(rest);
  entry.line = lineNumber;
  return entry;
}

// Shown inside a message, so a long run of garbage is cut short.
std::string quoted(const std::string& text) {
  constexpr std::size_t kShown = 20;
  std::string shown = text.size() > kShown ? text.substr(0, kShown) + "..." : text;
  return cp("«") + shown + cp("»");
}

struct NumberRead {
  std::optional<unsigned> value;
  std::string what;  // code page 1251, when value is empty
};

// A range number: one to five decimal digits, so that it always fits the
// arithmetic below; the bank check then decides whether it is usable.
NumberRead readRangeNumber(const std::string& text, std::string_view utf8Which) {
  constexpr std::size_t kMaxDigits = 5;
  if (text.empty())
    return {std::nullopt, cp("не указан ") + cp(utf8Which) + cp(" номер диапазона.")};
  const bool decimal =
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  if (!decimal)
    return {std::nullopt, cp(utf8Which) + cp(" номер диапазона ") + quoted(text) +
                              cp(" не является десятичным числом.")};
  if (text.size() > kMaxDigits)
    return {std::nullopt,
            cp(utf8Which) + cp(" номер диапазона ") + quoted(text) + cp(" слишком длинный.")};
  return {static_cast<unsigned>(std::stoul(text)), {}};
}

// The range is kept in 16 bits, so a bank beyond that is only usable up to its limit.
std::size_t usableCount(std::size_t questionCount) {
  return std::min<std::size_t>(questionCount, std::numeric_limits<std::uint16_t>::max());
}

std::string rangeText(unsigned first, unsigned last) {
  return std::to_string(first) + "-" + std::to_string(last);
}

}  // namespace

RangeList readRanges(const std::vector<std::string>& lines, unsigned topic) {
  std::vector<RangeEntry> entries;
  bool inSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const auto lineNumber = static_cast<unsigned>(i + 1);
    auto fail = [&](DataError::Code code, std::string_view what) -> RangeList {
      return Unexpected{rangeFault(code, lineNumber, what)};
    };
    if (line.empty()) return fail(DataError::Code::EmptyLine, "пустая строка.");
    switch (classify(line)) {
      case LineKind::TopicMarker: {
        const auto digit = digitAt(line, 4);
        if (!digit)
          return fail(DataError::Code::BadTopicDigit, "в строке темы четвёртый символ не цифра.");
        // Topic 0 stands for all topics, which have no ranges of their own.
        inSection = topic != 0 && *digit == topic;
        break;
      }
      case LineKind::Set:
        // The announced count is not used: the lines actually found are offered.
        if (inSection && !digitAt(line, 3))
          return fail(DataError::Code::BadStructure, "в строке количества третий символ не цифра.");
        break;
      case LineKind::Record:
        if (inSection) entries.push_back(splitRangeLine(line, lineNumber));
        break;
      case LineKind::Other:
        break;
    }
  }
  return entries;
}

RangeList loadRanges(const std::string& folder, unsigned topic) {
  const auto lines = readLines(folder + kRangeFile);
  if (lines) return readRanges(*lines, topic);
  return Unexpected{lines.error()};  // missing, unreadable or not a regular file
}

RangeChoice chooseRange(const RangeEntry& entry, std::size_t questionCount) {
  auto fail = [&](std::string what) -> RangeChoice {
    return Unexpected{
        DataError{DataError::Code::BadRange, kRangeFile, entry.line, std::move(what)}};
  };
  const NumberRead first = readRangeNumber(entry.firstText, "первый");
  if (!first.value) return fail(first.what);
  const NumberRead last = readRangeNumber(entry.lastText, "последний");
  if (!last.value) return fail(last.what);

  const unsigned a = *first.value;
  const unsigned b = *last.value;
  if (a == 0)
    return fail(cp("диапазон ") + rangeText(a, b) + cp(": номера вопросов начинаются с 1."));
  if (a > b) return fail(cp("диапазон ") + rangeText(a, b) + cp(" задан в обратном порядке."));
  if (b > usableCount(questionCount))
    return fail(cp("диапазон ") + rangeText(a, b) +
                cp(" выходит за пределы загруженных вопросов (") + std::to_string(questionCount) +
                ").");
  return QuestionRange{static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b)};
}

bool withinBank(QuestionRange range, std::size_t questionCount) {
  return range.first >= 1 && range.first <= range.last && range.last <= usableCount(questionCount);
}

QuestionRange workingRange(unsigned topic, QuestionRange stored, std::size_t questionCount) {
  if (topic != 0 && withinBank(stored, questionCount)) return stored;
  return QuestionRange{1, static_cast<std::uint16_t>(usableCount(questionCount))};
}

namespace {
constexpr int kAcceptWidth = 75;
}  // namespace

RangeWindowLayout layoutRangeWindow(const std::vector<std::string>& captions) {
  constexpr int kPitch = 20;
  constexpr int kCharWidth = 6;
  RangeWindowLayout layout;
  int widest = 0;
  for (std::size_t i = 0; i < captions.size(); ++i) {
    const int width = pixelsFor(captions[i].size(), kCharWidth, 0);
    layout.buttonTops.push_back(pixelsFor(i, kPitch, 20));
    layout.buttonWidths.push_back(width);
    widest = std::max(widest, width);
  }
  const std::size_t n = captions.size();
  layout.outerWidth = clampPixels(std::int64_t{widest} + 40);
  // C++ division truncates toward zero, which is the rounding this placement
  // wants also when the captions are narrower than the button.
  layout.acceptLeft = (layout.outerWidth - kAcceptWidth) / 2;
  layout.acceptTop = pixelsFor(n, kPitch, 35);
  layout.outerHeight = pixelsFor(n, kPitch, 105);
  return layout;
}

int widenedOuterWidth(int designedOuterWidth, int frameWidth, int left, int width) {
  constexpr int kMarginRight = 16;
  if (std::int64_t{left} + width <= std::int64_t{designedOuterWidth} - frameWidth)
    return designedOuterWidth;
  return std::max(designedOuterWidth,
                  clampPixels(std::int64_t{left} + std::int64_t{width} + kMarginRight));
}

void fitCaptions(RangeWindowLayout& layout, const std::vector<int>& neededWidths, int buttonLeft,
                 int frameWidth) {
  const int designed = layout.outerWidth;
  for (std::size_t i = 0; i < layout.buttonWidths.size() && i < neededWidths.size(); ++i) {
    int& width = layout.buttonWidths[i];
    width = std::max(width, neededWidths[i]);
    layout.outerWidth =
        std::max(layout.outerWidth, widenedOuterWidth(designed, frameWidth, buttonLeft, width));
  }
  layout.acceptLeft = (layout.outerWidth - kAcceptWidth) / 2;
}

WindowPlace recentre(int oldLeft, int oldTop, int oldWidth, int oldHeight, int newWidth,
                     int newHeight) {
  const int centreX = oldLeft + oldWidth / 2;
  const int centreY = oldTop + oldHeight / 2;
  return WindowPlace{std::max(0, centreX - newWidth / 2), std::max(0, centreY - newHeight / 2)};
}
