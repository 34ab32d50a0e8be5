// The chat text's normalisation, on the path of every "Get Host": built for speed, while
// the rest of the link is built for size.
#include <cstring>

#include "link/mod_dapi.h"

namespace kelto {

std::u16string NormaliseAllText(const LinkSystem& system, std::string_view bytes) {
  // The library ends its text with a NUL and a trailer; the cut also takes the four
  // characters before the NUL, which the library counts as part of that trailer. A
  // NUL byte is a NUL character in every ANSI code page, never part of another
  // character, so the NUL is found in the bytes and only what the cut keeps is widened.
  std::u16string text;
  const void* nul = bytes.empty() ? nullptr : std::memchr(bytes.data(), '\0', bytes.size());
  if (nul != nullptr) {
    const auto kept = static_cast<std::size_t>(static_cast<const char*>(nul) - bytes.data());
    text = system.Widen(bytes.substr(0, kept));
    constexpr std::size_t kTrailerCharacters = 4;
    if (text.size() > kTrailerCharacters) {
      text.resize(text.size() - kTrailerCharacters);
    } else {
      text = system.Widen(bytes);  // too short to cut: the whole text stays
    }
  } else {
    text = system.Widen(bytes);
  }
  std::size_t size = text.size();
  while (size >= 2 && text[size - 2] == u'\r' && text[size - 1] == u'\n') {
    size -= 2;
  }
  text.resize(size);
  return text;
}

}  // namespace kelto
