#include <gtest/gtest.h>

#include "platform/cp1251.h"

TEST(Cp1251_Literals, RussianTextBecomesSingleBytes) {
  EXPECT_EQ(cp("АЯаяЁё№"), "\xc0\xdf\xe0\xff\xa8\xb8\xb9");
  EXPECT_EQ(cp("Ответы не найдены."), "\xce\xf2\xe2\xe5\xf2\xfb \xed\xe5 \xed\xe0\xe9\xe4\xe5\xed\xfb.");
  EXPECT_EQ(cp("plain _1_2_"), "plain _1_2_");
  // Characters the code page lacks, and broken UTF-8, become '?'.
  EXPECT_EQ(cp("a\xe4\xb8\xad" "b"), "a?b");
  EXPECT_EQ(cp("\xd0"), "?");
  EXPECT_EQ(cp("\xff" "x"), "?x");
}

TEST(Cp1251_RoundTrip, EveryByteSurvivesBothWays) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(cp1251FromUtf8(utf8FromCp1251(all)), all);
  EXPECT_EQ(utf8FromCp1251("\x98"), "\xc2\x98");
  EXPECT_EQ(utf8FromCp1251("\x88\xb9"), "\xe2\x82\xac\xe2\x84\x96");
}
