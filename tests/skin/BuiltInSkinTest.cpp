#include <gtest/gtest.h>

#include <QFile>

#include "SkinTestSupport.h"
#include "codecs/Gif.h"
#include "codecs/Picture.h"

using namespace lugatim::skin;
using namespace skintest;

namespace {

QByteArray Resource(const char* path) {
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
  return file.readAll();
}

std::string_view View(const QByteArray& b) {
  return std::string_view(b.constData(), static_cast<size_t>(b.size()));
}

struct BuiltIn : ::testing::Test {
  void SetUp() override {
    App();
    form = std::make_unique<QWidget>();
    form->resize(492, 473);
    skin = new TSkinForm(form.get());  // reads the program's own resources
    skin->SetWindowMoveStarter([] { return false; });
    skin->LoadSkin();
  }
  std::unique_ptr<QWidget> form;
  TSkinForm* skin = nullptr;
};

}  // namespace

TEST_F(BuiltIn, DescriptionAsBuiltIn) {
  EXPECT_EQ(skin->Version(), 150);
  EXPECT_TRUE(skin->HoverEnabled());
  EXPECT_EQ(skin->DisplayCharset(), 0);
  EXPECT_TRUE(skin->Displays().empty());
  EXPECT_TRUE(skin->TrackBars().empty());
  const auto& a = skin->HotAreas();
  ASSERT_EQ(a.size(), 4u);
  EXPECT_EQ(a[0].ID, "KAPAT");
  EXPECT_EQ(QRect(a[0].X, a[0].Y, a[0].Width, a[0].Height), QRect(460, 0, 25, 25));
  EXPECT_EQ(a[0].Hint, "CLOSE");
  EXPECT_FALSE(a[0].Switch);
  EXPECT_EQ(a[1].ID, "KUCULT");
  EXPECT_EQ(a[1].Hint, "MINIMIZE");
  EXPECT_EQ(a[2].ID, "TERCUME");
  EXPECT_EQ(a[3].ID, "SOZLUK");
  EXPECT_EQ(a[3].Hint, "TARVEL RORIDUVADAV UDEDID'S DICTIONARY");
  const QByteArray text = Resource(":/INI/SKIN");
  EXPECT_TRUE(
      text.contains("[NEWIDNUMBER]\r\nButton=5\r\nText=1\r\nTrackbar=1\r\n\r\n[BITMAPINFO]"));
}

TEST_F(BuiltIn, WindowTakesTheMaskSizeAndAShapeThatIsNotARectangle) {
  EXPECT_EQ(form->size(), QSize(480, 480));
  ASSERT_TRUE(skin->Region());
  const QRegion& r = *skin->Region();
  EXPECT_TRUE(r.contains(QPoint(240, 240)));
  EXPECT_FALSE(r.contains(QPoint(0, 0)));  // rounded corner
  EXPECT_FALSE(r.contains(QPoint(479, 479)));
  EXPECT_FALSE(r.contains(QPoint(240, 478)));  // the notch in the foot
  EXPECT_TRUE(r.contains(QPoint(469, 13)));    // the close button
  EXPECT_TRUE(r.contains(QPoint(432, 13)));    // the minimise button
  for (int x = 12; x < 480; x += 8) EXPECT_TRUE(r.contains(QPoint(x, 386))) << x;  // the banner
  EXPECT_EQ(form->mask(), r);
}

TEST_F(BuiltIn, MaskAndFacesHaveTheirFormats) {
  const QByteArray mask = Resource(":/BMP/SZLS3MS");
  ASSERT_GT(mask.size(), 54);
  EXPECT_EQ(static_cast<unsigned char>(mask[28]), 8);  // bits per pixel
  EXPECT_EQ(skin->MaskBitmap().size(), QSize(480, 480));
  EXPECT_EQ(skin->MaskBitmap().pixel(0, 0), qRgb(255, 255, 255));
  EXPECT_EQ(skin->MouseUpBitmap().size(), QSize(480, 480));
  EXPECT_EQ(skin->MouseOnBitmap().size(), QSize(480, 480));
  EXPECT_NE(skin->MouseOnBitmap(), skin->MouseUpBitmap());
  EXPECT_EQ(skin->MouseDownBitmap(), skin->MouseUpBitmap());
  EXPECT_EQ(skin->Canvas().pixel(240, 240), skin->MouseUpBitmap().pixel(240, 240));
}

TEST_F(BuiltIn, HoverFaceMarksTheButtonUnderThePointer) {
  const QImage before = skin->Canvas().copy(420, 0, 25, 25);
  skin->MouseMove(0, 432, 13);
  const QImage after = skin->Canvas().copy(420, 0, 25, 25);
  EXPECT_NE(before, after);
  EXPECT_EQ(after,
            skin->MouseOnBitmap().convertToFormat(skin->Canvas().format()).copy(420, 0, 25, 25));
  EXPECT_EQ(skin->Hint(), "MINIMIZE");
}

TEST(BuiltInResources, FlagGlyphsIconAndBanner) {
  App();
  for (const char* path : {":/BMP/TURK", ":/BMP/INGI"}) {
    const QByteArray bmp = Resource(path);
    EXPECT_EQ(bmp.size(), 1638) << path;
    const QImage glyph = lugatim::codecs::DecodeBmp(View(bmp));
    EXPECT_EQ(glyph.size(), QSize(38, 27));
    EXPECT_EQ(glyph.pixel(0, 26), qRgb(0xc0, 0xc0, 0xc0));  // grey, drawn transparent
  }
  const QImage turk = lugatim::codecs::DecodeBmp(View(Resource(":/BMP/TURK")));
  EXPECT_GT(qRed(turk.pixel(30, 8)), 180);
  EXPECT_LT(qGreen(turk.pixel(30, 8)), 60);

  QImage png;
  ASSERT_TRUE(png.loadFromData(Resource(":/PNG/ICON"), "PNG"));
  EXPECT_EQ(png.size(), QSize(64, 64));

  const QByteArray gif = Resource(":/GIF/BANNER");
  const lugatim::codecs::TGifAnimation banner =
      lugatim::codecs::DecodeGif(gif.constData(), static_cast<size_t>(gif.size()));
  ASSERT_EQ(banner.frames.size(), 1u);
  const QImage& first = banner.frames[0].image;
  EXPECT_EQ(first.size(), QSize(468, 60));
  EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0);       // transparent corner
  EXPECT_EQ(qAlpha(first.pixel(234, 30)), 255);  // opaque pill
}

namespace {

// The mean difference per channel of two images of one size.
double MeanDifference(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32),
               y = b.convertToFormat(QImage::Format_RGB32);
  double sum = 0;
  for (int r = 0; r < x.height(); ++r)
    for (int c = 0; c < x.width(); ++c) {
      const QRgb p = x.pixel(c, r), q = y.pixel(c, r);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * x.width() * x.height());
}

}  // namespace

TEST(BuiltInScaled, FacesAtTwoAndThreeTimesOnTheSameOutline) {
  App();
  QWidget one;
  auto* plain = new TSkinForm(&one);
  plain->LoadSkin();
  for (const int s : {2, 3}) {
    SCOPED_TRACE(s);
    QWidget form;
    auto* skin = new TSkinForm(&form);
    skin->SetPixelRatioSource([s] { return double(s); });
    skin->LoadSkin();
    EXPECT_EQ(skin->FaceScale(), s);
    EXPECT_EQ(skin->MouseUpBitmap().size(), QSize(480 * s, 480 * s));
    EXPECT_EQ(skin->MouseOnBitmap().size(), QSize(480 * s, 480 * s));
    EXPECT_EQ(form.size(), QSize(480, 480));
    EXPECT_EQ(*skin->Region(), *plain->Region());
    // The same drawing: brought down to 1x it is the 1x face but for the
    // detail the 1x pixels cannot hold.
    const QImage down =
        skin->MouseUpBitmap().scaled(480, 480, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(MeanDifference(down, plain->MouseUpBitmap()), 4.0);
    const QImage hover =
        skin->MouseOnBitmap().scaled(480, 480, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LT(MeanDifference(hover, plain->MouseOnBitmap()), 4.0);
  }
}

TEST(BuiltInResources, LargerMasksKeepTheOutlineOfTheOneXMask) {
  App();
  QWidget form;
  auto* skin = new TSkinForm(&form);
  skin->LoadSkin();
  const QRegion& region = *skin->Region();
  const auto uniform = [&region](int x, int y, bool* inside) {
    *inside = region.contains(QPoint(x, y));
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (region.contains(QPoint(x + dx, y + dy)) != *inside) return false;
    return true;
  };
  for (const int s : {2, 3}) {
    const QImage fine = lugatim::codecs::DecodeBmp(
        View(Resource(QStringLiteral(":/BMP/SZLS3MS@%1X").arg(s).toLatin1().constData())));
    ASSERT_EQ(fine.size(), QSize(480 * s, 480 * s));
    int checked = 0;
    for (int y = 0; y < fine.height(); ++y)
      for (int x = 0; x < fine.width(); ++x) {
        bool inside = false;
        if (!uniform(x / s, y / s, &inside)) continue;
        ASSERT_EQ(fine.pixel(x, y) != qRgb(255, 255, 255), inside) << s << ": " << x << "," << y;
        ++checked;
      }
    EXPECT_GT(checked, 480 * 480 * s * s * 9 / 10);
  }
}

TEST(BuiltInResources, FlagsAndBannerAtTwoAndThreeTimes) {
  App();
  for (const int s : {2, 3}) {
    SCOPED_TRACE(s);
    const QImage one = lugatim::codecs::DecodeBmp(View(Resource(":/BMP/TURK")));
    for (const char* name : {":/BMP/TURK@%1X", ":/BMP/INGI@%1X"}) {
      const QImage glyph = lugatim::codecs::DecodeBmp(
          View(Resource(QString::fromLatin1(name).arg(s).toLatin1().constData())));
      EXPECT_EQ(glyph.size(), QSize(38 * s, 27 * s));
      EXPECT_EQ(glyph.pixel(0, glyph.height() - 1), qRgb(0xc0, 0xc0, 0xc0));
    }
    const QImage turk = lugatim::codecs::DecodeBmp(
        View(Resource(QStringLiteral(":/BMP/TURK@%1X").arg(s).toLatin1().constData())));
    EXPECT_EQ(turk.pixel(30 * s, 8 * s), one.pixel(30, 8));  // the red field
    const QByteArray gif =
        Resource(QStringLiteral(":/GIF/BANNER@%1X").arg(s).toLatin1().constData());
    const lugatim::codecs::TGifAnimation banner =
        lugatim::codecs::DecodeGif(gif.constData(), static_cast<size_t>(gif.size()));
    ASSERT_EQ(banner.frames.size(), 1u);
    const QImage& first = banner.frames[0].image;
    EXPECT_EQ(first.size(), QSize(468 * s, 60 * s));
    EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(first.pixel(234 * s, 30 * s)), 255);
  }
}
