#include "tests/log/LogTestSupport.h"

#include <windows.h>

#include "log/LogFolders.h"
#include "tests/support/ChildProcess.h"

namespace logtest {
namespace {

// Names carry the process id so that test runs side by side keep apart.
std::string Stem(const std::string& name) { return name + "_" + std::to_string(::GetCurrentProcessId()); }

Record Parse(const std::string& line) {
    Record record;
    std::string* fields[] = {&record.time, &record.tag, &record.source, &record.line, &record.thread};
    std::size_t start = 0;
    for (std::string* field : fields) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string::npos) return Record{{}, {}, {}, {}, {}, line};
        *field = line.substr(start, tab - start);
        start = tab + 1;
    }
    record.text = line.substr(start);
    return record;
}

}  // namespace

std::vector<Record> ReadRecords(const std::string& path) {
    const std::string contents = test::ReadWholeFile(path);
    std::vector<Record> records;
    for (std::size_t start = 0; start < contents.size();) {
        std::size_t end = contents.find("\r\n", start);
        if (end == std::string::npos) end = contents.size();
        if (end > start) records.push_back(Parse(contents.substr(start, end - start)));
        start = end + 2;
    }
    return records;
}

std::vector<std::string> Summary(const std::string& path) {
    std::vector<std::string> summary;
    for (const Record& record : ReadRecords(path)) summary.push_back(record.tag + " " + record.text);
    return summary;
}

long RunScenario(const std::string& name, const std::string& argument) {
    return test::RunToEnd(test::ChildScenarioCommand(name, argument));
}

ProgramCopy::ProgramCopy(const std::string& name, const std::string& settings)
    : program_(scratch_.path() + Stem(name) + ".exe"), systemLog_(GetLogFolder() + Stem(name) + "_sys.log") {
    ::CopyFileA(test::OwnPath().c_str(), program_.c_str(), FALSE);
    if (!settings.empty()) test::WriteWholeFile(scratch_.path() + "CVLOG.ini", settings);
    ::DeleteFileA(systemLog_.c_str());
}

ProgramCopy::~ProgramCopy() { ::DeleteFileA(systemLog_.c_str()); }

long ProgramCopy::Run(const std::string& scenario, const std::string& argument) const {
    return test::RunToEnd(test::ChildScenarioCommand(scenario, argument, program_));
}

}  // namespace logtest
