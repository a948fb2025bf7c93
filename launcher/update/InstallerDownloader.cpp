#include "launcher/update/InstallerDownloader.h"

#include <process.h>

#include <exception>
#include <utility>

#include "launcher/update/PackageFileName.h"
#include "lib/AnsiPath.h"
#include "lib/AnsiText.h"
#include "lib/CreateDirectories.h"
#include "log/KilnLogWrapper.h"
#include "log/LogFolders.h"

namespace {

constexpr wchar_t kUserAgent[] = L"27KexLPNI/1.000000";
// How long a terminated thread is given to be gone.
constexpr DWORD kTerminateWait = 5000;

}  // namespace

std::string CInstallerDownloader::DefaultDownloadFolder() { return GetAppDataFolder() + "Download\\"; }

CInstallerDownloader::CInstallerDownloader(HWND owner, std::string downloadFolder)
    : abortEvent_(::CreateEventA(nullptr, FALSE, FALSE, "INSTALLERDOWNLOADABORT")),
      owner_(owner),
      downloadFolder_(std::move(downloadFolder)) {}

CInstallerDownloader::~CInstallerDownloader() { Stop(kStopTimeout); }

bool CInstallerDownloader::Start(const std::string& url) {
    {
        lib::wfc::CriticalSectionLock held(lock_);
        if (state_ != kIdle) return false;
        state_ = kStarting;
        completedSize_ = -1;
    }
    // A thread left from an earlier download has set the idle state and is ending.
    if (!Wait(kStopTimeout)) {
        SetState(kIdle);
        return false;
    }
    thread_.reset();
    url_ = url;
    thread_.reset(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &ThreadRoutine, this, 0, nullptr)));
    if (!thread_) SetState(kIdle);
    return thread_.valid();
}

bool CInstallerDownloader::Stop(DWORD timeoutMilliseconds) {
    {
        lib::wfc::CriticalSectionLock held(lock_);
        if (state_ != kIdle) {
            ::SetEvent(abortEvent_.get());
            state_ = kIdle;
        }
    }
    // Joined even when idle: a thread that has just set the idle state may still be running.
    const bool ended = Wait(timeoutMilliseconds);
    if (!ended) {
        ::TerminateThread(thread_.get(), static_cast<DWORD>(-1));
        ::WaitForSingleObject(thread_.get(), kTerminateWait);
    }
    thread_.reset();
    // The event is shared by name: a signal no thread took must not abort the next download.
    ::ResetEvent(abortEvent_.get());
    return ended;
}

bool CInstallerDownloader::Wait(DWORD timeoutMilliseconds) {
    return !thread_ || ::WaitForSingleObject(thread_.get(), timeoutMilliseconds) == WAIT_OBJECT_0;
}

int CInstallerDownloader::GetState() const {
    lib::wfc::CriticalSectionLock held(lock_);
    return state_;
}

std::string CInstallerDownloader::GetPackagePath() const {
    lib::wfc::CriticalSectionLock held(lock_);
    return packagePath_;
}

long long CInstallerDownloader::GetCompletedSize() const {
    lib::wfc::CriticalSectionLock held(lock_);
    return completedSize_;
}

void CInstallerDownloader::SetProgressTarget(HWND window, UINT message) {
    lib::wfc::CriticalSectionLock held(lock_);
    progressWindow_ = window;
    progressMessage_ = message;
    if (http_) http_->SetProgressTarget(window, message);
}

unsigned __stdcall CInstallerDownloader::ThreadRoutine(void* self) {
    return static_cast<unsigned>(static_cast<CInstallerDownloader*>(self)->Run());
}

int CInstallerDownloader::Run() noexcept {
    bool downloaded = false;
    try {
        downloaded = !IsAborted() && Download();
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "ダウンロードスレッド例外 %s", error.what());
    } catch (...) {
        KILNLOG.Write(kLogError, "ダウンロードスレッド例外 unknown exception");
    }
    if (!downloaded && owner_) ::PostMessageA(owner_, ::RegisterWindowMessageA(kDownloadErrorMessage), 0, 0);
    std::unique_ptr<CWinHttpWrapper> finished;
    {
        lib::wfc::CriticalSectionLock held(lock_);
        finished = std::move(http_);
    }
    finished.reset();
    SetState(kIdle);
    // Last: the HTTP worker that posted the progress has ended and the file is written.
    if (downloaded && owner_) ::PostMessageA(owner_, ::RegisterWindowMessageA(kDownloadCompleteMessage), 0, 0);
    return downloaded ? 0 : -1;
}

bool CInstallerDownloader::Download() {
    SetState(kDownloading);
    // Checked before anything is created: the name is joined to the folder.
    const std::string name = update::PackageFileName(url_);
    if (name.empty()) {
        KILNLOG.Write(kLogError, "パッケージファイル名が不正 %s", url_.c_str());
        return false;
    }
    lib::CreateDirectories(downloadFolder_, false);
    const std::string path = lib::JoinPath(downloadFolder_, name);
    {
        lib::wfc::CriticalSectionLock held(lock_);
        packagePath_ = path;
    }

    CWinHttpWrapper& http = NewClient();
    const std::wstring url = lib::FromAnsi(url_);
    if (!http.Initialize(url.c_str(), 0, path.c_str(), true) ||
        !http.Connect(CWinHttpWrapper::kGet, kUserAgent, nullptr) || IsAborted()) {
        return false;
    }
    const lib::KernelHandle worker(http.SendRequest(nullptr, nullptr));
    if (!worker) return false;
    const HANDLE waits[] = {worker.get(), abortEvent_.get()};
    if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        http.Abort(kStopTimeout);
        return false;
    }
    if (http.GetResult() != 0) return false;
    lib::wfc::CriticalSectionLock held(lock_);
    completedSize_ = http.GetResponseSize();
    state_ = kDownloaded;
    return true;
}

CWinHttpWrapper& CInstallerDownloader::NewClient() {
    lib::wfc::CriticalSectionLock held(lock_);
    http_ = std::make_unique<CWinHttpWrapper>();
    http_->SetProgressTarget(progressWindow_, progressMessage_);
    return *http_;
}

bool CInstallerDownloader::IsAborted() const { return ::WaitForSingleObject(abortEvent_.get(), 0) == WAIT_OBJECT_0; }

void CInstallerDownloader::SetState(int state) {
    lib::wfc::CriticalSectionLock held(lock_);
    state_ = state;
}
