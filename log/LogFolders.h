#pragma once
// The suite's per-user data folder and the log folder beneath it.
#include <string>

// "<user application data>\Halvard\Ravelin\", created when missing. The first
// folder the system names is remembered for the life of the process; when the
// system names none, the all-users data folder of the system drive is used.
std::string GetAppDataFolder();

// GetAppDataFolder() followed by "Log\", created when missing.
std::string GetLogFolder();

// Makes sure `path` is a folder, creating every missing level; false when it
// is empty, names a file or cannot be created.
bool EnsureFolder(const std::string& path);
