// The word-list format: fields, escapes, skipped lines and the errors with
// their line numbers.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tools/ImportTypes.h"
#include "tools/Tsv.h"

using namespace lugatim::tools;

namespace {

std::string ErrorOf(const std::string& text) {
  try {
    ParseTsv(text, "words.tsv");
  } catch (const EImportError& e) {
    return e.Message();
  }
  return "(no error)";
}

}  // namespace

TEST(TsvFields, FiveFieldsInOrderTrailingOnesOptional) {
  const auto rows = ParseTsv(
      "abandon\tfiil\t\tterk etmek\the abandoned ship\n"
      "auto-\t\tönek\tkendi kendine\n"
      "ev\n",
      "w.tsv");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], (TRow{"abandon", "fiil", "", "terk etmek", "he abandoned ship"}));
  EXPECT_EQ(rows[1], (TRow{"auto-", "", "önek", "kendi kendine", ""}));
  EXPECT_EQ(rows[2], (TRow{"ev", "", "", "", ""}));
}

TEST(TsvFields, BlanksAroundShortFieldsAreTrimmedMeaningsKeptAsWritten) {
  const auto rows = ParseTsv("  ev \t isim \t\t  yuva  \n", "w.tsv");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].kelime, "ev");
  EXPECT_EQ(rows[0].kategori, "isim");
  EXPECT_EQ(rows[0].anlami, "  yuva  ");
}

TEST(TsvEscapes, LineBreakTabAndBackslashInMeaningAndExample) {
  const auto rows = ParseTsv("a\t\t\t1. bir\\n2. iki\\tüç\tC:\\\\yol\\n\n", "w.tsv");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].anlami, "1. bir\n2. iki\tüç");
  EXPECT_EQ(rows[0].ornek, "C:\\yol\n");
  // Headword, category and affix are literal.
  EXPECT_EQ(ParseTsv("a\\nb\tx\\t\n", "w.tsv")[0].kelime, "a\\nb");
  EXPECT_EQ(ParseTsv("a\\nb\tx\\t\n", "w.tsv")[0].kategori, "x\\t");
}

TEST(TsvEscapes, UnknownOrDanglingEscapesAreErrors) {
  EXPECT_EQ(ErrorOf("a\t\t\tbir\\x\n"), "words.tsv:1: meaning: unknown escape '\\x'");
  EXPECT_EQ(ErrorOf("a\t\t\tbir\tiki\\\n"),
            "words.tsv:1: example: backslash at the end of a field");
}

TEST(TsvLines, CommentsEmptyLinesCrLfAndBomAreSkipped) {
  const auto rows = ParseTsv(
      "\xEF\xBB\xBF# my words\r\n\r\n   \nev\t\t\tyuva\r\n#bu da\nkapı\t\t\tdoor", "w.tsv");
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].kelime, "ev");
  EXPECT_EQ(rows[0].anlami, "yuva");
  EXPECT_EQ(rows[1].anlami, "door");  // no line break at the end of the file
}

TEST(TsvLines, KeepsFileOrder) {
  const auto rows = ParseTsv("zil\nana\nbal\n", "w.tsv");
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].kelime, "zil");
  EXPECT_EQ(rows[2].kelime, "bal");
}

TEST(TsvErrors, NameTheFileAndLine) {
  EXPECT_EQ(ErrorOf("a\n# c\n\nb\n\n\nx\t\t\t\t\tsix\n"), "words.tsv:7: more than five fields");
  EXPECT_EQ(ErrorOf("a\n\tkategori\tx\n"), "words.tsv:2: empty headword");
  EXPECT_EQ(ErrorOf("  \t\t\tanlam\n"), "words.tsv:1: empty headword");
  EXPECT_EQ(ErrorOf("a\nb\xC3\x28\n"), "words.tsv:2: invalid UTF-8");
  EXPECT_EQ(ErrorOf("a\t\t\t\xED\xA0\x80\n"), "words.tsv:1: invalid UTF-8");  // a surrogate
  EXPECT_EQ(ErrorOf("a\t\t\t\xC0\xAF\n"), "words.tsv:1: invalid UTF-8");      // overlong
  EXPECT_EQ(ErrorOf("# yorum \xFF\n"), "words.tsv:1: invalid UTF-8");         // comments too
  EXPECT_EQ(ErrorOf(std::string(256, 'k') + "\n"),
            "words.tsv:1: headword longer than 255 characters");
  EXPECT_EQ(ErrorOf("a\t" + std::string(256, 'k') + "\n"),
            "words.tsv:1: category longer than 255 characters");
}

TEST(TsvErrors, LimitsCountCharactersNotBytes) {
  std::string s255;
  for (int i = 0; i < 255; ++i) s255 += "ş";
  EXPECT_EQ(ParseTsv(s255 + "\n", "w.tsv").size(), 1u);
  EXPECT_EQ(ErrorOf(s255 + "ş\n"), "words.tsv:1: headword longer than 255 characters");
}
