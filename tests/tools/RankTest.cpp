// The order of a Turkish headword's English glosses, and the checks of the
// Turkish side against the word lists.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "LexiconFixture.h"
#include "ReverseFixture.h"
#include "tools/DictdEntry.h"
#include "tools/Rank.h"
#include "tools/Reverse.h"

using namespace lugatim::tools;
using namespace toolstest;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

namespace {

TReverseLexicon Lexicon() {
  static const std::map<std::string, uint32_t, std::less<>> counts = {
      {"house", 200}, {"home", 150}, {"abode", 2}, {"good", 800}, {"well", 500},
      {"agree", 90},  {"water", 80}, {"aqua", 0},  {"hello", 5},  {"hi", 1}};
  TReverseLexicon l;
  l.frequency = [](std::string_view w) {
    const auto it = counts.find(w);
    return it == counts.end() ? 0u : it->second;
  };
  l.turkish = WordSet({"ev", "yuva", "mesken", "iyi", "güzel", "su", "merhaba", "günaydın", "alo",
                       "kusturucu", "başkenti", "bana", "hoş", "geldiniz", "Afrika"});
  l.english = WordSet({"vomitive", "house", "home"});
  return l;
}

}  // namespace

TEST(Rank, PlaceInTheEntryAndFrequencyDecide) {
  std::vector<TGloss> g = {{"abode", 0, 0, 2, 0},
                           {"dwelling", 0, 1, 10, 1},
                           {"home", 0, 0, 150, 2},
                           {"house", 0, 0, 200, 3},
                           {"hangout", 2, 3, 5, 4}};
  RankGlosses(g);
  std::vector<std::string> order;
  for (const TGloss& x : g) order.push_back(x.english);
  EXPECT_THAT(order, ElementsAre("house", "home", "dwelling", "abode", "hangout"));
  // A later sense costs more than the same word's frequency can win back
  // at equal counts; equal scores keep alphabetical order.
  EXPECT_GT(GlossScore({"a", 0, 0, 10, 0}), GlossScore({"a", 1, 0, 10, 0}));
  EXPECT_GT(GlossScore({"a", 0, 0, 10, 0}), GlossScore({"a", 0, 1, 10, 0}));
  std::vector<TGloss> tie = {{"b", 0, 0, 0, 1}, {"a", 0, 0, 0, 0}};
  RankGlosses(tie);
  EXPECT_EQ(tie.front().english, "a");
}

TEST(Rank, ReverseGlossesCommonAndFirstPlacedFirst) {
  const auto reverse = BuildReverse(
      {E("abode /x/\n1. ev, mesken\n"), E("home /x/\n1. ev, yuva\n"), E("house /x/\n1. ev\n"),
       E("agree /x/\n1. uyuşmak\n2. iyi gelmek, iyi\n"), E("good /x/\n1. iyi, güzel\n"),
       E("well /x/\n1. kuyu\n2. iyi\n"), E("aqua /x/\n1. su\n"), E("water /x/\n1. su\n")},
      Lexicon());
  EXPECT_THAT(Find(reverse, "ev")->english, ElementsAre("house", "home", "abode"));
  EXPECT_THAT(Find(reverse, "iyi")->english, ElementsAre("good", "well", "agree"));
  EXPECT_THAT(Find(reverse, "su")->english, ElementsAre("water", "aqua"));
}

TEST(Rank, TurkishSideCheckedAgainstTheWordLists) {
  const auto reverse = BuildReverse(
      {E("hello /x/\n1. (ünlem) Alo. Merhaba Günaydın Hoş geldiniz.\n"), E("hi /x/\n1. merhaba\n"),
       E("emetic /x/\n1. vomitive kusturucu, kusturucu\n"), E("ankara /x/\n1. ın başkenti\n"),
       E("me /x/\n1. bana\n"), E("m /x/\n1. bana\n"), E("africa /x/\n1. Afrika\n")},
      Lexicon());
  ASSERT_NE(Find(reverse, "merhaba"), nullptr);
  EXPECT_THAT(Find(reverse, "merhaba")->english, ElementsAre("hello", "hi"));
  EXPECT_NE(Find(reverse, "günaydın"), nullptr);
  EXPECT_NE(Find(reverse, "alo"), nullptr);                 // a capital starting the sentence
  EXPECT_NE(Find(reverse, "Afrika"), nullptr);              // a name keeps it
  EXPECT_EQ(Find(reverse, "vomitive kusturucu"), nullptr);  // English leaked in
  EXPECT_THAT(Find(reverse, "kusturucu")->english, ElementsAre("emetic"));
  EXPECT_EQ(Find(reverse, "ın başkenti"), nullptr);                // starts with a case ending
  EXPECT_THAT(Find(reverse, "bana")->english, ElementsAre("me"));  // "m" is a letter name
}

// Function words: WordNet counts none of them, so "with" (no count) must still
// come before "con" and "cum" (counted), and labels must not become words.
TEST(Rank, ClosedClassWordsByHowDirectlyTheEntryTranslatesThem) {
  const std::vector<TParsedEntry> source = {
      E("who /x/\n1. (zam.) (kim.) (iyelik hali): whose kimin.\n"),
      E("wha /x/\n1. (zam.), iskoç. kim.\n"),
      E("globulin /x/\n1. (biyol.), kim. globulin.\n"),
      E("con /x/\n1. (edat), (müz.) ile.\n"),
      E("cum /x/\n1. (edat.), (Lat.) ile.\n"),
      E("syl- /x/\n1. (önek) ile.\n"),
      E("with /x/\n1. (edat) ile\n2. ile beraber\n"),
      E("water /x/\n1. su\n"),
      E("aqua /x/\n1. (Lat.) su\n")};
  TReverseLexicon lexicon = Lexicon();
  const auto counted = lexicon.frequency;
  lexicon.frequency = [counted](std::string_view w) -> uint32_t {
    if (w == "con") return 60;
    if (w == "cum") return 90;
    if (w == "globulin") return 10;
    return counted(w);
  };
  lexicon.turkish = WordSet({"kim", "ile", "su", "globulin", "kimin", "beraber"});
  lexicon.closedClass = WordSet({"kim", "ile"});
  const auto reverse = BuildReverse(source, lexicon);
  EXPECT_THAT(Find(reverse, "kim")->english, ElementsAre("who", "wha"));
  EXPECT_THAT(Find(reverse, "kim")->labels, Not(Contains("kim.")));
  EXPECT_THAT(Find(reverse, "ile")->english, ElementsAre("with", "con", "cum", "syl-"));
  // Open-class words keep the corpus counts.
  EXPECT_THAT(Find(reverse, "su")->english, ElementsAre("water", "aqua"));
  // Without the lexicon's classes, counts decide and "(kim.)" stays a label.
  lexicon.closedClass = {};
  const auto plain = BuildReverse(source, lexicon);
  EXPECT_THAT(Find(plain, "kim")->english, ElementsAre("wha"));
  EXPECT_EQ(Find(plain, "ile")->english.front(), "cum");
}
