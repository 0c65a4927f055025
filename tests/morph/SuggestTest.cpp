// Suggestions: the distance, its bound, the order by distance and then
// frequency, and Turkish letters.

#include <gtest/gtest.h>

#include <algorithm>

#include "morph/Letters.h"
#include "morph/Suggest.h"

using namespace lugatim::morph;

TEST(EditDistance, CountsEachEditOnceAndStopsPastTheLimit) {
  EXPECT_EQ(EditDistance(U"dictonary", U"dictionary", 2), 1);  // a dropped letter
  EXPECT_EQ(EditDistance(U"kitap", U"ktiap", 2), 1);           // two neighbours swapped
  EXPECT_EQ(EditDistance(U"kitap", U"kitab", 2), 1);
  EXPECT_EQ(EditDistance(U"ağaç", U"agac", 2), 2);   // marks are letters here
  EXPECT_EQ(EditDistance(U"abc", U"xyzabc", 2), 3);  // past the limit: limit + 1
  EXPECT_EQ(EditDistance(U"same", U"same", 2), 0);
}

TEST(Suggester, NearestFirstThenTheMoreFrequentAtMostFive) {
  const std::vector<TMorphData::TWord> words = {
      {"dictionary", 50}, {"dictionaries", 1}, {"diction", 9}, {"fictionary", 1},
      {"kitap", 30},      {"kitabe", 2},       {"kitapçı", 5}, {"bitap", 1},
      {"kira", 3},        {"Kıta", 40},        {"sitar", 1},
  };
  const TSuggester s(words);
  const auto d = s.Suggest("dictonary");
  ASSERT_FALSE(d.empty());
  EXPECT_EQ(d[0], "dictionary");
  EXPECT_EQ(std::count(d.begin(), d.end(), "diction"), 0);  // three edits away
  const auto k = s.Suggest("kitapp");
  ASSERT_GE(k.size(), 2u);
  EXPECT_EQ(k[0], "kitap");  // one edit
  EXPECT_LE(s.Suggest("kita").size(), kMaxSuggestions);
  // I is ı: KITA is kıta, the word itself, so Kıta is no suggestion; kitap
  // and kira are both two edits away, and kitap is the more frequent.
  const auto upper = s.Suggest("KITA");
  EXPECT_EQ(std::count(upper.begin(), upper.end(), "Kıta"), 0);
  ASSERT_GE(upper.size(), 2u);
  EXPECT_EQ(upper[0], "kitap");
  EXPECT_TRUE(s.Suggest("kitap").size() <= kMaxSuggestions);
  for (const std::string& w : s.Suggest("kitap")) EXPECT_NE(w, "kitap");  // never the word
  EXPECT_TRUE(s.Suggest("").empty());
}
