#include <gtest/gtest.h>

#include <QImage>
#include <climits>
#include <random>

#include "skin/MaskRegion.h"

using lugatim::skin::CreateRegionFromMask;
using lugatim::skin::TMaskRegionStats;

namespace {

const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);

QImage Filled(int w, int h, QRgb c) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(c);
  return image;
}

QImage Checkerboard(int w, int h) {
  QImage image = Filled(w, h, qRgb(255, 255, 255));
  for (int y = 0; y < h; ++y)
    for (int x = (y % 2); x < w; x += 2) image.setPixel(x, y, qRgb(0, 0, 0));
  return image;
}

// The region holds exactly the pixels that are not cut away.
void ExpectCovers(const QRegion& region, const QImage& mask, const std::function<bool(QRgb)>& cut) {
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x)
      ASSERT_EQ(region.contains(QPoint(x, y)), !cut(mask.pixel(x, y))) << x << "," << y;
}

}  // namespace

TEST(MaskRegion, NullMaskGivesNoRegion) {
  EXPECT_FALSE(CreateRegionFromMask(QImage(), kWhite, kBlack).has_value());
}

TEST(MaskRegion, WhiteWithBlackToleranceCutsExactlyWhite) {
  QImage mask = Filled(6, 3, qRgb(0, 0, 0));
  mask.setPixel(0, 0, qRgb(255, 255, 255));
  mask.setPixel(1, 0, qRgb(254, 255, 255));
  mask.setPixel(5, 2, qRgb(255, 255, 255));
  const auto region = CreateRegionFromMask(mask, kWhite, kBlack);
  ASSERT_TRUE(region);
  ExpectCovers(*region, mask, [](QRgb p) { return p == qRgb(255, 255, 255); });
}

TEST(MaskRegion, ToleranceWidensTheKeyPerChannel) {
  QImage mask = Filled(5, 1, qRgb(0, 0, 0));
  mask.setPixel(0, 0, qRgb(250, 250, 250));
  mask.setPixel(1, 0, qRgb(255, 252, 251));
  mask.setPixel(2, 0, qRgb(249, 255, 255));  // red below the key
  mask.setPixel(3, 0, qRgb(255, 255, 255));
  const auto region = CreateRegionFromMask(mask, QColor(250, 250, 250), QColor(10, 10, 10));
  ASSERT_TRUE(region);
  EXPECT_FALSE(region->contains(QPoint(0, 0)));
  EXPECT_FALSE(region->contains(QPoint(1, 0)));
  EXPECT_TRUE(region->contains(QPoint(2, 0)));
  EXPECT_FALSE(region->contains(QPoint(3, 0)));
  EXPECT_TRUE(region->contains(QPoint(4, 0)));
}

TEST(MaskRegion, NoKeyColourIsTheFullRectangleAllKeyColourIsEmpty) {
  TMaskRegionStats stats;
  const auto full =
      CreateRegionFromMask(Filled(480, 480, qRgb(10, 20, 30)), kWhite, kBlack, &stats);
  ASSERT_TRUE(full);
  EXPECT_EQ(*full, QRegion(0, 0, 480, 480));
  EXPECT_EQ(stats.runs, 480);
  const auto empty = CreateRegionFromMask(Filled(480, 480, qRgb(255, 255, 255)), kWhite, kBlack);
  ASSERT_TRUE(empty);
  EXPECT_TRUE(empty->isEmpty());
}

TEST(MaskRegion, CheckerboardBatchesOf2000MatchOneBatch) {
  const QImage mask = Checkerboard(480, 480);
  TMaskRegionStats stats;
  const auto batched = CreateRegionFromMask(mask, kWhite, kBlack, &stats);
  TMaskRegionStats single;
  const auto whole = CreateRegionFromMask(mask, kWhite, kBlack, &single, INT_MAX);
  ASSERT_TRUE(batched && whole);
  EXPECT_EQ(stats.runs, 115200);
  EXPECT_EQ(stats.batches, 58);  // 57 full batches and the rest
  EXPECT_EQ(stats.maxCapacity, 2000);
  EXPECT_EQ(single.batches, 1);
  EXPECT_TRUE((*batched ^ *whole).isEmpty());
  EXPECT_EQ(*batched, *whole);
  ExpectCovers(*batched, mask, [](QRgb p) { return p == qRgb(255, 255, 255); });
}

TEST(MaskRegion, AnyBatchSizeGivesTheSameRegion) {
  QImage mask = Filled(300, 200, qRgb(0, 0, 0));
  std::mt19937 random(7);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x)
      if (random() % 3 == 0) mask.setPixel(x, y, qRgb(255, 255, 255));
  // Rows that repeat exercise the joining of equal rows into bands.
  for (int y = 100; y < 140; ++y)
    for (int x = 0; x < 300; ++x) mask.setPixel(x, y, mask.pixel(x, 99));
  const auto reference = CreateRegionFromMask(mask, kWhite, kBlack, nullptr, INT_MAX);
  ASSERT_TRUE(reference);
  for (int batch : {1, 7, 100, 2000}) {
    const auto region = CreateRegionFromMask(mask, kWhite, kBlack, nullptr, batch);
    ASSERT_TRUE(region);
    EXPECT_TRUE((*region ^ *reference).isEmpty()) << batch;
  }
  ExpectCovers(*reference, mask, [](QRgb p) { return p == qRgb(255, 255, 255); });
}

TEST(MaskRegion, BufferGrowsInStepsOf100) {
  // 250 runs in one batch: capacity 100, 200, 300.
  QImage mask = Filled(500, 1, qRgb(0, 0, 0));
  for (int x = 1; x < 500; x += 2) mask.setPixel(x, 0, qRgb(255, 255, 255));
  TMaskRegionStats stats;
  CreateRegionFromMask(mask, kWhite, kBlack, &stats);
  EXPECT_EQ(stats.runs, 250);
  EXPECT_EQ(stats.maxCapacity, 300);
  EXPECT_EQ(stats.batches, 1);
}
