#include "launcher/update/ResponseFile.h"

#include <cstdint>
#include <utility>

#include "launcher/update/WinHttpWrapper.h"
#include "log/KilnLogWrapper.h"

namespace update {
namespace {

HANDLE CreateTarget(const std::string& path, DWORD disposition) {
    return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, disposition,
                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// The low bits of a pointer, as the data-error record shows it.
unsigned PointerBits(const void* data) {
    return static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(data));
}

// A short write can leave the last error at 0; it is still a failure.
int WriteError() {
    const DWORD error = ::GetLastError();
    return error != ERROR_SUCCESS ? static_cast<int>(error) : ERROR_WRITE_FAULT;
}

}  // namespace

int WriteResponseFile(const std::string& path, const BYTE* data, int size) {
    if (data == nullptr || size <= 0 || path.empty()) {
        CKilnLogWrapper("WinHttpWrapper", 877)
            .Write(kLogError, "ファイル書込み時のデータエラー 0x%08X, 0x%08X, %s", PointerBits(data),
                   static_cast<unsigned>(size), path.c_str());
        return CWinHttpWrapper::kNothingToWrite;
    }
    ::DeleteFileA(path.c_str());
    lib::FileHandle file(CreateTarget(path, CREATE_ALWAYS));
    if (!file) {
        const DWORD error = ::GetLastError();
        CKilnLogWrapper("WinHttpWrapper", 893)
            .Write(kLogError, "ダウンロードデータ書込み時のファイルオープン失敗[ERR:0x%08X].%s",
                   static_cast<unsigned>(error), path.c_str());
        return static_cast<int>(error);
    }
    DWORD written = 0;
    if (!::WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) ||
        written != static_cast<DWORD>(size)) {
        const int error = WriteError();
        CKilnLogWrapper("WinHttpWrapper", 903)
            .Write(kLogError, "ダウンロードデータ書込み失敗[ERR:0x%08X", static_cast<unsigned>(error));
        return error;
    }
    return 0;
}

CResponseAppender::CResponseAppender(std::string path) : path_(std::move(path)) {}

int CResponseAppender::Append(const BYTE* data, DWORD size) {
    if (data == nullptr || size == 0) {
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

// Opens the file for appending: what it already holds stays in front.
int CResponseAppender::Open() {
    lib::FileHandle file(CreateTarget(path_, OPEN_ALWAYS));
    if (!file) {
        const DWORD error = ::GetLastError();
        CKilnLogWrapper("WinHttpWrapper", 938)
            .Write(kLogError, "ダウンロードデータ書込み時のファイルオープン失敗[ERR:0x%08X].%s",
                   static_cast<unsigned>(error), path_.c_str());
        return static_cast<int>(error);
    }
    if (!::SetFilePointerEx(file.get(), LARGE_INTEGER{}, nullptr, FILE_END)) {
        const DWORD error = ::GetLastError();
        CKilnLogWrapper("WinHttpWrapper", 946)
            .Write(kLogError, "ダウンロードデータ書込みファイルポインタ移動失敗[ERR:0x%08X",
                   static_cast<unsigned>(error));
        return static_cast<int>(error);
    }
    file_ = std::move(file);
    return 0;
}

}  // namespace update
