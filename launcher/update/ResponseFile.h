#pragma once
// Where a response body goes on disk: written whole at the end of a
// memory-mode request, or appended chunk by chunk in file mode.
#include <windows.h>

#include <string>

#include "lib/UniqueHandle.h"

namespace update {

// Replaces the file at `path` with the `size` bytes at `data`: 0 or an error code.
int WriteResponseFile(const std::string& path, const BYTE* data, int size);

// Appends the chunks of one request to the end of a file. The file is opened
// at the first chunk (so an empty body creates none) and stays open until the
// object goes away.
class CResponseAppender {
public:
    explicit CResponseAppender(std::string path);
    CResponseAppender(const CResponseAppender&) = delete;
    CResponseAppender& operator=(const CResponseAppender&) = delete;

    // 0 or an error code.
    int Append(const BYTE* data, DWORD size);

private:
    int Open();

    std::string path_;
    lib::FileHandle file_;
};

}  // namespace update
