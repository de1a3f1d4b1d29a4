#include "convert/intake.h"

#include <algorithm>

#include "convert/formats.h"

namespace {
constexpr std::size_t kMostOptions = 9;  // an option is named by one digit, 1 to 9
}

void Intake::note(unsigned line, std::string message, bool leftOut) {
  result_.notes.push_back(ConvertNote{file_, line, std::move(message), leftOut});
}

void Intake::add(const std::string& topicKey, const std::string& title,
                 const DraftQuestion& draft) {
  const unsigned line = draft.line;
  if (draft.text.picture || std::any_of(draft.options.begin(), draft.options.end(),
                                        [](const PlainText& o) { return o.picture; })) {
    leaveOut(line, "вопрос с рисунком не переносится: в курсе вопросы только текстовые.");
    return;
  }
  ExchangeQuestion q;
  q.text = oneLine(draft.text.lines);
  q.line = line;
  if (q.text.empty()) {
    leaveOut(line, "у вопроса нет текста.");
    return;
  }
  std::size_t rights = 0;
  for (std::size_t i = 0; i < draft.options.size(); ++i) {
    const std::string option = oneLine(draft.options[i].lines);
    if (option.empty()) continue;  // a learning platform ignores a blank answer, and so do we
    if (draft.right[i]) {
      ++rights;
      q.right = q.options.size();
    }
    q.options.push_back(option);
  }
  if (rights == 0) {
    leaveOut(line, "у вопроса нет верного ответа.");
    return;
  }
  if (rights > 1) {
    leaveOut(line, "у вопроса несколько верных ответов, а в курсе верный ответ один.");
    return;
  }
  if (q.options.size() < 2) {
    leaveOut(line, "у вопроса меньше двух вариантов ответа.");
    return;
  }
  if (q.options.size() > kMostOptions) {
    leaveOut(line,
             "у вопроса " + std::to_string(q.options.size()) +
                 " вариантов ответа, а в курсе их не больше 9 (номер варианта - одна цифра).");
    return;
  }
  if (draft.text.formatting || draft.consultation.formatting ||
      std::any_of(draft.options.begin(), draft.options.end(),
                  [](const PlainText& o) { return o.formatting; }))
    note(line, "оформление текста (шрифт, списки, таблицы) утрачено: в курсе простой текст.");
  if (draft.consultation.picture) note(line, "рисунок пояснения не переносится.");
  if (draft.text.link || draft.consultation.link ||
      std::any_of(draft.options.begin(), draft.options.end(),
                  [](const PlainText& o) { return o.link; }))
    note(line, "адрес ссылки оставлен в тексте в скобках: в курсе ссылок нет.");
  if (draft.multipleResponse)
    note(line, std::string("вопрос с выбором нескольких ответов") +
                   (draft.penalties ? " и штрафами за неверные" : "") +
                   " перенесён как вопрос с одним верным ответом.");
  else if (draft.penalties)
    note(line, "штрафы за неверные ответы не переносятся: в курсе неверный ответ просто неверен.");
  if (draft.optionFeedbackLost)
    note(line,
         "отзывы к отдельным вариантам ответа не переносятся (в курсе одно пояснение на вопрос).");
  q.consultation = draft.consultation.lines;

  // Looked up by hash: a bank may hold as many categories as questions.
  const auto [at, added] = topics_.try_emplace(topicKey, result_.course.topics.size());
  if (added) {
    keys_.push_back(topicKey);
    result_.course.topics.push_back(ExchangeTopic{title, {}});
  }
  result_.course.topics[at->second].questions.push_back(std::move(q));
}

std::string Intake::topCategory() const {
  std::string top;
  for (const std::string& key : keys_) {
    std::vector<std::string> parts = categoryParts(key);
    if (!parts.empty() && parts.front() == "top") parts.erase(parts.begin());
    // A topic right under the top has no course name above it.
    if (parts.size() < 2 || (!top.empty() && parts.front() != top)) return {};
    top = parts.front();
  }
  return top;
}
