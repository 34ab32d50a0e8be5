#include "link/ansi_code_page_win.h"

#include <windows.h>

#include "link/text_search.h"

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

const wchar_t* Wide(std::u16string_view text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

bool AnsiIsUtf8() {
  return GetACP() == CP_UTF8;
}

// Without it, Windows maps characters the code page lacks to look-alikes ("best
// fit"): a full-width "Ｂｏｂ" would become "Bob". UTF-8 takes no such flag.
DWORD NarrowFlags() {
  return AnsiIsUtf8() ? 0 : WC_NO_BEST_FIT_CHARS;
}

// Whether the code page carries these units (one character) exactly.
bool Carries(std::u16string_view character) {
  if (AnsiIsUtf8()) {
    // UTF-8 carries every character; only a lone surrogate is not one.
    return character.size() == 2 || character[0] < 0xD800 || character[0] > 0xDFFF;
  }
  BOOL usedDefault = FALSE;
  const int size =
      WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, Wide(character),
                          static_cast<int>(character.size()), nullptr, 0, nullptr, &usedDefault);
  return size > 0 && !usedDefault;
}

}  // namespace

std::string NarrowToAnsi(std::u16string_view text) {
  if (text.empty()) {
    return {};
  }
  const int units = CheckedLength(text.size());
  const DWORD flags = NarrowFlags();
  const int size =
      WideCharToMultiByte(CP_ACP, flags, Wide(text), units, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    throw std::runtime_error("conversion to the ANSI code page failed");
  }
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, flags, Wide(text), units, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

std::u16string UncarriedInAnsi(std::u16string_view text) {
  std::u16string uncarried;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t units = CharacterUnits(text, at);
    const std::u16string_view character = text.substr(at, units);
    if (!Carries(character) && uncarried.find(character) == std::u16string::npos) {
      uncarried += character;
    }
    at += units;
  }
  return uncarried;
}

std::u16string WidenFromAnsi(std::string_view bytes) {
  if (bytes.empty()) {
    return {};
  }
  const int length = CheckedLength(bytes.size());
  // One pass, straight into the program's text (a chat text may be hundreds of
  // megabytes): no ANSI code page makes more than one UTF-16 unit of a byte, so the
  // bytes' count is room enough, and the text is cut to what was written.
  std::u16string text(bytes.size(), u'\0');
  int units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length,
                                  reinterpret_cast<wchar_t*>(text.data()), length);
  if (units <= 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    // Not seen in any code page; measured first, should one ever do it.
    units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (units > 0) {
      text.assign(static_cast<std::size_t>(units), u'\0');
      units = MultiByteToWideChar(CP_ACP, 0, bytes.data(), length,
                                  reinterpret_cast<wchar_t*>(text.data()), units);
    }
  }
  if (units <= 0) {
    throw std::runtime_error("conversion from the ANSI code page failed");
  }
  text.resize(static_cast<std::size_t>(units));
  return text;
}

}  // namespace kelto
