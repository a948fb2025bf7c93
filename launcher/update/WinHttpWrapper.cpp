#include "launcher/update/WinHttpWrapper.h"

#include <process.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cwchar>
#include <exception>
#include <new>

#include "launcher/update/ProgressCoalescer.h"
#include "launcher/update/ProxyDetection.h"
#include "launcher/update/ResponseFile.h"
#include "log/KilnLogWrapper.h"
#include "lib/AnsiText.h"

namespace {

const wchar_t* const kVerbs[] = {L"GET", L"POST", L"HEAD"};
constexpr int kVerbCount = sizeof(kVerbs) / sizeof(kVerbs[0]);

constexpr int kSendAttempts = 3;
// Empty reads in a row before the request gives up, and the pause after each.
constexpr int kZeroReadRetries = 10;
constexpr DWORD kZeroReadPause = 100;
// Pause after the last read of a body of unknown length.
constexpr DWORD kEndOfBodyPause = 50;
// Least time between two looks at the run event while the body flows: each
// look is a round trip to the Wine server, which a look per chunk would pay
// some 25000 times for a 200 MB package.
constexpr DWORD kRunCheckInterval = 10;

// Wine reports a timed-out call as WSAETIMEDOUT rather than ERROR_WINHTTP_TIMEOUT.
constexpr DWORD kSocketTimeout = 10060;
// A stop waits this long beyond the bound of one blocking call.
constexpr DWORD kStopMargin = 5000;
// How long Abort waits for a thread it terminated to be gone.
constexpr DWORD kTerminatedThreadWait = 5000;

bool IsTimeout(DWORD error) { return error == ERROR_WINHTTP_TIMEOUT || error == kSocketTimeout; }

// The result code of a failed call: timeouts are reported alike.
int RequestError(DWORD error) {
    return IsTimeout(error) ? CWinHttpWrapper::kNoData : static_cast<int>(error);
}

// A Content-Length value; -1 for a text that is not a plain decimal number.
long long ParseContentLength(const wchar_t* text) {
    if (*text < L'0' || *text > L'9') return -1;
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(text, &end, 10);
    if (*end != L'\0' || value > static_cast<unsigned long long>(LLONG_MAX)) return -1;
    return static_cast<long long>(value);
}

// A body too large to hold or to count.
int AllocationFailed() {
    CKilnLogWrapper("WinHttpWrapper", 1191)
        .Write(kLogError, "領域確保失敗[ERR:0x%08X]", static_cast<unsigned>(ERROR_NOT_ENOUGH_MEMORY));
    return ERROR_NOT_ENOUGH_MEMORY;
}

}  // namespace

CWinHttpWrapper::CWinHttpWrapper(const wchar_t* proxy) {
    if (proxy != nullptr) proxyOverride_ = proxy;
    char name[32];
    std::snprintf(name, sizeof(name), "EventHttpAbort_%X", static_cast<unsigned>(::GetCurrentThreadId()));
    runEvent_.reset(::CreateEventA(nullptr, TRUE, TRUE, name));
}

CWinHttpWrapper::~CWinHttpWrapper() { Close(); }

bool CWinHttpWrapper::Initialize(const wchar_t* url, INTERNET_PORT port, const char* targetPath, bool memoryMode) {
    if (WorkerRunning() || RequestOpen()) return false;
    std::vector<BYTE>().swap(responseData_);
    responseSize_ = 0;
    std::vector<BYTE>().swap(body_);
    port_ = port;
    ::SetEvent(runEvent_.get());
    if (url != nullptr) url_ = url;
    if (targetPath != nullptr) {
        targetPath_ = targetPath;
        memoryMode_ = memoryMode;
    }
    urlParts_ = URL_COMPONENTS{};
    return true;
}

bool CWinHttpWrapper::Connect(int verb, const wchar_t* userAgent, const wchar_t* proxy) {
    if (verb < 0 || verb >= kVerbCount) {
        CKilnLogWrapper("WinHttpWrapper", 316).Write(kLogError, "HTTPVerb指定が不正 HTTPVerbType:%d", verb);
        return false;
    }
    if (WorkerRunning()) return false;
    verb_ = verb;
    if (url_.empty()) {
        CKilnLogWrapper("WinHttpWrapper", 323).Write(kLogError, "接続先URLが未設定");
        return false;
    }
    urlParts_ = URL_COMPONENTS{};
    urlParts_.dwStructSize = sizeof(urlParts_);
    urlParts_.dwSchemeLength = static_cast<DWORD>(-1);
    urlParts_.dwHostNameLength = static_cast<DWORD>(-1);
    urlParts_.dwUserNameLength = static_cast<DWORD>(-1);
    urlParts_.dwPasswordLength = static_cast<DWORD>(-1);
    urlParts_.dwUrlPathLength = static_cast<DWORD>(-1);
    urlParts_.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(url_.c_str(), 0, 0, &urlParts_)) {
        CKilnLogWrapper("WinHttpWrapper", 329)
            .Write(kLogError, "接続先URL解析に失敗[ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        return false;
    }

    std::wstring useProxy;
    if (proxy != nullptr)
        useProxy = proxy;
    else if (!proxyOverride_.empty())
        useProxy = proxyOverride_;
    else
        useProxy = update::DetectProxy(url_, timeout_);
    update::SetDetectedProxy(useProxy);

    CloseRequest();
    if (!useProxy.empty()) {
        CKilnLogWrapper("WinHttpWrapper", 341).Write(kLogTrace, "WinHttpOpen Proxy:%s", lib::ToAnsi(useProxy).c_str());
        session_.reset(::WinHttpOpen(userAgent, WINHTTP_ACCESS_TYPE_NAMED_PROXY, useProxy.c_str(),
                                     WINHTTP_NO_PROXY_BYPASS, 0));
    } else {
        CKilnLogWrapper("WinHttpWrapper", 349).Write(kLogTrace, "WinHttpOpen WINHTTP_NO_PROXY_NAME");
        session_.reset(::WinHttpOpen(userAgent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                     WINHTTP_NO_PROXY_BYPASS, 0));
    }
    if (!session_) return ConnectFailed(358, "WinHttpOpen失敗[ERR:0x%08X]");
    // WinHTTP's defaults let a silent server block a call for good.
    const int bound = static_cast<int>(timeout_);
    if (!::WinHttpSetTimeouts(session_.get(), bound, bound, bound, bound))
        return ConnectFailed(364, "WinHttpSetTimeouts失敗[ERR:0x%08X]");

    const std::wstring host(urlParts_.lpszHostName, urlParts_.dwHostNameLength);
    connection_.reset(::WinHttpConnect(session_.get(), host.c_str(), TargetPort(), 0));
    if (!connection_) return ConnectFailed(379, "WinHttpConnect失敗[ERR:0x%08X]");

    // The certificate is always checked: never any WINHTTP_OPTION_SECURITY_FLAGS.
    const DWORD secure = urlParts_.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    // The path runs on to the end of the URL, so the query goes with it.
    request_.reset(::WinHttpOpenRequest(connection_.get(), kVerbs[verb_], urlParts_.lpszUrlPath, nullptr,
                                        WINHTTP_NO_REFERER, acceptTypes, WINHTTP_FLAG_REFRESH | secure));
    if (!request_) return ConnectFailed(396, "WinHttpOpenRequest失敗[ERR:0x%08X]");
    // The wait for the headers is bound by this option only, not by WinHttpSetTimeouts.
    if (!::WinHttpSetOption(request_.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &timeout_, sizeof(timeout_)))
        return ConnectFailed(402, "WinHttpSetOption失敗[ERR:0x%08X]");
    return true;
}

bool CWinHttpWrapper::ConnectFailed(int line, const char* format) {
    CKilnLogWrapper("WinHttpWrapper", line).Write(kLogError, format, static_cast<unsigned>(::GetLastError()));
    CloseRequest();
    return false;
}

// The URL's own port first, then the caller's unless it is a default one, then the scheme's.
INTERNET_PORT CWinHttpWrapper::TargetPort() const {
    if (UrlHasPort()) return urlParts_.nPort;
    if (port_ != 0 && port_ != INTERNET_DEFAULT_HTTP_PORT && port_ != INTERNET_DEFAULT_HTTPS_PORT) return port_;
    switch (urlParts_.nScheme) {
    case INTERNET_SCHEME_HTTP:
        return INTERNET_DEFAULT_HTTP_PORT;
    case INTERNET_SCHEME_HTTPS:
        return INTERNET_DEFAULT_HTTPS_PORT;
    default:
        return 0;
    }
}

// WinHttpCrackUrl fills in the scheme's port when the URL names none, so the
// text between host name and path tells whether it does.
bool CWinHttpWrapper::UrlHasPort() const {
    const wchar_t* hostEnd = urlParts_.lpszHostName + urlParts_.dwHostNameLength;
    const wchar_t* pathStart = urlParts_.lpszUrlPath != nullptr     ? urlParts_.lpszUrlPath
                               : urlParts_.lpszExtraInfo != nullptr ? urlParts_.lpszExtraInfo
                                                                    : url_.c_str() + url_.size();
    return hostEnd < pathStart && std::find(hostEnd, pathStart, L':') != pathStart;
}

HANDLE CWinHttpWrapper::SendRequest(const wchar_t* proxyUser, const wchar_t* proxyPassword) {
    if (WorkerRunning() || !session_ || !connection_ || !request_) return nullptr;
    ::SetEvent(runEvent_.get());
    StoreCredentials(proxyUser, proxyPassword);
    return StartWorker(&SendThread);
}

HANDLE CWinHttpWrapper::SendRequestWithBody(const void* body, DWORD bodySize, const wchar_t* contentType,
                                            const wchar_t* proxyUser, const wchar_t* proxyPassword) {
    if (WorkerRunning() || !session_ || !connection_ || !request_) return nullptr;
    ::SetEvent(runEvent_.get());
    if (contentType == nullptr || (body == nullptr && bodySize != 0)) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    headers_ = *contentType != L'\0' ? std::wstring(L"Content-Type:") + contentType : std::wstring();
    try {
        const BYTE* bytes = static_cast<const BYTE*>(body);
        body_.assign(bytes, bytes + bodySize);
    } catch (const std::bad_alloc&) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    StoreCredentials(proxyUser, proxyPassword);
    return StartWorker(&UploadThread);
}

void CWinHttpWrapper::StoreCredentials(const wchar_t* proxyUser, const wchar_t* proxyPassword) {
    if (proxyUser == nullptr || proxyPassword == nullptr) return;
    proxyUser_ = proxyUser;
    proxyPassword_ = proxyPassword;
}

// Suspended until the caller's copy of the handle exists, so that a failure
// to make it can still take the thread back before it ran.
HANDLE CWinHttpWrapper::StartWorker(unsigned(__stdcall* routine)(void*)) {
    worker_.reset(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, routine, this, CREATE_SUSPENDED, nullptr)));
    if (!worker_) return nullptr;
    HANDLE process = ::GetCurrentProcess();
    HANDLE copy = nullptr;
    const BOOL duplicated = ::DuplicateHandle(process, worker_.get(), process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS);
    lib::KernelHandle callerCopy(duplicated ? copy : nullptr);
    if (!callerCopy || ::ResumeThread(worker_.get()) == static_cast<DWORD>(-1)) {
        const DWORD error = ::GetLastError();
        ::TerminateThread(worker_.get(), kAborted);
        worker_.reset();
        ::SetLastError(error);
        return nullptr;
    }
    return callerCopy.release();
}

unsigned __stdcall CWinHttpWrapper::SendThread(void* self) {
    return static_cast<CWinHttpWrapper*>(self)->RunWorker(&CWinHttpWrapper::SendAndRead);
}

unsigned __stdcall CWinHttpWrapper::UploadThread(void* self) {
    return static_cast<CWinHttpWrapper*>(self)->RunWorker(&CWinHttpWrapper::Upload);
}

unsigned CWinHttpWrapper::RunWorker(WorkFunction work) {
    int result = ERROR_INTERNAL_ERROR;
    try {
        result = (this->*work)();
    } catch (const std::exception& error) {
        CKilnLogWrapper("WinHttpWrapper", 1545).Write(kLogError, "リクエストスレッド例外終了 %s", error.what());
    } catch (...) {
        CKilnLogWrapper("WinHttpWrapper", 1547).Write(kLogError, "リクエストスレッド例外終了 unknown exception");
    }
    CloseRequest();
    result_ = result;
    return static_cast<unsigned>(result);
}

int CWinHttpWrapper::SendAndRead() {
    if (!Running()) return kAborted;
    ApplyProxyCredentials();
    int result = SendWithRetry();
    if (result == 0) result = ReadResponse();
    if (result == 0) result = WriteBodyFile();
    return result;
}

// Only timeouts are tried again; a request whose every attempt timed out
// ends as a timeout.
int CWinHttpWrapper::SendWithRetry() {
    for (int attempt = 1;; ++attempt) {
        if (::WinHttpSendRequest(request_.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0))
            return 0;
        const DWORD error = ::GetLastError();
        CKilnLogWrapper("WinHttpWrapper", 1308)
            .Write(kLogError, "WinHttpSendRequest失敗[ERR:0x%08X] %s", static_cast<unsigned>(error),
                   lib::ToAnsi(url_).c_str());
        if (!IsTimeout(error) || attempt == kSendAttempts) return RequestError(error);
        if (!Running()) return kAborted;
        CKilnLogWrapper("WinHttpWrapper", 1310).Write(kLogInfo, "WinHttpSendRequestリトライ[%d]", attempt);
    }
}

int CWinHttpWrapper::Upload() {
    ApplyProxyCredentials();
    const DWORD size = static_cast<DWORD>(body_.size());
    if (!::WinHttpSendRequest(request_.get(), headers_.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers_.c_str(),
                              headers_.empty() ? 0 : static_cast<DWORD>(-1),
                              body_.empty() ? WINHTTP_NO_REQUEST_DATA : body_.data(), size, size, 0)) {
        const DWORD error = ::GetLastError();
        CKilnLogWrapper("WinHttpWrapper", 1437)
            .Write(kLogError, "WinHttpSendRequest失敗[ERR:0x%08X] %s", static_cast<unsigned>(error),
                   lib::ToAnsi(url_).c_str());
        return RequestError(error);
    }
    int result = ReadResponse();
    if (result != 0)
        CKilnLogWrapper("WinHttpWrapper", 1509).Write(kLogTrace, "_GetResponse 終了 終了コード%d.", result);
    else
        result = WriteBodyFile();
    if (result != 0)
        CKilnLogWrapper("WinHttpWrapper", 1532).Write(kLogTrace, "_UploadThread 終了 終了コード:%d.", result);
    return result;
}

void CWinHttpWrapper::ApplyProxyCredentials() {
    if (proxyUser_.empty() || proxyPassword_.empty()) return;
    ::WinHttpSetOption(request_.get(), WINHTTP_OPTION_PROXY_USERNAME, const_cast<wchar_t*>(proxyUser_.c_str()),
                       static_cast<DWORD>(proxyUser_.size()));
    ::WinHttpSetOption(request_.get(), WINHTTP_OPTION_PROXY_PASSWORD, const_cast<wchar_t*>(proxyPassword_.c_str()),
                       static_cast<DWORD>(proxyPassword_.size()));
}

int CWinHttpWrapper::ReadResponse() {
    if (!Running()) return kAborted;
    if (!::WinHttpReceiveResponse(request_.get(), nullptr)) {
        const DWORD error = ::GetLastError();
        CKilnLogWrapper("WinHttpWrapper", 1014)
            .Write(kLogError, "WinHttpReceiveResponse失敗[ERR:0x%08X] %s", static_cast<unsigned>(error),
                   lib::ToAnsi(url_).c_str());
        return RequestError(error);
    }
    if (!Running()) return kAborted;

    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        status = 0;

    long long contentLength = -1;
    wchar_t lengthText[64] = {};
    size = sizeof(lengthText);
    if (::WinHttpQueryHeaders(request_.get(), WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, lengthText,
                              &size, WINHTTP_NO_HEADER_INDEX)) {
        contentLength = ParseContentLength(lengthText);
        CKilnLogWrapper("WinHttpWrapper", 1087)
            .Write(kLogTrace, "WINHTTP_QUERY_CONTENT_LENGTH %dBYTE",
                   static_cast<int>(std::min<long long>(contentLength, INT_MAX)));
    } else if (::GetLastError() != ERROR_WINHTTP_HEADER_NOT_FOUND) {
        const DWORD error = ::GetLastError();
        CKilnLogWrapper("WinHttpWrapper", 1078)
            .Write(kLogError, "WINHTTP_QUERY_CONTENT_LENGTH 失敗 0x%08X", static_cast<unsigned>(error));
        return static_cast<int>(error);
    }

    if (status < 200 || status > 299) {
        CKilnLogWrapper("WinHttpWrapper", 1130)
            .Write(kLogError, "WinHttpQueryHeaders HTTPSTATUSエラー:%d  %s", static_cast<int>(status),
                   lib::ToAnsi(url_).c_str());
        return kHttpStatusFlag | static_cast<int>(status);
    }
    CKilnLogWrapper("WinHttpWrapper", 1135).Write(kLogTrace, "実ファイルダウンロード開始 %s", lib::ToAnsi(url_).c_str());
    const int result = ReadBody(contentLength);
    CKilnLogWrapper("WinHttpWrapper", 1253).Write(kLogTrace, "実ファイルダウンロード終了 総サイズ%d", responseSize_);
    return result;
}

// Reads what is available, at most one chunk at a time: a larger read would
// wait for bytes that may never come and lose those already received.
int CWinHttpWrapper::ReadBody(long long contentLength) {
    // A HEAD answer carries the body's length but never the body.
    if (verb_ == kHead) return 0;
    const bool known = contentLength >= 0;
    responseData_.clear();
    responseSize_ = 0;
    if (contentLength > INT_MAX) return AllocationFailed();
    try {
        if (memoryMode_ && known) responseData_.reserve(static_cast<std::size_t>(contentLength));
    } catch (const std::bad_alloc&) {
        return AllocationFailed();
    }
    update::CResponseAppender appender(targetPath_);
    // Progress goes out coalesced, and what is left when the reading ends
    // goes out too, so that the messages always add up to the bytes read.
    update::ProgressCoalescer progress(::GetTickCount());
    WPARAM amount = known ? static_cast<WPARAM>(contentLength) : 0;
    const int result = ReadChunks(contentLength, appender, progress, amount);
    PostProgress(amount, progress.Flush());
    return result;
}

// The reading loop of ReadBody; `amount` follows the amount of the current pass.
int CWinHttpWrapper::ReadChunks(long long contentLength, update::CResponseAppender& appender,
                                update::ProgressCoalescer& progress, WPARAM& amount) {
    const bool known = contentLength >= 0;
    std::vector<BYTE> chunk;
    try {
        if (!memoryMode_) chunk.resize(kChunkSize);
    } catch (const std::bad_alloc&) {
        return AllocationFailed();
    }
    int emptyReads = 0;
    DWORD lastRunCheck = ::GetTickCount() - kRunCheckInterval;
    while (!known || responseSize_ < contentLength) {
        if (::GetTickCount() - lastRunCheck >= kRunCheckInterval) {
            if (!Running()) return kAborted;
            lastRunCheck = ::GetTickCount();
        }
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(request_.get(), &available)) {
            const DWORD error = ::GetLastError();
            CKilnLogWrapper("WinHttpWrapper", 1145)
                .Write(kLogError, "WinHttpQueryDataAvailable失敗[ERR:0x%08X]", static_cast<unsigned>(error));
            return RequestError(error);
        }
        if (available == 0 && !known) {
            ::Sleep(kEndOfBodyPause);
            break;
        }
        DWORD read = 0;
        if (available > 0) {
            DWORD wanted = std::min(available, kChunkSize);
            if (known) wanted = static_cast<DWORD>(std::min<long long>(wanted, contentLength - responseSize_));
            const int error = ReadChunk(wanted, chunk.data(), &read);
            if (error != 0) return error;
        }
        if (read == 0) {
            // The connection ended, or gives nothing, before the announced length.
            if (++emptyReads > kZeroReadRetries) {
                CKilnLogWrapper("WinHttpWrapper", 1211)
                    .Write(kLogError, "WinHttpReadData 取得サイズリトライオーバー [ERR:0x%08X]",
                           static_cast<unsigned>(::GetLastError()));
                return kNoData;
            }
            CKilnLogWrapper("WinHttpWrapper", 1215)
                .Write(kLogInfo, "WinHttpReadData 取得サイズ０ 継続 [ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
            ::Sleep(kZeroReadPause);
            continue;
        }
        emptyReads = 0;
        if (!memoryMode_) {
            const int error = appender.Append(chunk.data(), read);
            if (error != 0) return error;
        }
        responseSize_ += static_cast<int>(read);
        if (!known) amount = available;
        PostProgress(amount, progress.Add(read, ::GetTickCount()));
    }
    return 0;
}

void CWinHttpWrapper::PostProgress(WPARAM amount, DWORD bytes) const {
    const HWND window = progressWindow_.load();
    if (bytes == 0 || window == nullptr) return;
    ::PostMessageA(window, progressMessage_.load(), amount, static_cast<LPARAM>(bytes));
}

// One read of at most `wanted` bytes: in memory mode straight to the end of
// the body, else into `fileBuffer`. 0 or an error code.
int CWinHttpWrapper::ReadChunk(DWORD wanted, BYTE* fileBuffer, DWORD* read) {
    if (wanted > static_cast<DWORD>(INT_MAX - responseSize_)) return AllocationFailed();
    BYTE* target = fileBuffer;
    if (memoryMode_) {
        try {
            responseData_.resize(static_cast<std::size_t>(responseSize_) + wanted);
        } catch (const std::bad_alloc&) {
            return AllocationFailed();
        }
        target = responseData_.data() + responseSize_;
    }
    const BOOL ok = ::WinHttpReadData(request_.get(), target, wanted, read);
    const DWORD error = ::GetLastError();
    if (memoryMode_) responseData_.resize(static_cast<std::size_t>(responseSize_) + (ok ? *read : 0));
    if (ok) return 0;
    *read = 0;
    CKilnLogWrapper("WinHttpWrapper", 1199)
        .Write(kLogError, "WinHttpReadData失敗[ERR:0x%08X]", static_cast<unsigned>(error));
    return RequestError(error);
}

int CWinHttpWrapper::WriteBodyFile() {
    if (targetPath_.empty() || !memoryMode_) return 0;
    return update::WriteResponseFile(targetPath_, GetResponseData(), responseSize_);
}

bool CWinHttpWrapper::Abort(DWORD timeoutMilliseconds) {
    ::ResetEvent(runEvent_.get());
    if (!worker_) return true;
    switch (::WaitForSingleObject(worker_.get(), timeoutMilliseconds)) {
    case WAIT_OBJECT_0:
        worker_.reset();
        return true;
    case WAIT_TIMEOUT:
        CKilnLogWrapper("WinHttpWrapper", 255)
            .Write(kLogError, "中断要求にタイムアウトしました[ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        ::TerminateThread(worker_.get(), kAborted);
        ::WaitForSingleObject(worker_.get(), kTerminatedThreadWait);
        worker_.reset();
        result_ = kAborted;
        return false;
    default:
        CKilnLogWrapper("WinHttpWrapper", 264)
            .Write(kLogError, "中断要求に失敗しました[ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        return false;
    }
}

void CWinHttpWrapper::SetProgressTarget(HWND window, UINT message) {
    progressMessage_.store(message);
    progressWindow_.store(window);
}

void CWinHttpWrapper::Close() {
    if (WorkerRunning()) Abort(timeout_ + kStopMargin);
    CloseRequest();
    std::vector<BYTE>().swap(responseData_);
    responseSize_ = 0;
    std::vector<BYTE>().swap(body_);
    worker_.reset();
    runEvent_.reset();
    url_.clear();
    proxyOverride_.clear();
    headers_.clear();
    proxyUser_.clear();
    proxyPassword_.clear();
    targetPath_.clear();
}

int CWinHttpWrapper::GetResult() const { return result_; }

const BYTE* CWinHttpWrapper::GetResponseData() const {
    return responseData_.empty() ? nullptr : responseData_.data();
}

int CWinHttpWrapper::GetResponseSize() const { return responseSize_; }

void CWinHttpWrapper::SetTimeout(DWORD milliseconds) {
    timeout_ = milliseconds == 0 ? kDefaultTimeout : std::min(milliseconds, kDefaultTimeout);
}

bool CWinHttpWrapper::Running() const { return ::WaitForSingleObject(runEvent_.get(), 0) == WAIT_OBJECT_0; }

bool CWinHttpWrapper::WorkerRunning() const {
    return worker_ && ::WaitForSingleObject(worker_.get(), 0) == WAIT_TIMEOUT;
}

bool CWinHttpWrapper::RequestOpen() const { return session_ || connection_ || request_; }

// Request first: a handle goes before the one it was opened from.
void CWinHttpWrapper::CloseRequest() {
    request_.reset();
    connection_.reset();
    session_.reset();
}
