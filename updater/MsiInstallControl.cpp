#include "updater/MsiInstallControl.h"

#include <shellapi.h>

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "log/KilnLogWrapper.h"
#include "updater/HeldPackage.h"
#include "updater/MsiInstall.h"
#include "updater/MsiInstallCallback.h"
#include "updater/MsiInstallCommonRequest.h"

namespace MsiInstaller {
namespace {

// Windows Installer answers a cancel at its next progress message, yet a
// rollback may take a while; it is never cut short.
constexpr DWORD kStopWait = 120000;

std::unique_ptr<MsiInstallControl>& Instance() {
    static std::unique_ptr<MsiInstallControl> instance;
    return instance;
}

// The record's path up to its terminator, never beyond the field.
std::string PackagePath(const InstallRequestRecord& record) {
    return std::string(record.PathPackage, ::strnlen(record.PathPackage, sizeof record.PathPackage));
}

}  // namespace

MsiInstallControl& MsiInstallControl::GetInstance() {
    std::unique_ptr<MsiInstallControl>& instance = Instance();
    if (!instance) instance = std::make_unique<MsiInstallControl>();
    return *instance;
}

void MsiInstallControl::DeleteInstance() { Instance().reset(); }

MsiInstallControl::MsiInstallControl() : MsiInstallControl(PackageTrust::OfThisProgram()) {}

MsiInstallControl::MsiInstallControl(std::shared_ptr<const PackageTrust> trust) : trust_(std::move(trust)) {}

bool MsiInstallControl::Start() { return thread_.Start(); }

bool MsiInstallControl::Stop() {
    Cancel();
    return thread_.Stop(kStopWait);
}

void MsiInstallControl::QueueInstall(const InstallRequestRecord& record) {
    auto request = std::make_unique<MsiInstallCommonRequest>(trust_, record.InstallType, record.APLType,
                                                             RecordWindowHandle(record.NotifyWindow),
                                                             record.NotifyMessage, PackagePath(record));
    // A worker that cannot be started now is tried again with the next request.
    thread_.Start();
    thread_.Append(std::move(request));
}

void MsiInstallControl::Cancel() {
    MsiInstall::GetInstance().Cancel();
    thread_.Clear();
}

void MsiInstallControl::RequestLauncherInstall(const InstallRequestRecord& record) {
    const std::string path = PackagePath(record);
    if (record.InstallType != INSTALLTYPE_REINSTALL || path.empty()) return;
    // Held until the setup process has been created from it.
    const HeldPackage package(path);
    if (trust_->Admit(package)) {
        RunSetup(path);
    } else {
        MsiInstallCallback callback;
        callback.Bind(RecordWindowHandle(record.NotifyWindow), record.NotifyMessage, record.APLType);
        callback.EndRefused();
    }
    ::PostQuitMessage(0);
}

void MsiInstallControl::RunSetup(const std::string& path) {
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof execute;
    execute.hwnd = ::GetDesktopWindow();
    execute.lpVerb = "open";
    execute.lpFile = path.c_str();
    execute.lpParameters = "/S /v/passive";
    execute.nShow = SW_HIDE;
    if (!::ShellExecuteExA(&execute)) {
        KILNLOG.Write(kLogError, "MsiInstallControl::RequestLauncherInstall[ERROR:0x%08X]",
                      static_cast<unsigned>(::GetLastError()));
    }
}

}  // namespace MsiInstaller
