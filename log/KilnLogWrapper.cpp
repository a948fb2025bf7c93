#include "log/KilnLogWrapper.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

#include "log/CreateLogFolder.h"
#include "log/KilnLog.h"
#include "log/KilnLogResult.h"
#include "log/KilnlogPathString.h"
#include "log/LogDestinations.h"
#include "log/LogFolders.h"
#include "log/LogSettings.h"
#include "log/MbcsText.h"
#include "log/OwnFileVersion.h"
#include "log/ProgramFile.h"

namespace {

constexpr std::size_t kMessageLimit = 1023;
constexpr int kMaxSizeKB = 4096;

bool IsOwnReport(int kind) { return kind == kLogWarning || kind == kLogSystem; }

// Sets the main log the first time: a bare file name goes beside the program,
// and a missing folder is created.
void SetMainLog(const char* path) {
    std::string log = path && *path ? path : GetLogFolder() + kilnlog::SystemLogFileName();
    if (kilnlog::LastIndexOfAny(log.c_str(), "\\") < 0) log = kilnlog::ProgramFolder() + log;
    kilnlog::MainLog().Set(log.c_str());
    const int slash = kilnlog::LastIndexOfAny(log.c_str(), "\\");
    if (slash > 0) CreateLogFolder(log.substr(0, static_cast<std::size_t>(slash)));
}

}  // namespace

CKilnLogWrapper::CKilnLogWrapper(const char* sourcePath, int line) noexcept : sourcePath_(sourcePath), line_(line) {}

CKilnLogWrapper::~CKilnLogWrapper() = default;

void CKilnLogWrapper::Start(const char* path, int sizeKB, int) noexcept try {
    if (!kilnlog::MainLog().IsSet()) SetMainLog(path);
    if (sizeKB >= 1 && sizeKB <= kMaxSizeKB) {
        kilnlog::SetSizeLimit(static_cast<long long>(sizeKB) * 1024);
    } else {
        kilnlog::SetSizeLimit(kilnlog::kDefaultSizeLimit);
        Write(kLogWarning, "サイズ指定%dKBは不正です。%dKBとします", sizeKB, kMaxSizeKB);
    }
    kilnlog::SetRecover(kilnlog::ReadRecoverSetting());
    Write(kLogStart, "==========<開始(%s)>==========", GetOwnFileVersion().c_str());
} catch (...) {
    // Nothing leaves the log; a failed start leaves the records to the system log.
}

int CKilnLogWrapper::Write(int kind, const char* format, ...) noexcept {
    char message[kMessageLimit + 1] = {};
    if (format) {
        va_list arguments;
        va_start(arguments, format);
        const int length = std::vsnprintf(message, sizeof message, format, arguments);
        va_end(arguments);
        if (length < 0) {
            message[0] = '\0';
        } else if (static_cast<std::size_t>(length) > kMessageLimit) {
            // Cut before a double-byte character that would lose its second byte.
            message[kilnlog::CharacterBoundaryAtOrBefore(message, static_cast<std::size_t>(length), kMessageLimit)] =
                '\0';
            if (message[0] != '\0') Write(kLogWarning, "出力サイズオーバーです。出力を切り詰めます");
        }
    }

    const char* destination = kind == kLogSystem ? kilnlog::SystemLogPath() : kilnlog::MainLog().Get();
    const int result = CKilnLog(sourcePath_, line_, destination).Write(kind, message);
    switch (result) {
    case kilnlog::kWritten:
        return 0;
    case kilnlog::kNoDestination:
        if (IsOwnReport(kind)) return 2;
        Write(kLogSystem, "出力先が設定されていません。デフォルト出力先を使用します");
        return CKilnLog(sourcePath_, line_, kilnlog::SystemLogPath()).Write(kind, message);
    case kilnlog::kInvalidKind:
        Write(kLogWarning, "不正なログ種別[%d]が指定されました", kind);
        return 0;
    case kilnlog::kFatalCopyFailed:
        Write(kLogWarning, "退避ファイルの作成に失敗しました");
        return 0;
    case kilnlog::kOldFatalCopyKept:
        Write(kLogWarning, "古い退避ファイル削除失敗のため、退避ファイルを作成できません");
        return 0;
    case kilnlog::kMutexNotCreated:
    case kilnlog::kMutexNotAcquired:
    case kilnlog::kFileFailed: {
        if (IsOwnReport(kind)) return 2;
        const DWORD error = ::GetLastError();
        if (result == kilnlog::kMutexNotCreated) {
            Write(kLogSystem, "排他オブジェクト作成に失敗しました");
        } else if (result == kilnlog::kMutexNotAcquired) {
            Write(kLogSystem, "排他で待てませんでした");
        } else if (kind == kLogDump) {
            Write(kLogSystem, "ダンプファイルエラーが発生しました。GetLastError[%d]", static_cast<int>(error));
        } else {
            Write(kLogSystem, "ファイルエラーが発生しました。GetLastError[%d]", static_cast<int>(error));
        }
        return 0;
    }
    default:
        if (result > kilnlog::kFileFailed) Write(kLogWarning, "想定外のエラーが発生しました");
        return 0;
    }
}

void CKilnLogWrapper::End() noexcept { Write(kLogEnd, "----------<終了>----------"); }
