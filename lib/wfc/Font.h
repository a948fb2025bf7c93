#pragma once
#include <windows.h>

#include "lib/wfc/GdiObject.h"

namespace lib::wfc {

class CFont : public CGDIObject<HFONT> {
public:
    // A font after `font` (the one held before deleted); failure throws lib::wfc::bad_alloc.
    void Create(const LOGFONTA& font);
};

}  // namespace lib::wfc
