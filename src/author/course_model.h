#pragma once
// The course as an author sees it, over the lines of a CourseDocument: topics,
// their questions, option sets, consultations, ranges, diagrams and the course's
// name. Every edit changes only the lines it concerns, plus the numbers that
// must follow it, and returns the Change for the undo history. Texts are code
// page 1251; positions of questions are 0-based places in a topic's list.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "author/course_document.h"

inline constexpr unsigned kLastContentTopic = 9;  // a topic marker carries one digit
inline constexpr unsigned kMostQuestions = 999;   // a question number has three digits
inline constexpr unsigned kMostDiagram = 9999;    // a diagram marker carries four digits

// A set line of otvet.txt or konsult.txt with the lines it governs.
struct SetBlock {
  std::size_t line = 0;
  bool readable = false;          // the set reads as "_1_2_"; an unreadable one is never rewritten
  std::vector<unsigned> numbers;  // the questions it names
  std::vector<std::size_t> members;  // answer lines, or the block's content lines
  std::size_t after() const { return (members.empty() ? line : members.back()) + 1; }
  bool names(unsigned n) const;
};

struct QuestionLine {
  std::size_t line = 0;
  unsigned number = 0;  // 0 when the number is not three digits
};

struct TopicParts {
  std::vector<QuestionLine> questions;   // by number; equal numbers in file order
  std::vector<SetBlock> answerSets;      // in the order the program reads them
  std::vector<SetBlock> blocks;          // consultation blocks
  std::vector<std::size_t> ranges;       // range lines of diapazon.txt
  std::vector<std::size_t> rangeCounts;  // its count lines ("**3")
};

struct Marker {
  std::size_t line = 0;
  std::optional<unsigned> topic;  // nullopt: position 4 is no digit
};

struct DiagramLine {
  std::size_t line = 0;
  unsigned number = 0;
  std::string file;  // code page 1251, as written
};

// Where each part of the course stands in its file. Rebuilt from the lines of a
// file whenever they changed.
struct CourseIndex {
  struct Title {
    std::size_t line = 0;
    std::string text;
  };
  std::vector<Title> titles;  // main.txt's non-empty lines: topic t is titles[t - 1]
  std::array<TopicParts, kLastContentTopic + 1> topics;  // by marker digit
  std::array<std::vector<Marker>, kCourseFileCount> markers;
  std::vector<DiagramLine> diagrams;                        // graph.txt entries the program reads
  std::array<std::uint64_t, kCourseFileCount> revisions{};  // of the lines indexed
  bool built = false;
};

// One option as the editor shows it.
struct OptionView {
  std::size_t line = 0;  // in otvet.txt
  int digit = -1;        // -1 when position 2 is no digit
  std::string text;      // from position 4
};

struct QuestionView {
  std::size_t line = 0;  // in vopros.txt
  unsigned number = 0;
  std::string text;                         // from position 10
  int rightDigit = -1;                      // position 6, -1 when no digit
  std::vector<OptionView> options;          // of every set that names it, in file order
  std::vector<unsigned> optionsSharedWith;  // other questions of those sets
  std::vector<std::string> consultation;    // the block's lines, the first without its marker
  bool hasConsultation = false;
  std::vector<unsigned> consultationSharedWith;
  std::optional<unsigned> diagram;         // the block's marker
  std::optional<std::string> pictureFile;  // graph.txt's file for it (code page 1251)
};

struct RangeRow {
  std::string first;  // as written
  std::string last;
  std::string caption;
  friend bool operator==(const RangeRow&, const RangeRow&) = default;
};

struct IdentityFields {
  std::string title;                    // название=
  std::string allTopics;                // все темы=
  std::vector<std::string> titleLines;  // заставка=
  std::vector<std::string> helpLines;   // справка=
  friend bool operator==(const IdentityFields&, const IdentityFields&) = default;
};

// A question to add: its texts, its options (digits 1, 2, ...) and right one.
struct NewQuestion {
  std::string text;
  std::vector<std::string> options;
  unsigned right = 1;                     // the option digit
  std::vector<std::string> consultation;  // none: no block of its own
};

// A whole topic appended at once, as a converter makes one: its questions in
// order, each with its own set of options and, when it has one, its own
// consultation; the questions without one share the block `otherwise`.
struct TopicDraft {
  std::string title;
  std::vector<NewQuestion> questions;
  std::vector<std::string> otherwise;  // empty: no block for them
  std::vector<RangeRow> ranges;
};

class CourseModel {
 public:
  CourseModel() = default;
  explicit CourseModel(CourseDocument document);

  const CourseDocument& document() const { return document_; }
  CourseDocument& document() { return document_; }
  const CourseIndex& index() const;

  // ---- What the course holds ----
  std::size_t topicCount() const { return index().titles.size(); }
  const std::string& topicTitle(unsigned topic) const { return index().titles[topic - 1].text; }
  // Whether a topic can carry questions: the first nine only.
  static bool holdsQuestions(unsigned topic) { return topic >= 1 && topic <= kLastContentTopic; }
  std::size_t questionCount(unsigned topic) const;
  unsigned questionNumber(unsigned topic, std::size_t position) const;
  // The question text alone, for lists.
  std::string questionText(unsigned topic, std::size_t position) const;
  QuestionView question(unsigned topic, std::size_t position) const;
  std::vector<RangeRow> ranges(unsigned topic) const;
  IdentityFields identity() const;
  // The file graph.txt maps a diagram to (code page 1251).
  std::optional<std::string> pictureOf(unsigned diagram) const;
  // The position of the question whose line is line of vopros.txt.
  std::optional<std::pair<unsigned, std::size_t>> questionAtLine(std::size_t line) const;
  // The topic and the first question a line of a sectioned file belongs to.
  std::optional<std::pair<unsigned, std::optional<std::size_t>>> placeOfLine(
      CourseFileId file, std::size_t line) const;

  // ---- Edits; each returns what it changed (empty when nothing) ----
  Change setQuestionText(unsigned topic, std::size_t position, const std::string& text);
  Change setRightAnswer(unsigned topic, std::size_t position, unsigned digit);
  Change setOptionText(std::size_t optionLine, const std::string& text);
  // A new option after the question's last one, with the next free digit.
  Change addOption(unsigned topic, std::size_t position, const std::string& text);
  Change removeOption(unsigned topic, std::size_t position, std::size_t optionLine);
  // Swaps an option with its neighbour in the same set (delta -1 or +1).
  Change moveOption(unsigned topic, std::size_t position, std::size_t optionLine, int delta);
  // The question leaves the sets it shares and gets a set of its own with a copy of its options.
  Change ownOptions(unsigned topic, std::size_t position);
  // The question leaves its own sets and joins the set of question other.
  Change shareOptions(unsigned topic, std::size_t position, std::size_t otherPosition);
  Change setConsultation(unsigned topic, std::size_t position,
                         const std::vector<std::string>& lines);
  Change ownConsultation(unsigned topic, std::size_t position);
  Change shareConsultation(unsigned topic, std::size_t position, std::size_t otherPosition);
  // Names a diagram in the question's consultation (nullopt: none).
  Change setDiagram(unsigned topic, std::size_t position, std::optional<unsigned> diagram);
  // Adds the picture to the course under a free name, maps a new diagram to it in
  // graph.txt and names that diagram in the question's consultation. Without
  // bytes the picture is the file name already in the course folder, and a
  // diagram graph.txt maps to it already is used again.
  Change attachPicture(unsigned topic, std::size_t position, const std::string& name,
                       std::optional<std::string> bytes);

  // A new question at position (count: at the end); later ones move one number on.
  Change insertQuestion(unsigned topic, std::size_t position, const NewQuestion& question);
  Change deleteQuestion(unsigned topic, std::size_t position);
  Change moveQuestion(unsigned topic, std::size_t from, std::size_t to);

  // A new topic at the end, with one question.
  Change addTopic(const std::string& title, const NewQuestion& first);
  Change renameTopic(unsigned topic, const std::string& title);
  Change moveTopic(unsigned topic, int delta);
  Change deleteTopic(unsigned topic);
  // The topics of another course appended as new topics (an import).
  Change appendTopics(const CourseModel& other);
  // A new topic after the others, written in one go (nothing when nine are there).
  Change appendTopic(const TopicDraft& draft);

  Change setRanges(unsigned topic, const std::vector<RangeRow>& rows);
  Change setIdentity(const IdentityFields& fields);

  // Undo and redo of a change returned above.
  void undo(const Change& change) { document_.revert(change); }
  void redo(const Change& change) { document_.apply(change); }

  // The default texts of a new question (code page 1251).
  static NewQuestion newQuestion();

 private:
  const TopicParts& parts(unsigned topic) const { return index().topics[topic]; }
  const QuestionLine& questionLine(unsigned topic, std::size_t position) const {
    return parts(topic).questions[position];
  }
  // Applies number → new number (nullopt: the question is gone) to the topic's
  // question lines, sets and blocks.
  template <typename Map>
  void renumber(Change& log, unsigned topic, Map map);
  void shiftRanges(Change& log, unsigned topic, unsigned removed, unsigned inserted);
  void deleteSets(Change& log, CourseFileId file, std::vector<const SetBlock*> sets);
  std::size_t insertionPoint(CourseFileId file, unsigned topic, unsigned before);
  std::size_t sectionEnd(CourseFileId file, std::size_t marker) const;
  std::size_t topicEnd(Change& log, CourseFileId file, unsigned topic);
  void insertLines(Change& log, CourseFileId file, std::size_t at, std::vector<std::string> lines);
  std::vector<const SetBlock*> setsNaming(const std::vector<SetBlock>& sets, unsigned n) const;
  const SetBlock* blockOf(unsigned topic, unsigned n) const;
  Change leaveSets(CourseFileId file, unsigned topic, unsigned n, bool keepLast);

  CourseDocument document_;
  mutable CourseIndex index_;
};

// A set text "_1_2_5_" for numbers, in the order given.
std::string setText(const std::vector<unsigned>& numbers);
// "1–6", "1, 3, 5–7": the numbers for a label.
std::string numberList(const std::vector<unsigned>& numbers);
