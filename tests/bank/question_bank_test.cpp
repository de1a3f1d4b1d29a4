#include "bank/question_bank.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <tuple>

#include "platform/cp1251.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Code = DataError::Code;

// The course of the data-file description: two topics, with a diagram in the first block.
const Lines kVopros = {
    "+++1",
    "_001_2_1_Текст первого вопроса первой темы?",
    "_003_1_1_Текст третьего вопроса первой темы?",
    "_002_3_1_Текст второго вопроса первой темы?",
    "+++2",
    "_001_1_1_Текст первого вопроса второй темы?",
    "_002_2_1_Текст второго вопроса второй темы?",
};
const Lines kOtvet = {
    "+++1",  "**_1_2_", "_1_Вариант А", "_2_Вариант Б", "_3_Вариант В",      "**_3_",
    "_1_Да", "_2_Нет",  "+++2",         "**_1_2_",      "_1_Первый вариант", "_2_Второй вариант",
};
const Lines kKonsult = {
    "+++1",
    "**_1_2_",
    "$diagram_0007$Пояснение к первому и второму вопросам.",
    "Вторая строка пояснения.",
    "**_3_",
    "Пояснение к третьему вопросу.",
    "+++2",
    "**_1_",
    "Пояснение к первому вопросу второй темы.",
    "**_2_",
    "Пояснение к второму вопросу второй темы.",
};

// UTF-8 literals in code page 1251, as a course author's files hold them.
Lines cpLines(const Lines& utf8) {
  Lines out;
  for (const auto& line : utf8) out.push_back(cp(line));
  return out;
}

class Loader : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::random_device random;
    dir_ = fs::temp_directory_path() /
           ("vors_bank_" + std::string(info->name()) + "_" + std::to_string(random()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  void write(const std::string& name, const Lines& utf8Lines) {
    std::ofstream out(dir_ / name, std::ios::binary);
    for (const auto& line : utf8Lines) out << cp(line) << "\r\n";
  }
  void writeCourse(const Lines& vopros = kVopros, const Lines& otvet = kOtvet,
                   const Lines& konsult = kKonsult) {
    write("vopros.txt", vopros);
    write("otvet.txt", otvet);
    write("konsult.txt", konsult);
  }
  BankLoad load(unsigned topic, unsigned topicCount = 3) {
    return loadBank(dir_.string() + "/", topic, topicCount);
  }

  fs::path dir_;
};

TEST_F(Loader, WorkedExampleFirstTopicAlone) {
  writeCourse();
  const BankLoad load = this->load(1);
  ASSERT_FALSE(load.error) << utf8FromCp1251(load.error->what);
  EXPECT_TRUE(load.usable());
  const QuestionBank& bank = load.bank;
  EXPECT_EQ(bank.QuestionTexts,
            cpLines({"Текст первого вопроса первой темы?", "Текст второго вопроса первой темы?",
                     "Текст третьего вопроса первой темы?"}));
  EXPECT_EQ(bank.QuestionFlags, (std::vector<std::uint16_t>{2, 3, 1}));
  EXPECT_EQ(bank.AnswerTexts,
            cpLines({"_1_Вариант А", "_2_Вариант Б", "_3_Вариант В", "_1_Да", "_2_Нет"}));
  EXPECT_EQ(bank.AnswerQuestionSets, (Lines{"_1_2_", "_1_2_", "_1_2_", "_3_", "_3_"}));
  EXPECT_EQ(bank.ConsultTexts, (Lines{"_1_2_", "_3_"}));
  ASSERT_EQ(bank.ConsultBlocks.size(), 2u);
  EXPECT_EQ(bank.ConsultBlocks[0], cpLines({"$diagram_0007$Пояснение к первому и второму вопросам.",
                                            "Вторая строка пояснения."}));
  EXPECT_EQ(bank.ConsultBlocks[1], cpLines({"Пояснение к третьему вопросу."}));
}

TEST_F(Loader, WorkedExampleSecondTopicAloneKeepsItsOwnNumbers) {
  writeCourse();
  const BankLoad load = this->load(2);
  ASSERT_FALSE(load.error);
  const QuestionBank& bank = load.bank;
  EXPECT_EQ(bank.QuestionTexts,
            cpLines({"Текст первого вопроса второй темы?", "Текст второго вопроса второй темы?"}));
  EXPECT_EQ(bank.QuestionFlags, (std::vector<std::uint16_t>{1, 2}));
  EXPECT_EQ(bank.AnswerTexts, cpLines({"_1_Первый вариант", "_2_Второй вариант"}));
  EXPECT_EQ(bank.AnswerQuestionSets, (Lines{"_1_2_", "_1_2_"}));
  EXPECT_EQ(bank.ConsultTexts, (Lines{"_1_", "_2_"}));
  ASSERT_EQ(bank.ConsultBlocks.size(), 2u);
  EXPECT_EQ(bank.ConsultBlocks[1], cpLines({"Пояснение к второму вопросу второй темы."}));
}

TEST_F(Loader, WorkedExampleAllTopicsShiftsLaterTopicsByTheirOffset) {
  writeCourse();
  const BankLoad load = this->load(0);
  ASSERT_FALSE(load.error);
  const QuestionBank& bank = load.bank;
  ASSERT_EQ(bank.QuestionTexts.size(), 5u);
  EXPECT_EQ(bank.QuestionTexts[3], cp("Текст первого вопроса второй темы?"));
  EXPECT_EQ(bank.QuestionFlags, (std::vector<std::uint16_t>{2, 3, 1, 1, 2}));
  EXPECT_EQ(bank.AnswerQuestionSets,
            (Lines{"_1_2_", "_1_2_", "_1_2_", "_3_", "_3_", "_4_5_", "_4_5_"}));
  EXPECT_EQ(bank.AnswerTexts.size(), 7u);
  EXPECT_EQ(bank.ConsultTexts, (Lines{"_1_2_", "_3_", "_4_", "_5_"}));
  ASSERT_EQ(bank.ConsultBlocks.size(), 4u);
  EXPECT_EQ(bank.ConsultBlocks[2], cpLines({"Пояснение к первому вопросу второй темы."}));
}

TEST_F(Loader, KeepsEachSetOnceForAllTheAnswerLinesItGoverns) {
  // A long set over many answer lines once cost memory of their product.
  Lines otvet = {"+++1", "**_1_2_"};
  for (int i = 0; i < 1000; ++i) otvet.push_back("_1_a");
  otvet.push_back("**_3_");
  otvet.push_back("_2_b");
  otvet.push_back("_1_c");
  writeCourse(kVopros, otvet);
  const BankLoad load = this->load(1);
  ASSERT_FALSE(load.error);
  const AnswerSetList& sets = load.bank.AnswerQuestionSets;
  ASSERT_EQ(sets.size(), 1002u);
  EXPECT_EQ(sets[0], "_1_2_");
  EXPECT_EQ(&sets[999], &sets[0]);  // the very same string, not a copy
  EXPECT_EQ(sets[1000], "_3_");
  EXPECT_EQ(&sets[1001], &sets[1000]);
}

TEST_F(Loader, LoadsTextsHandedInAsItLoadsTheFolder) {
  writeCourse();
  auto text = [](const Lines& lines) {
    std::string joined;
    for (const auto& line : lines) joined += cp(line) + "\r\n";
    return joined;
  };
  const BankLoad fromTexts = loadBankFromTexts({text(kVopros), text(kOtvet), text(kKonsult)}, 0, 3);
  const BankLoad fromFolder = load(0);
  ASSERT_FALSE(fromTexts.error);
  EXPECT_EQ(fromTexts.bank.QuestionTexts, fromFolder.bank.QuestionTexts);
  EXPECT_EQ(fromTexts.bank.AnswerTexts, fromFolder.bank.AnswerTexts);
  EXPECT_EQ(fromTexts.bank.AnswerQuestionSets, fromFolder.bank.AnswerQuestionSets);
  EXPECT_EQ(fromTexts.bank.ConsultBlocks, fromFolder.bank.ConsultBlocks);

  const BankLoad missing = loadBankFromTexts({text(kVopros), std::nullopt, text(kKonsult)}, 1, 3);
  ASSERT_TRUE(missing.error);
  EXPECT_EQ(missing.error->code, Code::FileMissing);
  EXPECT_EQ(missing.error->file, "otvet.txt");
}

TEST_F(Loader, OrdersQuestionsByNumberFillingGapsAndDroppingStrays) {
  const struct {
    const char* name;
    Lines questionLines;
    Lines texts;
    std::vector<std::uint16_t> flags;
  } cases[] = {
      {"file order 2 3 1", {"_002_4_1_b", "_003_5_1_c", "_001_6_1_a"}, {"a", "b", "c"}, {6, 4, 5}},
      {"gap: 1 2 4", {"_001_2_1_a", "_002_3_1_b", "_004_4_1_d"}, {"a", "b", "   "}, {2, 3, 1}},
      {"later duplicate wins",
       {"_001_2_1_a", "_002_3_1_b", "_002_4_1_B"},
       {"a", "B", "   "},
       {2, 4, 1}},
      {"number 0 is dropped", {"_000_2_1_z", "_001_3_1_a"}, {"a", "   "}, {3, 1}},
      {"empty text", {"_001_2_1_"}, {""}, {2}},
      {"separators are not read", {"_001x2y1zq"}, {"q"}, {2}},
  };
  for (const auto& c : cases) {
    Lines vopros = {"+++1"};
    vopros.insert(vopros.end(), c.questionLines.begin(), c.questionLines.end());
    writeCourse(vopros, {"+++1", "**_1_", "_1_x"}, {"+++1", "**_1_", "x"});
    const BankLoad load = this->load(1, 2);
    ASSERT_FALSE(load.error) << c.name;
    EXPECT_EQ(load.bank.QuestionTexts, c.texts) << c.name;
    EXPECT_EQ(load.bank.QuestionFlags, c.flags) << c.name;
  }
}

TEST_F(Loader, LoadsOnlyTheSectionsOfTheTopicsMainListsInTopicOrder) {
  // Lines before the first marker, section 0, a topic main.txt lacks, a topic split in two.
  writeCourse(
      {"_001_1_1_outside", "+++2", "_001_2_1_two", "+++0", "_001_3_1_zero", "+++1", "_001_4_1_one",
       "+++5", "_001_5_1_five", "+++1", "_002_6_1_one-b", "_001_7_1_one-c"},
      {"+++2", "**_1_", "_1_two", "+++1", "**_1_2_", "_1_one", "+++1", "_2_one-b"},
      {"+++9", "**_1_", "nine", "+++2", "**_1_", "two", "+++1", "**_1_", "one", "+++1", "one-b"});
  const BankLoad all = load(0);
  ASSERT_FALSE(all.error) << utf8FromCp1251(all.error->what);
  EXPECT_EQ(all.bank.QuestionTexts, (Lines{"one-c", "one-b", "   ", "two"}));
  EXPECT_EQ(all.bank.QuestionFlags, (std::vector<std::uint16_t>{7, 6, 1, 2}));
  // A second section of a topic goes on with the set its topic left off with.
  EXPECT_EQ(all.bank.AnswerTexts, (Lines{"_1_one", "_2_one-b", "_1_two"}));
  EXPECT_EQ(all.bank.AnswerQuestionSets, (Lines{"_1_2_", "_1_2_", "_4_"}));
  EXPECT_EQ(all.bank.ConsultTexts, (Lines{"_1_", "_4_"}));
  EXPECT_EQ(all.bank.ConsultBlocks, (std::vector<Lines>{{"one", "one-b"}, {"two"}}));

  const BankLoad second = load(2);
  ASSERT_FALSE(second.error);
  EXPECT_EQ(second.bank.QuestionTexts, (Lines{"two"}));
  EXPECT_EQ(second.bank.AnswerQuestionSets, (Lines{"_1_"}));
}

TEST_F(Loader, KeepsSetsAsWrittenForOneTopicAndToleratesDoubledFinalUnderscore) {
  writeCourse({"+++1", "_001_1_1_a", "+++2", "_001_1_1_b", "_002_1_1_c"},
              {"+++1", "**_1__", "_1_a", "+++2", "**_1_12_", "_1_b"},
              {"+++1", "**_1_", "_a is content", "+++2", "**_2__", " ", "$diagram_0001$x"});
  const BankLoad second = load(2);
  ASSERT_FALSE(second.error);
  EXPECT_EQ(second.bank.AnswerQuestionSets, (Lines{"_1_12_"}));
  EXPECT_EQ(second.bank.ConsultTexts, (Lines{"_2__"}));
  EXPECT_EQ(second.bank.ConsultBlocks, (std::vector<Lines>{{" ", "$diagram_0001$x"}}));

  const BankLoad all = load(0);
  ASSERT_FALSE(all.error);
  // Topic 2 has two questions, so its 12 names nothing with all topics either.
  EXPECT_EQ(all.bank.AnswerQuestionSets, (Lines{"_1_", "_2_"}));
  EXPECT_EQ(all.bank.ConsultTexts, (Lines{"_1_", "_3_"}));
  EXPECT_EQ(all.bank.ConsultBlocks[0], (Lines{"_a is content"}));
}

struct FaultCase {
  const char* name;
  Lines vopros, otvet, konsult;
  unsigned topic;
  Code code;
  const char* file;
  unsigned line;
};

TEST_F(Loader, StopsAtTheFirstMalformedLineNamingFileAndLine) {
  const Lines v = {"+++1", "_001_1_1_a", "+++2", "_001_1_1_b"};
  const Lines o = {"+++1", "**_1_", "_1_a", "+++2", "**_1_", "_1_b"};
  const Lines k = {"+++1", "**_1_", "a", "+++2", "**_1_", "b"};
  const FaultCase cases[] = {
      // Anywhere in a file, loaded section or not.
      {"empty line in an unloaded section",
       {"+++1", "_001_1_1_a", "+++0", ""},
       o,
       k,
       1,
       Code::EmptyLine,
       "vopros.txt",
       4},
      {"empty line before first marker",
       v,
       {"", "+++1", "**_1_", "_1_a"},
       k,
       1,
       Code::EmptyLine,
       "otvet.txt",
       1},
      {"empty line in konsult",
       v,
       o,
       {"+++1", "**_1_", "a", "", "+++2"},
       1,
       Code::EmptyLine,
       "konsult.txt",
       4},
      {"empty line right after a set",
       v,
       o,
       {"+++1", "**_1_", ""},
       1,
       Code::EmptyLine,
       "konsult.txt",
       3},
      {"marker too short",
       {"+++1", "_001_1_1_a", "+++"},
       o,
       k,
       1,
       Code::BadTopicDigit,
       "vopros.txt",
       3},
      {"marker letter",
       v,
       o,
       {"+++1", "**_1_", "a", "+++x"},
       1,
       Code::BadTopicDigit,
       "konsult.txt",
       4},
      // Question lines of a loaded section.
      {"two-digit number",
       {"+++1", "_01_1_1_a"},
       o,
       k,
       1,
       Code::BadQuestionNumber,
       "vopros.txt",
       2},
      {"letter in number",
       {"+++1", "_0a1_1_1_a"},
       o,
       k,
       1,
       Code::BadQuestionNumber,
       "vopros.txt",
       2},
      {"number cut short", {"+++1", "_00"}, o, k, 1, Code::BadQuestionNumber, "vopros.txt", 2},
      {"answer digit letter",
       {"+++1", "_001_1_1_a", "_002_x_1_b"},
       o,
       k,
       1,
       Code::BadAnswerDigit,
       "vopros.txt",
       3},
      {"answer digit missing", {"+++1", "_001_"}, o, k, 1, Code::BadAnswerDigit, "vopros.txt", 2},
      {"prefix shorter than 9", {"+++1", "_001_1_1"}, o, k, 1, Code::BadStructure, "vopros.txt", 2},
      {"bad question in topic 2, all topics",
       {"+++1", "_001_1_1_a", "+++2", "_1_1_1_b"},
       o,
       k,
       0,
       Code::BadQuestionNumber,
       "vopros.txt",
       4},
      // Answer lines and sets.
      {"option digit letter",
       v,
       {"+++1", "**_1_", "_x_a"},
       k,
       1,
       Code::BadOptionDigit,
       "otvet.txt",
       3},
      {"option digit missing",
       v,
       {"+++1", "**_1_", "_"},
       k,
       1,
       Code::BadOptionDigit,
       "otvet.txt",
       3},
      {"answer before any set",
       v,
       {"+++1", "_1_a", "**_1_"},
       k,
       1,
       Code::BadStructure,
       "otvet.txt",
       2},
      {"answer before its topic's set",
       v,
       {"+++1", "**_1_", "_1_a", "+++2", "_1_b"},
       k,
       0,
       Code::BadStructure,
       "otvet.txt",
       5},
      {"leading zero in set",
       v,
       {"+++1", "**_01_", "_1_a"},
       k,
       1,
       Code::BadSetElement,
       "otvet.txt",
       2},
      {"set line without set",
       v,
       {"+++1", "**", "_1_a"},
       k,
       1,
       Code::BadSetElement,
       "otvet.txt",
       2},
      {"text after the set",
       v,
       {"+++1", "**_1_ ", "_1_a"},
       k,
       1,
       Code::BadSetElement,
       "otvet.txt",
       2},
      {"bad set, one topic",
       v,
       o,
       {"+++1", "**_1_0_", "a"},
       1,
       Code::BadSetElement,
       "konsult.txt",
       2},
      {"bad set in topic 2, all topics",
       v,
       o,
       {"+++1", "**_1_", "a", "+++2", "**_x_", "b"},
       0,
       Code::BadSetElement,
       "konsult.txt",
       5},
      // Consultation blocks.
      {"content before set",
       v,
       o,
       {"+++1", "a", "**_1_", "b"},
       1,
       Code::BadStructure,
       "konsult.txt",
       2},
      {"content before its topic's set",
       v,
       o,
       {"+++1", "**_1_", "a", "+++2", "b", "**_1_"},
       0,
       Code::BadStructure,
       "konsult.txt",
       5},
      {"set followed by set",
       v,
       o,
       {"+++1", "**_1_", "**_2_", "a"},
       1,
       Code::BadStructure,
       "konsult.txt",
       2},
      {"set followed by marker",
       v,
       o,
       {"+++1", "**_1_", "+++2", "**_1_", "b"},
       1,
       Code::BadStructure,
       "konsult.txt",
       2},
      {"set at end of file",
       v,
       o,
       {"+++1", "**_1_", "a", "**_2_"},
       1,
       Code::BadStructure,
       "konsult.txt",
       4},
      // Topics without questions, and missing files.
      {"topic 2 without questions",
       {"+++1", "_001_1_1_a", "+++2", "*"},
       o,
       k,
       0,
       Code::NoQuestions,
       "vopros.txt",
       0},
      {"topic 10 can never have questions", v, o, k, 10, Code::NoQuestions, "vopros.txt", 0},
  };
  for (const auto& c : cases) {
    writeCourse(c.vopros, c.otvet, c.konsult);
    const BankLoad load = this->load(c.topic);
    ASSERT_TRUE(load.error) << c.name;
    EXPECT_EQ(load.error->code, c.code) << c.name;
    EXPECT_EQ(load.error->file, c.file) << c.name;
    EXPECT_EQ(load.error->line, c.line) << c.name;
    EXPECT_FALSE(load.error->what.empty()) << c.name;
    EXPECT_FALSE(load.usable()) << c.name;
  }
}

TEST_F(Loader, FaultsInSectionsThatAreNotLoadedPassUnnoticed) {
  writeCourse({"+++1", "_001_1_1_a", "+++2", "_0x1_1_1_b", "+++0", "_?"},
              {"+++1", "**_1_", "_1_a", "+++2", "_x_b", "**_01_"},
              {"+++1", "**_1_", "a", "+++2", "**_1_", "+++0", "stray"});
  EXPECT_FALSE(load(1).error);
  EXPECT_TRUE(load(0).error);
}

TEST_F(Loader, NamesTheTopicWithoutQuestions) {
  writeCourse({"+++1", "_001_1_1_a"});
  const BankLoad load = this->load(0);
  ASSERT_TRUE(load.error);
  EXPECT_EQ(describe(*load.error),
            cp("Ошибка в файле vopros.txt: в теме 2 нет ни одного вопроса."));
}

TEST_F(Loader, ReportsMissingFilesAndKeepsWhatWasBuilt) {
  for (const char* missing : {"vopros.txt", "otvet.txt", "konsult.txt"}) {
    writeCourse();
    fs::remove(dir_ / missing);
    const BankLoad load = this->load(1);
    ASSERT_TRUE(load.error) << missing;
    EXPECT_EQ(load.error->code, Code::FileMissing);
    EXPECT_EQ(load.error->file, missing);
    EXPECT_EQ(load.error->line, 0u);
    const bool questionsRead = std::string(missing) != "vopros.txt";
    EXPECT_EQ(load.bank.QuestionTexts.size(), questionsRead ? 3u : 0u) << missing;
    EXPECT_EQ(load.bank.AnswerTexts.size(), std::string(missing) == "konsult.txt" ? 5u : 0u);
    EXPECT_TRUE(load.bank.ConsultTexts.empty());
  }
}

TEST_F(Loader, KeepsTheListsBuiltBeforeAFault) {
  // Topic 2 stands first in the files but is loaded second: topic 1 is whole,
  // topic 2 stops at its faulty line.
  const Lines vopros = {"+++2", "_001_1_1_b", "+++1", "_001_1_1_a"};
  writeCourse(vopros, {"+++2", "**_1_", "_1_b1", "_?_b2", "_3_b3", "+++1", "**_1_", "_1_a"},
              kKonsult);
  const BankLoad answers = load(0);
  ASSERT_TRUE(answers.error);
  EXPECT_EQ(answers.error->line, 4u);
  EXPECT_EQ(answers.bank.QuestionTexts, (Lines{"a", "b"}));
  EXPECT_EQ(answers.bank.AnswerTexts, (Lines{"_1_a", "_1_b1"}));
  EXPECT_EQ(answers.bank.AnswerQuestionSets, (Lines{"_1_", "_2_"}));
  EXPECT_TRUE(answers.bank.ConsultTexts.empty());

  writeCourse(vopros, {"+++1", "**_1_", "_1_a"},
              {"+++1", "**_1_", "a1", "**_1_", "a2", "+++2", "**_1_", "b1", "**_1_"});
  const BankLoad consult = load(0);
  ASSERT_TRUE(consult.error);
  EXPECT_EQ(consult.error->line, 9u);
  EXPECT_EQ(consult.bank.AnswerTexts.size(), 1u);
  EXPECT_EQ(consult.bank.ConsultTexts, (Lines{"_1_", "_1_", "_2_"}));
  EXPECT_EQ(consult.bank.ConsultBlocks, (std::vector<Lines>{{"a1"}, {"a2"}, {"b1"}}));

  // An empty line stops even the first topic's pass where it stands.
  writeCourse(vopros, {"+++1", "**_1_", "_1_a", "+++2", "**_1_", "_1_b", "", "+++1", "_2_a"},
              kKonsult);
  const BankLoad empty = load(0);
  ASSERT_TRUE(empty.error);
  EXPECT_EQ(empty.error->code, Code::EmptyLine);
  EXPECT_EQ(empty.error->line, 7u);
  EXPECT_EQ(empty.bank.AnswerTexts, (Lines{"_1_a"}));
}

TEST_F(Loader, QuestionFaultLeavesNoQuestions) {
  writeCourse({"+++1", "_001_1_1_a", "_002_1_1_b", "_x"});
  const BankLoad load = this->load(1);
  ASSERT_TRUE(load.error);
  EXPECT_EQ(describe(*load.error),
            cp("Ошибка в файле vopros.txt, строка 4: номер вопроса должен состоять из трех цифр."));
  EXPECT_TRUE(load.bank.QuestionTexts.empty());
  EXPECT_TRUE(load.bank.QuestionFlags.empty());
}

TEST_F(Loader, SetNumberBeyondItsTopicNamesNothingWithAllTopics) {
  // Topic 1 has three questions; its sets name a fourth, which all topics
  // would otherwise shift onto the first question of topic 2.
  writeCourse(kVopros, {"+++1", "**_1_4_", "_1_a", "+++2", "**_1_2_", "_1_b"},
              {"+++1", "**_4_", "x", "**_1_", "y", "+++2", "**_1_2_", "z"});
  const BankLoad all = load(0);
  ASSERT_FALSE(all.error);
  EXPECT_EQ(all.bank.AnswerQuestionSets, (Lines{"_1_", "_4_5_"}));
  EXPECT_EQ(all.bank.ConsultTexts, (Lines{"_", "_1_", "_4_5_"}));
  EXPECT_EQ(load(1).bank.AnswerQuestionSets, (Lines{"_1_4_"}));
}

TEST_F(Loader, ACheckNotesEveryFaultAndReadsOnPastEach) {
  writeCourse({"+++1", "_001_1_1_a", "", "_0x2_1_1_b", "+++x", "_003_1_1_c", "+++2", "_001_1_1_d"},
              {"+++1", "_1_early", "**_1_", "_x_a", "+++2", "**_1_0_", "_1_b"},
              {"+++1", "**_1_", "**_1_", "a", "+++2", "b", "**_1_", "c", "**_1_"});
  const BankFaults check = collectBankFaults(dir_.string() + "/", 4);
  std::vector<std::tuple<std::string, unsigned, Code>> found;
  for (const DataError& f : check.faults) found.emplace_back(f.file, f.line, f.code);
  const std::vector<std::tuple<std::string, unsigned, Code>> expected = {
      {"vopros.txt", 3, Code::EmptyLine},         {"vopros.txt", 5, Code::BadTopicDigit},
      {"vopros.txt", 4, Code::BadQuestionNumber}, {"vopros.txt", 0, Code::NoQuestions},
      {"otvet.txt", 2, Code::BadStructure},       {"otvet.txt", 4, Code::BadOptionDigit},
      {"otvet.txt", 6, Code::BadSetElement},      {"konsult.txt", 2, Code::BadStructure},
      {"konsult.txt", 6, Code::BadStructure},     {"konsult.txt", 9, Code::BadStructure},
  };
  EXPECT_EQ(found, expected);
  // The same files still stop a normal load at the first fault.
  ASSERT_TRUE(load(0, 4).error);
  EXPECT_EQ(load(0, 4).error->line, 3u);
}

}  // namespace
