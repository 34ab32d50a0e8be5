// Kelto and the chat-client simulator KeltoChat as two processes, the stand-in
// library talking to the simulator over DDE, as with the real chat client.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "resources/resource.h"
#include "simulator/simulator_resource.h"
#include "tests/window/kelto_session.h"

namespace kelto::window_testing {
namespace {

const std::wstring kAnnouncement = L"The Game Is Rock, Paper, Scissors";

class Simulator : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_NE(chat.WaitForWindow(), nullptr) << "KeltoChat did not start"; }
  // Kelto started once the simulator is set up as the test wants it.
  KeltoSession& StartKelto() {
    kelto.emplace(SessionOptions{.overDde = true});
    EXPECT_NE(kelto->WaitForWindow(), nullptr);
    return *kelto;
  }
  void Say(int prefix, const std::wstring& name, const std::wstring& line) {
    SendMessageW(chat.Control(IDC_CHAT_PREFIX), CB_SETCURSEL, static_cast<WPARAM>(prefix), 0);
    chat.SetText(IDC_CHAT_NAME, name);
    chat.SetText(IDC_CHAT_LINE, line);
    chat.Click(IDC_CHAT_SAY);
  }
  std::size_t LinesInChat(const std::wstring& line) const {
    const std::wstring log = L"\r\n" + chat.Text(IDC_CHAT_LOG) + L"\r\n";
    std::size_t count = 0;
    for (std::size_t at = log.find(L"\r\n" + line + L"\r\n"); at != std::wstring::npos;
         at = log.find(L"\r\n" + line + L"\r\n", at + 1)) {
      ++count;
    }
    return count;
  }
  bool HostBecomes(const std::wstring& host) {
    kelto->Click(IDC_COMMAND4);
    return WaitUntil([&] { return kelto->Text(IDC_TXTHOST) == host; }, 5000);
  }

  KeltoSession chat{{.executable = L"KeltoChat.exe", .windowClass = L"#32770"}};
  std::optional<KeltoSession> kelto;
};

TEST_F(Simulator, GetHostFollowsTheChat) {
  StartKelto();
  EXPECT_TRUE(HostBecomes(L"bob"));
  Say(0, L"dave", kAnnouncement);
  EXPECT_TRUE(HostBecomes(L"dave"));
  Say(2, L"erin", kAnnouncement);  // "ESP from erin: ..."
  EXPECT_TRUE(HostBecomes(L"erin"));
  Say(0, L"<system>", kAnnouncement);
  Say(0, L"frank", L"hello");
  EXPECT_TRUE(HostBecomes(L"erin"));
  chat.Click(IDC_CHAT_SAY_EMPTY);
  Say(0, L"gina", kAnnouncement);
  EXPECT_TRUE(HostBecomes(L"erin")) << "a line after an empty line counts";
}

TEST_F(Simulator, ChoiceArrivesForTheHost) {
  KeltoSession& app = StartKelto();
  ASSERT_TRUE(HostBecomes(L"bob"));
  app.Click(IDC_COMMAND3);
  EXPECT_TRUE(WaitUntil([&] { return LinesInChat(L"ESP to bob: Scissors") == 1; }, 5000));
  EXPECT_EQ(app.Check(IDC_CHECK3), 1);
}

TEST_F(Simulator, RegistrationAndBusyAnswersStillDeliverOneLine) {
  chat.Click(IDC_CHAT_DEMAND);
  chat.SetText(IDC_CHAT_BUSY, L"3");
  KeltoSession& app = StartKelto();
  app.TypeIntoHost(L"bob");
  app.Click(IDC_COMMAND1);
  EXPECT_TRUE(WaitUntil([&] { return LinesInChat(L"ESP to bob: Rock") == 1; }, 5000));
  Sleep(300);
  EXPECT_EQ(LinesInChat(L"ESP to bob: Rock"), 1u);
  EXPECT_EQ(app.Check(IDC_CHECK1), 1);
  EXPECT_EQ(app.WaitForMessageBox(0), nullptr) << "no request was given up";
  const std::vector<std::string> calls = app.Log();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), R"(DapiRegister "Kelto")"), 1);
}

TEST_F(Simulator, LateChatTextStillFillsTheHost) {
  chat.SetText(IDC_CHAT_DELAY, L"700");
  StartKelto();
  EXPECT_TRUE(HostBecomes(L"bob"));
}

TEST_F(Simulator, LogOfSixteenMegabytesIsDelivered) {
  // Pasted into the line as a tester would: too long to send to another process.
  const std::wstring chatter = L"a very long line " + std::wstring(16 << 20, L'x');
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (chatter.size() + 1) * sizeof(wchar_t));
  ASSERT_NE(memory, nullptr);
  std::memcpy(GlobalLock(memory), chatter.c_str(), (chatter.size() + 1) * sizeof(wchar_t));
  GlobalUnlock(memory);
  ASSERT_NE(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
  CloseClipboard();
  chat.SetText(IDC_CHAT_LINE, L"");
  chat.Click(IDC_CHAT_LINE);
  chat.PressKeys({VK_CONTROL, 'V'}, true);
  chat.WaitForInputHandled();
  DWORD_PTR pasted = 0;
  SendMessageTimeoutW(chat.Control(IDC_CHAT_LINE), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 20000,
                      &pasted);
  ASSERT_EQ(pasted, chatter.size());
  chat.Click(IDC_CHAT_SAY);
  Say(0, L"zed", kAnnouncement);
  StartKelto();
  EXPECT_TRUE(HostBecomes(L"zed"));
  EXPECT_EQ(kelto->WaitForMessageBox(0), nullptr);
  EXPECT_EQ(GetWindow(chat.Window(), GW_ENABLEDPOPUP), nullptr) << "KeltoChat told of a failure";
}

TEST_F(Simulator, RefusedLinkShowsError10001) {
  chat.Click(IDC_CHAT_REFUSE);
  KeltoSession app({.overDde = true});
  const HWND box = app.WaitForMessageBox(20000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box).rfind(L"Run-time error 10001: Failed to initialize DDE layer\n", 0),
            0u);
  PressMessageBoxOk(box);
  EXPECT_NE(app.WaitForExit(10000).value_or(0), 0u);
}

TEST_F(Simulator, ClosedSimulatorEndsTheNextRequestWithoutHanging) {
  KeltoSession& app = StartKelto();
  PostMessageW(chat.Window(), WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(chat.WaitForExit(5000).has_value());
  app.Click(IDC_COMMAND2);
  EXPECT_TRUE(WaitUntil([&] { return app.Check(IDC_CHECK2) == 1; }, 5000));
  EXPECT_TRUE(app.Responsive());
}

}  // namespace
}  // namespace kelto::window_testing
