#pragma once
// Row kernels and clipping shared by the CDIB drawing operations: 24-bit
// pixels are compared as packed values, unkeyed pixels are copied or blended
// as whole byte ranges, blends use only multiplies and shifts. Where the
// target has SSE2, 16 pixels (48 bytes) are tested for the key and 16 bytes
// blended at a time; the plain loops finish each row and serve other targets.
#include <windows.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstddef>
#include <cstdint>

namespace lib::wfc::pixels {

// The 24-bit value of a pixel: blue | green << 8 | red << 16.
inline std::uint32_t Load24(const BYTE* p) noexcept { return p[0] | p[1] << 8 | p[2] << 16; }

// The packed value of a COLORREF (0x00BBGGRR), as Load24 reads it.
inline std::uint32_t PackColor(COLORREF color) noexcept {
    return (color & 0xFF) << 16 | (color & 0xFF00) | (color >> 16 & 0xFF);
}
inline COLORREF UnpackColor(std::uint32_t packed) noexcept {
    return RGB(packed >> 16 & 0xFF, packed >> 8 & 0xFF, packed & 0xFF);
}

// Pixels tested for the key at once.
constexpr int kBlockPixels = 16;

#if defined(__SSE2__)
// Key tests of a block of 16 pixels, as three 16-byte vectors.
class KeyBlock {
public:
    // Bit 3j for pixel j: the layout of Keys' result.
    static constexpr std::uint64_t kPixelBits = 0x249249249249ull;

    explicit KeyBlock(std::uint32_t key) noexcept {
        const char b = static_cast<char>(key), g = static_cast<char>(key >> 8), r = static_cast<char>(key >> 16);
        key_[0] = _mm_setr_epi8(b, g, r, b, g, r, b, g, r, b, g, r, b, g, r, b);
        key_[1] = _mm_setr_epi8(g, r, b, g, r, b, g, r, b, g, r, b, g, r, b, g);
        key_[2] = _mm_setr_epi8(r, b, g, r, b, g, r, b, g, r, b, g, r, b, g, r);
        blue_ = _mm_set1_epi8(b);
        starts_[0] = _mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1);
        starts_[1] = _mm_setr_epi8(0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0);
    }

    static void Load(const BYTE* p, __m128i (&v)[3]) noexcept {
        for (int i = 0; i < 3; ++i) v[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    }

    // Bit 3j set when pixel j of `v` equals the key in all three bytes; found
    // to be 0 early when no first byte of a pixel is the key's. The first
    // bytes lie at disjoint positions of the three vectors, so one vector
    // gathers all 16 of them.
    std::uint64_t Keys(const __m128i (&v)[3]) const noexcept {
        const __m128i lastStarts = _mm_andnot_si128(_mm_or_si128(starts_[0], starts_[1]), v[2]);
        const __m128i firsts =
            _mm_or_si128(_mm_or_si128(_mm_and_si128(v[0], starts_[0]), _mm_and_si128(v[1], starts_[1])), lastStarts);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(firsts, blue_)) == 0) return 0;
        std::uint64_t bytes = 0;
        for (int i = 0; i < 3; ++i) {
            bytes |= static_cast<std::uint64_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v[i], key_[i])) & 0xFFFF) << (16 * i);
        }
        return bytes & bytes >> 1 & bytes >> 2 & kPixelBits;
    }
    std::uint64_t Keys(const BYTE* p) const noexcept {
        __m128i v[3];
        Load(p, v);
        return Keys(v);
    }

    // Writes the pixels of `v` at `d` except those whose bit is set in `keys`.
    static void StoreUnkeyed(BYTE* d, const __m128i (&v)[3], std::uint64_t keys) noexcept;

private:
    __m128i key_[3];     // the key repeated over the block
    __m128i blue_;       // the key's first byte in every position
    __m128i starts_[2];  // 0xFF at the first byte of each pixel of the first two vectors
};
#endif

// Calls span(first, count) for the pixels of `row` that differ from `key`, in
// order: a whole block (count kBlockPixels) or a single pixel (count 1).
template <typename Span>
void ForEachUnkeyedSpan(const BYTE* row, int width, std::uint32_t key, Span&& span) {
    int i = 0;
#if defined(__SSE2__)
    const KeyBlock block(key);
    for (const BYTE* p = row; i + kBlockPixels <= width; i += kBlockPixels, p += 3 * kBlockPixels) {
        const std::uint64_t keys = block.Keys(p);
        if (!keys) {
            span(i, kBlockPixels);
            continue;
        }
        for (std::uint64_t unkeyed = ~keys & KeyBlock::kPixelBits; unkeyed; unkeyed &= unkeyed - 1) {
            span(i + __builtin_ctzll(unkeyed) / 3, 1);
        }
    }
#endif
    for (; i < width; ++i) {
        if (Load24(row + 3 * static_cast<std::ptrdiff_t>(i)) != key) span(i, 1);
    }
}

// Calls run(first, count) for every maximal run of pixels of `row` that differ from `key`.
template <typename Run>
void ForEachUnkeyedRun(const BYTE* row, int width, std::uint32_t key, Run&& run) {
    int first = 0, end = -1;
    ForEachUnkeyedSpan(row, width, key, [&](int spanFirst, int count) {
        if (spanFirst != end) {
            if (end >= 0) run(first, end - first);
            first = spanFirst;
        }
        end = spanFirst + count;
    });
    if (end >= 0) run(first, end - first);
}

// d + ((s - d) * weight) >> 8 (arithmetic shift) for a weight of 1..256:
// (d * (256 - weight) + s * weight) >> 8 is the same value without negative terms.
inline BYTE BlendByte(unsigned d, unsigned s, unsigned weight) noexcept {
    return static_cast<BYTE>((d * (256 - weight) + s * weight) >> 8);
}

// BlendByte over `count` bytes.
void BlendBytes(BYTE* d, const BYTE* s, std::size_t count, unsigned weight) noexcept;

// One row of `width` pixels: copied or blended, skipping `key` pixels when keyed.
void CopyRow(BYTE* d, const BYTE* s, int width, bool keyed, std::uint32_t key) noexcept;
void BlendRow(BYTE* d, const BYTE* s, int width, unsigned weight, bool keyed, std::uint32_t key) noexcept;

// A rectangle as left, top, right, bottom limited to `limit`; empty results
// have right <= left or bottom <= top. 64-bit so that huge sizes cannot wrap.
struct Span {
    long long left, top, right, bottom;
    bool Empty() const noexcept { return right <= left || bottom <= top; }
};
Span Intersect(const Span& a, const Span& b) noexcept;
inline Span SpanOf(const RECT& r) noexcept { return {r.left, r.top, r.right, r.bottom}; }
inline Span SpanOf(long long x, long long y, long long width, long long height) noexcept {
    return {x, y, x + width, y + height};
}

}  // namespace lib::wfc::pixels
