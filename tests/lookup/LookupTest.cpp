// lugatim-lookup: which entries it prints and in what order, the text and
// JSON layouts, the exit statuses, and the real executable over real tables.

#include <stdio.h>
#include <sys/wait.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <sstream>

#include "base/Options.h"
#include "morph/MorphData.h"
#include "tests/support/TableFixture.h"
#include "tests/support/WordFormsFixture.h"
#include "tools/lookup/Lookup.h"

using namespace lugatim;

namespace {

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome Lookup(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = tools::RunLookup(args, out, err, false);
  return {status, out.str(), err.str()};
}

// Runs SQL on a table file.
void ExecOn(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  sqlite3_close(db);
}

}  // namespace

class LookupTool : public TableFolder {
 protected:
  void MakeDictionaries() {
    std::vector<Row> english = {{"booking", "rezervasyon"},
                                {"Book", "Kitabı Mukaddes"},
                                {"book", "kitap\ndefter", "isim"},
                                {"cat", "kedi"}};
    // Fifteen more headwords beginning with "book", after the others.
    for (int i = 0; i < 15; ++i) english.push_back({"book" + std::string(1, char('a' + i)), "x"});
    MakeTable("Sozluk1.DB", english);
    ExecOn(dir_ + "Sozluk1.DB",
           "UPDATE Sozluk1 SET OnekSonek = 'sonek', Ornek = '1. a good book iyi bir kitap' "
           "WHERE Kelime = 'book' AND Kategori = 'isim'");
    MakeTable("SozlukE1.DB", {{"ışık", "light"},
                              {"ılık", "lukewarm"},
                              {"Işıklı", "lit"},
                              {"kitap", "book"},
                              {"istanbul", "Istanbul"}});
  }
};

TEST_F(LookupTool, ExactMatchesFirstThenAtMostTenBeginningWithTheWord) {
  MakeDictionaries();
  const tools::TLookupTable table = tools::LookUpIn("Sozluk1.DB", "BOOK", false);
  ASSERT_EQ(table.entries.size(), 12u);
  // Capitals do not count; exact ones in table order, then the others.
  EXPECT_EQ(table.entries[0].headword, "Book");
  EXPECT_EQ(table.entries[1].headword, "book");
  EXPECT_TRUE(table.entries[0].exact && table.entries[1].exact);
  EXPECT_EQ(table.entries[2].headword, "booking");
  EXPECT_EQ(table.entries[3].headword, "booka");
  EXPECT_EQ(table.entries[11].headword, "booki");  // booking, then booka .. booki
  for (size_t i = 2; i < 12; ++i) EXPECT_FALSE(table.entries[i].exact) << i;
  const tools::TLookupEntry& book = table.entries[1];
  EXPECT_EQ(book.category, "isim");
  EXPECT_EQ(book.affix, "sonek");
  EXPECT_EQ(book.meaning, (std::vector<std::string>{"kitap", "defter"}));
  EXPECT_EQ(book.example, std::vector<std::string>{"1. a good book iyi bir kitap"});

  const tools::TLookupTable exact = tools::LookUpIn("Sozluk1.DB", "book", true);
  ASSERT_EQ(exact.entries.size(), 2u);
  EXPECT_EQ(tools::LookUpIn("Sozluk1.DB", "zebra", false).entries.size(), 0u);
}

TEST_F(LookupTool, TurkishHeadwordsCompareTheTurkishWay) {
  MakeDictionaries();
  const tools::TLookupTable table = tools::LookUpIn("SozlukE1.DB", "IŞIK", false);
  ASSERT_EQ(table.entries.size(), 2u);
  EXPECT_EQ(table.entries[0].headword, "ışık");
  EXPECT_TRUE(table.entries[0].exact);
  EXPECT_EQ(table.entries[1].headword, "Işıklı");
  EXPECT_EQ(tools::LookUpIn("SozlukE1.DB", "İSTANBUL", true).entries.size(), 1u);
}

TEST_F(LookupTool, TextLayoutShowsEachPartOfAnEntry) {
  MakeDictionaries();
  const Outcome run = Lookup({"--en", "book"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  const std::string expectedStart =
      "English-Turkish\n"
      "\n  Book\n"
      "      Kitabı Mukaddes\n"
      "\n  book  (isim)  [sonek]\n"
      "      kitap\n"
      "      defter\n"
      "    Example: 1. a good book iyi bir kitap\n"
      "\n  Beginning with \"book\":\n"
      "\n  booking\n"
      "      rezervasyon\n";
  EXPECT_EQ(run.out.substr(0, expectedStart.size()), expectedStart) << run.out;
  EXPECT_EQ(run.out.find("Turkish-English"), std::string::npos);
  // Both tables by default: "kitap" is a Turkish headword.
  const Outcome both = Lookup({"kitap"});
  EXPECT_EQ(both.status, 0);
  EXPECT_EQ(both.out, "Turkish-English\n\n  kitap\n      book\n");
}

TEST_F(LookupTool, JsonHoldsEveryTableAndEntryForScripts) {
  MakeDictionaries();
  ExecOn(dir_ + "SozlukE1.DB",
         "INSERT INTO SozlukE1 (Kelime, Kategori, OnekSonek, Anlami, Ornek) "
         "VALUES ('kitap', '', '', 'a \"quoted\" \\ back' || char(9) || 'tab', '')");
  const Outcome run = Lookup({"--json", "--exact", "kitap"});
  EXPECT_EQ(run.status, 0);
  QJsonParseError error{};
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << run.out;
  const QJsonObject root = doc.object();
  EXPECT_EQ(root["word"].toString(), "kitap");
  const QJsonArray tables = root["tables"].toArray();
  ASSERT_EQ(tables.size(), 2);
  EXPECT_EQ(tables[0].toObject()["direction"].toString(), "en-tr");
  EXPECT_TRUE(tables[0].toObject()["entries"].toArray().isEmpty());
  const QJsonArray entries = tables[1].toObject()["entries"].toArray();
  ASSERT_EQ(entries.size(), 2);
  EXPECT_EQ(entries[0].toObject()["headword"].toString(), "kitap");
  EXPECT_TRUE(entries[0].toObject()["exact"].toBool());
  EXPECT_EQ(entries[0].toObject()["meaning"].toArray()[0].toString(), "book");
  EXPECT_EQ(entries[1].toObject()["meaning"].toArray()[0].toString(), "a \"quoted\" \\ back\ttab");
  // Bytes of a damaged table that are not UTF-8 come out as U+FFFD, so the
  // document stays valid JSON.
  ExecOn(dir_ + "SozlukE1.DB",
         "UPDATE SozlukE1 SET Anlami = 'bo' || CAST(X'FF' AS TEXT) || 'ok' || CAST(X'C3' AS TEXT) "
         "WHERE Kelime = 'kitap' AND Anlami = 'book'");
  const Outcome damaged = Lookup({"--json", "--exact", "--tr", "kitap"});
  EXPECT_EQ(damaged.status, 0);
  const QJsonDocument damagedDoc =
      QJsonDocument::fromJson(QByteArray::fromStdString(damaged.out), &error);
  ASSERT_EQ(error.error, QJsonParseError::NoError) << damaged.out;
  EXPECT_EQ(damagedDoc.object()["tables"]
                .toArray()[0]
                .toObject()["entries"]
                .toArray()[0]
                .toObject()["meaning"]
                .toArray()[0]
                .toString(),
            QString::fromUtf8("bo\uFFFDok\uFFFD"));
  // Nothing found is still a JSON answer, with status 1.
  const Outcome none = Lookup({"--json", "zebra"});
  EXPECT_EQ(none.status, 1);
  EXPECT_FALSE(QJsonDocument::fromJson(QByteArray::fromStdString(none.out)).isNull());
}

TEST_F(LookupTool, ExitStatusesAndMessages) {
  MakeDictionaries();
  EXPECT_EQ(Lookup({"cat"}).status, 0);
  const Outcome none = Lookup({"--tr", "cat"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, "");
  EXPECT_NE(none.err.find("no entry for \"cat\""), std::string::npos);
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"--en"}, {"--en", "--tr", "cat"}, {"--colour", "cat"}}) {
    const Outcome wrong = Lookup(args);
    EXPECT_EQ(wrong.status, 2) << (args.empty() ? "" : args[0]);
    EXPECT_NE(wrong.err.find("Usage: lugatim-lookup"), std::string::npos);
  }
  // Escape sequences in a table never reach the terminal as such.
  ExecOn(dir_ + "Sozluk1.DB",
         "UPDATE Sozluk1 SET Anlami = 'kedi' || char(27) || '[2J' WHERE Kelime = 'cat'");
  EXPECT_EQ(Lookup({"--en", "cat"}).out.find('\x1b'), std::string::npos);

  // No tables: status 2 and the folder looked in named.
  std::filesystem::remove(dir_ + "Sozluk1.DB");
  std::filesystem::remove(dir_ + "SozlukE1.DB");
  const Outcome missing = Lookup({"cat"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("no dictionary table to read in " + dir_), std::string::npos)
      << missing.err;
  EXPECT_NE(missing.err.find("Sozluk1.DB"), std::string::npos);
}

namespace {

// A stream whose every write fails, as on a full disk.
class FullBuffer : public std::streambuf {
 protected:
  int_type overflow(int_type) override { return traits_type::eof(); }
};

}  // namespace

TEST_F(LookupTool, VersionHelpNonUtf8WordsAndFailedWritesAsUnixToolsHaveThem) {
  MakeDictionaries();
  for (const char* option : {"--version", "-V"}) {
    const Outcome version = Lookup({option});
    EXPECT_EQ(version.status, 0) << option;
    EXPECT_EQ(version.out.substr(0, version.out.find('\n')),
              std::string("lugatim-lookup ") + base::kVersion);
    EXPECT_EQ(version.err, "");
  }
  const Outcome help = Lookup({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("--version"), std::string::npos);
  EXPECT_EQ(help.err, "");
  const Outcome valued = Lookup({"--json=yes", "cat"});
  EXPECT_EQ(valued.status, 2);
  EXPECT_NE(valued.err.find("--json takes no value"), std::string::npos) << valued.err;

  // "çay" in Latin-1, as a terminal of that encoding passes it; also a lone
  // continuation byte and an overlong "/".
  for (const std::string& word : {std::string("\xE7"
                                              "ay"),
                                  std::string("a\x80"), std::string("\xC0\xAF")}) {
    for (const bool json : {false, true}) {
      const Outcome wrong = json ? Lookup({"--json", word}) : Lookup({word});
      EXPECT_EQ(wrong.status, 2) << word;
      EXPECT_EQ(wrong.out, "") << word;
      EXPECT_NE(wrong.err.find("not valid UTF-8"), std::string::npos) << wrong.err;
    }
  }

  // A write that fails turns any answer into status 2 with a message.
  FullBuffer full;
  std::ostream fullOut(&full);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"cat"}, {"--json", "cat"}, {"--help"}, {"--version"}}) {
    fullOut.clear();
    std::ostringstream err;
    EXPECT_EQ(tools::RunLookup(args, fullOut, err, false), 2) << args.back();
    EXPECT_NE(err.str().find("cannot write the output"), std::string::npos) << err.str();
  }
}

TEST_F(LookupTool, TheExecutableReadsTheTablesReadOnlyAndReportsByStatus) {
  MakeDictionaries();
  const std::string before = ReadBytes("Sozluk1.DB");
  const auto run = [&](const std::string& args, const std::string& folder = "",
                       const std::string& redirect = " 2>&1") {
    const std::string command = "env LUGATIM_DB_DIR=" + (folder.empty() ? dir_ : folder) + " " +
                                LUGATIM_LOOKUP_EXE + " " + args + redirect;
    FILE* pipe = popen(command.c_str(), "r");
    std::string out;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    const int status = pclose(pipe);
    return Outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, ""};
  };
  const Outcome found = run("--en --exact cat");
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.out, "English-Turkish\n\n  cat\n      kedi\n");
  EXPECT_EQ(run("zebra").status, 1);
  EXPECT_EQ(run("--bogus").status, 2);
  EXPECT_EQ(ReadBytes("Sozluk1.DB"), before);
  // Standard output on a full device: status 2 and the message on stderr.
  const Outcome full = run("cat", "", " 2>&1 >/dev/full");
  EXPECT_EQ(full.status, 2);
  EXPECT_NE(full.out.find("cannot write the output"), std::string::npos) << full.out;
  const Outcome version = run("--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.find(std::string("lugatim-lookup ") + base::kVersion + "\n"), 0u);
  const Outcome missing = run("cat", "/nonexistent/");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.out.find("/nonexistent/"), std::string::npos) << missing.out;
}

TEST_F(LookupTool, InflectedAndUnmarkedWordsReachTheirEntryWithTheAnalysis) {
  MakeDictionaries();
  std::filesystem::remove(dir_ + "Sozluk1.DB");
  MakeTable("Sozluk1.DB", {{"book", "kitap"}, {"go", "gitmek"}, {"dictionary", "sözlük"}});
  WriteWordForms(dir_);
  Outcome run = Lookup({"--tr", "kitaplarda"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("kitaplarda → kitap + lar + da\n"), std::string::npos) << run.out;
  run = Lookup({"--tr", "--json", "kitaplarda"});
  const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
  const QJsonObject entry = json["tables"][0]["entries"][0].toObject();
  EXPECT_EQ(entry["headword"].toString(), "kitap");
  EXPECT_EQ(entry["form"].toString(), "kitaplarda");
  EXPECT_EQ(entry["analysis"].toString(), "kitap + lar + da");
  EXPECT_TRUE(json["suggestions"].toArray().isEmpty());
  // Without marks, as the window does; English bases by rule and by exception.
  EXPECT_EQ(tools::LookUpIn("SozlukE1.DB", "isik", true).entries.at(0).headword, "ışık");
  morph::TWordForms forms(dir_ + morph::kMorphFile);
  EXPECT_EQ(tools::LookUpIn("Sozluk1.DB", "books", true, &forms).entries.at(0).headword, "book");
  const tools::TLookupTable went = tools::LookUpIn("Sozluk1.DB", "went", true, &forms);
  ASSERT_EQ(went.entries.size(), 1u);
  EXPECT_EQ(went.entries[0].analysis, "go");
  // The exact headword wins over an analysis.
  EXPECT_TRUE(tools::LookUpIn("Sozluk1.DB", "book", true, &forms).entries.at(0).analysis.empty());
}

TEST_F(LookupTool, AWordFoundNowhereGetsSuggestionsOrIsNamedAsMissing) {
  MakeDictionaries();
  std::filesystem::remove(dir_ + "Sozluk1.DB");
  MakeTable("Sozluk1.DB", {{"cat", "kedi"}, {"dictionary", "sözlük"}});
  WriteWordForms(dir_);
  Outcome run = Lookup({"--en", "dictonary"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "Did you mean: dictionary?\n");
  EXPECT_EQ(run.err, "lugatim-lookup: no entry for \"dictonary\"\n");
  run = Lookup({"--en", "--json", "dictonary"});
  EXPECT_EQ(run.status, 1);
  const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out));
  ASSERT_TRUE(doc.isObject()) << run.out;
  EXPECT_EQ(doc.object()["suggestions"].toArray().at(0).toString(), "dictionary");
  // The lexicon knows sürüm, the table does not: it is named, nothing shorter lands.
  run = Lookup({"--tr", "sürümler"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("sürüm is not in the dictionary"), std::string::npos) << run.err;
  // Without the word-form file the lookup goes on as before.
  std::filesystem::remove(dir_ + morph::kMorphFile);
  run = Lookup({"--en", "dictonary"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Lookup({"--en", "cat"}).status, 0);
}
