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

TEST(TextFold, TurkishIsFoldTogetherWithDottedAndDotlessForms) {
  // İ, I, ı and i are one letter for a case-insensitive search.
  EXPECT_EQ(FoldCase("İ"), FoldCase("i"));
  EXPECT_EQ(FoldCase("I"), FoldCase("ı"));
  EXPECT_EQ(FoldCase("ISTANBUL"), FoldCase("istanbul"));
  EXPECT_EQ(FoldCase("İSTANBUL"), FoldCase("ıstanbul"));
  EXPECT_EQ(CompareIgnoringCase("ÇĞÖŞÜ", "çğöşü"), 0);
  EXPECT_TRUE(StartsWithIgnoringCase("Işık", "ışı"));
  EXPECT_TRUE(StartsWithIgnoringCase("ılık", "IL"));
  EXPECT_FALSE(StartsWithIgnoringCase("şeker", "se"));  // ş is not s
  EXPECT_FALSE(StartsWithIgnoringCase("göz", "goz"));
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
  EXPECT_LT(CompareIgnoringCase("Apple", "banana"), 0);
  EXPECT_GT(CompareIgnoringCase("zebra", "APPLE"), 0);
  EXPECT_LT(CompareIgnoringCase("ab", "ABC"), 0);
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
