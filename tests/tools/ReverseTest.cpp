// The Turkish-headword side: which parts of an English entry's meanings
// become Turkish headwords, how they gather their English words, and the
// merge with the Turkish–English dictionary.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ReverseFixture.h"
#include "tools/DictdEntry.h"
#include "tools/Reverse.h"

using namespace lugatim::tools;
using namespace toolstest;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

std::vector<std::string> Equivalents(const std::string& text) {
  const TParsedEntry e = ParseDictdEntry(text, "key");
  std::vector<std::string> all;
  for (const TSense& s : e.senses)
    for (std::string& t : TurkishEquivalents(s, e)) all.push_back(std::move(t));
  return all;
}

}  // namespace

TEST(ReverseParts, LabelsAndTrailingPunctuationGo) {
  EXPECT_THAT(Equivalents("a /x/\n3. (müz.) la notası, la perdesi\n4. (A.B.D.) en yüksek not.\n"),
              ElementsAre("la notası", "la perdesi", "en yüksek not"));
  EXPECT_THAT(Equivalents("abandon /x/\n1. tamamıyle bırakmak, terketmek, başından atmak\n"),
              ElementsAre("tamamıyle bırakmak", "terketmek", "başından atmak"));
}

TEST(ReverseParts, ColonSemicolonAndFullStopSeparateToo) {
  EXPECT_THAT(Equivalents("ass /x/\n1. eşek, merkep: ahmak; aptal. budala\n"),
              ElementsAre("eşek", "merkep", "ahmak", "aptal", "budala"));
}

TEST(ReverseParts, TrailingQualifierIsRemovedMidParenthesesDrop) {
  EXPECT_THAT(Equivalents("ferment /x/\n1. coşmak (fikir), heyecanlanmak\n"),
              ElementsAre("coşmak", "heyecanlanmak"));
  EXPECT_THAT(Equivalents("x /x/\n1. birbirine (zıt) iki kuvvet, bir (ünsüzle başlayan\n"),
              IsEmpty());
  // A leading note that is no label goes; the rest stays.
  EXPECT_THAT(Equivalents("lip /x/\n1. (-ped, -ping) dudak\n"), ElementsAre("dudak"));
}

TEST(ReverseParts, DescriptionsAreNoEquivalents) {
  EXPECT_THAT(
      Equivalents("aardvark /x/\n1. Güney Afrika'da bulunan ve karınca yiyen bir hayvan.\n"),
      IsEmpty());
  EXPECT_THAT(Equivalents("x /x/\n1. üç kelimelik bir, dört kelimelik bir ifade\n"),
              ElementsAre("üç kelimelik bir"));
  EXPECT_THAT(Equivalents("x /x/\n1. çokçokçokçokuzunbirkelimeolankelimeolanbirkelime\n"),
              IsEmpty());
}

TEST(ReverseParts, AbbreviationsCrossReferencesAndLatinNamesGiveNothing) {
  EXPECT_THAT(Equivalents("arr /x/\n1. (kıs.) arranged, arrival\n"), IsEmpty());
  EXPECT_THAT(Equivalents("bogie /x/\n1. (bak.) bogey.\n"), IsEmpty());
  EXPECT_THAT(Equivalents("gotten /x/\n1. (eski) alınmış: (bak.) get\n"), ElementsAre("alınmış"));
  EXPECT_THAT(Equivalents("abaca /x/\n1. kenevir muzu, (bot.) Musa textilis.\n"),
              ElementsAre("kenevir muzu"));
}

TEST(ReverseParts, SymbolsDigitsAbbreviationsAndCutEndingsDrop) {
  EXPECT_THAT(Equivalents("x /x/\n1. \"in\" ile taşmak, 28, A.B.D benzin, ABD, -e, a sarılmak, "
                          "a- çılmak, 'do' notası, o kadar\n"),
              ElementsAre("o kadar"));
}

TEST(ReverseParts, PartsUsingTheEnglishHeadwordAreExamples) {
  EXPECT_THAT(Equivalents("useless /x/\n1. faydasız, uselessly faydasızca\n"),
              ElementsAre("faydasız"));
  EXPECT_THAT(Equivalents("fever /x/\n1. ateş, fever heat hararet\n"), ElementsAre("ateş"));
  // A single word like the headword is a name or a loan, not an example.
  EXPECT_THAT(Equivalents("aba /x/\n1. aba.\n"), ElementsAre("aba"));
  EXPECT_THAT(Equivalents("Africa /x/\n1. Afrika\n"), ElementsAre("Afrika"));
}

TEST(ReverseParts, EachEquivalentOncePerSense) {
  EXPECT_THAT(Equivalents("x /x/\n1. ev, yurt, ev.\n"), ElementsAre("ev", "yurt"));
}

TEST(ReverseBuild, EnglishWordsGatherDistinctInEnglishOrder) {
  const auto reverse = BuildReverse({E("home /x/\n1. ev, yuva\n"), E("house /x/\n1. ev\n"),
                                     E("abode /x/\n1. ev, mesken\n"), E("house /x/\n1. ev\n")});
  const TReverseEntry* ev = Find(reverse, "ev");
  ASSERT_NE(ev, nullptr);
  EXPECT_THAT(ev->english, ElementsAre("abode", "home", "house"));
  ASSERT_NE(Find(reverse, "yuva"), nullptr);
  EXPECT_THAT(Find(reverse, "yuva")->english, ElementsAre("home"));
}

TEST(ReverseBuild, HeadwordsInTurkishOrder) {
  const auto reverse = BuildReverse({E("a /x/\n1. ılık, iğne, çay, cam, zar, ördek, o\n")});
  std::vector<std::string> heads;
  for (const TReverseEntry& r : reverse) heads.push_back(r.headword);
  EXPECT_THAT(heads, ElementsAre("cam", "çay", "ılık", "iğne", "o", "ördek", "zar"));
}

TEST(ReverseBuild, CaseVariantsAreOneHeadwordInTheCommonestSpelling) {
  const auto reverse = BuildReverse({E("africa /x/\n1. Afrika\n"), E("african /x/\n1. afrika\n"),
                                     E("afro /x/\n1. Afrika\n"), E("isle /x/\n1. Ada, ada\n")});
  ASSERT_EQ(reverse.size(), 2u);
  EXPECT_EQ(reverse[0].headword, "ada");  // a tie goes to small letters
  EXPECT_EQ(reverse[1].headword, "Afrika");
  EXPECT_THAT(reverse[1].english, ElementsAre("africa", "african", "afro"));
}

TEST(ReverseBuild, CategoryIsWhatEverySourceSenseShares) {
  const auto reverse = BuildReverse({E("a /x/\n1. (müz.) la notası\n"),
                                     E("note /x/\n1. (müz.), (İng.) la notası\n2. (tıb.) ateş\n"),
                                     E("fever /x/\n1. (k. dili) ateş\n")});
  EXPECT_THAT(Find(reverse, "la notası")->labels, ElementsAre("müz."));
  EXPECT_THAT(Find(reverse, "ateş")->labels, IsEmpty());
}

TEST(ReverseBuild, DeterministicWhateverTheInputOrderOfEqualWords) {
  const std::vector<TParsedEntry> a = {E("box /x/\n1. kutu\n"), E("Box /x/\n1. Kutu\n")};
  const std::vector<TParsedEntry> b = {E("Box /x/\n1. Kutu\n"), E("box /x/\n1. kutu\n")};
  const auto ra = BuildReverse(a);
  const auto rb = BuildReverse(b);
  ASSERT_EQ(ra.size(), 1u);
  ASSERT_EQ(rb.size(), 1u);
  EXPECT_EQ(ra[0].headword, rb[0].headword);
  EXPECT_EQ(ra[0].english, rb[0].english);
}

TEST(ReverseMerge, TurkishEnglishEntriesGainMissingWords) {
  const auto reverse = BuildReverse({E("bitter /x/\n1. acı\n"), E("pungent /x/\n1. acı\n"),
                                     E("lampshade /x/\n1. abajur\n"), E("island /x/\n1. ada\n"),
                                     E("Africa /x/\n1. Afrika\n")});
  const std::vector<TRow> rows = MergeTurkishTable(
      {E("acı /adʒˈɯ/\n1. acerbic, bitter\n2. ache, pain\n"), E("abajur /x/\nlamp‐shade\n"),
       E("ada /adˈa/\nisland\n"), E("afrika /x/\nAfrica\n"), E("ada /adˈa/\nisle\n")},
      reverse);
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].kelime, "acı");
  EXPECT_EQ(rows[0].anlami, "1. acerbic, bitter\n2. ache, pain\n3. pungent\n/adʒˈɯ/");
  EXPECT_EQ(rows[1].anlami, "lamp‐shade, lampshade\n/x/");
  EXPECT_EQ(rows[2].anlami, "island\n/adˈa/");  // nothing new
  EXPECT_EQ(rows[3].kelime, "afrika");          // its own spelling
  EXPECT_EQ(rows[3].anlami, "Africa\n/x/");
  EXPECT_EQ(rows[4].anlami, "isle\n/adˈa/");
}

TEST(ReverseMerge, ReverseHeadwordsMissingFromTurkishEnglishGetRows) {
  const auto reverse =
      BuildReverse({E("house /x/\n1. (mim.) ev, konut\n"), E("home /x/\n1. (mim.) ev\n")});
  const std::vector<TRow> rows = MergeTurkishTable({E("ev /x/\nhouse\n")}, reverse);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].anlami, "house, home\n/x/");
  EXPECT_EQ(rows[0].kategori, "mim.");
  EXPECT_EQ(rows[1], (TRow{"konut", "mim.", "", "house", ""}));
}
