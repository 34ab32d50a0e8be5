// What a screen reader and a keyboard user meet.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>

#include "resources/resource.h"
#include "tests/window/kelto_session.h"

namespace kelto::window_testing {
namespace {

// The control's accessible name as a screen reader gets it, from another process.
std::wstring AccessibleName(HWND control) {
  IAccessible* object = nullptr;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&object)))) {
    return L"(no accessible object)";
  }
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring text;
  if (object->get_accName(self, &name) == S_OK && name != nullptr) {
    text.assign(name, SysStringLen(name));
  }
  SysFreeString(name);
  object->Release();
  return text;
}

class Accessibility : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_NE(kelto.WaitForWindow(), nullptr);
  }
  void TearDown() override { CoUninitialize(); }
  KeltoSession kelto;
};

TEST_F(Accessibility, ControlsAreAnnouncedByWhatTheyAre) {
  const std::pair<int, const wchar_t*> rows[] = {
      {IDC_CHECK1, L"Rock chosen"}, {IDC_CHECK2, L"Paper chosen"}, {IDC_CHECK3, L"Scissors chosen"},
      {IDC_TXTHOST, L"Host"},       {IDC_COMMAND1, L"Rock"},       {IDC_CHECK4, L"Auto Send"},
  };
  for (const auto& [id, name] : rows) {
    EXPECT_EQ(AccessibleName(kelto.Control(id)), name) << id;
  }
  // Nothing but the box shows: the caption stays empty.
  EXPECT_EQ(kelto.Text(IDC_CHECK1), L"");
}

HWND FocusOf(const KeltoSession& kelto) {
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  return GetGUIThreadInfo(GetWindowThreadProcessId(kelto.Window(), nullptr), &thread)
             ? thread.hwndFocus
             : nullptr;
}

// A window of the test's own, to switch to and away from Kelto.
class OtherWindow {
 public:
  OtherWindow()
      : window_(CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                0, 0, 200, 100, nullptr, nullptr, GetModuleHandleW(nullptr),
                                nullptr)) {}
  ~OtherWindow() {
    if (window_ != nullptr) {
      DestroyWindow(window_);
    }
  }
  OtherWindow(const OtherWindow&) = delete;
  OtherWindow& operator=(const OtherWindow&) = delete;
  HWND Handle() const { return window_; }

 private:
  HWND window_;
};

bool BringToFront(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; }, 5000);
}

TEST_F(Accessibility, FocusComesBackWhereTheUserLeftIt) {
  kelto.PressKeys({VK_TAB, VK_TAB});  // from the host field past "Rock" to "Paper"
  ASSERT_EQ(FocusOf(kelto), kelto.Control(IDC_COMMAND2));
  const std::pair<int, bool> steps[] = {{SW_MINIMIZE, true}, {SW_RESTORE, false}};
  for (const auto& [command, iconic] : steps) {
    ShowWindow(kelto.Window(), command);
    ASSERT_TRUE(WaitUntil([&] { return (IsIconic(kelto.Window()) != FALSE) == iconic; }, 5000));
  }
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(kelto) == kelto.Control(IDC_COMMAND2); }, 3000))
      << "after minimising, the focus is on " << FocusOf(kelto);

  // On to "Scissors", away to another program, and back.
  kelto.PressKeys({VK_TAB});
  ASSERT_EQ(FocusOf(kelto), kelto.Control(IDC_COMMAND3));
  const OtherWindow other;
  ASSERT_NE(other.Handle(), nullptr);
  ASSERT_TRUE(BringToFront(other.Handle()));
  ASSERT_TRUE(BringToFront(kelto.Window()));
  EXPECT_TRUE(WaitUntil([&] { return FocusOf(kelto) == kelto.Control(IDC_COMMAND3); }, 3000))
      << "after switching back, the focus is on " << FocusOf(kelto);
}

}  // namespace
}  // namespace kelto::window_testing
