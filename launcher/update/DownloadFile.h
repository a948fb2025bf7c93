#pragma once
// A download on its way to disk: the body goes chunk by chunk to
// "<path>.part", which becomes `path` only once the body is complete, so that
// the file at `path` is never seen half written and an older one stays until
// then. A part file not committed is deleted when the object goes away.
#include <windows.h>

#include <string>

#include "lib/UniqueHandle.h"

namespace update {

class CDownloadFile {
public:
    explicit CDownloadFile(std::string path);
    CDownloadFile(const CDownloadFile&) = delete;
    CDownloadFile& operator=(const CDownloadFile&) = delete;
    ~CDownloadFile();

    // 0 or an error code. The part file is made at the first chunk.
    int Append(const BYTE* data, DWORD size);
    // Replaces the file at the path with the part file: 0 or an error code.
    int Commit();

    static std::string UnfinishedPath(const std::string& path);

private:
    int Open();
    void Discard() noexcept;

    std::string path_;
    std::string unfinishedPath_;
    lib::FileHandle file_;
};

}  // namespace update
