#include <gtest/gtest.h>

#include <stdexcept>

#include "link/run_time_error.h"
#include "tests/unit/fake_platform.h"

namespace kelto::testing {
namespace {

TEST(StartLink, LinkUpWhenTheLibraryAnswersZero) {
  FakeLink fake;
  fake.link.StartLink();
  EXPECT_EQ(fake.events, (EventLog{"InitDDE \"Kelto\""}));
}

TEST(StartLink, RefusalRaisesError10001FromTheApplication) {
  FakeLink fake;
  fake.appName.name = u"My Kelto";
  fake.library.initAnswer = -3;
  try {
    fake.link.StartLink();
    FAIL() << "StartLink returned although the library refused";
  } catch (const RunTimeError& error) {
    EXPECT_EQ(error.Number(), 10001);
    EXPECT_EQ(error.Source(), u"My Kelto");
    EXPECT_EQ(error.Description(), u"Failed to initialize DDE layer");
  }
  EXPECT_EQ(fake.events, (EventLog{"InitDDE \"My Kelto\""}));
}

TEST(StartLink, ApplicationNameTravelsInTheAnsiCodePage) {
  FakeLink fake;
  fake.appName.name = u"K\u00E9lto";
  fake.link.StartLink();
  EXPECT_EQ(fake.events, (EventLog{"InitDDE \"K\\xE9lto\""}));
}

TEST(StartLink, StateStartsEmpty) {
  FakeLink fake;
  const LinkState& state = fake.link.State();
  EXPECT_TRUE(state.DapiResult.empty());
  EXPECT_TRUE(state.DapiAllText.empty());
  EXPECT_TRUE(state.DapiMsgText1.empty());
  EXPECT_TRUE(state.DapiMsgText2.empty());
  EXPECT_EQ(state.DapiMsgNumber, 0);
}

TEST(StartLink, CallbackFailureIsRaisedAfterTheLibraryCallReturns) {
  FakeLink fake;
  fake.link.StartLink();
  fake.library.Callbacks().OnCallbackFailure(std::make_exception_ptr(std::runtime_error("boom")));
  EXPECT_THROW(fake.link.GetAllText(), std::runtime_error);
  // Raised once; the link carries on afterwards.
  EXPECT_NO_THROW(fake.link.GetAllText());
}

}  // namespace
}  // namespace kelto::testing
