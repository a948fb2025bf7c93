#include "ui/SkinWindowItemStaticImage.h"

#include <algorithm>

#include "ui/SkinKeySchema.h"
#include "ui/SkinValues.h"

namespace ui {
namespace {

constexpr SkinParameter S = SkinParameter::String;
constexpr SkinParameter I = SkinParameter::Integer;
constexpr SkinKeySchema kImageSchema{"Image", {S, I, I, I, I}};
constexpr SkinKeySchema kToolTipTextSchema{"ToolTipText", {S}};
constexpr SkinKeySchema kTileSchema{"Tile", {S}};

constexpr COLORREF kMagenta = RGB(255, 0, 255);

enum Notification { kLeftButtonDown = 12, kMouseMove = 14, kMouseLeave = 15 };

}  // namespace

CSkinWindowItemStaticImage::CSkinWindowItemStaticImage(ISkinWindowItemAccessor& owner, int id,
                                                       const SkinItemDefinition& definition, CSkinImageList& images)
    : CSkinWindowItem(owner, id) {
    ValidateSkinKeys(definition, {kSkinPositionSchema, kSkinSizeSchema, kImageSchema});
    const RECT rect = SkinItemRect(definition);
    SetRect(rect.left, rect.top, rect.right, rect.bottom);
    imageName_ = SkinTextAt(definition, "Image");
    const auto [left, top, right, bottom] = SkinFourIntegersAt(definition, "Image", 1);
    source_ = RECT{left, top, right, bottom};
    if (definition.keys.count("ToolTipText")) {
        ValidateSkinKeys(definition, {kToolTipTextSchema});
        toolTipText_ = SkinTextAt(definition, "ToolTipText");
    }
    if (definition.keys.count("Tile")) {
        ValidateSkinKeys(definition, {kTileSchema});
        tile_ = SkinIntegerAt(definition, "Tile") != 0;
    }
    caption_.Read(definition);
    images.Acquire(imageName_);
}

std::string CSkinWindowItemStaticImage::GetToolTipText() const { return toolTipText_; }
bool CSkinWindowItemStaticImage::IsHitTarget() const { return hitTarget_; }
void CSkinWindowItemStaticImage::OnMouseMove(int, int) { Owner().NotifyCommand(GetId(), kMouseMove); }

bool CSkinWindowItemStaticImage::OnLButtonDown(int, int) {
    Owner().NotifyCommand(GetId(), kLeftButtonDown);
    return false;
}

void CSkinWindowItemStaticImage::OnMouseLeave() { Owner().NotifyCommand(GetId(), kMouseLeave); }

void CSkinWindowItemStaticImage::Paint() {
    if (!IsVisible()) return;
    lib::wfc::CDIB& buffer = Owner().GetBackBuffer();
    const int sourceWidth = source_.right - source_.left;
    const int sourceHeight = source_.bottom - source_.top;
    {
        const CLockedSkinImage image = Owner().GetImageCache().Lock(imageName_);
        if (image && sourceWidth > 0 && sourceHeight > 0) {
            if (tile_) {
                for (int y = 0; y < Height(); y += sourceHeight) {
                    for (int x = 0; x < Width(); x += sourceWidth) {
                        buffer.Blit(X() + x, Y() + y, std::min(sourceWidth, Width() - x),
                                    std::min(sourceHeight, Height() - y), image.Image(), source_.left, source_.top,
                                    kMagenta);
                    }
                }
            } else if (stretch_) {
                buffer.StretchBlit(X(), Y(), Width(), Height(), image.Image(), source_.left, source_.top, sourceWidth,
                                   sourceHeight, 0, nullptr);
            } else {
                buffer.Blit(X() + (Width() - sourceWidth) / 2, Y() + (Height() - sourceHeight) / 2, sourceWidth,
                            sourceHeight, image.Image(), source_.left, source_.top, kMagenta);
            }
        }
    }
    caption_.Draw(buffer, X(), Y(), IsEnabled());
}

void CSkinWindowItemStaticImage::SetItemRect(const RECT& rect) {
    SetRect(rect.left, rect.top, rect.right, rect.bottom);
}

void CSkinWindowItemStaticImage::OnEnabledChanged() { Invalidate(); }

void CSkinWindowItemStaticImage::SetToolTipText(const char* text) {
    ToolInfo().lpszText = nullptr;
    toolTipText_ = text ? text : "";
    CSkinWindowItem::SetToolTipText(text);
}

}  // namespace ui
