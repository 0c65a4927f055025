// Dictionary order of headwords: English and Turkish alphabets, case, accents,
// word-by-word order and the stability of identical headwords.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/Collation.h"

using namespace lugatim::tools;
using ::testing::ElementsAre;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> words, TLang lang) {
  std::vector<TRow> rows;
  for (std::string& w : words) rows.push_back({std::move(w), "", "", "", ""});
  SortRows(rows, lang);
  std::vector<std::string> out;
  for (TRow& r : rows) out.push_back(std::move(r.kelime));
  return out;
}

}  // namespace

TEST(TurkishOrder, FollowsTheTurkishAlphabet) {
  EXPECT_THAT(Sorted({"zil", "üzüm", "ulu", "şeker", "sarı", "öküz", "ot", "iğne", "ılık", "hala",
                      "ğ", "gül", "dede", "çay", "cam", "bal", "ana"},
                     TLang::Turkish),
              ElementsAre("ana", "bal", "cam", "çay", "dede", "gül", "ğ", "hala", "ılık", "iğne",
                          "ot", "öküz", "sarı", "şeker", "ulu", "üzüm", "zil"));
}

TEST(TurkishOrder, DotlessAndDottedICaseInsensitively) {
  // I is the capital of ı, İ the capital of i.
  EXPECT_THAT(
      Sorted({"iz", "İnce", "Ilık", "ırmak", "ıhlamur", "İade", "hız", "jilet"}, TLang::Turkish),
      ElementsAre("hız", "ıhlamur", "Ilık", "ırmak", "İade", "İnce", "iz", "jilet"));
  EXPECT_LT(CollateCompare("Işık", "iade", TLang::Turkish), 0);
  EXPECT_GT(CollateCompare("İade", "ısı", TLang::Turkish), 0);
}

TEST(TurkishOrder, CaseAndCircumflexOnlyBreakTies) {
  EXPECT_THAT(Sorted({"Çay", "çaydanlık", "çay", "Ça"}, TLang::Turkish),
              ElementsAre("Ça", "Çay", "çay", "çaydanlık"));
  // â sorts with a; kâr and kar differ only there.
  EXPECT_THAT(Sorted({"kârlı", "kar", "kâr", "karlı"}, TLang::Turkish),
              ElementsAre("kar", "kâr", "karlı", "kârlı"));
  EXPECT_LT(CollateCompare("kâğıt", "kağıtçı", TLang::Turkish), 0);
  // q, w, x fall where the Turkish keyboard puts them.
  EXPECT_THAT(Sorted({"web", "vazo", "yer", "quiz", "pul", "rüya", "xenon"}, TLang::Turkish),
              ElementsAre("pul", "quiz", "rüya", "vazo", "web", "xenon", "yer"));
}

TEST(EnglishOrder, CaseAndAccentsIgnoredWordByWord) {
  EXPECT_THAT(Sorted({"aa", "a-one", "a la carte", "à la", "Abandon", "a", "ab", "abandon", "zzz",
                      "Zulu", "façade", "facade", "face"},
                     TLang::English),
              ElementsAre("a", "à la", "a la carte", "a-one", "aa", "ab", "Abandon", "abandon",
                          "facade", "façade", "face", "Zulu", "zzz"));
}

TEST(EnglishOrder, EnglishTreatsTurkishLettersAsTheirBaseLetters) {
  EXPECT_LT(CollateCompare("Istanbul", "izmir", TLang::English), 0);
  EXPECT_LT(CollateCompare("Ölçek", "oz", TLang::English), 0);
  // ß sorts as ss: between "strasse" and "strasses", after "strassa".
  EXPECT_GT(CollateCompare("straße", "strassa", TLang::English), 0);
  EXPECT_LT(CollateCompare("straße", "strasses", TLang::English), 0);
  EXPECT_NE(CollateCompare("straße", "strasse", TLang::English), 0);
}

TEST(EnglishOrder, PunctuationAndDigitsBeforeLetters) {
  EXPECT_THAT(Sorted({"ab", "a1", "a'b", "a b", "a.b"}, TLang::English),
              ElementsAre("a b", "a'b", "a.b", "a1", "ab"));
}

TEST(Stability, IdenticalHeadwordsKeepTheirInputOrder) {
  std::vector<TRow> rows = {{"bar", "", "", "3", ""},
                            {"ab", "", "", "1", ""},
                            {"bar", "", "", "1", ""},
                            {"Bar", "", "", "x", ""},
                            {"bar", "", "", "2", ""}};
  SortRows(rows, TLang::English);
  std::vector<std::string> order;
  for (const TRow& r : rows) order.push_back(r.kelime + r.anlami);
  EXPECT_THAT(order, ElementsAre("ab1", "Barx", "bar3", "bar1", "bar2"));
}

TEST(Stability, OrderIsTotalAndConsistent) {
  const std::vector<std::string> words = {"a", "A", "á", "à", "a a", "a-a", "aa", "Aa", "aA"};
  for (const std::string& x : words) {
    EXPECT_EQ(CollateCompare(x, x, TLang::English), 0);
    for (const std::string& y : words) {
      EXPECT_EQ(CollateCompare(x, y, TLang::English), -CollateCompare(y, x, TLang::English))
          << x << " " << y;
      if (x != y) {
        EXPECT_NE(CollateCompare(x, y, TLang::Turkish), 0) << x << " " << y;
      }
    }
  }
}
