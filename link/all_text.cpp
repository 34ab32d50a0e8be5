// The chat text's normalisation, on the path of every "Get Host": built for speed, while
// the rest of the link is built for size.
#include "link/mod_dapi.h"
#include "link/text_search.h"

namespace kelto {

std::u16string NormaliseAllText(std::u16string text) {
  // The library ends its text with a NUL and a trailer; the cut also takes the four
  // characters before the NUL, which the library counts as part of that trailer.
  const std::size_t nul = FindUnit(text, u'\0');
  if (nul != std::u16string::npos) {
    const std::size_t position = nul + 1;
    if (position > 5) {
      text.resize(position - 5);
    }
  }
  std::size_t size = text.size();
  while (size >= 2 && text[size - 2] == u'\r' && text[size - 1] == u'\n') {
    size -= 2;
  }
  text.resize(size);
  return text;
}

}  // namespace kelto
