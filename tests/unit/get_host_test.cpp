#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "tests/unit/fake_platform.h"
#include "tests/unit/find_host_fakes.h"
#include "window/host_discovery.h"

namespace kelto::testing {
namespace {

const std::string kChat = "alice: hi\r\nbob: The Game Is Rock, Paper, Scissors\r\n";

// Plays the window's event processing: each batch is what one round of pending
// events does. With no batch left, the wait ends as `whenIdle` says.
class ScriptedWait final : public ChatTextWait {
 public:
  Outcome WaitWhile(const std::function<bool()>& stillWaiting) override {
    ++waits;
    while (stillWaiting()) {
      if (next == batches.size()) {
        return whenIdle;
      }
      const std::function<void()> batch = batches[next++];  // batches may nest waits
      batch();
    }
    return Outcome::Arrived;
  }
  std::vector<std::function<void()>> batches;
  std::size_t next = 0;
  int waits = 0;
  Outcome whenIdle = Outcome::TimedOut;
};

class GetHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.link.StartLink();
    fake.events.clear();
  }
  void DeliverLater(const std::string& text) {
    wait.batches.push_back([this, text] { fake.library.Callbacks().OnDapiAllText(text); });
  }
  FakeLink fake;
  FakeHostControls controls;
  Tokenizer tokenizer;
  AsciiLowerCase lowerCase;
  ScriptedWait wait;
  HostDiscovery discovery{fake.link, controls, tokenizer, lowerCase, wait, fake.notice};
};

TEST_F(GetHostTest, TextDeliveredInsideTheCallNeedsNoEvents) {
  fake.library.allTextInside = kChat;
  wait.batches.push_back([] { FAIL() << "events processed although the text was there"; });
  discovery.OnGetHost();
  EXPECT_EQ(controls.host, u"bob");
  EXPECT_EQ(fake.events, (EventLog{R"(DapiGetAllText "Kelto")"}));
}

TEST_F(GetHostTest, TextDeliveredLaterIsWaitedFor) {
  wait.batches.push_back([] {});
  DeliverLater(kChat);
  discovery.OnGetHost();
  EXPECT_EQ(controls.host, u"bob");
  EXPECT_EQ(wait.next, 2u);
}

TEST_F(GetHostTest, EarlierTextIsEmptiedBeforeTheRequest) {
  fake.library.allTextInside = kChat;
  discovery.OnGetHost();
  fake.library.allTextInside.reset();
  controls.host = u"typed";
  discovery.OnGetHost();  // nothing arrives this time
  EXPECT_EQ(controls.host, u"typed");
  ASSERT_EQ(fake.notice.shown.size(), 1u);
  EXPECT_EQ(fake.notice.shown[0], kNoChatTextNotice);
}

TEST_F(GetHostTest, TextOfOnlyLineBreaksKeepsWaiting) {
  DeliverLater("\r\n\r\n");
  discovery.OnGetHost();
  EXPECT_EQ(controls.host, u"(typed by the user)");
  EXPECT_EQ(fake.notice.shown.size(), 1u);
}

TEST_F(GetHostTest, ClosedWindowIsLeftAlone) {
  wait.whenIdle = ChatTextWait::Outcome::WindowGone;
  discovery.OnGetHost();
  EXPECT_EQ(controls.writes, 0);
  EXPECT_EQ(controls.avatars.clears, 0);
  EXPECT_TRUE(fake.notice.shown.empty());
}

TEST_F(GetHostTest, NestedGetHostScansTwice) {
  wait.batches.push_back([this] { discovery.OnGetHost(); });
  DeliverLater(kChat);
  discovery.OnGetHost();
  EXPECT_EQ(wait.waits, 2);
  EXPECT_EQ(controls.writes, 2);
  EXPECT_EQ(controls.host, u"bob");
  EXPECT_EQ(fake.events, (EventLog{R"(DapiGetAllText "Kelto")", R"(DapiGetAllText "Kelto")"}));
}

TEST_F(GetHostTest, ChoiceDuringTheWaitRunsToItsEnd) {
  wait.batches.push_back([this] { fake.link.Communicate(2, u"x", u"Rock"); });
  DeliverLater(kChat);
  discovery.OnGetHost();
  EXPECT_EQ(controls.host, u"bob");
  EXPECT_EQ(fake.events,
            (EventLog{R"(DapiGetAllText "Kelto")", R"(DapiCommunicate "Kelto" 2 "x" "Rock")"}));
}

TEST_F(GetHostTest, CallbackFailureDuringTheWaitIsRaised) {
  wait.batches.push_back([this] {
    fake.library.Callbacks().OnCallbackFailure(std::make_exception_ptr(std::bad_alloc()));
  });
  EXPECT_THROW(discovery.OnGetHost(), std::bad_alloc);
}

}  // namespace
}  // namespace kelto::testing
