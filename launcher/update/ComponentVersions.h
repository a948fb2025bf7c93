#pragma once
// The suite's four components and the comparison of their installed program
// files with the versions the update service names.
#include <array>
#include <string>
#include <vector>

namespace update {

constexpr int kComponentCount = 4;

struct Component {
    int number;  // 1-4: slot of its version, URL, downloader and install request
    const char* versionKey;
    const char* urlKey;
    int updateFlag;
    int firstInstallFlag;
    const char* programFile;  // in the launcher's folder
};

inline constexpr Component kComponentTable[kComponentCount] = {
    {1, "DLVER", "DLURL", 0x0001, 0x1000, "Ravelin_Launcher.exe"},
    {2, "UMVER", "UMURL", 0x0002, 0x2000, "Ravelin_UpdateManager.exe"},
    {3, "MEVER", "MEURL", 0x0004, 0x4000, "Ravelin_MSVTitleEditor.exe"},
    {4, "VMVER", "VMURL", 0x0008, 0x8000, "Ravelin_VantorManager.exe"},
};

// Removes component 4's flags: the launcher never installs it.
constexpr int kInstallableFlags = 0x7FF7;

struct FileVersion {
    int major = 0;
    int minor = 0;
    int build = 0;
    int revision = 0;
};

// The fixed file version of `path`; false when the file is missing or has no
// version resource. A resource without readable fixed information counts as 0.0.0.0.
bool ReadFileVersion(const std::string& path, FileVersion* version);

// The numbers of a server version text split at "." (quotes as in the reply).
std::vector<int> SplitVersionText(const std::string& text);

// Whether `local` is older than `server`: with 3 numbers the revision is
// ignored, with 4 it counts; any other count is no update.
bool IsOlder(const FileVersion& local, const std::vector<int>& server);

// The update and first-install flags of the programs in `folder` (ending with
// a backslash) against the server version texts of components 1-4, masked
// with kInstallableFlags.
int CheckHaveNewVersion(const std::string& folder, const std::array<std::string, kComponentCount>& serverVersions);

}  // namespace update
