#pragma once
// The per-call-site log writer. Every call site makes one on the stack with
// its own source path and line, calls one operation and drops it:
//
//     KILNLOG.Write(kLogError, "FindWindow LAUNCHER failed");
//     CKilnLogWrapper("CorvaneLauncher", 60).Start(nullptr, 4096, -1);

// Record kinds; the value selects the tag and any special behaviour.
enum KilnLogKind : int {
    kLogInfo = 0,        // ".."
    kLogError = 1,       // "!!"
    kLogTrace = 2,       // "@@", only with the Recover setting, with the memory field
    kLogEnter = 3,       // "->"
    kLogLeave = 4,       // "<-"
    kLogFatal = 5,       // ";;", followed by a time-stamped copy of the log
    kLogDump = 6,        // empty tag
    kLogStart = 7,       // "==", start banner
    kLogEnd = 8,         // "--", end banner, followed by an empty line
    kLogWarning = 9,     // "##", the library's own warnings
    kLogSystem = 10,     // "##", always to the system log
};

class CKilnLogWrapper {
public:
    CKilnLogWrapper(const char* sourcePath, int line) noexcept;
    virtual ~CKilnLogWrapper();

    // Sets the main log (null or empty: "<log folder><program>_sys.log"),
    // the size limit and the Recover setting, then writes the start banner.
    // The third argument is accepted for the callers' sake and has no effect.
    void Start(const char* path, int sizeKB, int unused = -1) noexcept;

    // Writes one record; 0 when written (callers may ignore the result).
    int Write(int kind, const char* format, ...) noexcept __attribute__((format(printf, 3, 4)));

    // Writes the end banner.
    void End() noexcept;

private:
    const char* sourcePath_;
    int line_;
};

#define KILNLOG ::CKilnLogWrapper(__FILE__, __LINE__)
