#include "check/course_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <tuple>

#include "bank/question_bank.h"
#include "platform/cp1251.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Found = std::tuple<std::string, unsigned, FindingKind>;
constexpr FindingKind E = FindingKind::Error;
constexpr FindingKind W = FindingKind::Warning;
constexpr FindingKind N = FindingKind::Note;

// A small course that checks clean; each case below changes one file of it.
const std::map<std::string, Lines> kCourse = {
    {"main.txt", {"Тема первая", "Тема вторая"}},
    {"vopros.txt",
     {"+++1", "_001_1_1_Вопрос один?", "_002_2_1_Вопрос два?", "+++2", "_001_1_1_Вопрос три?",
      "_002_2_1_Вопрос четыре?"}},
    {"otvet.txt", {"+++1", "**_1_2_", "_1_Да", "_2_Нет", "+++2", "**_1_2_", "_1_Да", "_2_Нет"}},
    {"konsult.txt",
     {"+++1", "**_1_", "$diagram_0001$Пояснение.", "**_2_", "Пояснение.", "+++2", "**_1_2_",
      "Пояснение."}},
    {"diapazon.txt", {"+++1", "**1", "_1_2_Все", "+++2", "**1", "_1_2_Все"}},
    {"graph.txt", {"1 diagram2.jpg"}},
};

struct Case {
  const char* name;
  std::map<std::string, Lines> files;      // replaced files, UTF-8 lines written with CR LF
  std::map<std::string, std::string> raw;  // replaced files, bytes as they are ("" removes)
  bool refused;                            // whether the program refuses some topic or all topics
  std::vector<Found> expected;
  const char* says = "";  // a part of the last finding, where its wording matters
};

// A text that the card shows on the given number of lines of eight words.
std::string textOfLines(std::size_t lines) {
  std::string text;
  for (std::size_t i = 0; i < lines * 8; ++i) text += "abcdefghi ";
  text.pop_back();
  return text;
}

const Lines kVoprosTwo = {"+++2", "_001_1_1_Вопрос три?", "_002_2_1_Вопрос четыре?"};
const Lines kOtvetTwo = {"+++2", "**_1_2_", "_1_Да", "_2_Нет"};
Lines withTopicTwo(Lines topicOne, const Lines& two) {
  topicOne.insert(topicOne.end(), two.begin(), two.end());
  return topicOne;
}

// Topic 1 of ten questions whose right option stands first (digit 1) or at the
// place the question's number gives.
std::map<std::string, Lines> tenQuestions(bool rightFirst, unsigned options = 3) {
  Lines vopros = {"+++1"}, otvet = {"+++1"}, konsult = {"+++1", "**_1_2_3_4_5_6_7_8_9_10_", "-"};
  for (unsigned n = 1; n <= 10; ++n) {
    const unsigned right = rightFirst ? 1 : n % 3 + 1;
    vopros.push_back("_" + std::string(n < 10 ? "00" : "0") + std::to_string(n) + "_" +
                     std::to_string(right) + "_1_Вопрос?");
    otvet.push_back("**_" + std::to_string(n) + "_");
    for (unsigned o = 1; o <= options; ++o) otvet.push_back("_" + std::to_string(o) + "_Вариант");
  }
  return {{"vopros.txt", withTopicTwo(vopros, kVoprosTwo)},
          {"otvet.txt", withTopicTwo(otvet, kOtvetTwo)},
          {"konsult.txt", withTopicTwo(konsult, {"+++2", "**_1_2_", "-"})},
          {"diapazon.txt", {"+++1", "**1", "_1_10_Все", "+++2", "**1", "_1_2_Все"}}};
}
Lines withTopicTwo(Lines topicOne) {
  topicOne.insert(topicOne.end(), kVoprosTwo.begin(), kVoprosTwo.end());
  return topicOne;
}

const Case kCases[] = {
    {"a clean course", {}, {}, false, {}},
    // What the loader refuses.
    {"empty line",
     {{"vopros.txt", withTopicTwo({"+++1", "_001_1_1_a", "", "_002_2_1_b"})}},
     {},
     true,
     {{"vopros.txt", 3, E}}},
    {"bad question number",
     {{"vopros.txt", withTopicTwo({"+++1", "_001_1_1_a", "_0x2_2_1_b"})}},
     {},
     true,
     {{"vopros.txt", 3, E}}},
    {"option before any set",
     {{"otvet.txt",
       {"+++1", "_1_Да", "**_1_2_", "_1_Да", "_2_Нет", "+++2", "**_1_2_", "_1_Да", "_2_Нет"}}},
     {},
     true,
     {{"otvet.txt", 2, E}}},
    {"bad set",
     {{"otvet.txt", {"+++1", "**_1_x_", "_1_Да", "_2_Нет", "+++2", "**_1_2_", "_1_Да", "_2_Нет"}}},
     {},
     true,
     {{"otvet.txt", 2, E}}},
    {"set without explanation",
     {{"konsult.txt", {"+++1", "**_1_", "**_2_", "Пояснение.", "+++2", "**_1_2_", "Пояснение."}}},
     {},
     true,
     {{"konsult.txt", 2, E}}},
    {"topic without questions",
     {{"main.txt", {"Один", "Два", "Три"}}},
     {},
     true,
     {{"vopros.txt", 0, E}}},
    {"missing file", {}, {{"konsult.txt", ""}}, true, {{"konsult.txt", 0, E}}},
    {"ranges the range window refuses",
     {{"diapazon.txt", {"+++1", "**2", "_2_1_Обратный", "_1_5_Лишний", "+++2", "**1", "_1_2_Все"}}},
     {},
     false,
     {{"diapazon.txt", 3, E}, {"diapazon.txt", 4, E}}},
    // Encoding and line ends.
    {"UTF-8",
     {},
     {{"vopros.txt",
       "+++1\r\n_001_1_1_Вопрос?\r\n_002_2_1_Ещё?\r\n+++2\r\n"
       "_001_1_1_a\r\n_002_2_1_b\r\n"}},
     false,
     {{"vopros.txt", 0, N}}},
    {"byte-order mark",
     {},
     {{"main.txt", "\xEF\xBB\xBFOne\r\nTwo\r\n"}},
     false,
     {{"main.txt", 0, N}}},
    {"UTF-8 with characters code page 1251 lacks: each one",
     {},
     {{"vopros.txt",
       "+++1\r\n_001_1_1_Вопрос ≤?\r\n_002_2_1_Снег ☃\r\n+++2\r\n_001_1_1_a\r\n_002_2_1_b\r\n"}},
     true,
     {{"vopros.txt", 2, E}, {"vopros.txt", 3, E}},
     "(U+2603)"},
    {"UTF-8 lines added to a code page 1251 file",
     {},
     {{"konsult.txt", cp("+++1\r\n**_1_\r\nПояснение.\r\n**_2_\r\nПояснение.\r\n+++2\r\n"
                         "**_1_2_\r\nПояснение.\r\n") +
                          "Итог.\r\n"}},
     false,
     {{"konsult.txt", 9, E}},  // and no word about the byte 0x98 of its "И"
     "в UTF-8"},
    {"a code page 1251 line in a UTF-8 file",
     {},
     {{"otvet.txt", "+++1\r\n**_1_2_\r\n_1_Да\r\n_2_Нет\r\n+++2\r\n**_1_2_\r\n_1_Да\r\n" +
                        cp("_2_Нет") + "\r\n"}},
     false,
     {{"otvet.txt", 8, E}},
     "не в UTF-8"},
    {"not text",
     {},
     {{"konsult.txt", std::string("+++1\r\n\0\x01\x02", 9)}},
     true,
     {{"konsult.txt", 2, E}}},
    {"empty file the program stops at", {{"vopros.txt", {}}}, {}, true, {{"vopros.txt", 0, E}}},
    {"empty file the program accepts", {{"otvet.txt", {}}}, {}, false, {{"otvet.txt", 0, W}}},
    {"kurs.txt captions the results cannot tell apart, and an empty one",
     {{"main.txt", {"Тема первая", "Тема первая"}}},
     {{"kurs.txt", cp("все темы=Тема первая\r\nвсе темы=\r\n")}},
     false,
     {{"main.txt", 2, W}, {"kurs.txt", 1, W}, {"kurs.txt", 1, W}, {"kurs.txt", 2, W}},
     "пустое значение"},
    {"kurs.txt lines the program skips or overrides",
     {},
     {{"kurs.txt", cp("название=А\r\n\r\nзаставка\r\nцвет=красный\r\nназвание=Б\r\n"
                      "заставка=1\r\nзаставка=2\r\nзаставка=3\r\nзаставка=4\r\nзаставка=5\r\n")}},
     false,
     {{"kurs.txt", 3, W}, {"kurs.txt", 4, W}, {"kurs.txt", 5, W}, {"kurs.txt", 10, W}}},
    // The file is read in blocks of lines; what one block read still counts in the next.
    {"a key repeated thousands of lines later",
     {},
     {{"kurs.txt", cp("организация=А\r\n") + std::string(5000, '\n') + cp("организация=Б\r\n")}},
     false,
     {{"kurs.txt", 5002, W}}},
    {"byte 0x98",
     {},
     {{"graph.txt", "1 diagram2.jpg\r\n2 x\x98.jpg\r\n"}},
     false,
     {{"graph.txt", 2, E}, {"graph.txt", 2, W}}},
    {"lines ending in CR alone",
     {},
     {{"otvet.txt", "+++1\r**_1_2_\r_1_a\r_2_b\r+++2\r**_1_2_\r_1_a\r_2_b\r"}},
     false,
     {{"otvet.txt", 0, E}}},
    {"a lone CR inside a line",
     {},
     {{"main.txt", "One\rTwo\r\nThree\r\n"}},
     false,
     {{"main.txt", 1, E}}},
    // What the program accepts but a student would see as wrong.
    {"text line taken for a topic marker",
     {{"konsult.txt",
       {"+++1", "**_1_", "Пояснение.", "**_2_", "Пояснение.", "+++2", "**_1_2_", "Пояснение.",
        "+100 Ом"}}},
     {},
     false,
     {{"konsult.txt", 9, W}}},
    // Question 1 takes 27 display lines, a testing window of 750 pixels; question 2 takes 26, 730.
    {"a card taller than a 768-pixel screen",
     {{"otvet.txt",
       {"+++1", "**_1_", "_1_" + textOfLines(26), "_2_Нет", "**_2_", "_1_Да",
        "_2_" + textOfLines(25), "+++2", "**_1_2_", "_1_Да", "_2_Нет"}}},
     {},
     false,
     {{"vopros.txt", 2, W}}},
    // The main window widens for a title up to the screen; 1024 pixels hold about 130 letters.
    {"a topic title wider than a 1024-pixel screen",
     {{"main.txt",
       {"Тема первая",
        "Тема вторая: переходные процессы в линейных электрических цепях с сосредоточенными "
        "параметрами при включении и отключении источников постоянного и синусоидального "
        "напряжения"}}},
     {},
     false,
     {{"main.txt", 2, W}}},
    {"a control byte in a quoted field",
     {{"diapazon.txt", {"+++1", "**1", "_3\r1_2_Все", "+++2", "**1", "_1_2_Все"}}},
     {},
     false,
     {{"diapazon.txt", 3, E}, {"diapazon.txt", 3, E}}},  // a lone CR, and no number
    {"stray line in a section",
     {{"otvet.txt",
       {"+++1", "**_1_2_", "_1_Да", "_2_Нет", "Заметка", "+++2", "**_1_2_", "_1_Да", "_2_Нет"}}},
     {},
     false,
     {{"otvet.txt", 5, W}}},
    {"otvet.txt without its first topic marker",
     {{"otvet.txt", {"**_1_2_", "_1_Да", "_2_Нет", "+++2", "**_1_2_", "_1_Да", "_2_Нет"}}},
     {},
     false,
     {{"otvet.txt", 1, W}},
     "«+++1»"},
    {"a blank after a set",
     {{"otvet.txt", {"+++1", "**_1_2_ ", "_1_Да", "_2_Нет", "+++2", "**_1_2_", "_1_Да", "_2_Нет"}}},
     {},
     true,
     {{"otvet.txt", 2, E}},
     "пробел"},
    {"a question outside every range",
     {{"diapazon.txt", {"+++1", "**1", "_1_1_Первый", "+++2", "**1", "_1_2_Все"}}},
     {},
     false,
     {{"diapazon.txt", 3, W}},
     "вопрос 2 не входит"},
    {"right answers in one place",
     tenQuestions(true),
     {},
     false,
     {{"vopros.txt", 1, W}},
     "первым в 10 вопросах из 10"},
    {"right answers in several places", tenQuestions(false), {}, false, {}},
    // Two options put more than half in one place by chance alone, shuffled or not.
    {"true/false questions", tenQuestions(true, 2), {}, false, {}},
    {"question without options",
     {{"otvet.txt", {"+++1", "**_1_", "_1_Да", "_2_Нет", "+++2", "**_1_2_", "_1_Да", "_2_Нет"}}},
     {},
     false,
     {{"vopros.txt", 3, W}}},
    {"blank question",
     {{"vopros.txt", withTopicTwo({"+++1", "_001_1_1_a", "_002_2_1_   "})}},
     {},
     false,
     {{"vopros.txt", 3, W}}},
    {"correct digit offered by no option",
     {{"vopros.txt", withTopicTwo({"+++1", "_001_1_1_a", "_002_3_1_b"})}},
     {},
     false,
     {{"vopros.txt", 3, W}}},
    {"set beyond its topic",
     {{"otvet.txt",
       {"+++1", "**_1_2_3_", "_1_Да", "_2_Нет", "+++2", "**_1_2_", "_1_Да", "_2_Нет"}}},
     {},
     false,
     {{"otvet.txt", 2, W}}},
    {"repeated question number",
     {{"vopros.txt", withTopicTwo({"+++1", "_001_1_1_a", "_001_1_1_b"})}},
     {},
     false,
     {{"vopros.txt", 1, W}, {"vopros.txt", 2, W}}},
    {"question number beyond the topic",
     {{"vopros.txt", withTopicTwo({"+++1", "_001_1_1_a", "_003_2_1_b"})}},
     {},
     false,
     {{"vopros.txt", 1, W}, {"vopros.txt", 3, W}}},
    {"question without consultation",
     {{"konsult.txt", {"+++1", "**_1_", "Пояснение.", "+++2", "**_1_2_", "Пояснение."}}},
     {},
     false,
     {{"vopros.txt", 3, W}}},
    {"diagram missing from the map",
     {{"konsult.txt",
       {"+++1", "**_1_", "$diagram_0007$Пояснение.", "**_2_", "Пояснение.", "+++2", "**_1_2_",
        "Пояснение."}}},
     {},
     false,
     {{"konsult.txt", 3, W}}},
    {"picture missing",
     {{"graph.txt", {"1 diagram2.jpg", "2 нет такого.jpg"}}},
     {},
     false,
     {{"graph.txt", 2, W}}},
    {"picture damaged",
     {{"graph.txt", {"1 diagram2.jpg", "2 broken.jpg"}}},
     {{"broken.jpg", "\xFF\xD8\xFF\xE0 not a picture"}},
     false,
     {{"graph.txt", 2, W}}},
    {"PNG, BMP and ICO pictures",
     {{"graph.txt", {"1 diagram2.jpg", "2 a.png", "3 a.bmp", "4 a.ico"}}},
     {{"a.png", "\x89PNG\r\n\x1A\n..."},
      {"a.bmp", "BM..."},
      {"a.ico", std::string("\0\0\1\0\1\0", 6)}},
     false,
     {}},
    {"JPEG cut short",
     {{"graph.txt", {"1 diagram2.jpg", "2 cut.jpg"}}},
     {{"cut.jpg", "cut"}},  // replaced below by the first half of a real picture
     false,
     {{"graph.txt", 2, W}},
     "обрывается"},
    {"picture not what its name says",
     {{"graph.txt", {"1 diagram2.jpg", "2 a.png", "3 a.ico"}}},
     {{"a.png", "BM..."}, {"a.ico", "\x89PNG\r\n\x1A\n"}},
     false,
     {{"graph.txt", 2, W}, {"graph.txt", 3, W}}},
    {"picture format the program does not show",
     {{"graph.txt", {"1 diagram2.jpg", "2 a.wmf", "3 a.gif"}}},
     {{"a.wmf", "\xD7\xCD\xC6\x9A"}, {"a.gif", "GIF89a"}},
     false,
     {{"graph.txt", 2, E}, {"graph.txt", 3, E}}},
    {"section of a topic main.txt does not list",
     {{"vopros.txt", withTopicTwo({"+++1", "_001_1_1_a", "_002_2_1_b", "+++5", "_001_1_1_c"})}},
     {},
     false,
     {{"vopros.txt", 4, W}}},
};

class CourseChecker : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    dir_ = fs::temp_directory_path() / ("vors_check_" + std::to_string(random()));
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  void writeCase(const Case& c) {
    std::error_code ec;
    fs::remove_all(dir_, ec);
    fs::create_directories(dir_);
    fs::copy_file(fs::path(SAMPLE_COURSE_DIR) / "diagram2.jpg", dir_ / "diagram2.jpg");
    for (const auto& [name, lines] : kCourse) {
      const auto replaced = c.files.find(name);
      std::ofstream out(dir_ / name, std::ios::binary);
      for (const auto& line : replaced == c.files.end() ? lines : replaced->second)
        out << cp(line) << "\r\n";
    }
    for (const auto& [name, bytes] : c.raw) {
      if (bytes.empty()) {
        fs::remove(dir_ / name);
        continue;
      }
      if (bytes == "cut") {
        fs::copy_file(dir_ / "diagram2.jpg", dir_ / name);
        fs::resize_file(dir_ / name, fs::file_size(dir_ / name) / 2);
        continue;
      }
      std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
  }
  std::string folder() const { return dir_.string() + "/"; }
  fs::path dir_;
};

std::string shown(const CourseCheck& check) {
  std::string text;
  for (const Finding& f : check.findings) text += utf8FromCp1251(formatFinding(f)) + "\n";
  return text;
}

TEST_F(CourseChecker, FindsEachFaultOnceWithItsFileAndLine) {
  for (const Case& c : kCases) {
    writeCase(c);
    const CourseCheck check = checkCourse(folder(), folder());
    ASSERT_TRUE(check.readable) << c.name;
    std::vector<Found> found;
    for (const Finding& f : check.findings) found.emplace_back(f.file, f.line, f.kind);
    EXPECT_EQ(found, c.expected) << c.name << "\n" << shown(check);
    for (const Finding& f : check.findings) EXPECT_FALSE(f.what.empty()) << c.name;
    if (*c.says && !check.findings.empty()) {
      EXPECT_NE(formatFindingUtf8(check.findings.back()).find(c.says), std::string::npos)
          << c.name << "\n"
          << shown(check);
    }

    // The checker's errors and the program's refusals are the same faults.
    const unsigned topics = check.topics;
    bool refused = false;
    for (unsigned topic = 0; topic <= topics; ++topic)
      if (!loadBank(folder(), topic, topics + 1).usable()) refused = true;
    EXPECT_EQ(refused, c.refused) << c.name;
    if (refused) {
      EXPECT_GT(check.errors(), 0u) << c.name;
    }
  }
}

TEST_F(CourseChecker, DiagramsAreLookedForInTheCourseThenWhereTheCheckerRuns) {
  writeCase(kCases[0]);
  const fs::path start = dir_ / "start";
  fs::create_directories(start);
  const std::string startFolder = start.string() + "/";
  EXPECT_EQ(shown(checkCourse(folder(), startFolder)), "");
  std::ofstream(start / "graph.txt", std::ios::binary) << "1 nowhere.jpg\r\n";
  EXPECT_EQ(shown(checkCourse(folder(), startFolder)), "");  // the course's own graph.txt
  fs::copy_file(fs::path(SAMPLE_COURSE_DIR) / "diagram1.jpg", start / "diagram2.jpg");
  EXPECT_EQ(shown(checkCourse(folder(), startFolder)),
            "graph.txt:1: предупреждение: рисунок «diagram2.jpg» в текущей папке отличается от "
            "рисунка с тем же именем в папке курса; оставьте один из них, чтобы ученик видел "
            "нужный.\n");
  fs::remove(folder() + "graph.txt");
  EXPECT_EQ(shown(checkCourse(folder(), startFolder)),
            "graph.txt:1: предупреждение: рисунок «nowhere.jpg» не найден.\n");
}

TEST_F(CourseChecker, PastAHundredFindingsOfAKindTheRestAreCounted) {
  Lines otvet = {"+++1", "**_1_2_", "_1_Да", "_2_Нет"};
  for (int i = 0; i < 250; ++i) otvet.push_back("Заметка " + std::to_string(i));
  writeCase({"many", {{"otvet.txt", withTopicTwo(otvet, kOtvetTwo)}}, {}, false, {}});
  const CourseCheck check = checkCourse(folder(), folder());
  ASSERT_EQ(check.findings.size(), kShownFindingsOfAKind + 1);
  EXPECT_EQ(check.warnings(), 250u);
  EXPECT_EQ(check.findings.back().hidden, 150u);
  EXPECT_EQ(utf8FromCp1251(formatFinding(check.findings.back())),
            "otvet.txt:104: предупреждение: то же, что в строке 104, еще 150 раз; эти находки не "
            "показаны.");

  // A line with one fault twice is one finding, shown or counted.
  std::string konsult = cp("+++1\r\n**_1_2_\r\nПояснение.\r\n");
  for (int i = 0; i < 150; ++i) konsult += "a\x98 b\x98\r\n";
  writeCase(
      {"twice a line", {}, {{"konsult.txt", konsult + "+++2\r\n**_1_2_\r\n-\r\n"}}, false, {}});
  EXPECT_EQ(checkCourse(folder(), folder()).errors(), 150u);

  // Names with a closing quote of their own are still one kind of finding.
  std::string graph;
  for (char a = 'a'; a < 'a' + 15; ++a)
    for (char b = 'a'; b < 'a' + 10; ++b) graph += "1 x\xBB" + std::string{a, b} + ".jpg\r\n";
  writeCase({"quotes", {}, {{"graph.txt", graph}}, false, {}});
  const CourseCheck quoted = checkCourse(folder(), folder());
  EXPECT_EQ(quoted.findings.size(), kShownFindingsOfAKind + 1);
  EXPECT_EQ(quoted.warnings(), 150u);
}

TEST_F(CourseChecker, TheSampleCourseChecksClean) {
  const std::string sample = std::string(SAMPLE_COURSE_DIR) + "/";
  const CourseCheck check = checkCourse(sample, sample);
  EXPECT_EQ(shown(check), "");
  EXPECT_EQ(utf8FromCp1251(summaryLine(check)),
            "Курс: 3 темы, 106 вопросов; ошибок 0, предупреждений 0.");
}

TEST_F(CourseChecker, AFolderThatCannotBeReadIsToldApart) {
  EXPECT_FALSE(checkCourse(folder() + "absent/", "").readable);
}

TEST(CheckOutput, FindingAndSummaryShapesInRussianPlurals) {
  EXPECT_EQ(utf8FromCp1251(formatFinding({"otvet.txt", 41, W, cp("набор.")})),
            "otvet.txt:41: предупреждение: набор.");
  EXPECT_EQ(utf8FromCp1251(formatFinding({"main.txt", 0, E, cp("кодировка.")})),
            "main.txt: ошибка: кодировка.");
  // A field quoted from a file keeps the finding on one line.
  EXPECT_EQ(utf8FromCp1251(formatFinding({"diapazon.txt", 3, E, cp("«3\r1»")})),
            "diapazon.txt:3: ошибка: «3\\x0D1»");
  const std::tuple<unsigned, std::size_t, const char*> plurals[] = {
      {1, 1, "1 тема, 1 вопрос"},       {2, 3, "2 темы, 3 вопроса"},
      {5, 11, "5 тем, 11 вопросов"},    {9, 21, "9 тем, 21 вопрос"},
      {3, 112, "3 темы, 112 вопросов"}, {4, 1004, "4 темы, 1004 вопроса"},
  };
  for (const auto& [topics, questions, text] : plurals) {
    CourseCheck check;
    check.topics = topics;
    check.questions = questions;
    check.findings = {{"a", 1, E, "x"}, {"a", 2, W, "y"}, {"a", 3, W, "z"}};
    EXPECT_EQ(utf8FromCp1251(summaryLine(check)),
              std::string("Курс: ") + text + "; ошибок 1, предупреждений 2.");
  }
}

TEST(CheckOutput, ACharacterCodePage1251LacksIsShownInUtf8) {
  const Finding f{"main.txt", 2, E, cp("символа «?» (U+2603) нет."), 0, "☃"};
  EXPECT_EQ(utf8FromCp1251(formatFinding(f)), "main.txt:2: ошибка: символа «?» (U+2603) нет.");
  EXPECT_EQ(formatFindingUtf8(f), "main.txt:2: ошибка: символа «☃» (U+2603) нет.");
}

TEST(CheckOutput, TerminalEncoding) {
  const std::string text = cp("Курс");
  EXPECT_EQ(forTerminal(text, "UTF-8"), "Курс");
  EXPECT_EQ(forTerminal(text, "CP1251"), text);
  EXPECT_EQ(forTerminal(text, "windows-1251"), text);
  EXPECT_EQ(forTerminal(text, "ANSI_X3.4-1968"), "Курс");
}

}  // namespace
