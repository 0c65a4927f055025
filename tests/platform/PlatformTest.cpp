#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/ExePath.h"
#include "platform/SingleInstance.h"

using namespace lugatim::platform;

namespace {

std::string TempDir() {
  char tmpl[] = "/tmp/lugatim-platform-XXXXXX";
  return std::string(mkdtemp(tmpl)) + "/";
}

}  // namespace

TEST(ExePath, ExecutableDirIsThisTestsFolderWithATrailingSlash) {
  const std::string dir = ExecutableDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(dir + "platform_tests"));
}

TEST(ExePath, InstalledLayoutIsRecognisedAndAPortableCopyIsNot) {
  const std::string root = TempDir();
  std::filesystem::create_directories(root + "usr/bin");
  EXPECT_FALSE(RunsInstalled(root + "usr/bin/"));  // writable, no shared data: portable
  std::filesystem::create_directories(root + "usr/share/lugatim/data");
  EXPECT_TRUE(RunsInstalled(root + "usr/bin/"));
  EXPECT_EQ(InstalledDataDir(root + "usr/bin/"), root + "usr/share/lugatim/");
  EXPECT_EQ(InstalledDataDir("/usr/bin/"), "/usr/share/lugatim/");
  EXPECT_EQ(InstalledHelperDir("/usr/bin/"), "/usr/libexec/lugatim/");
  EXPECT_EQ(InstalledHelperDir(root + "usr/bin"), root + "usr/libexec/lugatim/");
  if (geteuid() != 0) {  // root may write anywhere
    std::filesystem::create_directories(root + "ro");
    chmod((root + "ro").c_str(), 0555);
    EXPECT_TRUE(RunsInstalled(root + "ro/"));
    chmod((root + "ro").c_str(), 0755);
  }
  std::filesystem::remove_all(root);
}

TEST(ExePath, UserCacheFollowsXdgCacheHomeElseHome) {
  const char* savedCache = getenv("XDG_CACHE_HOME");
  const std::string saved = savedCache ? savedCache : "";
  setenv("XDG_CACHE_HOME", "/var/cache/u", 1);
  EXPECT_EQ(UserCacheDir(), "/var/cache/u/lugatim/");
  setenv("XDG_CACHE_HOME", "relative", 1);  // not absolute: ignored, as the XDG rules say
  setenv("HOME", "/home/ayse", 1);
  EXPECT_EQ(UserCacheDir(), "/home/ayse/.cache/lugatim/");
  if (savedCache)
    setenv("XDG_CACHE_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CACHE_HOME");
}

TEST(SingleInstanceLock, LivesInTheSessionRuntimeFolderElseInTmpPerUser) {
  setenv("XDG_RUNTIME_DIR", "/run/user/1000", 1);
  EXPECT_EQ(SingleInstanceLockPath(), "/run/user/1000/Lugatim_Muteksi");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(SingleInstanceLockPath(), "/tmp/Lugatim_Muteksi-" + std::to_string(getuid()));
}
