#include "link/link_system_win.h"

#include <windows.h>

#include <memory>
#include <stdexcept>

#include "link/ansi_code_page_win.h"
#include "link/module_file_win.h"
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
  const std::wstring path = ModuleFileName(nullptr);
  if (path.empty()) {
    throw std::runtime_error("the program's own file name is not available");
  }
  std::wstring_view name = path;
  name = name.substr(name.find_last_of(L"\\/") + 1);  // npos + 1 is 0
  const std::size_t dot = name.rfind(L'.');
  return FromWide(dot == std::wstring_view::npos ? name : name.substr(0, dot));
}

LinkSystem::Elevation WindowsLinkSystem::TokenElevation() const {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    return Elevation::Default;
  }
  const std::unique_ptr<void, decltype(&CloseHandle)> closeToken(token, &CloseHandle);
  TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
  DWORD size = 0;
  if (!GetTokenInformation(token, TokenElevationType, &type, sizeof type, &size)) {
    return Elevation::Default;
  }
  switch (type) {
    case TokenElevationTypeFull:
      return Elevation::Full;
    case TokenElevationTypeLimited:
      return Elevation::Limited;
    default:
      return Elevation::Default;
  }
}

std::chrono::milliseconds WindowsLinkSystem::Now() const {
  return std::chrono::milliseconds(GetTickCount64());
}

void WindowsLinkSystem::Sleep(std::chrono::milliseconds duration) {
  ::Sleep(static_cast<DWORD>(duration.count()));
}

}  // namespace kelto
