// Every headword of the default tables, typed as a person would type it
// into the lookup combo box (in small letters and in capitals, by the case
// rules of the table's language), reaches an entry with that headword.

#include <gtest/gtest.h>

#include <QLocale>
#include <QString>
#include <filesystem>

#include "data/DModUnt.h"
#include "data/TypedSearch.h"
#include "tools/Importer.h"

using namespace lugatim;

namespace {

constexpr int kMaxTyped = 32;  // the combo box's longest search text
const char* const kDictd = "/usr/share/dictd";

class NoMessages : public data::IMessageSink {
 public:
  void ShowMessage(const std::string& text) override { ADD_FAILURE() << text; }
};

// The first n characters (code points) of a text.
QString Head(const QString& text, int n) {
  const QList<uint> points = text.toUcs4();
  return QString::fromUcs4(reinterpret_cast<const char32_t*>(points.constData()),
                           std::min<qsizetype>(n, points.size()));
}

class TypedSearchReplay : public ::testing::Test {
 protected:
  void SetUp() override {
    tools::TDefaultsSources sources;
    sources.dictdDir = kDictd;
    for (const std::string& file :
         {sources.dictdDir + "/freedict-eng-tur.index",
          sources.dictdDir + "/freedict-tur-eng.index", sources.wordnetDir + "/cntlist.rev",
          sources.hunspellDir + "/tr_TR.dic"}) {
      if (!std::filesystem::exists(file)) GTEST_SKIP() << file << " is not installed";
    }
    char tmpl[] = "/tmp/lugatim-replay-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = std::string(tmpl) + "/";
    tools::ImportDefaults(sources, dir_);
    setenv("LUGATIM_DB_DIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("LUGATIM_DB_DIR");
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  // Replays every headword of table; returns the ones that missed, with
  // what they reached. The case rules come from Qt's locale, not from the
  // program: small and capital forms of the language.
  std::vector<std::string> Replay(data::TTable& table, QLocale::Language language) {
    const QLocale locale(language);
    const std::vector<data::TEntry> entries = table.ReadEntries(0, table.RecordCount());
    const int kelime = table.FieldByName("Kelime").Index();
    std::vector<std::string> misses;
    int replayed = 0;
    for (const data::TEntry& entry : entries) {
      const QString headword = QString::fromStdString(entry.values[static_cast<size_t>(kelime)]);
      if (headword.trimmed().isEmpty()) continue;
      for (const QString& form : {locale.toLower(headword), locale.toUpper(headword)}) {
        const QString typed = Head(form, kMaxTyped);
        // Every 64th one key by key, as the combo box hands them over; the
        // rest as the whole search text of the last key (which is what that
        // key searches for).
        bool found = false;
        if (++replayed % 64 == 0) {
          data::TTypedSearch search(kMaxTyped);
          found = true;
          for (const uint c : typed.toUcs4()) {
            const std::string character =
                QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1).toStdString();
            found = search.Type(table, "Kelime", character, 0) && found;
          }
        } else {
          found = data::LocateTyped(table, "Kelime", typed.toStdString());
        }
        const QString reached = QString::fromStdString(table.FieldByName("Kelime").AsString());
        // Longer than the search text can be: the first such headword is as good.
        const bool same = typed.size() < form.size()
                              ? locale.toLower(reached).startsWith(locale.toLower(typed))
                              : locale.toLower(reached) == locale.toLower(headword);
        if (!found || !same) {
          misses.push_back(typed.toStdString() + " → " + (found ? reached.toStdString() : "-"));
        }
      }
    }
    return misses;
  }

  static std::string FirstOf(const std::vector<std::string>& misses) {
    std::string text;
    for (size_t i = 0; i < misses.size() && i < 20; ++i) text += "  " + misses[i] + "\n";
    return text;
  }

  std::string dir_;
};

}  // namespace

TEST_F(TypedSearchReplay, EveryTurkishHeadwordReachesItself) {
  NoMessages messages;
  data::TDModuleFrm module(messages);
  ASSERT_TRUE(module.SozlukETB.Active());
  ASSERT_GT(module.SozlukETB.RecordCount(), 10000);
  const auto misses = Replay(module.SozlukETB, QLocale::Turkish);
  EXPECT_EQ(misses.size(), 0u) << FirstOf(misses);
}

TEST_F(TypedSearchReplay, EveryEnglishHeadwordReachesItself) {
  NoMessages messages;
  data::TDModuleFrm module(messages);
  ASSERT_TRUE(module.SozlukTB.Active());
  ASSERT_GT(module.SozlukTB.RecordCount(), 10000);
  const auto misses = Replay(module.SozlukTB, QLocale::English);
  EXPECT_EQ(misses.size(), 0u) << FirstOf(misses);
}
