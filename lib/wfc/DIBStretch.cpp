#include "lib/wfc/DIBStretch.h"

#include <algorithm>
#include <vector>

#include "lib/wfc/DIBPixels.h"

namespace lib::wfc {
namespace {

// Where one destination column or row reads: the byte offset of its source
// column or row from the source bits (-1: outside the source) and the step to
// the next source column or row (0 at the last one).
struct Tap {
    std::ptrdiff_t offset;
    std::ptrdiff_t next;
};

enum class Axis { kColumns, kRows };

// Taps of destination positions [first, last) out of `length`: position k reads
// source index origin + floor(k * count / length), k counted from the far end
// when reversed. The index walks by error accumulation, without a division
// per position.
std::vector<Tap> Walk(long long first, long long last, long long length, long long count, long long origin,
                      bool reversed, const CDIB& source, Axis axis) {
    const long long n = last - first;
    std::vector<Tap> taps(static_cast<std::size_t>(n));
    const long long start = reversed ? length - last : first;
    const long long step = count / length, remainder = count % length;
    long long index = origin + start * count / length;
    long long error = start * count % length;
    const long long limit = axis == Axis::kColumns ? source.Width() : source.Height();
    for (long long k = 0; k < n; ++k) {
        Tap& tap = taps[static_cast<std::size_t>(reversed ? n - 1 - k : k)];
        if (index < 0 || index >= limit) {
            tap = {-1, 0};
        } else if (axis == Axis::kColumns) {
            tap = {3 * static_cast<std::ptrdiff_t>(index), index + 1 < limit ? 3 : 0};
        } else {
            const int row = static_cast<int>(index);
            const BYTE* here = source.Row(row);
            tap = {here - source.Bits(), source.Row(std::min(row + 1, source.Height() - 1)) - here};
        }
        index += step;
        error += remainder;
        if (error >= length) {
            error -= length;
            ++index;
        }
    }
    return taps;
}

}  // namespace

void StretchDIB(CDIB& dest, int x, int y, int width, int height, const CDIB& source, int sx, int sy, int sw, int sh,
                int rotation, const RECT* clip, StretchMode mode) {
    if (rotation != 0 && rotation != 90 && rotation != 180 && rotation != 270) return;
    if (!dest.IsDrawable() || !source.IsDrawable() || width <= 0 || height <= 0 || sw <= 0 || sh <= 0) return;
    const pixels::Span bounds{0, 0, dest.Width(), dest.Height()};
    const pixels::Span limit = pixels::Intersect(pixels::SpanOf(clip ? *clip : dest.ClipRect()), bounds);
    const pixels::Span area = pixels::Intersect(pixels::SpanOf(x, y, width, height), limit);
    if (area.Empty()) return;

    // Turned a quarter, destination columns walk the source rows and
    // destination rows the source columns.
    const bool turned = rotation == 90 || rotation == 270;
    const bool reverseColumns = rotation == 90 || rotation == 180;
    const bool reverseRows = rotation == 180 || rotation == 270;
    const std::vector<Tap> columns =
        turned ? Walk(area.left - x, area.right - x, width, sh, sy, reverseColumns, source, Axis::kRows)
               : Walk(area.left - x, area.right - x, width, sw, sx, reverseColumns, source, Axis::kColumns);
    const std::vector<Tap> rows =
        turned ? Walk(area.top - y, area.bottom - y, height, sw, sx, reverseRows, source, Axis::kColumns)
               : Walk(area.top - y, area.bottom - y, height, sh, sy, reverseRows, source, Axis::kRows);

    const BYTE* bits = source.Bits();
    const int left = static_cast<int>(area.left), top = static_cast<int>(area.top);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Tap& row = rows[i];
        if (row.offset < 0) continue;
        BYTE* d = dest.Row(top + static_cast<int>(i)) + 3 * left;
        for (std::size_t j = 0; j < columns.size(); ++j, d += 3) {
            const Tap& column = columns[j];
            if (column.offset < 0) continue;
            const BYTE* p = bits + row.offset + column.offset;
            if (mode == StretchMode::kNearest) {
                d[0] = p[0];
                d[1] = p[1];
                d[2] = p[2];
                continue;
            }
            const std::ptrdiff_t right = turned ? row.next : column.next;
            const std::ptrdiff_t down = turned ? column.next : row.next;
            for (int c = 0; c < 3; ++c) {
                d[c] = static_cast<BYTE>((p[c] + p[c + right] + p[c + down] + p[c + right + down]) >> 2);
            }
        }
    }
}

}  // namespace lib::wfc
