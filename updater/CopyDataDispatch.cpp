#include "updater/CopyDataDispatch.h"

#include <cstring>

#include "log/KilnLogWrapper.h"
#include "updater/InstallRequestRecord.h"
#include "updater/MsiInstallControl.h"

namespace updater {
namespace {

bool OnInstallRequest(const COPYDATASTRUCT& data) {
    // The sender decides what cbData says; the record is only read when the
    // copy the system made holds a whole one.
    if (!data.lpData || data.cbData != sizeof(InstallRequestRecord)) {
        KILNLOG.Write(kLogError, "OnCopyData without COPYDATAINSTALL data");
        return false;
    }
    InstallRequestRecord record;
    std::memcpy(&record, data.lpData, sizeof record);
    if (record.InstallType == 0) return false;
    if (!std::memchr(record.PathPackage, '\0', sizeof record.PathPackage)) {
        KILNLOG.Write(kLogError, "OnCopyData PathPackage without terminator  APLType:%d  InstallType:%d",
                      static_cast<int>(record.APLType), static_cast<int>(record.InstallType));
        return false;
    }
    KILNLOG.Write(kLogInfo, "OnCopyData  APLType:%d  InstallType:%d  PathPackage:%s",
                  static_cast<int>(record.APLType), static_cast<int>(record.InstallType), record.PathPackage);

    MsiInstaller::MsiInstallControl& control = MsiInstaller::MsiInstallControl::GetInstance();
    switch (record.APLType) {
    case APLTYPE_UPDATEMANAGER:
    case APLTYPE_MSVTITLEEDITOR:
    case APLTYPE_VANTORMANAGER:
        control.QueueInstall(record);
        return true;
    case APLTYPE_LAUNCHER:
        control.RequestLauncherInstall(record);
        return true;
    default:
        return false;
    }
}

}  // namespace

bool OnCopyData(const COPYDATASTRUCT* data) {
    if (!data) return false;
    if (data->dwData == COPYDATAINSTALL) return OnInstallRequest(*data);
    if (data->dwData == MSG_REQUEST_CANCELINSTALL) {
        KILNLOG.Write(kLogInfo, "OnCopyData  MSG_REQUEST_CANCELINSTALL");
        MsiInstaller::MsiInstallControl::GetInstance().Cancel();
        return true;
    }
    return false;
}

}  // namespace updater
