#pragma once

// The window's platform interfaces on Windows.

#include <windows.h>

#include <exception>

#include "link/platform.h"
#include "link/run_time_error.h"
#include "window/choice_commands.h"
#include "window/host_discovery.h"

namespace kelto {

class WindowsTextCase final : public TextCase {
 public:
  std::u16string Lower(std::u16string_view text) const override;
};

class LocalTimeOfDay final : public TimeOfDay {
 public:
  double SecondsSinceMidnight() const override;
};

// A message box owned by Kelto's window, captioned with the application name.
class MessageBoxNotice final : public UserNotice {
 public:
  explicit MessageBoxNotice(const AppNameSource& appName) : appName_(appName) {}
  void Show(std::u16string_view text) override;

 private:
  const AppNameSource& appName_;
};

// The one top-level handler: shows a failure that ends the program.
void ShowRunTimeError(const RunTimeError& error);
void ShowUnexpectedError(const std::exception& error, const AppNameSource& appName);

}  // namespace kelto
