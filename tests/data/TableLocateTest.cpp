#include "base/TextFold.h"
#include "data/Collations.h"
#include "data/Table.h"
#include "data/TypedSearch.h"
#include "tests/support/TableFixture.h"

using namespace lugatim::data;
using lugatim::base::TLanguage;

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
    OpenTable();
  }
  void OpenTable(TLanguage language = TLanguage::Turkish) {
    table_.databaseName = "Lugatim";
    table_.tableName = "Sozluk1.DB";
    table_.language = language;
    table_.Open();
  }
  // Adds an index through a connection that knows the program's collations.
  void AddIndex(const std::string& sql) {
    table_.Close();
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open((dir_ + "Sozluk1.DB").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(RegisterTextFunctions(db), SQLITE_OK);
    Exec(db, sql);
    sqlite3_close(db);
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
  EXPECT_EQ(LocateAndShow("Kİ", kPrefixNoCase), "1");
  EXPECT_EQ(LocateAndShow("KI", kPrefixNoCase), "6");  // Turkish: I is the capital of ı
  EXPECT_EQ(LocateAndShow("kırm", kPrefixNoCase), "6");
}

TEST_F(Locate, BinaryIndexOrdersCaseSensitiveSearchesOnly) {
  MakeMixed("CREATE INDEX kelime_bin ON Sozluk1(Kelime COLLATE BINARY)");
  EXPECT_EQ(LocateAndShow("kir", kPrefix), "4");  // "kira" sorts before "kiraz"
  EXPECT_EQ(LocateAndShow("ki", kPrefix), "4");
  EXPECT_EQ(LocateAndShow("kitap", kExact), "1");  // equal keys: table order
  // A case-insensitive search ignores the binary index: table order again.
  EXPECT_EQ(LocateAndShow("KİR", kPrefixNoCase), "3");
}

TEST_F(Locate, CaseInsensitiveIndexOrdersCaseInsensitiveSearchesOnly) {
  MakeMixed("CREATE INDEX kelime_nocase ON Sozluk1(Kelime COLLATE NOCASE)");
  EXPECT_EQ(LocateAndShow("kİr", kPrefixNoCase), "4");
  EXPECT_EQ(LocateAndShow("ki", kPrefix), "1");  // case-sensitive: table order
}

TEST_F(Locate, TurkishFoldingIndexGivesAlphabeticalFirstMatches) {
  MakeMixed("");
  AddIndex(std::string("CREATE INDEX kelime_tr ON Sozluk1(Kelime COLLATE ") +
           FoldCollation(TLanguage::Turkish) + ")");
  OpenTable();
  EXPECT_EQ(LocateAndShow("KİR", kPrefixNoCase), "4");  // "kira" before "kiraz"
  EXPECT_EQ(LocateAndShow("KIR", kPrefixNoCase), "6");  // kır…: only "KIRMIZI"
  EXPECT_EQ(LocateAndShow("IŞI", kPrefixNoCase), "9");  // equal keys: table order
  EXPECT_EQ(LocateAndShow("istanbul", kPrefixNoCase), "8");
  EXPECT_EQ(LocateAndShow("ILIK", loCaseInsensitive), "7");
  EXPECT_EQ(LocateAndShow("zzz", kPrefixNoCase), "-");
}

// Turkish headwords with i and ı side by side, in an order unlike any index.
class TypedLocate : public Locate {
 protected:
  void MakeWords(const std::string& extraSql = "") {
    MakeTable("Sozluk1.DB",
              {{"ılgım", "1"},
               {"ilaç", "2"},
               {"acılaştırmak", "3"},
               {"acil", "4"},
               {"İnce", "5"},
               {"ağaç", "6"},
               {"agora", "7"},
               {"köpek", "8"},
               {"ın başkenti", "9"}},
              extraSql);
  }
  std::string Typed(const std::string& text) {
    return LocateTyped(table_, "Kelime", text) ? Found() : "-";
  }
};

TEST_F(TypedLocate, CaseFollowsTheLanguageOfTheHeadwords) {
  MakeWords();
  for (const bool indexed : {false, true}) {
    SCOPED_TRACE(indexed ? "with the Turkish folding index" : "in table order");
    if (indexed) {
      AddIndex(std::string("CREATE INDEX k ON Sozluk1(Kelime COLLATE ") +
               FoldCollation(TLanguage::Turkish) + ")");
    }
    OpenTable(TLanguage::Turkish);
    EXPECT_EQ(LocateAndShow("il", kPrefixNoCase), "2");
    EXPECT_EQ(LocateAndShow("İL", kPrefixNoCase), "2");
    EXPECT_EQ(LocateAndShow("IL", kPrefixNoCase), "1");
    EXPECT_EQ(LocateAndShow("in", kPrefixNoCase), "5");
    EXPECT_EQ(LocateAndShow("ın", kPrefixNoCase), "9");
    EXPECT_EQ(LocateAndShow("acil", kPrefixNoCase), "4");
    EXPECT_EQ(LocateAndShow("ACİL", loCaseInsensitive), "4");
    EXPECT_EQ(LocateAndShow("ACIL", kPrefixNoCase), "3");
    table_.Close();
  }
  // The same words as English headwords: I is the capital of i.
  OpenTable(TLanguage::English);
  EXPECT_EQ(LocateAndShow("IL", kPrefixNoCase), "2");
  EXPECT_EQ(LocateAndShow("ACIL", loCaseInsensitive), "4");
  EXPECT_EQ(LocateAndShow("ıl", kPrefixNoCase), "1");
}

TEST_F(TypedLocate, IndexOfAnotherLanguageDoesNotDecideTheOrder) {
  // Built under English pairs, the index is ordered unlike a Turkish search:
  // the search ignores it and takes the table's own order.
  MakeTable("Sozluk1.DB", {{"kiz", "1"}, {"kız", "2"}, {"KIZIL", "3"}, {"kizil", "4"}});
  AddIndex(std::string("CREATE INDEX k ON Sozluk1(Kelime COLLATE ") +
           FoldCollation(TLanguage::English) + ")");
  OpenTable(TLanguage::Turkish);
  EXPECT_EQ(LocateAndShow("KI", kPrefixNoCase), "2");
  EXPECT_EQ(LocateAndShow("Kİ", kPrefixNoCase), "1");
  table_.Close();
  OpenTable(TLanguage::English);  // now it agrees: "kiz" < "kizil" in its order
  EXPECT_EQ(LocateAndShow("KIZ", kPrefixNoCase), "1");
  EXPECT_EQ(LocateAndShow("KIZI", kPrefixNoCase), "3");
}

TEST_F(TypedLocate, WithoutMarksOnlyWhenTheExactRuleFindsNothing) {
  MakeWords();
  for (const bool indexed : {false, true}) {
    SCOPED_TRACE(indexed ? "with the indexes" : "in table order");
    if (indexed) {
      AddIndex(std::string("CREATE INDEX k ON Sozluk1(Kelime COLLATE ") +
               FoldCollation(TLanguage::Turkish) + "); CREATE INDEX m ON Sozluk1(Kelime COLLATE " +
               MarksCollation(TLanguage::Turkish) + ")");
    }
    OpenTable(TLanguage::Turkish);
    EXPECT_EQ(LocateAndShow("agac", kPrefixNoCase), "-");
    EXPECT_EQ(Typed("agac"), "6");
    EXPECT_EQ(Typed("AGAÇ"), "6");
    EXPECT_EQ(Typed("kopek"), "8");
    EXPECT_EQ(Typed("ag"), "7");  // "agora" matches exactly: it wins over "ağaç"
    EXPECT_EQ(Typed("ağ"), "6");
    EXPECT_EQ(Typed("ılgim"), "1");
    EXPECT_EQ(Typed("acilas"), "3");
    ASSERT_EQ(Typed("ilaç"), "2");
    EXPECT_EQ(Typed("xyz"), "-");
    EXPECT_EQ(Found(), "2");  // nothing found: the entry stays
    table_.Close();
  }
}

TEST_F(TypedLocate, TypedTextKeepsFoundCharactersOnlyAndStartsAfresh) {
  MakeWords();
  OpenTable(TLanguage::Turkish);
  TTypedSearch search(6, 2000);
  const auto type = [&](const char* character, int64_t ms) {
    return search.Type(table_, "Kelime", character, ms);
  };
  EXPECT_TRUE(type("A", 10));
  EXPECT_TRUE(type("g", 20));
  EXPECT_FALSE(type("x", 30));  // dropped
  EXPECT_TRUE(type("a", 40));
  EXPECT_TRUE(type("ç", 50));
  EXPECT_EQ(search.Text(), "Agaç");
  EXPECT_EQ(Found(), "6");
  EXPECT_FALSE(type("l", 60));  // "agaçl" matches nothing: dropped
  EXPECT_EQ(search.Text(), "Agaç");
  EXPECT_TRUE(type("k", 2061));  // over 2000 ms later: a new search text
  EXPECT_EQ(search.Text(), "k");
  EXPECT_EQ(Found(), "8");
  for (const char* c : {"ö", "p", "e", "k"}) EXPECT_TRUE(type(c, 2070));
  EXPECT_EQ(search.Text(), "köpek");
  search.Clear();
  EXPECT_EQ(search.Text(), "");

  TTypedSearch short3(3, 2000);
  for (const char* c : {"a", "c", "i"}) EXPECT_TRUE(short3.Type(table_, "Kelime", c, 1));
  EXPECT_FALSE(short3.Type(table_, "Kelime", "l", 2));  // "acil" exists, but is too long
  EXPECT_EQ(short3.Text(), "aci");
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
