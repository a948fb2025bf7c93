#include "launcher/update/DownLoadCtrl.h"

#include <process.h>

#include <array>
#include <cstring>
#include <exception>
#include <mutex>
#include <utility>

#include "launcher/update/AbandonedThreads.h"
#include "launcher/update/ConnectionFile.h"
#include "launcher/update/WinHttpWrapper.h"
#include "log/KilnLogWrapper.h"
#include "log/ProgramFile.h"
#include "lib/AnsiText.h"

namespace {

constexpr wchar_t kUserAgent[] = L"27KexLPNI/1.000000";
constexpr wchar_t kContentType[] = L"application/x-www-form-urlencoded";
// Result code of an empty reply.
constexpr int kEmptyReplyResult = 153;
// Bits of a message code left to the service's result code: the rest is the category.
constexpr unsigned kServiceResultBits = 0x000FFFFF;
// How long the query thread, once stopped, gives the HTTP worker to end.
constexpr DWORD kWorkerStopWait = 200;

bool IsValidNumber(int number) { return number >= 1 && number <= update::kComponentCount; }

std::size_t Slot(int number) { return static_cast<std::size_t>(number - 1); }

// The service's reply into `reply`; false when it is not understood.
bool ParseReply(const BYTE* data, long long size, update::ServiceReply* reply) {
    if (!data || size <= 0) {
        CKilnLogWrapper("DownLoadCtrl", 537)
            .Write(kLogError, "CDownLoadCtrl::ParseURLData failure [ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        reply->result = kEmptyReplyResult;
        reply->resultAnswered = true;
        return false;
    }
    // The reply is read as a C string: a NUL byte ends it.
    const char* text = reinterpret_cast<const char*>(data);
    return update::ParseServiceReply(std::string(text, strnlen(text, static_cast<std::size_t>(size))), reply);
}

}  // namespace

// One service query: everything its thread touches, so that a thread left
// behind by a stop needs nothing of the control.
class CDownLoadCtrl::Query {
public:
    Query(HWND owner, UINT endMessage, std::string serviceUrl)
        : owner_(owner),
          endMessage_(endMessage),
          serviceUrl_(std::move(serviceUrl)),
          // Each query its own: a stop meant for an old query must not reach a new one.
          abortEvent_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

    // The thread's work: 0 when the reply was understood, else -1.
    int Run() noexcept {
        int result = -1;
        try {
            if (!Stopped()) result = Ask();
        } catch (const std::exception& error) {
            KILNLOG.Write(kLogError, "_GetURLThread 例外 %s", error.what());
        } catch (...) {
            KILNLOG.Write(kLogError, "_GetURLThread 例外 unknown exception");
        }
        std::unique_ptr<CWinHttpWrapper> finished;
        {
            std::lock_guard<std::mutex> guard(lock_);
            finished = std::move(http_);
        }
        finished.reset();
        Post(endMessage_, 0, static_cast<LPARAM>(result));
        return result;
    }

    void Abort() {
        std::lock_guard<std::mutex> guard(lock_);
        stopped_ = true;
        ::SetEvent(abortEvent_.get());
        if (http_) http_->Cancel();
    }

    // Moves the reply to `reply` once the query has one, a single time; false otherwise.
    bool TakeReply(update::ServiceReply* reply) {
        std::lock_guard<std::mutex> guard(lock_);
        if (!replied_) return false;
        *reply = std::move(reply_);
        replied_ = false;
        return true;
    }

private:
    int Ask() {
        const std::wstring url =
            lib::FromAnsi(serviceUrl_.empty() ? update::GetConnectionUrl(update::kUpdateServiceId) : serviceUrl_);
        CWinHttpWrapper& http = NewClient();
        if (!http.Initialize(url.c_str(), 0, nullptr, true)) {
            CKilnLogWrapper("DownLoadCtrl", 388)
                .Write(kLogError, "_GetURLThread Initialize fail [ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
            return -1;
        }
        if (!http.Connect(CWinHttpWrapper::kPost, kUserAgent, nullptr)) {
            CKilnLogWrapper("DownLoadCtrl", 394)
                .Write(kLogError, "_GetURLThread Connect fail [ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
            return -1;
        }
        if (Stopped()) return -1;
        const lib::KernelHandle worker(http.SendRequestWithBody(nullptr, 0, kContentType, nullptr, nullptr));
        if (!worker) return -1;
        const HANDLE waits[] = {worker.get(), abortEvent_.get()};
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
            http.Abort(kWorkerStopWait);
            return -1;
        }
        const int requestResult = http.GetResult();
        if (requestResult != 0) {
            Post(::RegisterWindowMessageA(kNotifyErrorMessage),
                 kRequestFailedCode | (static_cast<unsigned>(requestResult) & 0xFFFF), 0);
            CKilnLogWrapper("DownLoadCtrl", 411)
                .Write(kLogError, "_GetURLThread GetResponse fail [ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
            return -1;
        }
        update::ServiceReply reply;
        const bool understood = ParseReply(http.GetResponseData(), http.GetResponseSize(), &reply);
        std::lock_guard<std::mutex> guard(lock_);
        if (stopped_) return -1;
        // Only a code the service answered is shown; a reply without one is just not understood.
        if (reply.resultAnswered && reply.result != 0 && owner_) {
            ::PostMessageA(owner_, ::RegisterWindowMessageA(kNotifyErrorMessage),
                           kServiceResultCode | (static_cast<unsigned>(reply.result) & kServiceResultBits), 0);
        }
        reply_ = std::move(reply);
        replied_ = true;
        return understood ? 0 : -1;
    }

    // The HTTP client of this query, made on the query thread and reachable by Abort under the lock.
    CWinHttpWrapper& NewClient() {
        std::lock_guard<std::mutex> guard(lock_);
        http_ = std::make_unique<CWinHttpWrapper>();
        if (stopped_) http_->Cancel();
        return *http_;
    }

    bool Stopped() {
        std::lock_guard<std::mutex> guard(lock_);
        return stopped_;
    }

    // Under the lock Abort takes: a stopped query reaches no window.
    void Post(UINT message, WPARAM wParam, LPARAM lParam) {
        std::lock_guard<std::mutex> guard(lock_);
        if (!stopped_ && owner_) ::PostMessageA(owner_, message, wParam, lParam);
    }

    const HWND owner_;
    const UINT endMessage_;
    const std::string serviceUrl_;
    const lib::KernelHandle abortEvent_;
    std::mutex lock_;
    std::unique_ptr<CWinHttpWrapper> http_;  // under lock_
    bool stopped_ = false;                   // under lock_
    update::ServiceReply reply_;             // under lock_
    bool replied_ = false;                   // under lock_
};

CDownLoadCtrl::CDownLoadCtrl(std::string downloadFolder) : downloadFolder_(std::move(downloadFolder)) {}

CDownLoadCtrl::~CDownLoadCtrl() { StopAll(); }

void CDownLoadCtrl::SetOwner(HWND window, UINT message) {
    ownerWindow_ = window;
    resultMessage_ = message;
}

void CDownLoadCtrl::SetServiceUrl(std::string url) { serviceUrl_ = std::move(url); }

void CDownLoadCtrl::SetProgramFolder(std::string folder) { programFolder_ = std::move(folder); }

void CDownLoadCtrl::SetProgressTarget(int number, HWND window, UINT message) {
    if (!IsValidNumber(number)) return;
    progressTargets_[Slot(number)] = {window, message};
    if (downloaders_[Slot(number)]) downloaders_[Slot(number)]->SetProgressTarget(window, message);
}

bool CDownLoadCtrl::StartQuery() {
    if (queryThread_) {
        if (::WaitForSingleObject(queryThread_.get(), 0) != WAIT_OBJECT_0) return false;
        queryThread_.reset();
    }
    Reply();
    auto query = std::make_shared<Query>(ownerWindow_, resultMessage_, serviceUrl_);
    auto owner = std::make_unique<std::shared_ptr<Query>>(query);
    queryThread_.reset(
        reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &QueryThreadRoutine, owner.get(), 0, nullptr)));
    if (!queryThread_) return false;
    owner.release();  // the thread's now
    query_ = std::move(query);
    return true;
}

bool CDownLoadCtrl::ParseURLData(const BYTE* data, int size) {
    Reply();
    return ParseReply(data, size, &reply_);
}

const update::ServiceReply& CDownLoadCtrl::Reply() const {
    if (query_) query_->TakeReply(&reply_);
    return reply_;
}

int CDownLoadCtrl::GetServiceResult() const { return Reply().result; }

int CDownLoadCtrl::CheckHaveNewVersion() const {
    const update::ServiceReply& reply = Reply();
    std::array<std::string, update::kComponentCount> versions;
    for (std::size_t i = 0; i < versions.size(); ++i) versions[i] = reply.components[i].version;
    return update::CheckHaveNewVersion(programFolder_.empty() ? kilnlog::ProgramFolder() : programFolder_, versions);
}

bool CDownLoadCtrl::StartDownload(int number) {
    if (!IsValidNumber(number)) return false;
    std::unique_ptr<CInstallerDownloader>& downloader = downloaders_[Slot(number)];
    if (!downloader) downloader = std::make_unique<CInstallerDownloader>(ownerWindow_, downloadFolder_);
    const ProgressTarget& target = progressTargets_[Slot(number)];
    if (target.window) downloader->SetProgressTarget(target.window, target.message);
    const std::string url = Reply().components[Slot(number)].url;
    if (!url.empty()) return downloader->Start(url);
    // A component to install without a package would leave the window waiting for ever.
    if (ownerWindow_)
        ::PostMessageA(ownerWindow_, ::RegisterWindowMessageA(CInstallerDownloader::kDownloadErrorMessage), 0, 0);
    return false;
}

CInstallerDownloader* CDownLoadCtrl::GetDownloader(int number) const {
    return IsValidNumber(number) ? downloaders_[Slot(number)].get() : nullptr;
}

std::string CDownLoadCtrl::GetPackagePath(int number) const {
    const CInstallerDownloader* downloader = GetDownloader(number);
    return downloader ? downloader->GetPackagePath() : std::string();
}

// Everything is told to stop first, so that the waits overlap and share one bound.
void CDownLoadCtrl::StopAll() {
    Reply();
    for (std::unique_ptr<CInstallerDownloader>& downloader : downloaders_) {
        if (downloader) downloader->Abort();
    }
    if (query_) query_->Abort();
    const DWORD start = ::GetTickCount();
    const auto left = [start] {
        const DWORD elapsed = ::GetTickCount() - start;
        return elapsed < kStopTimeout ? kStopTimeout - elapsed : 0;
    };
    for (std::unique_ptr<CInstallerDownloader>& downloader : downloaders_) {
        if (!downloader) continue;
        downloader->Stop(left());
        downloader.reset();
    }
    if (queryThread_ && ::WaitForSingleObject(queryThread_.get(), left()) != WAIT_OBJECT_0)
        update::AbandonThread(std::move(queryThread_));
    queryThread_.reset();
    query_.reset();
}

unsigned __stdcall CDownLoadCtrl::QueryThreadRoutine(void* owner) {
    const std::unique_ptr<std::shared_ptr<Query>> query(static_cast<std::shared_ptr<Query>*>(owner));
    return static_cast<unsigned>((*query)->Run());
}
