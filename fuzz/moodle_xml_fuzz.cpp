// An import reader of vorsanit-convert on any bytes: it never crashes, every
// question it keeps fits a course, and the course files made of them load.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "convert/course_folder.h"
#include "convert/formats.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ConvertResult result = readMoodleXml(bytes, "input", "input");
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
