#include "tests/demo/DemoSuite.h"

#include <windows.h>
#include <msi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <stdexcept>

#include "launcher/update/ComponentVersions.h"
#include "lib/UniqueHandle.h"
#include "log/LogFolders.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/UpdateService.h"

namespace road {
namespace {

constexpr char kSuiteKey[] = "SOFTWARE\\Halvard\\Ravelin";
constexpr char kServicePath[] = "/pcapp/GetLatestPCAplCommonAPI";

void Require(bool condition, const std::string& what) {
    if (!condition) throw std::runtime_error(what);
}

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH] = {};
    const DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : path;
}

// Deletes the files of a flat folder and the folder itself.
void RemoveFlatFolder(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    const lib::FindHandle search(::FindFirstFileA((folder + "*").c_str(), &found));
    if (search) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                const std::string file = folder + found.cFileName;
                ::SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(file.c_str());
            }
        } while (::FindNextFileA(search.get(), &found));
    }
    ::RemoveDirectoryA(folder.c_str());
}

int ComponentNumber(int flag) {
    switch (flag) {
    case kUpdateManagerFlag: return 2;
    case kTitleEditorFlag: return 3;
    case kCameraManagerFlag: return 4;
    default: throw std::runtime_error("no demo product for flag " + std::to_string(flag));
    }
}

void CopyInto(const std::string& source, const std::string& target) {
    Require(::CopyFileA(source.c_str(), target.c_str(), FALSE) != FALSE,
            "cannot copy " + source + " to " + target + ": error " + std::to_string(::GetLastError()));
}

}  // namespace

std::string DemoFolder() { return FullPath(test::BesideSelf("..\\demo\\")); }

std::string DemoValue(const std::string& key) {
    const std::string text = test::ReadWholeFile(DemoFolder() + "demo-suite.env");
    const std::string prefix = key + "=";
    for (size_t line = 0; line < text.size();) {
        size_t end = text.find('\n', line);
        if (end == std::string::npos) end = text.size();
        if (text.compare(line, prefix.size(), prefix) == 0) {
            std::string value = text.substr(line + prefix.size(), end - line - prefix.size());
            if (!value.empty() && value.back() == '\r') value.pop_back();
            return value;
        }
        line = end + 1;
    }
    throw std::runtime_error("demo-suite.env names no " + key);
}

std::string SuiteFolder() {
    char programFiles[MAX_PATH] = {};
    Require(SUCCEEDED(::SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles)),
            "no Program Files folder");
    return std::string(programFiles) + "\\Ravelin\\ソフト表示\\";
}

std::string SuiteLauncherPath() { return SuiteFolder() + "Ravelin_Launcher.exe"; }
std::string DownloadFolder() { return GetAppDataFolder() + "Download\\"; }
std::string LauncherLogPath() { return GetLogFolder() + "Ravelin_Launcher_sys.log"; }
std::string UpdaterLogPath() { return GetLogFolder() + "RavelinUpdate_sys.log"; }

void LayOutSuite(int absent, const std::string& serviceBase) {
    ::MsiSetInternalUI(INSTALLUILEVEL_NONE, nullptr);
    for (int flag : {kUpdateManagerFlag, kTitleEditorFlag, kCameraManagerFlag}) {
        const std::string product = DemoValue("DEMO_PRODUCT_" + std::to_string(ComponentNumber(flag)));
        if (::MsiQueryProductStateA(product.c_str()) != INSTALLSTATE_UNKNOWN) {
            ::MsiConfigureProductA(product.c_str(), INSTALLLEVEL_DEFAULT, INSTALLSTATE_ABSENT);
        }
    }
    const std::string folder = SuiteFolder();
    RemoveFlatFolder(folder);
    RemoveFlatFolder(DownloadFolder());
    Require(EnsureFolder(folder), "cannot make " + folder);

    lib::RegistryKey key;
    HKEY raw = nullptr;
    Require(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSuiteKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw,
                              nullptr) == ERROR_SUCCESS,
            "cannot make the suite's registry key");
    key.reset(raw);
    const std::string value = folder.substr(0, folder.size() - 1);
    ::RegSetValueExA(key.get(), "InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>(value.size() + 1));

    for (int flag : {kUpdateManagerFlag, kTitleEditorFlag, kCameraManagerFlag}) {
        if (absent & flag) continue;
        const std::string number = std::to_string(ComponentNumber(flag));
        const std::string package = DemoFolder() + "packages\\" + DemoValue("DEMO_PACKAGE_" + number + "_V1");
        const UINT result = ::MsiInstallProductA(package.c_str(), "");
        Require(result == ERROR_SUCCESS, package + " did not install: " + std::to_string(result));
        Require(test::FileExists(folder + DemoValue("DEMO_PROGRAM_" + number)),
                package + " installed nothing into " + folder);
    }
    CopyInto(test::BesideSelf("Ravelin_Launcher.exe"), folder + "Ravelin_Launcher.exe");
    CopyInto(test::BesideSelf("RavelinUpdate.exe"), folder + "RavelinUpdate.exe");
    PointConnectionAt(serviceBase);
    Require(test::TrustTestCa(), "the test CA could not be trusted");
}

void OfferUpdates(int offered, const std::string& faults) {
    const std::string packages = DemoFolder() + "packages\\";
    const std::string served = test::ServiceFilesFolder();
    const std::string setup = DemoValue("DEMO_SETUP");
    CopyInto(packages + setup, served + setup);
    for (const char* number : {"2", "3"}) {
        for (const char* tag : {"_V1", "_V2"}) {
            const std::string package = DemoValue(std::string("DEMO_PACKAGE_") + number + tag);
            CopyInto(packages + package, served + package);
        }
    }
    const auto field = [&](const char* versionKey, const char* urlKey, int flag, const std::string& oldVersion,
                           const std::string& newVersion, const std::string& oldFile, const std::string& newFile) {
        const bool offer = (offered & flag) != 0;
        return std::string("\"") + versionKey + "\": \"" + (offer ? newVersion : oldVersion) + "\", \"" + urlKey +
               "\": \"{base}/" + (offer ? newFile : oldFile) + "\"";
    };
    const std::string oldVersion = DemoValue("DEMO_OLD_VERSION"), newVersion = DemoValue("DEMO_NEW_VERSION");
    const std::string reply =
        "{\"RET\": 0, " +
        field("DLVER", "DLURL", kLauncherFlag, DemoValue("DEMO_LAUNCHER_VERSION"),
              DemoValue("DEMO_LAUNCHER_NEW_VERSION"), setup, setup) +
        ", " +
        field("UMVER", "UMURL", kUpdateManagerFlag, oldVersion, newVersion, DemoValue("DEMO_PACKAGE_2_V1"),
              DemoValue("DEMO_PACKAGE_2_V2")) +
        ", " +
        field("MEVER", "MEURL", kTitleEditorFlag, oldVersion, newVersion, DemoValue("DEMO_PACKAGE_3_V1"),
              DemoValue("DEMO_PACKAGE_3_V2")) +
        "}";
    test::SetServiceConfig(test::Service("https"), "{\"reply\": " + reply + ", \"faults\": " + faults + "}");
}

void PointConnectionAt(const std::string& serviceBase) {
    test::WriteWholeFile(SuiteFolder() + "Connection.info", "30," + serviceBase + kServicePath + "\r\n");
}

void AnswerRaw(const std::string& reply) {
    test::SetServiceConfig(test::Service("https"), "{\"raw_reply\": \"" + reply + "\"}");
}

void EndSuitePrograms() {
    if (const HWND updater = ::FindWindowA("VEDAZAVUZUVEZ", "VedaZavuzuvez")) {
        DWORD processId = 0;
        ::GetWindowThreadProcessId(updater, &processId);
        const lib::KernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
        ::PostMessageA(updater, WM_CLOSE, 0, 0);
        if (process) ::WaitForSingleObject(process.get(), 5000);
    }
    const std::string folders[] = {SuiteFolder(), DownloadFolder()};
    const lib::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
        const lib::KernelHandle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                          entry.th32ProcessID));
        if (!process) continue;
        char image[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (!::QueryFullProcessImageNameA(process.get(), 0, image, &length)) continue;
        const std::string path(image, length);
        for (const std::string& folder : folders) {
            if (lstrcmpiA(path.substr(0, folder.size()).c_str(), folder.c_str()) == 0) {
                ::TerminateProcess(process.get(), 1);
                ::WaitForSingleObject(process.get(), 5000);
                break;
            }
        }
    }
}

std::string ProgramVersion(const std::string& path) {
    update::FileVersion version;
    if (!update::ReadFileVersion(path, &version)) return {};
    return std::to_string(version.major) + "." + std::to_string(version.minor) + "." +
           std::to_string(version.build) + "." + std::to_string(version.revision);
}

int ProductState(int flag) {
    return ::MsiQueryProductStateA(DemoValue("DEMO_PRODUCT_" + std::to_string(ComponentNumber(flag))).c_str());
}

}  // namespace road
