// The import readers' tables, the course folder written and read back, and the
// round trip through the exchange formats.
//
// No Moodle can run here, so the round trip checks the documented rules of the
// formats as the readers implement them. Moodle XML ("Moodle XML format"):
// <quiz> of <question type="...">; a "category" question whose <category><text>
// is a path ("$course$/top/A/B", "//" a slash within a name) sets the category of
// the questions after it; multichoice with <single>, <questiontext format="html">,
// <generalfeedback>, <answer fraction="100|0" format="html"><text>; truefalse with
// the answers "true" and "false". GIFT ("GIFT format"): questions separated by blank
// lines, "//" comment lines, "$CATEGORY: path", "::title::", "[html]" / "[plain]",
// "{=right ~wrong}", "~%50%" weights, "#" answer feedback, "####" general feedback,
// "{T}" / "{FALSE}", "->" matching, "{#...}" numerical, "{}" essay, text after the
// braces (missing word), and "\" before ~ = # { } :. Aiken: one question line,
// options "A. " or "A) ", then "ANSWER: A".
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "convert/course_folder.h"
#include "convert/formats.h"
#include "platform/cp1251.h"
#include "platform/text_file.h"

namespace {

struct Case {
  const char* name;
  std::string input;
  std::size_t converted;
  std::size_t leftOut;
  const char* noteHas;  // a part of the first note, or ""
};

void expectCase(const Case& c, const ConvertResult& r) {
  SCOPED_TRACE(c.name);
  EXPECT_TRUE(r.readable);
  EXPECT_EQ(r.course.questionCount(), c.converted);
  EXPECT_EQ(r.leftOut(), c.leftOut);
  if (*c.noteHas) {
    ASSERT_FALSE(r.notes.empty());
    EXPECT_NE(r.notes.front().message.find(c.noteHas), std::string::npos)
        << r.notes.front().message;
    EXPECT_GT(r.notes.front().line, 0u);
  } else {
    EXPECT_TRUE(r.notes.empty()) << r.notes.front().message;
  }
}

std::string quiz(const std::string& body) {
  return "<?xml version=\"1.0\"?>\n<quiz>\n" + body + "</quiz>\n";
}

std::string multichoice(const std::string& text, const std::string& answers) {
  return "<question type=\"multichoice\"><questiontext format=\"html\"><text><![CDATA[" + text +
         "]]></text></questiontext>" + answers + "</question>\n";
}

std::string answer(const char* fraction, const std::string& text) {
  return std::string("<answer fraction=\"") + fraction + "\"><text>" + text + "</text></answer>";
}

TEST(MoodleXml, WhatConvertsAndWhatIsReported) {
  const std::string two = answer("100", "Да") + answer("0", "Нет");
  const Case cases[] = {
      {"multichoice", quiz(multichoice("Вопрос?", two)), 1, 0, ""},
      {"truefalse",
       quiz(
           "<question type=\"truefalse\"><questiontext><text>Ток - это поток?</text></questiontext>" +
           answer("0", "true") + answer("100", "false") + "</question>"),
       1, 0, ""},
      {"other type",
       quiz(
           "<question type=\"shortanswer\"><questiontext><text>?</text></questiontext></question>"),
       0, 1, "короткий ответ"},
      {"several right", quiz(multichoice("В?", answer("100", "а") + answer("100", "б"))), 0, 1,
       "несколько верных"},
      {"partial credit", quiz(multichoice("В?", answer("50", "а") + answer("50", "б"))), 0, 1,
       "частичной"},
      {"picture", quiz(multichoice("См. <img src=\"@@PLUGINFILE@@/a.png\">", two)), 0, 1,
       "рисунком"},
      {"formatting", quiz(multichoice("<p><b>Жирный</b> вопрос &lt;1&gt;</p>", two)), 1, 0,
       "оформление"},
      {"ten options",
       quiz(multichoice("В?", answer("100", "0") + answer("0", "1") + answer("0", "2") +
                                  answer("0", "3") + answer("0", "4") + answer("0", "5") +
                                  answer("0", "6") + answer("0", "7") + answer("0", "8") +
                                  answer("0", "9"))),
       0, 1, "не больше 9"},
      {"no text", quiz(multichoice("<p> </p>", two)), 0, 1, "нет текста"},
      {"picture in the old image field",
       quiz("<question type=\"multichoice\"><questiontext><text>См. схему</text></questiontext>"
            "<image>pix/a.png</image>" +
            two + "</question>"),
       0, 1, "рисунком"},
      {"multiple response with penalties",
       quiz("<question type=\"multichoice\"><single>false</single><questiontext><text>В?</text>"
            "</questiontext>" +
            answer("100", "а") + answer("-50", "б") + "</question>"),
       1, 0, "нескольких ответов и штрафами"},
      {"link address",
       quiz(multichoice("<a href=\"http://x.ru/a.mp3\">Послушайте</a>: что это?", two)), 1, 0,
       "адрес ссылки"},
  };
  for (const Case& c : cases) expectCase(c, readMoodleXml(c.input, "bank.xml", "bank"));
}

TEST(MoodleXml, CategoriesAndHtmlBecomeTopicsAndPlainText) {
  const ConvertResult r = readMoodleXml(
      quiz(
          "<question type=\"category\"><category><text>$course$/top/Раздел/Цепи // схемы</text></category></question>" +
          multichoice("<p>Закон&nbsp;Ома:</p><p>I = U &amp;divide; R?</p>",
                      answer("100", "Да") + answer("0", "Нет"))),
      "bank.xml", "bank");
  ASSERT_EQ(r.course.topics.size(), 1u);
  EXPECT_EQ(r.course.topics[0].title, "Цепи / схемы");
  EXPECT_EQ(r.course.topics[0].questions[0].text, "Закон Ома: I = U &divide; R?");
  EXPECT_EQ(r.course.name, "Раздел");  // the category above every topic names the course

  const ConvertResult link = readMoodleXml(
      quiz(
          "<question type=\"category\"><category><text>$course$/top/Звук</text></category></question>" +
          multichoice("<a href=\"http://x.ru/a.mp3?a=1&amp;b=2\">Послушайте</a>: что это?",
                      answer("100", "Да") + answer("0", "Нет"))),
      "bank.xml", "bank");
  ASSERT_EQ(link.course.questionCount(), 1u);
  EXPECT_EQ(link.course.topics[0].questions[0].text,
            "Послушайте (http://x.ru/a.mp3?a=1&b=2): что это?");
  EXPECT_EQ(link.course.name, "");  // a topic right under the top names no course
}

TEST(MoodleXml, LinesPast65535AreNamed) {
  std::string body(70000, '\n');
  body += "<question type=\"essay\"><questiontext><text>?</text></questiontext></question>\n";
  const ConvertResult r = readMoodleXml(quiz(body), "bank.xml", "bank");
  ASSERT_EQ(r.notes.size(), 1u);
  EXPECT_EQ(r.notes[0].line, 70003u);
}

TEST(MoodleXml, HostileAndBrokenDocumentsAreRefusedInTheToolsWords) {
  const struct {
    const char* document;
    const char* says;
  } documents[] = {
      {"<?xml version=\"1.0\"?><!DOCTYPE quiz [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><quiz>&x;</quiz>",
       "DOCTYPE"},
      {"<?xml version=\"1.0\"?><!DOCTYPE quiz [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
       "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]><quiz>&d;&d;</quiz>",
       "пределы"},
      {"<quiz><question type=\"multichoice\">", "файл обрывается"},
      {"<quiz></quiz><x/>", "после закрывающего тега </quiz>"},
      {"<quiz>&foo;</quiz>", "&amp;"},
      {"not xml at all", "в файле нет XML"},
      {"", "в файле нет XML"},
      {"<html/>", "нет корневого элемента <quiz>"},
  };
  for (const auto& [document, says] : documents) {
    const ConvertResult r = readMoodleXml(document, "bank.xml", "bank");
    EXPECT_FALSE(r.readable) << document;
    ASSERT_EQ(r.notes.size(), 1u) << document;
    EXPECT_NE(r.notes[0].message.find(says), std::string::npos) << r.notes[0].message;
  }
}

TEST(Gift, WhatConvertsAndWhatIsReported) {
  const Case cases[] = {
      {"multiple choice", "// comment\n::Q1:: Столица? {=Москва ~Тверь ~Псков}\n", 1, 0, ""},
      {"true/false", "Ток течёт от плюса к минусу. {T}\n\nНет. {FALSE}\n", 2, 0, ""},
      {"missing word", "Закон {=Ома ~Фарадея} связывает ток и напряжение.\n", 1, 0, ""},
      {"short answer", "Два плюс два? {=4 =четыре}\n", 0, 1, "короткий ответ"},
      {"matching", "Пары {=a -> 1 =b -> 2 =c -> 3}\n", 0, 1, "соответствие"},
      {"numerical", "Сколько? {#4:0}\n", 0, 1, "числовой"},
      {"essay", "Расскажите. {}\n", 0, 1, "эссе"},
      {"description", "Просто текст\n", 0, 1, "описание"},
      {"weights", "Какие? {~%50%a ~%50%b ~c}\n", 0, 1, "частичной"},
      {"unclosed", "Что? {=a ~b\n", 0, 1, "не закрыт"},
      {"answer feedback", "Что? {=a#верно ~b#нет}\n", 1, 0, "отзывы к отдельным"},
      {"format markers on every text",
       "::Q::[html]Цвет? {~[plain]синий#[html] =[moodle]красный ####[markdown]Так.}\n", 1, 0, ""},
      {"multiple response with penalties", "Какие? {~%100%a ~%-50%b ~%-50%c}\n", 1, 0,
       "нескольких ответов и штрафами"},
      {"a penalty for a wrong answer", "Какой? {=a ~%-25%b ~c}\n", 1, 0, "штрафы"},
  };
  for (const Case& c : cases) expectCase(c, readGift(c.input, "bank.gift", "bank"));
}

TEST(Gift, EscapesCategoriesAndGeneralFeedback) {
  const ConvertResult r = readGift(
      "$CATEGORY: $course$/top/Цепи\n\n[plain]Формула a\\=b\\: верна? {=Да ~Нет ####Так <b>учат</b>.}\n",
      "b.gift", "b");
  ASSERT_EQ(r.course.questionCount(), 1u);
  EXPECT_EQ(r.course.topics[0].title, "Цепи");
  EXPECT_EQ(r.course.topics[0].questions[0].text, "Формула a=b: верна?");
  EXPECT_EQ(r.course.topics[0].questions[0].consultation,
            std::vector<std::string>{"Так <b>учат</b>."});

  // The platform's own export marks every text with its format.
  const ConvertResult marked = readGift(
      "::Q::[plain]Цвет? {~[plain]синий =[html]<i>красный</i> ####[html]Так.}\n", "b.gift", "b");
  ASSERT_EQ(marked.course.questionCount(), 1u);
  const ExchangeQuestion& q = marked.course.topics[0].questions[0];
  EXPECT_EQ(q.options, (std::vector<std::string>{"синий", "красный"}));
  EXPECT_EQ(q.consultation, std::vector<std::string>{"Так."});
}

TEST(Gift, FilesThatAreNotTextAreRefusedAndCodePage1251IsNoted) {
  const std::pair<std::string, bool> files[] = {
      {std::string("\xFF\xFEQ\0?\0 \0{\0=\0a\0 \0~\0b\0}\0", 20), false},  // UTF-16
      {std::string("Q? {=a ~b}\n\0\n", 14), false},                        // a NUL byte
      {"\xF7\xD4\xCF? {=\xC4\xC1 ~\xCE\xC5\xD4}\n", true},                 // KOI8-R, read as 1251
  };
  for (const auto& [bytes, readable] : files) {
    for (const ConvertResult& r :
         {readGift(bytes, "b.gift", "b"), readAiken(bytes, "b.txt", "b")}) {
      EXPECT_EQ(r.readable, readable) << bytes;
      ASSERT_FALSE(r.notes.empty());
      EXPECT_NE(r.notes.front().message.find(readable ? "1251" : "UTF-"), std::string::npos)
          << r.notes.front().message;
    }
  }
}

TEST(Aiken, WhatConvertsAndWhatIsReported) {
  const Case cases[] = {
      {"two questions",
       "Что такое ом?\nA. Единица сопротивления\nB) Единица тока\nANSWER: A\n\nИ?\nA. да\nB. нет\nANSWER: B\n",
       2, 0, ""},
      {"no ANSWER line", "Вопрос?\nA. да\nB. нет\n", 0, 1, "ANSWER"},
      {"answer letter unknown", "Вопрос?\nA. да\nB. нет\nANSWER: C\n", 0, 1, "нет верного"},
      {"stray line", "Вопрос?\nA. да\nчто-то\nB. нет\nANSWER: A\nДругой?\nA. x\nB. y\nANSWER: B\n",
       1, 1, "не вариант"},
      {"options without a blank", "Вопрос?\nA)да\nB.нет\nANSWER: B\n", 1, 0, ""},
      {"Cyrillic letters", "Вопрос?\nА) да\nБ) нет\nВ) не знаю\nОТВЕТ: Б\n", 1, 0, ""},
      {"Latin options, a Cyrillic answer", "Вопрос?\nA. да\nB. нет\nОТВЕТ: Б\n", 1, 0, ""},
      {"unfinished question, then a blank line",
       "Первый?\nA. да\nB. нет\n\nВторой?\nA. x\nB. y\nANSWER: B\n", 1, 1, "ANSWER"},
      {"unfinished question, then the next at once",
       "Первый?\nA. да\nB. нет\nВторой?\nA. x\nB. y\nANSWER: B\n", 1, 1, "не вариант"},
  };
  for (const Case& c : cases) expectCase(c, readAiken(c.input, "bank.txt", "bank"));
}

TEST(Aiken, CyrillicLettersAreTheLatinOnesOfTheSamePlace) {
  const ConvertResult r = readAiken("Вопрос?\nА) один\nБ) два\nВ) три\nANSWER: C\n", "x.txt", "x");
  ASSERT_EQ(r.course.questionCount(), 1u);
  const ExchangeQuestion& q = r.course.topics[0].questions[0];
  EXPECT_EQ(q.options[q.right], "три");
}

TEST(Aiken, ReadsCodePage1251AndTakesTheFileAsTopic) {
  const ConvertResult r =
      readAiken(cp("Вопрос?\r\nA. да\r\nB. нет\r\nANSWER: B\r\n"), "x.txt", "Тема");
  ASSERT_EQ(r.course.questionCount(), 1u);
  EXPECT_EQ(r.course.topics[0].title, "Тема");
  EXPECT_EQ(r.course.topics[0].questions[0].options[1], "нет");
}

// ---- The course folder ----

std::string scratch() {
  char name[] = "/tmp/convert_test.XXXXXX";
  return ::mkdtemp(name);
}

TEST(CourseFolder, RendersTheGrammarAndReportsWhatDoesNotFit) {
  ExchangeCourse course;
  course.topics.push_back({"Тема",
                           {{"Вопрос?", {"да", "нет"}, 1, {"*звёздочка", "+плюс"}, 3},
                            {"Ток ≠ 0?", {"да", "нет"}, 0, {}, 7},
                            {"Без пояснения?", {"да", "нет"}, 0, {}, 9}}});
  course.name = "Электротехника";
  std::vector<ConvertNote> notes;
  const CourseFiles files = renderCourse(course, "b.xml", notes);
  EXPECT_EQ(files.questionCount, 2u);
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].line, 7u);
  EXPECT_NE(notes[0].message.find("U+2260"), std::string::npos);
  EXPECT_EQ(files.main, cp("Тема\r\n"));
  EXPECT_EQ(files.questions, cp("+++1\r\n_001_2_1_Вопрос?\r\n_002_1_1_Без пояснения?\r\n"));
  EXPECT_EQ(files.answers, cp("+++1\r\n**_1_\r\n_1_да\r\n_2_нет\r\n**_2_\r\n_1_да\r\n_2_нет\r\n"));
  EXPECT_EQ(
      files.consultations,
      cp("+++1\r\n**_1_\r\n *звёздочка\r\n +плюс\r\n**_2_\r\nПояснения к этому вопросу нет.\r\n"));
  EXPECT_EQ(
      files.ranges,
      cp("Диапазоны вопросов для режимов контроля и самоконтроля\r\n+++1\r\n**1\r\n_1_2_Все вопросы темы\r\n"));
  EXPECT_EQ(files.identity,
            cp("название=Электротехника\r\nвсе темы=Электротехника (все темы)\r\n"));
}

TEST(CourseFolder, OptionsAreShuffledReproduciblyByTheQuestionsText) {
  // A bank whose right answer is always written first, as platform authors do.
  ExchangeCourse course;
  course.topics.push_back({"Тема", {}});
  for (int i = 0; i < 40; ++i)
    course.topics[0].questions.push_back(
        {"Вопрос " + std::to_string(i) + "?", {"верно", "б", "в", "г"}, 0, {}, 0});
  ExchangeCourse shuffled = course;
  shuffleOptions(shuffled);
  std::size_t first = 0;
  for (const ExchangeQuestion& q : shuffled.topics[0].questions) {
    EXPECT_EQ(q.options[q.right], "верно");
    first += q.right == 0 ? 1 : 0;
  }
  EXPECT_LT(first, 20u);  // about a quarter
  ExchangeCourse again = course;
  shuffleOptions(again);
  for (std::size_t i = 0; i < 40; ++i)
    EXPECT_EQ(again.topics[0].questions[i].options, shuffled.topics[0].questions[i].options);
  // The order is fixed by the documented algorithm (worked out apart from this code), not
  // by a library's shuffle, so a new compiler converts the bank as the old one did.
  EXPECT_EQ(shuffled.topics[0].questions[0].options,
            (std::vector<std::string>{"г", "б", "верно", "в"}));
}

TEST(CourseFolder, NeverOverwritesNorFollowsPlantedLinks) {
  const std::string dir = scratch();
  CourseFiles files{"a\r\n", "b", "c", "d", "e", 1, "f"};
  ASSERT_EQ(::symlink("/tmp/convert_test_target_never_made", (dir + "/main.txt").c_str()), 0);
  EXPECT_TRUE(writeCourseFolder(dir, files, false).has_value());  // not empty
  EXPECT_FALSE(fileExists(dir + "/vopros.txt"));
  EXPECT_FALSE(
      writeCourseFolder(dir, files, true).has_value());  // the link is replaced, not followed
  EXPECT_FALSE(fileExists("/tmp/convert_test_target_never_made"));
  EXPECT_EQ(readText(dir + "/main.txt").value_or(""), "a\r\n");
  EXPECT_TRUE(writeNewFile(dir + "/main.txt", "x", false).has_value());
  EXPECT_EQ(readText(dir + "/main.txt").value_or(""), "a\r\n");
  EXPECT_EQ(std::system(("rm -rf " + dir).c_str()), 0);
}

// ---- Round trip ----

// shuffled: b's options are a's in another order, with the same right answer.
void expectSameQuestions(const ExchangeCourse& a, const ExchangeCourse& b, bool consultations,
                         bool shuffled = false) {
  ASSERT_EQ(a.topics.size(), b.topics.size());
  for (std::size_t t = 0; t < a.topics.size(); ++t) {
    EXPECT_EQ(a.topics[t].title, b.topics[t].title);
    ASSERT_EQ(a.topics[t].questions.size(), b.topics[t].questions.size());
    for (std::size_t i = 0; i < a.topics[t].questions.size(); ++i) {
      const ExchangeQuestion& x = a.topics[t].questions[i];
      const ExchangeQuestion& y = b.topics[t].questions[i];
      EXPECT_EQ(x.text, y.text);
      if (shuffled) {
        EXPECT_TRUE(std::is_permutation(x.options.begin(), x.options.end(), y.options.begin(),
                                        y.options.end()));
        ASSERT_LT(y.right, y.options.size());
        EXPECT_EQ(x.options[x.right], y.options[y.right]);
      } else {
        EXPECT_EQ(x.options, y.options);
        EXPECT_EQ(x.right, y.right);
      }
      if (consultations) {
        EXPECT_EQ(x.consultation, y.consultation);
      }
    }
  }
}

// Export, import, and a course folder written and read again give back the course.
void expectRoundTrip(const ExchangeCourse& course) {
  const ConvertResult xml = readMoodleXml(writeMoodleXml(course), "x.xml", "x");
  EXPECT_EQ(xml.leftOut(), 0u);
  expectSameQuestions(course, xml.course, true);
  const ConvertResult gift = readGift(writeGift(course), "x.gift", "x");
  EXPECT_EQ(gift.leftOut(), 0u);
  for (const ConvertNote& n : gift.notes) ADD_FAILURE() << n.line << " " << n.message;
  expectSameQuestions(course, gift.course, true);

  // Imported as the tool imports: the options shuffled.
  std::vector<ConvertNote> notes;
  const std::string dir = scratch() + "/course";
  ExchangeCourse imported = xml.course;
  shuffleOptions(imported);
  ASSERT_FALSE(writeCourseFolder(dir, renderCourse(imported, "x.xml", notes), false).has_value());
  EXPECT_TRUE(notes.empty());
  const ConvertResult back = readCourseFolder(dir + "/");
  EXPECT_EQ(back.leftOut(), 0u);
  expectSameQuestions(course, back.course, false, true);
  EXPECT_EQ(std::system(("rm -rf " + dir.substr(0, dir.size() - 7)).c_str()), 0);
}

TEST(RoundTrip, SampleCourse) {
  const ConvertResult sample = readCourseFolder(SAMPLE_COURSE_DIR "/");
  ASSERT_EQ(sample.course.questionCount(), 106u);
  EXPECT_EQ(sample.leftOut(), 0u);
  expectRoundTrip(sample.course);
}

TEST(RoundTrip, GeneratedCourses) {
  // Words with every character the formats treat specially.
  const std::vector<std::string> words = {"ток",
                                          "Ом",
                                          "a~b",
                                          "x=y",
                                          "#1",
                                          "{",
                                          "}",
                                          "a:b",
                                          "<b>",
                                          "&amp;",
                                          "\"q\"",
                                          "'",
                                          "\\",
                                          "\\n",
                                          "//",
                                          "::",
                                          "$x$",
                                          "[html]",
                                          "«ёж»",
                                          "№5",
                                          "—",
                                          "%50%",
                                          "->",
                                          "####",
                                          "T",
                                          "+",
                                          "*",
                                          "_1_",
                                          "$diagram_0001$",
                                          "A.",
                                          "ANSWER:"};
  std::mt19937 random(20240517);
  const auto pick = [&](std::size_t lo, std::size_t hi) {
    return std::uniform_int_distribution<std::size_t>(lo, hi)(random);
  };
  const auto phrase = [&] {
    std::string s;
    for (std::size_t n = pick(1, 6); n > 0; --n)
      s += (s.empty() ? "" : " ") + words[pick(0, words.size() - 1)];
    return s;
  };
  for (int round = 0; round < 30; ++round) {
    ExchangeCourse course;
    for (std::size_t t = pick(1, 4); t > 0; --t) {
      ExchangeTopic topic{"Тема " + phrase() + " " + std::to_string(t), {}};
      for (std::size_t q = pick(1, 12); q > 0; --q) {
        ExchangeQuestion question{phrase(), {}, 0, {}, 0};
        for (std::size_t o = pick(2, 9); o > 0; --o) question.options.push_back(phrase());
        question.right = pick(0, question.options.size() - 1);
        for (std::size_t c = pick(0, 3); c > 0; --c) question.consultation.push_back(phrase());
        topic.questions.push_back(question);
      }
      course.topics.push_back(topic);
    }
    SCOPED_TRACE(round);
    expectRoundTrip(course);
  }
}

}  // namespace
