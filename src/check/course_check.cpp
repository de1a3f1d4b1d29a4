#include "check/course_check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
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

std::string_view setTextOf(std::string_view line) { return line.size() > 2 ? line.substr(2) : ""; }

unsigned questionNumber(std::string_view line) {
  return *digitAt(line, 2) * 100 + *digitAt(line, 3) * 10 + *digitAt(line, 4);
}

// A course file's text as the program reads it, and its lines by number. Only
// every 16th line's start is kept and the others are found from the nearest, so
// that a file of millions of short lines needs little more room than its text;
// a walk through the lines in order costs one step a line.
class CourseFile {
 public:
  explicit CourseFile(const char* fileName) : name(fileName) {}
  const char* name;
  bool present = false;

  void setText(std::string text) {
    text_ = std::move(text);
    starts_.clear();
    topics_.clear();
    count_ = 0;
    unsigned current = kNoTopic;
    for (std::size_t pos = 0; pos < text_.size(); ++count_) {
      if (count_ % kStep == 0) {
        starts_.push_back(static_cast<std::uint32_t>(pos));
        topics_.push_back(current);
      }
      follow(nextLine(text_, pos), current);
    }
    at_ = kNoLine;
  }
  std::size_t size() const { return count_; }
  std::string_view line(std::size_t i) const {
    seek(i);
    return atLine_;
  }
  // The topic the line belongs to, by the loader's rule: kNoTopic before the
  // first marker, on marker lines and after a bad marker.
  unsigned topic(std::size_t i) const {
    seek(i);
    return classify(atLine_) == LineKind::TopicMarker ? kNoTopic : atTopic_;
  }

 private:
  static constexpr std::size_t kStep = 16;
  static void follow(std::string_view line, unsigned& current) {
    if (classify(line) == LineKind::TopicMarker) current = digitAt(line, 4).value_or(kNoTopic);
  }
  // Moves the cursor to line i, reading each line it passes once.
  void seek(std::size_t i) const {
    if (at_ == i) return;
    if (at_ == kNoLine || i < at_ || i - at_ > kStep) {
      at_ = i / kStep * kStep;
      next_ = starts_[i / kStep];
      atTopic_ = topics_[i / kStep];
      atLine_ = nextLine(text_, next_);
    }
    for (; at_ < i; ++at_) {
      follow(atLine_, atTopic_);
      atLine_ = nextLine(text_, next_);
    }
  }
  std::string text_;
  std::size_t count_ = 0;
  std::vector<std::uint32_t> starts_;  // of lines 0, 16, 32, ... (a file is at most 256 MB)
  std::vector<unsigned> topics_;       // the topic in force at those lines
  mutable std::size_t at_ = kNoLine;   // the cursor: a line, its text, the next line's
  mutable std::string_view atLine_;    // start and the topic in force at it
  mutable std::size_t next_ = 0;
  mutable unsigned atTopic_ = kNoTopic;
};

// Calls take(lines, first) for the lines of file in blocks, each block led by the
// lines lead(first) gives (the state a reader built up before the block), so that
// a reader of whole files works on a huge one in little room; first is the index
// of the block's first own line.
template <typename Lead, typename Take>
void inBlocks(const CourseFile& file, Lead lead, Take take) {
  constexpr std::size_t kBlock = 4096;
  for (std::size_t first = 0; first < file.size(); first += kBlock) {
    std::vector<std::string> lines = lead(first);
    for (std::size_t i = first; i < std::min(file.size(), first + kBlock); ++i)
      lines.emplace_back(file.line(i));
    take(lines, first);
  }
}

// The question lines of one topic: which line carries each number 1..m.
struct TopicQuestions {
  std::size_t count = 0;          // m, the topic's question lines
  std::vector<std::size_t> line;  // index by number, kNoLine for a filler
  std::size_t firstMarker = kNoLine;
};

// "первым", "вторым", ...: the place of an option on the card.
std::string placeWord(std::size_t place) {
  static const char* const words[] = {"первым", "вторым",  "третьим", "четвертым", "пятым",
                                      "шестым", "седьмым", "восьмым", "девятым"};
  return place >= 1 && place <= 9 ? cp(words[place - 1]) : cp("на месте ") + std::to_string(place);
}

// What makes two findings of the same kind: the message without its numbers and
// without what it quotes from the file. A quoted name may hold quotes of its
// own, so all from the first « to the last » is left out.
std::string kindOf(std::string_view what) {
  const std::size_t open = what.find('\xAB');
  const std::size_t close = what.rfind('\xBB');
  std::string kind;
  for (std::size_t i = 0; i < what.size(); ++i) {
    const char c = what[i];
    const bool quoted =
        open != std::string_view::npos && close != std::string_view::npos && i > open && i < close;
    if (quoted || (c >= '0' && c <= '9')) continue;
    if (c == 'U' && i + 1 < what.size() && what[i + 1] == '+') {
      for (i += 2; i < what.size() && std::isxdigit(static_cast<unsigned char>(what[i])); ++i) {
      }
      --i;
      continue;
    }
    kind += c;
  }
  return kind;
}

// Numbers as an author reads them: "3, 5, 7" (ten at most, then "...").
std::string numberList(const std::vector<std::size_t>& numbers) {
  std::string list;
  for (std::size_t k = 0; k < numbers.size() && k < 10; ++k)
    list += (k ? ", " : "") + std::to_string(numbers[k]);
  return numbers.size() > 10 ? list + ", ..." : list;
}

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
    for (const CourseFile* file : {&questions_, &answers_, &consults_}) {
      checkMarkers(*file);
      checkLinesBeforeFirstMarker(*file);
    }
    checkQuestions();
    checkAnswers();
    checkConsultations();
    checkRanges();
    checkDiagramMap();
    checkIdentity();
    reportEmptyFiles();
    reportHiddenFindings();
    sortFindings();
    return result_;
  }

 private:
  void add(const char* file, std::size_t index, FindingKind kind, std::string what) {
    addAt(file, index == kNoLine ? 0 : static_cast<unsigned>(index + 1), kind, std::move(what));
  }
  void addAt(const char* file, unsigned line, FindingKind kind, std::string what,
             std::string character = {}) {
    // Loads of several topics meet the same fault; it is told once, and counted once.
    auto finding = std::make_tuple(std::string(file), line, kind, what);
    if (seen_.count(finding)) return;
    // Past a hundred of one kind in a file the rest are only counted: a file of
    // a million blank lines must not take gigabytes to report.
    Shown& shown = shown_[std::make_tuple(std::string(file), kind, kindOf(what))];
    if (shown.count >= kShownFindingsOfAKind) {
      // Those left out are not kept; a repeat comes straight after its first
      // (one line with the same fault twice), so the last one tells it.
      if (line == shown.lastHiddenLine && what == shown.lastHidden) return;
      ++shown.count;
      shown.lastHiddenLine = line;
      shown.lastHidden = std::move(what);
      return;
    }
    seen_.insert(std::move(finding));
    ++shown.count;
    shown.lastLine = line;
    result_.findings.push_back(Finding{file, line, kind, std::move(what), 0, std::move(character)});
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

  // One finding stands for those of its kind left out, after the last shown.
  void reportHiddenFindings() {
    for (const auto& [key, shown] : shown_) {
      if (shown.count <= kShownFindingsOfAKind) continue;
      const auto& [file, kind, what] = key;
      const std::size_t hidden = shown.count - kShownFindingsOfAKind;
      result_.findings.push_back(
          Finding{nameOf(file), shown.lastLine, kind,
                  cp("то же, что в строке ") + std::to_string(shown.lastLine) + cp(", еще ") +
                      counted(hidden, "раз", "раза", "раз") + cp("; эти находки не показаны."),
                  hidden});
    }
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
    std::vector<bool> utf8Lines;  // of a file mixing encodings: its lines in UTF-8
    if (bytes.find('\0') == std::string::npos) {
      utf8Lines = checkMixedEncodings(name, bytes);
      if (utf8 && !reportMissingCharacters(name, bytes)) {
        faultyFiles_.insert(name);
        return std::nullopt;
      }
    }
    auto text = courseText(std::move(bytes), name);
    if (!text) {
      garbled(text.error().line, text.error().what);
      return std::nullopt;
    }
    if (utf8)
      addAt(name, 0, FindingKind::Note,
            cp("файл в кодировке UTF-8; программа переводит его в 1251 при чтении."));
    checkLineEnds(name, *text, utf8Lines);
    return std::move(*text);
  }

  // Lines in UTF-8 beside lines that are not: the program reads such a file
  // whole as code page 1251 (or refuses it after a byte-order mark), so one of
  // the two groups shows garbled. The smaller group is named line by line.
  // Returns which lines are UTF-8 when the file mixes, else nothing.
  std::vector<bool> checkMixedEncodings(const char* name, std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    enum class Encoding { Ascii, Utf8, Other };
    const auto encodingOf = [](std::string_view line) {
      bool multiByte = false;
      for (std::size_t i = 0; i < line.size();) {
        const Utf8Char c = utf8CharAt(line, i);
        if (c.length == 0) return Encoding::Other;
        multiByte = multiByte || c.length > 1;
        i += c.length;
      }
      return multiByte ? Encoding::Utf8 : Encoding::Ascii;
    };
    std::vector<bool> utf8Lines;
    std::size_t inUtf8 = 0, other = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
      const Encoding encoding = encodingOf(nextLine(bytes, pos));
      utf8Lines.push_back(encoding == Encoding::Utf8);
      inUtf8 += encoding == Encoding::Utf8 ? 1 : 0;
      other += encoding == Encoding::Other ? 1 : 0;
    }
    if (inUtf8 == 0 || other == 0) return {};
    std::size_t index = 0;
    for (std::size_t pos = 0; pos < bytes.size(); ++index) {
      const Encoding encoding = encodingOf(nextLine(bytes, pos));
      if (encoding == Encoding::Utf8 && inUtf8 <= other)
        add(name, index, FindingKind::Error,
            cp("строка записана в UTF-8, а другие строки файла - в 1251: программа прочтет "
               "весь файл как 1251, и буквы этой строки будут искажены; сохраните файл в одной "
               "кодировке."));
      else if (encoding == Encoding::Other && other <= inUtf8)
        add(name, index, FindingKind::Error,
            cp("строка записана не в UTF-8 (вероятно, в 1251), а другие строки файла - в "
               "UTF-8: из-за нее программа прочтет весь файл как 1251, и буквы других строк "
               "будут искажены; сохраните файл в одной кодировке."));
    }
    return utf8Lines;
  }

  // Every character of a UTF-8 file that code page 1251 lacks (the program stops
  // at the first); false when there is one.
  bool reportMissingCharacters(const char* name, std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    bool clean = true;
    unsigned line = 1;
    for (std::size_t i = 0; i < bytes.size();) {
      const Utf8Char c = utf8CharAt(bytes, i);
      if (c.length == 0) return clean;  // not UTF-8 past a byte-order mark: courseText says so
      if (c.c == U'\n') ++line;
      if (cp1251ByteOf(c.c) < 0) {
        clean = false;
        char code[16];
        std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c.c));
        // A character that shows nothing or moves the text is named by its code alone.
        const bool control = c.c < 0x20 || (c.c >= 0x7F && c.c <= 0x9F) ||
                             (c.c >= 0x200B && c.c <= 0x200F) || (c.c >= 0x2028 && c.c <= 0x202E) ||
                             (c.c >= 0x2060 && c.c <= 0x206F) || c.c == 0xFEFF;
        addAt(name, line, FindingKind::Error,
              cp("символа ") + (control ? std::string() : cp("«?» (")) + code +
                  (control ? std::string() : ")") + cp(" нет в кодировке 1251; замените его."),
              control ? std::string() : std::string(bytes.substr(i, c.length)));
      }
      i += c.length;
    }
    return clean;
  }

  void checkLineEnds(const char* name, std::string_view bytes, const std::vector<bool>& utf8Lines) {
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
        // In a line of UTF-8 the byte belongs to a letter, and the line is named already.
        if (line >= utf8Lines.size() || !utf8Lines[line])
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
    auto text = checkedText(file.name, std::move(*bytes));
    if (!text) return;
    file.setText(std::move(*text));
  }

  // main.txt: the topics, and titles the results cannot tell apart.
  void checkMain() {
    constexpr int kSmallScreenWidth = 1024;
    CourseFile file(kMainFile);
    auto bytes = readText(folder_ + kMainFile);
    if (!bytes) {
      add(kMainFile, kNoLine, FindingKind::Error, bytes.error().what);
      return;
    }
    auto text = checkedText(kMainFile, std::move(*bytes));
    if (!text) return;
    file.setText(std::move(*text));
    for (std::size_t i = 0; i < file.size(); ++i) {
      const std::string_view title = file.line(i);
      if (title.empty()) continue;  // empty lines do not count
      // The main window widens for a long title, but not past a small screen.
      if (topicOuterWidth(title) > kSmallScreenWidth)
        warn(kMainFile, i,
             cp("название темы не поместится в одну строку главного окна на экране шириной 1024 "
                "пикселя; сократите его."));
      ++result_.topics;
      if (result_.topics > kLastTopicDigit) continue;  // a tenth topic never has questions
      for (std::size_t t = 0; t < titles_.size(); ++t)
        if (titles_[t] == title)
          warn(kMainFile, i,
               cp("тема ") + std::to_string(result_.topics) + cp(" называется так же, как тема ") +
                   std::to_string(t + 1) +
                   cp(": в результатах их вопросы не различить; дайте темам разные названия."));
      titles_.emplace_back(title);
    }
    if (result_.topics == 0)
      add(kMainFile, kNoLine, FindingKind::Error, cp("в файле нет ни одной темы."));
  }

  // Every fault the program would stop at, for any topic alone or all of them:
  // a topic's faults are the same either way, so one load of all topics that
  // reads on past each fault finds them all.
  void checkBank() {
    result_.questions = collectBankFaults(folder_, result_.topics + 1, [this](DataError fault) {
      if (emptyFiles_.count(fault.file)) {
        refusedEmptyFiles_.insert(fault.file);
        return;
      }
      // Text the program cannot read is told by checkedText, character by character.
      if (fault.code == DataError::Code::BadText && faultyFiles_.count(fault.file)) return;
      const CourseFile* file = fault.file == kQuestionFile ? &questions_
                               : fault.file == kAnswerFile ? &answers_
                                                           : &consults_;
      const std::size_t index = fault.line - 1;
      const bool onALine = fault.line > 0 && index < file->size();
      // A blank after a set is invisible; the loader's words would not point at it.
      if (fault.code == DataError::Code::BadSetElement && onALine) {
        const std::string_view line = file->line(index);
        if (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
          fault.what =
              cp("в конце строки набора стоит пробел или табуляция; уберите ее: набор "
                 "должен кончаться знаком «_».");
      }
      error(fault);
      // These leave the rest of the topic read as the author meant it.
      if (fault.code == DataError::Code::NoQuestions || fault.code == DataError::Code::EmptyLine ||
          (file == &consults_ && fault.code == DataError::Code::BadStructure && onALine &&
           classify(file->line(index)) == LineKind::Set))
        return;
      if (!onALine || classify(file->line(index)) == LineKind::TopicMarker)
        faultyFiles_.insert(file->name);
      else if (file->topic(index) != kNoTopic)
        faultyTopics_.insert({file->name, file->topic(index)});
    });
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
    for (std::size_t i = 0; i < file.size(); ++i) {
      const std::string_view line = file.line(i);
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

  // Sets and records above the first topic marker belong to no topic: its marker
  // was most likely forgotten. Told once, instead of as every question of that
  // topic without options or explanation.
  void checkLinesBeforeFirstMarker(const CourseFile& file) {
    unsigned firstTopic = 0;
    std::size_t stray = kNoLine;
    for (std::size_t i = 0; i < file.size(); ++i) {
      const std::string_view line = file.line(i);
      const LineKind kind = classify(line);
      if (kind == LineKind::TopicMarker) {
        firstTopic = digitAt(line, 4).value_or(0);
        break;
      }
      if (stray == kNoLine && (kind == LineKind::Record || kind == LineKind::Set)) stray = i;
    }
    if (stray == kNoLine) return;
    const unsigned missing = firstTopic > 1 ? firstTopic - 1 : 1;
    warn(file.name, stray,
         cp("строки до первой строки раздела темы программа пропускает: похоже, перед ними не "
            "хватает строки «+++") +
             std::to_string(missing) + cp("»."));
    faultyTopics_.insert({file.name, missing});
  }

  // vopros.txt: lines the loader passes over, repeated numbers and gaps.
  void checkQuestions() {
    const CourseFile& file = questions_;
    topicQuestions_.assign(kLastTopicDigit + 1, {});
    std::vector<std::vector<std::size_t>> picked(kLastTopicDigit + 1);
    for (std::size_t i = 0; i < file.size(); ++i) {
      const unsigned topic = file.topic(i);
      const std::string_view line = file.line(i);
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
        const unsigned number = questionNumber(file.line(i));
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
      std::vector<std::size_t> gaps;
      for (std::size_t number = 1; number <= m; ++number)
        if (topic.line[number] == kNoLine) gaps.push_back(number);
      if (!gaps.empty())
        warn(file.name, topic.firstMarker,
             cp("в теме ") + std::to_string(t) +
                 (gaps.size() == 1 ? cp(" нет вопроса с номером ") + numberList(gaps) +
                                         cp("; на его месте будет пустой вопрос.")
                                   : cp(" нет вопросов с номерами ") + numberList(gaps) +
                                         cp("; на их месте будут пустые вопросы.")));
    }
  }

  // The numbers of a set line that name a question of the topic; those beyond it are warned of.
  std::vector<unsigned> namedQuestions(const CourseFile& file, std::size_t i, unsigned t) {
    std::vector<unsigned> named;
    const auto numbers = setNumbers(setTextOf(file.line(i)));
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

  // The correct-answer digit of question n of topic t (a question with a line).
  unsigned rightDigit(unsigned t, std::size_t n) const {
    return *digitAt(questions_.line(topicQuestions_[t].line[n]), 6);
  }

  // otvet.txt: lines the loader passes over, sets beyond the topic, questions
  // that no student can answer right or whose card is too tall, and topics
  // whose right answers stand where a student guesses them.
  void checkAnswers() {
    const CourseFile& file = answers_;
    if (!file.present) return;
    // Per topic and question: the option digits offered (as bits), the display
    // lines the options take, the options shown, and the place of the first right one.
    struct Options {
      unsigned digits = 0;
      std::size_t lines = 0;
      std::size_t count = 0;
      std::size_t rightPlace = 0;
    };
    std::vector<std::vector<Options>> options(kLastTopicDigit + 1);
    std::vector<std::vector<unsigned>> right(kLastTopicDigit + 1);
    for (unsigned t = 1; t <= loadedTopics(); ++t) {
      options[t].assign(topicQuestions_[t].count + 1, {});
      right[t].assign(topicQuestions_[t].count + 1, kNoTopic);
      for (std::size_t n = 1; n <= topicQuestions_[t].count; ++n)
        if (topicQuestions_[t].line[n] != kNoLine) right[t][n] = rightDigit(t, n);
    }
    std::vector<unsigned> current;
    unsigned currentTopic = kNoTopic;
    for (std::size_t i = 0; i < file.size(); ++i) {
      const unsigned topic = file.topic(i);
      const std::string_view line = file.line(i);
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
      const auto digit = digitAt(line, 2);
      for (unsigned n : current) {
        Options& o = options[topic][n];
        o.lines += lines;
        ++o.count;
        if (!digit) continue;
        o.digits |= 1u << *digit;
        if (o.rightPlace == 0 && *digit == right[topic][n]) o.rightPlace = o.count;
      }
    }
    for (unsigned t = 1; t <= loadedTopics(); ++t) {
      if (!reliable(kQuestionFile, t) || !reliable(kAnswerFile, t)) continue;
      const TopicQuestions& topic = topicQuestions_[t];
      for (std::size_t n = 1; n <= topic.count; ++n) {
        if (topic.line[n] == kNoLine) continue;
        const std::string number = std::to_string(n);
        const std::string_view question = questions_.line(topic.line[n]);
        // The question's text follows its nine-character prefix.
        if (question.find_first_not_of(" \t", 9) == std::string::npos)
          warn(kQuestionFile, topic.line[n],
               cp("вопрос ") + number + cp(" без текста: программа покажет пустой вопрос."));
        if (options[t][n].digits == 0)
          warn(kQuestionFile, topic.line[n],
               cp("вопрос ") + number +
                   cp(" не назван ни одним набором в otvet.txt; программа "
                      "покажет «Ответы не найдены.»."));
        else if ((options[t][n].digits & (1u << right[t][n])) == 0)
          warn(kQuestionFile, topic.line[n],
               cp("правильный ответ вопроса ") + number + cp(" - вариант ") +
                   std::to_string(right[t][n]) +
                   cp(", но варианта с этой цифрой у вопроса нет: ответить верно нельзя."));
        checkCardHeight(topic.line[n], question, number, options[t][n].lines);
      }
      checkRightPlaces(t, options[t]);
    }
  }

  // Options are shown in file order: where the right one mostly stands in one
  // place, a student who always picks that place passes without reading. Only
  // questions of three or more options count: with two, more than half in one
  // place is what chance gives most topics, however well shuffled.
  template <typename Options>
  void checkRightPlaces(unsigned t, const std::vector<Options>& options) {
    constexpr std::size_t kFewest = 10;
    std::map<std::size_t, std::size_t> byPlace;
    std::size_t answerable = 0;
    for (const Options& o : options)
      if (o.rightPlace > 0 && o.count >= 3) {
        ++answerable;
        ++byPlace[o.rightPlace];
      }
    if (answerable < kFewest) return;
    const auto most = std::max_element(byPlace.begin(), byPlace.end(),
                                       [](auto& a, auto& b) { return a.second < b.second; });
    if (most->second * 2 <= answerable) return;
    warn(kQuestionFile, topicQuestions_[t].firstMarker,
         cp("в теме ") + std::to_string(t) + cp(" верный ответ стоит ") + placeWord(most->first) +
             cp(" в ") + std::to_string(most->second) + cp(" вопросах из ") +
             std::to_string(answerable) +
             cp(": ученик угадает его, не читая; переставьте варианты ответа."));
  }

  // A card taller than a 768-pixel screen scrolls in the testing window, the
  // taller of the two answering windows, there.
  void checkCardHeight(std::size_t i, std::string_view line, const std::string& number,
                       std::size_t optionLines) {
    const std::string_view question = line.substr(std::min<std::size_t>(line.size(), 9));
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
    for (std::size_t i = 0; i < file.size(); ++i) {
      const unsigned topic = file.topic(i);
      const std::string_view line = file.line(i);
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
  void checkDiagramMarker(std::size_t i, std::string_view line) {
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
    if (!(*diagramMap_)[*number]) warn(kConsultFile, i, diagram + cp(" не найдена в graph.txt."));
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
    auto text = checkedText(kDiagramMap, std::move(*bytes));
    if (!text) return;
    diagramLines_.setText(std::move(*text));
    // Which diagram numbers the map names: all the consultations ask of it.
    diagramMap_.emplace(std::size_t{1} << 16, false);
    for (std::size_t i = 0; i < diagramLines_.size(); ++i)
      for (const DiagramEntry& entry : readDiagramMap({std::string(diagramLines_.line(i))}))
        (*diagramMap_)[entry.number] = true;
  }

  // graph.txt: entries the program skips and pictures it cannot show.
  void checkDiagramMap() {
    if (!diagramMap_) return;
    for (std::size_t i = 0; i < diagramLines_.size(); ++i) {
      const std::string line(diagramLines_.line(i));
      if (line.empty()) continue;
      const std::vector<DiagramEntry> entry = readDiagramMap({line});
      if (entry.empty()) {
        warn(kDiagramMap, i,
             cp("строка не имеет вида «номер пробел имя файла»; программа ее пропускает."));
        continue;
      }
      checkPicture(i, entry.front().file);
    }
  }

  // The bytes of a picture file, when it is small enough to be shown at all.
  static std::optional<std::string> pictureBytes(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec || size > kMaxPictureFileBytes) return std::nullopt;
    auto read = readText(path);
    if (!read) return std::nullopt;
    return std::move(*read);
  }

  void checkPicture(std::size_t i, const std::string& name) {
    const std::string shown = cp("рисунок ") + inQuotes(name);
    const std::string utf8Name = utf8FromCp1251(name);
    const auto found = findDiagramFile(utf8Name);
    if (!found) {
      warn(kDiagramMap, i, shown + cp(" не найден."));
      return;
    }
    const std::string& path = *found;
    checkPictureTwins(i, shown, utf8Name);
    // The program decodes JPEG itself and hands PNG, BMP and ICO to the toolkit,
    // which reads only the format the name announces.
    std::string_view signature;
    const char* format = "";
    switch (pictureKind(name)) {
      case PictureKind::Jpeg: {
        const std::optional<std::string> bytes = pictureBytes(path);
        const auto pixels =
            bytes ? decodeJpegPixels(reinterpret_cast<const unsigned char*>(bytes->data()),
                                     bytes->size())
                  : Unexpected{DataError{DataError::Code::BadPicture, "", 0, ""}};
        if (!pixels)
          warn(kDiagramMap, i, shown + cp(" поврежден: его не удается прочитать как JPEG."));
        else if (pixels->cutShort)
          warn(kDiagramMap, i,
               shown + cp(" обрывается раньше конца: программа покажет его нижнюю часть серой."));
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

  // A picture of the same name in the current folder and in the course folder:
  // which one a student sees depends on where the program is started.
  void checkPictureTwins(std::size_t i, const std::string& shown, const std::string& utf8Name) {
    if (fs::path(utf8Name).is_absolute()) return;
    const std::string here = diagramFolder_ + utf8Name;
    const std::string there = folder_ + utf8Name;
    std::error_code ec;
    if (!fileExists(here) || !fileExists(there) || fs::equivalent(here, there, ec)) return;
    const auto a = pictureBytes(here);
    const auto b = pictureBytes(there);
    if (a && b && *a == *b) return;
    warn(kDiagramMap, i,
         shown + cp(" в текущей папке отличается от рисунка с тем же именем в папке курса; "
                    "оставьте один из них, чтобы ученик видел нужный."));
  }

  // diapazon.txt: every range the range window would refuse, for every topic,
  // and questions that no range of a topic offers.
  void checkRanges() {
    CourseFile file(kRangeFile);
    readCourseFile(folder_, file);
    if (!file.present) return;  // the file is optional
    checkMarkers(file);
    for (unsigned t = 1; t <= loadedTopics(); ++t) {
      const RangeList ranges = rangesOf(file, t);
      if (!ranges) {
        error(ranges.error());
        continue;
      }
      const std::size_t m = topicQuestions_[t].count;
      if (m == 0 || ranges->empty()) continue;  // a topic without questions is a fault of its own
      std::vector<bool> covered(m + 1, false);
      bool refused = false;
      for (const RangeEntry& entry : *ranges) {
        const RangeChoice choice = chooseRange(entry, m);
        if (!choice) {
          error(choice.error());
          refused = true;
          continue;
        }
        for (std::size_t n = choice->first; n <= choice->last; ++n) covered[n] = true;
      }
      std::vector<std::size_t> left;
      for (std::size_t n = 1; n <= m; ++n)
        if (!covered[n]) left.push_back(n);
      // Which questions a mended range will offer is not known yet.
      if (left.empty() || refused || !reliable(kQuestionFile, t)) continue;
      warn(kRangeFile, ranges->front().line - 1,
           cp("в теме ") + std::to_string(t) +
               (left.size() == 1 ? cp(" вопрос ") + numberList(left) +
                                       cp(" не входит ни в один диапазон: в контроле и "
                                          "самоконтроле с диапазоном его не зададут.")
                                 : cp(" вопросы ") + numberList(left) +
                                       cp(" не входят ни в один диапазон: в контроле и "
                                          "самоконтроле с диапазоном их не зададут.")));
    }
  }

  // The range lines of topic t as the range window reads them, a block of lines at a time.
  static RangeList rangesOf(const CourseFile& file, unsigned t) {
    std::vector<RangeEntry> entries;
    std::optional<DataError> fault;
    std::string marker;  // the last topic marker line before a block
    inBlocks(
        file,
        [&](std::size_t) {
          return marker.empty() ? std::vector<std::string>{} : std::vector<std::string>{marker};
        },
        [&](const std::vector<std::string>& lines, std::size_t first) {
          if (fault) return;
          const std::size_t lead = marker.empty() ? 0 : 1;
          RangeList read = readRanges(lines, t);
          if (!read) {
            fault = read.error();
            fault->line += static_cast<unsigned>(first - lead);
            return;
          }
          for (RangeEntry& entry : *read) {
            entry.line += static_cast<unsigned>(first - lead);
            entries.push_back(std::move(entry));
          }
          for (std::size_t i = lead; i < lines.size(); ++i)
            if (classify(lines[i]) == LineKind::TopicMarker) marker = lines[i];
        });
    if (fault) return Unexpected{*fault};
    return entries;
  }

  // An empty file is an error where the program refuses to work with it.
  void reportEmptyFiles() {
    for (const std::string& name : emptyFiles_) {
      const bool refused = name == kMainFile || refusedEmptyFiles_.count(name);
      addAt(nameOf(name), 0, refused ? FindingKind::Error : FindingKind::Warning, cp("файл пуст."));
    }
  }

  // kurs.txt: the lines the program skips or overrides, and an all-topics caption
  // that the results would take for a topic.
  void checkIdentity() {
    const std::string path = folder_ + kCourseIdentityFile;
    if (!fileExists(path)) return;  // the file is optional
    auto bytes = readText(path);
    if (!bytes) {
      add(kCourseIdentityFile, kNoLine, FindingKind::Error, bytes.error().what);
      return;
    }
    auto text = checkedText(kCourseIdentityFile, std::move(*bytes));
    if (!text) return;
    CourseFile file(kCourseIdentityFile);
    file.setText(std::move(*text));
    // Each block is led by lines that give the reader what it had read before:
    // the keys a repeat of which it warns about, and the lines it counts.
    CourseIdentity identity;
    std::size_t lead = 0;
    std::size_t captionLine = kNoLine;
    inBlocks(
        file,
        [&](std::size_t) {
          std::vector<std::string> lines;
          const auto once = [&](const char* key, const std::optional<std::string>& value) {
            if (value) lines.push_back(cp(key) + "=" + *value);
          };
          once("название", identity.title);
          once("все темы", identity.allTopics);
          once("организация", identity.organisation);
          once("кафедра", identity.department);
          once("место", identity.place);
          once("год", identity.year);
          for (const std::string& line : identity.titleLines)
            lines.push_back(cp("заставка=") + line);
          for (const std::string& line : identity.authorLines)
            lines.push_back(cp("авторы=") + line);
          lead = lines.size();
          return lines;
        },
        [&](const std::vector<std::string>& lines, std::size_t first) {
          std::vector<IdentityRemark> remarks;
          identity = parseCourseIdentity(lines, &remarks);
          for (const IdentityRemark& remark : remarks)
            if (remark.line > lead)
              addAt(kCourseIdentityFile,
                    remark.line - static_cast<unsigned>(lead) + static_cast<unsigned>(first),
                    FindingKind::Warning, remark.what);
          for (std::size_t i = lead; i < lines.size(); ++i)
            if (lines[i].rfind(cp("все темы="), 0) == 0 && identity.allTopics &&
                lines[i].size() > cp("все темы=").size())
              captionLine = first + i - lead;
        });
    if (!identity.allTopics || captionLine == kNoLine) return;
    for (std::size_t t = 0; t < titles_.size(); ++t)
      if (titles_[t] == *identity.allTopics)
        warn(kCourseIdentityFile, captionLine,
             cp("подпись всех тем совпадает с названием темы ") + std::to_string(t + 1) +
                 cp(": в результатах их вопросы не различить; измените подпись."));
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

  struct Shown {
    std::size_t count = 0;        // findings of a kind met in a file
    unsigned lastLine = 0;        // of the last one shown
    unsigned lastHiddenLine = 0;  // the last one counted past them
    std::string lastHidden;
  };

  std::string folder_;
  std::string diagramFolder_;
  CourseCheck result_;
  std::set<std::tuple<std::string, unsigned, FindingKind, std::string>> seen_;
  std::map<std::tuple<std::string, FindingKind, std::string>, Shown> shown_;
  std::set<std::string> faultyFiles_;
  std::set<std::string> emptyFiles_;
  std::set<std::string> refusedEmptyFiles_;  // empty files the loader stops at
  std::set<std::pair<std::string, unsigned>> faultyTopics_;
  std::vector<std::string> titles_;  // of the topics that can have questions (1 to 9)
  CourseFile questions_{kQuestionFile};
  CourseFile answers_{kAnswerFile};
  CourseFile consults_{kConsultFile};
  std::vector<TopicQuestions> topicQuestions_ = std::vector<TopicQuestions>(kLastTopicDigit + 1);
  CourseFile diagramLines_{kDiagramMap};
  std::optional<std::vector<bool>> diagramMap_;  // by diagram number: named in graph.txt
};

}  // namespace

namespace {

std::size_t countOf(const std::vector<Finding>& findings, FindingKind kind) {
  std::size_t n = 0;
  for (const Finding& f : findings)
    if (f.kind == kind) n += f.hidden > 0 ? f.hidden : 1;
  return n;
}

}  // namespace

std::size_t CourseCheck::errors() const { return countOf(findings, FindingKind::Error); }
std::size_t CourseCheck::warnings() const { return countOf(findings, FindingKind::Warning); }
std::size_t CourseCheck::notes() const { return countOf(findings, FindingKind::Note); }

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

std::string formatFindingUtf8(const Finding& finding) {
  std::string text = utf8FromCp1251(formatFinding(finding));
  if (finding.character.empty()) return text;
  const std::string placeholder = "«?»";
  const std::size_t at = text.find(placeholder, finding.file.size());
  if (at != std::string::npos) text.replace(at, placeholder.size(), "«" + finding.character + "»");
  return text;
}

std::string summaryLine(const CourseCheck& check) {
  return cp("Курс: ") + counted(check.topics, "тема", "темы", "тем") + ", " +
         questionsCounted(check.questions) + cp("; ошибок ") + std::to_string(check.errors()) +
         cp(", предупреждений ") + std::to_string(check.warnings()) +
         (check.notes() > 0 ? cp(", замечаний ") + std::to_string(check.notes()) : std::string()) +
         ".";
}
