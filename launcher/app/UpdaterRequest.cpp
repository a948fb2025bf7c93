#include "launcher/app/UpdaterRequest.h"

#include <cstring>

namespace launcher {

HWND FindUpdaterWindow() { return ::FindWindowA(kUpdaterClass, kUpdaterTitle); }

bool MakeInstallRequest(int aplType, int installType, HWND notifyWindow, UINT notifyMessage,
                        const std::string& packagePath, InstallRequestRecord* record) {
    *record = InstallRequestRecord{};
    // The path is copied byte for byte: Shift-JIS text stays as it is.
    if (packagePath.empty() || packagePath.size() >= sizeof(record->PathPackage)) return false;
    record->APLType = aplType;
    record->InstallType = installType;
    record->NotifyWindow = RecordWindowValue(notifyWindow);
    record->NotifyMessage = notifyMessage;
    std::memcpy(record->PathPackage, packagePath.data(), packagePath.size());
    return true;
}

InstallRequestRecord MakeCancelRequest(int aplType) {
    InstallRequestRecord record{};
    record.APLType = aplType;
    return record;
}

bool SendToUpdater(HWND updater, ULONG_PTR kind, const InstallRequestRecord& record) {
    if (!updater) return false;
    COPYDATASTRUCT request{};
    request.dwData = kind;
    request.cbData = sizeof(record);
    request.lpData = const_cast<InstallRequestRecord*>(&record);
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(updater, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request), SMTO_BLOCK,
                                 kUpdaterSendTimeout, &answer) != 0;
}

}  // namespace launcher
