#pragma once

// GoogleTest's Notification for the win32 thread model, whose C++ library has no
// std::mutex before GCC 13: the same on a Win32 event. GoogleTest takes it in place of
// its own (GTEST_HAS_NOTIFICATION_); the window tests start no thread of their own.

#include <windows.h>

namespace testing::internal {

class Notification {
 public:
  Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() {
    if (event_ != nullptr) {
      CloseHandle(event_);
    }
  }
  Notification(const Notification&) = delete;
  Notification& operator=(const Notification&) = delete;

  void Notify() { SetEvent(event_); }
  void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

 private:
  HANDLE event_;
};

}  // namespace testing::internal

// GoogleTest asks for it with #if, so it stays a macro.
#define GTEST_HAS_NOTIFICATION_ 1  // NOLINT(modernize-macro-to-enum)
