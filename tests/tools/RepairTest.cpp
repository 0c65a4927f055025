// The repair of scanning errors: what it must change, what it must leave
// (English words, names, words the word list knows, anything uncertain),
// with a word list chosen for each case and with Debian's hunspell-tr.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "LexiconFixture.h"
#include "tools/ImportTypes.h"
#include "tools/Repair.h"
#include "tools/Speller.h"

using namespace lugatim::tools;
using namespace toolstest;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

TRepairer Make() {
  return TRepairer(
      WordSet({"lahana",  "tartışma", "tanrı",    "ile",   "rakamlarında", "çok",     "güzel",
               "iyi",     "ala",      "öldürmek", "Tanrı", "vakit",        "şartlar", "başlık",
               "yıldız",  "doğru",    "kalın",    "kalem", "alem",         "ölüm",    "ekmek",
               "mezalim", "çıkarma",  "ırak",     "laf"}),
      WordSet({"cut", "down", "look", "about", "went", "home", "ill", "all"}));
}

}  // namespace

TEST(Repair, EachKnownConfusionInTurkishText) {
  TRepairer r = Make();
  EXPECT_EQ(r.Repair("Iahana, çok güzel", true), "lahana, çok güzel");
  EXPECT_EQ(r.Repair("tartlşma", true), "tartışma");
  EXPECT_EQ(r.Repair("rakamlannda çok", true), "rakamlarında çok");
  EXPECT_EQ(r.Repair("baş1ık", true), "başlık");
  EXPECT_EQ(r.Repair("ylldız", true), "yıldız");
  EXPECT_EQ(r.Repair("dogru", true), "doğru");
  EXPECT_EQ(r.Repair("sartlar", true), "şartlar");
  EXPECT_EQ(r.Repair("mezalirn", true), "mezalim");
  EXPECT_EQ(r.Repair("ses çIkarma", true), "ses çıkarma");  // I for ı inside a word
  EXPECT_EQ(r.Repair("Iaf ile", true), "laf ile");          // short, but I is never right
  EXPECT_EQ(r.Repair("Irak ile", true), "Irak ile");        // not at the start: a name
  // The word list spells without circumflexes: "âlâ" is ala.
  EXPECT_EQ(r.Repair("iyi, âIâ, güzel", true), "iyi, âlâ, güzel");
  // A capitalised word amid Turkish words.
  EXPECT_EQ(r.Repair("çok Tann ile", true), "çok Tanrı ile");
  EXPECT_EQ(r.Kinds().at("I→l").count, 3u);
  EXPECT_THAT(r.Kinds().at("I→l").samples,
              ElementsAre("Iahana → lahana", "Iaf → laf", "âIâ → âlâ"));
  EXPECT_EQ(r.Kinds().at("I→ı").count, 1u);
  EXPECT_EQ(r.Kinds().at("n→rı").count, 2u);
}

TEST(Repair, ExamplesNeedTurkishContextOrTurkishLetters) {
  TRepairer r = Make();
  EXPECT_EQ(r.Repair("vakit öIdürmek", false), "vakit öldürmek");
  EXPECT_EQ(r.Repair("cut down öIdürmek", false), "cut down öldürmek");  // ö, ü are Turkish
  // No Turkish neighbour and no Turkish letter: an English example stays.
  EXPECT_EQ(r.Repair("look Iahana about", false), "look Iahana about");
  EXPECT_EQ(r.Kinds().at("I→l").count, 2u);
}

TEST(Repair, LeavesEnglishNamesKnownWordsAndUncertainOnes) {
  TRepairer r = Make();
  const std::vector<std::string> unchanged = {
      "ill home",            // English words
      "çok güzel ekmek",     // Turkish words
      "Iook about",          // English with I for l: no Turkish candidate
      "went to Tann",        // a name in English context
      "Tann Mill iyi",       // a capitalised word beside a word not Turkish
      "ALEM ILE",            // capitals: an abbreviation
      "dan ile",             // too short: a case ending
      "çok (Iahana) güzel",  // inside parentheses
      "Iahanaa iyi",         // no candidate is a word
  };
  for (const std::string& text : unchanged) EXPECT_EQ(r.Repair(text, true), text) << text;
  EXPECT_TRUE(r.Kinds().empty());
}

TEST(Repair, TheSourcesOwnSpellingAndWordsWithTurkishLettersStay) {
  TRepairer r(WordSet({"Tanrı", "ile", "çok", "şaklı", "karşı", "arkadaş", "çalışmak", "Atına",
                       "ıslah", "emlakı"}),
              WordSet({}));
  // Written three times, and never as the candidate: on purpose.
  r.Learn("Tann ile. Tann ile. çok Tann ile.");
  EXPECT_EQ(r.Repair("çok Tann ile", true), "çok Tann ile");
  // Typed without Turkish letters: repaired; with some: left as written.
  EXPECT_EQ(r.Repair("arkadas", true), "arkadaş");
  EXPECT_EQ(r.Repair("saklı", true), "saklı");
  EXPECT_EQ(r.Repair("karsı", true), "karsı");
  // An i for ı only where Turkish letters show the word was typed in Turkish.
  EXPECT_EQ(r.Repair("çalişmak", true), "çalışmak");
  EXPECT_EQ(r.Repair("Atina", true), "Atina");
  EXPECT_EQ(r.Repair("islah", true), "islah");
  EXPECT_EQ(r.Repair("emlâki", true), "emlâki");
}

TEST(Repair, TwoCandidatesThatAreWordsLeaveTheWord) {
  TRepairer r(WordSet({"kalın", "ile"}), WordSet({}));
  EXPECT_EQ(r.Repair("kaIın ile", true), "kalın ile");
  TRepairer two(WordSet({"sarı", "şarl", "ile"}), WordSet({}));
  EXPECT_EQ(two.Repair("sarl ile", true), "sarl ile");  // l→ı and s→ş both give words
}

// Debian's hunspell-tr as the arbiter.
class RealSpeller : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(std::string(kHunspellDir) + "/tr_TR.dic"))
      GTEST_SKIP() << "hunspell-tr not installed";
  }
};

TEST_F(RealSpeller, KnowsInflectedTurkishAndNotTheScanningErrors) {
  const TSpeller s(kHunspellDir);
  for (const char* w : {"öldürmek", "evlerimizden", "tartışma", "lahana", "Tanrı", "güzel"})
    EXPECT_TRUE(s.IsWord(w)) << w;
  for (const char* w : {"öIdürmek", "Iahana", "tartlşma", "rakamlannda"})
    EXPECT_FALSE(s.IsWord(w)) << w;
}

TEST_F(RealSpeller, RepairsTheSourcesErrorsAndLeavesItsEnglish) {
  const TSpeller s(kHunspellDir);
  TRepairer r([&](std::string_view w) { return s.IsWord(w); },
              WordSet({"cut", "down", "look", "about", "policemen", "went", "from", "door"}));
  EXPECT_EQ(r.Repair("Iahana", true), "lahana");
  EXPECT_EQ(r.Repair("cut down öIdürmek", false), "cut down öldürmek");
  EXPECT_EQ(r.Repair("kelimeler üzerinde tartlşma", true), "kelimeler üzerinde tartışma");
  EXPECT_EQ(r.Repair("rakamlannda", true), "rakamlarında");
  EXPECT_EQ(r.Repair("iyi, âIâ, güzel", true), "iyi, âlâ, güzel");
  for (const std::string text :
       {"the policemen went from door to door", "Iook about", "Hillary went from Tann"})
    EXPECT_EQ(r.Repair(text, false), text);
}

TEST(Speller, AMissingWordListIsNamed) {
  try {
    TSpeller s("/nonexistent-hunspell");
    FAIL() << "no error";
  } catch (const EImportError& e) {
    EXPECT_THAT(e.Message(), HasSubstr("/nonexistent-hunspell/tr_TR.aff"));
    EXPECT_THAT(e.Message(), HasSubstr("hunspell-tr"));
  }
}
