#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>

#include "link/wide_text_win.h"
#include "resources/resource.h"
#include "tests/window/kelto_session.h"
#include "window/host_discovery.h"

namespace kelto::window_testing {
namespace {

const char kChat[] =
    "alice: hi\\r\\nbob: The Game Is Rock, Paper, Scissors\\r\\n"
    "carol: The Game Is Rock, Paper, Scissors\\r\\n<system>: The Game Is Rock, Paper, "
    "Scissors\\r\\n"
    "\\r\\ndave: The Game Is Rock, Paper, Scissors\\r\\n";

std::string Scenario(const std::string& delivery, const std::string& text = kChat) {
  return "alltext \"" + text + "\"\ndeliver " + delivery + "\n";
}

bool HostBecomes(const KeltoSession& kelto, const std::wstring& host, DWORD timeoutMs = 5000) {
  return WaitUntil([&] { return kelto.Text(IDC_TXTHOST) == host; }, timeoutMs);
}

TEST(GetHost, WindowWorksWhileItWaitsAndTheHostComes) {
  KeltoSession kelto({.scenario = Scenario("later 1500")});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"zed");
  kelto.Click(IDC_COMMAND4);
  EXPECT_TRUE(kelto.Responsive(1000)) << "the window must answer while it waits";
  kelto.Click(IDC_COMMAND2);  // runs to its end during the wait
  EXPECT_EQ(kelto.Check(IDC_CHECK2), 1);
  kelto.Click(IDC_COMMAND4);  // asks again, and joins the wait
  EXPECT_TRUE(HostBecomes(kelto, L"carol"));
  EXPECT_EQ(kelto.Log(),
            (Lines{R"(InitDDE "Kelto")", R"(DapiGetAllText "Kelto")",
                   R"(DapiCommunicate "Kelto" 2 "zed" "Paper")", R"(DapiGetAllText "Kelto")"}));
}

TEST(GetHost, TextThatNeverComesIsToldOnceForClicksThatWaitedTogether) {
  KeltoSession kelto({.scenario = Scenario("never")});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"typed");
  for (int click = 0; click < 5; ++click) {
    kelto.Click(IDC_COMMAND4);
  }
  EXPECT_EQ(kelto.Log().size(), 6u) << "every click makes its request";
  const ULONGLONG lastClick = GetTickCount64();
  const HWND box = kelto.WaitForMessageBox(15000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), ToWide(kNoChatTextNotice));
  EXPECT_GE(GetTickCount64() - lastClick, 9000u) << "ten seconds after the last click";
  PressMessageBoxOk(box);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
  EXPECT_FALSE(WaitUntil([&] { return kelto.WaitForMessageBox(0) != nullptr; }, 1500))
      << "a second box for the same wait";
  EXPECT_EQ(kelto.Text(IDC_TXTHOST), L"typed");
}

TEST(GetHost, ClosingDuringTheWaitEndsNormallyAndAtOnce) {
  const std::pair<const char*, std::function<void(KeltoSession&)>> closers[] = {
      {"Exit", [](KeltoSession& kelto) { kelto.Menu(IDM_EXIT); }},
      {"close box",
       [](KeltoSession& kelto) { PostMessageW(kelto.Window(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"Alt+F4", [](KeltoSession& kelto) { kelto.PressKeys({VK_MENU, VK_F4}, true); }},
  };
  for (const auto& [name, close] : closers) {
    KeltoSession kelto({.scenario = Scenario("never")});
    ASSERT_NE(kelto.WaitForWindow(), nullptr);
    kelto.ClickAt(kelto.Control(IDC_COMMAND4));
    Sleep(300);
    close(kelto);
    EXPECT_EQ(kelto.WaitForExit(1000), DWORD{0}) << name;
    EXPECT_EQ(kelto.Log(), (Lines{R"(InitDDE "Kelto")", R"(DapiGetAllText "Kelto")"}))
        << "no library call after " << name;
  }
}

// Large-address-aware, the 32-bit build has 4 GB of addresses for the library's text,
// its copy for the callback and the wide text, which needs twice the bytes in one piece:
// 300 MiB fits (and 600 MiB, measured); 900 MiB cannot, and the user is told memory ran
// out, with nothing crashed. How much memory a text takes is the benchmark's to measure.
TEST(GetHost, ChatTextOfHundredsOfMegabytesFindsItsHostOrIsToldAsOutOfMemory) {
  // The 64-bit build's address space holds either.
  for (const int megabytes : sizeof(void*) == 4 ? std::vector{300, 900} : std::vector{300}) {
    KeltoSession kelto(
        {.scenario = "fill " + std::to_string(megabytes) + "\n" + Scenario("inside")});
    ASSERT_NE(kelto.WaitForWindow(), nullptr);
    kelto.ClickAt(kelto.Control(IDC_COMMAND4));
    if (megabytes == 900) {
      ExpectFatalBox(kelto,
                     L"Run-time error 7: Out of memory\n\nKelto will close. Close other programs, "
                     L"or ask the chat client for less text, before you start it again.",
                     120000);
      continue;
    }
    EXPECT_TRUE(WaitUntil(
        [&] {
          // Busy with the text for a while, Kelto may look hung and not answer yet.
          try {
            return kelto.Text(IDC_TXTHOST) == L"carol";
          } catch (const std::runtime_error&) {
            return false;
          }
        },
        60000));
    EXPECT_EQ(kelto.WaitForMessageBox(0), nullptr);
  }
}

}  // namespace
}  // namespace kelto::window_testing
