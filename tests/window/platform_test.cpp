// The Windows sides of the platform interfaces, tested in this process.
#include <gtest/gtest.h>

#include <string>

#include "link/windows_platform.h"
#include "window/windows_platform.h"

namespace kelto {
namespace {

using namespace std::string_literals;

class Platform : public ::testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 1252) {
      GTEST_SKIP() << "expects code page 1252, not " << GetACP();
    }
  }
  WindowsAnsiCodec codec;
};

TEST_F(Platform, AnsiCodecConvertsEveryByteBothWays) {
  EXPECT_EQ(codec.Widen("a\0b\x80\xE9"s), u"a\0b\u20AC\u00E9"s);
  EXPECT_EQ(codec.Narrow(u"a\0b\u20AC\u00E9"s), "a\0b\x80\xE9"s);
  EXPECT_EQ(codec.Widen(""), u"");
  EXPECT_EQ(codec.Narrow(u""), "");
}

TEST_F(Platform, CharactersOutsideTheCodePageBecomeReplacements) {
  EXPECT_EQ(codec.Narrow(u"\u4E2D\u6587x"), "??x");
  const std::string emoji = codec.Narrow(u"\U0001F600");
  EXPECT_FALSE(emoji.empty());
  EXPECT_EQ(emoji.find_first_not_of('?'), std::string::npos);
}

TEST_F(Platform, LongTextsConvert) {
  const std::string bytes(3 << 20, '\xE9');
  EXPECT_EQ(codec.Widen(bytes), std::u16string(3 << 20, u'\u00E9'));
}

TEST_F(Platform, LowerCaseMapsCharacterByCharacter) {
  const WindowsTextCase textCase;
  EXPECT_EQ(textCase.Lower(u"BOB"), u"bob");
  EXPECT_EQ(textCase.Lower(u"\u00C4\u00D6\u00DC"), u"\u00E4\u00F6\u00FC");
  EXPECT_EQ(textCase.Lower(u"\u0130").size(), 1u);
  EXPECT_EQ(textCase.Lower(u"a\0B"s), u"a\0b"s);
}

TEST_F(Platform, ApplicationNameIsTheProgramsFileName) {
  EXPECT_EQ(ModuleAppName().AppName(), u"window_tests");
}

}  // namespace
}  // namespace kelto
