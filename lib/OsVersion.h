#pragma once

namespace lib {

// True on Windows Vista and later (major version 6 or higher).
bool IsWindowsVistaOrLater();

// True on Windows XP and later (5.1 or higher).
bool IsWindowsXPOrLater();

}  // namespace lib
