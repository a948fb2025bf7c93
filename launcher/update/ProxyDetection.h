#pragma once
// The proxy for a URL, found the way Internet Explorer finds it: the
// configuration script or automatic detection first, then the user's manual
// setting under the current user's Internet settings.
#include <windows.h>

#include <string>

namespace update {

// The longest wait for the configuration script or automatic detection; a
// detection still running then is left to end by itself.
constexpr DWORD kAutoDetectBound = 5000;

// Proxy text for `url`, empty for a direct connection. `timeout` bounds each
// network wait of the detection (milliseconds), kAutoDetectBound the whole.
std::wstring DetectProxy(const std::wstring& url, DWORD timeout);

// The process-wide proxy of the last connection, given by its caller or detected.
std::wstring GetDetectedProxy();
void SetDetectedProxy(const std::wstring& proxy);

}  // namespace update
