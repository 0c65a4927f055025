// Metafile banners through the helper process: the picture's frame, its
// pixels and its transparency; and the helper's limits, each reached by a
// metafile built to reach it, failing like any undecodable picture.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <functional>
#include <string>

#include "codecs/CodecError.h"
#include "codecs/MetafileDecoder.h"
#include "codecs/MetafileWriter.h"
#include "codecs/Picture.h"

using namespace lugatim::codecs;

namespace {

const QColor kBlue(30, 90, 140), kGold(250, 200, 60), kGreen(30, 200, 30);

// A 200 x 50 banner: a blue band on the left half, a gold square at
// (120, 10), a green triangle and white text on the band; the right quarter
// stays empty.
void DrawBanner(TMetafileWriter& w) {
  w.FillRect(QRect(0, 0, 100, 50), kBlue);
  w.FillRect(QRect(120, 10, 20, 20), kGold);
  w.FillPolygon({{60, 5}, {90, 45}, {30, 45}}, kGreen);
  w.Text(QPoint(4, 40), "Ab", 20, true, "Arial", Qt::white);
}

QByteArray Wmf(const std::function<void(TWmfWriter&)>& draw, int width = 200, int height = 50) {
  TWmfWriter w(width, height);
  draw(w);
  return w.Finish();
}

QByteArray Emf(const std::function<void(TEmfWriter&)>& draw, int width = 200, int height = 50) {
  TEmfWriter w(width, height);
  draw(w);
  return w.Finish();
}

std::string ErrorOf(const QByteArray& bytes, const char* extension,
                    const std::string& helper = MetafileHelperPath(),
                    const TMetafileLimits& limits = {}) {
  try {
    DecodeMetafile(std::string_view(bytes.data(), bytes.size()), extension, helper, limits);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "no error";
}

QImage Decode(const QByteArray& bytes, const char* extension) {
  return DecodeMetafile(std::string_view(bytes.data(), bytes.size()), extension);
}

bool Near(QRgb pixel, QColor color) {
  return qAlpha(pixel) == 255 && std::abs(qRed(pixel) - color.red()) <= 2 &&
         std::abs(qGreen(pixel) - color.green()) <= 2 && std::abs(qBlue(pixel) - color.blue()) <= 2;
}

int CountNear(const QImage& image, QColor color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += Near(image.pixel(x, y), color) ? 1 : 0;
  return n;
}

// The checks both formats share: frame size, shapes in place at their
// exact colours, text drawn, nothing outside the shapes.
void ExpectBanner(const QImage& image) {
  ASSERT_EQ(image.size(), QSize(200, 50));
  EXPECT_EQ(image.format(), QImage::Format_ARGB32);
  EXPECT_TRUE(Near(image.pixel(5, 5), kBlue));
  EXPECT_TRUE(Near(image.pixel(95, 45), kBlue));
  EXPECT_TRUE(Near(image.pixel(130, 20), kGold));
  EXPECT_TRUE(Near(image.pixel(60, 35), kGreen));
  EXPECT_EQ(qAlpha(image.pixel(110, 40)), 0);  // between the shapes
  EXPECT_EQ(qAlpha(image.pixel(170, 25)), 0);  // the empty right quarter
  EXPECT_EQ(qAlpha(image.pixel(199, 49)), 0);
  // The gold square covers 20 x 20 pixels, give or take its edges.
  EXPECT_NEAR(CountNear(image, kGold), 400, 45);
  // The white text lies on the band's left end.
  int white = 0;
  for (int y = 20; y < 45; ++y)
    for (int x = 2; x < 40; ++x) white += Near(image.pixel(x, y), Qt::white) ? 1 : 0;
  EXPECT_GT(white, 20);
}

}  // namespace

TEST(Metafile, WmfBannerAtItsFrameWithExactColoursOnTransparentGround) {
  ExpectBanner(Decode(Wmf(DrawBanner), "wmf"));
}

TEST(Metafile, EmfBannerAtItsFrameWithExactColoursOnTransparentGround) {
  ExpectBanner(Decode(Emf(DrawBanner), "EMF"));
}

TEST(Metafile, FrameFollowsUnitsPerInchAndStartsAtTheBoundingBox) {
  // A placeable WMF whose box starts at (1000, 500) in units of 1/1440 inch:
  // 2880 x 720 units are 192 x 48 pixels at 96 dpi; the rectangle at the
  // box's corner lands at the picture's top-left.
  QByteArray wmf = Wmf([](TWmfWriter& w) {
    w.Record(0x020B, {500, 1000});  // window origin at the box's corner
    w.FillRect(QRect(1000, 500, 720, 360), kGold);
  });
  auto put16 = [&](int offset, int value) {
    wmf[offset] = static_cast<char>(value & 0xFF);
    wmf[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
  };
  put16(6, 1000);
  put16(8, 500);
  put16(10, 1000 + 2880);
  put16(12, 500 + 720);
  put16(14, 1440);
  int checksum = 0;
  for (int i = 0; i < 20; i += 2)
    checksum ^= static_cast<uint8_t>(wmf[i]) | static_cast<uint8_t>(wmf[i + 1]) << 8;
  put16(20, checksum);
  const QImage image = Decode(wmf, "wmf");
  ASSERT_EQ(image.size(), QSize(192, 48));
  EXPECT_TRUE(Near(image.pixel(1, 1), kGold));
  EXPECT_TRUE(Near(image.pixel(46, 22), kGold));
  EXPECT_EQ(qAlpha(image.pixel(50, 30)), 0);

  // The same box with the window origin left at 0: the drawing at the box's
  // coordinates is what the frame shows.
  wmf = Wmf([](TWmfWriter& w) { w.FillRect(QRect(1000, 500, 720, 360), kGold); });
  put16(6, 1000);
  put16(8, 500);
  put16(10, 1000 + 2880);
  put16(12, 500 + 720);
  put16(14, 1440);
  checksum = 0;
  for (int i = 0; i < 20; i += 2)
    checksum ^= static_cast<uint8_t>(wmf[i]) | static_cast<uint8_t>(wmf[i + 1]) << 8;
  put16(20, checksum);
  const QImage atBox = Decode(wmf, "wmf");
  ASSERT_EQ(atBox.size(), QSize(192, 48));
  EXPECT_TRUE(Near(atBox.pixel(1, 1), kGold));
  EXPECT_TRUE(Near(atBox.pixel(46, 22), kGold));
  EXPECT_EQ(qAlpha(atBox.pixel(50, 30)), 0);

  // An EMF's frame rectangle, in hundredths of a millimetre: 468 x 60 pixels.
  const QImage emf = Decode(Emf([](TEmfWriter&) {}, 468, 60), "emf");
  EXPECT_EQ(emf.size(), QSize(468, 60));
  EXPECT_EQ(qAlpha(emf.pixel(200, 30)), 0);
}

TEST(Metafile, LoadPictureChoosesTheHelperByExtension) {
  QTemporaryDir dir;
  for (const char* name : {"banner.WMF", "banner.emf"}) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QString(name).endsWith("WMF") ? Wmf(DrawBanner) : Emf(DrawBanner));
    file.close();
    const TPicture picture = LoadPicture(file.fileName().toStdString());
    EXPECT_EQ(picture.format, QString(name).endsWith("WMF") ? "wmf" : "emf");
    EXPECT_EQ(picture.image.size(), QSize(200, 50));
    EXPECT_FALSE(picture.IsAnimated());
  }
}

TEST(Metafile, AnEmfDescriptionOutsideItsHeaderIsIgnored) {
  // Found by the EMF fuzz target: 115 bytes whose header places an empty
  // description at its end. The EMF decoder reads such a description as text
  // up to a zero, past the end of the buffer (AddressSanitizer builds of the
  // helper stop there); the description is dropped and the file fails on its
  // records.
  static const char kStrayDescription[] =
      "\x01\x00\x00\x00\x6c\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
      "\xd3\x01\x00\x00\x3b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
      "\x5f\x30\x00\x00\x34\x06\x00\x00\x20\x45\x4d\x46\x00\x00\x01\x00"
      "\xc0\x08\x00\x00\x2a\x00\x00\x00\x04\x00\x00\x00\x00\x00\x00\x00"
      "\x6c\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\xd3\x01\x00\x00"
      "\x3b\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x5f\x30\x00\x00"
      "\x34\x06\x00\x00\x00\x01\x00\x05\x00\x00\x00\x20\xd4\xff\xff\xff"
      "\xdf\x45\x4d";
  const QByteArray stray(kStrayDescription, sizeof kStrayDescription - 1);
  ASSERT_EQ(stray.size(), 115);
  EXPECT_EQ(ErrorOf(stray, "emf"), "EMF picture is not valid (its records cannot be played)");
  // A banner with such a description is drawn all the same.
  QByteArray emf = Emf(DrawBanner);
  emf[64] = 108;  // offDescription: the header's end; nDescription stays 0
  ExpectBanner(Decode(emf, "emf"));
}

TEST(Metafile, BadDataIsAnInvalidGraphic) {
  EXPECT_EQ(ErrorOf("", "emf"), "EMF picture is not valid (no metafile header)");
  EXPECT_EQ(ErrorOf("GIF89a but named emf", "emf"),
            "EMF picture is not valid (no metafile header)");
  EXPECT_NE(ErrorOf("GIF89a but named wmf", "wmf").find("WMF picture is not valid"),
            std::string::npos);
  // Half a banner: the records stop in the middle.
  const QByteArray wmf = Wmf(DrawBanner);
  EXPECT_NE(ErrorOf(wmf.left(wmf.size() / 2), "wmf"), "no error");
  // A header announcing a record of 3 GiB in a file of a few hundred bytes
  // (the WMF decoder would allocate that much before reading a record).
  QByteArray huge = Wmf(DrawBanner);
  huge[22 + 12] = 0;
  huge[22 + 13] = 0;
  huge[22 + 14] = 0;
  huge[22 + 15] = 0x60;
  EXPECT_EQ(ErrorOf(huge, "wmf"), "WMF picture is not valid (a record larger than the file)");
  // A frame far larger than any banner is refused before it is drawn.
  EXPECT_EQ(ErrorOf(Emf([](TEmfWriter&) {}, 20000, 60), "emf"),
            "EMF picture is too large (20000 x 60 pixels)");
}

TEST(MetafileLimits, AllocationWithoutEndEndsAtTheMemoryLimit) {
  // Every SaveDC record makes the EMF decoder copy its drawing state and
  // keep it; two million of them want far more than the limit.
  const QByteArray emf = Emf([](TEmfWriter& w) {
    for (int i = 0; i < 2000000; ++i) w.Record(33 /* EMR_SAVEDC */, {});
  });
  // A wall-clock limit far off, so that a busy machine cannot end it first.
  TMetafileLimits limits;
  limits.wallSeconds = 120;
  EXPECT_EQ(ErrorOf(emf, "emf", MetafileHelperPath(), limits),
            "EMF picture could not be decoded (the decoder ran out of its 256 MiB of memory)");
}

TEST(MetafileLimits, EndlessWorkEndsAtTheProcessorTimeLimit) {
  // Each SaveDC record makes the WMF decoder walk every state saved before
  // it: 300,000 of them take minutes.
  const QByteArray wmf = Wmf([](TWmfWriter& w) {
    for (int i = 0; i < 300000; ++i) w.Record(0x001E /* META_SAVEDC */, {});
  });
  // The processor-time limit at 1 s and the wall clock far off, so that a
  // busy machine cannot end it by the wall clock first.
  TMetafileLimits limits;
  limits.cpuSeconds = 1;
  limits.wallSeconds = 120;
  EXPECT_EQ(ErrorOf(wmf, "wmf", MetafileHelperPath(), limits),
            "WMF picture could not be decoded (the decoder used up its 1 s of processor time)");
}

TEST(MetafileLimits, ACrashOfTheDecoderIsAnInvalidGraphic) {
  // Found by the WMF fuzz target: 214 bytes whose font is 26,957 units high
  // and 26,478 wide. The decoder asks for a glyph bitmap of hundreds of
  // megabytes, does not check that it got it, and writes through the null
  // pointer (with memory enough, it takes half a minute and 450 MB instead).
  static const char kHugeFont[] =
      "\xd7\xcd\xc6\x9a\x00\x00\x00\x00\x00\x00\xd4\x01\x3c\x00\x60\x00"
      "\x00\x00\x00\x00\x99\x56\x01\x00\x09\x00\x00\x03\x60\x1f\x00\x00"
      "\x02\x00\x1c\x00\x00\x00\x00\x00\x05\x00\x00\x00\x0b\x02\x00\x00"
      "\x00\x00\x05\x00\x00\x00\x0c\x02\x3c\x00\xd4\x01\x04\x00\x00\x00"
      "\x02\x01\x01\x00\x04\x00\x00\x00\x2e\x76\x18\x00\x08\x00\x00\x00"
      "\xfa\x02\x05\x00\x00\x00\x00\x00\x00\x00\x00\x00\x04\x00\x00\x00"
      "\x2d\x01\x00\x00\x1c\x00\x00\x00\xfb\x02\x4d\x69\x6e\x67\x28\x66"
      "\x6f\x72\x20\x49\x53\x4f\x31\x30\x36\x34\x36\x29\x65\x56\x00\x6a"
      "\x75\x61\x44\x53\x61\x6e\x73\x00\x00\x00\x00\x00\x00\x00\x00\x00"
      "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x04\x00\x00\x00"
      "\x2d\x01\x01\x00\x05\x00\x00\x00\x09\x02\xff\xff\xff\x00\x0d\x00"
      "\x00\x00\x21\x05\x0e\x00\x4c\x75\x67\x61\x74\x69\x6d\x20\x53\x6f"
      "\x7a\x6c\x28\x6b\x75\x00\x78\x00\x04\x00\x00\x00\xf0\x01\x01\x00"
      "\x03\x00\x00\x00\x00\x00";
  const QByteArray wmf(kHugeFont, sizeof kHugeFont - 1);
  ASSERT_EQ(wmf.size(), 214);
  EXPECT_EQ(ErrorOf(wmf, "wmf"),
            "WMF picture could not be decoded (the decoder crashed with signal 11, "
            "Segmentation fault)");
}

class MetafileHelperStandIn : public ::testing::Test {
 protected:
  // A shell script in the helper's place.
  std::string Script(const char* body) {
    const std::string path = dir_.filePath("helper").toStdString();
    QFile file(QString::fromStdString(path));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("#!/bin/sh\n") + body + "\n");
    file.close();
    ::chmod(path.c_str(), 0755);
    return path;
  }
  QTemporaryDir dir_;
};

TEST_F(MetafileHelperStandIn, AHelperThatHangsIsKilledAtTheWallClockLimit) {
  TMetafileLimits limits;
  limits.wallSeconds = 1;
  EXPECT_EQ(ErrorOf(Wmf(DrawBanner), "wmf", Script("exec sleep 60"), limits),
            "WMF picture could not be decoded (the decoder took longer than 1 s)");
  // One that closes its result and goes on is ended all the same.
  EXPECT_EQ(ErrorOf(Wmf(DrawBanner), "wmf", Script("exec 3>&-; exec sleep 60"), limits),
            "WMF picture could not be decoded (the decoder took longer than 1 s)");
}

// Nothing of this process's environment reaches the helper.
TEST_F(MetafileHelperStandIn, TheHelperStartsWithAnEmptyEnvironment) {
  ASSERT_EQ(setenv("LUGATIM_SECRET", "token", 1), 0);
  // The shell adds only PWD of its own.
  EXPECT_EQ(
      ErrorOf(Emf(DrawBanner), "emf", Script("printf 'E%s' \"$(env | grep -v '^PWD=')\" >&3")), "");
  unsetenv("LUGATIM_SECRET");
}

// The real helper limits itself: no file written, few descriptors, no
// privileges gained, no core.
TEST(MetafileHelper, RunsUnderItsLimits) {
  FILE* out = ::popen((MetafileHelperPath() + " limits").c_str(), "r");
  ASSERT_NE(out, nullptr);
  std::string text;
  char buffer[256];
  while (const size_t n = std::fread(buffer, 1, sizeof buffer, out)) text.append(buffer, n);
  EXPECT_EQ(::pclose(out), 0);
  EXPECT_EQ(text, "core=0\nfsize=0\nnofile=32\nno_new_privs=1\n");
}

TEST_F(MetafileHelperStandIn, CrashesGarbageAndAMissingHelperAreInvalidGraphics) {
  EXPECT_EQ(ErrorOf(Emf(DrawBanner), "emf", Script("ulimit -c 0; kill -SEGV $$")),
            "EMF picture could not be decoded (the decoder crashed with signal 11, "
            "Segmentation fault)");
  EXPECT_EQ(ErrorOf(Emf(DrawBanner), "emf", Script("exit 7")),
            "EMF picture could not be decoded (the decoder ended with status 7)");
  EXPECT_EQ(ErrorOf(Emf(DrawBanner), "emf", Script("printf 'P\\001\\000\\000\\000' >&3")),
            "EMF picture could not be decoded (the decoder returned no picture)");
  EXPECT_EQ(ErrorOf(Emf(DrawBanner), "emf", Script("printf 'EEMF is broken' >&3")),
            "EMF is broken");
  // The helper reads the whole file from its standard input.
  EXPECT_EQ(
      ErrorOf("0123456789", "emf", Script("test \"$(cat)\" = 0123456789 && printf 'Egot it' >&3")),
      "got it");
  EXPECT_EQ(ErrorOf(Emf(DrawBanner), "emf", dir_.filePath("absent").toStdString()),
            "EMF picture could not be decoded (the decoder " +
                dir_.filePath("absent").toStdString() +
                " cannot be started: No such file or directory)");
}
