#pragma once
// What the teacher reads off the records: how many tests of each mode, the
// grades per mode and group, how each question and each of its options fared,
// and where each candidate stands. The records are taken one at a time and
// only figures and the texts the summaries name are kept.
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "exam/start_mark.h"
#include "results/log_reader.h"

// Texts that repeat from record to record (groups, topics, names) kept once.
class StringPool {
 public:
  std::uint32_t id(std::string_view text);
  const std::string& text(std::uint32_t id) const { return texts_[id]; }

 private:
  std::deque<std::string> texts_;
  std::unordered_map<std::string_view, std::uint32_t> ids_;
};

// A typed text (code, name, group) as candidates are matched by it: without
// the blanks around it and in lower case, so that "М-121 " and "м-121" are one
// group. Code page 1251.
std::string matchKey(std::string_view text);
// The same appended to `into`, for keys made of several texts.
void appendMatchKey(std::string& into, std::string_view text);

// "05.03.2024" and "07:08:09" sort as "20240305 07:08:09"; other date formats as they are.
std::string dateKey(std::string_view date, std::string_view time);

struct GradeChart {
  bool exam = true;
  std::string group;        // code page 1251
  std::vector<int> counts;  // per grade of gradeScale(exam)
  int total = 0;
};

// A question as the course has it, for the questions of the course given by --course.
struct CourseQuestion {
  std::string topic;         // the topic's title, code page 1251
  unsigned number = 0;       // within its topic, from 1
  std::string textStart;     // the start of its text
  unsigned options = 0;      // options shown; 0 when unknown
  unsigned rightOption = 0;  // the position (from 1) of the right option; 0 when unknown
};

// Option digits counted one by one; others (0, or above 9) together.
constexpr unsigned kOptionDigits = 9;
// Answers to a question before its facility is worth a flag.
constexpr int kMinAnswersToJudge = 5;
// Answers to a question before an option chosen by no one is worth a flag.
constexpr int kMinAnswersForUnusedOption = 20;

struct QuestionStats {
  std::string topic;  // the topic caption, code page 1251
  unsigned question = 0;
  int asked = 0, right = 0;
  double facility = 0;                   // right / asked
  std::optional<double> discrimination;  // upper 27 % minus lower 27 %; none below 10 records
  std::array<int, kOptionDigits + 1> chosen{};  // answers choosing each option digit ([0] unused)
  std::array<int, kOptionDigits + 1> chosenRight{};  // of them, marked right
  int chosenOther = 0;
  std::optional<CourseQuestion> course;

  // A question most fail, or one the weaker candidates answer better, once
  // enough answers are in to tell.
  bool worthALook() const {
    return asked >= kMinAnswersToJudge &&
           (facility < 0.3 || (discrimination && *discrimination < 0));
  }
  // The option digits marked right in the records, or the course's when no one chose it.
  std::vector<unsigned> rightOptions() const;
  // Options no one chose in at least kMinAnswersForUnusedOption answers: up
  // to the course's option count, or else the highest digit anyone chose.
  std::vector<unsigned> neverChosen() const;
  // Wrong options chosen more often than the right one, once enough answers are in.
  std::vector<unsigned> chosenOverRight() const;
  bool optionsWorthALook() const { return !neverChosen().empty() || !chosenOverRight().empty(); }
};

// "2 3" for {2, 3}; empty for none.
std::string digits(const std::vector<unsigned>& options);

// One row of the page's record table, its texts in the summary's pool.
struct RecordRow {
  std::uint32_t date, time, name, code, group, topic;
  int seconds, answers, errors, grade;
  unsigned rangeFirst, rangeLast;
  bool exam;
  std::size_t order;  // place among all records read
};

struct CandidateStats {
  std::uint32_t code, name, group;           // in the summary's pool, as first written
  int tests = 0;                             // counted records
  std::uint32_t lastDate = 0, lastTime = 0;  // of the latest test
  bool lastExam = true;
  int lastGrade = 0;
  int unfinished = 0;  // tests begun and never finished
  bool passed() const {
    return tests > 0 && lastGrade + 1 < static_cast<int>(gradeScale(lastExam).size());
  }
};

// A test begun and never finished: its start mark, and where it stands.
struct UnfinishedTest {
  StartMark mark;
  std::string seat;     // the seat's host name, UTF-8
  std::string journal;  // the start journal's path as named (UTF-8); empty for the server's
  std::size_t line = 0;
  std::string account, address, serverTime;  // the records server's, UTF-8
};

// A record that cannot be true, for the page: where it stands and why.
struct ImpossibleRecord {
  std::string log;       // as named (UTF-8), or where on the records server
  std::size_t line = 0;  // 0 for the server's
  std::string reason;    // code page 1251
  ReportValues values;   // without its listing
};

struct Summary {
  int exams = 0, passFail = 0;
  std::vector<GradeChart> charts;          // exams first, then by group
  std::vector<QuestionStats> questions;    // by topic, then question number
  std::vector<CandidateStats> candidates;  // by group, name, code
  std::vector<RecordRow> latest;           // the latest records by date, in log order
  // Tests begun and not finished (the latest few, newest first) and how many in all.
  std::vector<UnfinishedTest> unfinished;
  std::size_t unfinishedCount = 0;
  // Start marks read (0: no journal beside the logs, so unfinished tests cannot be seen).
  std::size_t startMarks = 0;
  // Records not counted because they cannot be true (the first few) and how many in all.
  std::vector<ImpossibleRecord> impossible;
  std::size_t impossibleCount = 0;
  StringPool strings;
  int records() const { return exams + passFail; }
};

// Records asking a question before its discrimination means something.
constexpr int kMinRecordsForDiscrimination = 10;
// Records the page's table can show at most.
constexpr std::size_t kLatestRecordsKept = 5000;

class CourseIndex;

class Summariser {
 public:
  Summariser();
  ~Summariser();
  Summariser(const Summariser&) = delete;
  Summariser& operator=(const Summariser&) = delete;

  void add(const LogRecord& record);
  // A test of that candidate begun and never finished.
  void addUnfinished(const StartMark& mark);
  // The questions are named from the course when one is given.
  Summary finish(const CourseIndex* course = nullptr);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

Summary summarise(const std::vector<LogRecord>& records);
