#include "lib/wfc/Font.h"

#include "lib/wfc/bad_alloc.h"

namespace lib::wfc {

void CFont::Create(const LOGFONTA& font) {
    HFONT created = ::CreateFontIndirectA(&font);
    if (!created) throw bad_alloc();
    Attach(created);
}

}  // namespace lib::wfc
