#include "bank/consultation.h"

#include <gtest/gtest.h>

#include "platform/cp1251.h"

TEST(Consultation, TheLastBlockThatNamesTheQuestionExplainsIt) {
  QuestionBank bank;
  bank.ConsultTexts = {"_1_2_", "_3_12_", "_2_"};
  bank.ConsultBlocks = {{"first"}, {"second"}, {"third"}};
  struct Case {
    unsigned question;
    std::size_t want;
  };
  const Case cases[] = {
      {1, 0}, {2, 2}, {3, 1}, {12, 1}, {4, 0},  // named by no block: the first block
  };
  for (const Case& c : cases) EXPECT_EQ(consultBlockOf(bank, c.question), c.want) << c.question;
  EXPECT_EQ(consultBlockOf(QuestionBank{}, 1), std::nullopt);
}

TEST(Consultation, MarkerLinesLoseFourteenCharactersAndOnlyTheFirstNamesADiagram) {
  QuestionBank bank;
  bank.ConsultTexts = {"_1_", "_2_", "_3_", "_4_", "_5_"};
  bank.ConsultBlocks = {
      {cp("$diagram_0007$Текст пояснения"), "plain", "$diagram_0008$later"},
      {"plain", "$diagram_0009$second line"},
      {"$diagram_0007$"},   // exactly fourteen characters
      {"x$diagram_0007$"},  // marker one place late
      {"$diagram_0007 never closed"},
  };
  struct Case {
    unsigned question;
    std::vector<std::string> lines;
    std::optional<std::string> diagram;
  };
  const Case cases[] = {
      {1, {cp("Текст пояснения"), "plain", "later"}, "diagram_0007"},
      {2, {"plain", "second line"}, std::nullopt},
      {3, {""}, "diagram_0007"},
      {4, {"$"}, "diagram_0007"},
      {5, {"never closed"}, ""},  // offered, but names no diagram
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.question);
    const Consultation consultation = consultationOf(bank, c.question);
    EXPECT_EQ(consultation.lines, c.lines);
    EXPECT_EQ(consultation.diagramName, c.diagram);
  }
}
