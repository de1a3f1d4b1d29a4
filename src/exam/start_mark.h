#pragma once
// The start mark: one line in the start journal beside a log (ekzam.start,
// zachet.start), written when a test draws its first question, so that a test
// whose record never arrives still shows that it was begun.
//
// A line is ten fields in code page 1251, separated by tabs and ended by CR LF:
//   date  time  mode  topic  range  code  name  group  host  id
//   05.03.2024  07:08:09  Экзамен  Тема 2  с 1 по 40  007  Иванов И.И.  ЭТ-21  seat-04  <uuid>
// The mode is "Экзамен" or "Зачет", the range as the record writes it ("с 1 по 40"),
// the id a UUID made for the test. Control characters in a value (tabs among
// them) become blanks, so a value never breaks the line.
#include <optional>
#include <string>
#include <string_view>

struct StartMark {
  std::string date, time;  // "05.03.2024", "07:08:09"
  bool exam = true;
  std::string topic, range, code, name, group;
  std::string host;  // the seat's host name
  std::string id;    // the test's UUID
  bool operator==(const StartMark&) const = default;
};

// The journal of a mode, beside its log.
inline const char* startJournalName(bool exam) { return exam ? "ekzam.start" : "zachet.start"; }

// The line, CR LF included.
std::string formatStartMark(const StartMark& mark);

// A line as formatStartMark writes it (its line end may be missing or a bare LF);
// nothing when it has another number of fields or an unknown mode.
std::optional<StartMark> parseStartMark(std::string_view line);
