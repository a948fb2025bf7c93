#pragma once
// Result codes of writing one record; they decide how the wrapper reports
// and recovers.
namespace kilnlog {

enum KilnLogResult : int {
    kWritten = 0,  // also: skipped by rule
    kNoDestination = 1,
    kInvalidKind = 2,
    kFatalCopyFailed = 5,
    kOldFatalCopyKept = 6,  // the oldest copy could not be deleted
    kMutexNotCreated = 8,
    kMutexNotAcquired = 9,
    kFileFailed = 10,  // not opened, or the record not written in full
    kFatalCopyNoFolder = 11,
};

}  // namespace kilnlog
