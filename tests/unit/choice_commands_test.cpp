#include <gtest/gtest.h>

#include <array>
#include <set>

#include "tests/unit/fake_platform.h"
#include "window/choice_commands.h"
#include "window/std_random.h"

namespace kelto::testing {
namespace {

class FakeChoiceControls final : public ChoiceControls {
 public:
  explicit FakeChoiceControls(EventLog& log) : log_(log) {}
  std::u16string HostText() const override { return host; }
  void SetIndicator(Choice choice, int value) override {
    const int index = static_cast<int>(choice);
    indicators[static_cast<std::size_t>(index)] = value;
    log_.push_back("Check" + std::to_string(index + 1) + "=" + std::to_string(value));
  }
  int AutoSendValue() const override { return autoSend; }
  void SetDrawText(const std::u16string& text) override { drawText = text; }
  std::u16string DrawText() const override { return drawText; }

  std::u16string host = u"bob";
  std::array<int, 3> indicators{0, 0, 0};
  int autoSend = 0;
  std::u16string drawText;

 private:
  EventLog& log_;
};

class FixedTime final : public TimeOfDay {
 public:
  double SecondsSinceMidnight() const override { return seconds; }
  double seconds = 45296.25;
};

class FixedRandom final : public UnitRandom {
 public:
  void Reseed(double seconds) override { reseededWith.push_back(seconds); }
  double Next() override { return value; }
  double value = 0.0;
  std::vector<double> reseededWith;
};

class ChoiceCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.link.StartLink();
    fake.events.clear();
  }
  FakeLink fake;
  FakeChoiceControls controls{fake.events};
  FixedTime time;
  FixedRandom random;
  ChoiceCommands commands{controls, fake.link, time, random};
};

TEST_F(ChoiceCommandsTest, ButtonsSendFirstThenMark) {
  const std::array<std::pair<Choice, std::string>, 3> rows{{
      {Choice::Rock, R"(DapiCommunicate "Kelto" 2 "bob" "Rock")"},
      {Choice::Paper, R"(DapiCommunicate "Kelto" 2 "bob" "Paper")"},
      {Choice::Scissors, R"(DapiCommunicate "Kelto" 2 "bob" "Scissors")"},
  }};
  for (const auto& [choice, sent] : rows) {
    fake.events.clear();
    commands.OnChoice(choice);
    const int marked = static_cast<int>(choice);
    EventLog expected{sent};
    for (int i = 0; i < 3; ++i) {
      expected.push_back("Check" + std::to_string(i + 1) + "=" + (i == marked ? "1" : "0"));
    }
    EXPECT_EQ(fake.events, expected);
  }
}

TEST_F(ChoiceCommandsTest, MarkHappensWhateverEndedTheLoop) {
  fake.library.results = {std::string("-1")};
  commands.OnChoice(Choice::Scissors);
  EXPECT_EQ(controls.indicators, (std::array<int, 3>{0, 0, 1}));
  fake.library.then = "6";  // given up at the bound
  commands.OnChoice(Choice::Rock);
  EXPECT_EQ(controls.indicators, (std::array<int, 3>{1, 0, 0}));
  EXPECT_EQ(fake.notice.shown.size(), 1u);
}

TEST_F(ChoiceCommandsTest, DrawMapsToItsChoice) {
  struct Row {
    double r;
    const char16_t* text;
    std::array<int, 3> marks;
  };
  for (const Row& row : {Row{0.0, u"0", {1, 0, 0}}, Row{0.3333, u"0", {1, 0, 0}},
                         Row{0.3334, u"1", {0, 1, 0}}, Row{0.6666, u"1", {0, 1, 0}},
                         Row{0.6667, u"2", {0, 0, 1}}, Row{0.9999999999, u"2", {0, 0, 1}}}) {
    random.value = row.r;
    commands.OnRandomSelect();
    EXPECT_EQ(controls.drawText, row.text) << row.r;
    EXPECT_EQ(controls.indicators, row.marks) << row.r;
  }
  EXPECT_TRUE(fake.events.size() == 18u);  // marks only: three per draw, nothing sent
}

TEST_F(ChoiceCommandsTest, EveryDrawReseedsFromTheTimeOfDay) {
  commands.OnRandomSelect();
  time.seconds = 45297.5;
  commands.OnRandomSelect();
  EXPECT_EQ(random.reseededWith, (std::vector<double>{45296.25, 45297.5}));
}

TEST_F(ChoiceCommandsTest, DrawWithAutoSendMarksThenSends) {
  controls.autoSend = 1;
  random.value = 0.9;
  commands.OnRandomSelect();
  EXPECT_EQ(fake.events, (EventLog{"Check1=0", "Check2=0", "Check3=1",
                                   R"(DapiCommunicate "Kelto" 2 "bob" "Scissors")"}));
}

TEST_F(ChoiceCommandsTest, DrawSendsOnlyWhenAutoSendIsExactlyOne) {
  for (const int value : {0, 2, -1}) {
    controls.autoSend = value;
    commands.OnRandomSelect();
  }
  for (const std::string& event : fake.events) {
    EXPECT_EQ(event.rfind("Check", 0), 0u) << event;
  }
}

TEST(StdUnitRandom, PressesSpreadOverTimeCoverAllThree) {
  StdUnitRandom random;
  std::set<int> seen;
  for (int press = 0; press < 300; ++press) {
    random.Reseed(36000.0 + press * 0.017);
    const double r = random.Next();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    seen.insert(static_cast<int>(r * 3));
  }
  EXPECT_EQ(seen, (std::set<int>{0, 1, 2}));
}

TEST(StdUnitRandom, OddSeedsAreSafe) {
  StdUnitRandom random;
  for (const double seconds : {-1.0, 1e300, std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity()}) {
    random.Reseed(seconds);
    const double r = random.Next();
    EXPECT_GE(r, 0.0);
    EXPECT_LT(r, 1.0);
  }
}

}  // namespace
}  // namespace kelto::testing
