#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace lugatim::platform {

TSessionFolder SessionFolderUnder(const std::string& root) {
  const std::string path = root + "lugatim-" + std::to_string(getuid()) + "/";
  const std::string folder = path.substr(0, path.size() - 1);
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    return {{}, "cannot make the folder " + path + ": " + std::strerror(errno)};
  // Opened without following a link, so that what is checked is what is used.
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) {
    return {{},
            "the folder " + path + " is refused: " +
                (errno == ELOOP || errno == ENOTDIR ? std::string("it is no folder")
                                                    : std::strerror(errno))};
  }
  struct stat st {};
  const bool known = fstat(fd, &st) == 0;
  const bool own = known && st.st_uid == getuid();
  if (own && (st.st_mode & 077) != 0) fchmod(fd, 0700);
  close(fd);
  if (!own) {
    return {{},
            "the folder " + path + " belongs to another user (uid " +
                (known ? std::to_string(st.st_uid) : std::string("unknown")) +
                "); without a folder of its own, Lugatim neither keeps to one copy nor "
                "takes words from another"};
  }
  return {path, {}};
}

TSessionFolder SessionFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') return {std::string(runtime) + "/", {}};
  return SessionFolderUnder("/tmp/");
}

std::string SingleInstanceLockPath() {
  const TSessionFolder folder = SessionFolder();
  return folder.path.empty() ? std::string() : folder.path + "Lugatim_Muteksi";
}

bool AcquireSingleInstance() {
  const std::string path = SingleInstanceLockPath();
  if (path.empty()) return true;
  // Close-on-exec: a browser started for a banner click must not inherit the
  // lock and keep it after the program ends.
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;  // held until the process ends
  const bool heldElsewhere = errno == EWOULDBLOCK;
  close(fd);
  return !heldElsewhere;
}

}  // namespace lugatim::platform
