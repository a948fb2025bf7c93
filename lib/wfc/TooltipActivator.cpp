#include "lib/wfc/TooltipActivator.h"

#include <commctrl.h>

#include "lib/OsVersion.h"
#include "log/KilnLogWrapper.h"

namespace lib::wfc {
namespace {

constexpr DWORD kCheckInterval = 100;
// The thread only waits on its stop event between checks, so it ends at once.
constexpr DWORD kStopWait = 5000;

}  // namespace

CTooltipActivator::CTooltipActivator() : lastMoveTime_(::GetTickCount()) {}

CTooltipActivator::~CTooltipActivator() { Stop(); }

void CTooltipActivator::Attach(HWND tooltip, bool startThread) {
    const LRESULT delay = ::SendMessageA(tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0);
    {
        CriticalSectionLock lock(lock_);
        tooltip_ = tooltip;
        delay_ = static_cast<DWORD>(delay);
    }
    if (startThread && !lib::IsWindowsXPOrLater()) Start();
}

void CTooltipActivator::OnMouseMove(int x, int y) {
    CriticalSectionLock lock(lock_);
    if (x == lastX_ && y == lastY_) return;
    pending_ = true;
    lastX_ = x;
    lastY_ = y;
    lastMoveTime_ = ::GetTickCount();
}

void CTooltipActivator::Check() {
    CriticalSectionLock lock(lock_);
    if (!tooltip_ || !pending_ || ::GetTickCount() - lastMoveTime_ <= delay_) return;
    if (!::IsWindowVisible(tooltip_)) ::PostMessageA(tooltip_, TTM_UPDATE, 0, 0);
    pending_ = false;
}

void CTooltipActivator::Stop() {
    if (GetHandle()) {
        ::SetEvent(stopEvent_.get());
        if (!Join(kStopWait)) KILNLOG.Write(kLogError, "ツールチップスレッド終了待ちタイムアウト");
    }
    CriticalSectionLock lock(lock_);
    tooltip_ = nullptr;
}

bool CTooltipActivator::Start() {
    if (!stopEvent_) stopEvent_.reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    return stopEvent_ && CThread::Start();
}

unsigned CTooltipActivator::Run() {
    while (::WaitForSingleObject(stopEvent_.get(), kCheckInterval) == WAIT_TIMEOUT) Check();
    return 0;
}

}  // namespace lib::wfc
