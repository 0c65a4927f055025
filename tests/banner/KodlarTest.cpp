// Ad lines, banner file names and the Banner folder, with their traces.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "banner/Kodlar.h"
#include "base/Exception.h"
#include "base/Trace.h"
#include "tests/banner/BannerTestSupport.h"

namespace lugatim::banner {
namespace {

using base::EConvertError;
using base::TraceCapture;

std::string ConversionError(const std::string& line) {
  try {
    ParseAdLine(line);
  } catch (const EConvertError& e) {
    return e.Message();
  }
  return "(parsed)";
}

TEST(ParseAdLine, SixFieldsAndFiveTraces) {
  TraceCapture traces;
  const TAdLine ad = ParseAdLine("a,b,7,10,0,0");
  EXPECT_EQ(ad.URLBanner, "a");
  EXPECT_EQ(ad.UrlToGo, "b");
  EXPECT_EQ(ad.Oncelik, 7);
  EXPECT_EQ(ad.Sure, 10);
  EXPECT_EQ(ad.Silinecek, 0);
  EXPECT_EQ(ad.HoldBack, 0);
  const std::vector<std::string> expected = {
      "gecicistring : a,b,7,10,0,0 | Konum1 : 0 | Konum2 : 2 | Uzunluk : 12 | URLBanner a |",
      "gecicistring : b,7,10,0,0 | Konum1 : 0 | Konum2 : 2 | Uzunluk : 10 | UrlToGo b |",
      "gecicistring : 7,10,0,0 | Konum1 : 0 | Konum2 : 2 | Uzunluk : 8 | Oncelik : 7 |",
      "gecicistring : 10,0,0 | Konum1 : 0 | Konum2 : 3 | Uzunluk : 6 | Sure : 10 |",
      "gecicistring : 0,0 | Konum1 : 0 | Konum2 : 2 | Uzunluk : 3 | Silinecek : 0 |",
  };
  EXPECT_EQ(traces.Lines(), expected);
}

TEST(ParseAdLine, AddressesKeepTheirSpacesAndSlashes) {
  const TAdLine ad = ParseAdLine(" http://h/x.gif , http://go/ ,-3, 7,$1,0x0");
  EXPECT_EQ(ad.URLBanner, " http://h/x.gif ");
  EXPECT_EQ(ad.UrlToGo, " http://go/ ");
  EXPECT_EQ(ad.Oncelik, -3);
  EXPECT_EQ(ad.Sure, 7);
  EXPECT_EQ(ad.Silinecek, 1);
  EXPECT_EQ(ad.HoldBack, 0);
  EXPECT_EQ(ParseAdLine("a,b, 7,10,0,0").Oncelik, 7);
  EXPECT_EQ(ParseAdLine(",,1,2,3,4").URLBanner, "");
}

TEST(ParseAdLine, InvalidLinesFailWithTheConversionError) {
  EXPECT_EQ(ConversionError("a,b,7,10,0,0,0"), "'0,0' is not a valid integer value");
  EXPECT_EQ(ConversionError(""), "'' is not a valid integer value");
  EXPECT_EQ(ConversionError("a,b,7,10,0"), "'' is not a valid integer value");
  EXPECT_EQ(ConversionError("a,b,7,10,0,0 "), "'0 ' is not a valid integer value");
  EXPECT_EQ(ConversionError("a,b,seven,10,0,0"), "'seven' is not a valid integer value");
  EXPECT_EQ(ConversionError("a,b,7,10,0,\t0"), "'\t0' is not a valid integer value");
  EXPECT_EQ(ConversionError("a,b,7,99999999999,0,0"), "'99999999999' is not a valid integer value");
}

TEST(ParseAdLine, TracesOfTheFieldsBeforeAFailureAreWritten) {
  TraceCapture traces;
  EXPECT_THROW(ParseAdLine("a,b,7,x,0,0"), EConvertError);
  ASSERT_EQ(traces.Lines().size(), 3u);
  EXPECT_EQ(traces.Lines()[2],
            "gecicistring : 7,x,0,0 | Konum1 : 0 | Konum2 : 2 | Uzunluk : 7 | Oncelik : 7 |");
}

TEST(ParseAdLine, AMissingCommaFailsAtTheFirstIntegerFieldFromThere) {
  TraceCapture traces;
  // Three commas: what is left for field 4 is "10" with no comma, so the
  // field is empty and fails; three traces came before.
  EXPECT_EQ(ConversionError("a,b,7,10"), "'' is not a valid integer value");
  ASSERT_EQ(traces.Lines().size(), 3u);
  // One comma: field 2 is empty, field 3 empty too and fails.
  EXPECT_EQ(ConversionError("a,b"), "'' is not a valid integer value");
}

TEST(BannerFileName, LastPathSegmentWithTraces) {
  TraceCapture traces;
  EXPECT_EQ(BannerFileName("http://h/img/top.gif"), "top.gif");
  const std::vector<std::string> expected = {
      "Başlangıç dizisi : http://h/img/top.gif", "gecicikaynakdizi satır 81 /h/img/top.gif",
      "konumterstaksimcikart : 6 satır 82",      "gecicikaynakdizi satır 81 h/img/top.gif",
      "konumterstaksimcikart : 1 satır 82",      "gecicikaynakdizi satır 81 img/top.gif",
      "konumterstaksimcikart : 2 satır 82",      "gecicikaynakdizi satır 81 top.gif",
      "konumterstaksimcikart : 4 satır 82",      "gecicikaynakdizi satır 81 top.gif",
      "konumterstaksimcikart : 0 satır 82",
  };
  EXPECT_EQ(traces.Lines(), expected);
}

TEST(BannerFileName, EdgeCases) {
  TraceCapture traces;
  EXPECT_EQ(BannerFileName("x"), "x");
  EXPECT_EQ(traces.Lines().size(), 3u);
  EXPECT_EQ(BannerFileName("x/"), "");
  EXPECT_EQ(BannerFileName("http://h/show.gif?id=3"), "show.gif?id=3");
  EXPECT_EQ(BannerFileName("http://h/a\\b.GIF#f"), "a\\b.GIF#f");
  EXPECT_EQ(BannerFileName(""), "");
  EXPECT_EQ(BannerFileName("http://h/.."), "..");
}

TEST(BannerFileName, ManySlashesCostOnePassWhenNobodyListens) {
  // 400,000 slashes: tracing each step would build about 80 GB of text.
  const std::string address = std::string(400000, '/') + "end.gif";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(BannerFileName(address), "end.gif");
  EXPECT_EQ(BannerFileName(std::string(400000, '/')), "");
  const TAdLine ad = ParseAdLine(std::string(5000000, 'u') + ",g,1,2,0,0");
  EXPECT_EQ(ad.URLBanner.size(), 5000000u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

TEST(EnsureBannerFolder, CreatesAMissingFolderWithoutTrace) {
  test::TTempDir dir;
  const std::string folder = (dir.Path() / "Banner").string() + "/";
  TraceCapture traces;
  EnsureBannerFolder(folder);
  EXPECT_TRUE(std::filesystem::is_directory(folder));
  EnsureBannerFolder(folder);  // exists already: nothing
  EXPECT_TRUE(traces.Lines().empty());
  EXPECT_EQ(BannerFolderOf("/opt/Apps/Dict/"), "/opt/Apps/Dict/Banner/");
}

TEST(EnsureBannerFolder, AFailureIsTracedOnceAndGoesNoFurther) {
  test::TTempDir dir;
  dir.WriteFile("plainfile", "x");  // a file where a folder would have to be
  const std::string folder = (dir.Path() / "plainfile" / "Banner").string() + "/";
  TraceCapture traces;
  EXPECT_NO_THROW(EnsureBannerFolder(folder));
  ASSERT_EQ(traces.Lines().size(), 1u);
  EXPECT_EQ(traces.Lines()[0].rfind("Folder oluştururken hata ", 0), 0u);
  EXPECT_NE(traces.Lines()[0].find("Not a directory"), std::string::npos);
}

}  // namespace
}  // namespace lugatim::banner
