// Clicks while the library is inside a call: none enters it again, none is lost, and
// the marks follow the order in which the requests ended.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "tests/unit/fakes.h"
#include "window/choice_commands.h"
#include "window/click_order.h"
#include "window/host_discovery.h"

namespace kelto::testing {
namespace {

class FixedRandom final : public UnitRandom {
 public:
  void Reseed(double) override {}
  double Next() override { return 0.5; }  // "Paper"
};

class ClickOrderTest : public ::testing::Test {
 public:
  void SetUp() override {
    fake.link.StartLink();
    fake.events.clear();
    window.host = u"bob";
    window.autoSend = 1;
  }
  // What a click on a button does in the window.
  void Click(Choice choice) {
    clicks.Click([this, choice] { commands.OnChoice(choice); });
  }
  FakeLink fake;
  FakeWindow window{fake.events};
  FixedRandom random;
  ChoiceCommands commands{window, fake.link, random};
  HostDiscovery discovery{fake.link, window};
  ClickOrder clicks{fake.link};
};

std::string Sent(const char* word) {
  return std::string(R"(DapiCommunicate "Kelto" 2 "bob" ")") + word + "\"";
}

TEST_F(ClickOrderTest, ClicksDuringACallRunAfterItsRequestInTheirOrder) {
  const struct {
    const char* what;
    std::function<void(ClickOrderTest&)> duringFirstCall;
    EventLog expected;
  } rows[] = {
      {"two buttons",
       [](ClickOrderTest& t) {
         t.Click(Choice::Paper);
         t.Click(Choice::Scissors);
       },
       {Sent("Rock"), "Check1=1", "Check2=0", "Check3=0", Sent("Paper"), "Check1=0", "Check2=1",
        "Check3=0", Sent("Scissors"), "Check1=0", "Check2=0", "Check3=1"}},
      {"Random Select with Auto Send",
       [](ClickOrderTest& t) { t.clicks.Click([&t] { t.commands.OnRandomSelect(); }); },
       {Sent("Rock"), "Check1=1", "Check2=0", "Check3=0", "Check1=0", "Check2=1", "Check3=0",
        Sent("Paper")}},
      {"Get Host",
       [](ClickOrderTest& t) { t.clicks.Click([&t] { t.discovery.OnGetHost(); }); },
       {Sent("Rock"), "Check1=1", "Check2=0", "Check3=0", R"(DapiGetAllText "Kelto")"}},
  };
  for (const auto& row : rows) {
    fake.events.clear();
    int depth = 0;
    int deepest = 0;
    bool first = true;
    fake.library.duringCall = [&] {
      deepest = std::max(deepest, ++depth);
      if (std::exchange(first, false)) {
        row.duringFirstCall(*this);
      }
      --depth;
    };
    fake.library.allTextInside = "carol: The Game Is Rock, Paper, Scissors";
    Click(Choice::Rock);
    EXPECT_EQ(fake.events, row.expected) << row.what;
    EXPECT_EQ(deepest, 1) << row.what << ": the library was entered again";
  }
  EXPECT_EQ(window.host, u"carol");
}

TEST_F(ClickOrderTest, ClickDuringTheChatTextWaitRunsAtOnce) {
  // The wait is Kelto's own, not a library call.
  window.batches.emplace_back([this] { Click(Choice::Scissors); });
  window.batches.emplace_back([this] {
    fake.library.Callbacks().OnDapiAllText("dora: The Game Is Rock, Paper, Scissors");
  });
  clicks.Click([this] { discovery.OnGetHost(); });
  EXPECT_EQ(fake.events, (EventLog{R"(DapiGetAllText "Kelto")", Sent("Scissors"), "Check1=0",
                                   "Check2=0", "Check3=1"}));
  EXPECT_EQ(window.host, u"dora");
}

TEST_F(ClickOrderTest, ClicksStillWaitingWhenTheWindowGoesAreDropped) {
  fake.library.duringCall = [this] {
    fake.library.duringCall = nullptr;
    Click(Choice::Paper);
    clicks.Drop();  // the window was closed inside the call
  };
  Click(Choice::Rock);
  EXPECT_EQ(fake.events, (EventLog{Sent("Rock"), "Check1=1", "Check2=0", "Check3=0"}));
}

}  // namespace
}  // namespace kelto::testing
