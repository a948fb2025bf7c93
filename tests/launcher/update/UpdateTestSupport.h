#pragma once
// Child scenarios with their own log in a scratch folder, read back afterwards.
#include <string>

namespace updatetest {

// The log a child scenario starts in `folder`.
std::string LogPath(const std::string& folder);
void StartLog(const std::string& folder);

// How many times `text` appears in the log of `folder`.
int CountInLog(const std::string& folder, const std::string& text);

// Exit code of scenario `name` run by `program` (this program when empty)
// for `folder`, -1 when it did not end in time.
long RunScenario(const std::string& name, const std::string& folder, const std::string& program = {});

// The folder given to RunScenario, from the scenario's argument.
std::string ScenarioFolder(const std::string& argument);

}  // namespace updatetest
