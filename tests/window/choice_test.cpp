#include <gtest/gtest.h>

#include <array>
#include <string>

#include "link/wide_text_win.h"
#include "resources/resource.h"
#include "tests/window/kelto_session.h"
#include "window/choice_commands.h"

namespace kelto::window_testing {
namespace {

std::array<int, 3> Indicators(const KeltoSession& kelto) {
  return {kelto.Check(IDC_CHECK1), kelto.Check(IDC_CHECK2), kelto.Check(IDC_CHECK3)};
}

bool LogHas(const KeltoSession& kelto, std::size_t lines) {
  return WaitUntil([&] { return kelto.Log().size() >= lines; }, 5000);
}

TEST(Choices, EndlessBusyIsGivenUpWithAWarningAndTheWindowStaysUsable) {
  KeltoSession kelto({.scenario = "then \"6\"\n"});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"bob");
  kelto.ClickAt(kelto.Control(IDC_COMMAND3));
  const HWND box = kelto.WaitForMessageBox(15000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowCaption(box), L"Kelto");
  EXPECT_EQ(MessageBoxText(box), ToWide(NotDeliveredText(u"Scissors", u"bob", u"6")));
  EXPECT_EQ(GetWindow(box, GW_OWNER), kelto.Window()) << "the box must be modal to Kelto";
  EXPECT_EQ(Indicators(kelto), (std::array<int, 3>{0, 0, 1})) << "marked before the box";
  EXPECT_EQ(kelto.Log().size(), 101u) << "one InitDDE and the bounded requests";
  PressMessageBoxOk(box);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
  EXPECT_TRUE(kelto.Responsive());
}

TEST(Choices, HostFieldTakesAnyNameTypedOrPastedAndSendsItWhole) {
  const struct {
    const char* name;
    std::wstring host;
    bool pasted;
  } rows[] = {
      {"typed, wider than the field", std::wstring(60, L'W'), false},
      {"pasted, longer than an edit box takes by default", std::wstring(40000, L'n'), true},
  };
  for (const auto& row : rows) {
    KeltoSession kelto;
    ASSERT_NE(kelto.WaitForWindow(), nullptr) << row.name;
    if (row.pasted) {
      ASSERT_TRUE(kelto.Paste(IDC_TXTHOST, row.host)) << row.name;
    } else {
      kelto.TypeIntoHost(row.host);
    }
    EXPECT_EQ(kelto.Text(IDC_TXTHOST).size(), row.host.size()) << row.name;
    kelto.Click(IDC_COMMAND1);
    ASSERT_TRUE(LogHas(kelto, 2)) << row.name;
    EXPECT_EQ(kelto.Log()[1], "DapiCommunicate \"Kelto\" 2 \"" +
                                  std::string(row.host.begin(), row.host.end()) + "\" \"Rock\"")
        << row.name;
  }
}

TEST(Choices, ClickDuringGetHostsRequestComesBeforeOneDuringItsWait) {
  KeltoSession kelto({.scenario = "pump 300\nalltext \"carol: The Game Is Rock, Paper, "
                                  "Scissors\"\ndeliver later 2500\n"});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"bob");
  kelto.ClickAt(kelto.Control(IDC_COMMAND4));
  ASSERT_TRUE(LogHas(kelto, 2)) << "the request for the chat text did not start";
  kelto.ClickAt(kelto.Control(IDC_COMMAND1));  // inside the request: waits for its end
  Sleep(700);                                  // the request is over, the wait goes on
  kelto.ClickAt(kelto.Control(IDC_COMMAND2));
  ASSERT_TRUE(LogHas(kelto, 4));
  EXPECT_TRUE(WaitUntil([&] { return kelto.Text(IDC_TXTHOST) == L"carol"; }, 5000));
  EXPECT_EQ(kelto.Log(), (Lines{R"(InitDDE "Kelto")", R"(DapiGetAllText "Kelto")",
                                R"(DapiCommunicate "Kelto" 2 "bob" "Rock")",
                                R"(DapiCommunicate "Kelto" 2 "bob" "Paper")"}));
  EXPECT_EQ(Indicators(kelto), (std::array<int, 3>{0, 1, 0}));
}

TEST(Choices, ExitDuringABusyCallThatHandlesMessagesEndsAtOnce) {
  // Each request handles Kelto's window messages for 50 ms and answers "busy"; a
  // library may leave the quit request that closing posts, or keep it for itself.
  const struct {
    const char* name;
    const char* scenario;
  } rows[] = {
      {"the library leaves the quit request", "then \"6\"\npump 50\n"},
      {"the library keeps the quit request", "then \"6\"\npump 50\nkeepquit\n"},
  };
  for (const auto& row : rows) {
    KeltoSession kelto({.scenario = row.scenario});
    ASSERT_NE(kelto.WaitForWindow(), nullptr) << row.name;
    kelto.ClickAt(kelto.Control(IDC_COMMAND1));
    ASSERT_TRUE(LogHas(kelto, 4)) << row.name << ": the request did not start repeating";
    const std::size_t callsBeforeExit = kelto.Log().size();
    const ULONGLONG start = GetTickCount64();
    kelto.Menu(IDM_EXIT);  // handled inside the library's call
    EXPECT_EQ(kelto.WaitForExit(5000), DWORD{0}) << row.name;
    EXPECT_LT(GetTickCount64() - start, 1000u) << row.name;
    EXPECT_LE(kelto.Log().size(), callsBeforeExit + 1)
        << row.name << ": only the call in progress at Exit";
  }
}

}  // namespace
}  // namespace kelto::window_testing
