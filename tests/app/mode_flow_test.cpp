#include <gtest/gtest.h>

#include <string>

#include "app/mode_flow.h"

namespace {

std::string orNone(const char* text) { return text ? text : "-"; }

std::string files(const NeededFiles& needed) {
  if (needed.files.empty()) return "";
  std::string all;
  for (const char* name : needed.files) all += std::string(name) + " ";
  return all + "/ " + orNone(needed.missing.title);
}

}  // namespace

TEST(ModeFlow, EachModeRunsItsStepsWithItsFiles) {
  struct Case {
    std::uint8_t mode;
    unsigned topic;
    bool needsBank;
    const char* greetingTitle;
    bool rangeStep;
    ModeWindow window;
    const char* windowFiles;
  };
  const Case cases[] = {
      {0, 2, true, "Экзамен", true, ModeWindow::Registration, ""},  // not chosen yet: the exam
      {1, 2, true, "Экзамен", true, ModeWindow::Registration, ""},
      {1, 0, true, "Экзамен", false, ModeWindow::Registration, ""},  // all topics: no range window
      {2, 3, true, "Зачет", true, ModeWindow::Registration, ""},
      {3, 1, true, "Проверка знаний", true, ModeWindow::SelfControl,
       "vopros.txt otvet.txt konsult.txt / Проверка знаний."},
      {3, 0, true, "Проверка знаний", false, ModeWindow::SelfControl,
       "vopros.txt otvet.txt konsult.txt / Проверка знаний."},
      {4, 1, false, "Просмотр вопросов", false, ModeWindow::Browser,
       "vopros.txt / Просмотр вопросов"},
      {5, 1, false, nullptr, false, ModeWindow::None, ""},
      {6, 1, false, nullptr, false, ModeWindow::None, ""},
      {255, 0, false, nullptr, false, ModeWindow::None, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("mode " + std::to_string(c.mode) + ", topic " + std::to_string(c.topic));
    const ModePlan plan = planMode(c.mode, c.topic);
    EXPECT_EQ(plan.needsBank, c.needsBank);
    EXPECT_EQ(orNone(plan.greeting.title), orNone(c.greetingTitle));
    EXPECT_EQ(plan.rangeStep, c.rangeStep);
    EXPECT_EQ(plan.window, c.window);
    EXPECT_EQ(files(plan.windowFiles), c.windowFiles);
    if (plan.rangeStep) {
      EXPECT_EQ(files(plan.rangeFiles), "diapazon.txt / Диапазон вопросов");
    }
  }
}

TEST(ModeFlow, OnlyAMissingFileOfTheStepStopsIt) {
  const NeededFiles needed = planMode(3, 1).windowFiles;
  struct Case {
    DataError::Code code;
    const char* file;
    bool lacks;
  };
  const Case cases[] = {
      {DataError::Code::FileMissing, "otvet.txt", true},
      {DataError::Code::FileMissing, "main.txt", false},  // not one of the step's files
      {DataError::Code::CannotRead, "otvet.txt", false},  // there: the step runs on what was read
      {DataError::Code::EmptyLine, "vopros.txt", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(lacksFile(needed, DataError{c.code, c.file, 0, ""}), c.lacks);
  }
}
