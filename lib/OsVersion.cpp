#include "lib/OsVersion.h"

namespace lib {
namespace {

constexpr int kFirstXPClass = 9;
constexpr int kLastPreVistaClass = 11;

bool CsdIs(const OSVERSIONINFOA& info, const char* text) { return ::lstrcmpiA(info.szCSDVersion, text) == 0; }

}  // namespace

int ClassifyWindowsVersion(const OSVERSIONINFOA& info, bool serverR2, bool server) {
    const DWORD major = info.dwMajorVersion;
    const DWORD minor = info.dwMinorVersion;
    const bool nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
    const bool windows9x = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    if (major == 3 && minor == 51) return 1;
    if (major == 4) {
        if (minor == 0 && windows9x) return CsdIs(info, " C") ? 3 : 2;
        if (minor == 10 && windows9x) return CsdIs(info, " A") ? 6 : 5;
        if (minor == 90 && windows9x) return 7;
        if (minor == 0 && nt) return 4;
        return 0;
    }
    if (major >= 7) return 15;
    if (!nt) return 0;
    if (major == 5) {
        if (minor == 0) return 8;
        if (minor == 1) return 9;
        if (minor == 2) return serverR2 ? 11 : 10;
        return 0;
    }
    if (major == 6) {
        if (minor == 0) return server ? 13 : 12;
        return minor == 1 ? 14 : 15;
    }
    return 0;
}

int RunningWindowsVersionClass() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!::GetVersionExA(&info)) return 0;
    OSVERSIONINFOEXA extended{};
    extended.dwOSVersionInfoSize = sizeof extended;
    const bool server = ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&extended)) &&
                        extended.wProductType == VER_NT_SERVER;
    return ClassifyWindowsVersion(info, ::GetSystemMetrics(SM_SERVERR2) != 0, server);
}

bool IsWindowsVistaOrLater() { return RunningWindowsVersionClass() > kLastPreVistaClass; }

bool IsWindowsXPOrLater() { return RunningWindowsVersionClass() >= kFirstXPClass; }

}  // namespace lib
