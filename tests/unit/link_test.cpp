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
  // Kelto itself runs as administrator, when it does.
  const std::u16string refused =
      u"The chat client is not running, or has not started its link. A chat client running as "
      u"administrator cannot be reached from a Kelto that is not, nor the other way round. "
      u"Start the chat client, then start Kelto again.";
  const struct {
    std::int16_t answer;
    bool administrator;
    bool up;
  } rows[] = {{0, false, true},   {0, true, true},       {1, false, false},    {-1, true, false},
              {-3, false, false}, {32767, false, false}, {-32768, true, false}};
  for (const auto& row : rows) {
    FakeLink fake;
    fake.system.appName = u"My Kelto";
    fake.system.administrator = row.administrator;
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
                (row.administrator ? u"Kelto is running as administrator. " : u"") + refused);
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

TEST(Callbacks, ResultAndMessageAreStoredWhole) {
  FakeLink fake;
  fake.link.StartLink();
  LinkCallbacks& callbacks = fake.library.Callbacks();
  callbacks.OnDapiResult(" 0 ");
  EXPECT_EQ(fake.link.State().DapiResult, u" 0 ");
  callbacks.OnDapiResult("");
  EXPECT_EQ(fake.link.State().DapiResult, u"");
  callbacks.OnDapiMessage("one\0two"s, -7, "\xFF");
  EXPECT_EQ(fake.link.State().DapiMsgText1, u"one\0two"s);
  EXPECT_EQ(fake.link.State().DapiMsgNumber, -7);
  EXPECT_EQ(fake.link.State().DapiMsgText2, u"\u00FF");
}

struct AllTextCase {
  const char* name;
  std::string delivered;
  std::u16string stored;
};

TEST(AllTextNormalisation, StoresTheExpectedText) {
  const AllTextCase cases[] = {
      {"trailing line breaks go", "abc\r\n\r\n", u"abc"},
      {"the cut takes the four before the NUL", "0123456789\0trailer"s, u"012345"},
      {"the first NUL counts, not the last", "0123456789\0ab\0cdefgh"s, u"012345"},
      {"an early NUL keeps everything", "ab\0cd\r\n"s, u"ab\0cd"s},
      {"an early NUL keeps a later one too", "ab\0cdefgh\0ij"s, u"ab\0cdefgh\0ij"s},
      {"only line breaks become empty", "\r\n\r\n\r\n", u""},
      {"the last line loses two characters", "x: The Game Is Rock, Paper, Scissors\r\n\0zz"s,
       u"x: The Game Is Rock, Paper, Scisso"},
      {"bytes above ASCII are widened", "\xE9t\xE9\r\n", u"\u00E9t\u00E9"},
      {"only a NUL", "\0"s, u"\0"s},
      {"NUL at five, right after a line break", "ab\r\n\0"s, u"ab\r\n\0"s},
      {"NUL at seven, right after a line break", "abcd\r\n\0"s, u"ab"},
      {"lone line feeds stay", "a\nb\n", u"a\nb\n"},
      {"half a line break stays", "a\r\n\r", u"a\r\n\r"},
      {"empty", "", u""},
  };
  for (const AllTextCase& c : cases) {
    FakeLink fake;
    fake.link.StartLink();
    fake.library.Callbacks().OnDapiAllText(c.delivered);
    EXPECT_EQ(fake.link.State().DapiAllText, c.stored) << c.name;
  }
}

TEST(TextSearch, AgreesWithAPlainSearchAtEveryOffset) {
  // Units around the ones searched for, where a four-at-a-time search could go wrong.
  const char16_t units[] = {0x0000, 0x0001, 0x000D, 0x000A, 0x0D00, 0x0D0D,
                            0x8000, 0x800D, 0xFFFF, 0x0100, u'a',   0x0D0A};
  std::mt19937 random(11);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(units) - 1);
  for (int round = 0; round < 3000; ++round) {
    std::u16string text(random() % 70, u'\0');
    for (char16_t& unit : text) {
      unit = units[pick(random)];
    }
    for (const char16_t wanted : {u'\0', u'\r'}) {
      for (std::size_t from = 0; from <= text.size(); ++from) {
        std::size_t plain = std::u16string::npos;
        for (std::size_t at = from; at < text.size() && plain == std::u16string::npos; ++at) {
          plain = text[at] == wanted ? at : plain;
        }
        ASSERT_EQ(FindUnit(text, wanted, from), plain) << round << " from " << from;
      }
    }
    ASSERT_EQ(FindText(text, u"\r\n"), text.find(u"\r\n")) << round;
    ASSERT_EQ(FindEmptyLine(text), text.find(u"\r\n\r\n")) << round;
  }
}

// Each way the empty line can be found gives the plain search's answer, wherever the
// line stands against the vector blocks and the text's end.
TEST(TextSearch, BothEmptyLineScansAgreeWithAPlainSearch) {
  const std::u16string fillers[] = {u"a", u"\n", u"\r\n", u"\r\r\n\n", u"\n\r\n\r", u"\x0D0A"};
  std::mt19937 random(7);
  for (int round = 0; round < 4000; ++round) {
    std::u16string text;
    while (text.size() < random() % 90) {
      text += fillers[random() % std::size(fillers)];
    }
    if (round % 3 == 0) {
      text.insert(random() % (text.size() + 1), u"\r\n\r\n");
    }
    for (const EmptyLineScan scan : {EmptyLineScan::Scalar, EmptyLineScan::Sse2}) {
      ASSERT_EQ(FindEmptyLineBy(scan, text), text.find(u"\r\n\r\n"))
          << round << " scan " << static_cast<int>(scan);
    }
  }
#if defined(__x86_64__) || defined(__SSE2__)
  EXPECT_EQ(ChosenEmptyLineScan(), EmptyLineScan::Sse2);
#endif
}

}  // namespace
}  // namespace kelto::testing
