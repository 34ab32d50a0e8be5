// "Get Host": the scan and the click's flow.
#include <gtest/gtest.h>

#include <string>

#include "tests/unit/fakes.h"
#include "window/host_discovery.h"

namespace kelto::testing {
namespace {

using namespace std::string_literals;

const std::u16string kAnnounce = kAnnouncement;
const std::u16string kUnchanged = u"(typed by the user)";

// The fuzz target holds the scan to its steps over chat text of every shape; these are
// the texts a reader checks first, and those beyond the bytes it builds.
TEST(FindHost, TakesTheLastQualifyingSenderBeforeTheFirstEmptyLine) {
  const struct {
    const char* name;
    std::u16string text;
    std::u16string host;
  } rows[] = {
      {"last one wins", u"alice: hi\r\nbob" + kAnnounce + u"\r\ncarol" + kAnnounce, u"carol"},
      {"ESP from", u"ESP from dave" + kAnnounce, u"dave"},
      {"ESP to", u"ESP to erin" + kAnnounce, u"erin"},
      {"a name starting with the prefix loses seven", u"ESP toby" + kAnnounce, u"y"},
      {"<system> never hosts", u"<system>" + kAnnounce, kUnchanged},
      {"stops at the first empty line", u"hi\r\n\r\nbob" + kAnnounce, kUnchanged},
      {"NUL inside a name", u"b\0b"s + kAnnounce, u"b\0b"s},
      {"beyond ASCII", u"J\u00FCrgen \u738B" + kAnnounce, u"J\u00FCrgen \u738B"},
      {"beyond the BMP", u"\U0001F600" + kAnnounce, u"\U0001F600"},
      {"a name longer than any skip", std::u16string(100000, u'x') + kAnnounce,
       std::u16string(100000, u'x')},
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
  const struct {
    std::vector<const char*> codes;  // a click's each, then every request's
    const char* then;
    const char16_t* notice;
  } rows[] = {
      {{"0"}, "0", kNoChatTextNotice},
      {{"-1"}, "0", kRefusedChatTextNotice},
      {{"-1", "0"}, "0", kNoChatTextNotice},  // a second click, answered, joins the wait
      {{},
       "6",
       u"Kelto could not fetch the chat text: the chat client stayed busy. The host field is "
       u"unchanged. Try again."},
  };
  for (const auto& row : rows) {
    window.warnings.clear();
    fake.library.results.assign(row.codes.begin(), row.codes.end());
    fake.library.then = row.then;
    for (std::size_t i = 1; i < row.codes.size(); ++i) {
      window.batches.emplace_back([this] { discovery.OnGetHost(); });
    }
    discovery.OnGetHost();
    EXPECT_EQ(window.warnings, std::vector<std::u16string>{row.notice}) << row.then;
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
