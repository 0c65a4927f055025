#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>
#include <fstream>

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
  EXPECT_EQ(SingleInstanceLockPath(),
            "/tmp/lugatim-" + std::to_string(getuid()) + "/Lugatim_Muteksi");
}

// Without a runtime folder the lock and the socket live in a folder of the
// user's own: made 0700, narrowed to 0700 when it is the user's, refused
// (with a message) when it is a link, a file or another user's.
TEST(SingleInstanceLock, TheFallbackFolderIsTheUsersOwnOrRefused) {
  char tmpl[] = "/tmp/lugatim-session-test-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string root = std::string(tmpl) + "/";
  const std::string own = root + "lugatim-" + std::to_string(getuid());
  struct Cleanup {
    std::string root;
    ~Cleanup() { std::filesystem::remove_all(root); }
  } cleanup{root};

  TSessionFolder folder = SessionFolderUnder(root);
  EXPECT_EQ(folder.path, own + "/");
  EXPECT_EQ(folder.error, "");
  struct stat st {};
  ASSERT_EQ(lstat(own.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  ASSERT_EQ(chmod(own.c_str(), 0777), 0);
  EXPECT_EQ(SessionFolderUnder(root).path, own + "/");
  ASSERT_EQ(lstat(own.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  // A link to a folder of the user's own is refused as well: it is not the folder.
  std::filesystem::remove(own);
  std::filesystem::create_directory(root + "elsewhere");
  std::filesystem::create_directory_symlink(root + "elsewhere", own);
  folder = SessionFolderUnder(root);
  EXPECT_EQ(folder.path, "");
  EXPECT_NE(folder.error.find(own + "/"), std::string::npos) << folder.error;
  std::filesystem::remove(own);
  std::ofstream(own) << "file";
  EXPECT_EQ(SessionFolderUnder(root).path, "");
  std::filesystem::remove(own);

  if (getuid() != 0) GTEST_SKIP() << "only root can make a folder of another user";
  ASSERT_EQ(mkdir(own.c_str(), 0700), 0);
  ASSERT_EQ(chmod(own.c_str(), 0777), 0);
  ASSERT_EQ(chown(own.c_str(), 4242, 4242), 0);
  folder = SessionFolderUnder(root);
  EXPECT_EQ(folder.path, "");
  EXPECT_NE(folder.error.find("belongs to another user (uid 4242)"), std::string::npos)
      << folder.error;
  ASSERT_EQ(lstat(own.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0777u);  // another user's folder is left as it is
}
