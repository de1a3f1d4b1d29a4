// The four course files at once: main.txt, vopros.txt, otvet.txt, konsult.txt.
// Loads every topic alone and all topics together; when every topic loads alone,
// all topics must load and equal the single topics joined, their sets renumbered.
#include <algorithm>
#include <string>
#include <vector>

#include "app/topic_list.h"
#include "bank/course_files.h"
#include "bank/question_bank.h"
#include "fuzz_input.h"
#include "platform/data_error.h"
#include "platform/text_file.h"

namespace {

constexpr unsigned kLastLoadableTopic = 9;  // markers carry one digit

// A single topic's set as the joined bank holds it: shifted by the questions before
// the topic, and without numbers beyond the topic's own questions.
std::string renumbered(const std::string& set, std::size_t offset, std::size_t questionCount) {
  return *renumberSet(set, static_cast<unsigned>(offset), static_cast<unsigned>(questionCount));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> files = splitFiles(data, size);
  files.resize(4);
  const std::vector<std::string> mainLines = splitLines(files[0]);
  const TopicListLayout list = layoutTopicList(mainLines);
  FUZZ_CHECK(!list.buttons.empty());
  const auto topicCount = static_cast<unsigned>(list.buttons.size());  // entry 0 included

  const CourseTexts texts{files[1], files[2], files[3]};
  const BankLoad all = loadBankFromTexts(texts, 0, topicCount);
  if (all.error) (void)describe(*all.error);

  // Topics beyond the ninth can carry nothing, so one of them is enough.
  const unsigned lastTopic = std::min(topicCount - 1, kLastLoadableTopic + 1);
  QuestionBank joined;
  bool comparable = true;
  for (unsigned topic = 1; topic <= lastTopic; ++topic) {
    const BankLoad single = loadBankFromTexts(texts, topic, topicCount);
    if (single.error) {
      (void)describe(*single.error);
      comparable = false;
      continue;
    }
    const QuestionBank& b = single.bank;
    const std::size_t offset = joined.QuestionTexts.size();
    const std::size_t count = b.QuestionTexts.size();
    if (!comparable) continue;
    joined.QuestionTexts.insert(joined.QuestionTexts.end(), b.QuestionTexts.begin(),
                                b.QuestionTexts.end());
    joined.QuestionFlags.insert(joined.QuestionFlags.end(), b.QuestionFlags.begin(),
                                b.QuestionFlags.end());
    joined.AnswerTexts.insert(joined.AnswerTexts.end(), b.AnswerTexts.begin(), b.AnswerTexts.end());
    for (std::size_t i = 0; i < b.AnswerQuestionSets.size(); ++i)
      joined.AnswerQuestionSets.push_back(renumbered(b.AnswerQuestionSets[i], offset, count));
    for (const std::string& set : b.ConsultTexts)
      joined.ConsultTexts.push_back(renumbered(set, offset, count));
    joined.ConsultBlocks.insert(joined.ConsultBlocks.end(), b.ConsultBlocks.begin(),
                                b.ConsultBlocks.end());
  }
  if (!comparable || topicCount < 2) return 0;

  FUZZ_CHECK(!all.error);
  const QuestionBank& a = all.bank;
  FUZZ_CHECK(a.QuestionTexts == joined.QuestionTexts);
  FUZZ_CHECK(a.QuestionFlags == joined.QuestionFlags);
  FUZZ_CHECK(a.AnswerTexts == joined.AnswerTexts);
  FUZZ_CHECK(a.AnswerQuestionSets == joined.AnswerQuestionSets);
  FUZZ_CHECK(a.ConsultTexts == joined.ConsultTexts);
  FUZZ_CHECK(a.ConsultBlocks == joined.ConsultBlocks);
  return 0;
}
