#include "lib/wfc/DIBPixels.h"

#include <algorithm>
#include <cstring>

namespace lib::wfc::pixels {

namespace {

#if defined(__SSE2__)
// Byte masks of 8 bits: byte b of entry m is 0xFF when bit b of m is set.
struct ByteMasks {
    std::uint64_t entries[256];
    constexpr ByteMasks() : entries() {
        for (int m = 0; m < 256; ++m) {
            for (int b = 0; b < 8; ++b) {
                if (m >> b & 1) entries[m] |= std::uint64_t{0xFF} << (8 * b);
            }
        }
    }
    __m128i Expand(unsigned bits16) const noexcept {
        return _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&entries[bits16 & 0xFF])),
                                  _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&entries[bits16 >> 8 & 0xFF])));
    }
};
constexpr ByteMasks kByteMasks;

// BlendByte over 16 bytes at a time. Each 16-bit lane holds an even byte low
// and an odd byte high; x is source minus destination (-255..255) and
// q = floor(x * weight / 256) what the destination gains. The even q is the
// high half of x * (weight << 8) while that factor fits a signed lane; from
// weight 128 on the factor wraps by 65536 and yields q - x, which the source
// takes up as the base instead of the destination (d + x = s). The odd q,
// modulo 256, is the high byte of the low half of x * weight, or of
// x * (weight - 256) against the source.
class Blender {
public:
    explicit Blender(unsigned weight) noexcept
        : wraps_(weight >= 128),
          even_(_mm_set1_epi16(static_cast<short>(weight << 8))),
          odd_(_mm_set1_epi16(static_cast<short>(wraps_ ? static_cast<int>(weight) - 256 : static_cast<int>(weight)))),
          low_(_mm_set1_epi16(0x00FF)),
          high_(_mm_set1_epi16(static_cast<short>(0xFF00))) {}

    __m128i operator()(const BYTE* d, const BYTE* s) const noexcept {
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
        const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
        const __m128i evenQ = _mm_mulhi_epi16(_mm_sub_epi16(_mm_and_si128(sv, low_), _mm_and_si128(dv, low_)), even_);
        const __m128i oddQ = _mm_and_si128(
            _mm_mullo_epi16(_mm_sub_epi16(_mm_srli_epi16(sv, 8), _mm_srli_epi16(dv, 8)), odd_), high_);
        const __m128i base = _mm_loadu_si128(reinterpret_cast<const __m128i*>(wraps_ ? s : d));
        return _mm_add_epi16(_mm_add_epi16(base, evenQ), oddQ);
    }

private:
    bool wraps_;
    __m128i even_, odd_, low_, high_;
};
#endif

}  // namespace

#if defined(__SSE2__)
void KeyBlock::StoreUnkeyed(BYTE* d, const __m128i (&v)[3], std::uint64_t keys) noexcept {
    const std::uint64_t keyBytes = keys * 7;  // each pixel bit spread over its three bytes
    for (int i = 0; i < 3; ++i) {
        __m128i* to = reinterpret_cast<__m128i*>(d + 16 * i);
        const __m128i keep = kByteMasks.Expand(static_cast<unsigned>(keyBytes >> (16 * i)));
        _mm_storeu_si128(to, _mm_or_si128(_mm_and_si128(keep, _mm_loadu_si128(to)), _mm_andnot_si128(keep, v[i])));
    }
}
#endif

void BlendBytes(BYTE* d, const BYTE* s, std::size_t count, unsigned weight) noexcept {
    if (weight >= 256) {
        std::memcpy(d, s, count);
        return;
    }
    std::size_t i = 0;
#if defined(__SSE2__)
    const Blender blend(weight);
    // Four vectors in flight: all are loaded before any is stored.
    for (; i + 64 <= count; i += 64) {
        __m128i blended[4];
        for (int j = 0; j < 4; ++j) blended[j] = blend(d + i + 16 * j, s + i + 16 * j);
        for (int j = 0; j < 4; ++j) _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i + 16 * j), blended[j]);
    }
    for (; i + 16 <= count; i += 16) _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), blend(d + i, s + i));
#endif
    for (; i < count; ++i) d[i] = BlendByte(d[i], s[i], weight);
}

void CopyRow(BYTE* d, const BYTE* s, int width, bool keyed, std::uint32_t key) noexcept {
    if (!keyed) {
        std::memcpy(d, s, 3 * static_cast<std::size_t>(width));
        return;
    }
    int i = 0;
#if defined(__SSE2__)
    const KeyBlock block(key);
    for (; i + kBlockPixels <= width; i += kBlockPixels) {
        const std::size_t at = 3 * static_cast<std::size_t>(i);
        __m128i v[3];
        KeyBlock::Load(s + at, v);
        const std::uint64_t keys = block.Keys(v);
        if (keys == 0) {
            for (int j = 0; j < 3; ++j) _mm_storeu_si128(reinterpret_cast<__m128i*>(d + at + 16 * j), v[j]);
        } else if (keys != KeyBlock::kPixelBits) {
            KeyBlock::StoreUnkeyed(d + at, v, keys);
        }
    }
#endif
    for (; i < width; ++i) {
        const std::size_t at = 3 * static_cast<std::size_t>(i);
        if (Load24(s + at) != key) std::memcpy(d + at, s + at, 3);
    }
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
