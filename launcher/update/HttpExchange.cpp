#include "launcher/update/HttpExchange.h"

#include <process.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <exception>
#include <new>
#include <utility>

#include "launcher/update/DownloadFile.h"
#include "launcher/update/ProgressCoalescer.h"
#include "launcher/update/ProxyDetection.h"
#include "launcher/update/WinHttpWrapper.h"
#include "log/KilnLogWrapper.h"
#include "lib/AnsiText.h"

namespace update {
namespace {

const wchar_t* const kVerbs[] = {L"GET", L"POST", L"HEAD"};
constexpr int kVerbCount = sizeof(kVerbs) / sizeof(kVerbs[0]);

constexpr int kSendAttempts = 3;
// A send is tried again only with at least this much of the request's time left.
constexpr DWORD kLeastAttempt = 200;
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

bool IsTimeout(DWORD error) { return error == ERROR_WINHTTP_TIMEOUT || error == kSocketTimeout; }

// The result code of a failed call: timeouts are reported alike.
int RequestError(DWORD error) { return IsTimeout(error) ? CWinHttpWrapper::kNoData : static_cast<int>(error); }

// The whole wait for an answer, every send attempt included: a fifth more
// than one blocking call, so that a server that never answers ends the
// request within 25 s with the default bound.
DWORD RequestDeadline(DWORD timeout) { return timeout + timeout / 5; }

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

HttpExchange::HttpExchange(Settings settings, lib::KernelHandle runEvent)
    : settings_(std::move(settings)), runEvent_(std::move(runEvent)) {}

HttpExchange::Settings HttpExchange::CurrentSettings() const {
    std::lock_guard<std::mutex> guard(lock_);
    return settings_;
}

void HttpExchange::Prepare(const wchar_t* url, INTERNET_PORT port, const char* targetPath, bool memoryMode) {
    std::lock_guard<std::mutex> guard(lock_);
    settings_.port = port;
    if (url != nullptr) settings_.url = url;
    if (targetPath != nullptr) {
        settings_.targetPath = targetPath;
        settings_.memoryMode = memoryMode;
    }
}

bool HttpExchange::Connect(int verb, const wchar_t* userAgent, const wchar_t* proxy) {
    if (verb < 0 || verb >= kVerbCount) {
        CKilnLogWrapper("WinHttpWrapper", 316).Write(kLogError, "HTTPVerb指定が不正 HTTPVerbType:%d", verb);
        return false;
    }
    verb_ = verb;
    if (settings_.url.empty()) {
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
    if (!::WinHttpCrackUrl(settings_.url.c_str(), 0, 0, &urlParts_)) {
        CKilnLogWrapper("WinHttpWrapper", 329)
            .Write(kLogError, "接続先URL解析に失敗[ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        return false;
    }

    std::wstring useProxy;
    if (proxy != nullptr)
        useProxy = proxy;
    else if (!settings_.proxyOverride.empty())
        useProxy = settings_.proxyOverride;
    else
        useProxy = DetectProxy(settings_.url, settings_.timeout);
    SetDetectedProxy(useProxy);

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
    const int bound = static_cast<int>(settings_.timeout);
    if (!::WinHttpSetTimeouts(session_.get(), bound, bound, bound, bound))
        return ConnectFailed(364, "WinHttpSetTimeouts失敗[ERR:0x%08X]");

    const std::wstring host(urlParts_.lpszHostName, urlParts_.dwHostNameLength);
    connection_.reset(::WinHttpConnect(session_.get(), host.c_str(), TargetPort(), 0));
    if (!connection_) return ConnectFailed(379, "WinHttpConnect失敗[ERR:0x%08X]");

    // The certificate is always checked: never any WINHTTP_OPTION_SECURITY_FLAGS.
    const DWORD secure = urlParts_.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
    const wchar_t* acceptTypes[] = {L"*/*", nullptr};
    // The path runs on to the end of the URL, so the query goes with it.
    InternetHandle request(::WinHttpOpenRequest(connection_.get(), kVerbs[verb_], urlParts_.lpszUrlPath, nullptr,
                                                WINHTTP_NO_REFERER, acceptTypes, WINHTTP_FLAG_REFRESH | secure));
    if (!request) return ConnectFailed(396, "WinHttpOpenRequest失敗[ERR:0x%08X]");
    // The wait for the headers is bound by this option only, not by WinHttpSetTimeouts.
    if (!::WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &settings_.timeout,
                            sizeof(settings_.timeout)))
        return ConnectFailed(402, "WinHttpSetOption失敗[ERR:0x%08X]");
    std::lock_guard<std::mutex> guard(lock_);
    request_ = std::move(request);
    return true;
}

bool HttpExchange::ConnectFailed(int line, const char* format) {
    CKilnLogWrapper("WinHttpWrapper", line).Write(kLogError, format, static_cast<unsigned>(::GetLastError()));
    CloseRequest();
    return false;
}

// The URL's own port first, then the caller's unless it is a default one, then the scheme's.
INTERNET_PORT HttpExchange::TargetPort() const {
    if (UrlHasPort()) return urlParts_.nPort;
    const INTERNET_PORT port = settings_.port;
    if (port != 0 && port != INTERNET_DEFAULT_HTTP_PORT && port != INTERNET_DEFAULT_HTTPS_PORT) return port;
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
bool HttpExchange::UrlHasPort() const {
    const std::wstring& url = settings_.url;
    const wchar_t* hostEnd = urlParts_.lpszHostName + urlParts_.dwHostNameLength;
    const wchar_t* pathStart = urlParts_.lpszUrlPath != nullptr     ? urlParts_.lpszUrlPath
                               : urlParts_.lpszExtraInfo != nullptr ? urlParts_.lpszExtraInfo
                                                                    : url.c_str() + url.size();
    return hostEnd < pathStart && std::find(hostEnd, pathStart, L':') != pathStart;
}

bool HttpExchange::Ready() const {
    std::lock_guard<std::mutex> guard(lock_);
    return session_ && connection_ && request_;
}

void HttpExchange::StoreCredentials(const wchar_t* proxyUser, const wchar_t* proxyPassword) {
    if (proxyUser == nullptr || proxyPassword == nullptr) return;
    settings_.proxyUser = proxyUser;
    settings_.proxyPassword = proxyPassword;
}

bool HttpExchange::StoreUpload(const void* body, DWORD bodySize, const wchar_t* contentType) {
    headers_ = *contentType != L'\0' ? std::wstring(L"Content-Type:") + contentType : std::wstring();
    try {
        const BYTE* bytes = static_cast<const BYTE*>(body);
        body_.assign(bytes, bytes + bodySize);
    } catch (const std::bad_alloc&) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    return true;
}

void HttpExchange::SetProgressTarget(HWND window, UINT message) {
    std::lock_guard<std::mutex> guard(lock_);
    settings_.progressWindow = window;
    settings_.progressMessage = message;
}

void HttpExchange::SetTimeout(DWORD milliseconds) { settings_.timeout = milliseconds; }

lib::KernelHandle HttpExchange::StartSend() { return StartWorker(&SendThread); }

lib::KernelHandle HttpExchange::StartUpload() { return StartWorker(&UploadThread); }

lib::KernelHandle HttpExchange::StartWorker(unsigned(__stdcall* routine)(void*)) {
    auto owner = std::make_unique<std::shared_ptr<HttpExchange>>(shared_from_this());
    lib::KernelHandle thread(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, routine, owner.get(), 0, nullptr)));
    if (thread) owner.release();  // the thread's now
    return thread;
}

unsigned __stdcall HttpExchange::SendThread(void* owner) {
    const std::unique_ptr<std::shared_ptr<HttpExchange>> exchange(static_cast<std::shared_ptr<HttpExchange>*>(owner));
    return (*exchange)->RunWorker(&HttpExchange::SendAndRead);
}

unsigned __stdcall HttpExchange::UploadThread(void* owner) {
    const std::unique_ptr<std::shared_ptr<HttpExchange>> exchange(static_cast<std::shared_ptr<HttpExchange>*>(owner));
    return (*exchange)->RunWorker(&HttpExchange::Upload);
}

unsigned HttpExchange::RunWorker(WorkFunction work) {
    int result = ERROR_INTERNAL_ERROR;
    try {
        deadline_ = ::GetTickCount() + RequestDeadline(settings_.timeout);
        result = (this->*work)();
    } catch (const std::exception& error) {
        CKilnLogWrapper("WinHttpWrapper", 1545).Write(kLogError, "リクエストスレッド例外終了 %s", error.what());
    } catch (...) {
        CKilnLogWrapper("WinHttpWrapper", 1547).Write(kLogError, "リクエストスレッド例外終了 unknown exception");
    }
    CloseRequest();
    // A stop makes whatever the request then failed with an abort.
    if (result != 0 && stopped_) result = CWinHttpWrapper::kAborted;
    result_ = result;
    return static_cast<unsigned>(result);
}

int HttpExchange::SendAndRead() {
    if (!Running()) return CWinHttpWrapper::kAborted;
    ApplyProxyCredentials();
    const int result = Send(nullptr, kSendAttempts, 1308);
    return result != 0 ? result : ReadResponse();
}

int HttpExchange::Upload() {
    if (!Running()) return CWinHttpWrapper::kAborted;
    ApplyProxyCredentials();
    int result = Send(headers_.empty() ? nullptr : headers_.c_str(), 1, 1437);
    if (result == 0) {
        result = ReadResponse();
        if (result != 0)
            CKilnLogWrapper("WinHttpWrapper", 1509).Write(kLogTrace, "_GetResponse 終了 終了コード%d.", result);
    }
    if (result != 0)
        CKilnLogWrapper("WinHttpWrapper", 1532).Write(kLogTrace, "_UploadThread 終了 終了コード:%d.", result);
    return result;
}

// Only timeouts are tried again, and only while the request's deadline leaves
// time for another attempt: every attempt's calls are bound by what is left.
int HttpExchange::Send(const wchar_t* headers, int attempts, int failureLine) {
    const DWORD size = static_cast<DWORD>(body_.size());
    for (int attempt = 1;; ++attempt) {
        BoundCalls(std::min(settings_.timeout, Remaining()));
        if (::WinHttpSendRequest(Request(), headers == nullptr ? WINHTTP_NO_ADDITIONAL_HEADERS : headers,
                                 headers == nullptr ? 0 : static_cast<DWORD>(-1),
                                 body_.empty() ? WINHTTP_NO_REQUEST_DATA : body_.data(), size, size, 0))
            return 0;
        const DWORD error = ::GetLastError();
        CKilnLogWrapper("WinHttpWrapper", failureLine)
            .Write(kLogError, "WinHttpSendRequest失敗[ERR:0x%08X] %s", static_cast<unsigned>(error),
                   lib::ToAnsi(settings_.url).c_str());
        if (!Running()) return CWinHttpWrapper::kAborted;
        if (!IsTimeout(error) || attempt >= attempts || Remaining() < kLeastAttempt) return RequestError(error);
        CKilnLogWrapper("WinHttpWrapper", 1310).Write(kLogInfo, "WinHttpSendRequestリトライ[%d]", attempt);
    }
}

// Connect, send, receive and the wait for the headers, on this request only.
void HttpExchange::BoundCalls(DWORD milliseconds) {
    const HINTERNET request = Request();
    const int bound = static_cast<int>(std::max<DWORD>(milliseconds, 1));
    ::WinHttpSetTimeouts(request, bound, bound, bound, bound);
    DWORD option = static_cast<DWORD>(bound);
    ::WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &option, sizeof(option));
}

DWORD HttpExchange::Remaining() const {
    const LONG left = static_cast<LONG>(deadline_ - ::GetTickCount());
    return left > 0 ? static_cast<DWORD>(left) : 0;
}

void HttpExchange::ApplyProxyCredentials() {
    const std::wstring& user = settings_.proxyUser;
    const std::wstring& password = settings_.proxyPassword;
    if (user.empty() || password.empty()) return;
    ::WinHttpSetOption(Request(), WINHTTP_OPTION_PROXY_USERNAME, const_cast<wchar_t*>(user.c_str()),
                       static_cast<DWORD>(user.size()));
    ::WinHttpSetOption(Request(), WINHTTP_OPTION_PROXY_PASSWORD, const_cast<wchar_t*>(password.c_str()),
                       static_cast<DWORD>(password.size()));
}

int HttpExchange::ReadResponse() {
    if (!Running()) return CWinHttpWrapper::kAborted;
    BoundCalls(std::min(settings_.timeout, std::max(Remaining(), kLeastAttempt)));
    if (!::WinHttpReceiveResponse(Request(), nullptr)) {
        const DWORD error = ::GetLastError();
        CKilnLogWrapper("WinHttpWrapper", 1014)
            .Write(kLogError, "WinHttpReceiveResponse失敗[ERR:0x%08X] %s", static_cast<unsigned>(error),
                   lib::ToAnsi(settings_.url).c_str());
        return RequestError(error);
    }
    if (!Running()) return CWinHttpWrapper::kAborted;
    // The body is read with the full bound of a call, whatever the answer took.
    BoundCalls(settings_.timeout);

    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!::WinHttpQueryHeaders(Request(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                               WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        status = 0;

    long long contentLength = -1;
    wchar_t lengthText[64] = {};
    size = sizeof(lengthText);
    if (::WinHttpQueryHeaders(Request(), WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, lengthText,
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
                   lib::ToAnsi(settings_.url).c_str());
        return CWinHttpWrapper::kHttpStatusFlag | static_cast<int>(status);
    }
    CKilnLogWrapper("WinHttpWrapper", 1135)
        .Write(kLogTrace, "実ファイルダウンロード開始 %s", lib::ToAnsi(settings_.url).c_str());
    const int result = ReadBody(contentLength);
    CKilnLogWrapper("WinHttpWrapper", 1253)
        .Write(kLogTrace, "実ファイルダウンロード終了 総サイズ%lld", responseSize_);
    return result;
}

// A memory-mode body is kept whole; a file-mode body streams to the part file
// and becomes the target file once complete.
int HttpExchange::ReadBody(long long contentLength) {
    // A HEAD answer carries the body's length but never the body.
    if (verb_ == CWinHttpWrapper::kHead) return 0;
    const bool known = contentLength >= 0;
    const bool memoryMode = settings_.memoryMode || settings_.targetPath.empty();
    responseData_.clear();
    responseSize_ = 0;
    if (memoryMode && contentLength > INT_MAX) return AllocationFailed();
    try {
        if (memoryMode && known) responseData_.reserve(static_cast<std::size_t>(contentLength));
    } catch (const std::bad_alloc&) {
        return AllocationFailed();
    }
    std::unique_ptr<CDownloadFile> file;
    if (!memoryMode) file = std::make_unique<CDownloadFile>(settings_.targetPath);
    // Progress goes out coalesced, and what is left when the reading ends
    // goes out too, so that the messages always add up to the bytes read.
    ProgressCoalescer progress(::GetTickCount());
    WPARAM amount = known ? static_cast<WPARAM>(contentLength) : 0;
    int result = ReadChunks(contentLength, file.get(), progress, amount);
    PostProgress(amount, progress.Flush());
    if (result == 0 && file) result = CommitFile(*file);
    return result;
}

// The reading loop of ReadBody; `amount` follows the amount of the current pass.
int HttpExchange::ReadChunks(long long contentLength, CDownloadFile* file, ProgressCoalescer& progress, WPARAM& amount) {
    const bool known = contentLength >= 0;
    std::vector<BYTE> chunk;
    try {
        if (file) chunk.resize(CWinHttpWrapper::kChunkSize);
    } catch (const std::bad_alloc&) {
        return AllocationFailed();
    }
    int emptyReads = 0;
    DWORD lastRunCheck = ::GetTickCount() - kRunCheckInterval;
    while (!known || responseSize_ < contentLength) {
        if (::GetTickCount() - lastRunCheck >= kRunCheckInterval) {
            if (!Running()) return CWinHttpWrapper::kAborted;
            lastRunCheck = ::GetTickCount();
        }
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(Request(), &available)) {
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
            DWORD wanted = std::min(available, CWinHttpWrapper::kChunkSize);
            if (known) wanted = static_cast<DWORD>(std::min<long long>(wanted, contentLength - responseSize_));
            const int error = ReadChunk(wanted, file ? chunk.data() : nullptr, &read);
            if (error != 0) return error;
        }
        if (read == 0) {
            // The connection ended, or gives nothing, before the announced length.
            if (++emptyReads > kZeroReadRetries) {
                CKilnLogWrapper("WinHttpWrapper", 1211)
                    .Write(kLogError, "WinHttpReadData 取得サイズリトライオーバー [ERR:0x%08X]",
                           static_cast<unsigned>(::GetLastError()));
                return CWinHttpWrapper::kNoData;
            }
            CKilnLogWrapper("WinHttpWrapper", 1215)
                .Write(kLogInfo, "WinHttpReadData 取得サイズ０ 継続 [ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
            ::Sleep(kZeroReadPause);
            continue;
        }
        emptyReads = 0;
        if (file) {
            const int error = file->Append(chunk.data(), read);
            if (error != 0) return error;
        }
        responseSize_ += read;
        if (!known) amount = available;
        PostProgress(amount, progress.Add(read, ::GetTickCount()));
    }
    return 0;
}

// One read of at most `wanted` bytes: into `fileBuffer` when there is one,
// else straight to the end of the memory body. 0 or an error code.
int HttpExchange::ReadChunk(DWORD wanted, BYTE* fileBuffer, DWORD* read) {
    BYTE* target = fileBuffer;
    if (target == nullptr) {
        if (wanted > static_cast<unsigned long long>(INT_MAX - responseSize_)) return AllocationFailed();
        try {
            responseData_.resize(static_cast<std::size_t>(responseSize_) + wanted);
        } catch (const std::bad_alloc&) {
            return AllocationFailed();
        }
        target = responseData_.data() + responseSize_;
    }
    const BOOL ok = ::WinHttpReadData(Request(), target, wanted, read);
    const DWORD error = ::GetLastError();
    if (fileBuffer == nullptr) responseData_.resize(static_cast<std::size_t>(responseSize_) + (ok ? *read : 0));
    if (ok) return 0;
    *read = 0;
    CKilnLogWrapper("WinHttpWrapper", 1199)
        .Write(kLogError, "WinHttpReadData失敗[ERR:0x%08X]", static_cast<unsigned>(error));
    return RequestError(error);
}

// Under the lock Stop takes: a stopped request never makes the file.
int HttpExchange::CommitFile(CDownloadFile& file) {
    std::lock_guard<std::mutex> guard(lock_);
    if (stopped_) return CWinHttpWrapper::kAborted;
    return file.Commit();
}

void HttpExchange::PostProgress(WPARAM amount, DWORD bytes) {
    std::lock_guard<std::mutex> guard(lock_);
    if (bytes == 0 || stopped_ || settings_.progressWindow == nullptr) return;
    ::PostMessageA(settings_.progressWindow, settings_.progressMessage, amount, static_cast<LPARAM>(bytes));
}

void HttpExchange::Stop() {
    std::lock_guard<std::mutex> guard(lock_);
    stopped_ = true;
    request_.reset();
}

int HttpExchange::Result() const { return result_; }

const BYTE* HttpExchange::ResponseData() const { return responseData_.empty() ? nullptr : responseData_.data(); }

long long HttpExchange::ResponseSize() const { return responseSize_; }

void HttpExchange::Release() {
    CloseRequest();
    std::vector<BYTE>().swap(responseData_);
    responseSize_ = 0;
    std::vector<BYTE>().swap(body_);
}

bool HttpExchange::Running() const {
    return !stopped_ && ::WaitForSingleObject(runEvent_.get(), 0) == WAIT_OBJECT_0;
}

// Null once Stop has closed it, which makes the worker's next call fail at once.
HINTERNET HttpExchange::Request() {
    std::lock_guard<std::mutex> guard(lock_);
    return request_.get();
}

// Request first: a handle goes before the one it was opened from.
void HttpExchange::CloseRequest() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        request_.reset();
    }
    connection_.reset();
    session_.reset();
}

}  // namespace update
