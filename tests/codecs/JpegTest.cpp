#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <cstdlib>

#include "codecs/CodecError.h"
#include "codecs/Jpeg.h"

using lugatim::codecs::DecodeJpeg;
using lugatim::codecs::EInvalidGraphic;
using lugatim::codecs::EncodeJpeg;

namespace {

QImage Gradient(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 128));
  return image;
}

int MaxChannelDifference(const QImage& a, const QImage& b) {
  int worst = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                        std::abs(qBlue(p) - qBlue(q))});
    }
  return worst;
}

std::string_view View(const QByteArray& bytes) {
  return std::string_view(bytes.constData(), static_cast<size_t>(bytes.size()));
}

}  // namespace

TEST(JpegDecode, RoundTripKeepsSizeAndColours) {
  const QImage source = Gradient(61, 37);
  const QByteArray file = EncodeJpeg(source, 95);
  ASSERT_GT(file.size(), 100);
  const QImage decoded = DecodeJpeg(View(file));
  ASSERT_EQ(decoded.size(), source.size());
  EXPECT_EQ(decoded.format(), QImage::Format_RGB32);
  EXPECT_LE(MaxChannelDifference(source, decoded), 12);
  EXPECT_EQ(qAlpha(decoded.pixel(0, 0)), 255);
}

TEST(JpegDecode, GreyscaleFileBecomesGreyRgb) {
  QImage grey(20, 10, QImage::Format_Grayscale8);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) grey.scanLine(y)[x] = static_cast<uchar>(x * 12);
  QByteArray file;
  QBuffer buffer(&file);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(grey.save(&buffer, "JPG", 100));
  const QImage decoded = DecodeJpeg(View(file));
  ASSERT_EQ(decoded.size(), QSize(20, 10));
  const QRgb p = decoded.pixel(15, 5);
  EXPECT_EQ(qRed(p), qGreen(p));
  EXPECT_EQ(qGreen(p), qBlue(p));
  EXPECT_NEAR(qRed(p), 180, 6);
}

TEST(JpegDecode, NotAJpegRaisesLibjpegMessage) {
  try {
    DecodeJpeg(std::string_view("BM this is a bitmap, not a JPEG"));
    FAIL() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "Not a JPEG file: starts with 0x42 0x4d");
  }
}

TEST(JpegDecode, EmptyAndTruncatedHeadersRaise) {
  EXPECT_THROW(DecodeJpeg(std::string_view()), EInvalidGraphic);
  const QByteArray file = EncodeJpeg(Gradient(32, 32), 90);
  // The start of image marker and part of the tables only.
  EXPECT_THROW(DecodeJpeg(View(file.left(40))), EInvalidGraphic);
}

TEST(JpegDecode, TruncatedScanStillGivesTheWholePicture) {
  const QByteArray file = EncodeJpeg(Gradient(64, 64), 90);
  const QImage decoded = DecodeJpeg(View(file.left(file.size() * 2 / 3)));
  EXPECT_EQ(decoded.size(), QSize(64, 64));
}

TEST(JpegDecode, CorruptTablesRaiseInsteadOfEndingTheProcess) {
  QByteArray file = EncodeJpeg(Gradient(16, 16), 90);
  const int sof = file.indexOf("\xFF\xC0");
  ASSERT_GT(sof, 0);
  file[sof + 9] = 7;  // component count 7 in a baseline frame header
  EXPECT_THROW(DecodeJpeg(View(file)), EInvalidGraphic);
}

namespace {

// A frame header declaring w x h pixels over the scan of a small picture.
QByteArray WithDeclaredSize(QByteArray file, int w, int h) {
  const int sof = file.indexOf("\xFF\xC0");
  if (sof < 0) return QByteArray();
  file[sof + 5] = static_cast<char>(h >> 8);
  file[sof + 6] = static_cast<char>(h & 0xFF);
  file[sof + 7] = static_cast<char>(w >> 8);
  file[sof + 8] = static_cast<char>(w & 0xFF);
  return file;
}

// Restores Qt's image allocation limit when a test has changed it.
struct AllocationLimit {
  const int saved = QImageReader::allocationLimit();
  explicit AllocationLimit(int mb) { QImageReader::setAllocationLimit(mb); }
  ~AllocationLimit() { QImageReader::setAllocationLimit(saved); }
};

}  // namespace

TEST(JpegDecode, HugeDeclaredSizeRaisesBeforeAllocating) {
  // 300 bytes that declare 26985 x 27241 pixels: without the size check the
  // decoder would allocate 2.9 GB for them.
  const QByteArray file = WithDeclaredSize(EncodeJpeg(Gradient(16, 16), 90), 26985, 27241);
  ASSERT_FALSE(file.isEmpty());
  try {
    DecodeJpeg(View(file));
    FAIL() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_EQ(e.Message(), "JPEG image too large");
  }
}

TEST(JpegDecode, SizeLimitIsQtImageAllocationLimit) {
  const AllocationLimit oneMiB(1);
  const QByteArray small = EncodeJpeg(Gradient(16, 16), 90);
  // 512 x 512 pixels of four bytes are exactly 1 MiB: allowed (the scan
  // covers only the top; libjpeg fills the rest).
  EXPECT_EQ(DecodeJpeg(View(WithDeclaredSize(small, 512, 512))).size(), QSize(512, 512));
  EXPECT_THROW(DecodeJpeg(View(WithDeclaredSize(small, 512, 513))), EInvalidGraphic);
  EXPECT_THROW(DecodeJpeg(View(WithDeclaredSize(small, 1025, 256))), EInvalidGraphic);
}

TEST(JpegEncode, EmptyImageRaises) {
  EXPECT_THROW(EncodeJpeg(QImage(), 90), EInvalidGraphic);
}
