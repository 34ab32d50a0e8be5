// "Rock", "Paper", "Scissors" and "Random Select".
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "tests/unit/fakes.h"
#include "window/choice_commands.h"
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
 protected:
  void SetUp() override {
    fake.link.StartLink();
    fake.events.clear();
    window.host = u"bob";
  }
  FakeLink fake;
  FakeWindow window{fake.events};
  FixedRandom random;
  ChoiceCommands commands{window, fake.link, random};
};

TEST_F(ChoiceCommandsTest, ButtonsSendFirstThenMark) {
  const std::pair<Choice, EventLog> rows[] = {
      {Choice::Rock,
       {R"(DapiCommunicate "Kelto" 2 "bob" "Rock")", "Check1=1", "Check2=0", "Check3=0"}},
      {Choice::Paper,
       {R"(DapiCommunicate "Kelto" 2 "bob" "Paper")", "Check1=0", "Check2=1", "Check3=0"}},
      {Choice::Scissors,
       {R"(DapiCommunicate "Kelto" 2 "bob" "Scissors")", "Check1=0", "Check2=0", "Check3=1"}},
  };
  for (const auto& [choice, expected] : rows) {
    fake.events.clear();
    commands.OnChoice(choice);
    EXPECT_EQ(fake.events, expected);
  }
}

TEST_F(ChoiceCommandsTest, ChoiceGivenUpIsMarkedThenToldPlainly) {
  fake.library.then = "6";
  commands.OnChoice(Choice::Rock);
  EXPECT_EQ(window.indicators, (std::array<int, 3>{1, 0, 0}));
  EXPECT_EQ(fake.events.back(), "Warn") << "told after the mark, so the two agree";
  ASSERT_EQ(window.warnings.size(), 1u);
  EXPECT_EQ(window.warnings[0],
            u"Kelto could not deliver \"Rock\" to bob: the chat client stayed busy. Your choice "
            u"is marked, but it was not sent. Try again.");
}

TEST_F(ChoiceCommandsTest, ChoiceEndedByAnyFinalCodeIsMarkedSilently) {
  for (const char* code : {"-1", "0", ""}) {
    fake.library.results = {std::string(code)};
    commands.OnChoice(Choice::Scissors);
    EXPECT_EQ(window.indicators, (std::array<int, 3>{0, 0, 1})) << code;
  }
  EXPECT_TRUE(window.warnings.empty());
}

TEST_F(ChoiceCommandsTest, DrawMapsToItsChoiceAndOnlyMarks) {
  const struct {
    double r;
    const char16_t* text;
    std::array<int, 3> marks;
  } rows[] = {{0.0, u"0", {1, 0, 0}},    {0.3333, u"0", {1, 0, 0}},
              {0.3334, u"1", {0, 1, 0}}, {0.6666, u"1", {0, 1, 0}},
              {0.6667, u"2", {0, 0, 1}}, {0.9999999999, u"2", {0, 0, 1}}};
  for (const auto& row : rows) {
    random.value = row.r;
    commands.OnRandomSelect();
    EXPECT_EQ(window.text1, row.text) << row.r;
    EXPECT_EQ(window.indicators, row.marks) << row.r;
  }
  EXPECT_EQ(fake.events.size(), 18u) << "marks only: three per draw, nothing sent";
}

TEST_F(ChoiceCommandsTest, AutoSendMarksThenSendsOnlyWhenExactlyOne) {
  const std::pair<int, EventLog> rows[] = {
      {1, {"Check1=0", "Check2=0", "Check3=1", R"(DapiCommunicate "Kelto" 2 "bob" "Scissors")"}},
      {0, {"Check1=0", "Check2=0", "Check3=1"}},
      {2, {"Check1=0", "Check2=0", "Check3=1"}},
      {-1, {"Check1=0", "Check2=0", "Check3=1"}},
  };
  random.value = 0.9;
  for (const auto& [autoSend, expected] : rows) {
    fake.events.clear();
    window.autoSend = autoSend;
    commands.OnRandomSelect();
    EXPECT_EQ(fake.events, expected) << autoSend;
  }
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
