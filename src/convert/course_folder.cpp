#include "convert/course_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>

#include "author/course_model.h"
#include "author/folder_save.h"
#include "bank/course_files.h"
#include "bank/question_bank.h"
#include "bank/question_card.h"
#include "convert/text.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

constexpr unsigned kLastTopic = 9;  // a topic marker carries one digit
constexpr std::string_view kCrLf = "\r\n";

// Every call into the question bank loader is made here, so that a change of
// its interface touches this one function.
std::optional<QuestionBank> loadTopic(const std::string& folder, unsigned topic,
                                      unsigned topicCount, std::string& error) {
  BankLoad load = loadBank(folder, topic, topicCount);
  if (load.error) {
    error = utf8FromCp1251(describe(*load.error));
    return std::nullopt;
  }
  return std::move(load.bank);
}

// The line of each question number of a topic in vopros.txt, for messages.
std::map<unsigned, unsigned> questionLines(const std::vector<std::string>& lines, unsigned topic) {
  std::map<unsigned, unsigned> where;
  bool in = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& l = lines[i];
    if (classify(l) == LineKind::TopicMarker) {
      in = digitAt(l, 4) == topic;
    } else if (in && classify(l) == LineKind::Record && l.size() >= 4) {
      const auto a = digitAt(l, 2), b = digitAt(l, 3), c = digitAt(l, 4);
      if (a && b && c) where[*a * 100 + *b * 10 + *c] = static_cast<unsigned>(i + 1);
    }
  }
  return where;
}

std::string trimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
  return s;
}

}  // namespace

ConvertResult readCourseFolder(const std::string& folder) {
  ConvertResult result;
  const auto mainLines = readLines(folder + "main.txt");
  if (!mainLines) {
    result.readable = false;
    result.notes.push_back({"main.txt", 0, "файл не найден или не читается.", false});
    return result;
  }
  const std::vector<std::string> titles = topicTitles(*mainLines);
  const auto topicCount = static_cast<unsigned>(titles.size() + 1);
  const std::vector<std::string> questionFile =
      readLines(folder + "vopros.txt").value_or(std::vector<std::string>{});
  for (unsigned t = 1; t < topicCount && t <= kLastTopic; ++t) {
    std::string error;
    const std::optional<QuestionBank> bank = loadTopic(folder, t, topicCount, error);
    if (!bank) {
      result.notes.push_back(
          {"vopros.txt", 0, "тема " + std::to_string(t) + " не загружается: " + error, true});
      continue;
    }
    const std::map<unsigned, unsigned> lines = questionLines(questionFile, t);
    ExchangeTopic topic{trimRight(utf8FromCp1251(titles[t - 1])), {}};
    for (std::size_t i = 0; i < bank->QuestionTexts.size(); ++i) {
      const auto number = static_cast<unsigned>(i + 1);
      const auto at = lines.find(number);
      const unsigned line = at == lines.end() ? 0 : at->second;
      const auto leaveOut = [&](const std::string& why) {
        result.notes.push_back(
            {"vopros.txt", line,
             "тема " + std::to_string(t) + ", вопрос " + std::to_string(number) + ": " + why,
             true});
      };
      ExchangeQuestion q;
      q.line = line;
      q.text = oneLine(plainText(utf8FromCp1251(bank->QuestionTexts[i])).lines);
      if (q.text.empty()) {
        leaveOut("вопрос пуст (в файле нет строки с этим номером).");
        continue;
      }
      std::size_t rights = 0;
      for (std::size_t j = 0; j < bank->AnswerTexts.size(); ++j) {
        const std::string& answer = bank->AnswerTexts[j];
        if (!setContains(bank->AnswerQuestionSets[j], number)) continue;
        if (digitAt(answer, 2) == bank->QuestionFlags[i]) {
          ++rights;
          q.right = q.options.size();
        }
        q.options.push_back(utf8FromCp1251(optionText(answer)));
      }
      if (q.options.empty()) {
        leaveOut("у вопроса нет вариантов ответа.");
        continue;
      }
      if (rights != 1) {
        leaveOut(rights == 0 ? "ни один вариант не несёт цифру верного ответа."
                             : "цифру верного ответа несут несколько вариантов.");
        continue;
      }
      // The block the program shows: the last that names the question, else the first.
      std::size_t block = 0;
      for (std::size_t k = 0; k < bank->ConsultTexts.size(); ++k)
        if (setContains(bank->ConsultTexts[k], number)) block = k;
      if (block < bank->ConsultBlocks.size()) {
        bool first = true;
        for (const std::string& raw : bank->ConsultBlocks[block]) {
          std::string shown = raw;
          if (raw.find("$diagram") != std::string::npos) {
            if (first && raw.size() >= 14 && raw.compare(0, 8, "$diagram") == 0)
              result.notes.push_back({"vopros.txt", line,
                                      "тема " + std::to_string(t) + ", вопрос " +
                                          std::to_string(number) + ": диаграмма «" +
                                          raw.substr(1, 12) + "» пояснения не переносится.",
                                      false});
            shown = raw.size() > 14 ? raw.substr(14) : std::string();
          }
          first = false;
          const std::string text = oneLine(plainText(utf8FromCp1251(shown)).lines);
          if (!text.empty()) q.consultation.push_back(text);
        }
      }
      topic.questions.push_back(std::move(q));
    }
    if (!topic.questions.empty()) result.course.topics.push_back(std::move(topic));
  }
  return result;
}

void shuffleOptions(ExchangeCourse& course) {
  for (ExchangeTopic& topic : course.topics)
    for (ExchangeQuestion& q : topic.questions) {
      std::uint64_t state = 0xcbf29ce484222325u;  // FNV-1a
      for (const char c : q.text) {
        state ^= static_cast<unsigned char>(c);
        state *= 0x100000001b3u;
      }
      const auto next = [&state] {  // SplitMix64
        std::uint64_t z = (state += 0x9e3779b97f4a7c15u);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9u;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebu;
        return z ^ (z >> 31);
      };
      for (std::size_t i = q.options.size(); i > 1; --i) {
        const std::size_t j = static_cast<std::size_t>(next() % i);
        std::swap(q.options[i - 1], q.options[j]);
        if (q.right == i - 1)
          q.right = j;
        else if (q.right == j)
          q.right = i - 1;
      }
    }
}

CourseFiles renderCourse(const ExchangeCourse& course, const std::string& file,
                         std::vector<ConvertNote>& notes) {
  // The lines are the course model's own: the editor and the converter write the
  // format through one writer.
  CourseModel model(*CourseDocument::fromBytes("", {}));
  CourseFiles out;
  if (const std::string name = oneLine(plainText(course.name).lines); !name.empty()) {
    // The keys the program reads for the window titles and the all-topics entry.
    std::string missing;
    std::optional<std::string> bytes = toCp1251(name, &missing);
    if (!bytes) {
      notes.push_back({file, 0,
                       "в названии курса «" + name + "» символ " + missing +
                           ", которого нет в кодировке 1251; он заменён знаком «?».",
                       false});
      bytes = cp1251FromUtf8(name);
    }
    model.setIdentity({*bytes, *bytes + cp(" (все темы)"), {}, {}});
  }
  unsigned topicNumber = 0;
  for (const ExchangeTopic& topic : course.topics) {
    const auto leaveOut = [&](const ExchangeQuestion& q, const std::string& why) {
      notes.push_back({file, q.line, why, true});
    };
    if (topicNumber == kLastTopic) {
      for (const ExchangeQuestion& q : topic.questions)
        leaveOut(q, "тема «" + topic.title + "» не помещается: в курсе не больше 9 тем.");
      continue;
    }
    std::string missing;
    std::optional<std::string> title = toCp1251(topic.title, &missing);
    if (!title) {
      if (!topic.questions.empty())
        notes.push_back({file, topic.questions.front().line,
                         "в названии темы «" + topic.title + "» символ " + missing +
                             ", которого нет в кодировке 1251; он заменён знаком «?».",
                         false});
      title = cp1251FromUtf8(topic.title);
    }
    if (title->empty()) title = cp("Тема ") + std::to_string(topicNumber + 1);
    TopicDraft draft;
    draft.title = *title;
    draft.otherwise = {cp("Пояснения к этому вопросу нет.")};
    for (const ExchangeQuestion& q : topic.questions) {
      if (draft.questions.size() == kMostQuestions) {
        leaveOut(q, "в теме уже 999 вопросов: больше номер вопроса (три цифры) не позволяет.");
        continue;
      }
      std::optional<std::string> text = toCp1251(q.text, &missing);
      std::vector<std::string> options;
      for (const std::string& option : q.options) {
        if (!text) break;
        std::optional<std::string> converted = toCp1251(option, &missing);
        if (!converted)
          text.reset();
        else
          options.push_back(*converted);
      }
      if (!text) {
        leaveOut(q, "символа " + missing + " нет в кодировке 1251, в которой записан курс.");
        continue;
      }
      if (options.size() < 2 || options.size() > 9 || q.right >= options.size()) {
        leaveOut(q, "у вопроса должно быть от 2 до 9 вариантов ответа и один верный.");
        continue;
      }
      NewQuestion question{*text, options, static_cast<unsigned>(q.right + 1), {}};
      bool lossy = false;
      for (const std::string& line : q.consultation) {
        std::optional<std::string> converted = toCp1251(line, &missing);
        lossy = lossy || !converted;
        question.consultation.push_back(converted ? *converted : cp1251FromUtf8(line));
      }
      if (lossy)
        notes.push_back({file, q.line,
                         "в пояснении символ " + missing +
                             ", которого нет в кодировке 1251; он заменён знаком «?».",
                         false});
      draft.questions.push_back(std::move(question));
    }
    if (draft.questions.empty()) continue;  // every question of the topic was left out, and noted
    const std::size_t number = draft.questions.size();
    draft.ranges = {{"1", std::to_string(number), cp("Все вопросы темы")}};
    model.appendTopic(draft);
    ++topicNumber;
    out.questionCount += number;
  }
  const CourseDocument& doc = model.document();
  out.main = doc.render(CourseFileId::Main);
  out.questions = doc.render(CourseFileId::Questions);
  out.answers = doc.render(CourseFileId::Answers);
  out.consultations = doc.render(CourseFileId::Consultations);
  out.ranges =
      doc.file(CourseFileId::Ranges).present
          ? doc.render(CourseFileId::Ranges)
          : cp("Диапазоны вопросов для режимов контроля и самоконтроля") + std::string(kCrLf);
  out.identity = doc.render(CourseFileId::Identity);
  return out;
}

namespace {

// Why a file operation failed, as the editor's save says it.
std::string reason(int error) { return writeFailureReason(error); }

// All of bytes, synced; false with errno set on a failure.
bool writeAll(int fd, const std::string& bytes) {
  if (const int error = writeWhole(fd, bytes)) {
    errno = error;
    return false;
  }
  return ::fsync(fd) == 0;
}

// Creates name in dir with O_EXCL|O_NOFOLLOW and writes bytes; on failure
// nothing of it is left. Returns errno, 0 on success.
int createAt(int dir, const std::string& name, const std::string& bytes) {
  const int fd =
      ::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) return errno;
  const bool ok = writeAll(fd, bytes);
  const int error = ok ? 0 : (errno ? errno : EIO);
  if (::close(fd) != 0 && ok) {
    const int closeError = errno;
    ::unlinkat(dir, name.c_str(), 0);
    return closeError;
  }
  if (!ok) ::unlinkat(dir, name.c_str(), 0);
  return error;
}

// A temporary name beside name that no one has taken yet.
std::string temporaryName(const std::string& name, unsigned attempt) {
  return "." + name + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
}

// Writes bytes under name in dir: new files with O_EXCL, or with force a new
// temporary renamed over the old file (a link of that name is replaced, not followed).
std::optional<std::string> writeAt(int dir, const std::string& name, const std::string& bytes,
                                   bool force) {
  if (!force) {
    const int error = createAt(dir, name, bytes);
    if (error == EEXIST)
      return "«" + name + "» не записан: " + reason(error) + ". (заменить его: --force)";
    if (error) return "«" + name + "» не записан: " + reason(error) + ".";
    return std::nullopt;
  }
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::string temp = temporaryName(name, attempt);
    const int error = createAt(dir, temp, bytes);
    if (error == EEXIST) continue;
    if (error) return "«" + name + "» не записан: " + reason(error) + ".";
    if (::renameat(dir, temp.c_str(), dir, name.c_str()) != 0) {
      const int renameError = errno;
      ::unlinkat(dir, temp.c_str(), 0);
      return "«" + name + "» не записан: " + reason(renameError) + ".";
    }
    return std::nullopt;
  }
  return "«" + name + "» не записан: не удаётся создать временный файл.";
}

bool isEmptyFolder(int dir) {
  const int copy = ::dup(dir);
  if (copy < 0) return false;
  DIR* listing = ::fdopendir(copy);
  if (!listing) {
    ::close(copy);
    return false;
  }
  bool empty = true;
  while (const dirent* entry = ::readdir(listing)) {
    const std::string_view n = entry->d_name;
    if (n != "." && n != "..") {
      empty = false;
      break;
    }
  }
  ::closedir(listing);
  return empty;
}

}  // namespace

std::optional<std::string> writeCourseFolder(const std::string& folder, const CourseFiles& files,
                                             bool force) {
  const std::string path = folder.empty() ? "." : folder;
  if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST)
    return "папку «" + path + "» не удаётся создать: " + reason(errno) + ".";
  const int dir = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (dir < 0) return "папку «" + path + "» не удаётся открыть: " + reason(errno) + ".";
  const bool empty = isEmptyFolder(dir);
  ::close(dir);
  if (!force && !empty)
    return "папка «" + path +
           "» не пуста: файлы в ней не перезаписываются (перезаписать файлы курса: --force).";
  // Written as the editor saves: each file through a temporary renamed over its
  // name (a link planted there is replaced, not followed), all of them or none.
  // kurs.txt is optional: a course without a name of its own has none.
  OpenError error;
  auto doc = CourseDocument::fromBytes(
      path,
      {files.main, files.questions, files.answers, files.consultations, files.ranges, std::nullopt,
       files.identity.empty() ? std::nullopt : std::optional<std::string>(files.identity)},
      &error);
  if (!doc) return error.message();
  const SaveReport report = saveCourse(*doc, force);
  if (!report.conflicts.empty())
    return "«" + report.conflicts.front() + "» не записан: " + reason(EEXIST) +
           ". (заменить его: --force)";
  if (!report.saved) return report.error;
  return std::nullopt;
}

std::optional<std::string> writeNewFile(const std::string& path, const std::string& bytes,
                                        bool force) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (name.empty()) return "«" + path + "» - не имя файла.";
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return "папку «" + folder + "» не удаётся открыть: " + reason(errno) + ".";
  auto error = writeAt(dir, name, bytes, force);
  ::close(dir);
  return error;
}
