#pragma once
// What every import reader of vorsanit-convert must give on any bytes: every
// question it keeps fits a course, and the course files made of them load.
#include <vector>

#include "convert/course_folder.h"
#include "fuzz_input.h"

inline int checkImport(const ConvertResult& result) {
  for (const ExchangeTopic& topic : result.course.topics)
    for (const ExchangeQuestion& q : topic.questions) {
      FUZZ_CHECK(!q.text.empty());
      FUZZ_CHECK(q.options.size() >= 2 && q.options.size() <= 9);
      FUZZ_CHECK(q.right < q.options.size());
    }
  std::vector<ConvertNote> notes;
  const CourseFiles files = renderCourse(result.course, "input", notes);
  FUZZ_CHECK(files.questionCount <= result.course.questionCount());
  return 0;
}
