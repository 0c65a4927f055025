// Whole imports: a small dictd pair written here goes through the defaults
// pipeline and the command line, the program's own table engine reads the
// result, and — where the Debian packages are installed — the real FreeDict
// dictionaries give the tables the program ships with.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "ToolsFixture.h"
#include "base/Clock.h"
#include "data/Table.h"
#include "tools/Importer.h"
#include "tools/Progress.h"

using namespace lugatim::tools;
using namespace toolstest;
using lugatim::data::TTable;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const std::vector<std::pair<std::string, std::string>> kEngTur = {
    {"abandon", "abandon /ɐbˈandən/\n1. tamamıyle bırakmak, terketmek\n2. kendini kaptırmak.\n"},
    {"a", "a /ˈeɪ/\n1. ingiliz alfabesinin ilk harfi\n3. (müz.) la notası\n"},
    {"a", "a /ˈeɪ/\n1. bir, herhangi bir\n3. her bir, -de: twice a year senede iki defa\n"},
    {"auto", "auto- /ˈɔːtəʊ/\n1. (önek) kendi kendine\n"},
    {"africa", "Africa /ˈafɹɪkə/\n1. Afrika\n"},
    {"zebra", "zebra /zˈɛbɹə/\n1. (zool.) zebra\n"},
    {"desert", "desert /dɪzˈɜːt/\n1. terketmek, bırakmak\n2. çöl\n"},
};
const std::vector<std::pair<std::string, std::string>> kTurEng = {
    {"afrika", "Afrika /afrikˈa/\nAfrica\n"},
    {"çöl", "çöl /tʃœl/\n1. desert\n2. wilderness\n"},
};

}  // namespace

class Pipeline : public TempDir {
 protected:
  void LayDictionaries(const std::string& sub = "dictd") {
    std::filesystem::create_directories(Path(sub));
    const Dictionary et = MakeDictionary(kEngTur);
    const Dictionary te = MakeDictionary(kTurEng);
    Write(sub + "/freedict-eng-tur.index", et.index);
    Write(sub + "/freedict-eng-tur.dict.dz", Gzip(et.dict));
    Write(sub + "/freedict-tur-eng.index", te.index);
    Write(sub + "/freedict-tur-eng.dict.dz", Gzip(te.dict));
  }
  int Run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    return RunImport(args, out_, err_);
  }
  std::ostringstream out_, err_;
};

TEST_F(Pipeline, DefaultsBuildBothTablesSortedAndMapped) {
  LayDictionaries();
  const TDefaultsResult r = ImportDefaults(Path("dictd"), Path("out"));
  EXPECT_EQ(r.englishRows, 7u);
  EXPECT_THAT(QueryRows(Path("out/Sozluk1.DB"),
                        "SELECT SiraNo, Kelime, Kategori, OnekSonek FROM "
                        "Sozluk1 ORDER BY SiraNo"),
              ElementsAre("1|a|müz.|", "2|a||", "3|abandon||", "4|Africa||", "5|auto-||önek",
                          "6|desert||", "7|zebra|zool.|"));
  EXPECT_THAT(
      QueryRows(Path("out/Sozluk1.DB"), "SELECT Anlami, Ornek FROM Sozluk1 WHERE SiraNo = 2"),
      ElementsAre("1. bir, herhangi bir\n3. her bir, -de\n/ˈeɪ/|3. twice a year senede iki defa"));

  // Turkish side: tur-eng entries merged with the reverse, Turkish order.
  const auto turkish =
      QueryRows(Path("out/SozlukE1.DB"),
                "SELECT SiraNo, Kelime, Kategori, Anlami FROM SozlukE1 ORDER BY SiraNo");
  EXPECT_THAT(turkish, ElementsAre("1|Afrika||Africa\n/afrikˈa/", "2|bırakmak||desert", "3|bir||a",
                                   "4|çöl||1. desert\n2. wilderness\n/tʃœl/", "5|her bir||a",
                                   "6|herhangi bir||a", "7|kendi kendine||auto-",
                                   "8|kendini kaptırmak||abandon", "9|la notası|müz.|a",
                                   "10|tamamıyle bırakmak||abandon",
                                   "11|terketmek||abandon, desert", "12|zebra|zool.|zebra"));
  EXPECT_EQ(r.turkishRows, turkish.size());
  EXPECT_THAT(Files(), ElementsAre("dictd", "out"));
}

TEST_F(Pipeline, TheProgramsEngineReadsTheTables) {
  LayDictionaries();
  ImportDefaults(Path("dictd"), Path("out"));
  setenv("LUGATIM_DB_DIR", Path("out").c_str(), 1);
  TTable english("SozlukTB");
  english.databaseName = "Lugatim";
  english.tableName = "Sozluk1.DB";
  ASSERT_NO_THROW(english.Open());
  EXPECT_EQ(english.RecordCount(), 7);
  EXPECT_EQ(english.FieldByName("Kelime").AsString(), "a");
  EXPECT_EQ(english.FieldByName("SiraNo").AsInteger(), 1);
  ASSERT_TRUE(english.Locate("Kelime", "aut", lugatim::data::loPartialKey));
  EXPECT_EQ(english.FieldByName("OnekSonek").AsString(), "önek");
  EXPECT_EQ(english.FieldByName("Anlami").AsString(), "1. (önek) kendi kendine\n/ˈɔːtəʊ/");
  EXPECT_EQ(english.Position(), 4);

  TTable turkish("SozlukETB");
  turkish.databaseName = "Lugatim";
  turkish.tableName = "SozlukE1.DB";
  ASSERT_NO_THROW(turkish.Open());
  ASSERT_TRUE(turkish.Locate("Kelime", "çö", lugatim::data::loPartialKey));
  EXPECT_EQ(turkish.FieldByName("Kelime").AsString(), "çöl");
  english.Close();
  turkish.Close();
  unsetenv("LUGATIM_DB_DIR");
}

TEST_F(Pipeline, AFailedDefaultsImportLeavesBothOldTables) {
  LayDictionaries();
  ImportDefaults(Path("dictd"), Path("out"));
  const std::string english = Read("out/Sozluk1.DB");
  const std::string turkish = Read("out/SozlukE1.DB");
  // The second dictionary is damaged: neither table may change.
  std::string gz = Read("dictd/freedict-tur-eng.dict.dz");
  Write("dictd/freedict-tur-eng.dict.dz", gz.substr(0, gz.size() - 12));
  EXPECT_THROW(ImportDefaults(Path("dictd"), Path("out")), EImportError);
  EXPECT_EQ(Read("out/Sozluk1.DB"), english);
  EXPECT_EQ(Read("out/SozlukE1.DB"), turkish);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("out")),
                          std::filesystem::directory_iterator()),
            2);
}

TEST_F(Pipeline, CommandLineDefaults) {
  LayDictionaries();
  EXPECT_EQ(Run({"defaults", "--dictd-dir", Path("dictd"), "--out=" + Path("o")}), 0) << err_.str();
  EXPECT_EQ(out_.str(),
            Path("o/Sozluk1.DB") + ": 7 entries\n" + Path("o/SozlukE1.DB") + ": 12 entries\n");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(Pipeline, CommandLineFailuresExitNonZeroWithAMessage) {
  EXPECT_EQ(Run({"defaults", "--dictd-dir", Path("none"), "--out", Path("o")}), 1);
  EXPECT_EQ(err_.str(), "lugatim-import: " + Path("none/freedict-eng-tur.index") +
                            ": No such file or directory\n");
  EXPECT_FALSE(std::filesystem::exists(Path("o")));

  EXPECT_EQ(Run({}), 2);
  EXPECT_THAT(err_.str(), HasSubstr("no command given"));
  EXPECT_EQ(Run({"build"}), 2);
  EXPECT_THAT(err_.str(), HasSubstr("unknown command 'build'"));
  EXPECT_EQ(Run({"tsv", "only-one"}), 2);
  EXPECT_EQ(Run({"tsv", "--lang", "de", "a", "b"}), 2);
  EXPECT_THAT(err_.str(), HasSubstr("--lang takes en or tr, not 'de'"));
  EXPECT_EQ(Run({"dictd", "--bogus", "a", "b", "c"}), 2);
  EXPECT_EQ(Run({"defaults", "--out"}), 2);
  EXPECT_THAT(err_.str(), HasSubstr("--out needs a value"));

  Write("w.tsv", "ok\nbad\t\t\t\t\tsix\n");
  EXPECT_EQ(Run({"tsv", Path("w.tsv"), Path("W.DB")}), 1);
  EXPECT_EQ(err_.str(), "lugatim-import: " + Path("w.tsv") + ":2: more than five fields\n");
  EXPECT_FALSE(std::filesystem::exists(Path("W.DB")));
}

TEST_F(Pipeline, CommandLineHelpDescribesEveryCommand) {
  EXPECT_EQ(Run({"--help"}), 0);
  for (const char* part : {"defaults [--dictd-dir DIR] [--out DIR]",
                           "dictd [--lang en|tr] [--keep-order] INDEXFILE DICTFILE OUT.DB",
                           "tsv [--lang en|tr] [--keep-order] FILE OUT.DB",
                           "headword TAB category TAB prefix/suffix TAB meaning TAB example"})
    EXPECT_THAT(out_.str(), HasSubstr(part));
  EXPECT_EQ(Run({"tsv", "--help"}), 0);
  EXPECT_EQ(out_.str(), UsageText());
}

TEST_F(Pipeline, CommandLineWordListSortedOrInFileOrder) {
  Write("w.tsv", "zil\t\t\tbell\nçay\t\t\ttea\nIlık\t\t\twarm\ncam\t\t\tglass\n");
  EXPECT_EQ(Run({"tsv", "--lang", "tr", Path("w.tsv"), Path("W.DB")}), 0) << err_.str();
  EXPECT_EQ(out_.str(), Path("W.DB") + ": 4 entries\n");
  EXPECT_THAT(QueryRows(Path("W.DB"), "SELECT SiraNo, Kelime FROM W ORDER BY SiraNo"),
              ElementsAre("1|cam", "2|çay", "3|Ilık", "4|zil"));
  EXPECT_EQ(Run({"tsv", "--keep-order", Path("w.tsv"), Path("W.DB")}), 0);
  EXPECT_THAT(QueryRows(Path("W.DB"), "SELECT Kelime FROM W ORDER BY SiraNo"),
              ElementsAre("zil", "çay", "Ilık", "cam"));
}

TEST_F(Pipeline, CommandLineOneDictdDictionary) {
  LayDictionaries();
  EXPECT_EQ(Run({"dictd", "--lang", "tr", Path("dictd/freedict-tur-eng.index"),
                 Path("dictd/freedict-tur-eng.dict.dz"), Path("T.DB")}),
            0)
      << err_.str();
  EXPECT_THAT(QueryRows(Path("T.DB"), "SELECT Kelime FROM T ORDER BY SiraNo"),
              ElementsAre("Afrika", "çöl"));
  // An uncompressed .dict works as well.
  Write("plain.index", MakeDictionary(kEngTur).index);
  Write("plain.dict", MakeDictionary(kEngTur).dict);
  EXPECT_EQ(Run({"dictd", Path("plain.index"), Path("plain.dict"), Path("P.DB")}), 0);
  EXPECT_THAT(QueryRows(Path("P.DB"), "SELECT count(*) FROM P"), ElementsAre("7"));
}

TEST(Progress, QuietForASecondThenAPercentageLineOnATerminalOnly) {
  lugatim::base::ManualClock clock;
  std::string shown;
  TProgress terminal([&](const std::string& s) { shown += s; }, true, clock);
  terminal.Phase("Sozluk1.DB");
  terminal.Update(10, 100);
  EXPECT_EQ(shown, "");
  clock.AdvanceMs(1000);
  terminal.Update(50, 100);
  terminal.Update(50, 100);  // unchanged: not written again
  terminal.Update(100, 100);
  terminal.Finish();
  EXPECT_EQ(shown, "\rSozluk1.DB  50%          \rSozluk1.DB 100%          \n");

  std::string piped;
  TProgress notTerminal([&](const std::string& s) { piped += s; }, false, clock);
  clock.AdvanceMs(5000);
  notTerminal.Update(50, 100);
  notTerminal.Finish();
  EXPECT_EQ(piped, "");
}

// The real FreeDict dictionaries, from the Debian packages dict-freedict-eng-tur
// and dict-freedict-tur-eng.
class RealDictionaries : public TempDir {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists("/usr/share/dictd/freedict-eng-tur.index") ||
        !std::filesystem::exists("/usr/share/dictd/freedict-tur-eng.index"))
      GTEST_SKIP() << "dict-freedict-eng-tur / dict-freedict-tur-eng not installed";
    TempDir::SetUp();
  }
};

TEST_F(RealDictionaries, DefaultsGiveTheShippedTables) {
  const TDefaultsResult r = ImportDefaults("/usr/share/dictd", dir_);
  EXPECT_EQ(r.englishRows, 36589u);
  EXPECT_GE(r.turkishRows, 15000u);
  const std::string en = Path("Sozluk1.DB");
  const std::string tr = Path("SozlukE1.DB");
  EXPECT_THAT(QueryRows(en, "SELECT count(*), min(SiraNo), max(SiraNo) FROM Sozluk1"),
              ElementsAre("36589|1|36589"));
  EXPECT_THAT(QueryRows(en,
                        "SELECT count(*) FROM Sozluk1 WHERE Kelime = 'abandon' AND "
                        "Anlami LIKE '%terk%'"),
              ElementsAre("1"));
  EXPECT_THAT(QueryRows(en, "SELECT OnekSonek FROM Sozluk1 WHERE Kelime = 'auto-'"),
              ElementsAre("önek"));
  EXPECT_THAT(QueryRows(en, "SELECT count(*) FROM Sozluk1 WHERE Kelime = 'a'"),
              ElementsAre("2"));  // duplicates stay separate entries
  EXPECT_THAT(QueryRows(en,
                        "SELECT Kategori FROM Sozluk1 WHERE SiraNo = (SELECT min(SiraNo) "
                        "FROM Sozluk1 WHERE Kelime = 'a')"),
              ElementsAre("müz., A.B.D."));
  EXPECT_THAT(QueryRows(tr, "SELECT Anlami LIKE 'Africa%' FROM SozlukE1 WHERE Kelime = 'Afrika'"),
              ElementsAre("1"));
  EXPECT_THAT(QueryRows(tr,
                        "SELECT count(*) FROM SozlukE1 WHERE Kelime = 'terketmek' AND "
                        "Anlami LIKE '%abandon%'"),
              ElementsAre("1"));

  // Table order is dictionary order on both sides.
  setenv("LUGATIM_DB_DIR", dir_.c_str(), 1);
  TTable t("SozlukTB");
  t.databaseName = "Lugatim";
  t.tableName = "Sozluk1.DB";
  ASSERT_NO_THROW(t.Open());
  EXPECT_EQ(t.RecordCount(), 36589);
  ASSERT_TRUE(t.Locate("Kelime", "abandon", 0));
  EXPECT_THAT(t.FieldByName("Anlami").AsString(), HasSubstr("terk"));
  t.Close();
  unsetenv("LUGATIM_DB_DIR");
  const auto heads = QueryRows(tr, "SELECT Kelime FROM SozlukE1 ORDER BY SiraNo");
  const auto at = [&](const std::string& w) {
    return std::find(heads.begin(), heads.end(), w) - heads.begin();
  };
  EXPECT_LT(at("cam"), at("çay"));
  EXPECT_LT(at("çay"), at("dağ"));
  EXPECT_LT(at("ılık"), at("iğne"));
  EXPECT_LT(at("öküz"), at("para"));
  EXPECT_LT(at("şeker"), at("tuz"));
}

TEST_F(RealDictionaries, ImportIsRepeatableByteForByteInContent) {
  ImportDefaults("/usr/share/dictd", Path("one"));
  ImportDefaults("/usr/share/dictd", Path("two"));
  for (const char* file : {"Sozluk1.DB", "SozlukE1.DB"}) {
    const std::string sql = std::string("SELECT * FROM ") +
                            std::filesystem::path(file).stem().string() + " ORDER BY SiraNo";
    EXPECT_EQ(QueryRows(Path(std::string("one/") + file), sql),
              QueryRows(Path(std::string("two/") + file), sql))
        << file;
  }
}
