#pragma once
// A package file opened for the time between its signature check and its use:
// read access, shared for reading only, so that nobody can write, replace,
// rename or delete it until the installer or the process it starts has it.
#include <windows.h>

#include <string>

#include "lib/UniqueHandle.h"

namespace MsiInstaller {

class HeldPackage {
public:
    // `path` is in the system ANSI code page. A path with a junction or
    // symbolic link on it is not opened (error() is ERROR_STOPPED_ON_SYMLINK).
    explicit HeldPackage(const std::string& path);

    bool opened() const { return file_.valid(); }
    HANDLE handle() const { return file_.get(); }
    // Why it was not opened.
    DWORD error() const { return error_; }
    const std::string& path() const { return path_; }
    const std::wstring& widePath() const { return widePath_; }

private:
    std::string path_;
    std::wstring widePath_;
    lib::FileHandle file_;
    DWORD error_ = ERROR_SUCCESS;
};

}  // namespace MsiInstaller
