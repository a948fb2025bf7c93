#pragma once
#include <windows.h>

namespace lib::wfc {

// The framework's font description: height 10, charset DEFAULT_CHARSET, face
// "Meiryo" on Vista and later, otherwise "MS PGothic". The face always follows
// the Windows version; `face` is accepted for callers but not applied.
LOGFONTA DefaultLogFont(const char* face = nullptr);

}  // namespace lib::wfc
