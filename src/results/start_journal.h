#pragma once
// Start marks against records. Each test leaves a start mark in the start
// journal beside its log when its first question is drawn; its record follows
// when it ends, at most the time limit later. A mark that no record answers
// is a test begun and never finished: the program was ended during it, or its
// record was lost.
//
// The journals of a school grow like the logs, so a mark is kept as one
// 64-bit key (its candidate, mode, topic and day hashed, and its second of the
// day) and two bits: the journals are read once to collect the keys and once
// more to name the marks no record answered.
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "exam/report.h"
#include "exam/start_mark.h"
#include "results/log_reader.h"

// The time between the mark and the record's writing that the test's own
// limit does not cover: registration is done, but the seat may be slow.
constexpr int kMarkSlackSeconds = 60;

// Seconds since 1 January 1970 (local time, as the seat's clock wrote it) of
// a mark's or record's date and time; nothing when they cannot be read.
std::optional<long long> momentOf(std::string_view date, std::string_view time);

// A start journal read line by line: each mark with its line number, and the
// number of each line that is not a mark the program writes (a date or time
// that cannot be read included). Blank lines are passed over. Returns 0, or
// the errno of a failed read.
int readJournal(const ByteSource& source,
                const std::function<void(const StartMark&, std::size_t line)>& onMark,
                const std::function<void(std::size_t line)>& onBadLine);

class StartMarks {
 public:
  // A mark of the first reading (one readJournal accepted).
  void add(const StartMark& mark);
  // After the first reading, before the records.
  void sort();
  // A counted record answers one unanswered mark of its candidate, mode and
  // topic that began at most the time limit and the slack before it: the one
  // nearest to when the record's own time used says its test began. So a test
  // ended and begun again is seen even when the second one is finished within
  // the first one's time.
  void answer(const LogRecord& record);
  // The second reading, mark by mark in the order of the first: whether this
  // mark has been answered.
  bool answered(const StartMark& mark);
  std::size_t size() const { return keys_.size(); }

 private:
  // The candidate, mode and topic of a test on one day, in a key's high bits.
  std::uint64_t series(bool exam, std::string_view topic, std::string_view code,
                       std::string_view name, std::string_view group, long day);

  std::vector<std::uint64_t> keys_;
  std::vector<bool> answered_, seen_;
  std::string text_;  // reused by series()
};
