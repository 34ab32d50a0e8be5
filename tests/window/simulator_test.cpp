// Kelto and the chat-client simulator KeltoChat as two processes, the stand-in
// library talking to the simulator over DDE, as with the real chat client.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "resources/resource.h"
#include "simulator/simulator_resource.h"
#include "tests/window/kelto_session.h"

namespace kelto::window_testing {
namespace {

const std::wstring kAnnouncement = L"The Game Is Rock, Paper, Scissors";

// Whether the program handles messages again within a minute. A message sent with a
// long time-out is no way to wait: a window busy for five seconds counts as hung, and
// the send then fails at once.
bool AnswersAgain(const KeltoSession& program) {
  return WaitUntil([&] { return program.Responsive(1000); }, 60000);
}

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
  // Clicks a "Say" button and waits until the log has changed. Busy with a long line,
  // KeltoChat may answer messages while the click still waits in its queue; such a
  // click would say whatever the fields hold once it is handled.
  bool ClickSay(int button) {
    const std::optional<std::wstring> before = Log();
    chat.Click(button);
    return WaitUntil([&] { return Log().value_or(*before) != *before; }, 60000);
  }
  // The chat log as KeltoChat shows it; nullopt while it does not answer.
  std::optional<std::wstring> Log() const {
    try {
      return chat.Text(IDC_CHAT_LOG);
    } catch (const std::runtime_error&) {
      return std::nullopt;
    }
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

// A megabyte: past an edit box's default limit, and as much as Wine's DDE carries in one
// message (two megabytes are lost on the way, silently). Larger texts are tested
// through the scripted stand-in.
TEST_F(Simulator, LineOfAMegabyteIsDelivered) {
  // Pasted into the line as a tester would.
  const std::wstring chatter = L"a very long line " + std::wstring(1 << 20, L'x');
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
  // Taking a long line in may keep KeltoChat busy for seconds, on a busy or emulated machine
  // longer than a message's time-out, and a busy KeltoChat cannot answer Kelto's DDE
  // link either: each step waits until KeltoChat is done with the one before.
  ASSERT_TRUE(AnswersAgain(chat)) << "after the paste";
  DWORD_PTR pasted = 0;
  SendMessageTimeoutW(chat.Control(IDC_CHAT_LINE), WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 20000,
                      &pasted);
  ASSERT_EQ(pasted, chatter.size());
  ASSERT_TRUE(ClickSay(IDC_CHAT_SAY)) << "the long line never reached the log";
  // The log shows a long line's start and its length. Read while KeltoChat is still busy
  // showing it (emulated, for seconds), the log is not to be had: then it is read again.
  const std::wstring length = std::to_wstring(chatter.size() + 6) + L" characters in all";
  EXPECT_TRUE(
      WaitUntil([&] { return Log().value_or(L"").find(length) != std::wstring::npos; }, 60000))
      << "\"dave: \" and the line";
  Say(0, L"zed", kAnnouncement);
  ASSERT_TRUE(AnswersAgain(chat)) << "after the announcement";
  StartKelto();
  EXPECT_TRUE(HostBecomes(L"zed", 30000)) << "a megabyte crosses two processes, by DDE";
  // What either program told, said in the failure.
  if (const HWND box = kelto->WaitForMessageBox(0)) {
    const std::wstring text = MessageBoxText(box);
    ADD_FAILURE() << "Kelto told: " << std::string(text.begin(), text.end());
  }
  if (const HWND told = GetWindow(chat.Window(), GW_ENABLEDPOPUP)) {
    const std::wstring text = MessageBoxText(told);
    ADD_FAILURE() << "KeltoChat told: " << std::string(text.begin(), text.end());
  }
}

}  // namespace
}  // namespace kelto::window_testing
