#pragma once
// The course folder on either side of a conversion: read through the program's
// own loader, and written as the five course files in code page 1251, CR LF.
#include <optional>
#include <string>

#include "convert/question_set.h"

// Reads the course in folder (ending in '/'); a question the formats cannot
// carry is left out with a note naming vopros.txt and its line.
ConvertResult readCourseFolder(const std::string& folder);

// Puts every question's options in an order of its own, so that the right one is
// not always where the platform's author wrote it (first, as often as not: the
// platform shuffles them itself). The order follows from the question's text
// alone, so a second conversion of the same bank gives the same course: the
// text's 64-bit FNV-1a hash seeds SplitMix64, whose numbers drive a Fisher-Yates
// shuffle from the last option down (option i changes place with option
// next % (i + 1)).
void shuffleOptions(ExchangeCourse& course);

// The bytes of the course files made from course. A question that does not fit
// (a tenth topic, a character code page 1251 lacks...) is left out with a note
// naming file, the input file, and the question's line there. kurs.txt names the
// course by course.name (empty: no kurs.txt).
struct CourseFiles {
  std::string main, questions, answers, consultations, ranges;
  std::size_t questionCount = 0;
  std::string identity;  // kurs.txt
};
CourseFiles renderCourse(const ExchangeCourse& course, const std::string& file,
                         std::vector<ConvertNote>& notes);

// Writes the files into folder, creating it when it is missing. An existing
// folder that is not empty is refused unless force; files are created with
// O_EXCL|O_NOFOLLOW (with force: written beside and renamed over). Returns the
// reason of a failure (UTF-8), or nullopt.
std::optional<std::string> writeCourseFolder(const std::string& folder, const CourseFiles& files,
                                             bool force);

// Writes one file: refused when it exists, unless force (then replaced whole).
std::optional<std::string> writeNewFile(const std::string& path, const std::string& bytes,
                                        bool force);
