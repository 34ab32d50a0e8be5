// What a screen reader and a keyboard user meet.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>

#include "resources/resource.h"
#include "tests/window/kelto_session.h"

namespace kelto::window_testing {
namespace {

// The control's accessible object as a screen reader gets it, from another process.
struct Accessible {
  explicit Accessible(HWND control) {
    AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                               reinterpret_cast<void**>(&object));
  }
  ~Accessible() {
    if (object != nullptr) {
      object->Release();
    }
  }
  Accessible(const Accessible&) = delete;
  Accessible& operator=(const Accessible&) = delete;

  std::wstring Name() const {
    BSTR name = nullptr;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    std::wstring text;
    if (object != nullptr && object->get_accName(self, &name) == S_OK && name != nullptr) {
      text.assign(name, SysStringLen(name));
    }
    SysFreeString(name);
    return text;
  }
  LONG State() const {
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT state{};
    if (object == nullptr || object->get_accState(self, &state) != S_OK || state.vt != VT_I4) {
      return 0;
    }
    return state.lVal;
  }

  IAccessible* object = nullptr;
};

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
    const Accessible control(kelto.Control(id));
    ASSERT_NE(control.object, nullptr) << id;
    EXPECT_EQ(control.Name(), name) << id;
  }
  // Nothing but the box shows: the caption stays empty.
  EXPECT_EQ(kelto.Text(IDC_CHECK1), L"");
  // What the user never sees, assistive technology does not meet either.
  for (const int id : {IDC_TEXT1, IDC_LSTAVATARS}) {
    const Accessible unseen(kelto.Control(id));
    EXPECT_NE(unseen.State() & STATE_SYSTEM_INVISIBLE, 0) << id;
  }
}

TEST_F(Accessibility, IndicatorWithTheKeyboardFocusShowsIt) {
  RECT rect{};
  GetWindowRect(kelto.Control(IDC_CHECK1), &rect);
  const Screen before = Screen::Capture(rect);
  kelto.Click(IDC_TXTHOST);
  for (int control = 0; control < 5; ++control) {  // Rock, Paper, Scissors, Get Host, Check1
    kelto.PressKeys({VK_TAB});
  }
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(kelto.Window(), nullptr), &thread));
  ASSERT_EQ(thread.hwndFocus, kelto.Control(IDC_CHECK1));
  Sleep(200);  // painted
  const Screen after = Screen::Capture(rect);
  int changed = 0;
  for (int y = 0; y < after.height; ++y) {
    for (int x = 0; x < after.width; ++x) {
      changed += before.Luminance(x, y) != after.Luminance(x, y) ? 1 : 0;
    }
  }
  EXPECT_GE(changed, after.width) << "no focus cue drawn";
}

}  // namespace
}  // namespace kelto::window_testing
