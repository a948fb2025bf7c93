#include "updater/MsiFunctions.h"

#include <string>

#include "lib/UniqueHandle.h"
#include "lib/wfc/CriticalSection.h"
#include "log/KilnLogWrapper.h"

namespace MsiInstaller {
namespace {

INSTALLUI_HANDLERA WINAPI MissingSetExternalUI(INSTALLUI_HANDLERA, DWORD, LPVOID) { return nullptr; }
INSTALLUILEVEL WINAPI MissingSetInternalUI(INSTALLUILEVEL, HWND*) { return INSTALLUILEVEL_NOCHANGE; }
UINT WINAPI MissingInstallProduct(LPCSTR, LPCSTR) { return ERROR_INSTALL_SERVICE_FAILURE; }
INSTALLSTATE WINAPI MissingQueryProductState(LPCSTR) { return INSTALLSTATE_UNKNOWN; }

// Loaded by full path: the updater runs elevated and must not pick up an
// msi.dll planted beside it. Kept for the life of the process.
HMODULE SystemMsi() {
    static const lib::LibraryHandle module = [] {
        char folder[MAX_PATH] = {};
        const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
        lib::LibraryHandle loaded;
        if (length > 0 && length < MAX_PATH) {
            loaded.reset(::LoadLibraryA((std::string(folder) + "\\msi.dll").c_str()));
        }
        if (!loaded) KILNLOG.Write(kLogError, "msi.dll load failed[ERR:0x%08X]", static_cast<unsigned>(::GetLastError()));
        return loaded;
    }();
    return module.get();
}

template <typename Function>
void BindOrdinal(HMODULE module, WORD ordinal, Function* slot) {
    const FARPROC found = module ? ::GetProcAddress(module, MAKEINTRESOURCEA(ordinal)) : nullptr;
    if (found) {
        *slot = reinterpret_cast<Function>(reinterpret_cast<void*>(found));
    } else if (module) {
        KILNLOG.Write(kLogError, "msi.dll ordinal %u missing", static_cast<unsigned>(ordinal));
    }
}

MsiFunctions BindSystemMsi() {
    MsiFunctions functions{&MissingSetExternalUI, &MissingSetInternalUI, &MissingInstallProduct,
                           &MissingQueryProductState};
    const HMODULE module = SystemMsi();
    BindOrdinal(module, 136, &functions.SetExternalUIA);
    BindOrdinal(module, 141, &functions.SetInternalUI);
    BindOrdinal(module, 87, &functions.InstallProductA);
    BindOrdinal(module, 112, &functions.QueryProductStateA);
    return functions;
}

struct Table {
    lib::wfc::CCriticalSection lock;
    MsiFunctions functions = BindSystemMsi();
};

Table& CurrentTable() {
    static Table table;
    return table;
}

}  // namespace

MsiFunctions GetMsiFunctions() {
    Table& table = CurrentTable();
    lib::wfc::CriticalSectionLock hold(table.lock);
    return table.functions;
}

MsiFunctions ReplaceMsiFunctions(const MsiFunctions& functions) {
    Table& table = CurrentTable();
    lib::wfc::CriticalSectionLock hold(table.lock);
    const MsiFunctions previous = table.functions;
    table.functions = functions;
    return previous;
}

}  // namespace MsiInstaller
