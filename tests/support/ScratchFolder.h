#pragma once
// A fresh folder under the temporary folder, removed with its contents when
// the object goes away.
#include <string>

namespace test {

class ScratchFolder {
public:
    ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder();

    // The folder's path, with a trailing backslash.
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Whole contents of a file ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& contents);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

}  // namespace test
