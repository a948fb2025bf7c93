// Stands in for the launcher's own setup program in the demo suite. The
// updater runs it as "<setup> /S /v/passive" after the launcher has handed
// over its package and is ending. It waits (bounded) for the launcher to be
// gone, puts the Ravelin_Launcher.exe it carries into the suite's folder and
// exits 0; any failure exits nonzero. Each run is recorded in
// "Ravelin_LauncherSetup.log" beside the setup program.
//
//   /S          silent: no message at the end (the updater always passes it)
//   /v<text>    options for the inner installer; recorded only
//
// The suite's folder is HKLM\SOFTWARE\Halvard\Ravelin "InstallDir", written
// when the suite was installed; without it, the folder of a running launcher.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "lib/ProgramFiles.h"
#include "lib/UniqueHandle.h"

namespace {

enum ExitCode : int {
    kDone = 0,
    kNoPayload = 1,
    kNoSuiteFolder = 2,
    kLauncherStillRunning = 3,
    kWriteFailed = 4,
    kReplaceFailed = 5,
    kInternalError = 6,
};

constexpr int kPayloadId = 101;
constexpr wchar_t kLauncherFile[] = L"Ravelin_Launcher.exe";
constexpr wchar_t kSuiteKey[] = L"SOFTWARE\\Halvard\\Ravelin";
constexpr wchar_t kInstallDirValue[] = L"InstallDir";
// The launcher closes its windows before it ends; a minute is plenty.
constexpr DWORD kLauncherEndWait = 60000;
// A file just released by an ending process can stay locked a moment longer.
constexpr DWORD kReplaceRetryTime = 10000;
constexpr DWORD kReplaceRetryInterval = 250;

std::wstring WithBackslash(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\') folder += L'\\';
    return folder;
}

bool SameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Appends time-stamped UTF-8 lines to the log beside the program.
class RunLog {
public:
    RunLog() {
        const std::wstring own = lib::OwnProgramPath();
        const std::wstring path = lib::FolderOf(own) + L"Ravelin_LauncherSetup.log";
        file_.reset(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    void Write(const std::wstring& text) {
        if (!file_) return;
        SYSTEMTIME now;
        ::GetLocalTime(&now);
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u\t", now.wYear, now.wMonth, now.wDay,
                      now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
        const std::string line = stamp + Utf8(text) + "\r\n";
        DWORD written = 0;
        ::WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }

private:
    static std::string Utf8(const std::wstring& text) {
        if (text.empty()) return "";
        const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                               nullptr, nullptr);
        std::string converted(static_cast<size_t>(size > 0 ? size : 0), '\0');
        if (size > 0) {
            ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &converted[0], size,
                                  nullptr, nullptr);
        }
        return converted;
    }

    lib::FileHandle file_;
};

std::wstring ErrorText(DWORD error) {
    wchar_t text[16];
    std::swprintf(text, sizeof text / sizeof text[0], L"0x%08X", static_cast<unsigned>(error));
    return text;
}

std::wstring ImagePath(HANDLE process) {
    std::vector<wchar_t> path(MAX_PATH * 2);
    DWORD size = static_cast<DWORD>(path.size());
    if (!::QueryFullProcessImageNameW(process, 0, path.data(), &size)) return L"";
    return std::wstring(path.data(), size);
}

// Running launchers; with a folder, only those started from it.
std::vector<lib::KernelHandle> RunningLaunchers(const std::wstring& folder) {
    std::vector<lib::KernelHandle> found;
    lib::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return found;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        if (entry.th32ProcessID == ::GetCurrentProcessId() || !SameText(entry.szExeFile, kLauncherFile)) continue;
        lib::KernelHandle process(
            ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
        if (!process) continue;
        const std::wstring image = ImagePath(process.get());
        // A launcher whose path cannot be read is waited for all the same.
        if (!folder.empty() && !image.empty() && !SameText(lib::FolderOf(image), folder)) continue;
        found.push_back(std::move(process));
    }
    return found;
}

std::wstring RegistryFolder() {
    DWORD size = 0;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kSuiteKey, kInstallDirValue, RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
            ERROR_SUCCESS ||
        size < sizeof(wchar_t)) {
        return L"";
    }
    std::vector<wchar_t> value(size / sizeof(wchar_t) + 1);
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kSuiteKey, kInstallDirValue, RRF_RT_REG_SZ, nullptr, value.data(), &size) !=
        ERROR_SUCCESS) {
        return L"";
    }
    return WithBackslash(value.data());
}

std::wstring SuiteFolder() {
    const std::wstring registered = RegistryFolder();
    if (!registered.empty()) return registered;
    for (const lib::KernelHandle& launcher : RunningLaunchers(L"")) {
        const std::wstring image = ImagePath(launcher.get());
        if (!image.empty()) return lib::FolderOf(image);
    }
    return L"";
}

// Waits until no launcher from `folder` runs; false when one still runs at the deadline.
bool WaitForLaunchers(const std::wstring& folder, RunLog& log) {
    const ULONGLONG deadline = ::GetTickCount64() + kLauncherEndWait;
    for (;;) {
        std::vector<lib::KernelHandle> running = RunningLaunchers(folder);
        if (running.empty()) return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        log.Write(L"waiting for " + std::to_wstring(running.size()) + L" running launcher(s)");
        std::vector<HANDLE> handles;
        for (const lib::KernelHandle& process : running) {
            if (handles.size() == MAXIMUM_WAIT_OBJECTS) break;
            handles.push_back(process.get());
        }
        const DWORD result = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE,
                                                      static_cast<DWORD>(deadline - now));
        if (result == WAIT_FAILED) ::Sleep(kReplaceRetryInterval);
    }
}

bool WriteWholeFile(const std::wstring& path, const void* data, DWORD size) {
    lib::FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return ::WriteFile(file.get(), data, size, &written, nullptr) && written == size && ::FlushFileBuffers(file.get());
}

bool ReplaceWithRetries(const std::wstring& source, const std::wstring& target) {
    const ULONGLONG deadline = ::GetTickCount64() + kReplaceRetryTime;
    for (;;) {
        if (::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return true;
        }
        if (::GetTickCount64() >= deadline) return false;
        ::Sleep(kReplaceRetryInterval);
    }
}

int Install(RunLog& log) {
    HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(kPayloadId), MAKEINTRESOURCEW(10));  // RT_RCDATA
    HGLOBAL loaded = resource ? ::LoadResource(nullptr, resource) : nullptr;
    const void* payload = loaded ? ::LockResource(loaded) : nullptr;
    const DWORD payloadSize = resource ? ::SizeofResource(nullptr, resource) : 0;
    if (!payload || payloadSize == 0) {
        log.Write(L"no launcher carried [ERR:" + ErrorText(::GetLastError()) + L"]");
        return kNoPayload;
    }

    const std::wstring folder = SuiteFolder();
    if (folder.empty() || !IsFolder(folder)) {
        log.Write(L"suite folder not found: \"" + folder + L"\"");
        return kNoSuiteFolder;
    }
    log.Write(L"suite folder " + folder);

    if (!WaitForLaunchers(folder, log)) {
        log.Write(L"the launcher is still running");
        return kLauncherStillRunning;
    }

    const std::wstring target = folder + kLauncherFile;
    const std::wstring fresh = target + L".new";
    if (!WriteWholeFile(fresh, payload, payloadSize)) {
        log.Write(L"cannot write " + fresh + L" [ERR:" + ErrorText(::GetLastError()) + L"]");
        ::DeleteFileW(fresh.c_str());
        return kWriteFailed;
    }
    if (!ReplaceWithRetries(fresh, target)) {
        log.Write(L"cannot replace " + target + L" [ERR:" + ErrorText(::GetLastError()) + L"]");
        ::DeleteFileW(fresh.c_str());
        return kReplaceFailed;
    }
    log.Write(L"replaced " + target + L" (" + std::to_wstring(payloadSize) + L" bytes)");
    return kDone;
}

int Run() {
    RunLog log;
    log.Write(std::wstring(L"start: ") + ::GetCommandLineW());
    bool silent = false;
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (arguments) {
        for (int i = 1; i < count; ++i) {
            const std::wstring argument = arguments[i];
            if (SameText(argument, L"/S")) {
                silent = true;
            } else if (argument.size() >= 2 && SameText(argument.substr(0, 2), L"/v")) {
                log.Write(L"inner installer options: " + argument.substr(2));
            } else {
                log.Write(L"ignored argument: " + argument);
            }
        }
        ::LocalFree(arguments);
    }
    const int result = Install(log);
    log.Write(L"exit " + std::to_wstring(result));
    if (!silent) {
        ::MessageBoxW(nullptr,
                      result == kDone ? L"Ravelin ランチャーを更新しました。"
                                      : L"Ravelin ランチャーを更新できませんでした。",
                      L"Ravelin セットアップ（デモ）", result == kDone ? MB_ICONINFORMATION : MB_ICONERROR);
    }
    return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        return Run();
    } catch (const std::exception&) {
        return kInternalError;
    }
}
