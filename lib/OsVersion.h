#pragma once
#include <windows.h>

namespace lib {

// Class number of a Windows release, from the version facts GetVersionExA
// reports: 1 NT 3.51, 2/3 95 (3: OSR2 "C"), 4 NT 4.0, 5/6 98 (6: SE "A"),
// 7 Me, 8 2000, 9 XP, 10/11 Server 2003 (11: R2), 12/13 Vista (13: Server
// 2008), 14 Windows 7, 15 Windows 8 and later; 0 for anything unknown.
// `serverR2` and `server` only matter for 5.2 and 6.0.
int ClassifyWindowsVersion(const OSVERSIONINFOA& info, bool serverR2, bool server);

// The class number of the running system (0 when GetVersionExA fails).
int RunningWindowsVersionClass();

// True on Windows Vista and later.
bool IsWindowsVistaOrLater();

// True on Windows XP and later.
bool IsWindowsXPOrLater();

}  // namespace lib
