#pragma once
// "removeall": closes the suite's running programs and uninstalls the
// suite's products. Opens no log and no window.

namespace updater {

// Does the whole job; the process's exit code (always 0).
int RunRemoveAll();

}  // namespace updater
