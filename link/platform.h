#pragma once

// What the link needs from the operating system, kept behind small interfaces so
// that the link's logic runs (and is tested) without Windows.

#include <chrono>
#include <string>
#include <string_view>

namespace kelto {

// The system's ANSI code page, used both ways at the library boundary.
class AnsiCodec {
 public:
  virtual ~AnsiCodec() = default;
  virtual std::string Narrow(std::u16string_view text) const = 0;
  // Converts every byte, embedded NULs included.
  virtual std::u16string Widen(std::string_view bytes) const = 0;
};

// The file name of the running executable without its last extension.
class AppNameSource {
 public:
  virtual ~AppNameSource() = default;
  virtual std::u16string AppName() const = 0;
};

// A monotonic clock and a way to pause, for bounding the request loop.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual std::chrono::milliseconds Now() const = 0;
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

// Tells the user something went wrong without ending the program.
class UserNotice {
 public:
  virtual ~UserNotice() = default;
  virtual void Show(std::u16string_view text) = 0;
};

}  // namespace kelto
