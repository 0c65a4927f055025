// The flag button and the image control on screens of a larger pixel ratio:
// the picture of the fitting scale, drawn pixel for pixel at its logical size.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QMovie>
#include <QPainter>
#include <QTemporaryDir>

#include "base/Exception.h"
#include "codecs/Bmp.h"
#include "codecs/GifEncoder.h"
#include "codecs/NamedFormat.h"
#include "widgets/ImageControl.h"
#include "widgets/SpeedButton.h"

using namespace lugatim;
using namespace lugatim::widgets;

namespace {

const QRgb kGrey = qRgb(0xc0, 0xc0, 0xc0);

// A glyph on grey whose every pixel of the flag tells where it is.
QImage Glyph(int scale) {
  QImage image(38 * scale, 27 * scale, QImage::Format_RGB32);
  image.fill(kGrey);
  for (int y = 5 * scale; y < 23 * scale; ++y)
    for (int x = 4 * scale; x < 34 * scale; ++x) image.setPixel(x, y, qRgb(x, y, 10 * scale));
  return image;
}

QByteArray BmpOf(const QImage& image) {
  return codecs::EncodeBmp(image, 24);
}

// What the widget draws on a surface of the pixel ratio.
QImage Rendered(QWidget& widget, int ratio) {
  QImage out(widget.size() * ratio, QImage::Format_ARGB32_Premultiplied);
  out.setDevicePixelRatio(ratio);
  out.fill(Qt::transparent);
  widget.render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
  return out;
}

QByteArray GifOf(const QImage& image) {
  codecs::TGifEncodeFrame frame;
  frame.image = codecs::ToIndexed8(image, nullptr);
  return codecs::EncodeGif({frame}, {});
}

}  // namespace

TEST(ScaledGlyph, TheButtonDrawsTheGlyphOfTheRatioUnscaledAndCentred) {
  TSpeedButton button;
  button.resize(35, 20);
  button.LoadGlyph(BmpOf(Glyph(1)), {{2, BmpOf(Glyph(2))}});
  EXPECT_EQ(button.GlyphFor(1).size(), QSize(38, 27));
  EXPECT_EQ(button.GlyphFor(1.5).size(), QSize(76, 54));
  EXPECT_EQ(button.GlyphFor(2).devicePixelRatio(), 2);
  EXPECT_EQ(button.GlyphFor(3).size(), QSize(76, 54));  // the largest there is
  // 38 x 27 on 35 x 20: the glyph's flag lies wholly on the button.
  EXPECT_EQ(button.GlyphOrigin(), QPoint(-2, -4));

  for (const int ratio : {1, 2}) {
    SCOPED_TRACE(ratio);
    const QImage shown = Rendered(button, ratio);
    const QPoint origin = button.GlyphOrigin() * ratio;
    int compared = 0;
    for (int y = 0; y < shown.height(); ++y)
      for (int x = 0; x < shown.width(); ++x) {
        const QPoint g = QPoint(x, y) - origin;
        const QRgb want = Glyph(ratio).pixel(g);
        if (want == kGrey) {
          ASSERT_EQ(qAlpha(shown.pixel(x, y)), 0) << x << "," << y;  // drawn transparent
        } else {
          ASSERT_EQ(shown.pixel(x, y), want) << x << "," << y;
          ++compared;
        }
      }
    EXPECT_EQ(compared, 30 * 18 * ratio * ratio);
  }
}

TEST(ScaledGlyph, AScaledGlyphOfTheWrongSizeFailsAndKeepsTheOldGlyph) {
  TSpeedButton button;
  button.LoadGlyph(BmpOf(Glyph(1)), {{3, BmpOf(Glyph(3))}});
  EXPECT_THROW(button.LoadGlyph(BmpOf(Glyph(1)), {{2, BmpOf(Glyph(3))}}), base::Exception);
  EXPECT_THROW(button.LoadGlyph(BmpOf(Glyph(1)), {{2, QByteArray("not a bitmap")}}),
               base::Exception);
  EXPECT_EQ(button.GlyphFor(3).size(), QSize(114, 81));
  EXPECT_EQ(button.Glyph().size(), QSize(38, 27));
}

TEST(ScaledMovie, TheFileOfTheFittingScaleShowsAtItsLogicalSize) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QImage one(10, 6, QImage::Format_RGB32), two(20, 12, QImage::Format_RGB32);
  one.fill(qRgb(200, 0, 0));
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) two.setPixel(x, y, x < 10 ? qRgb(0, 200, 0) : qRgb(0, 0, 200));
  const QString file = dir.filePath("B");
  for (const auto& [name, image] : {std::pair{file, one}, std::pair{file + "@2X", two}}) {
    QFile out(name);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(GifOf(image));
  }

  TImage control;
  control.resize(10, 6);
  control.SetMovieFile(file, 1);
  EXPECT_EQ(control.CurrentFrame().size(), QSize(10, 6));
  control.SetMovieFile(file, 1.5);
  ASSERT_EQ(control.CurrentFrame().size(), QSize(20, 12));
  EXPECT_EQ(control.CurrentFrame().devicePixelRatio(), 2);
  const QImage shown = Rendered(control, 2);
  EXPECT_EQ(shown.pixel(9, 11), qRgb(0, 200, 0));
  EXPECT_EQ(shown.pixel(10, 0), qRgb(0, 0, 200));
  EXPECT_EQ(shown.pixel(19, 11), qRgb(0, 0, 200));

  QFile::remove(file + "@2X");
  control.SetMovieFile(file, 2);  // only the 1x file: it shows as before
  EXPECT_EQ(control.CurrentFrame().size(), QSize(10, 6));
  EXPECT_EQ(Rendered(control, 2).pixel(19, 11), qRgb(200, 0, 0));
}

// With its format named, a file of one frame is a still picture at its
// scale, one of several frames a movie; data of another format is not taken
// for the named one.
TEST(NamedFormat, OneFrameIsStillSeveralAreAMovieAndNothingIsGuessed) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QImage red(10, 6, QImage::Format_RGB32), blue(10, 6, QImage::Format_RGB32);
  red.fill(qRgb(200, 0, 0));
  blue.fill(qRgb(0, 0, 200));
  const auto write = [](const QString& name, const QByteArray& bytes) {
    QFile out(name);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size();
  };
  const QString still = dir.filePath("STILL"), moving = dir.filePath("MOVING");
  ASSERT_TRUE(write(still + "@2X", GifOf(red.scaled(20, 12))));
  ASSERT_TRUE(write(still, GifOf(red)));
  codecs::TGifEncodeFrame first, second;
  first.image = codecs::ToIndexed8(red, nullptr);
  second.image = codecs::ToIndexed8(blue, nullptr);
  first.delayMs = second.delayMs = 100;
  ASSERT_TRUE(write(moving, codecs::EncodeGif({first, second}, {})));

  TImage control;
  control.resize(10, 6);
  control.SetMovieFile(still, 2, "gif");
  EXPECT_FALSE(control.IsAnimated());
  EXPECT_EQ(control.CurrentFrame().size(), QSize(20, 12));
  EXPECT_EQ(control.CurrentFrame().devicePixelRatio(), 2);
  EXPECT_EQ(Rendered(control, 2).pixel(19, 11), qRgb(200, 0, 0));
  control.SetMovieFile(moving, 1, "gif");
  EXPECT_TRUE(control.IsAnimated());
  EXPECT_EQ(control.CurrentFrame().pixel(5, 3), qRgb(200, 0, 0));

  EXPECT_EQ(codecs::ReadImageData(GifOf(red), "gif").size(), QSize(10, 6));
  EXPECT_TRUE(codecs::ReadImageData(GifOf(red), "bmp").isNull());
  EXPECT_TRUE(codecs::ReadImageFile(still, "png").isNull());
  TSpeedButton button;
  EXPECT_THROW(button.LoadGlyph(GifOf(red), {}), base::Exception);
}
