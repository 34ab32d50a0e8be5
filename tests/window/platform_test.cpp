// Kelto's conversions at the library boundary, tested in this process.
#include <gtest/gtest.h>

#include <string>

#include "link/ansi_code_page_win.h"

namespace kelto {
namespace {

using namespace std::string_literals;

TEST(Platform, AnsiCodePageConvertsEveryByteBothWays) {
  if (GetACP() != 1252) {
    GTEST_SKIP() << "expects code page 1252, not " << GetACP();
  }
  EXPECT_EQ(WidenFromAnsi("a\0b\x80\xE9"s), u"a\0b\u20AC\u00E9"s);
  EXPECT_EQ(NarrowToAnsi(u"a\0b\u20AC\u00E9"s), "a\0b\x80\xE9"s);
  EXPECT_EQ(WidenFromAnsi(""), u"");
  EXPECT_EQ(NarrowToAnsi(u""), "");
  EXPECT_EQ(NarrowToAnsi(u"\u4E2D\u6587x"), "??x");
  // Full-width letters the code page's best fit would make "Bob", each named once.
  EXPECT_EQ(UncarriedInAnsi(u"\uFF22\uFF4F\uFF42\uFF22\u00E9\u20AC"), u"\uFF22\uFF4F\uFF42");
  const std::string bytes(3 << 20, '\xE9');
  EXPECT_EQ(WidenFromAnsi(bytes), std::u16string(3 << 20, u'\u00E9'));
}

}  // namespace
}  // namespace kelto
