#pragma once
// Whether the computer has a network connection (IsNetworkAlive), behind a
// seam: under Wine the system answer is always "connected".
namespace update {

using NetworkCheckFunction = bool (*)();

// Puts `function` in the place of the system check and returns the one it
// replaces, so that tests can take the network down.
NetworkCheckFunction ReplaceNetworkCheck(NetworkCheckFunction function);

bool IsNetworkUp();

}  // namespace update
