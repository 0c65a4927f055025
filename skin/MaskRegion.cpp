#include "skin/MaskRegion.h"

#include <QRect>
#include <algorithm>
#include <new>
#include <vector>

#include "base/Exception.h"

namespace lugatim::skin {
namespace {

struct Limits {
  int low[3];
  int high[3];
  bool Transparent(QRgb p) const {
    const int c[3] = {qRed(p), qGreen(p), qBlue(p)};
    for (int i = 0; i < 3; ++i)
      if (c[i] < low[i] || c[i] > high[i]) return false;
    return true;
  }
};

[[noreturn]] void AssertionFailure(int line) {
  throw base::Exception(base::Format("%s (%s, line %d)", "Assertion failure", "SkinForm", line));
}

// Turns one batch of row runs (sorted by row, then by x, one pixel high,
// never touching each other within a row) into a region. Rows with the same
// runs directly below each other are joined into one band first, so the
// region is in the same canonical banded form that union produces; batches
// therefore combine into one region equal to a single-batch build.
QRegion BatchRegion(const std::vector<QRect>& runs, std::vector<QRect>& banded) {
  banded.clear();
  size_t i = 0;
  size_t previousBand = 0, previousCount = 0;
  while (i < runs.size()) {
    const int y = runs[i].top();
    size_t j = i;
    while (j < runs.size() && runs[j].top() == y) ++j;
    const size_t count = j - i;
    bool joined = false;
    if (previousCount == count && previousCount > 0 && banded[previousBand].bottom() + 1 == y) {
      joined = true;
      for (size_t k = 0; k < count && joined; ++k)
        joined = banded[previousBand + k].left() == runs[i + k].left() &&
                 banded[previousBand + k].right() == runs[i + k].right();
    }
    if (joined) {
      for (size_t k = 0; k < count; ++k) banded[previousBand + k].setBottom(y);
    } else {
      previousBand = banded.size();
      previousCount = count;
      banded.insert(banded.end(), runs.begin() + static_cast<long>(i),
                    runs.begin() + static_cast<long>(j));
    }
    i = j;
  }
  QRegion region;
  if (!banded.empty()) region.setRects(banded.data(), static_cast<int>(banded.size()));
  return region;
}

// OR-combines batch regions pairwise, like a binary counter, so that a mask
// of many runs costs O(n log n) instead of O(n^2); union is associative, so
// the result equals combining the batches one after the other.
class RegionAccumulator {
 public:
  void Add(QRegion region) {
    int level = 0;
    while (level < static_cast<int>(slots_.size()) &&
           slots_[static_cast<size_t>(level)].has_value()) {
      region = slots_[static_cast<size_t>(level)]->united(region);
      slots_[static_cast<size_t>(level)].reset();
      ++level;
    }
    if (level == static_cast<int>(slots_.size())) slots_.emplace_back();
    slots_[static_cast<size_t>(level)] = std::move(region);
  }
  QRegion Result() {
    QRegion result;
    for (auto it = slots_.rbegin(); it != slots_.rend(); ++it)
      if (it->has_value()) result = (*it)->united(result);
    return result;
  }

 private:
  std::vector<std::optional<QRegion>> slots_;
};

}  // namespace

std::optional<QRegion> CreateRegionFromMask(const QImage& mask, const QColor& keyColor,
                                            const QColor& tolerance, TMaskRegionStats* stats,
                                            int batchRects) {
  if (mask.isNull()) return std::nullopt;
  const QImage pixels = mask.convertToFormat(QImage::Format_RGB32);
  if (pixels.isNull()) return std::nullopt;
  const QColor key = keyColor.toRgb(), tol = tolerance.toRgb();
  Limits limits{{key.red(), key.green(), key.blue()},
                {std::min(255, key.red() + tol.red()), std::min(255, key.green() + tol.green()),
                 std::min(255, key.blue() + tol.blue())}};

  TMaskRegionStats counted;
  std::vector<QRect> buffer, banded;
  int capacity = 0;
  const auto grow = [&] {
    try {
      capacity += kGrowRects;
      buffer.reserve(static_cast<size_t>(capacity));
    } catch (const std::bad_alloc&) {
      AssertionFailure(__LINE__);
    }
    counted.maxCapacity = std::max(counted.maxCapacity, capacity);
  };
  grow();
  RegionAccumulator result;
  const auto flush = [&] {
    result.Add(BatchRegion(buffer, banded));
    ++counted.batches;
    buffer.clear();
  };

  const int width = pixels.width();
  for (int y = 0; y < pixels.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
    int x = 0;
    while (x < width) {
      const int x0 = x;
      while (x < width && !limits.Transparent(row[x])) ++x;
      if (x > x0) {
        if (static_cast<int>(buffer.size()) == capacity) grow();
        buffer.emplace_back(QPoint(x0, y), QPoint(x - 1, y));
        ++counted.runs;
        if (static_cast<int>(buffer.size()) == batchRects) flush();
      }
      ++x;  // past the transparent pixel that ended the run
    }
  }
  flush();
  if (stats) *stats = counted;
  return result.Result();
}

}  // namespace lugatim::skin
