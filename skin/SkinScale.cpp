#include "skin/SkinScale.h"

#include <QPainter>
#include <algorithm>

namespace lugatim::skin {

QRectF PixelRect(const QImage& image, const QRect& r) {
  const qreal s = image.devicePixelRatio();
  return QRectF(r.x() * s, r.y() * s, r.width() * s, r.height() * s);
}

QRect LogicalRect(const QImage& image) {
  return QRect(QPoint(0, 0), image.deviceIndependentSize().toSize());
}

QImage SmoothOutlineAlpha(const QImage& fineMask, const QColor& keyColor, const QColor& tolerance,
                          const QRegion& region, const QSize& logicalSize, int scale) {
  const QImage pixels = fineMask.convertToFormat(QImage::Format_RGB32);
  const QColor key = keyColor.toRgb(), tol = tolerance.toRgb();
  const int low[3] = {key.red(), key.green(), key.blue()};
  const int high[3] = {std::min(255, low[0] + tol.red()), std::min(255, low[1] + tol.green()),
                       std::min(255, low[2] + tol.blue())};
  // 255 where the finer mask keeps the pixel, 0 where it cuts it away.
  QImage coverage(pixels.size(), QImage::Format_Alpha8);
  for (int y = 0; y < pixels.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
    uchar* out = coverage.scanLine(y);
    for (int x = 0; x < pixels.width(); ++x) {
      const QRgb p = in[x];
      const bool cut = qRed(p) >= low[0] && qRed(p) <= high[0] && qGreen(p) >= low[1] &&
                       qGreen(p) <= high[1] && qBlue(p) >= low[2] && qBlue(p) <= high[2];
      out[x] = cut ? 0 : 255;
    }
  }
  const QSize target = logicalSize * scale;
  QImage averaged;
  if (pixels.width() % target.width() == 0 && pixels.height() % target.height() == 0 &&
      pixels.width() / target.width() == pixels.height() / target.height()) {
    // A whole number of mask pixels per target pixel: the mean of each block.
    const int k = pixels.width() / target.width();
    averaged = QImage(target, QImage::Format_Alpha8);
    for (int ty = 0; ty < target.height(); ++ty) {
      uchar* out = averaged.scanLine(ty);
      for (int tx = 0; tx < target.width(); ++tx) {
        int sum = 0;
        for (int dy = 0; dy < k; ++dy) {
          const uchar* in = coverage.constScanLine(ty * k + dy) + tx * k;
          for (int dx = 0; dx < k; ++dx) sum += in[dx];
        }
        out[tx] = static_cast<uchar>((sum + k * k / 2) / (k * k));
      }
    }
  } else {
    averaged = coverage.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }

  QImage alpha(target, QImage::Format_Alpha8);
  alpha.fill(0);
  alpha.setDevicePixelRatio(scale);
  averaged.setDevicePixelRatio(scale);
  QPainter p(&alpha);
  p.setClipRegion(region);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(0, 0, averaged);
  return alpha;
}

void ApplyOutlineAlpha(QImage& canvas, const QImage& alpha, const QRect& r) {
  if (alpha.isNull() || r.isEmpty()) return;
  QPainter p(&canvas);
  p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
  p.drawImage(QRectF(r), alpha, PixelRect(alpha, r));
}

}  // namespace lugatim::skin
