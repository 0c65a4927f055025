#include <gtest/gtest.h>

#include "base/Exception.h"
#include "base/IntText.h"

using lugatim::base::EConvertError;
using lugatim::base::StrToInt;
using lugatim::base::TryStrToInt;

TEST(IntText, AcceptsDecimalWithLeadingSpacesAndSign) {
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("42"), 42);
  EXPECT_EQ(StrToInt("   7"), 7);
  EXPECT_EQ(StrToInt("+15"), 15);
  EXPECT_EQ(StrToInt("-15"), -15);
  EXPECT_EQ(StrToInt("  -0012"), -12);
  EXPECT_EQ(StrToInt("-0"), 0);
}

TEST(IntText, AcceptsHexadecimalAfterEveryPrefixInEitherCase) {
  EXPECT_EQ(StrToInt("$1F"), 31);
  EXPECT_EQ(StrToInt("$ff"), 255);
  EXPECT_EQ(StrToInt("x10"), 16);
  EXPECT_EQ(StrToInt("X10"), 16);
  EXPECT_EQ(StrToInt("0x10"), 16);
  EXPECT_EQ(StrToInt("0XaB"), 171);
  EXPECT_EQ(StrToInt(" -$10"), -16);
  EXPECT_EQ(StrToInt("+0x7FFFFFFF"), 2147483647);
  EXPECT_EQ(StrToInt("$000000"), 0);
  EXPECT_EQ(StrToInt("$0000FF"), 255);
}

TEST(IntText, WithoutTheBareXPrefixOnlyDollarAndZeroXMarkHexadecimal) {
  constexpr auto kStrict = lugatim::base::THexPrefixes::DollarOr0x;
  EXPECT_EQ(StrToInt("$1F", kStrict), 31);
  EXPECT_EQ(StrToInt("0x10", kStrict), 16);
  EXPECT_EQ(StrToInt(" -0XaB", kStrict), -171);
  EXPECT_EQ(StrToInt("96", kStrict), 96);
  for (const char* text : {"x10", "X10", "-x1", "x", "0x", "$"}) {
    EXPECT_FALSE(TryStrToInt(text, kStrict).has_value()) << text;
  }
  try {
    StrToInt("x10", kStrict);
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x10' is not a valid integer value");
  }
}

TEST(IntText, TakesTheWholeSigned32BitRangeAndNoMore) {
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(StrToInt("-$80000000"), INT32_MIN);
  EXPECT_EQ(StrToInt("00000000000000000000001"), 1);  // leading zeros do not overflow
  for (const char* text : {"2147483648", "-2147483649", "$80000000", "$FFFFFFFF",
                           "99999999999999999999", "0x100000000"}) {
    EXPECT_FALSE(TryStrToInt(text).has_value()) << text;
  }
}

TEST(IntText, RejectsEverythingThatIsNotExactlyOneInteger) {
  for (const char* text : {"",     " ",   "+",   "-",     "$",     "x",   "0x",  "-$",  "7 ",
                           "\t7",  "7\t", "7\r", "1.5",   "1e3",   "--1", "+-1", "- 1", "$G",
                           "0x1G", "12a", "٣",   "0b101", "1,000", "$ 1", "0 x1"}) {
    EXPECT_FALSE(TryStrToInt(text).has_value()) << '"' << text << '"';
  }
}

TEST(IntText, FailureNamesTheTextInTheConversionMessage) {
  try {
    StrToInt("10 ");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'10 ' is not a valid integer value");
  }
  try {
    StrToInt("");
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'' is not a valid integer value");
  }
}
