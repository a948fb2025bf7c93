#pragma once
// Downloads one installer package on a worker thread of its own into the
// download folder. The body streams to "<package>.part", which becomes the
// package file only once complete. A failure is posted to the owner window as
// "CVLDownloadNotifyError", and a package that is complete on disk as
// "CVLDownloadNotifyComplete", after every progress message of the download;
// progress reaches the window set by SetProgressTarget through the HTTP
// client. A stopped download posts nothing more.
#include <windows.h>

#include <memory>
#include <string>

#include "lib/UniqueHandle.h"

class CInstallerDownloader {
public:
    enum State { kIdle = -1, kStarting = 0, kDownloading = 1, kDownloaded = 2 };

    static constexpr const char* kDownloadErrorMessage = "CVLDownloadNotifyError";
    // Posted with wParam 0 and lParam 0 once the package file is written.
    static constexpr const char* kDownloadCompleteMessage = "CVLDownloadNotifyComplete";
    // How long a stop waits for the download thread before leaving it to end by itself.
    static constexpr DWORD kStopTimeout = 500;

    // The suite's data folder followed by "Download\".
    static std::string DefaultDownloadFolder();

    CInstallerDownloader(HWND owner, std::string downloadFolder);
    CInstallerDownloader(const CInstallerDownloader&) = delete;
    CInstallerDownloader& operator=(const CInstallerDownloader&) = delete;
    // Stops a running download (kStopTimeout).
    virtual ~CInstallerDownloader();

    // Starts downloading `url`; only when idle. False when busy or no thread could be made.
    bool Start(const std::string& url);
    // Tells the download to stop, without waiting: its request handle is
    // closed, and from now on it posts nothing and makes no package file.
    void Abort();
    // Abort, then waits for the download thread up to `timeoutMilliseconds`.
    // A thread still blocked then (only its call's own timeout ends that)
    // owns all it uses and is left to end by itself; the result is false.
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
    class Job;

    static unsigned __stdcall ThreadRoutine(void* owner);

    const HWND owner_;
    const std::string downloadFolder_;
    HWND progressWindow_ = nullptr;
    UINT progressMessage_ = 0;
    // The current download, shared with its thread; a new one for each Start.
    std::shared_ptr<Job> job_;
    lib::KernelHandle thread_;
};
