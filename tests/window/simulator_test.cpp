// Kelto and the chat-client simulator KeltoChat as two processes, the stand-in
// library talking to the simulator over DDE, as with the real chat client.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>

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
    EXPECT_TRUE(ClickSay(IDC_CHAT_SAY)) << "the line never reached the log";
  }
  // Clicks a "Say" button and waits until the log has changed.
  bool ClickSay(int button) {
    const std::wstring before = chat.Text(IDC_CHAT_LOG);
    chat.Click(button);
    return WaitUntil([&] { return chat.Text(IDC_CHAT_LOG) != before; }, 5000);
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
  bool HostBecomes(const std::wstring& host, DWORD timeoutMs = 5000) {
    kelto->Click(IDC_COMMAND4);
    return WaitUntil([&] { return kelto->Text(IDC_TXTHOST) == host; }, timeoutMs);
  }

  KeltoSession chat{{.executable = L"KeltoChat.exe", .windowClass = L"#32770"}};
  std::optional<KeltoSession> kelto;
};

TEST_F(Simulator, GetHostFollowsTheChatEvenWhenItComesLate) {
  chat.SetText(IDC_CHAT_DELAY, L"700");
  StartKelto();
  EXPECT_TRUE(HostBecomes(L"bob"));
  Say(2, L"erin", kAnnouncement);  // "ESP from erin: ..."
  EXPECT_TRUE(HostBecomes(L"erin"));
  EXPECT_TRUE(ClickSay(IDC_CHAT_SAY_EMPTY));
  Say(0, L"gina", kAnnouncement);
  EXPECT_TRUE(HostBecomes(L"erin")) << "a line after an empty line counts";
}

TEST_F(Simulator, ChoiceArrivesOnceThroughRegistrationAndBusyAnswers) {
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

TEST_F(Simulator, ServesOneKeltoAfterAnotherHoweverEachEnded) {
  const std::pair<const char*, std::function<void(KeltoSession&)>> endings[] = {
      {"Exit", [](KeltoSession& app) { app.Menu(IDM_EXIT); }},
      {"killed", [](KeltoSession&) {}},  // the session ends the process
      {"closed", [](KeltoSession& app) { app.CloseBox(); }},
  };
  std::size_t delivered = 0;
  for (const auto& [how, end] : endings) {
    KeltoSession& app = StartKelto();
    const ULONGLONG start = GetTickCount64();
    EXPECT_TRUE(HostBecomes(L"bob")) << "after one that was " << how;
    app.Click(IDC_COMMAND1);
    EXPECT_TRUE(WaitUntil([&] { return LinesInChat(L"ESP to bob: Rock") == delivered + 1; }, 5000))
        << how;
    delivered = LinesInChat(L"ESP to bob: Rock");
    EXPECT_LT(GetTickCount64() - start, 1000u) << "found and delivered, after one " << how;
    end(app);
    kelto.reset();
  }
}

}  // namespace
}  // namespace kelto::window_testing
