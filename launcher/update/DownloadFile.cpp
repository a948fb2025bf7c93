#include "launcher/update/DownloadFile.h"

#include <cstdint>
#include <utility>

#include "launcher/update/WinHttpWrapper.h"
#include "log/KilnLogWrapper.h"

namespace update {
namespace {

// The low bits of a pointer, as the data-error record shows it.
unsigned PointerBits(const void* data) { return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(data)); }

// A short write can leave the last error at 0; it is still a failure.
int WriteError() {
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_WRITE_FAULT;
}

}  // namespace

CDownloadFile::CDownloadFile(std::string path) : path_(std::move(path)), unfinishedPath_(UnfinishedPath(path_)) {}

CDownloadFile::~CDownloadFile() { Discard(); }

std::string CDownloadFile::UnfinishedPath(const std::string& path) { return path + ".part"; }

int CDownloadFile::Append(const BYTE* data, DWORD size) {
    if (data == nullptr || size == 0 || path_.empty()) {
        CKilnLogWrapper("WinHttpWrapper", 923)
            .Write(kLogError, "ファイル書込み時のデータエラー 0x%08X, 0x%08X, %s", PointerBits(data),
                   static_cast<unsigned>(size), path_.c_str());
        return ERROR_INVALID_PARAMETER;
    }
    if (!file_) {
        const int error = Open();
        if (error != 0) return error;
    }
    DWORD written = 0;
    if (!::WriteFile(file_.get(), data, size, &written, nullptr) || written != size) {
        const int error = WriteError();
        CKilnLogWrapper("WinHttpWrapper", 957)
            .Write(kLogError, "ダウンロードデータ書込み失敗[ERR:0x%08X]", static_cast<unsigned>(error));
        return error;
    }
    return 0;
}

// Not shared for writing: a second download of the same package fails to
// open it rather than mixing its bytes in. DELETE access lets a failed
// download remove exactly the file it made, never one of the same name that
// a later download made after it.
int CDownloadFile::Open() {
    file_.reset(::CreateFileA(unfinishedPath_.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file_) return 0;
    const DWORD error = ::GetLastError();
    CKilnLogWrapper("WinHttpWrapper", 938)
        .Write(kLogError, "ダウンロードデータ書込み時のファイルオープン失敗[ERR:0x%08X].%s",
               static_cast<unsigned>(error), unfinishedPath_.c_str());
    return static_cast<int>(error);
}

int CDownloadFile::Commit() {
    // Like an empty memory body: a package without bytes is no package.
    if (!file_) {
        CKilnLogWrapper("WinHttpWrapper", 877)
            .Write(kLogError, "ファイル書込み時のデータエラー 0x%08X, 0x%08X, %s", 0u, 0u, path_.c_str());
        return CWinHttpWrapper::kNothingToWrite;
    }
    file_.reset();
    if (::MoveFileExA(unfinishedPath_.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING)) return 0;
    const DWORD error = ::GetLastError();
    CKilnLogWrapper("WinHttpWrapper", 903)
        .Write(kLogError, "ダウンロードデータ書込み失敗[ERR:0x%08X] %s", static_cast<unsigned>(error), path_.c_str());
    ::DeleteFileA(unfinishedPath_.c_str());
    return static_cast<int>(error);
}

void CDownloadFile::Discard() noexcept {
    if (!file_) return;
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (!::SetFileInformationByHandle(file_.get(), FileDispositionInfo, &disposition, sizeof(disposition))) {
        file_.reset();
        ::DeleteFileA(unfinishedPath_.c_str());
        return;
    }
    file_.reset();
}

}  // namespace update
