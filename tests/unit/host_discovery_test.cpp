// "Get Host": the scan, the tokenizer, the list test and the click's flow.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/unit/fakes.h"
#include "window/host_discovery.h"

namespace kelto::testing {
namespace {

using namespace std::string_literals;

const std::u16string kAnnounce = kAnnouncement;
const std::u16string kUnchanged = u"(typed by the user)";

TEST(FindHost, TakesTheLastQualifyingSenderBeforeTheFirstEmptyLine) {
  const struct {
    const char* name;
    std::u16string text;
    std::u16string host;
  } rows[] = {
      {"last one wins", u"alice: hi\r\nbob" + kAnnounce + u"\r\ncarol" + kAnnounce, u"carol"},
      {"ESP from", u"ESP from dave" + kAnnounce, u"dave"},
      {"ESP to", u"ESP to erin" + kAnnounce, u"erin"},
      {"one prefix only", u"ESP to ESP from x" + kAnnounce, u"ESP from x"},
      {"any separating character", u"ESP from\tfay" + kAnnounce, u"fay"},
      {"a name starting with the prefix loses seven", u"ESP toby" + kAnnounce, u"y"},
      {"<system> never hosts", u"<system>" + kAnnounce, kUnchanged},
      {"<system> after a host", u"bob" + kAnnounce + u"\r\n<system>" + kAnnounce, u"bob"},
      {"<system> behind a prefix", u"ESP to <system>" + kAnnounce, kUnchanged},
      {"<System> is someone else", u"<System>" + kAnnounce, u"<System>"},
      {"stops at the first empty line", u"hi\r\n\r\nbob" + kAnnounce, kUnchanged},
      {"single line without a break", u"ann" + kAnnounce, u"ann"},
      {"announcement at the start", kAnnounce + u" now", u""},
      {"other letter case", u"bob: the game is rock, paper, scissors", kUnchanged},
      {"no space after the colon", u"bob:The Game Is Rock, Paper, Scissors", kUnchanged},
      {"cut short", u"bob: The Game Is Rock, Paper, Scissor", kUnchanged},
      {"first occurrence ends the name", u"bob" + kAnnounce + kAnnounce, u"bob"},
      {"line feeds alone do not split", u"alice: hi\nbob" + kAnnounce + u"\nc", u"alice: hi\nbob"},
      {"exactly a prefix goes on", u"ESP to\r\nESP from\r\nbob" + kAnnounce, u"bob"},
      {"NUL inside a name", u"b\0b"s + kAnnounce, u"b\0b"s},
      {"beyond ASCII", u"J\u00FCrgen \u738B" + kAnnounce, u"J\u00FCrgen \u738B"},
      {"beyond the BMP", u"\U0001F600" + kAnnounce, u"\U0001F600"},
  };
  for (const auto& row : rows) {
    EventLog log;
    FakeWindow window(log);
    Tokenizer tokenizer;
    FindHost(row.text, window, tokenizer);
    EXPECT_EQ(Utf8(window.host), Utf8(row.host)) << row.name;
    EXPECT_LE(window.hostWrites, 1) << row.name;
  }
}

TEST(FindHost, LinesAndTextsBeyondTheSixteenBitRange) {
  EventLog log;
  FakeWindow window(log);
  Tokenizer tokenizer;
  const std::u16string longName(70000, u'n');
  FindHost(std::u16string(40000, u'x') + u"\r\n" + longName + kAnnounce, window, tokenizer);
  EXPECT_EQ(window.host, longName);
  std::u16string text;
  for (int line = 0; line < 70000; ++line) {
    text += u"avatar" + std::u16string(1, static_cast<char16_t>(u'a' + line % 26)) + u": hi\r\n";
  }
  FindHost(text + u"last" + kAnnounce, window, tokenizer);
  EXPECT_EQ(window.host, u"last");
}

TEST(FindHost, EmptiesTheAvatarListFirst) {
  EventLog log;
  FakeWindow window(log);
  Tokenizer tokenizer;
  window.avatars.entries = {u"BOB"};
  FindHost(u"bob" + kAnnounce, window, tokenizer);
  EXPECT_EQ(window.host, u"bob");
  EXPECT_TRUE(window.avatars.entries.empty());
}

TEST(GetToken, WalksAndRemembersAsTheSpecimensSay) {
  Tokenizer tokenizer;
  const struct {
    std::u16string text;
    std::u16string delimiter;
    std::u16string token;
    std::u16string remainder;
  } steps[] = {
      {u"a,b,,c", u",", u"a", u"b,,c"},
      {u"", u",", u"b", u",c"},
      {u"", u",", u"", u"c"},
      {u"", u",", u"c", u""},
      {u"", u",", u"", u""},
      {u"one\r\ntwo\r\nthree", u"\r\n", u"one", u"two\r\nthree"},
      {u"x\r\ny", u"\r\n", u"x", u"y"},  // a new text replaces the remainder
      {u"a\r\n", u"\r\n", u"a", u""},
      {u"", u"\r\n", u"", u""},
      {u"a\rb\nc\n\rd", u"\r\n", u"a\rb\nc\n\rd", u""},  // half a delimiter is none
  };
  for (const auto& step : steps) {
    EXPECT_EQ(tokenizer.GetToken(step.text, step.delimiter), step.token) << Utf8(step.text);
    EXPECT_EQ(tokenizer.Remainder(), step.remainder) << Utf8(step.text);
  }
}

TEST(IsInList, ComparesWholeNamesAfterLowerCasing) {
  EventLog log;
  const FakeWindow textCase(log);
  FakeAvatarList list;
  EXPECT_FALSE(IsInList(u"Bob", list, textCase));
  list.entries = {u"alice", u"BOB"};
  const std::pair<const char16_t*, bool> rows[] = {
      {u"Bob", true}, {u"bob", true}, {u"ALICE", true}, {u"Bo", false}, {u"", false}};
  for (const auto& [name, found] : rows) {
    EXPECT_EQ(IsInList(name, list, textCase), found) << Utf8(name);
  }
}

// A plain transcription of the scan's steps, with 1-based positions and copies, to
// hold the real one to.
class LiteralScan {
 public:
  std::u16string GetToken(const std::u16string& sText, const std::u16string& sDelimiter) {
    if (!sText.empty()) {
      remainder = sText;
    }
    const std::size_t pos = InStr(remainder, sDelimiter);
    if (pos == 0) {
      return std::exchange(remainder, {});
    }
    std::u16string result = remainder.substr(0, pos - 1);
    remainder = Mid(remainder, pos + sDelimiter.size());
    return result;
  }

  std::u16string FindHost(const std::u16string& text, std::u16string host) {
    for (std::u16string line = GetToken(text, u"\r\n"); !line.empty();
         line = GetToken(u"", u"\r\n")) {
      if (line.substr(0, 6) == u"ESP to") {
        line = Mid(line, 8);
      } else if (line.substr(0, 8) == u"ESP from") {
        line = Mid(line, 10);
      }
      const std::size_t pos = InStr(line, kAnnounce);
      if (pos > 0 && line.substr(0, pos - 1) != u"<system>") {
        host = line.substr(0, pos - 1);
      }
    }
    return host;
  }

  std::u16string remainder;

 private:
  static std::size_t InStr(const std::u16string& s, const std::u16string& find) {
    const std::size_t at = s.find(find);
    return at == std::u16string::npos ? 0 : at + 1;
  }
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

TEST(FindHost, AgreesWithTheLiteralStepsOnRandomTexts) {
  std::mt19937 random(20261207);
  EventLog log;
  FakeWindow window(log);
  Tokenizer tokenizer;
  LiteralScan literal;
  for (int round = 0; round < 20000; ++round) {
    const std::u16string text = RandomChatText(random);
    const std::u16string before = window.host;
    FindHost(text, window, tokenizer);
    ASSERT_EQ(window.host, literal.FindHost(text, before)) << "round " << round;
    ASSERT_EQ(std::u16string(tokenizer.Remainder()), literal.remainder) << "round " << round;
  }
}

const std::string kChat = "alice: hi\r\nbob: The Game Is Rock, Paper, Scissors\r\n";
const std::string kGetAllText = R"(DapiGetAllText "Kelto")";

class GetHost : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.link.StartLink();
    fake.events.clear();
  }
  void DeliverInTheWait(const std::string& text) {
    window.batches.emplace_back([this, text] { fake.library.Callbacks().OnDapiAllText(text); });
  }
  void ClickInTheWait() {
    window.batches.emplace_back([this] { discovery.OnGetHost(); });
  }
  FakeLink fake;
  FakeWindow window{fake.events};
  HostDiscovery discovery{fake.link, window};
};

TEST_F(GetHost, TextDeliveredInsideTheCallNeedsNoEvents) {
  fake.library.allTextInside = kChat;
  window.batches.emplace_back([] { FAIL() << "events processed although the text was there"; });
  discovery.OnGetHost();
  EXPECT_EQ(window.host, u"bob");
  EXPECT_EQ(fake.events, (EventLog{kGetAllText}));
  EXPECT_TRUE(fake.link.State().DapiAllText.empty()) << "handed to the scan, not copied";
}

TEST_F(GetHost, TextDeliveredLaterIsWaitedFor) {
  window.batches.emplace_back([] {});
  DeliverInTheWait(kChat);
  discovery.OnGetHost();
  EXPECT_EQ(window.host, u"bob");
  EXPECT_EQ(window.nextBatch, 2u);
}

TEST_F(GetHost, EarlierTextIsEmptiedBeforeTheRequest) {
  fake.library.Callbacks().OnDapiAllText(kChat);
  window.host = u"typed";
  discovery.OnGetHost();  // nothing arrives this time
  EXPECT_EQ(window.host, u"typed");
  EXPECT_EQ(window.warnings, (std::vector<std::u16string>{kNoChatTextNotice}));
}

TEST_F(GetHost, TextOfOnlyLineBreaksKeepsWaiting) {
  DeliverInTheWait("\r\n\r\n");
  discovery.OnGetHost();
  EXPECT_EQ(window.host, kUnchanged);
  EXPECT_EQ(window.warnings.size(), 1u);
}

TEST_F(GetHost, GoneWindowIsLeftAlone) {
  window.whenIdle = GameWindow::WaitEnd::WindowGone;
  discovery.OnGetHost();
  EXPECT_EQ(window.hostWrites, 0);
  EXPECT_TRUE(window.warnings.empty());
}

TEST_F(GetHost, ClicksDuringTheWaitRequestAndJoinIt) {
  ClickInTheWait();
  ClickInTheWait();
  DeliverInTheWait(kChat);
  discovery.OnGetHost();
  EXPECT_EQ(window.waits, 1) << "no nested wait";
  EXPECT_EQ(window.host, u"bob");
  EXPECT_EQ(fake.events, (EventLog{kGetAllText, kGetAllText, kGetAllText}));
}

TEST_F(GetHost, ClicksThatWaitedTogetherAreToldOnce) {
  for (int click = 1; click < 5; ++click) {
    ClickInTheWait();
  }
  discovery.OnGetHost();
  EXPECT_EQ(std::count(fake.events.begin(), fake.events.end(), kGetAllText), 5);
  EXPECT_EQ(window.warnings, (std::vector<std::u16string>{kNoChatTextNotice}));
  EXPECT_EQ(window.waits, 1);
}

TEST_F(GetHost, ChoiceDuringTheWaitRunsToItsEnd) {
  window.batches.emplace_back([this] { fake.link.Communicate(2, u"x", u"Rock"); });
  DeliverInTheWait(kChat);
  discovery.OnGetHost();
  EXPECT_EQ(window.host, u"bob");
  EXPECT_EQ(fake.events, (EventLog{kGetAllText, R"(DapiCommunicate "Kelto" 2 "x" "Rock")"}));
}

TEST_F(GetHost, RequestGivenUpIsToldAndNotWaitedFor) {
  fake.library.then = "10";
  discovery.OnGetHost();
  EXPECT_EQ(window.waits, 0);
  EXPECT_EQ(window.warnings,
            (std::vector<std::u16string>{
                u"Kelto could not fetch the chat text: the chat client kept asking Kelto to "
                u"register. The host field is unchanged. Try again."}));
}

TEST_F(GetHost, CallbackFailureDuringTheWaitIsRaised) {
  window.batches.emplace_back([this] {
    fake.library.Callbacks().OnCallbackFailure(std::make_exception_ptr(std::bad_alloc()));
  });
  EXPECT_THROW(discovery.OnGetHost(), std::bad_alloc);
  DeliverInTheWait(kChat);
  EXPECT_NO_THROW(discovery.OnGetHost()) << "a failed click does not leave a wait behind";
  EXPECT_EQ(window.host, u"bob");
}

}  // namespace
}  // namespace kelto::testing
