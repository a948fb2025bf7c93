#include "tests/updater/MsiEngineTestSupport.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "log/LogFolders.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/TestWindow.h"
#include "updater/MsiFunctions.h"
#include "updater/MsiInstall.h"
#include "updater/MsiInstallCallback.h"

namespace msitest {
namespace {

constexpr char kClassName[] = "RavelinMsiEngineTestRecorder";

// The log this test program writes before any log start: "<program>_sys.log".
std::string OwnSystemLog() {
    const std::string own = test::OwnPath();
    const std::string name = own.substr(own.find_last_of('\\') + 1);
    return GetLogFolder() + name.substr(0, name.find_last_of('.')) + "_sys.log";
}

}  // namespace

NotifyRecorder::NotifyRecorder() : message_(::RegisterWindowMessageA("InstallNotifyProgress")) {
    window_ = test::CreateTestWindow(kClassName, &WindowProc, "", 0, HWND_MESSAGE, this);
}

NotifyRecorder::~NotifyRecorder() {
    if (window_) ::DestroyWindow(window_);
}

std::vector<WPARAM> NotifyRecorder::codes() const {
    std::vector<WPARAM> codes;
    for (const Notification& notification : notifications_) codes.push_back(notification.code);
    return codes;
}

size_t NotifyRecorder::Count(WPARAM code) const {
    return static_cast<size_t>(std::count_if(notifications_.begin(), notifications_.end(),
                                             [code](const Notification& n) { return n.code == code; }));
}

bool NotifyRecorder::PumpUntil(WPARAM code, size_t count, DWORD milliseconds) {
    const ULONGLONG deadline = ::GetTickCount64() + milliseconds;
    for (;;) {
        Drain();
        if (Count(code) >= count) return true;
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline) return false;
        ::MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(deadline - now), QS_ALLINPUT,
                                      MWMO_INPUTAVAILABLE);
    }
}

void NotifyRecorder::Drain() {
    MSG message{};
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
}

LRESULT CALLBACK NotifyRecorder::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<NotifyRecorder*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == self->message_) {
        try {
            self->notifications_.push_back({wParam, lParam});
        } catch (...) {
            // A lost record fails the test that looks for it.
        }
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

void SettlePendingCancel() {
    MsiInstaller::MsiInstallCallback unbound;
    MsiInstaller::MsiInstall& install = MsiInstaller::MsiInstall::GetInstance();
    install.SetCallback(&unbound);
    install.OnMessage(INSTALLMESSAGE_TERMINATE, nullptr);
    install.SetCallback(nullptr);
}

LPARAM HighWord(int value) { return MAKELPARAM(0, static_cast<WORD>(value)); }

InstallRequestRecord MakeRecord(std::int32_t applicationType, std::int32_t installType, HWND notifyWindow,
                                UINT notifyMessage, const std::string& packagePath) {
    InstallRequestRecord record{};
    record.APLType = applicationType;
    record.InstallType = installType;
    record.NotifyWindow = RecordWindowValue(notifyWindow);
    record.NotifyMessage = notifyMessage;
    packagePath.copy(record.PathPackage, sizeof record.PathPackage - 1);
    return record;
}

std::string PackagePath(const std::string& name) { return test::BesideSelf("packages\\" + name + ".msi"); }

std::string SignedPath(const std::string& fileName) { return test::BesideSelf("signed\\" + fileName); }

INSTALLSTATE ProductState(const char* productCode) {
    return MsiInstaller::GetMsiFunctions().QueryProductStateA(productCode);
}

bool EnsureAbsent(const char* productCode) {
    if (ProductState(productCode) == INSTALLSTATE_DEFAULT) {
        test::RunToEnd(std::string("msiexec.exe /x ") + productCode + " /qn");
    }
    return ProductState(productCode) != INSTALLSTATE_DEFAULT;
}

std::string InstalledPayloadPath(const std::string& productName) {
    char folder[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, folder))) return "";
    return std::string(folder) + "\\" + productName + "\\payload.txt";
}

std::string InstalledVersionValue(const std::string& productName) {
    char value[64] = {};
    DWORD size = sizeof value;
    const std::string key = "Software\\RavelinTest\\" + productName;
    if (::RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), "Version", RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return "";
    }
    return value;
}

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

LogWatch::LogWatch() : path_(OwnSystemLog()), start_(test::ReadWholeFile(path_).size()) {}

std::string LogWatch::Added() const {
    const std::string text = test::ReadWholeFile(path_);
    return text.size() > start_ ? text.substr(start_) : "";
}

}  // namespace msitest
