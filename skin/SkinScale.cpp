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
  QImage coverage(pixels.size(), QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < pixels.height(); ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
    auto* out = reinterpret_cast<QRgb*>(coverage.scanLine(y));
    for (int x = 0; x < pixels.width(); ++x) {
      const int c[3] = {qRed(in[x]), qGreen(in[x]), qBlue(in[x])};
      bool cut = true;
      for (int i = 0; i < 3; ++i) cut = cut && c[i] >= low[i] && c[i] <= high[i];
      out[x] = cut ? 0u : 0xFF000000u;
    }
  }
  const QSize target = logicalSize * scale;
  if (coverage.size() != target)
    coverage = coverage.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

  QImage alpha(target, QImage::Format_Alpha8);
  alpha.fill(0);
  alpha.setDevicePixelRatio(scale);
  coverage.setDevicePixelRatio(scale);
  QPainter p(&alpha);
  p.setClipRegion(region);
  p.setCompositionMode(QPainter::CompositionMode_Source);
  p.drawImage(0, 0, coverage);
  return alpha;
}

void ApplyOutlineAlpha(QImage& canvas, const QImage& alpha, const QRect& r) {
  if (alpha.isNull() || r.isEmpty()) return;
  QPainter p(&canvas);
  p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
  p.drawImage(QRectF(r), alpha, PixelRect(alpha, r));
}

}  // namespace lugatim::skin
