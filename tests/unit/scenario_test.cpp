#include <gtest/gtest.h>

#include "standin/scenario.h"

namespace kelto::standin {
namespace {

using namespace std::string_literals;

TEST(Scenario, EmptyFileIsTheFriendlyChatClient) {
  const Scenario scenario = ParseScenario("# nothing\n\n");
  EXPECT_EQ(scenario.initAnswer, 0);
  EXPECT_EQ(ResultFor(scenario, 0), "0");
  EXPECT_NE(scenario.allText.find("bob: The Game Is Rock, Paper, Scissors\r\n"), std::string::npos);
  EXPECT_EQ(scenario.delivery, Scenario::Delivery::Inside);
}

TEST(Scenario, EveryStatementIsRead) {
  const Scenario scenario = ParseScenario(
      "init -2\r\n"
      "result \"10\"  # registration first\n"
      "result none\n"
      "result \"\"\n"
      "then \"6\"\n"
      "alltext \"a\\r\\n\\0\\xE9\\\"\\\\\"\n"
      "deliver later 250\n"
      "message \"m1\" -5 \"m2\"\n"
      "write 1 2 \"\\0\"\n");
  EXPECT_EQ(scenario.initAnswer, -2);
  EXPECT_EQ(ResultFor(scenario, 0), "10");
  EXPECT_EQ(ResultFor(scenario, 1), std::nullopt);
  EXPECT_EQ(ResultFor(scenario, 2), "");
  EXPECT_EQ(ResultFor(scenario, 3), "6");
  EXPECT_EQ(scenario.allText, "a\r\n\0\xE9\"\\"s);
  EXPECT_EQ(scenario.delivery, Scenario::Delivery::Later);
  EXPECT_EQ(scenario.laterMilliseconds, 250u);
  ASSERT_EQ(scenario.messages.size(), 1u);
  EXPECT_EQ(scenario.messages[0].number, -5);
  ASSERT_EQ(scenario.writes.size(), 1u);
  EXPECT_EQ(scenario.writes[0].offset, 2u);
}

TEST(Scenario, MalformedLinesAreNamed) {
  for (const char* text :
       {"init", "init x", "init 70000", "result 0", "alltext \"open", "alltext \"\\q\"",
        "alltext \"\\x4\"", "deliver soon", "write 3 0 \"a\"", "bogus", "init 0 0", "then maybe"}) {
    try {
      ParseScenario("# first\n"s + text + "\n");
      ADD_FAILURE() << "accepted: " << text;
    } catch (const ScenarioError& error) {
      EXPECT_EQ(std::string(error.what()).rfind("line 2: ", 0), 0u) << error.what();
    }
  }
}

TEST(Scenario, QuotedBytesReadBackTheSame) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte) {
    all.push_back(static_cast<char>(byte));
  }
  EXPECT_EQ(ParseScenario("alltext " + QuoteBytes(all)).allText, all);
}

TEST(Scenario, WritesStayInsideTheBuffer) {
  const Scenario scenario = ParseScenario("write 1 3 \"XYZ\"\nwrite 2 0 \"Q\"\nwrite 1 9 \"W\"");
  char buffer[] = "abcd";
  ApplyWrites(scenario, 1, buffer, 4);
  EXPECT_EQ(std::string(buffer, 5), "abcX\0"s);
}

}  // namespace
}  // namespace kelto::standin
