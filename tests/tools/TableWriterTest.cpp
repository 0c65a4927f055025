// The table file: its exact schema, the numbering of rows, the journal mode,
// and the temporary file that keeps an existing table whole when an import
// fails.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <fstream>
#include <stdexcept>

#include "ToolsFixture.h"
#include "base/Clock.h"
#include "tools/ImportTypes.h"
#include "tools/TableWriter.h"

using namespace lugatim::tools;
using namespace toolstest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

class Writer : public TempDir {};

TEST_F(Writer, SchemaIsExactlyTheSixFieldsAndTheIndexesOnKelime) {
  WriteTable(Path("Sozluk1.DB"), {{"a", "", "", "bir", ""}}, TLang::English);
  EXPECT_THAT(
      QueryRows(Path("Sozluk1.DB"),
                "SELECT type, name, tbl_name FROM sqlite_master ORDER BY type DESC, name"),
      ElementsAre("table|Sozluk1|Sozluk1", "index|Sozluk1_Kelime|Sozluk1",
                  "index|Sozluk1_KelimeNocase|Sozluk1", "index|Sozluk1_KelimeNomarks|Sozluk1"));
  EXPECT_THAT(QueryRows(Path("Sozluk1.DB"),
                        "SELECT name, type, pk, \"notnull\" FROM pragma_table_info('Sozluk1')"),
              ElementsAre("Kelime|TEXT|0|0", "Kategori|TEXT|0|0", "OnekSonek|TEXT|0|0",
                          "SiraNo|INTEGER|1|0", "Anlami|TEXT|0|0", "Ornek|TEXT|0|0"));
  EXPECT_THAT(QueryRows(Path("Sozluk1.DB"),
                        "SELECT seqno, name, coll, key FROM pragma_index_xinfo('Sozluk1_Kelime')"
                        " WHERE key = 1"),
              ElementsAre("0|Kelime|BINARY|1"));
  // SiraNo is the rowid itself, so table order is SiraNo order.
  EXPECT_THAT(QueryRows(Path("Sozluk1.DB"), "SELECT rowid = SiraNo FROM Sozluk1"),
              ElementsAre("1"));
}

// The engine takes its first case-insensitive match in the order of these
// indexes: they must compare by the case pairs of the table's language.
TEST_F(Writer, FoldingIndexesFollowTheLanguageOfTheHeadwords) {
  const std::vector<TRow> rows = {{"ilık", "", "", "", ""},
                                  {"Irak", "", "", "", ""},
                                  {"ılık", "", "", "", ""},
                                  {"İnce", "", "", "", ""}};
  WriteTable(Path("SozlukE1.DB"), rows, TLang::Turkish);
  WriteTable(Path("Sozluk1.DB"), rows, TLang::English);
  // Read back under the collations the engine registers, each index holds
  // its keys in their order and lists the right entries.
  for (const char* file : {"SozlukE1.DB", "Sozluk1.DB"}) {
    EXPECT_THAT(QueryRows(Path(file), "PRAGMA integrity_check"), ElementsAre("ok")) << file;
  }
  EXPECT_THAT(QueryRows(Path("SozlukE1.DB"),
                        "SELECT Kelime FROM SozlukE1 INDEXED BY "
                        "SozlukE1_KelimeNocase WHERE Kelime COLLATE "
                        "LUGATIM_NOCASE_TR >= 'I' ORDER BY Kelime COLLATE "
                        "LUGATIM_NOCASE_TR"),
              ElementsAre("ılık", "Irak"));
  EXPECT_THAT(QueryRows(Path("SozlukE1.DB"),
                        "SELECT coll FROM pragma_index_xinfo('SozlukE1_KelimeNocase') WHERE key = 1"
                        " UNION ALL SELECT coll FROM pragma_index_xinfo('SozlukE1_KelimeNomarks')"
                        " WHERE key = 1"),
              ElementsAre("LUGATIM_NOCASE_TR", "LUGATIM_NOMARKS_TR"));
  EXPECT_THAT(QueryRows(Path("Sozluk1.DB"),
                        "SELECT coll FROM pragma_index_xinfo('Sozluk1_KelimeNocase') WHERE key = 1"
                        " UNION ALL SELECT coll FROM pragma_index_xinfo('Sozluk1_KelimeNomarks')"
                        " WHERE key = 1"),
              ElementsAre("LUGATIM_NOCASE_EN", "LUGATIM_NOMARKS_EN"));
}

TEST_F(Writer, TheTableIsNamedAfterTheFileStem) {
  WriteTable(Path("SozlukE1.DB"), {{"ev", "", "", "house", ""}}, TLang::Turkish);
  WriteTable(Path("my words.db"), {{"ev", "", "", "house", ""}}, TLang::English);
  EXPECT_THAT(QueryRows(Path("SozlukE1.DB"), "SELECT name FROM sqlite_master ORDER BY name"),
              ElementsAre("SozlukE1", "SozlukE1_Kelime", "SozlukE1_KelimeNocase",
                          "SozlukE1_KelimeNomarks"));
  EXPECT_THAT(QueryRows(Path("my words.db"), "SELECT Kelime FROM \"my words\""), ElementsAre("ev"));
}

TEST_F(Writer, RowsKeepTheirOrderNumberedOneToNNeverNull) {
  std::vector<TRow> rows;
  for (int i = 0; i < 3000; ++i)
    rows.push_back({"w" + std::to_string(2999 - i), i % 2 ? "müz." : "", "", "a\nb", ""});
  WriteTable(Path("T.DB"), rows, TLang::English);
  const auto got = QueryRows(Path("T.DB"), "SELECT SiraNo, Kelime FROM T ORDER BY rowid");
  ASSERT_EQ(got.size(), 3000u);
  EXPECT_EQ(got.front(), "1|w2999");
  EXPECT_EQ(got[1], "2|w2998");
  EXPECT_EQ(got.back(), "3000|w0");
  EXPECT_THAT(QueryRows(Path("T.DB"),
                        "SELECT count(*) FROM T WHERE Kelime IS NULL OR Kategori IS NULL OR "
                        "OnekSonek IS NULL OR Anlami IS NULL OR Ornek IS NULL"),
              ElementsAre("0"));
  EXPECT_THAT(QueryRows(Path("T.DB"), "SELECT min(SiraNo), max(SiraNo), typeof(SiraNo) FROM T"),
              ElementsAre("1|3000|integer"));
  EXPECT_THAT(QueryRows(Path("T.DB"), "SELECT Anlami FROM T WHERE SiraNo = 2"),
              ElementsAre("a\nb"));
}

TEST_F(Writer, RollbackJournalModeAndNothingElseLeftInTheFolder) {
  WriteTable(Path("T.DB"), {{"a", "", "", "", ""}}, TLang::English);
  EXPECT_THAT(QueryRows(Path("T.DB"), "PRAGMA journal_mode"), ElementsAre("delete"));
  // Bytes 18 and 19 of the header are 1 for a rollback journal, 2 for WAL.
  const std::string bytes = Read("T.DB");
  ASSERT_GT(bytes.size(), 20u);
  EXPECT_EQ(bytes[18], 1);
  EXPECT_EQ(bytes[19], 1);
  EXPECT_THAT(Files(), ElementsAre("T.DB"));
}

TEST_F(Writer, AnEmptyTableIsStillATable) {
  WriteTable(Path("T.DB"), {}, TLang::English);
  EXPECT_THAT(QueryRows(Path("T.DB"), "SELECT count(*) FROM T"), ElementsAre("0"));
}

TEST_F(Writer, ReplacesAnExistingTableWhole) {
  WriteTable(Path("T.DB"), {{"old", "", "", "", ""}, {"older", "", "", "", ""}}, TLang::English);
  WriteTable(Path("T.DB"), {{"new", "", "", "", ""}}, TLang::English);
  EXPECT_THAT(QueryRows(Path("T.DB"), "SELECT SiraNo, Kelime FROM T"), ElementsAre("1|new"));
  EXPECT_THAT(Files(), ElementsAre("T.DB"));
}

TEST_F(Writer, StagedTableLivesBesideTheTargetUntilCommitted) {
  WriteTable(Path("T.DB"), {{"old", "", "", "", ""}}, TLang::English);
  const std::string before = Read("T.DB");
  {
    TStagedTable staged(Path("T.DB"), {{"new", "", "", "", ""}}, TLang::English);
    EXPECT_EQ(std::filesystem::path(staged.TempPath()).parent_path(), dir_);
    EXPECT_TRUE(std::filesystem::exists(staged.TempPath()));
    EXPECT_EQ(Read("T.DB"), before);
  }  // never committed
  EXPECT_EQ(Read("T.DB"), before);
  EXPECT_THAT(Files(), ElementsAre("T.DB"));
}

TEST_F(Writer, AFailureWhileWritingLeavesTheOldTableByteForByteAndNoTempFile) {
  std::vector<TRow> rows;
  for (int i = 0; i < 5000; ++i) rows.push_back({"w" + std::to_string(i), "", "", "m", ""});
  WriteTable(Path("Sozluk1.DB"), {{"old", "", "", "eski", ""}}, TLang::English);
  const std::string before = Read("Sozluk1.DB");

  // The progress report is the one call-out in the middle of the writing; a
  // failure there stands for anything that stops the import half way.
  lugatim::base::ManualClock clock;
  int updates = 0;
  TProgress failing(
      [&](const std::string&) {
        if (++updates == 2) throw std::runtime_error("interrupted");
      },
      true, clock);
  clock.AdvanceMs(5000);
  EXPECT_THROW(WriteTable(Path("Sozluk1.DB"), rows, TLang::English, failing), std::runtime_error);
  EXPECT_EQ(updates, 2);
  EXPECT_EQ(Read("Sozluk1.DB"), before);
  EXPECT_THAT(Files(), ElementsAre("Sozluk1.DB"));
}

TEST_F(Writer, BadRowsAreRefusedBeforeAnythingIsWritten) {
  const auto error = [&](const TRow& row) {
    try {
      WriteTable(Path("T.DB"), {{"fine", "", "", "", ""}, row}, TLang::English);
    } catch (const EImportError& e) {
      return e.Message();
    }
    return std::string("(no error)");
  };
  EXPECT_EQ(error({"", "", "", "x", ""}), Path("T.DB") + ": entry 2 (''): empty headword");
  EXPECT_EQ(error({"k\xFF", "", "", "", ""}),
            Path("T.DB") + ": entry 2 ('k\xFF'): text is not valid UTF-8");
  EXPECT_EQ(error({"k", "", "", "", "\xC3"}),
            Path("T.DB") + ": entry 2 ('k'): text is not valid UTF-8");
  EXPECT_EQ(error({"k", "", "", std::string("a\0b", 3), ""}),
            Path("T.DB") + ": entry 2 ('k'): text holds a NUL character");
  EXPECT_EQ(error({std::string(256, 'k'), "", "", "", ""}).substr(Path("T.DB").size()),
            ": entry 2 ('" + std::string(40, 'k') + "'): headword longer than 255 characters");
  EXPECT_THAT(error({"k", std::string(256, 'c'), "", "", ""}),
              HasSubstr("category longer than 255 characters"));
  EXPECT_THAT(error({"k", "", std::string(256, 'c'), "", ""}),
              HasSubstr("prefix/suffix longer than 255 characters"));
  EXPECT_TRUE(Files().empty());
}

TEST_F(Writer, AMissingFolderIsNamed) {
  try {
    WriteTable(Path("no/such/T.DB"), {{"a", "", "", "", ""}}, TLang::English);
    FAIL() << "no error";
  } catch (const EImportError& e) {
    EXPECT_THAT(e.Message(),
                HasSubstr(Path("no/such/T.DB") + ": cannot create a temporary file in " +
                          Path("no/such") + ": No such file or directory"));
  }
}

// A kill leaves the temporary file and its journal; the next import of the
// same table removes them, but not those of another table, names of
// another pattern, or the file of an import that still runs (it is locked).
TEST_F(Writer, AnImportRemovesTheTemporaryFilesAKilledOneLeft) {
  for (const char* name :
       {".T.DB.tmp-abc123", ".T.DB.tmp-abc123-journal", ".T.DB.tmp-zz9999", ".T.DB.tmp-locked",
        ".T.DB.tmp-longer7", ".U.DB.tmp-abc123", "T.DB.tmp-abc123"})
    std::ofstream(Path(name)) << "left";
  const int held = open(Path(".T.DB.tmp-locked").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(held, 0);
  ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
  WriteTable(Path("T.DB"), {{"new", "", "", "", ""}}, TLang::English);
  close(held);
  EXPECT_THAT(Files(), ElementsAre(".T.DB.tmp-locked", ".T.DB.tmp-longer7", ".U.DB.tmp-abc123",
                                   "T.DB", "T.DB.tmp-abc123"));
  // Once no import holds it, it is stale too.
  WriteTable(Path("T.DB"), {{"newer", "", "", "", ""}}, TLang::English);
  EXPECT_THAT(Files(),
              ElementsAre(".T.DB.tmp-longer7", ".U.DB.tmp-abc123", "T.DB", "T.DB.tmp-abc123"));
}
