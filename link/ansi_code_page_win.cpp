#include "link/ansi_code_page_win.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace kelto {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

int CheckedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(INT_MAX)) {
    throw std::length_error("text too long for the ANSI code page conversion");
  }
  return static_cast<int>(size);
}

const wchar_t* Wide(const char16_t* text) {
  return reinterpret_cast<const wchar_t*>(text);
}

}  // namespace

std::string NarrowToAnsi(std::u16string_view text) {
  if (text.empty()) {
    return {};
  }
  const int units = CheckedLength(text.size());
  const int size =
      WideCharToMultiByte(CP_ACP, 0, Wide(text.data()), units, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    throw std::runtime_error("conversion to the ANSI code page failed");
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, Wide(text.data()), units, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::u16string WidenFromAnsi(std::string_view bytes) {
  if (bytes.empty()) {
    return {};
  }
  const int length = CheckedLength(bytes.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
  if (units <= 0) {
    throw std::runtime_error("conversion from the ANSI code page failed");
  }
  // Straight into the program's text: a chat text may be hundreds of megabytes.
  std::u16string text(static_cast<std::size_t>(units), u'\0');
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, reinterpret_cast<wchar_t*>(text.data()),
                      units);
  return text;
}

}  // namespace kelto
