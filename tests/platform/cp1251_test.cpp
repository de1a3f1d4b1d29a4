#include <gtest/gtest.h>

#include "platform/cp1251.h"

TEST(Cp1251_Literals, RussianTextBecomesSingleBytes) {
  EXPECT_EQ(cp("АЯаяЁё№"), "\xc0\xdf\xe0\xff\xa8\xb8\xb9");
  EXPECT_EQ(cp("Ответы не найдены."),
            "\xce\xf2\xe2\xe5\xf2\xfb \xed\xe5 \xed\xe0\xe9\xe4\xe5\xed\xfb.");
  EXPECT_EQ(cp("plain _1_2_"), "plain _1_2_");
  // Characters the code page lacks, and broken UTF-8, become '?'.
  EXPECT_EQ(cp("a\xe4\xb8\xad"
               "b"),
            "a?b");
  EXPECT_EQ(cp("\xd0"), "?");
  EXPECT_EQ(cp("\xff"
               "x"),
            "?x");
}

TEST(Cp1251_RoundTrip, EveryByteSurvivesBothWays) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(cp1251FromUtf8(utf8FromCp1251(all)), all);
  EXPECT_EQ(utf8FromCp1251("\x98"), "\xc2\x98");
  EXPECT_EQ(utf8FromCp1251("\x88\xb9"), "\xe2\x82\xac\xe2\x84\x96");
}

TEST(Cp1251_MalformedUtf8, EachByteOutsideAWellFormedSequenceBecomesAQuestionMark) {
  struct Case {
    const char* utf8;
    const char* want;
  };
  const Case cases[] = {
      {"\xc0\x80", "??"},            // overlong NUL
      {"\xe0\x80\xaf", "???"},       // overlong three-byte form
      {"\xf0\x80\x80\xaf", "????"},  // overlong four-byte form
      {"\xd0"
       "A",
       "?A"},  // cut short: the 'A' is kept
      {"\xe2\x82"
       "A",
       "??A"},
      {"\x80\xbf", "??"},            // continuation bytes without a lead
      {"\xed\xa0\x80", "???"},       // a surrogate
      {"\xf4\x90\x80\x80", "????"},  // beyond U+10FFFF
      {"\xf5\x80\x80\x80", "????"},
      {"\xd0\x96\xf0\x9f\x98\x80", "\xc6?"},  // well formed: Ж, and an emoji the code page lacks
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.want);
    EXPECT_EQ(cp1251FromUtf8(c.utf8), c.want);
  }
}
