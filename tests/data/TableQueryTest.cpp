// Listing the entries that match: the same matches as Locate, equal ones
// apart from those that only begin with the value, each group in the order
// Locate finds them, bounded, and without moving the current entry.

#include "base/TextFold.h"
#include "data/Collations.h"
#include "data/Table.h"
#include "tests/support/TableFixture.h"

using namespace lugatim::data;

class Matching : public TableFolder {
 protected:
  void Open(const std::string& extraSql) {
    MakeTable("Sozluk1.DB",
              {{"kitap", "1"},
               {"Kitap", "2"},
               {"kiraz", "3"},
               {"KİTAPÇI", "4"},
               {"kitap", "5"},
               {"ışık", "6"},
               {"Işık", "7"},
               {"kitaplık", "8"}},
              extraSql);
    table_.databaseName = "Lugatim";
    table_.tableName = "Sozluk1.DB";
    table_.language = lugatim::base::TLanguage::Turkish;  // Turkish headwords
    table_.Open();
  }
  // The meanings of the matches, which identify the rows: "equal | beginning".
  std::string Rows(const std::string& value, TLocateOptions caseOption, int limit = 100) {
    const size_t anlami = static_cast<size_t>(table_.FieldByName("Anlami").Index());
    const auto join = [&](const std::vector<TEntry>& entries) {
      std::string rows;
      for (const TEntry& e : entries) rows += (rows.empty() ? "" : ",") + e.values[anlami];
      return rows;
    };
    const TTable::TMatches m = table_.Matching("Kelime", value, caseOption, limit);
    return join(m.equal) + " | " + join(m.beginning);
  }
  TTable table_{"SozlukTB"};
};

TEST_F(Matching, SameMatchesAsLocateInTableOrderWithoutAnIndex) {
  Open("");
  EXPECT_EQ(Rows("kitap", 0), "1,5 | 8");
  EXPECT_EQ(Rows("kitap", loCaseInsensitive), "1,2,5 | 4,8");
  EXPECT_EQ(Rows("KİTAP", loCaseInsensitive), "1,2,5 | 4,8");
  EXPECT_EQ(Rows("KITAP", loCaseInsensitive), " | ");  // I is the capital of ı
  EXPECT_EQ(Rows("IŞIK", loCaseInsensitive), "6,7 | ");
  EXPECT_EQ(Rows("ki", loCaseInsensitive, 3), " | 1,2,3");
  EXPECT_EQ(Rows("kitap", loCaseInsensitive, 0), "1,2,5 | ");
  EXPECT_EQ(Rows("", 0), " | ");
  EXPECT_EQ(Rows("zebra", loCaseInsensitive), " | ");
  // The first of them is the entry Locate makes current.
  table_.MoveTo(6);
  ASSERT_TRUE(table_.Locate("Kelime", "KİTAP", loCaseInsensitive | loPartialKey));
  EXPECT_EQ(table_.FieldByName("Anlami").AsString(), "1");
}

TEST_F(Matching, AFittingIndexGivesItsOrderAndTheCurrentEntryStays) {
  Open("CREATE INDEX k ON Sozluk1(Kelime COLLATE NOCASE DESC)");
  table_.MoveTo(2);
  EXPECT_EQ(Rows("kit", loCaseInsensitive), " | 4,8,1,2,5");
  EXPECT_EQ(table_.Position(), 2);
  EXPECT_EQ(table_.FieldByName("Anlami").AsString(), "3");
  table_.Close();
  EXPECT_THROW(table_.Matching("Kelime", "kitap", 0, 10), EDatabaseError);
}

TEST_F(Matching, AnIndexOrderedAsTheSearchComparesIsReadFromTheValueOnOnly) {
  Open("CREATE INDEX b ON Sozluk1(Kelime)");
  EXPECT_EQ(Rows("kitap", 0), "1,5 | 8");
  EXPECT_EQ(Rows("Kitap", 0), "2 | ");
  table_.Close();
  // The program's own folding collation for Turkish, as the importer writes it.
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open((dir_ + "Sozluk1.DB").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(RegisterTextFunctions(db), SQLITE_OK);
  Exec(db, std::string("CREATE INDEX f ON Sozluk1(Kelime COLLATE ") +
               FoldCollation(lugatim::base::TLanguage::Turkish) + ")");
  sqlite3_close(db);
  table_.Open();
  EXPECT_EQ(Rows("kitap", loCaseInsensitive), "1,2,5 | 8,4");
  EXPECT_EQ(Rows("KİT", loCaseInsensitive), " | 1,2,5,8,4");
  EXPECT_EQ(Rows("kitap", loCaseInsensitive, 1), "1,2,5 | 8");
  EXPECT_EQ(Rows("IŞIK", loCaseInsensitive), "6,7 | ");
  EXPECT_EQ(Rows("kiz", loCaseInsensitive), " | ");
}
