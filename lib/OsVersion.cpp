#include "lib/OsVersion.h"

#include <windows.h>

namespace lib {
namespace {

bool VersionAtLeast(DWORD major, DWORD minor) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return ::GetVersionExA(&info) &&
           (info.dwMajorVersion > major || (info.dwMajorVersion == major && info.dwMinorVersion >= minor));
}

}  // namespace

bool IsWindowsVistaOrLater() { return VersionAtLeast(6, 0); }

bool IsWindowsXPOrLater() { return VersionAtLeast(5, 1); }

}  // namespace lib
