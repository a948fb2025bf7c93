#include "lib/wfc/InternalMessage.h"

#include <algorithm>

#include "lib/wfc/Window.h"

namespace lib::wfc {

// Commands 0 and 3 carry a pointer to a record on the sender's stack; a null one is ignored.
LRESULT CWindow::_OnInternalMessage(WPARAM command, LPARAM lParam) {
    switch (command) {
    case kReflectOwnerDraw: {
        const auto* reflected = reinterpret_cast<const ReflectedMessage*>(lParam);
        if (!reflected) return 0;
        if (reflected->message == WM_DRAWITEM)
            return OnReflectedDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(reflected->lParam));
        if (reflected->message == WM_MEASUREITEM)
            return OnReflectedMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(reflected->lParam));
        return 0;
    }
    case kAddToGroup:
        groupWindows_.push_back(reinterpret_cast<HWND>(lParam));
        return 0;
    case kRemoveFromGroup: {
        auto found = std::find(groupWindows_.begin(), groupWindows_.end(), reinterpret_cast<HWND>(lParam));
        if (found != groupWindows_.end()) groupWindows_.erase(found);
        return 0;
    }
    case kGroupActivation: {
        const auto* activation = reinterpret_cast<const GroupActivation*>(lParam);
        if (activation) _ActivateGroup(activation->active, activation->otherWindow);
        return 0;
    }
    case kGroupEnable:
        _EnableGroup(lParam != 0);
        return 0;
    default:
        return 0;
    }
}

void CWindow::_ActivateGroup(bool active, HWND otherWindow) {
    std::vector<HWND> members = groupWindows_;
    members.push_back(hwnd_);
    bool found = std::find(members.begin(), members.end(), otherWindow) != members.end();
    for (HWND member : members) ::SendMessageA(member, WM_NCACTIVATE, found || active, 0);
}

void CWindow::_EnableGroup(bool enable) {
    for (HWND member : groupWindows_) ::EnableWindow(member, enable);
}

}  // namespace lib::wfc
