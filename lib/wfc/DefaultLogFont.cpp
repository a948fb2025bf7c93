#include "lib/wfc/DefaultLogFont.h"

#include <cstring>

#include "lib/OsVersion.h"

namespace lib::wfc {

LOGFONTA DefaultLogFont(const char*) {
    LOGFONTA font{};
    font.lfHeight = 10;
    font.lfCharSet = DEFAULT_CHARSET;
    const char* chosen = lib::IsWindowsVistaOrLater() ? "Meiryo" : "MS PGothic";
    std::strncpy(font.lfFaceName, chosen, LF_FACESIZE - 1);
    return font;
}

}  // namespace lib::wfc
