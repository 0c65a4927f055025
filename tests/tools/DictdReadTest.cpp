// Reading dictd dictionaries: the base64 numbers, the .index lines with
// their errors, the dictzip text and the slicing of entries out of it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ToolsFixture.h"
#include "tools/Dictd.h"
#include "tools/ImportTypes.h"

using namespace lugatim::tools;
using namespace toolstest;
using ::testing::HasSubstr;

namespace {

std::string ErrorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EImportError& e) {
    return e.Message();
  }
  return "(no error)";
}

}  // namespace

TEST(DictdBase64, DigitsAreTheDictdAlphabetMostSignificantFirst) {
  EXPECT_EQ(DecodeDictdNumber("A"), 0u);
  EXPECT_EQ(DecodeDictdNumber("B"), 1u);
  EXPECT_EQ(DecodeDictdNumber("Z"), 25u);
  EXPECT_EQ(DecodeDictdNumber("a"), 26u);
  EXPECT_EQ(DecodeDictdNumber("z"), 51u);
  EXPECT_EQ(DecodeDictdNumber("0"), 52u);
  EXPECT_EQ(DecodeDictdNumber("9"), 61u);
  EXPECT_EQ(DecodeDictdNumber("+"), 62u);
  EXPECT_EQ(DecodeDictdNumber("/"), 63u);
  EXPECT_EQ(DecodeDictdNumber("BA"), 64u);
  // Values from the FreeDict index: "a ig CH" is offset 2208, length 135.
  EXPECT_EQ(DecodeDictdNumber("ig"), 34u * 64 + 32);
  EXPECT_EQ(DecodeDictdNumber("CH"), 2u * 64 + 7);
  EXPECT_EQ(DecodeDictdNumber("SaWI"), ((18u * 64 + 26) * 64 + 22) * 64 + 8);
}

TEST(DictdBase64, RoundTripsLargeValues) {
  for (uint64_t v : {0ull, 63ull, 64ull, 4095ull, 4826548ull, (1ull << 40) + 12345})
    EXPECT_EQ(DecodeDictdNumber(DictdNumber(v)), v) << v;
}

TEST(DictdBase64, RejectsEmptyForeignCharactersAndOverflow) {
  EXPECT_FALSE(DecodeDictdNumber(""));
  EXPECT_FALSE(DecodeDictdNumber("Q!"));
  EXPECT_FALSE(DecodeDictdNumber("A="));  // padding is not part of the alphabet
  EXPECT_FALSE(DecodeDictdNumber(" B"));
  EXPECT_FALSE(DecodeDictdNumber("-B"));
  EXPECT_FALSE(DecodeDictdNumber("ÿ"));
  EXPECT_FALSE(DecodeDictdNumber("//////////"));  // 60 bits
}

TEST(DictdIndex, ParsesLinesAndSkipsMetadata) {
  const auto entries = ParseDictdIndex(
      "00databasealphabet\tSaWI\ts\n00-database-short\tA\tB\na\tig\tCH\n"
      "a la carte\toM\tBo\r\nab\tzU\t9\toriginal\n",
      "x.index");
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].key, "a");
  EXPECT_EQ(entries[0].offset, 34u * 64 + 32);
  EXPECT_EQ(entries[0].length, 135u);
  EXPECT_EQ(entries[0].line, 3);
  EXPECT_EQ(entries[1].key, "a la carte");  // CR LF line end
  EXPECT_EQ(entries[1].length, 1u * 64 + 40);
  EXPECT_EQ(entries[2].key, "ab");  // a fourth field is allowed
  EXPECT_EQ(entries[2].line, 5);
}

TEST(DictdIndex, ErrorsNameFileAndLine) {
  const auto parse = [](const std::string& text) {
    return ErrorOf([&] { ParseDictdIndex(text, "freedict-eng-tur.index"); });
  };
  EXPECT_EQ(parse("a\tA\tB\nb\tQ!\tB\n"), "freedict-eng-tur.index:2: bad base64 offset 'Q!'");
  EXPECT_EQ(parse("a\tA\t\n"), "freedict-eng-tur.index:1: bad base64 length ''");
  EXPECT_EQ(parse("a\tA\n"), "freedict-eng-tur.index:1: expected 3 tab-separated fields, found 2");
  EXPECT_EQ(parse("a\tA\tB\nb\tA\tB\tc\td\n"),
            "freedict-eng-tur.index:2: expected 3 tab-separated fields, found 5");
  EXPECT_EQ(parse("\tA\tB\n"), "freedict-eng-tur.index:1: empty headword");
  EXPECT_EQ(parse("\xC3\x28\tA\tB\n"), "freedict-eng-tur.index:1: headword is not valid UTF-8");
  // Metadata lines are checked too: a broken number there is still an error.
  EXPECT_EQ(parse("00databaseinfo\tA\t*\n"), "freedict-eng-tur.index:1: bad base64 length '*'");
}

TEST(DictdIndex, BlankLinesCountButAreSkipped) {
  const auto entries = ParseDictdIndex("a\tA\tB\n\nb\tB\tB\n", "x.index");
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[1].line, 3);
}

TEST(DictdDict, GzipIsInflatedPlainTextPassesThrough) {
  const std::string text = "a /e/\n1. bir\n";
  EXPECT_EQ(InflateDict(Gzip(text), "x.dict.dz"), text);
  EXPECT_EQ(InflateDict(text, "x.dict"), text);
  // Concatenated gzip members are one text.
  EXPECT_EQ(InflateDict(Gzip("one ") + Gzip("two"), "x.dict.dz"), "one two");
}

TEST(DictdDict, DamagedAndTruncatedDataFail) {
  std::string gz = Gzip(std::string(5000, 'x') + "tail");
  std::string truncated = gz.substr(0, gz.size() / 2);
  EXPECT_THAT(ErrorOf([&] { InflateDict(truncated, "d.dict.dz"); }),
              HasSubstr("d.dict.dz: damaged compressed data"));
  std::string damaged = gz;
  for (size_t i = 10; i < 20 && i < damaged.size(); ++i) damaged[i] = '\xFF';
  EXPECT_THAT(ErrorOf([&] { InflateDict(damaged, "d.dict.dz"); }),
              HasSubstr("d.dict.dz: damaged compressed data"));
  std::string badCrc = gz;
  badCrc[badCrc.size() - 6] ^= 0x55;  // inside the CRC32 trailer
  EXPECT_THAT(ErrorOf([&] { InflateDict(badCrc, "d.dict.dz"); }),
              HasSubstr("d.dict.dz: damaged compressed data"));
}

class DictdFiles : public TempDir {};

TEST_F(DictdFiles, EntriesAreSlicedInIndexOrder) {
  const Dictionary d = MakeDictionary({{"b", "b /b/\n1. be\n"}, {"a", "a /a/\n1. a\n"}});
  Write("t.index", d.index);
  Write("t.dict.dz", Gzip(d.dict));
  const auto entries = ReadDictd(Path("t.index"), Path("t.dict.dz"));
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].key, "b");
  EXPECT_EQ(entries[0].text, "b /b/\n1. be\n");
  EXPECT_EQ(entries[1].text, "a /a/\n1. a\n");
  EXPECT_EQ(entries[1].line, 3);
}

TEST_F(DictdFiles, OffsetBeyondTheEndIsAnErrorWithTheIndexLine) {
  const std::string dict = "0123456789";
  Write("t.index", "a\tA\tK\nb\tF\tF\n");  // 5 + 5 = 10 fits exactly; 6 would not
  Write("t.dict", dict);
  EXPECT_EQ(ReadDictd(Path("t.index"), Path("t.dict")).size(), 2u);
  Write("t.index", "a\tA\tK\nb\tF\tG\n");
  EXPECT_EQ(ErrorOf([&] { ReadDictd(Path("t.index"), Path("t.dict")); }),
            Path("t.index") + ":2: entry 'b' (offset 5, length 6) lies beyond the end of " +
                Path("t.dict") + " (10 bytes)");
  Write("t.index", "a\tBA\tA\n");  // offset 64 of 10
  EXPECT_THAT(ErrorOf([&] { ReadDictd(Path("t.index"), Path("t.dict")); }),
              HasSubstr(":1: entry 'a' (offset 64, length 0) lies beyond the end"));
}

TEST_F(DictdFiles, MissingFilesAndInvalidTextAreNamed) {
  Write("t.index", "a\tA\tB\n");
  EXPECT_EQ(ErrorOf([&] { ReadDictd(Path("none.index"), Path("t.dict")); }),
            Path("none.index") + ": No such file or directory");
  EXPECT_EQ(ErrorOf([&] { ReadDictd(Path("t.index"), Path("none.dict.dz")); }),
            Path("none.dict.dz") + ": No such file or directory");
  EXPECT_EQ(ErrorOf([&] { ReadWholeFile(dir_); }), dir_ + ": Is a directory");
  Write("t.dict", "\xFFz");
  EXPECT_THAT(ErrorOf([&] { ReadDictd(Path("t.index"), Path("t.dict")); }),
              HasSubstr(":1: entry 'a' in " + Path("t.dict") + " is not valid UTF-8"));
}
