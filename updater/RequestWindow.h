#pragma once
// The updater's one window, class "VEDAZAVUZUVEZ", title "VedaZavuzuvez":
// the launcher finds it by both names and sends it its requests.
#include <windows.h>

namespace updater {

// Registers the class, creates the window and shows it with `showCommand`;
// null on failure, with GetLastError telling why.
HWND CreateRequestWindow(HINSTANCE instance, int showCommand);

}  // namespace updater
