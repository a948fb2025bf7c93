#pragma once

namespace lib {

// True on Windows Vista and later (major version 6 or higher).
bool IsWindowsVistaOrLater();

}  // namespace lib
