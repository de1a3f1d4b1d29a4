#include "bank/question_card.h"

#include <gtest/gtest.h>

#include "platform/cp1251.h"
#include "platform/pixels.h"

namespace {

// A text of `length` letters with blanks at the given 1-based positions.
std::string textWithBlanks(std::size_t length, std::initializer_list<std::size_t> blanks) {
  std::string text(length, 'x');
  for (std::size_t p : blanks) text[p - 1] = ' ';
  return text;
}

std::string chars(const std::string& text, std::size_t from, std::size_t to) {
  return text.substr(from - 1, to - from + 1);
}

// A bank of one question whose options are the given texts, all in set «_1_».
QuestionBank bankWithOptions(const std::string& question,
                             const std::vector<std::string>& optionTexts) {
  QuestionBank bank;
  bank.QuestionTexts = {question};
  bank.QuestionFlags = {1};
  int digit = 1;
  for (const auto& text : optionTexts) {
    bank.AnswerTexts.push_back("_" + std::to_string(digit++ % 10) + "_" + text);
    bank.AnswerQuestionSets.push_back("_1_");
  }
  return bank;
}

std::vector<int> tops(const CardLayout& card) {
  std::vector<int> result;
  for (const auto& option : card.options) result.push_back(option.top);
  return result;
}

}  // namespace

TEST(BreakPosition, FindsTheLastBlankAtOrBeforeEightyFive) {
  struct Case {
    const char* name;
    std::string text;
    std::size_t want;
  };
  const Case cases[] = {
      {"blank at 80", textWithBlanks(120, {10, 80, 90}), 80},
      {"blank at 85", textWithBlanks(86, {40, 85}), 85},
      {"blank at 86 is too far", textWithBlanks(100, {10, 86}), 10},
      {"no blank among the first 85", textWithBlanks(100, {86, 90}), 85},
      {"no blank at all", textWithBlanks(200, {}), 85},
      {"blank at 1", textWithBlanks(90, {1}), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(breakPosition(c.text), c.want);
  }
}

TEST(BreakPosition, NeverReachesPastAShortText) {
  EXPECT_EQ(breakPosition("ab cd"), 3u);
  EXPECT_EQ(breakPosition("abcd"), 4u);
  EXPECT_EQ(breakPosition(""), 0u);
}

TEST(QuestionCard, WorkedExampleOnBothWindows) {
  const std::string question = textWithBlanks(120, {30, 80});
  const std::string second = textWithBlanks(100, {50, 83, 90});
  const QuestionBank bank =
      bankWithOptions(question, {std::string(40, 'a'), second, std::string(20, 'c')});
  struct Case {
    WindowKind kind;
    std::vector<int> tops;
    int continuationTop, buttonTop, label3Top;
  };
  const Case cases[] = {{WindowKind::SelfControl, {100, 120, 160}, 140, 285, 195},
                        {WindowKind::Testing, {110, 130, 170}, 150, 295, 250}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.kind == WindowKind::Testing ? "testing" : "self-control");
    const CardLayout card = layoutCard(bank, 0, c.kind);
    EXPECT_EQ(card.questionLines, (std::vector<std::string>{chars(question, 1, 80),
                                                            "    " + chars(question, 81, 120)}));
    ASSERT_EQ(card.options.size(), 3u);
    EXPECT_EQ(tops(card), c.tops);
    EXPECT_EQ(card.options[0].width, 255);
    EXPECT_EQ(card.options[0].caption, std::string(40, 'a'));
    EXPECT_FALSE(card.options[0].continuation);
    EXPECT_EQ(card.options[1].width, 615);
    EXPECT_EQ(card.options[1].caption, chars(second, 1, 83));
    EXPECT_EQ(card.options[1].continuation, std::string(13, ' ') + chars(second, 84, 100));
    EXPECT_EQ(card.options[1].continuationTop, c.continuationTop);
    EXPECT_EQ(card.options[2].width, 135);
    EXPECT_EQ(card.extraLines, 2);
    EXPECT_EQ(card.outerHeight, 360);
    EXPECT_EQ(card.buttonTop, c.buttonTop);
    EXPECT_EQ(card.label3Top, c.label3Top);
    EXPECT_FALSE(card.noAnswers);
  }
}

TEST(QuestionCard, WindowGrowsBeyondEightDisplayLines) {
  struct Case {
    const char* name;
    bool brokenQuestion;
    std::size_t shortOptions;
    std::size_t longOptions;
    int selfHeight, selfButtons, selfLabel3;
    int testHeight, testButtons, testLabel3;
  };
  const Case cases[] = {
      {"three short options", false, 3, 0, 360, 285, 155, 360, 295, 250},
      {"eight lines: 5 options, 3 broken", true, 3, 2, 360, 285, 255, 360, 295, 250},
      {"nine lines: 6 options, 3 broken", true, 4, 2, 380, 305, 275, 390, 315, 290},
      // The result label stops 25 above the buttons instead of sliding into them.
      {"ten short options", false, 10, 0, 400, 325, 295, 410, 335, 310},
  };
  const std::string longText = textWithBlanks(100, {60});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> options(c.shortOptions, "short");
    options.insert(options.end(), c.longOptions, longText);
    const QuestionBank bank = bankWithOptions(c.brokenQuestion ? longText : "?", options);

    const CardLayout self = layoutCard(bank, 0, WindowKind::SelfControl);
    EXPECT_EQ(self.outerHeight, c.selfHeight);
    EXPECT_EQ(self.buttonTop, c.selfButtons);
    EXPECT_EQ(self.label3Top, c.selfLabel3);

    const CardLayout test = layoutCard(bank, 0, WindowKind::Testing);
    EXPECT_EQ(test.outerHeight, c.testHeight);
    EXPECT_EQ(test.buttonTop, c.testButtons);
    EXPECT_EQ(test.label3Top, c.testLabel3);
  }
}

TEST(QuestionCard, BreaksOnlyTextsOfEightySixCharactersOrMore) {
  const std::string exact = textWithBlanks(85, {40});
  const std::string over = textWithBlanks(86, {40});
  const std::string huge = textWithBlanks(200, {70, 150, 180});
  const QuestionBank bank = bankWithOptions(exact, {exact, over, huge});

  const CardLayout card = layoutCard(bank, 0, WindowKind::SelfControl);
  EXPECT_EQ(card.questionLines, std::vector<std::string>{exact});
  EXPECT_EQ(card.options[0].caption, exact);
  EXPECT_FALSE(card.options[0].continuation);
  EXPECT_EQ(card.options[1].caption, chars(over, 1, 40));
  EXPECT_EQ(card.options[1].continuation, std::string(13, ' ') + chars(over, 41, 86));
  // The rest of a long text is broken again wherever it is still too long.
  EXPECT_EQ(card.options[2].caption, chars(huge, 1, 70));
  EXPECT_EQ(card.options[2].continuation, std::string(13, ' ') + chars(huge, 71, 150));
  EXPECT_EQ(card.options[2].furtherLines,
            (std::vector<std::string>{std::string(13, ' ') + chars(huge, 151, 200)}));
  EXPECT_EQ(card.options[2].width, 1215);
  EXPECT_EQ(tops(card), (std::vector<int>{80, 100, 140}));
  EXPECT_EQ(card.extraLines, 3);

  const CardLayout question = layoutCard(bankWithOptions(huge, {"a"}), 0, WindowKind::Testing);
  EXPECT_EQ(question.questionLines,
            (std::vector<std::string>{chars(huge, 1, 70), "    " + chars(huge, 71, 150),
                                      "    " + chars(huge, 151, 200)}));
  EXPECT_EQ(question.options[0].top, 130);
}

TEST(QuestionCard, LongTextsTakeAsManyLinesAsTheyNeed) {
  // Words of ten characters with their blank: eight make a display line of 80.
  auto textOfLines = [](std::size_t lines) {
    std::string text;
    for (std::size_t i = 0; i < lines * 8; ++i) text += "abcdefghi ";
    text.pop_back();
    return text;
  };
  struct Case {
    const char* name;
    std::size_t questionLines, optionLines;  // the second option is one short line
    std::vector<int> selfTops;
    int selfHeight, selfButtons, selfLabel3;
    int testHeight, testButtons, testLabel3;
  };
  const Case cases[] = {
      {"a question of three lines", 3, 1, {120, 140}, 360, 285, 175, 360, 295, 250},
      {"an option of five lines", 1, 5, {80, 180}, 360, 285, 215, 360, 295, 250},
      {"question and option of ten lines", 10, 10, {260, 460}, 600, 525, 495, 610, 535, 510},
      {"26 lines: the tallest card that fits a small screen",
       16,
       10,
       {380, 580},
       720,
       645,
       615,
       730,
       655,
       630},
      {"27 lines: self-control at the bound, testing beyond",
       17,
       10,
       {400, 600},
       740,
       665,
       635,
       750,
       675,
       650},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string question = textOfLines(c.questionLines);
    const std::string option = textOfLines(c.optionLines);
    const QuestionBank bank = bankWithOptions(question, {option, "short"});

    const CardLayout self = layoutCard(bank, 0, WindowKind::SelfControl);
    EXPECT_EQ(tops(self), c.selfTops);
    EXPECT_EQ(self.extraLines, static_cast<int>(c.questionLines + c.optionLines - 2));
    EXPECT_EQ(self.outerHeight, c.selfHeight);
    EXPECT_EQ(self.buttonTop, c.selfButtons);
    EXPECT_EQ(self.label3Top, c.selfLabel3);
    EXPECT_EQ(self.outerHeight <= kTallestFittingCard, c.selfHeight <= 740);

    // Every line holds whole words of at most 85 characters, and together they are the text.
    std::string joined = self.options[0].caption;
    if (self.options[0].continuation) {
      EXPECT_EQ(self.options[0].continuationTop, c.selfTops[0] + 20);
      joined += self.options[0].continuation->substr(13);
    }
    for (const std::string& line : self.options[0].furtherLines) joined += line.substr(13);
    EXPECT_EQ(joined, option);
    EXPECT_EQ(self.options[0].furtherLines.size(), c.optionLines > 2 ? c.optionLines - 2 : 0);
    EXPECT_EQ(self.questionLines.size(), c.questionLines);
    EXPECT_EQ(displayLineCount(question, CardText::Question, WindowKind::Testing), c.questionLines);

    const CardLayout test = layoutCard(bank, 0, WindowKind::Testing);
    EXPECT_EQ(test.outerHeight, c.testHeight);
    EXPECT_EQ(test.buttonTop, c.testButtons);
    EXPECT_EQ(test.label3Top, c.testLabel3);
    EXPECT_EQ(test.outerHeight <= kTallestFittingCard, c.testHeight <= 740);
  }
}

TEST(QuestionCard, AWordLongerThanALineIsCutAtItsFullWidth) {
  const std::string word(200, 'x');
  const std::vector<std::string_view> lines =
      displayLines(word, CardText::Question, WindowKind::Testing);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 85u);
  EXPECT_EQ(lines[1].size(), 85u);
  EXPECT_EQ(lines[2].size(), 30u);
  EXPECT_EQ(displayLineCount("", CardText::Option, WindowKind::Testing), 1u);
  EXPECT_EQ(displayLines("", CardText::Option, WindowKind::SelfControl).size(), 1u);
}

// Lines of at most 85 characters can still be wider than the window: wide
// letters, capitals, the indent of an option's further lines. They break at
// the last blank that fits, by the width the window's font gives them.
TEST(QuestionCard, NoLineIsWiderThanTheWindowShowsIt) {
  struct Case {
    const char* name;
    CardText where;
    WindowKind kind;
    std::vector<const char*> lines;  // UTF-8; the text is what they make together
  };
  const char* const phase1 =
      "Фазное напряжение меньше линейного в корень из трех раз, поэтому при соединении ";
  const char* const capitals1 =
      "ОПРЕДЕЛИТЕ ЭКВИВАЛЕНТНОЕ СОПРОТИВЛЕНИЕ ЦЕПИ, ИЗОБРАЖЕННОЙ НА СХЕМЕ, ";
  const Case cases[] = {
      {"ordinary text fits the question's second line as the 85 characters break it",
       CardText::Question,
       WindowKind::Testing,
       {phase1,
        "звездой и линейном напряжении 380 вольт фазное напряжение трехфазной сети составляет ",
        "220 вольт."}},
      {"behind an option's thirteen blanks the same line does not",
       CardText::Option,
       WindowKind::Testing,
       {phase1, "звездой и линейном напряжении 380 вольт фазное напряжение трехфазной сети ",
        "составляет 220 вольт."}},
      {"capitals on the testing window",
       CardText::Question,
       WindowKind::Testing,
       {capitals1, "ЕСЛИ ВСЕ ШЕСТЬ РЕЗИСТОРОВ ОДИНАКОВЫ."}},
      {"capitals on the wider self-control window",
       CardText::Question,
       WindowKind::SelfControl,
       {"ОПРЕДЕЛИТЕ ЭКВИВАЛЕНТНОЕ СОПРОТИВЛЕНИЕ ЦЕПИ, ИЗОБРАЖЕННОЙ НА СХЕМЕ, ЕСЛИ ",
        "ВСЕ ШЕСТЬ РЕЗИСТОРОВ ОДИНАКОВЫ."}},
      {"a word wider than the window is cut at its edge",
       CardText::Option,
       WindowKind::Testing,
       {"Ш-ШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШШ", "ШШШШШШШШШШШШШШШ конец"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string text;
    std::vector<std::string> want;
    for (const char* line : c.lines) {
      want.push_back(cp(line));
      text += want.back();
    }
    std::vector<std::string> got;
    for (std::string_view line : displayLines(text, c.where, c.kind)) got.emplace_back(line);
    EXPECT_EQ(got, want);
    EXPECT_EQ(displayLineCount(text, c.where, c.kind), want.size());
  }
}

TEST(QuestionCard, AnOptionIsSetInBoldOnlyWhereItStillFits) {
  const std::string wide =
      cp("Какую мощность потребляет из сети трехфазный двигатель, если на щитке машины указана");
  const CardLayout card =
      layoutCard(bankWithOptions("?", {wide, cp("Ом")}), 0, WindowKind::Testing);
  EXPECT_FALSE(card.options[0].boldFits);
  EXPECT_TRUE(card.options[1].boldFits);
}

TEST(QuestionCard, ACardTallerThanTheScreenScrollsAboveTheButtons) {
  struct Case {
    const char* name;
    std::size_t optionLines;
    WindowKind kind;
    int maxOuterHeight;
    CardFit want;
  };
  const Case cases[] = {
      {"fits: as laid out", 30, WindowKind::Testing, 1080, {{810, 735, 710}, false, 0, 0, 0}},
      // 830 high on a 768-pixel screen with a task bar: 62 pixels scroll.
      {"testing window, 31 lines",
       31,
       WindowKind::Testing,
       768,
       {{768, 693, 668}, true, 52, 664, 726}},
      {"self-control window, 31 lines",
       31,
       WindowKind::SelfControl,
       768,
       {{768, 693, 663}, true, 44, 659, 711}},
      {"a screen lower than the smallest window",
       31,
       WindowKind::Testing,
       200,
       {{360, 285, 260}, true, 52, 256, 726}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int questionTop = c.kind == WindowKind::Testing ? 56 : 48;
    const CardFit fit = fitCard(cardFrame(1, c.optionLines, c.kind), questionTop, c.maxOuterHeight);
    EXPECT_EQ(fit.frame.outerHeight, c.want.frame.outerHeight);
    EXPECT_EQ(fit.frame.buttonTop, c.want.frame.buttonTop);
    EXPECT_EQ(fit.frame.label3Top, c.want.frame.label3Top);
    EXPECT_EQ(fit.scrolls, c.want.scrolls);
    EXPECT_EQ(fit.bandTop, c.want.bandTop);
    EXPECT_EQ(fit.bandBottom, c.want.bandBottom);
    EXPECT_EQ(fit.contentBottom, c.want.contentBottom);
  }
}

TEST(QuestionCard, OptionsAreTheAnswerLinesWhoseSetNamesTheQuestion) {
  QuestionBank bank;
  bank.QuestionTexts = std::vector<std::string>(12, "?");
  bank.QuestionFlags = std::vector<std::uint16_t>(12, 1);
  bank.AnswerTexts = {"_1_for 1 and 12", "_2_also 1 and 12", "_1_for 2", "_2_for 2 too"};
  bank.AnswerQuestionSets = {"_1_12_", "_1_12_", "_2_", "_2_"};

  auto captionsOf = [&](std::size_t n) {
    std::vector<std::string> result;
    for (const auto& option : layoutCard(bank, n, WindowKind::SelfControl).options)
      result.push_back(option.caption);
    return result;
  };
  EXPECT_EQ(captionsOf(1), (std::vector<std::string>{"for 2", "for 2 too"}));
  EXPECT_EQ(captionsOf(0), (std::vector<std::string>{"for 1 and 12", "also 1 and 12"}));
  EXPECT_EQ(captionsOf(11), (std::vector<std::string>{"for 1 and 12", "also 1 and 12"}));
}

TEST(QuestionCard, OptionsKeepTheirDigitsAlsoWhenTheyRepeat) {
  QuestionBank bank;
  bank.QuestionTexts = {"?"};
  bank.AnswerTexts = {"_3_first", "_3_second", "_7_third", "x plain line", "_"};
  bank.AnswerQuestionSets = std::vector<std::string>(5, "_1_");

  const CardLayout card = layoutCard(bank, 0, WindowKind::SelfControl);
  ASSERT_EQ(card.options.size(), 5u);
  EXPECT_EQ(card.options[0].digit, 3);
  EXPECT_EQ(card.options[1].digit, 3);
  EXPECT_EQ(card.options[2].digit, 7);
  // A line without its digit can never be the right option; it is still shown.
  EXPECT_EQ(card.options[3].digit, kUnknownDigit);
  EXPECT_EQ(card.options[3].caption, "x plain line");
  EXPECT_EQ(card.options[4].caption, "");
  EXPECT_EQ(card.options[4].width, 15);
}

TEST(QuestionCard, AQuestionWithoutAnswersShowsOneNoticeWithDigitOne) {
  QuestionBank named;
  named.QuestionTexts = {"?", "?"};
  named.AnswerTexts = {"_1_only for 2"};
  named.AnswerQuestionSets = {"_2_"};
  QuestionBank empty;
  empty.QuestionTexts = {"?"};

  for (const QuestionBank* bank : {&named, &empty}) {
    const CardLayout card = layoutCard(*bank, 0, WindowKind::Testing);
    EXPECT_TRUE(card.noAnswers);
    ASSERT_EQ(card.options.size(), 1u);
    EXPECT_EQ(card.options[0].caption, cp("Ответы не найдены."));
    EXPECT_EQ(card.options[0].digit, 1);
    EXPECT_EQ(card.options[0].top, 90);
    EXPECT_EQ(card.options[0].width, 18 * 6 + 15);
  }
}

TEST(QuestionCard, TestingWindowTakesTheDiagramFromTheFirstLineOfTheBlock) {
  QuestionBank bank;
  bank.QuestionTexts = {"q1", "q2", "q3", "q4"};
  bank.AnswerTexts = {"_1_a"};
  bank.AnswerQuestionSets = {"_1_2_3_4_"};
  bank.ConsultTexts = {"_1_", "_2_", "_2_", "_3_"};
  bank.ConsultBlocks = {
      {cp("$diagram_0007$Общее пояснение.")},
      {cp("$diagram_0011$Первое пояснение ко второму.")},
      {cp("Позднее пояснение ко второму."), "$diagram_0042$"},
      {cp("$diagram_0042$Пояснение к третьему.")},
  };
  struct Case {
    const char* name;
    std::size_t n;
    std::optional<std::string> want;
  };
  const Case cases[] = {
      {"marker on the first line", 2, "diagram_0042"},
      {"the last block naming the question wins; its later lines are not read", 1, std::nullopt},
      {"a question no block names uses the first block", 3, "diagram_0007"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(layoutCard(bank, c.n, WindowKind::Testing).diagramName, c.want);
    EXPECT_FALSE(layoutCard(bank, c.n, WindowKind::SelfControl).diagramName);
  }
}

TEST(QuestionCard, NoDiagramWithoutBlocksAnUnclosedMarkerNamesNone) {
  QuestionBank bank;
  bank.QuestionTexts = {"q1"};
  EXPECT_FALSE(layoutCard(bank, 0, WindowKind::Testing).diagramName);

  bank.ConsultTexts = {"_1_"};
  bank.ConsultBlocks = {{}};
  EXPECT_FALSE(layoutCard(bank, 0, WindowKind::Testing).diagramName);

  bank.ConsultBlocks = {{"$diagram_0007 never closed"}};
  EXPECT_EQ(layoutCard(bank, 0, WindowKind::Testing).diagramName, std::string());
}

TEST(QuestionCard, AVeryLongOptionIsClampedToWhatAWidgetTakes) {
  const CardLayout card =
      layoutCard(bankWithOptions("?", {std::string(6000, 'x'), "short"}), 0, WindowKind::Testing);
  ASSERT_EQ(card.options.size(), 2u);
  EXPECT_EQ(card.options[0].width, kMaxPixels);
  EXPECT_EQ(card.options[1].width, 5 * 6 + 15);
}
