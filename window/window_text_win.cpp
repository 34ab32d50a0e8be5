#include "window/window_text_win.h"

#include <algorithm>
#include <vector>

#include "link/wide_text_win.h"

namespace kelto {

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) {
    return {};
  }
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  const int copied = GetWindowTextW(window, buffer.data(), length + 1);
  return {buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0)};
}

std::u16string LowerCase(std::u16string_view text) {
  std::wstring lower = ToWide(text);
  // One character for one: the length never changes.
  for (std::size_t done = 0; done < lower.size();) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(lower.size() - done, 1u << 30));
    CharLowerBuffW(lower.data() + done, chunk);
    done += chunk;
  }
  return FromWide(lower);
}

}  // namespace kelto
