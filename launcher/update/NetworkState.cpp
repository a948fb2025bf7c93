#include "launcher/update/NetworkState.h"

#include <windows.h>

#include <atomic>
#include <string>

#include "lib/UniqueHandle.h"

namespace update {
namespace {

using IsNetworkAliveFunction = BOOL(WINAPI*)(LPDWORD);

// sensapi.dll from the system folder, loaded at first use: the 32-bit
// toolchain has no import library for it, and a bare name would let the
// program's folder supply the DLL.
class SensApi {
public:
    SensApi() {
        wchar_t folder[MAX_PATH] = {};
        const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return;
        library_.reset(::LoadLibraryW((std::wstring(folder, length) + L"\\sensapi.dll").c_str()));
        if (library_)
            isNetworkAlive_ = reinterpret_cast<IsNetworkAliveFunction>(
                reinterpret_cast<void*>(::GetProcAddress(library_.get(), "IsNetworkAlive")));
    }

    // Null when the system has no such function.
    IsNetworkAliveFunction isNetworkAlive() const { return isNetworkAlive_; }

private:
    lib::LibraryHandle library_;
    IsNetworkAliveFunction isNetworkAlive_ = nullptr;
};

// A check that cannot be made (not a missing network, which leaves no error)
// counts as connected: the transfers themselves then report what is wrong.
bool SystemNetworkCheck() {
    static const SensApi sensApi;
    const IsNetworkAliveFunction isNetworkAlive = sensApi.isNetworkAlive();
    if (!isNetworkAlive) return true;
    DWORD flags = 0;
    ::SetLastError(ERROR_SUCCESS);
    return isNetworkAlive(&flags) || ::GetLastError() != ERROR_SUCCESS;
}

std::atomic<NetworkCheckFunction> networkCheck{&SystemNetworkCheck};

}  // namespace

NetworkCheckFunction ReplaceNetworkCheck(NetworkCheckFunction function) { return networkCheck.exchange(function); }

bool IsNetworkUp() { return networkCheck.load()(); }

}  // namespace update
