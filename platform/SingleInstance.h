#pragma once
// One copy of the program per user session: an exclusive advisory lock on
// the file "Lugatim_Muteksi" in $XDG_RUNTIME_DIR (per session), or in /tmp as
// "Lugatim_Muteksi-<uid>" when that is unset. The lock lives as long as the
// process, so a copy that was killed never blocks the next one.

#include <string>

namespace lugatim::platform {

// The lock file this session uses.
std::string SingleInstanceLockPath();

// Takes the lock for the rest of the process. Returns false only when
// another process holds it; any other failure (no folder, no file) counts as
// acquired, so a broken environment never keeps the program from starting.
bool AcquireSingleInstance();

}  // namespace lugatim::platform
