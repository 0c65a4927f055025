#pragma once
// The window outline cut out of a mask image: every maximal horizontal run of
// kept (not key-coloured) pixels of a row becomes a rectangle one pixel high.
// Runs are gathered in batches of at most kBatchRects rectangles in a buffer
// that grows by kGrowRects; each batch becomes a region and the batches are
// OR-combined. The region is the same whatever the batching.

#include <QColor>
#include <QImage>
#include <QRegion>
#include <optional>

namespace lugatim::skin {

// What one build did, for the tests and the benchmarks.
struct TMaskRegionStats {
  int runs = 0;         // rectangles found
  int batches = 0;      // regions made from the buffer (the last, possibly empty, included)
  int maxCapacity = 0;  // largest buffer capacity reached, in rectangles
};

constexpr int kBatchRects = 2000;
constexpr int kGrowRects = 100;

// A pixel is cut away when each of its red, green and blue lies within
// [key, key + tolerance] of that channel (the upper end saturated at 255).
// Returns nothing for a null mask. batchRects other than kBatchRects serves
// the tests that compare batchings.
std::optional<QRegion> CreateRegionFromMask(const QImage& mask, const QColor& keyColor,
                                            const QColor& tolerance,
                                            TMaskRegionStats* stats = nullptr,
                                            int batchRects = kBatchRects);

}  // namespace lugatim::skin
