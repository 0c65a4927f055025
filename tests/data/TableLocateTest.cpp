#include "base/TextFold.h"
#include "data/Table.h"
#include "tests/support/TableFixture.h"

using namespace lugatim::data;

namespace {

constexpr TLocateOptions kPrefix = loPartialKey;
constexpr TLocateOptions kExact = 0;
constexpr TLocateOptions kPrefixNoCase = loPartialKey | loCaseInsensitive;

}  // namespace

class Locate : public TableFolder {
 protected:
  // Table order deliberately not alphabetical, so index order and table
  // order pick different first matches.
  void MakeMixed(const std::string& extraSql) {
    MakeTable("Sozluk1.DB",
              {{"kitap", "1"},
               {"Kitap", "2"},
               {"kiraz", "3"},
               {"kira", "4"},
               {"kitap", "5"},
               {"KIRMIZI", "6"},
               {"ılık", "7"},
               {"İstanbul", "8"},
               {"ışık", "9"},
               {"Işık", "10"}},
              extraSql);
    table_.databaseName = "Lugatim";
    table_.tableName = "Sozluk1.DB";
    table_.Open();
  }
  // The meaning of the current entry identifies which row was found.
  std::string Found() const { return table_.FieldByName("Anlami").AsString(); }

  std::string LocateAndShow(const std::string& value, TLocateOptions options) {
    return table_.Locate("Kelime", value, options) ? Found() : "-";
  }

  TTable table_{"SozlukTB"};
};

TEST_F(Locate, WithoutIndexTheFirstMatchInTableOrderWins) {
  MakeMixed("");
  EXPECT_EQ(LocateAndShow("ki", kPrefix), "1");
  EXPECT_EQ(LocateAndShow("kir", kPrefix), "3");
  EXPECT_EQ(LocateAndShow("kira", kExact), "4");
  EXPECT_EQ(LocateAndShow("Ki", kPrefix), "2");
  EXPECT_EQ(LocateAndShow("KI", kPrefixNoCase), "1");
  EXPECT_EQ(LocateAndShow("kırm", kPrefixNoCase), "6");  // ı folds with I
}

TEST_F(Locate, BinaryIndexOrdersCaseSensitiveSearchesOnly) {
  MakeMixed("CREATE INDEX kelime_bin ON Sozluk1(Kelime COLLATE BINARY)");
  EXPECT_EQ(LocateAndShow("kir", kPrefix), "4");  // "kira" sorts before "kiraz"
  EXPECT_EQ(LocateAndShow("ki", kPrefix), "4");
  EXPECT_EQ(LocateAndShow("kitap", kExact), "1");  // equal keys: table order
  // A case-insensitive search ignores the binary index: table order again.
  EXPECT_EQ(LocateAndShow("KIR", kPrefixNoCase), "3");
}

TEST_F(Locate, CaseInsensitiveIndexOrdersCaseInsensitiveSearchesOnly) {
  MakeMixed("CREATE INDEX kelime_nocase ON Sozluk1(Kelime COLLATE NOCASE)");
  EXPECT_EQ(LocateAndShow("KIR", kPrefixNoCase), "4");
  EXPECT_EQ(LocateAndShow("ki", kPrefix), "1");  // case-sensitive: table order
}

TEST_F(Locate, TurkishFoldingIndexGivesAlphabeticalFirstMatches) {
  MakeMixed(std::string("SELECT 1"));
  table_.Close();
  // The folding collation exists only inside the program, so the index is
  // created through a connection that registers a compatible one.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir_ + "Sozluk1.DB").c_str(), &db), SQLITE_OK);
  sqlite3_create_collation(db, kFoldCollation, SQLITE_UTF8, nullptr,
                           [](void*, int n1, const void* a, int n2, const void* b) {
                             return lugatim::base::CompareIgnoringCase(
                                 std::string_view(static_cast<const char*>(a), n1),
                                 std::string_view(static_cast<const char*>(b), n2));
                           });
  Exec(db, "CREATE INDEX kelime_tr ON Sozluk1(Kelime COLLATE LUGATIM_NOCASE)");
  sqlite3_close(db);
  table_.Open();
  EXPECT_EQ(LocateAndShow("KIR", kPrefixNoCase), "4");
  EXPECT_EQ(LocateAndShow("IŞI", kPrefixNoCase), "9");
  EXPECT_EQ(LocateAndShow("istanbul", kPrefixNoCase), "8");
  EXPECT_EQ(LocateAndShow("ILIK", loCaseInsensitive), "7");
  EXPECT_EQ(LocateAndShow("zzz", kPrefixNoCase), "-");
}

TEST_F(Locate, DescendingIndexFindsTheLastKeyInAlphabeticalTerms) {
  MakeMixed("CREATE INDEX kelime_desc ON Sozluk1(Kelime DESC)");
  EXPECT_EQ(LocateAndShow("ki", kPrefix), "1");  // "kitap" is the greatest "ki…" key
  EXPECT_EQ(LocateAndShow("kir", kPrefix), "3");
}

TEST_F(Locate, CaseSensitiveSearchTellsCapitalsApart) {
  MakeMixed("CREATE INDEX kelime_bin ON Sozluk1(Kelime)");
  EXPECT_EQ(LocateAndShow("Kitap", kExact), "2");
  EXPECT_EQ(LocateAndShow("KITAP", kExact), "-");
  EXPECT_EQ(LocateAndShow("kırmızı", kPrefix), "-");
  EXPECT_EQ(LocateAndShow("kırmızı", kPrefixNoCase), "6");
  EXPECT_EQ(LocateAndShow("İSTANBUL", loCaseInsensitive), "8");
  EXPECT_EQ(LocateAndShow("istanbul", kExact), "-");
  EXPECT_EQ(LocateAndShow("IŞIK", loCaseInsensitive), "9");
}

TEST_F(Locate, FailureLeavesTheCurrentEntryAndEmptyPrefixMatchesNothing) {
  MakeMixed("CREATE INDEX kelime_bin ON Sozluk1(Kelime)");
  ASSERT_EQ(LocateAndShow("kiraz", kExact), "3");
  const int position = table_.Position();
  EXPECT_EQ(LocateAndShow("kiraz ", kExact), "-");
  EXPECT_EQ(LocateAndShow("kirazlar", kPrefix), "-");
  EXPECT_EQ(LocateAndShow("", kPrefix), "-");
  EXPECT_EQ(LocateAndShow("", kPrefixNoCase), "-");
  EXPECT_EQ(table_.Position(), position);
  EXPECT_EQ(Found(), "3");
}

TEST_F(Locate, PrefixesBeyondTheLastKeyAndSpecialCharactersAreSafe) {
  MakeTable("Sozluk1.DB", {{"a%b", "1"}, {"a_c", "2"}, {"o'clock", "3"}, {"\xff\xfe", "4"}},
            "CREATE INDEX k ON Sozluk1(Kelime)");
  table_.databaseName = "Lugatim";
  table_.tableName = "Sozluk1.DB";
  table_.Open();
  EXPECT_EQ(LocateAndShow("a_", kPrefix), "2");  // no LIKE wildcards
  EXPECT_EQ(LocateAndShow("a%", kPrefixNoCase), "1");
  EXPECT_EQ(LocateAndShow("o'", kPrefix), "3");
  EXPECT_EQ(LocateAndShow("\xff", kPrefix), "4");
  EXPECT_EQ(LocateAndShow("\xff\xff", kPrefix), "-");
}

TEST_F(Locate, DuplicateHeadwordsStaySeparateEntries) {
  MakeTable("Sozluk1.DB", {{"bank", "banka"}, {"bank", "kıyı"}, {"bank", "sıra"}},
            "CREATE INDEX k ON Sozluk1(Kelime)");
  table_.databaseName = "Lugatim";
  table_.tableName = "Sozluk1.DB";
  table_.Open();
  EXPECT_EQ(table_.RecordCount(), 3);
  table_.Last();
  EXPECT_EQ(LocateAndShow("bank", kExact), "banka");
  EXPECT_EQ(table_.Position(), 0);
  EXPECT_EQ(table_.MoveBy(1), 1);
  EXPECT_EQ(Found(), "kıyı");
}
