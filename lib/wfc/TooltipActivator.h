#pragma once
// Shows a tooltip once the mouse has rested for the tooltip's initial delay:
// Check asks the tooltip control to update when the mouse moved and then
// stayed put long enough. Skin windows call Check from their timer; on
// systems older than Windows XP a thread of its own calls it instead.
#include <windows.h>

#include "lib/UniqueHandle.h"
#include "lib/wfc/CriticalSection.h"
#include "lib/wfc/Thread.h"

namespace lib::wfc {

class CTooltipActivator : public CThread {
public:
    CTooltipActivator();
    ~CTooltipActivator() override;

    // Takes the tooltip's initial delay; starts the thread only when asked
    // to and the system is older than Windows XP.
    void Attach(HWND tooltip, bool startThread);
    void OnMouseMove(int x, int y);
    // Once the mouse has rested longer than the delay after a move: asks a
    // hidden tooltip to update. A visible one is left alone; either way the
    // move counts as handled.
    void Check();
    // Ends the thread (bounded wait) and forgets the tooltip.
    void Stop();

    bool Start() override;
    unsigned Run() override;

private:
    CCriticalSection lock_;
    HWND tooltip_ = nullptr;
    bool pending_ = true;
    DWORD lastMoveTime_;
    DWORD delay_ = 500;
    int lastX_ = -1;
    int lastY_ = -1;
    KernelHandle stopEvent_;
};

}  // namespace lib::wfc
