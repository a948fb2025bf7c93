#pragma once
// One request of the HTTP client with everything its worker thread touches:
// handles, body, part file, progress target and result. The client and the
// worker each hold it, so a worker that a stop leaves blocked in a call owns
// all it uses until that call's own timeout ends it, and then can reach no
// window and no file of a later request.
#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "launcher/update/InternetHandle.h"
#include "lib/UniqueHandle.h"

namespace update {

class CDownloadFile;
class ProgressCoalescer;

class HttpExchange : public std::enable_shared_from_this<HttpExchange> {
public:
    // What a following request keeps from this one.
    struct Settings {
        std::wstring url;
        INTERNET_PORT port = 0;
        std::wstring proxyOverride;
        std::string targetPath;
        bool memoryMode = true;
        DWORD timeout = 0;
        std::wstring proxyUser;
        std::wstring proxyPassword;
        HWND progressWindow = nullptr;
        UINT progressMessage = 0;
    };

    // `runEvent` is a handle of its own to the client's run event.
    HttpExchange(Settings settings, lib::KernelHandle runEvent);
    HttpExchange(const HttpExchange&) = delete;
    HttpExchange& operator=(const HttpExchange&) = delete;

    Settings CurrentSettings() const;

    // See CWinHttpWrapper::Initialize, of which this is the part after the checks.
    void Prepare(const wchar_t* url, INTERNET_PORT port, const char* targetPath, bool memoryMode);
    // See CWinHttpWrapper for these.
    bool Connect(int verb, const wchar_t* userAgent, const wchar_t* proxy);
    bool Ready() const;
    void StoreCredentials(const wchar_t* proxyUser, const wchar_t* proxyPassword);
    // False (last error set) for a body that cannot be kept.
    bool StoreUpload(const void* body, DWORD bodySize, const wchar_t* contentType);
    void SetProgressTarget(HWND window, UINT message);
    void SetTimeout(DWORD milliseconds);

    // The worker thread, holding this object until it ends; null when none could be made.
    lib::KernelHandle StartSend();
    lib::KernelHandle StartUpload();

    // From any thread, at once: the worker is to stop, its request handle is
    // closed (which ends a call that is moving data), and nothing it does
    // afterwards posts progress or makes the package file.
    void Stop();

    // Valid once the worker has ended.
    int Result() const;
    const BYTE* ResponseData() const;
    long long ResponseSize() const;
    // Releases handles and buffers of an object whose worker has ended.
    void Release();

private:
    using WorkFunction = int (HttpExchange::*)();

    static unsigned __stdcall SendThread(void* owner);
    static unsigned __stdcall UploadThread(void* owner);
    lib::KernelHandle StartWorker(unsigned(__stdcall* routine)(void*));
    unsigned RunWorker(WorkFunction work);

    int SendAndRead();
    int Upload();
    int Send(const wchar_t* headers, int attempts, int failureLine);
    void BoundCalls(DWORD milliseconds);
    DWORD Remaining() const;
    int ReadResponse();
    int ReadBody(long long contentLength);
    int ReadChunks(long long contentLength, CDownloadFile* file, ProgressCoalescer& progress, WPARAM& amount);
    int ReadChunk(DWORD wanted, BYTE* fileBuffer, DWORD* read);
    int CommitFile(CDownloadFile& file);
    void PostProgress(WPARAM amount, DWORD bytes);
    void ApplyProxyCredentials();

    bool ConnectFailed(int line, const char* format);
    INTERNET_PORT TargetPort() const;
    bool UrlHasPort() const;
    bool Running() const;
    HINTERNET Request();
    void CloseRequest();

    Settings settings_;
    int verb_ = 0;
    URL_COMPONENTS urlParts_{};
    std::wstring headers_;
    std::vector<BYTE> body_;
    InternetHandle session_;
    InternetHandle connection_;
    // The request handle, the progress target and the step that makes the
    // package file: under lock_, which Stop takes.
    mutable std::mutex lock_;
    InternetHandle request_;
    std::atomic<bool> stopped_{false};
    lib::KernelHandle runEvent_;
    std::vector<BYTE> responseData_;
    long long responseSize_ = 0;
    int result_ = 0;
    // When the request, with all its send attempts, has to have its answer.
    DWORD deadline_ = 0;
};

}  // namespace update
