#pragma once
// The course checker: every fault of a course folder and every slip a student
// would see, found with the same rules by which the program loads the course.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A note tells the author something the program handles as meant (a file in UTF-8).
enum class FindingKind { Error, Warning, Note };

struct Finding {
  std::string file;   // bare name, e.g. "otvet.txt"
  unsigned line = 0;  // 1-based; 0 when the finding concerns the whole file
  FindingKind kind = FindingKind::Error;
  std::string what;            // code page 1251, a short Russian sentence
  std::size_t hidden = 0;      // > 0: stands for that many more findings like the one at line
  std::string character = {};  // UTF-8: a character code page 1251 lacks, "«?»" in what
};

// After this many findings of one kind in one file the rest are only counted.
inline constexpr std::size_t kShownFindingsOfAKind = 100;

struct CourseCheck {
  bool readable = true;           // false when the folder itself cannot be read
  std::vector<Finding> findings;  // by file, then by line
  unsigned topics = 0;            // the titles of main.txt
  std::size_t questions = 0;      // the questions of all topics as the program loads them
  // Each counts the findings left out too.
  std::size_t errors() const;
  std::size_t warnings() const;
  std::size_t notes() const;
};

// Checks the course files in folder (a path ending in '/'). graph.txt and its
// pictures are looked up in folder, then in diagramFolder (empty: the current
// directory), as the program started with the course folder looks them up.
CourseCheck checkCourse(const std::string& folder, const std::string& diagramFolder);

// "file:line: ошибка: what", without ":line" for a finding about a whole file.
std::string formatFinding(const Finding& finding);
// The same in UTF-8, with the character a finding names in place of its "?".
std::string formatFindingUtf8(const Finding& finding);
// "Курс: 3 темы, 106 вопросов; ошибок 2, предупреждений 2." (", замечаний 1" before
// the stop when there are notes).
std::string summaryLine(const CourseCheck& check);
