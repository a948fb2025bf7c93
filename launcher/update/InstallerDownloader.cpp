#include "launcher/update/InstallerDownloader.h"

#include <process.h>

#include <exception>
#include <utility>

#include "launcher/update/AbandonedThreads.h"
#include "launcher/update/PackageFileName.h"
#include "launcher/update/WinHttpWrapper.h"
#include "lib/AnsiPath.h"
#include "lib/AnsiText.h"
#include "lib/CreateDirectories.h"
#include "lib/wfc/CriticalSection.h"
#include "log/KilnLogWrapper.h"
#include "log/LogFolders.h"

namespace {

constexpr wchar_t kUserAgent[] = L"27KexLPNI/1.000000";
// How long the download thread, once stopped, gives the HTTP worker to end:
// one that moves data ends within some 20 ms, one that is blocked is left.
constexpr DWORD kWorkerStopWait = 200;

}  // namespace

// One download: everything its thread touches, so that a thread left behind
// by a stop needs nothing of the downloader.
class CInstallerDownloader::Job {
public:
    Job(HWND owner, std::string folder, std::string url, HWND progressWindow, UINT progressMessage)
        : owner_(owner),
          folder_(std::move(folder)),
          url_(std::move(url)),
          // Each download its own: a signal meant for one must not stop another.
          abortEvent_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          progressWindow_(progressWindow),
          progressMessage_(progressMessage) {}

    // The thread's work: 0 when the package was downloaded, else -1.
    int Run() noexcept {
        bool downloaded = false;
        try {
            downloaded = !Stopped() && Download();
        } catch (const std::exception& error) {
            KILNLOG.Write(kLogError, "ダウンロードスレッド例外 %s", error.what());
        } catch (...) {
            KILNLOG.Write(kLogError, "ダウンロードスレッド例外 unknown exception");
        }
        if (!downloaded) Post(kDownloadErrorMessage);
        std::unique_ptr<CWinHttpWrapper> finished;
        {
            lib::wfc::CriticalSectionLock held(lock_);
            finished = std::move(http_);
        }
        finished.reset();
        SetState(kIdle);
        // Last: the HTTP worker that posted the progress has ended and the file is in place.
        if (downloaded) Post(kDownloadCompleteMessage);
        return downloaded ? 0 : -1;
    }

    void Abort() {
        lib::wfc::CriticalSectionLock held(lock_);
        stopped_ = true;
        state_ = kIdle;
        ::SetEvent(abortEvent_.get());
        if (http_) http_->Cancel();
    }

    void SetProgressTarget(HWND window, UINT message) {
        lib::wfc::CriticalSectionLock held(lock_);
        progressWindow_ = window;
        progressMessage_ = message;
        if (http_) http_->SetProgressTarget(window, message);
    }

    void SetState(int state) {
        lib::wfc::CriticalSectionLock held(lock_);
        if (!stopped_) state_ = state;
    }
    int State() const {
        lib::wfc::CriticalSectionLock held(lock_);
        return state_;
    }
    std::string PackagePath() const {
        lib::wfc::CriticalSectionLock held(lock_);
        return packagePath_;
    }
    long long CompletedSize() const {
        lib::wfc::CriticalSectionLock held(lock_);
        return completedSize_;
    }

private:
    bool Download() {
        SetState(kDownloading);
        // Checked before anything is created: the name is joined to the folder.
        const std::string name = update::PackageFileName(url_);
        if (name.empty()) {
            KILNLOG.Write(kLogError, "パッケージファイル名が不正 %s", url_.c_str());
            return false;
        }
        lib::CreateDirectories(folder_, false);
        const std::string path = lib::JoinPath(folder_, name);
        {
            lib::wfc::CriticalSectionLock held(lock_);
            packagePath_ = path;
        }

        CWinHttpWrapper& http = NewClient();
        const std::wstring url = lib::FromAnsi(url_);
        if (!http.Initialize(url.c_str(), 0, path.c_str(), false) ||
            !http.Connect(CWinHttpWrapper::kGet, kUserAgent, nullptr) || Stopped()) {
            return false;
        }
        const lib::KernelHandle worker(http.SendRequest(nullptr, nullptr));
        if (!worker) return false;
        const HANDLE waits[] = {worker.get(), abortEvent_.get()};
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
            http.Abort(kWorkerStopWait);
            return false;
        }
        if (http.GetResult() != 0) return false;
        lib::wfc::CriticalSectionLock held(lock_);
        if (stopped_) return false;
        completedSize_ = http.GetResponseSize();
        state_ = kDownloaded;
        return true;
    }

    // The HTTP client of this download, made on the download thread and
    // reachable by Abort and SetProgressTarget under the lock.
    CWinHttpWrapper& NewClient() {
        lib::wfc::CriticalSectionLock held(lock_);
        http_ = std::make_unique<CWinHttpWrapper>();
        http_->SetProgressTarget(progressWindow_, progressMessage_);
        if (stopped_) http_->Cancel();
        return *http_;
    }

    bool Stopped() const {
        lib::wfc::CriticalSectionLock held(lock_);
        return stopped_;
    }

    // Under the lock Abort takes: a stopped download reaches no window.
    void Post(const char* message) {
        lib::wfc::CriticalSectionLock held(lock_);
        if (!stopped_ && owner_) ::PostMessageA(owner_, ::RegisterWindowMessageA(message), 0, 0);
    }

    const HWND owner_;
    const std::string folder_;
    const std::string url_;
    const lib::KernelHandle abortEvent_;
    mutable lib::wfc::CCriticalSection lock_;
    std::unique_ptr<CWinHttpWrapper> http_;  // under lock_
    HWND progressWindow_;                    // under lock_
    UINT progressMessage_;                   // under lock_
    bool stopped_ = false;                   // under lock_
    int state_ = kStarting;                  // under lock_
    std::string packagePath_;                // under lock_
    long long completedSize_ = -1;           // under lock_
};

std::string CInstallerDownloader::DefaultDownloadFolder() { return GetAppDataFolder() + "Download\\"; }

CInstallerDownloader::CInstallerDownloader(HWND owner, std::string downloadFolder)
    : owner_(owner), downloadFolder_(std::move(downloadFolder)) {}

CInstallerDownloader::~CInstallerDownloader() { Stop(kStopTimeout); }

bool CInstallerDownloader::Start(const std::string& url) {
    if (GetState() != kIdle) return false;
    // A thread left from an earlier download has set the idle state and is ending.
    if (!Wait(kStopTimeout)) return false;
    thread_.reset();
    auto job = std::make_shared<Job>(owner_, downloadFolder_, url, progressWindow_, progressMessage_);
    auto owner = std::make_unique<std::shared_ptr<Job>>(job);
    thread_.reset(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &ThreadRoutine, owner.get(), 0, nullptr)));
    if (!thread_) return false;
    owner.release();  // the thread's now
    job_ = std::move(job);
    return true;
}

void CInstallerDownloader::Abort() {
    if (job_) job_->Abort();
}

bool CInstallerDownloader::Stop(DWORD timeoutMilliseconds) {
    Abort();
    // Joined even when idle: a thread that has just set the idle state may still be running.
    const bool ended = Wait(timeoutMilliseconds);
    if (ended)
        thread_.reset();
    else
        update::AbandonThread(std::move(thread_));
    return ended;
}

bool CInstallerDownloader::Wait(DWORD timeoutMilliseconds) {
    return !thread_ || ::WaitForSingleObject(thread_.get(), timeoutMilliseconds) == WAIT_OBJECT_0;
}

int CInstallerDownloader::GetState() const { return job_ ? job_->State() : kIdle; }

std::string CInstallerDownloader::GetPackagePath() const { return job_ ? job_->PackagePath() : std::string(); }

long long CInstallerDownloader::GetCompletedSize() const { return job_ ? job_->CompletedSize() : -1; }

void CInstallerDownloader::SetProgressTarget(HWND window, UINT message) {
    progressWindow_ = window;
    progressMessage_ = message;
    if (job_) job_->SetProgressTarget(window, message);
}

unsigned __stdcall CInstallerDownloader::ThreadRoutine(void* owner) {
    const std::unique_ptr<std::shared_ptr<Job>> job(static_cast<std::shared_ptr<Job>*>(owner));
    return static_cast<unsigned>((*job)->Run());
}
