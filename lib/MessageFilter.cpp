#include "lib/MessageFilter.h"

#include "lib/OsVersion.h"
#include "lib/UniqueHandle.h"

namespace lib {

void AllowMessageThroughFilter(UINT message) {
    if (!IsWindowsVistaOrLater()) return;
    // Looked up at run time: the function does not exist before Vista.
    LibraryHandle user32(::LoadLibraryA("user32.dll"));
    if (!user32) return;
    using ChangeWindowMessageFilterFunction = BOOL(WINAPI*)(UINT, DWORD);
    auto change = reinterpret_cast<ChangeWindowMessageFilterFunction>(
        reinterpret_cast<void*>(::GetProcAddress(user32.get(), "ChangeWindowMessageFilter")));
    if (change) change(message, MSGFLT_ADD);
}

}  // namespace lib
