#pragma once
// Window classes whose procedure is the framework's shared window procedure.
#include <windows.h>

namespace lib::wfc {

// Class of windows created with a null class name; Initialize registers it.
extern const char kDefaultWindowClass[];  // "WFC-DefaultWindowClass"

// Registers `name` once per process; later calls with the same name do
// nothing. Zero arguments take defaults: style CS_DBLCLKS, icon
// IDI_APPLICATION, small icon = icon, cursor IDC_ARROW, background the
// button-face brush. Failure throws lib::wfc::bad_alloc.
void RegisterWindowClass(const char* name, UINT style, HICON icon, HICON smallIcon, HCURSOR cursor,
                         HBRUSH background);

}  // namespace lib::wfc
