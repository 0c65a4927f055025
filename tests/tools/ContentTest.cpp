// Parts of speech, examples, cross references and irregular forms of the
// default tables, on a small WordNet.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "LexiconFixture.h"
#include "morph/MorphData.h"
#include "tools/Content.h"
#include "tools/PartOfSpeech.h"
#include "tools/WordNet.h"

using namespace lugatim::tools;
using namespace toolstest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

TWordNet Lexicon() {
  return TWordNet::FromTexts(MakeWordNet(
      {{'v', {"abandon"}, "give up; \"We abandoned the old car\""},
       {'n', {"abandon"}, "the trait of lacking restraint"},
       {'v', {"go"}, "move; \"the policemen went from door to door\""},
       {'n', {"child"}, "a young person; \"she writes books for children\""},
       {'a', {"good"}, "having desirable qualities; \"good news\""},
       {'n', {"good"}, "benefit"},
       {'n', {"house"}, "a dwelling"},
       {'n', {"rod"}, "a stick"},
       {'r', {"well"}, "in a good manner"},
       {'n', {"mouse"}, "a rodent"},
       {'v', {"mouse"}, "to hunt mice"}},
      "abandon%2:40:00:: 1 9\ngood%3:00:01:: 1 100\ngo%2:38:00:: 1 300\n",
      "went go\ngone go\nswum swim\n", "children child\nmice mouse\n", "better good well\n"));
}

TParsedEntry E(const std::string& text) {
  return ParseDictdEntry(text, "key");
}

}  // namespace

TEST(PartOfSpeech, EnglishHeadwordsInTurkishAbbreviations) {
  const TWordNet w = Lexicon();
  EXPECT_THAT(EnglishPartsOfSpeech("abandon", "bırakmak", w), ElementsAre("f.", "i."));
  EXPECT_THAT(EnglishPartsOfSpeech("Good", "iyi", w), ElementsAre("s.", "i."));
  // The entry's meaning puts its own part of speech first.
  EXPECT_THAT(EnglishPartsOfSpeech("abandon", "1. (mec.) taşkınlık", w), ElementsAre("i.", "f."));
  EXPECT_THAT(EnglishPartsOfSpeech("mouse", "1. fare avlamak", w), ElementsAre("f.", "i."));
  EXPECT_THAT(EnglishPartsOfSpeech("mouse", "1. fare", w), ElementsAre("i.", "f."));
  EXPECT_THAT(EnglishPartsOfSpeech("houses", "evler", w), ElementsAre("i."));  // its base
  EXPECT_THAT(EnglishPartsOfSpeech("went", "gitti", w), ElementsAre("f."));
  EXPECT_THAT(EnglishPartsOfSpeech("of", "-in", w), ElementsAre("edat"));
  EXPECT_THAT(EnglishPartsOfSpeech("they", "onlar", w), ElementsAre("zam."));
  EXPECT_THAT(EnglishPartsOfSpeech("hello", "merhaba", w), ElementsAre("ünlem"));
  // Not in WordNet: the Turkish infinitive, a phrase's last word, the ending.
  EXPECT_THAT(EnglishPartsOfSpeech("bedazzle", "1. (mec.) gözünü kamaştırmak", w),
              ElementsAre("f."));
  EXPECT_THAT(EnglishPartsOfSpeech("aaron's rod", "bir bitki", w), ElementsAre("i."));
  EXPECT_THAT(EnglishPartsOfSpeech("abjectly", "alçakça", w), ElementsAre("zf."));
  EXPECT_THAT(EnglishPartsOfSpeech("abjectness", "alçaklık", w), ElementsAre("i."));
  EXPECT_THAT(EnglishPartsOfSpeech("abstemious", "az yiyen", w), ElementsAre("s."));
  EXPECT_THAT(EnglishPartsOfSpeech("zzxq", "bir şey", w), IsEmpty());
}

TEST(PartOfSpeech, TurkishHeadwordsInEnglishAbbreviations) {
  const TWordNet w = Lexicon();
  EXPECT_EQ(TurkishPartOfSpeech("terk etmek", {"abandon"}, w), "v.");
  EXPECT_EQ(TurkishPartOfSpeech("ev", {"house"}, w), "n.");
  // An English verb does not make a Turkish word other than an infinitive one.
  EXPECT_EQ(TurkishPartOfSpeech("terk", {"abandon"}, w), "n.");
  EXPECT_EQ(TurkishPartOfSpeech("iyi", {"good", "well"}, w), "adj.");
  EXPECT_EQ(TurkishPartOfSpeech("merhaba", {"hello"}, w), "interj.");
  // The first three glosses vote, the first with the most weight.
  EXPECT_EQ(TurkishPartOfSpeech("eğim", {"rod", "good", "house"}, w), "n.");
  EXPECT_EQ(TurkishPartOfSpeech("eğim", {"good", "house"}, w), "adj.");
  EXPECT_EQ(TurkishPartOfSpeech("eğim", {"good", "house", "rod"}, w), "adj.");  // a tie
  EXPECT_EQ(TurkishPartOfSpeech("alçakça", {"zzxq"}, w), "adv.");
  EXPECT_EQ(TurkishPartOfSpeech("tuzlu", {"zzxq"}, w), "adj.");
  EXPECT_EQ(TurkishPartOfSpeech("", {"house"}, w), "");
}

// The Turkish lexicon's classes decide; the -mak/-mek rule holds only where
// it knows the stem as a verb.
TEST(PartOfSpeech, TurkishHeadwordsByTheLexiconsClasses) {
  const TWordNet w = Lexicon();
  using namespace lugatim::morph;
  const std::map<std::string, uint32_t, std::less<>> classes = {
      {"ekmek", lfNoun},
      {"ek", lfVerb | lfNoun},
      {"ırmak", lfNoun},
      {"et", lfVerb},
      {"terk", lfNoun},
      {"kim", lfPronoun | lfProper},
      {"de", lfVerb | lfConjunction | lfProper},
      {"ile", lfConjunction | lfPostposition},
      {"ne", lfPronoun | lfAdverb | lfConjunction},
      {"şimdi", lfAdverb}};
  const TWordFlags lexicon = [&](std::string_view word) {
    const auto it = classes.find(word);
    return it == classes.end() ? 0u : it->second;
  };
  EXPECT_EQ(TurkishPartOfSpeech("ırmak", {"house"}, w, lexicon), "n.");
  EXPECT_EQ(TurkishPartOfSpeech("terk etmek", {"abandon"}, w, lexicon), "v.");
  EXPECT_EQ(TurkishPartOfSpeech("zıpmak", {"abandon"}, w, lexicon), "n.");  // no verb zıp-
  // An infinitive the lexicon also lists as a word: the first gloss tells.
  EXPECT_EQ(TurkishPartOfSpeech("ekmek", {"house", "abandon"}, w, lexicon), "n.");
  EXPECT_EQ(TurkishPartOfSpeech("ekmek", {"abandon", "house"}, w, lexicon), "v.");
  EXPECT_EQ(TurkishPartOfSpeech("kim", {"who"}, w, lexicon), "pron.");
  EXPECT_EQ(TurkishPartOfSpeech("de", {"house", "and"}, w, lexicon), "conj.");  // also a name
  EXPECT_EQ(TurkishPartOfSpeech("ile", {"with"}, w, lexicon), "postp.");
  EXPECT_EQ(TurkishPartOfSpeech("ne", {"what", "how"}, w, lexicon), "pron.");
  // A gloss of a class the lexicon does not give the word does not vote.
  EXPECT_EQ(TurkishPartOfSpeech("şimdi", {"good", "house"}, w, lexicon), "adv.");
  // Without the lexicon: every infinitive a verb, the glosses vote.
  EXPECT_EQ(TurkishPartOfSpeech("ırmak", {"house"}, w), "v.");
  EXPECT_EQ(TurkishPartOfSpeech("şimdi", {"good", "house"}, w), "adj.");
  EXPECT_TRUE(IsTurkishPartOfSpeechLabel("zam."));
  EXPECT_FALSE(IsTurkishPartOfSpeechLabel("pron."));
}

TEST(Content, TurkishRowsCarryEnglishPartOfSpeechLabelsOnly) {
  const TWordNet w = Lexicon();
  const TWordFlags lexicon = [](std::string_view word) {
    return word == "ile" ? lugatim::morph::lfPostposition : 0u;
  };
  const std::vector<TRow> rows =
      TurkishTableRows({}, {E("with /x/\n1. (edat) ile\n"), E("cum /x/\n1. (edat), (Lat.) ile\n")},
                       w, WordSet({"ile"}), lexicon);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].kelime, "ile");
  EXPECT_EQ(rows[0].kategori, "postp.");
  EXPECT_EQ(rows[0].anlami, "with, cum");
}

TEST(Content, EnglishRowsGetPartsOfSpeechExamplesAndIrregularForms) {
  const TWordNet w = Lexicon();
  TContentReport report;
  const std::vector<TRow> rows = EnglishTableRows(
      {E("abandon /x/\n1. terketmek\n"), E("go /x/\n1. (went, gone) gitmek\n2. yürümek\n"),
       E("mouse /x/\n1. fare avlamak\n"), E("mouse /x/\n1. fare\n"), E("child /x/\n1. çocuk\n"),
       E("good /x/\n1. (ünlem) iyi: good news iyi haber\n"), E("gone /x/\n1. (bak.) go.\n"),
       E("re- /x/\n1. (önek) yeniden\n")},
      w, report);
  std::vector<std::string> text;
  for (const TRow& r : rows)
    text.push_back(r.kelime + "|" + r.kategori + "|" + r.anlami + "|" + r.ornek);
  EXPECT_THAT(text,
              ElementsAre("abandon|f., i.|1. terketmek\n/x/|We abandoned the old car",
                          "better|s.|(bak.) good: (ünlem) iyi|good news iyi haber",
                          "child|i.|1. çocuk\n/x/|she writes books for children",
                          "children|i.|(bak.) child: çocuk|she writes books for children",
                          "go|f.|1. (went, gone) gitmek\n2. yürümek\n/x/|",
                          "gone|f.|1. (bak.) go: (went, gone) gitmek\n/x/|",
                          "good|s., i., ünlem|1. (ünlem) iyi\n/x/|1. good news iyi haber",
                          "mice|i.|(bak.) mouse: fare|", "mouse|i., f.|1. fare\n/x/|",
                          "mouse|f., i.|1. fare avlamak\n/x/|", "re-||1. (önek) yeniden\n/x/|",
                          "went|f.|(bak.) go: (went, gone) gitmek|"
                          "the policemen went from door to door"));
  // "swum": its base has no entry.
  EXPECT_EQ(report.irregulars, 4u);
  EXPECT_EQ(report.wordnetExamples, 4u);
}

// The search shows the first of a headword's entries: the one of the word's
// most frequent part of speech, not the source's first.
TEST(Content, HomonymsMostFrequentPartOfSpeechFirstMinorEntriesLast) {
  const TWordNet w = TWordNet::FromTexts(
      MakeWordNet({{'n', {"time"}, "an instance"},
                   {'v', {"time"}, "measure the time of"},
                   {'v', {"tell"}, "express in words"},
                   {'n', {"tell"}, "a mound"},
                   {'n', {"be"}, "beryllium"},
                   {'v', {"be"}, "have the quality of being"}},
                  "time%1:11:00:: 1 219\ntime%2:31:00:: 1 5\ntell%2:32:00:: 1 90\n"
                  "tell%1:17:00:: 1 1\nbe%2:42:03:: 1 900\nbe%1:27:00:: 1 1\n"));
  TContentReport report;
  const std::vector<TRow> rows = EnglishTableRows(
      {E("time /x/\n1. ayarlamak\n"), E("time /x/\n1. zaman\n"), E("tell /x/\n1. (ark.) höyük\n"),
       E("tell /x/\n1. söylemek\n2. (eski) saymak\n"), E("be /x/\n1. (kıs.) beryllium berilyum\n"),
       E("be /x/\n1. (eski) olmak\n"), E("be /x/\n1. olmak\n")},
      w, report);
  std::vector<std::string> text;
  for (const TRow& r : rows)
    text.push_back(r.kelime + "|" + r.anlami.substr(0, r.anlami.find('\n')));
  // Minor entries keep the order of their parts of speech among themselves;
  // an archaic later sense does not make an entry minor.
  EXPECT_THAT(text, ElementsAre("be|1. olmak", "be|1. (eski) olmak",
                                "be|1. (kıs.) beryllium berilyum", "tell|1. söylemek",
                                "tell|1. (ark.) höyük", "time|1. zaman", "time|1. ayarlamak"));
}

TEST(Content, FirstMeaningSkipsTheNumberAndNotThePronunciation) {
  EXPECT_EQ(FirstMeaning(TRow{"go", "", "", "1. gitmek\n2. yürümek\n/x/", ""}), "gitmek");
  EXPECT_EQ(FirstMeaning(TRow{"x", "", "", "/x/", ""}), "");
}
