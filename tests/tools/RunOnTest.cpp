// Run-on entries set apart from meanings and examples, and broken headwords
// mended or dropped.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "LexiconFixture.h"
#include "tools/DictdEntry.h"
#include "tools/RunOn.h"
#include "tools/WordNet.h"

using namespace lugatim::tools;
using namespace toolstest;
using ::testing::ElementsAre;

namespace {

TWordNet Lexicon() {
  return TWordNet::FromTexts(MakeWordNet({{'n', {"millennium"}, "a thousand years"},
                                          {'n', {"capuchin"}, "a monkey"},
                                          {'n', {"bb_gun"}, "an air gun"},
                                          {'n', {"cavity"}, "a hollow"},
                                          {'n', {"religion"}, "belief"},
                                          {'n', {"abdication"}, "giving up"}}));
}

const TWordTest kTurkish =
    WordSet({"tacını",    "ve",      "tahtını",    "terk",     "etmek",  "etme",   "yeminle",
             "vazgeçme",  "feragat", "inkâr",      "karna",    "ait",    "karın",  "boşluğu",
             "strateji",  "uzmanı",  "kabilinden", "düzensiz", "saymak", "arzulu", "olmak",
             "inanılmaz", "şekilde", "ayak",       "otu",      "eyir",   "uygun",  "uygunluk"});

struct Split {
  std::vector<TParsedEntry> entries;
  TRunOnCounts counts;
};

Split SplitTexts(const std::vector<std::string>& texts) {
  std::vector<TParsedEntry> in;
  for (const std::string& t : texts) in.push_back(ParseDictdEntry(t, "key"));
  Split s;
  s.entries = SplitRunOns(std::move(in), Lexicon(), kTurkish, s.counts);
  return s;
}

std::vector<std::string> Summary(const std::vector<TParsedEntry>& entries) {
  std::vector<std::string> out;
  for (const TParsedEntry& e : entries) {
    std::string line = e.headword + ":";
    for (const TSense& s : e.senses) line += " [" + s.meaning + "|" + s.example + "]";
    out.push_back(line);
  }
  return out;
}

}  // namespace

TEST(RunOn, StressMarkedWordsInAMeaningBecomeEntriesInOrder) {
  const Split s =
      SplitTexts({"abdicate /x/\n1. çekilmek\n2. tacını ve tahtını terk etmek abdica'tion  "
                  "tacını ve tahtını terk etme.\n"});
  EXPECT_THAT(Summary(s.entries),
              ElementsAre("abdicate: [çekilmek|] [tacını ve tahtını terk etmek|]",
                          "abdication: [tacını ve tahtını terk etme.|]"));
  EXPECT_EQ(s.counts.fromMeanings, 1u);
}

TEST(RunOn, FollowingDerivedWordsAndPhrasesSplitTheTail) {
  const Split s = SplitTexts(
      {"abjure /x/\n1. feragat etmek abjura'tion  yeminle vazgeçme abjuration of religion inkâr "
       "etme abjuratory  vazgeçme kabilinden.\n",
       "abdomen /x/\n1. karın abdom'inal  karna ait abdominal cavity karın boşluğu.\n",
       "accident /x/\n1. kaza acciden' tally kazara\n"});
  EXPECT_THAT(Summary(s.entries),
              ElementsAre("abjure: [feragat etmek|]",
                          "abjuration: [yeminle vazgeçme|abjuration of religion inkâr etme]",
                          "abjuratory: [vazgeçme kabilinden.|]", "abdomen: [karın|]",
                          "abdominal: [karna ait|abdominal cavity karın boşluğu.]",
                          "accident: [kaza|]", "accidentally: [kazara|]"));
  EXPECT_EQ(s.counts.fromMeanings, 4u);
}

TEST(RunOn, PlainDerivedWordsBetweenTurkishWordsToo) {
  const Split s = SplitTexts({"incredible /x/\n1. inanılmaz. incredibly inanılmaz şekilde\n",
                              "sedge /x/\n1. ayak otu, sweet sedge eyir otu\n"});
  EXPECT_THAT(Summary(s.entries),
              ElementsAre("incredible: [inanılmaz.|]", "incredibly: [inanılmaz şekilde|]",
                          "sedge: [ayak otu, sweet sedge eyir otu|]"));
}

TEST(RunOn, TurkishApostrophesAndUnrelatedWordsStay) {
  const Split s = SplitTexts({"aardvark /x/\n1. Güney Afrika'da ve vb'nin yiyen bir hayvan\n"});
  EXPECT_THAT(Summary(s.entries),
              ElementsAre("aardvark: [Güney Afrika'da ve vb'nin yiyen bir hayvan|]"));
  EXPECT_EQ(s.counts.fromMeanings, 0u);
}

TEST(RunOn, ExamplesThatAreDerivedWordsBecomeEntries) {
  const Split s =
      SplitTexts({"strategy /x/\n1. strateji: strategist strateji uzmanı.\n",
                  "avid /x/\n1. istekli. be avid for arzulu olmak. avidity (mec.) hırs.\n",
                  "disorder /x/\n1. karışıklık. disordered düzensiz\n",
                  "suitable /x/\n1. uygun. suitabil'ity, suitableness uygunluk\n"});
  EXPECT_THAT(
      Summary(s.entries),
      ElementsAre("strategy: [strateji|]", "strategist: [strateji uzmanı|]",
                  "avid: [istekli.|be avid for arzulu olmak]", "avidity: [(mec.) hırs|]",
                  "disorder: [karışıklık.|]", "disordered: [düzensiz|]", "suitable: [uygun.|]",
                  "suitability: [uygunluk|]", "suitableness: [uygunluk|]"));
  EXPECT_EQ(s.counts.fromExamples, 5u);
}

TEST(RunOn, BrokenHeadwordsMendedWhereCertainDroppedOtherwise) {
  const TWordNet w = Lexicon();
  EXPECT_EQ(MendHeadword("millenniu m", w), "millennium");
  EXPECT_EQ(MendHeadword("cap u chin", w), "capuchin");
  EXPECT_EQ(MendHeadword("b b gun", w), "bb gun");
  EXPECT_EQ(MendHeadword("k , k", w), "k");
  EXPECT_EQ(MendHeadword("t -t", w), "t");
  EXPECT_EQ(MendHeadword("d a", w), "");
  EXPECT_EQ(MendHeadword("m m .", w), "");
  // Not broken: kept as written.
  for (const char* head : {"a la carte", "vitamin b", "house", "stipple , stippling", "d"})
    EXPECT_EQ(MendHeadword(head, w), head) << head;

  const Split s = SplitTexts({"d a /x/\n1. savcı\n", "millenniu m /x/\n1. bin yıl\n"});
  EXPECT_THAT(Summary(s.entries), ElementsAre("millennium: [bin yıl|]"));
  EXPECT_EQ(s.counts.mended, 1u);
  EXPECT_EQ(s.counts.dropped, 1u);
  EXPECT_THAT(s.counts.droppedHeadwords, ElementsAre("d a"));
}
