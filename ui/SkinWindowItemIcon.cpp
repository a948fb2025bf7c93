#include "ui/SkinWindowItemIcon.h"

#include "ui/BackBufferDC.h"

namespace ui {

CSkinWindowItemIcon::CSkinWindowItemIcon(ISkinWindowItemAccessor& owner, int id, const char* systemIcon)
    : CSkinWindowItem(owner, id) {
    if (systemIcon) icon_ = ::LoadIconA(nullptr, systemIcon);
    if (icon_) SetSize(::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON));
}

bool CSkinWindowItemIcon::IsHitTarget() const { return false; }

void CSkinWindowItemIcon::Paint() {
    if (!icon_ || !IsVisible()) return;
    const CBackBufferDC dc(Owner().GetBackBuffer());
    ::DrawIcon(dc.Handle(), X(), Y(), icon_);
}

void CSkinWindowItemIcon::OnEnabledChanged() { Invalidate(); }

}  // namespace ui
