#include "launcher/update/ProgressCoalescer.h"

namespace update {

ProgressCoalescer::ProgressCoalescer(DWORD now, DWORD interval) : interval_(interval), lastPost_(now - interval) {}

DWORD ProgressCoalescer::Add(DWORD bytes, DWORD now) {
    pending_ += bytes;
    // Unsigned difference: right across the tick count's wrap-around.
    if (pending_ == 0 || now - lastPost_ < interval_) return 0;
    lastPost_ = now;
    return Flush();
}

DWORD ProgressCoalescer::Flush() {
    const DWORD due = pending_;
    pending_ = 0;
    return due;
}

}  // namespace update
