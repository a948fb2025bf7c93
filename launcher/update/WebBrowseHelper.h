#pragma once
// Opening a web page in the user's browser.
#include <windows.h>

#include <string>

namespace update {

using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

// Puts `function` in the place of ShellExecuteA and returns the one it
// replaces, so that tests can run without starting a browser.
ShellExecuteFunction ReplaceShellExecute(ShellExecuteFunction function);

// The default browser, or Internet Explorer when that cannot be started.
bool OpenUrlInBrowser(const std::string& url);

// The connection entry's URL in the browser; false when it has none.
bool OpenConnectionUrl(int id);

}  // namespace update
