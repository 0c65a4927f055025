#include <gtest/gtest.h>

#include <string>

#include "base/StringList.h"
#include "skin/IniText.h"
#include "skin/SplitFields.h"

using lugatim::base::TStringList;
using lugatim::skin::SplitFields;
using lugatim::skin::TIniText;

namespace {

std::vector<std::string> Split(const std::string& text) {
  TStringList list;
  list.Add("stale");
  SplitFields(list, text, ',');
  return list.Lines();
}

using V = std::vector<std::string>;

}  // namespace

TEST(IniText, SectionsAndKeysIgnoreCaseAndValuesAreTrimmed) {
  const TIniText ini(
      "[VERSION]\r\nVer = 150 \r\n\r\n[BitmapInfo]\r\n  maskbitmap=\t SzlS3Ms.bmp  \r\n");
  EXPECT_EQ(ini.ReadInteger("Version", "VER", 140), 150);
  EXPECT_EQ(ini.ReadString("BITMAPINFO", "MaskBitmap", "ERROR"), "SzlS3Ms.bmp");
}

TEST(IniText, MissingKeysAndSectionsGiveTheDefault) {
  const TIniText ini("[A]\nx=1\nempty=\n");
  EXPECT_EQ(ini.ReadString("A", "y", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("B", "x", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("A", "empty", "dflt"), "");  // present, though empty
  EXPECT_EQ(ini.ReadInteger("A", "empty", 7), 7);
}

TEST(IniText, FirstSectionAndKeyWin) {
  const TIniText ini("[A]\nk=first\nk=second\n[a]\nk=third\nonly=here\n");
  EXPECT_EQ(ini.ReadString("A", "k", ""), "first");
  EXPECT_EQ(ini.ReadString("A", "only", "none"), "none");
}

TEST(IniText, IntegersDecimalOrHexElseDefault) {
  const TIniText ini("[N]\na=$1F\nb=0x10\nc=-12\nd=12abc\ne=1 2\n");
  EXPECT_EQ(ini.ReadInteger("N", "a", 0), 31);
  EXPECT_EQ(ini.ReadInteger("N", "b", 0), 16);
  EXPECT_EQ(ini.ReadInteger("N", "c", 0), -12);
  EXPECT_EQ(ini.ReadInteger("N", "d", 5), 5);
  EXPECT_EQ(ini.ReadInteger("N", "e", 6), 6);
}

TEST(IniText, ABareXPrefixIsNoNumber) {
  const TIniText ini("[Version]\nVer=x96\nHex=$96\nUpper=X96\n");
  EXPECT_EQ(ini.ReadInteger("Version", "Ver", 140), 140);
  EXPECT_EQ(ini.ReadInteger("Version", "Upper", 140), 140);
  EXPECT_EQ(ini.ReadInteger("Version", "Hex", 140), 150);
}

TEST(IniText, ValuesAreCutAt2047Characters) {
  const std::string longValue(3000, 'x');
  const TIniText ini("[S]\nk=" + longValue + "\nu=" + std::string(2046, 'a') +
                     "\xC3\xB6\xC3\xB6\n");
  EXPECT_EQ(ini.ReadString("S", "k", "").size(), 2047u);
  // A character is one UTF-8 sequence: the cut falls after the first "ö".
  EXPECT_EQ(ini.ReadString("S", "u", ""), std::string(2046, 'a') + "\xC3\xB6");
}

TEST(IniText, CommentsAndLinesWithoutEqualsAreSkipped) {
  const TIniText ini("k=outside\n[S]\n;k=commented\nnoequals\nk=real\n");
  EXPECT_EQ(ini.ReadString("S", "k", ""), "real");
}

TEST(SplitFields, BlanksAfterDelimitersGoBlanksBeforeThemStay) {
  EXPECT_EQ(Split("KAPAT, 460, 0, 25, 25, CLOSE"), (V{"KAPAT", "460", "0", "25", "25", "CLOSE"}));
  EXPECT_EQ(Split("A, 460 , 0"), (V{"A", "460 ", "0"}));
  EXPECT_EQ(Split("  lead,in ner , x"), (V{"lead", "in ner ", "x"}));
}

TEST(SplitFields, QuotedFields) {
  EXPECT_EQ(Split("\"x, y\""), (V{"x, y"}));
  EXPECT_EQ(Split("a, \"say \"\"hi\"\"\", b"), (V{"a", "say \"hi\"", "b"}));
  EXPECT_EQ(Split("\"unterminated, to the end"), (V{"unterminated, to the end"}));
  EXPECT_EQ(Split("\"q\"rest,z"), (V{"q", "rest", "z"}));
}

TEST(SplitFields, EmptyFieldsBetweenDelimitersNoneAtTheEnd) {
  EXPECT_EQ(Split("a,,b"), (V{"a", "", "b"}));
  EXPECT_EQ(Split("a,"), (V{"a"}));
  EXPECT_EQ(Split(",a"), (V{"", "a"}));
  EXPECT_EQ(Split(""), V{});
  EXPECT_EQ(Split("   "), V{});
}

TEST(SplitFields, ControlCharactersEndAFieldNulEndsTheText) {
  EXPECT_EQ(Split("a\tb,c"), (V{"a", "b", "c"}));
  EXPECT_EQ(Split(std::string("a,b\0,c", 6)), (V{"a", "b"}));
  EXPECT_EQ(Split("T\xC3\xBCrk\xC3\xA7"
                  "e, x"),
            (V{"T\xC3\xBCrk\xC3\xA7"
               "e",
               "x"}));
}
