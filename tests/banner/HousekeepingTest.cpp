// The monthly housekeeping: GIF banners go on the first of a month, the
// kept "Banner2.gif" comes back byte for byte, nothing else is touched.
#include <gtest/gtest.h>

#include <filesystem>

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
  std::filesystem::create_directory(dir.folder + "Banner2.gif");  // exists, cannot be read
  dir.Write("a.gif", "A");
  EXPECT_THROW(TemizleExecute(dir.folder, firstOfMonth), base::Exception);
  EXPECT_TRUE(dir.Exists("a.gif"));
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
