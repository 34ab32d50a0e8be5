// "Rock", "Paper", "Scissors" and "Random Select", and clicks while the library is inside
// a call: none enters it again, none is lost, and the marks follow the requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <utility>

#include "tests/unit/fakes.h"
#include "window/choice_commands.h"
#include "window/click_order.h"
#include "window/host_discovery.h"
#include "window/std_random.h"

namespace kelto::testing {
namespace {

class FixedRandom final : public UnitRandom {
 public:
  void Reseed(double) override {}
  double Next() override { return value; }
  double value = 0.0;
};

class ChoiceCommandsTest : public ::testing::Test {
 public:
  void SetUp() override {
    fake.link.StartLink();
    fake.events.clear();
    window.host = u"bob";
  }
  // The buttons, as the window numbers them for the clicks' order.
  enum Button : std::uint8_t { kRock, kPaper, kScissors, kRandomSelect, kGetHost };
  void Click(Choice choice) { clicks.Click(static_cast<int>(choice)); }
  void RunClick(int button) {
    if (button == kRandomSelect) {
      commands.OnRandomSelect();
    } else if (button == kGetHost) {
      discovery.OnGetHost();
    } else {
      commands.OnChoice(static_cast<Choice>(button));
    }
  }
  FakeLink fake;
  FakeWindow window{fake.events};
  FixedRandom random;
  ChoiceCommands commands{window, fake.link, random};
  HostDiscovery discovery{fake.link, window};
  ClickOrder clicks{fake.link, [this](int button) { RunClick(button); }};
};

std::string Sent(const char* word) {
  return std::string(R"(DapiCommunicate "Kelto" 2 "bob" ")") + word + "\"";
}

TEST_F(ChoiceCommandsTest, ChoiceIsMarkedWhateverEndedItThenFailuresAreTold) {
  const struct {
    const char* code;         // every request's answer
    const char16_t* warning;  // nullptr: nothing to tell
  } rows[] = {
      {"0", nullptr},
      {"", nullptr},
      {"-1",
       u"The chat client refused to deliver \"Scissors\" to bob. Your choice is marked, but it "
       u"was not sent. If the chat client was restarted, start Kelto again."},
      {"6",
       u"Kelto could not deliver \"Scissors\" to bob: the chat client stayed busy. Your choice "
       u"is marked, but it was not sent. Try again."},
  };
  for (const auto& row : rows) {
    window.indicators = {1, 0, 0};
    window.warnings.clear();
    fake.library.then = std::string(row.code);
    commands.OnChoice(Choice::Scissors);
    EXPECT_EQ(window.indicators, (std::array<int, 3>{0, 0, 1})) << row.code;
    if (row.warning == nullptr) {
      EXPECT_TRUE(window.warnings.empty()) << row.code;
    } else {
      EXPECT_EQ(window.warnings, std::vector<std::u16string>{row.warning}) << row.code;
      EXPECT_EQ(fake.events.back(), "Warn") << "told after the mark, so the two agree";
    }
  }
}

// A chat text that arrives between requests and cannot be stored leaves its failure
// with the link; the next click must end with it before its move goes out.
TEST_F(ChoiceCommandsTest, FailureLeftByALateCallbackEndsTheNextClickBeforeItsRequest) {
  window.autoSend = 1;
  for (const int button : {kRock, kPaper, kScissors, kRandomSelect, kGetHost}) {
    fake.events.clear();
    fake.library.Callbacks().OnCallbackFailure(std::make_exception_ptr(std::bad_alloc()));
    EXPECT_THROW(RunClick(button), std::bad_alloc) << button;
    EXPECT_TRUE(std::ranges::none_of(
        fake.events, [](const std::string& event) { return event.starts_with("Dapi"); }))
        << button << ": " << ::testing::PrintToString(fake.events);
  }
}

TEST_F(ChoiceCommandsTest, NameTheCodePageCannotCarrySendsNothing) {
  window.host = u"\uFF22\uFF4F\uFF42\uFF22";  // full-width "BobB": "Bob" once narrowed
  const std::u16string told =
      u"Kelto did not send \"Scissors\" to \"\uFF22\uFF4F\uFF42\uFF22\": the chat client cannot "
      u"take the characters \"\uFF22\", \"\uFF4F\", \"\uFF42\" in that name, and would deliver "
      u"to another avatar. ";
  const std::u16string whatToDo =
      u"Type the name as the chat shows it, or use \"Get Host\" to fill it in.";
  const struct {
    bool draw;  // "Random Select" with "Auto Send", or the button
    EventLog events;
    std::u16string warning;
  } rows[] = {
      {false, {"Warn"}, told + u"Nothing was sent, and your choice is not marked. " + whatToDo},
      {true,
       {"Check1=0", "Check2=0", "Check3=1", "Warn"},
       told + u"Your choice is marked, but it was not sent. " + whatToDo},
  };
  window.autoSend = 1;
  random.value = 0.9;
  for (const auto& row : rows) {
    fake.events.clear();
    window.warnings.clear();
    row.draw ? commands.OnRandomSelect() : commands.OnChoice(Choice::Scissors);
    EXPECT_EQ(fake.events, row.events) << row.draw;
    EXPECT_EQ(window.warnings, std::vector<std::u16string>{row.warning}) << row.draw;
  }
}

TEST_F(ChoiceCommandsTest, DrawIsMarkedThenSentOnlyWithExactlyOneAutoSend) {
  const struct {
    double r;
    int autoSend;
    const char16_t* text;
    EventLog events;
  } rows[] = {
      {0.0, 0, u"0", {"Check1=1", "Check2=0", "Check3=0"}},
      {0.3333, 1, u"0", {"Check1=1", "Check2=0", "Check3=0", Sent("Rock")}},
      {0.3334, 2, u"1", {"Check1=0", "Check2=1", "Check3=0"}},
      {0.6666, -1, u"1", {"Check1=0", "Check2=1", "Check3=0"}},
      {0.6667, 0, u"2", {"Check1=0", "Check2=0", "Check3=1"}},
      {0.9999999999, 1, u"2", {"Check1=0", "Check2=0", "Check3=1", Sent("Scissors")}},
  };
  for (const auto& row : rows) {
    fake.events.clear();
    random.value = row.r;
    window.autoSend = row.autoSend;
    commands.OnRandomSelect();
    EXPECT_EQ(window.text1, row.text) << row.r;
    EXPECT_EQ(fake.events, row.events) << row.r;
  }
}

TEST_F(ChoiceCommandsTest, ClicksDuringACallRunAfterItsRequestInTheirOrder) {
  window.autoSend = 1;
  random.value = 0.5;  // "Paper"
  const struct {
    const char* what;
    std::function<void(ChoiceCommandsTest&)> duringFirstCall;
    EventLog expected;
  } rows[] = {
      {"two buttons",
       [](ChoiceCommandsTest& t) {
         t.Click(Choice::Paper);
         t.Click(Choice::Scissors);
       },
       {Sent("Rock"), "Check1=1", "Check2=0", "Check3=0", Sent("Paper"), "Check1=0", "Check2=1",
        "Check3=0", Sent("Scissors"), "Check1=0", "Check2=0", "Check3=1"}},
      {"Random Select with Auto Send",
       [](ChoiceCommandsTest& t) { t.clicks.Click(kRandomSelect); },
       {Sent("Rock"), "Check1=1", "Check2=0", "Check3=0", "Check1=0", "Check2=1", "Check3=0",
        Sent("Paper")}},
      {"Get Host",
       [](ChoiceCommandsTest& t) { t.clicks.Click(kGetHost); },
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

TEST_F(ChoiceCommandsTest, ClickDuringTheChatTextWaitRunsAtOnce) {
  // The wait is Kelto's own, not a library call.
  window.batches.emplace_back([this] { Click(Choice::Scissors); });
  window.batches.emplace_back([this] {
    fake.library.Callbacks().OnDapiAllText("dora: The Game Is Rock, Paper, Scissors");
  });
  clicks.Click(kGetHost);
  EXPECT_EQ(fake.events, (EventLog{R"(DapiGetAllText "Kelto")", Sent("Scissors"), "Check1=0",
                                   "Check2=0", "Check3=1"}));
  EXPECT_EQ(window.host, u"dora");
}

TEST_F(ChoiceCommandsTest, ClicksStillWaitingWhenTheWindowGoesAreDropped) {
  fake.library.duringCall = [this] {
    fake.library.duringCall = nullptr;
    Click(Choice::Paper);
    clicks.Drop();  // the window was closed inside the call
  };
  Click(Choice::Rock);
  EXPECT_EQ(fake.events, (EventLog{Sent("Rock"), "Check1=1", "Check2=0", "Check3=0"}));
}

TEST(StdUnitRandom, PressesWithinOneSecondDrawDifferently) {
  StdUnitRandom random;
  std::set<int> seen;
  for (int press = 0; press < 20; ++press) {
    random.Reseed(36000.0 + press * 0.05);  // twenty presses in the same second
    const double r = random.Next();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    seen.insert(static_cast<int>(r * 3));
  }
  EXPECT_EQ(seen, (std::set<int>{0, 1, 2}));
}

}  // namespace
}  // namespace kelto::testing
