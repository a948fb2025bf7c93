/* Deferred custom actions of the test packages: each ends the installation
   with a fixed result. */
#include <windows.h>
#include <msi.h>

__declspec(dllexport) UINT __stdcall ReturnFailure(MSIHANDLE install) {
    (void)install;
    return ERROR_INSTALL_FAILURE;
}

__declspec(dllexport) UINT __stdcall ReturnUserExit(MSIHANDLE install) {
    (void)install;
    return ERROR_INSTALL_USEREXIT;
}
