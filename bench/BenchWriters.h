#pragma once
// The two writers the benchmark compares: records through the log library,
// and a bare loop doing only what any writer of a shared log must do
// (named-mutex wait, open, append, close).
#include <string>

namespace bench {

// Writes `count` records through the library (its main log must be started).
void WriteLibraryRecords(int count);

// Appends `count` copies of a record-sized line to `path`, serialised by a
// named mutex named like the library's per-file lock.
void WriteBareRecords(const std::string& path, int count);

}  // namespace bench
