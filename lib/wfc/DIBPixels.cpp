#include "lib/wfc/DIBPixels.h"

#include <algorithm>
#include <cstring>

namespace lib::wfc::pixels {

// Even bytes are weighed in the low half of 16-bit lanes (d * (256 - w) +
// s * w stays below 65536), odd bytes in place in the high half, where the
// high half of the product of (byte << 8) and (weight << 8) is byte * weight.
void BlendBytes(BYTE* d, const BYTE* s, std::size_t count, unsigned weight) noexcept {
    if (weight >= 256) {
        std::memcpy(d, s, count);
        return;
    }
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i low = _mm_set1_epi16(0x00FF);
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
    const __m128i w = _mm_set1_epi16(static_cast<short>(weight));
    const __m128i rest = _mm_set1_epi16(static_cast<short>(256 - weight));
    const __m128i wHigh = _mm_slli_epi16(w, 8);
    const __m128i restHigh = _mm_slli_epi16(rest, 8);
    for (; i + 16 <= count; i += 16) {
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const __m128i even = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(dv, low), rest),
                                                          _mm_mullo_epi16(_mm_and_si128(sv, low), w)), 8);
        const __m128i odd = _mm_and_si128(_mm_add_epi16(_mm_mulhi_epu16(_mm_and_si128(dv, high), restHigh),
                                                        _mm_mulhi_epu16(_mm_and_si128(sv, high), wHigh)), high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_or_si128(even, odd));
    }
#endif
    for (; i < count; ++i) d[i] = BlendByte(d[i], s[i], weight);
}

void CopyRow(BYTE* d, const BYTE* s, int width, bool keyed, std::uint32_t key) noexcept {
    if (!keyed) {
        std::memcpy(d, s, 3 * static_cast<std::size_t>(width));
        return;
    }
    // Two fixed sizes, so that both copies are inlined moves.
    ForEachUnkeyedSpan(s, width, key, [&](int first, int count) {
        if (count == 1) {
            std::memcpy(d + 3 * first, s + 3 * first, 3);
        } else {
            std::memcpy(d + 3 * first, s + 3 * first, 3 * kBlockPixels);
        }
    });
}

void BlendRow(BYTE* d, const BYTE* s, int width, unsigned weight, bool keyed, std::uint32_t key) noexcept {
    if (!keyed) {
        BlendBytes(d, s, 3 * static_cast<std::size_t>(width), weight);
        return;
    }
    ForEachUnkeyedRun(s, width, key, [&](int first, int count) {
        BlendBytes(d + 3 * first, s + 3 * first, 3 * static_cast<std::size_t>(count), weight);
    });
}

Span Intersect(const Span& a, const Span& b) noexcept {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

}  // namespace lib::wfc::pixels
