#include "lib/OsVersion.h"

#include <windows.h>

namespace lib {

bool IsWindowsVistaOrLater() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    return ::GetVersionExA(&info) && info.dwMajorVersion >= 6;
}

}  // namespace lib
