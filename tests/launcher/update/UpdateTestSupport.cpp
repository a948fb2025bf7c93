#include "tests/launcher/update/UpdateTestSupport.h"

#include "log/KilnLogWrapper.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScratchFolder.h"

namespace updatetest {

std::string LogPath(const std::string& folder) { return folder + "update.log"; }

void StartLog(const std::string& folder) {
    CKilnLogWrapper("UpdateTest", 1).Start(LogPath(folder).c_str(), 4096);
}

int CountInLog(const std::string& folder, const std::string& text) {
    const std::string log = test::ReadWholeFile(LogPath(folder));
    int count = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + text.size()))
        ++count;
    return count;
}

// A backslash before the closing quote would escape it, so the folder goes without one.
long RunScenario(const std::string& name, const std::string& folder, const std::string& program) {
    return test::RunToEnd(test::ChildScenarioCommand(name, folder.substr(0, folder.size() - 1),
                                                     program.empty() ? test::OwnPath() : program));
}

std::string ScenarioFolder(const std::string& argument) { return argument + "\\"; }

}  // namespace updatetest
