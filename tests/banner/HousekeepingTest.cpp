// The monthly housekeeping: GIF banners go on the first of a month, the
// kept "Banner2.gif" comes back byte for byte, nothing else is touched.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "banner/Housekeeping.h"
#include "base/Exception.h"
#include "tests/banner/BannerTestSupport.h"

namespace lugatim::banner {
namespace {

using Names = std::vector<std::string>;

class Housekeeping : public ::testing::Test {
 protected:
  void Fill() {
    dir.Write("a.gif", "A");
    dir.Write("B.GIF", "B");
    dir.Write("c.Gif", "C");
    dir.Write("photo.jpg", "J");
    dir.Write("plain.bmp", "M");
    dir.Write("Liste.lst", "list");
    dir.Write("versiyon.ver", "5\r\n");
    dir.Write("gif", "no dot");
    dir.Write("x.gifx", "other extension");
  }
  test::TBannerDir dir;
  base::ManualClock firstOfMonth{base::LocalDateTime{2024, 7, 1, 8, 30, 0, 0}};
  base::ManualClock otherDay{base::LocalDateTime{2024, 7, 2, 0, 0, 0, 0}};
};

TEST_F(Housekeeping, OnOtherDaysNothingIsDeletedOrWritten) {
  Fill();
  dir.Write("Banner2.gif", "kept");
  const Names before = dir.Entries();
  const auto stamp = std::filesystem::last_write_time(dir.folder + "Banner2.gif");
  TemizleExecute(dir.folder, otherDay);
  EXPECT_EQ(dir.Entries(), before);
  EXPECT_EQ(std::filesystem::last_write_time(dir.folder + "Banner2.gif"), stamp);
}

TEST_F(Housekeeping, OnTheFirstEveryGifGoesAndBanner2ComesBack) {
  Fill();
  const std::string kept = test::GifBytes(qRgb(1, 2, 3));
  dir.Write("Banner2.gif", kept);
  TemizleExecute(dir.folder, firstOfMonth);
  EXPECT_EQ(dir.Entries(), (Names{"Banner2.gif", "Liste.lst", "gif", "photo.jpg", "plain.bmp",
                                  "versiyon.ver", "x.gifx"}));
  EXPECT_EQ(dir.Read("Banner2.gif"), kept);
  EXPECT_EQ(dir.Read("Liste.lst"), "list");
  EXPECT_EQ(dir.Read("versiyon.ver"), "5\r\n");
}

TEST_F(Housekeeping, WithoutBanner2NoneIsCreated) {
  Fill();
  TemizleExecute(dir.folder, firstOfMonth);
  EXPECT_FALSE(dir.Exists("Banner2.gif"));
  EXPECT_EQ(dir.Entries().size(), 6u);
}

TEST_F(Housekeeping, AnEmptyBanner2IsDeletedAndNotWrittenBack) {
  dir.Write("Banner2.gif", "");
  TemizleExecute(dir.folder, firstOfMonth);
  EXPECT_FALSE(dir.Exists("Banner2.gif"));
}

TEST_F(Housekeeping, Banner2InAnotherCaseKeepsItsNameAndBytes) {
  dir.Write("BANNER2.GIF", "kept");
  TemizleExecute(dir.folder, firstOfMonth);
  EXPECT_EQ(dir.Entries(), Names{"BANNER2.GIF"});
  EXPECT_EQ(dir.Read("BANNER2.GIF"), "kept");
}

TEST_F(Housekeeping, FailedDeletionsAreIgnoredAndLinksGoWithoutTheirTargets) {
  std::filesystem::create_directory(dir.folder + "folder.gif");
  dir.root.WriteFile("target.gif", "outside");
  std::filesystem::create_symlink(dir.root.Path() / "target.gif", dir.folder + "link.gif");
  dir.Write("z.gif", "Z");
  EXPECT_NO_THROW(TemizleExecute(dir.folder, firstOfMonth));
  EXPECT_EQ(dir.Entries(), Names{"folder.gif"});
  EXPECT_EQ(http::test::ReadFile(dir.root.Path() / "target.gif"), "outside");
}

TEST_F(Housekeeping, AnUnreadableBanner2FailsBeforeAnythingIsDeleted) {
  const std::string path = dir.folder + "Banner2.gif";
  dir.Write("a.gif", "A");
  // A regular file whose reading fails, for every user: the memory of this
  // process at address 0.
  std::filesystem::create_symlink("/proc/self/mem", path);
  EXPECT_THROW(TemizleExecute(dir.folder, firstOfMonth), base::Exception);
  EXPECT_TRUE(dir.Exists("a.gif"));
  std::filesystem::remove(path);
  // Without read permission, for a user the permissions hold for (not root).
  dir.Write("Banner2.gif", "kept");
  std::filesystem::permissions(path, std::filesystem::perms::none);
  if (::access(path.c_str(), R_OK) != 0) {
    EXPECT_THROW(TemizleExecute(dir.folder, firstOfMonth), base::Exception);
    EXPECT_TRUE(dir.Exists("a.gif"));
  }
}

TEST_F(Housekeeping, ABanner2ThatIsNoRegularFileCountsAsAbsent) {
  const std::string path = dir.folder + "Banner2.gif";
  const auto makeSocket = [&] {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
  };
  struct Kind {
    const char* name;
    std::function<void()> make;
    Names after;  // a folder cannot be deleted; the others go like any .gif
  };
  const std::vector<Kind> kinds = {
      {"folder", [&] { std::filesystem::create_directory(path); }, {"Banner2.gif"}},
      // Opening a FIFO for reading would wait for a writer that never comes.
      {"FIFO", [&] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); }, {}},
      {"socket", makeSocket, {}},
  };
  for (const Kind& kind : kinds) {
    kind.make();
    dir.Write("a.gif", "A");
    EXPECT_NO_THROW(TemizleExecute(dir.folder, firstOfMonth)) << kind.name;
    EXPECT_EQ(dir.Entries(), kind.after) << kind.name;
    EXPECT_FALSE(std::filesystem::is_regular_file(path)) << kind.name;
    std::filesystem::remove(path);
  }
}

TEST_F(Housekeeping, LeftoversOfInterruptedWritesAreRemovedOnEveryDay) {
  dir.Write(".lugatim-0123456789ab", "torn");
  dir.Write("a.gif", "A");
  TemizleExecute(dir.folder, otherDay);
  EXPECT_EQ(dir.Entries(), Names{"a.gif"});
}

TEST_F(Housekeeping, AMissingFolderIsNoFailure) {
  EXPECT_NO_THROW(TemizleExecute(dir.folder + "missing/", firstOfMonth));
}

}  // namespace
}  // namespace lugatim::banner
