#include "log/KilnLog.h"

#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "lib/UniqueHandle.h"
#include "log/FatalCopy.h"
#include "log/HeldMutex.h"
#include "log/KilnLogResult.h"
#include "log/KilnLogWrapper.h"
#include "log/LogFileMutexes.h"
#include "log/LogSettings.h"
#include "log/MbcsText.h"
#include "log/PathLinks.h"

namespace {

constexpr DWORD kLockTimeoutMilliseconds = 10000;
constexpr std::size_t kMessageLimit = 1023;

const char* const kTags[] = {"..", "!!", "@@", "->", "<-", ";;", "", "==", "--", "##", "##"};
constexpr int kLastKind = kLogSystem;

// Copies at most size - 1 bytes of `text`, never splitting a character.
void CopyText(char* buffer, std::size_t size, const char* text) {
    const std::size_t length = kilnlog::CharacterBoundaryAtOrBefore(text, std::strlen(text), size - 1);
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

}  // namespace

CKilnLog::CKilnLog(const char* sourcePath, int line, const char* logPath) noexcept : line_(line) {
    if (sourcePath) {
        CopyText(sourceName_, sizeof sourceName_, sourcePath + kilnlog::LastIndexOfAny(sourcePath, "\\/:") + 1);
    }
    if (logPath && std::strlen(logPath) < sizeof logPath_) {
        std::strcpy(logPath_, logPath);
        std::snprintf(backupPath_, sizeof backupPath_, "%s.BAK", logPath_);
        std::strcpy(lockName_, logPath_ + kilnlog::LastIndexOfAny(logPath_, "\\") + 1);
    }
}

int CKilnLog::Write(int kind, const char* message) noexcept {
    if (kind == kLogTrace && !kilnlog::RecoverOn()) return kilnlog::kWritten;
    if (logPath_[0] == '\0') return kilnlog::kNoDestination;
    if (kind < 0 || kind > kLastKind) return kilnlog::kInvalidKind;
    lastError_ = 0;
    const int result = WriteLocked(kind, message);
    // Releasing the lock and closing handles must not hide the failure's cause.
    if (result != kilnlog::kWritten) ::SetLastError(lastError_);
    return result;
}

int CKilnLog::WriteLocked(int kind, const char* message) noexcept {
    const HANDLE mutex = kilnlog::LogFileMutex(lockName_);
    if (!mutex) {
        lastError_ = ::GetLastError();
        return kilnlog::kMutexNotCreated;
    }
    const kilnlog::CHeldMutex lock(mutex, kLockTimeoutMilliseconds);
    if (!lock.held()) {
        lastError_ = ::GetLastError();
        return kilnlog::kMutexNotAcquired;
    }

    SYSTEMTIME now;
    ::GetLocalTime(&now);
    char record[sizeof sourceName_ + 128 + kMessageLimit + 4];
    const int headerLength =
        std::snprintf(record, sizeof record, "%04d/%02d/%02d %02d:%02d:%02d:%03d\t%s\t%s\t%d\t%lx\t", now.wYear,
                      now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds, kTags[kind],
                      sourceName_, line_, ::GetCurrentThreadId());
    std::size_t length = static_cast<std::size_t>(headerLength);
    PROCESS_MEMORY_COUNTERS memory;
    if (kind == kLogTrace && ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory)) {
        length += static_cast<std::size_t>(std::snprintf(
            record + length, sizeof record - length, "[WS:%dKB, PF:%dKB]\t",
            static_cast<int>(memory.WorkingSetSize / 1024), static_cast<int>(memory.PagefileUsage / 1024)));
    }
    const std::size_t messageLength = std::strlen(message) < kMessageLimit ? std::strlen(message) : kMessageLimit;
    std::memcpy(record + length, message, messageLength);
    length += messageLength;
    std::memcpy(record + length, "\r\n\r\n", 4);
    length += kind == kLogEnd ? 4 : 2;

    {
        const lib::FileHandle file =
            OpenForAppend(static_cast<long long>(headerLength) + static_cast<long long>(messageLength) + 2);
        if (!file) {
            lastError_ = ::GetLastError();
            return kilnlog::kFileFailed;
        }
        ::SetFilePointer(file.get(), 0, nullptr, FILE_END);
        // A record that did not reach the file in full is a file failure, not a written record.
        DWORD written = 0;
        if (!::WriteFile(file.get(), record, static_cast<DWORD>(length), &written, nullptr)) {
            lastError_ = ::GetLastError();
            return kilnlog::kFileFailed;
        }
        if (written != length) {
            lastError_ = ERROR_HANDLE_DISK_FULL;
            return kilnlog::kFileFailed;
        }
    }
    if (kind != kLogFatal) return kilnlog::kWritten;
    const int result = kilnlog::MakeFatalCopy(logPath_);
    lastError_ = ::GetLastError();
    return result;
}

lib::FileHandle CKilnLog::OpenForAppend(long long recordLength) noexcept {
    const auto open = [this] {
        if (kilnlog::RefusedForLink(logPath_)) return INVALID_HANDLE_VALUE;
        return ::CreateFileA(logPath_, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                             nullptr);
    };
    lib::FileHandle file(open());
    // The size comes from the handle that writes, saving a second open per
    // record. A log just created has nothing to move, and the backup is
    // replaced only by a log that really moves.
    if (!file || ::GetLastError() != ERROR_ALREADY_EXISTS) return file;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(file.get(), &size)) size.QuadPart = 0;
    if (size.QuadPart + recordLength <= kilnlog::SizeLimit()) return file;
    file.reset();
    if (!kilnlog::RefusedForLink(backupPath_)) ::MoveFileExA(logPath_, backupPath_, MOVEFILE_REPLACE_EXISTING);
    return lib::FileHandle(open());
}
