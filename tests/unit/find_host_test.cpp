#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/unit/find_host_fakes.h"
#include "window/host_discovery.h"

namespace kelto::testing {
namespace {

using namespace std::string_literals;

const std::u16string kAnnounce = u": The Game Is Rock, Paper, Scissors";

class FindHostTest : public ::testing::Test {
 protected:
  std::u16string Scan(const std::u16string& text) {
    FindHost(text, controls, tokenizer, lowerCase);
    return controls.host;
  }
  FakeHostControls controls;
  Tokenizer tokenizer;
  AsciiLowerCase lowerCase;
};

TEST_F(FindHostTest, LastAnnouncementWins) {
  EXPECT_EQ(Scan(u"alice: hi\r\nbob" + kAnnounce + u"\r\ncarol" + kAnnounce), u"carol");
  EXPECT_EQ(controls.writes, 1);
}

TEST_F(FindHostTest, PrivateMessagePrefixesAreDropped) {
  EXPECT_EQ(Scan(u"ESP from dave" + kAnnounce), u"dave");
  EXPECT_EQ(Scan(u"ESP to erin" + kAnnounce), u"erin");
  // Only one prefix goes, together with whatever single character follows it.
  EXPECT_EQ(Scan(u"ESP to ESP from x" + kAnnounce), u"ESP from x");
  EXPECT_EQ(Scan(u"ESP from\tfay" + kAnnounce), u"fay");
}

TEST_F(FindHostTest, NameStartingWithThePrefixLosesSevenCharacters) {
  EXPECT_EQ(Scan(u"ESP toby" + kAnnounce), u"y");
}

TEST_F(FindHostTest, SystemNeverHosts) {
  EXPECT_EQ(Scan(u"<system>" + kAnnounce), u"(typed by the user)");
  EXPECT_EQ(Scan(u"bob" + kAnnounce + u"\r\n<system>" + kAnnounce), u"bob");
  EXPECT_EQ(Scan(u"ESP to <system>" + kAnnounce), u"bob");
  EXPECT_EQ(Scan(u"<System>" + kAnnounce), u"<System>");
}

TEST_F(FindHostTest, ScanStopsAtTheFirstEmptyLine) {
  EXPECT_EQ(Scan(u"hi\r\n\r\nbob" + kAnnounce), u"(typed by the user)");
  EXPECT_EQ(tokenizer.Remainder(), u"bob" + kAnnounce);
}

TEST_F(FindHostTest, SingleLineWithoutLineBreak) {
  EXPECT_EQ(Scan(u"ann" + kAnnounce), u"ann");
}

TEST_F(FindHostTest, AnnouncementAtTheStartGivesAnEmptyHost) {
  EXPECT_EQ(Scan(kAnnounce + u" now"), u"");
  EXPECT_EQ(controls.writes, 1);
}

TEST_F(FindHostTest, OnlyTheExactAnnouncementMatches) {
  EXPECT_EQ(Scan(u"bob: the game is rock, paper, scissors"), u"(typed by the user)");
  EXPECT_EQ(Scan(u"bob:The Game Is Rock, Paper, Scissors"), u"(typed by the user)");
  EXPECT_EQ(Scan(u"bob: The Game Is Rock, Paper, Scissor"), u"(typed by the user)");
  EXPECT_EQ(controls.writes, 0);
}

TEST_F(FindHostTest, FirstOccurrenceOnALineEndsTheName) {
  EXPECT_EQ(Scan(u"bob" + kAnnounce + kAnnounce), u"bob");
}

TEST_F(FindHostTest, LineFeedsAloneDoNotSplitLines) {
  EXPECT_EQ(Scan(u"alice: hi\nbob" + kAnnounce + u"\ncarol: yo"), u"alice: hi\nbob");
}

TEST_F(FindHostTest, ExactlyThePrefixIsAnEmptyLineThatGoesOn) {
  EXPECT_EQ(Scan(u"ESP to\r\nESP from\r\nbob" + kAnnounce), u"bob");
}

TEST_F(FindHostTest, AvatarListIsEmptiedForEveryScan) {
  controls.avatars.entries = {u"BOB"};
  EXPECT_EQ(Scan(u"bob" + kAnnounce), u"bob");
  EXPECT_EQ(controls.avatars.clears, 1);
}

TEST_F(FindHostTest, NulInsideALineIsAnOrdinaryCharacter) {
  EXPECT_EQ(Scan(u"b\0b"s + kAnnounce), u"b\0b"s);
}

TEST_F(FindHostTest, NonAsciiNamesAreKept) {
  EXPECT_EQ(Scan(u"J\u00FCrgen \u738B" + kAnnounce), u"J\u00FCrgen \u738B");
  EXPECT_EQ(Scan(u"\U0001F600" + kAnnounce), u"\U0001F600");
}

TEST_F(FindHostTest, LinesBeyondTheSixteenBitRange) {
  const std::u16string longName(70000, u'n');
  EXPECT_EQ(Scan(std::u16string(40000, u'x') + u"\r\n" + longName + kAnnounce), longName);
}

TEST_F(FindHostTest, TextsOfMoreThanSixtyFiveThousandLines) {
  std::u16string text;
  for (int line = 0; line < 70000; ++line) {
    text += u"avatar" + std::u16string(1, static_cast<char16_t>(u'a' + line % 26)) + u": hi\r\n";
  }
  text += u"last" + kAnnounce;
  EXPECT_EQ(Scan(text), u"last");
}

TEST(IsInList, ComparesAfterLowerCasing) {
  FakeAvatarList list;
  AsciiLowerCase lowerCase;
  EXPECT_FALSE(IsInList(u"Bob", list, lowerCase));
  list.entries = {u"alice", u"BOB"};
  EXPECT_TRUE(IsInList(u"Bob", list, lowerCase));
  EXPECT_FALSE(IsInList(u"Bo", list, lowerCase));
  EXPECT_FALSE(IsInList(u"", list, lowerCase));
}

// A plain transcription of the scan's steps, with 1-based positions and copies, to
// hold the real one to.
class LiteralScan {
 public:
  std::u16string GetToken(const std::u16string& sText, const std::u16string& sDelimiter) {
    if (sText.size() >= 1) {
      remainder = sText;
    }
    const std::size_t pos = InStr(remainder, sDelimiter);
    if (pos == 0) {
      std::u16string result = remainder;
      remainder.clear();
      return result;
    }
    std::u16string result = Left(remainder, pos - 1);
    remainder = Mid(remainder, pos + sDelimiter.size());
    return result;
  }

  std::u16string FindHost(const std::u16string& text, std::u16string host) {
    std::u16string line = GetToken(text, u"\r\n");
    while (line.size() >= 1) {
      if (Left(line, 6) == u"ESP to") {
        line = Mid(line, 8);
      } else if (Left(line, 8) == u"ESP from") {
        line = Mid(line, 10);
      }
      const std::size_t pos = InStr(line, kAnnounce);
      if (pos > 0) {
        const std::u16string name = Left(line, pos - 1);
        if (name != u"<system>") {
          host = name;
        }
      }
      line = GetToken(u"", u"\r\n");
    }
    return host;
  }

  std::u16string remainder;

 private:
  static std::size_t InStr(const std::u16string& s, const std::u16string& find) {
    const std::size_t at = s.find(find);
    return at == std::u16string::npos ? 0 : at + 1;
  }
  static std::u16string Left(const std::u16string& s, std::size_t n) { return s.substr(0, n); }
  static std::u16string Mid(const std::u16string& s, std::size_t start) {
    return start > s.size() ? std::u16string() : s.substr(start - 1);
  }
};

std::u16string RandomChatText(std::mt19937& random) {
  static const std::u16string kPieces[] = {
      u"ESP to",   u"ESP from", u" ",      u"a",          u"Bo",       u"\r\n",
      u"\r\n",     u"\r",       u"\n",     kAnnounce,     kAnnounce,   u": The Game Is",
      u"<system>", u"\0"s,      u"\u00E9", u"ESP to ann", u"\r\n\r\n", u":"};
  std::uniform_int_distribution<std::size_t> count(0, 24);
  std::uniform_int_distribution<std::size_t> piece(0, std::size(kPieces) - 1);
  std::u16string text;
  for (std::size_t n = count(random); n > 0; --n) {
    text += kPieces[piece(random)];
  }
  return text;
}

TEST(FindHostDifferential, AgreesWithTheLiteralStepsOnRandomTexts) {
  std::mt19937 random(20261207);
  FakeHostControls controls;
  Tokenizer tokenizer;
  AsciiLowerCase lowerCase;
  LiteralScan literal;
  for (int round = 0; round < 20000; ++round) {
    const std::u16string text = RandomChatText(random);
    const std::u16string before = controls.host;
    FindHost(text, controls, tokenizer, lowerCase);
    ASSERT_EQ(controls.host, literal.FindHost(text, before)) << "round " << round;
    ASSERT_EQ(std::u16string(tokenizer.Remainder()), literal.remainder) << "round " << round;
  }
}

TEST(GetTokenDifferential, AgreesWithTheLiteralStepsOnRandomTexts) {
  std::mt19937 random(7);
  const std::u16string delimiters[] = {u"\r\n", u",", u"ab", u"\r\n\r\n"};
  Tokenizer tokenizer;
  LiteralScan literal;
  for (int round = 0; round < 20000; ++round) {
    const std::u16string& delimiter = delimiters[round % std::size(delimiters)];
    // Mostly continue the current text, sometimes start a new one.
    const std::u16string text = random() % 4 == 0 ? RandomChatText(random) + u",ab," : u"";
    ASSERT_EQ(tokenizer.GetToken(text, delimiter), literal.GetToken(text, delimiter))
        << "round " << round;
    ASSERT_EQ(std::u16string(tokenizer.Remainder()), literal.remainder) << "round " << round;
  }
}

}  // namespace
}  // namespace kelto::testing
