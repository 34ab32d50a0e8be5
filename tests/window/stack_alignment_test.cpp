// Kelto's callbacks entered as 32-bit Windows allows, with the stack aligned to 4 bytes
// only: the stand-in, loaded into this process, misaligns the stack at every callback,
// and what the callbacks pass the calls on to checks that data it aligns to 16 bytes
// is so aligned, as code that took the alignment for granted would not place it.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "link/link_system_win.h"
#include "link/wadapi_loader_win.h"
#include "tests/window/kelto_session.h"

namespace kelto::window_testing {
namespace {

class AlignmentProbe final : public LinkCallbacks {
 public:
  void OnDapiResult(std::string_view) override { Probe(); }
  void OnDapiMessage(std::string_view, std::int16_t, std::string_view) override { Probe(); }
  void OnDapiAllText(std::string_view) override { Probe(); }
  void OnCallbackFailure(std::exception_ptr) override { ++failures; }

  int calls = 0;
  int misplaced = 0;
  int failures = 0;

 private:
  void Probe() {
    alignas(16) volatile char aligned[16] = {};
    auto address = reinterpret_cast<std::uintptr_t>(&aligned[0]);
    asm volatile("" : "+r"(address));  // not to be folded from the declaration
    ++calls;
    misplaced += address % 16 != 0 ? 1 : 0;
  }
};

TEST(StackAlignment, CallbacksEnteredWithAFourByteAlignedStackAlignTheirOwnData) {
  if (sizeof(void*) != 4) {
    GTEST_SKIP() << "only 32-bit Windows calls with the stack aligned to 4 bytes";
  }
  const std::wstring scenario = TestFolder() + L"\\stack-alignment-scenario.txt";
  WindowsLinkSystem system;
  WadapiLoader library(system);
  for (const unsigned misalignment : {0u, 4u, 8u, 12u}) {
    std::ofstream(scenario.c_str(), std::ios::binary | std::ios::trunc)
        << "misalign " << misalignment << "\nmessage \"a\" 1 \"b\"\n";
    ASSERT_TRUE(SetEnvironmentVariableW(L"WADAPI_SCENARIO", scenario.c_str()));
    AlignmentProbe probe;
    ASSERT_EQ(library.InitDDE("Kelto", probe), 0) << misalignment;
    library.DapiGetAllText("Kelto");  // the message, the chat text and the result code
    EXPECT_EQ(probe.calls, 3) << misalignment;
    EXPECT_EQ(probe.misplaced, 0) << "with the stack " << misalignment << " bytes off";
    EXPECT_EQ(probe.failures, 0) << misalignment;
  }
  SetEnvironmentVariableW(L"WADAPI_SCENARIO", nullptr);
  DeleteFileW(scenario.c_str());
}

}  // namespace
}  // namespace kelto::window_testing
