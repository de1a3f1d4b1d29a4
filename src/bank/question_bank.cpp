#include "bank/question_bank.h"

#include <string_view>
#include <utility>

#include "bank/course_files.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

constexpr const char* kQuestionFile = "vopros.txt";
constexpr const char* kAnswerFile = "otvet.txt";
constexpr const char* kConsultFile = "konsult.txt";

constexpr std::size_t kQuestionPrefix = 9;  // "_001_2_1_"
constexpr const char* kFillerText = "   ";
constexpr std::uint16_t kFillerFlag = 1;
constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);
constexpr unsigned kNoTopic = static_cast<unsigned>(-1);

using Code = DataError::Code;

DataError fault(Code code, const char* file, std::size_t index, std::string what) {
  return DataError{code, file, static_cast<unsigned>(index + 1), std::move(what)};
}

// A load stops at the first fault; a check (every set) notes it and reads on.
std::optional<DataError> keep(std::optional<DataError> error, std::vector<DataError>* every) {
  if (!error || !every) return error;
  every->push_back(std::move(*error));
  return std::nullopt;
}

// Lines after one topic marker, up to the next marker, the first fault or the end.
struct Section {
  unsigned topic = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// One of the three sectioned files, read from disk once. A topic pass walks only the
// sections of its topic, which meets the same lines in the same order as reading the
// whole file with the topic-selection rule, at a cost that does not grow with the
// number of topics.
struct SectionedFile {
  const char* name = nullptr;
  std::vector<std::string> lines;
  std::vector<Section> sections;
  std::optional<DataError> fault;  // an empty line or a bad marker, wherever it stands
  std::size_t faultIndex = kNoLine;
};

std::optional<DataError> readSectioned(const std::string& folder, SectionedFile& file,
                                       std::vector<DataError>* every) {
  const std::string path = folder + file.name;
  auto lines = readLines(path);
  if (!lines) {
    if (!fileExists(path)) return DataError{Code::FileMissing, file.name, 0, cp("файл не найден.")};
    return DataError{Code::CannotRead, file.name, 0, cp("файл не удается прочитать.")};
  }
  file.lines = std::move(*lines);
  const std::size_t count = file.lines.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& line = file.lines[i];
    if (line.empty()) {
      file.fault = fault(Code::EmptyLine, file.name, i, cp("пустая строка недопустима."));
    } else if (classify(line) == LineKind::TopicMarker) {
      const auto topic = digitAt(line, 4);
      if (!topic) {
        file.fault = fault(Code::BadTopicDigit, file.name, i,
                           cp("в строке темы четвертый символ должен быть цифрой."));
      } else {
        if (!file.sections.empty()) file.sections.back().end = i;
        file.sections.push_back(Section{*topic, i + 1, count});
      }
    }
    if (file.fault && every) {
      every->push_back(std::move(*file.fault));
      file.fault.reset();
      // Read on past a bad marker as if it opened a section that no topic loads.
      if (!line.empty()) {
        if (!file.sections.empty()) file.sections.back().end = i;
        file.sections.push_back(Section{kNoTopic, i + 1, count});
      }
    } else if (file.fault) {
      file.faultIndex = i;
      if (!file.sections.empty()) file.sections.back().end = i;
      break;
    }
  }
  return std::nullopt;
}

// Feeds onLine every line of the topic's sections and calls onSectionEnd where a
// section is closed by a marker or the end of the file; stops at the first fault.
template <typename OnLine, typename OnSectionEnd>
std::optional<DataError> walkTopic(const SectionedFile& file, unsigned topic,
                                   std::vector<DataError>* every, OnLine onLine,
                                   OnSectionEnd onSectionEnd) {
  for (const Section& section : file.sections) {
    if (section.topic != topic) continue;
    for (std::size_t i = section.begin; i < section.end; ++i) {
      if (file.lines[i].empty()) continue;  // only a check reads on past an empty line
      if (auto error = keep(onLine(i), every)) return error;
    }
    if (section.end == file.faultIndex) break;
    if (auto error = keep(onSectionEnd(), every)) return error;
  }
  return file.fault;
}

std::string_view setText(std::string_view line) { return line.size() > 2 ? line.substr(2) : ""; }

unsigned questionNumber(std::string_view line) {
  return *digitAt(line, 2) * 100 + *digitAt(line, 3) * 10 + *digitAt(line, 4);
}

class BankLoader {
 public:
  BankLoader(std::string folder, unsigned selectedTopic, unsigned topicCount,
             std::vector<DataError>* every)
      : folder_(std::move(folder)), renumber_(selectedTopic == 0), every_(every) {
    if (renumber_) {
      for (unsigned t = 1; t < topicCount; ++t) topics_.push_back(t);
    } else {
      topics_.push_back(selectedTopic);
    }
    offsets_.assign(topics_.size(), 0);
    sizes_.assign(topics_.size(), 0);
  }

  BankLoad run() {
    BankLoad load;
    load.error = loadQuestions(load.bank);
    if (!load.error) load.error = loadAnswers(load.bank);
    if (!load.error) load.error = loadConsultations(load.bank);
    return load;
  }

 private:
  std::optional<DataError> loadQuestions(QuestionBank& bank) {
    SectionedFile file;
    file.name = kQuestionFile;
    if (auto error = readSectioned(folder_, file, every_)) return keep(std::move(error), every_);

    // All question lines of all loaded topics are gathered before any is placed.
    std::vector<std::vector<std::size_t>> picked(topics_.size());
    std::size_t total = 0;
    for (std::size_t k = 0; k < topics_.size(); ++k) {
      auto onLine = [&](std::size_t i) -> std::optional<DataError> {
        const std::string& line = file.lines[i];
        if (classify(line) != LineKind::Record) return std::nullopt;
        if (!digitAt(line, 2) || !digitAt(line, 3) || !digitAt(line, 4))
          return fault(Code::BadQuestionNumber, file.name, i,
                       cp("номер вопроса должен состоять из трех цифр."));
        if (!digitAt(line, 6))
          return fault(Code::BadAnswerDigit, file.name, i,
                       cp("номер правильного ответа (шестой символ) должен быть цифрой."));
        if (line.size() < kQuestionPrefix)
          return fault(Code::BadStructure, file.name, i,
                       cp("строка вопроса должна содержать не менее девяти символов."));
        picked[k].push_back(i);
        return std::nullopt;
      };
      if (auto error = walkTopic(file, topics_[k], every_, onLine,
                                 [] { return std::optional<DataError>(); }))
        return error;
      if (picked[k].empty()) {
        if (auto error = keep(DataError{Code::NoQuestions, file.name, 0,
                                        cp("в теме ") + std::to_string(topics_[k]) +
                                            cp(" нет ни одного вопроса.")},
                              every_))
          return error;
      }
      total += picked[k].size();
    }

    bank.QuestionTexts.reserve(total);
    bank.QuestionFlags.reserve(total);
    std::vector<std::size_t> byNumber;
    for (std::size_t k = 0; k < topics_.size(); ++k) {
      if (renumber_) offsets_[k] = static_cast<unsigned>(bank.QuestionTexts.size());
      // A topic of m lines holds questions 1..m; the later of two equal numbers wins.
      const std::size_t m = picked[k].size();
      sizes_[k] = static_cast<unsigned>(m);
      byNumber.assign(m + 1, kNoLine);
      for (std::size_t i : picked[k]) {
        const unsigned number = questionNumber(file.lines[i]);
        if (number >= 1 && number <= m) byNumber[number] = i;
      }
      for (std::size_t number = 1; number <= m; ++number) {
        if (byNumber[number] == kNoLine) {
          bank.QuestionTexts.emplace_back(kFillerText);
          bank.QuestionFlags.push_back(kFillerFlag);
          continue;
        }
        std::string& line = file.lines[byNumber[number]];
        bank.QuestionFlags.push_back(static_cast<std::uint16_t>(*digitAt(line, 6)));
        std::string text = std::move(line);
        text.erase(0, kQuestionPrefix);
        bank.QuestionTexts.push_back(std::move(text));
      }
    }
    return std::nullopt;
  }

  // The set a set line stands for: as written for one topic, renumbered for all.
  // Both ways check it, so a file that loads for one topic loads for all.
  std::optional<DataError> readSet(const SectionedFile& file, std::size_t i, std::size_t k,
                                   std::string& current) const {
    const std::string_view text = setText(file.lines[i]);
    // Renumbered, a number beyond the topic's own questions names nothing, as it
    // does when the topic is loaded alone.
    auto renumbered = renumber_ ? renumberSet(text, offsets_[k], sizes_[k]) : renumberSet(text, 0);
    if (!renumbered)
      return fault(Code::BadSetElement, file.name, i,
                   cp("набор номеров вопросов должен иметь вид _1_2_3_."));
    if (renumber_)
      current = std::move(*renumbered);
    else
      current.assign(text);
    return std::nullopt;
  }

  std::optional<DataError> loadAnswers(QuestionBank& bank) {
    SectionedFile file;
    file.name = kAnswerFile;
    if (auto error = readSectioned(folder_, file, every_)) return keep(std::move(error), every_);

    // A topic marker does not reset the current set; a topic's answers may only
    // follow one of its own set lines, never the previous topic's.
    std::string current;
    for (std::size_t k = 0; k < topics_.size(); ++k) {
      bool haveSet = false;
      auto onLine = [&](std::size_t i) -> std::optional<DataError> {
        std::string& line = file.lines[i];
        switch (classify(line)) {
          case LineKind::Set:
            haveSet = true;
            return readSet(file, i, k, current);
          case LineKind::Record:
            if (!haveSet)
              return fault(Code::BadStructure, file.name, i,
                           cp("перед вариантами ответа темы нужна строка набора вопросов."));
            if (!digitAt(line, 2))
              return fault(Code::BadOptionDigit, file.name, i,
                           cp("номер варианта ответа (второй символ) должен быть цифрой."));
            bank.AnswerTexts.push_back(std::move(line));
            bank.AnswerQuestionSets.push_back(current);
            return std::nullopt;
          default:
            return std::nullopt;
        }
      };
      if (auto error = walkTopic(file, topics_[k], every_, onLine,
                                 [] { return std::optional<DataError>(); }))
        return error;
    }
    return std::nullopt;
  }

  std::optional<DataError> loadConsultations(QuestionBank& bank) {
    SectionedFile file;
    file.name = kConsultFile;
    if (auto error = readSectioned(folder_, file, every_)) return keep(std::move(error), every_);

    // b counts set lines, d is the last block created; both run on across topics.
    unsigned b = 0;
    unsigned d = 0;
    std::string current;
    for (std::size_t k = 0; k < topics_.size(); ++k) {
      bool haveSet = false;
      std::size_t emptyBlock = kNoLine;  // a set line still waiting for its first content line
      auto blockWithoutContent = [&]() -> std::optional<DataError> {
        if (emptyBlock == kNoLine) return std::nullopt;
        return fault(Code::BadStructure, file.name, emptyBlock,
                     cp("после строки набора вопросов нет ни одной строки пояснения."));
      };
      auto onLine = [&](std::size_t i) -> std::optional<DataError> {
        std::string& line = file.lines[i];
        if (classify(line) == LineKind::Set) {
          if (auto error = keep(blockWithoutContent(), every_)) return error;
          haveSet = true;
          emptyBlock = i;
          ++b;
          return readSet(file, i, k, current);
        }
        if (!haveSet)
          return fault(Code::BadStructure, file.name, i,
                       cp("перед пояснением темы нужна строка набора вопросов."));
        if (b != d) {
          bank.ConsultBlocks.resize(b);
          bank.ConsultTexts.push_back(current);
          d = b;
        }
        bank.ConsultBlocks[b - 1].push_back(std::move(line));
        emptyBlock = kNoLine;
        return std::nullopt;
      };
      if (auto error = walkTopic(file, topics_[k], every_, onLine, blockWithoutContent)) return error;
    }
    return std::nullopt;
  }

  std::string folder_;
  bool renumber_;
  std::vector<unsigned> topics_;   // the topics to load, in load order
  std::vector<unsigned> offsets_;  // question offset of each loaded topic (0 for one topic)
  std::vector<unsigned> sizes_;    // question count of each loaded topic
  std::vector<DataError>* every_;  // set for a check, which notes every fault
};

}  // namespace

BankLoad loadBank(const std::string& folder, unsigned selectedTopic, unsigned topicCount,
                  std::vector<DataError>* everyFault) {
  return BankLoader(folder, selectedTopic, topicCount, everyFault).run();
}
