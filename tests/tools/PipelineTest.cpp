// Whole imports: a small dictd pair written here goes through the defaults
// pipeline and the command line, the program's own table engine reads the
// result, and — where the Debian packages are installed — the real FreeDict
// dictionaries give the tables the program ships with.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "LexiconFixture.h"
#include "ToolsFixture.h"
#include "base/Clock.h"
#include "base/Options.h"
#include "data/Table.h"
#include "morph/MorphData.h"
#include "tools/Importer.h"
#include "tools/Progress.h"

using namespace lugatim::tools;
using namespace toolstest;
using lugatim::data::TTable;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

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
    LayLexicon();
    std::filesystem::create_directories(Path(sub));
    const Dictionary et = MakeDictionary(kEngTur);
    const Dictionary te = MakeDictionary(kTurEng);
    Write(sub + "/freedict-eng-tur.index", et.index);
    Write(sub + "/freedict-eng-tur.dict.dz", Gzip(et.dict));
    Write(sub + "/freedict-tur-eng.index", te.index);
    Write(sub + "/freedict-tur-eng.dict.dz", Gzip(te.dict));
  }
  // A WordNet and a Turkish word list for the words above.
  void LayLexicon() {
    std::filesystem::create_directories(Path("wordnet"));
    for (const auto& [name, text] :
         MakeWordNet({{'v', {"abandon"}, "give up; \"We abandoned the old car\""},
                      {'v', {"desert"}, "leave"},
                      {'n', {"desert"}, "arid land"},
                      {'n', {"zebra"}, "an equine"},
                      {'n', {"wilderness"}, "wild land"}},
                     "desert%1:15:00:: 1 20\n", "went go\n", "zebras zebra\n"))
      Write("wordnet/" + name, text);
    std::filesystem::create_directories(Path("hunspell"));
    Write("hunspell/tr_TR.aff", "SET UTF-8\n");
    Write("hunspell/tr_TR.dic",
          "11\nbırakmak\nterketmek\nçöl\nbir\nher\nherhangi\nkendi\nkendine\nzebra\nla\n"
          "notası\n");
  }
  TDefaultsSources Sources(const std::string& dictd = "dictd") {
    return {Path(dictd), Path("wordnet"), Path("hunspell"), {}};
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
  const TDefaultsResult r = ImportDefaults(Sources(), Path("out"));
  // The source's seven entries and the irregular plural WordNet lists.
  EXPECT_EQ(r.englishRows, 8u);
  EXPECT_EQ(r.content.irregulars, 1u);
  EXPECT_THAT(
      QueryRows(Path("out/Sozluk1.DB"),
                "SELECT SiraNo, Kelime, Kategori, OnekSonek FROM "
                "Sozluk1 ORDER BY SiraNo"),
      ElementsAre("1|a|s., müz.|", "2|a|s.|", "3|abandon|f.|", "4|Africa||", "5|auto-||önek",
                  "6|desert|f., i.|", "7|zebra|i., zool.|", "8|zebras|i.|"));
  EXPECT_THAT(
      QueryRows(Path("out/Sozluk1.DB"), "SELECT Anlami, Ornek FROM Sozluk1 WHERE SiraNo = 2"),
      ElementsAre("1. bir, herhangi bir\n3. her bir, -de\n/ˈeɪ/|3. twice a year senede iki defa"));
  EXPECT_THAT(QueryRows(Path("out/Sozluk1.DB"),
                        "SELECT Anlami, Ornek FROM Sozluk1 WHERE Kelime IN ('abandon', 'zebras')"),
              ElementsAre("1. tamamıyle bırakmak, terketmek\n2. kendini kaptırmak.\n/ɐbˈandən/|"
                          "We abandoned the old car",
                          "(bak.) zebra: (zool.) zebra|"));

  // Turkish side: tur-eng entries merged with the reverse, Turkish order,
  // glosses by their place in the English entries and their frequency.
  const auto turkish =
      QueryRows(Path("out/SozlukE1.DB"),
                "SELECT SiraNo, Kelime, Kategori, Anlami FROM SozlukE1 ORDER BY SiraNo");
  EXPECT_THAT(turkish, ElementsAre("1|Afrika|n.|Africa\n/afrikˈa/", "2|bırakmak|v.|desert",
                                   "3|bir|adj.|a", "4|çöl|n.|1. desert\n2. wilderness\n/tʃœl/",
                                   "5|her bir|adj.|a", "6|herhangi bir|adj.|a",
                                   "7|kendi kendine|n.|auto-", "8|kendini kaptırmak|v.|abandon",
                                   "9|la notası|adj., müz.|a", "10|tamamıyle bırakmak|v.|abandon",
                                   "11|terketmek|v.|desert, abandon", "12|zebra|n., zool.|zebra"));
  EXPECT_EQ(r.turkishRows, turkish.size());
  EXPECT_THAT(Files(), ElementsAre("dictd", "hunspell", "out", "wordnet"));
}

TEST_F(Pipeline, TheProgramsEngineReadsTheTables) {
  LayDictionaries();
  ImportDefaults(Sources(), Path("out"));
  setenv("LUGATIM_DB_DIR", Path("out").c_str(), 1);
  TTable english("SozlukTB");
  english.databaseName = "Lugatim";
  english.tableName = "Sozluk1.DB";
  ASSERT_NO_THROW(english.Open());
  EXPECT_EQ(english.RecordCount(), 8);
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
  ImportDefaults(Sources(), Path("out"));
  const std::string english = Read("out/Sozluk1.DB");
  const std::string turkish = Read("out/SozlukE1.DB");
  const std::string forms = Read("out/Lugatim.morph");
  // The second dictionary is damaged: neither table may change.
  std::string gz = Read("dictd/freedict-tur-eng.dict.dz");
  Write("dictd/freedict-tur-eng.dict.dz", gz.substr(0, gz.size() - 12));
  EXPECT_THROW(ImportDefaults(Sources(), Path("out")), EImportError);
  EXPECT_EQ(Read("out/Sozluk1.DB"), english);
  EXPECT_EQ(Read("out/SozlukE1.DB"), turkish);
  EXPECT_EQ(Read("out/Lugatim.morph"), forms);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Path("out")),
                          std::filesystem::directory_iterator()),
            3);
}

TEST_F(Pipeline, WithoutTheMorphologyDataTheWordFormsHoldEnglishOnly) {
  LayDictionaries();
  ImportDefaults(Sources(), Path("out"));
  const lugatim::morph::TMorphData forms =
      lugatim::morph::TMorphData::Load(Path("out/Lugatim.morph"));
  EXPECT_FALSE(forms.HasTurkish());
  EXPECT_FALSE(forms.Words(true).empty());   // the English headwords, for suggestions
  EXPECT_FALSE(forms.Words(false).empty());  // the Turkish ones
  // A folder named but without the files is an error that names the file;
  // the tables already there stay.
  const std::string english = Read("out/Sozluk1.DB");
  EXPECT_EQ(
      Run({"defaults", "--dictd-dir", Path("dictd"), "--wordnet-dir", Path("wordnet"),
           "--hunspell-dir", Path("hunspell"), "--morph-dir", Path("none"), "--out", Path("out")}),
      1);
  EXPECT_EQ(err_.str(), "lugatim-import: " + Path("none/turkish_dictionary.txt") +
                            ": Turkish morphology file missing (npm package "
                            "nlptoolkit-dictionary; setup.sh fetches it)\n");
  EXPECT_EQ(Read("out/Sozluk1.DB"), english);
}

TEST_F(Pipeline, CommandLineDefaults) {
  LayDictionaries();
  EXPECT_EQ(Run({"defaults", "--dictd-dir", Path("dictd"), "--wordnet-dir", Path("wordnet"),
                 "--hunspell-dir=" + Path("hunspell"), "--out=" + Path("o")}),
            0)
      << err_.str();
  EXPECT_EQ(out_.str(), Path("o/Sozluk1.DB") + ": 8 entries\n" + Path("o/SozlukE1.DB") +
                            ": 12 entries\n" + Path("o/Lugatim.morph") +
                            ": no Turkish analysis (no --morph-dir)\n"
                            "repaired words: 0\n"
                            "run-on entries set apart: 0 from meanings, 0 from examples\n"
                            "broken headwords: 0 mended, 0 dropped\n"
                            "irregular forms added: 1\n"
                            "examples from WordNet: 1\n");
  EXPECT_EQ(err_.str(), "");
}

TEST_F(Pipeline, CommandLineFailuresExitNonZeroWithAMessage) {
  EXPECT_EQ(Run({"defaults", "--dictd-dir", Path("none"), "--out", Path("o")}), 1);
  EXPECT_EQ(err_.str(), "lugatim-import: " + Path("none/freedict-eng-tur.index") +
                            ": No such file or directory\n");
  EXPECT_FALSE(std::filesystem::exists(Path("o")));

  // The other sources: the missing file is named, no table is written.
  LayDictionaries();
  EXPECT_EQ(Run({"defaults", "--dictd-dir", Path("dictd"), "--wordnet-dir", Path("nowordnet"),
                 "--out", Path("o")}),
            1);
  EXPECT_THAT(err_.str(), HasSubstr(Path("nowordnet/cntlist.rev") + ": WordNet file missing"));
  EXPECT_EQ(Run({"defaults", "--dictd-dir", Path("dictd"), "--wordnet-dir", Path("wordnet"),
                 "--hunspell-dir", Path("nohunspell"), "--out", Path("o")}),
            1);
  EXPECT_THAT(err_.str(), HasSubstr(Path("nohunspell/tr_TR.aff") + ": Turkish word list missing"));
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
  for (const char* part : {"defaults [--dictd-dir DIR] [--wordnet-dir DIR]",
                           "dictd [--lang en|tr] [--keep-order] INDEXFILE DICTFILE OUT.DB",
                           "tsv [--lang en|tr] [--keep-order] FILE OUT.DB",
                           "headword TAB category TAB prefix/suffix TAB meaning TAB example"})
    EXPECT_THAT(out_.str(), HasSubstr(part));
  EXPECT_EQ(Run({"tsv", "--help"}), 0);
  EXPECT_EQ(out_.str(), UsageText());
  // --version answers alone or after a command, on standard output.
  for (const std::vector<std::string>& line :
       {std::vector<std::string>{"--version"}, {"-V"}, {"tsv", "--version"}}) {
    EXPECT_EQ(Run(line), 0) << line.back();
    EXPECT_THAT(out_.str(),
                StartsWith(std::string("lugatim-import ") + lugatim::base::kVersion + "\n"));
    EXPECT_EQ(err_.str(), "");
  }
  // An answer that cannot be written is status 2 with a message.
  struct : std::streambuf {
    int_type overflow(int_type) override { return traits_type::eof(); }
  } full;
  std::ostream fullOut(&full);
  std::ostringstream fullErr;
  EXPECT_EQ(RunImport({"--version"}, fullOut, fullErr), 2);
  EXPECT_EQ(fullErr.str(), "lugatim-import: cannot write the output\n");
  // A switch given a value is wrong usage, not silently taken.
  EXPECT_EQ(Run({"tsv", "--keep-order=yes", "a", "b"}), 2);
  EXPECT_THAT(err_.str(), HasSubstr("--keep-order takes no value"));
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

// --user writes into the user's folder (made when missing), before or after
// the command; the table is then a name in it, never a path elsewhere.
TEST_F(Pipeline, CommandLineUserTablesGoIntoTheUsersFolder) {
  Write("w.tsv", "zil\t\t\tbell\n");
  setenv("XDG_DATA_HOME", Path("xdg").c_str(), 1);
  EXPECT_EQ(Run({"--user", "tsv", Path("w.tsv"), "Sozluk1.DB"}), 0) << err_.str();
  EXPECT_EQ(out_.str(), Path("xdg") + "/lugatim/Sozluk1.DB: 1 entries\n");
  EXPECT_THAT(QueryRows(Path("xdg/lugatim/Sozluk1.DB"), "SELECT Kelime FROM Sozluk1"),
              ElementsAre("zil"));
  EXPECT_EQ(Run({"tsv", "--user", "--lang", "tr", Path("w.tsv"), "SozlukE1.DB"}), 0) << err_.str();
  EXPECT_THAT(QueryRows(Path("xdg/lugatim/SozlukE1.DB"), "SELECT Kelime FROM SozlukE1"),
              ElementsAre("zil"));
  EXPECT_FALSE(std::filesystem::exists(Path("Sozluk1.DB")));
  EXPECT_EQ(Run({"--user", "tsv", Path("w.tsv"), Path("Other.DB")}), 2);
  EXPECT_THAT(err_.str(), HasSubstr("with --user, OUT.DB is a file name without a folder"));
  EXPECT_FALSE(std::filesystem::exists(Path("Other.DB")));
  EXPECT_EQ(Run({"--user", "defaults", "--out", Path("o")}), 2);
  EXPECT_THAT(err_.str(), HasSubstr("--user and --out exclude each other"));
  EXPECT_EQ(Run({"--user"}), 2);
  EXPECT_THAT(err_.str(), HasSubstr("no command given"));
  unsetenv("XDG_DATA_HOME");
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
  const TDefaultsResult r = ImportDefaults(TDefaultsSources(), dir_);
  // Every source entry but the dropped broken headwords, the entries set
  // apart, and the irregular forms.
  const TContentReport& c = r.content;
  const size_t english =
      36589 - c.runOns.dropped + c.runOns.fromMeanings + c.runOns.fromExamples + c.irregulars;
  EXPECT_EQ(r.englishRows, english);
  EXPECT_LE(c.runOns.dropped, 10u);
  EXPECT_GE(c.irregulars, 1000u);
  EXPECT_GE(r.turkishRows, 15000u);
  const std::string en = Path("Sozluk1.DB");
  const std::string tr = Path("SozlukE1.DB");
  EXPECT_THAT(QueryRows(en, "SELECT count(*) = max(SiraNo), min(SiraNo) FROM Sozluk1"),
              ElementsAre("1|1"));
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
              ElementsAre("s., i., müz., A.B.D."));
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
  EXPECT_EQ(t.RecordCount(), static_cast<int>(english));
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
  ImportDefaults(TDefaultsSources(), Path("one"));
  ImportDefaults(TDefaultsSources(), Path("two"));
  for (const char* file : {"Sozluk1.DB", "SozlukE1.DB"}) {
    const std::string sql = std::string("SELECT * FROM ") +
                            std::filesystem::path(file).stem().string() + " ORDER BY SiraNo";
    EXPECT_EQ(QueryRows(Path(std::string("one/") + file), sql),
              QueryRows(Path(std::string("two/") + file), sql))
        << file;
  }
}

namespace {

// The share of rows for which the query's condition holds.
double Share(const std::string& file, const std::string& condition) {
  const std::string table = std::filesystem::path(file).stem().string();
  const auto r = QueryRows(file, "SELECT 1.0 * sum(" + condition + ") / count(*) FROM " + table);
  return r.empty() ? 0.0 : std::stod(r.front());
}

std::string FirstGloss(const std::string& file, const std::string& headword) {
  const auto r = QueryRows(file, "SELECT Anlami FROM SozlukE1 WHERE Kelime = '" + headword + "'");
  if (r.empty()) return "";
  return r.front().substr(0, r.front().find_first_of(",\n"));
}

// Words with a capital I between small letters: "öIdürmek".
bool HasCapitalIInside(const std::string& text) {
  for (size_t i = 1; i + 1 < text.size(); ++i)
    if (text[i] == 'I' && static_cast<unsigned char>(text[i - 1]) >= 'a' && text[i - 1] != ' ' &&
        static_cast<unsigned char>(text[i + 1]) >= 'a')
      return true;
  return false;
}

}  // namespace

TEST_F(RealDictionaries, TheTablesSayWhatALearnerCanTrust) {
  ImportDefaults(TDefaultsSources(), dir_);
  const std::string en = Path("Sozluk1.DB");
  const std::string tr = Path("SozlukE1.DB");
  // The meaning a learner reads first.
  EXPECT_THAT(FirstGloss(tr, "ev"), ::testing::AnyOf("house", "home"));
  EXPECT_THAT(FirstGloss(tr, "iyi"), ::testing::AnyOf("good", "well"));
  EXPECT_EQ(FirstGloss(tr, "su"), "water");
  EXPECT_THAT(FirstGloss(tr, "merhaba"), ::testing::AnyOf("hello", "hi"));
  // Parts of speech on nine entries in ten; examples on nearly half.
  EXPECT_GE(Share(en,
                  "Kategori GLOB '[ifsz]*.*' OR Kategori GLOB 'edat*' OR "
                  "Kategori GLOB 'bağlaç*' OR Kategori GLOB 'ünlem*'"),
            0.9);
  EXPECT_GE(Share(tr,
                  "Kategori GLOB '[nvap]*.*' OR Kategori GLOB 'conj.*' OR "
                  "Kategori GLOB 'interj.*'"),
            0.9);
  EXPECT_GE(Share(en, "Ornek != ''"), 0.45);
  EXPECT_THAT(QueryRows(en, "SELECT Kategori, Ornek != '' FROM Sozluk1 WHERE Kelime = 'abandon'"),
              ElementsAre("f., i.|1"));
  // Irregular forms find their base.
  for (const char* form : {"children", "mice", "better", "swum"})
    EXPECT_THAT(QueryRows(en, std::string("SELECT count(*) > 0 FROM Sozluk1 WHERE Kelime = '") +
                                  form + "'"),
                ElementsAre("1"))
        << form;
  EXPECT_THAT(QueryRows(en,
                        "SELECT Anlami LIKE '%(bak.) swim: %yüzmek%' FROM Sozluk1 WHERE "
                        "Kelime = 'swum'"),
              ElementsAre("1"));
  EXPECT_THAT(QueryRows(en, "SELECT Anlami FROM Sozluk1 WHERE Kelime = 'mice'"),
              ElementsAre(::testing::HasSubstr("(bak.) mouse: fare")));
  // Run-on entries stand on their own; broken headwords are gone.
  EXPECT_THAT(QueryRows(en, "SELECT count(*) FROM Sozluk1 WHERE Anlami LIKE '%abdica''tion%'"),
              ElementsAre("0"));
  EXPECT_THAT(QueryRows(en,
                        "SELECT Anlami LIKE '%tahtını terk etme%' FROM Sozluk1 WHERE "
                        "Kelime = 'abdication'"),
              ::testing::Contains("1"));
  EXPECT_THAT(QueryRows(en,
                        "SELECT Kelime FROM Sozluk1 WHERE Kelime IN ('k , k', 'millenniu m', "
                        "'millennium', 'b b gun')"),
              ElementsAre("millennium"));
  // Scanning errors: a handful left of the 196 Turkish headwords with I for l.
  size_t capitalI = 0;
  for (const std::string& head : QueryRows(tr, "SELECT Kelime FROM SozlukE1"))
    capitalI += HasCapitalIInside(head) ? 1 : 0;
  EXPECT_LE(capitalI, 40u);
  EXPECT_THAT(QueryRows(tr,
                        "SELECT count(*) FROM SozlukE1 WHERE Kelime IN ('öIdürmek', "
                        "'ın başkenti', 'vomitive kusturucu')"),
              ElementsAre("0"));
  EXPECT_THAT(QueryRows(tr, "SELECT count(*) FROM SozlukE1 WHERE Kelime = 'öldürmek'"),
              ElementsAre("1"));
}
