#pragma once

// What the link needs from Windows: the ANSI code page, the program's file name, its
// elevation and the tick count.

#include "link/link_system.h"

namespace kelto {

class WindowsLinkSystem final : public LinkSystem {
 public:
  std::string Narrow(std::u16string_view text) const override;
  std::u16string Widen(std::string_view bytes) const override;
  std::u16string Uncarried(std::u16string_view text) const override;
  std::u16string AppName() const override;
  Elevation TokenElevation() const override;
  std::chrono::milliseconds Now() const override;
  void Sleep(std::chrono::milliseconds duration) override;
};

}  // namespace kelto
