#pragma once
#include <windows.h>

namespace lib {

// Lets `message` reach this process's windows from processes of lower
// integrity (Vista and later). Silently does nothing on older systems or
// where user32 has no ChangeWindowMessageFilter.
void AllowMessageThroughFilter(UINT message);

}  // namespace lib
