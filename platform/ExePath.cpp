#include "platform/ExePath.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>

namespace lugatim::platform {

std::string ExecutableDir() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  std::string path(buf, static_cast<size_t>(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

bool RunsInstalled(const std::string& executableDir) {
  // Not writable, or laid out as an installation (<prefix>/bin beside
  // <prefix>/share/lugatim), which also holds for root, who may write anywhere.
  if (access(executableDir.c_str(), W_OK) != 0) return true;
  return access(InstalledDataDir(executableDir).c_str(), F_OK) == 0;
}

std::string InstalledDataDir(const std::string& executableDir) {
  std::string dir = executableDir;
  while (!dir.empty() && dir.back() == '/') dir.pop_back();
  const size_t slash = dir.rfind('/');
  const std::string prefix = slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
  return prefix + "/share/lugatim/";
}

std::string UserCacheDir() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache != nullptr && *cache == '/') return std::string(cache) + "/lugatim/";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "/tmp") + "/.cache/lugatim/";
}

}  // namespace lugatim::platform
