// The course editor's document on any seven files (main.txt, vopros.txt,
// otvet.txt, konsult.txt, diapazon.txt, graph.txt, kurs.txt): whatever the
// program can read is kept byte for byte, and every kind of edit on it is
// taken back exactly, without a fault on the way.
#include <functional>
#include <string>
#include <vector>

#include "author/course_model.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> parts = splitFiles(data, size);
  parts.resize(kCourseFileCount);
  std::array<std::optional<std::string>, kCourseFileCount> files;
  for (std::size_t i = 0; i < kCourseFileCount; ++i)
    if (!parts[i].empty()) files[i] = parts[i];
  auto doc = CourseDocument::fromBytes("/nonexistent/", files);
  if (!doc) return 0;
  for (std::size_t i = 0; i < kCourseFileCount; ++i)
    if (files[i]) FUZZ_CHECK(doc->render(kCourseFiles[i]) == *files[i]);

  CourseModel model(std::move(*doc));
  const CourseDocument original = model.document();
  const unsigned topics = static_cast<unsigned>(std::min<std::size_t>(model.topicCount(), 9));
  using Edit = std::function<Change(CourseModel&, unsigned)>;
  const Edit perQuestion[] = {
      [](CourseModel& m, unsigned t) { return m.insertQuestion(t, 0, CourseModel::newQuestion()); },
      [](CourseModel& m, unsigned t) { return m.deleteQuestion(t, 0); },
      [](CourseModel& m, unsigned t) { return m.moveQuestion(t, 0, m.questionCount(t) - 1); },
      [](CourseModel& m, unsigned t) { return m.setQuestionText(t, 0, "x"); },
      [](CourseModel& m, unsigned t) { return m.addOption(t, 0, "x"); },
      [](CourseModel& m, unsigned t) { return m.ownOptions(t, 0); },
      [](CourseModel& m, unsigned t) { return m.shareOptions(t, 0, m.questionCount(t) - 1); },
      [](CourseModel& m, unsigned t) {
        return m.setConsultation(t, 0, {"a", "", "+b"});
      },
      [](CourseModel& m, unsigned t) { return m.ownConsultation(t, 0); },
      [](CourseModel& m, unsigned t) { return m.shareConsultation(t, 0, m.questionCount(t) - 1); },
      [](CourseModel& m, unsigned t) { return m.attachPicture(t, 0, "p.png", "x"); },
      [](CourseModel& m, unsigned t) { return m.setDiagram(t, 0, std::nullopt); },
  };
  const Edit perTopic[] = {
      [](CourseModel& m, unsigned t) {
        return m.setRanges(t, {{"1", "1", "a"}});
      },
      [](CourseModel& m, unsigned t) { return m.moveTopic(t, 1); },
      [](CourseModel& m, unsigned t) { return m.deleteTopic(t); },
      [](CourseModel& m, unsigned) { return m.addTopic("t", CourseModel::newQuestion()); },
      [](CourseModel& m, unsigned) {
        return m.setIdentity({"a", "b", {"c"}, {}});
      },
  };
  for (unsigned t = 1; t <= topics; ++t) {
    std::vector<const Edit*> edits;
    for (const Edit& e : perTopic) edits.push_back(&e);
    if (model.questionCount(t) > 0)
      for (const Edit& e : perQuestion) edits.push_back(&e);
    for (const Edit* edit : edits) {
      const Change change = (*edit)(model, t);
      if (t <= model.topicCount() && model.questionCount(t) > 0) (void)model.question(t, 0);
      model.undo(change);
      FUZZ_CHECK(model.document().sameContent(original));
    }
  }
  return 0;
}
