#include "exam/report.h"

#include <algorithm>

#include "platform/cp1251.h"

namespace {

constexpr Rgb kGreen{0, 128, 0};
constexpr Rgb kNavy{0, 0, 128};
// Dark goldenrod for the layout's pure yellow, which is invisible on the cream
// background; the report darkens it further as far as reading needs.
constexpr Rgb kYellow{184, 134, 11};
constexpr Rgb kRed{255, 0, 0};

}  // namespace

std::string oneLine(std::string value) {
  for (char& c : value)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return value;
}

Grade gradeFor(bool exam, int errorCount) {
  if (!exam)
    return errorCount >= kErrorLimit ? Grade{cp("незачет"), kRed} : Grade{cp("зачет"), kGreen};
  switch (errorCount) {
    case 0:
      return {cp("5 - отл."), kGreen};
    case 1:
      return {cp("4 - хор."), kNavy};
    case 2:
      return {cp("3 - удовл."), kYellow};
    default:
      return {cp("2 - неуд."), kRed};
  }
}

Evaluation evaluate(const TestResults& results, bool exam) {
  Evaluation e;
  const int answers = std::clamp(results.AnswerCount, 0, kQuestionsPerTest);
  for (int k = 0; k < answers; ++k)
    if (results.AnswerResults[static_cast<std::size_t>(k)] != 0) ++e.rightAnswers;
  e.errorCount = results.ErrorCount;
  const int questions = results.questionsInTest();
  if (results.ElapsedSeconds >= results.TimeLimitSeconds) {
    e.timedOut = true;
    // Every question left unanswered at the time-out counts as an error.
    if (answers < questions) e.errorCount += questions - answers;
  }
  e.earlyStop = !e.timedOut && e.errorCount >= kErrorLimit && answers < questions;
  e.grade = gradeFor(exam, e.errorCount);
  return e;
}

ReportInput reportInputOf(const SessionState& started) {
  ReportInput input;
  input.exam = isExam(started.SelectedMode);
  input.name = started.CandidateName;
  input.code = started.CandidateCode;
  input.group = started.CandidateGroup;
  input.rangeFirst = started.RangeFirst;
  input.rangeLast = started.RangeLast;
  if (started.SelectedTopic < started.TopicTitles.size())
    input.topic = started.TopicTitles[started.SelectedTopic];
  return input;
}

ReportValues makeReportValues(const ReportInput& input, const TestResults& results,
                              const Evaluation& evaluation) {
  ReportValues v;
  v.exam = input.exam;
  v.date = input.date;
  v.time = input.time;
  v.name = input.name;
  v.code = input.code;
  v.group = input.group;
  v.topic = input.topic;
  v.timeUsed = std::to_string(results.ElapsedSeconds) + cp(" сек");
  v.range = rangeText(input.rangeFirst, input.rangeLast);
  v.answers = std::to_string(results.AnswerCount);
  v.errors = std::to_string(evaluation.errorCount);
  v.result = evaluation.grade.text;
  const int answers = std::clamp(results.AnswerCount, 0, kQuestionsPerTest);
  for (int k = 0; k < answers; ++k) {
    const auto i = static_cast<std::size_t>(k);
    v.listing.push_back(
        {results.AskedQuestions[i], results.ChosenOptions[i], results.AnswerResults[i] != 0});
  }
  return v;
}

std::string rangeText(unsigned first, unsigned last) {
  return cp("с ") + std::to_string(first) + cp(" по ") + std::to_string(last);
}

std::string listingCaption(const ReportValues::Entry& entry) {
  return std::to_string(entry.question) + "\r" + std::to_string(entry.option) +
         (entry.right ? "(+)" : "(-)");
}

std::string makeRecord(const ReportValues& v) {
  std::string answers;
  for (const auto& entry : v.listing)
    answers += std::to_string(entry.question) + ": " + std::to_string(entry.option) +
               (entry.right ? "(+)    " : "(-)    ");
  const std::string lines[] = {
      std::string(57, '='),
      cp("Дата:  ") + oneLine(v.date),
      cp("Время: ") + oneLine(v.time),
      cp("Фамилия И.О.: ") + oneLine(v.name),
      cp("Код:          ") + oneLine(v.code),
      cp("Группа:       ") + oneLine(v.group),
      cp("Потребовалось времени: ") + oneLine(v.timeUsed),
      cp("Тема:         ") + oneLine(v.topic),
      cp("Вопросы:      ") + oneLine(v.range),
      cp("Получено ответов:      ") + oneLine(v.answers),
      cp("Количество ошибок:     ") + oneLine(v.errors),
      "",
      (v.exam ? cp("Оценка:     ") : cp("Результат:  ")) + oneLine(v.result),
      "",
      cp("Отчет:"),
      answers,
      "",
      "",
  };
  std::string record;
  for (const std::string& line : lines) record += line + "\r\n";
  return record;
}
