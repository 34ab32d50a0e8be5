#pragma once

// The simulator's text in the ANSI code page, as the DDE conversation carries it.

#include <string>

#include "link/windows_platform.h"

namespace kelto::simulator {

inline std::string NarrowText(const std::u16string& text) {
  return WindowsAnsiCodec().Narrow(text);
}
inline std::u16string WidenText(const std::string& bytes) {
  return WindowsAnsiCodec().Widen(bytes);
}

}  // namespace kelto::simulator
