#pragma once
// Commands of the framework's registered message "WFC-InternalMessage"
// (id: GetInternalMessage()). The command travels in wParam, its argument in lParam.
#include <windows.h>

namespace lib::wfc {

enum InternalCommand : WPARAM {
    kReflectOwnerDraw = 0,   // lParam: ReflectedMessage*; answers the handler's bool
    kAddToGroup = 1,         // lParam: HWND appended to the window's group
    kRemoveFromGroup = 2,    // lParam: HWND, first occurrence removed
    kGroupActivation = 3,    // lParam: GroupActivation*
    kGroupEnable = 4,        // lParam: BOOL, EnableWindow for every group member
};

// A WM_DRAWITEM or WM_MEASUREITEM passed on to the child window that draws the item.
struct ReflectedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A group keeps its active look while activation moves among its members.
struct GroupActivation {
    bool active;
    HWND otherWindow;
};

}  // namespace lib::wfc
