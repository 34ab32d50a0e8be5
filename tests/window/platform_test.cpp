// Kelto's own code tested in this process: the conversions at the library boundary, and
// the window itself where another process cannot see what it does.
#include <gtest/gtest.h>

#include <string>

#include "link/ansi_code_page_win.h"
#include "link/link_system_win.h"
#include "link/mod_dapi.h"
#include "resources/resource.h"
#include "tests/window/system_fonts.h"
#include "window/dpi_win.h"
#include "window/main_window.h"

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

// A library that is never called: the window is made, not loaded.
class NoLibrary final : public DapiLibrary {
 public:
  std::int16_t InitDDE(const char*, LinkCallbacks&) override { return 1; }
  void DapiRegister(const char*) override {}
  void DapiCommunicate(const char*, std::int16_t, char*, char*) override {}
  void DapiGetAllText(const char*) override {}
};

// The window made in this process, where what another process cannot see under Wine
// can be seen: its icons, its fonts, and the system's fonts changed while it runs.
class InProcessWindow : public ::testing::Test {
 protected:
  NoLibrary library;
  WindowsLinkSystem system;
  ModDapi link{library, system};
  MainWindow window{GetModuleHandleW(nullptr), link, system};
  const HWND handle = window.Handle();
};

int IconWidth(HICON icon) {
  ICONINFO info{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) {
    return 0;
  }
  BITMAP bitmap{};
  GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return bitmap.bmWidth;
}

// Made anew for a monitor of another scale, at the size the system shows them there.
TEST_F(InProcessWindow, IconsAreMadeAnewForAMonitorOfAnotherScale) {
  const auto icon = [&](WPARAM which) {
    return reinterpret_cast<HICON>(SendMessageW(handle, WM_GETICON, which, 0));
  };
  const HICON small = icon(ICON_SMALL);
  const HICON large = icon(ICON_BIG);
  ASSERT_NE(small, nullptr);
  ASSERT_NE(large, nullptr);
  RECT rect{};
  GetWindowRect(handle, &rect);
  const UINT other = dpi::ForWindow(handle) == 144 ? 96 : 144;
  SendMessageW(handle, WM_DPICHANGED, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&rect));
  EXPECT_NE(icon(ICON_SMALL), small);
  EXPECT_NE(icon(ICON_BIG), large);
  EXPECT_EQ(IconWidth(icon(ICON_SMALL)), dpi::Metric(SM_CXSMICON, other));
  EXPECT_EQ(IconWidth(icon(ICON_BIG)), dpi::Metric(SM_CXICON, other));
}

// Windows tells every program of many settings; only a new message font lays the window
// out again, at once and larger for larger text.
TEST_F(InProcessWindow, LaysOutAgainOnlyForANewMessageFont) {
  const HWND button = GetDlgItem(handle, IDC_COMMAND1);
  const auto font = [&] { return SendMessageW(button, WM_GETFONT, 0, 0); };
  const LRESULT before = font();
  RECT client{};
  GetClientRect(handle, &client);
  SendMessageW(handle, WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>(L"ImmersiveColorSet"));
  SendMessageW(handle, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  EXPECT_EQ(font(), before) << "laid out again for a change that left the font as it was";
  const window_testing::SystemFonts larger(
      window_testing::MessageFontOf(26, static_cast<int>(dpi::ForWindow(handle))));
  ASSERT_TRUE(larger.Set());
  RECT grown{};
  GetClientRect(handle, &grown);
  EXPECT_NE(font(), before) << "the new message font was not taken";
  EXPECT_GT(grown.bottom, client.bottom) << "the window did not grow with the text";
}

}  // namespace
}  // namespace kelto
