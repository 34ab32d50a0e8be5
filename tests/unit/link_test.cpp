// The link's start and its callbacks.
#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>

#include "link/run_time_error.h"
#include "link/text_search.h"
#include "tests/unit/fakes.h"

namespace kelto::testing {
namespace {

using namespace std::string_literals;

TEST(StartLink, OnlyZeroBringsTheLinkUp) {
  // A refusal also says that an elevated chat client cannot be reached, and first that
  // Kelto itself runs as administrator, when it is elevated above a normal program: not
  // with UAC off or as the built-in Administrator (Default), nor with a split token.
  const std::u16string refused =
      u"The chat client is not running, or has not started its link. A chat client running as "
      u"administrator cannot be reached from a Kelto that is not, nor the other way round. "
      u"Start the chat client, then start Kelto again.";
  using enum LinkSystem::Elevation;
  const struct {
    std::int16_t answer;
    LinkSystem::Elevation elevation;
    bool up;
  } rows[] = {{0, Default, true},   {0, Full, true},      {1, Default, false},
              {-1, Full, false},    {-3, Limited, false}, {32767, Default, false},
              {-32768, Full, false}};
  for (const auto& row : rows) {
    FakeLink fake;
    fake.system.appName = u"My Kelto";
    fake.system.elevation = row.elevation;
    fake.library.initAnswer = row.answer;
    if (row.up) {
      EXPECT_NO_THROW(fake.link.StartLink()) << row.answer;
      continue;
    }
    try {
      fake.link.StartLink();
      ADD_FAILURE() << "StartLink returned although the library answered " << row.answer;
    } catch (const RunTimeError& error) {
      EXPECT_EQ(error.Number(), 10001);
      EXPECT_EQ(error.Source(), u"My Kelto");
      EXPECT_EQ(error.Description(), u"Failed to initialize DDE layer");
      EXPECT_EQ(error.Advice(),
                (row.elevation == Full ? u"Kelto is running as administrator. " : u"") + refused);
    }
    EXPECT_EQ(fake.events, (EventLog{R"(InitDDE "My Kelto")"}));
  }
}

TEST(StartLink, FailureOfACallbackInsideInitDDEIsRaisedThere) {
  FakeLink fake;
  fake.library.duringCall = [&] {
    fake.library.Callbacks().OnCallbackFailure(std::make_exception_ptr(std::bad_alloc()));
  };
  EXPECT_THROW(fake.link.StartLink(), std::bad_alloc);
}

// Random texts of the units around the ones searched for, where a search that takes
// several units at a time could go wrong: each search, and each way the empty line can
// be found, gives the plain search's answer, wherever the match stands against the
// vector blocks and the text's end.
TEST(TextSearch, AgreesWithAPlainSearch) {
  const std::u16string pieces[] = {u"\0"s,    u"\x01",   u"\r",     u"\n",     u"\r\n", u"\r\n\r\n",
                                   u"\x0D00", u"\x0D0D", u"\x800D", u"\xFFFF", u"a",    u"\x0D0A"};
  std::mt19937 random(11);
  for (int round = 0; round < 4000; ++round) {
    std::u16string text;
    while (text.size() < random() % 90) {
      text += pieces[random() % std::size(pieces)];
    }
    for (const char16_t wanted : {u'\0', u'\r'}) {
      for (std::size_t from = 0; from <= text.size(); ++from) {
        const std::size_t at = text.find(wanted, from);
        ASSERT_EQ(FindUnit(text, wanted, from), at) << round << " from " << from;
      }
    }
    ASSERT_EQ(FindText(text, u"\r\n"), text.find(u"\r\n")) << round;
    for (const EmptyLineScan scan : {EmptyLineScan::Scalar, EmptyLineScan::Sse2}) {
      ASSERT_EQ(FindEmptyLineBy(scan, text), text.find(u"\r\n\r\n"))
          << round << " scan " << static_cast<int>(scan);
    }
    ASSERT_EQ(FindEmptyLine(text), text.find(u"\r\n\r\n")) << round;
  }
#if defined(__x86_64__) || defined(__SSE2__)
  EXPECT_EQ(ChosenEmptyLineScan(), EmptyLineScan::Sse2);
#endif
}

}  // namespace
}  // namespace kelto::testing
