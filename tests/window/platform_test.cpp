// Kelto's conversions at the library boundary and its other uses of the system,
// tested in this process.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/ansi_code_page_win.h"
#include "tests/window/kelto_session.h"
#include "version.h"

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
};

TEST_F(Platform, AnsiCodePageConvertsEveryByteBothWays) {
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

// A string of a file's version resource, in the one language the project writes.
std::wstring VersionString(const std::wstring& file, const wchar_t* name) {
  DWORD ignored = 0;
  std::vector<BYTE> block(GetFileVersionInfoSizeW(file.c_str(), &ignored));
  wchar_t* value = nullptr;
  UINT length = 0;
  if (block.empty() ||
      !GetFileVersionInfoW(file.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) ||
      !VerQueryValueW(block.data(), (L"\\StringFileInfo\\040904B0\\" + std::wstring(name)).c_str(),
                      reinterpret_cast<void**>(&value), &length)) {
    return {};
  }
  return std::wstring(value, length > 0 ? length - 1 : 0);
}

TEST(Release, EveryProgramCarriesTheProjectsVersion) {
  const std::string text = KELTO_VERSION_TEXT;
  const std::wstring version(text.begin(), text.end());
  const std::pair<const wchar_t*, const wchar_t*> files[] = {
      {L"Kelto.exe", L"Kelto: rock, paper, scissors"},
      {L"KeltoChat.exe", L"KeltoChat: a chat-client simulator"},
      {L"wadapi.dll", L"Stand-in for the chat client's wadapi.dll"},
  };
  for (const auto& [file, description] : files) {
    const std::wstring path = window_testing::TestFolder() + L"\\" + file;
    EXPECT_EQ(VersionString(path, L"FileVersion"), version) << file;
    EXPECT_EQ(VersionString(path, L"ProductVersion"), version) << file;
    EXPECT_EQ(VersionString(path, L"FileDescription").rfind(description, 0), 0u) << file;
    EXPECT_NE(VersionString(path, L"LegalCopyright"), L"") << file;
  }
}

}  // namespace
}  // namespace kelto
