// The question card of a bank built from the input's lines: the first line is
// the question, a line beginning with '*' sets the set of the answer lines after
// it (from its third byte), every other line is an answer line as written.
#include <string>
#include <vector>

#include "bank/question_card.h"
#include "fuzz_input.h"
#include "platform/text_file.h"

namespace {

constexpr std::size_t kQuestions = 3;

void checkCard(const QuestionBank& bank, std::size_t n, WindowKind kind) {
  const CardLayout card = layoutCard(bank, n, kind);
  FUZZ_CHECK(!card.options.empty());
  FUZZ_CHECK(card.outerHeight >= 360);
  int lastTop = -1;
  for (const OptionPlace& option : card.options) {
    FUZZ_CHECK(option.top >= lastTop && option.width >= 15);
    FUZZ_CHECK(option.caption.size() <= kLongestLine);
    lastTop = option.top;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string> lines =
      splitLines(std::string_view(reinterpret_cast<const char*>(data), size));
  QuestionBank bank;
  bank.QuestionTexts.assign(kQuestions, lines.empty() ? std::string() : lines[0]);
  bank.QuestionFlags.assign(kQuestions, 1);
  std::string set = "_1_";
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (!lines[i].empty() && lines[i][0] == '*') {
      set = lines[i].size() > 2 ? lines[i].substr(2) : std::string();
      continue;
    }
    bank.AnswerTexts.push_back(lines[i]);
    bank.AnswerQuestionSets.push_back(set);
    if (bank.ConsultBlocks.size() < 2) {
      bank.ConsultTexts.push_back(set);
      bank.ConsultBlocks.push_back({lines[i]});
    }
  }
  for (std::size_t n = 0; n < kQuestions; ++n) {
    checkCard(bank, n, WindowKind::SelfControl);
    checkCard(bank, n, WindowKind::Testing);
  }
  return 0;
}
