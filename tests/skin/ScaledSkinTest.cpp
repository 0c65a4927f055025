// The skin at device pixel ratios above 1: faces at the scale that fits,
// outline and hot areas in logical pixels, 1x skins as before, and the
// smooth outline where the desktop composites.

#include <gtest/gtest.h>

#include <QPainter>
#include <algorithm>
#include <memory>

#include "SkinTestSupport.h"
#include "skin/SkinScale.h"

using namespace lugatim::skin;
using namespace skintest;

namespace {

constexpr int kW = 100, kH = 80;
const char* const kDescription =
    "[VERSION]\r\nVer=150\r\n[BITMAPINFO]\r\nMaskBitmap=mask.bmp\r\nMouseUpBitmap=up.bmp\r\n"
    "MouseDownBitmap=down.bmp\r\nMouseOnBitmap=on.bmp\r\n[HOTAREAINFO]\r\nCount=2\r\n"
    "1=A, 10, 10, 30, 20, HINT\r\n2=EDGE, 0, 30, 20, 20, EDGE\r\n";

// An ellipse filling the mask, sampled at pixel centres of a mask `scale` times finer.
bool InEllipse(int x, int y, int scale) {
  const double cx = (x + 0.5) / scale - kW / 2.0, cy = (y + 0.5) / scale - kH / 2.0;
  return (cx * cx) / (kW * kW / 4.0) + (cy * cy) / (kH * kH / 4.0) <= 1.0;
}

// A face whose every device pixel tells where it is and which face it is.
QImage Pattern(int scale, int which) {
  QImage image(kW * scale, kH * scale, QImage::Format_RGB32);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      image.setPixel(x, y, qRgb(x % 256, y % 256, 40 + 80 * which));
  return image;
}

MemoryResources Scaled(std::initializer_list<int> scales) {
  MemoryResources res;
  res.Put("INI", "skin", kDescription);
  for (const int s : scales) {
    const std::string at = s == 1 ? "" : "@" + std::to_string(s) + "X";
    res.Put("BMP", "MASK" + at,
            MaskBmp(kW * s, kH * s, [s](int x, int y) { return InEllipse(x, y, s); }));
    res.Put("BMP", "UP" + at, Bmp(Pattern(s, 0)));
    res.Put("BMP", "ON" + at, Bmp(Pattern(s, 1)));
    res.Put("BMP", "DOWN" + at, Bmp(Pattern(s, 2)));
  }
  return res;
}

struct ScaledRig : Rig {
  ScaledRig(const MemoryResources& res, double ratio, bool smooth = false) : Rig(res) {
    skin->SetPixelRatioSource([ratio] { return ratio; });
    skin->SetSmoothOutline(smooth);
    skin->LoadSkin();
  }
};

QRgb At(const QImage& image, int x, int y) {
  return image.pixel(x, y) | 0xFF000000u;
}

}  // namespace

TEST(ImageScale, BestScaleFirstAndOneAlwaysLast) {
  using V = std::vector<int>;
  EXPECT_EQ(ScalesToTry(1), V({1}));
  EXPECT_EQ(ScalesToTry(0.75), V({1}));
  EXPECT_EQ(ScalesToTry(1.001), V({1, 2, 3}));
  EXPECT_EQ(ScalesToTry(1.25), V({2, 3, 1}));
  EXPECT_EQ(ScalesToTry(1.5), V({2, 3, 1}));
  EXPECT_EQ(ScalesToTry(2), V({2, 3, 1}));
  EXPECT_EQ(ScalesToTry(2.5), V({3, 2, 1}));
  EXPECT_EQ(ScalesToTry(4), V({3, 2, 1}));
  EXPECT_EQ(ScaledResourceName("DUVADAREVI3", 2), "DUVADAREVI3@2X");
  EXPECT_EQ(ScaledResourceName("DUVADAREVI3", 1), "DUVADAREVI3");
}

TEST(ScaledSkin, FacesOfTheScaleThatFitsTheRatio) {
  const struct {
    std::initializer_list<int> scales;
    double ratio;
    int expected;
  } cases[] = {{{1, 2}, 1, 1},      {{1, 2}, 1.25, 2}, {{1, 2}, 1.5, 2},
               {{1, 2}, 2, 2},      {{1, 2}, 3, 2},    {{1, 2, 3}, 2, 2},
               {{1, 2, 3}, 2.5, 3}, {{1, 3}, 1.5, 3},  {{1, 2, 3}, 1, 1}};
  for (const auto& c : cases) {
    ScaledRig rig(Scaled(c.scales), c.ratio);
    const int s = c.expected;
    SCOPED_TRACE(testing::Message() << "ratio " << c.ratio << " expects " << s);
    EXPECT_EQ(rig.skin->FaceScale(), s);
    EXPECT_EQ(rig.skin->MouseUpBitmap().size(), QSize(kW * s, kH * s));
    EXPECT_EQ(rig.skin->MouseUpBitmap().devicePixelRatio(), s);
    EXPECT_EQ(rig.skin->MouseOnBitmap().size(), QSize(kW * s, kH * s));
    EXPECT_EQ(rig.skin->Canvas().size(), QSize(kW * s, kH * s));
    EXPECT_EQ(rig.skin->Canvas().devicePixelRatio(), s);
    // The face lands pixel for pixel: (7, 5) of the picture is (7, 5) of the face.
    EXPECT_EQ(At(rig.skin->Canvas(), 7, 5), qRgb(7, 5, 40));
    EXPECT_EQ(At(rig.skin->Canvas(), kW * s - 1, kH * s - 1),
              qRgb((kW * s - 1) % 256, (kH * s - 1) % 256, 40));
  }
}

TEST(ScaledSkin, SizeOutlineAndHotAreasStayInLogicalPixels) {
  ScaledRig one(Scaled({1}), 1);
  for (const double ratio : {1.5, 2.0, 3.0}) {
    ScaledRig rig(Scaled({1, 2, 3}), ratio);
    ASSERT_GT(rig.skin->FaceScale(), 1);
    EXPECT_EQ(rig.form->size(), QSize(kW, kH));
    EXPECT_EQ(rig.skin->MaskBitmap().size(), QSize(kW, kH));
    ASSERT_TRUE(rig.skin->Region());
    EXPECT_EQ(*rig.skin->Region(), *one.skin->Region()) << ratio;
    EXPECT_EQ(rig.form->mask(), one.form->mask()) << ratio;
    rig.skin->MouseMove(0, 39, 29);  // the last pixel of A
    EXPECT_EQ(rig.skin->CurrentID(), "A");
    rig.skin->MouseMove(0, 40, 29);
    EXPECT_EQ(rig.skin->CurrentID(), "");
  }
}

TEST(ScaledSkin, HoverAndPressCopyExactlyTheAreaAtTheFacesScale) {
  ScaledRig rig(Scaled({1, 2}), 2);
  ASSERT_EQ(rig.skin->FaceScale(), 2);
  rig.skin->MouseMove(0, 15, 15);
  const QImage& c = rig.skin->Canvas();
  // A covers 10..39 x 10..29 logically: device pixels 20..79 x 20..59.
  EXPECT_EQ(At(c, 20, 20), qRgb(20, 20, 120));
  EXPECT_EQ(At(c, 79, 59), qRgb(79, 59, 120));
  EXPECT_EQ(At(c, 19, 20), qRgb(19, 20, 40));
  EXPECT_EQ(At(c, 80, 40), qRgb(80, 40, 40));
  EXPECT_EQ(At(c, 50, 60), qRgb(50, 60, 40));

  rig.skin->MouseDown(lugatim::skin::TMouseButton::mbLeft, 0, 15, 15);
  EXPECT_EQ(At(rig.skin->Canvas(), 21, 21), qRgb(21, 21, 200));
  EXPECT_EQ(At(rig.skin->Canvas(), 80, 21), qRgb(80, 21, 40));
  rig.skin->MouseUp(lugatim::skin::TMouseButton::mbLeft, 0, 15, 15);
  EXPECT_EQ(At(rig.skin->Canvas(), 21, 21), qRgb(21, 21, 40));
}

TEST(ScaledSkin, OneXSkinOnALargerRatioPaintsAsBefore) {
  MemoryResources res = Scaled({1});
  ScaledRig rig(res, 2);
  ScaledRig one(Scaled({1}), 1);
  EXPECT_EQ(rig.skin->FaceScale(), 1);
  EXPECT_EQ(rig.skin->Canvas(), one.skin->Canvas());
  EXPECT_EQ(*rig.skin->Region(), *one.skin->Region());
  // It looked for the larger faces, found none, and read each 1x image once.
  const std::vector<std::string> expected = {"INI/skin", "BMP/MASK", "BMP/UP@2X", "BMP/UP@3X",
                                             "BMP/UP",   "BMP/ON",   "BMP/DOWN"};
  EXPECT_EQ(*res.lookups, expected);
}

TEST(ScaledSkin, AScaleWithAFaceMissingOrOfTheWrongSizeIsPassedOver) {
  MemoryResources missing = Scaled({1, 2});
  missing.items.erase({"BMP", "ON@2X"});
  EXPECT_EQ(ScaledRig(missing, 2).skin->FaceScale(), 1);

  MemoryResources wrong = Scaled({1, 2, 3});
  wrong.Put("BMP", "DOWN@2X", Bmp(Solid(kW * 2 - 1, kH * 2, kUp)));
  ScaledRig rig(wrong, 2);
  EXPECT_EQ(rig.skin->FaceScale(), 3);  // the next best complete set
  EXPECT_EQ(rig.skin->MouseDownBitmap().size(), QSize(kW * 3, kH * 3));
}

TEST(ScaledSkin, AnotherRatioReloadsTheFacesAtTheNextPaint) {
  double ratio = 1;
  MemoryResources res = Scaled({1, 2});
  Rig rig(res);
  rig.skin->SetPixelRatioSource([&ratio] { return ratio; });
  rig.skin->LoadSkin();
  ASSERT_EQ(rig.skin->FaceScale(), 1);
  ratio = 2;
  (void)rig.skin->grab();
  EXPECT_EQ(rig.skin->FaceScale(), 2);
  EXPECT_EQ(rig.skin->Canvas().size(), QSize(kW * 2, kH * 2));
  EXPECT_EQ(At(rig.skin->Canvas(), 150, 100), qRgb(150, 100, 40));
  ratio = 1;
  (void)rig.skin->grab();
  EXPECT_EQ(rig.skin->FaceScale(), 1);
}

TEST(SmoothOutline, AlphaEdgeLiesInsideTheExactRegion) {
  for (const double ratio : {1.0, 2.0}) {
    SCOPED_TRACE(ratio);
    ScaledRig rig(Scaled({1, 2, 3}), ratio, true);
    const int s = rig.skin->FaceScale();
    const QImage& alpha = rig.skin->OutlineAlpha();
    ASSERT_FALSE(alpha.isNull());
    ASSERT_EQ(alpha.size(), QSize(kW * s, kH * s));
    const QRegion& region = *rig.skin->Region();
    int partial = 0, opaque = 0;
    for (int y = 0; y < alpha.height(); ++y)
      for (int x = 0; x < alpha.width(); ++x) {
        const int a = qAlpha(alpha.pixel(x, y));
        if (a > 0) {
          ASSERT_TRUE(region.contains(QPoint(x / s, y / s))) << x << "," << y;
        }
        if (a > 0 && a < 255) ++partial;
        if (a == 255) ++opaque;
        // The picture carries the outline's alpha.
        ASSERT_EQ(qAlpha(rig.skin->Canvas().pixel(x, y)), a) << x << "," << y;
      }
    EXPECT_GT(partial, 50 * s);  // a smooth edge all round
    EXPECT_GT(opaque, kW * kH * s * s * 3 / 4);
    EXPECT_EQ(qAlpha(alpha.pixel(kW * s / 2, kH * s / 2)), 255);
  }
}

TEST(SmoothOutline, CopiesOntoTheEdgeKeepTheAlpha) {
  ScaledRig rig(Scaled({1, 2, 3}), 2, true);
  const QImage before = rig.skin->Canvas();
  rig.skin->MouseMove(0, 5, 40);  // EDGE, on the ellipse's left end
  rig.skin->MouseDown(lugatim::skin::TMouseButton::mbLeft, 0, 5, 40);
  const QImage& after = rig.skin->Canvas();
  int compared = 0;
  for (int y = 60; y < 100; ++y)
    for (int x = 0; x < 40; ++x) {
      ASSERT_EQ(qAlpha(after.pixel(x, y)), qAlpha(before.pixel(x, y))) << x << "," << y;
      compared += qAlpha(before.pixel(x, y)) < 255;
    }
  EXPECT_GT(compared, 20);
  EXPECT_NE(after.pixel(39, 80), before.pixel(39, 80));  // the pressed face is there
}

TEST(SmoothOutline, ExactOutlineWithoutALargerMaskOrWhereNothingComposites) {
  MemoryResources noFine = Scaled({1, 2});
  noFine.items.erase({"BMP", "MASK@2X"});
  ScaledRig withoutMask(noFine, 2, true);
  ScaledRig notComposited(Scaled({1, 2, 3}), 2, false);
  for (ScaledRig* rig : {&withoutMask, &notComposited}) {
    EXPECT_TRUE(rig->skin->OutlineAlpha().isNull());
    const QRegion& region = *rig->skin->Region();
    const QImage& c = rig->skin->Canvas();
    for (int y = 0; y < c.height(); y += 1)
      for (int x = 0; x < c.width(); x += 1)
        if (region.contains(QPoint(x / 2, y / 2))) {
          ASSERT_EQ(qAlpha(c.pixel(x, y)), 255) << x << "," << y;
        }
  }
}

// A load begun on a worker thread (BeginLoadSkin) ends as a plain load would.

namespace {

struct BegunRig : Rig {
  double ratio;
  BegunRig(const MemoryResources& res, double r, bool smooth) : Rig(res), ratio(r) {
    skin->SetPixelRatioSource([this] { return ratio; });
    skin->SetSmoothOutline(smooth);
  }
};

void ExpectSameLoad(const TSkinForm& a, const TSkinForm& b) {
  EXPECT_EQ(a.FaceScale(), b.FaceScale());
  EXPECT_EQ(a.MaskBitmap(), b.MaskBitmap());
  EXPECT_EQ(a.MouseUpBitmap(), b.MouseUpBitmap());
  EXPECT_EQ(a.MouseOnBitmap(), b.MouseOnBitmap());
  EXPECT_EQ(a.MouseDownBitmap(), b.MouseDownBitmap());
  EXPECT_EQ(a.Region(), b.Region());
  EXPECT_EQ(a.OutlineAlpha(), b.OutlineAlpha());
  EXPECT_EQ(a.Canvas(), b.Canvas());
  EXPECT_EQ(a.parentWidget()->mask(), b.parentWidget()->mask());
  EXPECT_EQ(a.HotAreas().size(), b.HotAreas().size());
}

size_t Reads(const MemoryResources& res, const std::string& item) {
  return static_cast<size_t>(std::count(res.lookups->begin(), res.lookups->end(), item));
}

}  // namespace

TEST(BegunLoad, EndsAsAPlainLoadAndReadsEachImageOnce) {
  for (const double ratio : {1.0, 2.0}) {
    for (const bool smooth : {false, true}) {
      SCOPED_TRACE(testing::Message() << "ratio " << ratio << (smooth ? " smooth" : " exact"));
      ScaledRig plain(Scaled({1, 2, 3}), ratio, smooth);
      MemoryResources res = Scaled({1, 2, 3});
      BegunRig begun(res, ratio, smooth);
      begun.skin->BeginLoadSkin();
      begun.skin->LoadSkin();
      ExpectSameLoad(*plain.skin, *begun.skin);
      // The worker's images were taken, not read again: only the
      // description is read twice, to see that it has not changed.
      const std::string at = ratio == 2 ? "@2X" : "";
      EXPECT_EQ(Reads(res, "INI/skin"), 2u);
      EXPECT_EQ(Reads(res, "BMP/MASK"), 1u);
      EXPECT_EQ(Reads(res, "BMP/UP" + at), 1u);
      EXPECT_EQ(Reads(res, "BMP/ON" + at), 1u);
    }
  }
}

TEST(BegunLoad, WhatChangedInBetweenIsHonoured) {
  // The ratio: the faces of the new one.
  {
    MemoryResources res = Scaled({1, 2});
    BegunRig rig(res, 1, false);
    rig.skin->BeginLoadSkin();
    rig.ratio = 2;
    rig.skin->LoadSkin();
    EXPECT_EQ(rig.skin->FaceScale(), 2);
    ExpectSameLoad(*ScaledRig(Scaled({1, 2}), 2).skin, *rig.skin);
  }
  // The key colour: the outline of the new one.
  {
    BegunRig rig(Scaled({1}), 1, false);
    rig.skin->BeginLoadSkin();
    rig.skin->SetKeyColor(Qt::black);
    rig.skin->LoadSkin();
    Rig plain(Scaled({1}));
    plain.skin->SetKeyColor(Qt::black);
    plain.skin->LoadSkin();
    ASSERT_TRUE(rig.skin->Region());
    EXPECT_EQ(*rig.skin->Region(), *plain.skin->Region());
    EXPECT_NE(*rig.skin->Region(), *ScaledRig(Scaled({1}), 1).skin->Region());
  }
  // The description, read anew by LoadSkin: its images.
  {
    MemoryResources res = Scaled({1});
    res.Put("BMP", "OTHER", Bmp(Solid(kW, kH, qRgb(1, 2, 3))));
    auto description = std::make_shared<QByteArray>(kDescription);
    BegunRig rig(res, 1, false);
    const TResourceReader inner = res.Reader();
    rig.skin->SetResourceReader(
        [description, inner](const std::string& type, const std::string& name) {
          return type == "INI" ? std::optional<QByteArray>(*description) : inner(type, name);
        });
    rig.skin->BeginLoadSkin();
    rig.skin->LoadSkin();  // the worker is done when this returns
    *description = QByteArray(kDescription).replace("up.bmp", "other.bmp");
    rig.skin->BeginLoadSkin();
    rig.skin->LoadSkin();
    EXPECT_EQ(At(rig.skin->MouseUpBitmap(), 5, 5), qRgb(1, 2, 3));
  }
  // Another reader: the load begun with the former one is dropped.
  {
    BegunRig rig(Scaled({1}), 1, false);
    rig.skin->BeginLoadSkin();
    MemoryResources other = Scaled({1});
    other.Put("BMP", "UP", Bmp(Solid(kW, kH, qRgb(9, 9, 9))));
    rig.skin->SetResourceReader(other.Reader());
    rig.skin->LoadSkin();
    EXPECT_EQ(At(rig.skin->MouseUpBitmap(), 5, 5), qRgb(9, 9, 9));
  }
}

TEST(BegunLoad, AFailureIsReportedByLoadSkinAsWithoutIt) {
  const auto errorOf = [](bool begin) {
    MemoryResources res = Scaled({1});
    res.items.erase({"BMP", "DOWN"});
    BegunRig rig(res, 1, false);
    if (begin) rig.skin->BeginLoadSkin();
    try {
      rig.skin->LoadSkin();
    } catch (const lugatim::base::Exception& e) {
      return e.Message() + " / up face " + (rig.skin->MouseUpBitmap().isNull() ? "null" : "set");
    }
    return std::string("no error");
  };
  EXPECT_EQ(errorOf(true), errorOf(false));
  EXPECT_EQ(errorOf(true).rfind("Resource DOWN not found", 0), 0u) << errorOf(true);
}

// The canvas of a surface that shows the normal face alone is that face,
// shared; drawing a hot area over it leaves the face itself untouched.
TEST(BegunLoad, TheSharedFaceIsNeverDrawnOn) {
  for (const double ratio : {1.0, 2.0}) {
    ScaledRig rig(Scaled({1, 2}), ratio);
    const int s = rig.skin->FaceScale();
    EXPECT_EQ(rig.skin->Canvas().constBits(), rig.skin->MouseUpBitmap().constBits());
    rig.skin->MouseMove(0, 15, 15);  // over A: its hover face is drawn
    EXPECT_EQ(At(rig.skin->Canvas(), 12 * s, 12 * s), qRgb(12 * s, 12 * s, 120));
    EXPECT_EQ(At(rig.skin->MouseUpBitmap(), 12 * s, 12 * s), qRgb(12 * s, 12 * s, 40));
    EXPECT_EQ(At(rig.skin->Canvas(), 60 * s, 60 * s), qRgb(60 * s, 60 * s, 40));
    rig.skin->MouseMove(0, 60, 60);  // away: the normal face again
    EXPECT_EQ(At(rig.skin->Canvas(), 12 * s, 12 * s), qRgb(12 * s, 12 * s, 40));
  }
}
