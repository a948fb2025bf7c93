#include "launcher/update/DownLoadCtrl.h"

#include <process.h>

#include <array>
#include <cstring>
#include <exception>
#include <utility>

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
constexpr DWORD kTerminateWait = 5000;

bool IsValidNumber(int number) { return number >= 1 && number <= update::kComponentCount; }

std::size_t Slot(int number) { return static_cast<std::size_t>(number - 1); }

}  // namespace

CDownLoadCtrl::CDownLoadCtrl(std::string downloadFolder)
    : queryAbortEvent_(::CreateEventA(nullptr, FALSE, FALSE, "INSTALLERDOWNLOADURLABORT")),
      downloadFolder_(std::move(downloadFolder)) {}

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
    queryThread_.reset(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &QueryThreadRoutine, this, 0, nullptr)));
    return queryThread_.valid();
}

bool CDownLoadCtrl::ParseURLData(const BYTE* data, int size) {
    if (!data || size <= 0) {
        CKilnLogWrapper("DownLoadCtrl", 537)
            .Write(kLogError, "CDownLoadCtrl::ParseURLData failure [ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        reply_.result = kEmptyReplyResult;
        reply_.resultAnswered = true;
        return false;
    }
    // The reply is read as a C string: a NUL byte ends it.
    const char* text = reinterpret_cast<const char*>(data);
    return update::ParseServiceReply(std::string(text, strnlen(text, static_cast<std::size_t>(size))), &reply_);
}

int CDownLoadCtrl::CheckHaveNewVersion() const {
    std::array<std::string, update::kComponentCount> versions;
    for (std::size_t i = 0; i < versions.size(); ++i) versions[i] = reply_.components[i].version;
    return update::CheckHaveNewVersion(programFolder_.empty() ? kilnlog::ProgramFolder() : programFolder_, versions);
}

bool CDownLoadCtrl::StartDownload(int number) {
    if (!IsValidNumber(number)) return false;
    std::unique_ptr<CInstallerDownloader>& downloader = downloaders_[Slot(number)];
    if (!downloader) downloader = std::make_unique<CInstallerDownloader>(ownerWindow_, downloadFolder_);
    const ProgressTarget& target = progressTargets_[Slot(number)];
    if (target.window) downloader->SetProgressTarget(target.window, target.message);
    const std::string& url = reply_.components[Slot(number)].url;
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

void CDownLoadCtrl::StopAll() {
    for (std::unique_ptr<CInstallerDownloader>& downloader : downloaders_) {
        if (!downloader) continue;
        downloader->Stop(kStopTimeout);
        downloader.reset();
    }
    if (!queryThread_) return;
    ::SetEvent(queryAbortEvent_.get());
    if (::WaitForSingleObject(queryThread_.get(), kStopTimeout) != WAIT_OBJECT_0) {
        ::TerminateThread(queryThread_.get(), static_cast<DWORD>(-1));
        ::WaitForSingleObject(queryThread_.get(), kTerminateWait);
    }
    queryThread_.reset();
    // A query that had already ended left the signal untaken.
    ::ResetEvent(queryAbortEvent_.get());
}

unsigned __stdcall CDownLoadCtrl::QueryThreadRoutine(void* self) {
    return static_cast<unsigned>(static_cast<CDownLoadCtrl*>(self)->_GetURLThread());
}

int CDownLoadCtrl::_GetURLThread() noexcept {
    if (::WaitForSingleObject(queryAbortEvent_.get(), 0) == WAIT_OBJECT_0) return -1;
    int result = -1;
    try {
        result = QueryService();
    } catch (const std::exception& error) {
        KILNLOG.Write(kLogError, "_GetURLThread 例外 %s", error.what());
    } catch (...) {
        KILNLOG.Write(kLogError, "_GetURLThread 例外 unknown exception");
    }
    if (ownerWindow_) ::PostMessageA(ownerWindow_, resultMessage_, 0, static_cast<LPARAM>(result));
    return result;
}

int CDownLoadCtrl::QueryService() {
    const std::wstring url =
        lib::FromAnsi(serviceUrl_.empty() ? update::GetConnectionUrl(update::kUpdateServiceId) : serviceUrl_);
    CWinHttpWrapper http;
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
    const lib::KernelHandle worker(http.SendRequestWithBody(nullptr, 0, kContentType, nullptr, nullptr));
    if (!worker) return -1;
    const HANDLE waits[] = {worker.get(), queryAbortEvent_.get()};
    if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
        http.Abort(kStopTimeout);
        return -1;
    }
    const int requestResult = http.GetResult();
    if (requestResult != 0) {
        PostNotifyError(kRequestFailedCode | (static_cast<unsigned>(requestResult) & 0xFFFF));
        CKilnLogWrapper("DownLoadCtrl", 411)
            .Write(kLogError, "_GetURLThread GetResponse fail [ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        return -1;
    }
    const bool understood = ParseURLData(http.GetResponseData(), http.GetResponseSize());
    // Only a code the service answered is shown; a reply without one is just not understood.
    if (reply_.resultAnswered && reply_.result != 0)
        PostNotifyError(kServiceResultCode | (static_cast<unsigned>(reply_.result) & kServiceResultBits));
    return understood ? 0 : -1;
}

void CDownLoadCtrl::PostNotifyError(unsigned code) const {
    if (ownerWindow_) ::PostMessageA(ownerWindow_, ::RegisterWindowMessageA(kNotifyErrorMessage), code, 0);
}
