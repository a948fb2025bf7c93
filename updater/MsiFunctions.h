#pragma once
// The four Windows Installer functions the updater uses, bound from msi.dll
// through one table so that tests can put stand-ins in their place.
#include <windows.h>
#include <msi.h>

namespace MsiInstaller {

struct MsiFunctions {
    INSTALLUI_HANDLERA(WINAPI* SetExternalUIA)(INSTALLUI_HANDLERA handler, DWORD messageFilter, LPVOID context);
    INSTALLUILEVEL(WINAPI* SetInternalUI)(INSTALLUILEVEL level, HWND* window);
    UINT(WINAPI* InstallProductA)(LPCSTR packagePath, LPCSTR commandLine);
    INSTALLSTATE(WINAPI* QueryProductStateA)(LPCSTR productCode);
};

// The current table. On first use the system's msi.dll is bound by ordinal;
// a function it cannot provide fails instead (no installation, state unknown).
MsiFunctions GetMsiFunctions();

// Puts `functions` in place of the current table; returns the table it replaced.
MsiFunctions ReplaceMsiFunctions(const MsiFunctions& functions);

}  // namespace MsiInstaller
