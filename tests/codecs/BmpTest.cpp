#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <cstdint>
#include <string>
#include <vector>

#include "codecs/Bmp.h"
#include "codecs/CodecError.h"

using lugatim::codecs::DecodeBmp;
using lugatim::codecs::EInvalidGraphic;
using lugatim::codecs::EncodeBmp;

namespace {

// Builds a BMP file with a 40-byte header from raw rows given top row first.
struct BmpBuilder {
  int width = 0, height = 0, bpp = 8;
  bool topDown = false;
  uint32_t compression = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  std::vector<uint32_t> masks;    // written after the header (bit fields)
  std::vector<std::string> rows;  // unpadded bytes of each row, top first

  static void Put16(std::string& s, int v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>((v >> 8) & 0xFF);
  }
  static void Put32(std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  std::string Build() const {
    const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
    const uint32_t offset = static_cast<uint32_t>(14 + 40 + 4 * masks.size() + 4 * palette.size());
    std::string s = "BM";
    Put32(s, static_cast<uint32_t>(offset + stride * rows.size()));
    Put32(s, 0);
    Put32(s, offset);
    Put32(s, 40);
    Put32(s, static_cast<uint32_t>(width));
    Put32(s, static_cast<uint32_t>(topDown ? -height : height));
    Put16(s, 1);
    Put16(s, bpp);
    Put32(s, compression);
    Put32(s, 0);
    Put32(s, 0);
    Put32(s, 0);
    Put32(s, static_cast<uint32_t>(palette.size()));
    Put32(s, 0);
    for (uint32_t m : masks) Put32(s, m);
    for (uint32_t c : palette) Put32(s, c);
    for (size_t i = 0; i < rows.size(); ++i) {
      const std::string& row = topDown ? rows[i] : rows[rows.size() - 1 - i];
      std::string padded = row;
      padded.resize(stride, '\0');
      s += padded;
    }
    return s;
  }
};

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

std::string Message(const std::string& file) {
  try {
    DecodeBmp(file);
  } catch (const EInvalidGraphic& e) {
    return e.Message();
  }
  return "no error";
}

}  // namespace

TEST(BmpDecode, EightBitPaletteBottomUp) {
  BmpBuilder b;
  b.width = 3, b.height = 2, b.bpp = 8;
  b.palette = {0xFFFFFF, 0xFF0000, 0x00FF00};
  b.rows = {Bytes({0, 1, 2}), Bytes({2, 2, 1})};
  const QImage image = DecodeBmp(b.Build());
  ASSERT_EQ(image.size(), QSize(3, 2));
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(image.pixel(1, 0), qRgb(255, 0, 0));
  EXPECT_EQ(image.pixel(2, 0), qRgb(0, 255, 0));
  EXPECT_EQ(image.pixel(2, 1), qRgb(255, 0, 0));
}

TEST(BmpDecode, IndexBeyondTheColourTableIsBlack) {
  BmpBuilder b;
  b.width = 2, b.height = 1, b.bpp = 8;
  b.palette = {0x123456};
  b.rows = {Bytes({0, 9})};
  const QImage image = DecodeBmp(b.Build());
  EXPECT_EQ(image.pixel(0, 0), qRgb(0x12, 0x34, 0x56));
  EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0));
}

TEST(BmpDecode, OneAndFourBitsTopDown) {
  BmpBuilder one;
  one.width = 10, one.height = 2, one.bpp = 1, one.topDown = true;
  one.palette = {0x000000, 0xFFFFFF};
  one.rows = {Bytes({0b10100000, 0b01000000}), Bytes({0x00, 0x00})};
  const QImage a = DecodeBmp(one.Build());
  EXPECT_EQ(a.pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(a.pixel(1, 0), qRgb(0, 0, 0));
  EXPECT_EQ(a.pixel(2, 0), qRgb(255, 255, 255));
  EXPECT_EQ(a.pixel(9, 0), qRgb(255, 255, 255));
  EXPECT_EQ(a.pixel(9, 1), qRgb(0, 0, 0));

  BmpBuilder four;
  four.width = 3, four.height = 1, four.bpp = 4, four.topDown = true;
  four.palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
  four.rows = {Bytes({0x12, 0x30})};
  const QImage b = DecodeBmp(four.Build());
  EXPECT_EQ(b.pixel(0, 0), qRgb(0, 0, 255));
  EXPECT_EQ(b.pixel(1, 0), qRgb(0, 255, 0));
  EXPECT_EQ(b.pixel(2, 0), qRgb(255, 0, 0));
}

TEST(BmpDecode, TwentyFourAndThirtyTwoBits) {
  BmpBuilder b24;
  b24.width = 2, b24.height = 2, b24.bpp = 24;
  b24.rows = {Bytes({1, 2, 3, 4, 5, 6}), Bytes({7, 8, 9, 10, 11, 12})};
  const QImage a = DecodeBmp(b24.Build());
  EXPECT_EQ(a.pixel(0, 0), qRgb(3, 2, 1));
  EXPECT_EQ(a.pixel(1, 1), qRgb(12, 11, 10));

  BmpBuilder b32;
  b32.width = 1, b32.height = 1, b32.bpp = 32;
  b32.rows = {Bytes({10, 20, 30, 0})};
  const QImage b = DecodeBmp(b32.Build());
  EXPECT_EQ(b.pixel(0, 0), qRgb(30, 20, 10));  // the fourth byte is not alpha
}

TEST(BmpDecode, BitFieldsOfSixteenAndThirtyTwoBits) {
  BmpBuilder b16;
  b16.width = 1, b16.height = 1, b16.bpp = 16, b16.compression = 3;
  b16.masks = {0xF800, 0x07E0, 0x001F};
  b16.rows = {Bytes({0xE0, 0x07})};  // pure green in 5-6-5
  EXPECT_EQ(DecodeBmp(b16.Build()).pixel(0, 0), qRgb(0, 255, 0));

  BmpBuilder plain16;
  plain16.width = 1, plain16.height = 1, plain16.bpp = 16;
  plain16.rows = {Bytes({0x00, 0x7C})};  // pure red in 5-5-5
  EXPECT_EQ(DecodeBmp(plain16.Build()).pixel(0, 0), qRgb(255, 0, 0));

  BmpBuilder b32;
  b32.width = 1, b32.height = 1, b32.bpp = 32, b32.compression = 3;
  b32.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // R G B in byte order
  b32.rows = {Bytes({10, 20, 30, 0})};
  EXPECT_EQ(DecodeBmp(b32.Build()).pixel(0, 0), qRgb(10, 20, 30));
}

TEST(BmpDecode, ReadsWhatQtWrites) {
  QImage source(5, 4, QImage::Format_RGB32);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) source.setPixel(x, y, qRgb(x * 50, y * 60, 7));
  QByteArray file;
  QBuffer buffer(&file);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(source.save(&buffer, "BMP"));
  const QImage decoded = DecodeBmp(std::string(file.constData(), static_cast<size_t>(file.size())));
  EXPECT_EQ(decoded, source);
}

TEST(BmpDecode, BadHeadersFailWithReason) {
  BmpBuilder good;
  good.width = 2, good.height = 2, good.bpp = 8;
  good.palette = {0, 0xFFFFFF};
  good.rows = {Bytes({0, 1}), Bytes({1, 0})};
  const std::string file = good.Build();

  EXPECT_EQ(Message("BM"), "Bitmap image is not valid (file too short)");
  std::string noSignature = file;
  noSignature[0] = 'X';
  EXPECT_EQ(Message(noSignature), "Bitmap image is not valid (no BM signature)");
  std::string badHeader = file;
  badHeader[14] = 20;
  EXPECT_EQ(Message(badHeader), "Bitmap image is not valid (unknown header size)");
  std::string zeroWidth = file;
  zeroWidth[18] = 0;
  EXPECT_EQ(Message(zeroWidth), "Bitmap image is not valid (empty or negative size)");
  std::string oddDepth = file;
  oddDepth[28] = 7;
  EXPECT_EQ(Message(oddDepth), "Bitmap image is not valid (unsupported bits per pixel)");
  std::string rle = file;
  rle[30] = 1;
  EXPECT_EQ(Message(rle), "Bitmap image is not valid (unsupported compression)");
  std::string bigTable = file;
  bigTable[46] = 0, bigTable[47] = 2;  // 512 colours for 8 bits
  EXPECT_EQ(Message(bigTable),
            "Bitmap image is not valid (colour table larger than the pixel depth allows)");
  EXPECT_EQ(Message(file.substr(0, file.size() - 1)),
            "Bitmap image is not valid (pixel data too short)");
  std::string hugeOffset = file;
  hugeOffset[13] = 0x7F;
  EXPECT_EQ(Message(hugeOffset), "Bitmap image is not valid (pixel data offset out of range)");
}

TEST(BmpEncode, EightBitFileHasExactlyItsColourTable) {
  QImage image(38, 27, QImage::Format_Indexed8);
  QVector<QRgb> table;
  for (int i = 0; i < 126; ++i) table.push_back(qRgb(i, 255 - i, i * 2));
  image.setColorTable(table);
  for (int y = 0; y < 27; ++y)
    for (int x = 0; x < 38; ++x) image.setPixel(x, y, static_cast<uint>((x + y) % 126));
  const QByteArray file = EncodeBmp(image, 8);
  EXPECT_EQ(file.size(), 1638);
  const QImage decoded = DecodeBmp(std::string(file.constData(), static_cast<size_t>(file.size())));
  EXPECT_EQ(decoded, image.convertToFormat(QImage::Format_RGB32));
}

TEST(BmpEncode, TwentyFourBitRoundTrip) {
  QImage image(7, 3, QImage::Format_RGB32);
  image.fill(qRgb(1, 2, 3));
  image.setPixel(6, 2, qRgb(200, 100, 50));
  const QByteArray file = EncodeBmp(image, 24);
  EXPECT_EQ(DecodeBmp(std::string(file.constData(), static_cast<size_t>(file.size()))), image);
  EXPECT_THROW(EncodeBmp(image, 8), EInvalidGraphic);
  EXPECT_THROW(EncodeBmp(image, 4), EInvalidGraphic);
}
