#pragma once
// One record on its way into one log file: formatting, the per-file lock,
// rotation to the backup and, for fatal records, the time-stamped copy.
#include <windows.h>

#include "lib/UniqueHandle.h"

class CKilnLog {
public:
    // `sourcePath` may carry directories; `logPath` may be empty (not set).
    CKilnLog(const char* sourcePath, int line, const char* logPath) noexcept;
    virtual ~CKilnLog() = default;

    // Writes `message` (at most 1023 bytes) as a record of `kind`; returns a
    // KilnLogResult, with the system error of a failure left in GetLastError.
    int Write(int kind, const char* message) noexcept;

private:
    int WriteLocked(int kind, const char* message) noexcept;
    lib::FileHandle OpenForAppend(long long recordLength) noexcept;

    char sourceName_[520] = {};
    int line_ = 0;
    char logPath_[MAX_PATH] = {};
    char backupPath_[MAX_PATH + 4] = {};
    char lockName_[MAX_PATH] = {};
    DWORD lastError_ = 0;
};
