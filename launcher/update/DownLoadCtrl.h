#pragma once
// The update control of the silent-install window: asks the update service
// for the current versions of the suite's components, compares them with the
// installed programs and downloads the packages that need installing. Results
// reach the owner window as posted messages only.
#include <windows.h>

#include <memory>
#include <string>

#include "launcher/update/ComponentVersions.h"
#include "launcher/update/InstallerDownloader.h"
#include "launcher/update/ServiceReply.h"
#include "lib/UniqueHandle.h"

class CDownLoadCtrl {
public:
    // Registered message the owner usually passes to SetOwner for the query's end.
    static constexpr const char* kQueryEndMessage = "URLThreadProgress";
    static constexpr const char* kNotifyErrorMessage = "CVLNotifyError";
    // Message codes posted with kNotifyErrorMessage.
    static constexpr unsigned kRequestFailedCode = 0x04100000;  // | low 16 bits of the request result
    static constexpr unsigned kServiceResultCode = 0x04200000;  // | the service's result code
    // StopAll's whole wait for the query and download threads; those still
    // blocked then are left to end by themselves.
    static constexpr DWORD kStopTimeout = 500;

    explicit CDownLoadCtrl(std::string downloadFolder = CInstallerDownloader::DefaultDownloadFolder());
    CDownLoadCtrl(const CDownLoadCtrl&) = delete;
    CDownLoadCtrl& operator=(const CDownLoadCtrl&) = delete;
    virtual ~CDownLoadCtrl();

    // Where the query's end is posted: `message`, wParam 0, lParam 0 (success) or -1.
    void SetOwner(HWND window, UINT message);
    // The address the query goes to instead of connection entry 30 (empty:
    // that entry), and the folder of the installed programs that
    // CheckHaveNewVersion reads instead of the launcher's own (empty: the
    // launcher's). Set before StartQuery.
    void SetServiceUrl(std::string url);
    void SetProgramFolder(std::string folder);
    // Where the downloader of component `number` (1-4) posts its progress;
    // given to it before its download starts, so that no message goes astray.
    void SetProgressTarget(int number, HWND window, UINT message);
    // Starts the service query on a worker thread; false when one still runs
    // or no thread could be made. A query stopped by StopAll posts nothing
    // more, and a new one can start at once.
    bool StartQuery();
    bool ParseURLData(const BYTE* data, int size);
    // Update and first-install flags of the programs beside the launcher.
    int CheckHaveNewVersion() const;
    // Starts downloading the package of component `number` (1-4).
    bool StartDownload(int number);
    CInstallerDownloader* GetDownloader(int number) const;
    std::string GetPackagePath(int number) const;
    // Stops every download and the query, all within kStopTimeout; none of
    // them posts anything afterwards.
    void StopAll();

    int GetServiceResult() const;

private:
    class Query;

    static unsigned __stdcall QueryThreadRoutine(void* owner);
    // The reply of the last query that ended, once it has; else the last parsed.
    const update::ServiceReply& Reply() const;

    HWND ownerWindow_ = nullptr;
    UINT resultMessage_ = 0;
    // The current query, shared with its thread; a new one for each StartQuery.
    std::shared_ptr<Query> query_;
    lib::KernelHandle queryThread_;
    // Taken from the query once it has ended (see Reply).
    mutable update::ServiceReply reply_;
    std::unique_ptr<CInstallerDownloader> downloaders_[update::kComponentCount];
    struct ProgressTarget {
        HWND window = nullptr;
        UINT message = 0;
    };
    ProgressTarget progressTargets_[update::kComponentCount];
    const std::string downloadFolder_;
    std::string serviceUrl_;
    std::string programFolder_;
};
