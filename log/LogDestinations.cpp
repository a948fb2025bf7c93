#include "log/LogDestinations.h"

#include "log/KilnlogPathString.h"
#include "log/LogFolders.h"
#include "log/ProgramFile.h"

namespace kilnlog {

CKilnlogPathString& MainLog() noexcept {
    static CKilnlogPathString main;
    return main;
}

const char* SystemLogPath() noexcept {
    static CKilnlogPathString system;
    if (!system.IsSet()) {
        try {
            system.Set((GetLogFolder() + SystemLogFileName()).c_str());
        } catch (...) {
            // Left unset: the record then reports a missing destination.
        }
    }
    return system.Get();
}

}  // namespace kilnlog
