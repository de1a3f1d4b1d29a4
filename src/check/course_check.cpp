#include "check/course_check.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <tuple>

#include "app/course_identity.h"
#include "app/topic_list.h"
#include "bank/consultation.h"
#include "bank/course_files.h"
#include "bank/question_bank.h"
#include "bank/question_card.h"
#include "bank/range_file.h"
#include "platform/cp1251.h"
#include "platform/data_error.h"
#include "platform/jpeg_decoder.h"
#include "platform/text_file.h"
#include "study/diagram_map.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr const char* kMainFile = "main.txt";
constexpr const char* kQuestionFile = "vopros.txt";
constexpr const char* kAnswerFile = "otvet.txt";
constexpr const char* kConsultFile = "konsult.txt";
constexpr const char* kRangeFile = "diapazon.txt";
constexpr const char* kDiagramMap = "graph.txt";
constexpr unsigned kLastTopicDigit = 9;
constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);
constexpr unsigned kNoTopic = static_cast<unsigned>(-1);

// "1 тема", "3 темы", "5 тем".
std::string counted(std::size_t n, std::string_view one, std::string_view few,
                    std::string_view many) {
  const std::size_t tens = n % 100;
  const std::size_t units = n % 10;
  std::string_view word = many;
  if (tens < 11 || tens > 14) {
    if (units == 1)
      word = one;
    else if (units >= 2 && units <= 4)
      word = few;
  }
  return std::to_string(n) + " " + cp(word);
}

std::string questionsCounted(std::size_t n) { return counted(n, "вопрос", "вопроса", "вопросов"); }

std::string inQuotes(std::string_view text) { return cp("«") + std::string(text) + cp("»"); }

// The first bytes of a file, fewer when it is shorter or cannot be read.
std::string fileStart(const std::string& path, std::size_t count) {
  std::string bytes(count, '\0');
  std::ifstream in(path, std::ios::binary);
  in.read(bytes.data(), static_cast<std::streamsize>(count));
  bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
  return bytes;
}

// The topic each line of a sectioned file belongs to, by the loader's rule:
// kNoTopic before the first marker, on marker lines and after a bad marker.
std::vector<unsigned> lineTopics(const Lines& lines) {
  std::vector<unsigned> topics(lines.size(), kNoTopic);
  unsigned current = kNoTopic;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (classify(lines[i]) == LineKind::TopicMarker) {
      current = digitAt(lines[i], 4).value_or(kNoTopic);
      continue;
    }
    topics[i] = current;
  }
  return topics;
}

// The numbers of a set text that the loader accepts; nullopt for one it refuses.
std::optional<std::vector<unsigned>> setNumbers(std::string_view setText) {
  const auto canonical = renumberSet(setText, 0);
  if (!canonical) return std::nullopt;
  std::vector<unsigned> numbers;
  unsigned value = 0;
  for (std::size_t i = 1; i < canonical->size(); ++i) {
    const char c = (*canonical)[i];
    if (c == '_') {
      numbers.push_back(value);
      value = 0;
    } else {
      value = value * 10 + static_cast<unsigned>(c - '0');
    }
  }
  return numbers;
}

std::string_view setTextOf(std::string_view line) { return line.size() > 2 ? line.substr(2) : ""; }

unsigned questionNumber(std::string_view line) {
  return *digitAt(line, 2) * 100 + *digitAt(line, 3) * 10 + *digitAt(line, 4);
}

struct CourseFile {
  explicit CourseFile(const char* fileName) : name(fileName) {}
  const char* name;
  bool present = false;
  Lines lines;
  std::vector<unsigned> topics;  // lineTopics(lines)
};

// The question lines of one topic: which line carries each number 1..m.
struct TopicQuestions {
  std::size_t count = 0;          // m, the topic's question lines
  std::vector<std::size_t> line;  // index by number, kNoLine for a filler
  std::size_t firstMarker = kNoLine;
};

class Checker {
 public:
  Checker(std::string folder, std::string diagramFolder)
      : folder_(std::move(folder)), diagramFolder_(std::move(diagramFolder)) {}

  CourseCheck run() {
    std::error_code ec;
    fs::directory_iterator listing(folder_.empty() ? fs::path(".") : fs::path(folder_), ec);
    if (ec) {
      result_.readable = false;
      return result_;
    }
    checkMain();
    for (CourseFile* file : {&questions_, &answers_, &consults_}) readCourseFile(folder_, *file);
    readDiagramMapFile();
    checkBank();
    for (const CourseFile* file : {&questions_, &answers_, &consults_}) checkMarkers(*file);
    checkQuestions();
    checkAnswers();
    checkConsultations();
    checkRanges();
    checkDiagramMap();
    checkIdentity();
    reportEmptyFiles();
    sortFindings();
    return result_;
  }

 private:
  void add(const char* file, std::size_t index, FindingKind kind, std::string what) {
    addAt(file, index == kNoLine ? 0 : static_cast<unsigned>(index + 1), kind, std::move(what));
  }
  void addAt(const char* file, unsigned line, FindingKind kind, std::string what) {
    // Loads of several topics meet the same fault; it is told once.
    if (!seen_.insert(std::make_tuple(std::string(file), line, kind, what)).second) return;
    result_.findings.push_back(Finding{file, line, kind, std::move(what)});
  }
  void warn(const char* file, std::size_t index, std::string what) {
    add(file, index, FindingKind::Warning, std::move(what));
  }
  void error(const DataError& fault) {
    addAt(nameOf(fault.file), fault.line, FindingKind::Error, fault.what);
  }
  static const char* nameOf(const std::string& file) {
    for (const char* name : {kMainFile, kQuestionFile, kAnswerFile, kConsultFile, kRangeFile,
                             kDiagramMap, kCourseIdentityFile})
      if (file == name) return name;
    return kQuestionFile;
  }

  // A file's text as the program reads it, with what its author should know about
  // its encoding and line ends; nullopt when the program cannot read it as text.
  std::optional<std::string> checkedText(const char* name, std::string bytes) {
    // Lines read apart from what the author wrote make the advice about them unreliable.
    auto garbled = [&](unsigned line, std::string what) {
      faultyFiles_.insert(name);
      addAt(name, line, FindingKind::Error, std::move(what));
    };
    if (bytes.empty()) {
      // Told once by reportEmptyFiles; the follow-on findings would only repeat it.
      faultyFiles_.insert(name);
      emptyFiles_.insert(name);
      return std::nullopt;
    }
    const bool utf8 = isUtf8CourseText(bytes);
    auto text = courseText(std::move(bytes), name);
    if (!text) {
      garbled(text.error().line, text.error().what);
      return std::nullopt;
    }
    if (utf8)
      addAt(name, 0, FindingKind::Note,
            cp("файл в кодировке UTF-8; программа переводит его в 1251 при чтении."));
    checkLineEnds(name, *text);
    return std::move(*text);
  }

  void checkLineEnds(const char* name, std::string_view bytes) {
    const bool hasLf = bytes.find('\n') != std::string_view::npos;
    if (!hasLf && bytes.find('\r') != std::string_view::npos) {
      faultyFiles_.insert(name);
      add(name, kNoLine, FindingKind::Error,
          cp("строки заканчиваются одним символом CR, и программа прочтет весь файл как одну "
             "строку; нужны концы строк CR LF или LF."));
      return;
    }
    std::size_t line = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const char c = bytes[i];
      if (c == '\n') {
        ++line;
      } else if (c == '\x98') {
        add(name, line, FindingKind::Error, cp("байт 0x98 не определен в кодировке 1251."));
      } else if (c == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) {
        faultyFiles_.insert(name);
        add(name, line, FindingKind::Error,
            cp("символ CR без LF: программа не увидит здесь конца строки."));
      }
    }
  }

  void readCourseFile(const std::string& folder, CourseFile& file) {
    auto bytes = readText(folder + file.name);
    if (!bytes) return;  // the loader and the range rules report a missing file
    file.present = true;
    const auto text = checkedText(file.name, std::move(*bytes));
    if (!text) return;
    file.lines = splitLines(*text);
    file.topics = lineTopics(file.lines);
  }

  void checkMain() {
    const auto bytes = readText(folder_ + kMainFile);
    if (!bytes) {
      add(kMainFile, kNoLine, FindingKind::Error, bytes.error().what);
      return;
    }
    const auto text = checkedText(kMainFile, *bytes);
    if (!text) return;
    const std::vector<std::string> lines = splitLines(*text);
    result_.topics = static_cast<unsigned>(topicTitles(lines).size());
    if (result_.topics == 0)
      add(kMainFile, kNoLine, FindingKind::Error, cp("в файле нет ни одной темы."));
    // The main window widens for a long title, but not past a small screen.
    constexpr int kSmallScreenWidth = 1024;
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (topicOuterWidth(lines[i]) > kSmallScreenWidth)
        warn(kMainFile, i,
             cp("название темы не поместится в одну строку главного окна на экране шириной 1024 "
                "пикселя; сократите его."));
  }

  // Every fault the program would stop at, for any topic alone or all of them:
  // a topic's faults are the same either way, so one load of all topics that
  // reads on past each fault finds them all.
  void checkBank() {
    const BankFaults found = collectBankFaults(folder_, result_.topics + 1);
    for (const DataError& fault : found.faults) {
      if (emptyFiles_.count(fault.file)) {
        refusedEmptyFiles_.insert(fault.file);
        continue;
      }
      error(fault);
      const CourseFile* file = fault.file == kQuestionFile ? &questions_
                               : fault.file == kAnswerFile ? &answers_
                                                           : &consults_;
      const std::size_t index = fault.line - 1;
      // These leave the rest of the topic read as the author meant it.
      if (fault.code == DataError::Code::NoQuestions || fault.code == DataError::Code::EmptyLine ||
          (file == &consults_ && fault.code == DataError::Code::BadStructure &&
           classify(file->lines[index]) == LineKind::Set))
        continue;
      if (fault.line == 0 || index >= file->lines.size() ||
          classify(file->lines[index]) == LineKind::TopicMarker)
        faultyFiles_.insert(file->name);
      else if (file->topics[index] != kNoTopic)
        faultyTopics_.insert({file->name, file->topics[index]});
    }
    result_.questions = found.bank.QuestionTexts.size();
  }

  // Advice about a topic is given only where its files hold no fault that
  // changes what the program would read.
  bool reliable(const char* file, unsigned topic) const {
    return !faultyFiles_.count(file) && !faultyTopics_.count({file, topic});
  }

  // The topics whose sections the program loads.
  unsigned loadedTopics() const { return std::min(result_.topics, kLastTopicDigit); }

  // A '+' line is always a topic marker: one that is not written "+++N" was
  // probably meant as text, and it ends the topic's section all the same.
  void checkMarkers(const CourseFile& file) {
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
      const std::string& line = file.lines[i];
      if (classify(line) != LineKind::TopicMarker) continue;
      const auto topic = digitAt(line, 4);
      if (!topic) continue;  // a fault the loader reports
      if (line.compare(0, 3, "+++") != 0) {
        warn(file.name, i,
             cp("строка начинается с «+», и программа примет ее за начало раздела темы ") +
                 std::to_string(*topic) + cp("; раздел темы пишется «+++N»."));
      } else if ((*topic == 0 || *topic > result_.topics) && !emptyFiles_.count(kMainFile)) {
        warn(file.name, i,
             cp("раздел темы ") + std::to_string(*topic) + cp(" не будет загружен: в main.txt ") +
                 counted(result_.topics, "тема", "темы", "тем") + ".");
      }
    }
  }

  // vopros.txt: lines the loader passes over, repeated numbers and gaps.
  void checkQuestions() {
    const CourseFile& file = questions_;
    topicQuestions_.assign(kLastTopicDigit + 1, {});
    std::vector<std::vector<std::size_t>> picked(kLastTopicDigit + 1);
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
      const unsigned topic = file.topics[i];
      const std::string& line = file.lines[i];
      if (classify(line) == LineKind::TopicMarker) {
        const auto digit = digitAt(line, 4);
        if (digit && topicQuestions_[*digit].firstMarker == kNoLine)
          topicQuestions_[*digit].firstMarker = i;
        continue;
      }
      if (topic == kNoTopic || line.empty()) continue;
      if (classify(line) != LineKind::Record) {
        warn(file.name, i,
             cp("строка не является ни разделом темы, ни вопросом; программа ее пропускает."));
        continue;
      }
      if (topic <= kLastTopicDigit) picked[topic].push_back(i);
    }
    for (unsigned t = 1; t <= loadedTopics(); ++t) {
      TopicQuestions& topic = topicQuestions_[t];
      const std::size_t m = picked[t].size();
      topic.count = m;
      topic.line.assign(m + 1, kNoLine);
      if (!reliable(file.name, t)) continue;
      for (std::size_t i : picked[t]) {
        const unsigned number = questionNumber(file.lines[i]);
        if (number == 0 || number > m) {
          warn(file.name, i,
               cp("вопрос номер ") + std::to_string(number) + cp(" не будет загружен: в теме ") +
                   std::to_string(t) + " " + questionsCounted(m) + cp(", номера от 1 до ") +
                   std::to_string(m) + ".");
          continue;
        }
        if (topic.line[number] != kNoLine)
          warn(file.name, topic.line[number],
               cp("номер вопроса ") + std::to_string(number) + cp(" повторяется в строке ") +
                   std::to_string(i + 1) + cp("; программа возьмет ту строку, а эту пропустит."));
        topic.line[number] = i;
      }
      std::string missing;
      std::size_t gaps = 0;
      for (std::size_t number = 1; number <= m; ++number) {
        if (topic.line[number] != kNoLine) continue;
        if (++gaps <= 10) missing += (gaps > 1 ? ", " : "") + std::to_string(number);
      }
      if (gaps > 10) missing += ", ...";
      if (gaps > 0)
        warn(file.name, topic.firstMarker,
             cp("в теме ") + std::to_string(t) +
                 (gaps == 1 ? cp(" нет вопроса с номером ") + missing +
                                  cp("; на его месте будет пустой вопрос.")
                            : cp(" нет вопросов с номерами ") + missing +
                                  cp("; на их месте будут пустые вопросы.")));
    }
  }

  // The numbers of a set line that name a question of the topic; those beyond it are warned of.
  std::vector<unsigned> namedQuestions(const CourseFile& file, std::size_t i, unsigned t) {
    std::vector<unsigned> named;
    const auto numbers = setNumbers(setTextOf(file.lines[i]));
    if (!numbers) return named;  // a fault the loader reports
    const std::size_t m = topicQuestions_[t].count;
    for (unsigned n : *numbers) {
      if (n <= m) {
        named.push_back(n);
        continue;
      }
      if (!reliable(kQuestionFile, t)) continue;
      warn(file.name, i,
           cp("набор называет вопрос ") + std::to_string(n) + cp(", а в теме ") +
               std::to_string(t) + cp(" только ") + questionsCounted(m) + ".");
    }
    return named;
  }

  bool loaded(unsigned topic) const {
    return topic != kNoTopic && topic >= 1 && topic <= loadedTopics();
  }

  // otvet.txt: lines the loader passes over, sets beyond the topic, and
  // questions that no student can answer right or whose card is too tall.
  void checkAnswers() {
    const CourseFile& file = answers_;
    if (!file.present) return;
    // The option digits offered to each question of each topic, as bits.
    std::vector<std::vector<unsigned>> offered(kLastTopicDigit + 1);
    // The display lines the options of each question take on its card.
    std::vector<std::vector<std::size_t>> optionLines(kLastTopicDigit + 1);
    for (unsigned t = 1; t <= loadedTopics(); ++t) {
      offered[t].assign(topicQuestions_[t].count + 1, 0);
      optionLines[t].assign(topicQuestions_[t].count + 1, 0);
    }
    std::vector<unsigned> current;
    unsigned currentTopic = kNoTopic;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
      const unsigned topic = file.topics[i];
      const std::string& line = file.lines[i];
      if (topic == kNoTopic || line.empty()) continue;
      const LineKind kind = classify(line);
      if (kind == LineKind::Other) {
        warn(
            file.name, i,
            cp("строка не является ни разделом темы, ни набором, ни вариантом ответа; программа ее "
               "пропускает."));
        continue;
      }
      if (!loaded(topic)) continue;
      if (topic != currentTopic) {
        current.clear();  // a topic's options follow only its own set lines
        currentTopic = topic;
      }
      if (kind == LineKind::Set) {
        current = namedQuestions(file, i, topic);
        continue;
      }
      if (kind != LineKind::Record) continue;
      const std::size_t lines =
          displayLineCount(optionText(line), CardText::Option, WindowKind::Testing);
      for (unsigned n : current) optionLines[topic][n] += lines;
      if (const auto digit = digitAt(line, 2))
        for (unsigned n : current) offered[topic][n] |= 1u << *digit;
    }
    for (unsigned t = 1; t <= loadedTopics(); ++t) {
      if (!reliable(kQuestionFile, t) || !reliable(kAnswerFile, t)) continue;
      const TopicQuestions& topic = topicQuestions_[t];
      for (std::size_t n = 1; n <= topic.count; ++n) {
        if (topic.line[n] == kNoLine) continue;
        const unsigned right = *digitAt(questions_.lines[topic.line[n]], 6);
        const std::string number = std::to_string(n);
        // The question's text follows its nine-character prefix.
        if (questions_.lines[topic.line[n]].find_first_not_of(" \t", 9) == std::string::npos)
          warn(kQuestionFile, topic.line[n],
               cp("вопрос ") + number + cp(" без текста: программа покажет пустой вопрос."));
        if (offered[t][n] == 0)
          warn(kQuestionFile, topic.line[n],
               cp("вопрос ") + number +
                   cp(" не назван ни одним набором в otvet.txt; программа "
                      "покажет «Ответы не найдены.»."));
        else if ((offered[t][n] & (1u << right)) == 0)
          warn(kQuestionFile, topic.line[n],
               cp("правильный ответ вопроса ") + number + cp(" - вариант ") +
                   std::to_string(right) +
                   cp(", но варианта с этой цифрой у вопроса нет: ответить верно нельзя."));
        checkCardHeight(topic.line[n], number, optionLines[t][n]);
      }
    }
  }

  // A card taller than a 768-pixel screen scrolls in the testing window, the
  // taller of the two answering windows, there.
  void checkCardHeight(std::size_t i, const std::string& number, std::size_t optionLines) {
    const std::string& line = questions_.lines[i];
    const std::string_view question =
        std::string_view(line).substr(std::min<std::size_t>(line.size(), 9));
    const std::size_t questionLines =
        displayLineCount(question, CardText::Question, WindowKind::Testing);
    // A question without options shows the one line "Ответы не найдены.".
    const std::size_t shownOptionLines = std::max<std::size_t>(optionLines, 1);
    const int height = cardFrame(questionLines, shownOptionLines, WindowKind::Testing).outerHeight;
    if (height <= kTallestFittingCard) return;
    warn(kQuestionFile, i,
         cp("вопрос ") + number + cp(" с вариантами ответа займет на экране ") +
             counted(questionLines + shownOptionLines, "строку", "строки", "строк") +
             cp(", и окно высотой ") + std::to_string(height) +
             cp(" пикселей не поместится на экране высотой 768 пикселей: вопрос с "
                "вариантами придется прокручивать; сократите вопрос или варианты ответа."));
  }

  // konsult.txt: sets beyond the topic, questions without a consultation and
  // diagrams the diagram map does not know.
  void checkConsultations() {
    const CourseFile& file = consults_;
    if (!file.present) return;
    std::vector<std::vector<bool>> explained(kLastTopicDigit + 1);
    for (unsigned t = 1; t <= loadedTopics(); ++t)
      explained[t].assign(topicQuestions_[t].count + 1, false);
    bool blockStart = false;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
      const unsigned topic = file.topics[i];
      const std::string& line = file.lines[i];
      if (!loaded(topic) || line.empty()) {
        blockStart = false;
        continue;
      }
      if (classify(line) == LineKind::Set) {
        for (unsigned n : namedQuestions(file, i, topic)) explained[topic][n] = true;
        blockStart = true;
        continue;
      }
      if (blockStart) checkDiagramMarker(i, line);
      blockStart = false;
    }
    for (unsigned t = 1; t <= loadedTopics(); ++t) {
      if (!reliable(kQuestionFile, t) || !reliable(kConsultFile, t)) continue;
      const TopicQuestions& topic = topicQuestions_[t];
      for (std::size_t n = 1; n <= topic.count; ++n)
        if (topic.line[n] != kNoLine && !explained[t][n])
          warn(kQuestionFile, topic.line[n],
               cp("вопрос ") + std::to_string(n) +
                   cp(" не назван ни одним набором в konsult.txt; к нему будет показано первое "
                      "пояснение."));
    }
  }

  // Only a block's first line names its diagram.
  void checkDiagramMarker(std::size_t i, const std::string& line) {
    const auto name = diagramOfLine(line);
    if (!name) return;
    const auto number = diagramNumber(*name);
    if (!number) {
      warn(kConsultFile, i, cp("метка диаграммы повреждена; она пишется «$diagram_0007$»."));
      return;
    }
    const std::string diagram = cp("диаграмма ") + std::to_string(*number);
    if (!diagramMap_) {
      warn(kConsultFile, i,
           diagram + cp(" не найдена: ни в текущей папке, ни в папке курса нет файла graph.txt."));
      return;
    }
    const bool known =
        std::any_of(diagramMap_->begin(), diagramMap_->end(),
                    [&](const DiagramEntry& entry) { return entry.number == *number; });
    if (!known) warn(kConsultFile, i, diagram + cp(" не найдена в graph.txt."));
  }

  // graph.txt and its pictures: in the course folder, else where the checker
  // runs, as the program started with the course folder looks for them.
  std::optional<std::string> findDiagramFile(const std::string& utf8Name) const {
    if (fs::path(utf8Name).is_absolute()) {
      if (fileExists(utf8Name)) return utf8Name;
      return std::nullopt;
    }
    for (const std::string& place : {folder_, diagramFolder_})
      if (fileExists(place + utf8Name)) return place + utf8Name;
    return std::nullopt;
  }

  void readDiagramMapFile() {
    const auto path = findDiagramFile(kDiagramMap);
    if (!path) return;
    auto bytes = readText(*path);
    if (!bytes) return;
    const auto text = checkedText(kDiagramMap, std::move(*bytes));
    if (!text) return;
    diagramLines_ = splitLines(*text);
    diagramMap_ = readDiagramMap(diagramLines_);
  }

  // graph.txt: entries the program skips and pictures it cannot show.
  void checkDiagramMap() {
    if (!diagramMap_) return;
    for (std::size_t i = 0; i < diagramLines_.size(); ++i) {
      if (diagramLines_[i].empty()) continue;
      const std::vector<DiagramEntry> entry = readDiagramMap({diagramLines_[i]});
      if (entry.empty()) {
        warn(kDiagramMap, i,
             cp("строка не имеет вида «номер пробел имя файла»; программа ее пропускает."));
        continue;
      }
      checkPicture(i, entry.front().file);
    }
  }

  void checkPicture(std::size_t i, const std::string& name) {
    const std::string shown = cp("рисунок ") + inQuotes(name);
    const auto found = findDiagramFile(utf8FromCp1251(name));
    if (!found) {
      warn(kDiagramMap, i, shown + cp(" не найден."));
      return;
    }
    const std::string& path = *found;
    // The program decodes JPEG itself and hands PNG, BMP and ICO to the toolkit,
    // which reads only the format the name announces.
    std::string_view signature;
    const char* format = "";
    switch (pictureKind(name)) {
      case PictureKind::Jpeg: {
        std::error_code ec;
        const auto size = fs::file_size(path, ec);
        std::optional<std::string> bytes;
        if (!ec && size <= kMaxPictureFileBytes)
          if (auto read = readText(path)) bytes = std::move(*read);
        if (!bytes ||
            !decodeJpegPixels(reinterpret_cast<const unsigned char*>(bytes->data()), bytes->size()))
          warn(kDiagramMap, i, shown + cp(" поврежден: его не удается прочитать как JPEG."));
        return;
      }
      case PictureKind::Png:
        signature = std::string_view("\x89PNG\r\n\x1A\n", 8);
        format = "PNG";
        break;
      case PictureKind::Bitmap:
        signature = "BM";
        format = "BMP";
        break;
      case PictureKind::Icon:
        signature = std::string_view("\0\0\1\0", 4);
        format = "ICO";
        break;
      case PictureKind::Metafile:
      case PictureKind::Unknown:
        add(kDiagramMap, i, FindingKind::Error,
            shown +
                cp(" в формате, который программа не показывает: нужен JPEG, PNG, BMP или ICO."));
        return;
    }
    if (fileStart(path, signature.size()) != signature)
      warn(kDiagramMap, i, shown + cp(" поврежден: это не рисунок ") + format + ".");
  }

  // diapazon.txt: every range the range window would refuse, for every topic.
  void checkRanges() {
    CourseFile file(kRangeFile);
    readCourseFile(folder_, file);
    if (!file.present) return;  // the file is optional
    checkMarkers(file);
    for (unsigned t = 1; t <= loadedTopics(); ++t) {
      const RangeList ranges = readRanges(file.lines, t);
      if (!ranges) {
        error(ranges.error());
        continue;
      }
      const std::size_t m = topicQuestions_[t].count;
      if (m == 0) continue;  // a topic without questions is a fault of its own
      for (const RangeEntry& entry : *ranges)
        if (const RangeChoice choice = chooseRange(entry, m); !choice) error(choice.error());
    }
  }

  // An empty file is an error where the program refuses to work with it.
  void reportEmptyFiles() {
    for (const std::string& name : emptyFiles_) {
      const bool refused = name == kMainFile || refusedEmptyFiles_.count(name);
      addAt(nameOf(name), 0, refused ? FindingKind::Error : FindingKind::Warning, cp("файл пуст."));
    }
  }

  // kurs.txt: the lines the program skips or overrides.
  void checkIdentity() {
    const std::string path = folder_ + kCourseIdentityFile;
    if (!fileExists(path)) return;  // the file is optional
    auto bytes = readText(path);
    if (!bytes) {
      add(kCourseIdentityFile, kNoLine, FindingKind::Error, bytes.error().what);
      return;
    }
    const auto text = checkedText(kCourseIdentityFile, std::move(*bytes));
    if (!text) return;
    std::vector<IdentityRemark> remarks;
    parseCourseIdentity(splitLines(*text), &remarks);
    for (const IdentityRemark& remark : remarks)
      addAt(kCourseIdentityFile, remark.line, FindingKind::Warning, remark.what);
  }

  void sortFindings() {
    auto order = [](const std::string& file) {
      const std::array<const char*, 7> files = {kMainFile,          kQuestionFile, kAnswerFile,
                                                kConsultFile,       kRangeFile,    kDiagramMap,
                                                kCourseIdentityFile};
      return static_cast<std::size_t>(std::find(files.begin(), files.end(), file) - files.begin());
    };
    std::stable_sort(
        result_.findings.begin(), result_.findings.end(), [&](const Finding& a, const Finding& b) {
          return std::make_pair(order(a.file), a.line) < std::make_pair(order(b.file), b.line);
        });
  }

  std::string folder_;
  std::string diagramFolder_;
  CourseCheck result_;
  std::set<std::tuple<std::string, unsigned, FindingKind, std::string>> seen_;
  std::set<std::string> faultyFiles_;
  std::set<std::string> emptyFiles_;
  std::set<std::string> refusedEmptyFiles_;  // empty files the loader stops at
  std::set<std::pair<std::string, unsigned>> faultyTopics_;
  CourseFile questions_{kQuestionFile};
  CourseFile answers_{kAnswerFile};
  CourseFile consults_{kConsultFile};
  std::vector<TopicQuestions> topicQuestions_ = std::vector<TopicQuestions>(kLastTopicDigit + 1);
  Lines diagramLines_;
  std::optional<std::vector<DiagramEntry>> diagramMap_;
};

}  // namespace

std::size_t CourseCheck::errors() const {
  return static_cast<std::size_t>(
      std::count_if(findings.begin(), findings.end(),
                    [](const Finding& f) { return f.kind == FindingKind::Error; }));
}

std::size_t CourseCheck::warnings() const {
  return static_cast<std::size_t>(
      std::count_if(findings.begin(), findings.end(),
                    [](const Finding& f) { return f.kind == FindingKind::Warning; }));
}

std::size_t CourseCheck::notes() const { return findings.size() - errors() - warnings(); }

CourseCheck checkCourse(const std::string& folder, const std::string& diagramFolder) {
  return Checker(folder, diagramFolder).run();
}

std::string formatFinding(const Finding& finding) {
  std::string text = finding.file;
  if (finding.line > 0) text += ":" + std::to_string(finding.line);
  text += finding.kind == FindingKind::Error     ? cp(": ошибка: ")
          : finding.kind == FindingKind::Warning ? cp(": предупреждение: ")
                                                 : cp(": замечание: ");
  // A field quoted from a file may hold a control byte; the line must stay one line.
  return text + visibleControls(finding.what);
}

std::string summaryLine(const CourseCheck& check) {
  return cp("Курс: ") + counted(check.topics, "тема", "темы", "тем") + ", " +
         questionsCounted(check.questions) + cp("; ошибок ") + std::to_string(check.errors()) +
         cp(", предупреждений ") + std::to_string(check.warnings()) +
         (check.notes() > 0 ? cp(", замечаний ") + std::to_string(check.notes()) : std::string()) +
         ".";
}
