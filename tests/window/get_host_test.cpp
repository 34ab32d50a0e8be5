#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

#include "resources/resource.h"
#include "tests/window/kelto_session.h"

namespace kelto::window_testing {
namespace {

using Lines = std::vector<std::string>;

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

TEST(GetHost, DefaultChatClientNamesItsAnnouncer) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.Click(IDC_COMMAND4);
  EXPECT_TRUE(HostBecomes(kelto, L"bob"));
  EXPECT_EQ(kelto.Log(), (Lines{R"(InitDDE "Kelto")", R"(DapiGetAllText "Kelto")"}));
}

TEST(GetHost, TextInsideTheCallGivesTheLastAnnouncerBeforeTheEmptyLine) {
  KeltoSession kelto({.scenario = Scenario("inside")});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.Click(IDC_COMMAND4);
  EXPECT_TRUE(HostBecomes(kelto, L"carol"));
}

TEST(GetHost, TextDeliveredLaterIsWaitedFor) {
  KeltoSession kelto({.scenario = Scenario("later 400")});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.Click(IDC_COMMAND4);
  EXPECT_TRUE(kelto.Responsive(1000)) << "the window must answer while it waits";
  EXPECT_TRUE(HostBecomes(kelto, L"carol"));
}

TEST(GetHost, ChoiceDuringTheWaitRunsAndTheHostStillComes) {
  KeltoSession kelto({.scenario = Scenario("later 1500")});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"zed");
  kelto.Click(IDC_COMMAND4);
  kelto.Click(IDC_COMMAND2);
  EXPECT_EQ(kelto.Check(IDC_CHECK2), 1);
  EXPECT_TRUE(HostBecomes(kelto, L"carol"));
  EXPECT_EQ(kelto.Log(), (Lines{R"(InitDDE "Kelto")", R"(DapiGetAllText "Kelto")",
                                R"(DapiCommunicate "Kelto" 2 "zed" "Paper")"}));
}

TEST(GetHost, SecondGetHostDuringTheWaitAlsoScans) {
  KeltoSession kelto({.scenario = Scenario("later 800")});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.Click(IDC_COMMAND4);
  kelto.Click(IDC_COMMAND4);
  EXPECT_TRUE(HostBecomes(kelto, L"carol"));
  EXPECT_EQ(kelto.Log().size(), 3u);
  EXPECT_TRUE(kelto.Responsive());
}

TEST(GetHost, TextThatNeverComesTimesOutAndKeepsTheField) {
  KeltoSession kelto({.scenario = Scenario("never")});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"typed");
  const FILETIME before = kelto.CpuTime();
  kelto.ClickAt(kelto.Control(IDC_COMMAND4));
  Sleep(3000);
  const FILETIME after = kelto.CpuTime();
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  // Waiting sleeps: far below the three seconds a busy loop would burn.
  EXPECT_LT(ticks(after) - ticks(before), 5000000ull) << "more than 0.5 s of CPU while waiting";
  const HWND box = kelto.WaitForMessageBox(12000);
  ASSERT_NE(box, nullptr);
  EXPECT_NE(MessageBoxText(box).find(L"No chat text arrived from the chat client"),
            std::wstring::npos);
  PressMessageBoxOk(box);
  ASSERT_TRUE(WaitUntil([&] { return kelto.WaitForMessageBox(0) == nullptr; }, 5000));
  EXPECT_EQ(kelto.Text(IDC_TXTHOST), L"typed");
}

TEST(GetHost, ClosingDuringTheWaitEndsNormallyAndAtOnce) {
  const std::pair<const char*, std::function<void(KeltoSession&)>> closers[] = {
      {"Exit", [](KeltoSession& kelto) { kelto.Menu(IDM_EXIT); }},
      {"close box", [](KeltoSession& kelto) { kelto.CloseBox(); }},
      {"Alt+F4",
       [](KeltoSession& kelto) {
         kelto.PressKeys({VK_MENU, VK_F4}, true);
       }},
  };
  for (const auto& [name, close] : closers) {
    KeltoSession kelto({.scenario = Scenario("never")});
    ASSERT_NE(kelto.WaitForWindow(), nullptr);
    kelto.ClickAt(kelto.Control(IDC_COMMAND4));
    Sleep(300);
    close(kelto);
    EXPECT_EQ(kelto.WaitForExit(1000), DWORD{0}) << name;
  }
}

TEST(GetHost, HugeChatTextIsScanned) {
  std::string text;
  for (int line = 0; line < 40000; ++line) {
    text += "avatar" + std::to_string(line) + ": chatting away here\\r\\n";
  }
  text += "ESP from ann: The Game Is Rock, Paper, Scissors\\r\\n";
  KeltoSession kelto({.scenario = Scenario("inside", text)});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.Click(IDC_COMMAND4);
  EXPECT_TRUE(HostBecomes(kelto, L"ann", 10000));
}

}  // namespace
}  // namespace kelto::window_testing
