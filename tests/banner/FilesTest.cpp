// The Banner folder's files: names found without regard to case, unsafe
// names refused, writes that replace whole files and never leave the folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "banner/BannerFiles.h"
#include "base/Exception.h"
#include "tests/banner/BannerTestSupport.h"

namespace lugatim::banner {
namespace {

using test::TBannerDir;

TEST(FolderNames, UnsafeNames) {
  for (const std::string& name :
       std::vector<std::string>{"", ".", "..", "a/b", "/", "x\ny", std::string("a\0b", 3),
                                std::string("tab\t"), std::string("del\x7f")}) {
    EXPECT_FALSE(IsSafeFileName(name)) << name;
  }
  for (const std::string& name : std::vector<std::string>{
           "top.gif", "...", "..a", "a\\b.gif", "show.gif?id=3", "Ğüş.gif", " spaced .gif"}) {
    EXPECT_TRUE(IsSafeFileName(name)) << name;
  }
}

TEST(FolderNames, ComparedWithoutCase) {
  EXPECT_TRUE(SameFileName("Liste.lst", "liste.lst"));
  EXPECT_TRUE(SameFileName("BANNER2.GIF", "Banner2.gif"));
  EXPECT_TRUE(SameFileName("ĞÜŞ.gif", "ğüş.GIF"));
  EXPECT_FALSE(SameFileName("a.gif", "a.gif "));
  EXPECT_FALSE(SameFileName("\xff.gif", "\xfe.gif"));  // not UTF-8: bytes compared
  EXPECT_TRUE(SameFileName("\xffX.gif", "\xffx.gif"));
}

TEST(FolderFiles, ListeWrittenAsUpperCaseIsFoundAsLowerCase) {
  TBannerDir dir;
  WriteFolderFile(dir.folder, "Liste.lst", "a,b,1,2,0,0\r\n");
  EXPECT_EQ(ReadFolderFile(dir.folder, "liste.lst"), "a,b,1,2,0,0\r\n");
  EXPECT_EQ(FindEntry(dir.folder, "LISTE.LST"), "Liste.lst");
  // Writing under another case replaces that file and keeps its name.
  WriteFolderFile(dir.folder, "liste.lst", "new");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"Liste.lst"});
  EXPECT_EQ(dir.Read("Liste.lst"), "new");
}

TEST(FolderFiles, AnExactNameIsPreferredOverOtherCases) {
  TBannerDir dir;
  dir.Write("a.GIF", "upper");
  dir.Write("a.gif", "lower");
  EXPECT_EQ(ReadFolderFile(dir.folder, "a.gif"), "lower");
  EXPECT_EQ(ReadFolderFile(dir.folder, "a.GIF"), "upper");
  EXPECT_EQ(FindEntry(dir.folder, "A.gif"), "a.GIF");  // the first in byte order
}

// The index of one listing finds names as FindEntry does, keeps what is
// put into it and writes through it without another listing.
TEST(FolderFiles, AnIndexFindsNamesAsTheFolderDoes) {
  TBannerDir dir;
  dir.Write("a.GIF", "upper");
  dir.Write("a.gif", "lower");
  dir.Write("B.gif", "b");
  dir.Write("ĞÜŞ.gif", "g");
  TFolderIndex index(dir.folder);
  for (const char* name :
       {"a.gif", "a.GIF", "A.gif", "A.GIF", "b.GIF", "ğüş.GIF", "none.gif", "", "..", "x/y"}) {
    EXPECT_EQ(index.Find(name), FindEntry(dir.folder, name)) << name;
  }
  EXPECT_EQ(index.Entries().at("a.gif").size, 5);
  EXPECT_TRUE(index.Entries().at("B.gif").regular);
  // A file written through the index is found by it in any case.
  TFolderFileWriter writer(dir.folder, "New.gif", &index);
  writer.Write(std::string_view("new"));
  const std::string name = writer.TargetName();
  writer.Commit();
  EXPECT_EQ(name, "New.gif");
  index.Put(name, {3, true, false});
  EXPECT_EQ(index.Find("NEW.GIF"), "New.gif");
  TFolderFileWriter again(dir.folder, "new.gif", &index);
  EXPECT_EQ(again.TargetName(), "New.gif");
  index.Forget("B.gif");
  std::filesystem::remove(dir.folder + "B.gif");
  EXPECT_EQ(index.Find("b.gif"), std::nullopt);
}

TEST(FolderFiles, AWriterStopsAtItsLimit) {
  TBannerDir dir;
  dir.Write("x.gif", "old");
  TFolderFileWriter writer(dir.folder, "x.gif", nullptr, 4);
  writer.Write(std::string_view("1234"));
  EXPECT_THROW(writer.Write(std::string_view("5")), base::Exception);
  EXPECT_THROW(writer.Commit(), base::Exception);
  EXPECT_EQ(dir.Read("x.gif"), "old");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"x.gif"});
}

TEST(FolderNames, TheChannelsOwnFilesAreReserved) {
  for (const char* name :
       {"Liste.lst", "LISTE.LST", "liste.lst", "versiyon.ver", "VERSIYON.VER", "Banner2.gif",
        "banner2.GIF", ".lugatim-", ".lugatim-abc", ".LUGATIM-x"}) {
    EXPECT_TRUE(IsReservedName(name)) << name;
  }
  for (const char* name : {"Liste.lst2", "liste", "Banner2.gif.gif", "Banner3.gif", "lugatim-x",
                           "..lugatim-x", "a.gif"}) {
    EXPECT_FALSE(IsReservedName(name)) << name;
  }
}

TEST(FolderFiles, MissingUnsafeAndNonRegularFilesFailToRead) {
  TBannerDir dir;
  EXPECT_THROW(ReadFolderFile(dir.folder, "none.gif"), base::Exception);
  EXPECT_THROW(ReadFolderFile(dir.folder, ".."), base::Exception);
  EXPECT_THROW(ReadFolderFile(dir.folder, ""), base::Exception);
  std::filesystem::create_directory(dir.folder + "dir.gif");
  EXPECT_THROW(ReadFolderFile(dir.folder, "dir.gif"), base::Exception);
  // A FIFO would block an ordinary open for ever.
  ASSERT_EQ(::mkfifo((dir.folder + "liste.lst").c_str(), 0644), 0);
  try {
    ReadFolderFile(dir.folder, "Liste.lst");
    ADD_FAILURE() << "a FIFO was read";
  } catch (const base::Exception& e) {
    EXPECT_NE(e.Message().find("Not a file"), std::string::npos) << e.Message();
  }
}

TEST(FolderFiles, WriteReplacesWholeFilesAndLeavesNoTemporaryFile) {
  TBannerDir dir;
  WriteFolderFile(dir.folder, "b.gif", std::string(100000, 'x'));
  WriteFolderFile(dir.folder, "b.gif", "short");
  WriteFolderFile(dir.folder, "empty.gif", "");
  EXPECT_EQ(dir.Read("b.gif"), "short");
  EXPECT_EQ(dir.Read("empty.gif"), "");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"b.gif", "empty.gif"}));
}

TEST(FolderFiles, UnsafeNamesAreNeverWritten) {
  TBannerDir dir;
  for (const std::string& name :
       std::vector<std::string>{"", ".", "..", "../evil.gif", "a/b.gif", "x\r.gif"}) {
    try {
      WriteFolderFile(dir.folder, name, "evil");
      ADD_FAILURE() << "wrote " << name;
    } catch (const base::Exception& e) {
      EXPECT_NE(e.Message().find("Unsafe file name"), std::string::npos);
    }
  }
  EXPECT_TRUE(dir.Entries().empty());
  EXPECT_FALSE(std::filesystem::exists(dir.root.Path() / "evil.gif"));
}

TEST(FolderFiles, ASymbolicLinkIsReplacedNeverFollowed) {
  TBannerDir dir;
  const auto outside = dir.root.Path() / "outside.txt";
  dir.root.WriteFile("outside.txt", "precious");
  std::filesystem::create_symlink(outside, dir.folder + "link.gif");
  std::filesystem::create_symlink(dir.root.Path() / "nowhere", dir.folder + "dangling.gif");
  WriteFolderFile(dir.folder, "LINK.gif", "banner");
  WriteFolderFile(dir.folder, "dangling.gif", "banner2");
  EXPECT_EQ(http::test::ReadFile(outside), "precious");
  EXPECT_FALSE(std::filesystem::exists(dir.root.Path() / "nowhere"));
  EXPECT_FALSE(std::filesystem::is_symlink(dir.folder + "link.gif"));
  EXPECT_EQ(dir.Read("link.gif"), "banner");
  EXPECT_EQ(dir.Read("dangling.gif"), "banner2");
}

TEST(FolderFiles, AWriteOverADirectoryFailsAndLeavesItAlone) {
  TBannerDir dir;
  std::filesystem::create_directory(dir.folder + "d.gif");
  EXPECT_THROW(WriteFolderFile(dir.folder, "d.gif", "x"), base::Exception);
  EXPECT_TRUE(std::filesystem::is_directory(dir.folder + "d.gif"));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"d.gif"});
}

TEST(FolderFiles, AMissingFolderFailsToWrite) {
  TBannerDir dir;
  EXPECT_THROW(WriteFolderFile(dir.folder + "no/", "a.gif", "x"), base::Exception);
}

TEST(FolderFiles, AStreamedFileAppearsWholeOnCommitAndNotAtAllWithout) {
  TBannerDir dir;
  dir.Write("Banner.GIF", "old");
  {
    TFolderFileWriter file(dir.folder, "banner.gif");
    // An announced length first (as a counted body does), then the bytes.
    file.SetSize(6);
    file.Write("abc");
    file.Write("def");
    EXPECT_EQ(dir.Read("Banner.GIF"), "old");  // nothing replaced before the commit
    EXPECT_EQ(dir.Entries().size(), 2u);       // the temporary file beside it
    file.Commit();
  }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"Banner.GIF"});  // its name kept
  EXPECT_EQ(dir.Read("Banner.GIF"), "abcdef");
  {
    TFolderFileWriter file(dir.folder, "Banner.GIF");
    file.Write(std::string(100000, 'x'));
    // Given up: a transfer that failed.
  }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"Banner.GIF"});
  EXPECT_EQ(dir.Read("Banner.GIF"), "abcdef");
  {
    // Cut back to the position, as a transfer that ended short of its
    // announced length would leave it if it were kept.
    TFolderFileWriter file(dir.folder, "short.gif");
    file.SetSize(10);
    file.Write("ab");
    file.SetSize(file.Position());
    file.Commit();
  }
  EXPECT_EQ(dir.Read("short.gif"), "ab");
  EXPECT_THROW(TFolderFileWriter(dir.folder, "../escape.gif"), base::Exception);
  EXPECT_THROW(TFolderFileWriter(dir.folder + "missing/", "a.gif"), base::Exception);
}

TEST(FolderFiles, StaleTemporaryFilesAreRemoved) {
  TBannerDir dir;
  dir.Write(".lugatim-abc", "torn");
  dir.Write("keep.gif", "k");
  std::filesystem::create_directory(dir.folder + ".lugatim-dir");
  RemoveStaleTempFiles(dir.folder);
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{".lugatim-dir", "keep.gif"}));
}

}  // namespace
}  // namespace lugatim::banner
