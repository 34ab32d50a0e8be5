// What a screen reader and a keyboard user meet.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <oleacc.h>
#include <servprov.h>

#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "tests/window/kelto_session.h"
#include "window/accessible_name_win.h"
#include "window/com_ptr_win.h"
#include "window/keyboard_win.h"

namespace kelto::window_testing {
namespace {

// The name (or another text, such as the access key) an accessible object gives itself.
std::wstring NameOf(IAccessible& object, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(
                                             VARIANT, BSTR*) = &IAccessible::get_accName) {
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  std::wstring text;
  if ((object.*get)(self, &name) == S_OK && name != nullptr) {
    text.assign(name, SysStringLen(name));
  }
  SysFreeString(name);
  return text;
}

// The control's accessible name, or another of its texts, as a screen reader gets it.
std::wstring AccessibleName(HWND control, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(
                                              VARIANT, BSTR*) = &IAccessible::get_accName) {
  ComPtr<IAccessible> object;
  if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), object.Out()))) {
    return L"(no accessible object)";
  }
  return NameOf(*object.Get(), get);
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
  // The host field's label is its frame, whose access key takes the focus there.
  EXPECT_EQ(AccessibleName(kelto.Control(IDC_TXTHOST), &IAccessible::get_accKeyboardShortcut),
            L"Alt+H");
}

// Whether the focus reaches the control: a key's effect may trail the check that its
// input was handled on a busy machine.
bool FocusReaches(const KeltoSession& kelto, HWND control) {
  return WaitUntil([&] { return kelto.Focus() == control; }, 3000);
}

TEST_F(Accessibility, AccessKeysDoWhatAClickDoesAndAreUnique) {
  // The menu bar's keys, "&File" and "&Settings", come first.
  std::wstring keys = L"FS";
  for (const int id : {IDC_FRAME1, IDC_COMMAND1, IDC_COMMAND2, IDC_COMMAND3, IDC_COMMAND4,
                       IDC_COMMAND5, IDC_CHECK4}) {
    const wchar_t key = keyboard::AccessKey(kelto.Text(id).c_str());
    EXPECT_NE(key, 0) << id << " has no access key";
    EXPECT_EQ(keys.find(key), std::wstring::npos)
        << id << ": " << static_cast<char>(key) << " is taken";
    keys += key;
  }
  const auto press = [this](const std::vector<WORD>& chord) {
    kelto.PressKeys(chord, true);
    kelto.WaitForInputHandled();
  };
  const auto sent = [this](const char* word) {
    return WaitUntil(
        [&] {
          const auto log = kelto.Log();
          return !log.empty() &&
                 log.back() == std::string(R"(DapiCommunicate "Kelto" 2 "bob" ")") + word + "\"";
        },
        5000);
  };
  press({VK_MENU, 'G'});
  EXPECT_TRUE(WaitUntil([&] { return kelto.Text(IDC_TXTHOST) == L"bob"; }, 5000));
  const struct {
    WORD key;
    const char* word;
    int indicator;
  } choices[] = {
      {'R', "Rock", IDC_CHECK1}, {'P', "Paper", IDC_CHECK2}, {'C', "Scissors", IDC_CHECK3}};
  for (const auto& choice : choices) {
    press({VK_MENU, choice.key});
    EXPECT_TRUE(sent(choice.word)) << choice.word;
    EXPECT_TRUE(WaitUntil([&] { return kelto.Check(choice.indicator) == 1; }, 3000)) << choice.word;
  }
  press({VK_MENU, 'A'});
  EXPECT_TRUE(WaitUntil([&] { return kelto.Check(IDC_CHECK4) == 1; }, 3000));
  // Random Select with Auto Send: each press draws afresh from the time of day, so a
  // few presses draw all three, each marked and sent as drawn.
  std::set<std::wstring> drawn;
  for (int draw = 0; draw < 40 && drawn.size() < 3; ++draw) {
    const std::size_t calls = kelto.Log().size();
    press({VK_MENU, 'N'});
    ASSERT_TRUE(WaitUntil([&] { return kelto.Log().size() == calls + 1; }, 5000))
        << "Random Select with Auto Send sent nothing";
    const std::wstring text = kelto.Text(IDC_TEXT1);
    ASSERT_TRUE(text == L"0" || text == L"1" || text == L"2") << draw;
    const auto& choice = choices[text[0] - L'0'];
    EXPECT_TRUE(sent(choice.word)) << "drew " << choice.word << ", sent another";
    EXPECT_EQ(kelto.Check(choice.indicator), 1) << choice.word;
    drawn.insert(text);
  }
  EXPECT_EQ(drawn.size(), 3u) << "the same draw, press after press";
  // The frame's key takes the focus to the host field inside it, its text selected as
  // Tab leaves it.
  press({VK_MENU, 'P'});
  ASSERT_TRUE(WaitUntil([&] { return kelto.Focus() != kelto.Control(IDC_TXTHOST); }, 3000));
  press({VK_MENU, 'H'});
  EXPECT_TRUE(FocusReaches(kelto, kelto.Control(IDC_TXTHOST)));
  EXPECT_EQ(SendMessageW(kelto.Control(IDC_TXTHOST), EM_GETSEL, 0, 0), MAKELRESULT(0, 3))
      << "the host field's text is not all selected";
  // The menus: Stay On Top, off and on again, the band following and the window staying
  // put; then File, Exit.
  RECT before{};
  GetWindowRect(kelto.Window(), &before);
  for (const bool topmost : {false, true}) {
    press({VK_MENU, 'S'});
    kelto.PressKeys({'T'});
    EXPECT_TRUE(WaitUntil([&] { return kelto.Topmost() == topmost; }, 5000)) << topmost;
  }
  RECT after{};
  GetWindowRect(kelto.Window(), &after);
  EXPECT_TRUE(EqualRect(&before, &after)) << "Stay On Top moved the window";
  press({VK_MENU, 'F'});
  kelto.PressKeys({'X'});
  EXPECT_EQ(kelto.WaitForExit(10000), DWORD{0});
}

// A user who goes on typing a chat line into Kelto: with the focus on any button or box,
// plain letters, every access key among them, press nothing. The arrows move the focus
// within the choice buttons and within the indicators, and never to the frame. Enter
// presses the button that has the focus.
TEST_F(Accessibility, OnlyDeliberateKeysPressAndArrowsKeepToTheirGroup) {
  kelto.TypeIntoHost(L"bob");
  kelto.Click(IDC_CHECK4);  // Auto Send, which takes the focus
  ASSERT_EQ(kelto.Check(IDC_CHECK4), 1);
  const Lines before = kelto.Log();
  const std::vector<WORD> letters{'N', 'I', 'C', 'K', 'R', 'A', 'P', 'S', 'G', 'O', 'H', 'F', 'X'};
  // Backwards through the tab order, from Auto Send to Rock.
  for (const int focused : {IDC_CHECK4, IDC_COMMAND5, IDC_CHECK3, IDC_CHECK2, IDC_CHECK1,
                            IDC_COMMAND4, IDC_COMMAND3, IDC_COMMAND2, IDC_COMMAND1}) {
    ASSERT_TRUE(FocusReaches(kelto, kelto.Control(focused))) << focused;
    kelto.PressKeys(letters);
    kelto.PressKeys({VK_SHIFT, VK_TAB}, true);
    kelto.WaitForInputHandled();
  }
  EXPECT_EQ(kelto.Log(), before) << "a plain letter sent a request";
  for (const int id : {IDC_CHECK1, IDC_CHECK2, IDC_CHECK3}) {
    EXPECT_EQ(kelto.Check(id), 0) << id;
  }
  EXPECT_EQ(kelto.Check(IDC_CHECK4), 1) << "a plain letter cleared Auto Send";
  EXPECT_EQ(kelto.Text(IDC_TEXT1), L"") << "a plain letter drew a choice";
  EXPECT_EQ(kelto.Text(IDC_TXTHOST), L"bob");

  // From each control in tab order, Down and Up, each undone by the other.
  const struct {
    int from, down, up;
  } arrows[] = {
      {IDC_TXTHOST, IDC_TXTHOST, IDC_TXTHOST},    {IDC_COMMAND1, IDC_COMMAND2, IDC_COMMAND3},
      {IDC_COMMAND2, IDC_COMMAND3, IDC_COMMAND1}, {IDC_COMMAND3, IDC_COMMAND1, IDC_COMMAND2},
      {IDC_COMMAND4, IDC_COMMAND4, IDC_COMMAND4}, {IDC_CHECK1, IDC_CHECK2, IDC_CHECK3},
      {IDC_CHECK2, IDC_CHECK3, IDC_CHECK1},       {IDC_CHECK3, IDC_CHECK1, IDC_CHECK2},
      {IDC_COMMAND5, IDC_COMMAND5, IDC_COMMAND5}, {IDC_CHECK4, IDC_CHECK4, IDC_CHECK4},
  };
  for (const auto& row : arrows) {
    ASSERT_TRUE(FocusReaches(kelto, kelto.Control(row.from))) << row.from;
    for (const auto& [key, to, back] :
         {std::tuple{VK_DOWN, row.down, VK_UP}, std::tuple{VK_UP, row.up, VK_DOWN}}) {
      kelto.PressKeys({static_cast<WORD>(key)});
      EXPECT_TRUE(FocusReaches(kelto, kelto.Control(to))) << row.from << " key " << key;
      kelto.PressKeys({static_cast<WORD>(back)});
      EXPECT_TRUE(FocusReaches(kelto, kelto.Control(row.from))) << row.from << " key " << key;
    }
    kelto.PressKeys({VK_TAB});
  }
  EXPECT_EQ(kelto.Log(), before) << "an arrow sent a request";
  // Enter presses the focused button, once however long it is held.
  kelto.PressKeys({VK_TAB});
  ASSERT_TRUE(FocusReaches(kelto, kelto.Control(IDC_COMMAND1)));
  kelto.PressKeys({VK_RETURN, VK_RETURN, VK_RETURN}, true);  // auto-repeated
  kelto.WaitForInputHandled();
  Lines sent = before;
  sent.emplace_back(R"(DapiCommunicate "Kelto" 2 "bob" "Rock")");
  EXPECT_TRUE(WaitUntil([&] { return kelto.Log() == sent; }, 5000));
  EXPECT_EQ(kelto.Check(IDC_CHECK1), 1);
}

bool BringToFront(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; }, 5000);
}

// Whether a focus cue's dotted line runs along the top and the right edge of the
// control on the screen: nearly every pixel there differs from the next.
bool FocusCueShown(HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  const HDC screen = GetDC(nullptr);
  const auto changes = [screen](POINT from, POINT step, LONG count) {
    LONG changed = 0;
    for (LONG i = 0; i + 1 < count; ++i) {
      changed += GetPixel(screen, from.x + step.x * i, from.y + step.y * i) !=
                         GetPixel(screen, from.x + step.x * (i + 1), from.y + step.y * (i + 1))
                     ? 1
                     : 0;
    }
    return changed * 4 >= (count - 1) * 3;
  };
  const LONG width = rect.right - rect.left;
  const LONG height = rect.bottom - rect.top;
  const bool shown = changes({rect.left, rect.top}, {1, 0}, width) &&
                     changes({rect.right - 1, rect.top}, {0, 1}, height);
  ReleaseDC(nullptr, screen);
  return shown;
}

// Tabbed through the indicators, the focused one alone shows the cue; on the way, the
// focus stays put over a minimise, and then over a switch to another program and back.
TEST_F(Accessibility, FocusIsMarkedAndComesBackWhereTheUserLeftIt) {
  // From the host field past the four buttons above and beside them to "Rock chosen".
  kelto.PressKeys({VK_TAB, VK_TAB, VK_TAB, VK_TAB});
  for (const int focused : {IDC_CHECK1, IDC_CHECK2, IDC_CHECK3, IDC_COMMAND5}) {
    kelto.PressKeys({VK_TAB});
    ASSERT_TRUE(FocusReaches(kelto, kelto.Control(focused))) << focused;
    for (const int indicator : {IDC_CHECK1, IDC_CHECK2, IDC_CHECK3}) {
      EXPECT_TRUE(WaitUntil(
          [&] { return FocusCueShown(kelto.Control(indicator)) == (indicator == focused); }, 3000))
          << "indicator " << indicator << " with the focus on " << focused;
    }
    if (focused == IDC_CHECK1) {  // minimised and restored as its caption's buttons do
      for (const WPARAM command : {SC_MINIMIZE, SC_RESTORE}) {
        PostMessageW(kelto.Window(), WM_SYSCOMMAND, command, 0);
        ASSERT_TRUE(WaitUntil(
            [&] { return (IsIconic(kelto.Window()) != FALSE) == (command == SC_MINIMIZE); }, 5000));
      }
      EXPECT_TRUE(FocusReaches(kelto, kelto.Control(IDC_CHECK1)))
          << "after minimising, the focus is on " << kelto.Focus();
    }
  }
  // A window of the test's own, to switch to and away from Kelto.
  const std::unique_ptr<HWND__, decltype(&DestroyWindow)> other(
      CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                      100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr),
      &DestroyWindow);
  ASSERT_NE(other, nullptr);
  ASSERT_TRUE(BringToFront(other.get()));
  ASSERT_TRUE(BringToFront(kelto.Window()));
  EXPECT_TRUE(FocusReaches(kelto, kelto.Control(IDC_COMMAND5)))
      << "after switching back, the focus is on " << kelto.Focus();
}

// A control named as Kelto names its own, in this process: a screen reader's code that
// runs inside Kelto holds the named object itself, with no COM proxy between, and
// meets any second identity that an interface of it leads to.
TEST(AccessibleIdentity, EveryInterfaceOfANamedControlLeadsBackToIt) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  const HWND parent = CreateWindowExW(0, WC_STATICW, L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                      nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  const HWND control = CreateWindowExW(WS_EX_CLIENTEDGE, WC_EDITW, L"", WS_CHILD | WS_VISIBLE, 10,
                                       10, 100, 20, parent, nullptr, nullptr, nullptr);
  {
    AccessibleNames names;
    ASSERT_TRUE(names.Set(control, L"Host", L"Alt+H"));
    ComPtr<IAccessible> object;
    ASSERT_TRUE(SUCCEEDED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT),
                                                     __uuidof(IAccessible), object.Out())));
    // Which way the name went here: the system's annotation, or Kelto's own object.
    std::cout << "Named by " << (names.Annotated() ? "Dynamic Annotation" : "Kelto's own object")
              << '\n';
    EXPECT_EQ(NameOf(*object.Get(), &IAccessible::get_accKeyboardShortcut), L"Alt+H");
    ComPtr<IUnknown> identity;
    ASSERT_EQ(object->QueryInterface(__uuidof(IUnknown), identity.Out()), S_OK);
    for (const IID& iid : {__uuidof(IDispatch), __uuidof(IOleWindow), __uuidof(IEnumVARIANT),
                           __uuidof(IServiceProvider)}) {
      ComPtr<IUnknown> through;
      if (object->QueryInterface(iid, through.Out()) == S_OK) {
        ComPtr<IUnknown> back;
        ComPtr<IAccessible> again;
        ASSERT_EQ(through->QueryInterface(__uuidof(IUnknown), back.Out()), S_OK);
        EXPECT_EQ(back.Get(), identity.Get()) << "an interface leads to another object";
        ASSERT_EQ(through->QueryInterface(__uuidof(IAccessible), again.Out()), S_OK);
        EXPECT_EQ(NameOf(*again.Get()), L"Host");
      }
    }
    DestroyWindow(parent);  // the control goes before the name it was given
  }
  CoUninitialize();
}

}  // namespace
}  // namespace kelto::window_testing
