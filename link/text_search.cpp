#include "link/text_search.h"

#if defined(__SSE2__) || (defined(__i386__) && defined(__GNUC__))
#include <emmintrin.h>
#define KELTO_HAS_SSE2_PATH 1
#if !defined(__SSE2__)
#include <cpuid.h>
#endif
#endif

namespace kelto {
namespace {

constexpr char16_t kCr = u'\r';
constexpr char16_t kLf = u'\n';

bool EmptyLineAt(std::u16string_view text, std::size_t at) {
  return text[at] == kCr && text[at + 1] == kLf && text[at + 2] == kCr && text[at + 3] == kLf;
}

std::size_t FindEmptyLineFrom(std::u16string_view text, std::size_t at) {
  for (; at + 4 <= text.size(); ++at) {
    if (EmptyLineAt(text, at)) {
      return at;
    }
  }
  return std::u16string_view::npos;
}

#ifdef KELTO_HAS_SSE2_PATH
#ifdef __SSE2__
#define KELTO_SSE2_FUNCTION
#else
#define KELTO_SSE2_FUNCTION __attribute__((target("sse2")))
#endif

// Eight units at a time. Candidates are the places with a line feed one and three
// units on: in chat text two line feeds so close together are rare, so nearly every
// block is passed over with two loads and two comparisons.
KELTO_SSE2_FUNCTION std::size_t FindEmptyLineSse2(std::u16string_view text) {
  // No lambda here: it would not share the function's target.
  const __m128i lineFeed = _mm_set1_epi16(static_cast<short>(kLf));
  std::size_t at = 0;
  for (; at + 11 <= text.size(); at += 8) {
    const __m128i first = _mm_cmpeq_epi16(
        _mm_loadu_si128(reinterpret_cast<const __m128i_u*>(text.data() + at + 1)), lineFeed);
    const __m128i second = _mm_cmpeq_epi16(
        _mm_loadu_si128(reinterpret_cast<const __m128i_u*>(text.data() + at + 3)), lineFeed);
    // Two mask bits a unit.
    auto candidates = static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(first, second)));
    while (candidates != 0) {
      const std::size_t candidate = at + static_cast<std::size_t>(std::countr_zero(candidates)) / 2;
      if (EmptyLineAt(text, candidate)) {
        return candidate;
      }
      candidates &= candidates - 1;
      candidates &= candidates - 1;
    }
  }
  return FindEmptyLineFrom(text, at);
}
#endif

}  // namespace

EmptyLineScan ChosenEmptyLineScan() {
#if defined(__SSE2__)
  return EmptyLineScan::Sse2;
#elif defined(KELTO_HAS_SSE2_PATH)
  // Every processor that Windows 8 and later run on has SSE2; Windows 7 ran on some
  // without it.
  static const EmptyLineScan chosen = [] {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    const bool sse2 = __get_cpuid(1, &eax, &ebx, &ecx, &edx) != 0 && (edx & bit_SSE2) != 0;
    return sse2 ? EmptyLineScan::Sse2 : EmptyLineScan::Scalar;
  }();
  return chosen;
#else
  return EmptyLineScan::Scalar;
#endif
}

std::size_t FindEmptyLineBy(EmptyLineScan scan, std::u16string_view text) {
#ifdef KELTO_HAS_SSE2_PATH
  if (scan == EmptyLineScan::Sse2) {
    return FindEmptyLineSse2(text);
  }
#else
  static_cast<void>(scan);
#endif
  return FindEmptyLineFrom(text, 0);
}

std::size_t FindEmptyLine(std::u16string_view text) {
  return FindEmptyLineBy(ChosenEmptyLineScan(), text);
}

}  // namespace kelto
