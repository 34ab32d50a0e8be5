// "Get Host": the scan, the tokenizer, the list test and the click's flow.
#include <gtest/gtest.h>

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
      {"a host after the empty line is not read", u"bob" + kAnnounce + u"\r\n\r\ncarol" + kAnnounce,
       u"bob"},
      {"an empty first line ends at once", u"\r\nbob" + kAnnounce, kUnchanged},
      {"a CR before the empty line is the line's", u"bob" + kAnnounce + u"\r\r\n\r\n", u"bob"},
      {"the line's first announcement decides", u"<system>" + kAnnounce + u" bob" + kAnnounce,
       kUnchanged},
      {"an announcement the prefix eats", u"bob" + kAnnounce + u"\r\nESP to" + kAnnounce, u"bob"},
      {"a name longer than any skip", std::u16string(100000, u'x') + kAnnounce,
       std::u16string(100000, u'x')},
      {"no line break between hosts", u"ann" + kAnnounce + u"\nbob" + kAnnounce, u"ann"},
  };
  for (const auto& row : rows) {
    EventLog log;
    FakeWindow window(log);
    Tokenizer tokenizer;
    FindHost(row.text, window, tokenizer);
    EXPECT_EQ(window.host, row.host) << row.name;
    EXPECT_LE(window.hostWrites, 1) << row.name;
  }
}

TEST(FindHost, LeavesTheRestAfterTheEmptyLineForAnEmptyTextToGoOnWith) {
  EventLog log;
  FakeWindow window(log);
  window.host = kUnchanged;
  Tokenizer tokenizer;
  const struct {
    std::u16string text;
    std::u16string host;
    std::u16string remainder;
  } steps[] = {
      {u"a\r\n\r\nbob" + kAnnounce + u"\r\n\r\ncarol" + kAnnounce, kUnchanged,
       u"bob" + kAnnounce + u"\r\n\r\ncarol" + kAnnounce},
      {u"", u"bob", u"carol" + kAnnounce},
      {u"", u"carol", u""},
      {u"", u"carol", u""},  // walked to its end: nothing more
      {u"\r\ndave" + kAnnounce, u"carol", u"dave" + kAnnounce},
      {u"erin" + kAnnounce + u"\r\n\r\n", u"erin", u""},
      {u"", u"erin", u""},
  };
  for (const auto& step : steps) {
    FindHost(step.text, window, tokenizer);
    EXPECT_EQ(window.host, step.host) << &step - steps;
    EXPECT_EQ(tokenizer.Remainder(), step.remainder);
  }
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
    EXPECT_EQ(tokenizer.GetToken(step.text, step.delimiter), step.token)
        << ::testing::PrintToString(step.text);
    EXPECT_EQ(tokenizer.Remainder(), step.remainder) << ::testing::PrintToString(step.text);
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
    EXPECT_EQ(IsInList(name, list, textCase), found)
        << ::testing::PrintToString(std::u16string(name));
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

TEST_F(GetHost, EarlierTextIsEmptiedBeforeTheRequest) {
  fake.library.Callbacks().OnDapiAllText(kChat);
  window.host = u"typed";
  discovery.OnGetHost();  // nothing arrives this time
  EXPECT_EQ(window.host, u"typed");
  EXPECT_EQ(window.warnings, (std::vector<std::u16string>{kNoChatTextNotice}));
}

TEST_F(GetHost, TextThatNeverComesIsToldWithTheLatestRequestsAnswer) {
  const std::pair<std::vector<const char*>, const char16_t*> rows[] = {
      {{"0"}, kNoChatTextNotice},
      {{"-1"}, kRefusedChatTextNotice},
      {{"-1", "0"}, kNoChatTextNotice},  // a second click, answered, joins the wait
  };
  for (const auto& [codes, notice] : rows) {
    window.warnings.clear();
    fake.library.results.clear();
    for (std::size_t i = 1; i < codes.size(); ++i) {
      window.batches.emplace_back([this] { discovery.OnGetHost(); });
    }
    for (const char* code : codes) {
      fake.library.results.emplace_back(code);
    }
    discovery.OnGetHost();
    EXPECT_EQ(window.warnings, std::vector<std::u16string>{notice}) << codes.size();
  }
}

TEST_F(GetHost, TextOfOnlyLineBreaksKeepsWaiting) {
  DeliverInTheWait("\r\n\r\n");
  discovery.OnGetHost();
  EXPECT_EQ(window.host, kUnchanged);
  EXPECT_EQ(window.warnings.size(), 1u);
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
