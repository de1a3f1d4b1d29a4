#include "author/course_model.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "app/course_identity.h"
#include "bank/course_files.h"
#include "platform/cp1251.h"
#include "study/diagram_map.h"

namespace {

using F = CourseFileId;
constexpr std::size_t kQuestionPrefix = 9;  // "_001_2_1_"
constexpr std::size_t kMarkerLength = 14;   // "$diagram_0007$"
constexpr std::size_t kNoPlace = static_cast<std::size_t>(-1);

std::string decimal(unsigned n) { return std::to_string(n); }
constexpr const char* kRangesHeader = "Диапазоны вопросов для режимов контроля и самоконтроля";

bool isMarkerLine(std::string_view line) {
  return line.size() >= kMarkerLength && line.compare(0, 8, "$diagram") == 0 && line[8] != '$' &&
         line[kMarkerLength - 1] == '$';
}

std::string diagramMarker(unsigned number) {
  char text[24];
  std::snprintf(text, sizeof text, "$diagram_%04u$", number);
  return text;
}

std::optional<unsigned> markerNumber(std::string_view line) {
  if (!isMarkerLine(line)) return std::nullopt;
  const auto number = diagramNumber(line.substr(1, 12));
  if (!number) return std::nullopt;
  return *number;
}

std::optional<std::vector<unsigned>> readSet(std::string_view line) {
  return setNumbers(line.size() > 2 ? line.substr(2) : "");
}

unsigned numberOfQuestionLine(std::string_view line) {
  const auto a = digitAt(line, 2), b = digitAt(line, 3), c = digitAt(line, 4);
  if (!a || !b || !c) return 0;
  return *a * 100 + *b * 10 + *c;
}

std::string withNumber(const std::string& line, unsigned number) {
  char digits[8];
  std::snprintf(digits, sizeof digits, "%03u", number);
  std::string out = line;
  out.replace(1, 3, digits);
  return out;
}

std::string withSet(const std::string& line, const std::vector<unsigned>& numbers) {
  return line.substr(0, 2) + setText(numbers);
}

std::string withMarkerDigit(const std::string& line, unsigned topic) {
  std::string out = line;
  out[3] = static_cast<char>('0' + topic);
  return out;
}

// A line of consultation text as the program must read it: never empty, never
// taken for a marker or set line, never hiding a diagram marker.
std::string contentLine(std::string line) {
  if (line.empty()) return " ";
  if (line.front() == '+' || line.front() == '*') line.insert(0, " ");
  for (std::size_t at = line.find("$diagram"); at != std::string::npos;
       at = line.find("$diagram", at))
    line.insert(at + 1, " ");
  return line;
}

std::optional<unsigned> readDecimal(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value;
}

// The fields of a range line: "_first_last_caption".
struct RangeFields {
  std::string first, last, tail;  // tail: from the underscore before the caption
};
RangeFields rangeFields(const std::string& line) {
  RangeFields f;
  const std::size_t second = line.find('_', 1);
  if (second == std::string::npos) {
    f.first = line.substr(1);
    return f;
  }
  f.first = line.substr(1, second - 1);
  const std::size_t third = line.find('_', second + 1);
  f.last =
      line.substr(second + 1, third == std::string::npos ? std::string::npos : third - second - 1);
  if (third != std::string::npos) f.tail = line.substr(third);
  return f;
}

std::string rangeLine(const RangeRow& row) {
  return "_" + row.first + "_" + row.last + "_" + row.caption;
}

std::string countLine(std::size_t ranges) {
  return "**" + decimal(static_cast<unsigned>(std::min<std::size_t>(ranges, 9)));
}

std::string markerLine(unsigned topic) { return "+++" + decimal(topic); }

std::string questionRecord(unsigned number, unsigned right, const std::string& text) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "_%03u_%u_1_", number, right);
  return prefix + text;
}

std::string setLine(const std::vector<unsigned>& numbers) { return "**" + setText(numbers); }

// A question's own set line with its options, digits 1, 2, ...
std::vector<std::string> optionSet(unsigned number, const std::vector<std::string>& options) {
  std::vector<std::string> lines = {setLine({number})};
  for (std::size_t i = 0; i < options.size(); ++i)
    lines.push_back("_" + decimal(static_cast<unsigned>(i + 1)) + "_" + options[i]);
  return lines;
}

std::vector<std::string> blockLines(const std::vector<unsigned>& numbers,
                                    const std::vector<std::string>& content) {
  std::vector<std::string> lines = {setLine(numbers)};
  for (const std::string& line : content) lines.push_back(contentLine(line));
  return lines;
}

void indexMain(const TextDoc& doc, CourseIndex& index) {
  index.titles.clear();
  for (std::size_t i = 0; i < doc.lines.size(); ++i)
    if (!doc.lines[i].text.empty()) index.titles.push_back({i, doc.lines[i].text});
}

void indexSectioned(F id, const TextDoc& doc, CourseIndex& index) {
  auto& markers = index.markers[static_cast<std::size_t>(id)];
  markers.clear();
  for (TopicParts& parts : index.topics) {
    switch (id) {
      case F::Questions:
        parts.questions.clear();
        break;
      case F::Answers:
        parts.answerSets.clear();
        break;
      case F::Consultations:
        parts.blocks.clear();
        break;
      default:
        parts.ranges.clear();
        parts.rangeCounts.clear();
    }
  }
  std::optional<unsigned> topic;
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    const std::string& line = doc.lines[i].text;
    if (line.empty()) continue;
    const LineKind kind = classify(line);
    if (kind == LineKind::TopicMarker) {
      topic = digitAt(line, 4);
      markers.push_back({i, topic});
      continue;
    }
    if (!topic) continue;
    TopicParts& parts = index.topics[*topic];
    switch (id) {
      case F::Questions:
        if (kind == LineKind::Record) parts.questions.push_back({i, numberOfQuestionLine(line)});
        break;
      case F::Answers:
      case F::Consultations: {
        std::vector<SetBlock>& sets = id == F::Answers ? parts.answerSets : parts.blocks;
        if (kind == LineKind::Set) {
          SetBlock set;
          set.line = i;
          if (auto numbers = readSet(line)) {
            set.readable = true;
            set.numbers = std::move(*numbers);
          }
          sets.push_back(std::move(set));
        } else if (!sets.empty() && (id == F::Consultations || kind == LineKind::Record)) {
          sets.back().members.push_back(i);
        }
        break;
      }
      default:
        if (kind == LineKind::Record) parts.ranges.push_back(i);
        if (kind == LineKind::Set) parts.rangeCounts.push_back(i);
    }
  }
  if (id == F::Questions)
    for (TopicParts& parts : index.topics)
      std::stable_sort(parts.questions.begin(), parts.questions.end(),
                       [](const QuestionLine& a, const QuestionLine& b) {
                         // Unreadable numbers after the readable ones.
                         return (a.number ? a.number : 1000) < (b.number ? b.number : 1000);
                       });
}

void indexDiagrams(const TextDoc& doc, CourseIndex& index) {
  index.diagrams.clear();
  for (std::size_t i = 0; i < doc.lines.size(); ++i) {
    const auto entry = readDiagramMap({doc.lines[i].text});
    if (!entry.empty()) index.diagrams.push_back({i, entry.front().number, entry.front().file});
  }
}

std::vector<std::string> texts(const TextDoc& doc, const std::vector<std::size_t>& lines) {
  std::vector<std::string> out;
  for (std::size_t line : lines) out.push_back(doc.lines[line].text);
  return out;
}

}  // namespace

bool SetBlock::names(unsigned n) const {
  return readable && std::find(numbers.begin(), numbers.end(), n) != numbers.end();
}

std::string setText(const std::vector<unsigned>& numbers) {
  std::string text = "_";
  for (unsigned n : numbers) text += decimal(n) + "_";
  return text;
}

std::string numberList(const std::vector<unsigned>& numbers) {
  std::vector<unsigned> sorted(numbers);
  std::sort(sorted.begin(), sorted.end());
  sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
  std::string out;
  for (std::size_t i = 0; i < sorted.size();) {
    std::size_t j = i;
    while (j + 1 < sorted.size() && sorted[j + 1] == sorted[j] + 1) ++j;
    if (!out.empty()) out += ", ";
    out += decimal(sorted[i]);
    if (j > i) out += (j == i + 1 ? ", " : cp("–")) + decimal(sorted[j]);
    i = j + 1;
  }
  return out;
}

CourseModel::CourseModel(CourseDocument document) : document_(std::move(document)) {}

const CourseIndex& CourseModel::index() const {
  for (F id : kCourseFiles) {
    const std::size_t k = static_cast<std::size_t>(id);
    const TextDoc& doc = document_.file(id);
    if (index_.built && index_.revisions[k] == doc.revision) continue;
    index_.revisions[k] = doc.revision;
    switch (id) {
      case F::Main:
        indexMain(doc, index_);
        break;
      case F::Diagrams:
        indexDiagrams(doc, index_);
        break;
      case F::Identity:
        break;
      default:
        indexSectioned(id, doc, index_);
    }
  }
  index_.built = true;
  return index_;
}

NewQuestion CourseModel::newQuestion() {
  return NewQuestion{cp("Новый вопрос"), {cp("Вариант 1"), cp("Вариант 2")}, 1, {}};
}

// ---- Queries ----

std::size_t CourseModel::questionCount(unsigned topic) const {
  return holdsQuestions(topic) ? parts(topic).questions.size() : 0;
}

unsigned CourseModel::questionNumber(unsigned topic, std::size_t position) const {
  return questionLine(topic, position).number;
}

std::string CourseModel::questionText(unsigned topic, std::size_t position) const {
  const std::string& line =
      document_.file(F::Questions).lines[questionLine(topic, position).line].text;
  return line.size() > kQuestionPrefix ? line.substr(kQuestionPrefix) : std::string();
}

std::vector<const SetBlock*> CourseModel::setsNaming(const std::vector<SetBlock>& sets,
                                                     unsigned n) const {
  std::vector<const SetBlock*> found;
  for (const SetBlock& set : sets)
    if (set.names(n)) found.push_back(&set);
  return found;
}

const SetBlock* CourseModel::blockOf(unsigned topic, unsigned n) const {
  const auto found = setsNaming(parts(topic).blocks, n);
  return found.empty() ? nullptr : found.back();
}

std::optional<std::string> CourseModel::pictureOf(unsigned diagram) const {
  std::optional<std::string> file;
  for (const DiagramLine& entry : index().diagrams)
    if (entry.number == diagram) file = entry.file;
  return file;
}

QuestionView CourseModel::question(unsigned topic, std::size_t position) const {
  const TextDoc& questions = document_.file(F::Questions);
  const TextDoc& answers = document_.file(F::Answers);
  const TextDoc& consultations = document_.file(F::Consultations);
  const QuestionLine& q = questionLine(topic, position);
  QuestionView view;
  view.line = q.line;
  view.number = q.number;
  const std::string& line = questions.lines[q.line].text;
  view.text = line.size() > kQuestionPrefix ? line.substr(kQuestionPrefix) : std::string();
  view.rightDigit = digitAt(line, 6) ? static_cast<int>(*digitAt(line, 6)) : -1;
  std::set<unsigned> shared;
  for (const SetBlock* set : setsNaming(parts(topic).answerSets, q.number)) {
    for (std::size_t member : set->members) {
      const std::string& answer = answers.lines[member].text;
      view.options.push_back(
          OptionView{member, digitAt(answer, 2) ? static_cast<int>(*digitAt(answer, 2)) : -1,
                     answer.size() > 3 ? answer.substr(3) : std::string()});
    }
    shared.insert(set->numbers.begin(), set->numbers.end());
  }
  shared.erase(q.number);
  view.optionsSharedWith.assign(shared.begin(), shared.end());
  if (const SetBlock* block = blockOf(topic, q.number)) {
    view.hasConsultation = true;
    view.consultation = texts(consultations, block->members);
    if (!view.consultation.empty()) {
      view.diagram = markerNumber(view.consultation.front());
      if (isMarkerLine(view.consultation.front()))
        view.consultation.front().erase(0, kMarkerLength);
    }
    std::vector<unsigned> others;
    for (unsigned n : block->numbers)
      if (n != q.number) others.push_back(n);
    std::sort(others.begin(), others.end());
    others.erase(std::unique(others.begin(), others.end()), others.end());
    view.consultationSharedWith = others;
  }
  if (view.diagram) view.pictureFile = pictureOf(*view.diagram);
  return view;
}

std::vector<RangeRow> CourseModel::ranges(unsigned topic) const {
  std::vector<RangeRow> rows;
  if (!holdsQuestions(topic)) return rows;
  for (std::size_t line : parts(topic).ranges) {
    const RangeFields f = rangeFields(document_.file(F::Ranges).lines[line].text);
    rows.push_back({f.first, f.last, f.tail.empty() ? std::string() : f.tail.substr(1)});
  }
  return rows;
}

IdentityFields CourseModel::identity() const {
  std::vector<std::string> lines;
  for (const DocLine& line : document_.file(F::Identity).lines) lines.push_back(line.text);
  const CourseIdentity id = parseCourseIdentity(lines);
  return IdentityFields{id.title.value_or(""), id.allTopics.value_or(""), id.titleLines,
                        id.helpLines};
}

std::optional<std::pair<unsigned, std::size_t>> CourseModel::questionAtLine(
    std::size_t line) const {
  for (unsigned t = 1; t <= kLastContentTopic; ++t) {
    const auto& qs = parts(t).questions;
    for (std::size_t p = 0; p < qs.size(); ++p)
      if (qs[p].line == line) return std::make_pair(t, p);
  }
  return std::nullopt;
}

std::optional<std::pair<unsigned, std::optional<std::size_t>>> CourseModel::placeOfLine(
    F file, std::size_t line) const {
  const CourseIndex& ix = index();
  if (file == F::Main) {
    for (std::size_t t = 0; t < ix.titles.size(); ++t)
      if (ix.titles[t].line >= line)
        return std::make_pair(static_cast<unsigned>(t + 1), std::nullopt);
    return std::nullopt;
  }
  if (file == F::Questions)
    if (auto at = questionAtLine(line)) return std::make_pair(at->first, std::optional(at->second));
  std::optional<unsigned> topic;
  for (const Marker& m : ix.markers[static_cast<std::size_t>(file)])
    if (m.line <= line) topic = m.topic;
  if (!topic || *topic == 0) return std::nullopt;
  auto positionOf = [&](unsigned n) -> std::optional<std::size_t> {
    const auto& qs = parts(*topic).questions;
    for (std::size_t p = 0; p < qs.size(); ++p)
      if (qs[p].number == n) return p;
    return std::nullopt;
  };
  if (file == F::Answers || file == F::Consultations) {
    const auto& sets = file == F::Answers ? parts(*topic).answerSets : parts(*topic).blocks;
    for (const SetBlock& set : sets) {
      const bool inside = set.line == line || std::find(set.members.begin(), set.members.end(),
                                                        line) != set.members.end();
      if (inside && !set.numbers.empty())
        return std::make_pair(*topic, positionOf(set.numbers.front()));
    }
  }
  return std::make_pair(*topic, std::optional<std::size_t>());
}

// ---- Line edits ----

void CourseModel::insertLines(Change& log, F file, std::size_t at, std::vector<std::string> lines) {
  if (lines.empty()) return;
  const TextDoc& doc = document_.file(file);
  const LineEnd usual = document_.usualLineEnd(file);
  std::vector<DocLine> inserted;
  for (std::string& text : lines) inserted.push_back(DocLine{std::move(text), usual});
  // Appended to a file whose last line has no line end: that line gets one, and
  // the file still ends as it did.
  if (at == doc.lines.size() && at > 0 && doc.lines.back().end == LineEnd::None) {
    DocLine last = doc.lines.back();
    last.end = usual;
    inserted.back().end = LineEnd::None;
    inserted.insert(inserted.begin(), std::move(last));
    document_.splice(log, file, at - 1, 1, std::move(inserted));
    return;
  }
  document_.splice(log, file, at, 0, std::move(inserted));
}

std::size_t CourseModel::sectionEnd(F file, std::size_t marker) const {
  for (const Marker& m : index().markers[static_cast<std::size_t>(file)])
    if (m.line > marker) return m.line;
  return document_.file(file).lines.size();
}

std::size_t CourseModel::topicEnd(Change& log, F file, unsigned topic) {
  std::optional<std::size_t> last;
  for (const Marker& m : index().markers[static_cast<std::size_t>(file)])
    if (m.topic == topic) last = m.line;
  if (last) {
    // Back over trailing lines that are no content (empty lines before the next marker).
    std::size_t end = sectionEnd(file, *last);
    const auto& lines = document_.file(file).lines;
    while (end > *last + 1 && lines[end - 1].text.empty()) --end;
    return end;
  }
  if (file == F::Ranges && !document_.file(file).present)
    insertLines(log, file, 0, {cp(kRangesHeader)});
  insertLines(log, file, document_.file(file).lines.size(), {markerLine(topic)});
  return document_.file(file).lines.size();
}

std::size_t CourseModel::insertionPoint(F file, unsigned topic, unsigned before) {
  const std::vector<SetBlock>& sets =
      file == F::Answers ? parts(topic).answerSets : parts(topic).blocks;
  const SetBlock* after = nullptr;
  for (const SetBlock& set : sets)
    if (std::any_of(set.numbers.begin(), set.numbers.end(), [&](unsigned n) { return n < before; }))
      after = &set;
  if (after) return after->after();
  if (!sets.empty()) return sets.front().line;
  return kNoPlace;  // the caller makes a section
}

void CourseModel::deleteSets(Change& log, F file, std::vector<const SetBlock*> sets) {
  std::vector<std::size_t> lines;
  for (const SetBlock* set : sets) {
    lines.push_back(set->line);
    lines.insert(lines.end(), set->members.begin(), set->members.end());
  }
  std::sort(lines.rbegin(), lines.rend());
  for (std::size_t line : lines) document_.splice(log, file, line, 1, {});
}

template <typename Map>
void CourseModel::renumber(Change& log, unsigned topic, Map map) {
  const TopicParts p = parts(topic);  // a copy: the index is rebuilt as lines change
  for (const QuestionLine& q : p.questions) {
    if (q.number == 0) continue;
    const std::optional<unsigned> to = map(q.number);
    if (to && *to != q.number)
      document_.replaceText(log, F::Questions, q.line,
                            withNumber(document_.file(F::Questions).lines[q.line].text, *to));
  }
  for (F file : {F::Answers, F::Consultations}) {
    std::vector<SetBlock> emptied;
    for (const SetBlock& set : file == F::Answers ? p.answerSets : p.blocks) {
      if (!set.readable) continue;
      std::vector<unsigned> numbers;
      for (unsigned n : set.numbers)
        if (const std::optional<unsigned> to = map(n)) numbers.push_back(*to);
      if (numbers == set.numbers) continue;
      std::sort(numbers.begin(), numbers.end());  // the line is written anew anyway
      if (numbers.empty()) {
        emptied.push_back(set);
        continue;
      }
      document_.replaceText(log, file, set.line,
                            withSet(document_.file(file).lines[set.line].text, numbers));
    }
    std::vector<const SetBlock*> gone;
    for (const SetBlock& set : emptied) gone.push_back(&set);
    deleteSets(log, file, gone);
  }
}

void CourseModel::shiftRanges(Change& log, unsigned topic, unsigned removed, unsigned inserted) {
  const std::vector<std::size_t> lines = parts(topic).ranges;
  std::vector<std::size_t> gone;
  for (std::size_t line : lines) {
    const std::string& text = document_.file(F::Ranges).lines[line].text;
    const RangeFields f = rangeFields(text);
    const auto first = readDecimal(f.first), last = readDecimal(f.last);
    if (!first || !last) continue;
    unsigned a = *first, b = *last;
    if (removed && a == removed && b == removed) {
      // A range of the one question removed goes with it, or follows it when it moves.
      if (!inserted) {
        gone.push_back(line);
        continue;
      }
      a = b = inserted;
    } else {
      if (removed) {
        a -= a > removed;
        b -= b >= removed;
      }
      if (inserted) {
        // A new question joins the ranges of the question before it (of the
        // first question when it comes first).
        const unsigned neighbour = inserted > 1 ? inserted - 1 : 1;
        const bool joins = a <= neighbour && neighbour <= b;
        a += a >= inserted;
        b += b >= inserted;
        if (joins) {
          a = std::min(a, inserted);
          b = std::max(b, inserted);
        }
      }
    }
    if (a == *first && b == *last) continue;
    document_.replaceText(log, F::Ranges, line, "_" + decimal(a) + "_" + decimal(b) + f.tail);
  }
  std::sort(gone.rbegin(), gone.rend());
  for (std::size_t line : gone) document_.splice(log, F::Ranges, line, 1, {});
}

// ---- Question fields ----

Change CourseModel::setQuestionText(unsigned topic, std::size_t position, const std::string& text) {
  Change log;
  const QuestionLine& q = questionLine(topic, position);
  const std::string& line = document_.file(F::Questions).lines[q.line].text;
  if (line.size() < kQuestionPrefix) return log;
  document_.replaceText(log, F::Questions, q.line, line.substr(0, kQuestionPrefix) + text);
  return log;
}

Change CourseModel::setRightAnswer(unsigned topic, std::size_t position, unsigned digit) {
  Change log;
  const QuestionLine& q = questionLine(topic, position);
  std::string line = document_.file(F::Questions).lines[q.line].text;
  if (line.size() < 6 || digit > 9) return log;
  line[5] = static_cast<char>('0' + digit);
  document_.replaceText(log, F::Questions, q.line, line);
  return log;
}

Change CourseModel::setOptionText(std::size_t optionLine, const std::string& text) {
  Change log;
  std::string prefix = document_.file(F::Answers).lines[optionLine].text.substr(0, 3);
  prefix.resize(3, '_');
  document_.replaceText(log, F::Answers, optionLine, prefix + text);
  return log;
}

Change CourseModel::addOption(unsigned topic, std::size_t position, const std::string& text) {
  Change log;
  const QuestionView view = question(topic, position);
  unsigned used = 0;
  for (const OptionView& o : view.options)
    if (o.digit >= 0) used |= 1u << o.digit;
  unsigned digit = 1;
  while (digit <= 9 && (used & (1u << digit))) ++digit;
  if (digit > 9) return log;
  const std::string line = "_" + decimal(digit) + "_" + text;
  const auto sets = setsNaming(parts(topic).answerSets, view.number);
  if (!sets.empty()) {
    insertLines(log, F::Answers, sets.back()->after(), {line});
    return log;
  }
  std::size_t at = insertionPoint(F::Answers, topic, view.number);
  if (at == kNoPlace) at = topicEnd(log, F::Answers, topic);
  insertLines(log, F::Answers, at, {setLine({view.number}), line});
  return log;
}

Change CourseModel::removeOption(unsigned topic, std::size_t position, std::size_t optionLine) {
  Change log;
  const QuestionView view = question(topic, position);
  for (const OptionView& o : view.options)
    if (o.line == optionLine) document_.splice(log, F::Answers, optionLine, 1, {});
  return log;
}

Change CourseModel::moveOption(unsigned topic, std::size_t position, std::size_t optionLine,
                               int delta) {
  Change log;
  const unsigned n = questionNumber(topic, position);
  for (const SetBlock* set : setsNaming(parts(topic).answerSets, n)) {
    const auto at = std::find(set->members.begin(), set->members.end(), optionLine);
    if (at == set->members.end()) continue;
    const auto index = at - set->members.begin() + delta;
    if (index < 0 || index >= static_cast<std::ptrdiff_t>(set->members.size())) return log;
    const std::size_t other = set->members[static_cast<std::size_t>(index)];
    const std::string a = document_.file(F::Answers).lines[optionLine].text;
    const std::string b = document_.file(F::Answers).lines[other].text;
    document_.replaceText(log, F::Answers, optionLine, b);
    document_.replaceText(log, F::Answers, other, a);
    return log;
  }
  return log;
}

// Takes question n out of every set of file that also names others; with
// keepLast the last set naming it stays as it is. Sets that name n alone go.
Change CourseModel::leaveSets(F file, unsigned topic, unsigned n, bool keepLast) {
  Change log;
  const TopicParts p = parts(topic);
  const std::vector<SetBlock>& sets = file == F::Answers ? p.answerSets : p.blocks;
  std::vector<const SetBlock*> naming = setsNaming(sets, n);
  if (keepLast && !naming.empty()) naming.pop_back();
  std::vector<const SetBlock*> gone;
  for (const SetBlock* set : naming) {
    std::vector<unsigned> rest;
    for (unsigned m : set->numbers)
      if (m != n) rest.push_back(m);
    if (rest.empty()) {
      gone.push_back(set);
    } else {
      document_.replaceText(log, file, set->line,
                            withSet(document_.file(file).lines[set->line].text, rest));
    }
  }
  deleteSets(log, file, gone);
  return log;
}

Change CourseModel::ownOptions(unsigned topic, std::size_t position) {
  Change log;
  const unsigned n = questionNumber(topic, position);
  const auto sets = setsNaming(parts(topic).answerSets, n);
  if (sets.empty() || (sets.size() == 1 && sets.front()->numbers == std::vector<unsigned>{n}))
    return log;
  std::vector<std::string> lines = {setLine({n})};
  for (const SetBlock* set : sets)
    for (std::string& text : texts(document_.file(F::Answers), set->members))
      lines.push_back(std::move(text));
  // The copy goes after the last of the sets, so that taking the question out of
  // them (above it) does not move where it goes.
  insertLines(log, F::Answers, sets.back()->after(), std::move(lines));
  log.append(leaveSets(F::Answers, topic, n, true));  // the copy, last, stays
  return log;
}

Change CourseModel::shareOptions(unsigned topic, std::size_t position, std::size_t otherPosition) {
  Change log;
  const unsigned n = questionNumber(topic, position);
  const unsigned m = questionNumber(topic, otherPosition);
  if (n == m || n == 0 || m == 0) return log;
  const auto target = setsNaming(parts(topic).answerSets, m);
  if (target.empty() || target.back()->names(n)) return log;
  std::vector<unsigned> numbers = target.back()->numbers;
  numbers.push_back(n);
  std::sort(numbers.begin(), numbers.end());
  log.append(leaveSets(F::Answers, topic, n, false));
  // The target set names m as well, so it was not removed; find it again by m.
  const auto again = setsNaming(parts(topic).answerSets, m);
  document_.replaceText(
      log, F::Answers, again.back()->line,
      withSet(document_.file(F::Answers).lines[again.back()->line].text, numbers));
  return log;
}

Change CourseModel::setConsultation(unsigned topic, std::size_t position,
                                    const std::vector<std::string>& wanted) {
  Change log;
  const unsigned n = questionNumber(topic, position);
  std::vector<std::string> lines = wanted.empty() ? std::vector<std::string>{""} : wanted;
  const SetBlock* block = blockOf(topic, n);
  if (!block) {
    if (std::all_of(lines.begin(), lines.end(), [](const std::string& l) { return l.empty(); }))
      return log;
    std::size_t at = insertionPoint(F::Consultations, topic, n);
    if (at == kNoPlace) at = topicEnd(log, F::Consultations, topic);
    insertLines(log, F::Consultations, at, blockLines({n}, lines));
    return log;
  }
  const TextDoc& doc = document_.file(F::Consultations);
  const std::vector<std::size_t> members = block->members;
  std::vector<std::string> shown = texts(doc, members);
  std::string marker;
  if (!shown.empty() && isMarkerLine(shown.front())) {
    marker = shown.front().substr(0, kMarkerLength);
    shown.front().erase(0, kMarkerLength);
  }
  // Only the lines between the unchanged start and end are written anew. A new
  // first line is always among them: the diagram marker stays on the first line.
  std::size_t head = 0;
  while (head < shown.size() && head < lines.size() && shown[head] == lines[head]) ++head;
  const std::size_t first = head == 0 && !marker.empty() ? 1 : 0;
  std::size_t tail = 0;
  while (tail + first < shown.size() - head && tail + first < lines.size() - head &&
         shown[shown.size() - 1 - tail] == lines[lines.size() - 1 - tail])
    ++tail;
  std::vector<std::string> middle;
  for (std::size_t i = head; i < lines.size() - tail; ++i)
    middle.push_back(i == 0 && !marker.empty() ? marker + lines[0] : contentLine(lines[i]));
  const std::size_t oldCount = shown.size() - head - tail;
  // The block's lines are consecutive unless a marker of another topic interrupts
  // it; they are replaced where they stand, the new surplus after the last one kept.
  const std::size_t common = std::min(oldCount, middle.size());
  for (std::size_t i = 0; i < common; ++i)
    document_.replaceText(log, F::Consultations, members[head + i], middle[i]);
  if (middle.size() > oldCount) {
    const std::size_t at = head + common > 0 ? members[head + common - 1] + 1 : block->line + 1;
    insertLines(log, F::Consultations, at,
                std::vector<std::string>(middle.begin() + static_cast<std::ptrdiff_t>(common),
                                         middle.end()));
  } else {
    for (std::size_t i = head + oldCount; i-- > head + common;)
      document_.splice(log, F::Consultations, members[i], 1, {});
  }
  return log;
}

Change CourseModel::ownConsultation(unsigned topic, std::size_t position) {
  Change log;
  const unsigned n = questionNumber(topic, position);
  const SetBlock* block = blockOf(topic, n);
  if (!block || block->numbers == std::vector<unsigned>{n}) return log;
  std::vector<std::string> lines = {setLine({n})};
  for (std::string& text : texts(document_.file(F::Consultations), block->members))
    lines.push_back(std::move(text));
  if (lines.size() == 1) lines.push_back(" ");
  insertLines(log, F::Consultations, block->after(), std::move(lines));
  // Every other block that names n loses it; the copy, last, names it alone.
  const TopicParts p = parts(topic);
  std::vector<const SetBlock*> naming = setsNaming(p.blocks, n);
  naming.pop_back();  // the copy
  for (const SetBlock* set : naming) {
    std::vector<unsigned> rest;
    for (unsigned m : set->numbers)
      if (m != n) rest.push_back(m);
    if (rest.empty()) continue;  // a block of n alone stays: the copy comes after it
    document_.replaceText(log, F::Consultations, set->line,
                          withSet(document_.file(F::Consultations).lines[set->line].text, rest));
  }
  return log;
}

Change CourseModel::shareConsultation(unsigned topic, std::size_t position,
                                      std::size_t otherPosition) {
  Change log;
  const unsigned n = questionNumber(topic, position);
  const unsigned m = questionNumber(topic, otherPosition);
  if (n == m || n == 0 || m == 0) return log;
  const SetBlock* target = blockOf(topic, m);
  if (!target || target->names(n)) return log;
  std::vector<unsigned> numbers = target->numbers;
  numbers.push_back(n);
  std::sort(numbers.begin(), numbers.end());
  log.append(leaveSets(F::Consultations, topic, n, false));
  const SetBlock* again = blockOf(topic, m);
  document_.replaceText(log, F::Consultations, again->line,
                        withSet(document_.file(F::Consultations).lines[again->line].text, numbers));
  return log;
}

Change CourseModel::setDiagram(unsigned topic, std::size_t position,
                               std::optional<unsigned> diagram) {
  Change log;
  const unsigned n = questionNumber(topic, position);
  if (diagram && *diagram > kMostDiagram) return log;
  const SetBlock* block = blockOf(topic, n);
  if (!block) {
    if (!diagram) return log;
    std::size_t at = insertionPoint(F::Consultations, topic, n);
    if (at == kNoPlace) at = topicEnd(log, F::Consultations, topic);
    insertLines(log, F::Consultations, at, {setLine({n}), diagramMarker(*diagram)});
    return log;
  }
  if (block->members.empty()) {
    if (diagram) insertLines(log, F::Consultations, block->line + 1, {diagramMarker(*diagram)});
    return log;
  }
  const std::size_t first = block->members.front();
  std::string line = document_.file(F::Consultations).lines[first].text;
  if (isMarkerLine(line)) line.erase(0, kMarkerLength);
  if (diagram)
    line = diagramMarker(*diagram) + line;
  else
    line = contentLine(line);
  document_.replaceText(log, F::Consultations, first, line);
  return log;
}

Change CourseModel::attachPicture(unsigned topic, std::size_t position, const std::string& name,
                                  std::optional<std::string> bytes) {
  Change log;
  unsigned number = 1;
  for (const DiagramLine& entry : index().diagrams) {
    if (!bytes && entry.file == name) {
      log.append(setDiagram(topic, position, entry.number));
      return log;
    }
    number = std::max(number, entry.number + 1u);
  }
  if (number > kMostDiagram) return log;
  std::string file = name;
  if (bytes) {
    std::string extension;
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos)
      for (char c : name.substr(dot + 1))
        extension += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension == "jpeg") extension = "jpg";
    // A name the folder, graph.txt and the pictures still to be written leave free.
    auto taken = [&](const std::string& candidate) {
      // Whatever lies there, a dangling link or a FIFO too, would stop the save.
      struct stat entry {};
      if (::lstat((document_.folder() + candidate).c_str(), &entry) == 0) return true;
      for (const PendingPicture& p : document_.pictures())
        if (p.name == candidate) return true;
      for (const DiagramLine& entry : index().diagrams)
        if (entry.file == candidate) return true;
      return false;
    };
    file = "diagram" + decimal(number) + "." + extension;
    for (unsigned k = 2; taken(file); ++k)
      file = "diagram" + decimal(number) + "-" + decimal(k) + "." + extension;
    document_.addPicture(log, PendingPicture{file, std::move(*bytes)});
  }
  insertLines(log, F::Diagrams, document_.file(F::Diagrams).lines.size(),
              {decimal(number) + " " + file});
  log.append(setDiagram(topic, position, number));
  return log;
}

// ---- Questions ----

Change CourseModel::insertQuestion(unsigned topic, std::size_t position, const NewQuestion& nq) {
  Change log;
  if (!holdsQuestions(topic)) return log;
  const std::vector<QuestionLine> qs = parts(topic).questions;
  if (qs.size() >= kMostQuestions || position > qs.size()) return log;
  unsigned p = 1;
  if (position < qs.size())
    p = std::max(1u, qs[position].number);
  else if (!qs.empty())
    p = qs.back().number + 1;
  for (const QuestionLine& q : qs)
    if (q.number >= p && q.number >= kMostQuestions) return log;  // no number left above
  if (p > kMostQuestions) return log;
  renumber(log, topic, [p](unsigned n) -> std::optional<unsigned> { return n >= p ? n + 1 : n; });
  std::size_t at;
  if (position < qs.size())
    at = qs[position].line;
  else if (!qs.empty())
    at = std::max_element(
             qs.begin(), qs.end(),
             [](const QuestionLine& a, const QuestionLine& b) { return a.line < b.line; })
             ->line +
         1;
  else
    at = topicEnd(log, F::Questions, topic);
  insertLines(log, F::Questions, at, {questionRecord(p, nq.right, nq.text)});

  std::vector<std::string> answers = optionSet(p, nq.options);
  std::size_t answersAt = insertionPoint(F::Answers, topic, p);
  if (answersAt == kNoPlace) answersAt = topicEnd(log, F::Answers, topic);
  insertLines(log, F::Answers, answersAt, std::move(answers));
  if (!nq.consultation.empty()) {
    std::size_t blockAt = insertionPoint(F::Consultations, topic, p);
    if (blockAt == kNoPlace) blockAt = topicEnd(log, F::Consultations, topic);
    insertLines(log, F::Consultations, blockAt, blockLines({p}, nq.consultation));
  }
  shiftRanges(log, topic, 0, p);
  return log;
}

Change CourseModel::deleteQuestion(unsigned topic, std::size_t position) {
  Change log;
  const QuestionLine q = questionLine(topic, position);
  const unsigned p = q.number;
  if (p != 0)
    renumber(log, topic, [p](unsigned n) -> std::optional<unsigned> {
      if (n == p) return std::nullopt;
      return n > p ? n - 1 : n;
    });
  // Renumbering rewrote lines in place; the question's own line is where it was.
  document_.splice(log, F::Questions, q.line, 1, {});
  if (p != 0) shiftRanges(log, topic, p, 0);
  return log;
}

Change CourseModel::moveQuestion(unsigned topic, std::size_t from, std::size_t to) {
  Change log;
  const std::vector<QuestionLine> qs = parts(topic).questions;
  if (from == to || from >= qs.size() || to >= qs.size()) return log;
  const unsigned p = qs[from].number;
  const unsigned q = qs[to].number;
  if (p == 0 || q == 0 || p == q) return log;
  renumber(log, topic, [p, q](unsigned n) -> std::optional<unsigned> {
    if (n == p) return q;
    if (p < q && n > p && n <= q) return n - 1;
    if (p > q && n >= q && n < p) return n + 1;
    return n;
  });
  // The line itself moves beside its new neighbour, so the file reads in order.
  const DocLine moved = document_.file(F::Questions).lines[qs[from].line];
  std::size_t target = qs[to].line;
  document_.splice(log, F::Questions, qs[from].line, 1, {});
  if (target > qs[from].line) --target;
  if (p < q) ++target;  // after the question it passed
  document_.splice(log, F::Questions, target, 0, {moved});
  shiftRanges(log, topic, p, q);
  return log;
}

// ---- Topics ----

Change CourseModel::addTopic(const std::string& title, const NewQuestion& first) {
  Change log;
  const std::size_t count = topicCount();
  if (count >= kLastContentTopic || title.empty()) return log;
  insertLines(log, F::Main, document_.file(F::Main).lines.size(), {title});
  log.append(insertQuestion(static_cast<unsigned>(count + 1), 0, first));
  return log;
}

Change CourseModel::renameTopic(unsigned topic, const std::string& title) {
  Change log;
  if (title.empty() || topic < 1 || topic > topicCount()) return log;
  document_.replaceText(log, F::Main, index().titles[topic - 1].line, title);
  return log;
}

Change CourseModel::moveTopic(unsigned topic, int delta) {
  Change log;
  const long other = static_cast<long>(topic) + delta;
  if (topic < 1 || other < 1 ||
      other > static_cast<long>(std::min<std::size_t>(topicCount(), kLastContentTopic)) ||
      topic > kLastContentTopic)
    return log;
  const auto u = static_cast<unsigned>(other);
  const CourseIndex ix = index();
  const std::string a = ix.titles[topic - 1].text, b = ix.titles[u - 1].text;
  document_.replaceText(log, F::Main, ix.titles[topic - 1].line, b);
  document_.replaceText(log, F::Main, ix.titles[u - 1].line, a);
  for (F file : {F::Questions, F::Answers, F::Consultations, F::Ranges})
    for (const Marker& m : ix.markers[static_cast<std::size_t>(file)]) {
      if (m.topic != topic && m.topic != u) continue;
      document_.replaceText(
          log, file, m.line,
          withMarkerDigit(document_.file(file).lines[m.line].text, m.topic == topic ? u : topic));
    }
  return log;
}

Change CourseModel::deleteTopic(unsigned topic) {
  Change log;
  if (topic < 1 || topic > topicCount()) return log;
  const CourseIndex ix = index();
  if (topic <= kLastContentTopic) {
    for (F file : {F::Questions, F::Answers, F::Consultations, F::Ranges}) {
      const auto& markers = ix.markers[static_cast<std::size_t>(file)];
      std::vector<std::pair<std::size_t, std::size_t>> gone;  // sections [begin, end)
      for (std::size_t k = 0; k < markers.size(); ++k) {
        const Marker& m = markers[k];
        if (m.topic == topic) {
          gone.push_back({m.line, k + 1 < markers.size() ? markers[k + 1].line
                                                         : document_.file(file).lines.size()});
        } else if (m.topic && *m.topic > topic) {
          document_.replaceText(
              log, file, m.line,
              withMarkerDigit(document_.file(file).lines[m.line].text, *m.topic - 1));
        }
      }
      for (auto s = gone.rbegin(); s != gone.rend(); ++s)
        document_.splice(log, file, s->first, s->second - s->first, {});
    }
  }
  document_.splice(log, F::Main, ix.titles[topic - 1].line, 1, {});
  return log;
}

Change CourseModel::appendTopics(const CourseModel& other) {
  Change log;
  const CourseIndex& theirs = other.index();
  for (std::size_t k = 1; k <= theirs.titles.size() && k <= kLastContentTopic; ++k) {
    const std::size_t t = topicCount() + 1;
    if (t > kLastContentTopic) break;
    insertLines(log, F::Main, document_.file(F::Main).lines.size(), {theirs.titles[k - 1].text});
    for (F file : {F::Questions, F::Answers, F::Consultations, F::Ranges}) {
      const TextDoc& doc = other.document().file(file);
      const auto& markers = theirs.markers[static_cast<std::size_t>(file)];
      std::vector<std::string> lines;
      for (std::size_t i = 0; i < markers.size(); ++i) {
        if (markers[i].topic != k) continue;
        lines.push_back(markerLine(static_cast<unsigned>(t)));
        const std::size_t end = i + 1 < markers.size() ? markers[i + 1].line : doc.lines.size();
        for (std::size_t line = markers[i].line + 1; line < end; ++line)
          lines.push_back(doc.lines[line].text);
      }
      if (lines.empty()) continue;
      if (file == F::Ranges && !document_.file(file).present)
        insertLines(log, file, 0, {cp(kRangesHeader)});
      insertLines(log, file, document_.file(file).lines.size(), std::move(lines));
    }
  }
  return log;
}

Change CourseModel::appendTopic(const TopicDraft& draft) {
  Change log;
  const auto t = static_cast<unsigned>(topicCount() + 1);
  if (t > kLastContentTopic || draft.title.empty() || draft.questions.empty() ||
      draft.questions.size() > kMostQuestions)
    return log;
  // Each file gets the topic's section at its end, in one splice.
  std::vector<std::string> questions = {markerLine(t)};
  std::vector<std::string> answers = {markerLine(t)};
  std::vector<std::string> consultations = {markerLine(t)};
  std::vector<unsigned> unexplained;
  for (std::size_t i = 0; i < draft.questions.size(); ++i) {
    const NewQuestion& q = draft.questions[i];
    const auto n = static_cast<unsigned>(i + 1);
    questions.push_back(questionRecord(n, q.right, q.text));
    for (std::string& line : optionSet(n, q.options)) answers.push_back(std::move(line));
    if (q.consultation.empty()) {
      unexplained.push_back(n);
      continue;
    }
    for (std::string& line : blockLines({n}, q.consultation))
      consultations.push_back(std::move(line));
  }
  if (!unexplained.empty() && !draft.otherwise.empty())
    for (std::string& line : blockLines(unexplained, draft.otherwise))
      consultations.push_back(std::move(line));
  insertLines(log, F::Main, document_.file(F::Main).lines.size(), {draft.title});
  insertLines(log, F::Questions, document_.file(F::Questions).lines.size(), std::move(questions));
  insertLines(log, F::Answers, document_.file(F::Answers).lines.size(), std::move(answers));
  if (consultations.size() > 1)
    insertLines(log, F::Consultations, document_.file(F::Consultations).lines.size(),
                std::move(consultations));
  if (!draft.ranges.empty()) {
    std::vector<std::string> ranges;
    if (!document_.file(F::Ranges).present) ranges.push_back(cp(kRangesHeader));
    ranges.push_back(markerLine(t));
    ranges.push_back(countLine(draft.ranges.size()));
    for (const RangeRow& row : draft.ranges) ranges.push_back(rangeLine(row));
    insertLines(log, F::Ranges, document_.file(F::Ranges).lines.size(), std::move(ranges));
  }
  return log;
}

// ---- Ranges and the course's name ----

Change CourseModel::setRanges(unsigned topic, const std::vector<RangeRow>& rows) {
  Change log;
  if (!holdsQuestions(topic)) return log;
  const std::vector<std::size_t> lines = parts(topic).ranges;
  const std::vector<std::size_t> counts = parts(topic).rangeCounts;
  const std::size_t common = std::min(lines.size(), rows.size());
  for (std::size_t i = 0; i < common; ++i) {
    const RangeFields f = rangeFields(document_.file(F::Ranges).lines[lines[i]].text);
    const RangeRow old{f.first, f.last, f.tail.empty() ? std::string() : f.tail.substr(1)};
    if (!(old == rows[i])) document_.replaceText(log, F::Ranges, lines[i], rangeLine(rows[i]));
  }
  if (rows.size() > lines.size()) {
    std::vector<std::string> added;
    for (std::size_t i = lines.size(); i < rows.size(); ++i) added.push_back(rangeLine(rows[i]));
    std::size_t at;
    if (!lines.empty()) {
      at = lines.back() + 1;
    } else if (!counts.empty()) {
      at = counts.back() + 1;
    } else {
      at = topicEnd(log, F::Ranges, topic);
      added.insert(added.begin(), countLine(rows.size()));
    }
    insertLines(log, F::Ranges, at, std::move(added));
  } else {
    for (std::size_t i = lines.size(); i-- > rows.size();)
      document_.splice(log, F::Ranges, lines[i], 1, {});
  }
  // The count line announces how many ranges follow; with one section it is kept true.
  const auto& nowCounts = parts(topic).rangeCounts;
  if (nowCounts.size() == 1) {
    std::string line = document_.file(F::Ranges).lines[nowCounts.front()].text;
    const char digit = static_cast<char>('0' + std::min<std::size_t>(rows.size(), 9));
    if (line.size() >= 3 && line[2] >= '0' && line[2] <= '9' && line[2] != digit) {
      line[2] = digit;
      document_.replaceText(log, F::Ranges, nowCounts.front(), line);
    }
  }
  return log;
}

Change CourseModel::setIdentity(const IdentityFields& fields) {
  Change log;
  const std::string keys[] = {cp("название"), cp("все темы"), cp("заставка"), cp("справка")};
  const std::vector<std::string> values[] = {
      fields.title.empty() ? std::vector<std::string>{} : std::vector<std::string>{fields.title},
      fields.allTopics.empty() ? std::vector<std::string>{}
                               : std::vector<std::string>{fields.allTopics},
      fields.titleLines, fields.helpLines};
  for (std::size_t k = 0; k < 4; ++k) {
    const std::vector<DocLine>& doc = document_.file(F::Identity).lines;
    std::vector<std::size_t> lines;
    for (std::size_t i = 0; i < doc.size(); ++i)
      if (doc[i].text.compare(0, keys[k].size() + 1, keys[k] + "=") == 0) lines.push_back(i);
    // A title or caption given twice takes the last: that one is changed.
    if (k < 2 && lines.size() > 1 && !values[k].empty())
      lines.erase(lines.begin(), lines.end() - 1);
    const std::vector<std::string>& wanted = values[k];
    const std::size_t common = std::min(lines.size(), wanted.size());
    for (std::size_t i = 0; i < common; ++i)
      document_.replaceText(log, F::Identity, lines[i], keys[k] + "=" + wanted[i]);
    if (wanted.size() > lines.size()) {
      std::vector<std::string> added;
      for (std::size_t i = lines.size(); i < wanted.size(); ++i)
        added.push_back(keys[k] + "=" + wanted[i]);
      insertLines(log, F::Identity, lines.empty() ? doc.size() : lines.back() + 1,
                  std::move(added));
    } else {
      for (std::size_t i = lines.size(); i-- > wanted.size();)
        document_.splice(log, F::Identity, lines[i], 1, {});
    }
  }
  return log;
}
