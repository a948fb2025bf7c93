#include "launcher/app/RunAPPMgr.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <atomic>
#include <string>

#include "lib/ProgramFiles.h"
#include "lib/AnsiText.h"
#include "lib/UniqueHandle.h"
#include "log/KilnLogWrapper.h"

namespace {

// One program: its key, its file name (system code page) and, for BeatJam
// only, where the registry names its folder.
struct AppTableRow {
    int key;
    const char* programFile;
    HKEY root;
    const wchar_t* registryKey;
    const wchar_t* valueName;
};

// Searched in this order.
const AppTableRow appTable[] = {
    {RunAPPMgr::kLauncherFolder, "", HKEY_LOCAL_MACHINE, L"", L""},
    {RunAPPMgr::kBeatJam, "BeatJam5.exe", HKEY_LOCAL_MACHINE, L"Software\\JustSystem\\BeatJam 5\\Settings",
     L"SetupPath"},
    {RunAPPMgr::kRivoziverodAdazivu, "RivoziverodAdazivu.exe", HKEY_LOCAL_MACHINE, L"", L""},
    {RunAPPMgr::kVantorManager, "Ravelin_VantorManager.exe", HKEY_LOCAL_MACHINE, L"", L""},
    {RunAPPMgr::kUpdateManager, "Ravelin_UpdateManager.exe", HKEY_LOCAL_MACHINE, L"", L""},
    {RunAPPMgr::kUpdater, "RavelinUpdate.exe", HKEY_LOCAL_MACHINE, L"", L""},
    {RunAPPMgr::kMsvTitleEditor, "Ravelin_MSVTitleEditor.exe", HKEY_LOCAL_MACHINE, L"", L""},
};

const AppTableRow* FindRow(int key) {
    for (const AppTableRow& row : appTable) {
        if (row.key == key) return &row;
    }
    return nullptr;
}

std::atomic<RunAPPMgr::ShellExecuteFunction> shellExecute{&::ShellExecuteW};

// ShellExecute answers a value above 32 for a start, an error code otherwise.
INT_PTR Execute(const wchar_t* path, const wchar_t* parameters, const wchar_t* folder, int show) {
    return reinterpret_cast<INT_PTR>(shellExecute.load()(nullptr, L"open", path, parameters, folder, show));
}

unsigned LowWord(INT_PTR value) { return static_cast<unsigned>(value & 0xFFFF); }

// SetupPath is read up to 512 bytes; the buffer has room for the file name
// after it, as PathAppendW needs MAX_PATH characters.
constexpr DWORD kSetupPathBytes = 512;

}  // namespace

RunAPPMgr::ShellExecuteFunction RunAPPMgr::ReplaceShellExecute(ShellExecuteFunction function) {
    return shellExecute.exchange(function);
}

bool RunAPPMgr::StartApplication(int key, const wchar_t* parameters, const wchar_t* folder, int show) {
    if (key == kBeatJam) return StartBeatJam();
    INT_PTR result = 0;
    if (const AppTableRow* row = FindRow(key)) {
        // Without its own folder the name alone would be looked for in the
        // current folder, where any program of that name could stand.
        const std::wstring ownFolder = lib::FolderOf(lib::OwnProgramPath());
        if (ownFolder.empty()) return false;
        const std::wstring path = ownFolder + lib::FromAnsi(row->programFile);
        if (!::PathFileExistsW(path.c_str())) return false;
        result = Execute(path.c_str(), parameters, folder, show);
        if (result > 32) return true;
    }
    CKilnLogWrapper("RunAPPMgr", 85).Write(kLogError, "StartApplication  Error ERR:0x%08X", LowWord(result));
    return false;
}

bool RunAPPMgr::StartBeatJam() {
    const AppTableRow& row = *FindRow(kBeatJam);
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(row.root, row.registryKey, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return false;
    const lib::RegistryKey settings(opened);

    // Zero-filled beyond what is read, so a value stored without its
    // terminator still ends inside the buffer.
    wchar_t path[MAX_PATH + 1] = {};
    DWORD type = 0;
    DWORD bytes = kSetupPathBytes;
    if (::SHQueryValueExW(settings.get(), row.valueName, nullptr, &type, path, &bytes) != ERROR_SUCCESS) return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
    // A folder too long for the file name after it names no file.
    if (row.programFile[0] != '\0' && !::PathAppendW(path, lib::FromAnsi(row.programFile).c_str())) return false;
    if (::GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return false;

    const INT_PTR result = Execute(path, nullptr, nullptr, SW_SHOWNORMAL);
    if (result > 32) return true;
    CKilnLogWrapper("RunAPPMgr", 134).Write(kLogError, "StartBeatJam  Error ERR:0x%08X", LowWord(result));
    return false;
}
