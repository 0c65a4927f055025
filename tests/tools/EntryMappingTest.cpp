// From a dictd entry's text to the six fields: senses, labels, examples,
// affixes, the pronunciation, and the repair of the converter's damage.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/DictdEntry.h"
#include "tools/Labels.h"

using namespace lugatim::tools;
using ::testing::ElementsAre;

namespace {

TRow Map(const std::string& text, TLang lang = TLang::English) {
  return MapEntry(ParseDictdEntry(text, "key"), lang);
}

}  // namespace

TEST(EntrySenses, NumberedSensesOneLineEachPronunciationLast) {
  const TRow row =
      Map("a /ˈeɪ/\n1. ingiliz alfabesinin ilk harfi\n2. birinci kalite veya derece\n"
          "3. (müz.) la notası, la perdesi\n4. (A.B.D.) en yüksek not.\n");
  EXPECT_EQ(row.kelime, "a");
  EXPECT_EQ(row.anlami,
            "1. ingiliz alfabesinin ilk harfi\n2. birinci kalite veya derece\n"
            "3. (müz.) la notası, la perdesi\n4. (A.B.D.) en yüksek not.\n/ˈeɪ/");
  EXPECT_EQ(row.kategori, "müz., A.B.D.");
  EXPECT_EQ(row.onekSonek, "");
  EXPECT_EQ(row.ornek, "");
}

TEST(EntrySenses, DisplayedHeadwordWinsOverTheIndexKey) {
  EXPECT_EQ(
      MapEntry(ParseDictdEntry("Afrika /afrikˈa/\nAfrica\n", "afrika"), TLang::Turkish).kelime,
      "Afrika");
  EXPECT_EQ(Map("a la carte /ˌala kˈɑːt/\n1. alâkart\n").kelime, "a la carte");
  EXPECT_EQ(Map("and/or /ˈand ɔː/\n1. ve/veya\n").kelime, "and/or");
  // A header without a headword falls back to the key.
  EXPECT_EQ(MapEntry(ParseDictdEntry("/x/\n1. y\n", "kk"), TLang::English).kelime, "kk");
}

TEST(EntrySenses, UnnumberedSenseStaysUnnumbered) {
  const TRow row = Map("abajur /abaʒˈʊr/\nlamp‐shade\n", TLang::Turkish);
  EXPECT_EQ(row.anlami, "lamp‐shade\n/abaʒˈʊr/");
}

TEST(EntrySenses, BlanksCollapseAndContinuationLinesJoinTheirSense) {
  const TParsedEntry e =
      ParseDictdEntry("w /w/\n1. yemek listesine  göre,\tayrı\n   devam eden\n2. iki\n", "w");
  ASSERT_EQ(e.senses.size(), 2u);
  EXPECT_EQ(e.senses[0].meaning, "yemek listesine göre, ayrı devam eden");
  EXPECT_EQ(e.senses[1].number, "2");
}

TEST(EntrySenses, NoPronunciationNoSenses) {
  const TRow row = Map("yalnız\n");
  EXPECT_EQ(row.kelime, "yalnız");
  EXPECT_EQ(row.anlami, "");
}

TEST(EntrySenses, GrammarOfTheHeaderIsTheFirstCategory) {
  const TRow row = Map("Haus /haʊs/ <n, pl: Häuser>\n1. (mim.) house\n");
  EXPECT_EQ(row.kelime, "Haus");
  EXPECT_EQ(row.kategori, "n, pl: Häuser, mim.");
  EXPECT_EQ(row.anlami, "1. (mim.) house\n/haʊs/");
}

TEST(EntryLabels, SpellingsMeetInOneCanonicalLabel) {
  EXPECT_EQ(CanonicalLabel("k.dili."), "k. dili");
  EXPECT_EQ(CanonicalLabel("k. dili"), "k. dili");
  EXPECT_EQ(CanonicalLabel("colloq."), "k. dili");
  EXPECT_EQ(CanonicalLabel("A.B.D"), "A.B.D.");
  EXPECT_EQ(CanonicalLabel("ABD"), "A.B.D.");
  EXPECT_EQ(CanonicalLabel("ing"), "İng.");
  EXPECT_EQ(CanonicalLabel("İng."), "İng.");
  EXPECT_EQ(CanonicalLabel("çog"), "çoğ.");
  EXPECT_EQ(CanonicalLabel("slang"), "argo");
  EXPECT_FALSE(CanonicalLabel("-ped, -ping"));
  EXPECT_FALSE(CanonicalLabel("sık sık"));
  EXPECT_FALSE(CanonicalLabel("bir şeyden veya kimseden"));
}

TEST(EntryLabels, DistinctLabelsOfAllSensesNotAffixesOrCrossReferences) {
  const TRow row =
      Map("x /x/\n1. (Lat.), (huk.) sofradan\n2. (bak.) an)\n3. (k.dili.) bir\n"
          "4. (k. dili), (huk.) iki\n5. dudak: (argo.) küstahlık\n6. (önek) ön\n");
  EXPECT_EQ(row.kategori, "Lat., huk., k. dili, argo");
  EXPECT_EQ(row.onekSonek, "önek");
  // Labels stay in the text of their sense.
  EXPECT_THAT(row.anlami, ::testing::HasSubstr("4. (k. dili), (huk.) iki"));
}

TEST(EntryLabels, ParenthesesThatAreNoLabelStayOutOfTheCategory) {
  // A case ending "-(den.)", a qualifier, an inflection note.
  const TRow row = Map("x /x/\n1. -(den.) kaçmak\n2. (-ped, -ping) dudak\n3. coşmak (fikir)\n");
  EXPECT_EQ(row.kategori, "");
}

TEST(EntryLabels, CategoryStopsAt255Characters) {
  std::string text = "x /x/\n";
  const char* labels[] = {
      "müz.",    "tıb.",  "huk.",  "bot.",  "zool.",   "anat.",    "kim.",    "mat.",     "ask.",
      "mak.",    "mim.",  "fiz.",  "jeol.", "astr.",   "matb.",    "gram.",   "geom.",    "fels.",
      "tic.",    "elek.", "psik.", "mit.",  "leh.",    "hav.",     "foto.",   "min.",     "mad.",
      "pol.",    "oto.",  "ecza.", "tar.",  "bayt.",   "mec.",     "coğr.",   "ilah.",    "kil.",
      "ikt.",    "bakt.", "edeb.", "tek.",  "ark.",    "terz.",    "meteor.", "biyokim.", "fizyol.",
      "sosyol.", "radyo", "spor",  "şiir",  "tiyatro", "iskambil", "beysbol", "briç"};
  int n = 1;
  for (const char* l : labels) text += std::to_string(n++) + ". (" + l + ") s\n";
  const TRow row = Map(text);
  EXPECT_LE(row.kategori.size(), 255u * 2);
  size_t chars = 0;
  for (unsigned char c : row.kategori) chars += (c & 0xC0) != 0x80;
  EXPECT_LE(chars, 255u);
  EXPECT_GT(chars, 200u);
  EXPECT_TRUE(row.kategori.starts_with("müz., tıb., huk."));
}

TEST(EntryExamples, ColonThenHeadwordStartsTheExamples) {
  const TRow row =
      Map("a /ˈeɪ/\n1. bir, herhangi bir\n"
          "3. her bir, -de, -ne: twice a year senede iki  defa, two lira a dozen düzinesine iki "
          "lira.\n");
  EXPECT_EQ(row.anlami, "1. bir, herhangi bir\n3. her bir, -de, -ne\n/ˈeɪ/");
  EXPECT_EQ(row.ornek, "3. twice a year senede iki defa, two lira a dozen düzinesine iki lira.");
}

TEST(EntryExamples, ColonBetweenMeaningsIsNoExample) {
  const TRow row = Map("ass /ˈas/\n1. eşek, merkep: ahmak, aptal veya budala kimse\n");
  EXPECT_EQ(row.anlami, "1. eşek, merkep: ahmak, aptal veya budala kimse\n/ˈas/");
  EXPECT_EQ(row.ornek, "");
}

TEST(EntryExamples, FullStopThenInflectedHeadwordKeepsTheStop) {
  const TRow row = Map("aback /ɐbˈak/\n1. (den.) faça. taken aback şaşırmış.\n");
  EXPECT_EQ(row.anlami, "1. (den.) faça.\n/ɐbˈak/");
  EXPECT_EQ(row.ornek, "1. taken aback şaşırmış.");
  const TRow favor =
      Map("favor /fˈeɪvə/\n1. onaylamak: benzemek: göz yummak. most favored nation clause şart.\n");
  EXPECT_EQ(favor.anlami, "1. onaylamak: benzemek: göz yummak.\n/fˈeɪvə/");
  EXPECT_EQ(favor.ornek, "1. most favored nation clause şart.");
}

TEST(EntryExamples, SeparatorsInsideParenthesesDoNotCut) {
  const TRow row = Map("go /ɡˈəʊ/\n1. gitmek (bkz. go: on) ileri\n");
  EXPECT_EQ(row.ornek, "");
}

TEST(EntryExamples, MultiWordHeadwords) {
  const TRow row = Map("take off /x/\n1. çıkarmak: takes off his hat şapkasını çıkarır\n");
  EXPECT_EQ(row.ornek, "1. takes off his hat şapkasını çıkarır");
  // One word of the headword alone is no use of it.
  EXPECT_EQ(Map("take off /x/\n1. çıkarmak: off the record gayri resmi\n").ornek, "");
}

TEST(EntryExamples, ShortHeadwordsNeedTheWholeWord) {
  // "at" must not match "atmak"; "a" must not match "ahmak".
  EXPECT_EQ(Map("at /x/\n1. -de: atmak fırlatmak\n").ornek, "");
  EXPECT_EQ(Map("a /x/\n1. bir: ahmak kimse\n").ornek, "");
}

TEST(EntryAffixes, HyphenOrLabelMakesThePrefixOrSuffix) {
  EXPECT_EQ(Map("auto- /ˈɔːtəʊ/\n1. (önek) kendi kendine\n").onekSonek, "önek");
  EXPECT_EQ(Map("mid - /x/\n1. orta\n").onekSonek, "önek");
  EXPECT_EQ(Map("ab /ˈab/\n1. (önek) -(den.), uzağa\n").onekSonek, "önek");
  EXPECT_EQ(Map("-ness /x/\n1. -lık\n").onekSonek, "sonek");
  EXPECT_EQ(Map("ness /nˈɛs/\n1. (sonek) -lık, -lik anlamına gelen ek\n").onekSonek, "sonek");
  EXPECT_EQ(Map("ness /nˈɛs/\n1. burun, çıkıntı\n").onekSonek, "");
  EXPECT_EQ(Map("-lık /x/\n1. -ness\n", TLang::Turkish).onekSonek, "suffix");
  EXPECT_EQ(Map("ön- /x/\n1. pre-\n", TLang::Turkish).onekSonek, "prefix");
  EXPECT_EQ(Map("x /x/\n1. (önek) a\n2. (sonek) b\n").onekSonek, "önek, sonek");
}

TEST(EntryAffixes, WordsFormedWithTheAffixAreExamples) {
  const TRow ab =
      Map("ab /ˈab/\n1. (önek) -(den.), uzağa: abjure yeminle vazgeçmek\n"
          "2. abdicate feragat etmek.\n");
  EXPECT_EQ(ab.anlami, "1. (önek) -den, uzağa\n/ˈab/");
  EXPECT_EQ(ab.ornek, "1. abjure yeminle vazgeçmek\n2. abdicate feragat etmek.");
  const TRow ness = Map("ness /nˈɛs/\n1. (sonek) -lık, -lik anlamına gelen ek: fullness doluluk\n");
  EXPECT_EQ(ness.ornek, "1. fullness doluluk");
  // The affix alone is not a word formed with it.
  EXPECT_EQ(Map("in- /x/\n1. (önek) in, içinde\n").ornek, "");
}

TEST(EntryRepair, AbbreviationsGluedIntoWordsAreUndone) {
  EXPECT_EQ(UndoGluedLabels("uzun lafın (kıs.)ası", false), "uzun lafın kısası");
  EXPECT_EQ(UndoGluedLabels("ders as(sig.)nment clause", false), "ders assignment clause");
  EXPECT_EQ(UndoGluedLabels("-(den.) kaçmak", false), "-den kaçmak");
  EXPECT_EQ(UndoGluedLabels("yakınmak, sızlan (mak.)", false), "yakınmak, sızlanmak");
  EXPECT_EQ(UndoGluedLabels("uymak takıl- (mak.), bağlanmak", false), "uymak takılmak, bağlanmak");
  // Real labels stay: at the start of a meaning, before text, with blanks.
  EXPECT_EQ(UndoGluedLabels("(mak.) dik türbin", false), "(mak.) dik türbin");
  EXPECT_EQ(UndoGluedLabels("(müz.) la notası", false), "(müz.) la notası");
  EXPECT_EQ(UndoGluedLabels("harbor, (ing.) harbour", true), "harbor, (ing.) harbour");
  EXPECT_EQ(UndoGluedLabels("ear(1)", true), "ear(1)");
}

TEST(EntryRepair, HeadwordsNeverStartWithALabel) {
  EXPECT_EQ(Map("(colloq.)uial /x/\n1. konuşma diline ait\n").kelime, "colloquial");
  EXPECT_EQ(Map("(anat.) /ˈanat/\n1. (kıs.) anatomy.\n").kelime, "anat");
  EXPECT_EQ(Map("(i.)'d /x/\n1. (kıs.) would\n").kelime, "i'd");
  EXPECT_EQ(Map("(f.), (f.) /x/\n1. harf\n").kelime, "f, f");
  EXPECT_EQ(Map("bird'(s.)-foot /x/\n1. kuşayağı\n").kelime, "bird's-foot");
}
