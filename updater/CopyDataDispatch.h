#pragma once
// The launcher's requests, as WM_COPYDATA reaches the request window.
#include <windows.h>

namespace updater {

// Checks the request, logs it and hands it to the installer engine; true when
// it was accepted. The data is only read during the call: the engine keeps
// its own copy of whatever it needs later.
bool OnCopyData(const COPYDATASTRUCT* data);

}  // namespace updater
