#pragma once
// One HTTP request at a time over WinHTTP: proxy resolution the way Internet
// Explorer does it, the send-and-read work on a worker thread of its own, the
// body kept in memory or appended to a file, progress posted to a window and
// an abort from any thread through a named event.
#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <string>
#include <vector>

#include "launcher/update/InternetHandle.h"
#include "lib/UniqueHandle.h"

namespace update {
class CResponseAppender;
class ProgressCoalescer;
}  // namespace update

class CWinHttpWrapper {
public:
    // Result codes besides Windows and WinHTTP errors.
    static constexpr int kAborted = ERROR_REQUEST_ABORTED;  // 1235
    static constexpr int kHttpStatusFlag = 0x10000000;      // | status outside 200-299
    static constexpr int kNoData = ERROR_WINHTTP_TIMEOUT;   // 12002, reads keep giving nothing
    static constexpr int kNothingToWrite = 12152;           // file-write step without data or path

    // Verb indexes of Connect.
    static constexpr int kGet = 0;
    static constexpr int kPost = 1;
    static constexpr int kHead = 2;

    // Bound of every blocking WinHTTP call (connect, send, receive, waiting
    // for the headers), so that an abort is always noticed within it.
    static constexpr DWORD kDefaultTimeout = 20000;

    // Largest read of one chunk.
    static constexpr DWORD kChunkSize = 102400;

    // `proxy` (may be null) is used by Connect calls that name none.
    explicit CWinHttpWrapper(const wchar_t* proxy = nullptr);
    CWinHttpWrapper(const CWinHttpWrapper&) = delete;
    CWinHttpWrapper& operator=(const CWinHttpWrapper&) = delete;
    // Stops a request still running (see Close).
    virtual ~CWinHttpWrapper();

    // Prepares the next request; false while one is open. A null url keeps
    // the previous one; a null targetPath keeps the previous path and mode.
    // A port written in the URL wins over `port`; 0, 80 and 443 leave the
    // choice to the scheme.
    bool Initialize(const wchar_t* url, INTERNET_PORT port, const char* targetPath, bool memoryMode);
    // Opens session, connection and request. verb: kGet, kPost or kHead;
    // proxy null: the constructor's, else the detected one.
    bool Connect(int verb, const wchar_t* userAgent, const wchar_t* proxy);
    // Starts the request on the worker thread. The returned thread handle is
    // the caller's to wait on and to close; null when nothing was started.
    HANDLE SendRequest(const wchar_t* proxyUser, const wchar_t* proxyPassword);
    HANDLE SendRequestWithBody(const void* body, DWORD bodySize, const wchar_t* contentType,
                               const wchar_t* proxyUser, const wchar_t* proxyPassword);
    // Tells the worker to stop and waits for it up to the timeout; a worker
    // still running then is terminated and the result is false.
    bool Abort(DWORD timeoutMilliseconds);
    // Reading posts (message, wParam = content length, or the amount
    // available when unknown, lParam = bytes read since the last post) to the
    // window: at most one post per ProgressCoalescer::kInterval, and one more
    // for the rest when the reading ends, so the lParams add up to the bytes
    // read. The last post may come before the file of a memory-mode request
    // is written. May be called while a request runs.
    void SetProgressTarget(HWND window, UINT message);
    // Stops a running worker, then releases handles, buffers and texts; the
    // object cannot send again afterwards.
    void Close();

    // Valid once the worker has ended: 0, a Windows or WinHTTP error, or one of the codes above.
    int GetResult() const;
    // The body of a memory-mode request (null when empty); the total byte
    // count in either mode.
    const BYTE* GetResponseData() const;
    int GetResponseSize() const;

    // Shortens the bound of blocking calls of the following connections
    // (at most kDefaultTimeout; 0 restores it).
    void SetTimeout(DWORD milliseconds);

private:
    using WorkFunction = int (CWinHttpWrapper::*)();

    static unsigned __stdcall SendThread(void* self);
    static unsigned __stdcall UploadThread(void* self);
    unsigned RunWorker(WorkFunction work);
    HANDLE StartWorker(unsigned(__stdcall* routine)(void*));

    int SendAndRead();
    int Upload();
    int SendWithRetry();
    int ReadResponse();
    int ReadBody(long long contentLength);
    int ReadChunks(long long contentLength, update::CResponseAppender& appender, update::ProgressCoalescer& progress,
                   WPARAM& amount);
    void PostProgress(WPARAM amount, DWORD bytes) const;
    int ReadChunk(DWORD wanted, BYTE* fileBuffer, DWORD* read);
    int WriteBodyFile();
    void ApplyProxyCredentials();
    void StoreCredentials(const wchar_t* proxyUser, const wchar_t* proxyPassword);

    bool ConnectFailed(int line, const char* format);
    INTERNET_PORT TargetPort() const;
    bool UrlHasPort() const;
    bool Running() const;
    bool WorkerRunning() const;
    bool RequestOpen() const;
    void CloseRequest();

    std::wstring url_;
    INTERNET_PORT port_ = 0;
    int verb_ = kGet;
    std::wstring proxyOverride_;
    URL_COMPONENTS urlParts_{};
    std::wstring headers_;
    std::wstring proxyUser_;
    std::wstring proxyPassword_;
    update::InternetHandle session_;
    update::InternetHandle connection_;
    update::InternetHandle request_;
    // Manual reset, signalled while the request may go on; shared by the
    // objects made on one thread, through its name.
    lib::KernelHandle runEvent_;
    lib::KernelHandle worker_;
    std::vector<BYTE> responseData_;
    int responseSize_ = 0;
    bool memoryMode_ = true;
    std::vector<BYTE> body_;
    std::string targetPath_;
    int result_ = 0;
    // Read by the worker, set from any thread.
    std::atomic<HWND> progressWindow_{nullptr};
    std::atomic<UINT> progressMessage_{0};
    DWORD timeout_ = kDefaultTimeout;
};
