#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/window/kelto_session.h"

namespace kelto::window_testing {
namespace {

using Lines = std::vector<std::string>;

struct ExpectedControl {
  int id;
  const wchar_t* className;
  const wchar_t* caption;
};

RECT ClientRectOf(HWND window, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST(StartUp, WindowShowsEveryControlAsLaidOut) {
  KeltoSession kelto;
  const HWND window = kelto.WaitForWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowCaption(window), L"Kelto");

  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, 127);  // 1,905 x 2,595 twips at 96 DPI
  EXPECT_EQ(client.bottom, 173);
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(style & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0) << "the window must not be resizable";
  EXPECT_NE(style & WS_MINIMIZEBOX, 0);

  const ExpectedControl controls[] = {{IDC_FRAME1, L"Button", L"Host"},
                                      {IDC_TXTHOST, L"Edit", L""},
                                      {IDC_COMMAND1, L"Button", L"Rock"},
                                      {IDC_COMMAND2, L"Button", L"Paper"},
                                      {IDC_COMMAND3, L"Button", L"Scissors"},
                                      {IDC_COMMAND4, L"Button", L"Get Host"},
                                      {IDC_LSTAVATARS, L"ListBox", L""},
                                      {IDC_CHECK1, L"Button", L""},
                                      {IDC_CHECK2, L"Button", L""},
                                      {IDC_CHECK3, L"Button", L""},
                                      {IDC_COMMAND5, L"Button", L"Random Select"},
                                      {IDC_TEXT1, L"Edit", L""},
                                      {IDC_CHECK4, L"Button", L"Auto Send"}};
  HWND previous = nullptr;
  for (const ExpectedControl& expected : controls) {
    const HWND control = kelto.Control(expected.id);
    ASSERT_NE(control, nullptr) << expected.id;
    wchar_t className[32] = {};
    GetClassNameW(control, className, 32);
    EXPECT_EQ(_wcsicmp(className, expected.className), 0) << expected.id;
    EXPECT_EQ(kelto.Text(expected.id), expected.caption);
    // Created in tab-index order.
    EXPECT_EQ(GetWindow(control, GW_HWNDPREV), previous) << expected.id;
    previous = control;
  }
  for (const int id : {IDC_CHECK1, IDC_CHECK2, IDC_CHECK3, IDC_CHECK4}) {
    EXPECT_EQ(kelto.Check(id), 0);
  }

  // Twips to pixels: Rock at 120, 120 with 1,335 x 255; the host field inside the frame.
  const RECT rock = ClientRectOf(window, kelto.Control(IDC_COMMAND1));
  EXPECT_EQ(rock.left, 8);
  EXPECT_EQ(rock.top, 8);
  EXPECT_EQ(rock.right - rock.left, 89);
  EXPECT_EQ(rock.bottom - rock.top, 17);
  const RECT host = ClientRectOf(window, kelto.Control(IDC_TXTHOST));
  EXPECT_EQ(host.left, 16);
  EXPECT_EQ(host.top, 120);
  // Text1 and lstAvatars lie wholly outside the client area.
  EXPECT_GE(ClientRectOf(window, kelto.Control(IDC_TEXT1)).top, client.bottom);
  EXPECT_GE(ClientRectOf(window, kelto.Control(IDC_LSTAVATARS)).left, client.right);

  EXPECT_TRUE(kelto.Topmost());
  GUITHREADINFO thread{};
  thread.cbSize = sizeof thread;
  ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread));
  EXPECT_EQ(thread.hwndFocus, kelto.Control(IDC_TXTHOST));

  kelto.SaveScreenshot(L"window-at-start.bmp");
}

TEST(StartUp, StayOnTopIsCheckedAtStart) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  EXPECT_TRUE(kelto.Topmost());
  EXPECT_EQ(kelto.StayOnTopShownChecked(), true);
}

TEST(StartUp, ExitEndsTheProgramWithoutFurtherLibraryCalls) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.Menu(IDM_EXIT);
  EXPECT_EQ(kelto.WaitForExit(10000), DWORD{0});
  EXPECT_EQ(kelto.Log(), (Lines{R"(InitDDE "Kelto")"}));
}

TEST(StartUp, CloseBoxEndsTheProgram) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.CloseBox();
  EXPECT_EQ(kelto.WaitForExit(10000), DWORD{0});
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

void ExpectRefusal(const SessionOptions& options) {
  KeltoSession kelto(options);
  const HWND box = kelto.WaitForMessageBox(20000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowCaption(box), L"Kelto");
  EXPECT_EQ(MessageBoxText(box), L"Run-time error 10001: Failed to initialize DDE layer");
  EXPECT_FALSE(kelto.HasMainWindow());
  EXPECT_FALSE(kelto.WaitForExit(300).has_value()) << "ended before the box was closed";
  PressMessageBoxOk(box);
  const std::optional<DWORD> status = kelto.WaitForExit(10000);
  ASSERT_TRUE(status.has_value());
  EXPECT_NE(*status, 0u);
  EXPECT_EQ(kelto.Log(), (Lines{R"(InitDDE "Kelto")"}));
}

TEST(StartUp, RefusedLinkShowsError10001AndNoWindow) {
  ExpectRefusal({.scenario = "init 1\n"});
}

TEST(StartUp, MalformedScenarioMakesTheStandInRefuse) {
  ExpectRefusal({.scenario = "init soon\n"});
}

TEST(StartUp, NoChatClientRunningIsARefusal) {
  ExpectRefusal({.overDde = true});
}

TEST(StayOnTop, MenuAndBandToggleTogether) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  ASSERT_TRUE(kelto.Topmost());
  kelto.Menu(IDM_STAY);
  ASSERT_TRUE(WaitUntil([&] { return !kelto.Topmost(); }, 5000)) << "band not left";
  EXPECT_EQ(kelto.StayOnTopShownChecked(), false);
  kelto.Menu(IDM_STAY);
  ASSERT_TRUE(WaitUntil([&] { return kelto.Topmost(); }, 5000)) << "band not entered again";
  EXPECT_EQ(kelto.StayOnTopShownChecked(), true);
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
  void ExpectFatalBox(const std::wstring& named, const std::string& scenario = "") {
    KeltoSession kelto({.scenario = scenario, .executable = L"alone\\Kelto.exe"});
    const HWND box = kelto.WaitForMessageBox(20000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowCaption(box), L"Kelto");
    const std::wstring text = MessageBoxText(box);
    EXPECT_NE(text.find(named), std::wstring::npos) << std::string(text.begin(), text.end());
    PressMessageBoxOk(box);
    const std::optional<DWORD> status = kelto.WaitForExit(10000);
    ASSERT_TRUE(status.has_value());
    EXPECT_NE(*status, 0u);
  }
  const std::wstring folder = TestFolder() + L"\\alone";
};

TEST_F(MissingLibrary, MissingDllIsNamedAndEndsTheProgram) {
  ExpectFatalBox(L"Can't load the library wadapi.dll: ");
}

TEST_F(MissingLibrary, MissingEntryPointIsNamedAtItsFirstCall) {
  ASSERT_TRUE(CopyFileW((TestFolder() + L"\\partial\\wadapi.dll").c_str(),
                        (folder + L"\\wadapi.dll").c_str(), FALSE));
  // This library has no DapiRegister; Kelto first needs it when a request answers "10".
  KeltoSession kelto({.scenario = "result \"10\"\n", .executable = L"alone\\Kelto.exe"});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.Click(IDC_COMMAND1);
  const HWND box = kelto.WaitForMessageBox(10000);
  ASSERT_NE(box, nullptr);
  const std::wstring text = MessageBoxText(box);
  EXPECT_NE(text.find(L"Can't find the entry point DapiRegister in wadapi.dll"), std::wstring::npos)
      << std::string(text.begin(), text.end());
  EXPECT_FALSE(kelto.HasMainWindow());
  PressMessageBoxOk(box);
  const std::optional<DWORD> status = kelto.WaitForExit(10000);
  ASSERT_TRUE(status.has_value());
  EXPECT_NE(*status, 0u);
}

// The test prefix's display set to 144 DPI for the Kelto started meanwhile.
class Dpi : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                              KEY_SET_VALUE, nullptr, &desktop_, nullptr),
              ERROR_SUCCESS);
    const DWORD dpi = 144;
    ASSERT_EQ(RegSetValueExW(desktop_, L"LogPixels", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&dpi), sizeof dpi),
              ERROR_SUCCESS);
  }
  void TearDown() override {
    RegDeleteValueW(desktop_, L"LogPixels");
    RegCloseKey(desktop_);
  }
  HKEY desktop_ = nullptr;
};

TEST_F(Dpi, LayoutScalesWithTheDisplay) {
  KeltoSession kelto;
  const HWND window = kelto.WaitForWindow();
  ASSERT_NE(window, nullptr);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.right, MulDiv(1905, 144, 1440));
  EXPECT_EQ(client.bottom, MulDiv(2595, 144, 1440));
  const RECT scissors = ClientRectOf(window, kelto.Control(IDC_COMMAND3));
  EXPECT_EQ(scissors.left, MulDiv(120, 144, 1440));
  EXPECT_EQ(scissors.top, MulDiv(720, 144, 1440));
  EXPECT_EQ(scissors.right - scissors.left, MulDiv(1335, 144, 1440));
  EXPECT_GE(ClientRectOf(window, kelto.Control(IDC_TEXT1)).top, client.bottom);
  kelto.SaveScreenshot(L"window-at-144-dpi.bmp");
}

}  // namespace
}  // namespace kelto::window_testing
