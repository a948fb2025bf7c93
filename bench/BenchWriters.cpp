#include "bench/BenchWriters.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdio>

#include "lib/UniqueHandle.h"
#include "log/KilnLogWrapper.h"

namespace bench {
namespace {

constexpr const char* kMessage = "benchmark record %06d: installer download progress 42%% of 1048576 bytes";

// A line as long as the library's record for the same message.
std::string BareLine() {
    char message[128];
    const int length = std::snprintf(message, sizeof message, kMessage, 0);
    return "2011/06/01 09:05:07:042\t..\tBenchWriters.cpp\t100\t1a3c\t" + std::string(message, length) + "\r\n";
}

}  // namespace

void WriteLibraryRecords(int count) {
    for (int i = 0; i < count; ++i) KILNLOG.Write(kLogInfo, kMessage, i);
}

void WriteBareRecords(const std::string& path, int count) {
    const std::string line = BareLine();
    lib::KernelHandle mutex(::CreateMutexA(nullptr, FALSE, ::PathFindFileNameA(path.c_str())));
    for (int i = 0; i < count; ++i) {
        const DWORD wait = ::WaitForSingleObject(mutex.get(), 10000);
        if (wait != WAIT_OBJECT_0 && wait != WAIT_ABANDONED) continue;
        {
            lib::FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file) {
                ::SetFilePointer(file.get(), 0, nullptr, FILE_END);
                DWORD written = 0;
                ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            }
        }
        ::ReleaseMutex(mutex.get());
    }
}

}  // namespace bench
