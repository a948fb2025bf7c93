#include "launcher/update/WinHttpWrapper.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "launcher/update/AbandonedThreads.h"
#include "launcher/update/HttpExchange.h"
#include "log/KilnLogWrapper.h"

namespace {

// How long Close gives a worker to end before leaving it to end by itself.
constexpr DWORD kCloseWait = 200;

lib::KernelHandle Duplicate(HANDLE handle) {
    HANDLE process = ::GetCurrentProcess();
    HANDLE copy = nullptr;
    if (handle == nullptr || !::DuplicateHandle(process, handle, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return lib::KernelHandle();
    return lib::KernelHandle(copy);
}

}  // namespace

CWinHttpWrapper::CWinHttpWrapper(const wchar_t* proxy) {
    char name[32];
    std::snprintf(name, sizeof(name), "EventHttpAbort_%X", static_cast<unsigned>(::GetCurrentThreadId()));
    runEvent_.reset(::CreateEventA(nullptr, TRUE, TRUE, name));
    update::HttpExchange::Settings settings;
    if (proxy != nullptr) settings.proxyOverride = proxy;
    settings.timeout = kDefaultTimeout;
    exchange_ = std::make_shared<update::HttpExchange>(std::move(settings), Duplicate(runEvent_.get()));
}

CWinHttpWrapper::~CWinHttpWrapper() { Close(); }

// Every request gets an exchange of its own, so that nothing of a worker
// left behind is shared with the next request.
bool CWinHttpWrapper::Initialize(const wchar_t* url, INTERNET_PORT port, const char* targetPath, bool memoryMode) {
    if (closed_ || WorkerRunning() || exchange_->Ready()) return false;
    auto next = std::make_shared<update::HttpExchange>(exchange_->CurrentSettings(), Duplicate(runEvent_.get()));
    next->Prepare(url, port, targetPath, memoryMode);
    {
        std::lock_guard<std::mutex> guard(exchangeLock_);
        exchange_ = std::move(next);
    }
    worker_.reset();
    abandoned_ = false;
    ::SetEvent(runEvent_.get());
    return true;
}

bool CWinHttpWrapper::Connect(int verb, const wchar_t* userAgent, const wchar_t* proxy) {
    if (closed_ || WorkerRunning()) return false;
    return exchange_->Connect(verb, userAgent, proxy);
}

HANDLE CWinHttpWrapper::SendRequest(const wchar_t* proxyUser, const wchar_t* proxyPassword) {
    if (closed_ || WorkerRunning() || !exchange_->Ready()) return nullptr;
    ::SetEvent(runEvent_.get());
    exchange_->StoreCredentials(proxyUser, proxyPassword);
    return StartWorker(exchange_->StartSend());
}

HANDLE CWinHttpWrapper::SendRequestWithBody(const void* body, DWORD bodySize, const wchar_t* contentType,
                                            const wchar_t* proxyUser, const wchar_t* proxyPassword) {
    if (closed_ || WorkerRunning() || !exchange_->Ready()) return nullptr;
    ::SetEvent(runEvent_.get());
    if (contentType == nullptr || (body == nullptr && bodySize != 0)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!exchange_->StoreUpload(body, bodySize, contentType)) return nullptr;
    exchange_->StoreCredentials(proxyUser, proxyPassword);
    return StartWorker(exchange_->StartUpload());
}

// The caller gets a handle of its own. Without one, the worker is stopped and
// left to end (at once: it looks at the stop first).
HANDLE CWinHttpWrapper::StartWorker(lib::KernelHandle worker) {
    worker_ = std::move(worker);
    if (!worker_) return nullptr;
    lib::KernelHandle callerCopy = Duplicate(worker_.get());
    if (!callerCopy) {
        const DWORD error = ::GetLastError();
        Abort(0);
        ::SetLastError(error);
    }
    return callerCopy.release();
}

void CWinHttpWrapper::Cancel() {
    ::ResetEvent(runEvent_.get());
    std::lock_guard<std::mutex> guard(exchangeLock_);
    exchange_->Stop();
}

bool CWinHttpWrapper::Abort(DWORD timeoutMilliseconds) {
    Cancel();
    if (!worker_) return true;
    switch (::WaitForSingleObject(worker_.get(), timeoutMilliseconds)) {
    case WAIT_OBJECT_0:
        worker_.reset();
        return true;
    case WAIT_TIMEOUT:
        CKilnLogWrapper("WinHttpWrapper", 255)
            .Write(kLogError, "中断要求にタイムアウトしました[ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        break;
    default:
        CKilnLogWrapper("WinHttpWrapper", 264)
            .Write(kLogError, "中断要求に失敗しました[ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        break;
    }
    abandoned_ = true;
    update::AbandonThread(std::move(worker_));
    return false;
}

void CWinHttpWrapper::SetProgressTarget(HWND window, UINT message) {
    std::lock_guard<std::mutex> guard(exchangeLock_);
    exchange_->SetProgressTarget(window, message);
}

void CWinHttpWrapper::Close() {
    if (closed_) return;
    closed_ = true;
    // A worker left running keeps the exchange; this object only lets go of it.
    if (WorkerRunning() && !Abort(kCloseWait)) return;
    exchange_->Release();
}

int CWinHttpWrapper::GetResult() const { return abandoned_ ? kAborted : exchange_->Result(); }

const BYTE* CWinHttpWrapper::GetResponseData() const { return abandoned_ ? nullptr : exchange_->ResponseData(); }

long long CWinHttpWrapper::GetResponseSize() const { return abandoned_ ? 0 : exchange_->ResponseSize(); }

void CWinHttpWrapper::SetTimeout(DWORD milliseconds) {
    exchange_->SetTimeout(milliseconds == 0 ? kDefaultTimeout : std::min(milliseconds, kDefaultTimeout));
}

bool CWinHttpWrapper::WorkerRunning() const {
    return worker_ && ::WaitForSingleObject(worker_.get(), 0) == WAIT_TIMEOUT;
}
