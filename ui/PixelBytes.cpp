#include "ui/PixelBytes.h"

#include <emmintrin.h>

#include <cstring>

namespace ui {
namespace {

__m128i Difference(const unsigned char* a, const unsigned char* b) noexcept {
    return _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a)),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(b)));
}

}  // namespace

bool SameBytes(const void* first, const void* second, std::size_t count) noexcept {
    if (count == 0) return true;
    const auto* a = static_cast<const unsigned char*>(first);
    const auto* b = static_cast<const unsigned char*>(second);
    std::size_t at = 0;
    for (; at + 64 <= count; at += 64) {
        __m128i any = _mm_or_si128(Difference(a + at, b + at), Difference(a + at + 16, b + at + 16));
        any = _mm_or_si128(any, _mm_or_si128(Difference(a + at + 32, b + at + 32), Difference(a + at + 48, b + at + 48)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, _mm_setzero_si128())) != 0xFFFF) return false;
    }
    return std::memcmp(a + at, b + at, count - at) == 0;
}

}  // namespace ui
