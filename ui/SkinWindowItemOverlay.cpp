#include "ui/SkinWindowItemOverlay.h"

#include "ui/SkinKeySchema.h"
#include "ui/SkinValues.h"
#include "ui/SkinWindowItemResizableStaticImage.h"

namespace ui {
namespace {

constexpr SkinKeySchema kAlphaSchema{"Alpha", {SkinParameter::Integer}};

}  // namespace

CSkinWindowItemOverlay::CSkinWindowItemOverlay(ISkinWindowItemAccessor& owner, int id,
                                               const SkinItemDefinition& definition, CSkinImageList& images)
    : CSkinWindowItem(owner, id) {
    ValidateSkinKeys(definition, {kAlphaSchema});
    alpha_ = SkinIntegerAt(definition, "Alpha");
    imageName_ = ReadNineGridImage(definition, images, *this);
}

bool CSkinWindowItemOverlay::IsHitTarget() const { return false; }

void CSkinWindowItemOverlay::Paint() {
    if (!IsVisible()) return;
    lib::wfc::CDIB& buffer = Owner().GetBackBuffer();
    const CLockedSkinImage image = Owner().GetImageCache().Lock(imageName_);
    if (image) DrawNineGrid(buffer, GetRect(), image.Image(), alpha_, RGB(255, 0, 255), &buffer.ClipRect());
}

void CSkinWindowItemOverlay::SetItemRect(const RECT& rect) { SetRect(rect.left, rect.top, rect.right, rect.bottom); }
void CSkinWindowItemOverlay::OnEnabledChanged() { Invalidate(); }

}  // namespace ui
