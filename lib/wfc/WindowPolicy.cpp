#include "lib/wfc/WindowPolicy.h"

#include "log/KilnLogWrapper.h"

namespace lib::wfc {

void CWindowPolicy::ReportFailure(const char* what) noexcept {
    CKilnLogWrapper("lib/wfc/_WindowPolicy", 47)
        .Write(kLogError, "ウィンドウプロシージャ コールバック致命的エラー %s ERR:0x%08X", what,
               static_cast<unsigned>(::GetLastError()));
}

}  // namespace lib::wfc
