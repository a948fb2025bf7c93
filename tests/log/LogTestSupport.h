#pragma once
// Reading logs back, and running child scenarios in this test program or in
// a copy of it in a folder of its own (so with its own program name, system
// log and "CVLOG.ini").
#include <string>
#include <vector>

#include "tests/support/ScratchFolder.h"

namespace logtest {

// Bound for one child scenario, generous for a loaded machine.
constexpr unsigned long kChildBoundMilliseconds = 60000;

struct Record {
    std::string time, tag, source, line, thread, text;
};

// One record per non-empty line, split at its first five TABs (a line with
// fewer gives a record with only `text`).
std::vector<Record> ReadRecords(const std::string& path);

// "<tag> <text>" of each record.
std::vector<std::string> Summary(const std::string& path);

// Exit code of scenario `name` of this program, -1 when it did not end in time.
long RunScenario(const std::string& name, const std::string& argument = {});

// This program copied as "<name>_<process id>.exe" into a scratch folder,
// with "CVLOG.ini" holding `settings` when given.
class ProgramCopy {
public:
    explicit ProgramCopy(const std::string& name, const std::string& settings = {});
    ProgramCopy(const ProgramCopy&) = delete;
    ProgramCopy& operator=(const ProgramCopy&) = delete;
    ~ProgramCopy();

    const std::string& folder() const { return scratch_.path(); }
    const std::string& systemLog() const { return systemLog_; }
    long Run(const std::string& scenario, const std::string& argument = {}) const;

private:
    test::ScratchFolder scratch_;
    std::string program_;
    std::string systemLog_;
};

}  // namespace logtest
