#include "lib/wfc/WindowClass.h"

#include <mutex>
#include <set>
#include <string>

#include "lib/wfc/Framework.h"
#include "lib/wfc/WindowDispatch.h"
#include "lib/wfc/bad_alloc.h"

namespace lib::wfc {

const char kDefaultWindowClass[] = "WFC-DefaultWindowClass";

namespace {

// Worker threads may register classes too, so the set of names is locked.
std::mutex registeredLock;
std::set<std::string> registeredNames;

}  // namespace

void RegisterWindowClass(const char* name, UINT style, HICON icon, HICON smallIcon, HCURSOR cursor,
                         HBRUSH background) {
    std::lock_guard<std::mutex> lock(registeredLock);
    if (registeredNames.count(name)) return;

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style ? style : CS_DBLCLKS;
    windowClass.lpfnWndProc = &FrameworkWindowProc;
    windowClass.hInstance = GetInstanceHandle();
    windowClass.hIcon = icon ? icon : ::LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = smallIcon ? smallIcon : windowClass.hIcon;
    windowClass.hCursor = cursor ? cursor : ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background ? background : ::GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = name;
    if (!::RegisterClassExA(&windowClass)) throw lib::wfc::bad_alloc();
    registeredNames.insert(name);
}

}  // namespace lib::wfc
