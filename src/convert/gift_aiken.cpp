// GIFT and Aiken: the plain-text question formats of learning platforms.
#include <cctype>
#include <cstdlib>
#include <optional>

#include "convert/formats.h"
#include "convert/intake.h"
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

PlainText giftText(std::string_view raw, GiftFormat format) {
  const std::string text = unescapeGift(raw);
  return format == GiftFormat::Plain ? plainText(text) : htmlToText(text);
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
  bool partial = false;
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
    a.right = list[i] == '=';
    std::string_view body = list.substr(i + 1, end - i - 1);
    if (!body.empty() && body.front() == '%') {
      const std::size_t close = body.find('%', 1);
      if (close != std::string_view::npos) {
        const double weight = std::strtod(std::string(body.substr(1, close - 1)).c_str(), nullptr);
        a.right = a.right || weight >= 100;
        a.partial = weight > 0 && weight < 100;
        body.remove_prefix(close + 1);
      }
    }
    const std::size_t hash = findUnescaped(body, '#');
    if (hash != std::string_view::npos) {
      a.feedback = !trim(body.substr(hash + 1)).empty();
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
  std::string category;
  for (const Block& block : giftBlocks(decodeInput(bytes))) {
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
    if (startsWith(body, "[")) {
      const std::size_t close = body.find(']');
      const std::string tag = close == std::string::npos ? "" : body.substr(1, close - 1);
      if (tag == "plain" || tag == "markdown" || tag == "html" || tag == "moodle") {
        format = tag == "plain" || tag == "markdown" ? GiftFormat::Plain : GiftFormat::Html;
        body = body.substr(close + 1);
      }
    }
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
      draft.consultation = giftText(std::string_view(answers).substr(general + 4), format);
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
    bool wrong = false, partial = false, matching = false;
    for (const GiftAnswer& a : list) {
      wrong = wrong || !a.right;
      partial = partial || a.partial;
      matching = matching || a.text.find("->") != std::string::npos;
      draft.options.push_back(giftText(a.text, format));
      draft.right.push_back(a.right);
      draft.optionFeedbackLost = draft.optionFeedbackLost || a.feedback;
    }
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
        out += (i == q.right ? "=" : "~") + option + "\n";
      }
      if (!q.consultation.empty()) {
        out += "####";
        for (std::size_t i = 0; i < q.consultation.size(); ++i)
          out += (i ? "<br>" : "") + text(q.consultation[i]);
        out += "\n";
      }
      out += "}\n\n";
    }
  }
  return out;
}

ConvertResult readAiken(std::string_view bytes, const std::string& file,
                        const std::string& defaultTitle) {
  ConvertResult result;
  Intake intake(result, file);
  DraftQuestion draft;
  bool open = false;      // a question has begun and waits for its ANSWER line
  bool skipping = false;  // a faulty question's lines, up to its ANSWER line
  const auto optionLetter = [](const std::string& line) -> std::optional<char> {
    if (line.size() >= 3 && line[0] >= 'A' && line[0] <= 'Z' &&
        (line[1] == '.' || line[1] == ')') && line[2] == ' ')
      return line[0];
    return std::nullopt;
  };
  std::vector<char> letters;
  unsigned number = 0;
  for (const std::string& raw : splitLines(decodeInput(bytes))) {
    ++number;
    const std::string line = trim(raw);
    if (line.empty()) continue;
    if (skipping) {
      skipping = !startsWith(line, "ANSWER:");
      continue;
    }
    if (!open) {
      draft = DraftQuestion{};
      letters.clear();
      draft.line = number;
      draft.text = plainText(line);
      open = true;
      continue;
    }
    if (startsWith(line, "ANSWER:")) {
      const std::string letter = trim(std::string_view(line).substr(7));
      open = false;
      if (draft.options.empty()) {
        intake.leaveOut(draft.line, "у вопроса нет вариантов ответа («A. …», «B. …»).");
        continue;
      }
      for (char l : letters) draft.right.push_back(letter.size() == 1 && letter[0] == l);
      intake.add("", defaultTitle, draft);
      continue;
    }
    if (const std::optional<char> letter = optionLetter(line)) {
      letters.push_back(*letter);
      draft.options.push_back(plainText(line.substr(3)));
    } else if (draft.options.empty()) {
      draft.text.lines.push_back(line);  // a question text that runs on over several lines
    } else {
      intake.leaveOut(
          draft.line,
          "строка " + std::to_string(number) +
              " - не вариант ответа («A. …») и не строка «ANSWER: …»; вопрос пропущен.");
      open = false;
      skipping = true;
    }
  }
  if (open)
    intake.leaveOut(draft.line, "у вопроса нет строки «ANSWER: …» с буквой верного ответа.");
  return result;
}
