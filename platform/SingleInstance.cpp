#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace lugatim::platform {

std::string SingleInstanceLockPath() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime != nullptr && *runtime != '\0') return std::string(runtime) + "/Lugatim_Muteksi";
  return "/tmp/Lugatim_Muteksi-" + std::to_string(getuid());
}

bool AcquireSingleInstance() {
  // Close-on-exec: a browser started for a banner click must not inherit the
  // lock and keep it after the program ends.
  const int fd = open(SingleInstanceLockPath().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;  // held until the process ends
  const bool heldElsewhere = errno == EWOULDBLOCK;
  close(fd);
  return !heldElsewhere;
}

}  // namespace lugatim::platform
