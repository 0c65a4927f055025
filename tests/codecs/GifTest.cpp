#include <gtest/gtest.h>

#include <QImage>
#include <random>

#include "codecs/CodecError.h"
#include "codecs/Gif.h"
#include "codecs/GifEncoder.h"

using namespace lugatim::codecs;

namespace {

QImage Indexed(int w, int h, const QVector<QRgb>& table) {
  QImage image(w, h, QImage::Format_Indexed8);
  image.setColorTable(table);
  image.fill(0);
  return image;
}

}  // namespace

TEST(GifRoundTrip, SingleFrameIsExact) {
  QImage image = Indexed(9, 5, {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(1, 2, 3)});
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 9; ++x) image.setPixel(x, y, static_cast<uint>((x * y) % 3));
  const QByteArray file = EncodeGif({{image}}, {});
  ASSERT_TRUE(file.startsWith("GIF89a"));
  const QImage decoded = DecodeGifFirstFrame(std::string_view(file.constData(), file.size()));
  EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32),
            image.convertToFormat(QImage::Format_RGB32));
}

TEST(GifRoundTrip, NoisyImageBeyondTheFullCodeTable) {
  // 256 colours of noise fill the 4096-entry table many times over.
  QVector<QRgb> table;
  for (int i = 0; i < 256; ++i) table.push_back(qRgb(i, (i * 7) & 255, (i * 13) & 255));
  QImage image = Indexed(300, 200, table);
  std::mt19937 random(42);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x) image.setPixel(x, y, random() % 256);
  const QByteArray file = EncodeGif({{image}}, {});
  const QImage decoded = DecodeGifFirstFrame(std::string_view(file.constData(), file.size()));
  EXPECT_EQ(decoded.convertToFormat(QImage::Format_RGB32),
            image.convertToFormat(QImage::Format_RGB32));
}

TEST(GifRoundTrip, FramesDelaysLoopAndTransparency) {
  const QVector<QRgb> table = {qRgb(10, 20, 30), qRgb(200, 0, 0), qRgb(0, 0, 0)};
  QImage first = Indexed(4, 2, table);
  first.setPixel(0, 0, 1);
  first.setPixel(3, 1, 2);  // index 2 is transparent in the first frame
  QImage second = Indexed(4, 2, {qRgb(0, 255, 0), qRgb(0, 0, 255)});  // local colour table
  second.fill(1);
  TGifEncodeFrame f1{first};
  f1.delayMs = 120;
  f1.transparentIndex = 2;
  TGifEncodeFrame f2{second};
  f2.delayMs = 2500;
  TGifEncodeOptions options;
  options.loopCount = 3;
  const QByteArray file = EncodeGif({f1, f2}, options);

  const TGifAnimation animation = DecodeGif(file.constData(), static_cast<size_t>(file.size()));
  ASSERT_EQ(animation.frames.size(), 2u);
  EXPECT_EQ(animation.frames[0].delayMs, 120);
  EXPECT_EQ(animation.frames[1].delayMs, 2500);
  EXPECT_EQ(animation.loopCount, 3);
  EXPECT_EQ(animation.frames[0].image.pixel(0, 0), qRgb(200, 0, 0));
  EXPECT_EQ(qAlpha(animation.frames[0].image.pixel(3, 1)), 0);
  EXPECT_EQ(animation.frames[1].image.pixel(2, 1), qRgb(0, 0, 255));
}

TEST(GifRoundTrip, LoopForeverAndStillFiles) {
  QImage image = Indexed(2, 2, {qRgb(0, 0, 0), qRgb(255, 255, 255)});
  TGifEncodeOptions loopForever;
  loopForever.loopCount = 0;
  const QByteArray animated = EncodeGif({{image}, {image}}, loopForever);
  EXPECT_EQ(DecodeGif(animated.constData(), static_cast<size_t>(animated.size())).loopCount, 0);
  const QByteArray still = EncodeGif({{image}}, loopForever);
  const TGifAnimation one = DecodeGif(still.constData(), static_cast<size_t>(still.size()));
  EXPECT_EQ(one.frames.size(), 1u);
  EXPECT_EQ(one.loopCount, -1);
}

TEST(GifDecode, InvalidDataRaises) {
  EXPECT_THROW(DecodeGifFirstFrame(std::string_view("not a gif at all")), EInvalidGraphic);
  EXPECT_THROW(DecodeGifFirstFrame(std::string_view("GIF89a\x01")), EInvalidGraphic);
  EXPECT_THROW(DecodeGif("", 0), EInvalidGraphic);
}

TEST(GifEncode, RejectsWhatItCannotWrite) {
  EXPECT_THROW(EncodeGif({}, {}), EInvalidGraphic);
  EXPECT_THROW(EncodeGif({{QImage(2, 2, QImage::Format_RGB32)}}, {}), EInvalidGraphic);
}

TEST(GifQuantize, FewColoursStayExactAndTransparencyGetsItsIndex) {
  QImage argb(3, 1, QImage::Format_ARGB32);
  argb.setPixel(0, 0, qRgba(255, 0, 0, 255));
  argb.setPixel(1, 0, qRgba(0, 0, 0, 0));
  argb.setPixel(2, 0, qRgba(0, 128, 0, 255));
  int transparent = -2;
  const QImage indexed = ToIndexed8(argb, &transparent);
  ASSERT_EQ(indexed.format(), QImage::Format_Indexed8);
  ASSERT_GE(transparent, 0);
  EXPECT_EQ(indexed.pixelIndex(1, 0), transparent);
  EXPECT_EQ(indexed.color(indexed.pixelIndex(0, 0)), qRgb(255, 0, 0));
  EXPECT_EQ(indexed.color(indexed.pixelIndex(2, 0)), qRgb(0, 128, 0));
}

TEST(GifQuantize, ManyColoursReduceToAtMost256Near) {
  QImage argb(256, 64, QImage::Format_ARGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 256; ++x) argb.setPixel(x, y, qRgb(x, y * 4, 255 - x));
  int transparent = 0;
  const QImage indexed = ToIndexed8(argb, &transparent);
  EXPECT_EQ(transparent, -1);
  EXPECT_LE(indexed.colorCount(), 256);
  const QRgb got = indexed.color(indexed.pixelIndex(100, 30));
  EXPECT_NEAR(qRed(got), 100, 24);
  EXPECT_NEAR(qGreen(got), 120, 24);
}

namespace {

// 40 one-pixel frames, each at its own place, on a screen of side x side.
QByteArray TinyFramesOnAHugeScreen(int side, int frames = 40) {
  std::vector<TGifEncodeFrame> all;
  for (int i = 0; i < frames; ++i) {
    TGifEncodeFrame frame;
    frame.image = Indexed(1, 1, {qRgb(200, 10, 10), qRgb(0, 0, 0)});
    frame.left = i * 7;
    frame.top = i;
    frame.delayMs = 100;
    all.push_back(frame);
  }
  TGifEncodeOptions options;
  options.width = options.height = side;
  return EncodeGif(all, options);
}

}  // namespace

// The canvas bounds what each frame takes; the budget bounds all frames.
TEST(GifBudget, FramesAreComposedOntoTheCanvasAndCountedAgainstTheBudget) {
  const QByteArray huge = TinyFramesOnAHugeScreen(4000);
  ASSERT_LT(huge.size(), 2000);
  const std::string data(huge.constData(), static_cast<size_t>(huge.size()));
  const std::string fitted = FitGifCanvas(data, QSize(468, 60));
  ASSERT_EQ(fitted.size(), data.size());
  const TGifAnimation animation = DecodeGif(fitted.data(), fitted.size(), 64LL << 20);
  ASSERT_EQ(animation.frames.size(), 40u);
  for (const TGifFrame& frame : animation.frames) EXPECT_EQ(frame.image.size(), QSize(468, 60));
  // What lies on the canvas is drawn as before; frames beyond it are clipped.
  EXPECT_EQ(QColor(animation.frames[3].image.pixel(21, 3)), QColor(200, 10, 10));
  EXPECT_EQ(animation.frames.back().image.size(), QSize(468, 60));
  // On its own screen each frame takes 64 MB: the first already passes the budget.
  EXPECT_THROW(DecodeGif(data.data(), data.size(), 64LL << 20), EInvalidGraphic);
  // Budget for 10 frames of the canvas: the 11th fails the whole picture.
  EXPECT_THROW(DecodeGif(fitted.data(), fitted.size(), 10LL * 468 * 60 * 4), EInvalidGraphic);
  EXPECT_EQ(DecodeGif(fitted.data(), fitted.size(), 40LL * 468 * 60 * 4).frames.size(), 40u);
}

TEST(GifBudget, FittingTheCanvasChangesOnlyTheScreenOfALargerPicture) {
  const QByteArray small = TinyFramesOnAHugeScreen(30, 3);
  const std::string data(small.constData(), static_cast<size_t>(small.size()));
  EXPECT_EQ(FitGifCanvas(data, QSize(468, 60)), data);  // 30 x 30 fits
  std::string fitted = FitGifCanvas(data, QSize(20, 10));
  EXPECT_EQ(static_cast<unsigned char>(fitted[6]), 20);
  EXPECT_EQ(static_cast<unsigned char>(fitted[8]), 10);
  fitted[6] = data[6];
  fitted[8] = data[8];
  EXPECT_EQ(fitted, data);
  // A screen of 0 takes the first frame's extent, fitted as well.
  QImage wide = Indexed(900, 2, {qRgb(1, 2, 3)});
  const QByteArray zero = EncodeGif({{wide}}, {});
  std::string noScreen(zero.constData(), static_cast<size_t>(zero.size()));
  noScreen[6] = noScreen[7] = noScreen[8] = noScreen[9] = 0;
  const std::string fittedZero = FitGifCanvas(noScreen, QSize(468, 60));
  EXPECT_EQ(DecodeGifFirstFrame(fittedZero).size(), QSize(468, 2));
  // Not a GIF, or too short: unchanged.
  EXPECT_EQ(FitGifCanvas("GIF89a", QSize(1, 1)), "GIF89a");
  EXPECT_EQ(FitGifCanvas("not a gif at all", QSize(1, 1)), "not a gif at all");
}
