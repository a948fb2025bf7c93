#pragma once
// Gathers the bytes of many small reads into few progress messages. A fast
// download reads thousands of chunks; a message for each would flood the
// window's queue, where posts beyond its limit are lost. Here at most one
// message goes per interval, and it carries every byte read since the last.
#include <windows.h>

namespace update {

class ProgressCoalescer {
public:
    // At most 50 messages a second.
    static constexpr DWORD kInterval = 20;

    // `now` is the tick count at the start; the first read is posted at once.
    explicit ProgressCoalescer(DWORD now, DWORD interval = kInterval);

    // Adds `bytes` read at tick `now`; the bytes to post now, or 0 to wait.
    DWORD Add(DWORD bytes, DWORD now);
    // The bytes read but not posted yet, which the caller posts at the end.
    DWORD Flush();

private:
    DWORD interval_;
    DWORD lastPost_;
    DWORD pending_ = 0;
};

}  // namespace update
