// The result-code loop of Communicate and GetAllText.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "link/gem.h"
#include "tests/unit/fakes.h"

namespace kelto::testing {
namespace {

using namespace std::string_literals;
using namespace std::chrono_literals;
using End = RequestOutcome::End;

const std::string kRock = R"(DapiCommunicate "Kelto" 2 "bob" "Rock")";
const std::string kRegister = R"(DapiRegister "Kelto")";

class RequestLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.link.StartLink();
    fake.events.clear();
  }
  FakeLink fake;
};

TEST_F(RequestLoop, CodesDecideWhatComesNext) {
  const std::optional<std::string> none;
  const struct {
    std::vector<std::optional<std::string>> codes;
    EventLog calls;
  } rows[] = {
      {{"6", "6", "0"}, {kRock, kRock, kRock}},
      {{"10", "0"}, {kRock, kRegister, kRock}},
      {{"-1"}, {kRock}},
      {{""}, {kRock}},
      {{none}, {kRock}},  // silent from the start: DapiResult is still empty
      // Compared exactly: none of these is "0", "-1", "" or "10".
      {{"00", " 0", "-1 ", "10 ", "x", "0"}, {kRock, kRock, kRock, kRock, kRock, kRock}},
      {{"6", "10", "6", "10", "-1"}, {kRock, kRock, kRegister, kRock, kRock, kRegister, kRock}},
  };
  for (const auto& row : rows) {
    FakeLink fresh;
    fresh.link.StartLink();
    fresh.events.clear();
    fresh.library.results.assign(row.codes.begin(), row.codes.end());
    const RequestOutcome outcome = Gem::SendToAvatar(fresh.link, u"bob", u"Rock");
    EXPECT_EQ(fresh.events, row.calls) << ::testing::PrintToString(row.codes);
    EXPECT_EQ(outcome.end, End::Finished);
  }
}

TEST_F(RequestLoop, StaleCodeIsReadWhenTheLibraryStaysSilent) {
  fake.library.results = {"0", std::nullopt};
  fake.link.GetAllText();
  fake.events.clear();
  fake.link.GetAllText();  // no callback: the earlier "0" still stands
  EXPECT_EQ(fake.events, (EventLog{R"(DapiGetAllText "Kelto")"}));
}

TEST_F(RequestLoop, EndlessRepetitionIsGivenUpAtTheBound) {
  const struct {
    const char* code;
    std::chrono::milliseconds perCall;
    std::size_t requests;
  } rows[] = {
      {"6", 0ms, 100},     // by the number of calls, pausing between them
      {"10", 0ms, 100},    // registering between them
      {"6", 1000ms, 5},    // by time: the fifth call ends past five seconds
      {"what", 0ms, 100},  // any other code
  };
  for (const auto& row : rows) {
    FakeLink fresh;
    fresh.link.StartLink();
    fresh.events.clear();
    fresh.library.then = row.code;
    fresh.system.perCall = row.perCall;
    const RequestOutcome outcome = fresh.link.GetAllText();
    EXPECT_EQ(outcome.end, End::GivenUp) << row.code;
    EXPECT_EQ(fresh.system.Narrow(outcome.lastCode), row.code);
    const auto requests = static_cast<std::size_t>(
        std::count(fresh.events.begin(), fresh.events.end(), R"(DapiGetAllText "Kelto")"));
    EXPECT_EQ(requests, row.requests) << row.code;
    const auto registrations = std::count(fresh.events.begin(), fresh.events.end(), kRegister);
    EXPECT_EQ(registrations, row.code == "10"s ? 99 : 0) << row.code;
    if (row.perCall == 0ms) {
      EXPECT_EQ(fresh.system.slept, 99 * 10ms) << "paused between repetitions, not spinning";
    }
  }
}

TEST_F(RequestLoop, ClosingDuringACallEndsTheLoopWithoutAnotherCall) {
  fake.library.then = "10";  // what follows would be a registration, then the request again
  int calls = 0;
  fake.library.duringCall = [&] {
    if (++calls == 2) {
      fake.link.Close();  // the window is destroyed inside the library's call
    }
  };
  EXPECT_EQ(Gem::SendToAvatar(fake.link, u"bob", u"Rock").end, End::LinkClosed);
  EXPECT_EQ(fake.events, (EventLog{kRock, kRegister, kRock}));
  EXPECT_EQ(fake.link.GetAllText().end, End::LinkClosed);
  EXPECT_EQ(fake.events.size(), 3u) << "no library call once the link is closed";
}

}  // namespace
}  // namespace kelto::testing
