// The window as it opens, its two menu commands, and the ways start-up fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/window/kelto_session.h"

namespace kelto::window_testing {
namespace {

using Lines = std::vector<std::string>;

struct ExpectedControl {
  int id;
  const wchar_t* className;
  const wchar_t* caption;
  int left, top, width, height;  // twips, relative to the client area
  bool tabStop;
  bool visible;
};

// The window's table; the host field and "Get Host" sit in the frame at 120, 1560.
const ExpectedControl kControls[] = {
    {IDC_FRAME1, L"Button", L"Host", 120, 1560, 1695, 975, false, true},
    {IDC_TXTHOST, L"Edit", L"", 240, 1800, 1455, 285, true, true},
    {IDC_COMMAND1, L"Button", L"Rock", 120, 120, 1335, 255, true, true},
    {IDC_COMMAND2, L"Button", L"Paper", 120, 420, 1335, 255, true, true},
    {IDC_COMMAND3, L"Button", L"Scissors", 120, 720, 1335, 255, true, true},
    {IDC_COMMAND4, L"Button", L"Get Host", 240, 2160, 1455, 255, true, true},
    {IDC_LSTAVATARS, L"ListBox", L"", 2520, 360, 915, 645, false, false},
    {IDC_CHECK1, L"Button", nullptr, 1560, 120, 255, 255, true, true},
    {IDC_CHECK2, L"Button", nullptr, 1560, 420, 255, 255, true, true},
    {IDC_CHECK3, L"Button", nullptr, 1560, 720, 255, 255, true, true},
    {IDC_COMMAND5, L"Button", L"Random Select", 120, 1020, 1695, 255, true, true},
    {IDC_TEXT1, L"Edit", L"", 120, 2640, 1215, 285, false, false},
    {IDC_CHECK4, L"Button", L"Auto Send", 360, 1320, 1335, 255, true, true},
};

RECT ClientRectOf(HWND window, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void ExpectLayout(KeltoSession& kelto, int dpi) {
  const auto pixels = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
  const HWND window = kelto.Window();
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, pixels(1905));
  EXPECT_EQ(client.bottom, pixels(2595));
  HWND previous = nullptr;
  for (const ExpectedControl& expected : kControls) {
    const HWND control = kelto.Control(expected.id);
    ASSERT_NE(control, nullptr) << expected.id;
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    EXPECT_EQ(_wcsicmp(className, expected.className), 0) << expected.id;
    if (expected.caption != nullptr) {
      EXPECT_EQ(kelto.Text(expected.id), expected.caption);
    }
    const RECT rect = ClientRectOf(window, control);
    EXPECT_EQ(rect.left, pixels(expected.left)) << expected.id;
    EXPECT_EQ(rect.top, pixels(expected.top)) << expected.id;
    EXPECT_EQ(rect.right - rect.left, pixels(expected.width)) << expected.id;
    EXPECT_EQ(rect.bottom - rect.top, pixels(expected.height)) << expected.id;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, expected.tabStop) << expected.id;
    EXPECT_EQ((style & WS_VISIBLE) != 0, expected.visible) << expected.id;
    // Created in tab-index order.
    EXPECT_EQ(GetWindow(control, GW_HWNDPREV), previous) << expected.id;
    previous = control;
  }
}

TEST(StartUp, WindowOpensAsLaidOutOnTopWithTheFocusInTheHostField) {
  KeltoSession kelto;
  const HWND window = kelto.WaitForWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowCaption(window), L"Kelto");
  ExpectLayout(kelto, 96);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "the window must not be resizable";
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);
  for (const int id : {IDC_CHECK1, IDC_CHECK2, IDC_CHECK3, IDC_CHECK4}) {
    EXPECT_EQ(kelto.Check(id), 0);
  }
  EXPECT_TRUE(kelto.Topmost());
  EXPECT_EQ(kelto.StayOnTopShownChecked(), true);
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread));
  EXPECT_EQ(thread.hwndFocus, kelto.Control(IDC_TXTHOST));
}

TEST(StartUp, ApplicationNameIsTheExecutableWithoutItsLastExtension) {
  const std::wstring copy = TestFolder() + L"\\My.Kelto.exe";
  ASSERT_TRUE(CopyFileW((TestFolder() + L"\\Kelto.exe").c_str(), copy.c_str(), FALSE));
  {
    KeltoSession kelto({.scenario = "", .executable = L"My.Kelto.exe"});
    ASSERT_NE(kelto.WaitForWindow(), nullptr);
    kelto.Menu(IDM_EXIT);
    EXPECT_EQ(kelto.WaitForExit(10000), DWORD{0});
    EXPECT_EQ(kelto.Log(), (Lines{R"(InitDDE "My.Kelto")"}));
  }
  DeleteFileW(copy.c_str());
}

// Waits for the box that ends the program, checks what it says, and closes it.
const wchar_t kRefused[] =
    L"Run-time error 10001: Failed to initialize DDE layer\n\nThe chat client is not running, or "
    L"has not started its link. Start the chat client, then start Kelto again.";

TEST(StartUp, RefusedLinkShowsError10001AndNoWindow) {
  const std::pair<const char*, SessionOptions> refusals[] = {
      {"init 1", {.scenario = "init 1\n"}},
      {"malformed scenario", {.scenario = "init soon\n"}},
      {"no chat client running", {.overDde = true}},
  };
  for (const auto& [name, options] : refusals) {
    SCOPED_TRACE(name);
    KeltoSession kelto(options);
    ExpectFatalBox(kelto, kRefused);
    EXPECT_EQ(kelto.Log(), (Lines{R"(InitDDE "Kelto")"}));
  }
}

TEST(StayOnTop, MenuAndBandToggleTogetherAndTheWindowStaysPut) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  ASSERT_TRUE(SetWindowPos(kelto.Window(), nullptr, 300, 200, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
  RECT before{};
  GetWindowRect(kelto.Window(), &before);
  kelto.Menu(IDM_STAY);
  ASSERT_TRUE(WaitUntil([&] { return !kelto.Topmost(); }, 5000)) << "band not left";
  EXPECT_EQ(kelto.StayOnTopShownChecked(), false);
  kelto.Menu(IDM_STAY);
  ASSERT_TRUE(WaitUntil([&] { return kelto.Topmost(); }, 5000)) << "band not entered again";
  EXPECT_EQ(kelto.StayOnTopShownChecked(), true);
  RECT after{};
  GetWindowRect(kelto.Window(), &after);
  EXPECT_TRUE(EqualRect(&before, &after)) << "moved to " << after.left << ", " << after.top;
}

// Kelto copied into a folder of its own, where no wadapi.dll stands beside it.
class MissingLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((TestFolder() + L"\\Kelto.exe").c_str(),
                          (folder + L"\\Kelto.exe").c_str(), FALSE));
  }
  void TearDown() override {
    DeleteFileW((folder + L"\\Kelto.exe").c_str());
    DeleteFileW((folder + L"\\wadapi.dll").c_str());
    RemoveDirectoryW(folder.c_str());
  }
  const std::wstring folder = TestFolder() + L"\\alone";
};

const wchar_t kNotFound[] =
    L"Run-time error 53: Can't load the library wadapi.dll: the file was not found.\n\nKelto "
    L"could not find the chat client's library wadapi.dll. Put Kelto.exe into the chat client's "
    L"folder, beside wadapi.dll, and start it from there.";

TEST_F(MissingLibrary, MissingDllOrEntryPointIsNamedAndSaysWhatToDo) {
  {
    KeltoSession kelto({.executable = L"alone\\Kelto.exe"});
    ExpectFatalBox(kelto, kNotFound);
  }
  {
    // The stand-in built for the other bitness, as the chat client's library would be
    // to a Kelto of the wrong build: the system's "Bad EXE format for %1." is put in
    // Kelto's words.
    const wchar_t* other = sizeof(void*) == 4 ? L"win64" : L"win32";
    ASSERT_TRUE(CopyFileW((TestFolder() + L"\\..\\..\\" + other + L"\\bin\\wadapi.dll").c_str(),
                          (folder + L"\\wadapi.dll").c_str(), FALSE));
    KeltoSession kelto({.executable = L"alone\\Kelto.exe"});
    ExpectFatalBox(kelto, std::wstring(L"Run-time error 53: Can't load the library wadapi.dll: it "
                                       L"is not a ") +
                              (sizeof(void*) == 4 ? L"32" : L"64") +
                              L"-bit Windows library.\n\nKelto found a wadapi.dll but could not "
                              L"load it. Put Kelto.exe into the chat client's folder, beside the "
                              L"chat client's own wadapi.dll, and start it from there.");
    ASSERT_TRUE(DeleteFileW((folder + L"\\wadapi.dll").c_str()));
  }
  {
    // A stray wadapi.dll in the folder Kelto is started from is never loaded; the
    // stand-in there would log every call it saw.
    const std::wstring stray = TestFolder() + L"\\stray";
    CreateDirectoryW(stray.c_str(), nullptr);
    ASSERT_TRUE(CopyFileW((TestFolder() + L"\\wadapi.dll").c_str(),
                          (stray + L"\\wadapi.dll").c_str(), FALSE));
    KeltoSession kelto({.executable = L"alone\\Kelto.exe", .workingFolder = stray});
    ExpectFatalBox(kelto, kNotFound);
    EXPECT_TRUE(kelto.Log().empty()) << "the stray library was called";
    DeleteFileW((stray + L"\\wadapi.dll").c_str());
    RemoveDirectoryW(stray.c_str());
  }
  // A library without DapiRegister; Kelto first needs it when a request answers "10".
  ASSERT_TRUE(CopyFileW((TestFolder() + L"\\partial\\wadapi.dll").c_str(),
                        (folder + L"\\wadapi.dll").c_str(), FALSE));
  KeltoSession kelto({.scenario = "result \"10\"\n", .executable = L"alone\\Kelto.exe"});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.Click(IDC_COMMAND1);
  const HWND box = kelto.WaitForMessageBox(10000);
  ASSERT_NE(box, nullptr);
  const std::wstring text = MessageBoxText(box);
  EXPECT_EQ(
      text.rfind(L"Run-time error 453: Can't find the entry point DapiRegister in wadapi.dll", 0),
      0u);
  EXPECT_NE(text.find(L"is not one that Kelto can work with: it has no entry point DapiRegister"),
            std::wstring::npos);
  ExpectFatalBox(kelto, text);
}

// Run at 96, 120 and 144 dots per inch, each in a Wine prefix of its own whose
// display has KELTO_TEST_DPI (see the CTest entries).
class Dpi : public ::testing::Test {
 protected:
  void SetUp() override {
    const HDC screen = GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    wchar_t wanted[8] = {};
    const bool asked = GetEnvironmentVariableW(L"KELTO_TEST_DPI", wanted, 8) > 0;
    ASSERT_EQ(dpi, asked ? _wtoi(wanted) : 96) << "the display was not set up as asked";
  }
  int dpi = 0;
};

TEST_F(Dpi, LayoutScalesWithTheDisplay) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  ExpectLayout(kelto, dpi);
}

// A menu font so large that Kelto's menu bar takes two rows, for as long as it lives;
// programs started meanwhile read it.
class LargeMenuFont {
 public:
  explicit LargeMenuFont(int dpi) {
    saved_.cbSize = sizeof saved_;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof saved_, &saved_, 0)) {
      return;
    }
    NONCLIENTMETRICSW large = saved_;
    large.lfMenuFont.lfHeight = -MulDiv(40, dpi, 72);
    large.iMenuHeight = MulDiv(large.iMenuHeight, 4, 1);
    set_ = SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof large, &large,
                                 SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != FALSE;
  }
  ~LargeMenuFont() {
    if (set_) {
      SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof saved_, &saved_,
                            SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    }
  }
  LargeMenuFont(const LargeMenuFont&) = delete;
  LargeMenuFont& operator=(const LargeMenuFont&) = delete;
  bool Set() const { return set_; }

 private:
  NONCLIENTMETRICSW saved_{};
  bool set_ = false;
};

TEST_F(Dpi, LayoutHoldsWhenTheMenuBarTakesTwoRows) {
  const LargeMenuFont font(dpi);
  ASSERT_TRUE(font.Set());
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  // Menus cannot be read from another process; a frame taller than one with a menu bar
  // of one row says the bar wrapped.
  RECT client{};
  GetClientRect(kelto.Window(), &client);
  RECT oneRow = client;
  AdjustWindowRectEx(&oneRow, static_cast<DWORD>(GetWindowLongW(kelto.Window(), GWL_STYLE)), TRUE,
                     static_cast<DWORD>(GetWindowLongW(kelto.Window(), GWL_EXSTYLE)));
  RECT frame{};
  GetWindowRect(kelto.Window(), &frame);
  ASSERT_GT(frame.bottom - frame.top, oneRow.bottom - oneRow.top) << "the menu bar did not wrap";
  ExpectLayout(kelto, dpi);
}

BOOL CALLBACK CollectStatic(HWND control, LPARAM lParam) {
  wchar_t className[16] = {};
  GetClassNameW(control, className, 16);
  if (lstrcmpiW(className, L"Static") == 0) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(control);
  }
  return TRUE;
}

TEST_F(Dpi, KeltoChatShowsEveryLabelWhole) {
  KeltoSession chat({.executable = L"KeltoChat.exe", .windowClass = L"#32770"});
  ASSERT_NE(chat.WaitForWindow(), nullptr);
  std::vector<HWND> labels;
  EnumChildWindows(chat.Window(), CollectStatic, reinterpret_cast<LPARAM>(&labels));
  ASSERT_GE(labels.size(), 5u);
  const HDC screen = GetDC(nullptr);
  for (const HWND label : labels) {
    const std::wstring text = WindowCaption(label);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = SelectObject(screen, font);
    SIZE extent{};
    GetTextExtentPoint32W(screen, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(screen, previous);
    RECT client{};
    GetClientRect(label, &client);
    EXPECT_LE(extent.cx, client.right)
        << "cut: " << std::string(text.begin(), text.end()) << " at " << dpi << " DPI";
  }
  ReleaseDC(nullptr, screen);
}

}  // namespace
}  // namespace kelto::window_testing
