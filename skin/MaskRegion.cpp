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

// OR-combines the batches into one region in canonical banded form (bands
// of rows with identical runs joined, as union produces them).
//
// A batch whose runs all follow the runs gathered so far (a later row, or
// further right in the same row) adds pixels that no earlier batch holds and
// touches none of them within its row, so its union with them is the
// concatenation of the runs; that is what the scan of a mask produces, and
// it keeps a mask of many runs linear in their number. The runs are banded
// as they come and the region is made once at the end. A batch that does not
// follow is united as a region of its own.
class RegionAccumulator {
 public:
  explicit RegionAccumulator(int height) : height_(height) {}

  void Add(const std::vector<QRect>& batch) {
    if (batch.empty()) return;
    if (!Follows(batch.front())) {
      QRegion extra;
      for (const QRect& r : batch) extra += r;
      other_ += extra;
      return;
    }
    for (const QRect& r : batch) {
      if (!row_.empty() && r.top() != row_.front().top()) EndRow();
      row_.push_back(r);
    }
  }

  QRegion Result() {
    EndRow();
    QRegion region;
    if (!bands_.empty()) region.setRects(bands_.data(), static_cast<int>(bands_.size()));
    if (!other_.isEmpty()) region = region.united(other_);
    return region;
  }

 private:
  bool Follows(const QRect& next) const {
    const QRect* last = !row_.empty() ? &row_.back() : nullptr;
    if (last == nullptr) return bands_.empty() || next.top() > bands_.back().bottom();
    return next.top() > last->top() ||
           (next.top() == last->top() && next.left() > last->right() + 1);
  }

  // Joins the finished row to the band above when it continues it exactly.
  void EndRow() {
    if (row_.empty()) return;
    const int y = row_.front().top();
    const size_t count = row_.size();
    bool joined = lastBandCount_ == count && bands_[lastBand_].bottom() + 1 == y;
    for (size_t k = 0; k < count && joined; ++k)
      joined = bands_[lastBand_ + k].left() == row_[k].left() &&
               bands_[lastBand_ + k].right() == row_[k].right();
    if (joined) {
      for (size_t k = 0; k < count; ++k) bands_[lastBand_ + k].setBottom(y);
    } else {
      if (bands_.empty()) bands_.reserve(count * static_cast<size_t>(height_) + 16);
      lastBand_ = bands_.size();
      lastBandCount_ = count;
      bands_.insert(bands_.end(), row_.begin(), row_.end());
    }
    row_.clear();
  }

  int height_;
  std::vector<QRect> bands_;
  std::vector<QRect> row_;  // the runs of the row in progress
  size_t lastBand_ = 0, lastBandCount_ = 0;
  QRegion other_;
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
  std::vector<QRect> buffer;
  int capacity = 0;
  const auto grow = [&] {
    try {
      capacity += kGrowRects;
      // Beyond a batch of the standard size (tests only) the vector grows
      // by itself; the capacity counted stays that of the rule.
      if (capacity <= kBatchRects) buffer.reserve(static_cast<size_t>(capacity));
    } catch (const std::bad_alloc&) {
      AssertionFailure(__LINE__);
    }
    counted.maxCapacity = std::max(counted.maxCapacity, capacity);
  };
  grow();
  RegionAccumulator result(pixels.height());
  const auto flush = [&] {
    result.Add(buffer);
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
