#pragma once
// Threads a stop did not wait for: each is blocked in a call that only its
// own timeout ends, and owns everything it touches. They are kept here so
// that they can still be waited for with a bound, at the latest when the
// process ends.
#include <windows.h>

#include <cstddef>

#include "lib/UniqueHandle.h"

namespace update {

// A worker's longest blocked call ends within this; the process waits this
// long for its abandoned threads when it ends.
constexpr DWORD kAbandonedThreadBound = 25000;

// Takes a running thread's handle.
void AbandonThread(lib::KernelHandle thread);

// Waits until every abandoned thread has ended or `milliseconds` have passed;
// true when none is left.
bool WaitForAbandonedThreads(DWORD milliseconds);

// Abandoned threads still running.
std::size_t AbandonedThreadCount();

}  // namespace update
