#pragma once
// Owning wrapper for WinHTTP session, connection and request handles.
#include <windows.h>
#include <winhttp.h>

#include "lib/UniqueHandle.h"

namespace update {

struct InternetHandleTraits {
    using handle_type = HINTERNET;
    static handle_type invalid() noexcept { return nullptr; }
    static void close(handle_type h) noexcept { ::WinHttpCloseHandle(h); }
};

using InternetHandle = lib::UniqueHandle<InternetHandleTraits>;

}  // namespace update
