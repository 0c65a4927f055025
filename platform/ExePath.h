#pragma once
#include <string>

namespace lugatim::platform {

// The folder of the running executable, always ending in "/".
std::string ExecutableDir();

// Whether the program runs installed: its folder is not writable by this
// user (as under /usr), or it sits in <prefix>/bin with <prefix>/share/lugatim
// beside it. A portable copy, such as the build folder or a copied folder,
// keeps everything beside the executable.
bool RunsInstalled(const std::string& executableDir);

// The folder where an installed program keeps its shared data:
// <prefix>/share/lugatim/ for an executable in <prefix>/bin/, ending in "/".
std::string InstalledDataDir(const std::string& executableDir);

// The folder of an installed program's helpers, which no user runs by hand:
// <prefix>/libexec/lugatim/ for an executable in <prefix>/bin/.
std::string InstalledHelperDir(const std::string& executableDir);

// $XDG_CACHE_HOME/lugatim/ (default ~/.cache/lugatim/), ending in "/".
std::string UserCacheDir();

// $XDG_DATA_HOME/lugatim/ (default ~/.local/share/lugatim/), ending in "/":
// the user's own tables.
std::string UserDataDir();

}  // namespace lugatim::platform
