#pragma once
// The texts the launcher shows for the message codes its update check
// reports: bits 24-31 a category (0x04 for the update check), 0x00100000 a
// failed request (low 16 bits: the system, WinHTTP or HTTP error) or
// 0x00200000 a result code answered by the service.
#include <windows.h>

#include <string>

namespace launcher {

struct ErrorMessage {
    std::string text;  // empty: nothing is shown
    UINT flags = 0;    // message box flags
};

// Codes below the categories, without a code in their low 24 bits, and the
// reserved low words 0xFF00, 0xFF01, 0xFF02 and 0xFF06 are never shown.
bool IsShownErrorCode(DWORD code);

// The text for `code`, with the code in its "(メッセージコード：…)" line in eight
// hexadecimal digits, followed by "-" and `detail` in hexadecimal when that is not 0.
ErrorMessage ErrorMessageFor(DWORD code, DWORD detail);

}  // namespace launcher
