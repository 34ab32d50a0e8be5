#include "link/link_system_win.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "link/ansi_code_page_win.h"
#include "link/wide_text_win.h"

namespace kelto {

std::string WindowsLinkSystem::Narrow(std::u16string_view text) const {
  return NarrowToAnsi(text);
}

std::u16string WindowsLinkSystem::Widen(std::string_view bytes) const {
  return WidenFromAnsi(bytes);
}

std::u16string WindowsLinkSystem::Uncarried(std::u16string_view text) const {
  return UncarriedInAnsi(text);
}

std::u16string WindowsLinkSystem::AppName() const {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD size = static_cast<DWORD>(path.size());
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), size);
    if (length == 0) {
      throw std::runtime_error("the program's own file name is not available");
    }
    if (length < size) {
      std::wstring_view name(path.data(), length);
      name = name.substr(name.find_last_of(L"\\/") + 1);  // npos + 1 is 0
      const std::size_t dot = name.rfind(L'.');
      return FromWide(dot == std::wstring_view::npos ? name : name.substr(0, dot));
    }
    path.resize(path.size() * 2);
  }
}

std::chrono::milliseconds WindowsLinkSystem::Now() const {
  return std::chrono::milliseconds(GetTickCount64());
}

void WindowsLinkSystem::Sleep(std::chrono::milliseconds duration) {
  ::Sleep(static_cast<DWORD>(duration.count()));
}

}  // namespace kelto
