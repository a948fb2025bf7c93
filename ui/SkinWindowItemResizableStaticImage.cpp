#include "ui/SkinWindowItemResizableStaticImage.h"

#include "ui/SkinKeySchema.h"
#include "ui/SkinValues.h"

namespace ui {
namespace {

constexpr SkinParameter S = SkinParameter::String;
constexpr SkinParameter I = SkinParameter::Integer;
constexpr SkinKeySchema kNineGridImageSchema{"Image", {S, I, I, I, I, I, I, I, I}};

}  // namespace

std::string ReadNineGridImage(const SkinItemDefinition& definition, CSkinImageList& images,
                              CResizableDIBHelper& grid) {
    ValidateSkinKeys(definition, {kNineGridImageSchema});
    std::string name = SkinTextAt(definition, "Image");
    grid.SetNineGridCuts(SkinFourIntegersAt(definition, "Image", 1), SkinFourIntegersAt(definition, "Image", 5));
    images.Acquire(name);
    return name;
}

CSkinWindowItemResizableStaticImage::CSkinWindowItemResizableStaticImage(ISkinWindowItemAccessor& owner, int id,
                                                                         const SkinItemDefinition& definition,
                                                                         CSkinImageList& images)
    : CSkinWindowItem(owner, id) {
    ValidateSkinKeys(definition, {kSkinPositionSchema, kSkinSizeSchema});
    const RECT rect = SkinItemRect(definition);
    SetRect(rect.left, rect.top, rect.right, rect.bottom);
    caption_.Read(definition);
    imageName_ = ReadNineGridImage(definition, images, *this);
}

void CSkinWindowItemResizableStaticImage::Paint() {
    if (!Owner().IsWindowReady() || !IsVisible()) return;
    lib::wfc::CDIB& buffer = Owner().GetBackBuffer();
    {
        const CLockedSkinImage image = Owner().GetImageCache().Lock(imageName_);
        if (image) DrawNineGrid(buffer, GetRect(), image.Image(), 255, lib::wfc::CDIB::kNoKey, &buffer.ClipRect());
    }
    caption_.Draw(buffer, X(), Y(), IsEnabled());
}

void CSkinWindowItemResizableStaticImage::SetItemRect(const RECT& rect) {
    SetRect(rect.left, rect.top, rect.right, rect.bottom);
}

void CSkinWindowItemResizableStaticImage::OnEnabledChanged() { Invalidate(); }

}  // namespace ui
