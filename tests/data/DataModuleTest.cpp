#include <filesystem>

#include "base/StringList.h"
#include "data/DModUnt.h"
#include "tests/support/TableFixture.h"

using namespace lugatim::data;

namespace {

class CapturedMessages : public IMessageSink {
 public:
  void ShowMessage(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

}  // namespace

class DataModule : public TableFolder {
 protected:
  void MakeBoth() {
    MakeTable("Sozluk1.DB", {{"apple", "elma"}, {"book", "kitap"}, {"cat", "kedi"}});
    MakeTable("SozlukE1.DB", {{"elma", "apple"}, {"kitap", "book"}});
  }
  CapturedMessages messages_;
};

TEST_F(DataModule, OpensBothTablesOnTheirFirstEntriesWithTheirFields) {
  MakeBoth();
  TDModuleFrm dm(messages_);
  EXPECT_TRUE(messages_.shown.empty());
  ASSERT_TRUE(dm.SozlukTB.Active());
  ASSERT_TRUE(dm.SozlukETB.Active());
  EXPECT_EQ(dm.SozlukTBKelime.AsString(), "apple");
  EXPECT_EQ(dm.SozlukTBAnlami.AsString(), "elma");
  EXPECT_EQ(dm.SozlukTBSiraNo.AsInteger(), 1);
  EXPECT_TRUE(dm.SozlukTBSiraNo.ReadOnly());
  EXPECT_EQ(dm.SozlukETBKelime.AsString(), "elma");
  EXPECT_EQ(dm.Dtsrc1.DataSet(), &dm.SozlukTB);
  EXPECT_EQ(dm.Dtsrc2.DataSet(), &dm.SozlukETB);
  EXPECT_EQ(dm.AcKapa.shortCut, 16467);
}

TEST_F(DataModule, DamagedMessageIsFourCarriageReturnSeparatedLines) {
  const std::string text = kDamagedDatabaseMessage;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 3);
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_NE(text.back(), '\r');
  const auto lines = lugatim::base::SplitLines(text);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "Veri tabanınız bozulmuş olabilir");
  EXPECT_EQ(lines[1], "Lütfen Sozluk1.ydb, Sozluk1.ymd, Sozluk1.ypx dosyalarını");
  EXPECT_EQ(lines[2], "Sozluk1.db, Sozluk1.md, Sozluk1.px olarak isimlendirerek veri");
  EXPECT_EQ(lines[3], "tabanlarının eski sürümünü yükleyin");
}

TEST_F(DataModule, TurkishTableFailingShowsTheMessageOnceAndLeavesBothClosed) {
  MakeTable("SozlukE1.DB", {{"elma", "apple"}});  // only the English-side file exists
  TDModuleFrm dm(messages_);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0], kDamagedDatabaseMessage);
  EXPECT_FALSE(dm.SozlukTB.Active());
  EXPECT_FALSE(dm.SozlukETB.Active());  // not even tried
  EXPECT_EQ(dm.SozlukTBKelime.AsString(), "");
}

TEST_F(DataModule, OnlyEnglishTableFailingKeepsTheTurkishSideWorking) {
  MakeTable("Sozluk1.DB", {{"apple", "elma"}, {"book", "kitap"}});
  WriteBytes("SozlukE1.DB", "not a database at all, just text that is long enough........");
  TDModuleFrm dm(messages_);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0], kDamagedDatabaseMessage);
  ASSERT_TRUE(dm.SozlukTB.Active());
  EXPECT_FALSE(dm.SozlukETB.Active());
  EXPECT_TRUE(dm.SozlukTB.Locate("Kelime", "bo", loPartialKey));
  EXPECT_EQ(dm.SozlukTBAnlami.AsString(), "kitap");
}

TEST_F(DataModule, MissingFolderShowsTheSameMessage) {
  setenv("LUGATIM_DB_DIR", (dir_ + "gone").c_str(), 1);
  TDModuleFrm dm(messages_);
  EXPECT_EQ(messages_.shown, std::vector<std::string>{kDamagedDatabaseMessage});
}

TEST_F(DataModule, AcKapaBringsBothTablesBackToTheirFirstEntries) {
  MakeBoth();
  TDModuleFrm dm(messages_);
  dm.SozlukTB.Last();
  dm.SozlukETB.Last();
  dm.AcKapa.Execute();
  EXPECT_EQ(dm.SozlukTBKelime.AsString(), "apple");
  EXPECT_EQ(dm.SozlukETBKelime.AsString(), "elma");
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(DataModule, AcKapaErrorsReachTheCallerAndLeaveLaterTablesClosed) {
  MakeBoth();
  TDModuleFrm dm(messages_);
  std::filesystem::remove(dir_ + "Sozluk1.DB");
  try {
    dm.AcKapaExecute();
    FAIL() << "reopening a missing table must fail";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "SozlukTB: Table file " + dir_ + "Sozluk1.DB does not exist");
  }
  EXPECT_FALSE(dm.SozlukTB.Active());
  EXPECT_FALSE(dm.SozlukETB.Active());
  EXPECT_TRUE(messages_.shown.empty());  // no damaged-database box for a reopen
}

TEST_F(DataModule, DestroyClosesTheTablesSoTheirFilesCanBeReplaced) {
  MakeBoth();
  {
    TDModuleFrm dm(messages_);
    dm.DataModuleDestroy();
    EXPECT_FALSE(dm.SozlukTB.Active());
    EXPECT_FALSE(dm.SozlukETB.Active());
    dm.DataModuleDestroy();  // a second close is harmless
  }
  EXPECT_TRUE(messages_.shown.empty());
}
