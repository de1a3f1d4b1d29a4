// diapazon.txt: the ranges of a topic, each entry chosen against a bank size,
// and the window laid out for the captions.
#include <string>
#include <vector>

#include "bank/range_file.h"
#include "fuzz_input.h"
#include "platform/data_error.h"
#include "platform/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first byte picks the topic, the second the number of loaded questions.
  const unsigned topic = data[0] % 11;
  const std::size_t questionCount = data[1] * 4u;
  const std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
  const RangeList list = readRanges(splitLines(text), topic);
  if (!list) {
    (void)describe(list.error());
    return 0;
  }
  std::vector<std::string> captions;
  for (const RangeEntry& entry : *list) {
    captions.push_back(entry.caption);
    const RangeChoice choice = chooseRange(entry, questionCount);
    if (!choice) {
      const std::string message = describe(choice.error());
      for (char c : message) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7F);
      continue;
    }
    FUZZ_CHECK(choice->first >= 1 && choice->first <= choice->last &&
               choice->last <= questionCount);
    if (questionCount > 0) {
      const QuestionRange working = workingRange(topic, *choice, questionCount);
      FUZZ_CHECK(working.first == choice->first && working.last == choice->last);
    }
  }
  if (captions.empty()) return 0;
  const RangeWindowLayout layout = layoutRangeWindow(captions);
  FUZZ_CHECK(layout.buttonTops.size() == captions.size());
  FUZZ_CHECK(layout.outerWidth >= 40 && layout.outerHeight > layout.acceptTop);
  return 0;
}
