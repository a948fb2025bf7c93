#pragma once
// The launcher's side of the updater protocol: finding the updater's window
// and handing it install and cancel requests as WM_COPYDATA records.
#include <windows.h>

#include <string>

#include "updater/InstallRequestRecord.h"

namespace launcher {

constexpr char kUpdaterClass[] = "VEDAZAVUZUVEZ";
constexpr char kUpdaterTitle[] = "VedaZavuzuvez";
// How long one request may wait for the updater's window procedure.
constexpr UINT kUpdaterSendTimeout = 10000;

// The updater's window; null when it does not run.
HWND FindUpdaterWindow();

// The install request for package `packagePath` of component `aplType`,
// with the notifications going to `notifyMessage` of `notifyWindow`. False
// when the path is empty or does not fit the record: a cut path would name
// another file.
bool MakeInstallRequest(int aplType, int installType, HWND notifyWindow, UINT notifyMessage,
                        const std::string& packagePath, InstallRequestRecord* record);

// The cancel request; it names the component being installed.
InstallRequestRecord MakeCancelRequest(int aplType);

// Sends `record` with `kind` (COPYDATAINSTALL or MSG_REQUEST_CANCELINSTALL)
// to `updater`, waiting at most kUpdaterSendTimeout. True when the updater's
// window procedure took it (whatever it answered); a request to a missing or
// hung updater is lost.
bool SendToUpdater(HWND updater, ULONG_PTR kind, const InstallRequestRecord& record);

}  // namespace launcher
