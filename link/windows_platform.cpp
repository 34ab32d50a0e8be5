#include "link/windows_platform.h"

#include <climits>
#include <stdexcept>
#include <vector>

#include "link/wide_text.h"

namespace kelto {
namespace {

int CheckedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(INT_MAX)) {
    throw std::length_error("text too long for the ANSI code page conversion");
  }
  return static_cast<int>(size);
}

}  // namespace

std::string WindowsAnsiCodec::Narrow(std::u16string_view text) const {
  if (text.empty()) {
    return {};
  }
  const std::wstring wide = ToWide(text);
  const int units = CheckedLength(wide.size());
  const int size = WideCharToMultiByte(CP_ACP, 0, wide.data(), units, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    throw std::runtime_error("conversion to the ANSI code page failed");
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), units, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::u16string WindowsAnsiCodec::Widen(std::string_view bytes) const {
  if (bytes.empty()) {
    return {};
  }
  const int length = CheckedLength(bytes.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (units <= 0) {
    throw std::runtime_error("conversion from the ANSI code page failed");
  }
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, wide.data(), units);
  return FromWide(wide);
}

std::u16string ModuleAppName::AppName() const {
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

std::chrono::milliseconds TickClock::Now() const {
  return std::chrono::milliseconds(GetTickCount64());
}

void TickClock::Sleep(std::chrono::milliseconds duration) {
  ::Sleep(static_cast<DWORD>(duration.count()));
}

std::u16string SystemErrorText(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = length > 0 ? std::wstring(buffer, length) : std::wstring();
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  if (text.empty()) {
    text = L"system error " + std::to_wstring(code);
  }
  return FromWide(text);
}

}  // namespace kelto
