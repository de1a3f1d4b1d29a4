#include "results/course_index.h"

#include "app/topic_list.h"
#include "bank/question_bank.h"
#include "bank/question_card.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

std::string textStart(const std::string& text) {
  std::string start = text.substr(0, text.find_last_not_of(' ') + 1);
  if (start.size() <= kTextStart) return start;
  start.resize(kTextStart);
  return start + cp("…");
}

// What the testing window shows for question n (0-based) of the bank.
void describeOptions(const QuestionBank& bank, std::size_t n, CourseQuestion& q) {
  const CardLayout card = layoutCard(bank, n, WindowKind::Testing);
  if (card.noAnswers) return;
  q.options = static_cast<unsigned>(card.options.size());
  for (std::size_t k = 0; k < card.options.size(); ++k)
    if (isRightAnswer(bank, n, card.options[k].digit)) q.rightOption = static_cast<unsigned>(k + 1);
}

}  // namespace

CourseIndex CourseIndex::load(const std::string& path, std::vector<std::string>& faults) {
  CourseIndex index;
  const std::string folder = asFolder(path);
  const auto mainLines = readLines(folder + "main.txt");
  if (!mainLines) {
    faults.push_back(cp("main.txt: файл не найден или не читается."));
    return index;
  }
  // Records of all topics carry the caption kurs.txt gives; where it cannot be
  // read the program, as here, keeps the sample's caption.
  const auto identity = readCourseIdentity(folder);
  const TopicListLayout topics = layoutTopicList(
      *mainLines, identity ? identity->allTopicsCaption() : sampleAllTopicsCaption());
  const auto topicCount = static_cast<unsigned>(topics.buttons.size());
  std::vector<CourseQuestion> all;
  for (unsigned t = 1; t < topicCount; ++t) {
    const BankLoad load = loadBank(folder, t, topicCount);
    if (!load.usable()) {
      faults.push_back(cp("тема ") + std::to_string(t) + ": " +
                       (load.error ? describe(*load.error) : cp("нет вопросов.")));
      continue;
    }
    std::vector<CourseQuestion>& questions = index.byCaption_[topics.buttons[t].caption];
    for (std::size_t n = 0; n < load.bank.QuestionTexts.size(); ++n) {
      CourseQuestion q{topics.buttons[t].caption, static_cast<unsigned>(n + 1),
                       textStart(load.bank.QuestionTexts[n]), 0, 0};
      describeOptions(load.bank, n, q);
      questions.push_back(q);
      all.push_back(q);
    }
  }
  // All topics at once: the topics' questions one after the other.
  const BankLoad combined = loadBank(folder, 0, topicCount);
  if (combined.usable() && combined.bank.QuestionTexts.size() == all.size()) {
    for (std::size_t n = 0; n < all.size(); ++n) describeOptions(combined.bank, n, all[n]);
    index.byCaption_[topics.buttons[0].caption] = std::move(all);
  }
  return index;
}

std::optional<CourseQuestion> CourseIndex::find(const std::string& topicCaption,
                                                unsigned question) const {
  const auto topic = byCaption_.find(topicCaption);
  if (topic == byCaption_.end() || question == 0 || question > topic->second.size())
    return std::nullopt;
  return topic->second[question - 1];
}
