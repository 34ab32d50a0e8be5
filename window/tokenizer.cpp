#include "window/tokenizer.h"

#include <utility>

namespace kelto {

std::u16string Tokenizer::GetToken(std::u16string sText, std::u16string_view sDelimiter) {
  if (!sText.empty()) {
    text_ = std::move(sText);
    offset_ = 0;
  }
  const std::size_t found = text_.find(sDelimiter, offset_);
  if (found == std::u16string::npos) {
    std::u16string token = text_.substr(offset_);
    text_.clear();
    offset_ = 0;
    return token;
  }
  std::u16string token = text_.substr(offset_, found - offset_);
  offset_ = found + sDelimiter.size();
  return token;
}

std::u16string_view Tokenizer::Remainder() const {
  return std::u16string_view(text_).substr(offset_);
}

}  // namespace kelto
