#include "lib/wfc/Framework.h"

#include <commctrl.h>

#include <new>
#include <string>

#include "lib/UniqueHandle.h"
#include "lib/wfc/WindowClass.h"
#include "lib/wfc/bad_alloc.h"

namespace lib::wfc {
namespace {

constexpr std::size_t kMaxApplicationName = 256;

HINSTANCE instanceHandle = nullptr;
std::string applicationName;
UINT taskbarCreatedMessage = 0;
UINT internalMessage = 0;
std::new_handler previousNewHandler = nullptr;
LibraryHandle richEdit;

[[noreturn]] void ThrowOutOfMemory() { throw lib::wfc::bad_alloc(); }

}  // namespace

void Initialize(HINSTANCE instance, const char* name, HICON icon, HICON smallIcon) {
    instanceHandle = instance;
    applicationName.assign(name ? name : "");
    if (applicationName.size() > kMaxApplicationName) applicationName.resize(kMaxApplicationName);
    previousNewHandler = std::set_new_handler(&ThrowOutOfMemory);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES};
    ::InitCommonControlsEx(&controls);
    // Windows that host rich edit controls need the library loaded; a missing one only shows there.
    richEdit.reset(::LoadLibraryA("Riched20.dll"));

    taskbarCreatedMessage = ::RegisterWindowMessageA("TaskbarCreated");
    internalMessage = ::RegisterWindowMessageA("WFC-InternalMessage");
    RegisterWindowClass(kDefaultWindowClass, 0, icon, smallIcon, nullptr, nullptr);
    ThreadContext::AllocateSlot();
}

void Terminate() noexcept {
    std::set_new_handler(previousNewHandler);
    previousNewHandler = nullptr;
    ThreadContext::FreeSlot();
    richEdit.reset();
}

HINSTANCE GetInstanceHandle() noexcept { return instanceHandle; }

const char* GetApplicationName() noexcept { return applicationName.c_str(); }

UINT GetTaskbarCreatedMessage() noexcept { return taskbarCreatedMessage; }

UINT GetInternalMessage() noexcept { return internalMessage; }

}  // namespace lib::wfc
