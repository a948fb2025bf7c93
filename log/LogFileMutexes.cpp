#include "log/LogFileMutexes.h"

#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "lib/UniqueHandle.h"

namespace kilnlog {
namespace {

struct MutexTable {
    std::mutex lock;
    std::vector<std::pair<std::string, lib::KernelHandle>> mutexes;
};

// Never destroyed: records written from other objects' static destructors
// and from threads still running at exit must find their lock. The system
// closes the handles when the process ends.
MutexTable& Table() {
    static MutexTable* const table = new MutexTable;
    return *table;
}

}  // namespace

HANDLE LogFileMutex(const char* name) noexcept try {
    MutexTable& table = Table();
    std::lock_guard<std::mutex> held(table.lock);
    for (const auto& entry : table.mutexes) {
        if (entry.first == name) return entry.second.get();
    }
    lib::KernelHandle mutex(::CreateMutexA(nullptr, FALSE, name));
    if (!mutex) return nullptr;
    table.mutexes.emplace_back(name, std::move(mutex));
    return table.mutexes.back().second.get();
} catch (...) {
    ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

}  // namespace kilnlog
