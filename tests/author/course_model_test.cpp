// The course model's edits, judged by the program's own loader: after a
// question is added, removed or moved, every other question keeps its options,
// consultation and diagram and the ranges follow; and every kind of edit is
// taken back exactly.
#include "author/course_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "bank/consultation.h"
#include "bank/course_files.h"
#include "bank/question_bank.h"
#include "bank/range_file.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

using Lines = std::vector<std::string>;

std::string joined(const Lines& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += cp(line) + "\r\n";
  return bytes;
}

// Topic 1: Q1 and Q2 share options and Q2, Q3 a consultation; diagrams on Q1 and Q4.
CourseModel course() {
  std::array<std::optional<std::string>, kCourseFileCount> files;
  files[0] = joined({"Т1", "Т2"});
  files[1] = joined(
      {"+++1", "_001_1_1_Q1", "_002_2_1_Q2", "_003_1_1_Q3", "_004_2_1_Q4", "+++2", "_001_1_1_R1"});
  files[2] = joined({"+++1", "**_1_2_", "_1_A", "_2_B", "**_3_", "_1_C", "_2_D", "**_4_", "_1_E",
                     "_2_F", "+++2", "**_1_", "_1_G"});
  files[3] = joined({"+++1", "**_1_", "$diagram_0001$K1", "**_2_3_", "K23", "**_4_",
                     "$diagram_0002$K4", "+++2", "**_1_", "L"});
  files[4] = joined({"+++1", "**3", "_1_2_a", "_3_4_b", "_1_4_c", "+++2", "**1", "_1_1_d"});
  files[5] = joined({"1 d1.jpg", "2 d2.jpg"});
  return CourseModel(*CourseDocument::fromBytes("/nonexistent/", files));
}

// What a student meets with each question of a topic, by its text, as the program loads it.
std::map<std::string, std::string> profiles(const CourseModel& model, unsigned topic) {
  const CourseDocument& doc = model.document();
  const BankLoad load =
      loadBankFromTexts({doc.render(CourseFileId::Questions), doc.render(CourseFileId::Answers),
                         doc.render(CourseFileId::Consultations)},
                        topic, static_cast<unsigned>(model.topicCount() + 1));
  EXPECT_FALSE(load.error) << describe(*load.error);
  std::map<std::string, std::string> found;
  const QuestionBank& bank = load.bank;
  for (std::size_t i = 0; i < bank.QuestionTexts.size(); ++i) {
    const auto n = static_cast<unsigned>(i + 1);
    std::string profile = std::to_string(bank.QuestionFlags[i]) + ":";
    for (std::size_t j = 0; j < bank.AnswerTexts.size(); ++j)
      if (setContains(bank.AnswerQuestionSets[j], n)) profile += bank.AnswerTexts[j] + " ";
    const Consultation c = consultationOf(bank, n);
    for (const std::string& line : c.lines) profile += "/" + line;
    profile += "/" + c.diagramName.value_or("");
    found[bank.QuestionTexts[i]] = profile;
  }
  return found;
}

std::string order(const CourseModel& model, unsigned topic) {
  std::string texts;
  for (std::size_t p = 0; p < model.questionCount(topic); ++p) {
    EXPECT_EQ(model.questionNumber(topic, p), p + 1);
    texts += (texts.empty() ? "" : ",") + model.questionText(topic, p);
  }
  return texts;
}

std::string ranges(const CourseModel& model, unsigned topic) {
  std::string text;
  for (const RangeRow& row : model.ranges(topic))
    text += (text.empty() ? "" : ",") + row.first + "-" + row.last;
  return text;
}

TEST(CourseModel, RenumberingKeepsEveryQuestionWhatItHad) {
  using Edit = std::function<Change(CourseModel&)>;
  const NewQuestion fresh{"New", {"x", "y"}, 2, {}};
  const struct {
    const char* name;
    Edit edit;
    const char* order;
    const char* ranges;
  } cases[] = {
      {"insert at the start", [&](CourseModel& m) { return m.insertQuestion(1, 0, fresh); },
       "New,Q1,Q2,Q3,Q4", "1-3,4-5,1-5"},
      {"insert in the middle", [&](CourseModel& m) { return m.insertQuestion(1, 2, fresh); },
       "Q1,Q2,New,Q3,Q4", "1-3,4-5,1-5"},
      {"insert at the end", [&](CourseModel& m) { return m.insertQuestion(1, 4, fresh); },
       "Q1,Q2,Q3,Q4,New", "1-2,3-5,1-5"},
      {"delete the first", [](CourseModel& m) { return m.deleteQuestion(1, 0); }, "Q2,Q3,Q4",
       "1-1,2-3,1-3"},
      {"delete a middle one", [](CourseModel& m) { return m.deleteQuestion(1, 2); }, "Q1,Q2,Q4",
       "1-2,3-3,1-3"},
      {"delete the last", [](CourseModel& m) { return m.deleteQuestion(1, 3); }, "Q1,Q2,Q3",
       "1-2,3-3,1-3"},
      {"move the first to the end", [](CourseModel& m) { return m.moveQuestion(1, 0, 3); },
       "Q2,Q3,Q4,Q1", "1-1,2-4,1-4"},
      {"move a middle one up", [](CourseModel& m) { return m.moveQuestion(1, 2, 1); },
       "Q1,Q3,Q2,Q4", "1-3,4-4,1-4"},
      {"move the last to the start", [](CourseModel& m) { return m.moveQuestion(1, 3, 0); },
       "Q4,Q1,Q2,Q3", "1-3,4-4,1-4"},
  };
  const CourseModel original = course();
  const auto before = profiles(original, 1);
  const auto otherTopic = profiles(original, 2);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CourseModel model = course();
    EXPECT_FALSE(c.edit(model).empty());
    EXPECT_EQ(order(model, 1), c.order);
    EXPECT_EQ(ranges(model, 1), c.ranges);
    auto after = profiles(model, 1);
    if (after.count("New")) {
      EXPECT_EQ(after["New"].substr(0, 12), "2:_1_x _2_y ");  // options of its own
      after.erase("New");
    }
    for (const auto& [text, profile] : after) EXPECT_EQ(profile, before.at(text)) << text;
    EXPECT_EQ(profiles(model, 2), otherTopic);
    EXPECT_EQ(ranges(model, 2), "1-1");
  }
}

TEST(CourseModel, UndoRestoresEveryKindOfChangeExactly) {
  using Edit = std::function<Change(CourseModel&)>;
  using Check = std::function<void(const CourseModel&)>;
  const auto option = [](CourseModel& m, std::size_t q, std::size_t k) {
    return m.question(1, q).options[k].line;
  };
  const struct {
    const char* name;
    Edit edit;
    Check check;
  } cases[] = {
      {"question text", [](CourseModel& m) { return m.setQuestionText(1, 1, "Z"); },
       [](const CourseModel& m) { EXPECT_EQ(m.questionText(1, 1), "Z"); }},
      {"right answer", [](CourseModel& m) { return m.setRightAnswer(1, 1, 1); },
       [](const CourseModel& m) { EXPECT_EQ(m.question(1, 1).rightDigit, 1); }},
      {"option text", [&](CourseModel& m) { return m.setOptionText(option(m, 0, 1), "Bb"); },
       [](const CourseModel& m) { EXPECT_EQ(m.question(1, 1).options[1].text, "Bb"); }},
      {"option added", [](CourseModel& m) { return m.addOption(1, 2, "Cc"); },
       [](const CourseModel& m) { EXPECT_EQ(m.question(1, 2).options[2].digit, 3); }},
      {"option removed", [&](CourseModel& m) { return m.removeOption(1, 2, option(m, 2, 0)); },
       [](const CourseModel& m) { EXPECT_EQ(m.question(1, 2).options.size(), 1u); }},
      {"option moved", [&](CourseModel& m) { return m.moveOption(1, 0, option(m, 0, 0), 1); },
       [](const CourseModel& m) { EXPECT_EQ(m.question(1, 0).options[0].text, "B"); }},
      {"own options", [](CourseModel& m) { return m.ownOptions(1, 1); },
       [](const CourseModel& m) {
         EXPECT_TRUE(m.question(1, 0).optionsSharedWith.empty());
         EXPECT_EQ(m.question(1, 1).options.size(), 2u);
       }},
      {"shared options", [](CourseModel& m) { return m.shareOptions(1, 3, 2); },
       [](const CourseModel& m) {
         EXPECT_EQ(m.question(1, 3).options[0].text, "C");
         EXPECT_EQ(m.question(1, 2).optionsSharedWith, std::vector<unsigned>{4});
       }},
      {"consultation",
       [](CourseModel& m) {
         return m.setConsultation(1, 0, {"N", "+2", "", "K1"});
       },
       [](const CourseModel& m) {
         // A line typed above the first keeps the diagram marker at the block's start.
         EXPECT_EQ(m.question(1, 0).consultation, (Lines{"N", " +2", " ", "K1"}));
         EXPECT_EQ(m.question(1, 0).diagram, 1u);
       }},
      {"own consultation", [](CourseModel& m) { return m.ownConsultation(1, 2); },
       [](const CourseModel& m) { EXPECT_TRUE(m.question(1, 1).consultationSharedWith.empty()); }},
      {"shared consultation", [](CourseModel& m) { return m.shareConsultation(1, 0, 3); },
       [](const CourseModel& m) { EXPECT_EQ(m.question(1, 0).diagram, 2u); }},
      {"diagram removed", [](CourseModel& m) { return m.setDiagram(1, 3, std::nullopt); },
       [](const CourseModel& m) { EXPECT_FALSE(m.question(1, 3).diagram); }},
      {"picture attached", [](CourseModel& m) { return m.attachPicture(1, 2, "a.JPG", "bytes"); },
       [](const CourseModel& m) {
         EXPECT_EQ(m.question(1, 2).pictureFile, "diagram3.jpg");
         EXPECT_EQ(m.question(1, 1).diagram, 3u);  // the shared block
       }},
      {"question added",
       [](CourseModel& m) { return m.insertQuestion(2, 1, CourseModel::newQuestion()); },
       [](const CourseModel& m) { EXPECT_EQ(m.questionCount(2), 2u); }},
      {"question deleted", [](CourseModel& m) { return m.deleteQuestion(1, 1); }, nullptr},
      {"question moved", [](CourseModel& m) { return m.moveQuestion(1, 1, 2); }, nullptr},
      {"topic added", [](CourseModel& m) { return m.addTopic("T3", CourseModel::newQuestion()); },
       [](const CourseModel& m) {
         EXPECT_EQ(m.topicCount(), 3u);
         EXPECT_EQ(m.questionCount(3), 1u);
       }},
      {"topic renamed", [](CourseModel& m) { return m.renameTopic(2, "X"); }, nullptr},
      {"topic moved", [](CourseModel& m) { return m.moveTopic(2, -1); },
       [](const CourseModel& m) {
         EXPECT_EQ(m.topicTitle(1), cp("Т2"));
         EXPECT_EQ(m.questionText(1, 0), "R1");
         EXPECT_EQ(ranges(m, 2), "1-2,3-4,1-4");
       }},
      {"topic deleted", [](CourseModel& m) { return m.deleteTopic(1); },
       [](const CourseModel& m) {
         EXPECT_EQ(m.topicCount(), 1u);
         EXPECT_EQ(m.questionText(1, 0), "R1");
       }},
      {"topics appended", [](CourseModel& m) { return m.appendTopics(course()); },
       [](const CourseModel& m) {
         EXPECT_EQ(m.topicCount(), 4u);
         EXPECT_EQ(profiles(m, 3), profiles(course(), 1));
       }},
      {"ranges",
       [](CourseModel& m) {
         return m.setRanges(2, {{"1", "1", "d"}, {"1", "1", "e"}});
       },
       [](const CourseModel& m) {
         EXPECT_EQ(m.ranges(2).size(), 2u);
         const auto lines = splitLines(m.document().render(CourseFileId::Ranges));
         EXPECT_EQ(lines[6], "**2");
         EXPECT_TRUE(readRanges(lines, 2));
       }},
      {"course name",
       [](CourseModel& m) {
         return m.setIdentity({"N", "", {"a", "b"}, {}});
       },
       [](const CourseModel& m) {
         EXPECT_EQ(m.identity(), (IdentityFields{"N", "", {"a", "b"}, {}}));
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CourseModel model = course();
    const CourseDocument before = model.document();
    const Change change = c.edit(model);
    ASSERT_FALSE(change.empty());
    const CourseDocument after = model.document();
    EXPECT_FALSE(after.sameContent(before));
    if (c.check) c.check(model);
    model.undo(change);
    EXPECT_TRUE(model.document().sameContent(before));
    EXPECT_EQ(model.question(1, 1).text, "Q2");  // the index follows the lines back
    model.redo(change);
    EXPECT_TRUE(model.document().sameContent(after));
  }
}

}  // namespace
