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

namespace {

// <prefix> of an executable in <prefix>/bin/.
std::string InstalledPrefix(const std::string& executableDir) {
  std::string dir = executableDir;
  while (!dir.empty() && dir.back() == '/') dir.pop_back();
  const size_t slash = dir.rfind('/');
  return slash == std::string::npos ? std::string(".") : dir.substr(0, slash);
}

}  // namespace

std::string InstalledDataDir(const std::string& executableDir) {
  return InstalledPrefix(executableDir) + "/share/lugatim/";
}

std::string InstalledHelperDir(const std::string& executableDir) {
  return InstalledPrefix(executableDir) + "/libexec/lugatim/";
}

namespace {

// The XDG base folder of variable, else fallback under the home folder; a
// relative value is invalid by the XDG rules and ignored.
std::string XdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value != nullptr && *value == '/') return std::string(value) + "/lugatim/";
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : "/tmp") + "/" + fallback + "/lugatim/";
}

}  // namespace

std::string UserCacheDir() {
  return XdgFolder("XDG_CACHE_HOME", ".cache");
}

std::string UserDataDir() {
  return XdgFolder("XDG_DATA_HOME", ".local/share");
}

}  // namespace lugatim::platform
