#pragma once
// Downloads one installer package on a worker thread of its own into the
// download folder. A failure is posted to the owner window as
// "CVLDownloadNotifyError", and a package that is complete on disk as
// "CVLDownloadNotifyComplete", after every progress message of the download;
// progress reaches the window set by SetProgressTarget through the HTTP client.
#include <windows.h>

#include <memory>
#include <string>

#include "launcher/update/WinHttpWrapper.h"
#include "lib/UniqueHandle.h"
#include "lib/wfc/CriticalSection.h"

class CInstallerDownloader {
public:
    enum State { kIdle = -1, kStarting = 0, kDownloading = 1, kDownloaded = 2 };

    static constexpr const char* kDownloadErrorMessage = "CVLDownloadNotifyError";
    // Posted with wParam 0 and lParam 0 once the package file is written.
    static constexpr const char* kDownloadCompleteMessage = "CVLDownloadNotifyComplete";
    static constexpr DWORD kStopTimeout = 25000;

    // The suite's data folder followed by "Download\".
    static std::string DefaultDownloadFolder();

    CInstallerDownloader(HWND owner, std::string downloadFolder);
    CInstallerDownloader(const CInstallerDownloader&) = delete;
    CInstallerDownloader& operator=(const CInstallerDownloader&) = delete;
    // Stops a running download (kStopTimeout).
    virtual ~CInstallerDownloader();

    // Starts downloading `url`; only when idle. False when busy or no thread could be made.
    bool Start(const std::string& url);
    // Aborts the download and waits for its thread up to `timeoutMilliseconds`;
    // a thread that does not end by then is terminated and the result is false.
    bool Stop(DWORD timeoutMilliseconds);
    // Waits up to `timeoutMilliseconds` for the download thread to end; true
    // when it ended or none runs.
    bool Wait(DWORD timeoutMilliseconds);

    int GetState() const;
    // The file the package goes to; empty until a download got that far.
    std::string GetPackagePath() const;
    // The size of the package file written by the last download; -1 unless
    // that download succeeded.
    long long GetCompletedSize() const;
    void SetProgressTarget(HWND window, UINT message);

private:
    static unsigned __stdcall ThreadRoutine(void* self);
    // The thread's work: 0 when the package was downloaded, else -1.
    int Run() noexcept;
    bool Download();
    // The HTTP client of this download, made on the download thread.
    CWinHttpWrapper& NewClient();
    bool IsAborted() const;
    void SetState(int state);

    lib::KernelHandle abortEvent_;
    HWND owner_;
    mutable lib::wfc::CCriticalSection lock_;
    // One client per download, released when it ends, so that a finished
    // download holds no copy of its package in memory. Set and reset by the
    // download thread only; used by other threads under lock_.
    std::unique_ptr<CWinHttpWrapper> http_;
    HWND progressWindow_ = nullptr;  // under lock_
    UINT progressMessage_ = 0;       // under lock_
    int state_ = kIdle;              // under lock_
    const std::string downloadFolder_;
    std::string packagePath_;        // under lock_
    long long completedSize_ = -1;   // under lock_
    std::string url_;
    lib::KernelHandle thread_;
};
