// The sample course shipped beside the program must load cleanly in every
// topic choice and hang together: options, consultations, diagrams, ranges.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "bank/course_files.h"
#include "bank/question_bank.h"
#include "bank/range_file.h"
#include "platform/cp1251.h"
#include "platform/data_error.h"
#include "platform/text_file.h"

namespace {

const std::string kFolder = std::string(SAMPLE_COURSE_DIR) + "/";

std::string bytesOf(const std::string& name) {
  std::ifstream in(kFolder + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> linesOf(const std::string& name) {
  auto lines = readLines(kFolder + name);
  return lines ? *lines : std::vector<std::string>{};
}

// Entries of the topic list, entry 0 (all topics) included.
unsigned topicCount() { return static_cast<unsigned>(topicTitles(linesOf("main.txt")).size()) + 1; }

QuestionBank load(unsigned topic) {
  BankLoad result = loadBank(kFolder, topic, topicCount());
  EXPECT_FALSE(result.error) << "topic " << topic << ": "
                             << (result.error ? utf8FromCp1251(describe(*result.error)) : "");
  return result.bank;
}

}  // namespace

TEST(SampleCourse, FilesAreCp1251WithCrLfAndNoEmptyLines) {
  for (const char* name :
       {"main.txt", "vopros.txt", "otvet.txt", "konsult.txt", "diapazon.txt", "graph.txt"}) {
    SCOPED_TRACE(name);
    const std::string text = bytesOf(name);
    ASSERT_GE(text.size(), 2u);
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_NE(text.substr(0, 2), "\r\n");
    EXPECT_EQ(text.find("\n\r\n"), std::string::npos);  // an empty line
    std::size_t badEnd = std::string::npos;             // first LF without CR, or CR without LF
    bool lowercaseCyrillic = false;
    for (std::size_t i = 0; i < text.size() && badEnd == std::string::npos; ++i) {
      const auto byte = static_cast<unsigned char>(text[i]);
      if ((byte == '\n' && (i == 0 || text[i - 1] != '\r')) ||
          (byte == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
        badEnd = i;
      }
      // UTF-8 Cyrillic never uses bytes 0xE0-0xFF; code page 1251 puts а-я there.
      lowercaseCyrillic = lowercaseCyrillic || byte >= 0xE0;
    }
    EXPECT_EQ(badEnd, std::string::npos) << "line end at byte " << badEnd;
    if (std::string(name) != "graph.txt") {
      EXPECT_TRUE(lowercaseCyrillic);
    }
  }
}

TEST(SampleCourse, EveryTopicChoiceLoadsCompleteQuestions) {
  ASSERT_EQ(topicCount(), 4u);
  std::size_t sum = 0;
  for (unsigned topic : {1u, 2u, 3u, 0u}) {  // all topics last, to compare with the sum
    SCOPED_TRACE(topic);
    const QuestionBank bank = load(topic);
    const std::size_t count = bank.QuestionTexts.size();
    if (topic == 0) {
      EXPECT_EQ(count, sum);
    } else {
      EXPECT_GE(count, 30u);
      sum += count;
    }
    ASSERT_EQ(bank.QuestionFlags.size(), count);
    ASSERT_EQ(bank.AnswerQuestionSets.size(), bank.AnswerTexts.size());
    for (unsigned q = 1; q <= count; ++q) {
      EXPECT_NE(bank.QuestionTexts[q - 1], "   ") << "filler question " << q;
      std::set<char> digits;
      for (std::size_t a = 0; a < bank.AnswerTexts.size(); ++a)
        if (setContains(bank.AnswerQuestionSets[a], q) && bank.AnswerTexts[a].size() > 1)
          digits.insert(bank.AnswerTexts[a][1]);
      EXPECT_TRUE(digits.count(static_cast<char>('0' + bank.QuestionFlags[q - 1])))
          << "question " << q << " has no option with its correct digit";
      bool consulted = false;
      for (const std::string& set : bank.ConsultTexts) consulted = consulted || setContains(set, q);
      EXPECT_TRUE(consulted) << "question " << q << " has no consultation";
    }
  }
}

TEST(SampleCourse, DiagramMarkersNameJpegPicturesInGraphMap) {
  std::map<unsigned, std::string> pictures;  // the later line wins, as in the diagram window
  for (const std::string& line : linesOf("graph.txt")) {
    const std::size_t blank = line.find(' ');
    ASSERT_NE(blank, std::string::npos) << line;
    pictures[static_cast<unsigned>(std::stoul(line.substr(0, blank)))] = line.substr(blank + 1);
  }
  std::set<unsigned> diagrams;
  for (const auto& block : load(0).ConsultBlocks) {
    ASSERT_FALSE(block.empty());
    for (std::size_t i = 0; i < block.size(); ++i) {
      const std::string& line = block[i];
      if (line.find("$diagram") == std::string::npos) continue;
      // Only a marker at the start of a block's first line is both hidden and offered.
      ASSERT_EQ(i, 0u) << line;
      ASSERT_TRUE(line.rfind("$diagram", 0) == 0 && line.size() > 14 && line[8] != '$' &&
                  line[13] == '$')
          << line;
      unsigned number = 0;
      for (std::size_t p = 9; p < 13; ++p) {
        ASSERT_TRUE(digitAt(line, p + 1)) << line;
        number = number * 10 + *digitAt(line, p + 1);
      }
      diagrams.insert(number);
    }
  }
  EXPECT_GE(diagrams.size(), 2u);
  for (unsigned number : diagrams) {
    SCOPED_TRACE(number);
    ASSERT_TRUE(pictures.count(number));
    const std::string picture = bytesOf(pictures[number]);
    EXPECT_EQ(picture.substr(0, 3), "\xFF\xD8\xFF");
  }
}

TEST(SampleCourse, RangesLieWithinEachTopic) {
  const std::vector<std::string> lines = linesOf("diapazon.txt");
  ASSERT_FALSE(lines.empty());
  for (unsigned topic = 1; topic < topicCount(); ++topic) {
    SCOPED_TRACE(topic);
    const std::size_t count = load(topic).QuestionTexts.size();
    const RangeList ranges = readRanges(lines, topic);
    ASSERT_TRUE(ranges) << utf8FromCp1251(describe(ranges.error()));
    ASSERT_FALSE(ranges->empty());
    bool whole = false;
    for (const RangeEntry& entry : *ranges) {
      const RangeChoice choice = chooseRange(entry, count);
      ASSERT_TRUE(choice) << "line " << entry.line;
      EXPECT_FALSE(entry.caption.empty());
      whole = whole || (choice->first == 1 && choice->last == count);
    }
    EXPECT_TRUE(whole) << "no range offers the whole topic";
    // The count line announces as many ranges as the section holds.
    bool inTopic = false;
    for (const std::string& line : lines) {
      if (classify(line) == LineKind::TopicMarker) inTopic = digitAt(line, 4) == topic;
      if (inTopic && classify(line) == LineKind::Set) {
        EXPECT_EQ(digitAt(line, 3), ranges->size());
      }
    }
  }
}
