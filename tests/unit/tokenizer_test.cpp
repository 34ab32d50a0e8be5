#include <gtest/gtest.h>

#include "window/tokenizer.h"

namespace kelto::testing {
namespace {

TEST(GetToken, WalksFieldsIncludingAnEmptyOne) {
  Tokenizer tokenizer;
  EXPECT_EQ(tokenizer.GetToken(u"a,b,,c", u","), u"a");
  EXPECT_EQ(tokenizer.GetToken(u"", u","), u"b");
  EXPECT_EQ(tokenizer.GetToken(u"", u","), u"");
  EXPECT_EQ(tokenizer.GetToken(u"", u","), u"c");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(tokenizer.GetToken(u"", u","), u"");
  }
  EXPECT_TRUE(tokenizer.Remainder().empty());
}

TEST(GetToken, RemainderIsKeptBetweenCallsAndReplacedByANewText) {
  Tokenizer tokenizer;
  EXPECT_EQ(tokenizer.GetToken(u"one\r\ntwo\r\nthree", u"\r\n"), u"one");
  EXPECT_EQ(tokenizer.Remainder(), u"two\r\nthree");
  EXPECT_EQ(tokenizer.GetToken(u"x\r\ny", u"\r\n"), u"x");
  EXPECT_EQ(tokenizer.Remainder(), u"y");
}

TEST(GetToken, TrailingDelimiterLeavesAnEmptyRemainder) {
  Tokenizer tokenizer;
  EXPECT_EQ(tokenizer.GetToken(u"a\r\n", u"\r\n"), u"a");
  EXPECT_EQ(tokenizer.Remainder(), u"");
  EXPECT_EQ(tokenizer.GetToken(u"", u"\r\n"), u"");
}

TEST(GetToken, EmptyTextWithNothingRememberedIsEmpty) {
  Tokenizer tokenizer;
  EXPECT_EQ(tokenizer.GetToken(u"", u"\r\n"), u"");
}

TEST(GetToken, HalfADelimiterIsNoDelimiter) {
  Tokenizer tokenizer;
  EXPECT_EQ(tokenizer.GetToken(u"a\rb\nc\n\rd", u"\r\n"), u"a\rb\nc\n\rd");
}

TEST(GetToken, EmptyDelimiterDoesNotHang) {
  Tokenizer tokenizer;
  EXPECT_EQ(tokenizer.GetToken(u"abc", u""), u"");
  EXPECT_EQ(tokenizer.Remainder(), u"abc");
}

}  // namespace
}  // namespace kelto::testing
