#pragma once

// Finding one UTF-16 code unit, or a text, in a long text, four units at a time; the
// end of the lines "Get Host" reads, a whole vector at a time. And telling where a
// character ends, for texts walked character by character.

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace kelto {

// The position of the first `unit` in `text` at or after `from`, or npos.
inline std::size_t FindUnit(std::u16string_view text, char16_t unit, std::size_t from = 0) {
  constexpr std::uint64_t kOnes = 0x0001000100010001;
  constexpr std::uint64_t kHighs = 0x8000800080008000;
  std::size_t at = from;
  if constexpr (std::endian::native == std::endian::little) {
    const std::uint64_t pattern = kOnes * unit;
    for (; at + 4 <= text.size(); at += 4) {
      std::uint64_t block;
      std::memcpy(&block, text.data() + at, sizeof block);
      const std::uint64_t x = block ^ pattern;  // a lane of zero where `unit` stands
      // Non-zero exactly when some lane is zero; its lowest set bit marks the first.
      const std::uint64_t zero = (x - kOnes) & ~x & kHighs;
      if (zero != 0) {
        return at + static_cast<std::size_t>(std::countr_zero(zero)) / 16;
      }
    }
  }
  for (; at < text.size(); ++at) {
    if (text[at] == unit) {
      return at;
    }
  }
  return std::u16string_view::npos;
}

// The position of the first `needle` in `text` at or after `from`, or npos.
inline std::size_t FindText(std::u16string_view text, std::u16string_view needle,
                            std::size_t from = 0) {
  if (needle.empty()) {
    return from <= text.size() ? from : std::u16string_view::npos;
  }
  for (std::size_t at = FindUnit(text, needle.front(), from); at != std::u16string_view::npos;
       at = FindUnit(text, needle.front(), at + 1)) {
    if (text.substr(at, needle.size()) == needle) {
      return at;
    }
  }
  return std::u16string_view::npos;
}

// The position of the first empty line's "\r\n\r\n" in `text`, or npos: the end of
// the lines "Get Host" reads. Vectorised where the processor allows.
std::size_t FindEmptyLine(std::u16string_view text);

// The two ways FindEmptyLine can take: a unit at a time, or eight at a time with SSE2.
enum class EmptyLineScan : std::uint8_t { Scalar, Sse2 };
// The way FindEmptyLine takes on this processor.
EmptyLineScan ChosenEmptyLineScan();
// FindEmptyLine the given way, for comparing the two: Sse2 only on a processor that
// has it; in a build without that path, Sse2 is Scalar.
std::size_t FindEmptyLineBy(EmptyLineScan scan, std::u16string_view text);

// How many units, 1 or 2, the character at `at` takes: a surrogate pair is one
// character beyond the first 65,536; a lone surrogate stands for itself.
inline std::size_t CharacterUnits(std::u16string_view text, std::size_t at) {
  const bool pair = at + 1 < text.size() && text[at] >= 0xD800 && text[at] <= 0xDBFF &&
                    text[at + 1] >= 0xDC00 && text[at + 1] <= 0xDFFF;
  return pair ? 2 : 1;
}

}  // namespace kelto
