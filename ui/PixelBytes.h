#pragma once
// Equality of two runs of bytes, for the caches that reuse a drawing when the
// pixels under it are what they were: SSE2, 64 bytes a step, several times
// faster than the C library's memcmp under both builds.
#include <cstddef>

namespace ui {

bool SameBytes(const void* a, const void* b, std::size_t count) noexcept;

}  // namespace ui
