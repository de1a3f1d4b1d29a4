// GIFT and Aiken: the plain-text question formats of learning platforms.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <optional>

#include "convert/formats.h"
#include "convert/intake.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

struct Block {
  unsigned line = 0;  // of its first line
  std::string text;   // its lines joined by '\n'
};

std::string trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return std::string(s.substr(b, e - b));
}

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// GIFT's special characters are escaped with a backslash.
constexpr std::string_view kGiftSpecial = "~=#{}:";

// The position of the first unescaped c at or after from, or npos.
std::size_t findUnescaped(std::string_view s, char c, std::size_t from = 0) {
  for (std::size_t i = from; i < s.size(); ++i) {
    if (s[i] == '\\') {
      ++i;
      continue;
    }
    if (s[i] == c) return i;
  }
  return std::string_view::npos;
}

std::string unescapeGift(std::string_view s) {
  std::string r;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      const char next = s[i + 1];
      if (next == 'n') {
        r += '\n';
        ++i;
        continue;
      }
      if (kGiftSpecial.find(next) != std::string_view::npos || next == '\\') {
        r += next;
        ++i;
        continue;
      }
    }
    r += s[i];
  }
  return r;
}

std::string escapeGift(std::string_view s) {
  std::string r;
  for (char c : s) {
    if (kGiftSpecial.find(c) != std::string_view::npos || c == '\\') r += '\\';
    r += c;
  }
  return r;
}

enum class GiftFormat { Html, Plain };

// A text may begin with its format, "[html]", "[moodle]", "[plain]" or "[markdown]"
// (the platform's own export writes one before every text); without one it keeps
// the format it inherits: the question's, for its answers and feedback.
std::string_view withoutFormat(std::string_view raw, GiftFormat& format) {
  const std::size_t start = raw.find_first_not_of(" \t\r\n");
  if (start == std::string_view::npos) return raw;
  const std::pair<std::string_view, GiftFormat> markers[] = {{"[html]", GiftFormat::Html},
                                                             {"[moodle]", GiftFormat::Html},
                                                             {"[plain]", GiftFormat::Plain},
                                                             {"[markdown]", GiftFormat::Plain}};
  for (const auto& [marker, named] : markers)
    if (raw.substr(start, marker.size()) == marker) {
      format = named;
      return raw.substr(start + marker.size());
    }
  return raw;
}

PlainText giftText(std::string_view raw, GiftFormat format) {
  const std::string text = unescapeGift(raw);
  return format == GiftFormat::Plain ? plainText(text) : htmlToText(text);
}

// An answer's or a feedback's text, in its own format or the one it inherits.
PlainText giftMarkedText(std::string_view raw, GiftFormat inherited) {
  GiftFormat format = inherited;
  raw = withoutFormat(raw, format);
  return giftText(raw, format);
}

// The text of a GIFT or Aiken file as UTF-8; nullopt (noted) for a file that is not text.
std::optional<std::string> fileText(std::string_view bytes, ConvertResult& result, Intake& intake) {
  const bool utf16 = bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
  const std::size_t nul = bytes.find('\0');
  if (utf16 || nul != std::string_view::npos) {
    result.readable = false;
    intake.note(utf16
                    ? 0
                    : static_cast<unsigned>(std::count(
                          bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(nul), '\n')) +
                          1,
                utf16 ? "файл в кодировке UTF-16: сохраните его в UTF-8 и повторите перенос."
                      : "в файле есть нулевые байты: это не текст в UTF-8 или 1251 (может быть, "
                        "UTF-16); сохраните его в UTF-8 и повторите перенос.");
    return std::nullopt;
  }
  std::string_view text = bytes;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  if (isUtf8(text)) return std::string(text);
  intake.note(0,
              "файл не в UTF-8 и прочитан как текст в кодировке 1251 (Windows); если в курсе "
              "буквы искажены, сохраните файл в UTF-8 и повторите перенос.");
  return utf8FromCp1251(text);
}

// The GIFT question blocks: runs of non-blank lines; comment lines ("//") are dropped.
std::vector<Block> giftBlocks(const std::string& text) {
  std::vector<Block> blocks;
  Block current;
  unsigned number = 0;
  for (const std::string& line : splitLines(text)) {
    ++number;
    const std::string bare = trim(line);
    if (startsWith(bare, "//")) continue;
    if (bare.empty()) {
      if (!current.text.empty()) blocks.push_back(current);
      current = Block{};
      continue;
    }
    if (current.text.empty())
      current.line = number;
    else
      current.text += '\n';
    current.text += line;
  }
  if (!current.text.empty()) blocks.push_back(current);
  return blocks;
}

// One answer of a multiple-choice list: "=text#feedback" or "~%50%text".
struct GiftAnswer {
  bool right = false;
  bool equals = false;  // written "=": the right answer of a single-answer question
  bool weighted = false;
  bool partial = false;
  bool penalty = false;
  std::string text;
  bool feedback = false;
};

std::vector<GiftAnswer> giftAnswers(std::string_view list) {
  std::vector<GiftAnswer> answers;
  std::size_t i = 0;
  while (i < list.size()) {
    if (list[i] != '=' && list[i] != '~') {
      ++i;
      continue;
    }
    std::size_t end = i + 1;
    while (end < list.size()) {
      if (list[end] == '\\') {
        end += 2;
        continue;
      }
      if (list[end] == '=' || list[end] == '~') break;
      ++end;
    }
    end = std::min(end, list.size());
    GiftAnswer a;
    a.right = a.equals = list[i] == '=';
    std::string_view body = list.substr(i + 1, end - i - 1);
    if (!body.empty() && body.front() == '%') {
      const std::size_t close = body.find('%', 1);
      if (close != std::string_view::npos) {
        const double weight = std::strtod(std::string(body.substr(1, close - 1)).c_str(), nullptr);
        a.right = a.right || weight >= 100;
        a.weighted = true;
        a.partial = weight > 0 && weight < 100;
        a.penalty = weight < 0;
        body.remove_prefix(close + 1);
      }
    }
    const std::size_t hash = findUnescaped(body, '#');
    if (hash != std::string_view::npos) {
      GiftFormat ignored = GiftFormat::Html;
      a.feedback = !trim(withoutFormat(body.substr(hash + 1), ignored)).empty();
      body = body.substr(0, hash);
    }
    a.text = std::string(body);
    answers.push_back(a);
    i = end;
  }
  return answers;
}

}  // namespace

ConvertResult readGift(std::string_view bytes, const std::string& file,
                       const std::string& defaultTitle) {
  ConvertResult result;
  Intake intake(result, file);
  const std::optional<std::string> text = fileText(bytes, result, intake);
  if (!text) return result;
  std::string category;
  for (const Block& block : giftBlocks(*text)) {
    std::string_view rest = block.text;
    const std::string bare = trim(rest);
    if (startsWith(bare, "$CATEGORY:")) {
      category = trim(std::string_view(bare).substr(10));
      continue;
    }
    // "::title::" names the question on the platform; the course has no names.
    std::string body = trim(rest);
    if (startsWith(body, "::")) {
      const std::size_t close = body.find("::", 2);
      if (close != std::string::npos) body = trim(std::string_view(body).substr(close + 2));
    }
    GiftFormat format = GiftFormat::Html;
    body = std::string(withoutFormat(body, format));
    const std::string title = category.empty() || categoryTitle(category).empty()
                                  ? defaultTitle
                                  : categoryTitle(category);
    const std::size_t open = findUnescaped(body, '{');
    const std::size_t close = open == std::string::npos ? open : findUnescaped(body, '}', open + 1);
    if (open == std::string::npos) {
      intake.leaveOut(block.line, "текст без ответов (описание) не переносится.");
      continue;
    }
    if (close == std::string::npos) {
      intake.leaveOut(block.line, "список ответов не закрыт знаком «}».");
      continue;
    }
    std::string answers = trim(std::string_view(body).substr(open + 1, close - open - 1));
    // A missing-word question holds its answers in the middle of the text.
    const std::string before = trim(std::string_view(body).substr(0, open));
    const std::string after = trim(std::string_view(body).substr(close + 1));
    DraftQuestion draft;
    draft.line = block.line;
    draft.text = giftText(after.empty() ? before : before + " _____ " + after, format);
    const std::size_t general = answers.find("####");
    if (general != std::string::npos) {
      draft.consultation = giftMarkedText(std::string_view(answers).substr(general + 4), format);
      answers = trim(std::string_view(answers).substr(0, general));
    }
    if (answers.empty()) {
      intake.leaveOut(
          block.line,
          "вопрос типа «эссе» не переносится: в курсе только вопросы с выбором одного ответа.");
      continue;
    }
    if (answers.front() == '#') {
      intake.leaveOut(
          block.line,
          "вопрос типа «числовой» не переносится: в курсе только вопросы с выбором одного ответа.");
      continue;
    }
    const std::size_t tfHash = findUnescaped(answers, '#');
    const std::string tf = trim(std::string_view(answers).substr(0, tfHash));
    if (tf == "T" || tf == "TRUE" || tf == "F" || tf == "FALSE") {
      const bool truth = tf[0] == 'T';
      draft.options = {PlainText{{"Верно"}}, PlainText{{"Неверно"}}};
      draft.right = {truth, !truth};
      draft.optionFeedbackLost = tfHash != std::string::npos;
      intake.add(category, title, draft);
      continue;
    }
    const std::vector<GiftAnswer> list = giftAnswers(answers);
    bool wrong = false, partial = false, matching = false, equals = false, weighted = false;
    for (const GiftAnswer& a : list) {
      wrong = wrong || !a.right;
      partial = partial || a.partial;
      equals = equals || a.equals;
      weighted = weighted || a.weighted;
      draft.penalties = draft.penalties || a.penalty;
      matching = matching || a.text.find("->") != std::string::npos;
      draft.options.push_back(giftMarkedText(a.text, format));
      draft.right.push_back(a.right);
      draft.optionFeedbackLost = draft.optionFeedbackLost || a.feedback;
    }
    // Without "=" the weights alone tell the right answers: the student ticks several.
    draft.multipleResponse = weighted && !equals;
    if (matching) {
      intake.leaveOut(
          block.line,
          "вопрос типа «на соответствие» не переносится: в курсе только вопросы с выбором одного ответа.");
    } else if (list.empty() || !wrong) {
      intake.leaveOut(
          block.line,
          "вопрос типа «короткий ответ» не переносится: в курсе только вопросы с выбором одного ответа.");
    } else if (partial) {
      intake.leaveOut(
          block.line,
          "у вопроса есть ответы с частичной оценкой, а в курсе ответ либо верен, либо нет.");
    } else {
      intake.add(category, title, draft);
    }
  }
  result.course.name = intake.topCategory();
  return result;
}

std::string writeGift(const ExchangeCourse& course) {
  // Texts are marked [html] and escaped as HTML, then GIFT's own special characters.
  const auto text = [](const std::string& s) { return escapeGift(markupEscape(s)); };
  std::string out = "// vorsanit-convert: вопросы курса в формате GIFT\n\n";
  for (const ExchangeTopic& topic : course.topics) {
    std::string path;
    for (char c : topic.title) path += c == '/' ? std::string("//") : std::string(1, c);
    out += "$CATEGORY: $course$/top/" + path + "\n\n";
    unsigned number = 0;
    for (const ExchangeQuestion& q : topic.questions) {
      ++number;
      out += "::" + escapeGift(topic.title) + ", " + std::to_string(number) + "::[html]" +
             text(q.text) + " {\n";
      for (std::size_t i = 0; i < q.options.size(); ++i) {
        // An answer that begins with "%" would be read as a weight: the HTML entity keeps it text.
        std::string option = text(q.options[i]);
        if (!option.empty() && option.front() == '%') option.replace(0, 1, "&\\#37;");
        // A text that begins like a format marker keeps it as text behind a marker of its own.
        if (!option.empty() && option.front() == '[') option.insert(0, "[html]");
        out += (i == q.right ? "=" : "~") + option + "\n";
      }
      if (!q.consultation.empty()) {
        const std::string& first = q.consultation.front();
        out += !first.empty() && first.front() == '[' ? "####[html]" : "####";
        for (std::size_t i = 0; i < q.consultation.size(); ++i)
          out += (i ? "<br>" : "") + text(q.consultation[i]);
        out += "\n";
      }
      out += "}\n\n";
    }
  }
  return out;
}

namespace {

// An Aiken option letter: a capital, Latin as the format has it or Cyrillic as a
// Russian teacher types it, read as the Latin letter of the same place in its
// alphabet ("А" as "A", "Б" as "B", "В" as "C"; lists of options skip "Ё").
std::optional<unsigned> letterAt(std::string_view text, std::size_t& length) {
  if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') {
    length = 1;
    return static_cast<unsigned>(text[0] - 'A');
  }
  const Utf8Char c = utf8CharAt(text, 0);
  if (c.length == 2 && c.c >= U'А' && c.c <= U'Я') {
    length = 2;
    return static_cast<unsigned>(c.c - U'А');
  }
  return std::nullopt;
}

// "A) text", "A. text", also without the blank, as the platform reads them.
std::optional<unsigned> optionLetter(std::string_view line, std::string_view& text) {
  std::size_t length = 0;
  const std::optional<unsigned> letter = letterAt(line, length);
  if (!letter || line.size() <= length || (line[length] != ')' && line[length] != '.'))
    return std::nullopt;
  text = line.substr(length + 1);
  return letter;
}

// "ANSWER: B" or "ОТВЕТ: Б": the letter's place, nullopt for a letter that is
// not one; not an answer line at all when answer stays false.
std::optional<unsigned> answerLine(std::string_view line, bool& answer) {
  for (std::string_view key : {"ANSWER:", "ОТВЕТ:"})
    if (startsWith(line, key)) {
      answer = true;
      const std::string letter = trim(line.substr(key.size()));
      std::size_t length = 0;
      const std::optional<unsigned> place = letterAt(letter, length);
      return place && length == letter.size() ? place : std::nullopt;
    }
  answer = false;
  return std::nullopt;
}

}  // namespace

ConvertResult readAiken(std::string_view bytes, const std::string& file,
                        const std::string& defaultTitle) {
  ConvertResult result;
  Intake intake(result, file);
  const std::optional<std::string> text = fileText(bytes, result, intake);
  if (!text) return result;
  // A question is its text, its options and its ANSWER line; a blank line or the
  // start of the next question (a line followed by option "A") ends a faulty one.
  enum class State { Between, Text, Options, Skipping } state = State::Between;
  DraftQuestion draft;
  std::vector<unsigned> letters;
  std::string lastText;  // while skipping: the line that may begin the next question
  unsigned lastTextLine = 0;
  const auto begin = [&](const std::string& line, unsigned number) {
    draft = DraftQuestion{};
    letters.clear();
    draft.line = number;
    draft.text = plainText(line);
    state = State::Text;
  };
  const auto unfinished = [&] {
    intake.leaveOut(draft.line, draft.options.empty()
                                    ? "у вопроса нет вариантов ответа («A. …», «B. …»)."
                                    : "у вопроса нет строки «ANSWER: …» с буквой верного ответа.");
  };
  unsigned number = 0;
  for (const std::string& raw : splitLines(*text)) {
    ++number;
    const std::string line = trim(raw);
    if (line.empty()) {
      // A blank line may stand between a question's text and its options.
      if (state == State::Options) unfinished();
      if (state != State::Text) state = State::Between;
      continue;
    }
    std::string_view optionText;
    const std::optional<unsigned> letter = optionLetter(line, optionText);
    bool answer = false;
    const std::optional<unsigned> chosen = answerLine(line, answer);
    switch (state) {
      case State::Between:
        if (answer) {
          intake.leaveOut(number, "строка «ANSWER: …» без вопроса перед ней.");
          continue;
        }
        begin(line, number);
        continue;
      case State::Skipping:
        if (answer) {
          state = State::Between;
        } else if (letter == 0u && lastTextLine != 0) {
          begin(lastText, lastTextLine);
          break;  // the option is taken below
        } else if (!letter) {
          lastText = line;
          lastTextLine = number;
        }
        continue;
      case State::Text:
        if (answer) {
          unfinished();
          state = State::Between;
          continue;
        }
        if (!letter) {
          draft.text.lines.push_back(line);  // a question text that runs on over several lines
          continue;
        }
        break;
      case State::Options:
        if (answer) {
          for (unsigned l : letters) draft.right.push_back(chosen == l);
          intake.add("", defaultTitle, draft);
          state = State::Between;
          continue;
        }
        if (!letter) {
          intake.leaveOut(
              draft.line,
              "строка " + std::to_string(number) +
                  " - не вариант ответа («A. …») и не строка «ANSWER: …»; вопрос пропущен.");
          state = State::Skipping;
          lastText = line;
          lastTextLine = number;
          continue;
        }
        break;
    }
    letters.push_back(*letter);
    draft.options.push_back(plainText(optionText));
    state = State::Options;
  }
  if (state == State::Text || state == State::Options) unfinished();
  return result;
}
