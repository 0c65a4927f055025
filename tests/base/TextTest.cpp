#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/StringList.h"
#include "base/TextFold.h"

using namespace lugatim::base;

using Lines = std::vector<std::string>;

TEST(SplitLines, BreaksAtCrLfLoneCrAndLoneLf) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"}));  // LF then CR: two breaks
  EXPECT_EQ(SplitLines("a\r\r\nb"), (Lines{"a", "", "b"}));
}

TEST(SplitLines, FinalBreakAddsNoLineButInnerEmptyLinesStay) {
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("a\r\n"), Lines{"a"});
  EXPECT_EQ(SplitLines("a\r"), Lines{"a"});
  EXPECT_EQ(SplitLines("\r\n"), Lines{""});
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(SplitLines("a\n\nb\n"), (Lines{"a", "", "b"}));
}

TEST(SplitLines, KeepsSpacesAndTabsOfEveryLine) {
  EXPECT_EQ(SplitLines("  a ,b\t\r\n\t"), (Lines{"  a ,b\t", "\t"}));
}

TEST(StringList, TextRoundTripsAndIndexOutsideFails) {
  TStringList list;
  list.SetText("one\ntwo\r\nthree");
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Strings(2), "three");
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\nthree\r\n");
  try {
    list.Strings(3);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (3)");
  }
  EXPECT_THROW(list.Strings(-1), EListError);
}

TEST(TextFold, TurkishPairsIWithDotlessAndDottedIWithI) {
  constexpr auto tr = TLanguage::Turkish;
  EXPECT_EQ(FoldCase("I", tr), "ı");
  EXPECT_EQ(FoldCase("İ", tr), "i");
  EXPECT_NE(FoldCase("ı", tr), FoldCase("i", tr));  // two letters
  EXPECT_EQ(FoldCase("ISPARTA", tr), FoldCase("ısparta", tr));
  EXPECT_EQ(FoldCase("İSTANBUL", tr), FoldCase("istanbul", tr));
  EXPECT_NE(CompareIgnoringCase("ılık", "ilik", tr), 0);
  EXPECT_EQ(CompareIgnoringCase("ÇĞÖŞÜ", "çğöşü", tr), 0);
  EXPECT_TRUE(StartsWithIgnoringCase("Işık", "ışı", tr));
  EXPECT_TRUE(StartsWithIgnoringCase("ılık", "IL", tr));
  EXPECT_FALSE(StartsWithIgnoringCase("ılgım", "il", tr));
  EXPECT_FALSE(StartsWithIgnoringCase("ılgım", "İL", tr));
  EXPECT_TRUE(StartsWithIgnoringCase("acil", "ACİL", tr));
  EXPECT_FALSE(StartsWithIgnoringCase("acılaştırmak", "acil", tr));
  EXPECT_FALSE(StartsWithIgnoringCase("şeker", "se", tr));  // ş is not s
}

TEST(TextFold, EnglishPairsIWithI) {
  constexpr auto en = TLanguage::English;
  EXPECT_EQ(FoldCase("I", en), "i");
  EXPECT_EQ(FoldCase("India", en), FoldCase("iNDIA", en));
  EXPECT_EQ(FoldCase("İstanbul", en), "istanbul");
  EXPECT_NE(FoldCase("ı", en), FoldCase("I", en));
  EXPECT_TRUE(StartsWithIgnoringCase("Idea", "ID", en));
  EXPECT_FALSE(StartsWithIgnoringCase("Idea", "ıd", en));
}

TEST(TextFold, WithoutMarksLettersLoseTheirDiacritics) {
  constexpr auto tr = TLanguage::Turkish;
  EXPECT_EQ(FoldMarks("AĞAÇ", tr), "agac");
  EXPECT_EQ(FoldMarks("Köpek", tr), "kopek");
  EXPECT_EQ(FoldMarks("ışık", tr), "isik");
  EXPECT_EQ(FoldMarks("IŞIK", tr), "isik");  // I is ı, which is i without marks
  EXPECT_EQ(FoldMarks("şüphe", tr), "suphe");
  EXPECT_EQ(FoldMarks("kâğıt", tr), "kagit");
  EXPECT_EQ(FoldMarks("Mîmar ûslub", tr), "mimar uslub");
  EXPECT_EQ(FoldMarks("CAFÉ", TLanguage::English), "cafe");
  EXPECT_EQ(FoldMarks("e\xCC\x81", TLanguage::English), "e");  // combining acute dropped
  EXPECT_EQ(CompareIgnoringMarks("ağaç", "AGAC", tr), 0);
  EXPECT_LT(CompareIgnoringMarks("agab", "ağaç", tr), 0);
  EXPECT_EQ(PlainLetters(U'a'), nullptr);
}

TEST(TextFold, UsesFullUnicodeFolding) {
  EXPECT_EQ(FoldCase("Straße"), "strasse");
  EXPECT_EQ(FoldCase("ΣΊΣΥΦΟΣ"), FoldCase("σίσυφος"));  // final sigma folds like sigma
  EXPECT_EQ(FoldCase("ÅNGSTRÖM"), "ångström");
  EXPECT_EQ(FoldCase("ﬁ"), "fi");
  EXPECT_EQ(FoldCase("𐐀"), "𐐨");  // outside the basic plane
  EXPECT_EQ(FoldCase("abc 123 -"), "abc 123 -");
}

TEST(TextFold, OrdersByFoldedCodePoint) {
  EXPECT_LT(CompareIgnoringCase("Apple", "banana", TLanguage::English), 0);
  EXPECT_GT(CompareIgnoringCase("zebra", "APPLE", TLanguage::Turkish), 0);
  // Turkish ı sorts after every ASCII letter in code point order.
  EXPECT_GT(CompareIgnoringCase("Iz", "İz", TLanguage::Turkish), 0);
  EXPECT_LT(CompareIgnoringCase("ab", "ABC", TLanguage::English), 0);
}

TEST(TextFold, MalformedBytesBecomeReplacementCharacters) {
  EXPECT_EQ(FoldCase("A\xFF"
                     "B"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(FoldCase("\xC3"), "\xEF\xBF\xBD");                  // truncated sequence
  EXPECT_EQ(FoldCase("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong form
  EXPECT_EQ(FoldCase("\xED\xA0\x80"), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");  // surrogate
}
