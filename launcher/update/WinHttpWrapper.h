#pragma once
// One HTTP request at a time over WinHTTP: proxy resolution the way Internet
// Explorer does it, the send-and-read work on a worker thread of its own, the
// body kept in memory or streamed to a file, progress posted to a window and
// an abort from any thread through a named event.
#include <windows.h>
#include <winhttp.h>

#include <memory>
#include <mutex>

#include "lib/UniqueHandle.h"

namespace update {
class HttpExchange;
}  // namespace update

class CWinHttpWrapper {
public:
    // Result codes besides Windows and WinHTTP errors.
    static constexpr int kAborted = ERROR_REQUEST_ABORTED;  // 1235
    static constexpr int kHttpStatusFlag = 0x10000000;      // | status outside 200-299
    static constexpr int kNoData = ERROR_WINHTTP_TIMEOUT;   // 12002, reads keep giving nothing
    static constexpr int kNothingToWrite = 12152;           // a file-mode body without data

    // Verb indexes of Connect.
    static constexpr int kGet = 0;
    static constexpr int kPost = 1;
    static constexpr int kHead = 2;

    // Bound of every blocking WinHTTP call (connect, send, receive, waiting
    // for the headers). A request's send attempts and the wait for its
    // headers share one deadline of a fifth more than that.
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
    // A file-mode request streams its body to "<targetPath>.part", which
    // replaces targetPath once the body is complete; a memory-mode request
    // keeps the body in memory only. A port written in the URL wins over
    // `port`; 0, 80 and 443 leave the choice to the scheme.
    bool Initialize(const wchar_t* url, INTERNET_PORT port, const char* targetPath, bool memoryMode);
    // Opens session, connection and request. verb: kGet, kPost or kHead;
    // proxy null: the constructor's, else the detected one.
    bool Connect(int verb, const wchar_t* userAgent, const wchar_t* proxy);
    // Starts the request on the worker thread. The returned thread handle is
    // the caller's to wait on and to close; null when nothing was started.
    HANDLE SendRequest(const wchar_t* proxyUser, const wchar_t* proxyPassword);
    HANDLE SendRequestWithBody(const void* body, DWORD bodySize, const wchar_t* contentType,
                               const wchar_t* proxyUser, const wchar_t* proxyPassword);
    // Tells the worker to stop and closes its request handle, which ends a
    // call that is moving data, then waits for it up to the timeout. A worker
    // still blocked then (a silent server: only its call's own timeout ends
    // that) is left to end by itself, owning all it uses, and the result is
    // false. Either way the request ends as kAborted: no more progress, no
    // file, and its late result is never seen here.
    bool Abort(DWORD timeoutMilliseconds);
    // The first half of Abort, from any thread and without waiting: the
    // worker is told to stop and its request handle closed.
    void Cancel();
    // Reading posts (message, wParam = content length, or the amount
    // available when unknown, lParam = bytes read since the last post) to the
    // window: at most one post per ProgressCoalescer::kInterval, and one more
    // for the rest when the reading ends, so the lParams add up to the bytes
    // read. The last post may come before a file-mode body is in place. May
    // be called while a request runs.
    void SetProgressTarget(HWND window, UINT message);
    // Stops a running worker (Abort with a short wait), then releases
    // handles, buffers and texts; the object cannot send again afterwards.
    void Close();

    // Valid once the worker has ended: 0, a Windows or WinHTTP error, or one of the codes above.
    int GetResult() const;
    // The body of a memory-mode request (null when empty); the total byte
    // count in either mode.
    const BYTE* GetResponseData() const;
    long long GetResponseSize() const;

    // Shortens the bound of blocking calls of the following connections
    // (at most kDefaultTimeout; 0 restores it).
    void SetTimeout(DWORD milliseconds);

private:
    HANDLE StartWorker(lib::KernelHandle worker);
    bool WorkerRunning() const;

    // Manual reset, signalled while the request may go on; shared by the
    // objects made on one thread, through its name.
    lib::KernelHandle runEvent_;
    // The current request, shared with its worker. Replaced by the owning
    // thread under exchangeLock_, which Cancel and SetProgressTarget take.
    std::shared_ptr<update::HttpExchange> exchange_;
    mutable std::mutex exchangeLock_;
    lib::KernelHandle worker_;
    // The worker was left running: its results are not this object's to read.
    bool abandoned_ = false;
    bool closed_ = false;
};
