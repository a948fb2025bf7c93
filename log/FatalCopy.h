#pragma once
// Time-stamped copies of a log, made after a fatal record; at most four are kept.
namespace kilnlog {

// Copies `logPath` to "<name>_fatal<YYYYMMDDhhmmss><extension>" beside it,
// first deleting the oldest copy when four or more exist. Called with the
// log's mutex held. Returns a KilnLogResult.
int MakeFatalCopy(const char* logPath) noexcept;

}  // namespace kilnlog
