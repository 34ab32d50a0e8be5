#include <gtest/gtest.h>

#include <string>

#include "tests/unit/fake_platform.h"

namespace kelto::testing {
namespace {

using namespace std::string_literals;

struct AllTextCase {
  const char* name;
  std::string delivered;
  std::u16string stored;
};

void PrintTo(const AllTextCase& c, std::ostream* out) {
  *out << c.name;
}

class AllTextNormalisation : public ::testing::TestWithParam<AllTextCase> {};

TEST_P(AllTextNormalisation, StoresTheExpectedText) {
  FakeLink fake;
  fake.link.StartLink();
  fake.library.Callbacks().OnDapiAllText(GetParam().delivered);
  EXPECT_EQ(Utf8(fake.link.State().DapiAllText), Utf8(GetParam().stored));
  EXPECT_EQ(fake.link.State().DapiAllText.size(), GetParam().stored.size());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AllTextNormalisation,
    ::testing::Values(AllTextCase{"TrailingLineBreaksGo", "abc\r\n\r\n", u"abc"},
                      AllTextCase{"CutTakesTheFourBeforeTheNul", "0123456789\0trailer"s, u"012345"},
                      AllTextCase{"EarlyNulKeepsEverything", "ab\0cd\r\n"s, u"ab\0cd"s},
                      AllTextCase{"OnlyLineBreaksBecomeEmpty", "\r\n\r\n\r\n", u""},
                      AllTextCase{"LastLineLosesTwoCharacters",
                                  "x: The Game Is Rock, Paper, Scissors\r\n\0zz"s,
                                  u"x: The Game Is Rock, Paper, Scisso"},
                      AllTextCase{"BytesAboveAsciiAreWidened", "\xE9t\xE9\r\n", u"\u00E9t\u00E9"},
                      AllTextCase{"OnlyANul", "\0"s, u"\0"s},
                      AllTextCase{"NulRightAfterLineBreakAtFive", "ab\r\n\0"s, u"ab\r\n\0"s},
                      AllTextCase{"NulRightAfterLineBreakLater", "abcd\r\n\0"s, u"ab"},
                      AllTextCase{"LoneLineFeedsStay", "a\nb\n", u"a\nb\n"},
                      AllTextCase{"HalfALineBreakStays", "a\r\n\r", u"a\r\n\r"},
                      AllTextCase{"Empty", "", u""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AllTextNormalisation, HugeTextIsCutAtItsNul) {
  FakeLink fake;
  fake.link.StartLink();
  std::string text(8 << 20, 'a');
  text += "bcde"s + '\0' + std::string(1000, 'z');
  fake.library.Callbacks().OnDapiAllText(text);
  EXPECT_EQ(fake.link.State().DapiAllText.size(), std::size_t{8 << 20});
}

TEST(Callbacks, ResultCodeIsStoredUntrimmed) {
  FakeLink fake;
  fake.link.StartLink();
  fake.library.Callbacks().OnDapiResult(" 0 ");
  EXPECT_EQ(fake.link.State().DapiResult, u" 0 ");
  fake.library.Callbacks().OnDapiResult("");
  EXPECT_EQ(fake.link.State().DapiResult, u"");
}

TEST(Callbacks, MessageIsStoredWhole) {
  FakeLink fake;
  fake.link.StartLink();
  fake.library.Callbacks().OnDapiMessage("one\0two"s, -7, "\xFF");
  EXPECT_EQ(fake.link.State().DapiMsgText1, u"one\0two"s);
  EXPECT_EQ(fake.link.State().DapiMsgNumber, -7);
  EXPECT_EQ(fake.link.State().DapiMsgText2, u"\u00FF");
}

}  // namespace
}  // namespace kelto::testing
