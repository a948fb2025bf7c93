#include "launcher/update/WebBrowseHelper.h"

#include <shellapi.h>

#include <atomic>

#include "launcher/update/ConnectionFile.h"
#include "log/KilnLogWrapper.h"

namespace update {
namespace {

std::atomic<ShellExecuteFunction> shellExecute{&::ShellExecuteA};

bool Started(HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; }

}  // namespace

ShellExecuteFunction ReplaceShellExecute(ShellExecuteFunction function) {
    return shellExecute.exchange(function);
}

bool OpenUrlInBrowser(const std::string& url) {
    if (url.empty()) return false;
    const ShellExecuteFunction execute = shellExecute.load();
    const HINSTANCE result = execute(nullptr, "open", url.c_str(), nullptr, "", SW_SHOWNORMAL);
    if (Started(result)) return true;
    const DWORD error = ::GetLastError();
    CKilnLogWrapper("WebBrowseHelper", 32)
        .Write(kLogError, "既定のブラウザ起動失敗 ShellExecute:0x%08X ERR:0x%08X",
               static_cast<unsigned>(reinterpret_cast<INT_PTR>(result)), static_cast<unsigned>(error));
    return Started(execute(nullptr, "open", "iexplore.exe", url.c_str(), "", SW_SHOWNORMAL));
}

bool OpenConnectionUrl(int id) { return OpenUrlInBrowser(GetConnectionUrl(id)); }

}  // namespace update
