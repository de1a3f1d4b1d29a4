#pragma once
// The course's own name from the optional kurs.txt: the title, the caption of
// the all-topics entry, the title screen's lines and the help text. A course
// without the file shows the sample course's names.
#include <optional>
#include <string>
#include <vector>

#include "platform/data_error.h"
#include "platform/expected.h"

constexpr const char* kCourseIdentityFile = "kurs.txt";
constexpr std::size_t kMaxTitleScreenLines = 4;
constexpr std::size_t kMaxAuthorLines = 8;

// The all-topics caption of a course without kurs.txt (code page 1251).
std::string sampleAllTopicsCaption();

struct CourseIdentity {
  // All code page 1251; an absent or empty part keeps the sample's text.
  std::optional<std::string> title;      // название=
  std::optional<std::string> allTopics;  // все темы=
  std::vector<std::string> titleLines;   // заставка=, at most kMaxTitleScreenLines
  std::vector<std::string> helpLines;    // справка=
  // The title screen's fixed lines: its two headings, the authors' lines, the place and year.
  std::optional<std::string> organisation;  // организация=
  std::optional<std::string> department;    // кафедра=
  std::vector<std::string> authorLines;     // авторы=, at most kMaxAuthorLines
  std::optional<std::string> place;         // место=
  std::optional<std::string> year;          // год=

  std::string allTopicsCaption() const { return allTopics.value_or(sampleAllTopicsCaption()); }
};

// A line the reader skipped or overrode, for the checker (code page 1251).
struct IdentityRemark {
  unsigned line = 0;  // 1-based
  std::string what;
};

// Reads the lines of kurs.txt: "key=value", the key before the first '=', the
// value after it as written. Empty lines are skipped; a line without '=', an
// unknown key, a title screen line beyond the fourth, an authors' line beyond
// the eighth and an empty value of a one-line key are skipped with a remark; a
// repeated key of one line takes the last value, with a remark.
CourseIdentity parseCourseIdentity(const std::vector<std::string>& lines,
                                   std::vector<IdentityRemark>* remarks = nullptr);

// kurs.txt in folder (a path ending in '/', or empty): the sample's identity
// when there is no such file, an error when it cannot be read as a course file.
Expected<CourseIdentity, DataError> readCourseIdentity(const std::string& folder);
