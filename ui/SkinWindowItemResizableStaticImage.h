#pragma once
// A nine-grid image that fills its rectangle at any size (corners unscaled,
// edges and centre repeated), with an optional caption; it follows layout
// changes of its window.
#include <string>

#include "ui/CachedDIB.h"
#include "ui/ResizableDIBHelper.h"
#include "ui/SkinDefinition.h"
#include "ui/SkinItemText.h"
#include "ui/SkinWindowItem.h"

namespace ui {

class CSkinWindowItemResizableStaticImage : public CSkinWindowItem, public CResizableDIBHelper {
public:
    // Keys: Position, Size, Image (file, x0..x3, y0..y3); optional caption keys.
    CSkinWindowItemResizableStaticImage(ISkinWindowItemAccessor& owner, int id, const SkinItemDefinition& definition,
                                        CSkinImageList& images);

    void Paint() override;
    // Takes the rectangle's position and size.
    void SetItemRect(const RECT& rect) override;
    void OnEnabledChanged() override;

private:
    std::string imageName_;
    SkinItemCaption caption_;
};

// The file and the eight nine-grid cuts of a nine-grid image key; the file
// is acquired from the image cache.
std::string ReadNineGridImage(const SkinItemDefinition& definition, CSkinImageList& images,
                              CResizableDIBHelper& grid);

}  // namespace ui
