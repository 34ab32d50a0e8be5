#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

#include "resources/resource.h"
#include "tests/window/kelto_session.h"

namespace kelto::window_testing {
namespace {

using Lines = std::vector<std::string>;

std::array<int, 3> Indicators(const KeltoSession& kelto) {
  return {kelto.Check(IDC_CHECK1), kelto.Check(IDC_CHECK2), kelto.Check(IDC_CHECK3)};
}

bool LogHas(const KeltoSession& kelto, std::size_t lines) {
  return WaitUntil([&] { return kelto.Log().size() >= lines; }, 5000);
}

TEST(Choices, RockGoesToTheHostAndIsMarked) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"bob");
  ASSERT_EQ(kelto.Text(IDC_TXTHOST), L"bob");
  kelto.Click(IDC_COMMAND1);
  ASSERT_TRUE(LogHas(kelto, 2));
  EXPECT_EQ(kelto.Log(),
            (Lines{R"(InitDDE "Kelto")", R"(DapiCommunicate "Kelto" 2 "bob" "Rock")"}));
  EXPECT_EQ(Indicators(kelto), (std::array<int, 3>{1, 0, 0}));
}

TEST(Choices, PaperWithAnEmptyHostIsSentAndMarked) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.Click(IDC_COMMAND2);
  ASSERT_TRUE(LogHas(kelto, 2));
  EXPECT_EQ(kelto.Log().back(), R"(DapiCommunicate "Kelto" 2 "" "Paper")");
  EXPECT_EQ(Indicators(kelto), (std::array<int, 3>{0, 1, 0}));
}

TEST(Choices, HandTickedIndicatorIsOverwritten) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.Click(IDC_CHECK2);
  kelto.Click(IDC_CHECK3);
  ASSERT_EQ(Indicators(kelto), (std::array<int, 3>{0, 1, 1}));
  EXPECT_EQ(kelto.Log().size(), 1u) << "ticking by hand calls nothing";
  kelto.Click(IDC_COMMAND1);
  EXPECT_EQ(Indicators(kelto), (std::array<int, 3>{1, 0, 0}));
}

TEST(Choices, NameOutsideAsciiTravelsInTheAnsiCodePage) {
  if (GetACP() != 1252) {
    GTEST_SKIP() << "expects code page 1252, not " << GetACP();
  }
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"J\u00FCrgen\u4E2D");
  kelto.Click(IDC_COMMAND3);
  ASSERT_TRUE(LogHas(kelto, 2));
  EXPECT_EQ(kelto.Log().back(), R"(DapiCommunicate "Kelto" 2 "J\xFCrgen?" "Scissors")");
}

TEST(Choices, RegistrationComesBetweenTwoRequests) {
  KeltoSession kelto({.scenario = "result \"10\"\nresult \"0\"\n"});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"bob");
  kelto.Click(IDC_COMMAND1);
  ASSERT_TRUE(LogHas(kelto, 4));
  EXPECT_EQ(kelto.Log(),
            (Lines{R"(InitDDE "Kelto")", R"(DapiCommunicate "Kelto" 2 "bob" "Rock")",
                   R"(DapiRegister "Kelto")", R"(DapiCommunicate "Kelto" 2 "bob" "Rock")"}));
}

TEST(Choices, EndlessBusyIsGivenUpWithAWarningAndTheWindowStaysUsable) {
  KeltoSession kelto({.scenario = "then \"6\"\n"});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"bob");
  kelto.ClickAt(kelto.Control(IDC_COMMAND3));
  const HWND box = kelto.WaitForMessageBox(15000);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowCaption(box), L"Kelto");
  EXPECT_EQ(MessageBoxText(box),
            L"Kelto could not deliver \"Scissors\" to bob: the chat client stayed busy. Your "
            L"choice is marked, but it was not sent. Try again.");
  EXPECT_EQ(MessageBoxIcon(box), BoxIcon::Warning);
  EXPECT_EQ(GetWindow(box, GW_OWNER), kelto.Window()) << "the box must be modal to Kelto";
  EXPECT_EQ(Indicators(kelto), (std::array<int, 3>{0, 0, 1})) << "marked before the box";
  EXPECT_EQ(kelto.Log().size(), 101u) << "one InitDDE and the bounded requests";
  PressMessageBoxOk(box);
  EXPECT_TRUE(kelto.Responsive());
  kelto.Menu(IDM_EXIT);
  EXPECT_EQ(kelto.WaitForExit(10000), DWORD{0});
}

TEST(Choices, ExitDuringABusyCallThatHandlesMessagesEndsAtOnce) {
  // Each request handles Kelto's window messages for 50 ms and answers "busy".
  KeltoSession kelto({.scenario = "then \"6\"\npump 50\n"});
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.ClickAt(kelto.Control(IDC_COMMAND1));
  ASSERT_TRUE(LogHas(kelto, 4)) << "the request did not start repeating";
  const std::size_t callsBeforeExit = kelto.Log().size();
  const ULONGLONG start = GetTickCount64();
  kelto.Menu(IDM_EXIT);  // handled inside the library's call
  EXPECT_EQ(kelto.WaitForExit(5000), DWORD{0});
  EXPECT_LT(GetTickCount64() - start, 1000u);
  EXPECT_LE(kelto.Log().size(), callsBeforeExit + 1) << "only the call in progress at Exit";
}

std::string SentWord(const std::string& logLine) {
  const std::size_t end = logLine.rfind('"');
  const std::size_t start = logLine.rfind('"', end - 1);
  return logLine.substr(start + 1, end - start - 1);
}

int MarkedIndex(const KeltoSession& kelto) {
  const std::array<int, 3> marks = Indicators(kelto);
  int marked = -1;
  for (int i = 0; i < 3; ++i) {
    if (marks[static_cast<std::size_t>(i)] == 1) {
      EXPECT_EQ(marked, -1) << "more than one indicator set";
      marked = i;
    } else {
      EXPECT_EQ(marks[static_cast<std::size_t>(i)], 0);
    }
  }
  return marked;
}

TEST(RandomSelect, WithoutAutoSendOnlyMarks) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"bob");
  kelto.Click(IDC_COMMAND5);
  const int marked = MarkedIndex(kelto);
  ASSERT_NE(marked, -1);
  EXPECT_EQ(kelto.Text(IDC_TEXT1), std::to_wstring(marked));
  EXPECT_EQ(kelto.Log().size(), 1u) << "nothing sent";
}

TEST(RandomSelect, WithAutoSendSendsTheMarkedWord) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  kelto.TypeIntoHost(L"bob");
  kelto.Click(IDC_CHECK4);
  ASSERT_EQ(kelto.Check(IDC_CHECK4), 1);
  const char* words[] = {"Rock", "Paper", "Scissors"};
  for (std::size_t press = 1; press <= 3; ++press) {
    kelto.Click(IDC_COMMAND5);
    ASSERT_TRUE(LogHas(kelto, press + 1));
    const int marked = MarkedIndex(kelto);
    ASSERT_NE(marked, -1);
    EXPECT_EQ(SentWord(kelto.Log().back()), words[marked]);
    EXPECT_EQ(kelto.Log().back().rfind(R"(DapiCommunicate "Kelto" 2 "bob" )", 0), 0u);
  }
}

TEST(RandomSelect, ManyPressesDrawAllThree) {
  KeltoSession kelto;
  ASSERT_NE(kelto.WaitForWindow(), nullptr);
  std::set<std::wstring> drawn;
  for (int press = 0; press < 60 && drawn.size() < 3; ++press) {
    kelto.Click(IDC_COMMAND5);
    drawn.insert(kelto.Text(IDC_TEXT1));
    Sleep(15);  // each press reseeds from the time of day
  }
  EXPECT_EQ(drawn, (std::set<std::wstring>{L"0", L"1", L"2"}));
}

}  // namespace
}  // namespace kelto::window_testing
