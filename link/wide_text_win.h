#pragma once

// On Windows wchar_t holds UTF-16 code units, as char16_t does in the core.

#include <string>
#include <string_view>

namespace kelto {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

inline std::wstring ToWide(std::u16string_view text) {
  return {text.begin(), text.end()};
}
inline std::u16string FromWide(std::wstring_view text) {
  return {text.begin(), text.end()};
}

}  // namespace kelto
