#pragma once

// The link's platform interfaces on Windows.

#include <windows.h>

#include <string>

#include "link/platform.h"

namespace kelto {

// Both ways in the ANSI code page (CP_ACP) with the system's default handling.
class WindowsAnsiCodec final : public AnsiCodec {
 public:
  std::string Narrow(std::u16string_view text) const override;
  std::u16string Widen(std::string_view bytes) const override;
};

class ModuleAppName final : public AppNameSource {
 public:
  std::u16string AppName() const override;
};

class TickClock final : public Clock {
 public:
  std::chrono::milliseconds Now() const override;
  void Sleep(std::chrono::milliseconds duration) override;
};

// The system's wording for an error code, without the trailing line break.
std::u16string SystemErrorText(DWORD code);

}  // namespace kelto
