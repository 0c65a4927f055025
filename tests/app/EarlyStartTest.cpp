#include <gtest/gtest.h>
#include <sqlite3.h>

#include <thread>

#include "app/EarlyStart.h"
#include "tests/support/TableFixture.h"

using namespace lugatim;

namespace {

// Records each message with the thread that showed it.
class ThreadRecordingSink : public data::IMessageSink {
 public:
  void ShowMessage(const std::string& text) override {
    messages.push_back(text);
    threads.push_back(std::this_thread::get_id());
  }
  std::vector<std::string> messages;
  std::vector<std::thread::id> threads;
};

class EarlyStart : public TableFolder {
 protected:
  void MakeBothTables() {
    MakeTable("Sozluk1.DB", {{"apple", "elma"}, {"book", "kitap"}});
    MakeTable("SozlukE1.DB", {{"elma", "apple"}});
  }
  // Whether a writer could lock the file now: the open table holds a shared
  // lock on it from its first read until it closes.
  bool Unlocked(const std::string& file) const {
    sqlite3* db = nullptr;
    sqlite3_open((dir_ + file).c_str(), &db);
    const bool unlocked =
        sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close_v2(db);
    return unlocked;
  }
};

TEST_F(EarlyStart, HandsOverTheDataModuleWithBothTablesOpen) {
  MakeBothTables();
  ThreadRecordingSink sink;
  app::TEarlyStart early;
  early.WaitForFonts();
  std::unique_ptr<data::TDModuleFrm> dataModule = early.TakeDataModule(sink);
  ASSERT_NE(dataModule, nullptr);
  EXPECT_TRUE(dataModule->SozlukTB.Active());
  EXPECT_TRUE(dataModule->SozlukETB.Active());
  EXPECT_EQ(dataModule->SozlukTB.RecordCount(), 2);
  EXPECT_TRUE(dataModule->SozlukETB.Locate("Kelime", "elma", {}));
  EXPECT_TRUE(sink.messages.empty());
  EXPECT_FALSE(Unlocked("Sozluk1.DB"));
  dataModule.reset();
  EXPECT_TRUE(Unlocked("Sozluk1.DB"));
}

TEST_F(EarlyStart, TheDamagedDatabaseMessageIsShownAtTheHandOverOnTheTakingThread) {
  // No tables: creating the data module shows the message and leaves both closed.
  ThreadRecordingSink sink;
  app::TEarlyStart early;
  std::unique_ptr<data::TDModuleFrm> dataModule = early.TakeDataModule(sink);
  ASSERT_NE(dataModule, nullptr);
  EXPECT_FALSE(dataModule->SozlukTB.Active());
  EXPECT_FALSE(dataModule->SozlukETB.Active());
  ASSERT_EQ(sink.messages, std::vector<std::string>{data::kDamagedDatabaseMessage});
  EXPECT_EQ(sink.threads[0], std::this_thread::get_id());

  // A message after the hand-over goes straight through.
  EXPECT_THROW(dataModule->DataModuleCreate(), base::EAbort);
  ASSERT_EQ(sink.messages.size(), 2u);
  EXPECT_EQ(sink.threads[1], std::this_thread::get_id());
}

TEST_F(EarlyStart, AStartupVariableHasTheWorkDoneBeforeTheApplicationObject) {
  MakeBothTables();
  for (const char* variable : {"DESKTOP_STARTUP_ID", "XDG_ACTIVATION_TOKEN"}) {
    setenv("LUGATIM_DB_DIR", dir_.c_str(), 1);
    setenv(variable, "lugatim-test_TIME0", 1);
    ThreadRecordingSink sink;
    app::TEarlyStart early;
    early.BeforeApplication();
    // What the toolkit does while it starts: the environment changes, after
    // the tables were found through it.
    unsetenv(variable);
    unsetenv("LUGATIM_DB_DIR");
    std::unique_ptr<data::TDModuleFrm> dataModule = early.TakeDataModule(sink);
    EXPECT_TRUE(dataModule->SozlukTB.Active()) << variable;
    EXPECT_TRUE(sink.messages.empty()) << variable;
  }
}

TEST_F(EarlyStart, ADataModuleNeverTakenIsClosedWithTheEarlyStart) {
  MakeBothTables();
  {
    app::TEarlyStart early;
    early.WaitForFonts();
  }
  EXPECT_TRUE(Unlocked("Sozluk1.DB"));
  EXPECT_TRUE(Unlocked("SozlukE1.DB"));
}

}  // namespace
