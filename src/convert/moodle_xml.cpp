// Moodle XML: <quiz> holding <question type="..."> elements; a question of type
// "category" sets the category of the questions after it.
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlreader.h>

#include <cstdlib>
#include <mutex>

#include "convert/formats.h"
#include "convert/intake.h"

namespace {

std::string_view name(const xmlNode* node) { return reinterpret_cast<const char*>(node->name); }

const xmlNode* child(const xmlNode* node, std::string_view wanted) {
  for (const xmlNode* c = node ? node->children : nullptr; c; c = c->next)
    if (c->type == XML_ELEMENT_NODE && name(c) == wanted) return c;
  return nullptr;
}

std::string attribute(const xmlNode* node, const char* attr) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(attr));
  if (!value) return {};
  std::string r(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return r;
}

// The text and CDATA directly in node. Entity references are never expanded:
// a document cannot make the converter grow its text by declaring entities.
std::string directText(const xmlNode* node) {
  std::string r;
  for (const xmlNode* c = node ? node->children : nullptr; c; c = c->next)
    if ((c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE) && c->content)
      r += reinterpret_cast<const char*>(c->content);
  return r;
}

// A text element as Moodle writes it: <x format="..."><text>...</text></x>.
PlainText formatted(const xmlNode* node) {
  if (!node) return {};
  PlainText r;
  const std::string format = attribute(node, "format");
  const std::string text = directText(child(node, "text"));
  r = format == "plain_text" || format == "markdown" ? plainText(text) : htmlToText(text);
  if (child(node, "file")) r.picture = true;
  return r;
}

unsigned lineOf(const xmlNode* node) {
  return static_cast<unsigned>(xmlGetLineNo(node) > 0 ? xmlGetLineNo(node) : 0);
}

std::string typeName(const std::string& type) {
  if (type == "shortanswer") return "короткий ответ";
  if (type == "essay") return "эссе";
  if (type == "matching") return "на соответствие";
  if (type == "numerical") return "числовой";
  if (type == "multianswer") return "вложенные ответы (Cloze)";
  if (type == "description") return "описание";
  if (type == "calculated" || type == "calculatedsimple" || type == "calculatedmulti")
    return "вычисляемый";
  return "«" + type + "»";
}

}  // namespace

std::vector<std::string> categoryParts(std::string_view path) {
  std::vector<std::string> parts;
  std::string part;
  for (std::size_t i = 0; i <= path.size(); ++i) {
    if (i < path.size() && path[i] == '/' && i + 1 < path.size() && path[i + 1] == '/') {
      part += '/';
      ++i;
    } else if (i == path.size() || path[i] == '/') {
      part = oneLine(plainText(part).lines);
      if (!part.empty() && !(part.front() == '$' && part.back() == '$')) parts.push_back(part);
      part.clear();
    } else {
      part += path[i];
    }
  }
  return parts;
}

std::string categoryTitle(std::string_view path) {
  const std::vector<std::string> parts = categoryParts(path);
  return parts.empty() ? std::string() : parts.back();
}

namespace {

// The first error libxml2 reports while reading, for the message about the file.
struct FirstError {
  bool seen = false;
  int line = 0;
  int code = 0;
};

void keepFirstError(void* where, xmlErrorPtr error) {
  auto* first = static_cast<FirstError*>(where);
  if (first->seen || !error || error->level < XML_ERR_ERROR) return;
  first->seen = true;
  first->line = error->line;
  first->code = error->code;
}

// What is wrong with the file, in the tool's words rather than libxml2's.
// rootOpened and rootClosed (the file holds "<quiz", "</quiz>") tell an empty
// file and one cut short from one with text after its end, which libxml2
// reports alike when it reads one element at a time.
std::string xmlProblem(int code, bool rootOpened, bool rootClosed) {
  switch (code) {
    case XML_ERR_DOCUMENT_START:
    case XML_ERR_DOCUMENT_EMPTY:
      return "в файле нет XML";
    case XML_ERR_DOCUMENT_END:
      if (!rootOpened) return "в файле нет XML";
      return rootClosed ? "после закрывающего тега </quiz> есть еще текст"
                        : "файл обрывается: элемент <quiz> не закрыт";
    case XML_ERR_TAG_NOT_FINISHED:
      return "файл обрывается: элемент не закрыт";
    case XML_ERR_TAG_NAME_MISMATCH:
      return "закрывающий тег не совпадает с открывающим";
    case XML_ERR_UNDECLARED_ENTITY:
    case XML_WAR_UNDECLARED_ENTITY:
      return "неизвестная ссылка на сущность (&имя;); знак & в тексте пишется как &amp;";
    case XML_ERR_LT_IN_ATTRIBUTE:
      return "знак < в значении атрибута; он пишется как &lt;";
    case XML_ERR_ATTRIBUTE_NOT_STARTED:
    case XML_ERR_ATTRIBUTE_NOT_FINISHED:
    case XML_ERR_ATTRIBUTE_WITHOUT_VALUE:
    case XML_ERR_ATTRIBUTE_REDEFINED:
      return "ошибка в атрибуте тега";
    case XML_ERR_NAME_REQUIRED:
    case XML_ERR_GT_REQUIRED:
      return "ошибка в записи тега";
    case XML_ERR_INVALID_CHAR:
    case XML_ERR_INVALID_CHARREF:
    case XML_ERR_INVALID_ENCODING:
      return "недопустимый символ или байт, не подходящий к кодировке файла";
    case XML_ERR_UNSUPPORTED_ENCODING:
      return "кодировка файла не поддерживается";
    case XML_ERR_ENTITY_LOOP:
      return "файл превышает пределы, в которых XML читается безопасно";
    default:
      return "ошибка разбора XML (код " + std::to_string(code) + ")";
  }
}

void readQuestion(const xmlNode* q, std::string& category, Intake& intake,
                  const std::string& defaultTitle) {
  const std::string type = attribute(q, "type");
  const unsigned line = lineOf(q);
  if (type == "category") {
    category = directText(child(child(q, "category"), "text"));
    return;
  }
  const std::string title =
      category.empty() || categoryTitle(category).empty() ? defaultTitle : categoryTitle(category);
  if (type != "multichoice" && type != "truefalse") {
    intake.leaveOut(line, "вопрос типа " + typeName(type) +
                              " не переносится: в курсе только вопросы с выбором одного ответа.");
    return;
  }
  DraftQuestion draft;
  draft.line = line;
  draft.text = formatted(child(q, "questiontext"));
  // Older exports keep the question's picture beside its text.
  if (!directText(child(q, "image")).empty() || child(q, "image_base64")) draft.text.picture = true;
  draft.consultation = formatted(child(q, "generalfeedback"));
  draft.multipleResponse =
      type == "multichoice" && oneLine(plainText(directText(child(q, "single"))).lines) == "false";
  bool partial = false;
  for (const xmlNode* a = q->children; a; a = a->next) {
    if (a->type != XML_ELEMENT_NODE || name(a) != "answer") continue;
    const double fraction = std::strtod(attribute(a, "fraction").c_str(), nullptr);
    if (fraction > 0 && fraction < 100) partial = true;
    if (fraction < 0) draft.penalties = true;
    PlainText option;
    if (type == "truefalse") {
      const std::string value = oneLine(plainText(directText(child(a, "text"))).lines);
      option.lines = {value == "true" ? "Верно" : value == "false" ? "Неверно" : value};
    } else {
      option = formatted(a);
      if (option.lines.empty() && !child(a, "text")) option = htmlToText(directText(a));
    }
    if (!formatted(child(a, "feedback")).lines.empty()) draft.optionFeedbackLost = true;
    draft.options.push_back(option);
    draft.right.push_back(fraction >= 100);
  }
  if (type == "truefalse" && draft.options.size() == 2 &&
      draft.options[0].lines == std::vector<std::string>{"Неверно"}) {
    std::swap(draft.options[0], draft.options[1]);
    const bool first = draft.right[0];
    draft.right[0] = draft.right[1];
    draft.right[1] = first;
  }
  if (partial) {
    intake.leaveOut(
        line, "у вопроса есть ответы с частичной оценкой, а в курсе ответ либо верен, либо нет.");
    return;
  }
  intake.add(category, title, draft);
}

}  // namespace

ConvertResult readMoodleXml(std::string_view bytes, const std::string& file,
                            const std::string& defaultTitle) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { xmlInitParser(); });
  ConvertResult result;
  Intake intake(result, file);
  // No network, no DTD loading, no entity substitution; libxml2's own limits stay on.
  // The file is read one question at a time, so that a large bank needs little memory.
  const int options =
      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;
  xmlTextReaderPtr reader = bytes.size() > static_cast<std::size_t>(INT32_MAX)
                                ? nullptr
                                : xmlReaderForMemory(bytes.data(), static_cast<int>(bytes.size()),
                                                     nullptr, nullptr, options);
  if (!reader) {
    result.readable = false;
    intake.note(0, "файл не удаётся разобрать как XML.");
    return result;
  }
  FirstError error;
  xmlTextReaderSetStructuredErrorHandler(reader, keepFirstError, &error);
  const auto refuse = [&](unsigned line, const std::string& why) {
    result.readable = false;
    intake.note(line, why);
  };
  std::string category;
  bool quiz = false;
  int status = xmlTextReaderRead(reader);
  while (status == 1 && result.readable) {
    const int type = xmlTextReaderNodeType(reader);
    const int depth = xmlTextReaderDepth(reader);
    const char* element = reinterpret_cast<const char*>(xmlTextReaderConstLocalName(reader));
    const std::string_view tag = element ? element : "";
    if (type == XML_READER_TYPE_DOCUMENT_TYPE) {
      refuse(static_cast<unsigned>(xmlTextReaderGetParserLineNumber(reader)),
             "в файле объявлен DOCTYPE: такие файлы не читаются (в Moodle XML его нет).");
      break;
    }
    if (type == XML_READER_TYPE_ELEMENT && depth == 0 && tag != "quiz") {
      refuse(static_cast<unsigned>(xmlTextReaderGetParserLineNumber(reader)),
             "это не файл вопросов Moodle XML: нет корневого элемента <quiz>.");
      break;
    }
    if (type == XML_READER_TYPE_ELEMENT && depth == 0) quiz = true;
    if (type == XML_READER_TYPE_ELEMENT && depth == 1 && tag == "question") {
      const xmlNode* question = xmlTextReaderExpand(reader);
      if (!question) {
        status = -1;
        break;
      }
      readQuestion(question, category, intake, defaultTitle);
      status = xmlTextReaderNext(reader);  // past the question, whose nodes are then freed
      continue;
    }
    status = xmlTextReaderRead(reader);
  }
  if (result.readable && (status < 0 || error.seen)) {
    refuse(error.line > 0 ? static_cast<unsigned>(error.line) : 0,
           "файл не является правильным XML: " +
               (error.seen ? xmlProblem(error.code, bytes.find("<quiz") != std::string_view::npos,
                                        bytes.find("</quiz>") != std::string_view::npos)
                           : std::string("ошибка разбора")) +
               ".");
  } else if (result.readable && !quiz) {
    refuse(0, "это не файл вопросов Moodle XML: нет корневого элемента <quiz>.");
  }
  xmlFreeTextReader(reader);
  result.course.name = intake.topCategory();
  return result;
}

std::string writeMoodleXml(const ExchangeCourse& course) {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n";
  // Texts are HTML (format="html"), so a course text is escaped once as HTML
  // and once more as XML; line breaks of a consultation become <br>.
  const auto html = [](const std::string& text) { return xmlEscape(markupEscape(text)); };
  for (const ExchangeTopic& topic : course.topics) {
    std::string path;
    for (char c : topic.title) path += c == '/' ? std::string("//") : std::string(1, c);
    out += "  <question type=\"category\">\n    <category>\n      <text>$course$/top/" +
           xmlEscape(path) + "</text>\n    </category>\n  </question>\n";
    unsigned number = 0;
    for (const ExchangeQuestion& q : topic.questions) {
      ++number;
      std::string feedback;
      for (const std::string& line : q.consultation)
        feedback += (feedback.empty() ? "" : "&lt;br&gt;") + html(line);
      out += "  <question type=\"multichoice\">\n    <name>\n      <text>" +
             xmlEscape(topic.title) + ", " + std::to_string(number) + "</text>\n    </name>\n";
      out += "    <questiontext format=\"html\">\n      <text>" + html(q.text) +
             "</text>\n    </questiontext>\n";
      out += "    <generalfeedback format=\"html\">\n      <text>" + feedback +
             "</text>\n    </generalfeedback>\n";
      out +=
          "    <defaultgrade>1</defaultgrade>\n    <penalty>0</penalty>\n    <hidden>0</hidden>\n";
      out += "    <single>true</single>\n    <shuffleanswers>false</shuffleanswers>\n";
      out += "    <answernumbering>123</answernumbering>\n";
      for (std::size_t i = 0; i < q.options.size(); ++i)
        out +=
            std::string("    <answer fraction=\"") + (i == q.right ? "100" : "0") +
            "\" format=\"html\">\n      <text>" + html(q.options[i]) +
            "</text>\n      <feedback format=\"html\">\n        <text></text>\n      </feedback>\n    </answer>\n";
      out += "  </question>\n";
    }
  }
  out += "</quiz>\n";
  return out;
}
