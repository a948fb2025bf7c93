#pragma once
// Turns the Windows Installer messages of one installation into the progress
// notifications of the launcher-updater protocol. Lives for one installation;
// every handler runs on the thread that called MsiInstallProductA.
#include <windows.h>

#include <cstdint>

namespace MsiInstaller {

class MsiInstallCallback {
public:
    MsiInstallCallback() = default;
    MsiInstallCallback(const MsiInstallCallback&) = delete;
    MsiInstallCallback& operator=(const MsiInstallCallback&) = delete;
    virtual ~MsiInstallCallback() = default;

    // Progress state back to its start; the binding stays.
    void Reset();
    void Bind(HWND notifyWindow, UINT notifyMessage, std::int32_t applicationType);

    // Calls the handler of the message's type (bits 24-31) with the low 24 bits;
    // 0 for a type without a handler.
    int Dispatch(UINT messageType, LPCSTR text);

    // Ends a request refused before Windows Installer ran as the installer
    // ends one it cannot open: the start notification, then the end.
    void EndRefused();

    // True once a TERMINATE has been handled (and the end notification posted).
    bool Terminated() const { return terminated_; }

    std::int32_t Total() const { return total_; }
    std::int32_t Position() const { return position_; }
    bool Forward() const { return forward_; }
    bool ActionDataEnabled() const { return actionDataEnabled_; }
    std::int32_t Step() const { return step_; }

    // One handler per message type, in the order of the type numbers 0 to 14.
    virtual int OnFatalExit(UINT flags, LPCSTR text);
    virtual int OnError(UINT, LPCSTR) { return 0; }
    virtual int OnWarning(UINT, LPCSTR) { return 0; }
    virtual int OnUser(UINT, LPCSTR) { return 0; }
    virtual int OnInfo(UINT, LPCSTR) { return 0; }
    virtual int OnFilesInUse(UINT, LPCSTR) { return 0; }
    virtual int OnResolveSource(UINT, LPCSTR) { return 0; }
    virtual int OnOutOfDiskSpace(UINT, LPCSTR) { return 0; }
    virtual int OnActionStart(UINT, LPCSTR) { return 0; }
    virtual int OnActionData(UINT flags, LPCSTR text);
    virtual int OnProgress(UINT flags, LPCSTR text);
    virtual int OnCommonData(UINT, LPCSTR) { return 0; }
    virtual int OnInitialize(UINT flags, LPCSTR text);
    virtual int OnTerminate(UINT flags, LPCSTR text);
    virtual int OnShowDialog(UINT, LPCSTR) { return 0; }

private:
    void Send(WPARAM code, LPARAM value) const;
    void Post(WPARAM code, LPARAM value) const;
    void Advance(std::int32_t ticks);

    std::int32_t total_ = 0;
    bool forward_ = true;
    bool actionDataEnabled_ = false;
    std::int32_t position_ = 0;
    std::int32_t step_ = 0;
    HWND notifyWindow_ = nullptr;
    UINT notifyMessage_ = 0;
    std::int32_t applicationType_ = -1;
    bool terminated_ = false;
};

}  // namespace MsiInstaller
