#pragma once
// The bare WinHTTP download the client's figures are measured against:
// one GET, then query available, read at most 102400 bytes, write, repeat.
#include <windows.h>
#include <winhttp.h>

#include <cstdint>
#include <string>

#include "launcher/update/InternetHandle.h"

namespace bench {

// A GET of `path` on `connection`, sent and answered up to its headers; null on failure.
update::InternetHandle SendBareGet(HINTERNET connection, const std::wstring& path, bool secure);

// Reads the whole body of `request` into `file`; the bytes written, 0 on failure.
std::uint64_t CopyBody(HINTERNET request, HANDLE file);

}  // namespace bench
