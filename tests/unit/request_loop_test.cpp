#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "link/gem.h"
#include "tests/unit/fake_platform.h"

namespace kelto::testing {
namespace {

using namespace std::string_literals;
using namespace std::chrono_literals;

const std::string kRockToBob = R"(DapiCommunicate "Kelto" 2 "bob" "Rock")";
const std::string kRegister = R"(DapiRegister "Kelto")";
const std::string kGetAllText = R"(DapiGetAllText "Kelto")";

class RequestLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.link.StartLink();
    fake.events.clear();
  }
  void Script(std::initializer_list<std::optional<std::string>> codes) {
    fake.library.results.assign(codes.begin(), codes.end());
  }
  FakeLink fake;
};

TEST_F(RequestLoop, BusyIsRepeatedUntilDone) {
  Script({"6", "6", "0"});
  Gem::SendToAvatar(fake.link, u"bob", u"Rock");
  EXPECT_EQ(fake.events, (EventLog{kRockToBob, kRockToBob, kRockToBob}));
  EXPECT_TRUE(fake.notice.shown.empty());
}

TEST_F(RequestLoop, RegistrationComesBetweenTwoRequests) {
  Script({"10", "0"});
  Gem::SendToAvatar(fake.link, u"bob", u"Rock");
  EXPECT_EQ(fake.events, (EventLog{kRockToBob, kRegister, kRockToBob}));
}

TEST_F(RequestLoop, EachFinalCodeEndsAfterOneRequest) {
  for (const char* code : {"-1", "0", ""}) {
    fake.events.clear();
    Script({code});
    fake.link.GetAllText();
    EXPECT_EQ(fake.events, (EventLog{kGetAllText})) << "code \"" << code << "\"";
  }
}

TEST_F(RequestLoop, UnknownCodesAreRepeatedAndComparedExactly) {
  Script({"00", " 0", "-1 ", "6", "10 ", "0"});
  fake.link.GetAllText();
  EXPECT_EQ(fake.events.size(), 6u);
  EXPECT_EQ(std::count(fake.events.begin(), fake.events.end(), kRegister), 0);
}

TEST_F(RequestLoop, StaleCodeIsReadWhenTheLibraryStaysSilent) {
  Script({"0", std::nullopt});
  fake.link.GetAllText();
  fake.events.clear();
  fake.link.GetAllText();  // no callback: the earlier "0" still stands
  EXPECT_EQ(fake.events, (EventLog{kGetAllText}));
}

TEST_F(RequestLoop, SilentLibraryFromTheStartEndsAtOnce) {
  Script({std::nullopt});
  fake.link.GetAllText();
  EXPECT_EQ(fake.events, (EventLog{kGetAllText}));
  EXPECT_TRUE(fake.link.State().DapiResult.empty());
}

TEST_F(RequestLoop, EmptyNameIsStillSent) {
  Gem::SendToAvatar(fake.link, u"", u"Paper");
  EXPECT_EQ(fake.events, (EventLog{R"(DapiCommunicate "Kelto" 2 "" "Paper")"}));
}

TEST_F(RequestLoop, ApplicationNameIsTakenAfreshForEachCall) {
  Script({"10", "0"});
  fake.library.rewrite = [this](char*, std::size_t, char*, std::size_t) {
    fake.appName.name = u"Renamed";
  };
  fake.link.Communicate(2, u"a", u"b");
  EXPECT_EQ(fake.events,
            (EventLog{R"(DapiCommunicate "Kelto" 2 "a" "b")", R"(DapiRegister "Renamed")",
                      R"(DapiCommunicate "Renamed" 2 "a" "b")"}));
}

TEST_F(RequestLoop, EndlessBusyIsBoundedByCallsAndReported) {
  fake.library.then = "6";
  Gem::SendToAvatar(fake.link, u"bob", u"Rock");
  EXPECT_EQ(fake.events.size(), 100u);
  ASSERT_EQ(fake.notice.shown.size(), 1u);
  EXPECT_NE(fake.notice.shown[0].find(u"\"6\""), std::u16string::npos);
  // Paused between repetitions, not spinning.
  EXPECT_EQ(fake.clock.slept, 99 * 10ms);
}

TEST_F(RequestLoop, EndlessRegistrationIsBoundedAndReported) {
  fake.library.then = "10";
  fake.link.GetAllText();
  EXPECT_EQ(std::count(fake.events.begin(), fake.events.end(), kGetAllText), 100);
  EXPECT_EQ(std::count(fake.events.begin(), fake.events.end(), kRegister), 99);
  ASSERT_EQ(fake.notice.shown.size(), 1u);
  EXPECT_NE(fake.notice.shown[0].find(u"\"10\""), std::u16string::npos);
}

TEST_F(RequestLoop, SlowLibraryIsBoundedByTime) {
  fake.library.then = "6";
  fake.clock.perCall = 1000ms;
  fake.link.GetAllText();
  // 1 s a call plus the pauses: the fifth call ends past the five seconds.
  EXPECT_EQ(fake.events.size(), 5u);
  ASSERT_EQ(fake.notice.shown.size(), 1u);
  EXPECT_LE(fake.clock.now, 5000ms + 1000ms);
}

TEST_F(RequestLoop, CallsWithinTheBoundAreNotReported) {
  Script({"6", "6", "6", "6", "6", "6", "6", "6", "6", "10", "6"});
  fake.library.then = "-1";
  fake.link.GetAllText();
  EXPECT_EQ(fake.events.size(), 13u);  // 12 requests and one registration
  EXPECT_TRUE(fake.notice.shown.empty());
}

class RequestBuffers : public RequestLoop {};

TEST_F(RequestBuffers, TextsGoOutAsTheirBytesAndATerminator) {
  fake.link.Communicate(2, u"b\u00F6b", u"Rock");
  ASSERT_EQ(fake.library.buffersSeen.size(), 1u);
  EXPECT_EQ(fake.library.buffersSeen[0].first,
            "b\xF6"
            "b\0"s);
  EXPECT_EQ(fake.library.buffersSeen[0].second, "Rock\0"s);
}

TEST_F(RequestBuffers, RewrittenBuffersAreSentAgainAsTheyStand) {
  Script({"6", "0"});
  int call = 0;
  std::string secondBufferWhole;
  fake.library.rewrite = [&](char* text1, std::size_t size1, char* text2, std::size_t) {
    if (++call == 1) {
      ASSERT_EQ(size1, 5u);
      text1[1] = '\0';  // the library ends the name early, inside the buffer
      text1[3] = '\xE9';
      text2[0] = 'S';
    } else {
      // The whole first buffer came back, NUL and the bytes after it included, and
      // went out again at its full length.
      secondBufferWhole.assign(text1, 6);
    }
  };
  fake.link.Communicate(2, u"abcde", u"Rock");
  ASSERT_EQ(call, 2);
  EXPECT_EQ(Escape(secondBufferWhole), Escape("a\0c\xE9"
                                              "e\0"s));
  EXPECT_EQ(fake.library.buffersSeen[1].second, "Sock\0"s);
  EXPECT_EQ(fake.events[1], R"(DapiCommunicate "Kelto" 2 "a" "Sock")");
}

TEST(RequestBuffersDoubleByte, CharactersOutsideTheCodePageDoNotOverflow) {
  FakeLink fake({}, /*doubleByte=*/true);
  fake.link.StartLink();
  const std::u16string name(300, u'\u4E2D');  // two bytes each in this code page
  fake.library.rewrite = [](char* text1, std::size_t size1, char*, std::size_t) {
    std::memset(text1, 'x', size1);  // the library may write every byte it was given
  };
  Gem::SendToAvatar(fake.link, name, u"Rock");
  ASSERT_EQ(fake.library.buffersSeen.size(), 1u);
  EXPECT_EQ(fake.library.buffersSeen[0].first.size(), 601u);
}

}  // namespace
}  // namespace kelto::testing
