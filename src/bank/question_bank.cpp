#include "bank/question_bank.h"

#include <algorithm>
#include <functional>
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

// A check's receiver of every fault; a load has none.
using FaultSink = std::function<void(DataError)>;

// A load stops at the first fault; a check (every set) notes it and reads on.
std::optional<DataError> keep(std::optional<DataError> error, const FaultSink* every) {
  if (!error || !every) return error;
  (*every)(std::move(*error));
  return std::nullopt;
}

// Lines after one topic marker, up to the next marker, the first fault or the end,
// as byte offsets into the file's text.
struct Section {
  unsigned topic = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t firstLine = 0;  // 0-based number of the line at begin
};

// One of the three sectioned files, read once and kept as one text. A topic pass walks
// only the sections of its topic, which meets the same lines in the same order as reading
// the whole file with the topic-selection rule, at a cost that does not grow with the
// number of topics.
struct SectionedFile {
  const char* name = nullptr;
  std::string text;
  std::vector<Section> sections;
  std::optional<DataError> fault;  // an empty line or a bad marker, wherever it stands
  std::size_t faultAt = kNoLine;   // byte offset of the faulty line
};

// Where the loader gets a file's bytes: a folder on disk, or texts handed in.
using FileSource = std::function<std::optional<DataError>(const char* name, std::string& text)>;

std::optional<DataError> readSectioned(const FileSource& source, SectionedFile& file,
                                       const FaultSink* every) {
  if (auto error = source(file.name, file.text)) return error;
  const std::string_view text = file.text;
  std::size_t index = 0;
  for (std::size_t pos = 0; pos < text.size(); ++index) {
    const std::size_t start = pos;
    const std::string_view line = nextLine(text, pos);
    if (line.empty()) {
      file.fault = fault(Code::EmptyLine, file.name, index, cp("пустая строка недопустима."));
    } else if (classify(line) == LineKind::TopicMarker) {
      const auto topic = digitAt(line, 4);
      if (!topic) {
        file.fault = fault(Code::BadTopicDigit, file.name, index,
                           cp("в строке темы четвертый символ должен быть цифрой."));
      } else {
        if (!file.sections.empty()) file.sections.back().end = start;
        file.sections.push_back(Section{*topic, pos, text.size(), index + 1});
      }
    }
    if (file.fault && every) {
      (*every)(std::move(*file.fault));
      file.fault.reset();
      // Read on past a bad marker as if it opened a section that no topic loads.
      if (!line.empty()) {
        if (!file.sections.empty()) file.sections.back().end = start;
        file.sections.push_back(Section{kNoTopic, pos, text.size(), index + 1});
      }
    } else if (file.fault) {
      file.faultAt = start;
      if (!file.sections.empty()) file.sections.back().end = start;
      break;
    }
  }
  return std::nullopt;
}

// Feeds onLine(line, index) every line of the topic's sections and calls onSectionEnd
// where a section is closed by a marker or the end of the file; stops at the first fault.
template <typename OnLine, typename OnSectionEnd>
std::optional<DataError> walkTopic(const SectionedFile& file, unsigned topic,
                                   const FaultSink* every, OnLine onLine,
                                   OnSectionEnd onSectionEnd) {
  const std::string_view text = file.text;
  for (const Section& section : file.sections) {
    if (section.topic != topic) continue;
    std::size_t index = section.firstLine;
    for (std::size_t pos = section.begin; pos < section.end; ++index) {
      const std::string_view line = nextLine(text, pos);
      if (line.empty()) continue;  // only a check reads on past an empty line
      if (auto error = keep(onLine(line, index), every)) return error;
    }
    if (section.end == file.faultAt) break;
    if (auto error = keep(onSectionEnd(), every)) return error;
  }
  return file.fault;
}

std::optional<DataError> noSectionEnd() { return std::nullopt; }

std::string_view setText(std::string_view line) { return line.size() > 2 ? line.substr(2) : ""; }

unsigned questionNumber(std::string_view line) {
  return *digitAt(line, 2) * 100 + *digitAt(line, 3) * 10 + *digitAt(line, 4);
}

class BankLoader {
 public:
  BankLoader(FileSource source, unsigned selectedTopic, unsigned topicCount, const FaultSink* every)
      : source_(std::move(source)), renumber_(selectedTopic == 0), every_(every) {
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
    if (auto error = readSectioned(source_, file, every_)) return keep(std::move(error), every_);

    // All question lines of all loaded topics are gathered before any is placed.
    std::vector<std::vector<std::string_view>> picked(topics_.size());
    std::size_t total = 0;
    for (std::size_t k = 0; k < topics_.size(); ++k) {
      auto onLine = [&](std::string_view line, std::size_t i) -> std::optional<DataError> {
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
        picked[k].push_back(line);
        return std::nullopt;
      };
      if (auto error = walkTopic(file, topics_[k], every_, onLine, noSectionEnd)) return error;
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
      for (std::size_t i = 0; i < m; ++i) {
        const unsigned number = questionNumber(picked[k][i]);
        if (number >= 1 && number <= m) byNumber[number] = i;
      }
      for (std::size_t number = 1; number <= m; ++number) {
        if (byNumber[number] == kNoLine) {
          bank.QuestionTexts.emplace_back(kFillerText);
          bank.QuestionFlags.push_back(kFillerFlag);
          continue;
        }
        const std::string_view line = picked[k][byNumber[number]];
        bank.QuestionFlags.push_back(static_cast<std::uint16_t>(*digitAt(line, 6)));
        bank.QuestionTexts.emplace_back(line.substr(kQuestionPrefix));
      }
    }
    return std::nullopt;
  }

  // The set a set line stands for: as written for one topic, renumbered for all.
  // Both ways check it, so a file that loads for one topic loads for all.
  std::optional<DataError> readSet(const SectionedFile& file, std::string_view line, std::size_t i,
                                   std::size_t k, std::string& current) const {
    const std::string_view text = setText(line);
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
    if (auto error = readSectioned(source_, file, every_)) return keep(std::move(error), every_);

    // Sized once: a file of many short answer lines must not need twice their room.
    std::size_t records = 0;
    for (unsigned topic : topics_)
      walkTopic(
          file, topic, nullptr,
          [&](std::string_view line, std::size_t) {
            if (classify(line) == LineKind::Record) ++records;
            return std::optional<DataError>();
          },
          noSectionEnd);
    bank.AnswerTexts.reserve(records);

    // A topic marker does not reset the current set; a topic's answers may only
    // follow one of its own set lines, never the previous topic's.
    std::string current;
    bool setStored = false;  // whether an answer line already refers to current
    for (std::size_t k = 0; k < topics_.size(); ++k) {
      bool haveSet = false;
      auto onLine = [&](std::string_view line, std::size_t i) -> std::optional<DataError> {
        switch (classify(line)) {
          case LineKind::Set:
            haveSet = true;
            setStored = false;
            return readSet(file, line, i, k, current);
          case LineKind::Record:
            if (!haveSet)
              return fault(Code::BadStructure, file.name, i,
                           cp("перед вариантами ответа темы нужна строка набора вопросов."));
            if (!digitAt(line, 2))
              return fault(Code::BadOptionDigit, file.name, i,
                           cp("номер варианта ответа (второй символ) должен быть цифрой."));
            bank.AnswerTexts.emplace_back(line);
            if (setStored) {
              bank.AnswerQuestionSets.repeatLast();
            } else {
              bank.AnswerQuestionSets.push_back(current);
              setStored = true;
            }
            return std::nullopt;
          default:
            return std::nullopt;
        }
      };
      if (auto error = walkTopic(file, topics_[k], every_, onLine, noSectionEnd)) return error;
    }
    return std::nullopt;
  }

  std::optional<DataError> loadConsultations(QuestionBank& bank) {
    SectionedFile file;
    file.name = kConsultFile;
    if (auto error = readSectioned(source_, file, every_)) return keep(std::move(error), every_);

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
      auto onLine = [&](std::string_view line, std::size_t i) -> std::optional<DataError> {
        if (classify(line) == LineKind::Set) {
          if (auto error = keep(blockWithoutContent(), every_)) return error;
          haveSet = true;
          emptyBlock = i;
          ++b;
          return readSet(file, line, i, k, current);
        }
        if (!haveSet)
          return fault(Code::BadStructure, file.name, i,
                       cp("перед пояснением темы нужна строка набора вопросов."));
        if (b != d) {
          bank.ConsultBlocks.resize(b);
          bank.ConsultTexts.push_back(current);
          d = b;
        }
        bank.ConsultBlocks[b - 1].emplace_back(line);
        emptyBlock = kNoLine;
        return std::nullopt;
      };
      if (auto error = walkTopic(file, topics_[k], every_, onLine, blockWithoutContent))
        return error;
    }
    return std::nullopt;
  }

  FileSource source_;
  bool renumber_;
  std::vector<unsigned> topics_;   // the topics to load, in load order
  std::vector<unsigned> offsets_;  // question offset of each loaded topic (0 for one topic)
  std::vector<unsigned> sizes_;    // question count of each loaded topic
  const FaultSink* every_;         // set for a check, which notes every fault
};

}  // namespace

AnswerSetList::AnswerSetList(std::initializer_list<std::string> sets) {
  for (const std::string& set : sets) push_back(set);
}

AnswerSetList::AnswerSetList(const std::vector<std::string>& sets) {
  for (const std::string& set : sets) push_back(set);
}

void AnswerSetList::push_back(std::string set) {
  runs_.push_back(Run{size_, std::move(set)});
  ++size_;
}

void AnswerSetList::repeatLast() {
  if (runs_.empty()) runs_.push_back(Run{0, std::string()});
  ++size_;
}

const std::string& AnswerSetList::operator[](std::size_t i) const {
  const auto after = std::upper_bound(runs_.begin(), runs_.end(), i,
                                      [](std::size_t n, const Run& run) { return n < run.first; });
  return std::prev(after)->set;
}

template <typename Sets>
bool sameSets(const AnswerSetList& a, const Sets& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

bool operator==(const AnswerSetList& a, const AnswerSetList& b) { return sameSets(a, b); }

bool operator==(const AnswerSetList& a, const std::vector<std::string>& b) {
  return sameSets(a, b);
}

namespace {

FileSource fromFolder(const std::string& folder) {
  return [folder](const char* name, std::string& text) -> std::optional<DataError> {
    auto read = readCourseText(folder + name);
    if (!read) return read.error();
    text = std::move(*read);
    return std::nullopt;
  };
}

}  // namespace

BankLoad loadBank(const std::string& folder, unsigned selectedTopic, unsigned topicCount) {
  return BankLoader(fromFolder(folder), selectedTopic, topicCount, nullptr).run();
}

BankFaults collectBankFaults(const std::string& folder, unsigned topicCount) {
  BankFaults found;
  const FaultSink keepIt = [&found](DataError fault) { found.faults.push_back(std::move(fault)); };
  found.bank = BankLoader(fromFolder(folder), 0, topicCount, &keepIt).run().bank;
  return found;
}

std::size_t collectBankFaults(const std::string& folder, unsigned topicCount,
                              const std::function<void(DataError)>& onFault) {
  return BankLoader(fromFolder(folder), 0, topicCount, &onFault).run().bank.QuestionTexts.size();
}

BankLoad loadBankFromTexts(CourseTexts texts, unsigned selectedTopic, unsigned topicCount) {
  auto handedIn = [&texts](const char* name, std::string& text) -> std::optional<DataError> {
    std::optional<std::string>& given = name == std::string_view(kQuestionFile) ? texts.questions
                                        : name == std::string_view(kAnswerFile)
                                            ? texts.answers
                                            : texts.consultations;
    if (!given) return DataError{Code::FileMissing, name, 0, cp("файл не найден.")};
    text = std::move(*given);
    return std::nullopt;
  };
  return BankLoader(handedIn, selectedTopic, topicCount, nullptr).run();
}
