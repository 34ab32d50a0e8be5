// The window as it opens, its two menu commands, and the ways start-up fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link/link_system_win.h"
#include "link/mod_dapi.h"
#include "link/wide_text_win.h"
#include "resources/resource.h"
#include "simulator/simulator_resource.h"
#include "tests/window/kelto_session.h"
#include "tests/window/system_fonts.h"
#include "tests/window/window_picture.h"

namespace kelto::window_testing {
namespace {

struct ExpectedControl {
  int id;
  const wchar_t* caption;
  int left, top, width, height;  // twips, relative to the client area
  bool tabStop;
  bool visible;
};

// The window's table; the host field and "Get Host" sit in the frame at 120, 1560.
constexpr int kHostTop = 1800;
const ExpectedControl kControls[] = {
    {IDC_FRAME1, L"&Host", 120, 1560, 1695, 975, false, true},
    {IDC_TXTHOST, L"", 240, kHostTop, 1455, 285, true, true},
    {IDC_COMMAND1, L"&Rock", 120, 120, 1335, 255, true, true},
    {IDC_COMMAND2, L"&Paper", 120, 420, 1335, 255, true, true},
    {IDC_COMMAND3, L"S&cissors", 120, 720, 1335, 255, true, true},
    {IDC_COMMAND4, L"&Get Host", 240, 2160, 1455, 255, true, true},
    {IDC_LSTAVATARS, L"", 2520, 360, 915, 645, false, false},
    {IDC_CHECK1, L"", 1560, 120, 255, 255, true, true},
    {IDC_CHECK2, L"", 1560, 420, 255, 255, true, true},
    {IDC_CHECK3, L"", 1560, 720, 255, 255, true, true},
    {IDC_COMMAND5, L"Ra&ndom Select", 120, 1020, 1695, 255, true, true},
    {IDC_TEXT1, L"", 120, 2640, 1215, 285, false, false},
    {IDC_CHECK4, L"&Auto Send", 360, 1320, 1335, 255, true, true},
};

RECT ClientRectOf(HWND window, HWND control) {
  RECT rect{};
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  ReleaseDC(nullptr, screen);
  return dpi;
}

// The system's message font at a DPI, as Kelto reads it; a font handle of Kelto's
// means nothing in this process.
LOGFONTW MessageFontAt(int dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  EXPECT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
      << "the system's fonts could not be read";
  metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, ScreenDpi());
  return metrics.lfMessageFont;
}

// A font made here and selected into the screen, to measure text in.
class ScreenFont {
 public:
  explicit ScreenFont(const LOGFONTW& font)
      : font_(CreateFontIndirectW(&font)),
        screen_(GetDC(nullptr)),
        previous_(SelectObject(screen_, font_)) {
    GetTextMetricsW(screen_, &metrics);
  }
  ~ScreenFont() {
    SelectObject(screen_, previous_);
    ReleaseDC(nullptr, screen_);
    DeleteObject(font_);
  }
  ScreenFont(const ScreenFont&) = delete;
  ScreenFont& operator=(const ScreenFont&) = delete;
  bool Made() const { return font_ != nullptr && screen_ != nullptr; }
  LONG Width(const std::wstring& text) const {
    SIZE extent{};
    GetTextExtentPoint32W(screen_, text.c_str(), static_cast<int>(text.size()), &extent);
    return extent.cx;
  }
  TEXTMETRICW metrics{};

 private:
  HFONT font_;
  HDC screen_;
  HGDIOBJ previous_;
};

// Twips to pixels as the layout takes them at the DPI, for a message font of the given
// line height: drawn for an 8-point font (a 13-pixel line at 96 DPI), grown where the
// line is taller.
int LayoutPixels(int twips, int dpi, int line) {
  const int drawnLine = (13 * dpi + 95) / 96;
  return MulDiv(twips, dpi * std::max(line, drawnLine), 1440 * drawnLine);
}

// The window as laid out at the DPI (LayoutPixels); every caption whole in that font, the host
// field's line whole, the frame's caption above the host field, nothing outside the client area.
// The client area's size too, unless the window's frame was given from outside.
void ExpectLayout(KeltoSession& kelto, int dpi, bool clientToo = true) {
  const ScreenFont font(MessageFontAt(dpi));
  ASSERT_TRUE(font.Made());
  const TEXTMETRICW& metrics = font.metrics;
  const auto pixels = [&](int twips) { return LayoutPixels(twips, dpi, metrics.tmHeight); };
  const HWND window = kelto.Window();
  RECT client{};
  GetClientRect(window, &client);
  if (clientToo) {
    EXPECT_EQ(client.right, pixels(1905));
    EXPECT_EQ(client.bottom, pixels(2595));
  }
  const int edges = 2 * GetSystemMetrics(SM_CYEDGE);
  HWND previousControl = nullptr;
  for (const ExpectedControl& expected : kControls) {
    const HWND control = kelto.Control(expected.id);
    ASSERT_NE(control, nullptr) << expected.id;
    EXPECT_EQ(kelto.Text(expected.id), expected.caption) << expected.id;
    const RECT rect = ClientRectOf(window, control);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    EXPECT_EQ(rect.left, pixels(expected.left)) << expected.id;
    EXPECT_EQ(rect.top, pixels(expected.top)) << expected.id;
    EXPECT_EQ(width, pixels(expected.width)) << expected.id;
    EXPECT_EQ(height, pixels(expected.height)) << expected.id;
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, expected.tabStop) << expected.id;
    EXPECT_EQ((style & WS_VISIBLE) != 0, expected.visible) << expected.id;
    // Created in tab-index order.
    EXPECT_EQ(GetWindow(control, GW_HWNDPREV), previousControl) << expected.id;
    previousControl = control;
    if (!expected.visible) {
      continue;
    }
    EXPECT_LE(rect.right, pixels(1905)) << expected.id;
    EXPECT_LE(rect.bottom, pixels(2595)) << expected.id;
    std::wstring caption = expected.caption;
    std::erase(caption, L'&');
    const LONG textWidth = font.Width(caption);
    switch (expected.id) {
      case IDC_FRAME1:
        EXPECT_LE(textWidth + 2 * GetSystemMetrics(SM_CXEDGE), width);
        EXPECT_LE(metrics.tmHeight, pixels(kHostTop) - rect.top)
            << "the frame's caption runs into the host field";
        break;
      case IDC_CHECK4:
        // The box, 13 pixels at 96 DPI whatever the fonts, and the gap after it.
        EXPECT_LE(textWidth + MulDiv(13 + 4, dpi, 96), width) << "cut: Auto Send";
        break;
      default:
        EXPECT_LE(textWidth + 2 * edges, width) << "cut: " << expected.id;
        break;
    }
    EXPECT_LE(metrics.tmHeight + edges, height)
        << "cut at the top or bottom (typed text, for the host field): " << expected.id;
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
  EXPECT_EQ(kelto.Focus(), kelto.Control(IDC_TXTHOST));
  // The README's picture (window-tests.sh keeps it): the host found, Rock played.
  kelto.PressKeys({VK_MENU, 'G'}, true);
  ASSERT_TRUE(WaitUntil([&] { return kelto.Text(IDC_TXTHOST) == L"bob"; }, 5000));
  kelto.PressKeys({VK_MENU, 'R'}, true);
  ASSERT_TRUE(WaitUntil([&] { return kelto.Check(IDC_CHECK1) == 1; }, 5000));
  kelto.WaitForInputHandled();
  EXPECT_TRUE(SaveWindowPicture(window, TestFolder() + L"\\kelto.png"));
}

// What Windows shows of Kelto.exe without running it: an icon image drawn for every
// size it shows one at, from 100 % to 200 % scale, in full colour, and beside them the
// 16-colour one the window is drawn with; and "Kelto" as the name Task Manager lists.
TEST(StartUp, KeltoExeCarriesAnIconForEverySizeAndItsPlainName) {
  const std::wstring path = TestFolder() + L"\\Kelto.exe";
  const HMODULE file = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(file, nullptr);
  const HRSRC group = FindResourceW(file, MAKEINTRESOURCEW(IDI_KELTO), RT_GROUP_ICON);
  ASSERT_NE(group, nullptr);
  // The icon group: a 6-byte header with the count at 4, then 14 bytes an image.
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(file, group)));
  ASSERT_NE(bytes, nullptr);
  std::vector<std::pair<int, int>> images;  // size, bits per pixel
  for (int i = 0; i < bytes[4]; ++i) {
    const BYTE* entry = bytes + 6 + 14 * i;
    images.emplace_back(entry[0] == 0 ? 256 : entry[0], entry[6] | entry[7] << 8);
  }
  std::ranges::sort(images);
  const std::vector<std::pair<int, int>> expected{{16, 32}, {20, 32}, {24, 32}, {32, 4},  {32, 32},
                                                  {40, 32}, {48, 32}, {64, 32}, {256, 32}};
  EXPECT_EQ(images, expected);
  FreeLibrary(file);
  DWORD ignored = 0;
  std::vector<BYTE> version(GetFileVersionInfoSizeW(path.c_str(), &ignored));
  ASSERT_FALSE(version.empty());
  ASSERT_TRUE(
      GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
  wchar_t* description = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(version.data(), L"\\StringFileInfo\\040904B0\\FileDescription",
                             reinterpret_cast<void**>(&description), &length));
  EXPECT_STREQ(description, L"Kelto");
}

// What the box that ends the program says, as the core words it (its unit tests hold
// the words) for how this process is elevated.
std::wstring RefusedText() {
  return L"Run-time error 10001: Failed to initialize DDE layer\n\n" +
         ToWide(LinkRefusedAdvice(WindowsLinkSystem().TokenElevation()));
}

TEST(StartUp, RefusedLinkShowsError10001AndNoWindow) {
  // The application's name is the program's file name without its last extension.
  const std::wstring copy = TestFolder() + L"\\My.Kelto.exe";
  ASSERT_TRUE(CopyFileW((TestFolder() + L"\\Kelto.exe").c_str(), copy.c_str(), FALSE));
  const struct {
    const char* name;
    SessionOptions options;
    const wchar_t* appName;
  } refusals[] = {
      {"init 1", {.scenario = "init 1\n"}, L"Kelto"},
      {"no chat client running", {.overDde = true}, L"Kelto"},
      {"renamed", {.scenario = "init 1\n", .executable = L"My.Kelto.exe"}, L"My.Kelto"},
  };
  for (const auto& row : refusals) {
    SCOPED_TRACE(row.name);
    KeltoSession kelto(row.options);
    ExpectFatalBox(kelto, RefusedText(), 20000, row.appName);
    const std::wstring appName = row.appName;
    EXPECT_EQ(kelto.Log(),
              (Lines{"InitDDE \"" + std::string(appName.begin(), appName.end()) + "\""}));
  }
  DeleteFileW(copy.c_str());
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
  const std::wstring stray = TestFolder() + L"\\stray";
  CreateDirectoryW(stray.c_str(), nullptr);
  const std::wstring otherBitness =
      TestFolder() + L"\\..\\..\\" + (sizeof(void*) == 4 ? L"win64" : L"win32") + L"\\bin";
  const struct {
    const char* name;
    std::wstring libraryFrom;  // copied beside Kelto.exe, or to the folder it is started in
    std::wstring startedIn;
    std::wstring told;
  } rows[] = {
      {"none", L"", L"", kNotFound},
      // As the chat client's library would be to a Kelto of the wrong build: the
      // system's "Bad EXE format for %1." is put in Kelto's words.
      {"the other bitness's", otherBitness, L"",
       std::wstring(L"Run-time error 53: Can't load the library wadapi.dll: it is not a ") +
           (sizeof(void*) == 4 ? L"32" : L"64") +
           L"-bit Windows library.\n\nKelto found a wadapi.dll but could not load it. Put "
           L"Kelto.exe into the chat client's folder, beside the chat client's own wadapi.dll, "
           L"and start it from there."},
      // A stray library in the folder Kelto is started from is never loaded; the stand-in
      // there would log every call it saw.
      {"a stray one", TestFolder(), stray, kNotFound},
      // Found beside Kelto.exe, so the advice to put Kelto there would be wrong.
      {"one whose own dependency is missing", TestFolder() + L"\\needy", L"",
       L"Run-time error 53: Can't load the library wadapi.dll: wadapi.dll was found, but a "
       L"library it needs is missing.\n\nThe chat client's installation may be incomplete: its "
       L"wadapi.dll needs a library that this computer does not have. Repair or reinstall the "
       L"chat client, then start Kelto again."},
      // Loaded with the system's error boxes off, it starts, and refuses the link.
      {"one loaded quietly", TestFolder() + L"\\quiet", L"", RefusedText()},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::wstring copy = (row.startedIn.empty() ? folder : stray) + L"\\wadapi.dll";
    if (!row.libraryFrom.empty()) {
      ASSERT_TRUE(CopyFileW((row.libraryFrom + L"\\wadapi.dll").c_str(), copy.c_str(), FALSE));
    }
    {
      KeltoSession kelto({.executable = L"alone\\Kelto.exe", .workingFolder = row.startedIn});
      ExpectFatalBox(kelto, row.told);
      EXPECT_TRUE(kelto.Log().empty()) << "a library was called";
    }
    DeleteFileW(copy.c_str());
  }
  RemoveDirectoryW(stray.c_str());
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
    wchar_t wanted[8] = {};
    const bool asked = GetEnvironmentVariableW(L"KELTO_TEST_DPI", wanted, 8) > 0;
    ASSERT_EQ(dpi, asked ? _wtoi(wanted) : 96) << "the display was not set up as asked";
  }
  const int dpi = ScreenDpi();
};

// Each Kelto starts with the text size the system has then. (A change while Kelto runs
// is tested in its own process: Wine keeps the metrics another process has read.)
TEST_F(Dpi, LayoutFollowsTheTextSizeAtStart) {
  for (const int pixels : {0, 13, 20, 26}) {
    SCOPED_TRACE(pixels);
    const SystemFonts fonts(MessageFontOf(pixels, dpi));
    ASSERT_TRUE(fonts.Set());
    KeltoSession kelto;
    ASSERT_NE(kelto.WaitForWindow(), nullptr);
    ExpectLayout(kelto, dpi);
  }
}

// A move to a monitor of another scale, as Windows 10 1703 and later tell it: first asked
// for the size there, then given a rectangle of that size to take; then back, as earlier
// versions tell it, with the window's rectangle scaled linearly, caption and menu bar
// with it. Either way the window takes the suggested place, kept within the work area,
// and the client area is the layout's. Kelto's answers go into memory of
// its own, as Windows' would.
TEST_F(Dpi, MonitorOfAnotherScaleTakesTheSizeItAskedAndTheRectangleSuggested) {
  KeltoSession kelto;
  const HWND window = kelto.WaitForWindow();
  ASSERT_NE(window, nullptr);
  const int other = dpi == 144 ? 96 : 144;
  void* remote = VirtualAllocEx(kelto.Process(), nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE,
                                PAGE_READWRITE);
  ASSERT_NE(remote, nullptr);
  const auto exchange = [&](auto& value, UINT message, WPARAM wParam) {
    WriteProcessMemory(kelto.Process(), remote, &value, sizeof value, nullptr);
    const LRESULT answer = SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(kelto.Process(), remote, &value, sizeof value, nullptr);
    return answer;
  };
  SIZE size{};
  EXPECT_EQ(exchange(size, 0x02E4 /* WM_GETDPISCALEDSIZE */, other), TRUE);
  RECT frame{};
  GetWindowRect(window, &frame);
  // The frame around a client area of the layout at the other DPI.
  const int otherLine = ScreenFont(MessageFontAt(other)).metrics.tmHeight;
  RECT expected{0, 0, LayoutPixels(1905, other, otherLine), LayoutPixels(2595, other, otherLine)};
  using AdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  const auto adjustForDpi = reinterpret_cast<AdjustForDpi>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  ASSERT_NE(adjustForDpi, nullptr);
  adjustForDpi(&expected, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), TRUE,
               static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)), static_cast<UINT>(other));
  EXPECT_EQ(size.cx, expected.right - expected.left);
  EXPECT_EQ(size.cy, expected.bottom - expected.top);

  RECT suggested{frame.left + 7, frame.top + 9, frame.left + 7 + size.cx, frame.top + 9 + size.cy};
  exchange(suggested, WM_DPICHANGED, MAKEWPARAM(other, other));
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.left, suggested.left);
  EXPECT_EQ(frame.top, suggested.top);
  // Under Wine the frame stays drawn at the display's DPI, whose smallest window may be
  // wider than the layout at a lower DPI; its height is the layout's.
  ExpectLayout(kelto, other, false);
  RECT client{};
  GetClientRect(window, &client);
  EXPECT_EQ(client.bottom, LayoutPixels(2595, other, otherLine));

  // Suggested half off the bottom right of the work area, as the system may after a
  // change of scale that no drag made, the window comes back into it.
  RECT area{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
  const int width = MulDiv(frame.right - frame.left, dpi, other);
  const int height = MulDiv(frame.bottom - frame.top, dpi, other);
  RECT linear{area.right - width / 2, area.bottom - height / 2, area.right + width - width / 2,
              area.bottom + height - height / 2};
  exchange(linear, WM_DPICHANGED, MAKEWPARAM(dpi, dpi));
  GetWindowRect(window, &frame);
  EXPECT_EQ(frame.right, area.right);
  EXPECT_EQ(frame.bottom, area.bottom);
  ExpectLayout(kelto, dpi);
  VirtualFreeEx(kelto.Process(), remote, 0, MEM_RELEASE);
}

TEST_F(Dpi, LayoutHoldsWhenTheMenuBarTakesTwoRows) {
  const SystemFonts fonts([&](NONCLIENTMETRICSW& metrics) {
    metrics.lfMenuFont.lfHeight = -MulDiv(40, dpi, 72);
    metrics.iMenuHeight = MulDiv(metrics.iMenuHeight, 4, 1);
  });
  ASSERT_TRUE(fonts.Set());
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

// KeltoChat, beside Kelto in the trial kit: whole at every DPI, and serving one Kelto
// after another over DDE, the one before killed, through registration and busy answers.
TEST_F(Dpi, KeltoChatShowsEveryLabelWholeAndServesKeltoAfterKelto) {
  KeltoSession chat({.executable = L"KeltoChat.exe", .windowClass = L"#32770"});
  ASSERT_NE(chat.WaitForWindow(), nullptr);
  chat.Click(IDC_CHAT_DEMAND);
  SendMessageW(chat.Control(IDC_CHAT_BUSY), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"3"));
  for (int run = 0; run < 2; ++run) {
    KeltoSession kelto({.overDde = true});
    ASSERT_NE(kelto.WaitForWindow(), nullptr);
    kelto.Click(IDC_COMMAND4);
    EXPECT_TRUE(WaitUntil([&] { return kelto.Text(IDC_TXTHOST) == L"bob"; }, 5000)) << run;
  }
  // The dialog's own font, 8-point "MS Shell Dlg 2", made here: a font handle of
  // KeltoChat's means nothing in this process.
  LOGFONTW dialogFont{};
  dialogFont.lfHeight = -MulDiv(8, dpi, 72);
  dialogFont.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(dialogFont.lfFaceName, L"MS Shell Dlg 2", LF_FACESIZE);
  const ScreenFont font(dialogFont);
  ASSERT_TRUE(font.Made());
  int labels = 0;
  for (HWND child = GetWindow(chat.Window(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (lstrcmpiW(className, L"Static") != 0) {
      continue;
    }
    ++labels;
    const std::wstring text = WindowCaption(child);
    RECT client{};
    GetClientRect(child, &client);
    EXPECT_LE(font.Width(text), client.right) << std::string(text.begin(), text.end());
    EXPECT_LE(font.metrics.tmHeight, client.bottom) << std::string(text.begin(), text.end());
  }
  EXPECT_GE(labels, 5);
}

}  // namespace
}  // namespace kelto::window_testing
