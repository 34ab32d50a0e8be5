#pragma once

// What the link needs from the operating system, behind one interface so that the
// link's logic runs, and is tested, without Windows.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

namespace kelto {

class LinkSystem {
 public:
  virtual ~LinkSystem() = default;

  // The system's ANSI code page, both ways. Every byte is converted, embedded NULs
  // included.
  virtual std::string Narrow(std::u16string_view text) const = 0;
  virtual std::u16string Widen(std::string_view bytes) const = 0;
  // The characters of the text that the ANSI code page cannot carry exactly, each
  // once, in the order they first appear; empty when the whole text can be carried.
  virtual std::u16string Uncarried(std::u16string_view text) const = 0;

  // The file name of the running executable without its last extension.
  virtual std::u16string AppName() const = 0;
  // How the program's token is elevated, as Windows tells it. Only Full, elevated
  // above the user's normal programs, keeps it from their windows and them from it;
  // Default (no UAC, or the built-in Administrator) runs every program alike.
  enum class Elevation : std::uint8_t { Default, Full, Limited };
  virtual Elevation TokenElevation() const = 0;

  // A monotonic clock and a pause, for bounding the request loop.
  virtual std::chrono::milliseconds Now() const = 0;
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

}  // namespace kelto
