#pragma once
// One copy of the program per user session: an exclusive advisory lock on
// the file "Lugatim_Muteksi" in the session folder. The lock lives as long
// as the process, so a copy that was killed never blocks the next one.

#include <string>

namespace lugatim::platform {

// The folder of the lock and of the word hand-over's socket, ending in "/":
// $XDG_RUNTIME_DIR (per session), or else "/tmp/lugatim-<uid>/", a folder
// of the user's own that only the user may enter (made with mode 0700 when
// missing, and set to 0700 when it is the user's). Anything else of that
// name (a link, a file, a folder of another user, who could then hold the
// lock or take the words) is refused: path is empty and error says why.
struct TSessionFolder {
  std::string path;
  std::string error;
};
TSessionFolder SessionFolder();
// The same with the fallback folder made under root (a folder ending in "/")
// instead of "/tmp/"; for tests.
TSessionFolder SessionFolderUnder(const std::string& root);

// The lock file this session uses; empty when the session folder is refused.
std::string SingleInstanceLockPath();

// Takes the lock for the rest of the process. Returns false only when
// another process holds it; any other failure (no folder, a refused folder,
// no file) counts as acquired, so a broken environment never keeps the
// program from starting.
bool AcquireSingleInstance();

}  // namespace lugatim::platform
