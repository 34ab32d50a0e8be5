#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelto {

// The window's tokenizer. A non-empty text starts a new text; an empty one goes on
// with what is left of the last. The rest is kept as an offset into the text, so
// walking a text of n characters costs O(n) in all.
class Tokenizer {
 public:
  std::u16string GetToken(std::u16string sText, std::u16string_view sDelimiter);

  // What the next call with an empty text continues from.
  std::u16string_view Remainder() const;

 private:
  std::u16string text_;
  std::size_t offset_ = 0;
};

}  // namespace kelto
